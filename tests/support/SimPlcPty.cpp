#include "SimPlcPty.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <vector>

namespace simplc {

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
// Bytes of an unfinished frame kept at most; a longer run without ETX is noise.
constexpr std::size_t kMaxPending = 4096;

void CloseFd(int &fd)
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

SimPlcPty::SimPlcPty(SimPlc &plc, PlcEnd plcEnd) : plc_(plc), plcEnd_(plcEnd)
{
}

SimPlcPty::~SimPlcPty()
{
    Stop();
}

bool SimPlcPty::Start()
{
    if (thread_.joinable()) {
        return true;
    }
    char name[256] = {};
    if (::openpty(&masterFd_, &slaveFd_, name, nullptr, nullptr) != 0) {
        return false;
    }
    slavePath_ = name;
    termios tio{};
    if (::tcgetattr(slaveFd_, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        ::tcsetattr(slaveFd_, TCSANOW, &tio);
    }
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        int e = errno;
        CloseFd(masterFd_);
        CloseFd(slaveFd_);
        errno = e;
        return false;
    }
    if (plcEnd_ == PlcEnd::Master) {
        plcFd_ = masterFd_;
        peerFd_ = slaveFd_;
    } else {
        plcFd_ = slaveFd_;
        peerFd_ = masterFd_;
    }
    masterFd_ = slaveFd_ = -1;
    stop_ = false;
    hangUpRequested_ = false;
    hungUp_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SimPlcPty::Stop()
{
    if (thread_.joinable()) {
        stop_ = true;
        std::uint64_t one = 1;
        ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
        (void)ignored;
        thread_.join();
    }
    CloseOwnEnd();
    CloseFd(peerFd_);
    CloseFd(wakeFd_);
}

void SimPlcPty::ReleasePeer()
{
    if (plcEnd_ == PlcEnd::Master) {
        CloseFd(peerFd_);
    }
}

void SimPlcPty::HangUp()
{
    if (!thread_.joinable()) {
        hungUp_ = true;
        CloseOwnEnd();
        return;
    }
    hangUpRequested_ = true;
    std::uint64_t one = 1;
    ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    (void)ignored;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        {
            std::lock_guard<std::mutex> lock(closeMutex_);
            if (plcFd_ < 0) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void SimPlcPty::CloseOwnEnd()
{
    std::lock_guard<std::mutex> lock(closeMutex_);
    CloseFd(plcFd_);
}

void SimPlcPty::SetPacing(std::uint32_t baud, int answerMicros)
{
    baud_ = baud;
    answerMicros_ = answerMicros;
}

void SimPlcPty::ReleaseDue()
{
    const auto now = Clock::now();
    for (auto it = held_.begin(); it != held_.end();) {
        if (it->due > now) {
            ++it;
            continue;
        }
        const std::vector<std::uint8_t> bytes = std::move(it->bytes);
        it = held_.erase(it);
        WriteAll(bytes.data(), bytes.size());
    }
}

SimPlcPty::Clock::time_point SimPlcPty::NextDue(Clock::time_point limit) const
{
    for (const Held &h : held_) {
        limit = std::min(limit, h.due);
    }
    return limit;
}

bool SimPlcPty::WaitUntil(Clock::time_point deadline, bool release)
{
    for (;;) {
        if (stop_.load() || hangUpRequested_.load()) {
            return false;
        }
        if (release) {
            ReleaseDue();
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return true;
        }
        const auto wake = release ? NextDue(deadline) : deadline;
        const auto left =
            std::max<long long>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count());
        const timespec ts{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
        pollfd p{wakeFd_, POLLIN, 0};
        ::ppoll(&p, 1, &ts, nullptr);
        if (p.revents & POLLIN) {
            std::uint64_t v;
            ssize_t ignored = ::read(wakeFd_, &v, sizeof v);
            (void)ignored;
        }
    }
}

bool SimPlcPty::WriteAll(const std::uint8_t *bytes, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(plcFd_, bytes + done, length - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                if (!Wait(1, false)) {
                    return false;
                }
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
        bytesSent_ += static_cast<std::size_t>(n);
    }
    return true;
}

void SimPlcPty::Run()
{
    // The line's pacing wants its sleeps to end on time, not up to 50 us late.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::vector<std::uint8_t> pending;
    std::uint8_t buffer[512];
    while (!stop_.load()) {
        if (hangUpRequested_.load()) {
            hungUp_ = true;  // set first: the peer may see the close at once
            CloseOwnEnd();
            return;
        }
        ReleaseDue();
        // Sleep until a request comes, or until the next held reply is due.
        int timeout = -1;
        if (!held_.empty()) {
            const auto next = NextDue(held_.front().due);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left + 1, 0, 60000));
        }
        pollfd fds[2] = {{plcFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int ready = ::poll(fds, 2, timeout);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t v;
            ssize_t ignored = ::read(wakeFd_, &v, sizeof v);
            (void)ignored;
            continue;
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            continue;
        }
        ssize_t n = ::read(plcFd_, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            // The other side is closed for now (EOF or EIO): wait for it to come back.
            if (!Wait(10, true)) {
                continue;
            }
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) {
            pending.push_back(static_cast<std::uint8_t>(buffer[i] & 0x7F));
        }
        // Cut frames: from an STX to the next ETX; a new STX restarts the frame.
        for (;;) {
            auto stx = std::find(pending.begin(), pending.end(), kStx);
            pending.erase(pending.begin(), stx);
            if (pending.empty()) {
                break;
            }
            auto restart = std::find(pending.begin() + 1, pending.end(), kStx);
            auto etx = std::find(pending.begin() + 1, pending.end(), kEtx);
            if (restart < etx) {
                pending.erase(pending.begin(), restart);
                continue;
            }
            if (etx == pending.end()) {
                if (pending.size() > kMaxPending) {
                    pending.clear();
                }
                break;
            }
            std::vector<std::uint8_t> frame(pending.begin(), etx + 1);
            pending.erase(pending.begin(), etx + 1);
            const auto arrival = Clock::now();
            ++framesReceived_;
            bytesReceived_ += frame.size();
            Reply reply = plc_.Handle(frame);
            if (reply.hangUp) {
                hungUp_ = true;
                CloseOwnEnd();
                return;
            }
            if (reply.late) {
                Held held{arrival + std::chrono::milliseconds(reply.delayMs), {}};
                for (const auto &block : reply.blocks) {
                    held.bytes.insert(held.bytes.end(), block.begin(), block.end());
                }
                held_.push_back(std::move(held));
                continue;
            }
            if (!reply.blocks.empty()) {
                std::size_t characters = frame.size();
                for (const auto &block : reply.blocks) {
                    characters += block.size();
                }
                const std::uint32_t baud = baud_.load();
                const auto due = arrival + std::chrono::microseconds(answerMicros_.load())
                    + std::chrono::microseconds(baud > 0 ? characters * 10'000'000 / baud : 0);
                if (due > arrival && !WaitUntil(due, true)) {
                    break;
                }
            }
            if (reply.delayMs > 0 && !Wait(reply.delayMs, true)) {
                break;
            }
            for (std::size_t b = 0; b < reply.blocks.size(); ++b) {
                // No held reply goes out between the pieces of this one.
                if (b > 0 && reply.gapMs > 0 && !Wait(reply.gapMs, false)) {
                    break;
                }
                if (!WriteAll(reply.blocks[b].data(), reply.blocks[b].size())) {
                    break;
                }
            }
        }
    }
}

}  // namespace simplc
