// The configuration dialog.
#include "ConfigurationDialog.h"

#include "FieldColours.h"
#include "InputChecks.h"
#include "Operands.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

TFormConfig *FormConfig = nullptr;

namespace {

constexpr int kRegisterLength = 6;
constexpr int kSaverTimeLength = 5;
constexpr int kSaverMinutesMin = 1;
constexpr int kSaverMinutesMax = 99;
constexpr int kInvalidInput = 2006;

// The last word register of the range a register kind lies in: R0..R4167,
// R5000..R8071 and D0..D3071; a DR or DD register is a pair of R or D words.
int64_t LastWordRegister(uint32_t kind)
{
    switch (kind) {
    case opR:
    case opDR: return 4167;
    case opRHigh:
    case opDRHigh: return 8071;
    case opD:
    case opDD: return 3071;
    default: return -1;
    }
}

int WordsPerRegister(uint32_t kind)
{
    return (kind & opDWord) != 0 ? 2 : 1;
}

// Whether text names a register of mask from which count registers all
// exist; kind and number are those of the register (kind 0: none of mask).
bool RegistersExist(const QString &text, uint32_t mask, int count, uint32_t &kind, int32_t &number)
{
    kind = 0;
    if (MatchOperand(text, mask, &kind, &number) == 0)
        return false;
    const int64_t last = int64_t(number) + int64_t(count) * WordsPerRegister(kind) - 1;
    return last <= LastWordRegister(kind);
}

// The live state of a register field: its colour and its range label.
// Returns the kind of register it names (0: none of mask).
uint32_t ShowRegisterField(QLineEdit *edit, QLabel *range, uint32_t mask, int count)
{
    uint32_t kind = 0;
    int32_t number = 0;
    const bool exist = RegistersExist(edit->text(), mask, count, kind, number);
    range->clear();
    TFormConfig::ShowRegisterRange(count, kind, number, range);
    SetFieldTextColour(edit, exist ? clFieldAccepted : clFieldRefused);
    return kind;
}

// The OK check of a register field: empty, or a register of mask from which
// count registers all exist.
bool CheckRegisterField(QLineEdit *edit, uint32_t mask, int count)
{
    uint32_t kind = 0;
    int32_t number = 0;
    return edit->text().isEmpty() || RegistersExist(edit->text(), mask, count, kind, number)
        || RefuseEdit(edit, kInvalidInput);
}

// The saver's start time: minutes as a constant, or the R or D register
// holding them.
bool SaverTimeAccepted(const QString &text)
{
    uint32_t kind = 0;
    int32_t number = 0;
    if (MatchOperand(text, opConst | maskWordRegister, &kind, &number) == 0)
        return false;
    return kind != opConst || (number >= kSaverMinutesMin && number <= kSaverMinutesMax);
}

// The range text of the registers first to last: "(R100~R109)", or "(R100)"
// for one.
QString RangeText(QChar prefix, const QString &first, const QString &last)
{
    if (last.isEmpty())
        return QStringLiteral("(%1%2)").arg(prefix, first);
    return QStringLiteral("(%1%2~%1%3)").arg(prefix, first, last);
}

// A range label as wide as the widest range any register field can show
// (register numbers have at most 4 digits), whatever it shows now, so that
// the fields beside it keep their size and place while the user types.
class TRangeLabel : public QLabel {
public:
    TRangeLabel(QWidget *parent, const char *name) : QLabel(parent) { setObjectName(QLatin1String(name)); }

    QSize sizeHint() const override { return Widest(QLabel::sizeHint()); }
    QSize minimumSizeHint() const override { return Widest(QLabel::minimumSizeHint()); }

private:
    QSize Widest(QSize size) const
    {
        const QFontMetrics metrics(font());
        QChar widestDigit = QLatin1Char('0');
        for (char digit = '1'; digit <= '9'; ++digit) {
            if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widestDigit))
                widestDigit = QLatin1Char(digit);
        }
        const QString number(kMostRegisterDigits, widestDigit);
        int width = 0;
        for (QChar prefix : {QLatin1Char('R'), QLatin1Char('D')})
            width = qMax(width, metrics.boundingRect(QRect(), 0, RangeText(prefix, number, number)).width());
        const QMargins margins = contentsMargins();
        width += margins.left() + margins.right() + 2 * margin();
        return QSize(qMax(size.width(), width), qMax(size.height(), metrics.height()));
    }

    static constexpr int kMostRegisterDigits = 4;
};

QLineEdit *MakeRegisterEdit(QWidget *parent, const char *name, int maxLength, const QString &hint)
{
    QLineEdit *edit = MakeEdit(parent, name, maxLength);
    edit->setToolTip(hint);
    SetUpperCaseInput(edit);
    return edit;
}

}  // namespace

TFormConfig::TFormConfig(QWidget *parent)
    : TItemDialog("FormConfig", nkConfiguration, TRewrite::KeepsCaption, parent)
{
    const QString wordHint = QStringLiteral("R/D[xxxx]");
    lbAlarmIndex = MakeLabel(this, "lbAlarmIndex", QStringLiteral("Alarm  Source register:"));
    edtAlarmIndex = MakeRegisterEdit(this, "edtAlarmIndex", kRegisterLength, wordHint);
    edtPassword = MakeRegisterEdit(this, "edtPassword", kRegisterLength, QStringLiteral("R/D/DR/DD[xxxx]"));
    WideLabel2 = MakeLabel(this, "WideLabel2", QStringLiteral("Base Password register:"));
    WideLabel1 = MakeLabel(this, "WideLabel1", QStringLiteral("Working Space register:"));
    edtWorkingSpace = MakeRegisterEdit(this, "edtWorkingSpace", kRegisterLength, wordHint);
    ckbTopLevel = MakeCheck(this, "ckbTopLevel", QStringLiteral("Set Level #1 as Top Level"));
    WideLabel4 = MakeLabel(this, "WideLabel4", QStringLiteral("Password Protection Type:"));
    cbPasswordType =
        MakeChoice(this, "cbPasswordType", {QStringLiteral("Read & Write"), QStringLiteral("Write Only")});
    WideGroupBox1 = MakeGroup(this, "WideGroupBox1", QStringLiteral(" Screen Saver "));
    WideLabel3 = MakeLabel(WideGroupBox1, "WideLabel3", QStringLiteral("activate time:"));
    edtScreenSaverActiveTime = MakeRegisterEdit(WideGroupBox1, "edtScreenSaverActiveTime", kSaverTimeLength,
                                                QStringLiteral("1~99 or R/D[xxxx]"));
    lbTimeUnit = MakeLabel(WideGroupBox1, "lbTimeUnit", QStringLiteral("Minute(s)"));
    WideLabel5 = MakeLabel(WideGroupBox1, "WideLabel5", QStringLiteral("Effect:"));
    cbEffect = MakeChoice(WideGroupBox1, "cbEffect",
                          {QStringLiteral("None"), QStringLiteral("Dimout"), QStringLiteral("Show Image"),
                           QStringLiteral("Show Calendar"), QStringLiteral("Black Out")});
    lbAlarmRange = new TRangeLabel(this, "lbAlarmRange");
    lbPasswordRange = new TRangeLabel(this, "lbPasswordRange");
    lbWorkSpaceRange = new TRangeLabel(this, "lbWorkSpaceRange");
    lbAlarmIndex->setBuddy(edtAlarmIndex);
    WideLabel2->setBuddy(edtPassword);
    WideLabel1->setBuddy(edtWorkingSpace);
    WideLabel4->setBuddy(cbPasswordType);
    WideLabel3->setBuddy(edtScreenSaverActiveTime);
    WideLabel5->setBuddy(cbEffect);

    connect(edtAlarmIndex, &QLineEdit::textChanged, this, &TFormConfig::edtAlarmIndexChange);
    connect(edtPassword, &QLineEdit::textChanged, this, &TFormConfig::edtPasswordChange);
    connect(edtWorkingSpace, &QLineEdit::textChanged, this, &TFormConfig::edtWorkingSpaceChange);
    connect(edtScreenSaverActiveTime, &QLineEdit::textChanged, this,
            &TFormConfig::edtScreenSaverActiveTimeChange);

    auto *registers = new QGridLayout;
    const struct {
        QLabel *label;
        QLineEdit *edit;
        QLabel *range;
    } rows[] = {{lbAlarmIndex, edtAlarmIndex, lbAlarmRange},
                {WideLabel2, edtPassword, lbPasswordRange},
                {WideLabel1, edtWorkingSpace, lbWorkSpaceRange}};
    int row = 0;
    for (const auto &r : rows) {
        registers->addWidget(r.label, row, 0);
        registers->addWidget(r.edit, row, 1);
        registers->addWidget(r.range, row, 2);
        ++row;
    }
    registers->addWidget(WideLabel4, row, 0);
    registers->addWidget(cbPasswordType, row, 1, 1, 2);
    registers->setColumnStretch(2, 1);

    auto *saver = new QGridLayout(WideGroupBox1);
    saver->addWidget(WideLabel3, 0, 0);
    saver->addWidget(edtScreenSaverActiveTime, 0, 1);
    saver->addWidget(lbTimeUnit, 0, 2);
    saver->addWidget(WideLabel5, 1, 0);
    saver->addWidget(cbEffect, 1, 1, 1, 2);
    saver->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(registers);
    layout->addWidget(ckbTopLevel);
    layout->addWidget(WideGroupBox1);
    layout->addLayout(ButtonRow());

    // The empty fields' states, as the handlers give them.
    edtAlarmIndexChange();
    edtPasswordChange();
    edtWorkingSpaceChange();
    edtScreenSaverActiveTimeChange();
    SetFirstField(edtAlarmIndex);
    FormCreate();
}

TFormConfig::~TFormConfig()
{
    if (FormConfig == this)
        FormConfig = nullptr;
}

void TFormConfig::ShowRegisterRange(int count, uint32_t kind, int32_t number, QLabel *label)
{
    QChar prefix;
    switch (kind) {
    case opR:
    case opRHigh:
    case opDR:
    case opDRHigh: prefix = QLatin1Char('R'); break;
    case opD:
    case opDD: prefix = QLatin1Char('D'); break;
    default: return;
    }
    const int64_t span = int64_t(count) * WordsPerRegister(kind) - 1;
    label->setText(
        RangeText(prefix, QString::number(number), span <= 0 ? QString() : QString::number(number + span)));
}

void TFormConfig::edtAlarmIndexChange()
{
    ShowRegisterField(edtAlarmIndex, lbAlarmRange, maskWordRegister, AlarmRegisters);
}

void TFormConfig::edtPasswordChange()
{
    const uint32_t kind = ShowRegisterField(edtPassword, lbPasswordRange, maskRegister, PasswordRegisters);
    cbPasswordType->setEnabled(kind != 0);
}

void TFormConfig::edtWorkingSpaceChange()
{
    ShowRegisterField(edtWorkingSpace, lbWorkSpaceRange, maskWordRegister, WorkingSpaceRegisters);
}

void TFormConfig::edtScreenSaverActiveTimeChange()
{
    SetFieldTextColour(edtScreenSaverActiveTime,
                       SaverTimeAccepted(edtScreenSaverActiveTime->text()) ? clFieldAccepted
                                                                           : clFieldRefused);
}

void TFormConfig::LoadControls(TwNode &node)
{
    LoadText(edtAlarmIndex, node, QStringLiteral("AlarmIndex"));
    LoadText(edtPassword, node, QStringLiteral("Password"));
    LoadText(edtScreenSaverActiveTime, node, QStringLiteral("ScreenSaverActiveTime"));
    LoadText(edtWorkingSpace, node, QStringLiteral("WorkingSpace"));
    LoadCheck(ckbTopLevel, node, QStringLiteral("Level1IsTop"));
    LoadChoiceIndex(cbPasswordType, node, QStringLiteral("ProtectType"));
    LoadChoiceIndex(cbEffect, node, QStringLiteral("SaverEffect"));
}

bool TFormConfig::CheckInput()
{
    return CheckRegisterField(edtAlarmIndex, maskWordRegister, AlarmRegisters)
        && CheckRegisterField(edtWorkingSpace, maskWordRegister, WorkingSpaceRegisters)
        && CheckRegisterField(edtPassword, maskRegister, PasswordRegisters)
        && (SaverTimeAccepted(edtScreenSaverActiveTime->text())
            || RefuseEdit(edtScreenSaverActiveTime, kInvalidInput));
}

void TFormConfig::SaveControls(TwNode &node)
{
    SaveText(node, QStringLiteral("AlarmIndex"), edtAlarmIndex);
    SaveText(node, QStringLiteral("Password"), edtPassword);
    SaveText(node, QStringLiteral("ScreenSaverActiveTime"), edtScreenSaverActiveTime);
    SaveText(node, QStringLiteral("WorkingSpace"), edtWorkingSpace);
    SaveCheck(node, QStringLiteral("Level1IsTop"), ckbTopLevel);
    SaveChoiceIndex(node, QStringLiteral("ProtectType"), cbPasswordType);
    SaveChoiceIndex(node, QStringLiteral("SaverEffect"), cbEffect);
}

TFormConfig *ConfigForm()
{
    if (!FormConfig)
        FormConfig = new TFormConfig();
    return FormConfig;
}
