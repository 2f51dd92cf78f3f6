#include "SerialPort.h"

#include "SerialPortPosix.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

// How often the reader looks at the modem lines of a port that has them.
constexpr int kModemWatchMs = 100;

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

const char kTimeoutsRefused[] = "Cannot setup comm timeouts";

// What the port refused: the line settings asked for.
std::string LineStateRefused(const TCommLineState &line)
{
    static const char *const kParity[] = {"no", "odd", "even", "mark", "space"};
    static const char *const kStopBits[] = {"1 stop bit", "1.5 stop bits", "2 stop bits"};
    return "Cannot setup comm state: the port does not take " + std::to_string(line.BaudRate) + " baud, "
        + std::to_string(static_cast<int>(line.ByteSize) + 5) + " data bits, "
        + kParity[static_cast<int>(line.Parity) % 5] + " parity, "
        + kStopBits[static_cast<int>(line.StopBits) % 3];
}

}  // namespace

TComm::TComm(QObject *owner, std::unique_ptr<TCommBackend> backend)
    : QObject(owner), backend_(backend ? std::move(backend) : std::make_unique<TPosixCommBackend>())
{
    PublishTimeouts();
}

TComm::~TComm()
{
    StopComm();
}

void TComm::CloseAfterFailure(const std::string &message)
{
    backend_->Close();
    throw ECommsError(message);
}

void TComm::StartComm()
{
    if (open_)
        throw ECommsError("This serial port already opened");
    switch (backend_->Open(commName_)) {
    case TCommBackend::OpenResult::Ok: break;
    case TCommBackend::OpenResult::OpenFailed: throw ECommsError("Error opening serial port");
    case TCommBackend::OpenResult::NotComm: throw ECommsError("File handle is not a comm handle ");
    }
    if (!backend_->SetupBuffers(kQueueSize, kQueueSize))
        CloseAfterFailure("Cannot setup comm buffer");
    backend_->Purge(true, true);
    sendDataEmpty_ = true;
    if (!backend_->ApplyTimeouts(timeouts_))
        CloseAfterFailure(kTimeoutsRefused);
    if (!backend_->ApplyLineState(line_))
        CloseAfterFailure(LineStateRefused(line_));
    if (!backend_->CreateWakeEvent())
        CloseAfterFailure("Unable to create event");

    const uint32_t session = ++session_;
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = false;
        writeQueue_.clear();
    }
    try {
        reader_ = std::thread(&TComm::ReadLoop, this, session);
    } catch (const std::system_error &) {
        CloseAfterFailure("Unable to create read thread");
    }
    try {
        writerAlive_ = true;
        writer_ = std::thread(&TComm::WriteLoop, this, session);
    } catch (const std::system_error &) {
        writerAlive_ = false;
        backend_->Wake();
        reader_.join();
        CloseAfterFailure("Unable to create write thread");
    }
    open_ = true;
}

void TComm::StopComm()
{
    if (!open_)
        return;
    backend_->Wake();
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    queueWake_.notify_all();
    backend_->Purge(true, false);
    if (reader_.joinable())
        reader_.join();
    backend_->Purge(false, true);
    sendDataEmpty_ = true;
    if (writer_.joinable())
        writer_.join();
    {
        std::lock_guard lock(queueMutex_);
        writeQueue_.clear();
    }
    {
        std::lock_guard lock(eventMutex_);
        events_.clear();
    }
    backend_->Close();
    open_ = false;
}

bool TComm::WriteCommData(const char *buffer, uint16_t length)
{
    if (!open_ || !writerAlive_ || length == 0 || buffer == nullptr)
        return false;
    const auto *bytes = reinterpret_cast<const uint8_t *>(buffer);
    {
        std::lock_guard lock(queueMutex_);
        writeQueue_.emplace_back(bytes, bytes + length);
        sendDataEmpty_ = false;
    }
    queueWake_.notify_one();
    return true;
}

uint32_t TComm::GetModemState()
{
    return open_ ? backend_->ModemStatus() : 0;
}

void TComm::PurgeInput()
{
    if (!open_)
        return;
    // Flush first, then renumber: bytes the reader took before the flush carry
    // the old number and are dropped.
    backend_->Purge(true, false);
    ++inputGeneration_;
}

void TComm::SetLineState(const TCommLineState &state)
{
    if (line_ == state)
        return;
    line_ = state;
    PublishLine();
}

void TComm::SetTimeouts(const TCommTimeouts &timeouts)
{
    if (timeouts_ == timeouts)
        return;
    timeouts_ = timeouts;
    PublishTimeouts();
}

void TComm::PublishLine()
{
    rtsToggle_ = line_.RtsControl == RtsTransmissionAvailable;
    if (open_ && !backend_->ApplyLineState(line_))
        throw ECommsError(LineStateRefused(line_));
}

void TComm::PublishTimeouts()
{
    readInterval_ = timeouts_.ReadIntervalTimeout;
    readTotalMultiplier_ = timeouts_.ReadTotalTimeoutMultiplier;
    readTotalConstant_ = timeouts_.ReadTotalTimeoutConstant;
    writeTotalMultiplier_ = timeouts_.WriteTotalTimeoutMultiplier;
    writeTotalConstant_ = timeouts_.WriteTotalTimeoutConstant;
    if (open_ && !backend_->ApplyTimeouts(timeouts_))
        throw ECommsError(kTimeoutsRefused);
}

// Reader: collects received bytes into blocks of at most kReadBlockSize. A
// block ends when the line has been quiet for the interval time-out after its
// last byte, when the read total (counted from its first byte) has passed, or,
// with frame reading, right after a frame end byte.
void TComm::ReadLoop(uint32_t session)
{
    uint8_t block[kReadBlockSize];
    size_t have = 0;
    uint32_t generation = 0;
    Clock::time_point firstByte, lastByte;
    const bool watchModem = backend_->HasModemLines();
    uint32_t modem = watchModem ? backend_->ModemStatus() : 0;

    const auto deliver = [&] {
        if (have > 0)
            PostBlock(session, generation, block, have);
        have = 0;
    };

    for (;;) {
        const uint32_t interval = readInterval_;
        const uint64_t total = uint64_t(readTotalMultiplier_) * kReadBlockSize + readTotalConstant_;
        int timeout = -1;
        if (have > 0) {
            timeout = MillisecondsUntil(lastByte + std::chrono::milliseconds(interval));
            if (total > 0)
                timeout = std::min(timeout, MillisecondsUntil(firstByte + std::chrono::milliseconds(total)));
        }
        if (watchModem)
            timeout = timeout < 0 ? kModemWatchMs : std::min(timeout, kModemWatchMs);

        const auto wait = backend_->WaitReadable(timeout);
        if (wait == TCommBackend::WaitResult::Woken)
            break;
        if (wait == TCommBackend::WaitResult::Hangup) {
            deliver();
            Post({Event::Hangup, session, 0, {}});
            break;
        }
        if (wait == TCommBackend::WaitResult::Ready) {
            const uint32_t current = inputGeneration_;
            const auto read = backend_->Read(block + have, kReadBlockSize - have);
            if (read.Status == TCommBackend::IoStatus::Vanished
                || read.Status == TCommBackend::IoStatus::Error) {
                deliver();
                Post({Event::Hangup, session, 0, {}});
                break;
            }
            if (const uint32_t errors = backend_->TakeLineErrors())
                Post({Event::Error, session, errors, {}});
            if (read.Status == TCommBackend::IoStatus::Data && read.Count > 0) {
                // Input purged while this block was being collected: what came
                // before the purge is dropped.
                if (have > 0 && current != generation) {
                    std::copy_n(block + have, read.Count, block);
                    have = 0;
                }
                if (have == 0) {
                    generation = current;
                    firstByte = Clock::now();
                    Post({Event::Modem, session, EV_RXCHAR, {}});
                }
                const size_t fresh = have;
                have += read.Count;
                lastByte = Clock::now();
                if (const int end = frameEnd_; end >= 0) {
                    // Every frame end closes a block; what follows the last
                    // one starts the next block.
                    size_t start = 0;
                    for (size_t i = fresh; i < have; ++i) {
                        if (block[i] == end) {
                            PostBlock(session, generation, block + start, i + 1 - start);
                            start = i + 1;
                        }
                    }
                    if (start > 0) {
                        std::copy(block + start, block + have, block);
                        have -= start;
                        firstByte = lastByte;
                    }
                }
                if (have == kReadBlockSize || interval == 0)
                    deliver();
            }
        }
        if (watchModem) {
            const uint32_t now = backend_->ModemStatus();
            uint32_t bits = 0;
            if ((now ^ modem) & MS_RLSD_ON)
                bits |= EV_RLSD;
            if (now & ~modem & MS_RING_ON)
                bits |= EV_RING;
            modem = now;
            if (bits != 0)
                Post({Event::Modem, session, bits, {}});
        }
        if (have > 0) {
            const auto now = Clock::now();
            if (now >= lastByte + std::chrono::milliseconds(interval)
                || (total > 0 && now >= firstByte + std::chrono::milliseconds(total)))
                deliver();
        }
    }
    backend_->Purge(true, false);
}

// Writer: writes the queued copies in order; when the queue runs empty after
// a write (and once at the start) it raises OnSendDataEmpty.
void TComm::WriteLoop(uint32_t session)
{
    bool notify = true;
    for (;;) {
        std::vector<uint8_t> data;
        {
            std::unique_lock lock(queueMutex_);
            if (stopping_)
                break;
            if (writeQueue_.empty()) {
                sendDataEmpty_ = true;
                if (notify) {
                    notify = false;
                    Post({Event::SendEmpty, session, 0, {}});
                }
                queueWake_.wait(lock, [this] { return stopping_ || !writeQueue_.empty(); });
                continue;
            }
            data = std::move(writeQueue_.front());
            writeQueue_.pop_front();
        }
        if (!WriteAll(data, session))
            break;
        notify = true;
    }
    writerAlive_ = false;
    backend_->Purge(false, true);
    sendDataEmpty_ = true;
}

bool TComm::WriteAll(const std::vector<uint8_t> &data, uint32_t session)
{
    const uint64_t total = uint64_t(writeTotalMultiplier_) * data.size() + writeTotalConstant_;
    const auto deadline = Clock::now() + std::chrono::milliseconds(total);
    const bool toggle = rtsToggle_;
    if (toggle)
        backend_->SetRts(true);
    size_t done = 0;
    while (done < data.size()) {
        const auto written = backend_->Write(data.data() + done, data.size() - done);
        if (written.Status == TCommBackend::IoStatus::Data && written.Count > 0) {
            done += written.Count;
            continue;
        }
        if (written.Status == TCommBackend::IoStatus::Vanished
            || written.Status == TCommBackend::IoStatus::Error) {
            Post({Event::Hangup, session, 0, {}});
            return false;
        }
        const auto wait = backend_->WaitWritable(total > 0 ? MillisecondsUntil(deadline) : -1);
        if (wait == TCommBackend::WaitResult::Woken)
            return false;
        if (wait != TCommBackend::WaitResult::Ready) {
            // Gone, or not written within the write total time-out.
            Post({Event::Hangup, session, 0, {}});
            return false;
        }
    }
    if (toggle) {
        // RTS stays up until the last byte has left the driver.
        std::unique_lock lock(queueMutex_);
        while (!stopping_ && backend_->OutputPending() > 0)
            queueWake_.wait_for(lock, std::chrono::milliseconds(1));
        backend_->SetRts(false);
    }
    return true;
}

void TComm::Post(Event event)
{
    {
        std::lock_guard lock(eventMutex_);
        events_.push_back(std::move(event));
    }
    QMetaObject::invokeMethod(this, "DeliverEvent", Qt::QueuedConnection);
}

void TComm::PostBlock(uint32_t session, uint32_t generation, const uint8_t *data, size_t size)
{
    std::vector<char> bytes(data, data + size);
    bytes.push_back('\0');
    Post({Event::Data, session, generation, std::move(bytes)});
}

void TComm::DeliverEvent()
{
    Event event;
    {
        std::lock_guard lock(eventMutex_);
        if (events_.empty())
            return;
        event = std::move(events_.front());
        events_.pop_front();
    }
    if (!Current(event.session))
        return;
    // The handler is copied: it may replace itself or stop the port.
    switch (event.kind) {
    case Event::Data:
        if (event.value != inputGeneration_)
            return;  // purged after it was read
        if (const auto handler = OnReceiveData)
            handler(this, event.bytes.data(), static_cast<uint16_t>(event.bytes.size() - 1));
        break;
    case Event::Error:
        if (const auto handler = OnReceiveError)
            handler(this, event.value);
        break;
    case Event::Modem:
        if (const auto handler = OnModemStateChange)
            handler(this, event.value);
        break;
    case Event::Hangup:
        if (const auto handler = OnRequestHangup)
            handler(this);
        break;
    case Event::SendEmpty:
        if (const auto handler = OnSendDataEmpty)
            handler(this);
        break;
    }
}
