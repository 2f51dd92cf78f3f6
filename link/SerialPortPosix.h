// The serial backend on POSIX terminals: termios for the line, poll with an
// eventfd as the wake-up, TIOCEXCL and flock for the exclusive open.
#pragma once

#include "SerialPortBackend.h"

#include <atomic>
#include <cstdint>

// What the driver does to received bytes before the component sees them:
// bytes marked with a parity or framing error become the replacement
// character, bytes are masked to the data bits, and nulls may be dropped.
// Keeps the state of an error mark split across two reads.
class TCommInputFilter {
public:
    struct Settings {
        bool DecodeMarks = false;  // the driver marks errors as FF 00 x, FF as FF FF
        uint8_t ReplacedChar = 0;
        uint8_t Mask = 0xFF;
        bool StripNull = false;
    };

    void Configure(const Settings &settings);
    // Filters size bytes in place; returns how many are left.
    size_t Apply(uint8_t *data, size_t size);

private:
    std::atomic<bool> decodeMarks_{false};
    std::atomic<uint8_t> replacedChar_{0};
    std::atomic<uint8_t> mask_{0xFF};
    std::atomic<bool> stripNull_{false};
    int markState_ = 0;  // 0 plain, 1 after FF, 2 after FF 00 (reader thread only)
};

class TPosixCommBackend : public TCommBackend {
public:
    TPosixCommBackend() = default;
    ~TPosixCommBackend() override;
    TPosixCommBackend(const TPosixCommBackend &) = delete;
    TPosixCommBackend &operator=(const TPosixCommBackend &) = delete;

    OpenResult Open(const QString &name) override;
    bool SetupBuffers(size_t input, size_t output) override;
    bool CreateWakeEvent() override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }

    bool ApplyLineState(const TCommLineState &state) override;
    bool ApplyTimeouts(const TCommTimeouts &timeouts) override;
    void Purge(bool input, bool output) override;

    void Wake() override;
    WaitResult WaitReadable(int timeoutMs) override;
    WaitResult WaitWritable(int timeoutMs) override;
    IoResult Read(uint8_t *buffer, size_t size) override;
    IoResult Write(const uint8_t *data, size_t size) override;
    size_t OutputPending() override;

    uint32_t ModemStatus() override;
    bool HasModemLines() override;
    uint32_t TakeLineErrors() override;
    void SetRts(bool on) override;

    // True when the open port is a pseudo-terminal, which carries 8 data bits
    // without parity whatever is asked: fewer data bits are then kept by
    // masking received bytes.
    bool IsPseudoTerminal() const { return pseudo_; }

private:
    WaitResult Wait(short events, int timeoutMs);
    void SetModemLine(int bit, bool on);

    int fd_ = -1;
    int wake_ = -1;
    bool pseudo_ = false;
    TCommInputFilter filter_;
    // Line error counters at the last TakeLineErrors (reader thread only).
    bool haveCounters_ = false;
    uint32_t frame_ = 0, overrun_ = 0, parity_ = 0, brk_ = 0, bufOverrun_ = 0;
};
