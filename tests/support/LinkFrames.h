// Write frames as the runtime's link puts them on the wire, for tests that check
// what the engine wrote.
#pragma once

#include <algorithm>
#include <string>

#include "PlcLink.h"

// A "49" write frame of station "01" with its checksum; body is the operand name
// followed by the value ("R00100" "0064").
inline std::string WriteFrame(const std::string &body)
{
    uint8_t frame[runtime::kWriteFrameCapacity];
    frame[0] = runtime::kStx;
    const std::string text = "0149"
                             "01"
        + body;
    std::copy(text.begin(), text.end(), frame + 1);
    const uint16_t n = runtime::FinishFrame(frame, static_cast<uint16_t>(text.size() + 1));
    return std::string(reinterpret_cast<const char *>(frame), n);
}

// The one-shot write the link holds, as it would go on the wire to station "01"
// ("" when none is pending).
inline std::string PendingWrite()
{
    uint8_t frame[runtime::kWriteFrameCapacity];
    const uint16_t n = runtime::BuildSingleWrite(frame, "01");
    return std::string(reinterpret_cast<const char *>(frame), n);
}
