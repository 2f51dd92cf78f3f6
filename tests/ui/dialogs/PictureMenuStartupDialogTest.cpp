// The picture dialog (the display-memory order with the 180-degree turn of
// the 128 x 64 model; loading picture files of the right size, the wrong
// size, unreadable or too large; Inverse, Clear and the screen saver's
// checkerboard that is never saved), the menu dialog (its text against the
// panel's row, measured with the compiler's rasteriser) and the startup
// screen dialog (end condition, flip time range, cycle count).
#include "Localizer.h"
#include "ModalResult.h"
#include "PanelLcdDriver.h"
#include "PictureData.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "TestFiles.h"
#include "TextFit.h"
#include "dialogs/FieldColours.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/StartupScreenDialog.h"

#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ScreenDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { SelectPanelModel(PanelModel128x64); }

    // A picture file of size: dark but for the given white pixels, with a
    // nearly white pixel at the bottom right that must count as dark.
    QString PictureFile(const char *name, QSize size, std::initializer_list<QPoint> white = {})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(size.width() - 1, size.height() - 1, 0xFFFFFFFE);
        for (QPoint p : white)
            image.setPixel(p, 0xFFFFFFFF);
        const QString path = dir.filePath(QLatin1String(name));
        EXPECT_TRUE(image.save(path));
        return path;
    }

    QTemporaryDir dir;
    TScriptedUiServices ui;
    TFormScreen form;
};

int Characters(uint8_t model)
{
    return model == PanelModel128x96 ? 2 * kPictureBytes96 : 2 * kPictureBytes64;
}

TEST_F(ScreenDialog, TopLeftPixelIsTheFirstByteOnTheLargeModelAndTheLastOnTheSmallOne)
{
    const struct {
        uint8_t model;
        const char *first;
        const char *last;
    } cases[] = {{PanelModel128x96, "01", "00"}, {PanelModel128x64, "00", "80"}};
    for (const auto &c : cases) {
        SelectPanelModel(c.model);
        TwNode node(nullptr, QStringLiteral("Logo"), nkScreen);
        node.Props = QStringList{"Caption=Logo", "Stale=1", "ImageData=FF"};
        ASSERT_TRUE(form.LoadFromNode(&node));
        ui.AnswerFile(PictureFile("corner.png", {CurrentModel.Width, CurrentModel.Height}, {{0, 0}}));
        form.btnLoad->click();
        form.btOK->click();
        EXPECT_EQ(form.result(), mrOk);

        ASSERT_EQ(node.Props.size(), 2) << node.Props.join('|').toStdString();
        EXPECT_EQ(node.Props[0], "Caption=Logo");
        const QString text = node.GetProp("ImageData");
        ASSERT_EQ(text.size(), Characters(c.model));
        EXPECT_EQ(text.left(2), c.first) << int(c.model);
        EXPECT_EQ(text.right(2), c.last) << int(c.model);
        EXPECT_EQ(text.count('0'), text.size() - 1) << int(c.model);
        EXPECT_EQ(ui.Files[0].kind, TFileRequest::Picture);
        ui.Files.clear();
    }
}

TEST_F(ScreenDialog, TextsRoundTripThroughThePictureAndAreReadByTheSharedReader)
{
    for (uint8_t model : {PanelModel128x64, PanelModel128x96}) {
        SelectPanelModel(model);
        const int bytes = Characters(model) / 2;
        QByteArray random(bytes, '\0');
        for (char &b : random)
            b = char(QRandomGenerator::global()->bounded(256));
        const QString text = PictureTextFromBytes(random);
        form.HexToImage(text.toLower(), CurrentModel.Width, CurrentModel.Height);
        EXPECT_EQ(form.ImageToHex(CurrentModel.Width, CurrentModel.Height), text) << int(model);

        // Short, with a pair that is no number and a lone last character.
        form.HexToImage(QStringLiteral("a5zz1"), CurrentModel.Width, CurrentModel.Height);
        EXPECT_EQ(form.ImageToHex(CurrentModel.Width, CurrentModel.Height),
                  PictureTextFromBytes(PictureBytesFromText(QStringLiteral("A50001"), bytes)));
    }
}

TEST_F(ScreenDialog, ALoadThatFailsKeepsThePictureShownBefore)
{
    SelectPanelModel(PanelModel128x96);
    TwNode node(nullptr, QString(), nkScreen);
    node.SetProp("ImageData", QStringLiteral("5A"));
    ASSERT_TRUE(form.LoadFromNode(&node));
    form.btnInverseClick();  // an edit not yet saved
    const QString edited = form.ImageToHex(128, 96);

    const struct {
        QString file;
        const char *dialog;  // the warning run, or none
        const char *box;     // the end of the message shown, or none
    } cases[] = {
        {PictureFile("small.png", {100, 50}), "fmWarm", nullptr},
        {PictureFile("model64.bmp", {128, 64}), "fmWarm", nullptr},
        {WriteTestFile(dir.filePath("bad.png"), "\x89PNG not really"), nullptr, "cannot be read."},
        {dir.filePath("missing.png"), nullptr, "cannot be read."},
        {WriteTestFile(dir.filePath("huge.bmp"), QByteArray(TFormScreen::MaxPictureFileBytes + 1, '\0')),
         nullptr, "is too large."},
        {QString(), nullptr, nullptr},  // the chooser cancelled
    };
    for (const auto &c : cases) {
        ui.AnswerFile(c.file);
        if (c.dialog)
            ui.AnswerDialog([](QDialog &) { return int(mrOk); });
        form.btnLoad->click();
        EXPECT_EQ(ui.Dialogs, c.dialog ? QStringList{c.dialog} : QStringList()) << c.file.toStdString();
        ASSERT_EQ(ui.Boxes.size(), c.box ? 1 : 0) << c.file.toStdString();
        if (c.box) {
            EXPECT_TRUE(ui.Boxes[0].text.endsWith(c.box)) << ui.Boxes[0].text.toStdString();
        }
        EXPECT_EQ(form.ImageToHex(128, 96), edited) << c.file.toStdString();
        ui.Dialogs.clear();
        ui.Boxes.clear();
    }
}

TEST_F(ScreenDialog, TheSaverCheckerboardSavesNoPictureAndInverseMakesItOne)
{
    for (uint8_t model : {PanelModel128x64, PanelModel128x96}) {
        SelectPanelModel(model);
        const int w = CurrentModel.Width, h = CurrentModel.Height;
        TwNode saver(nullptr, QString(), nkScreenSaver);
        saver.Props = QStringList{"Effect=2", "Description=night", "Caption=Saver"};
        ASSERT_TRUE(form.LoadFromNode(&saver));
        EXPECT_TRUE(form.btnClear->isEnabled());
        EXPECT_EQ(form.Picture().pixel(0, 0), 0xFFC0C0C0u);
        EXPECT_EQ(form.Picture().pixel(8, 0), 0xFFFFFFFFu);
        ASSERT_TRUE(form.SaveToNode(&saver));
        EXPECT_EQ(saver.Props, (QStringList{"Caption=Saver", "Description=night"}));

        // Silver squares turn white: the top-left square of the display is lit
        // as stored, wherever the model keeps it.
        form.btnInverseClick();
        const QString inverted = form.ImageToHex(w, h);
        ASSERT_EQ(inverted.size(), Characters(model));
        EXPECT_EQ(inverted.count('F'), inverted.size() / 2);
        EXPECT_EQ(inverted.left(2), "FF") << int(model);
        form.btnInverseClick();
        form.btnInverseClick();
        EXPECT_EQ(form.ImageToHex(w, h), inverted);
        form.btnClearClick();
        EXPECT_EQ(form.ImageToHex(w, h), QString());

        // A startup screen without a picture is all dark and saves it.
        TwNode screen(nullptr, QString(), nkScreen);
        ASSERT_TRUE(form.LoadFromNode(&screen));
        EXPECT_FALSE(form.btnClear->isEnabled());
        ASSERT_TRUE(form.SaveToNode(&screen));
        EXPECT_EQ(screen.GetProp("ImageData"), QString(Characters(model), '0'));
    }
    TwNode menu(nullptr, QString(), nkSubMenu);
    EXPECT_FALSE(form.LoadFromNode(&menu));
}

TEST(MenuDialog, WideTextsTurnOliveAndAreStillSavedAnEmptyOneIsRefused)
{
    TScriptedUiServices ui;
    TFormMenu &form = *MenuForm();
    TwNode value(nullptr, QString(), nkValue);
    EXPECT_FALSE(form.LoadFromNode(&value));
    TwNode node(nullptr, QString(), nkSubMenu);
    node.Props = QStringList{"Caption=Old", "Stale=1"};
    ASSERT_TRUE(form.LoadFromNode(&node));
    form.show();
    EXPECT_EQ(form.focusWidget(), form.edtCaption);

    form.edtCaption->clear();
    form.btOK->click();
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(ui.Boxes[0].warningCode, 2000);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(node.Props, (QStringList{"Caption=Old", "Stale=1"}));

    // 112 and 113 pixels wide in the output font.
    form.edtCaption->setText(QStringLiteral("Motor 1 current in A"));
    EXPECT_EQ(FieldTextColour(form.edtCaption), ToQColor(clFieldAccepted));
    form.edtCaption->setText(QStringLiteral("Oven 1 temperature"));
    EXPECT_EQ(FieldTextColour(form.edtCaption), ToQColor(clFieldTooWide));
    form.moDescription->setPlainText(QStringLiteral("hall 2\noven"));
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(node.Props,
              (QStringList{"Caption=Oven 1 temperature", "Description.Count=2",
                           "Description.Strings[0]=hall 2", "Description.Strings[1]=oven"}));
    delete FormMenu;
    EXPECT_EQ(FormMenu, nullptr);
}

TEST(StartupScreenDialog, FlipTimeFrom5To100AndWarning2006Otherwise)
{
    TScriptedUiServices ui;
    TFormStartupScreen form;
    TwNode node(nullptr, QString(), nkStartupScreen);
    node.Props = QStringList{"FlipTime=20"};
    ASSERT_TRUE(form.LoadFromNode(&node));
    form.show();
    const struct {
        const char *text;
        bool valid;
    } cases[] = {{"4", false},  {"101", false}, {"", false},  {"1e1", false},
                 {"-5", false}, {"5", true},    {"100", true}};
    for (const auto &c : cases) {
        form.edtFlipTime->setText(QLatin1String(c.text));
        EXPECT_EQ(FieldTextColour(form.edtFlipTime), ToQColor(c.valid ? clFieldAccepted : clFieldRefused))
            << c.text;
        form.btCancel->setFocus();
        form.btOK->click();
        EXPECT_EQ(ui.Boxes.size(), c.valid ? 0 : 1) << c.text;
        if (!c.valid) {
            EXPECT_EQ(ui.Boxes[0].warningCode, 2006);
            EXPECT_EQ(form.focusWidget(), form.edtFlipTime) << c.text;
            EXPECT_EQ(node.GetProp("FlipTime"), "20");
        } else {
            EXPECT_EQ(node.GetProp("FlipTime"), QLatin1String(c.text));
            form.show();
        }
        ui.Boxes.clear();
    }
}

TEST(StartupScreenDialog, EndConditionSwitchesTheCycleCountAndKeysFollowTheChoice)
{
    TFormStartupScreen form;
    const struct {
        const char *endCondition;
        const char *cycleCount;
        QRadioButton *TFormStartupScreen::*checked;  // null: none
        const char *savedCondition;                  // null: no key
        const char *savedCount;
    } cases[] = {
        {"0", "3", &TFormStartupScreen::rbByTime, "0", "3"},
        {"1", "10", &TFormStartupScreen::rbByKeypad, "1", "10"},
        {"2", "0", &TFormStartupScreen::rbByTimeOrKeypad, "2", "0"},
        {"", "5", &TFormStartupScreen::rbByTime, "0", "5"},
        // Values the dialog has no choice for are kept as they are stored.
        {"7", "11", nullptr, "7", "11"},
    };
    for (const auto &c : cases) {
        TwNode node(nullptr, QString(), nkStartupScreen);
        node.Props = QStringList{"Description=boot", "Stale=1", "Caption=Start", "FlipTime=8"};
        node.SetProp("EndCondition", c.endCondition);
        node.SetProp("CycleCount", c.cycleCount);
        ASSERT_TRUE(form.LoadFromNode(&node));
        for (QRadioButton *button : {form.rbByTime, form.rbByKeypad, form.rbByTimeOrKeypad})
            EXPECT_EQ(button->isChecked(), c.checked && button == form.*c.checked) << c.endCondition;
        const bool byKeypad = c.checked == &TFormStartupScreen::rbByKeypad;
        EXPECT_EQ(form.cbCycleCount->isEnabled(), !byKeypad) << c.endCondition;
        EXPECT_EQ(FieldGround(form.cbCycleCount), ToQColor(byKeypad ? clInactiveBorder : clWindow));

        ASSERT_TRUE(form.SaveToNode(&node));
        QStringList expected{"Caption=Start", "Description=boot"};
        if (c.savedCondition)
            expected << QStringLiteral("EndCondition=%1").arg(c.savedCondition);
        expected << "FlipTime=8";
        if (c.savedCount)
            expected << QStringLiteral("CycleCount=%1").arg(c.savedCount);
        EXPECT_EQ(node.Props, expected) << c.endCondition;
    }

    // Back from "By Keypad", the cycle count returns with its value.
    form.rbByKeypad->click();
    form.cbCycleCount->setCurrentText("4");
    EXPECT_FALSE(form.cbCycleCount->isEnabled());
    form.rbByTime->click();
    EXPECT_TRUE(form.cbCycleCount->isEnabled());
    EXPECT_EQ(form.cbCycleCount->currentText(), "4");

    TwNode screen(nullptr, QString(), nkScreen);
    EXPECT_FALSE(form.LoadFromNode(&screen));
}

TEST(ScreenMenuStartupTexts, FitInEveryShippedLanguageOnBothModels)
{
    QTemporaryDir dir;
    StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
    ASSERT_GE(Localizer.LanguageCount(), 2);
    TFormMenu menu;
    TFormStartupScreen startup;
    for (uint8_t model : {PanelModel128x64, PanelModel128x96}) {
        SelectPanelModel(model);
        TFormScreen screen;
        TwNode saver(nullptr, QString(), nkScreenSaver);
        ASSERT_TRUE(screen.LoadFromNode(&saver));
        for (int language = 0; language < Localizer.LanguageCount(); ++language) {
            Localizer.SetLanguage(language);
            for (QWidget *form : std::initializer_list<QWidget *>{&screen, &menu, &startup})
                EXPECT_TRUE(TextsFit(form)) << "language." << language + 1;
            EXPECT_EQ(screen.imgImage->size(), QSize(CurrentModel.Width, CurrentModel.Height));
            EXPECT_EQ(screen.blImage->height(), CurrentModel.Height + 18);
        }
        EXPECT_EQ(screen.btnInverse->text(), QStringLiteral("Invertieren"));
    }
    EXPECT_EQ(startup.rbByTimeOrKeypad->text(), QStringLiteral("Nach Zeit oder Tastendruck"));
    SelectPanelModel(PanelModel128x64);
    Localizer.Reset();
}

}  // namespace
