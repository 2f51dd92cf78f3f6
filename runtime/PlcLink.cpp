#include "PlcLink.h"

#include "ReentryGuard.h"

#include <cstring>

namespace runtime {

void (*SendFrameHook)(const std::uint8_t *bytes, std::uint16_t length) = nullptr;

std::uint16_t CurrentAlarmNumber = 0;
std::uint8_t PlcAnswered = 0;
std::uint8_t PlcDataValid = 0;
std::uint8_t ValuesPending = 0;
std::uint32_t AlarmHoldoffTicks = 0;

std::uint8_t PollCount = 0;
std::uint16_t PollSequence = 0;
std::uint8_t WriteBusy = 0;
std::uint16_t LinkEmptyCalls = 0;
std::uint32_t WriteDropCount = 0;

LinkEngineHooks LinkEngine;
LinkStandardConfig LinkConfig;

namespace {

// Target width 0: the width of the type (void* targets).
struct PollSlot {
    std::uint8_t active = 0;
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    void *target = nullptr;
    std::uint8_t targetWidth = 0;
};

using ReplyHandler = void (*)(std::uint16_t sequence, std::uint16_t length, const std::uint8_t *reply);

struct LinkRequest {
    std::uint16_t sequence = 0;
    std::uint16_t length = 0;
    std::uint8_t *frame = nullptr;
    ReplyHandler handler = nullptr;
};

PollSlot gSlots[kPollSlotCount];
std::uint8_t gPollTableChanged = 1;

void StationReplyHandler(std::uint16_t sequence, std::uint16_t length, const std::uint8_t *reply);
void PollReplyHandler(std::uint16_t sequence, std::uint16_t length, const std::uint8_t *reply);
void WriteReplyHandler(std::uint16_t sequence, std::uint16_t length, const std::uint8_t *reply);

std::uint8_t gPollFrame[kPollFrameCapacity];
std::uint8_t gWriteFrame[kWriteFrameCapacity];
LinkRequest gPollRequest{0, 0, gPollFrame, nullptr};
LinkRequest gWriteRequest{0, 0, gWriteFrame, WriteReplyHandler};
LinkRequest *gCurrent = nullptr;  // the request last sent
LinkRequest *gQueued = nullptr;   // sent next instead of the poll

char gStation[3] = {0, 0, 0};
bool gStationKnown = false;
std::uint8_t gReceiveBuffer[kReceiveBufferSize];
bool gInReceive = false;

// The pending write.
std::uint8_t gWriteType = 0;
std::uint16_t gWriteAddress = 0;
std::uint32_t gWriteValue = 0;
std::uint16_t gWriteTries = 0;       // sends of the pending write so far
std::uint16_t gWriteGeneration = 0;  // raised by every accepted WriteOperand

std::uint16_t gScratchValue = 0;  // target of the R0 poll that keeps a frame alive

bool PollableType(std::uint8_t type)
{
    return type >= OpX && type < kOperandTypeCount;
}

std::uint16_t FillSlot(std::uint16_t slot, std::uint8_t type, std::uint16_t address, void *target,
                       std::uint8_t width)
{
    PollSlot &s = gSlots[slot];
    s.type = type;
    s.address = address;
    s.target = target;
    s.targetWidth = width;
    return slot;
}

std::uint16_t AddPollWidth(std::uint8_t type, std::uint16_t address, void *target, std::uint8_t width)
{
    if (PollCount >= kPollSlotCount || !PollableType(type) || target == nullptr) {
        return kNoPollSlot;
    }
    for (std::uint16_t i = 0; i < kPollSlotCount; ++i) {
        if (!gSlots[i].active) {
            FillSlot(i, type, address, target, width);
            gSlots[i].active = 1;
            ++PollCount;
            gPollTableChanged = 1;
            PlcDataValid = 0;
            ++PollSequence;
            return i;
        }
    }
    return kNoPollSlot;
}

std::uint16_t UpdatePollWidth(std::uint16_t slot, std::uint8_t type, std::uint16_t address, void *target,
                              std::uint8_t width)
{
    if (slot >= kPollSlotCount || !gSlots[slot].active || !PollableType(type) || target == nullptr) {
        return kNoPollSlot;
    }
    FillSlot(slot, type, address, target, width);
    gPollTableChanged = 1;
    ++PollSequence;
    return slot;
}

void StoreValue(const PollSlot &s, std::uint32_t value)
{
    std::uint16_t width = s.targetWidth;
    if (width == 0) {
        std::uint16_t chars = ReplyValueWidth(s.type);
        width = chars == 1 ? 1 : chars == 4 ? 2 : 4;
    }
    if (width == 1) {
        std::uint8_t v = static_cast<std::uint8_t>(value);
        std::memcpy(s.target, &v, 1);
    } else if (width == 2) {
        std::uint16_t v = static_cast<std::uint16_t>(value);
        std::memcpy(s.target, &v, 2);
    } else {
        std::memcpy(s.target, &value, 4);
    }
}

// Empties the table; keepWrite leaves a pending write in place (the station reply).
void ClearTable(bool keepWrite)
{
    for (PollSlot &s : gSlots) {
        s = PollSlot{};
    }
    PollCount = 0;
    if (!keepWrite) {
        WriteBusy = 0;
        if (gQueued == &gWriteRequest) {
            gQueued = nullptr;
        }
    }
    gPollTableChanged = 1;
    PlcDataValid = 0;
    ++PollSequence;
}

void QueueRequest(LinkRequest *request)
{
    gQueued = request;
}

std::uint16_t CurrentScreenState()
{
    return LinkEngine.ScreenState != nullptr ? LinkEngine.ScreenState() : 1;
}

// One send of the pending write failed (bad reply, refusal, time-out, oversize block):
// send it again, or drop it after kMaxWriteTries sends.
void WriteAttemptFailed()
{
    if (WriteBusy == 0 || gWriteRequest.sequence != gWriteGeneration) {
        return;
    }
    if (gWriteTries >= kMaxWriteTries) {
        WriteBusy = 0;
        ++WriteDropCount;
        if (LinkEngine.WriteDropped != nullptr) {
            LinkEngine.WriteDropped(gWriteType, gWriteAddress);
        }
        return;
    }
    QueueRequest(&gWriteRequest);
}

void StationReplyHandler(std::uint16_t, std::uint16_t length, const std::uint8_t *reply)
{
    char station[2];
    if (length == 0 || ParseStationReply(reply, length, station) != ReplyOk) {
        return;  // the station query goes out again
    }
    gStation[0] = station[0];
    gStation[1] = station[1];
    gStation[2] = '\0';
    gStationKnown = true;
    ClearTable(true);
    AddStandardPolls();
    gPollRequest.length = BuildPollFrame(gPollFrame, gStation);
    PollSequence = 1;
    gPollRequest.sequence = 1;
    gPollRequest.handler = PollReplyHandler;
}

void PollReplyHandler(std::uint16_t sequence, std::uint16_t length, const std::uint8_t *reply)
{
    if (length != 0 && sequence == PollSequence && ParsePollReply(reply, length) == PollReplyOk) {
        if (CurrentScreenState() != 5 && LinkEngine.RequestRedraw != nullptr) {
            LinkEngine.RequestRedraw();
        }
        if (LinkEngine.AlarmValuesArrived != nullptr) {
            LinkEngine.AlarmValuesArrived();
        }
        PlcDataValid = 1;
        ValuesPending = 0;
        PlcAnswered = 1;
        if (CurrentScreenState() == 14 && LinkEngine.EnterStartMenu != nullptr) {
            LinkEngine.EnterStartMenu();
        }
    }
    if (LinkConfig.alarmNumber.type != OpNone) {
        std::uint16_t state = CurrentScreenState();
        if (state != 0 && state != 14 && LinkEngine.ProcessCurrentAlarm != nullptr) {
            LinkEngine.ProcessCurrentAlarm();
        }
    }
}

// The checks of a "48" reply before its values: frame, checksum, station, echoed
// command, then the error character "1" (PollReplyError).
std::uint16_t CheckPollFrame(const std::uint8_t *reply, std::uint16_t length)
{
    std::uint16_t check = CheckReplyFrame(reply, length, gStationKnown ? gStation : nullptr, "48");
    if (check == ReplyBadChecksum) {
        return PollReplyBadChecksum;
    }
    if (check != ReplyOk) {
        return PollReplyMalformed;
    }
    if (reply[5] == kRefusalChar) {
        return PollReplyError;
    }
    return PollReplyOk;
}

void WriteReplyHandler(std::uint16_t sequence, std::uint16_t length, const std::uint8_t *reply)
{
    if (WriteBusy == 0 || sequence != gWriteGeneration) {
        return;  // the write was cancelled or replaced while this one was on the line
    }
    if (length != 0 && CheckWriteReply(reply, length, gStation) == ReplyOk) {
        WriteBusy = 0;
        return;
    }
    WriteAttemptFailed();
}

// Before the poll goes out: rebuild its frame when the table changed, and let its
// sequence name the table as it is now.
void RefreshPollRequest()
{
    if (gPollRequest.handler != PollReplyHandler) {
        return;  // still the station query
    }
    std::uint16_t length = BuildPollFrame(gPollFrame, gStation);
    if (length != 0) {
        gPollRequest.length = length;
        ++PollSequence;
    }
    gPollRequest.sequence = PollSequence;
}

void PrepareWriteRequest()
{
    gWriteRequest.length = BuildSingleWrite(gWriteFrame, gStation);
    gWriteRequest.sequence = gWriteGeneration;
    ++gWriteTries;
}

}  // namespace

void LinkInit()
{
    ClearTable(false);
    gPollTableChanged = 1;
    PollSequence = 0;
    WriteBusy = 0;
    gPollRequest = LinkRequest{0, 0, gPollFrame, nullptr};
    gWriteRequest = LinkRequest{0, 0, gWriteFrame, WriteReplyHandler};
    gCurrent = nullptr;
    gQueued = nullptr;
    gStation[0] = gStation[1] = gStation[2] = '\0';
    gStationKnown = false;
    gInReceive = false;
    gWriteType = 0;
    gWriteAddress = 0;
    gWriteValue = 0;
    gWriteTries = 0;
    gWriteGeneration = 0;
    gScratchValue = 0;
    CurrentAlarmNumber = 0;
    PlcAnswered = 0;
    PlcDataValid = 0;
    ValuesPending = 0;
    AlarmHoldoffTicks = 0;
    LinkEmptyCalls = 0;
    WriteDropCount = 0;
    LinkConfig = LinkStandardConfig{};
}

std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, void *target)
{
    return AddPollWidth(type, address, target, 0);
}
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, std::uint8_t *target)
{
    return AddPollWidth(type, address, target, 1);
}
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, std::uint16_t *target)
{
    return AddPollWidth(type, address, target, 2);
}
std::uint16_t AddPoll(std::uint8_t type, std::uint16_t address, std::uint32_t *target)
{
    return AddPollWidth(type, address, target, 4);
}

void RemovePoll(std::uint16_t slot)
{
    if (PollCount != 0 && slot < kPollSlotCount && gSlots[slot].active) {
        --PollCount;
        gSlots[slot] = PollSlot{};
        gPollTableChanged = 1;
        PlcDataValid = 0;
    }
    ++PollSequence;
}

void ReleasePoll(std::uint16_t &slot)
{
    if (slot != kNoPollSlot) {
        RemovePoll(slot);
        slot = kNoPollSlot;
    }
}

std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, void *target)
{
    return UpdatePollWidth(slot, type, address, target, 0);
}
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, std::uint8_t *target)
{
    return UpdatePollWidth(slot, type, address, target, 1);
}
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, std::uint16_t *target)
{
    return UpdatePollWidth(slot, type, address, target, 2);
}
std::uint16_t UpdatePoll(std::uint16_t slot, std::uint8_t type, std::uint16_t address, std::uint32_t *target)
{
    return UpdatePollWidth(slot, type, address, target, 4);
}

void ClearPolls()
{
    ClearTable(false);
}

void ResetPollTable()
{
    ClearPolls();
}

std::uint16_t BuildPollFrame(std::uint8_t *frame, const char *station)
{
    if (gPollTableChanged == 0) {
        return 0;
    }
    gPollTableChanged = 0;
    std::uint8_t built[kPollFrameCapacity];
    std::uint16_t n = 0;
    built[n++] = kStx;
    built[n++] = static_cast<std::uint8_t>(station[0]);
    built[n++] = static_cast<std::uint8_t>(station[1]);
    built[n++] = '4';
    built[n++] = '8';
    ByteToHex(PollCount, built + n);
    n = static_cast<std::uint16_t>(n + 2);
    std::uint16_t found = 0;
    for (std::uint16_t i = 0; i < kPollSlotCount && found < PollCount; ++i) {
        if (gSlots[i].active) {
            char name[kMaxOperandNameLength + 1];
            std::uint16_t length = FormatOperandName(name, gSlots[i].type, gSlots[i].address);
            std::memcpy(built + n, name, length);
            n = static_cast<std::uint16_t>(n + length);
            ++found;
        }
    }
    if (found < PollCount) {
        return 0;
    }
    n = FinishFrame(built, n);
    std::memcpy(frame, built, n);
    return n;
}

std::uint16_t ParsePollReply(const std::uint8_t *reply, std::uint16_t length)
{
    std::uint16_t check = CheckPollFrame(reply, length);
    if (check != PollReplyOk) {
        return check;
    }
    // Check every value first, store only a wholly good reply.
    std::uint32_t values[kPollSlotCount];
    std::uint16_t slots[kPollSlotCount];
    std::uint16_t count = 0;
    std::uint16_t pos = 6;
    std::uint16_t dataEnd = static_cast<std::uint16_t>(length - 3);
    for (std::uint16_t i = 0; i < kPollSlotCount && count < PollCount; ++i) {
        const PollSlot &s = gSlots[i];
        if (!s.active) {
            continue;
        }
        std::uint16_t width = ReplyValueWidth(s.type);
        if (width > dataEnd - pos) {
            return PollReplyMalformed;
        }
        std::uint32_t value = 0;
        if (width == 1) {
            std::uint8_t c = reply[pos];
            if (c < 0x20 || c > 0x7E) {
                return PollReplyMalformed;
            }
            value = c != '0' ? 1 : 0;
        } else if (width == 4 || width == 8) {
            if (!IsHexText(reply + pos, width)) {
                return PollReplyMalformed;
            }
            value = width == 4 ? HexToWord(reply + pos) : HexToDword(reply + pos);
        }
        pos = static_cast<std::uint16_t>(pos + width);
        slots[count] = i;
        values[count] = value;
        ++count;
    }
    if (count < PollCount) {
        return PollReplyTableShort;
    }
    if (pos != dataEnd) {
        return PollReplyMalformed;
    }
    for (std::uint16_t k = 0; k < count; ++k) {
        StoreValue(gSlots[slots[k]], values[k]);
    }
    return PollReplyOk;
}

std::uint16_t BuildSingleWrite(std::uint8_t *frame, const char *station)
{
    std::uint16_t width = WriteValueWidth(gWriteType);
    if (WriteBusy == 0 || width == 0) {
        return 0;
    }
    std::uint16_t n = 0;
    frame[n++] = kStx;
    frame[n++] = static_cast<std::uint8_t>(station[0]);
    frame[n++] = static_cast<std::uint8_t>(station[1]);
    std::memcpy(frame + n, "4901", 4);
    n = static_cast<std::uint16_t>(n + 4);
    char name[kMaxOperandNameLength + 1];
    std::uint16_t length = FormatOperandName(name, gWriteType, gWriteAddress);
    std::memcpy(frame + n, name, length);
    n = static_cast<std::uint16_t>(n + length);
    if (width == 1) {
        frame[n] = gWriteValue != 0 ? '1' : '0';
    } else {
        ValueToHex(gWriteValue, width, frame + n);
    }
    n = static_cast<std::uint16_t>(n + width);
    return FinishFrame(frame, n);
}

std::uint16_t WriteOperand(std::uint8_t type, std::uint16_t address, const void *value, std::uint16_t count)
{
    if (WriteBusy != 0) {
        return 0;
    }
    std::uint16_t width = WriteValueWidth(type);
    if (width == 0 || value == nullptr || count != 1) {
        return 0;
    }
    std::uint32_t v = 0;
    if (width == 1) {
        std::uint8_t b;
        std::memcpy(&b, value, 1);
        v = b;
    } else if (width == 4) {
        std::uint16_t w;
        std::memcpy(&w, value, 2);
        v = w;
    } else {
        std::memcpy(&v, value, 4);
    }
    WriteBusy = 2;
    gWriteType = type;
    gWriteAddress = address;
    gWriteValue = v;
    gWriteTries = 0;
    ++gWriteGeneration;
    PlcDataValid = 0;
    ++PollSequence;
    if (gStationKnown) {
        gWriteRequest.length = BuildSingleWrite(gWriteFrame, gStation);
    }
    QueueRequest(&gWriteRequest);
    return 1;
}

void AddStandardPolls()
{
    const LinkStandardConfig &c = LinkConfig;
    // 1. The alarm number.
    if (c.alarmNumber.type != OpNone) {
        AddPoll(c.alarmNumber.type, c.alarmNumber.address, &CurrentAlarmNumber);
    }
    // 2. The saver minutes, unless a constant (type 1) or none (type 0: no saver register
    //    configured, nothing to poll for it).
    if (c.saverTime.type != OpConst && c.saverTime.type != OpNone && c.saverMinutes != nullptr) {
        AddPoll(c.saverTime.type, c.saverTime.address, c.saverMinutes);
    }
    // 3. Both passwords: the second in the next register (address + 1 for R and D, else + 2).
    if (c.password.type != OpNone) {
        std::uint16_t step = (c.password.type == OpR || c.password.type == OpD) ? 1 : 2;
        if (c.password1 != nullptr) {
            AddPoll(c.password.type, c.password.address, c.password1);
        }
        if (c.password2 != nullptr) {
            AddPoll(c.password.type, static_cast<std::uint16_t>(c.password.address + step), c.password2);
        }
    } else {
        if (c.password1 != nullptr) {
            *c.password1 = 0;
        }
        if (c.password2 != nullptr) {
            *c.password2 = 0;
        }
    }
    // 4. The menu location, keeping its slot for the engine.
    if (c.menuLocationSlot != nullptr) {
        *c.menuLocationSlot = kNoPollSlot;
    }
    if (c.menuLocation.type != OpNone && c.menuLocationValue != nullptr) {
        std::uint16_t slot = AddPoll(c.menuLocation.type, c.menuLocation.address, c.menuLocationValue);
        if (c.menuLocationSlot != nullptr) {
            *c.menuLocationSlot = slot;
        }
    }
    // 5. Always a frame: R0 into a scratch value.
    if (PollCount == 0) {
        AddPoll(OpR, 0, &gScratchValue);
    }
}

void StartOnlineLink()
{
    gStationKnown = false;
    gStation[0] = gStation[1] = gStation[2] = '\0';
    gPollRequest.length = BuildStationQuery(gPollFrame);
    gPollRequest.handler = StationReplyHandler;
    gPollRequest.sequence = 0;
    PollSequence = 0;
    gCurrent = nullptr;
    if (LinkEngine.RequestRedraw != nullptr) {
        LinkEngine.RequestRedraw();
    }
    LinkReceive(nullptr, 0);
}

void LinkReceive(const std::uint8_t *bytes, std::uint16_t length)
{
    if (gInReceive) {
        return;
    }
    ReentryGuard busy(gInReceive);
    if (bytes == nullptr) {
        length = 0;
    }
    // A poll the PLC refuses is no answer: a PLC that refuses every poll brings up
    // the time-out message as silence does, and its next good reply clears it.
    std::uint16_t answered = length;
    if (length != 0 && length < kReceiveBufferSize && gCurrent == &gPollRequest
        && gPollRequest.handler == PollReplyHandler && CheckPollFrame(bytes, length) == PollReplyError) {
        answered = 0;
    }
    if (answered == 0) {
        if (LinkEmptyCalls < 0xFFFF) {
            ++LinkEmptyCalls;
        }
    } else {
        LinkEmptyCalls = 0;
    }
    if (LinkEngine.TrackLinkTimeout != nullptr) {
        LinkEngine.TrackLinkTimeout(answered);
    }

    LinkRequest *request = gCurrent;
    if (length >= 1 && length < kReceiveBufferSize) {
        std::memcpy(gReceiveBuffer, bytes, length);
        if (request != nullptr && request->handler != nullptr) {
            request->handler(request->sequence, length, gReceiveBuffer);
        }
    } else if (request == &gWriteRequest) {
        WriteAttemptFailed();  // a time-out or an oversize block while the write was on the line
    }

    if (gQueued != nullptr && (gQueued != &gWriteRequest || gStationKnown)) {
        gCurrent = gQueued;
        gQueued = nullptr;
    } else {
        gCurrent = &gPollRequest;
    }
    if (gCurrent == &gWriteRequest) {
        PrepareWriteRequest();
    } else {
        RefreshPollRequest();
    }
    if (gCurrent->length != 0 && SendFrameHook != nullptr) {
        SendFrameHook(gCurrent->frame, gCurrent->length);
    }
}

PollSlotView PollSlotAt(std::uint16_t slot)
{
    PollSlotView view;
    if (slot < kPollSlotCount && gSlots[slot].active) {
        view.active = true;
        view.type = gSlots[slot].type;
        view.address = gSlots[slot].address;
        view.target = gSlots[slot].target;
    }
    return view;
}

const char *LinkStation()
{
    return gStation;
}

}  // namespace runtime
