// The configuration and action dialogs: live colours and register ranges,
// the OK checks in their order, what a save writes, and their texts in
// every shipped language.
#include "ModalResult.h"
#include "ProjectBuilder.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "TextFit.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/FieldColours.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

// ---- Configuration ----

TEST(ConfigDialog, RegistersShowTheirRangeAndTurnRedPastItsEnd)
{
    TFormConfig form;
    const struct {
        QLineEdit *edit;
        const char *text;
        QLabel *range;
        const char *shown;
        QColor colour;
    } cases[] = {
        {form.edtPassword, "DD20", form.lbPasswordRange, "(D20~D23)", kGreen},
        {form.edtPassword, "DR4166", form.lbPasswordRange, "(R4166~R4169)", kRed},
        {form.edtWorkingSpace, "D0", form.lbWorkSpaceRange, "(D0~D9)", kGreen},
        {form.edtWorkingSpace, "R5000", form.lbWorkSpaceRange, "(R5000~R5009)", kGreen},
        {form.edtWorkingSpace, "R8062", form.lbWorkSpaceRange, "(R8062~R8071)", kGreen},
        {form.edtWorkingSpace, "R4160", form.lbWorkSpaceRange, "(R4160~R4169)", kRed},
        {form.edtAlarmIndex, "R4167", form.lbAlarmRange, "(R4167)", kGreen},
        {form.edtAlarmIndex, "X10", form.lbAlarmRange, "", kRed},
    };
    for (const auto &c : cases) {
        c.edit->setText(c.text);
        EXPECT_EQ(c.range->text(), c.shown) << c.text;
        EXPECT_EQ(FieldTextColour(c.edit), c.colour) << c.text;
    }
    // The protection type follows a password register, even one too near its end.
    for (const char *password : {"DD20", "", "X1", "DR4166"}) {
        form.edtPassword->setText(password);
        EXPECT_EQ(form.cbPasswordType->isEnabled(), QByteArray(password).startsWith('D')) << password;
    }
    form.edtPassword->clear();
    EXPECT_EQ(form.lbPasswordRange->text(), "");
}

// The place and size of every named component of form.
std::string Geometries(const QWidget &form)
{
    QStringList geometries;
    for (const QWidget *component : form.findChildren<QWidget *>()) {
        const QRect r = component->geometry();
        if (!component->objectName().isEmpty())
            geometries.append(QStringLiteral("%1 %2,%3 %4x%5")
                                  .arg(component->objectName())
                                  .arg(r.x())
                                  .arg(r.y())
                                  .arg(r.width())
                                  .arg(r.height()));
    }
    return geometries.join(QLatin1Char('\n')).toStdString();
}

TEST(ConfigDialog, TypingARegisterMovesNoFieldInAnyShippedLanguage)
{
    QTemporaryDir dir;
    StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
    TFormConfig form;
    form.show();
    QLineEdit *const fields[] = {form.edtAlarmIndex, form.edtPassword, form.edtWorkingSpace};
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        for (QLineEdit *field : fields)
            field->clear();
        QApplication::processEvents();
        const std::string before = Geometries(form);
        // Every kind, the widest ranges and a refused register, typed key by key.
        for (QLineEdit *field : fields) {
            for (const char *text : {"R100", "R8062", "D3062", "DR8060", "DD20", "X1"}) {
                field->clear();
                for (const char *key = text; *key; ++key) {
                    QTest::keyClick(field, *key);
                    QApplication::processEvents();
                    EXPECT_EQ(Geometries(form), before)
                        << "language." << language + 1 << " " << field->objectName().toStdString() << " "
                        << std::string(text, key + 1);
                }
            }
            field->clear();
        }
    }
    Localizer.Reset();
}

class LoadedConfig : public ::testing::Test {
protected:
    void SetUp() override
    {
        node.Props = QStringList{"Other=1",
                                 "Caption=Configuration",
                                 "AlarmIndex=R10",
                                 "Password=DD20",
                                 "ScreenSaverActiveTime=10",
                                 "WorkingSpace=D0",
                                 "Level1IsTop=1",
                                 "ProtectType=1",
                                 "SaverEffect=7"};
        before = NodeRecord(node);
        ASSERT_TRUE(form.LoadFromNode(&node));
        form.show();
    }

    TScriptedUiServices ui;
    TFormConfig form;
    TwNode node{nullptr, QStringLiteral("Configuration"), nkConfiguration};
    QByteArray before;
};

TEST_F(LoadedConfig, OkRefusesEachBadFieldInOrderAndKeepsTheNode)
{
    EXPECT_EQ(form.focusWidget(), form.edtAlarmIndex);
    EXPECT_EQ(form.cbPasswordType->currentText(), "Write Only");
    EXPECT_EQ(form.cbEffect->currentText(), "7");  // an effect the list does not have, as stored

    const struct {
        const char *alarm, *space, *password, *time;
        QLineEdit *failing;  // null: accepted
    } cases[] = {
        {"X10", "R4165", "DD20", "10", form.edtAlarmIndex},
        {"R10", "R4165", "DD20", "10", form.edtWorkingSpace},
        {"R10", "D0", "DD3070", "10", form.edtPassword},
        {"R10", "D0", "DD20", "0", form.edtScreenSaverActiveTime},
        {"R10", "D0", "DD20", "100", form.edtScreenSaverActiveTime},
        {"R10", "D0", "DD20", "", form.edtScreenSaverActiveTime},
        {"R10", "D0", "DD20", "99", nullptr},
        {"R10", "D0", "DD20", "R10", nullptr},
        {"", "", "", "D3000", nullptr},
    };
    for (const auto &c : cases) {
        form.edtAlarmIndex->setText(c.alarm);
        form.edtWorkingSpace->setText(c.space);
        form.edtPassword->setText(c.password);
        form.edtScreenSaverActiveTime->setText(c.time);
        form.btCancel->setFocus();
        ui.Boxes.clear();
        EXPECT_EQ(form.ValidateInput(), c.failing == nullptr) << c.password << " " << c.time;
        if (!c.failing)
            continue;
        ASSERT_EQ(ui.Boxes.size(), 1);
        EXPECT_EQ(ui.Boxes[0].warningCode, 2006);
        EXPECT_EQ(form.focusWidget(), c.failing) << c.time;
        EXPECT_EQ(FieldTextColour(c.failing), kRed) << c.time;
        form.btOK->click();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(NodeRecord(node), before);
    }
}

TEST_F(LoadedConfig, OkWritesItsKeysAfterTheCarriedOnesAndCancelNothing)
{
    form.edtPassword->setText("R7");
    form.cbEffect->setCurrentIndex(4);
    form.btCancel->click();
    EXPECT_EQ(NodeRecord(node), before);

    form.show();
    form.edtAlarmIndex->clear();
    form.edtWorkingSpace->clear();
    form.ckbTopLevel->setChecked(false);
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(node.Props,
              QStringList({"Caption=Configuration", "Password=R7", "ScreenSaverActiveTime=10",
                           "Level1IsTop=0", "ProtectType=1", "SaverEffect=4"}));

    TwNode action(nullptr, QString(), nkAction);
    EXPECT_FALSE(form.LoadFromNode(&action));
}

// ---- Action ----

// The optional fields shown, by object name.
QStringList ShownFields(const TfmAction &form)
{
    const QWidget *const fields[] = {form.lbString, form.lbStringOn,  form.edStringOff,
                                     form.lbValue,  form.lbMax,       form.edtMax,
                                     form.edtMin,   form.edtStepSize, form.pnSign};
    QStringList shown;
    for (const QWidget *w : fields) {
        if (w->isVisibleTo(&form))
            shown.append(w->objectName());
    }
    return shown;
}

const QStringList kStepProps{"ActionType=6", "Caption=Up", "Reference=DR10", "Max=100",
                             "Min=-100",     "StepSize=5", "Signed=1",       "StringOff=stale"};

TEST(ActionDialog, EachTypeShowsAndSavesItsOwnFields)
{
    TScriptedUiServices ui;
    TfmAction form;
    TwNode node(nullptr, QString(), nkAction);
    node.Props = kStepProps;
    ASSERT_TRUE(form.LoadFromNode(&node));
    const struct {
        int type;
        const char *reference;
        QStringList shown;
        QStringList saved;  // after "ActionType", "Caption" and the description
    } cases[] = {
        {5, "DR10", {"lbString", "lbValue", "edtMax", "pnSign"}, {"Reference=DR10", "Max=100", "Signed=1"}},
        {7,
         "DR10",
         {"lbString", "lbMax", "edtMax", "edtMin", "edtStepSize", "pnSign"},
         {"Reference=DR10", "Max=100", "Min=-100", "StepSize=5", "Signed=1"}},
        {0, "X3", {"lbStringOn", "edStringOff"}, {"Reference=X3", "StringOff=Down"}},
        {3, "M100", {"lbString"}, {"Reference=M100"}},
    };
    form.edStringOff->setText("Down");
    for (const auto &c : cases) {
        form.cbActionType->setCurrentIndex(c.type);
        form.edtReference->setText(c.reference);
        EXPECT_EQ(ShownFields(form), c.shown) << c.type;
        ASSERT_TRUE(form.ValidateInput()) << c.type;
        ASSERT_TRUE(form.SaveToNode(&node));
        EXPECT_EQ(node.Props,
                  QStringList({"ActionType=" + QString::number(c.type), "Caption=Up", "Description.Count=0"})
                      + c.saved);
    }
    EXPECT_TRUE(ui.Boxes.isEmpty());

    // A new node is Toggle State with its fields; a type no item has is shown
    // as stored and is no type, without optional fields.
    const struct {
        const char *stored;
        int type;
        QStringList shown;
    } loads[] = {{"", TfmAction::ToggleState, {"lbStringOn", "edStringOff"}},
                 {"9", TfmAction::NoType, {"lbString"}},
                 {"-1", TfmAction::NoType, {"lbString"}}};
    for (const auto &l : loads) {
        TwNode other(nullptr, QString(), nkAction);
        other.SetProp("ActionType", l.stored);
        ASSERT_TRUE(form.LoadFromNode(&other));
        EXPECT_EQ(form.ActionType(), l.type) << l.stored;
        EXPECT_EQ(form.cbActionType->currentText(), l.type == TfmAction::NoType ? l.stored : "Toggle State");
        EXPECT_EQ(ShownFields(form), l.shown) << l.stored;
        EXPECT_TRUE(form.edStringOff->text().isEmpty() && form.rbUnsigned->isChecked());
    }
}

TEST(ActionDialog, OkChecksRunInOrderAndKeepTheNode)
{
    TScriptedUiServices ui;
    TfmAction form;
    TwNode node(nullptr, QString(), nkAction);
    node.Props = kStepProps;
    const QByteArray before = NodeRecord(node);
    ASSERT_TRUE(form.LoadFromNode(&node));
    form.show();

    const struct {
        int type;
        const char *string, *reference, *max, *min, *step;
        bool sign;
        int warning;  // 0: accepted
        QLineEdit *field;
    } cases[] = {
        {2, "", "M100", "", "", "", false, 2000, form.edStringOn},
        {0, "On", "M100", "", "", "", false, 2011, form.edStringOff},
        {2, "On", "M100", "", "", "", false, 0, nullptr},
        {2, "On", "R100", "", "", "", false, 2009, form.edtReference},
        {5, "Set", "M100", "1", "", "", false, 2001, form.edtReference},
        {5, "Set", "R1", "", "", "", false, 2011, form.edtMax},
        {5, "Set", "R1", "-1", "", "", false, 2006, form.edtMax},
        {6, "Up", "R10", "70000", "0", "1", false, 2006, form.edtMax},
        {6, "Up", "DR10", "70000", "0", "1", false, 0, nullptr},
        {6, "Up", "DR10", "R5", "0", "1", false, 2006, form.edtMax},
        {7, "Down", "R10", "5", "5", "1", false, 0, nullptr},
        {7, "Down", "R10", "4", "5", "1", false, 2007, form.edtMin},
        {7, "Down", "R10", "", "", "", true, 2011, form.edtStepSize},
        {7, "Down", "R10", "", "", "0", true, 2006, form.edtStepSize},
        {7, "Down", "R10", "", "", "-5", true, 2006, form.edtStepSize},  // stored so, never typed
    };
    for (const auto &c : cases) {
        form.cbActionType->setCurrentIndex(c.type);
        form.edStringOn->setText(c.string);
        form.edStringOff->clear();
        form.edtReference->setText(c.reference);
        form.edtMax->setText(c.max);
        form.edtMin->setText(c.min);
        form.edtStepSize->setText(c.step);
        ASSERT_EQ(form.edtStepSize->text(), c.step);
        (c.sign ? form.rbSigned : form.rbUnsigned)->setChecked(true);
        form.btCancel->setFocus();
        ui.Boxes.clear();
        const std::string what = std::to_string(c.type) + " " + c.reference + " " + c.max + " " + c.step;
        EXPECT_EQ(form.ValidateInput(), c.warning == 0) << what;
        if (c.warning == 0)
            continue;
        ASSERT_EQ(ui.Boxes.size(), 1) << what;
        EXPECT_EQ(ui.Boxes[0].warningCode, c.warning) << what;
        EXPECT_EQ(form.focusWidget(), c.field) << what;
        form.btOK->click();
        EXPECT_TRUE(form.isVisible()) << what;
    }
    form.btCancel->click();
    EXPECT_EQ(form.result(), mrCancel);
    EXPECT_EQ(NodeRecord(node), before);
}

TEST(ActionDialog, LiveColoursFollowReferenceAndSignAndTheStepTakesDigitsOnly)
{
    TScriptedUiServices ui;
    TfmAction form;
    form.cbActionType->setCurrentIndex(TfmAction::StepUp);
    form.rbUnsigned->setChecked(true);
    form.edtMax->setText("70000");
    form.edtStepSize->setText("40000");
    form.edtReference->setText("X1");  // no register: neutral numbers
    EXPECT_EQ(FieldTextColour(form.edtReference), kRed);
    EXPECT_EQ(FieldTextColour(form.edtMax), ToQColor(clWindowText));
    form.edtReference->setText("R10");
    EXPECT_EQ(FieldTextColour(form.edtMax), kRed);
    EXPECT_EQ(FieldTextColour(form.edtStepSize), kGreen);
    form.rbSigned->setChecked(true);  // 40000 is no signed 16-bit number
    EXPECT_EQ(FieldTextColour(form.edtStepSize), kRed);
    form.edtReference->setText("DR10");
    EXPECT_EQ(FieldTextColour(form.edtMax), kGreen);
    form.cbActionType->setCurrentIndex(1);
    EXPECT_EQ(FieldTextColour(form.edtReference), kRed);
    EXPECT_EQ(form.edtReference->toolTip(), "X/Y/M/S[xxxx]");

    form.cbActionType->setCurrentIndex(TfmAction::StepUp);
    form.show();
    form.edtStepSize->clear();
    form.edtStepSize->setFocus();
    QTest::keyClicks(form.edtStepSize, "+-1");
    EXPECT_EQ(form.edtStepSize->text(), "1");
    QApplication::clipboard()->setText("-5");
    form.edtStepSize->paste();
    EXPECT_EQ(form.edtStepSize->text(), "1");
}

// ---- Texts ----

TEST(ConfigAndActionTexts, NamedAndFitInEveryShippedLanguage)
{
    QTemporaryDir dir;
    StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
    TFormConfig config;
    config.edtPassword->setText("DR8060");
    config.edtWorkingSpace->setText("R8062");
    TfmAction action;
    ASSERT_GE(Localizer.LanguageCount(), 2);
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        // Every component with a text has its line (the range labels have none).
        for (const QWidget *form : std::initializer_list<const QWidget *>{&config, &action}) {
            for (const QObject *component : form->findChildren<QObject *>()) {
                const QString name = component->objectName();
                QStringList keys{name + ".Caption"};
                if (const auto *box = qobject_cast<const QComboBox *>(component)) {
                    keys.clear();
                    for (int i = 0; i < box->count(); ++i)
                        keys.append(name + ".N_" + QString::number(i));
                }
                if (name.isEmpty() || name.endsWith("Range")
                    || LumorUnicode::ComponentClassIndex(component->metaObject()->className()) < 0)
                    continue;
                for (const QString &key : keys)
                    EXPECT_FALSE(Localizer.ReadSectionValue(form->objectName(), key).isEmpty())
                        << "language." << language + 1 << " " << key.toStdString();
            }
        }
        EXPECT_TRUE(TextsFit(&config)) << "language." << language + 1;
        for (int type : {TfmAction::ToggleState, TfmAction::SetValue, TfmAction::StepUp}) {
            action.cbActionType->setCurrentIndex(type);
            EXPECT_TRUE(TextsFit(&action)) << "language." << language + 1 << " type " << type;
        }
    }
    EXPECT_EQ(config.cbPasswordType->itemText(1), QStringLiteral("Nur Schreiben"));
    Localizer.Reset();
}

}  // namespace
