#include "Wutil.h"

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
            } else {
                switch (c.unicode()) {
                case 'C':
                    flag = opC;
                    state = ParseState::NeedDigit;
                    break;
                case 'M':
                    flag = opM;
                    state = ParseState::NeedDigit;
                    break;
                case 'S':
                    flag = opS;
                    state = ParseState::NeedDigit;
                    break;
                case 'T':
                    flag = opT;
                    state = ParseState::NeedDigit;
                    break;
                case 'X':
                    flag = opX;
                    state = ParseState::NeedDigit;
                    break;
                case 'Y':
                    flag = opY;
                    state = ParseState::NeedDigit;
                    break;
                case 'R':
                    flag = opR;
                    state = ParseState::R;
                    break;
                case 'D':
                    flag = opD;
                    state = ParseState::D;
                    break;
                default: return opNone;
                }
            }
            break;
        case ParseState::R:
        case ParseState::D:
        case ParseState::DR: {
            // A letter after the prefix chooses the longer operand; a digit
            // starts the number of the prefix's own operand.
            struct Next {
                ParseState from;
                char letter;
                uint32_t flag;
                ParseState to;
            };
            static constexpr Next kNext[] = {
                {ParseState::R, 'C', opRC, ParseState::NeedDigit},
                {ParseState::R, 'T', opRT, ParseState::NeedDigit},
                {ParseState::D, 'D', opDD, ParseState::NeedDigit},
                {ParseState::D, 'R', opDR, ParseState::DR},
                {ParseState::DR, 'C', opDRC, ParseState::NeedDigit},
            };
            if (IsDigit(c)) {
                value = c.unicode() - '0';
                state = ParseState::Number;
                break;
            }
            const ParseState from = state;
            for (const Next &n : kNext) {
                if (n.from == from && c == QLatin1Char(n.letter)) {
                    flag = n.flag;
                    state = n.to;
                }
            }
            if (state == from)
                return opNone;
            break;
        }
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

void LoadStringsProp(QStringList &dest, const QStringList &props, const QString &name)
{
    dest.clear();
    // A damaged file may claim any count; no real description comes near this.
    constexpr int kMaxLines = 65536;
    const int count = qMin(PropInt(props, name + QStringLiteral(".Count"), 0), kMaxLines);
    if (count <= 0)
        return;
    // One pass over the properties, however many lines they hold and however
    // many the count claims: the first line named "<name>.Strings[i]" (without
    // regard to case, i written as it is counted) gives line i, as PropValue
    // would find it.
    const QString prefix = name + QStringLiteral(".Strings[");
    std::vector<bool> found(static_cast<size_t>(count), false);
    QStringList lines(count);
    for (const QString &line : props) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < prefix.size() + 2 || line.at(eq - 1) != QLatin1Char(']')
            || !QStringView(line).left(prefix.size()).startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QStringView digits = QStringView(line).mid(prefix.size(), eq - 1 - prefix.size());
        bool ok = false;
        const int i = digits.toInt(&ok, 10);
        if (!ok || i < 0 || i >= count || found[size_t(i)] || digits != QString::number(i))
            continue;
        found[size_t(i)] = true;
        lines[i] = line.mid(eq + 1);
    }
    dest = lines;
}

void SaveStringsProp(QStringList &props, const QStringList &source, const QString &name)
{
    SetPropValue(props, name + QStringLiteral(".Count"), QString::number(source.size()));
    for (int i = 0; i < source.size(); ++i)
        SetPropValue(props, QStringLiteral("%1.Strings[%2]").arg(name).arg(i), source.at(i));
}
