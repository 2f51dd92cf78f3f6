// The shared input checks, the colour mapping, the field states and the
// panel width of captions measured with the compiler's rasteriser.
#include "dialogs/InputChecks.h"
#include "Operands.h"
#include "PanelLcdDriver.h"
#include "ScriptedUiServices.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/FieldColours.h"
#include "dialogs/OutputFont.h"
#include "dialogs/ValueDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kOlive(128, 128, 0);

// A shown dialog with two edits, the focus on the second.
struct TwoEdits {
    TwoEdits()
    {
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addWidget(other);
        dialog.show();
        other->setFocus();
    }
    QDialog dialog;
    QLineEdit *edit = new QLineEdit(&dialog);
    QLineEdit *other = new QLineEdit(&dialog);
};

TEST(InputChecks, OperandEditColoursAndWarnsOnlyWithACode)
{
    struct Case {
        const char *text;
        int code;
        uint32_t match;
        QColor colour;
        bool warned;  // warning shown and focus moved to the edit
    };
    const Case cases[] = {
        {"R100", 2006, opR, kGreen, false}, {"R100", NoWarning, opR, kGreen, false},
        {"X7", 2006, 0, kRed, true},  // a valid operand of a kind the field does not take
        {"", 2001, 0, kRed, true},          {"X7", NoWarning, 0, kRed, false},
        {"", NoWarning, 0, kRed, false},
    };
    for (const Case &c : cases) {
        TScriptedUiServices ui;
        TwoEdits form;
        form.edit->setText(c.text);
        EXPECT_EQ(CheckOperandEdit(form.edit, maskValueReference, c.code), c.match) << c.text;
        EXPECT_EQ(FieldTextColour(form.edit), c.colour) << c.text;
        EXPECT_EQ(form.dialog.focusWidget(), c.warned ? form.edit : form.other) << c.text;
        ASSERT_EQ(ui.Boxes.size(), c.warned ? 1 : 0) << c.text;
        if (c.warned) {
            EXPECT_EQ(ui.Boxes[0].kind, TBoxRequest::Warning);
            EXPECT_EQ(ui.Boxes[0].warningCode, c.code);
        }
    }
    TScriptedUiServices ui;
    EXPECT_EQ(CheckOperandEdit(nullptr, maskAnyOperand, 2006), 0u);
    EXPECT_TRUE(ui.Boxes.isEmpty());
}

TEST(InputChecks, EditNotEmptyWarnsAndFocusesButKeepsTheColour)
{
    TScriptedUiServices ui;
    TwoEdits form;
    SetFieldTextColour(form.edit, clFieldRefused);
    form.edit->setText(QStringLiteral(" "));
    EXPECT_TRUE(CheckEditNotEmpty(form.edit, 2011));  // not trimmed
    EXPECT_TRUE(ui.Boxes.isEmpty());
    EXPECT_EQ(form.dialog.focusWidget(), form.other);

    form.edit->clear();
    EXPECT_FALSE(CheckEditNotEmpty(form.edit, 2011));
    ASSERT_EQ(ui.Boxes.size(), 1);
    EXPECT_EQ(ui.Boxes[0].warningCode, 2011);
    EXPECT_EQ(form.dialog.focusWidget(), form.edit);
    EXPECT_EQ(FieldTextColour(form.edit), kRed);
}

TEST(InputChecks, NumberEditTakesTheConstantsOfTheReferencesMode)
{
    EXPECT_EQ(NumberModeOfReference(opRC, false), cdtUnsigned16);
    EXPECT_EQ(NumberModeOfReference(opDRC, true), cdtSigned32);
    EXPECT_EQ(NumberModeOfReference(opM, false), -1);

    struct Case {
        const char *text;
        int mode;
        int code;
        bool valid;
    };
    const Case cases[] = {
        {"65535", cdtUnsigned16, 2006, true},
        {"70000", cdtUnsigned16, 2006, false},
        {"-1", cdtUnsigned32, NoWarning, false},
        {"R100", cdtSigned32, 2006, false},
        {"5", -1, 2006, false},  // no number mode
    };
    for (const Case &c : cases) {
        TScriptedUiServices ui;
        TwoEdits form;
        form.edit->setText(c.text);
        EXPECT_EQ(CheckNumberEdit(form.edit, c.mode, c.code), c.valid) << c.text;
        EXPECT_EQ(FieldTextColour(form.edit), c.valid ? kGreen : kRed) << c.text;
        const bool warned = !c.valid && c.code != NoWarning;
        EXPECT_EQ(ui.Boxes.size(), warned ? 1 : 0) << c.text;
        EXPECT_EQ(form.dialog.focusWidget(), warned ? form.edit : form.other) << c.text;
    }
}

TEST(FieldColours, OwnColoursAreBgrAndSystemColoursFollowThePalette)
{
    EXPECT_EQ(ToQColor(clFieldAccepted), kGreen);
    EXPECT_EQ(ToQColor(clFieldRefused), kRed);
    EXPECT_EQ(ToQColor(clFieldTooWide), kOlive);
    EXPECT_EQ(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));

    QPalette palette;
    const struct {
        QPalette::ColorRole role;
        QColor colour;
        TColor system;
    } roles[] = {
        {QPalette::Base, QColor(1, 2, 3), SystemColour(5)},
        {QPalette::Text, QColor(4, 5, 6), SystemColour(8)},
        {QPalette::Window, QColor(7, 8, 9), SystemColour(11)},
        {QPalette::Highlight, QColor(10, 11, 12), SystemColour(13)},
    };
    for (const auto &r : roles)
        palette.setColor(r.role, r.colour);
    for (const auto &r : roles)
        EXPECT_EQ(ToQColor(r.system, palette), r.colour) << r.system;
    // A system colour without a role reads as the window text.
    EXPECT_EQ(ToQColor(SystemColour(1), palette), QColor(4, 5, 6));

    // The inactive border is a light grey in the standard palette.
    const QColor border = ToQColor(clInactiveBorder);
    EXPECT_GT(border.lightness(), 180);
    EXPECT_LT(border.hslSaturation(), 30);
}

TEST(FieldColours, FieldStatesSetAndReset)
{
    QLineEdit edit;
    const QPalette standard = QApplication::palette(&edit);
    SetFieldTextColour(&edit, clFieldTooWide);
    EXPECT_EQ(FieldTextColour(&edit), kOlive);
    // A disabled field keeps its greyed text.
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Text),
              standard.color(QPalette::Disabled, QPalette::Text));
    SetFieldTextColour(&edit, clWindowText);
    EXPECT_EQ(FieldTextColour(&edit), standard.color(QPalette::Active, QPalette::Text));

    SetFieldGround(&edit, false);
    EXPECT_EQ(FieldGround(&edit), ToQColor(clInactiveBorder));
    EXPECT_EQ(edit.palette().color(QPalette::Disabled, QPalette::Base), ToQColor(clInactiveBorder));
    SetFieldGround(&edit, true);
    EXPECT_EQ(edit.palette(), QApplication::palette(&edit));
}

TEST(PanelWidth, ThresholdsMeasuredWithTheCompilersRasteriser)
{
    ASSERT_EQ(PanelFontName(), QStringLiteral("Tahoma"));
    struct Case {
        const char *text;
        int width;
        int maxWidth;
        TColor tooWide;
        QColor colour;
    };
    const Case cases[] = {
        {"Line speed in m/min", 110, ItemCaptionMaxWidth, clFieldTooWide, kGreen},
        {"Motor current in mA", 111, ItemCaptionMaxWidth, clFieldTooWide, kOlive},
        {"Motor 1 current in A", 112, AlarmLineMaxWidth, clFieldRefused, kGreen},
        {"Oven 1 temperature", 113, AlarmLineMaxWidth, clFieldRefused, kRed},
        {"", 0, ItemCaptionMaxWidth, clFieldTooWide, kGreen},
    };
    QLineEdit edit;
    for (const Case &c : cases) {
        ASSERT_EQ(PanelTextWidth(c.text), c.width) << c.text;
        edit.setText(c.text);
        EXPECT_EQ(ColourByPanelWidth(&edit, c.maxWidth, c.tooWide), c.colour == kGreen) << c.text;
        EXPECT_EQ(FieldTextColour(&edit), c.colour) << c.text;
    }

    // A menu caption may take the display's width less 16 on both models.
    for (uint8_t model : {PanelModel128x64, PanelModel128x96}) {
        ASSERT_TRUE(SelectPanelModel(model));
        EXPECT_EQ(MenuCaptionMaxWidth(), 112);
        EXPECT_TRUE(FitsPanel(QStringLiteral("Motor 1 current in A"), MenuCaptionMaxWidth()));
        EXPECT_FALSE(FitsPanel(QStringLiteral("Oven 1 temperature"), MenuCaptionMaxWidth()));
    }
    SelectPanelModel(PanelModel128x64);
}

TEST(PanelWidth, FollowsTheOutputFont)
{
    const QString text = QStringLiteral("Motor 1 current in A");
    const int tahoma = PanelTextWidth(text);
    OutputFontName = QStringLiteral("DejaVu Sans");
    const int other = PanelTextWidth(text);
    OutputFontName.clear();  // an empty name measures in "Tahoma"
    EXPECT_EQ(PanelTextWidth(text), tahoma);
    OutputFontName = QStringLiteral("Tahoma");
    EXPECT_NE(other, tahoma);
    EXPECT_GT(other, 0);
}

// An alarm dialog whose first line is line, after OK.
struct AlarmAfterOk {
    explicit AlarmAfterOk(const char *line)
    {
        node.SetProp("Line1", line);
        form.LoadFromNode(&node);
        form.show();
        form.btOK->click();
    }
    TScriptedUiServices ui;
    TwNode node{nullptr, QString(), nkAlarm};
    TFormAlarm form;
};

TEST(PanelWidth, AFaceThatIsNotInstalledIsMeasuredInItsSubstitute)
{
    OutputFontName = QStringLiteral("No Such Face Anywhere");
    EXPECT_TRUE(PanelFontLoaded());
    EXPECT_TRUE(FitsPanel(QStringLiteral("Oven"), AlarmLineMaxWidth));
    const AlarmAfterOk alarm("Oven 1 temperature too high");
    EXPECT_EQ(FieldTextColour(alarm.form.edtLines[0]), kRed);
    ASSERT_EQ(alarm.ui.Boxes.size(), 1);
    EXPECT_EQ(alarm.ui.Boxes[0].warningCode, 2008);
    OutputFontName = QStringLiteral("Tahoma");
}

// Without any font to stand in for the output font (run in a process of its
// own, whose fontconfig knows no fonts): no width is known, so no width
// check passes, and OK says why.
void MeasureWithoutAnyFont()
{
    QStringList problems;
    auto expect = [&problems](bool holds, const char *what) {
        if (!holds)
            problems.append(QLatin1String(what));
    };
    OutputFontName = QStringLiteral("No Such Face Anywhere");
    expect(!PanelFontLoaded(), "no font loaded");
    TScriptedUiServices ui;
    TFormValue value;
    TwNode node(nullptr, QString(), nkValue);
    node.Props = QStringList{"Caption=A", "Reference=R1"};
    value.LoadFromNode(&node);
    value.show();
    expect(FieldTextColour(value.edtCaption) == kOlive, "caption olive");
    value.btOK->click();
    expect(value.isVisible() && value.focusWidget() == value.edtCaption, "value refused on its caption");
    const AlarmAfterOk alarm("A");
    expect(FieldTextColour(alarm.form.edtLines[0]) == kRed, "alarm line red");
    expect(alarm.form.isVisible(), "alarm refused");
    for (const TScriptedUiServices *services : {&std::as_const(ui), &alarm.ui}) {
        expect(services->Boxes.size() == 1 && services->Boxes[0].kind == TBoxRequest::Message
                   && services->Boxes[0].text.contains(
                       QStringLiteral("\"No Such Face Anywhere\" cannot be loaded")),
               "the font's message");
    }
    std::fprintf(stderr, "%s\n", qPrintable(problems.join(QStringLiteral(", "))));
    std::_Exit(problems.isEmpty() ? 0 : 1);
}

TEST(PanelWidthDeathTest, NoFontAtAllRefusesEveryWidthCheckWithAMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("fonts.conf"));
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
    file.close();
    const QByteArray before = qgetenv("FONTCONFIG_FILE");
    qputenv("FONTCONFIG_FILE", QFile::encodeName(config));
    EXPECT_EXIT(MeasureWithoutAnyFont(), ::testing::ExitedWithCode(0), "");
    if (before.isEmpty())
        qunsetenv("FONTCONFIG_FILE");
    else
        qputenv("FONTCONFIG_FILE", before);
}

}  // namespace
