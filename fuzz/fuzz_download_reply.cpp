// Fuzz target: the download engine's reply and time-out entries (link/DownloadProtocol.h)
// with arbitrary blocks, time-outs, aborts, lost ports and retry answers. The
// input is a script of operations; a few build well-formed replies to the frame
// on the line (right command, length and checksum, chosen mailbox words) so that
// the fuzzer walks the whole state machine, not only the reply checks.
//
// Replies may come in pieces, among noise bytes.
//
// Checked after every step: every frame sent is a whole frame with a good
// checksum that fits the frame buffer; every data packet carries the file bytes
// that belong to its number; one block or one clock tick sends at most one
// frame; a stopped transfer closed the port.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "DownloadProtocol.h"
#include "PlcFrame.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

struct Input {
    const uint8_t *data;
    size_t size;
    size_t pos = 0;
    bool Empty() const { return pos >= size; }
    uint8_t Byte() { return pos < size ? data[pos++] : 0; }
};

QByteArray gFile;

class FuzzPort : public TDownloadPort {
public:
    bool Write(const uint8_t *frame, uint16_t length) override
    {
        Check(length >= 4 && length <= TDownload::kFrameSize);
        Check(frame[0] == 0x02 && frame[length - 1] == 0x03);
        Check(runtime::VerifyChecksum(frame, length));
        CheckPacket(frame, length);
        ++writes;
        return !refuse;
    }
    void FlushInput() override { }
    void SetBaudRate(uint32_t) override { }
    void Stop() override { ++stops; }

    // A data packet: STX, station, "47", count, "R03000", words.
    static void CheckPacket(const uint8_t *frame, uint16_t length)
    {
        if (length < 13 + 12 || frame[3] != '4' || frame[4] != '7'
            || runtime::HexToWord(frame + 13) != 0x4441)
            return;
        const uint16_t count = runtime::HexToByte(frame + 5);
        Check(length == 13 + 4 * count + 3);
        const uint16_t number = runtime::HexToWord(frame + 17);
        const uint16_t half = runtime::HexToWord(frame + 21) & 0xFF;
        const uint32_t offset = uint32_t(number) * TDownload::kPacketBytes;
        const uint32_t bytes = std::min<uint32_t>(uint32_t(gFile.size()) - offset, TDownload::kPacketBytes);
        Check(offset < uint32_t(gFile.size()) && half == bytes / 2 && count == (bytes + 1) / 2 + 3);
        for (uint32_t i = 0; i < bytes; ++i) {
            const uint16_t word = runtime::HexToWord(frame + 25 + 4 * (i / 2));
            Check(uint8_t(i % 2 == 0 ? word : word >> 8) == uint8_t(gFile[offset + i]));
        }
    }

    bool refuse = false;
    int stops = 0;
    int writes = 0;
};

class FuzzClock : public TDownloadClock {
public:
    void Start(int) override { running = true; }
    void Stop() override { running = false; }
    bool running = false;
};

class FuzzView : public TDownloadView {
public:
    void ShowStatus(int panel, const QString &) override { Check(panel >= 0 && panel <= 2); }
    void ShowProgress(int percent) override { Check(percent >= 0 && percent <= 100); }
    void ShowMessage(const QString &) override { }
    bool AskRetry() override { return input && (input->Byte() & 1); }
    void BaudRateDetected(uint32_t) override { }
    void TransferStopped() override { }
    Input *input = nullptr;
};

// A well-formed reply to the frame on the line.
std::vector<uint8_t> ReplyTo(const TDownload &download, Input &in)
{
    const uint8_t *frame = download.Frame();
    std::vector<uint8_t> reply = {0x02, frame[1], frame[2], frame[3], frame[4]};
    const uint8_t pick = in.Byte();
    if (frame[3] == '1') {  // station query
        reply[1] = '0';
        reply[2] = '1';
        for (const char c : {'0', '0', '1', '0', char('0' + pick % 10)})
            reply.push_back(uint8_t(c));
    } else if (frame[3] == '4' && frame[4] == '6') {
        reply.push_back('0');
        const uint16_t count = runtime::HexToByte(frame + 5);
        static const uint16_t words[] = {0x5245, 0x5250, 0x4143, 0x4441, 0x0000};
        for (uint16_t i = 0; i < count; ++i) {
            const uint16_t word = i == 0 ? words[pick % 5] : uint16_t(in.Byte() << 8 | in.Byte());
            uint8_t hex[4];
            runtime::ValueToHex(word, 4, hex);
            reply.insert(reply.end(), hex, hex + 4);
        }
    } else {
        reply.push_back(pick % 4 == 0 ? '2' : '0');
    }
    const uint16_t length = uint16_t(reply.size());
    reply.resize(length + 3);
    runtime::FinishFrame(reply.data(), length);
    return reply;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    const uint16_t fileSize = uint16_t(1 + (in.Byte() | in.Byte() << 8) % 2000);
    gFile = QByteArray(fileSize, '\0');
    for (uint16_t i = 0; i < fileSize; ++i)
        gFile[i] = char(i * 31 + 5);

    FuzzPort port;
    FuzzClock clock;
    FuzzView view;
    view.input = &in;
    TDownload download(port, clock, view);
    const uint8_t mode = in.Byte();
    download.Start(mode % 3, gFile, mode & 0x80);

    for (int steps = 0; !in.Empty() && steps < 4000; ++steps) {
        const bool wasRunning = download.Running();
        const int stopsBefore = port.stops;
        const int writesBefore = port.writes;
        const uint8_t op = in.Byte();
        switch (op % 8) {
        case 0:
        case 1: {
            const auto reply = ReplyTo(download, in);
            download.ReceiveBlock(reinterpret_cast<const char *>(reply.data()), uint16_t(reply.size()));
            break;
        }
        case 2: {  // the reply in two pieces, noise before it
            auto reply = ReplyTo(download, in);
            reply.insert(reply.begin(), op >> 6, uint8_t('#'));
            const size_t cut = std::min<size_t>(in.Byte(), reply.size());
            download.ReceiveBlock(reinterpret_cast<const char *>(reply.data()), uint16_t(cut));
            download.ReceiveBlock(reinterpret_cast<const char *>(reply.data() + cut),
                                  uint16_t(reply.size() - cut));
            break;
        }
        case 3: {  // raw bytes from the input
            const size_t length = std::min<size_t>(in.Byte() + (op >> 3) * 8, in.size - in.pos);
            download.ReceiveBlock(reinterpret_cast<const char *>(in.data + in.pos), uint16_t(length));
            in.pos += length;
            break;
        }
        case 4:
            if (clock.running)
                download.ReplyTimeout();
            break;
        case 5: download.Abort(); break;
        case 6:
            if (op & 0x80)
                download.PortLost();
            else
                port.refuse = !port.refuse;
            break;
        case 7:
            if (!download.Running())
                download.Start(op >> 3 & 1, gFile, false);
            break;
        }
        if (wasRunning && !download.Running())
            Check(port.stops == stopsBefore + 1);
        if (op % 8 != 2 && op % 8 != 7)
            Check(port.writes - writesBefore <= 1);
    }
    return 0;
}
