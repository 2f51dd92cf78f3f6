// The small dialogs: compile result, output font, search, alarm trigger,
// picture-format warning and About, with their texts in every language.
#include "DownloadDialog.h"
#include "GlyphRaster.h"
#include "PanelLcdDriver.h"
#include "PlcLink.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "TextFit.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/CompileResultDialog.h"
#include "dialogs/FieldColours.h"
#include "dialogs/OutputFont.h"
#include "dialogs/OutputFontDialog.h"
#include "dialogs/PictureFormatWarning.h"
#include "dialogs/SearchDialog.h"
#include "simulator/AlarmTriggerDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class SmallDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
        ASSERT_EQ(Localizer.LanguageNumber(), 1);
        savedFont = OutputFontName;
        MenuFileName.clear();
        runtime::CurrentAlarmNumber = 0;
    }
    void TearDown() override
    {
        Localizer.Reset();
        OutputFontName = savedFont;
        MenuFileName.clear();
        SelectPanelModel(PanelModel128x64);
    }

    QTemporaryDir dir;
    TScriptedUiServices ui;
    QString savedFont;
};

// ---- Compile result ---------------------------------------------------------

TEST_F(SmallDialogs, CompileResultShowsTheSizeAgainstTheLimitAndAnImageTooLargeAsAnError)
{
    struct Case {
        uint32_t size;
        int percent;
        bool exceeded;
    };
    const Case cases[] = {{140000, 100, true}, {1000, 0, false},   {131072, 100, false},
                          {131073, 100, true}, {65536, 50, false}, {0xFFFFFFFFu, 100, true}};
    TFormCompile form;
    for (const Case &c : cases) {
        const QString file = QStringLiteral("/p/Demo %1.mda").arg(c.size);
        form.ShowResult(file, c.size, kMenuImageLimit);
        EXPECT_EQ(form.lbInformation->text(),
                  QStringLiteral("Code Size : %1 Bytes / 131072 Bytes").arg(c.size));
        EXPECT_EQ(form.lbOutFile->text(), QStringLiteral("Output file : ") + file);
        EXPECT_EQ(MenuFileName, file);
        EXPECT_EQ(form.cgInformat->value(), c.percent) << c.size;
        EXPECT_EQ(form.SizeExceeded(), c.exceeded) << c.size;
        EXPECT_EQ(form.lbSizeError->isVisibleTo(&form), c.exceeded) << c.size;
        const bool red = FieldTextColour(form.lbInformation) == ToQColor(clFieldRefused);
        EXPECT_EQ(red, c.exceeded) << c.size;
        EXPECT_EQ(form.cgInformat->palette().color(QPalette::Highlight) == ToQColor(clFieldRefused),
                  c.exceeded);
        if (c.exceeded) {
            EXPECT_EQ(FieldTextColour(form.lbSizeError), ToQColor(clFieldRefused));
            EXPECT_TRUE(form.lbSizeError->text().contains(QString::number(c.size - kMenuImageLimit)))
                << form.lbSizeError->text().toStdString();
        }
    }
}

// ---- Output font ------------------------------------------------------------

TEST_F(SmallDialogs, OutputFontIsReadAtCreationWithTahomaForAFaceNotInstalled)
{
    ASSERT_TRUE(OutputFontFamilies().contains(QStringLiteral("DejaVu Sans")));
    struct Case {
        const char *stored;  // nullptr: no value
        const char *chosen;
    };
    const Case cases[] = {
        {nullptr, "Tahoma"}, {"DejaVu Sans", "DejaVu Sans"}, {"No Such Face 7", "Tahoma"}, {"", "Tahoma"}};
    for (const Case &c : cases) {
        TScriptedUiServices settings;
        if (c.stored)
            settings.Settings()->setValue(QStringLiteral("OutFont"), QString::fromUtf8(c.stored));
        OutputFontName = QStringLiteral("before");
        TfmFontSelect form;
        EXPECT_EQ(OutputFontName, QLatin1String(c.chosen)) << (c.stored ? c.stored : "(none)");
        EXPECT_EQ(form.ComboBox1->currentText(), QLatin1String(c.chosen));
        EXPECT_FALSE(form.ComboBox1->isEditable());
    }
}

TEST_F(SmallDialogs, OutputFontChoiceTakesEffectOnOkAndIsWrittenOnlyAtTheEnd)
{
    auto form = std::make_unique<TfmFontSelect>();
    ASSERT_EQ(OutputFontName, QStringLiteral("Tahoma"));
    const int dejaVu = form->ComboBox1->findText(QStringLiteral("DejaVu Sans"));
    ASSERT_GE(dejaVu, 0);

    // Cancel puts the choice back.
    form->ComboBox1->setCurrentIndex(dejaVu);
    form->btCancel->click();
    EXPECT_EQ(form->result(), int(mrCancel));
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("Tahoma"));
    EXPECT_EQ(OutputFontName, QStringLiteral("Tahoma"));

    form->ComboBox1->setCurrentIndex(dejaVu);
    form->btOK->click();
    EXPECT_EQ(form->result(), int(mrOk));
    EXPECT_EQ(OutputFontName, QStringLiteral("DejaVu Sans"));
    EXPECT_FALSE(ui.Settings()->contains(QStringLiteral("OutFont")));

    form.reset();  // program end
    EXPECT_EQ(ui.Settings()->value(QStringLiteral("OutFont")).toString(), QStringLiteral("DejaVu Sans"));
    TfmFontSelect again;
    EXPECT_EQ(again.ComboBox1->currentText(), QStringLiteral("DejaVu Sans"));
}

// ---- Search -----------------------------------------------------------------

TEST_F(SmallDialogs, SearchReferenceIsColouredLiveAndInUpperCase)
{
    TfmSearch form;
    form.show();
    EXPECT_TRUE(form.rbRefNo->isChecked());
    EXPECT_TRUE(form.edtReference->isEnabled() && form.lbRef->isEnabled());
    EXPECT_FALSE(form.edtFindString->isEnabled() || form.lbString->isEnabled());

    const struct {
        const char *typed;
        const char *shown;
        bool valid;
    } cases[] = {
        {"r100", "R100", true}, {"drc205", "DRC205", true}, {"x17", "X17", true},  {"123", "123", true},
        {"-5", "-5", true},     {"r", "R", false},          {"abc", "ABC", false}, {"", "", false}};
    for (const auto &c : cases) {
        form.edtReference->clear();
        QTest::keyClicks(form.edtReference, QString::fromLatin1(c.typed));
        EXPECT_EQ(form.edtReference->text(), QLatin1String(c.shown));
        EXPECT_EQ(form.IsReferenceValid(), c.valid) << c.typed;
        EXPECT_EQ(FieldTextColour(form.edtReference), ToQColor(c.valid ? clFieldAccepted : clFieldRefused))
            << c.typed;
    }
}

TEST_F(SmallDialogs, SearchOkIsRefusedSilentlyUntilTheChosenScopeHoldsValidInput)
{
    TfmSearch form;
    form.show();
    form.edtReference->setText(QStringLiteral("R"));
    form.edtFindString->setText(QStringLiteral("Speed"));
    form.btOK->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.result(), 0);
    EXPECT_EQ(form.focusWidget(), form.edtReference);

    // By text: the reference no longer matters, an empty text does.
    form.rbString->click();
    EXPECT_TRUE(form.edtFindString->isEnabled() && form.lbString->isEnabled());
    EXPECT_FALSE(form.edtReference->isEnabled() || form.lbRef->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.edtFindString);
    form.edtFindString->clear();
    form.btOK->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.edtFindString);
    form.edtFindString->setText(QStringLiteral("Speed"));
    form.btOK->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), int(mrOk));
    EXPECT_FALSE(form.SearchByReference());

    form.show();
    form.rbRefNo->click();
    form.edtReference->setText(QStringLiteral("D100"));
    form.btOK->click();
    EXPECT_EQ(form.result(), int(mrOk));
    EXPECT_TRUE(form.SearchByReference());
    EXPECT_TRUE(ui.Boxes.isEmpty());
}

// ---- Alarm trigger ----------------------------------------------------------

TEST_F(SmallDialogs, AlarmTriggerSetsTheChosenNumberOnOkOnly)
{
    TfrmAlarmTrig *form = AlarmTrigForm();
    EXPECT_FALSE(form->cbAlarmNo->isEditable());
    ASSERT_EQ(form->cbAlarmNo->count(), 64);
    EXPECT_EQ(form->cbAlarmNo->itemText(63), QStringLiteral("64"));
    EXPECT_EQ(form->cbAlarmNo->currentText(), QStringLiteral("1"));

    const struct {
        int index;
        bool ok;
        uint16_t alarm;
    } cases[] = {{63, true, 64}, {4, false, 64}, {0, true, 1}, {9, true, 10}};
    for (const auto &c : cases) {
        ui.AnswerDialog([&](QDialog &dialog) {
            EXPECT_EQ(&dialog, form);
            form->cbAlarmNo->setCurrentIndex(c.index);
            if (c.ok)
                form->btnOk->click();
            else
                form->reject();  // closed from the title bar
            return form->result();
        });
        EXPECT_EQ(ShowAlarmTrigger(), c.ok ? int(mrOk) : int(mrCancel));
        EXPECT_EQ(runtime::CurrentAlarmNumber, c.alarm) << c.index;
    }
    EXPECT_EQ(ui.Dialogs, QStringList(4, QStringLiteral("frmAlarmTrig")));
    delete form;
    EXPECT_EQ(frmAlarmTrig, nullptr);
}

// ---- Picture-format warning -------------------------------------------------

TEST_F(SmallDialogs, PictureFormatWarningNamesTheSizeOfTheCurrentModel)
{
    const struct {
        int language;
        int model;  // -1: a record of no known id
        const char *text;
    } cases[] = {
        {0, PanelModel128x64, "Picture should be in 128x64 format"},
        {0, PanelModel128x96, "Picture should be in 128x96 format"},
        {0, -1, "Picture should be in 128x96 format"},  // the text shown last
        {1, PanelModel128x64, "Das Bild muss das Format 128x64 haben"},
        {1, PanelModel128x96, "Das Bild muss das Format 128x96 haben"},
    };
    TfmWarm form;
    for (const auto &c : cases) {
        Localizer.SetLanguage(c.language);
        if (c.model >= 0)
            SelectPanelModel(uint8_t(c.model));
        else
            CurrentModel.ModelId = 7;
        QString shown;
        ui.AnswerDialog([&](QDialog &dialog) {
            EXPECT_EQ(&dialog, &form);
            shown = form.lbWarnFormat->text();
            return int(mrOk);
        });
        ShowPictureFormatWarning(&form);
        EXPECT_EQ(shown, QString::fromUtf8(c.text));
        if (c.model < 0)
            SelectPanelModel(PanelModel128x64);
    }
}

// ---- About ------------------------------------------------------------------

TEST_F(SmallDialogs, AboutShowsTheVersionAndItsClickTheLocaleId)
{
    TFormAbout &form = AboutForm();
    EXPECT_EQ(form.lbVersion->text(), QStringLiteral("V 1.2 Build 03152011"));
    form.show();
    QTest::mouseClick(form.lbVersion, Qt::LeftButton);
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Plain);
    EXPECT_EQ(ui.Boxes[0].text, QStringLiteral("Locale ID=1033"));
    delete &form;
    EXPECT_EQ(FormAbout, nullptr);
}

// ---- Every language ----------------------------------------------------------

TEST_F(SmallDialogs, EveryLanguageFitsEveryDialog)
{
    TFormCompile compile;
    TFormAbout about;
    TfmSearch search;
    TfmFontSelect font;
    TfrmAlarmTrig alarm;
    TfmWarm warm;
    ASSERT_GE(Localizer.LanguageCount(), 2);
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        EXPECT_NE(about.windowTitle(), QStringLiteral("FormAbout"));
        compile.ShowResult(QStringLiteral("/home/user/projects/Demo.mda"), 140000, kMenuImageLimit);
        for (QWidget *form : std::initializer_list<QWidget *>{&compile, &about, &search, &font, &alarm})
            EXPECT_TRUE(TextsFit(form)) << "language." << language + 1;
        for (uint8_t model : {PanelModel128x64, PanelModel128x96}) {
            SelectPanelModel(model);
            ui.AnswerDialog([&](QDialog &) {
                EXPECT_TRUE(TextsFit(&warm)) << "language." << language + 1 << " model " << int(model);
                return int(mrOk);
            });
            ShowPictureFormatWarning(&warm);
        }
    }
    Localizer.SetLanguage(1);
    EXPECT_EQ(search.rbRefNo->text(), QStringLiteral("Referenznummer"));
    EXPECT_EQ(alarm.windowTitle(), QStringLiteral("Alarm auslösen"));
}

}  // namespace
