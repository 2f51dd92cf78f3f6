#include "SimPanelMailbox.h"

#include <cctype>

namespace simplc {

namespace {

constexpr std::uint16_t kMailbox = 3000;
constexpr std::uint16_t kWords = 35;
constexpr std::uint16_t kData = 0x4441;
constexpr std::uint16_t kTaken = 0x4143;
constexpr std::uint16_t kFinish = 0x4649;

// Count and first register of a "46" or "47" request: STX, station, command,
// count as two hex digits, "R03000"...
bool MailboxRequest(const Request &request, std::uint16_t &count)
{
    if (!request.checksumOk || request.frame.size() < 13 || request.frame.compare(7, 6, "R03000") != 0
        || !std::isxdigit(static_cast<unsigned char>(request.frame[5]))
        || !std::isxdigit(static_cast<unsigned char>(request.frame[6])))
        return false;
    count = static_cast<std::uint16_t>(std::stoul(request.frame.substr(5, 2), nullptr, 16));
    return count >= 1 && count <= kWords;
}

}  // namespace

SimPanelMailbox::SimPanelMailbox(SimPlc &plc, Mode mode) : plc_(plc), mode_(mode)
{
    plc_.SetObserver([this](SimPlc &p, const Request &r) { Observe(p, r); });
}

SimPanelMailbox::~SimPanelMailbox()
{
    plc_.SetObserver(nullptr);
}

void SimPanelMailbox::SetReadyAfterPolls(int polls)
{
    std::lock_guard lock(mutex_);
    // The panel looks at R3000 when it is read: at the earliest on the first read.
    pollsLeft_ = polls < 1 ? 1 : polls;
}

void SimPanelMailbox::SetBusyPolls(int polls)
{
    std::lock_guard lock(mutex_);
    busyPolls_ = polls;
}

std::vector<std::uint8_t> SimPanelMailbox::Image() const
{
    std::lock_guard lock(mutex_);
    return image_;
}

std::vector<std::uint16_t> SimPanelMailbox::PacketNumbers() const
{
    std::lock_guard lock(mutex_);
    return numbers_;
}

std::vector<std::uint16_t> SimPanelMailbox::ProgressWords() const
{
    std::lock_guard lock(mutex_);
    return progress_;
}

bool SimPanelMailbox::Ready() const
{
    std::lock_guard lock(mutex_);
    return state_ != State::Armed;
}

bool SimPanelMailbox::Finished() const
{
    std::lock_guard lock(mutex_);
    return state_ == State::Finished;
}

std::string SimPanelMailbox::Problem() const
{
    std::lock_guard lock(mutex_);
    return problem_;
}

void SimPanelMailbox::Fault(const std::string &text)
{
    if (problem_.empty())
        problem_ = text;
}

void SimPanelMailbox::Observe(SimPlc &plc, const Request &request)
{
    std::uint16_t count = 0;
    if (!MailboxRequest(request, count))
        return;
    std::lock_guard lock(mutex_);
    if (request.command == "46") {
        if (count != 1 || pollsLeft_ <= 0 || --pollsLeft_ > 0)
            return;
        if (state_ == State::Armed) {
            plc.SetReg(kMailbox, mode_ == Mode::Menu ? 0x5245 : 0x5250);
            state_ = State::Receiving;
        } else if (state_ == State::Busy) {
            plc.SetReg(kMailbox, kTaken);
            state_ = State::Receiving;
        }
        return;
    }
    if (request.command != "47")
        return;
    const std::vector<std::uint16_t> words = plc.Regs(kMailbox, count);
    if (words[0] == kData) {
        if (state_ != State::Receiving && state_ != State::Busy) {
            Fault("packet while the panel was not receiving");
            return;
        }
        TakePacket(plc, words);
    } else if (words[0] == kFinish) {
        if (state_ == State::Busy)
            Fault("end mark before the panel acknowledged packet " + std::to_string(expected_ - 1));
        else if (state_ != State::Receiving && state_ != State::Finished)
            Fault("end mark while the panel was not receiving");
        plc.SetReg(kMailbox, kTaken);
        state_ = State::Finished;
    } else if (state_ != State::Finished) {
        state_ = State::Idle;
    }
}

void SimPanelMailbox::TakePacket(SimPlc &plc, const std::vector<std::uint16_t> &words)
{
    const std::uint16_t count = static_cast<std::uint16_t>(words.size());
    const std::uint16_t number = words.size() > 1 ? words[1] : 0;
    numbers_.push_back(number);
    const bool again = !progress_.empty() && number == static_cast<std::uint16_t>(expected_ - 1);
    if (count < 4 || (number != expected_ && !again)) {
        Fault("packet " + std::to_string(number) + " where " + std::to_string(expected_) + " was due");
        return;
    }
    if (!again && state_ == State::Busy)
        Fault("packet " + std::to_string(number) + " before the panel acknowledged packet "
              + std::to_string(expected_ - 1));
    const std::uint16_t half = words[2] & 0xFF;
    const std::uint16_t dataWords = count - 3;
    if (dataWords != half && dataWords != half + 1) {
        Fault("packet " + std::to_string(number) + " length does not match its word count");
        return;
    }
    if (!again) {
        const unsigned bytes = half * 2u + (dataWords > half ? 1u : 0u);
        for (unsigned i = 0; i < bytes; ++i) {
            const std::uint16_t word = words[3 + i / 2];
            image_.push_back(static_cast<std::uint8_t>(i % 2 == 0 ? word & 0xFF : word >> 8));
        }
        if (bytes % 2 == 1 && (words[3 + bytes / 2] >> 8) != 0)
            Fault("odd last byte with a high half other than 0");
        progress_.push_back(words[2]);
        ++expected_;
    }
    if (busyPolls_ > 0) {
        pollsLeft_ = busyPolls_;
        state_ = State::Busy;
    } else {
        plc.SetReg(kMailbox, kTaken);
        state_ = State::Receiving;
    }
}

}  // namespace simplc
