// Value entry, list selection, actions and the digit editor: where the engine's
// screens hand over to the items that touch the PLC.
//
// RuntimeItems.cpp holds placeholders until these are built there (each does
// nothing, so the pages show their values but do not edit them yet). Whoever fills
// them keeps these names and signatures. What the engine already provides for them:
// - OpenMenuItem (RuntimeNavigation.h) opens the selected item's page: it reads the
//   value or list record into gEngine.valueRecord / gEngine.listRecord and
//   gEngine.listEntries, sets gEngine.numberKind, first/lastEntry, and keeps the
//   item's register polled into gEngine.itemValue (slot gEngine.itemPollSlot);
// - DrawValuePage draws state 10 from gEngine.editValue with the cursor
//   gEngine.valueCursor; DrawListPage draws state 11 from gEngine.editValue;
// - DrawMenuList copies the selected action row's record into gEngine.selectedAction;
//   the visible action rows are polled into gEngine.rowValues[row % RowsPerPage];
// - state 17 (action feedback) returns to the menu list when gEngine.actionTimer,
//   counted down by tick and paint, reaches 0; ShowEngineMessage, DrawBigNumber,
//   NumberFieldWidth, RequestPassword and WriteOperand are there to use;
// - gEngine.zeroPresses is the digit editor's zero-press counter.
#pragma once

#include <cstdint>

namespace runtime {

// OK on a value page (state 2): starts the value entry (state 10), or asks for the
// password at access level 0; nothing for a read-only item.
void StartValueEntry();
// A key in the value entry (state 10).
void ValueEntryKey(std::int32_t key);
// OK on a list page (state 3): starts the list selection (state 11), or asks for the
// password at access level 0; nothing for a read-only item.
void StartListSelection();
// A key in the list selection (state 11).
void ListSelectionKey(std::int32_t key);
// A key while a momentary action is held (state 18).
void MomentaryKey(std::int32_t key);
// OK on an action row at access level 1 or 2: runs the action of gEngine.selectedAction.
void ExecuteAction();
// The digit editor shared by the value entry and the password screen: edits *value
// of the number kind at *cursor by key (Up/page up raise, Down/page down lower,
// Right/Left move the cursor).
void EditValueDigit(std::uint8_t kind, std::uint8_t* cursor, std::uint32_t* value, std::int32_t key);
// The link gave up a one-shot write after its retries (LinkEngine.WriteDropped).
void EngineWriteDropped(std::uint8_t type, std::uint16_t address);

}  // namespace runtime
