// Fuzz target: the panel runtime engine (runtime/PanelRuntime.h) on arbitrary image
// bytes, driven by a script of keys, ticks, paints and polled values.
//
// Input: byte 0 flags (bit 0 the 128 x 96 model, bit 1 online, bit 2 repair the
// header: "ZEL", model byte, size and checksum, so that changes inside the sections
// reach the engine), bytes 1-2 the script length (little-endian), the script, then
// the image.
//
// Polled values include the alarm number, the alarm values and the clock registers;
// a poke may also let the link time out (writes retried and dropped, the time-out
// message) or bring the saver counter near its end.
//
// The work per input is bounded, so that the target runs fast enough to explore:
// at most kMaxSteps script steps, kMaxTicks ticks and kMaxDrawingPaints paints
// that draw a screen or a picture (the costly part; one after a key shows the new
// screen). Paints that draw nothing, such as those that count a startup picture's
// time, are cheap and not counted. What needs many ticks in the
// simulator is reached by pokes instead: the saver counter, the alarm hold-off.
//
// Checked: the engine never asks the read hook for a byte outside the image it was
// told about, and after every step its navigation state, digit cursors and write
// queue stay inside their buffers.
// AddressSanitizer sees any other read or write outside them.
#include <cstdint>
#include <cstring>
#include <vector>

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "PlcLink.h"

using namespace runtime;

namespace {

constexpr int kMaxSteps = 256;
constexpr int kMaxTicks = 96;
constexpr int kMaxDrawingPaints = 6;

std::vector<std::uint8_t> gImageBytes;
int gTicksLeft = 0;
int gDrawingPaintsLeft = 0;

void Check(bool ok)
{
    if (!ok) {
        __builtin_trap();
    }
}

void ReadHook(void *destination, std::uint32_t offset, std::uint32_t length)
{
    Check(offset <= gImageBytes.size() && length <= gImageBytes.size() - offset);
    std::memcpy(destination, gImageBytes.data() + offset, length);
}

void SendHook(const std::uint8_t *, std::uint16_t)
{
}

struct Script {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t pos = 0;
    bool Empty() const { return pos >= size; }
    std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    std::uint32_t Word32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        return v;
    }
};

// The harness's own checksum loop is not watched for coverage: it tells the fuzzer
// nothing and took a tenth of every run.
__attribute__((no_sanitize("coverage"))) void Repair(std::vector<std::uint8_t> &image, std::uint8_t model)
{
    if (image.size() < 42) {
        return;
    }
    std::memcpy(image.data(), "ZEL", 3);
    image[3] = static_cast<std::uint8_t>(model * 32 + 1);
    std::uint32_t size = static_cast<std::uint32_t>(image.size() - 2);
    for (int i = 0; i < 4; ++i) {
        image[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    }
    std::uint8_t sum = 0;
    const std::uint8_t *bytes = image.data();
    for (std::uint32_t i = 0; i < size; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    image[size] = static_cast<std::uint8_t>(0u - sum);
}

// Stores a polled value where the link would, or lets the link time out.
void Poke(Script &s)
{
    std::uint8_t field = s.Byte();
    std::uint32_t value = s.Word32();
    switch (field % 14) {
    case 0: gEngine.password1 = value; break;
    case 1: gEngine.password2 = value; break;
    case 2: gEngine.itemValue = value; break;
    case 3: gEngine.rowValues[value % kMaxRowsPerPage] = value >> 8; break;
    case 4: gEngine.location = value; break;
    case 5: gEngine.saverMinutes = static_cast<std::uint16_t>(value); break;
    case 6: gEngine.editValue = value; break;
    case 7: gEngine.passwordEntry = value; break;
    case 8: gEngine.saverCounter = gEngine.saverTicks - value % 4; break;
    case 9: CurrentAlarmNumber = static_cast<std::uint16_t>(value); break;
    case 10: gEngine.clock[value % kClockValues] = static_cast<std::uint16_t>(value >> 8); break;
    case 11: AlarmValues[value % 3] = static_cast<std::uint16_t>(value >> 8); break;
    case 12: AlarmHoldoffTicks = value % 400; break;
    case 13: LinkReceive(nullptr, 0); break;
    default: PlcDataValid = static_cast<std::uint8_t>(value & 1); break;
    }
}

void SimulatorTick()
{
    if (gTicksLeft <= 0) {
        return;
    }
    --gTicksLeft;
    EngineTick();
    if (!SimulationOnline) {
        ValuesPending = 0;
        PlcDataValid = 1;
    }
}

// The simulator's paint: offline it also looks for a triggered alarm.
void SimulatorPaint()
{
    bool draws = gEngine.screenState == StateStartup ? gEngine.frameTick == 0 : gEngine.redraw != 0;
    if (draws && gDrawingPaintsLeft-- <= 0) {
        return;
    }
    EnginePaint();
    if (!SimulationOnline) {
        ProcessCurrentAlarm();
    }
}

void CheckState()
{
    Check(gEngine.level < kMaxLevels);
    Check(gEngine.itemCount <= kMaxPageItems);
    Check(gEngine.selected[gEngine.level] < kMaxPageItems);
    Check(gEngine.text.length <= kTextCapacity);
    Check(gEngine.clipLeft <= gEngine.clipRight && gEngine.clipRight < CurrentModel.Width);
    Check(gImage.alarmSlots <= kMaxAlarms);
    Check(gEngine.writeQueueCount <= kWriteQueueSize);
    Check(gEngine.valueCursor <= 10 && gEngine.passwordCursor <= 10);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    std::uint8_t flags = data[0];
    std::size_t scriptLength = static_cast<std::size_t>(data[1] | (data[2] << 8));
    if (scriptLength > size - 3) {
        scriptLength = size - 3;
    }
    Script script{data + 3, scriptLength};
    gImageBytes.assign(data + 3 + scriptLength, data + size);
    std::uint8_t model = flags & 1;
    if (flags & 4) {
        Repair(gImageBytes, model);
    }

    SelectPanelModel(model);
    bool online = (flags & 2) != 0;
    EngineInit(online ? 1 : 0);
    ReadImageHook = ReadHook;
    FlushDisplayHook = CurrentModel.FlushFrame;
    SendFrameHook = online ? SendHook : nullptr;
    // A length of 0 would mean "unknown": an empty image is not handed over at all.
    if (!gImageBytes.empty()) {
        EngineLoadImage(static_cast<std::uint32_t>(gImageBytes.size()));
    }

    int steps = 0;
    gTicksLeft = kMaxTicks;
    gDrawingPaintsLeft = kMaxDrawingPaints;
    while (!script.Empty() && steps++ < kMaxSteps) {
        std::uint8_t op = script.Byte();
        switch (op % 16) {
        case 10: EngineKeyInput(kKeyLong + script.Byte() % 11); break;
        case 11: SimulatorTick(); break;
        case 12: SimulatorPaint(); break;
        case 13: Poke(script); break;
        case 14:
            PlcAnswered = 1;
            EnterStartMenu();
            break;
        case 15: {
            int frames = script.Byte() % 16;
            for (int i = 0; i < frames; ++i) {
                SimulatorTick();
                SimulatorPaint();
            }
            break;
        }
        default: EngineKeyInput(op % 16 + 1); break;
        }
        if (EngineImageLoaded()) {
            CheckState();
        }
    }
    ReadImageHook = nullptr;
    SendFrameHook = nullptr;
    return 0;
}
