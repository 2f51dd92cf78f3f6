// The compile result.
#include "CompileResultDialog.h"

#include "DialogButtons.h"
#include "DownloadDialog.h"
#include "FieldColours.h"
#include "ItemDialog.h"
#include "Localizer.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

TFormCompile *FormCompile = nullptr;

namespace {

constexpr int kGaugeWidth = 320;

// A result line the user may select and copy.
QLabel *MakeResultLabel(QWidget *parent, const char *name)
{
    QLabel *label = MakeLabel(parent, name, QString());
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QFrame *MakeBevel(QWidget *parent, const char *name)
{
    auto *bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    return bevel;
}

constexpr TColor clSkyBlue = 0xF0CAA6;

// Gauge: sky-blue ground, the bar in the highlight colour; red when the image
// does not fit.
void ColourGauge(QProgressBar *gauge, bool exceeded)
{
    const QPalette standard = QApplication::palette(gauge);
    QPalette palette = standard;
    palette.setColor(QPalette::Base, ToQColor(clSkyBlue));
    palette.setColor(QPalette::Window, ToQColor(clSkyBlue));
    palette.setColor(QPalette::Highlight, ToQColor(exceeded ? clFieldRefused : clHighlight, standard));
    gauge->setPalette(palette);
}

}  // namespace

TFormCompile::TFormCompile(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormCompile"));
    setWindowTitle(QStringLiteral("Compile"));

    lbInformation = MakeResultLabel(this, "lbInformation");
    cgInformat = new QProgressBar(this);
    cgInformat->setObjectName(QStringLiteral("cgInformat"));
    cgInformat->setRange(0, 100);
    cgInformat->setValue(0);
    cgInformat->setFormat(QStringLiteral("%p%"));
    cgInformat->setAlignment(Qt::AlignCenter);
    cgInformat->setMinimumWidth(kGaugeWidth);
    Bevel1 = MakeBevel(this, "Bevel1");
    lbOutFile = MakeResultLabel(this, "lbOutFile");
    lbSizeError = MakeResultLabel(this, "lbSizeError");
    lbSizeError->hide();
    Bevel2 = MakeBevel(this, "Bevel2");
    btOK = MakeButton(this, "btOK", QStringLiteral("OK"));
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    ColourGauge(cgInformat, false);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lbInformation);
    layout->addWidget(cgInformat);
    layout->addWidget(Bevel1);
    layout->addWidget(lbOutFile);
    layout->addWidget(lbSizeError);
    layout->addWidget(Bevel2);
    layout->addLayout(CentredButtonRow({btOK}));

    Localizer.RegisterAndTranslateForm(this);
}

TFormCompile::~TFormCompile()
{
    if (FormCompile == this)
        FormCompile = nullptr;
}

void TFormCompile::ShowResult(const QString &outputFile, uint32_t codeSize, uint32_t limit)
{
    const QString size = QString::number(codeSize);
    lbInformation->setText(
        FormatText(Localizer.GetText(QStringLiteral("Code Size : %d Bytes / %d Bytes"),
                                     QStringLiteral("compile"), QStringLiteral("CodeSize")),
                   {size, QString::number(limit)}));
    lbOutFile->setText(FormatText(Localizer.GetText(QStringLiteral("Output file : %s"),
                                                    QStringLiteral("compile"), QStringLiteral("OutFile")),
                                  {outputFile}));
    MenuFileName = outputFile;

    const uint64_t percent = limit == 0 ? (codeSize == 0 ? 0 : 100) : uint64_t(codeSize) * 100 / limit;
    cgInformat->setValue(int(std::min<uint64_t>(percent, 100)));

    exceeded_ = codeSize > limit;
    ColourGauge(cgInformat, exceeded_);
    for (QLabel *label : {lbInformation, lbSizeError})
        SetFieldTextColour(label, exceeded_ ? clFieldRefused : clWindowText);
    if (exceeded_) {
        lbSizeError->setText(FormatText(
            Localizer.GetText(QStringLiteral("The menu image is %d Bytes too large for the panel's memory: "
                                             "it does not fit into the panel."),
                              QStringLiteral("compile"), QStringLiteral("SizeExceeded")),
            {QString::number(codeSize - limit)}));
    }
    lbSizeError->setVisible(exceeded_);
}

TFormCompile &CompileForm()
{
    if (!FormCompile)
        FormCompile = new TFormCompile();
    return *FormCompile;
}
