// PLC frames and link helpers: the ASCII frame format shared by the
// runtime's polling link and the download mailbox protocol. Plain functions on
// caller-owned byte buffers; no state.
//
// Request: STX, station (2), command (2), body, checksum (2 upper-case hex of the
// 8-bit sum of every byte from STX), ETX.
// Reply:   STX, station (2), command echoed (2), error character, data, checksum, ETX.
#pragma once

#include <cstdint>

namespace runtime {

// Operand type codes as stored in the menu image and used on the wire.
// The runtime keeps its own copy of the codes: it includes nothing from model/.
enum OperandType : std::uint8_t {
    OpNone = 0,
    OpConst = 1,
    OpX = 2,
    OpY = 3,
    OpM = 4,
    OpS = 5,
    OpT = 6,
    OpC = 7,
    OpRT = 8,
    OpRC = 9,
    OpDRC = 10,
    OpR = 11,
    OpD = 12,
    OpDR = 13,
    OpDD = 14,
};
constexpr std::uint8_t kOperandTypeCount = 15;

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;

// Largest operand name FormatOperandName writes for any 16-bit address ("DRC65535"),
// without the terminating zero. Names of addresses the operand parser accepts are
// at most 7 characters.
constexpr std::uint16_t kMaxOperandNameLength = 8;
// Bytes of a reply around its data: STX, station, command, error character, checksum, ETX.
constexpr std::uint16_t kReplyOverhead = 9;
// Station query: "FF150101>0FD7" framed, 17 bytes.
constexpr std::uint16_t kStationQueryLength = 17;
// A station reply must reach its station characters at bytes 8 and 9.
constexpr std::uint16_t kMinStationReplyLength = 13;

// The error character by which the PLC refuses a request of the runtime's link. Any
// other character is a success to the link (PLCs answer "2" where the panel goes on);
// the download alone takes every character but "0" as a refusal.
constexpr std::uint8_t kRefusalChar = '1';

// Results of the reply checks: 0 to 2 judge a reply by its checksum and error
// character, 3 a reply that is incomplete or not the one expected.
enum ReplyResult : std::uint16_t {
    ReplyOk = 0,
    ReplyBadChecksum = 1,
    ReplyErrorChar = 2,  // the error character "1": the PLC refused
    ReplyMalformed =
        3,  // too short, no STX or ETX, wrong station or echoed command, wrong length, bad digits
};

// Two characters, high nibble first -> u8. Upper-case digits only; nothing is checked.
std::uint8_t HexToByte(const std::uint8_t *text);
// Four characters -> u16 (high byte first).
std::uint16_t HexToWord(const std::uint8_t *text);
// Eight characters -> u32 (high word first).
std::uint32_t HexToDword(const std::uint8_t *text);
inline std::uint8_t HexToByte(const char *text)
{
    return HexToByte(reinterpret_cast<const std::uint8_t *>(text));
}
inline std::uint16_t HexToWord(const char *text)
{
    return HexToWord(reinterpret_cast<const std::uint8_t *>(text));
}
inline std::uint32_t HexToDword(const char *text)
{
    return HexToDword(reinterpret_cast<const std::uint8_t *>(text));
}

// True when all count characters are upper-case hexadecimal digits (0-9, A-F).
bool IsHexText(const std::uint8_t *text, std::uint16_t count);

// Writes value as two upper-case hexadecimal characters at out[0], out[1].
void ByteToHex(std::uint8_t value, std::uint8_t *out);
inline void ByteToHex(std::uint8_t value, char *out)
{
    ByteToHex(value, reinterpret_cast<std::uint8_t *>(out));
}
// Writes value as count upper-case hexadecimal characters, most significant first
// (count 2, 4 or 8: "%02X", "%04X", "%08X").
void ValueToHex(std::uint32_t value, std::uint16_t count, std::uint8_t *out);

// 8-bit sum of bytes[0 .. length) plus initial, modulo 256.
std::uint8_t FrameSum(const std::uint8_t *bytes, std::uint16_t length, std::uint8_t initial = 0);

// Writes the checksum of frame[0 .. length) at frame[length] and frame[length+1].
void AppendChecksum(std::uint8_t *frame, std::uint16_t length);
// AppendChecksum, then ETX at frame[length+2]; returns length + 3.
std::uint16_t FinishFrame(std::uint8_t *frame, std::uint16_t length);
// False below 4 bytes; else true when reply[length-3], reply[length-2]
// hold the checksum of reply[0 .. length-3). Neither ETX, station nor command is looked at.
bool VerifyChecksum(const std::uint8_t *reply, std::uint16_t length);

// STX, the zero-terminated text, checksum, ETX into frame (capacity bytes);
// returns the text length + 4, or 0 when the frame does not fit.
std::uint16_t BuildTextFrame(const char *text, std::uint8_t *frame, std::uint16_t capacity);
// The 17-byte station query STX "FF150101>0FD7" "E5" ETX; frame holds at least 17 bytes.
std::uint16_t BuildStationQuery(std::uint8_t *frame);

// Complete structural check of a reply: at least kReplyOverhead bytes, STX first, ETX
// last, the checksum, then (when not null) the two station characters and the two
// echoed command characters. The error character and the data are not looked at.
// Returns ReplyOk, ReplyBadChecksum or ReplyMalformed.
std::uint16_t CheckReplyFrame(const std::uint8_t *reply, std::uint16_t length, const char *station,
                              const char *command);
// Data characters of a reply of length bytes (0 when shorter than kReplyOverhead).
inline std::uint16_t ReplyDataLength(std::uint16_t length)
{
    return length > kReplyOverhead ? static_cast<std::uint16_t>(length - kReplyOverhead) : 0;
}

// Station reply: 0 with reply[8], reply[9] copied to station[0..1] ("00" becomes "01");
// 1 when the checksum fails; 3 (ReplyMalformed) when the reply is shorter than 13 bytes,
// lacks STX or ETX, does not echo "15", or its station characters are not hex digits.
// station is left untouched on failure.
std::uint16_t ParseStationReply(const std::uint8_t *reply, std::uint16_t length, char *station);

// Writes the operand's name, zero-terminated, into out (at least kMaxOperandNameLength + 1
// bytes) and returns its length: a prefix by type and the address as "%04d" (types 0..7, 10)
// or "%05d" (8, 9, 11..14). A type above 14 writes the empty name and returns 0.
std::uint16_t FormatOperandName(char *out, std::uint8_t type, std::uint16_t address);

// Characters one value of the type takes in a "48" reply: 0 for 0 and 1, 1 for the bit
// kinds 2..7, 4 for 8, 9, 11, 12, 8 for 10, 13, 14; 0 above 14.
std::uint16_t ReplyValueWidth(std::uint8_t type);
// True for the types a "49" write can carry: X, Y, M, R, D, DR, DD.
bool IsWritableType(std::uint8_t type);
// Characters of the value in a "49" write: 1 for X, Y, M; 4 for R, D; 8 for DR, DD; 0 otherwise.
std::uint16_t WriteValueWidth(std::uint8_t type);

// Write reply ("49"): ReplyOk; ReplyBadChecksum; ReplyErrorChar for the error character
// "1" (the PLC refused the write); ReplyMalformed unless the reply is exactly
// 9 bytes with STX, ETX, the echoed command "49" and, when station is not null, that
// station.
std::uint16_t CheckWriteReply(const std::uint8_t *reply, std::uint16_t length, const char *station = nullptr);

// "46": STX, station, "46", count as "%02X", the first register's name, checksum, ETX.
// Returns the length, or 0 when count is 0 or above 255, the type is above 14 or the
// frame does not fit capacity.
std::uint16_t BuildReadRegistersFrame(std::uint8_t *frame, std::uint16_t capacity, const char *station,
                                      std::uint8_t type, std::uint16_t address, std::uint16_t count);
// "47": STX, station, "47", count as "%02X", the first register's name, each word as
// "%04X", checksum, ETX. Returns the length, or 0 as for BuildReadRegistersFrame.
std::uint16_t BuildWriteRegistersFrame(std::uint8_t *frame, std::uint16_t capacity, const char *station,
                                       std::uint8_t type, std::uint16_t address, const std::uint16_t *words,
                                       std::uint16_t count);

}  // namespace runtime
