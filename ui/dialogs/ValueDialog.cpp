// The value dialog.
#include "ValueDialog.h"

#include "InputChecks.h"
#include "Operands.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

TFormValue *FormValue = nullptr;

namespace {

// Timer and counter values: read-only and unsigned on the panel.
constexpr uint32_t kCounterValues = opRT | opRC | opDRC;
// The references whose Min is checked.
constexpr uint32_t kMinReferences = opWord | opDWord;

constexpr int kMemoWidth = 280;
constexpr int kMemoHeight = 80;

}  // namespace

TFormValue::TFormValue(QWidget *parent) : TItemDialog("FormValue", nkValue, TRewrite::OwnsCaption, parent)
{
    WideLabel1 = MakeLabel(this, "WideLabel1", QStringLiteral("String:"));
    WideLabel2 = MakeLabel(this, "WideLabel2", QStringLiteral("Description:"));
    lbRef = MakeLabel(this, "lbRef", QStringLiteral("Reference No.:"));
    lbUnit = MakeLabel(this, "lbUnit", QStringLiteral("Unit:"));
    lbDecimalPoint = MakeLabel(this, "lbDecimalPoint", QStringLiteral("Decimal Point:"));
    lbMax = MakeLabel(this, "lbMax", QStringLiteral("Max."));
    lbMin = MakeLabel(this, "lbMin", QStringLiteral("Min."));
    edtCaption = MakeEdit(this, "edtCaption");
    moDescription = MakeMemo(this, "moDescription");
    moDescription->setMinimumSize(kMemoWidth, kMemoHeight);
    edtReference = MakeEdit(this, "edtReference");
    edtReference->setToolTip(QStringLiteral("R/D/DR/DD/RT/RC/DRC[xxxx]"));
    SetUpperCaseInput(edtReference);
    cbSigned = MakeCheck(this, "cbSigned", QStringLiteral("Signed"));
    cbReadOnly = MakeCheck(this, "cbReadOnly", QStringLiteral("Read Only"));
    edtMax = MakeEdit(this, "edtMax");
    SetUpperCaseInput(edtMax);
    edtMin = MakeEdit(this, "edtMin");
    SetUpperCaseInput(edtMin);
    QStringList places;
    for (int i = 0; i <= 9; ++i)
        places.append(QString::number(i));
    cbDecimalPoint = MakeChoice(this, "cbDecimalPoint", places);
    edtUnit = MakeEdit(this, "edtUnit", 10);
    WideLabel1->setBuddy(edtCaption);
    WideLabel2->setBuddy(moDescription);
    lbRef->setBuddy(edtReference);
    lbUnit->setBuddy(edtUnit);
    lbDecimalPoint->setBuddy(cbDecimalPoint);
    lbMax->setBuddy(edtMax);
    lbMin->setBuddy(edtMin);

    connect(edtCaption, &QLineEdit::textChanged, this, &TFormValue::edtCaptionChange);
    connect(edtReference, &QLineEdit::textChanged, this, &TFormValue::edtReferenceChange);
    connect(edtMax, &QLineEdit::textChanged, this, &TFormValue::edtMaxChange);
    connect(edtMin, &QLineEdit::textChanged, this, &TFormValue::edtMinChange);
    connect(cbReadOnly, &QCheckBox::toggled, this, &TFormValue::cbReadOnlyClick);
    connect(cbSigned, &QCheckBox::toggled, this, &TFormValue::cbSignedClick);

    auto *grid = new QGridLayout;
    grid->addWidget(WideLabel1, 0, 0);
    grid->addWidget(edtCaption, 0, 1, 1, 3);
    grid->addWidget(WideLabel2, 1, 0, Qt::AlignTop);
    grid->addWidget(moDescription, 1, 1, 1, 3);
    grid->addWidget(lbRef, 2, 0);
    grid->addWidget(edtReference, 2, 1);
    grid->addWidget(cbSigned, 2, 2);
    grid->addWidget(cbReadOnly, 2, 3);
    grid->addWidget(lbMax, 3, 0);
    grid->addWidget(edtMax, 3, 1);
    grid->addWidget(lbMin, 3, 2);
    grid->addWidget(edtMin, 3, 3);
    grid->addWidget(lbDecimalPoint, 4, 0);
    grid->addWidget(cbDecimalPoint, 4, 1);
    grid->addWidget(lbUnit, 4, 2);
    grid->addWidget(edtUnit, 4, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(ButtonRow());
    SetFirstField(edtCaption);
    SetPanelTextField(edtCaption);
    FormCreate();
}

TFormValue::~TFormValue()
{
    if (FormValue == this)
        FormValue = nullptr;
}

uint32_t TFormValue::ReferenceFlag() const
{
    uint32_t flag = 0;
    MatchOperand(edtReference->text(), maskValueReference, &flag);
    return flag;
}

int TFormValue::NumberMode(uint32_t flag) const
{
    return NumberModeOfReference(flag, cbSigned->isChecked());
}

void TFormValue::ColourLimit(QLineEdit *edit, int mode)
{
    if (mode < 0) {
        SetFieldTextColour(edit, clWindowText);
        return;
    }
    // A switched-off or empty field keeps its colour.
    if (cbReadOnly->isChecked() || edit->text().isEmpty())
        return;
    CheckNumberEdit(edit, mode, NoWarning);
}

void TFormValue::edtCaptionChange()
{
    ColourByPanelWidth(edtCaption, ItemCaptionMaxWidth);
}

void TFormValue::edtReferenceChange()
{
    CheckOperandEdit(edtReference, maskValueReference, NoWarning);
    edtMaxChange();
    edtMinChange();
}

void TFormValue::edtMaxChange()
{
    const uint32_t flag = ReferenceFlag();
    const bool counter = (flag & kCounterValues) != 0;
    if (counter) {
        // Each change runs its box's handler.
        cbReadOnly->setChecked(true);
        cbSigned->setChecked(false);
    }
    cbReadOnly->setEnabled(!counter);
    cbSigned->setEnabled(!counter);
    ColourLimit(edtMax, NumberMode(flag));
}

void TFormValue::edtMinChange()
{
    ColourLimit(edtMin, NumberMode(ReferenceFlag() & kMinReferences));
}

void TFormValue::cbReadOnlyClick()
{
    const bool editable = !cbReadOnly->isChecked();
    SwitchField(edtMax, editable);
    SwitchField(edtMin, editable);
    // The limits were not coloured while switched off: the Signed box may
    // have changed their mode meanwhile.
    edtMaxChange();
    edtMinChange();
}

void TFormValue::cbSignedClick()
{
    edtMaxChange();
    edtMinChange();
}

void TFormValue::LoadControls(TwNode &node)
{
    LoadText(edtCaption, node, QStringLiteral("Caption"));
    LoadLines(moDescription, node, QStringLiteral("Description"));
    LoadText(edtReference, node, QStringLiteral("Reference"));
    LoadText(edtMax, node, QStringLiteral("Max"));
    LoadText(edtMin, node, QStringLiteral("Min"));
    LoadCheck(cbSigned, node, QStringLiteral("Signed"));
    LoadText(edtUnit, node, QStringLiteral("Unit"));
    LoadChoice(cbDecimalPoint, node, QStringLiteral("DecimalPoint"));
    LoadCheck(cbReadOnly, node, QStringLiteral("ReadOnly"));
    // The stored boxes may contradict the reference (a timer value stored
    // as writable): its rules hold over them, and the colours follow the
    // loaded state whatever the previous node left behind.
    edtCaptionChange();
    edtReferenceChange();
}

bool TFormValue::CheckInput()
{
    if (!CheckEditNotEmpty(edtCaption, 2000) || !CheckEditNotEmpty(edtReference, 2001))
        return false;
    if (CheckOperandEdit(edtReference, maskValueReference, 2006) == 0)
        return false;
    const int mode = NumberMode(ReferenceFlag());
    bool isNumber = false;
    const int places = cbDecimalPoint->currentText().toInt(&isNumber);
    if ((mode == cdtSigned16 || mode == cdtUnsigned16) && isNumber && places > 4)
        return WarnAndFocus(cbDecimalPoint, 2005);
    // Read only: the limits are kept as they stand.
    return cbReadOnly->isChecked() || CheckLimits(edtMax, edtMin, mode);
}

void TFormValue::SaveControls(TwNode &node)
{
    SaveText(node, QStringLiteral("Caption"), edtCaption);
    SaveLines(node, QStringLiteral("Description"), moDescription);
    SaveText(node, QStringLiteral("Reference"), edtReference);
    SaveText(node, QStringLiteral("Max"), edtMax);
    SaveText(node, QStringLiteral("Min"), edtMin);
    SaveCheck(node, QStringLiteral("Signed"), cbSigned);
    SaveText(node, QStringLiteral("Unit"), edtUnit);
    SaveChoice(node, QStringLiteral("DecimalPoint"), cbDecimalPoint);
    SaveCheck(node, QStringLiteral("ReadOnly"), cbReadOnly);
}

TFormValue *ValueForm()
{
    if (!FormValue)
        FormValue = new TFormValue();
    return FormValue;
}
