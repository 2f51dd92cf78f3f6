// The menu dialog (its text against the panel's row, measured with the
// compiler's rasteriser) and the startup screen dialog (end condition, flip
// time range, cycle count), with their texts in every shipped language.
#include "Fieldcolours.h"
#include "Inputchecks.h"
#include "Lumor_unicode.h"
#include "Menuform.h"
#include "ModalResult.h"
#include "Outputfont.h"
#include "PanelLcdDriver.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "Strscrfm.h"
#include "TextFit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(MenuDialog, WideTextsTurnOliveAndAreStillSavedAnEmptyOneIsRefused)
{
    TScriptedUiServices ui;
    for (uint8_t model : {PanelModel128x64, PanelModel128x96}) {
        SelectPanelModel(model);
        TFormMenu form;
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
        ui.Boxes.clear();

        // 112 and 113 pixels wide in the output font.
        ASSERT_EQ(PanelTextWidth(QStringLiteral("Motor 1 current in A")), 112);
        ASSERT_EQ(PanelTextWidth(QStringLiteral("Oven 1 temperature")), 113);
        form.edtCaption->setText(QStringLiteral("Motor 1 current in A"));
        EXPECT_EQ(FieldTextColour(form.edtCaption), ToQColor(clFieldAccepted));
        form.edtCaption->setText(QStringLiteral("Oven 1 temperature"));
        EXPECT_EQ(FieldTextColour(form.edtCaption), ToQColor(clFieldTooWide));
        form.moDescription->setPlainText(QStringLiteral("hall 2\n\noven"));
        form.btOK->click();
        EXPECT_EQ(form.result(), mrOk);
        EXPECT_TRUE(ui.Boxes.isEmpty());
        EXPECT_EQ(node.Props,
                  (QStringList{"Caption=Oven 1 temperature", "Description.Count=3",
                               "Description.Strings[0]=hall 2", "Description.Strings[2]=oven"}));
    }
    TwNode value(nullptr, QString(), nkValue);
    EXPECT_FALSE(MenuForm()->LoadFromNode(&value));
    EXPECT_EQ(MenuForm(), FormMenu);
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
        {"7", "11", nullptr, nullptr, nullptr},
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

TEST(MenuStartupTexts, FitInEveryShippedLanguage)
{
    QTemporaryDir dir;
    StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
    TFormMenu menu;
    TFormStartupScreen startup;
    ASSERT_GE(Localizer.LanguageCount(), 2);
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        EXPECT_TRUE(TextsFit(&menu)) << "language." << language + 1;
        EXPECT_TRUE(TextsFit(&startup)) << "language." << language + 1;
    }
    EXPECT_EQ(startup.rbByTimeOrKeypad->text(), QStringLiteral("Nach Zeit oder Tastendruck"));
    EXPECT_EQ(menu.lbDescription->text(), QStringLiteral("Beschreibung:"));
    Localizer.Reset();
}

}  // namespace
