// The screens shown without the menu: the startup pictures (state 0), and the screen
// savers with their timing: dim, display off, the picture saver (state 5) and the
// clock saver (state 19).
#pragma once

#include <cstdint>

namespace runtime {

// One paint of the startup: shows each picture for flipTime + 1 paints and leaves
// after the last cycle (EnterStartMenu, or state 14 while the PLC has not answered).
void StartupPaint();
// A key during the startup: with endCondition 1 or 2 it lights the display and
// leaves the startup; with 0 it is ignored.
void StartupKey(std::int32_t key);
// The picture saver: the saver picture, or a dark frame when the image has none.
void PictureSaverPaint();
// A key on the picture saver: back to the item, then the password when configured.
void PictureSaverKey(std::int32_t key);
// A key on the clock saver: the first lights a dimmed clock, the next leaves it.
void ClockSaverKey(std::int32_t key);
// The saver part of the tick: the saver time in ticks, the count since the last key
// and the start of the configured saver.
void SaverTick();
// Sets the display mode through the current model (0 off, 1 dim, 2 on).
void SetDisplayMode(std::uint8_t mode);

}  // namespace runtime
