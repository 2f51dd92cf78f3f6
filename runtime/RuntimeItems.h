// Value entry, list selection, actions and the digit editor: the items of a menu
// page that write to the PLC, and the engine's writes to the PLC.
//
// What the engine provides for them:
// - OpenMenuItem (RuntimeNavigation.h) opens the selected item's page: it reads the
//   value or list record into gEngine.valueRecord / gEngine.listRecord and
//   gEngine.listEntries, sets gEngine.numberKind, first/lastEntry, and keeps the
//   item's register polled into gEngine.itemValue (slot gEngine.itemPollSlot);
// - DrawValuePage draws state 10 from gEngine.editValue with the cursor
//   gEngine.valueCursor; DrawListPage draws state 11 from gEngine.editValue;
// - the visible action rows are polled into gEngine.rowValues[row % RowsPerPage];
// - state 17 (action feedback) returns to the menu list when gEngine.actionTimer,
//   counted down by tick and paint, reaches 0.
//
// Writes (EngineWrite): online, a write that finds the link still busy with another
// one waits in a small queue (gEngine.writeQueue) that the tick hands on in order,
// so that no write the user made is refused for being second. Items whose register
// the link cannot write (timers, counters, constants) are read-only. Offline nothing
// reaches a PLC: the engine shows what was entered as the register's value.
#pragma once

#include <cstdint>

#include "PanelRuntimeState.h"

namespace runtime {

// OK on a value page (state 2): starts the value entry (state 10), or asks for the
// password at access level 0; nothing for a read-only item.
void StartValueEntry();
// A key in the value entry (state 10): digit keys edit, Esc drops the edit, OK checks
// the limits and writes (or shows the limit screen).
void ValueEntryKey(std::int32_t key);
// OK on a list page (state 3): starts the list selection (state 11), or asks for the
// password at access level 0; nothing for a read-only list or one without a visible
// entry.
void StartListSelection();
// A key in the list selection (state 11): Down and Up move between visible entries,
// OK writes, Esc leaves.
void ListSelectionKey(std::int32_t key);
// A key while a momentary action is held (state 18): OK released writes the second
// value and returns to the menu list; other keys are ignored.
void MomentaryKey(std::int32_t key);
// OK on an action row at access level 1 or 2: runs the action of the row selected now
// (its record is read again) and shows the feedback (state 17, or 18 for momentary).
void ExecuteAction();
// The digit editor shared by the value entry and the password screen: edits *value
// of the number kind at *cursor by key. Positions 0 (rightmost digit) to n - 1, and n
// for the sign of signed kinds. Up / page up raise the digit, Down / page down lower
// it (four Downs on a zero digit clear the value), at the sign any of them negates;
// Right moves the cursor left, Left moves it right (each wrapping), long Right puts
// it on 0, long Left on the leftmost position. A value never leaves its kind's range.
void EditValueDigit(std::uint8_t kind, std::uint8_t *cursor, std::uint32_t *value, std::int32_t key);
// Whether the key edits a digit in the value entry and on the password screen: Right,
// Left, page up and page down on both models, Down and Up on the 128 x 64 model only.
bool IsDigitEditKey(std::int32_t key);
// The link gave up a one-shot write after its retries (LinkEngine.WriteDropped): the
// user is told with "Write Error !!" and the operand's name.
void EngineWriteDropped(std::uint8_t type, std::uint16_t address);

// The new value of a step action (up 1: step up, 0: step down) from the row's value:
// computed in 64 bits in the record's kind (16-bit for R and D, else 32-bit; signed
// when flag bit 1 is set) and held within its low and high limits.
std::uint32_t StepBitValue(const ActionItemRecord &action, std::uint32_t value, std::uint16_t up);
// gEngine.editValue := gEngine.itemValue cut to the operand's size (bit 0, the low 16
// bits, or all 32).
void ReadValueBySize(std::uint8_t refType);

// Write priorities: a reserved write (the momentary release, the alarm
// acknowledgement) still finds room when ordinary ones have filled the queue.
enum EngineWriteKind : std::uint8_t { WriteOrdinary = 0, WriteReserved = 1 };

// Writes one operand (the value cut to the operand's width; bits as 0 or 1). Online
// it is handed to the link at once when the link is free and nothing waits, else
// queued behind the waiting ones; a write equal to the newest one waiting for the
// same operand is not queued twice. Offline it is handed to the link, which sends
// nothing. Returns false when the operand cannot be written or the queue is full.
bool EngineWrite(std::uint8_t type, std::uint16_t address, std::uint32_t value,
                 EngineWriteKind kind = WriteOrdinary);
// Hands the oldest waiting write to the link when the link is free (called by every
// tick).
void PumpEngineWrites();

}  // namespace runtime
