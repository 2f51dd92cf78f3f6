// TComm: one serial port with a reader and a writer thread. Received blocks,
// line errors, modem events, hang-ups and the empty send queue come back as
// events on the thread that owns the component (the GUI thread).
#pragma once

#include "SerialPortBackend.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// Raised by StartComm; the port is then closed.
class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const std::string &message) : std::runtime_error(message) { }
    QString Message() const { return QString::fromLatin1(what()); }
};

class TComm;
using TReceiveDataEvent = std::function<void(TComm *sender, const char *buffer, uint16_t bufferLength)>;
using TReceiveErrorEvent = std::function<void(TComm *sender, uint32_t eventMask)>;
using TModemStateChangeEvent = std::function<void(TComm *sender, uint32_t modemEvent)>;
using TNotifyEvent = std::function<void(TComm *sender)>;
using TSendDataEmptyEvent = std::function<void(TComm *sender)>;

class TComm : public QObject {
    Q_OBJECT
public:
    // Largest block one read delivers.
    static constexpr size_t kReadBlockSize = 2048;
    // Queue sizes asked of the driver.
    static constexpr size_t kQueueSize = 4096;

    // A null backend means the platform's own.
    explicit TComm(QObject *owner = nullptr, std::unique_ptr<TCommBackend> backend = nullptr);
    // Stops the port when it is open.
    ~TComm() override;
    TComm(const TComm &) = delete;
    TComm &operator=(const TComm &) = delete;

    // Opens CommName with the line settings and time-outs and starts both
    // threads. Throws ECommsError, also when the port refuses a setting; the
    // port is then left closed.
    void StartComm();
    // Stops both threads (always joined) and closes the port; nothing when closed.
    void StopComm();
    // Queues a copy of the bytes for the writer. False when the port is closed
    // or length is 0.
    bool WriteCommData(const char *buffer, uint16_t length);
    // Modem status bits (MS_*), 0 when closed or the query fails.
    uint32_t GetModemState();
    // Drops what has been received and not yet delivered: the driver's input
    // and blocks read but not yet handed to OnReceiveData.
    void PurgeInput();

    bool IsOpen() const { return open_; }
    // True while nothing waits to be written.
    bool SendDataEmpty() const { return sendDataEmpty_; }
    TCommBackend &Backend() { return *backend_; }

    // Published properties. A setter that changes a line setting or a time-out
    // applies it at once when the port is open and throws ECommsError when the
    // port refuses it (the port stays open, the property keeps the value asked
    // for); the name is read at the next open. A pseudo-terminal is held only to
    // what it can carry (not the data bits and parity; see TPosixCommBackend).
    QString CommName() const { return commName_; }
    void SetCommName(const QString &name) { commName_ = name; }
    const TCommLineState &LineState() const { return line_; }
    void SetLineState(const TCommLineState &state);
    const TCommTimeouts &Timeouts() const { return timeouts_; }
    void SetTimeouts(const TCommTimeouts &timeouts);
    // Frame reading: a block also ends right after this byte (the frame end of
    // the caller's protocol), without waiting for the byte gap. -1 (the
    // default): blocks end only at the gap, the read total and the read size.
    // Takes effect with the next byte received.
    int FrameEndChar() const { return frameEnd_; }
    void SetFrameEndChar(int c) { frameEnd_ = c < 0 || c > 0xFF ? -1 : c; }

    uint32_t BaudRate() const { return line_.BaudRate; }
    void SetBaudRate(uint32_t v) { SetLine(&TCommLineState::BaudRate, v); }
    bool ParityCheck() const { return line_.ParityCheck; }
    void SetParityCheck(bool v) { SetLine(&TCommLineState::ParityCheck, v); }
    bool Outx_CtsFlow() const { return line_.Outx_CtsFlow; }
    void SetOutx_CtsFlow(bool v) { SetLine(&TCommLineState::Outx_CtsFlow, v); }
    bool Outx_DsrFlow() const { return line_.Outx_DsrFlow; }
    void SetOutx_DsrFlow(bool v) { SetLine(&TCommLineState::Outx_DsrFlow, v); }
    TDtrControl DtrControl() const { return line_.DtrControl; }
    void SetDtrControl(TDtrControl v) { SetLine(&TCommLineState::DtrControl, v); }
    bool DsrSensitivity() const { return line_.DsrSensitivity; }
    void SetDsrSensitivity(bool v) { SetLine(&TCommLineState::DsrSensitivity, v); }
    bool TxContinueOnXoff() const { return line_.TxContinueOnXoff; }
    void SetTxContinueOnXoff(bool v) { SetLine(&TCommLineState::TxContinueOnXoff, v); }
    bool Outx_XonXoffFlow() const { return line_.Outx_XonXoffFlow; }
    void SetOutx_XonXoffFlow(bool v) { SetLine(&TCommLineState::Outx_XonXoffFlow, v); }
    bool Inx_XonXoffFlow() const { return line_.Inx_XonXoffFlow; }
    void SetInx_XonXoffFlow(bool v) { SetLine(&TCommLineState::Inx_XonXoffFlow, v); }
    bool ReplaceWhenParityError() const { return line_.ReplaceWhenParityError; }
    void SetReplaceWhenParityError(bool v) { SetLine(&TCommLineState::ReplaceWhenParityError, v); }
    bool IgnoreNullChar() const { return line_.IgnoreNullChar; }
    void SetIgnoreNullChar(bool v) { SetLine(&TCommLineState::IgnoreNullChar, v); }
    TRtsControl RtsControl() const { return line_.RtsControl; }
    void SetRtsControl(TRtsControl v) { SetLine(&TCommLineState::RtsControl, v); }
    uint16_t XonLimit() const { return line_.XonLimit; }
    void SetXonLimit(uint16_t v) { SetLine(&TCommLineState::XonLimit, v); }
    uint16_t XoffLimit() const { return line_.XoffLimit; }
    void SetXoffLimit(uint16_t v) { SetLine(&TCommLineState::XoffLimit, v); }
    TByteSize ByteSize() const { return line_.ByteSize; }
    void SetByteSize(TByteSize v) { SetLine(&TCommLineState::ByteSize, v); }
    TParity Parity() const { return line_.Parity; }
    void SetParity(TParity v) { SetLine(&TCommLineState::Parity, v); }
    TStopBits StopBits() const { return line_.StopBits; }
    void SetStopBits(TStopBits v) { SetLine(&TCommLineState::StopBits, v); }
    char XonChar() const { return line_.XonChar; }
    void SetXonChar(char v) { SetLine(&TCommLineState::XonChar, v); }
    char XoffChar() const { return line_.XoffChar; }
    void SetXoffChar(char v) { SetLine(&TCommLineState::XoffChar, v); }
    char ReplacedChar() const { return line_.ReplacedChar; }
    void SetReplacedChar(char v) { SetLine(&TCommLineState::ReplacedChar, v); }

    uint32_t ReadIntervalTimeout() const { return timeouts_.ReadIntervalTimeout; }
    void SetReadIntervalTimeout(uint32_t v) { SetTimeout(&TCommTimeouts::ReadIntervalTimeout, v); }
    uint32_t ReadTotalTimeoutMultiplier() const { return timeouts_.ReadTotalTimeoutMultiplier; }
    void SetReadTotalTimeoutMultiplier(uint32_t v)
    {
        SetTimeout(&TCommTimeouts::ReadTotalTimeoutMultiplier, v);
    }
    uint32_t ReadTotalTimeoutConstant() const { return timeouts_.ReadTotalTimeoutConstant; }
    void SetReadTotalTimeoutConstant(uint32_t v) { SetTimeout(&TCommTimeouts::ReadTotalTimeoutConstant, v); }
    uint32_t WriteTotalTimeoutMultiplier() const { return timeouts_.WriteTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(uint32_t v)
    {
        SetTimeout(&TCommTimeouts::WriteTotalTimeoutMultiplier, v);
    }
    uint32_t WriteTotalTimeoutConstant() const { return timeouts_.WriteTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(uint32_t v)
    {
        SetTimeout(&TCommTimeouts::WriteTotalTimeoutConstant, v);
    }

    // Events, raised on the owning thread; an event without a handler is skipped.
    // The buffer of OnReceiveData is zero-terminated and valid during the call.
    TReceiveDataEvent OnReceiveData;
    TReceiveErrorEvent OnReceiveError;
    TModemStateChangeEvent OnModemStateChange;
    TNotifyEvent OnRequestHangup;
    TSendDataEmptyEvent OnSendDataEmpty;

private:
    template <typename T> void SetLine(T TCommLineState::*field, T value)
    {
        if (line_.*field == value)
            return;
        line_.*field = value;
        PublishLine();
    }
    template <typename T> void SetTimeout(T TCommTimeouts::*field, T value)
    {
        if (timeouts_.*field == value)
            return;
        timeouts_.*field = value;
        PublishTimeouts();
    }
    void PublishLine();
    void PublishTimeouts();
    void CloseAfterFailure(const std::string &message);

    // Thread bodies and what they hand to the owning thread.
    void ReadLoop(uint32_t session);
    void WriteLoop(uint32_t session);
    bool WriteAll(const std::vector<uint8_t> &data, uint32_t session);
    // What the threads hand to the owning thread, in order.
    struct Event {
        enum Kind { Data, Error, Modem, Hangup, SendEmpty } kind = Data;
        uint32_t session = 0;
        uint32_t value = 0;       // error flags, modem bits, or the input number of a block
        std::vector<char> bytes;  // a block, with a terminating zero behind it
    };
    // Queues an event and asks the owning thread to deliver it.
    void Post(Event event);
    void PostBlock(uint32_t session, uint32_t generation, const uint8_t *data, size_t size);
    // Raises the oldest queued event, unless the port was stopped (or opened
    // again) since it was queued.
    Q_INVOKABLE void DeliverEvent();
    bool Current(uint32_t session) const { return open_ && session == session_; }

    std::unique_ptr<TCommBackend> backend_;
    QString commName_ = QStringLiteral("COM2");
    TCommLineState line_;
    TCommTimeouts timeouts_;
    bool open_ = false;
    // Numbers each open, so that nothing posted by an earlier one is delivered.
    uint32_t session_ = 0;

    // Time-outs as the threads read them.
    std::atomic<uint32_t> readInterval_{100};
    std::atomic<uint32_t> readTotalMultiplier_{0};
    std::atomic<uint32_t> readTotalConstant_{0};
    std::atomic<uint32_t> writeTotalMultiplier_{0};
    std::atomic<uint32_t> writeTotalConstant_{0};
    std::atomic<bool> rtsToggle_{false};
    std::atomic<int> frameEnd_{-1};
    // Raised by PurgeInput; a block begun under an older number is dropped.
    std::atomic<uint32_t> inputGeneration_{0};

    std::atomic<bool> writerAlive_{false};
    std::thread reader_;
    std::thread writer_;
    std::mutex queueMutex_;
    std::condition_variable queueWake_;
    std::deque<std::vector<uint8_t>> writeQueue_;
    bool stopping_ = false;
    std::atomic<bool> sendDataEmpty_{true};
    std::mutex eventMutex_;
    std::deque<Event> events_;
};
