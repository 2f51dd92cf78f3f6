// The value, list and alarm dialogs: their OK checks in order, the live rules
// between reference, limits, count and Read Only, the keys they save, the
// alarm indexes, alarm lines measured as the panel shows them, and their
// texts in every shipped language.
#include "ModalResult.h"
#include "ProjectBuilder.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "TextFit.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/FieldColours.h"
#include "dialogs/ListDialog.h"
#include "dialogs/OutputFont.h"
#include "dialogs/ValueDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

// Runs the OK checks with the focus elsewhere: the warning shown (0 for
// none) and where the focus went.
struct TCheckResult {
    int warning = 0;
    QWidget *focus = nullptr;
};
TCheckResult RunChecks(TItemDialog &dialog, TScriptedUiServices &ui)
{
    ui.Boxes.clear();
    dialog.btCancel->setFocus();
    const bool valid = dialog.ValidateInput();
    EXPECT_EQ(valid, ui.Boxes.isEmpty());
    if (valid)
        return {};
    EXPECT_EQ(ui.Boxes.size(), 1);
    return {ui.Boxes[0].warningCode, dialog.focusWidget()};
}

TEST(ValueDialog, OkChecksRunInOrderWithTheirWarningAndField)
{
    TScriptedUiServices ui;
    TFormValue form;
    TwNode node(nullptr, QString(), nkValue);
    node.SetProp("DecimalPoint", "0");
    ASSERT_TRUE(form.LoadFromNode(&node));
    form.show();
    const QByteArray before = NodeRecord(node);

    struct Case {
        const char *caption;
        const char *reference;
        bool isSigned;
        const char *places;
        const char *max;
        const char *min;
        int warning;
        QWidget *field;
    };
    const Case cases[] = {
        {"", "R1", false, "0", "", "", 2000, form.edtCaption},
        {"Speed", "", false, "0", "", "", 2001, form.edtReference},
        {"Speed", "R70000", false, "0", "", "", 2006, form.edtReference},
        {"Speed", "X1", false, "0", "", "", 2006, form.edtReference},
        {"Speed", "R100", false, "5", "", "", 2005, form.cbDecimalPoint},
        {"Speed", "DR100", false, "5", "", "", 0, nullptr},
        {"Speed", "R1", false, "4", "70000", "", 2006, form.edtMax},
        {"Speed", "R1", false, "0", "-5", "", 2006, form.edtMax},
        {"Speed", "R1", false, "0", "10", "1O", 2006, form.edtMin},
        {"Speed", "R1", false, "0", "5", "10", 2007, form.edtMin},
        {"Speed", "R1", false, "0", "10", "10", 0, nullptr},
        {"Speed", "R1", false, "0", "", "20", 0, nullptr},
        // Unsigned 32-bit limits compare as the numbers they are.
        {"Speed", "DD1", false, "0", "4294967295", "4000000000", 0, nullptr},
        {"Speed", "DD1", false, "0", "4000000000", "4294967295", 2007, form.edtMin},
        {"Speed", "DR1", true, "0", "2147483648", "", 2006, form.edtMax},
    };
    for (const Case &c : cases) {
        form.edtCaption->setText(c.caption);
        form.edtReference->setText(c.reference);
        form.cbSigned->setChecked(c.isSigned);
        form.cbDecimalPoint->setCurrentIndex(form.cbDecimalPoint->findText(c.places));
        form.edtMax->setText(c.max);
        form.edtMin->setText(c.min);
        const TCheckResult result = RunChecks(form, ui);
        EXPECT_EQ(result.warning, c.warning) << c.reference << " " << c.max << " " << c.min;
        EXPECT_EQ(result.focus, c.field) << c.reference << " " << c.max << " " << c.min;
    }
    EXPECT_EQ(NodeRecord(node), before);

    // OK writes the keys in their order; empty fields leave none.
    form.edtReference->setText("R1");
    form.cbSigned->setChecked(false);
    form.edtMax->clear();
    form.edtMin->setText("20");
    form.edtUnit->setText("rpm");
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(node.Props,
              QStringList({"Caption=Speed", "Description.Count=0", "Reference=R1", "Min=20", "Signed=0",
                           "Unit=rpm", "DecimalPoint=0", "ReadOnly=0"}));
}

TEST(ValueDialog, TimersAndCountersAreReadOnlyAndUnsignedAndLimitsFollowTheMode)
{
    TScriptedUiServices ui;
    TFormValue form;
    // Stored against the rule: writable and signed.
    TwNode timer(nullptr, QString(), nkValue);
    timer.Props =
        QStringList{"Caption=Time", "Reference=RT5", "Max=70000", "Signed=1", "ReadOnly=0", "DecimalPoint=2"};
    ASSERT_TRUE(form.LoadFromNode(&timer));
    EXPECT_TRUE(form.cbReadOnly->isChecked());
    EXPECT_FALSE(form.cbReadOnly->isEnabled());
    EXPECT_FALSE(form.cbSigned->isChecked());
    EXPECT_FALSE(form.cbSigned->isEnabled());
    for (QLineEdit *limit : {form.edtMax, form.edtMin}) {
        EXPECT_FALSE(limit->isEnabled());
        EXPECT_EQ(FieldGround(limit), ToQColor(clInactiveBorder));
    }
    EXPECT_EQ(FieldTextColour(form.edtMin), ToQColor(clWindowText));
    form.show();
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(timer.GetProp("ReadOnly"), "1");
    EXPECT_EQ(timer.GetProp("Signed"), "0");
    EXPECT_EQ(timer.GetProp("Max"), "70000");  // kept as it stands

    // The next node's reference frees both boxes; their states are the node's.
    TwNode value(nullptr, QString(), nkValue);
    value.Props = QStringList{"Reference=R7", "Max=-5", "Signed=1", "ReadOnly=0"};
    ASSERT_TRUE(form.LoadFromNode(&value));
    EXPECT_TRUE(form.cbReadOnly->isEnabled() && form.cbSigned->isEnabled());
    EXPECT_TRUE(form.cbSigned->isChecked());
    EXPECT_FALSE(form.cbReadOnly->isChecked());
    EXPECT_TRUE(form.edtMax->isEnabled());
    EXPECT_EQ(FieldGround(form.edtMax), ToQColor(clWindow));
    EXPECT_EQ(FieldTextColour(form.edtMax), kGreen);

    // Max through a change of Signed made while Read Only had it switched off.
    form.cbSigned->setChecked(false);
    EXPECT_EQ(FieldTextColour(form.edtMax), kRed);
    form.cbReadOnly->setChecked(true);
    form.cbSigned->setChecked(true);
    form.cbReadOnly->setChecked(false);
    EXPECT_EQ(FieldTextColour(form.edtMax), kGreen);
    form.edtReference->setText("X1");
    EXPECT_EQ(FieldTextColour(form.edtMax), ToQColor(clWindowText));
    EXPECT_EQ(FieldTextColour(form.edtReference), kRed);
    form.edtReference->setText("DRC200");
    EXPECT_TRUE(form.cbReadOnly->isChecked());
    EXPECT_FALSE(form.cbSigned->isChecked());
    EXPECT_FALSE(form.edtMax->isEnabled());
}

TEST(ValueDialog, AFlagShowsWhatThePanelDoes)
{
    // "-1" is no flag to the compiler: the panel lets the operator write the
    // value, and the dialog shows it writable.
    TScriptedUiServices ui;
    TFormValue form;
    TestProject project = NewTestProject();
    TwNode *value = AddValue(project.MainMenu, "Flow", "R7");
    value->Props =
        QStringList{"Caption=Flow", "Description.Count=0", "Reference=R7", "Signed=-1", "ReadOnly=-1"};
    const QByteArray stored = NodeRecord(*value);
    ASSERT_TRUE(form.LoadFromNode(value));
    EXPECT_FALSE(form.cbReadOnly->isChecked());
    EXPECT_FALSE(form.cbSigned->isChecked());
    form.show();
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(NodeRecord(*value), stored);

    PatternGlyphSource font;
    const QByteArray image = CompileTestImage(project.Root.get(), font, 0);
    ASSERT_FALSE(image.isEmpty());
    value->SetProp("Signed", "0");
    value->SetProp("ReadOnly", "0");
    EXPECT_EQ(CompileTestImage(project.Root.get(), font, 0), image);
}

TEST(ListDialog, BitReferencesForceTwoEntriesAndRegistersGetTheirCountBack)
{
    TScriptedUiServices ui;
    TFormList form;
    TwNode node(nullptr, QString(), nkList);
    node.Props = QStringList{"Caption=Mode", "Reference=R1", "Max=10", "ReadOnly=0"};
    ASSERT_TRUE(form.LoadFromNode(&node));

    struct Step {
        const char *select;  // a count chosen before the reference, or null
        const char *reference;
        bool valid;
        int count;
        bool countOn;
        bool readOnly;
        bool readOnlyOn;
    };
    const Step steps[] = {
        {nullptr, "X", false, 10, false, false, true},  // on the way to X1
        {nullptr, "X1", true, 2, false, false, true},
        {nullptr, "R1", true, 10, true, false, true},
        {nullptr, "X1", true, 2, false, false, true},
        {nullptr, "X12", true, 2, false, false, true},  // remembers the forced 2
        {nullptr, "R1", true, 2, true, false, true},
        {"10", "T5", true, 2, false, true, false},
        {nullptr, "R5", true, 10, true, true, true},
        {nullptr, "S5", false, 10, false, true, true},
        {nullptr, "DR5", true, 10, true, true, true},
    };
    for (const Step &s : steps) {
        if (s.select)
            form.cbMax->setCurrentIndex(form.cbMax->findText(s.select));
        form.edtReference->setText(s.reference);
        EXPECT_EQ(FieldTextColour(form.edtReference), s.valid ? kGreen : kRed) << s.reference;
        EXPECT_EQ(form.EntryCount(), s.count) << s.reference;
        EXPECT_EQ(form.sgListString->rowCount(), s.count) << s.reference;
        EXPECT_EQ(form.cbMax->isEnabled(), s.countOn) << s.reference;
        EXPECT_EQ(FieldGround(form.cbMax), ToQColor(s.countOn ? clWindow : clInactiveBorder)) << s.reference;
        EXPECT_EQ(form.sgListString->isEnabled(), s.valid) << s.reference;
        EXPECT_EQ(form.cbReadOnly->isChecked(), s.readOnly) << s.reference;
        EXPECT_EQ(form.cbReadOnly->isEnabled(), s.readOnlyOn) << s.reference;
    }
}

TEST(ListDialog, OkRefusesOtherKindsAndSavesOneLineForEachEntryBelowTheCount)
{
    TScriptedUiServices ui;
    TFormList form;
    TwNode node(nullptr, QString(), nkList);
    node.Props = QStringList{"Caption=Mode", "Reference=S5", "Max=10", "ReadOnly=0", "Line12=stale"};
    for (int i = 0; i < 10; ++i)
        node.SetProp(QStringLiteral("Line%1").arg(i), QStringLiteral("e%1").arg(i));
    ASSERT_TRUE(form.LoadFromNode(&node));
    EXPECT_EQ(form.sgListString->item(9, 1)->text(), "e9");
    EXPECT_EQ(form.sgListString->item(9, 0)->text(), "9");
    form.show();
    const QByteArray before = NodeRecord(node);
    const struct {
        const char *caption;
        const char *reference;
        int warning;
        QWidget *field;
    } cases[] = {
        {"", "R1", 2000, form.edtCaption},
        {"Mode", "", 2001, form.edtReference},
        {"Mode", "S5", 2006, form.edtReference},
        {"Mode", "RT5", 2006, form.edtReference},
        {"Mode", "X1", 0, nullptr},
        {"Mode", "DR5", 0, nullptr},
    };
    for (const auto &c : cases) {
        form.edtCaption->setText(c.caption);
        form.edtReference->setText(c.reference);
        const TCheckResult result = RunChecks(form, ui);
        EXPECT_EQ(result.warning, c.warning) << c.reference;
        EXPECT_EQ(result.focus, c.field) << c.reference;
    }
    EXPECT_EQ(NodeRecord(node), before);
    // The texts X1 took away came back with DR5.
    EXPECT_EQ(form.sgListString->item(9, 1)->text(), "e9");

    // Lowered to 4: only the entries below the count are kept.
    form.cbMax->setCurrentIndex(form.cbMax->findText("4"));
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(node.Props,
              QStringList({"Caption=Mode", "Description.Count=0", "Reference=DR5", "Max=4", "ReadOnly=0",
                           "Line0=e0", "Line1=e1", "Line2=e2", "Line3=e3"}));

    // 64 entries, of which the empty ones leave no key; no count loads as 2,
    // a count no item has as it is stored, with as many rows (1 for no number).
    node.Props = QStringList{"Caption=Mode", "Reference=R1", "Max=64"};
    ASSERT_TRUE(form.LoadFromNode(&node));
    ASSERT_EQ(form.sgListString->rowCount(), 64);
    EXPECT_EQ(form.sgListString->item(63, 0)->text(), "63");
    form.sgListString->item(0, 1)->setText("off");
    form.sgListString->item(63, 1)->setText("last");
    ASSERT_TRUE(form.SaveToNode(&node));
    EXPECT_EQ(node.Props.mid(5), QStringList({"Line0=off", "Line63=last"}));
    for (const auto &[max, shown, rows] : {std::tuple{"", "2", 2},
                                           {"65", "65", 65},
                                           {"1", "1", 1},
                                           {"x", "x", 1},
                                           {"100000", "100000", 255}}) {
        node.Props = QStringList{"Reference=R1", QStringLiteral("Max=") + max};
        ASSERT_TRUE(form.LoadFromNode(&node));
        EXPECT_EQ(form.cbMax->currentText(), shown) << max;
        EXPECT_EQ(form.SavedCount(), shown) << max;
        EXPECT_EQ(form.sgListString->rowCount(), rows) << max;
    }
}

TEST(AlarmDialog, OffersTheAlarmsOwnIndexAndEveryFreeOneAndWritesItOnlyOnOk)
{
    auto indexes = [](std::initializer_list<int> numbers, int from) {
        QStringList items;
        for (int n : numbers)
            items.append(QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
        for (int n = from; n <= 64; ++n)
            items.append(QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
        return items;
    };
    TScriptedUiServices ui;
    TFormAlarm form;
    TestProject p = NewTestProject();
    AddAlarm(p.Alarms, 1, {"One"});
    AddAlarm(p.Alarms, 2, {"Two"});
    TwNode *five = AddAlarm(p.Alarms, 5, {"Five"});
    TwNode *fresh = AddTestNode(p.Alarms, nkAlarm, QString());

    ASSERT_TRUE(form.LoadFromNode(five));
    EXPECT_EQ(Items(form.cbIndex), indexes({3, 4, 5}, 6));
    EXPECT_EQ(form.cbIndex->currentText(), "05");
    form.show();
    form.cbIndex->setCurrentIndex(form.cbIndex->findText("04"));
    form.btOK->click();
    EXPECT_EQ(five->GetProp("Index"), "04");

    ASSERT_TRUE(form.LoadFromNode(fresh));
    EXPECT_EQ(Items(form.cbIndex), indexes({3, 5}, 6));
    EXPECT_EQ(form.cbIndex->currentText(), "03");
    EXPECT_TRUE(fresh->Props.isEmpty());
    form.show();
    form.btOK->click();
    EXPECT_EQ(fresh->Props, QStringList{"Index=03"});

    // Every index taken by the others: a single empty item, and no key.
    TestProject full = NewTestProject();
    for (int n = 1; n <= 64; ++n)
        AddAlarm(full.Alarms, n, {"Alarm"});
    TwNode *extra = AddTestNode(full.Alarms, nkAlarm, QStringLiteral("Extra"), {{"Line1", "Spare"}});
    ASSERT_TRUE(form.LoadFromNode(extra));
    EXPECT_EQ(Items(form.cbIndex), QStringList{""});
    form.show();
    form.btOK->click();
    EXPECT_EQ(extra->Props, QStringList({"Caption=Extra", "Line1=Spare"}));
}

TEST(AlarmDialog, LinesAreMeasuredAsThePanelShowsThemWithTheirValues)
{
    ASSERT_EQ(PanelFontName(), QStringLiteral("Tahoma"));
    TScriptedUiServices ui;
    TFormAlarm form;
    TestProject p = NewTestProject();
    TwNode *alarm = AddAlarm(p.Alarms, 1, {});
    ASSERT_TRUE(form.LoadFromNode(alarm));
    form.show();

    const struct {
        const char *line;
        const char *reference;
        bool fits;
    } cases[] = {
        {"Motor 1 current in A", "", true},      // 112 px
        {"Oven 1 temperature", "", false},       // 113 px
        {"Oil temperature ^ C", "", true},       // 110 px: without a value the mark stays
        {"Oil temperature ^ C", "R100", false},  // 144 px with five digits in place of the mark
        {"Oil temp ^ C", "D10", true},
        {"Tank level in litres", "D10", false},  // the value goes after the end
        {"Tank level", "R5000", true},
    };
    for (int i = 0; i < TFormAlarm::LineCount; ++i) {
        for (const auto &c : cases) {
            form.edtLines[i]->setText(c.line);
            form.edtReferences[i]->setText(c.reference);
            EXPECT_EQ(FieldTextColour(form.edtLines[i]), c.fits ? kGreen : kRed)
                << c.line << " " << c.reference;
            const TCheckResult result = RunChecks(form, ui);
            EXPECT_EQ(result.warning, c.fits ? 0 : 2008) << c.line << " " << c.reference;
            EXPECT_EQ(result.focus, c.fits ? nullptr : form.edtLines[i]) << c.line << " " << c.reference;
        }
        form.edtLines[i]->clear();
        form.edtReferences[i]->clear();
    }
    EXPECT_EQ(AlarmLinePanelWidth(QStringLiteral("Oil temperature ^ C"), true), 144);

    // References: R, RHigh or D; an empty one is accepted.
    const struct {
        const char *reference;
        bool valid;
    } references[] = {{"D10", true}, {"R8071", true}, {"X10", false}, {"DR10", false}, {"R4168", false}};
    for (const auto &r : references) {
        form.edtReferences[0]->setText(r.reference);
        EXPECT_EQ(FieldTextColour(form.edtReferences[0]), r.valid ? kGreen : kRed) << r.reference;
        const TCheckResult result = RunChecks(form, ui);
        EXPECT_EQ(result.warning, r.valid ? 0 : 2006) << r.reference;
        EXPECT_EQ(result.focus, r.valid ? nullptr : form.edtReferences[0]) << r.reference;
    }
}

TEST(ItemForms, CancelLeavesEveryNodeAsItWas)
{
    TScriptedUiServices ui;
    TestProject p = NewTestProject();
    TwNode *value = AddValue(p.MainMenu, QStringLiteral("Speed"), QStringLiteral("RC3"), {{"ReadOnly", "0"}});
    TwNode *list = AddList(p.MainMenu, QStringLiteral("Mode"), QStringLiteral("X1"), {"off", "on", "third"});
    TwNode *alarm = AddTestNode(p.Alarms, nkAlarm, QString(), {{"Line1", "Oil"}});
    TFormValue valueForm;
    TFormList listForm;
    TFormAlarm alarmForm;
    const std::pair<TItemDialog *, TwNode *> uses[] = {
        {&valueForm, value}, {&listForm, list}, {&alarmForm, alarm}};
    for (const auto &[form, node] : uses) {
        const QByteArray before = NodeRecord(*node);
        ASSERT_TRUE(form->LoadFromNode(node));
        form->show();
        for (QLineEdit *edit : form->findChildren<QLineEdit *>())
            edit->setText(QStringLiteral("R2"));
        form->btCancel->click();
        EXPECT_EQ(form->result(), mrCancel);
        EXPECT_EQ(NodeRecord(*node), before) << form->objectName().toStdString();
    }
    EXPECT_TRUE(ui.Boxes.isEmpty());
}

TEST(ItemForms, MadeOnFirstUseAndTextsFitInEveryShippedLanguage)
{
    QTemporaryDir dir;
    StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
    ASSERT_EQ(FormValue, nullptr);
    TFormValue *value = ValueForm();
    TFormList *list = ListForm();
    TFormAlarm *alarm = AlarmForm();
    EXPECT_EQ(ValueForm(), value);
    ASSERT_GE(Localizer.LanguageCount(), 2);
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        list->cbMaxChange();
        for (QWidget *form : std::initializer_list<QWidget *>{value, list, alarm})
            EXPECT_TRUE(TextsFit(form)) << form->objectName().toStdString() << " language." << language + 1;
    }
    EXPECT_EQ(value->cbSigned->text(), QStringLiteral("Vorzeichenbehaftet"));
    EXPECT_EQ(list->sgListString->horizontalHeaderItem(0)->text(), QStringLiteral("Wert"));
    EXPECT_EQ(alarm->lbLines[2]->text(), QStringLiteral("Zeile 3:"));
    delete value;
    delete list;
    delete alarm;
    EXPECT_EQ(FormValue, nullptr);
    EXPECT_EQ(FormList, nullptr);
    EXPECT_EQ(FormAlarm, nullptr);
    Localizer.Reset();
}

}  // namespace
