// The clock saver, the alarm message and the link time-out message.
#include "LinkScreens.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"
#include "RuntimeItems.h"
#include "RuntimeSavers.h"
#include "RuntimeScreens.h"

namespace runtime {

std::uint16_t ShownAlarmNumber = 0;
std::uint8_t AlarmShown = 0;
std::uint16_t AlarmValuesPending = 0;
std::uint16_t AlarmRepeatPending = 0;
AlarmOperand AlarmOperands[3];
std::uint16_t AlarmValues[3] = {};
std::uint16_t AlarmPollSlots[3] = {kNoPollSlot, kNoPollSlot, kNoPollSlot};
std::uint8_t TimeoutShown = 0;
std::uint16_t TimeoutEmptyCalls = 0;
std::uint8_t TimeoutPhase = 0;
std::uint16_t ClockPollSlots[kClockValues] = {kNoPollSlot, kNoPollSlot, kNoPollSlot,
                                              kNoPollSlot, kNoPollSlot, kNoPollSlot};

namespace {

// Empty calls in a row before the time-out message shows (on the next one).
constexpr std::uint16_t kTimeoutEmptyCalls = 3;
// Ticks (of 100 ms) before an acknowledged alarm may show again.
constexpr std::uint32_t kAlarmHoldoffTicks = 300;
// Rows of the three alarm lines: 18 apart, the block centred on the display.
constexpr int kAlarmLineStep = 18;
constexpr int kAlarmBlockHeight = 54;
constexpr std::uint16_t kAlarmValueMark = 94;  // '^'

// ---- clock glyphs --------------------------------------------------------------

// Seven-segment figures with bevelled segments 4 pixels thick in columns 1..22 and
// rows 0..31; (u, v) are the column from 1 and the row.
constexpr int kFigureWidth = 22;
constexpr int kFigureHeight = 32;
enum Segment : std::uint8_t { SegA = 1, SegB = 2, SegC = 4, SegD = 8, SegE = 16, SegF = 32, SegG = 64 };
constexpr std::uint8_t kFigureSegments[10] = {
    SegA | SegB | SegC | SegD | SegE | SegF,         // 0
    0,                                               // 1: a bar of its own
    SegA | SegB | SegD | SegE | SegG,                // 2
    SegA | SegB | SegC | SegD | SegG,                // 3
    SegB | SegC | SegF | SegG,                       // 4
    SegA | SegC | SegD | SegF | SegG,                // 5
    SegA | SegC | SegD | SegE | SegF | SegG,         // 6
    SegA | SegB | SegC,                              // 7
    SegA | SegB | SegC | SegD | SegE | SegF | SegG,  // 8
    SegA | SegB | SegC | SegD | SegF | SegG,         // 9
};

// Upper-left vertical: column u (0..3) from row u + 1 to row 15 - u.
constexpr bool UpperVertical(int u, int v)
{
    return u < 4 && v >= u + 1 && v <= 15 - u;
}
// Lower-left vertical: column u from row 16 + u to row 30 - u.
constexpr bool LowerVertical(int u, int v)
{
    return u < 4 && v >= 16 + u && v <= 30 - u;
}

constexpr bool SegmentPixel(std::uint8_t segments, int u, int v)
{
    const int mirrored = kFigureWidth - 1 - u;
    const int fromBottom = kFigureHeight - 1 - v;
    const int fromMiddle = v <= 15 ? 15 - v : v - 16;
    return ((segments & SegA) && v < 4 && u >= v + 1 && u <= kFigureWidth - 2 - v)
        || ((segments & SegD) && fromBottom < 4 && u >= fromBottom + 1 && u <= kFigureWidth - 2 - fromBottom)
        || ((segments & SegF) && UpperVertical(u, v)) || ((segments & SegB) && UpperVertical(mirrored, v))
        || ((segments & SegE) && LowerVertical(u, v)) || ((segments & SegC) && LowerVertical(mirrored, v))
        || ((segments & SegG) && fromMiddle < 2 && u >= 2 + fromMiddle && u <= kFigureWidth - 3 - fromMiddle);
}

// A 4 x 4 dot with cut corners in columns 0..3 from row top.
constexpr bool ColonDot(int x, int y, int top)
{
    const int r = y - top;
    const bool corner = (x == 0 || x == 3) && (r == 0 || r == 3);
    return x < 4 && r >= 0 && r < 4 && !corner;
}

constexpr bool ClockGlyphLit(int glyph, int x, int y)
{
    if (glyph == static_cast<int>(kClockColon)) {
        return ColonDot(x, y, 7) || ColonDot(x, y, 20);
    }
    if (glyph == 1) {
        return x >= 9 && x <= 12;
    }
    return x >= 1 && x <= kFigureWidth && SegmentPixel(kFigureSegments[glyph], x - 1, y);
}

struct ClockGlyphTable {
    std::uint8_t bytes[kClockGlyphCount][kClockGlyphBytes] = {};
};

constexpr ClockGlyphTable MakeClockGlyphs()
{
    ClockGlyphTable table;
    for (int g = 0; g < kClockGlyphCount; ++g) {
        for (int x = 0; x < kClockGlyphWidth; ++x) {
            for (int y = 0; y < kClockGlyphHeight; ++y) {
                if (ClockGlyphLit(g, x, y)) {
                    table.bytes[g][x * 4 + y / 8] =
                        static_cast<std::uint8_t>(table.bytes[g][x * 4 + y / 8] | (1u << (y % 8)));
                }
            }
        }
    }
    return table;
}

constexpr ClockGlyphTable kClockGlyphs = MakeClockGlyphs();

// ---- alarm ---------------------------------------------------------------------

// Polls the values of the lines that have an operand (rewriting the slot a line
// already holds) and gives back the slots of the others; true when any line has one.
bool SubscribeAlarmValues()
{
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        std::uint16_t &slot = AlarmPollSlots[i];
        const AlarmOperand &operand = AlarmOperands[i];
        if (operand.type == OpNone) {
            ReleasePoll(slot);
            continue;
        }
        any = true;
        if (slot != kNoPollSlot) {
            slot = UpdatePoll(slot, operand.type, operand.number, &AlarmValues[i]);
        }
        if (slot == kNoPollSlot) {
            slot = AddPoll(operand.type, operand.number, &AlarmValues[i]);
        }
    }
    return any;
}

}  // namespace

bool ClockGlyphPixel(std::uint32_t glyph, int column, int row)
{
    if (glyph >= static_cast<std::uint32_t>(kClockGlyphCount) || column < 0 || column >= kClockGlyphWidth
        || row < 0 || row >= kClockGlyphHeight) {
        return false;
    }
    return (kClockGlyphs.bytes[glyph][column * 4 + row / 8] >> (row % 8)) & 1;
}

void LinkScreensInit()
{
    ShownAlarmNumber = 0;
    AlarmShown = 0;
    AlarmValuesPending = 0;
    AlarmRepeatPending = 0;
    std::fill(std::begin(AlarmOperands), std::end(AlarmOperands), AlarmOperand{});
    std::fill(std::begin(AlarmValues), std::end(AlarmValues), std::uint16_t{0});
    std::fill(std::begin(AlarmPollSlots), std::end(AlarmPollSlots), kNoPollSlot);
    TimeoutShown = 0;
    TimeoutEmptyCalls = 0;
    TimeoutPhase = 0;
    std::fill(std::begin(ClockPollSlots), std::end(ClockPollSlots), kNoPollSlot);
}

// ---- clock saver ---------------------------------------------------------------

void StartClockPolls()
{
    StopClockPolls();
    for (int i = 0; i < kClockValues; ++i) {
        ClockPollSlots[i] =
            AddPoll(OpR, static_cast<std::uint16_t>(kClockFirstRegister + i), &gEngine.clock[i]);
    }
}

void StopClockPolls()
{
    for (std::uint16_t &slot : ClockPollSlots) {
        ReleasePoll(slot);
    }
}

void DrawClockGlyph(std::uint16_t x, std::uint16_t y, std::uint32_t glyph)
{
    if (glyph >= static_cast<std::uint32_t>(kClockGlyphCount)) {
        return;
    }
    for (int c = 0; c < kClockGlyphWidth; ++c) {
        for (int r = 0; r < kClockGlyphHeight; ++r) {
            CurrentModel.SetPixel(static_cast<std::uint16_t>(x + c), static_cast<std::uint16_t>(y + r),
                                  ClockGlyphPixel(glyph, c, r) ? 1 : 0);
        }
    }
}

void DrawClockSaver(std::uint16_t colonOn)
{
    const std::uint16_t *clock = gEngine.clock;
    CurrentModel.ClearFrame();
    // Two digits of each figure, whatever the PLC holds.
    unsigned hours = clock[2] % 100u;
    unsigned minutes = clock[1] % 100u;
    if (hours >= 10) {
        DrawClockGlyph(4, 30, hours / 10);
    }
    DrawClockGlyph(32, 30, hours % 10);
    if (colonOn != 0) {
        DrawClockGlyph(59, 30, kClockColon);
    }
    DrawClockGlyph(65, 30, minutes / 10);
    DrawClockGlyph(93, 30, minutes % 10);
    char date[40];
    std::snprintf(date, sizeof date, "%u/%u/%u   %02u", static_cast<unsigned>(clock[4]),
                  static_cast<unsigned>(clock[3]), clock[5] + 2000u, static_cast<unsigned>(clock[0]));
    DrawCString(date, 40, 3, 1);
}

// ---- time-out message ----------------------------------------------------------

void TrackLinkTimeout(std::uint16_t length)
{
    if (length != 0) {
        TimeoutEmptyCalls = 0;
        if (TimeoutShown) {
            TimeoutShown = 0;
            gEngine.redraw = 1;  // the screen under the message comes back
        }
        return;
    }
    if (TimeoutEmptyCalls < kTimeoutEmptyCalls) {
        ++TimeoutEmptyCalls;
        return;
    }
    if (!TimeoutShown) {
        TimeoutPhase = 1;
        ShowLinkTimeout();
        TimeoutShown = 1;
    }
}

void ShowLinkTimeout()
{
    int centre = CurrentModel.Width / 2;
    CurrentModel.ClearFrame();
    if (TimeoutPhase) {
        DrawCStringCentred("Communication", centre, 10, 1);
        DrawCStringCentred("Timeout Error !!!", centre, 30, 1);
        TimeoutPhase = 0;
    } else {
        TimeoutPhase = 1;
    }
    FlushDisplay();
}

// ---- alarm ---------------------------------------------------------------------

bool AlarmHasText(std::uint16_t index)
{
    if (index >= gImage.alarmSlots) {
        return false;
    }
    const AlarmTableEntry &entry = gImage.alarms[index];
    return std::any_of(std::begin(entry.stringLoc), std::end(entry.stringLoc),
                       [](std::uint16_t loc) { return loc != kNoLoc; });
}

void LoadAlarmOperands(std::uint16_t index)
{
    std::fill(std::begin(AlarmOperands), std::end(AlarmOperands), AlarmOperand{});
    if (index >= gImage.alarmSlots) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        std::uint16_t number = 0;
        std::uint8_t type = OpNone;
        // A reference the link cannot poll (none, a constant, an unknown type) shows no value.
        if (ReadOperandRecord(gImage.alarms[index].attributeLoc[i], number, type) && type >= OpX
            && type < kOperandTypeCount) {
            AlarmOperands[i] = AlarmOperand{number, type};
        }
    }
}

int InsertAlarmValueText(std::uint16_t *text, int length, int capacity, std::uint16_t value)
{
    char inserted[8];
    int n = std::snprintf(inserted, sizeof inserted, " %u ", static_cast<unsigned>(value));
    const std::uint16_t *end = text + length;
    const std::uint16_t *mark = std::find(static_cast<const std::uint16_t *>(text), end, kAlarmValueMark);
    if (mark == end) {
        // Appended: the closing blank is dropped.
        for (int k = 0; k < n - 1 && length < capacity; ++k) {
            text[length++] = static_cast<std::uint8_t>(inserted[k]);
        }
        return length;
    }
    int p = static_cast<int>(mark - text);
    int newLength = std::min(length + n - 1, capacity);
    for (int i = newLength - 1; i >= p + n; --i) {
        text[i] = text[i - (n - 1)];
    }
    for (int k = 0; k < n && p + k < capacity; ++k) {
        text[p + k] = static_cast<std::uint8_t>(inserted[k]);
    }
    return newLength;
}

void InsertAlarmValue(std::uint16_t textLoc, std::uint16_t value)
{
    EngineText &text = gEngine.text;
    ReadText(textLoc, text);
    text.length =
        static_cast<std::uint16_t>(InsertAlarmValueText(text.glyphs, text.length, kTextCapacity, value));
}

void DrawAlarmMessage()
{
    int w = CurrentModel.Width;
    CurrentModel.ClearFrame();
    if (gEngine.blink & 2) {
        DrawFrame();
    }
    std::uint16_t index = static_cast<std::uint16_t>(ShownAlarmNumber - 1);
    if (AlarmHasText(index)) {
        int y = (CurrentModel.Height - kAlarmBlockHeight) / 2;
        for (int i = 0; i < 3; ++i) {
            std::uint16_t loc = gImage.alarms[index].stringLoc[i];
            if (AlarmOperands[i].type != OpNone) {
                InsertAlarmValue(loc, AlarmValues[i]);
                DrawTextCentred(gEngine.text, w / 2, y, 1);
            } else {
                DrawTextById(loc, w / 2, y, 1, AlignCentre);
            }
            y += kAlarmLineStep;
        }
    }
    FlushDisplay();
}

void AlarmValuesArrived()
{
    if (AlarmValuesPending != 0) {
        AlarmValuesPending = 0;
        if (AlarmShown) {
            DrawAlarmMessage();
        }
    }
}

void ProcessCurrentAlarm()
{
    if (!gImage.loaded) {
        return;
    }
    std::uint16_t number = CurrentAlarmNumber;
    if (number == 0) {
        AlarmRepeatPending = 0;
        return;
    }
    if (AlarmShown) {
        return;
    }
    if (gEngine.saverActive) {
        SetDisplayMode(PanelDisplayOn);
        gEngine.saverActive = 0;
    }
    if (number != ShownAlarmNumber) {
        if (!AlarmHasText(static_cast<std::uint16_t>(number - 1))) {
            AcknowledgeAlarm();
            return;
        }
        ShownAlarmNumber = number;
        LoadAlarmOperands(static_cast<std::uint16_t>(number - 1));
        bool anyValue = SubscribeAlarmValues();
        if (!anyValue || !SimulationOnline) {
            AlarmValuesPending = 0;
            DrawAlarmMessage();
        } else {
            AlarmValuesPending = 1;
        }
    } else if (AlarmHoldoffTicks != 0) {
        AlarmRepeatPending = 1;
        return;
    }
    AlarmShown = 1;
    AlarmRepeatPending = 0;
    gEngine.displayHeld = 1;
}

void AcknowledgeAlarm()
{
    AlarmShown = 0;
    AlarmValuesPending = 0;
    AlarmHoldoffTicks = kAlarmHoldoffTicks;
    EngineWrite(ConfigType(gImage.alarmIndex), ConfigAddress(gImage.alarmIndex), 0, WriteReserved);
    CurrentAlarmNumber = 0;
}

}  // namespace runtime
