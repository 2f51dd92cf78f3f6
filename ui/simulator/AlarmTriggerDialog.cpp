// The alarm trigger of the offline simulation.
#include "AlarmTriggerDialog.h"

#include "Localizer.h"
#include "ModalResult.h"
#include "PlcLink.h"
#include "UiServices.h"
#include "dialogs/DialogButtons.h"
#include "dialogs/ItemDialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

TfrmAlarmTrig *frmAlarmTrig = nullptr;

namespace {

constexpr int kChoiceWidth = 120;

}  // namespace

TfrmAlarmTrig::TfrmAlarmTrig(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAlarmTrig"));
    setWindowTitle(QStringLiteral("Alarm Trigger"));

    lbAlarmNo = MakeLabel(this, "lbAlarmNo", QStringLiteral("Alarm Number:"));
    QStringList numbers;
    for (int number = 1; number <= kAlarmCount; ++number)
        numbers.append(QString::number(number));
    cbAlarmNo = MakeChoice(this, "cbAlarmNo", numbers);
    cbAlarmNo->setCurrentIndex(0);
    cbAlarmNo->setMinimumWidth(kChoiceWidth);  // room for the window's title
    cbAlarmNo->setMaxVisibleItems(16);
    lbAlarmNo->setBuddy(cbAlarmNo);
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"));
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TfrmAlarmTrig::btnOkClick);

    auto *choice = new QHBoxLayout;
    choice->addWidget(lbAlarmNo);
    choice->addWidget(cbAlarmNo, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(choice);
    layout->addSpacing(8);
    layout->addLayout(CentredButtonRow({btnOk}));

    Localizer.RegisterAndTranslateForm(this);
}

TfrmAlarmTrig::~TfrmAlarmTrig()
{
    if (frmAlarmTrig == this)
        frmAlarmTrig = nullptr;
}

void TfrmAlarmTrig::btnOkClick()
{
    runtime::CurrentAlarmNumber = std::uint16_t(cbAlarmNo->currentIndex() + 1);
    accept();
}

void TfrmAlarmTrig::reject()
{
    done(mrCancel);
}

TfrmAlarmTrig *AlarmTrigForm()
{
    if (!frmAlarmTrig)
        frmAlarmTrig = new TfrmAlarmTrig();
    return frmAlarmTrig;
}

int ShowAlarmTrigger()
{
    return UiServices().RunDialog(*AlarmTrigForm());
}
