// The download of a menu image or panel firmware through the PLC's register
// mailbox R3000..R3034: save the registers, wait for the panel, write the file
// in numbered packets, send the end mark, restore the registers. No widgets:
// the owner (the download dialog) hands in the port, the reply clock and the
// view, and feeds received blocks, time-outs and hang-ups in.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "BoundedFile.h"
#include "SerialPortBackend.h"

class TComm;

// The PLC's line: 7 data bits, even parity checked, one stop bit, DTR and RTS
// off, no flow control, 9600 baud.
TCommLineState PlcLineState();
// Sets a port up as the download reads it: the PLC's line, a reply handed on
// at its frame end (ETX), other blocks after 30 ms without a byte.
void SetDownloadLine(TComm &comm);

// The serial port as the download uses it.
class TDownloadPort {
public:
    virtual ~TDownloadPort() = default;
    // Queues a frame; false when the port cannot take it (closed or gone).
    virtual bool Write(const uint8_t *frame, uint16_t length) = 0;
    // Drops every byte received and not yet handed in.
    virtual void FlushInput() = 0;
    virtual void SetBaudRate(uint32_t rate) = 0;
    // Closes the port.
    virtual void Stop() = 0;
};

// TDownloadPort on a TComm.
class TCommDownloadPort : public TDownloadPort {
public:
    explicit TCommDownloadPort(TComm &comm) : comm_(comm) { }
    bool Write(const uint8_t *frame, uint16_t length) override;
    void FlushInput() override;
    void SetBaudRate(uint32_t rate) override;
    void Stop() override;

private:
    TComm &comm_;
};

// The reply timer: after Start(ms) the owner calls TDownload::ReplyTimeout
// once ms have passed, unless Stop came first.
class TDownloadClock {
public:
    virtual ~TDownloadClock() = default;
    virtual void Start(int milliseconds) = 0;
    virtual void Stop() = 0;
};

// TDownloadClock on a single-shot QTimer.
class TTimerDownloadClock : public TDownloadClock {
public:
    explicit TTimerDownloadClock(std::function<void()> onTimeout);
    void Start(int milliseconds) override;
    void Stop() override;

private:
    QTimer timer_;
};

// What the user sees and answers.
class TDownloadView {
public:
    virtual ~TDownloadView() = default;
    // Status panels: 0 the state text, 1 the state number, 2 the time-out count
    // or the baud rate being tried.
    virtual void ShowStatus(int panel, const QString &text) = 0;
    virtual void ShowProgress(int percent) = 0;
    // A plain message box with one button.
    virtual void ShowMessage(const QString &text) = 0;
    // The retry question after a frame's last time-out; true for Yes.
    virtual bool AskRetry() = 0;
    // The baud-rate detection found the PLC at this rate.
    virtual void BaudRateDetected(uint32_t rate) = 0;
    // The transfer has ended (the port is closed by then).
    virtual void TransferStopped() = 0;
};

class TDownload {
public:
    enum : uint16_t { dmMenu = 0, dmFirmware = 1, dmPortSetup = 2 };

    // Mailbox words in R3000.
    enum : uint16_t {
        mwMenuReady = 0x5245,
        mwFirmwareReady = 0x5250,
        mwData = 0x4441,
        mwTaken = 0x4143,
        mwFinish = 0x4649,
    };

    static constexpr uint16_t kMailboxRegister = 3000;
    static constexpr uint16_t kMailboxWords = 35;
    static constexpr uint16_t kPacketBytes = 64;
    static constexpr uint16_t kTries = 5;
    static constexpr int kReplyTimeoutMs = 500;
    // After a try that got no reply, or a reply that was not taken, nothing is
    // sent until no byte has come for this long; blocks that keep the line
    // busy beyond kSettleBlockLimit count as one more time-out.
    static constexpr int kSettleMs = 500;
    static constexpr uint16_t kSettleBlockLimit = 20;
    // The largest frame ("47" of 35 words) and the largest reply expected
    // ("46" of 35 words, 149 bytes) with room to spare.
    static constexpr uint16_t kFrameSize = 160;
    static constexpr uint16_t kReplySize = 178;
    // Packet numbers are 16 bits: 65536 packets of 64 bytes at most.
    static constexpr qsizetype kMaxFileSize = 4 * 1024 * 1024;
    // Baud rates the detection tries, in order, and the windows each gets.
    static constexpr uint32_t kDetectRates[5] = {115200, 57600, 38400, 19200, 9600};
    static constexpr int kDetectTries = 2;

    TDownload(TDownloadPort &port, TDownloadClock &clock, TDownloadView &view);

    // Reads a file to download (ReadFileBounded); false with a message for a
    // file that cannot be read (a pipe or a folder is never opened), is empty
    // or is too large.
    static bool ReadDownloadFile(const QString &path, QByteArray &data, QString &error);
    // The message for data that cannot be downloaded; empty when it can.
    static QString CheckDownloadData(const QByteArray &data);
    // The header check of a firmware file: advice only.
    static bool CheckFirmwareHeader(const QByteArray &data);
    // The zero-terminated identification text at offset 8 of a firmware file.
    static QString FirmwareIdentification(const QByteArray &data);

    // Starts a transfer on the open port: the station query goes out. In menu
    // and firmware mode data is the whole file; false (and nothing sent) when
    // it cannot be downloaded. detectBaud tries the rates of kDetectRates.
    bool Start(uint16_t mode, const QByteArray &data, bool detectBaud);
    // The Abort button: before anything was written to the mailbox the
    // transfer stops at once, later the registers are restored first.
    void Abort();
    // A block from the port's receive event. Replies are read as frames: the
    // bytes from an STX to the next ETX, gathered over as many blocks as they
    // come in; bytes outside a frame are dropped.
    void ReceiveBlock(const char *buffer, uint16_t length);
    // The reply clock ran out (also the end of a wait for a quiet line).
    void ReplyTimeout();
    // The port's hang-up event: the port is gone.
    void PortLost();

    bool Running() const { return running_; }
    uint8_t DownloadState() const { return state_; }
    uint16_t DownloadMode() const { return mode_; }
    bool AbortRequested() const { return abortRequested_; }
    bool Detecting() const { return detecting_; }
    // Waiting for a quiet line before the frame goes out again.
    bool Settling() const { return settling_; }
    // Reply time-outs since the program started.
    static uint32_t TimeoutCount() { return timeoutCount_; }

    // The frame builders, on the frame buffer; each returns the frame's length.
    // BuildMailboxWrite gives the next data packet (restore 0), 0 when no file
    // bytes are left, or the restore frame (restore 1).
    uint16_t BuildMailboxRead(uint16_t count);
    uint16_t BuildMailboxWrite(uint16_t restore);
    uint16_t BuildMailboxFinish();
    const uint8_t *Frame() const { return frame_; }
    uint16_t FrameLength() const { return frameLength_; }

    // Texts shown by the transfer.
    static const char *const kChecksumErrorText;
    static const char *const kNakText;
    static const char *const kAbortedText;
    static const char *const kDetectFailText;
    static const char *const kPortLostText;
    static const char *const kNotRestoredText;

private:
    // What the frame on the line expects back.
    enum class Expect { StationReply, ReadReply, WriteReply };

    void DownloadStep();
    // Sends the frame in the buffer, after a quiet line when the line is in doubt.
    void SendDownloadFrame();
    void SendNewDownloadFrame();
    void Transmit();
    // A complete frame has been gathered; false when it is passed over and
    // the wait for the reply goes on (baud-rate detection).
    bool TakeReply();
    // A try that ran out of time: the same frame again, or the retry question.
    void TimeoutTry();
    void RestoreAfterQuiet();
    void StopDownload();
    // Ends a failed transfer: when the mailbox was changed and the port is
    // still there the registers are restored first; the messages are shown
    // at the end, with a word when the registers could not be restored.
    void Fail(const QString &message, bool canRestore);
    void FinishRestore(const char *status);
    void ShowMessages();
    void BadReply();
    bool ReplyValid() const;
    uint16_t ReadMailboxWord() const;
    bool IsWriteAck() const;
    void UpdateProgress();
    void Status(const char *text);
    bool Restoring() const { return state_ >= 8; }

    TDownloadPort &port_;
    TDownloadClock &clock_;
    TDownloadView &view_;

    uint8_t state_ = 0;
    uint16_t mode_ = dmMenu;
    QByteArray file_;
    uint32_t remaining_ = 0;
    uint16_t packetNumber_ = 0;
    uint32_t packetsBuilt_ = 0;
    uint16_t retries_ = kTries;
    uint16_t saved_[kMailboxWords] = {};
    char station_[3] = {'0', '1', 0};
    uint8_t frame_[kFrameSize] = {};
    uint16_t frameLength_ = 0;
    Expect expect_ = Expect::StationReply;
    uint16_t expectWords_ = 0;
    // The frame being gathered, then the reply taken.
    uint8_t reply_[kReplySize] = {};
    uint16_t replyLength_ = 0;
    bool gathering_ = false;
    bool replyOverflow_ = false;
    // The line may still carry a reply to an earlier try; settling: waiting
    // for it to be quiet.
    bool doubt_ = false;
    bool settling_ = false;
    uint16_t settleBlocks_ = 0;

    bool running_ = false;
    bool abortRequested_ = false;
    bool asking_ = false;
    bool mailboxChanged_ = false;
    QStringList messages_;
    bool detecting_ = false;
    int detectIndex_ = 0;
    int detectTries_ = 0;

    static uint32_t timeoutCount_;
};
