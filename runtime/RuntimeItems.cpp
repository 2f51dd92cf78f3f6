// Value entry, list selection, actions, the digit editor and the engine's writes.
#include "RuntimeItems.h"

#include <algorithm>

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"
#include "RuntimeNavigation.h"
#include "RuntimePassword.h"
#include "RuntimeScreens.h"

namespace runtime {

namespace {

// Ticks the action feedback (the inverted row) stays after a write.
constexpr std::uint16_t kActionFeedbackTicks = 2;
// Ordinary writes leave this many queue places to the reserved ones.
constexpr int kReservedWritePlaces = 2;
// A zero digit lowered more often than this in a row clears the whole value.
constexpr std::uint8_t kZeroPressesToClear = 3;

enum ActionTypeCode : std::uint8_t {
    ActionToggle = 0,
    ActionSet = 1,
    ActionReset = 2,
    ActionMomentarySet = 3,
    ActionMomentaryReset = 4,
    ActionSetValue = 5,
    ActionStepUp = 6,
    ActionStepDown = 7,
};

// ---- writes --------------------------------------------------------------------

// Hands one write to the link in the width of its operand: 1 when the link took it.
std::uint16_t SendWrite(std::uint8_t type, std::uint16_t address, std::uint32_t value)
{
    switch (WriteValueWidth(type)) {
    case 1: {
        std::uint8_t bit = value != 0 ? 1 : 0;
        return WriteOperand(type, address, &bit, 1);
    }
    case 4: {
        std::uint16_t word = static_cast<std::uint16_t>(value);
        return WriteOperand(type, address, &word, 1);
    }
    default: return WriteOperand(type, address, &value, 1);
    }
}

// The value as the operand holds it: 0 or 1 for bits, the low 16 bits for R and D.
std::uint32_t OperandValue(std::uint8_t type, std::uint32_t value)
{
    switch (WriteValueWidth(type)) {
    case 1: return value != 0 ? 1 : 0;
    case 4: return value & 0xFFFF;
    default: return value;
    }
}

// ---- digit editor --------------------------------------------------------------

struct NumberLimits {
    std::uint8_t digits;
    bool isSigned;
    std::uint64_t magnitudeEnd;  // first magnitude the kind cannot hold
};

NumberLimits LimitsOf(std::uint8_t kind)
{
    switch (kind) {
    case NumS16: return {5, true, 0x8000};
    case NumU32: return {10, false, 0x100000000ull};
    case NumS32: return {10, true, 0x80000000ull};
    default: return {5, false, 0x10000};
    }
}

std::uint64_t PowerOfTen(std::uint8_t exponent)
{
    std::uint64_t p = 1;
    for (std::uint8_t i = 0; i < exponent; ++i) {
        p *= 10;
    }
    return p;
}

// The magnitude of a value of the kind and whether it is negative (s16 -32768 has
// magnitude 32768).
std::uint64_t MagnitudeOf(std::uint8_t kind, std::uint32_t value, bool *negative)
{
    std::int64_t v = NumberKindValue(kind, value);
    *negative = v < 0;
    return static_cast<std::uint64_t>(v < 0 ? -v : v);
}

// Stores the magnitude back with the sign; 16-bit kinds keep the upper half clear.
void StoreSignedValue(std::uint8_t kind, std::uint32_t *value, std::uint64_t magnitude, bool negative)
{
    std::int64_t v = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (kind == NumU16 || kind == NumS16) {
        *value = static_cast<std::uint32_t>(v) & 0xFFFF;
    } else {
        *value = static_cast<std::uint32_t>(v);
    }
}

// The digit at the position rises by one, unless it is 9 or the kind cannot hold it.
std::uint64_t RaiseValueDigit(const NumberLimits &limits, std::uint64_t magnitude, std::uint8_t position)
{
    std::uint64_t step = PowerOfTen(position);
    if ((magnitude / step) % 10 == 9 || magnitude + step >= limits.magnitudeEnd) {
        return magnitude;
    }
    return magnitude + step;
}

// The digit at the position falls by one; on a zero digit the presses are counted and
// the fourth clears the value.
std::uint64_t LowerValueDigit(std::uint64_t magnitude, std::uint8_t position)
{
    std::uint64_t step = PowerOfTen(position);
    if ((magnitude / step) % 10 != 0) {
        gEngine.zeroPresses = 0;
        return magnitude - step;
    }
    if (++gEngine.zeroPresses > kZeroPressesToClear) {
        gEngine.zeroPresses = 0;
        return 0;
    }
    return magnitude;
}

// Negates the value at the sign position; a magnitude the other sign cannot hold
// (s16 -32768) stays as it is.
void NegateValue(std::uint8_t kind, const NumberLimits &limits, std::uint32_t *value)
{
    bool negative = false;
    std::uint64_t magnitude = MagnitudeOf(kind, *value, &negative);
    if (magnitude == 0 || (negative && magnitude >= limits.magnitudeEnd)) {
        return;
    }
    StoreSignedValue(kind, value, magnitude, !negative);
}

// ---- value entry ---------------------------------------------------------------

// 1 above the high limit, -1 below the low limit, 0 within; 16-bit kinds compare
// the low 16 bits of the value and the limits.
int CompareWithLimits(std::uint8_t kind, std::uint32_t value, std::int32_t low, std::int32_t high)
{
    std::int64_t v = NumberKindValue(kind, value);
    if (v > NumberKindValue(kind, static_cast<std::uint32_t>(high))) {
        return 1;
    }
    if (v < NumberKindValue(kind, static_cast<std::uint32_t>(low))) {
        return -1;
    }
    return 0;
}

// The limit screen: the text, the limit in big digits, "Press Any Key"; the display
// is held until the next key, which returns to the entry.
void ShowLimitScreen(const char *text, std::int32_t limit)
{
    const ValueItemRecord &record = gEngine.valueRecord;
    int w = CurrentModel.Width;
    std::uint8_t kind = gEngine.numberKind;
    std::uint32_t value = static_cast<std::uint32_t>(limit);
    CurrentModel.ClearFrame();
    DrawCStringCentred(text, w / 2, 2, 1);
    int f = NumberFieldWidth(kind, value, record.decimals, true);
    DrawBigNumber((w - f) / 2, 20, kind, value, record.decimals, true);
    DrawHLine(0, 44, w, 1);
    DrawCStringCentred("Press Any Key", w / 2, 50, 1);
    FlushDisplay();
    gEngine.displayHeld = 1;
}

void CommitValueEntry()
{
    const ValueItemRecord &record = gEngine.valueRecord;
    std::uint32_t value = gEngine.editValue;
    int check = CompareWithLimits(gEngine.numberKind, value, record.low, record.high);
    if (check > 0) {
        ShowLimitScreen("High Limit:", record.high);
        return;
    }
    if (check < 0) {
        ShowLimitScreen("Low Limit:", record.low);
        return;
    }
    if (!EngineWrite(record.refType, record.refNumber, value)) {
        return;  // the link is backed up: the entry stays open to be confirmed again
    }
    gEngine.itemValue = value;
    gEngine.screenState = StateValuePage;
    gEngine.redraw = 1;
}

void EditEntryDigit(std::int32_t key)
{
    EditValueDigit(gEngine.numberKind, &gEngine.valueCursor, &gEngine.editValue, key);
    gEngine.redraw = 1;
}

// ---- list selection ------------------------------------------------------------

bool EntryVisible(std::uint32_t index)
{
    return index < gEngine.listRecord.count && gEngine.listEntries[index] != kNoLoc;
}

bool ListHasVisibleEntry()
{
    return EntryVisible(gEngine.firstEntry);
}

void NextVisibleEntry()
{
    std::uint32_t &edit = gEngine.editValue;
    for (std::uint32_t i = edit + 1; edit < gEngine.lastEntry && i <= gEngine.lastEntry; ++i) {
        if (EntryVisible(i)) {
            edit = i;
            gEngine.redraw = 1;
            return;
        }
    }
}

void PreviousVisibleEntry()
{
    std::uint32_t &edit = gEngine.editValue;
    if (edit <= gEngine.firstEntry) {
        return;
    }
    for (std::uint32_t i = std::min<std::uint32_t>(edit, gEngine.lastEntry + 1u); i-- > gEngine.firstEntry;) {
        if (EntryVisible(i)) {
            edit = i;
            gEngine.redraw = 1;
            return;
        }
    }
}

void CommitListSelection()
{
    const ListItemRecord &record = gEngine.listRecord;
    if (!EngineWrite(record.refType, record.refNumber, gEngine.editValue)) {
        return;  // the link is backed up: the selection stays open
    }
    gEngine.itemValue = gEngine.editValue;
    gEngine.screenState = StateListPage;
    gEngine.redraw = 1;
}

// ---- the operand name shown in a message ---------------------------------------

// "R00100" as the user wrote it: "R100".
void ShortOperandName(char *out, std::uint8_t type, std::uint16_t address)
{
    char name[kMaxOperandNameLength + 1];
    FormatOperandName(name, type, address);
    int from = 0;
    while (name[from] != '\0' && (name[from] < '0' || name[from] > '9')) {
        out[from] = name[from];
        ++from;
    }
    int to = from;
    while (name[from] == '0' && name[from + 1] != '\0') {
        ++from;
    }
    while (name[from] != '\0') {
        out[to++] = name[from++];
    }
    out[to] = '\0';
}

}  // namespace

// ---- value entry ---------------------------------------------------------------

void StartValueEntry()
{
    const ValueItemRecord &record = gEngine.valueRecord;
    if ((record.flags & 1) || !IsWritableType(record.refType)) {
        return;
    }
    if (gEngine.accessLevel == AccessNone) {
        RequestPassword(1);
        return;
    }
    gEngine.valueCursor = 0;
    gEngine.zeroPresses = 0;
    gEngine.editValue = gEngine.itemValue;
    gEngine.screenState = StateValueEntry;
}

void ValueEntryKey(std::int32_t key)
{
    switch (key) {
    case KeyEsc:
        gEngine.screenState = StateValuePage;
        gEngine.redraw = 1;
        break;
    case KeyOk: CommitValueEntry(); break;
    default:
        if (IsDigitEditKey(key)) {
            EditEntryDigit(key);
        }
        break;
    }
}

// ---- list selection ------------------------------------------------------------

void ReadValueBySize(std::uint8_t refType)
{
    switch (DataSizeClass(refType)) {
    case 0: gEngine.editValue = gEngine.itemValue & 1; break;
    case 1: gEngine.editValue = gEngine.itemValue & 0xFFFF; break;
    default: gEngine.editValue = gEngine.itemValue; break;
    }
}

void StartListSelection()
{
    const ListItemRecord &record = gEngine.listRecord;
    if ((record.flags & 1) || !IsWritableType(record.refType) || !ListHasVisibleEntry()) {
        return;
    }
    if (gEngine.accessLevel == AccessNone) {
        RequestPassword(1);
        return;
    }
    ReadValueBySize(record.refType);
    // What the page shows and OK writes: an entry between the first and last visible.
    gEngine.editValue = std::clamp<std::uint32_t>(gEngine.editValue, gEngine.firstEntry, gEngine.lastEntry);
    gEngine.screenState = StateListSelection;
    gEngine.redraw = 1;
}

void ListSelectionKey(std::int32_t key)
{
    switch (key) {
    case KeyDown: NextVisibleEntry(); break;
    case KeyUp: PreviousVisibleEntry(); break;
    case KeyOk: CommitListSelection(); break;
    case KeyEsc:
        gEngine.screenState = StateListPage;
        gEngine.redraw = 1;
        break;
    default: break;
    }
}

// ---- actions -------------------------------------------------------------------

std::uint32_t StepBitValue(const ActionItemRecord &action, std::uint32_t value, std::uint16_t up)
{
    bool narrow = action.refType == OpR || action.refType == OpD;
    bool isSigned = (action.flags & 2) != 0;
    std::uint8_t kind = narrow ? (isSigned ? NumS16 : NumU16) : (isSigned ? NumS32 : NumU32);
    std::int64_t v = NumberKindValue(kind, value);
    std::int64_t low = NumberKindValue(kind, static_cast<std::uint32_t>(action.low));
    std::int64_t high = NumberKindValue(kind, static_cast<std::uint32_t>(action.high));
    std::int64_t step =
        isSigned ? std::int64_t{action.step} : std::int64_t{static_cast<std::uint32_t>(action.step)};
    std::int64_t result = up != 0 ? v + step : v - step;
    if (result > high) {
        result = high;
    } else if (result < low) {
        result = low;
    }
    return static_cast<std::uint32_t>(result);
}

void ExecuteAction()
{
    const MenuItemRecord &item = SelectedItem();
    ActionItemRecord action;
    if (item.type != ItemAction || !ReadActionRecord(item.attributeLoc, action)) {
        return;
    }
    gEngine.selectedAction = action;
    if (action.actionType > ActionStepDown || !IsWritableType(action.refType)) {
        return;
    }
    std::uint32_t row = gEngine.selected[gEngine.level] % RowsPerPage();
    std::uint32_t rowValue = gEngine.rowValues[row];
    std::uint32_t value = 0;
    switch (action.actionType) {
    case ActionToggle: value = (rowValue & 0xFF) == 0 ? 1 : 0; break;
    case ActionSet:
    case ActionMomentarySet: value = 1; break;
    case ActionReset:
    case ActionMomentaryReset: value = 0; break;
    case ActionSetValue: value = static_cast<std::uint32_t>(action.high); break;
    default: value = StepBitValue(action, rowValue, action.actionType == ActionStepUp ? 1 : 0); break;
    }
    if (!EngineWrite(action.refType, action.refNumber, value)) {
        return;  // the link is backed up: the action does not run
    }
    gEngine.marqueeOn = 0;
    gEngine.marqueeOffset = 0;
    gEngine.editValue = value;
    if (action.actionType == ActionToggle && !SimulationOnline) {
        gEngine.rowValues[row] = value;  // offline the row shows what the toggle wrote
    }
    gEngine.redraw = 1;
    if (action.actionType == ActionMomentarySet || action.actionType == ActionMomentaryReset) {
        gEngine.screenState = StateMomentary;
        gEngine.actionTimer = 0;
    } else {
        gEngine.screenState = StateActionFeedback;
        gEngine.actionTimer = kActionFeedbackTicks;
    }
}

void MomentaryKey(std::int32_t key)
{
    if (key != KeyOkReleased) {
        return;
    }
    const ActionItemRecord &action = gEngine.selectedAction;
    gEngine.editValue = gEngine.editValue == 0 ? 1 : 0;
    EngineWrite(action.refType, action.refNumber, gEngine.editValue, WriteReserved);
    gEngine.screenState = StateMenuList;
    gEngine.lastSelected = 255;
    gEngine.redraw = 1;
}

// ---- digit editor --------------------------------------------------------------

bool IsDigitEditKey(std::int32_t key)
{
    switch (key) {
    case KeyDown:
    case KeyUp: return CurrentModel.ModelId == PanelModel128x64;
    case KeyRight:
    case KeyLeft:
    case KeyPageUp:
    case KeyPageDown: return true;
    default: return false;
    }
}

void EditValueDigit(std::uint8_t kind, std::uint8_t *cursor, std::uint32_t *value, std::int32_t key)
{
    if (cursor == nullptr || value == nullptr) {
        return;
    }
    kind &= 3;
    NumberLimits limits = LimitsOf(kind);
    std::uint8_t top = limits.isSigned ? limits.digits : static_cast<std::uint8_t>(limits.digits - 1);
    std::uint8_t &at = *cursor;
    at = std::min(at, top);
    switch (key) {
    case KeyRight:
        at = at == top ? 0 : static_cast<std::uint8_t>(at + 1);
        gEngine.zeroPresses = 0;
        return;
    case KeyLeft:
        at = at == 0 ? top : static_cast<std::uint8_t>(at - 1);
        gEngine.zeroPresses = 0;
        return;
    case KeyLongRight:
        at = 0;
        gEngine.zeroPresses = 0;
        return;
    case KeyLongLeft:
        at = top;
        gEngine.zeroPresses = 0;
        return;
    case KeyUp:
    case KeyPageUp:
    case KeyDown:
    case KeyPageDown: break;
    default: return;
    }
    if (limits.isSigned && at == limits.digits) {
        NegateValue(kind, limits, value);
        return;
    }
    bool negative = false;
    std::uint64_t magnitude = MagnitudeOf(kind, *value, &negative);
    if (key == KeyUp || key == KeyPageUp) {
        magnitude = RaiseValueDigit(limits, magnitude, at);
    } else {
        magnitude = LowerValueDigit(magnitude, at);
    }
    StoreSignedValue(kind, value, magnitude, negative);
}

// ---- writes --------------------------------------------------------------------

bool EngineWrite(std::uint8_t type, std::uint16_t address, std::uint32_t value, EngineWriteKind kind)
{
    if (!IsWritableType(type)) {
        return false;
    }
    value = OperandValue(type, value);
    if (!SimulationOnline) {
        SendWrite(type, address, value);  // nothing is sent offline
        return true;
    }
    std::uint8_t &count = gEngine.writeQueueCount;
    if (count == 0 && WriteBusy == 0 && SendWrite(type, address, value) != 0) {
        return true;
    }
    for (int i = count; i-- > 0;) {
        const QueuedWrite &w = gEngine.writeQueue[i];
        if (w.type == type && w.address == address) {
            if (w.value == value) {
                return true;  // the same write already waits
            }
            break;
        }
    }
    int room = kind == WriteReserved ? kWriteQueueSize : kWriteQueueSize - kReservedWritePlaces;
    if (count >= room) {
        return false;
    }
    gEngine.writeQueue[count++] = QueuedWrite{type, address, value};
    return true;
}

void PumpEngineWrites()
{
    std::uint8_t &count = gEngine.writeQueueCount;
    count = std::min<std::uint8_t>(count, kWriteQueueSize);
    while (count != 0 && WriteBusy == 0) {
        QueuedWrite w = gEngine.writeQueue[0];
        std::copy(gEngine.writeQueue + 1, gEngine.writeQueue + count, gEngine.writeQueue);
        --count;
        if (SendWrite(w.type, w.address, w.value) != 0) {
            return;
        }
    }
}

void EngineWriteDropped(std::uint8_t type, std::uint16_t address)
{
    std::uint16_t state = gEngine.screenState;
    // A screen the link owns, a saver or the startup leaves no room for the message;
    // the time-out message already tells why writes fail.
    if (!gImage.loaded || TimeoutShown || AlarmShown || gEngine.saverActive || state == StateStartup
        || state == StateWaitPlc) {
        return;
    }
    char name[kMaxOperandNameLength + 1];
    ShortOperandName(name, type, address);
    ShowEngineMessage("Write Error !!", name, nullptr);
    gEngine.displayHeld = 1;
}

}  // namespace runtime
