// Fuzz target: the PLC link's receive entry (runtime/PlcLink.h) with arbitrary blocks,
// interleaved with table changes and writes. The input is a script of operations;
// block contents come from the input itself. A few operations build well-formed
// station and poll replies (with the right checksum and random data characters) so
// that the fuzzer reaches the value parser, not only the checksum test.
//
// Checked after every step: every frame sent is a whole frame (STX, ETX, a good
// checksum) that fits the link's largest buffer; the table and write state stay in
// range. Every poll target is a heap block of exactly its width, so AddressSanitizer
// sees any write past it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "PlcFrame.h"
#include "PlcLink.h"

using namespace runtime;

namespace {

struct Input {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t pos = 0;
    bool Empty() const { return pos >= size; }
    std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
};

std::vector<void *> gTargets;
std::uint8_t gLastFrame[512];
std::uint16_t gLastLength = 0;

void Check(bool ok)
{
    if (!ok) {
        __builtin_trap();
    }
}

void Capture(const std::uint8_t *bytes, std::uint16_t length)
{
    Check(length >= 8 && length <= kPollFrameCapacity);
    Check(bytes[0] == kStx && bytes[length - 1] == kEtx);
    Check(VerifyChecksum(bytes, length));
    std::memcpy(gLastFrame, bytes, length);
    gLastLength = length;
}

void *NewTarget(std::size_t width)
{
    void *p = std::malloc(width);
    std::memset(p, 0, width);
    gTargets.push_back(p);
    return p;
}

// A target for a poll of the given type: typed (1, 2, 4 bytes) or void* (the type's width).
std::uint16_t Poll(Input &in, bool update)
{
    std::uint8_t type = static_cast<std::uint8_t>(in.Byte() % 16);
    std::uint16_t address = in.Word();
    std::uint8_t kind = in.Byte() % 4;
    std::uint16_t slot = static_cast<std::uint16_t>(in.Byte() % 22);
    std::uint16_t chars = ReplyValueWidth(type);
    std::size_t byType = chars == 1 ? 1 : chars == 4 ? 2 : 4;
    switch (kind) {
    case 0: {
        auto *t = static_cast<std::uint8_t *>(NewTarget(1));
        return update ? UpdatePoll(slot, type, address, t) : AddPoll(type, address, t);
    }
    case 1: {
        auto *t = static_cast<std::uint16_t *>(NewTarget(2));
        return update ? UpdatePoll(slot, type, address, t) : AddPoll(type, address, t);
    }
    case 2: {
        auto *t = static_cast<std::uint32_t *>(NewTarget(4));
        return update ? UpdatePoll(slot, type, address, t) : AddPoll(type, address, t);
    }
    default: {
        void *t = NewTarget(byType);
        return update ? UpdatePoll(slot, type, address, t) : AddPoll(type, address, t);
    }
    }
}

void Deliver(const std::vector<std::uint8_t> &block)
{
    LinkReceive(block.data(), static_cast<std::uint16_t>(block.size()));
}

// STX, station, command, body taken from the input, checksum, ETX.
std::vector<std::uint8_t> MadeReply(const char *station, const char *command, Input &in,
                                    std::size_t bodyLength)
{
    std::vector<std::uint8_t> f;
    f.push_back(kStx);
    f.push_back(static_cast<std::uint8_t>(station[0]));
    f.push_back(static_cast<std::uint8_t>(station[1]));
    f.push_back(static_cast<std::uint8_t>(command[0]));
    f.push_back(static_cast<std::uint8_t>(command[1]));
    for (std::size_t i = 0; i < bodyLength; ++i) {
        std::uint8_t b = in.Byte();
        // Mostly hex digits, sometimes anything.
        static const char kHex[] = "0123456789ABCDEF";
        f.push_back(b & 0x80 ? static_cast<std::uint8_t>(b & 0x7F)
                             : static_cast<std::uint8_t>(kHex[b & 0xF]));
    }
    f.resize(f.size() + 3);
    FinishFrame(f.data(), static_cast<std::uint16_t>(f.size() - 3));
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    LinkInit();
    LinkEngine = LinkEngineHooks{};
    SendFrameHook = Capture;
    gLastLength = 0;
    Input in{data, size};

    std::uint16_t saver = 0, locationSlot = 0;
    std::uint32_t p1 = 0, p2 = 0, location = 0;
    if (in.Byte() & 1) {
        LinkConfig.alarmNumber = {static_cast<std::uint8_t>(in.Byte() % 16), in.Word()};
        LinkConfig.saverTime = {static_cast<std::uint8_t>(in.Byte() % 16), in.Word()};
        LinkConfig.saverMinutes = &saver;
        LinkConfig.password = {static_cast<std::uint8_t>(in.Byte() % 16), in.Word()};
        LinkConfig.password1 = &p1;
        LinkConfig.password2 = &p2;
        LinkConfig.menuLocation = {static_cast<std::uint8_t>(in.Byte() % 16), in.Word()};
        LinkConfig.menuLocationValue = &location;
        LinkConfig.menuLocationSlot = &locationSlot;
    }

    int steps = 0;
    while (!in.Empty() && steps++ < 400) {
        switch (in.Byte() % 12) {
        case 0: {  // a raw block from the input
            std::size_t length = in.Byte();
            if (in.Byte() & 1) {
                length += 200;  // reach the oversize path
            }
            std::vector<std::uint8_t> block;
            for (std::size_t i = 0; i < length && !in.Empty(); ++i) {
                block.push_back(in.Byte());
            }
            Deliver(block);
            break;
        }
        case 1: LinkReceive(nullptr, 0); break;
        case 2: Poll(in, false); break;
        case 3: RemovePoll(in.Byte()); break;
        case 4: Poll(in, true); break;
        case 5: {
            std::uint32_t value = in.Word() | (static_cast<std::uint32_t>(in.Word()) << 16);
            WriteOperand(static_cast<std::uint8_t>(in.Byte() % 16), in.Word(), &value, in.Byte() % 3);
            break;
        }
        case 6: ClearPolls(); break;
        case 7: StartOnlineLink(); break;
        case 8: {                                   // a well-formed station reply
            Deliver(MadeReply("01", "15", in, 5));  // error character and 4 data characters
            break;
        }
        case 9: {  // a well-formed poll reply of a length near the table's
            std::size_t expected = 1;
            for (std::uint16_t i = 0; i < kPollSlotCount; ++i) {
                PollSlotView s = PollSlotAt(i);
                if (s.active) {
                    expected += ReplyValueWidth(s.type);
                }
            }
            std::size_t length = expected + (in.Byte() % 3) - 1;
            const char *station = LinkStation()[0] != '\0' ? LinkStation() : "01";
            Deliver(MadeReply(station, "48", in, length));
            break;
        }
        case 10: {  // a write reply
            const char *station = LinkStation()[0] != '\0' ? LinkStation() : "01";
            Deliver(MadeReply(station, "49", in, 1 + in.Byte() % 2));
            break;
        }
        default:  // the last frame sent, echoed back (a line that loops)
            if (gLastLength != 0) {
                LinkReceive(gLastFrame, gLastLength);
            }
            break;
        }
        Check(PollCount <= kPollSlotCount);
        Check(WriteBusy == 0 || WriteBusy == 2);
    }

    SendFrameHook = nullptr;
    LinkInit();
    for (void *p : gTargets) {
        std::free(p);
    }
    gTargets.clear();
    return 0;
}
