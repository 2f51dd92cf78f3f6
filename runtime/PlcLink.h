// PLC link session and poll table.
//
// The panel runtime's own polling link: up to 20 PLC operands read together in one
// "48" frame, sent again and again, and one pending one-shot "49" write. The link never
// touches a port: every frame goes out through SendFrameHook, and the host hands every
// received block, and every reply time-out (null, 0), to LinkReceive. After each
// LinkReceive call exactly one frame goes out (when the hook is set). GUI thread only.
//
// Safeguards (all checked, see PlcLinkTest.cpp):
// - only the error character "1" refuses a request; a poll refused that way counts as
//   no answer for the time-out message, until a reply that is not a refusal;
// - a poll reply is taken only when complete: exact length, STX, ETX, the station,
//   the echoed "48", hex digits for every register value; else nothing is stored;
// - a write reply must echo "49" from the station, so a late poll reply never
//   confirms a write;
// - a write that times out, gets a bad reply or is refused is sent again, at most
//   kMaxWriteTries times in all, then dropped: WriteBusy is cleared and
//   LinkEngine.WriteDropped is told;
// - writes of types without a write encoding are refused at WriteOperand;
// - a write is not sent before the station is known; the station reply keeps it;
// - the poll frame is rebuilt, when the table changed, whenever it is sent, also
//   after a time-out;
// - AddPoll refuses the types 0 and 1 (no name on the wire), types above 14 and a
//   null target; 255 (kNoPollSlot) is "no slot", never 0.
#pragma once

#include <cstdint>

#include "PlcFrame.h"
#include "PlcLinkEngine.h"

namespace runtime {

constexpr std::uint16_t kPollSlotCount = 20;
constexpr std::uint16_t kNoPollSlot = 255;
// Blocks of 1 .. kReceiveBufferSize - 1 bytes are replies; others are ignored.
constexpr std::uint16_t kReceiveBufferSize = 200;
// STX, station, "48", count, 20 names of at most kMaxOperandNameLength, checksum, ETX.
constexpr std::uint16_t kPollFrameCapacity = 7 + kPollSlotCount * kMaxOperandNameLength + 3;
// STX, station, "49", "01", name, 8 value characters, checksum, ETX.
constexpr std::uint16_t kWriteFrameCapacity = 7 + 2 + kMaxOperandNameLength + 8 + 3;
// Sends of one write before it is dropped.
constexpr std::uint16_t kMaxWriteTries = 5;

// ParsePollReply results.
enum PollReplyResult : std::uint16_t {
    PollReplyOk = 0,
    PollReplyBadChecksum = 1,
    PollReplyError = 2,       // the error character "1" (kRefusalChar)
    PollReplyTableShort = 3,  // fewer active slots than PollCount
    PollReplyMalformed = 4,   // length, STX, ETX, station, command or digits wrong
};

// The host's sending function (the simulator window's, online only); may be null.
extern void (*SendFrameHook)(const std::uint8_t *bytes, std::uint16_t length);

// Globals the engine and the simulator read; LinkInit clears them (EngineInit calls it).
extern std::uint16_t CurrentAlarmNumber;  // 0 none, 1..64 the active alarm
extern std::uint8_t PlcAnswered;          // the PLC has answered a poll
extern std::uint8_t PlcDataValid;         // the polled values match the current table
extern std::uint8_t ValuesPending;        // new rows wait for their first values
extern std::uint32_t AlarmHoldoffTicks;   // counted down by the host's 100 ms tick

// Link state, readable by the engine and tests; written only by the link.
extern std::uint8_t PollCount;        // occupied slots
extern std::uint16_t PollSequence;    // raised by every table change and every write
extern std::uint8_t WriteBusy;        // 0 free, 2 a one-shot write is pending
extern std::uint16_t LinkEmptyCalls;  // consecutive LinkReceive calls without an answer
                                      // (no data, or a poll the PLC refused)
extern std::uint32_t WriteDropCount;  // writes given up after kMaxWriteTries

// Clears the whole link: table, requests, station, globals and LinkConfig (not the hooks).
void LinkInit();

// Takes the lowest free slot for (type, address) and returns its index, or kNoPollSlot
// when the table is full or the type, address or target cannot be polled. The target
// receives each polled value. With void* it is written in the width of the type
// (u8 for bits, u16 for RT, RC, R, D, u32 for DRC, DR, DD); a typed target is written
// in its own width (a wider value is cut, a narrower one zero-extended).
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, void *target);
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, std::uint8_t *target);
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, std::uint16_t *target);
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, std::uint32_t *target);
// Frees an active slot; PollSequence is raised in every case.
void RemovePoll(std::uint16_t slot);
// Frees the slot a caller keeps (RemovePoll) and sets it to kNoPollSlot; nothing when
// it holds none.
void ReleasePoll(std::uint16_t &slot);
// Rewrites an active slot and returns it; a free slot, an index of 20 and above, or a
// type or target AddPoll would refuse is left alone and gives kNoPollSlot.
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, void *target);
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, std::uint8_t *target);
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, std::uint16_t *target);
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, std::uint32_t *target);
// Empties the table and cancels a pending write (WriteBusy 0).
void ClearPolls();
// The simulator window's entry before it opens the port: ClearPolls.
void ResetPollTable();

// Queues a one-shot write of one operand. The value (u8 for X, Y, M; u16 for R, D;
// u32 for DR, DD) is copied at once. Returns 1 when queued, 0 when a write is still
// pending or the write is refused (a type without a write encoding, a null value, a
// count other than 1); a refused write changes nothing.
std::uint16_t WriteOperand(std::uint8_t type, std::uint16_t address, const void *value, std::uint16_t count);

// Starts the online link after the port is open: sends the station query.
void StartOnlineLink();
// One received block (bytes, length), or (null, 0) for a reply time-out. Runs the
// handler of the request on the line, then sends the next frame through SendFrameHook.
void LinkReceive(const std::uint8_t *bytes, std::uint16_t length);

// Internals, public for tests.
// Builds the "48" frame of the active slots into frame (kPollFrameCapacity bytes) when
// the table changed; 0 when it did not change (the frame stays) or is inconsistent.
std::uint16_t BuildPollFrame(std::uint8_t *frame, const char *station);
// Checks a whole "48" reply against the table and, only when it is good, stores every
// value at its slot's target; returns a PollReplyResult.
std::uint16_t ParsePollReply(const std::uint8_t *reply, std::uint16_t length);
// Builds the pending write's "49" frame into frame (kWriteFrameCapacity bytes); 0 when
// no write is pending.
std::uint16_t BuildSingleWrite(std::uint8_t *frame, const char *station);
// Adds the polls of the configuration block (LinkConfig) to the table.
void AddStandardPolls();

// Read-only views for the engine and tests.
struct PollSlotView {
    bool active = false;
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    const void *target = nullptr;
};
PollSlotView PollSlotAt(std::uint16_t slot);
// The station from the station reply, two characters and a zero; "" before it is known.
const char *LinkStation();

}  // namespace runtime
