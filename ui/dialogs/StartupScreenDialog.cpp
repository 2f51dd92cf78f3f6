// The startup screen dialog.
#include "StartupScreenDialog.h"

#include "FieldColours.h"
#include "InputChecks.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

TFormStartupScreen *FormStartupScreen = nullptr;

namespace {

constexpr int kEndConditions = 3;
constexpr int kMaxCycleCount = 10;

const QString kEndCondition = QStringLiteral("EndCondition");
const QString kFlipTime = QStringLiteral("FlipTime");
const QString kCycleCount = QStringLiteral("CycleCount");

QStringList CycleCounts()
{
    QStringList counts;
    for (int i = 0; i <= kMaxCycleCount; ++i)
        counts.append(QString::number(i));
    return counts;
}

}  // namespace

TFormStartupScreen::TFormStartupScreen(QWidget *parent)
    : TItemDialog("FormStartupScreen", nkStartupScreen, TRewrite::KeepsCaption, parent)
{
    gbxEndCondition = MakeGroup(this, "gbxEndCondition", QStringLiteral("End Condition"));
    rbByTime = MakeRadio(gbxEndCondition, "rbByTime", QStringLiteral("By Time"));
    rbByKeypad = MakeRadio(gbxEndCondition, "rbByKeypad", QStringLiteral("By Keypad"));
    rbByTimeOrKeypad = MakeRadio(gbxEndCondition, "rbByTimeOrKeypad", QStringLiteral("By Time or Keypad"));
    rbByTime->setChecked(true);

    gbxActionTime = MakeGroup(this, "gbxActionTime", QStringLiteral("Action Time"));
    lbFlipTime = MakeLabel(gbxActionTime, "lbFlipTime", QStringLiteral("Flip Time:"));
    edtFlipTime = MakeEdit(gbxActionTime, "edtFlipTime");
    lbFlipTimeUnit = MakeLabel(gbxActionTime, "lbFlipTimeUnit", QStringLiteral("x0.1 sec (5-100)"));
    lbCycleCount = MakeLabel(gbxActionTime, "lbCycleCount", QStringLiteral("Cycle Count:"));
    cbCycleCount = MakeChoice(gbxActionTime, "cbCycleCount", CycleCounts());
    lbFlipTime->setBuddy(edtFlipTime);
    lbCycleCount->setBuddy(cbCycleCount);

    for (QRadioButton *button : {rbByTime, rbByKeypad, rbByTimeOrKeypad})
        connect(button, &QRadioButton::toggled, this, &TFormStartupScreen::rbByTimeClick);
    connect(edtFlipTime, &QLineEdit::textChanged, this, &TFormStartupScreen::edtFlipTimeChange);

    auto *end = new QVBoxLayout(gbxEndCondition);
    for (QRadioButton *button : {rbByTime, rbByKeypad, rbByTimeOrKeypad})
        end->addWidget(button);
    auto *time = new QGridLayout(gbxActionTime);
    time->addWidget(lbFlipTime, 0, 0);
    time->addWidget(edtFlipTime, 0, 1);
    time->addWidget(lbFlipTimeUnit, 0, 2);
    time->addWidget(lbCycleCount, 1, 0);
    time->addWidget(cbCycleCount, 1, 1);
    time->setColumnStretch(2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(gbxEndCondition);
    layout->addWidget(gbxActionTime);
    layout->addLayout(ButtonRow());
    rbByTimeClick();
    edtFlipTimeChange();
    FormCreate();
}

TFormStartupScreen::~TFormStartupScreen()
{
    if (FormStartupScreen == this)
        FormStartupScreen = nullptr;
}

QRadioButton *TFormStartupScreen::EndCondition(int number) const
{
    switch (number) {
    case 0: return rbByTime;
    case 1: return rbByKeypad;
    case 2: return rbByTimeOrKeypad;
    default: return nullptr;
    }
}

void TFormStartupScreen::rbByTimeClick()
{
    SwitchField(cbCycleCount, !rbByKeypad->isChecked());
}

bool TFormStartupScreen::FlipTimeValid() const
{
    bool ok = false;
    const int tenths = edtFlipTime->text().toInt(&ok, 10);
    return ok && tenths >= MinFlipTime && tenths <= MaxFlipTime;
}

void TFormStartupScreen::edtFlipTimeChange()
{
    SetFieldTextColour(edtFlipTime, FlipTimeValid() ? clFieldAccepted : clFieldRefused);
}

void TFormStartupScreen::LoadControls(TwNode &node)
{
    // A number no choice has leaves all three unchecked, which the
    // exclusive buttons allow only while they are not exclusive.
    QRadioButton *chosen = EndCondition(node.GetPropInt(kEndCondition, 0));
    for (int i = 0; i < kEndConditions; ++i) {
        QRadioButton *button = EndCondition(i);
        button->setAutoExclusive(false);
        button->setChecked(button == chosen);
        button->setAutoExclusive(true);
    }
    RememberStoredText(gbxEndCondition, node, kEndCondition, ChosenEndCondition());
    LoadText(edtFlipTime, node, kFlipTime);
    LoadChoice(cbCycleCount, node, kCycleCount);
}

QString TFormStartupScreen::ChosenEndCondition() const
{
    for (int i = 0; i < kEndConditions; ++i) {
        if (EndCondition(i)->isChecked())
            return QString::number(i);
    }
    return QString();
}

bool TFormStartupScreen::CheckInput()
{
    return FlipTimeValid() || WarnAndFocus(edtFlipTime, 2006);
}

void TFormStartupScreen::SaveControls(TwNode &node)
{
    node.SetProp(kEndCondition, StoredTextOr(gbxEndCondition, ChosenEndCondition()));
    SaveText(node, kFlipTime, edtFlipTime);
    SaveChoice(node, kCycleCount, cbCycleCount);
}

TFormStartupScreen *StartupScreenForm()
{
    if (!FormStartupScreen)
        FormStartupScreen = new TFormStartupScreen();
    return FormStartupScreen;
}
