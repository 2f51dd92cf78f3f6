// Where the PLC link calls into the runtime engine.
//
// The link is built before the engine, so it does not call engine functions by name:
// it calls through LinkEngine, a record of function pointers that the engine fills in
// EngineInit (after LinkInit). Every pointer may be null; the link then skips the call
// (a null ScreenState reads as state 1, the menu list). Tests fill the record to watch
// the calls. LinkConfig tells the link which registers the loaded image's configuration
// block names and where the engine keeps their values; EngineLoadImage fills it.
#pragma once

#include <cstdint>

namespace runtime {

struct LinkEngineHooks {
    // Sets the engine's redraw request (after a good poll reply, at StartOnlineLink).
    void (*RequestRedraw)() = nullptr;
    // The engine's current ScreenState: 0 startup, 5 picture saver, 14 waiting for the PLC, ...
    std::uint16_t (*ScreenState)() = nullptr;
    // Leaves the startup screen; called on a good poll reply in state 14.
    void (*EnterStartMenu)() = nullptr;
    // A good poll reply arrived: when the alarm message waits for its values
    // (AlarmValuesPending), draw it now and clear the mark.
    void (*AlarmValuesArrived)() = nullptr;
    // Run after each poll reply when the alarm-number register is configured.
    void (*ProcessCurrentAlarm)() = nullptr;
    // Run on every LinkReceive call with the block's length (0 for a time-out).
    void (*TrackLinkTimeout)(std::uint16_t length) = nullptr;
    // A one-shot write was given up after its retries (refused, unanswered or garbled
    // every time); the engine may tell the user, so that a lost write is
    // never silent.
    void (*WriteDropped)(std::uint8_t type, std::uint16_t address) = nullptr;
};

// Filled by the engine; cleared by nobody (LinkInit leaves it alone).
extern LinkEngineHooks LinkEngine;

// One (type, address) entry of the image's configuration block.
struct LinkOperand {
    std::uint8_t type = 0;
    std::uint16_t address = 0;
};

// The configuration entries AddStandardPolls reads and the engine values it polls into.
// A null target means the value is not polled. Cleared by LinkInit.
struct LinkStandardConfig {
    LinkOperand alarmNumber;                // polled into CurrentAlarmNumber (type 0: none)
    LinkOperand saverTime;                  // type 1: constant minutes, not polled
    std::uint16_t *saverMinutes = nullptr;  // the engine's saver-minutes value
    LinkOperand password;                   // type 0: no passwords
    std::uint32_t *password1 = nullptr;     // the engine's password values
    std::uint32_t *password2 = nullptr;
    LinkOperand menuLocation;  // the WorkingSpace register (type 0: none)
    std::uint32_t *menuLocationValue = nullptr;
    std::uint16_t *menuLocationSlot = nullptr;  // receives the slot index (255 when not polled)
};

extern LinkStandardConfig LinkConfig;

}  // namespace runtime
