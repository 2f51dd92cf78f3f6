// The password screen (state 13) and the access levels.
//
// Password 1 gives access level 1 (user), password 2 level 2 (supervisor); both are
// polled from the PLC. Holding Esc very long (key 7) opens the supervisor prompt,
// which only password 2 passes; it can always be left with Esc, and its request
// lives only while it is open. A second password of 0 never grants anything.
#pragma once

#include <cstdint>

namespace runtime {

// Opens the password screen: clears the entry and its cursor, sets its kind (5 digits
// for a 16-bit password register, else 10), remembers the screen to return to and
// whether Esc may leave.
void RequestPassword(std::uint16_t escapeAllowed);
// Returns to the screen the password screen was opened from.
void RestoreScreenState();
// Key 7 (Esc held very long): the supervisor prompt, when a second password exists and
// the access level is below supervisor.
void SupervisorKey();
// A key on the password screen.
void PasswordKey(std::int32_t key);

}  // namespace runtime
