// Drives the runtime's PLC link (runtime/PlcLink.h) against the simulated PLC.
//
// SimPlcLinkPump: in-process, frame by frame, no timing. It installs SendFrameHook;
// Step() lets the PLC answer the oldest frame the link has sent and hands the reply to
// LinkReceive (a time-out when the PLC sends nothing). A reply delayed by at least the
// time-out counts as lost (use the pseudo-terminal for real timing).
//
// PtyLinkDriver: over a real descriptor (the master side of a SimPlcPty started with
// PlcEnd::Slave, or any port-like descriptor). SendFrameHook writes the frame; the
// driver reads each block (bytes until a gap of gapMs) and hands it to LinkReceive,
// and calls LinkReceive (null, 0) when timeoutMs pass after a send without a reply,
// again every timeoutMs, as the simulator window's 300 ms timer does.
//
// Only one pump or driver may be active at a time (SendFrameHook is one pointer).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "SimPlc.h"

namespace simplc {

class SimPlcLinkPump {
public:
    explicit SimPlcLinkPump(SimPlc &plc, int timeoutMs = 300);
    ~SimPlcLinkPump();
    SimPlcLinkPump(const SimPlcLinkPump &) = delete;
    SimPlcLinkPump &operator=(const SimPlcLinkPump &) = delete;

    // One exchange; returns the number of blocks handed to LinkReceive (0: a time-out).
    int Step();
    void Run(int steps);
    // Steps until pred() holds, at most maxSteps; returns pred().
    bool RunUntil(const std::function<bool()> &pred, int maxSteps);

    // Every frame the link sent, in order, and the last one as text.
    const std::vector<std::vector<std::uint8_t>> &Sent() const { return sent_; }
    std::string LastSent() const;
    std::size_t Unanswered() const { return pending_.size(); }
    bool HungUp() const { return hungUp_; }

private:
    static void SendHook(const std::uint8_t *bytes, std::uint16_t length);
    static SimPlcLinkPump *active_;

    SimPlc &plc_;
    int timeoutMs_;
    std::deque<std::vector<std::uint8_t>> pending_;
    std::vector<std::vector<std::uint8_t>> sent_;
    bool hungUp_ = false;
};

class PtyLinkDriver {
public:
    explicit PtyLinkDriver(int fd, int timeoutMs = 300, int gapMs = 10);
    ~PtyLinkDriver();
    PtyLinkDriver(const PtyLinkDriver &) = delete;
    PtyLinkDriver &operator=(const PtyLinkDriver &) = delete;

    // Runs the exchange until pred() holds (checked after every block or time-out), the
    // line hangs up, or maxMs pass; returns pred().
    bool RunUntil(const std::function<bool()> &pred, int maxMs);

    bool HungUp() const { return hungUp_; }
    std::size_t BlocksDelivered() const { return blocks_; }
    std::size_t Timeouts() const { return timeouts_; }
    std::size_t FramesSent() const { return framesSent_; }

private:
    static void SendHook(const std::uint8_t *bytes, std::uint16_t length);
    static PtyLinkDriver *active_;

    int fd_;
    int timeoutMs_;
    int gapMs_;
    bool hungUp_ = false;
    std::size_t blocks_ = 0;
    std::size_t timeouts_ = 0;
    std::size_t framesSent_ = 0;
    long long lastSendMs_ = 0;
};

}  // namespace simplc
