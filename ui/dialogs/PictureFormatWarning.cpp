// The picture-format warning.
#include "PictureFormatWarning.h"

#include "DialogButtons.h"
#include "ItemDialog.h"
#include "Localizer.h"
#include "PanelLcdDriver.h"
#include "UiServices.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TfmWarm *fmWarm = nullptr;

namespace {

constexpr int kPictureSize = 48;

}  // namespace

TfmWarm::TfmWarm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmWarm"));
    setWindowTitle(QStringLiteral("Warn"));

    imgWarn = MakeLabel(this, "imgWarn", QString());
    imgWarn->setFixedSize(kPictureSize, kPictureSize);
    imgWarn->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kPictureSize, kPictureSize));
    lbWarnFormat = MakeLabel(this, "lbWarnFormat", QString());
    lbWarnFormat->setAlignment(Qt::AlignCenter);
    btWarmOk = MakeButton(this, "btWarmOk", QStringLiteral("OK"));
    btWarmOk->setDefault(true);
    connect(btWarmOk, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(imgWarn, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addWidget(lbWarnFormat, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(CentredButtonRow({btWarmOk}));

    Localizer.RegisterAndTranslateForm(this);
}

TfmWarm::~TfmWarm()
{
    if (fmWarm == this)
        fmWarm = nullptr;
}

TfmWarm *WarmForm()
{
    if (!fmWarm)
        fmWarm = new TfmWarm();
    return fmWarm;
}

void ShowPictureFormatWarning(TfmWarm *form)
{
    if (!form)
        form = WarmForm();
    switch (CurrentModel.ModelId) {
    case PanelModel128x64:
        form->lbWarnFormat->setText(Localizer.GetText(QStringLiteral("Picturte should be in 128x64 format"),
                                                      QStringLiteral("Warm"),
                                                      QStringLiteral("Format128x64Id")));
        break;
    case PanelModel128x96:
        form->lbWarnFormat->setText(Localizer.GetText(QStringLiteral("Picturte should be in 128x96 format"),
                                                      QStringLiteral("Warm"),
                                                      QStringLiteral("Format128x96Id")));
        break;
    default: break;
    }
    UiServices().RunDialog(*form);
}
