// The panel behind the download mailbox, for tests: it watches the requests a
// SimPlc serves and answers through R3000 as a panel on the PLC would.
//
// - Armed, it counts the single-word reads of R3000; after ReadyAfterPolls of
//   them it writes its ready word (0x5245 for a menu image, 0x5250 for
//   firmware) into R3000.
// - A "47" write to R3000 whose first word is 0x4441 is a packet: word 1 its
//   number, word 2 the progress (high byte) and half its byte count (low
//   byte), then the bytes two to a word, low half first. The panel keeps the
//   bytes and, after BusyPolls further reads, writes 0x4143 into R3000. A
//   packet sent again (same number as the last one) is acknowledged again but
//   not kept twice; any other number is a protocol fault, and so is the next
//   packet written before the panel acknowledged the last one.
// - 0x4649 ends the image: the panel acknowledges with 0x4143 (again when it
//   is sent again) and is finished; written before the last packet was
//   acknowledged it is a protocol fault.
// - Any other first word (the restore writes 0) leaves the panel idle.
#pragma once

#include "SimPlc.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace simplc {

class SimPanelMailbox {
public:
    enum class Mode { Menu, Firmware };

    SimPanelMailbox(SimPlc &plc, Mode mode = Mode::Menu);
    ~SimPanelMailbox();
    SimPanelMailbox(const SimPanelMailbox &) = delete;
    SimPanelMailbox &operator=(const SimPanelMailbox &) = delete;

    void SetReadyAfterPolls(int polls);
    void SetBusyPolls(int polls);

    std::vector<std::uint8_t> Image() const;
    std::vector<std::uint16_t> PacketNumbers() const;  // as received, duplicates included
    std::vector<std::uint16_t> ProgressWords() const;  // word 2 of each packet taken
    bool Ready() const;
    bool Finished() const;
    // The first protocol fault seen; empty when none.
    std::string Problem() const;

private:
    enum class State { Armed, Receiving, Busy, Finished, Idle };
    void Observe(SimPlc &plc, const Request &request);
    void TakePacket(SimPlc &plc, const std::vector<std::uint16_t> &words);
    void Fault(const std::string &text);

    SimPlc &plc_;
    Mode mode_;
    mutable std::mutex mutex_;
    State state_ = State::Armed;
    int busyPolls_ = 0;
    int pollsLeft_ = 2;
    std::uint16_t expected_ = 0;
    std::vector<std::uint8_t> image_;
    std::vector<std::uint16_t> numbers_;
    std::vector<std::uint16_t> progress_;
    std::string problem_;
};

}  // namespace simplc
