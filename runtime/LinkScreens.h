// The full-screen pictures the PLC link owns: the clock saver, the alarm message
// and the link time-out message, with the alarm and time-out state.
//
// How the engine and the link use them:
// - EngineInit calls LinkScreensInit, which clears every flag, value and slot below;
// - EnginePaint draws nothing while TimeoutShown or AlarmShown is set;
// - EngineTick calls ShowLinkTimeout every 6 ticks while TimeoutShown is set and the
//   display is not held, and DrawAlarmMessage every 4 ticks while AlarmShown is set
//   and AlarmValuesPending is clear; it calls StartClockPolls when the clock saver
//   starts (screen state 19);
// - the title line shows the blinking alarm mark while AlarmRepeatPending is set;
// - EngineKeyInput calls AcknowledgeAlarm for a shown alarm; the clock saver's key
//   calls StopClockPolls;
// - EnginePaint calls DrawClockSaver (blink bit 1 as colonOn) in state 19 when
//   PlcDataValid is set; the clock values are gEngine.clock (PanelRuntimeState.h),
//   polled from R4128..R4133 online and filled offline by ReadPcClock;
// - LoadMenuLevel calls ProcessCurrentAlarm; the link calls ProcessCurrentAlarm,
//   TrackLinkTimeout and AlarmValuesArrived through LinkEngine (PlcLinkEngine.h);
//   offline the host calls ProcessCurrentAlarm from its paint timer.
#pragma once

#include <cstdint>

#include "PanelRuntimeState.h"

namespace runtime {

// Alarm state.
extern std::uint16_t ShownAlarmNumber;    // the alarm whose lines were last set up
extern std::uint8_t AlarmShown;           // the alarm message owns the screen
extern std::uint16_t AlarmValuesPending;  // online: the message waits for its values
extern std::uint16_t AlarmRepeatPending;  // the same alarm is active again during the hold-off
// Value operand of each alarm line (type 0: none) and the polled values.
struct AlarmOperand {
    std::uint16_t number = 0;
    std::uint8_t type = 0;
};
extern AlarmOperand AlarmOperands[3];
extern std::uint16_t AlarmValues[3];
extern std::uint16_t AlarmPollSlots[3];  // kNoPollSlot when not polled

// Time-out state.
extern std::uint8_t TimeoutShown;        // the time-out message owns the screen
extern std::uint16_t TimeoutEmptyCalls;  // consecutive LinkReceive calls without data (at most 3)
extern std::uint8_t TimeoutPhase;        // 1: the next ShowLinkTimeout draws the message

// Clock registers R4128..R4133 and the poll slots of the clock saver.
constexpr std::uint16_t kClockFirstRegister = 4128;
constexpr int kClockValues = 6;
extern std::uint16_t ClockPollSlots[kClockValues];

// Clock glyphs: the figures 0 to 9 and the colon (glyph 10), 24 x 32 pixels each,
// 96 bytes column by column, 4 bytes a column, bit 0 of byte k is row 8k.
constexpr int kClockGlyphCount = 11;
constexpr int kClockGlyphWidth = 24;
constexpr int kClockGlyphHeight = 32;
constexpr int kClockGlyphBytes = kClockGlyphWidth * kClockGlyphHeight / 8;
constexpr std::uint32_t kClockColon = 10;
// Whether pixel (column, row) of a clock glyph is set; false outside the table.
bool ClockGlyphPixel(std::uint32_t glyph, int column, int row);

// Clears the state above (called by EngineInit).
void LinkScreensInit();

// Clock saver: polls of the six clock registers into gEngine.clock, and the clock
// screen: hours and minutes in clock glyphs (no tens of hours below 10), the colon
// when colonOn is set, and the date line "month/day/year   seconds". A value above
// 99 shows its last two digits.
void StartClockPolls();
void StopClockPolls();
void DrawClockSaver(std::uint16_t colonOn);
// Paints the whole 24 x 32 box of a clock glyph at (x, y); a glyph beyond the
// table paints nothing.
void DrawClockGlyph(std::uint16_t x, std::uint16_t y, std::uint32_t glyph);

// Link time-out message: counts the calls of LinkReceive (length 0: no reply); the
// fourth empty call in a row shows "Communication" / "Timeout Error !!!", a block of
// any length hides it. ShowLinkTimeout alternates between the message and a blank
// screen.
void TrackLinkTimeout(std::uint16_t length);
void ShowLinkTimeout();

// Alarm display: sets up and shows the alarm CurrentAlarmNumber names (its values
// polled online first), repeats it only after the hold-off, and acknowledges an
// alarm without text at once.
void ProcessCurrentAlarm();
// Hides the alarm, starts the 300-tick hold-off and writes 0 to the PLC's alarm
// register (queued, never lost).
void AcknowledgeAlarm();
// Draws the three lines of the shown alarm, each value inserted, with the blinking
// frame, and flushes.
void DrawAlarmMessage();
// A good poll reply arrived: draws an alarm message that waited for its values.
void AlarmValuesArrived();
// True when the alarm table holds slot index and one of its lines has a text.
bool AlarmHasText(std::uint16_t index);
// Reads the value operands of the alarm's three lines into AlarmOperands.
void LoadAlarmOperands(std::uint16_t index);
// Reads the text into gEngine.text and puts the value in (InsertAlarmValueText).
void InsertAlarmValue(std::uint16_t textLoc, std::uint16_t value);
// Puts " value " (decimal, unsigned) in place of the first "^" of the length
// glyphs of text, or " value" at their end when there is none, the characters as
// glyphs of their codes; keeps at most capacity glyphs and returns the new length.
// The designer measures alarm lines with it as the panel will show them.
int InsertAlarmValueText(std::uint16_t *text, int length, int capacity, std::uint16_t value);

}  // namespace runtime
