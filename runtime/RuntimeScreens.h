// The engine's screens: the title line, the menu list, the value and list pages,
// the long text, the password screen, the engine's messages and the pictures. Each
// page draws a whole frame from a cleared one; the paint flushes it afterwards
// (ShowEngineMessage flushes itself).
#pragma once

#include <cstdint>

namespace runtime {

// Clears the frame and draws the title line: the menu path, the alarm and lock
// marks, and the description and scroll marks of the screen.
void DrawPathTitle();
// The title, then the visible rows of the current level with the selection brackets,
// the kind marks and the scrolling caption of the selected row.
void DrawMenuList();
// The title, the caption, the value in big digits and its unit (state 2; state 10
// adds the edit cursor).
void DrawValuePage();
// The title, the caption and the selected entry in its frame (state 3; state 11 adds
// the scroll marks and the blinking underline).
void DrawListPage();
// The title and the selected item's long text from the first line shown.
void DrawLongText();
// "Please Input Password", the entry in big digits and the blinking digit cursor.
void DrawPasswordPrompt();
// A message screen: line 1 alone centred at y 17, or lines 1 to 3 at y 2, 17, 32;
// then "Press any key to exit" inverted; flushed at once. line2 and line3 may be null.
void ShowEngineMessage(const char *line1, const char *line2, const char *line3);
// Shows the finished frame through FlushDisplayHook, when the host has set one.
void FlushDisplay();
// Copies startup or saver picture index into the framebuffer (expanded on the
// 128 x 96 model); a picture the image lacks gives a dark frame.
void DrawPicture(std::uint32_t index);

}  // namespace runtime
