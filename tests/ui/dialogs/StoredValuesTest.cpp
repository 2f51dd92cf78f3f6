// Every item dialog keeps what a node stores until the user changes it: OK on
// a dialog left as it was loaded writes the node's properties back byte for
// byte, values its lists have no item for included; a change rewrites.
#include "ModalResult.h"
#include "Operands.h"
#include "PanelLcdDriver.h"
#include "ScriptedUiServices.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ListDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/StartupScreenDialog.h"
#include "dialogs/ValueDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using TMake = std::function<std::unique_ptr<TItemDialog>()>;

template <class Dialog> TMake Make()
{
    return [] { return std::make_unique<Dialog>(); };
}

// Loads a node of kind with props into the dialog, runs change on it and
// presses OK; the node's properties after.
QStringList SavedAfter(const TMake &make, int32_t kind, const QStringList &props,
                       const std::function<void(TItemDialog &)> &change = {})
{
    TScriptedUiServices ui;
    const std::unique_ptr<TItemDialog> dialog = make();
    TwNode node(nullptr, QString(), kind);
    node.Props = props;
    EXPECT_TRUE(dialog->LoadFromNode(&node)) << props.join(' ').toStdString();
    dialog->show();
    if (change)
        change(*dialog);
    dialog->btOK->click();
    EXPECT_EQ(dialog->result(), mrOk) << props.join(' ').toStdString();
    EXPECT_TRUE(ui.Boxes.isEmpty()) << props.join(' ').toStdString();
    return node.Props;
}

TEST(StoredValues, OkOnAnUntouchedDialogKeepsTheNodeByteForByte)
{
    SelectPanelModel(PanelModel128x64);
    const struct {
        TMake make;
        int32_t kind;
        QStringList props;  // in the order the dialog writes them
    } cases[] = {
        {Make<TFormMenu>(),
         nkSubMenu,
         {"Caption=Pumps", "Description.Count=1", "Description.Strings[0]=two"}},
        // One empty line, and lines a memo shows otherwise.
        {Make<TFormMenu>(), nkSubMenu, {"Caption=Pumps", "Description.Count=1"}},
        {Make<TFormMenu>(),
         nkSubMenu,
         {"Caption=Pumps", "Description.Count=2", QString("Description.Strings[0]=a") + QChar(0x2028) + "b",
          "Description.Strings[1]=c\rd"}},
        {Make<TFormValue>(),
         nkValue,
         {"Caption=Flow", "Description.Count=0", "Reference=DR100", "Max=100000", "Min=-5", "Signed=2",
          "Unit=l/h", "DecimalPoint=12", "ReadOnly=abc"}},
        {Make<TFormValue>(),
         nkValue,
         {"Caption=Level", "Description.Count=0", "Reference=R1", "Signed=0", "DecimalPoint=x",
          "ReadOnly=-1"}},
        {Make<TFormList>(),
         nkList,
         {"Caption=Mode", "Description.Count=0", "Reference=R1", "Max=65", "ReadOnly=2", "Line0=off",
          "Line64=last"}},
        {Make<TFormList>(),
         nkList,
         {"Caption=Lamp", "Description.Count=0", "Reference=X1", "Max=x", "ReadOnly=0", "Line0=off"}},
        {Make<TFormAlarm>(), nkAlarm, {"Caption=Hot", "Index=99", "Line1=Oven hot", "Reference1=D10"}},
        {Make<TFormStartupScreen>(),
         nkStartupScreen,
         {"Caption=Start", "EndCondition=7", "FlipTime=8", "CycleCount=20"}},
        {Make<TFormStartupScreen>(), nkStartupScreen, {"EndCondition=abc", "FlipTime=100", "CycleCount=x"}},
        {Make<TFormScreen>(), nkScreen, {"Caption=Logo", "ImageData=ff0"}},
        {Make<TFormScreen>(), nkScreenSaver, {"ImageData=zz"}},
        {Make<TFormConfig>(),
         nkConfiguration,
         {"Caption=Configuration", "AlarmIndex=R10", "Password=DD20", "ScreenSaverActiveTime=10",
          "WorkingSpace=D0", "Level1IsTop=2", "ProtectType=7", "SaverEffect=abc"}},
        {Make<TFormConfig>(),
         nkConfiguration,
         {"ScreenSaverActiveTime=R5", "Level1IsTop=0", "ProtectType=01", "SaverEffect=-1"}},
        {Make<TfmAction>(), nkAction, {"ActionType=9", "Caption=Go", "Description.Count=0", "Reference=M1"}},
        {Make<TfmAction>(),
         nkAction,
         {"ActionType=5", "Caption=Set", "Description.Count=0", "Reference=R1", "Max=7", "Signed=3"}},
        {Make<TfmAction>(),
         nkAction,
         {"ActionType=06", "Caption=Up", "Description.Count=0", "Reference=DR10", "Max=100", "Min=0",
          "StepSize=5", "Signed=0"}},
        // The panel model is one of two on purpose: only its ids are stored.
        {Make<TFormDeviceInfo>(),
         nkDeviceInfo,
         {"Caption=Device", "DeviceID=1", "Description.Count=1", "Description.Strings[0]=line"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SavedAfter(c.make, c.kind, c.props), c.props) << c.props.join(' ').toStdString();
}

TEST(StoredValues, ADescriptionSavesTheLinesTheMemoShows)
{
    TScriptedUiServices ui;
    TFormMenu form;
    TwNode node(nullptr, QString(), nkSubMenu);
    node.Props = QStringList{"Caption=Pumps", "Description.Count=1"};
    ASSERT_TRUE(form.LoadFromNode(&node));
    form.show();
    QPlainTextEdit *memo = form.moDescription;
    // A no-break space, Shift+Enter and a paragraph separator as typed.
    QTest::keyClicks(memo, QString("a") + QChar::Nbsp + "b");
    QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    memo->insertPlainText(QString("c") + QChar::ParagraphSeparator + "d");
    form.btOK->click();
    EXPECT_EQ(form.result(), mrOk);
    QStringList saved;
    LoadStringsProp(saved, node.Props, "Description");
    EXPECT_EQ(saved, (QStringList{QString("a") + QChar::Nbsp + "b", "c", "d"}));

    // Each separator counts against the most lines a description holds.
    ASSERT_TRUE(form.LoadFromNode(&node));
    memo->setPlainText(QString(kMaxStringsLines, QChar::LineSeparator));
    form.btOK->click();
    EXPECT_EQ(
        ui.BoxTexts(),
        QStringList{"The description has 65537 lines, more than the 65536 lines a description may have."});
}

TEST(StoredValues, TheUsersChangeRewrites)
{
    SelectPanelModel(PanelModel128x64);
    const struct {
        TMake make;
        int32_t kind;
        QStringList props;
        std::function<void(TItemDialog &)> change;
        QStringList saved;
    } cases[] = {
        {Make<TFormStartupScreen>(),
         nkStartupScreen,
         {"EndCondition=7", "FlipTime=8", "CycleCount=20"},
         [](TItemDialog &d) {
             auto &f = static_cast<TFormStartupScreen &>(d);
             f.rbByTimeOrKeypad->click();
             f.cbCycleCount->setCurrentIndex(3);
         },
         {"EndCondition=2", "FlipTime=8", "CycleCount=3"}},
        {Make<TFormConfig>(),
         nkConfiguration,
         {"ScreenSaverActiveTime=10", "Level1IsTop=2", "ProtectType=7", "SaverEffect=abc"},
         [](TItemDialog &d) {
             auto &f = static_cast<TFormConfig &>(d);
             f.ckbTopLevel->setChecked(false);
             f.cbPasswordType->setCurrentIndex(1);
             f.cbEffect->setCurrentIndex(2);
         },
         {"ScreenSaverActiveTime=10", "Level1IsTop=0", "ProtectType=1", "SaverEffect=2"}},
        {Make<TfmAction>(),
         nkAction,
         {"ActionType=9", "Caption=Go", "Description.Count=0", "Reference=M1"},
         [](TItemDialog &d) { static_cast<TfmAction &>(d).cbActionType->setCurrentIndex(2); },
         {"ActionType=2", "Caption=Go", "Description.Count=0", "Reference=M1"}},
        // Inverted, the picture is encoded; inverted back, it is as it was.
        {Make<TFormScreen>(),
         nkScreen,
         {"ImageData=ff0"},
         [](TItemDialog &d) { static_cast<TFormScreen &>(d).btnInverse->click(); },
         {"ImageData=00" + QString("FF").repeated(128 * 64 / 8 - 1)}},
        {Make<TFormScreen>(),
         nkScreen,
         {"ImageData=ff0"},
         [](TItemDialog &d) {
             static_cast<TFormScreen &>(d).btnInverse->click();
             static_cast<TFormScreen &>(d).btnInverse->click();
         },
         {"ImageData=ff0"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SavedAfter(c.make, c.kind, c.props, c.change), c.saved) << c.props.join(' ').toStdString();
}

}  // namespace
