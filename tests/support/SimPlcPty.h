// The simulated PLC on one end of a pseudo-terminal, served by its own thread.
//
// Start() opens a pty pair with openpty, puts the line into raw mode (no echo, no
// canonical processing, 8 data bits: a pty cannot carry 7 data bits with even parity,
// see design.md, so neither end depends on it) and starts a thread that reads request
// bytes from the PLC's end, cuts them into frames (from STX to ETX, anything else
// skipped), hands each frame to SimPlc::Handle and writes the reply, with the fault
// switches' delays, splits and hang-up. A late reply (Fault::Late) is held back and
// written when its time has come, between other replies, so that they may overtake it.
//
// SetPacing gives the line a speed: each reply is written only when the request and
// the reply would have crossed a real line at that rate (10 bits a character), plus
// the PLC's answer time, counted from the request's arrival.
//
// Which end the PLC takes:
// - PlcEnd::Master (default): the code under test opens SlavePath() like a serial
//   port (TComm does this). The PLC keeps its own copy of the slave open (PeerFd) so
//   the master never sees a hang-up between the port's opens; ReleasePeer() closes it.
// - PlcEnd::Slave: the test talks on the master side, PeerFd(), with plain reads and writes.
//
// HangUp() (or a Fault::HangUp) closes the PLC's end: the other side then reads EOF or
// EIO. Stop() (also run by the destructor) joins the thread and closes every descriptor.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SimPlc.h"

namespace simplc {

class SimPlcPty {
public:
    enum class PlcEnd { Master, Slave };

    explicit SimPlcPty(SimPlc &plc, PlcEnd plcEnd = PlcEnd::Master);
    ~SimPlcPty();
    SimPlcPty(const SimPlcPty &) = delete;
    SimPlcPty &operator=(const SimPlcPty &) = delete;

    // Opens the pair and starts the thread; false (with errno kept) when that fails.
    bool Start();
    void Stop();

    // The other end's descriptor (-1 once released or stopped), and the slave's path.
    int PeerFd() const { return peerFd_; }
    const std::string &SlavePath() const { return slavePath_; }
    // Closes the PLC's copy of the peer end (PlcEnd::Master only).
    void ReleasePeer();

    // Closes the PLC's end now, from any thread; returns when it is closed.
    void HangUp();
    bool HungUp() const { return hungUp_.load(); }
    // Frames taken from the line so far.
    std::size_t FramesReceived() const { return framesReceived_.load(); }
    // Bytes of the frames taken, and bytes written back (replies, noise).
    std::size_t BytesReceived() const { return bytesReceived_.load(); }
    std::size_t BytesSent() const { return bytesSent_.load(); }

    // Line speed in baud (0: no line time) and the PLC's answer time (both 0 by default).
    void SetPacing(std::uint32_t baud, int answerMicros);

private:
    using Clock = std::chrono::steady_clock;
    struct Held {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    void Run();
    // Waits until the deadline or until Stop/HangUp; false when woken. With release,
    // held replies that fall due meanwhile are written.
    bool WaitUntil(Clock::time_point deadline, bool release);
    bool Wait(int ms, bool release)
    {
        return WaitUntil(Clock::now() + std::chrono::milliseconds(ms), release);
    }
    void ReleaseDue();
    // The earliest of limit and the times the held replies fall due.
    Clock::time_point NextDue(Clock::time_point limit) const;
    bool WriteAll(const std::uint8_t *bytes, std::size_t length);
    void CloseOwnEnd();

    SimPlc &plc_;
    PlcEnd plcEnd_;
    int masterFd_ = -1;
    int slaveFd_ = -1;
    int plcFd_ = -1;
    int peerFd_ = -1;
    int wakeFd_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hangUpRequested_{false};
    std::atomic<bool> hungUp_{false};
    std::atomic<std::size_t> framesReceived_{0};
    std::atomic<std::size_t> bytesReceived_{0};
    std::atomic<std::size_t> bytesSent_{0};
    std::atomic<std::uint32_t> baud_{0};
    std::atomic<int> answerMicros_{0};
    std::vector<Held> held_;  // the thread's own
    std::mutex closeMutex_;
};

}  // namespace simplc
