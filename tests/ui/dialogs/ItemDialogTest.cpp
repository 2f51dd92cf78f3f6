// The item dialog base through a small dialog built on it: the OK step on a
// failing check, Cancel, the two rewriting styles and the property text forms.
#include "dialogs/ItemDialog.h"
#include "ModalResult.h"
#include "Operands.h"
#include "ProjectBuilder.h"
#include "ScriptedUiServices.h"
#include "dialogs/FieldColours.h"
#include "dialogs/InputChecks.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <tuple>

namespace {

// A value-like dialog: caption and description (written only in the
// OwnsCaption style), a reference coloured while typing, a check box and a
// drop-down list.
class TTestItemDialog : public TItemDialog {
public:
    explicit TTestItemDialog(TRewrite style) : TItemDialog("FormTestItem", nkValue, style), style_(style)
    {
        edtCaption = MakeEdit(this, "edtCaption");
        moDescription = MakeMemo(this, "moDescription");
        edtReference = MakeEdit(this, "edtReference");
        cbSigned = MakeCheck(this, "cbSigned", QStringLiteral("Signed"));
        cbDecimalPoint = MakeChoice(this, "cbDecimalPoint", {"0", "1", "2"});
        connect(edtReference, &QLineEdit::textChanged, this,
                [this] { CheckOperandEdit(edtReference, maskValueReference, NoWarning); });
        auto *layout = new QVBoxLayout(this);
        for (QWidget *w : std::initializer_list<QWidget *>{edtCaption, moDescription, edtReference, cbSigned,
                                                           cbDecimalPoint})
            layout->addWidget(w);
        layout->addLayout(ButtonRow());
        SetFirstField(edtCaption);
        FormCreate();
    }

    QLineEdit *edtCaption;
    QPlainTextEdit *moDescription;
    QLineEdit *edtReference;
    QCheckBox *cbSigned;
    QComboBox *cbDecimalPoint;

protected:
    bool OwnsCaption() const { return style_ == TRewrite::OwnsCaption; }
    void LoadControls(TwNode &node) override
    {
        if (OwnsCaption()) {
            LoadText(edtCaption, node, "Caption");
            LoadLines(moDescription, node, "Description");
        }
        LoadText(edtReference, node, "Reference");
        LoadCheck(cbSigned, node, "Signed");
        LoadChoice(cbDecimalPoint, node, "DecimalPoint");
    }
    bool CheckInput() override
    {
        return (!OwnsCaption() || CheckEditNotEmpty(edtCaption, 2000))
            && CheckOperandEdit(edtReference, maskValueReference, 2006) != 0;
    }
    void SaveControls(TwNode &node) override
    {
        if (OwnsCaption()) {
            SaveText(node, "Caption", edtCaption);
            SaveLines(node, "Description", moDescription);
        }
        SaveText(node, "Reference", edtReference);
        SaveCheck(node, "Signed", cbSigned);
        SaveChoice(node, "DecimalPoint", cbDecimalPoint);
    }

private:
    TRewrite style_;
};

const QStringList kValueProps{
    "Unknown=1", "Reference=R7",  "Caption=Speed", "Description.Count=2", "Description.Strings[0]=first",
    "Signed=1",  "DecimalPoint=2"};

// The dialog loaded with a value node of kValueProps.
class LoadedItemDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        node.Props = kValueProps;
        before = NodeRecord(node);
        ASSERT_TRUE(dialog.LoadFromNode(&node));
    }

    TScriptedUiServices ui;
    TTestItemDialog dialog{TRewrite::OwnsCaption};
    TwNode node{nullptr, QString(), nkValue};
    QByteArray before;
};

TEST_F(LoadedItemDialog, FailedOkKeepsTheDialogOpenOnTheFieldAndTheNodeAsItWas)
{
    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.edtCaption);
    EXPECT_EQ(FieldTextColour(dialog.edtReference),
              ToQColor(clFieldAccepted));  // the load ran the live check

    // The checks run top to bottom and stop at the first failure.
    struct Step {
        const char *caption;
        const char *reference;
        int warning;
        const char *field;
    };
    const Step failing[] = {
        {"", "X7", 2000, "edtCaption"},
        {"Speed 2", "X7", 2006, "edtReference"},
    };
    for (const Step &step : failing) {
        dialog.edtCaption->setText(step.caption);
        dialog.edtReference->setText(step.reference);
        dialog.moDescription->setPlainText("changed");
        dialog.btCancel->setFocus();
        ui.Boxes.clear();
        dialog.btOK->click();
        EXPECT_TRUE(dialog.isVisible()) << step.warning;
        EXPECT_EQ(dialog.result(), mrNone) << step.warning;
        ASSERT_EQ(ui.Boxes.size(), 1) << step.warning;
        EXPECT_EQ(ui.Boxes[0].warningCode, step.warning);
        EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QWidget *>(step.field)) << step.warning;
        EXPECT_EQ(NodeRecord(node), before) << step.warning;
    }

    // Corrected, a second OK saves and closes.
    dialog.edtReference->setText("DR5000");
    ui.Boxes.clear();
    dialog.btOK->click();
    EXPECT_TRUE(ui.Boxes.isEmpty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), mrOk);
    EXPECT_EQ(node.Props,
              QStringList({"Caption=Speed 2", "Description.Count=1", "Description.Strings[0]=changed",
                           "Reference=DR5000", "Signed=1", "DecimalPoint=2"}));
}

TEST_F(LoadedItemDialog, CancelAndRefusedLoadsWriteNothing)
{
    for (auto close :
         {+[](TTestItemDialog &d) { d.btCancel->click(); }, +[](TTestItemDialog &d) { d.reject(); }}) {
        dialog.show();
        dialog.edtCaption->setText("other");
        dialog.cbSigned->setChecked(false);
        close(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), mrCancel);
        EXPECT_EQ(NodeRecord(node), before);
    }

    // A null node or one of another kind: nothing loaded, the node kept.
    TwNode list(nullptr, QStringLiteral("List"), nkList);
    EXPECT_FALSE(dialog.LoadFromNode(nullptr));
    EXPECT_FALSE(dialog.LoadFromNode(&list));
    EXPECT_EQ(dialog.Node(), &node);
    EXPECT_EQ(dialog.edtCaption->text(), "other");
    EXPECT_FALSE(dialog.SaveToNode(nullptr));
    EXPECT_TRUE(ui.Boxes.isEmpty());
}

TEST(ItemDialog, RewriteStylesWriteTheDialogsKeysInOrderAndDropTheRest)
{
    struct Case {
        TRewrite style;
        QStringList props;
        QStringList saved;
    };
    const Case cases[] = {
        {TRewrite::OwnsCaption,
         kValueProps,
         {"Caption=Speed", "Description.Count=2", "Description.Strings[0]=first", "Reference=R7", "Signed=1",
          "DecimalPoint=2"}},
        // Only the plain "Caption" and "Description" keys are carried over.
        {TRewrite::KeepsCaption,
         {"Other=5", "Description.Count=1", "Description.Strings[0]=x", "Description=plain", "Reference=R1",
          "caption=Alarm"},
         {"Caption=Alarm", "Description=plain", "Reference=R1", "Signed=0"}},
        {TRewrite::KeepsCaption,
         {"Reference=D3", "Signed=1", "DecimalPoint=1"},
         {"Reference=D3", "Signed=1", "DecimalPoint=1"}},
    };
    for (const Case &c : cases) {
        TTestItemDialog dialog(c.style);
        TwNode node(nullptr, QString(), nkValue);
        node.Props = c.props;
        ASSERT_TRUE(dialog.LoadFromNode(&node));
        ASSERT_TRUE(dialog.SaveToNode(&node));
        EXPECT_EQ(node.Props, c.saved) << c.props.join(' ').toStdString();
        // Saved once more, the node stays as it is.
        ASSERT_TRUE(dialog.LoadFromNode(&node));
        ASSERT_TRUE(dialog.SaveToNode(&node));
        EXPECT_EQ(node.Props, c.saved);
    }
}

TEST(ItemDialog, PropertyTextForms)
{
    TwNode node(nullptr, QString(), nkValue);
    QCheckBox box;
    // Left as loaded, a check box saves the stored text; changed, "1" or "0".
    const struct {
        const char *stored;
        bool checked;
    } checks[] = {{"1", true}, {"2", true}, {"-1", false}, {"0", false}, {"", false}, {"abc", false}};
    for (const auto &c : checks) {
        box.setChecked(!c.checked);
        node.Props = QStringList{QStringLiteral("Flag=") + c.stored};
        LoadCheck(&box, node, "Flag");
        EXPECT_EQ(box.isChecked(), c.checked) << c.stored;
        SaveCheck(node, "Flag", &box);
        EXPECT_EQ(node.GetProp("Flag"), *c.stored ? c.stored : "0") << c.stored;
        box.toggle();
        SaveCheck(node, "Flag", &box);
        EXPECT_EQ(node.GetProp("Flag"), c.checked ? "0" : "1") << c.stored;
    }

    // A drop-down list by item text: a value no item has is shown as an extra
    // item and saves as it is stored, until another item is chosen; an empty
    // item saves as no key.
    QComboBox choice;
    choice.addItems({"01", "02", ""});
    for (const auto &[stored, index] : {std::pair{"02", 1}, {"2", 3}, {"x", 3}, {"", 2}}) {
        node.Props = QStringList{QStringLiteral("Index=") + stored};
        LoadChoice(&choice, node, "Index");
        EXPECT_EQ(choice.count(), *stored == 'x' || *stored == '2' ? 4 : 3) << stored;
        EXPECT_EQ(choice.currentIndex(), index) << stored;
        EXPECT_EQ(ListedIndex(&choice), index == 3 ? -1 : index) << stored;
        SaveChoice(node, "Index", &choice);
        EXPECT_EQ(node.Props, *stored ? QStringList{QStringLiteral("Index=") + stored} : QStringList{})
            << stored;
    }
    choice.setCurrentIndex(2);
    SaveChoice(node, "Index", &choice);
    EXPECT_TRUE(node.Props.isEmpty());

    // By item index: an index the list does not have, or no number, likewise;
    // another spelling of an index the list has selects it and is kept until
    // another item is chosen; no value selects the first item.
    for (const auto &[stored, index, shown] : {std::tuple{"1", 1, "02"},
                                               {"01", 1, "02"},
                                               {"3", 3, "3"},
                                               {"-1", 3, "-1"},
                                               {"y", 3, "y"},
                                               {"", 0, "01"}}) {
        node.Props = QStringList{QStringLiteral("Index=") + stored};
        LoadChoiceIndex(&choice, node, "Index");
        EXPECT_EQ(choice.currentIndex(), index) << stored;
        EXPECT_EQ(choice.currentText(), shown) << stored;
        SaveChoiceIndex(node, "Index", &choice);
        EXPECT_EQ(node.GetProp("Index"), *stored ? stored : "0") << stored;
        choice.setCurrentIndex(2);
        SaveChoiceIndex(node, "Index", &choice);
        EXPECT_EQ(node.GetProp("Index"), "2") << stored;
    }

    // Memo lines, empty ones included, round-trip; an empty memo has none.
    QPlainTextEdit memo;
    for (const QStringList &lines : {QStringList{"a", "", "c", ""}, QStringList{}, QStringList{"x=y"}}) {
        node.Props.clear();
        SetMemoLines(&memo, lines);
        SaveLines(node, "Description", &memo);
        EXPECT_EQ(node.GetPropInt("Description.Count", -1), lines.size());
        memo.setPlainText("stale");
        LoadLines(&memo, node, "Description");
        EXPECT_EQ(MemoLines(&memo), lines);
    }
}

TEST(ItemDialog, EditLimitHoldsForTypingOnly)
{
    // A longer stored text loads whole, so a save keeps it; typing stays limited.
    QWidget parent;
    QLineEdit *edit = MakeEdit(&parent, "edtReference", 5);
    TwNode node(nullptr, QString(), nkAlarm);
    node.Props = QStringList{"Reference1=DR05000"};
    LoadText(edit, node, "Reference1");
    EXPECT_EQ(edit->text(), "DR05000");
    node.Props = QStringList{"Reference1=R1"};
    LoadText(edit, node, "Reference1");
    edit->end(false);
    edit->insert("23456");
    EXPECT_EQ(edit->text(), "R1234");
}

TEST(ItemDialog, UpperCaseInputOnlyForWhatIsTyped)
{
    QLineEdit edit;
    SetUpperCaseInput(&edit);
    edit.setText("r1");
    EXPECT_EQ(edit.text(), "r1");
    edit.end(false);
    edit.insert("d");  // as typed
    EXPECT_EQ(edit.text(), "R1D");
}

}  // namespace
