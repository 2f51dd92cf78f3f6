// Placeholders of the clock saver, alarm display and link time-out message (see
// LinkScreens.h): the state is kept and cleared, the functions do nothing yet.
#include "LinkScreens.h"

namespace runtime {

std::uint16_t ShownAlarmNumber = 0;
std::uint8_t AlarmShown = 0;
std::uint16_t AlarmValuesPending = 0;
std::uint16_t AlarmRepeatPending = 0;
std::uint8_t TimeoutShown = 0;

void LinkScreensInit() {
  ShownAlarmNumber = 0;
  AlarmShown = 0;
  AlarmValuesPending = 0;
  AlarmRepeatPending = 0;
  TimeoutShown = 0;
}

// Placeholder: adds no polls yet.
void StartClockPolls() {}

// Placeholder: removes no polls yet.
void StopClockPolls() {}

// Placeholder: draws nothing yet.
void DrawClockSaver(std::uint16_t) {}

// Placeholder: the time-out message is never shown yet.
void TrackLinkTimeout(std::uint16_t) {}

// Placeholder: draws nothing yet.
void ShowLinkTimeout() {}

// Placeholder: no alarm is shown yet.
void ProcessCurrentAlarm() {}

// Placeholder: nothing to acknowledge yet.
void AcknowledgeAlarm() {}

// Placeholder: draws nothing yet.
void DrawAlarmMessage() {}

// Placeholder: no message waits for values yet.
void AlarmValuesArrived() {}

}  // namespace runtime
