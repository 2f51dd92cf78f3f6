// The action dialog.
#include "ActionDialog.h"

#include "FieldColours.h"
#include "InputChecks.h"
#include "Operands.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

TfmAction *fmAction = nullptr;

namespace {

constexpr int kStringEmpty = 2000;
constexpr int kReferenceNotRegister = 2001;
constexpr int kInvalidInput = 2006;
constexpr int kReferenceNotBit = 2009;
constexpr int kFieldEmpty = 2011;
constexpr int kDescriptionLines = 4;

bool IsBitAction(int type)
{
    return type >= TfmAction::ToggleState && type <= TfmAction::MomentaryOff;
}

bool IsStep(int type)
{
    return type == TfmAction::StepUp || type == TfmAction::StepDown;
}

// A step of the number type that moves the register: at least 1.
bool StepAccepted(const QString &text, int numberType)
{
    return CheckConstantRange(text, numberType) && text.toLongLong() > 0;
}

}  // namespace

TfmAction::TfmAction(QWidget *parent) : TItemDialog("fmAction", nkAction, TRewrite::OwnsCaption, parent)
{
    lbStringOn = MakeLabel(this, "lbStringOn", QStringLiteral("String ON:"));
    WideLabel2 = MakeLabel(this, "WideLabel2", QStringLiteral("Description:"));
    lbRef = MakeLabel(this, "lbRef", QStringLiteral("Reference No.:"));
    lbDecimalPoint = MakeLabel(this, "lbDecimalPoint", QStringLiteral("Action Type:"));
    lbMax = MakeLabel(this, "lbMax", QStringLiteral("Max. :"));
    lbMin = MakeLabel(this, "lbMin", QStringLiteral("Min. :"));
    edStringOn = MakeEdit(this, "edStringOn");
    moDescription = MakeMemo(this, "moDescription");
    moDescription->setMinimumHeight(moDescription->fontMetrics().lineSpacing() * kDescriptionLines);
    edtReference = MakeEdit(this, "edtReference");
    SetUpperCaseInput(edtReference);
    edtMax = MakeEdit(this, "edtMax");
    SetUpperCaseInput(edtMax);
    edtMin = MakeEdit(this, "edtMin");
    SetUpperCaseInput(edtMin);
    cbActionType =
        MakeChoice(this, "cbActionType",
                   {QStringLiteral("Toggle State"), QStringLiteral("Set On"), QStringLiteral("Set Off"),
                    QStringLiteral("Momentary On"), QStringLiteral("Momentary Off"),
                    QStringLiteral("Set Value"), QStringLiteral("Step Up"), QStringLiteral("Step Down")});
    lbStringOff = MakeLabel(this, "lbStringOff", QStringLiteral("String (OFF) :"));
    edStringOff = MakeEdit(this, "edStringOff");
    lbStepSize = MakeLabel(this, "lbStepSize", QStringLiteral("Step Size. :"));
    edtStepSize = MakeEdit(this, "edtStepSize");
    // Digits only, typed or pasted: a step has no sign.
    edtStepSize->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edtStepSize));
    pnSign = new QWidget(this);
    pnSign->setObjectName(QStringLiteral("pnSign"));
    rgSign = MakeGroup(pnSign, "rgSign", QStringLiteral(" Sign "));
    rbSigned = MakeRadio(rgSign, "rbSigned", QStringLiteral("Signed"));
    rbSigned->setChecked(true);
    rbUnsigned = MakeRadio(rgSign, "rbUnsigned", QStringLiteral("Unsigned"));
    lbString = MakeLabel(this, "lbString", QStringLiteral("String :"));
    lbValue = MakeLabel(this, "lbValue", QStringLiteral("Value :"));
    lbStringOn->setBuddy(edStringOn);
    lbString->setBuddy(edStringOn);
    lbStringOff->setBuddy(edStringOff);
    WideLabel2->setBuddy(moDescription);
    lbDecimalPoint->setBuddy(cbActionType);
    lbRef->setBuddy(edtReference);
    lbMax->setBuddy(edtMax);
    lbValue->setBuddy(edtMax);
    lbMin->setBuddy(edtMin);
    lbStepSize->setBuddy(edtStepSize);

    connect(cbActionType, &QComboBox::currentIndexChanged, this, &TfmAction::cbActionTypeChange);
    connect(edtReference, &QLineEdit::textChanged, this, &TfmAction::edtReferenceChange);
    for (QLineEdit *field : {edtMax, edtMin, edtStepSize})
        connect(field, &QLineEdit::textChanged, this, [this, field] { edtMaxMinChange(field); });
    // One of the two is toggled whenever the sign changes.
    connect(rbSigned, &QRadioButton::toggled, this, &TfmAction::cbSignedClick);
    for (QLineEdit *field : {edStringOn, edStringOff})
        connect(field, &QLineEdit::textChanged, this, [this, field] { edStringOnChange(field); });

    auto *sign = new QHBoxLayout(rgSign);
    sign->addWidget(rbSigned);
    sign->addWidget(rbUnsigned);
    sign->addStretch();
    auto *signPanel = new QVBoxLayout(pnSign);
    signPanel->setContentsMargins(0, 0, 0, 0);
    signPanel->addWidget(rgSign);

    // The two labels of a row share its cell: one of them is shown.
    auto *fields = new QGridLayout;
    const struct {
        std::initializer_list<QLabel *> labels;
        QWidget *field;
    } rows[] = {
        {{lbString, lbStringOn}, edStringOn},
        {{lbStringOff}, edStringOff},
        {{WideLabel2}, moDescription},
        {{lbDecimalPoint}, cbActionType},
        {{lbRef}, edtReference},
        {{lbMax, lbValue}, edtMax},
        {{lbMin}, edtMin},
        {{lbStepSize}, edtStepSize},
    };
    int row = 0;
    for (const auto &r : rows) {
        for (QLabel *label : r.labels)
            fields->addWidget(label, row, 0,
                              label == WideLabel2 ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft);
        fields->addWidget(r.field, row, 1);
        ++row;
    }
    fields->addWidget(pnSign, row, 0, 1, 2);
    fields->setRowStretch(2, 1);  // the description takes the room left over

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(ButtonRow());

    // The fields of the first type, and the empty fields' states.
    cbActionTypeChange();
    edStringOnChange(edStringOn);
    edStringOnChange(edStringOff);
    SetFirstField(edStringOn);
    SetPanelTextField(edStringOn);
    FormCreate();
}

TfmAction::~TfmAction()
{
    if (fmAction == this)
        fmAction = nullptr;
}

int TfmAction::ActionType() const
{
    return ListedIndex(cbActionType);
}

void TfmAction::cbActionTypeChange()
{
    const int type = ActionType();
    if (type == arrangedType_)
        return;
    ArrangeFields(type);
    edtReferenceChange();
}

void TfmAction::ArrangeFields(int type)
{
    for (QWidget *field :
         std::initializer_list<QWidget *>{lbStringOff, edStringOff, lbMax, edtMax, lbMin, edtMin, lbStepSize,
                                          edtStepSize, lbStringOn, lbValue, pnSign})
        field->hide();
    lbString->show();
    arrangedType_ = type;
    if (type == ToggleState) {
        lbString->hide();
        for (QWidget *field : std::initializer_list<QWidget *>{lbStringOn, lbStringOff, edStringOff})
            field->show();
    } else if (type == SetValue) {
        for (QWidget *field : std::initializer_list<QWidget *>{edtMax, lbValue, pnSign})
            field->show();
    } else if (IsStep(type)) {
        for (QWidget *field :
             std::initializer_list<QWidget *>{edtMax, lbMax, edtMin, lbMin, edtStepSize, lbStepSize, pnSign})
            field->show();
    }
}

void TfmAction::edtReferenceChange()
{
    const int type = ActionType();
    if (type == NoType) {
        // No type: no kinds to take.
        SetFieldTextColour(edtReference, clWindowText);
        return;
    }
    const bool bits = IsBitAction(type);
    edtReference->setToolTip(bits ? QStringLiteral("X/Y/M/S[xxxx]") : QStringLiteral("R/D/DR/DD[xxxx]"));
    CheckOperandEdit(edtReference, bits ? maskBitAction : maskRegister, NoWarning);
    cbSignedClick();
}

int TfmAction::NumberType() const
{
    int32_t number = 0;
    const uint32_t kind = ParseOperand(edtReference->text(), number) & maskRegister;
    return NumberModeOfReference(kind, rbSigned->isChecked());
}

void TfmAction::edtMaxMinChange(QLineEdit *field)
{
    const int numberType = NumberType();
    if (numberType < 0)
        SetFieldTextColour(field, clWindowText);
    else if (field->text().isEmpty())
        return;  // keeps its colour
    else if (field == edtStepSize)
        SetFieldTextColour(field, StepAccepted(field->text(), numberType) ? clFieldAccepted : clFieldRefused);
    else
        CheckNumberEdit(field, numberType, NoWarning);
}

void TfmAction::cbSignedClick()
{
    const int type = ActionType();
    if (type >= SetValue)
        edtMaxMinChange(edtMax);
    if (IsStep(type)) {
        edtMaxMinChange(edtMin);
        edtMaxMinChange(edtStepSize);
    }
}

void TfmAction::edStringOnChange(QLineEdit *field)
{
    ColourByPanelWidth(field, ItemCaptionMaxWidth);
}

void TfmAction::LoadControls(TwNode &node)
{
    LoadText(edStringOn, node, QStringLiteral("Caption"));
    LoadLines(moDescription, node, QStringLiteral("Description"));
    LoadText(edtReference, node, QStringLiteral("Reference"));
    LoadChoiceIndex(cbActionType, node, QStringLiteral("ActionType"));
    const int type = ActionType();
    for (QLineEdit *field : {edStringOff, edtMax, edtMin, edtStepSize})
        field->clear();
    rbUnsigned->setChecked(true);
    if (type == ToggleState)
        LoadText(edStringOff, node, QStringLiteral("StringOff"));
    if (type >= SetValue) {
        LoadText(edtMax, node, QStringLiteral("Max"));
        LoadCheck(rbSigned, node, QStringLiteral("Signed"));  // Unsigned is checked
    }
    if (IsStep(type)) {
        LoadText(edtMin, node, QStringLiteral("Min"));
        LoadText(edtStepSize, node, QStringLiteral("StepSize"));
    }
    // The colours of the loaded reference and numbers for the loaded type.
    edtReferenceChange();
}

bool TfmAction::CheckStepSize()
{
    const QString step = edtStepSize->text();
    return CheckEditNotEmpty(edtStepSize, kFieldEmpty)
        && (StepAccepted(step, NumberType()) || RefuseEdit(edtStepSize, kInvalidInput));
}

bool TfmAction::CheckInput()
{
    const int type = ActionType();
    if (!CheckEditNotEmpty(edStringOn, kStringEmpty))
        return false;
    if (type == ToggleState && !CheckEditNotEmpty(edStringOff, kFieldEmpty))
        return false;
    if (!CheckEditNotEmpty(edtReference, kFieldEmpty))
        return false;
    if (type == NoType)
        return true;
    if (IsBitAction(type))
        return CheckOperandEdit(edtReference, maskBitAction, kReferenceNotBit) != 0;
    if (CheckOperandEdit(edtReference, maskRegister, kReferenceNotRegister) == 0)
        return false;

    const int numberType = NumberType();
    if (type == SetValue)
        return CheckEditNotEmpty(edtMax, kFieldEmpty) && CheckNumberEdit(edtMax, numberType, kInvalidInput);
    // An empty Max or Min is no limit.
    return CheckLimits(edtMax, edtMin, numberType) && CheckStepSize();
}

void TfmAction::SaveControls(TwNode &node)
{
    const int type = ActionType();
    SaveChoiceIndex(node, QStringLiteral("ActionType"), cbActionType);
    SaveText(node, QStringLiteral("Caption"), edStringOn);
    SaveLines(node, QStringLiteral("Description"), moDescription);
    SaveText(node, QStringLiteral("Reference"), edtReference);
    if (type == ToggleState)
        SaveText(node, QStringLiteral("StringOff"), edStringOff);
    if (type >= SetValue)
        SaveText(node, QStringLiteral("Max"), edtMax);
    if (IsStep(type)) {
        SaveText(node, QStringLiteral("Min"), edtMin);
        SaveText(node, QStringLiteral("StepSize"), edtStepSize);
    }
    if (type >= SetValue)
        SaveCheck(node, QStringLiteral("Signed"), rbSigned);
}

TfmAction *ActionForm()
{
    if (!fmAction)
        fmAction = new TfmAction();
    return fmAction;
}
