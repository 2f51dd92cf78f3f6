// A simulated PLC for tests, written from the frame layouts alone.
//
// SimPlc holds relays and registers and answers request frames one at a time:
//   "15" station query   -> STX station "15" "0" "01" station checksum ETX (13 bytes)
//   "48" read named operands, "49" write named operands,
//   "46" read consecutive registers, "47" write consecutive registers.
// Requests it cannot serve (bad checksum, unknown command, bad name or digits, address
// out of the operand parser's ranges) are answered with the error character "1"
// (SetRefusalChar changes it); frames for another station (neither its own nor "FF")
// get no answer.
//
// Fault switches (AddFault) spoil the next matching replies: corrupt the checksum,
// drop the reply, delay it (the PLC busy meanwhile, or the reply held back while the
// PLC goes on answering), refuse with error "1" or "2", send a short or garbled block,
// split it in two blocks, wrap it in noise, repeat the previous reply, or hang up.
//
// Use it in-process, frame by frame (Handle), or on one end of a pseudo-terminal with
// its own thread (SimPlcPty, below and in SimPlcPty.h). All methods are thread-safe.
//
// Memory model: X, Y, M, S, T, C are bits; R, D, RT, RC are 16-bit words; DRC is 32 bits;
// DR n is R n (low word) and R n+1 (high word), DD n likewise on D. "46"/"47" work on
// R, D, RT and RC words.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace simplc {

enum class Fault {
    CorruptChecksum,  // the reply's checksum characters are wrong (request carried out)
    Drop,             // no reply (request carried out)
    Delay,            // the reply comes delayMs late; later requests wait (request carried out)
    Late,             // the reply comes delayMs late, while the PLC goes on answering the
                      // requests that follow, so later replies may overtake it (request
                      // carried out)
    Noise,            // bytes that belong to no frame (no STX, no ETX) before and after the
                      // reply (request carried out)
    Error1,           // refused with error character "1" (request not carried out)
    Error2,           // refused with error character "2" (request not carried out)
    ShortBlock,       // only the first half of the reply (request carried out)
    Garbled,          // data characters (or, without data, the echoed command) replaced by
                      // non-hex letters, checksum recomputed (request carried out)
    Split,            // the reply in two blocks, delayMs apart (request carried out)
    Stale,            // the previous reply is sent again instead (request carried out)
    HangUp,           // the line is closed (request not carried out)
};

struct FaultRule {
    FaultRule(Fault k = Fault::Drop, int n = 1, std::string onlyCommand = {}, int ms = 0)
        : kind(k), count(n), command(std::move(onlyCommand)), delayMs(ms)
    {
    }

    Fault kind;
    int count;            // replies it spoils; -1: every matching reply from now on
    std::string command;  // "" any request, else only requests with this command ("48", ...)
    int delayMs;          // Delay, Late: wait before the reply; Split: gap between the halves
    int skip = 0;         // matching requests let through before it starts
};

// What to send for one request.
struct Reply {
    std::vector<std::vector<std::uint8_t>> blocks;  // empty: nothing is sent
    int delayMs = 0;                                // before the first block
    bool late = false;                              // later replies do not wait for this one
    int gapMs = 0;                                  // between blocks
    bool hangUp = false;                            // close the line instead of answering
};

// One request as the PLC saw it.
struct Request {
    std::string frame;    // raw bytes as text, STX and ETX included
    std::string station;  // characters 1..2
    std::string command;  // characters 3..4
    bool checksumOk = false;
};

class SimPlc {
public:
    SimPlc();

    // Own station, two characters (default "01"). The station reply carries it at bytes
    // 8 and 9 unless SetReportedStation gives another text (e.g. "00").
    void SetStation(const std::string &station);
    void SetReportedStation(const std::string &station);
    std::string Station() const;
    // Error character for requests it cannot serve (default '1').
    void SetRefusalChar(char c);

    // Memory by operand type code (2 X ... 14 DD). Value returns 0 and
    // SetValue false for an address outside the parser's ranges.
    std::uint32_t Value(std::uint8_t type, std::uint16_t address) const;
    bool SetValue(std::uint8_t type, std::uint16_t address, std::uint32_t value);
    std::uint16_t Reg(std::uint16_t address) const;           // R
    void SetReg(std::uint16_t address, std::uint16_t value);  // R
    std::vector<std::uint16_t> Regs(std::uint16_t first, std::uint16_t count) const;
    static bool ValidAddress(std::uint8_t type, std::uint16_t address);

    // Faults: rules are kept in order; the first matching one spoils a reply.
    void AddFault(const FaultRule &rule);
    void ClearFaults();

    // Called for every request from this station after its writes are carried out and
    // before its reads are answered (so it may change what is read). Runs on the thread
    // that handles the request, with the PLC locked (it may call the PLC's methods).
    void SetObserver(std::function<void(SimPlc &, const Request &)> observer);

    // Answers one request frame (bytes are taken modulo 128, as on a 7-bit line).
    Reply Handle(const std::uint8_t *frame, std::size_t length);
    Reply Handle(const std::vector<std::uint8_t> &frame) { return Handle(frame.data(), frame.size()); }
    // The first block of Handle's reply, empty when nothing is sent.
    std::vector<std::uint8_t> Answer(const std::vector<std::uint8_t> &frame);

    // Every request received, in order, and counts by command.
    std::vector<Request> Requests() const;
    std::size_t RequestCount(const std::string &command = "") const;
    void ClearLog();

private:
    // Carries the request out and builds its clean reply (an error reply when refused).
    std::vector<std::uint8_t> Serve(const Request &request, const std::uint8_t *frame, std::size_t length);
    std::vector<std::uint8_t> ErrorReply(const std::string &command, char error) const;
    std::vector<std::uint8_t> DataReply(const std::string &command, const std::string &data) const;
    bool ServeRead(const std::string &body, std::string &data);
    bool ServeWrite(const std::string &body);
    bool ServeRegisterRead(const std::string &body, std::string &data);
    bool ServeRegisterWrite(const std::string &body);
    std::uint32_t ValueLocked(std::uint8_t type, std::uint16_t address) const;
    bool SetValueLocked(std::uint8_t type, std::uint16_t address, std::uint32_t value);

    mutable std::recursive_mutex mutex_;
    std::string station_ = "01";
    std::string reportedStation_;
    char refusal_ = '1';
    std::vector<std::uint8_t> bits_[6];  // X, Y, M, S, T, C
    std::vector<std::uint16_t> r_, d_, rt_, rc_;
    std::vector<std::uint32_t> drc_;
    std::vector<FaultRule> faults_;
    std::function<void(SimPlc &, const Request &)> observer_;
    std::vector<Request> log_;
    std::vector<std::uint8_t> lastReply_;
};

// Parses one operand name at text[pos]: the prefix, then 4 or 5 digits by prefix
// Returns the type code (0 when the text is no name) and advances pos.
std::uint8_t ParseOperandName(const std::string &text, std::size_t &pos, std::uint16_t &address);

}  // namespace simplc
