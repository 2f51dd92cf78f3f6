#include "DownloadProtocol.h"

#include "BoundedFile.h"
#include "PlcFrame.h"
#include "SerialPort.h"

#include <algorithm>

const char *const TDownload::kChecksumErrorText = "Receive check sum error!!";
const char *const TDownload::kNakText = "Write NAK From PLC, Aborted !! ";
const char *const TDownload::kAbortedText = "Communication Aborted";
const char *const TDownload::kDetectFailText = "Baud rate detect fail!!";
const char *const TDownload::kPortLostText = "Serial port lost, Aborted !! ";
const char *const TDownload::kNotRestoredText = "The PLC registers R3000 to R3034 were not restored !! ";

uint32_t TDownload::timeoutCount_ = 0;

namespace {

QString TooLargeText()
{
    return QStringLiteral("The file is larger than 4 MiB");
}

}  // namespace

TCommLineState PlcLineState()
{
    TCommLineState line;
    line.BaudRate = 9600;
    line.ParityCheck = true;
    line.DtrControl = DtrDisable;
    line.RtsControl = RtsDisable;
    line.Outx_XonXoffFlow = false;
    line.Inx_XonXoffFlow = false;
    line.ByteSize = TByteSize::_7;
    line.Parity = TParity::Even;
    line.StopBits = TStopBits::_1;
    return line;
}

void SetDownloadLine(TComm &comm)
{
    comm.SetLineState(PlcLineState());
    comm.SetReadIntervalTimeout(30);
    comm.SetFrameEndChar(runtime::kEtx);
}

TTimerDownloadClock::TTimerDownloadClock(std::function<void()> onTimeout)
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(onTimeout));
}

void TTimerDownloadClock::Start(int milliseconds)
{
    timer_.start(milliseconds);
}

void TTimerDownloadClock::Stop()
{
    timer_.stop();
}

bool TCommDownloadPort::Write(const uint8_t *frame, uint16_t length)
{
    return comm_.WriteCommData(reinterpret_cast<const char *>(frame), length);
}

void TCommDownloadPort::FlushInput()
{
    comm_.PurgeInput();
}

void TCommDownloadPort::SetBaudRate(uint32_t rate)
{
    try {
        comm_.SetBaudRate(rate);
    } catch (const ECommsError &) {
        // The port stays at its old rate, where an answer would be taken for
        // one at this rate: it is closed instead, and the next frame finds
        // the port lost.
        comm_.StopComm();
    }
}

void TCommDownloadPort::Stop()
{
    comm_.StopComm();
}

TDownload::TDownload(TDownloadPort &port, TDownloadClock &clock, TDownloadView &view)
    : port_(port), clock_(clock), view_(view)
{
}

bool TDownload::ReadDownloadFile(const QString &path, QByteArray &data, QString &error)
{
    QByteArray bytes;
    QString reason;
    switch (ReadFileBounded(path, kMaxFileSize, bytes, reason)) {
    case TFileRead::Ok: error = CheckDownloadData(bytes); break;
    case TFileRead::Unreadable: error = QStringLiteral("Cannot read the file %1").arg(path); return false;
    case TFileRead::TooLarge: error = TooLargeText(); break;
    }
    if (!error.isEmpty()) {
        error += QStringLiteral(": %1").arg(path);
        return false;
    }
    data = std::move(bytes);
    return true;
}

QString TDownload::CheckDownloadData(const QByteArray &data)
{
    if (data.isEmpty())
        return QStringLiteral("The file is empty");
    if (data.size() > kMaxFileSize)
        return TooLargeText();
    return {};
}

bool TDownload::CheckFirmwareHeader(const QByteArray &data)
{
    const auto byte = [&](qsizetype i) { return static_cast<uint8_t>(data[i]); };
    if (data.size() < 2)
        return false;
    const uint16_t n = uint16_t(byte(0) | byte(1) << 8);
    if (n < 1024 || n > data.size())
        return false;
    uint16_t sum = uint16_t(byte(0) + byte(1) + (byte(2) | byte(3) << 8));
    for (qsizetype i = 4; i < n; ++i)
        sum = uint16_t(sum + byte(i));
    return sum == 0;
}

QString TDownload::FirmwareIdentification(const QByteArray &data)
{
    if (data.size() <= 8)
        return {};
    const QByteArray rest = data.mid(8);
    const qsizetype end = rest.indexOf('\0');
    return QString::fromLatin1(end < 0 ? rest : rest.left(end));
}

bool TDownload::Start(uint16_t mode, const QByteArray &data, bool detectBaud)
{
    if (running_ || mode > dmPortSetup)
        return false;
    if (mode != dmPortSetup && !CheckDownloadData(data).isEmpty())
        return false;
    mode_ = mode;
    file_ = mode == dmPortSetup ? QByteArray() : data;
    remaining_ = uint32_t(file_.size());
    packetNumber_ = 0;
    packetsBuilt_ = 0;
    state_ = 0;
    retries_ = kTries;
    abortRequested_ = false;
    asking_ = false;
    mailboxChanged_ = false;
    gathering_ = false;
    doubt_ = false;
    settling_ = false;
    messages_.clear();
    detecting_ = detectBaud;
    detectIndex_ = 0;
    detectTries_ = kDetectTries;
    if (detecting_)
        port_.SetBaudRate(kDetectRates[0]);
    running_ = true;
    view_.ShowStatus(2, QString());
    view_.ShowProgress(0);
    DownloadStep();
    return true;
}

void TDownload::Abort()
{
    if (!running_)
        return;
    if (state_ <= 3) {
        // Nothing has been written to the mailbox yet.
        StopDownload();
        Status(kAbortedText);
        return;
    }
    abortRequested_ = true;
}

void TDownload::ReceiveBlock(const char *buffer, uint16_t length)
{
    // While the retry question is open the bytes are dropped; the resend
    // after Yes waits for a quiet line, No ends the transfer.
    if (!running_ || asking_)
        return;
    if (settling_) {
        // Whatever comes now answers an earlier try, or is noise: it is
        // dropped, and the line must be quiet for the whole time again.
        if (++settleBlocks_ < kSettleBlockLimit) {
            clock_.Start(kSettleMs);
        } else {
            settling_ = false;
            TimeoutTry();
        }
        return;
    }
    const auto *bytes = reinterpret_cast<const uint8_t *>(buffer);
    for (uint16_t i = 0; i < length; ++i) {
        const uint8_t byte = bytes[i];
        if (byte == runtime::kStx) {
            // A new frame starts; an unfinished one before it is dropped.
            gathering_ = true;
            replyLength_ = 0;
            replyOverflow_ = false;
        } else if (!gathering_) {
            continue;
        }
        if (replyLength_ < kReplySize)
            reply_[replyLength_++] = byte;
        else
            replyOverflow_ = true;
        if (byte == runtime::kEtx) {
            gathering_ = false;
            // The rest of the block came before the next frame was sent.
            if (TakeReply() || !running_)
                return;
        }
    }
}

bool TDownload::TakeReply()
{
    const bool valid = ReplyValid();
    // The detection sends only the station query, and only a real station
    // reply ends it: stray bytes seen at a wrong rate leave the clock running
    // on to the next rate.
    if (detecting_ && !valid)
        return false;
    clock_.Stop();
    if (detecting_) {
        detecting_ = false;
        view_.BaudRateDetected(kDetectRates[detectIndex_]);
        view_.ShowStatus(2, QString());
        if (mode_ == dmPortSetup) {
            StopDownload();
            return true;
        }
    }
    if (abortRequested_) {
        abortRequested_ = false;
        RestoreAfterQuiet();
        return true;
    }
    if (valid)
        DownloadStep();
    else
        BadReply();
    return true;
}

void TDownload::ReplyTimeout()
{
    if (!running_ || asking_)
        return;
    clock_.Stop();
    if (settling_) {
        // The line has been quiet long enough: nothing earlier is on its way.
        settling_ = false;
        doubt_ = false;
        if (abortRequested_) {
            abortRequested_ = false;
            state_ = 9;
            DownloadStep();
        } else {
            Transmit();
        }
        return;
    }
    if (detecting_) {
        if (--detectTries_ == 0) {
            if (++detectIndex_ == int(std::size(kDetectRates))) {
                StopDownload();
                view_.ShowMessage(QString::fromLatin1(kDetectFailText));
                return;
            }
            port_.SetBaudRate(kDetectRates[detectIndex_]);
            detectTries_ = kDetectTries;
        }
        view_.ShowStatus(2, QStringLiteral("Try %1").arg(kDetectRates[detectIndex_]));
        SendDownloadFrame();
        return;
    }
    if (abortRequested_) {
        abortRequested_ = false;
        RestoreAfterQuiet();
        return;
    }
    // The reply may still come: the next send waits for a quiet line.
    doubt_ = true;
    if (gathering_) {
        // A frame begun and not finished in time is a bad reply.
        gathering_ = false;
        BadReply();
        return;
    }
    TimeoutTry();
}

void TDownload::TimeoutTry()
{
    --retries_;
    ++timeoutCount_;
    view_.ShowStatus(1, QString::number(state_));
    view_.ShowStatus(2, QString::number(timeoutCount_));
    if (retries_ > 0) {
        SendDownloadFrame();
        return;
    }
    asking_ = true;
    const bool retry = view_.AskRetry();
    asking_ = false;
    if (!running_)
        return;  // the port went away while the question was open
    if (retry) {
        retries_ = kTries;
        SendDownloadFrame();
    } else {
        Fail(QString(), true);
    }
}

void TDownload::PortLost()
{
    if (running_)
        Fail(QString::fromLatin1(kPortLostText), false);
}

void TDownload::DownloadStep()
{
    // States 4, 6, 8 and 10 wait for the answer to a write: anything but "0"
    // is a refusal.
    const bool afterWrite = state_ >= 4 && state_ % 2 == 0;
    if (afterWrite && !IsWriteAck()) {
        Fail(QString::fromLatin1(kNakText), true);
        return;
    }
    switch (state_) {
    case 0:
        frameLength_ = runtime::BuildStationQuery(frame_);
        expect_ = Expect::StationReply;
        Status(" Get Station Number..");
        state_ = mode_ == dmPortSetup ? 0 : 1;
        break;
    case 1:
        runtime::ParseStationReply(reply_, replyLength_, station_);
        packetNumber_ = 0;
        BuildMailboxRead(kMailboxWords);
        Status("Save PLC Data..");
        state_ = 2;
        break;
    case 2:
        for (uint16_t i = 0; i < kMailboxWords; ++i)
            saved_[i] = runtime::HexToWord(reply_ + 6 + 4 * i);
        packetNumber_ = 0;
        BuildMailboxRead(1);
        Status("Wait MZEL Ready..");
        state_ = 3;
        break;
    case 3:
        if (ReadMailboxWord() == (mode_ == dmFirmware ? mwFirmwareReady : mwMenuReady)) {
            packetNumber_ = 0;
            packetsBuilt_ = 0;
            BuildMailboxWrite(0);
            mailboxChanged_ = true;
            Status("Wait Erase Flash..");
            state_ = 4;
        }
        break;
    case 4:
    case 6:
        BuildMailboxRead(1);
        state_ = state_ == 4 ? 5 : 7;
        break;
    case 5:
        if (ReadMailboxWord() == mwTaken) {
            UpdateProgress();
            if (BuildMailboxWrite(0) != 0) {
                view_.ShowStatus(0, QStringLiteral(" Write packets %1").arg(packetsBuilt_));
                state_ = 4;
            } else {
                BuildMailboxFinish();
                Status(" Send Finish");
                state_ = 6;
            }
        }
        break;
    case 7:
        if (ReadMailboxWord() == mwTaken) {
            BuildMailboxWrite(1);
            Status("Restore PLC Data ..");
            state_ = 8;
        }
        break;
    case 8:
    case 10: FinishRestore(state_ == 8 ? "Download finished !" : "PLC restore finish !"); return;
    case 9:
        BuildMailboxWrite(1);
        Status("Restore PLC Data ..");
        state_ = 10;
        break;
    default: return;
    }
    // A state that built nothing sends the frame still in the buffer again.
    SendNewDownloadFrame();
}

uint16_t TDownload::BuildMailboxRead(uint16_t count)
{
    frameLength_ =
        runtime::BuildReadRegistersFrame(frame_, kFrameSize, station_, runtime::OpR, kMailboxRegister, count);
    expect_ = Expect::ReadReply;
    expectWords_ = count;
    return frameLength_;
}

uint16_t TDownload::BuildMailboxWrite(uint16_t restore)
{
    uint16_t words[kMailboxWords] = {};
    uint16_t count = 0;
    if (restore != 0) {
        saved_[0] = 0;
        std::copy(std::begin(saved_), std::end(saved_), words);
        count = kMailboxWords;
    } else {
        if (remaining_ == 0)
            return 0;
        const uint32_t size = uint32_t(file_.size());
        const uint32_t chunk = std::min<uint32_t>(remaining_, kPacketBytes);
        const auto *bytes = reinterpret_cast<const uint8_t *>(file_.constData()) + (size - remaining_);
        remaining_ -= chunk;
        const uint32_t percent = (size - remaining_) * 100 / size;
        words[0] = mwData;
        words[1] = packetNumber_++;
        words[2] = uint16_t(percent << 8 | chunk / 2);
        for (uint32_t i = 0; i < chunk; i += 2) {
            // An odd last byte fills the low half; the high half stays 0.
            const uint16_t high = i + 1 < chunk ? bytes[i + 1] : 0;
            words[3 + i / 2] = uint16_t(bytes[i] | high << 8);
        }
        count = uint16_t((chunk + 1) / 2 + 3);
        ++packetsBuilt_;
    }
    frameLength_ = runtime::BuildWriteRegistersFrame(frame_, kFrameSize, station_, runtime::OpR,
                                                     kMailboxRegister, words, count);
    expect_ = Expect::WriteReply;
    return frameLength_;
}

uint16_t TDownload::BuildMailboxFinish()
{
    const uint16_t word = mwFinish;
    frameLength_ = runtime::BuildWriteRegistersFrame(frame_, kFrameSize, station_, runtime::OpR,
                                                     kMailboxRegister, &word, 1);
    expect_ = Expect::WriteReply;
    return frameLength_;
}

void TDownload::SendDownloadFrame()
{
    if (doubt_) {
        // A reply to an earlier try may still be on its way: it must arrive
        // (and be dropped) before this frame goes out, or it would be taken
        // for this frame's reply.
        settling_ = true;
        settleBlocks_ = 0;
        gathering_ = false;
        clock_.Start(kSettleMs);
        return;
    }
    Transmit();
}

void TDownload::Transmit()
{
    // Whatever came in for an earlier frame is not paired with this one.
    port_.FlushInput();
    gathering_ = false;
    if (!port_.Write(frame_, frameLength_)) {
        PortLost();
        return;
    }
    clock_.Start(kReplyTimeoutMs);
}

void TDownload::SendNewDownloadFrame()
{
    retries_ = kTries;
    SendDownloadFrame();
}

void TDownload::StopDownload()
{
    clock_.Stop();
    port_.Stop();
    running_ = false;
    abortRequested_ = false;
    detecting_ = false;
    asking_ = false;
    settling_ = false;
    doubt_ = false;
    gathering_ = false;
    view_.TransferStopped();
}

void TDownload::Fail(const QString &message, bool canRestore)
{
    if (!message.isEmpty())
        messages_.append(message);
    if (canRestore && mailboxChanged_ && !Restoring()) {
        RestoreAfterQuiet();
        return;
    }
    StopDownload();
    if (mailboxChanged_)
        messages_.append(QString::fromLatin1(kNotRestoredText));
    ShowMessages();
}

void TDownload::FinishRestore(const char *status)
{
    mailboxChanged_ = false;
    StopDownload();
    Status(status);
    ShowMessages();
}

void TDownload::ShowMessages()
{
    const QStringList messages = std::exchange(messages_, {});
    for (const QString &message : messages)
        view_.ShowMessage(message);
}

// The restore is a write that may follow a write: it goes out only on a quiet
// line, so that no acknowledgement still on its way is taken for its own.
void TDownload::RestoreAfterQuiet()
{
    doubt_ = true;
    state_ = 9;
    DownloadStep();
}

void TDownload::BadReply()
{
    // The frame's own reply may still follow the one that was not taken.
    doubt_ = true;
    if (--retries_ == 0)
        Fail(QString::fromLatin1(kChecksumErrorText), true);
    else
        SendDownloadFrame();
}

// A reply is taken only when it answers the frame on the line completely:
// STX, ETX, checksum, station, echoed command, exact length and hex digits.
bool TDownload::ReplyValid() const
{
    if (replyOverflow_)
        return false;
    switch (expect_) {
    case Expect::StationReply: {
        char station[2];
        return runtime::ParseStationReply(reply_, replyLength_, station) == runtime::ReplyOk;
    }
    case Expect::ReadReply:
        return runtime::CheckReplyFrame(reply_, replyLength_, station_, "46") == runtime::ReplyOk
            && replyLength_ == runtime::kReplyOverhead + 4 * expectWords_ && reply_[5] == '0'
            && runtime::IsHexText(reply_ + 6, uint16_t(4 * expectWords_));
    case Expect::WriteReply:
        return runtime::CheckReplyFrame(reply_, replyLength_, station_, "47") == runtime::ReplyOk
            && replyLength_ == runtime::kReplyOverhead;
    }
    return false;
}

uint16_t TDownload::ReadMailboxWord() const
{
    return runtime::HexToWord(reply_ + 6);
}

bool TDownload::IsWriteAck() const
{
    return reply_[5] == '0';
}

void TDownload::UpdateProgress()
{
    const uint32_t size = uint32_t(file_.size());
    view_.ShowProgress(int(100 - uint64_t(remaining_) * 100 / size));
}

void TDownload::Status(const char *text)
{
    view_.ShowStatus(0, QString::fromLatin1(text));
}
