// The search dialog.
#include "SearchDialog.h"

#include "DialogButtons.h"
#include "InputChecks.h"
#include "ItemDialog.h"
#include "Localizer.h"
#include "ModalResult.h"
#include "Operands.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TfmSearch *fmSearch = nullptr;

namespace {

constexpr int kEditWidth = 160;

// An edit with its label.
QLineEdit *MakeField(QWidget *parent, const char *name, QLabel *label)
{
    QLineEdit *edit = MakeEdit(parent, name);
    edit->setMinimumWidth(kEditWidth);
    label->setBuddy(edit);
    return edit;
}

}  // namespace

TfmSearch::TfmSearch(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmSearch"));
    setWindowTitle(QStringLiteral("Find .."));

    gbScope = MakeGroup(this, "gbScope", QStringLiteral(" Scope "));
    rbRefNo = MakeRadio(gbScope, "rbRefNo", QStringLiteral("Reference Number"));
    rbString = MakeRadio(gbScope, "rbString", QStringLiteral("String"));
    lbRef = MakeLabel(this, "lbRef", QStringLiteral("Reference No. :"));
    edtReference = MakeField(this, "edtReference", lbRef);
    SetUpperCaseInput(edtReference);
    lbString = MakeLabel(this, "lbString", QStringLiteral("String :"));
    edtFindString = MakeField(this, "edtFindString", lbString);
    btOK = MakeButton(this, "btOK", QStringLiteral("OK"));
    btOK->setDefault(true);
    btCancel = MakeButton(this, "btCancel", QStringLiteral("Cancel"));

    connect(rbRefNo, &QRadioButton::clicked, this, &TfmSearch::rbRefNoClick);
    connect(rbString, &QRadioButton::clicked, this, &TfmSearch::rbRefNoClick);
    connect(edtReference, &QLineEdit::textChanged, this, &TfmSearch::edtReferenceChange);
    connect(btOK, &QPushButton::clicked, this, &TfmSearch::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *scope = new QVBoxLayout(gbScope);
    scope->addWidget(rbRefNo);
    scope->addWidget(rbString);
    auto *fields = new QGridLayout;
    fields->addWidget(lbRef, 0, 0);
    fields->addWidget(edtReference, 0, 1);
    fields->addWidget(lbString, 1, 0);
    fields->addWidget(edtFindString, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(gbScope);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(CentredButtonRow({btOK, btCancel}));

    // The creation: search by reference.
    rbRefNo->setChecked(true);
    rbRefNoClick();
    edtReferenceChange();
    Localizer.RegisterAndTranslateForm(this);
}

TfmSearch::~TfmSearch()
{
    if (fmSearch == this)
        fmSearch = nullptr;
}

bool TfmSearch::IsReferenceValid() const
{
    int32_t number = 0;
    return ParseOperand(edtReference->text(), number) != 0;
}

bool TfmSearch::SearchByReference() const
{
    return rbRefNo->isChecked();
}

QLineEdit *TfmSearch::ScopeEdit() const
{
    return SearchByReference() ? edtReference : edtFindString;
}

void TfmSearch::rbRefNoClick()
{
    const bool byReference = SearchByReference();
    lbRef->setEnabled(byReference);
    edtReference->setEnabled(byReference);
    lbString->setEnabled(!byReference);
    edtFindString->setEnabled(!byReference);
    ScopeEdit()->setFocus();
}

void TfmSearch::edtReferenceChange()
{
    CheckOperandEdit(edtReference, maskAnyOperand, NoWarning);
}

void TfmSearch::btOKClick()
{
    const bool valid = SearchByReference() ? IsReferenceValid() : !edtFindString->text().isEmpty();
    if (valid) {
        accept();
        return;
    }
    // Stays open, silently: the colour says what is wrong.
    setResult(0);
    ScopeEdit()->setFocus();
}

void TfmSearch::FormActivate()
{
    ScopeEdit()->setFocus();
}

void TfmSearch::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfmSearch::reject()
{
    done(mrCancel);
}

TfmSearch *SearchForm()
{
    if (!fmSearch)
        fmSearch = new TfmSearch();
    return fmSearch;
}
