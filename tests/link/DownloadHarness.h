// What the download tests share: a view that records what the transfer shows,
// an in-process line to a simulated PLC, and the mailbox registers' pattern.
#pragma once

#include "DownloadProtocol.h"
#include "SimPanelMailbox.h"
#include "SimPlc.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

class RecordingView : public TDownloadView {
public:
    void ShowStatus(int panel, const QString &text) override
    {
        status[panel].push_back(text);
        if (panel == 0 && onStatus)
            onStatus(text);
    }
    void ShowProgress(int percent) override { progress.push_back(percent); }
    void ShowMessage(const QString &text) override { messages.push_back(text); }
    bool AskRetry() override
    {
        ++asks;
        return answer ? answer() : false;
    }
    void BaudRateDetected(uint32_t rate) override { detected.push_back(rate); }
    void TransferStopped() override
    {
        ++stops;
        if (onStopped)
            onStopped();
    }

    QString LastStatus() const { return status[0].empty() ? QString() : status[0].back(); }

    std::vector<QString> status[3];
    std::vector<int> progress;
    std::vector<QString> messages;
    std::vector<uint32_t> detected;
    int asks = 0;
    int stops = 0;
    std::function<bool()> answer;
    std::function<void(const QString &)> onStatus;
    std::function<void()> onStopped;
};

class ManualClock : public TDownloadClock {
public:
    void Start(int milliseconds) override
    {
        running = true;
        ms = milliseconds;
    }
    void Stop() override { running = false; }
    bool running = false;
    int ms = 0;
};

// Frames go straight to the PLC; its reply blocks wait in the inbox until
// Pump hands them in, so the engine is never entered from inside a write.
class InProcessPort : public TDownloadPort {
public:
    explicit InProcessPort(simplc::SimPlc &plc) : plc_(plc) { }

    bool Write(const uint8_t *frame, uint16_t length) override
    {
        if (gone)
            return false;
        sent.emplace_back(frame, frame + length);
        if (plcRate != 0 && rate != plcRate) {
            if (noiseAtWrongRate)
                inbox.push_back({0x7F, 0x0C, 0x66});
            return true;
        }
        const simplc::Reply reply = plc_.Handle(frame, length);
        if (reply.hangUp) {
            gone = true;
            hangupPending = true;
        }
        for (const auto &block : reply.blocks)
            inbox.push_back(block);
        return true;
    }
    void FlushInput() override
    {
        inbox.clear();
        ++flushes;
    }
    void SetBaudRate(uint32_t r) override { rate = r; }
    void Stop() override { ++stops; }

    // Frames sent with the given command ("46", "47", "15").
    std::vector<QByteArray> Sent(const char *command) const
    {
        std::vector<QByteArray> out;
        for (const auto &f : sent)
            if (f.size() > 5 && f[3] == command[0] && f[4] == command[1])
                out.emplace_back(reinterpret_cast<const char *>(f.data()), qsizetype(f.size()));
        return out;
    }

    std::deque<std::vector<uint8_t>> inbox;
    std::vector<std::vector<uint8_t>> sent;
    uint32_t rate = 9600;
    uint32_t plcRate = 0;  // 0: the PLC answers at any rate
    bool noiseAtWrongRate = false;
    bool gone = false;
    bool hangupPending = false;
    int flushes = 0;
    int stops = 0;

private:
    simplc::SimPlc &plc_;
};

// Runs the transfer until it ends: replies first, then the clock.
inline void Pump(TDownload &download, InProcessPort &port, ManualClock &clock, int limit = 1000000)
{
    while (download.Running() && limit-- > 0) {
        if (port.hangupPending) {
            port.hangupPending = false;
            download.PortLost();
        } else if (!port.inbox.empty()) {
            const std::vector<uint8_t> block = port.inbox.front();
            port.inbox.pop_front();
            download.ReceiveBlock(reinterpret_cast<const char *>(block.data()), uint16_t(block.size()));
        } else if (clock.running) {
            clock.running = false;
            download.ReplyTimeout();
        } else {
            break;
        }
    }
}

// R3000..R3034 as the PLC held them before the download.
inline std::vector<uint16_t> MailboxPattern()
{
    std::vector<uint16_t> words;
    for (uint16_t i = 0; i < TDownload::kMailboxWords; ++i)
        words.push_back(uint16_t(0x1200 + i * 0x0101));
    return words;
}

inline void FillMailbox(simplc::SimPlc &plc)
{
    const auto words = MailboxPattern();
    for (uint16_t i = 0; i < words.size(); ++i)
        plc.SetReg(uint16_t(TDownload::kMailboxRegister + i), words[i]);
}

// The registers after a restore: as before, R3000 cleared.
inline std::vector<uint16_t> RestoredPattern()
{
    auto words = MailboxPattern();
    words[0] = 0;
    return words;
}

inline QByteArray TestImage(int size)
{
    QByteArray data;
    for (int i = 0; i < size; ++i)
        data.append(char((i * 37 + 11) & 0xFF));
    return data;
}

inline std::vector<uint8_t> Bytes(const QByteArray &data)
{
    return {data.begin(), data.end()};
}
