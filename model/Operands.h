// PLC operand texts, constant checks and small shared routines of the model.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

// One bit per operand kind; 0 means "not a valid operand". Dialogs test parse
// results against masks of these bits.
enum OperandTypeFlag : uint32_t {
    opNone = 0x0,
    opConst = 0x1,          // -2147483648 .. 2147483647
    opConstUnsigned = 0x2,  // 2147483648 .. 4294967295
    opX = 0x10,             // X0 .. X255
    opY = 0x20,             // Y0 .. Y255
    opM = 0x40,             // M0 .. M2001
    opS = 0x80,             // S0 .. S999
    opT = 0x100,            // T0 .. T255
    opC = 0x200,            // C0 .. C255
    opRT = 0x400,           // RT0 .. RT255
    opRC = 0x800,           // RC0 .. RC199
    opDRC = 0x1000,         // DRC200 .. DRC255
    opR = 0x2000,           // R0 .. R4167
    opRHigh = 0x4000,       // R5000 .. R8071
    opD = 0x8000,           // D0 .. D3071
    opDR = 0x10000,         // DR0 .. DR4166
    opDRHigh = 0x20000,     // DR5000 .. DR8070
    opDD = 0x40000,         // DD0 .. DD3070
};

// Masks used by the dialogs and the value limits.
constexpr uint32_t opAnyConst = opConst | opConstUnsigned;
constexpr uint32_t opBits = opX | opY | opM | opS | opT | opC;
constexpr uint32_t opWord = opR | opRHigh | opD;
constexpr uint32_t opDWord = opDR | opDRHigh | opDD;

// Operand masks of the item dialogs' reference fields.
constexpr uint32_t maskBitAction = opX | opY | opM | opS;  // bit actions
constexpr uint32_t maskWordRegister = opWord;              // alarms, configuration registers
constexpr uint32_t maskRegister = opWord | opDWord;        // password register, register actions
constexpr uint32_t maskListReference = opX | opY | opM | opT | opC | opWord | opDWord;
constexpr uint32_t maskValueReference = opRT | opRC | opDRC | opWord | opDWord;
constexpr uint32_t maskAnyOperand = opAnyConst | opBits | maskValueReference;  // the search

// Type code stored in the panel image and used on the PLC line.
enum OperandType : uint8_t {
    otNone = 0,
    otConst = 1,
    otX = 2,
    otY = 3,
    otM = 4,
    otS = 5,
    otT = 6,
    otC = 7,
    otRT = 8,
    otRC = 9,
    otDRC = 10,
    otR = 11,
    otD = 12,
    otDR = 13,
    otDD = 14,
};

// Parses an operand text ("R100", "DR5000", "X7", "-12", "4000000000").
// Returns its flag, or opNone when the text is not a valid operand; the number
// is written only on success, an unsigned constant as its 32-bit pattern.
uint32_t ParseOperand(const QString &text, int32_t &number);

// Parses text and keeps it only when its kind is one of mask: returns the
// flag AND mask, 0 when the text is no operand of an allowed kind. Only on a
// non-zero result are the flag and the number stored, each through its
// pointer when that is not null.
uint32_t MatchOperand(const QString &text, uint32_t mask, uint32_t *flagOut = nullptr,
                      int32_t *numberOut = nullptr);

// Type code of a flag; otNone for 0 or any value that is not a single flag.
OperandType OperandTypeCode(uint32_t flag);

// Type code for the configuration block: constants (signed only) and registers.
uint8_t ConfigTypeCode(uint32_t flag);

// Data types of CheckConstantRange.
enum ConstantDataType : int {
    cdtSigned16 = 0,
    cdtUnsigned16 = 1,
    cdtSigned32 = 2,
    cdtUnsigned32 = 3,
};

// True when the text is a constant that fits the data type.
bool CheckConstantRange(const QString &text, int dataType);

// The initial value plus every byte, modulo 256.
uint8_t ByteSum(const uint8_t *data, size_t length, uint8_t initial);

// Property lists are lines "name=value"; names match without regard to case.
// Reading an absent name gives the empty text; writing the empty text removes
// the line.
QString PropValue(const QStringList &props, const QString &name);
void SetPropValue(QStringList &props, const QString &name, const QString &value);
int PropIndex(const QStringList &props, const QString &name);

// A decimal number property, or the default when absent or not a number.
int PropInt(const QStringList &props, const QString &name, int defaultValue = 0);

// The most lines a string-list property holds: the reader takes no more (a
// damaged count must not make it allocate without bound), so whoever writes
// one refuses more.
constexpr int kMaxStringsLines = 65536;

// Replaces dest with the lines stored under "<name>.Count" and
// "<name>.Strings[i]" in props (at most kMaxStringsLines).
void LoadStringsProp(QStringList &dest, const QStringList &props, const QString &name);

// Stores source as "<name>.Count" and "<name>.Strings[i]" in props.
void SaveStringsProp(QStringList &props, const QStringList &source, const QString &name);
