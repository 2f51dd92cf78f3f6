#include "SimPlcLink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

#include "PlcLink.h"

namespace simplc {

namespace {

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SimPlcLinkPump *SimPlcLinkPump::active_ = nullptr;

SimPlcLinkPump::SimPlcLinkPump(SimPlc &plc, int timeoutMs) : plc_(plc), timeoutMs_(timeoutMs)
{
    active_ = this;
    runtime::SendFrameHook = &SimPlcLinkPump::SendHook;
}

SimPlcLinkPump::~SimPlcLinkPump()
{
    if (active_ == this) {
        active_ = nullptr;
        runtime::SendFrameHook = nullptr;
    }
}

void SimPlcLinkPump::SendHook(const std::uint8_t *bytes, std::uint16_t length)
{
    if (active_ == nullptr) {
        return;
    }
    std::vector<std::uint8_t> frame(bytes, bytes + length);
    active_->sent_.push_back(frame);
    active_->pending_.push_back(std::move(frame));
}

int SimPlcLinkPump::Step()
{
    if (hungUp_ || pending_.empty()) {
        runtime::LinkReceive(nullptr, 0);
        return 0;
    }
    std::vector<std::uint8_t> frame = std::move(pending_.front());
    pending_.pop_front();
    Reply reply = plc_.Handle(frame);
    if (reply.hangUp) {
        hungUp_ = true;
    }
    if (reply.hangUp || reply.blocks.empty() || reply.delayMs >= timeoutMs_) {
        runtime::LinkReceive(nullptr, 0);
        return 0;
    }
    for (const std::vector<std::uint8_t> &block : reply.blocks) {
        runtime::LinkReceive(block.data(), static_cast<std::uint16_t>(block.size()));
    }
    return static_cast<int>(reply.blocks.size());
}

void SimPlcLinkPump::Run(int steps)
{
    for (int i = 0; i < steps; ++i) {
        Step();
    }
}

bool SimPlcLinkPump::RunUntil(const std::function<bool()> &pred, int maxSteps)
{
    for (int i = 0; i < maxSteps && !pred(); ++i) {
        Step();
    }
    return pred();
}

std::string SimPlcLinkPump::LastSent() const
{
    if (sent_.empty()) {
        return {};
    }
    return std::string(sent_.back().begin(), sent_.back().end());
}

PtyLinkDriver *PtyLinkDriver::active_ = nullptr;

PtyLinkDriver::PtyLinkDriver(int fd, int timeoutMs, int gapMs) : fd_(fd), timeoutMs_(timeoutMs), gapMs_(gapMs)
{
    active_ = this;
    runtime::SendFrameHook = &PtyLinkDriver::SendHook;
    lastSendMs_ = NowMs();
}

PtyLinkDriver::~PtyLinkDriver()
{
    if (active_ == this) {
        active_ = nullptr;
        runtime::SendFrameHook = nullptr;
    }
}

void PtyLinkDriver::SendHook(const std::uint8_t *bytes, std::uint16_t length)
{
    PtyLinkDriver *self = active_;
    if (self == nullptr || self->hungUp_) {
        return;
    }
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(self->fd_, bytes + done, length - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            self->hungUp_ = true;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
    ++self->framesSent_;
    self->lastSendMs_ = NowMs();
}

bool PtyLinkDriver::RunUntil(const std::function<bool()> &pred, int maxMs)
{
    const long long end = NowMs() + maxMs;
    while (!pred() && !hungUp_) {
        long long now = NowMs();
        if (now >= end) {
            break;
        }
        long long wait = lastSendMs_ + timeoutMs_ - now;
        if (wait <= 0) {
            // The reply timer fired: the link's time-out entry; the timer runs on.
            ++timeouts_;
            lastSendMs_ = now;
            runtime::LinkReceive(nullptr, 0);
            continue;
        }
        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(std::min(wait, end - now)));
        if (ready <= 0) {
            continue;
        }
        std::vector<std::uint8_t> block;
        std::uint8_t buffer[2048];
        for (;;) {
            ssize_t n = ::read(fd_, buffer, sizeof buffer - block.size());
            if (n <= 0) {
                if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                    continue;
                }
                hungUp_ = true;
                break;
            }
            block.insert(block.end(), buffer, buffer + n);
            if (block.size() >= sizeof buffer) {
                break;
            }
            pollfd q{fd_, POLLIN, 0};
            if (::poll(&q, 1, gapMs_) <= 0) {
                break;
            }
        }
        if (!block.empty()) {
            ++blocks_;
            runtime::LinkReceive(block.data(), static_cast<std::uint16_t>(block.size()));
        }
    }
    return pred();
}

}  // namespace simplc
