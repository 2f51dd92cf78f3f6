// The list dialog.
#include "ListDialog.h"

#include "InputChecks.h"
#include "Localizer.h"
#include "Operands.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

TFormList *FormList = nullptr;

namespace {

// A bit has the two entries 0 and 1; a register any count.
constexpr uint32_t kBitReferences = opX | opY | opM | opT | opC;
constexpr uint32_t kRegisterReferences = opWord | opDWord;
static_assert((kBitReferences | kRegisterReferences) == maskListReference);
// Timer and counter contacts: the panel only shows them.
constexpr uint32_t kReadOnlyBits = opT | opC;

constexpr int kMemoWidth = 260;
constexpr int kMemoHeight = 60;
constexpr int kGridHeight = 200;

QString LineKey(int index)
{
    return QStringLiteral("Line%1").arg(index);
}

}  // namespace

TFormList::TFormList(QWidget *parent) : TItemDialog("FormList", nkList, TRewrite::OwnsCaption, parent)
{
    WideLabel10 = MakeLabel(this, "WideLabel10", QStringLiteral("String:"));
    WideLabel11 = MakeLabel(this, "WideLabel11", QStringLiteral("Description:"));
    lbReference = MakeLabel(this, "lbReference", QStringLiteral("Reference No.:"));
    lbMax = MakeLabel(this, "lbMax", QStringLiteral("Count:"));
    WideLabel14 = MakeLabel(this, "WideLabel14", QStringLiteral("List String:"));
    edtCaption = MakeEdit(this, "edtCaption");
    moDescription = MakeMemo(this, "moDescription");
    moDescription->setMinimumSize(kMemoWidth, kMemoHeight);
    edtReference = MakeEdit(this, "edtReference", 6);
    edtReference->setToolTip(QStringLiteral("R/D/X/Y/M/S[xxxx]"));
    SetUpperCaseInput(edtReference);
    QStringList counts;
    for (int n = 2; n <= MaxEntries; ++n)
        counts.append(QString::number(n));
    cbMax = MakeChoice(this, "cbMax", counts);
    cbReadOnly = MakeCheck(this, "cbReadOnly", QStringLiteral("Read Only"));
    sgListString = new QTableWidget(this);
    sgListString->setObjectName(QStringLiteral("sgListString"));
    sgListString->setColumnCount(2);
    sgListString->verticalHeader()->hide();
    sgListString->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    sgListString->horizontalHeader()->setStretchLastSection(true);
    sgListString->setSelectionMode(QAbstractItemView::SingleSelection);
    sgListString->setMinimumHeight(kGridHeight);
    WideLabel10->setBuddy(edtCaption);
    WideLabel11->setBuddy(moDescription);
    lbReference->setBuddy(edtReference);
    lbMax->setBuddy(cbMax);
    WideLabel14->setBuddy(sgListString);

    connect(edtCaption, &QLineEdit::textChanged, this, &TFormList::edtCaptionChange);
    connect(edtReference, &QLineEdit::textChanged, this, &TFormList::edtReferenceChange);
    connect(cbMax, &QComboBox::currentIndexChanged, this, &TFormList::cbMaxChange);

    auto *grid = new QGridLayout;
    grid->addWidget(WideLabel10, 0, 0);
    grid->addWidget(edtCaption, 0, 1, 1, 3);
    grid->addWidget(WideLabel11, 1, 0, Qt::AlignTop);
    grid->addWidget(moDescription, 1, 1, 1, 3);
    grid->addWidget(lbReference, 2, 0);
    grid->addWidget(edtReference, 2, 1);
    grid->addWidget(lbMax, 2, 2);
    grid->addWidget(cbMax, 2, 3);
    grid->addWidget(cbReadOnly, 3, 1);
    grid->addWidget(WideLabel14, 4, 0, Qt::AlignTop);
    grid->addWidget(sgListString, 4, 1, 1, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(ButtonRow());
    SetFirstField(edtCaption);
    SetPanelTextField(edtCaption);
    FormCreate();
    cbMaxChange();
}

TFormList::~TFormList()
{
    if (FormList == this)
        FormList = nullptr;
}

int TFormList::EntryCount() const
{
    bool isNumber = false;
    const int n = cbMax->currentText().toInt(&isNumber);
    return isNumber ? n : 1;
}

void TFormList::cbMaxChange()
{
    const int n = qBound(0, EntryCount(), MostGridEntries);
    // The texts of rows beyond the count are kept aside while the dialog is
    // open and come back when the count grows again; a save writes only the
    // entries below the count.
    for (int row = n; row < sgListString->rowCount(); ++row)
        hiddenTexts_[row] = sgListString->item(row, 1)->text();
    const int oldRows = sgListString->rowCount();
    sgListString->setRowCount(n);
    sgListString->setHorizontalHeaderLabels(
        {Localizer.GetText(QStringLiteral("Value"), QStringLiteral("list"), QStringLiteral("ValueId")),
         Localizer.GetText(QStringLiteral("String"), QStringLiteral("list"), QStringLiteral("StringId"))});
    for (int row = 0; row < n; ++row) {
        auto *value = new QTableWidgetItem(QString::number(row));
        value->setFlags(Qt::ItemIsEnabled);
        sgListString->setItem(row, 0, value);
        if (row >= oldRows)
            sgListString->setItem(row, 1, new QTableWidgetItem(hiddenTexts_.value(row)));
    }
}

void TFormList::edtCaptionChange()
{
    ColourByPanelWidth(edtCaption, ItemCaptionMaxWidth);
}

void TFormList::SwitchCount(bool on)
{
    SwitchField(cbMax, on);
    SwitchField(sgListString, on);
}

void TFormList::ApplyReadOnlyRule(uint32_t flag)
{
    const bool forced = (flag & kReadOnlyBits) != 0;
    if (forced)
        cbReadOnly->setChecked(true);
    cbReadOnly->setEnabled(!forced);
}

void TFormList::edtReferenceChange()
{
    const uint32_t flag = CheckOperandEdit(edtReference, maskListReference, NoWarning);
    if (flag & kBitReferences) {
        // Every change of the text remembers the count shown, so a second
        // bit reference in a row remembers the forced 2.
        savedCount_ = cbMax->currentText();
        cbMax->setCurrentIndex(0);
        cbMaxChange();
        SwitchField(cbMax, false);
        SwitchField(sgListString, true);
        ApplyReadOnlyRule(flag);
    } else if (flag & kRegisterReferences) {
        cbMax->setCurrentIndex(cbMax->findText(savedCount_, Qt::MatchExactly | Qt::MatchCaseSensitive));
        cbMaxChange();
        SwitchCount(true);
        ApplyReadOnlyRule(flag);
    } else {
        SwitchCount(false);
    }
}

void TFormList::LoadControls(TwNode &node)
{
    LoadText(edtCaption, node, QStringLiteral("Caption"));
    LoadLines(moDescription, node, QStringLiteral("Description"));
    LoadText(edtReference, node, QStringLiteral("Reference"));
    LoadChoice(cbMax, node, QStringLiteral("Max"));
    LoadCheck(cbReadOnly, node, QStringLiteral("ReadOnly"));
    if (cbMax->currentIndex() < 0)
        cbMax->setCurrentIndex(0);
    cbMaxChange();
    savedCount_ = cbMax->currentText();
    hiddenTexts_.clear();
    for (int i = 0; i < sgListString->rowCount(); ++i)
        sgListString->item(i, 1)->setText(node.GetProp(LineKey(i)));
    // A stored Read Only of a timer or counter contact gives way to its rule.
    uint32_t flag = 0;
    MatchOperand(edtReference->text(), maskListReference, &flag);
    ApplyReadOnlyRule(flag);
    edtCaptionChange();
}

bool TFormList::CheckInput()
{
    return CheckEditNotEmpty(edtCaption, 2000) && CheckEditNotEmpty(edtReference, 2001)
        && CheckOperandEdit(edtReference, maskListReference, 2006) != 0;
}

void TFormList::SaveControls(TwNode &node)
{
    SaveText(node, QStringLiteral("Caption"), edtCaption);
    SaveLines(node, QStringLiteral("Description"), moDescription);
    SaveText(node, QStringLiteral("Reference"), edtReference);
    SaveChoice(node, QStringLiteral("Max"), cbMax);
    SaveCheck(node, QStringLiteral("ReadOnly"), cbReadOnly);
    const int n = qMin(EntryCount(), sgListString->rowCount());
    for (int i = 0; i < n; ++i)
        node.SetProp(LineKey(i), sgListString->item(i, 1)->text());
}

void TFormList::showEvent(QShowEvent *event)
{
    TItemDialog::showEvent(event);
    sgListString->setCurrentCell(0, 1);
}

TFormList *ListForm()
{
    if (!FormList)
        FormList = new TFormList();
    return FormList;
}
