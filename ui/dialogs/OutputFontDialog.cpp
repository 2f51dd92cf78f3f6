// The output font preference.
#include "OutputFontDialog.h"

#include "DialogButtons.h"
#include "GlyphRaster.h"
#include "ItemDialog.h"
#include "Localizer.h"
#include "ModalResult.h"
#include "OutputFont.h"
#include "UiServices.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

TfmFontSelect *fmFontSelect = nullptr;

namespace {

const char kOutFontKey[] = "OutFont";
const char kDefaultFace[] = "Tahoma";

}  // namespace

TfmFontSelect::TfmFontSelect(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmFontSelect"));
    setWindowTitle(QStringLiteral("Preference Output Font"));

    lbOutFont = MakeLabel(this, "lbOutFont", QStringLiteral("Output Font:"));
    ComboBox1 = MakeChoice(this, "ComboBox1", OutputFontFamilies());
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lbOutFont->setBuddy(ComboBox1);
    btOK = MakeButton(this, "btOK", QStringLiteral("OK"));
    btOK->setDefault(true);
    btCancel = MakeButton(this, "btCancel", QStringLiteral("Cancel"));
    connect(btOK, &QPushButton::clicked, this, &TfmFontSelect::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &TfmFontSelect::btCancelClick);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lbOutFont);
    layout->addWidget(ComboBox1);
    layout->addSpacing(8);
    layout->addLayout(CentredButtonRow({btOK, btCancel}));

    FormCreate();
    Localizer.RegisterAndTranslateForm(this);
}

TfmFontSelect::~TfmFontSelect()
{
    FormDestroy();
    if (fmFontSelect == this)
        fmFontSelect = nullptr;
}

bool TfmFontSelect::SelectFace(const QString &face)
{
    const int index = ComboBox1->findText(face, Qt::MatchFixedString);  // without regard to case
    if (index < 0)
        return false;
    ComboBox1->setCurrentIndex(index);
    return true;
}

void TfmFontSelect::FormCreate()
{
    settings_ = UiServices().OpenSettings(QLatin1String(kDesignerSettings), QString());
    const QVariant stored = settings_->value(QLatin1String(kOutFontKey));
    OutputFontName = stored.isValid() ? stored.toString() : QLatin1String(kDefaultFace);
    if (!SelectFace(OutputFontName)) {
        OutputFontName = QLatin1String(kDefaultFace);
        SelectFace(OutputFontName);
    }
}

void TfmFontSelect::FormDestroy()
{
    if (!settings_)
        return;
    settings_->setValue(QLatin1String(kOutFontKey), OutputFontName);
    settings_->sync();
    settings_.reset();
}

void TfmFontSelect::btOKClick()
{
    if (ComboBox1->currentIndex() >= 0)
        OutputFontName = ComboBox1->currentText();
    accept();
}

void TfmFontSelect::btCancelClick()
{
    reject();
}

void TfmFontSelect::reject()
{
    SelectFace(OutputFontName);
    done(mrCancel);
}

TfmFontSelect *FontSelectForm()
{
    if (!fmFontSelect)
        fmFontSelect = new TfmFontSelect();
    return fmFontSelect;
}
