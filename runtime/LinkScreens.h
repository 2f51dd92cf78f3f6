// The full-screen pictures the PLC link owns: the clock saver, the alarm message
// and the link time-out message, with the alarm and time-out state.
//
// The engine calls these entry points; LinkScreens.cpp holds placeholders until the
// clock saver, alarm display and time-out message are built there (the flags stay 0
// and the functions do nothing, so the engine runs without them). Whoever fills
// them keeps these names and signatures; more state may be added here.
//
// What the engine relies on:
// - EngineInit calls LinkScreensInit, which clears every flag and value below;
// - EnginePaint draws nothing while TimeoutShown or AlarmShown is set;
// - EngineTick calls ShowLinkTimeout every 6 ticks while TimeoutShown is set and the
//   display is not held, and DrawAlarmMessage every 4 ticks while AlarmShown is set
//   and AlarmValuesPending is clear; it calls StartClockPolls when the clock saver
//   starts (screen state 19);
// - the title line shows the blinking alarm mark while AlarmRepeatPending is set;
// - EngineKeyInput calls AcknowledgeAlarm for a shown alarm; the clock saver's key
//   calls StopClockPolls;
// - EnginePaint calls DrawClockSaver (blink bit 1 as colonOn) in state 19 when
//   PlcDataValid is set; the clock values are gEngine.clock (PanelRuntimeState.h),
//   filled offline by ReadPcClock;
// - LoadMenuLevel calls ProcessCurrentAlarm; the link calls ProcessCurrentAlarm,
//   TrackLinkTimeout and AlarmValuesArrived through LinkEngine (PlcLinkEngine.h);
// - the alarm table of the image is gImage.alarms / gImage.alarmSlots, operand
//   records are read with ReadOperandRecord (RuntimeImage.h), texts with ReadText.
#pragma once

#include <cstdint>

namespace runtime {

extern std::uint16_t ShownAlarmNumber;    // the alarm whose lines were last set up
extern std::uint8_t AlarmShown;           // the alarm message owns the screen
extern std::uint16_t AlarmValuesPending;  // online: the message waits for its values
extern std::uint16_t AlarmRepeatPending;  // the same alarm is active again during the hold-off
extern std::uint8_t TimeoutShown;         // the time-out message owns the screen

// Clears the state above (called by EngineInit).
void LinkScreensInit();

// Clock saver: polls of the six clock registers, and the clock screen.
void StartClockPolls();
void StopClockPolls();
void DrawClockSaver(std::uint16_t colonOn);

// Link time-out message: counts the calls of LinkReceive (length 0: no reply) and
// shows or blinks the message.
void TrackLinkTimeout(std::uint16_t length);
void ShowLinkTimeout();

// Alarm display.
void ProcessCurrentAlarm();
void AcknowledgeAlarm();
void DrawAlarmMessage();
// A good poll reply arrived: draws an alarm message that waited for its values.
void AlarmValuesArrived();

}  // namespace runtime
