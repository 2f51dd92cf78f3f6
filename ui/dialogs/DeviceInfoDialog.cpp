// The device information dialog.
#include "DeviceInfoDialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

TFormDeviceInfo *FormDeviceInfo = nullptr;

namespace {

// The least size the description takes, so that a few lines show.
constexpr int kMemoWidth = 320;
constexpr int kMemoHeight = 120;

}  // namespace

TFormDeviceInfo::TFormDeviceInfo(QWidget *parent)
    : TItemDialog("FormDeviceInfo", nkDeviceInfo, TRewrite::KeepsCaption, parent)
{
    setWindowTitle(QStringLiteral("Device Information"));
    SetCarriedKeys({QStringLiteral("Caption")});

    lbDeviceName = MakeLabel(this, "lbDeviceName", QStringLiteral("Device Name:"));
    cbDevice = MakeChoice(
        this, "cbDevice",
        {QStringLiteral("[MZEL]   128*64 Oled Display"), QStringLiteral("[ZEL]     128*96 Oled Display")});
    lbDescription = MakeLabel(this, "lbDescription", QStringLiteral("Description:"));
    mmDescription = MakeMemo(this, "mmDescription");
    mmDescription->setMinimumSize(kMemoWidth, kMemoHeight);
    lbDeviceName->setBuddy(cbDevice);
    lbDescription->setBuddy(mmDescription);

    auto *device = new QHBoxLayout;
    device->addWidget(lbDeviceName);
    device->addWidget(cbDevice, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(device);
    layout->addWidget(lbDescription);
    layout->addWidget(mmDescription, 1);
    layout->addLayout(ButtonRow());
    SetFirstField(cbDevice);
    FormCreate();
}

TFormDeviceInfo::~TFormDeviceInfo()
{
    if (FormDeviceInfo == this)
        FormDeviceInfo = nullptr;
}

void TFormDeviceInfo::LoadControls(TwNode &node)
{
    const int id = node.GetPropInt(QStringLiteral("DeviceID"), 0);
    int index = 0;
    for (int i = 0; i < int(DeviceIds.size()); ++i) {
        if (DeviceIds[i] == id)
            index = i;
    }
    cbDevice->setCurrentIndex(index);
    LoadLines(mmDescription, node, QStringLiteral("Description"));
}

void TFormDeviceInfo::SaveControls(TwNode &node)
{
    // Only the table's ids are ever stored: no selection stores the first.
    const int index = cbDevice->currentIndex();
    const int id = index >= 0 && index < int(DeviceIds.size()) ? DeviceIds[index] : DeviceIds[0];
    node.SetProp(QStringLiteral("DeviceID"), QString::number(id));
    SaveLines(node, QStringLiteral("Description"), mmDescription);
}

TFormDeviceInfo *DeviceInfoForm()
{
    if (!FormDeviceInfo)
        FormDeviceInfo = new TFormDeviceInfo();
    return FormDeviceInfo;
}
