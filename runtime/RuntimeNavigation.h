// Navigation through the menu levels of the image: loading a level's page, the
// cursor and page moves, entering and leaving levels, the long text, the polls of
// the visible action rows and of the open item, and the menu location number the
// panel exchanges with the PLC.
//
// Menu location number (decimal): the last digit is the number of levels in use
// (1 to 6); reading leftwards from it, the selected indexes of level 0, 1, ...
// Level 0 item 2, level 1 item 0, level 2 item 4 gives 4023.
#pragma once

#include <cstdint>

namespace runtime {

// Reads the current level's page into gEngine.items (an empty page gives one
// placeholder item and count 0), keeps the selection inside it, then runs the alarm
// check (ProcessCurrentAlarm).
void LoadMenuLevel();
// LoadMenuLevel, SubscribeVisibleValues, OpenMenuItem, then builds and reports the
// location number.
void ReloadLevel();
// Polls the action rows now on screen into gEngine.rowValues (row % RowsPerPage),
// freeing the polls of the rows shown before.
void SubscribeVisibleValues();
// Opens the selected item: the menu list for menu and action items, the value or
// list page (record read, its register polled into gEngine.itemValue) for the others.
void OpenMenuItem();

// The location number of the current path.
std::uint32_t BuildMenuLocation();
// Walks the path a location number names from the root; 1 and the path taken when
// every level exists, 0 otherwise. A count above 6 means item 0 of the root.
int ParseMenuLocation(std::uint32_t number);
// Writes gEngine.location to the location register, when one is configured.
void ReportMenuLocation();

// Moves; each ends by opening the item and reporting the location, unless it does
// nothing at all.
void CursorUp();
void CursorDown();
void PageUp();
void PageDown();
// One level up (not above the top level).
void LevelUp();
// To the root: level 0, or level 1 when toLevel0 is 0 and level 1 is the top.
void GoToRoot(std::uint16_t toLevel0);
// OK on the menu list: runs an action (or asks for the password), enters a child page.
void EnterSelectedItem();
// Shows the selected item's description (or its scrolling caption) as long text.
void OpenLongText();

// Keys of the menu list, value page, list page and long text (states 1 to 4).
void NavigationKey(std::int32_t key);

// Number kind of a value record: s32/s16 when signed, u32/u16 otherwise, 32-bit for
// the double-register operand types.
std::uint8_t ValueTypeFromAttribute(std::uint8_t refType, std::uint8_t flags);
// Size class of an operand type: 0 bit, 1 16-bit, 2 32-bit.
std::uint8_t DataSizeClass(std::uint8_t refType);
// First and last list entries whose text is not hidden (0 and 0 when none is shown).
void FindSelectableRange();

}  // namespace runtime
