#include "PlcFrame.h"

#include <cstring>

namespace runtime {

namespace {

const char kStationQueryText[] = "FF150101>0FD7";

// One hexadecimal character -> 0..15 (no check: other characters give some value).
std::uint8_t HexDigit(std::uint8_t c)
{
    return static_cast<std::uint8_t>(c <= '9' ? c - '0' : c - 55);
}

char NibbleToHex(std::uint8_t nibble)
{
    nibble &= 0x0F;
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

// Writes value as "%0<digits>d" (digits 4 or 5; a longer number keeps all its digits).
std::uint16_t WriteDecimal(char *out, std::uint16_t value, std::uint16_t digits)
{
    char reversed[8];
    std::uint16_t n = 0;
    std::uint32_t v = value;
    do {
        reversed[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < digits) {
        reversed[n++] = '0';
    }
    for (std::uint16_t i = 0; i < n; ++i) {
        out[i] = reversed[n - 1 - i];
    }
    return n;
}

struct NameForm {
    const char *prefix;
    std::uint16_t digits;
};

const NameForm kNameForms[kOperandTypeCount] = {
    {"", 4},   {"", 4},   {"X", 4},   {"Y", 4}, {"M", 4}, {"S", 4},  {"T", 4},  {"C", 4},
    {"RT", 5}, {"RC", 5}, {"DRC", 4}, {"R", 5}, {"D", 5}, {"DR", 5}, {"DD", 5},
};

// Appends count bytes of text at frame[pos] when they fit; returns the new position or
// capacity + 1 (overflow marker) when they do not.
std::uint32_t Append(std::uint8_t *frame, std::uint32_t pos, std::uint16_t capacity, const void *text,
                     std::uint32_t count)
{
    if (pos > capacity || count > capacity - pos) {
        return static_cast<std::uint32_t>(capacity) + 1;
    }
    std::memcpy(frame + pos, text, count);
    return pos + count;
}

// Shared head and name of the "46" and "47" frames; returns the position after the
// name or capacity + 1.
std::uint32_t RegisterFrameHead(std::uint8_t *frame, std::uint16_t capacity, const char *station,
                                const char *command, std::uint8_t type, std::uint16_t address,
                                std::uint16_t count)
{
    if (count == 0 || count > 255 || type >= kOperandTypeCount || station == nullptr) {
        return static_cast<std::uint32_t>(capacity) + 1;
    }
    std::uint8_t head[5] = {kStx, static_cast<std::uint8_t>(station[0]),
                            static_cast<std::uint8_t>(station[1]), static_cast<std::uint8_t>(command[0]),
                            static_cast<std::uint8_t>(command[1])};
    std::uint8_t countHex[2];
    ByteToHex(static_cast<std::uint8_t>(count), countHex);
    char name[kMaxOperandNameLength + 1];
    std::uint16_t nameLength = FormatOperandName(name, type, address);
    std::uint32_t pos = Append(frame, 0, capacity, head, sizeof head);
    pos = Append(frame, pos, capacity, countHex, 2);
    return Append(frame, pos, capacity, name, nameLength);
}

}  // namespace

std::uint8_t HexToByte(const std::uint8_t *text)
{
    return static_cast<std::uint8_t>(HexDigit(text[0]) * 16 + HexDigit(text[1]));
}

std::uint16_t HexToWord(const std::uint8_t *text)
{
    return static_cast<std::uint16_t>(HexToByte(text) * 256 + HexToByte(text + 2));
}

std::uint32_t HexToDword(const std::uint8_t *text)
{
    return static_cast<std::uint32_t>(HexToWord(text)) * 65536u + HexToWord(text + 4);
}

bool IsHexText(const std::uint8_t *text, std::uint16_t count)
{
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint8_t c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

void ByteToHex(std::uint8_t value, std::uint8_t *out)
{
    out[0] = static_cast<std::uint8_t>(NibbleToHex(static_cast<std::uint8_t>(value >> 4)));
    out[1] = static_cast<std::uint8_t>(NibbleToHex(value));
}

void ValueToHex(std::uint32_t value, std::uint16_t count, std::uint8_t *out)
{
    for (std::uint16_t i = 0; i < count; ++i) {
        unsigned shift = 4u * (count - 1u - i);
        out[i] = static_cast<std::uint8_t>(
            NibbleToHex(static_cast<std::uint8_t>(shift < 32 ? value >> shift : 0)));
    }
}

std::uint8_t FrameSum(const std::uint8_t *bytes, std::uint16_t length, std::uint8_t initial)
{
    std::uint8_t sum = initial;
    for (std::uint16_t i = 0; i < length; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    return sum;
}

void AppendChecksum(std::uint8_t *frame, std::uint16_t length)
{
    ByteToHex(FrameSum(frame, length), frame + length);
}

std::uint16_t FinishFrame(std::uint8_t *frame, std::uint16_t length)
{
    AppendChecksum(frame, length);
    frame[length + 2] = kEtx;
    return static_cast<std::uint16_t>(length + 3);
}

bool VerifyChecksum(const std::uint8_t *reply, std::uint16_t length)
{
    if (reply == nullptr || length < 4) {
        return false;
    }
    std::uint8_t expected[2];
    ByteToHex(FrameSum(reply, static_cast<std::uint16_t>(length - 3)), expected);
    return reply[length - 3] == expected[0] && reply[length - 2] == expected[1];
}

std::uint16_t BuildTextFrame(const char *text, std::uint8_t *frame, std::uint16_t capacity)
{
    if (text == nullptr || frame == nullptr) {
        return 0;
    }
    std::size_t textLength = std::strlen(text);
    if (capacity < 4 || textLength > static_cast<std::size_t>(capacity - 4)) {
        return 0;
    }
    frame[0] = kStx;
    std::memcpy(frame + 1, text, textLength);
    return FinishFrame(frame, static_cast<std::uint16_t>(textLength + 1));
}

std::uint16_t BuildStationQuery(std::uint8_t *frame)
{
    return BuildTextFrame(kStationQueryText, frame, kStationQueryLength);
}

std::uint16_t CheckReplyFrame(const std::uint8_t *reply, std::uint16_t length, const char *station,
                              const char *command)
{
    if (reply == nullptr || length < kReplyOverhead || reply[0] != kStx || reply[length - 1] != kEtx) {
        return ReplyMalformed;
    }
    if (!VerifyChecksum(reply, length)) {
        return ReplyBadChecksum;
    }
    if (station != nullptr
        && (reply[1] != static_cast<std::uint8_t>(station[0])
            || reply[2] != static_cast<std::uint8_t>(station[1]))) {
        return ReplyMalformed;
    }
    if (command != nullptr
        && (reply[3] != static_cast<std::uint8_t>(command[0])
            || reply[4] != static_cast<std::uint8_t>(command[1]))) {
        return ReplyMalformed;
    }
    return ReplyOk;
}

std::uint16_t ParseStationReply(const std::uint8_t *reply, std::uint16_t length, char *station)
{
    if (reply == nullptr || length < kMinStationReplyLength) {
        return ReplyMalformed;
    }
    std::uint16_t check = CheckReplyFrame(reply, length, nullptr, "15");
    if (check != ReplyOk) {
        return check;
    }
    if (!IsHexText(reply + 8, 2)) {
        return ReplyMalformed;
    }
    if (reply[8] == '0' && reply[9] == '0') {
        station[0] = '0';
        station[1] = '1';
    } else {
        station[0] = static_cast<char>(reply[8]);
        station[1] = static_cast<char>(reply[9]);
    }
    return ReplyOk;
}

std::uint16_t FormatOperandName(char *out, std::uint8_t type, std::uint16_t address)
{
    if (type >= kOperandTypeCount) {
        out[0] = '\0';
        return 0;
    }
    const NameForm &form = kNameForms[type];
    std::uint16_t n = static_cast<std::uint16_t>(std::strlen(form.prefix));
    std::memcpy(out, form.prefix, n);
    n = static_cast<std::uint16_t>(n + WriteDecimal(out + n, address, form.digits));
    out[n] = '\0';
    return n;
}

std::uint16_t ReplyValueWidth(std::uint8_t type)
{
    switch (type) {
    case OpX:
    case OpY:
    case OpM:
    case OpS:
    case OpT:
    case OpC: return 1;
    case OpRT:
    case OpRC:
    case OpR:
    case OpD: return 4;
    case OpDRC:
    case OpDR:
    case OpDD: return 8;
    default: return 0;
    }
}

bool IsWritableType(std::uint8_t type)
{
    return WriteValueWidth(type) != 0;
}

std::uint16_t WriteValueWidth(std::uint8_t type)
{
    switch (type) {
    case OpX:
    case OpY:
    case OpM: return 1;
    case OpR:
    case OpD: return 4;
    case OpDR:
    case OpDD: return 8;
    default: return 0;
    }
}

std::uint16_t CheckWriteReply(const std::uint8_t *reply, std::uint16_t length, const char *station)
{
    std::uint16_t check = CheckReplyFrame(reply, length, station, "49");
    if (check != ReplyOk) {
        return check;
    }
    if (reply[5] == kRefusalChar) {
        return ReplyErrorChar;
    }
    return length == kReplyOverhead ? static_cast<std::uint16_t>(ReplyOk)
                                    : static_cast<std::uint16_t>(ReplyMalformed);
}

std::uint16_t BuildReadRegistersFrame(std::uint8_t *frame, std::uint16_t capacity, const char *station,
                                      std::uint8_t type, std::uint16_t address, std::uint16_t count)
{
    std::uint32_t pos = RegisterFrameHead(frame, capacity, station, "46", type, address, count);
    if (pos > capacity || capacity - pos < 3) {
        return 0;
    }
    return FinishFrame(frame, static_cast<std::uint16_t>(pos));
}

std::uint16_t BuildWriteRegistersFrame(std::uint8_t *frame, std::uint16_t capacity, const char *station,
                                       std::uint8_t type, std::uint16_t address, const std::uint16_t *words,
                                       std::uint16_t count)
{
    if (words == nullptr) {
        return 0;
    }
    std::uint32_t pos = RegisterFrameHead(frame, capacity, station, "47", type, address, count);
    for (std::uint16_t i = 0; i < count && pos <= capacity; ++i) {
        std::uint8_t hex[4];
        ValueToHex(words[i], 4, hex);
        pos = Append(frame, pos, capacity, hex, 4);
    }
    if (pos > capacity || capacity - pos < 3) {
        return 0;
    }
    return FinishFrame(frame, static_cast<std::uint16_t>(pos));
}

}  // namespace runtime
