// Placeholders of the value entry, list selection, actions and digit editor (see
// RuntimeItems.h): every entry point does nothing yet.
#include "RuntimeItems.h"

namespace runtime {

// Placeholder: the value page stays as it is.
void StartValueEntry() {}

// Placeholder: ignores the key.
void ValueEntryKey(std::int32_t) {}

// Placeholder: the list page stays as it is.
void StartListSelection() {}

// Placeholder: ignores the key.
void ListSelectionKey(std::int32_t) {}

// Placeholder: ignores the key.
void MomentaryKey(std::int32_t) {}

// Placeholder: runs nothing.
void ExecuteAction() {}

// Placeholder: leaves the value and the cursor as they are.
void EditValueDigit(std::uint8_t, std::uint8_t*, std::uint32_t*, std::int32_t) {}

// Placeholder: the dropped write is not shown.
void EngineWriteDropped(std::uint8_t, std::uint16_t) {}

}  // namespace runtime
