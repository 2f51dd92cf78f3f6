#include "Operands.h"

#include <vector>

namespace {

enum class ParseState {
    Start,
    NeedDigit,  // a prefix was read; a digit must follow
    R,          // "R" read: C, T or a digit may follow
    D,          // "D" read: D, R or a digit may follow
    DR,         // "DR" read: C or a digit may follow
    Number,     // inside the digits
};

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Every letter an operand's name may hold: read in state from, it makes the
// operand flag and leads to state to. A letter after a prefix chooses the
// longer operand.
struct LetterStep {
    ParseState from;
    char letter;
    uint32_t flag;
    ParseState to;
};

constexpr LetterStep kLetterSteps[] = {
    {ParseState::Start, 'C', opC, ParseState::NeedDigit},
    {ParseState::Start, 'M', opM, ParseState::NeedDigit},
    {ParseState::Start, 'S', opS, ParseState::NeedDigit},
    {ParseState::Start, 'T', opT, ParseState::NeedDigit},
    {ParseState::Start, 'X', opX, ParseState::NeedDigit},
    {ParseState::Start, 'Y', opY, ParseState::NeedDigit},
    {ParseState::Start, 'R', opR, ParseState::R},
    {ParseState::Start, 'D', opD, ParseState::D},
    {ParseState::R, 'C', opRC, ParseState::NeedDigit},
    {ParseState::R, 'T', opRT, ParseState::NeedDigit},
    {ParseState::D, 'D', opDD, ParseState::NeedDigit},
    {ParseState::D, 'R', opDR, ParseState::DR},
    {ParseState::DR, 'C', opDRC, ParseState::NeedDigit},
};

// Takes the letter c in state: false when no operand name goes on with it.
bool TakeLetter(ParseState &state, uint32_t &flag, QChar c)
{
    for (const LetterStep &step : kLetterSteps) {
        if (step.from == state && c == QLatin1Char(step.letter)) {
            flag = step.flag;
            state = step.to;
            return true;
        }
    }
    return false;
}

struct Range {
    uint32_t flag;
    double low;
    double high;
};

// Accepted numbers of every register and relay flag; R and DR have a second,
// high range that gives a flag of its own.
constexpr Range kRanges[] = {
    {opX, 0, 255},         {opY, 0, 255},  {opM, 0, 2001},  {opS, 0, 999},          {opT, 0, 255},
    {opC, 0, 255},         {opRT, 0, 255}, {opRC, 0, 199},  {opDRC, 200, 255},      {opR, 0, 4167},
    {opRHigh, 5000, 8071}, {opD, 0, 3071}, {opDR, 0, 4166}, {opDRHigh, 5000, 8070}, {opDD, 0, 3070},
};

bool InRange(uint32_t flag, double value)
{
    for (const Range &r : kRanges) {
        if (r.flag == flag)
            return value >= r.low && value <= r.high;
    }
    return false;
}

}  // namespace

uint32_t ParseOperand(const QString &text, int32_t &number)
{
    if (text.isEmpty())
        return opNone;

    uint32_t flag = opNone;
    bool negative = false;
    double value = 0;
    ParseState state = ParseState::Start;

    for (QChar c : text) {
        switch (state) {
        case ParseState::Start:
            if (c == QLatin1Char('-')) {
                flag = opConst;
                negative = true;
                state = ParseState::NeedDigit;
            } else if (IsDigit(c)) {
                flag = opConst;
                value = c.unicode() - '0';
                state = ParseState::Number;
            } else if (!TakeLetter(state, flag, c)) {
                return opNone;
            }
            break;
        case ParseState::R:
        case ParseState::D:
        case ParseState::DR:
            // A digit starts the number of the prefix's own operand.
            if (IsDigit(c)) {
                value = c.unicode() - '0';
                state = ParseState::Number;
            } else if (!TakeLetter(state, flag, c)) {
                return opNone;
            }
            break;
        case ParseState::NeedDigit:
        case ParseState::Number:
            if (!IsDigit(c))
                return opNone;
            // Accumulated in floating point, so that an overlong text fails the
            // range test below instead of wrapping.
            value = value * 10 + (c.unicode() - '0');
            state = ParseState::Number;
            break;
        }
    }
    if (state != ParseState::Number)
        return opNone;

    if (flag == opConst) {
        if (negative)
            value = -value;
        if (value >= -2147483648.0 && value <= 2147483647.0) {
            number = static_cast<int32_t>(value);
            return opConst;
        }
        if (value > 0 && value <= 4294967295.0) {
            number = static_cast<int32_t>(static_cast<uint32_t>(value));
            return opConstUnsigned;
        }
        return opNone;
    }
    if (flag == opR && !InRange(opR, value))
        flag = opRHigh;
    else if (flag == opDR && !InRange(opDR, value))
        flag = opDRHigh;
    if (!InRange(flag, value))
        return opNone;
    number = static_cast<int32_t>(value);
    return flag;
}

OperandType OperandTypeCode(uint32_t flag)
{
    switch (flag) {
    case opConst:
    case opConstUnsigned: return otConst;
    case opX: return otX;
    case opY: return otY;
    case opM: return otM;
    case opS: return otS;
    case opT: return otT;
    case opC: return otC;
    case opRT: return otRT;
    case opRC: return otRC;
    case opDRC: return otDRC;
    case opR:
    case opRHigh: return otR;
    case opD: return otD;
    case opDR:
    case opDRHigh: return otDR;
    case opDD: return otDD;
    default: return otNone;
    }
}

uint8_t ConfigTypeCode(uint32_t flag)
{
    switch (flag) {
    case opConst:
    case opR:
    case opRHigh:
    case opD:
    case opDR:
    case opDRHigh:
    case opDD: return OperandTypeCode(flag);
    default: return otNone;
    }
}

bool CheckConstantRange(const QString &text, int dataType)
{
    int32_t number = 0;
    const uint32_t flag = ParseOperand(text, number);
    switch (dataType) {
    case cdtSigned16: return flag == opConst && number >= -32768 && number <= 32767;
    case cdtUnsigned16: return flag == opConst && number >= 0 && number <= 65535;
    case cdtSigned32: return flag == opConst;
    case cdtUnsigned32: return (flag == opConst && number >= 0) || flag == opConstUnsigned;
    default: return false;
    }
}

uint32_t MatchOperand(const QString &text, uint32_t mask, uint32_t *flagOut, int32_t *numberOut)
{
    int32_t number = 0;
    const uint32_t flag = ParseOperand(text, number);
    const uint32_t match = flag & mask;
    if (match != 0) {
        if (flagOut)
            *flagOut = flag;
        if (numberOut)
            *numberOut = number;
    }
    return match;
}

uint8_t ByteSum(const uint8_t *data, size_t length, uint8_t initial)
{
    uint8_t sum = initial;
    for (size_t i = 0; i < length; ++i)
        sum = static_cast<uint8_t>(sum + data[i]);
    return sum;
}

int PropIndex(const QStringList &props, const QString &name)
{
    for (int i = 0; i < props.size(); ++i) {
        const QString &line = props.at(i);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString PropValue(const QStringList &props, const QString &name)
{
    const int i = PropIndex(props, name);
    if (i < 0)
        return QString();
    const QString &line = props.at(i);
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

void SetPropValue(QStringList &props, const QString &name, const QString &value)
{
    const int i = PropIndex(props, name);
    if (value.isEmpty()) {
        if (i >= 0)
            props.removeAt(i);
        return;
    }
    const QString line = name + QLatin1Char('=') + value;
    if (i >= 0)
        props[i] = line;
    else
        props.append(line);
}

int PropInt(const QStringList &props, const QString &name, int defaultValue)
{
    bool ok = false;
    const int value = PropValue(props, name).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

namespace {

// Index i of a property line named "<name>.Strings[<i>]" (prefix holds
// "<name>.Strings["; names without regard to case, the index in plain decimal
// as the writer puts it), or -1 when the line is no such line or i is not
// below count.
int StringsLineIndex(const QString &line, const QString &prefix, int count)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return -1;
    const QStringView key = QStringView(line).left(eq);
    if (key.size() <= prefix.size() + 1 || !key.endsWith(QLatin1Char(']'))
        || !key.startsWith(prefix, Qt::CaseInsensitive))
        return -1;
    const QStringView digits = key.mid(prefix.size(), key.size() - prefix.size() - 1);
    if (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        return -1;
    int index = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || index >= count)
            return -1;
        index = index * 10 + (c.unicode() - '0');
    }
    return index < count ? index : -1;
}

QString StringsPrefix(const QString &name)
{
    return name + QStringLiteral(".Strings[");
}

}  // namespace

// Both run in one pass over the property lines, so that a description of
// many lines is read and written in linear time. An index takes the first
// line of its name, as a lookup by name finds it.
void LoadStringsProp(QStringList &dest, const QStringList &props, const QString &name)
{
    dest.clear();
    const int count = qMin(PropInt(props, name + QStringLiteral(".Count"), 0), kMaxStringsLines);
    if (count <= 0)
        return;
    QStringList lines(count);
    std::vector<bool> found(static_cast<size_t>(count), false);
    const QString prefix = StringsPrefix(name);
    for (const QString &line : props) {
        const int index = StringsLineIndex(line, prefix, count);
        if (index < 0 || found[static_cast<size_t>(index)])
            continue;
        found[static_cast<size_t>(index)] = true;
        lines[index] = line.mid(line.indexOf(QLatin1Char('=')) + 1);
    }
    dest = std::move(lines);
}

// As SetPropValue for the count and then for every line in turn: a line
// already there is replaced in its place (removed for an empty text), the
// others are appended in order.
void SaveStringsProp(QStringList &props, const QStringList &source, const QString &name)
{
    SetPropValue(props, name + QStringLiteral(".Count"), QString::number(source.size()));
    const int count = static_cast<int>(source.size());
    const QString prefix = StringsPrefix(name);
    const auto lineOf = [&](int i) {
        return QStringLiteral("%1.Strings[%2]=").arg(name).arg(i) + source.at(i);
    };
    std::vector<bool> found(static_cast<size_t>(count), false);
    QStringList result;
    result.reserve(props.size() + count);
    for (const QString &line : props) {
        const int index = StringsLineIndex(line, prefix, count);
        if (index < 0 || found[static_cast<size_t>(index)]) {
            result.append(line);
            continue;
        }
        found[static_cast<size_t>(index)] = true;
        if (!source.at(index).isEmpty())
            result.append(lineOf(index));
    }
    for (int i = 0; i < count; ++i) {
        if (!found[static_cast<size_t>(i)] && !source.at(i).isEmpty())
            result.append(lineOf(i));
    }
    props = std::move(result);
}
