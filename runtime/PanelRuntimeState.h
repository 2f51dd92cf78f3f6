// Internal state of the panel runtime engine, shared by its modules (and read by
// tests). Not for hosts: they use PanelRuntime.h.
//
// Two process-wide blocks, both cleared by EngineInit:
// - gImage: what EngineLoadImage read and checked: section bases and sizes, glyph
//   set size, configuration block, screen header, alarm table;
// - gEngine: the engine state: screen state, navigation, savers, blinking, marquee,
//   passwords, polled values and the open item's record.
#pragma once

#include <cstdint>

namespace runtime {

// Screen states.
enum ScreenStateCode : std::uint16_t {
    StateStartup = 0,
    StateMenuList = 1,
    StateValuePage = 2,
    StateListPage = 3,
    StateLongText = 4,
    StatePictureSaver = 5,
    StateValueEntry = 10,
    StateListSelection = 11,
    StatePassword = 13,
    StateWaitPlc = 14,
    StateActionFeedback = 17,
    StateMomentary = 18,
    StateClockSaver = 19,
};

// Access levels.
enum AccessLevelCode : std::uint8_t { AccessNone = 0, AccessUser = 1, AccessSupervisor = 2 };

// Item types of a MenuItemRecord.
enum MenuItemType : std::uint8_t { ItemMenu = 0, ItemValue = 1, ItemList = 2, ItemAction = 3 };

// Number kinds of a value: digits 5, 5, 10, 10.
enum NumberKind : std::uint8_t { NumU16 = 0, NumS16 = 1, NumU32 = 2, NumS32 = 3 };

// SaverEffect values of the configuration block.
enum SaverEffectCode : std::uint16_t {
    SaverNone = 0,
    SaverDim = 1,
    SaverPicture = 2,
    SaverClock = 3,
    SaverDisplayOff = 4,
};

constexpr std::uint16_t kNoLoc = 0xFFFF;
constexpr int kMaxLevels = 6;
constexpr int kMaxPageItems = 10;
constexpr int kMaxRowsPerPage = 5;
constexpr int kMaxAlarms = 64;
// Glyphs a text is read with; longer texts are cut.
constexpr int kTextReadLimit = 255;
// The text buffer holds a read text plus room for a value inserted into it.
constexpr int kTextCapacity = kTextReadLimit + 16;
constexpr int kGlyphBufferBytes = 66;
// Entry texts a list holds (a list record's count is one byte).
constexpr int kMaxListEntries = 255;
// Engine writes waiting online while the link still carries another one.
constexpr int kWriteQueueSize = 8;

// Sections of the image, in image order.
enum ImageSection : std::uint8_t {
    SecMenuPages = 0,
    SecAlarmPages,
    SecDirectory,
    SecStringPool,
    SecAttributePool,
    SecScreenInfo,
    SecFontPatterns,
    SecConfiguration,
    SecCount
};

// One entry of a MenuPage (10 bytes in the image).
struct MenuItemRecord {
    std::uint8_t type = ItemMenu;
    std::uint16_t captionLoc = kNoLoc;
    std::uint16_t descriptionLoc = kNoLoc;
    std::uint16_t attributeLoc = kNoLoc;
    std::uint16_t menuNodeLoc = kNoLoc;  // the child page, relative to menuPagesBase
};

// Value item attributes (16 bytes).
struct ValueItemRecord {
    std::uint16_t unitStrLoc = kNoLoc;
    std::uint16_t refNumber = 0;
    std::uint8_t refType = 0;
    std::uint8_t flags = 0;  // bit 0 read-only, bit 1 signed
    std::uint8_t decimals = 0;
    std::int32_t low = 0;
    std::int32_t high = 0;
};

// List item attributes (6 bytes, then count u16 entry text locs).
struct ListItemRecord {
    std::uint16_t refNumber = 0;
    std::uint8_t refType = 0;
    std::uint8_t flags = 0;  // bit 0 read-only
    std::uint8_t count = 0;
};

// Action item attributes (20 bytes).
struct ActionItemRecord {
    std::uint16_t offTextLoc = kNoLoc;  // toggle actions: the text shown while off
    std::uint16_t refNumber = 0;
    std::uint8_t refType = 0;
    std::uint8_t flags = 0;  // bit 1 signed
    std::uint8_t actionType = 0;
    std::int32_t low = 0;
    std::int32_t high = 0;  // set-value actions: the constant to write
    std::int32_t step = 0;
};

// One alarm of the alarm table: its three lines and the operand records of their values.
struct AlarmTableEntry {
    std::uint16_t stringLoc[3] = {kNoLoc, kNoLoc, kNoLoc};
    std::uint16_t attributeLoc[3] = {kNoLoc, kNoLoc, kNoLoc};
};

// One write the engine waits to hand to the link.
struct QueuedWrite {
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    std::uint32_t value = 0;
};

// A (type, value) entry of the configuration block.
struct ConfigOperand {
    std::uint32_t type = 0;
    std::uint32_t value = 0;
};

struct RuntimeImage {
    bool loaded = false;
    std::uint32_t size = 0;  // the header's size: offset of the checksum
    std::uint32_t base[SecCount] = {};
    std::uint32_t sectionSize[SecCount] = {};
    std::uint8_t fontHeight = 0;
    std::uint16_t glyphCount = 0;  // entries that lie inside the directory
    // Configuration block.
    ConfigOperand alarmIndex;
    ConfigOperand password;
    ConfigOperand saverTime;
    ConfigOperand workingSpace;
    std::uint16_t level1IsTop = 0;
    std::uint16_t protectType = 0;
    std::uint16_t saverEffect = 0;
    // Screen header.
    std::uint8_t startupCount = 0;
    std::uint8_t saverCount = 0;
    std::uint8_t endCondition = 0;
    std::uint16_t flipTime = 0;
    std::uint16_t cycleCount = 0;
    // Alarm table: slots that lie in the table (at most 64) and their entries.
    std::uint16_t alarmSlots = 0;
    AlarmTableEntry alarms[kMaxAlarms];
};

// A text read from the string pool: glyph indices.
struct EngineText {
    std::uint16_t length = 0;
    std::uint16_t glyphs[kTextCapacity] = {};
};

struct EngineState {
    std::uint16_t screenState = StateStartup;
    std::uint16_t savedState = StateStartup;  // where the password screen returns to
    std::uint8_t redraw = 0;
    std::uint16_t clipLeft = 0;
    std::uint16_t clipRight = 0;

    // Navigation, per level 0..5.
    std::uint32_t level = 0;
    std::uint32_t selected[kMaxLevels] = {};
    std::uint32_t pageLoc[kMaxLevels] = {};  // absolute image offset of the level's MenuPage
    std::uint32_t firstVisible[kMaxLevels] = {};
    // The current level's page: count (0 for an empty page, which holds one
    // placeholder item) and items.
    std::uint16_t itemCount = 0;
    MenuItemRecord items[kMaxPageItems];

    // Savers.
    std::uint32_t saverCounter = 0;  // ticks since the last key
    std::uint32_t saverTicks = 0;    // saver time in ticks; 32 bits, so long times do not wrap
    std::uint16_t saverMinutes = 0;  // polled saver time (when not a constant)
    std::uint8_t displayHeld = 0;
    std::uint8_t saverActive = 0;

    // Blinking: bit 0 toggles every 6 ticks, bit 1 every 4.
    std::uint32_t blink = 0;
    std::uint32_t tick6 = 0;
    std::uint32_t tick4 = 0;
    std::uint8_t tickBusy = 0;

    // Scrolling caption of the selected row.
    std::uint8_t marqueeOn = 0;
    std::uint16_t marqueeOffset = 0;
    std::uint16_t marqueeSteps = 0;
    std::uint16_t marqueeDelay = 0;
    std::uint8_t marqueeRow = 0;  // the text being drawn is the scrolling caption
    std::uint8_t lastLevel = 255;
    std::uint8_t lastSelected = 255;

    // Startup pictures.
    std::uint32_t startupFrame = 0;
    std::uint32_t frameTick = 0;
    std::uint32_t cycle = 0;

    // Action feedback.
    std::uint16_t actionTimer = 0;
    ActionItemRecord selectedAction;  // copy of the selected action row's record

    // Passwords.
    std::uint8_t accessLevel = AccessNone;
    std::uint32_t password1 = 0;
    std::uint32_t password2 = 0;
    std::uint32_t passwordEntry = 0;
    std::uint8_t passwordCursor = 0;
    std::uint8_t passwordKind = NumU16;  // NumU16 (5 digits) or NumU32 (10 digits)
    std::uint16_t escapeAllowed = 0;
    std::uint16_t supervisorRequest = 0;  // set only while the supervisor prompt is open

    // The open value or list item.
    std::uint32_t itemValue = 0;     // polled
    std::uint32_t editValue = 0;     // being edited
    std::uint16_t itemPollSlot = 0;  // kNoPollSlot when none is held
    std::uint8_t numberKind = NumU16;
    std::uint8_t valueCursor = 0;  // digit cursor of the value entry
    std::uint8_t zeroPresses = 0;  // zero-press counter of the digit editor
    ValueItemRecord valueRecord;
    ListItemRecord listRecord;
    std::uint16_t listEntries[kMaxListEntries] = {};
    std::uint8_t firstEntry = 0;  // first and last visible list entries
    std::uint8_t lastEntry = 0;

    // Writes waiting for the link, oldest first (online only).
    QueuedWrite writeQueue[kWriteQueueSize];
    std::uint8_t writeQueueCount = 0;

    // Visible action rows, by row % RowsPerPage.
    std::uint32_t rowValues[kMaxRowsPerPage] = {};
    std::uint16_t rowPollSlots[kMaxRowsPerPage] = {};

    // Menu location number: polled at start, written after each navigation step.
    std::uint32_t location = 0;
    std::uint16_t locationPollSlot = 0;

    // Long text.
    std::uint16_t longTextLoc = kNoLoc;
    std::uint32_t firstLine = 0;
    std::uint32_t lineCount = 0;

    // Clock saver values: seconds, minutes, hours, day, month, year - 2000.
    std::uint16_t clock[6] = {};

    EngineText text;  // the text being drawn
    std::uint8_t glyphBuffer[kGlyphBufferBytes] = {};
};

extern RuntimeImage gImage;
extern EngineState gEngine;

// Rows of one screen (CurrentModel.RowsPerPage, at most kMaxRowsPerPage, at least 1).
std::uint32_t RowsPerPage();
// The item under the cursor of the current level.
const MenuItemRecord &SelectedItem();

}  // namespace runtime
