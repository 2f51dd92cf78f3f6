#include "SimPlc.h"

#include <algorithm>

namespace simplc {

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;

// Operand type codes, kept here so the PLC shares no code with the link.
enum : std::uint8_t { tX = 2, tY, tM, tS, tT, tC, tRT, tRC, tDRC, tR, tD, tDR, tDD };

char Hex(unsigned nibble)
{
    nibble &= 0xF;
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

std::string HexText(std::uint32_t value, int digits)
{
    std::string s(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        s[static_cast<std::size_t>(i)] = Hex(value);
        value >>= 4;
    }
    return s;
}

bool ReadHex(const std::string &text, std::size_t pos, int digits, std::uint32_t &value)
{
    if (pos + static_cast<std::size_t>(digits) > text.size()) {
        return false;
    }
    value = 0;
    for (int i = 0; i < digits; ++i) {
        char c = text[pos + static_cast<std::size_t>(i)];
        unsigned v;
        if (c >= '0' && c <= '9') {
            v = static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            v = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        value = (value << 4) | v;
    }
    return true;
}

std::uint8_t Sum(const std::uint8_t *bytes, std::size_t length)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += bytes[i];
    }
    return static_cast<std::uint8_t>(sum & 0xFF);
}

// Closes a frame: two checksum characters over everything so far, then ETX.
void Close(std::vector<std::uint8_t> &frame)
{
    std::uint8_t sum = Sum(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(Hex(sum >> 4u)));
    frame.push_back(static_cast<std::uint8_t>(Hex(sum)));
    frame.push_back(kEtx);
}

void Rechecksum(std::vector<std::uint8_t> &frame)
{
    if (frame.size() < 3) {
        return;
    }
    frame.resize(frame.size() - 3);
    Close(frame);
}

// Characters of one value of the type in "48" replies and "49" requests.
int ValueWidth(std::uint8_t type)
{
    switch (type) {
    case tX:
    case tY:
    case tM:
    case tS:
    case tT:
    case tC: return 1;
    case tRT:
    case tRC:
    case tR:
    case tD: return 4;
    case tDRC:
    case tDR:
    case tDD: return 8;
    default: return 0;
    }
}

bool IsWordType(std::uint8_t type)
{
    return type == tR || type == tD || type == tRT || type == tRC;
}

}  // namespace

std::uint8_t ParseOperandName(const std::string &text, std::size_t &pos, std::uint16_t &address)
{
    struct Prefix {
        const char *text;
        std::uint8_t type;
        int digits;
    };
    // Longest prefixes first.
    static const Prefix kPrefixes[] = {
        {"DRC", tDRC, 4}, {"DR", tDR, 5}, {"DD", tDD, 5}, {"RT", tRT, 5}, {"RC", tRC, 5},
        {"R", tR, 5},     {"D", tD, 5},   {"X", tX, 4},   {"Y", tY, 4},   {"M", tM, 4},
        {"S", tS, 4},     {"T", tT, 4},   {"C", tC, 4},
    };
    for (const Prefix &p : kPrefixes) {
        std::size_t n = std::char_traits<char>::length(p.text);
        if (text.compare(pos, n, p.text) != 0) {
            continue;
        }
        std::size_t at = pos + n;
        if (at + static_cast<std::size_t>(p.digits) > text.size()) {
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < p.digits; ++i) {
            char c = text[at + static_cast<std::size_t>(i)];
            if (c < '0' || c > '9') {
                return 0;
            }
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (value > 0xFFFF) {
            return 0;
        }
        address = static_cast<std::uint16_t>(value);
        pos = at + static_cast<std::size_t>(p.digits);
        return p.type;
    }
    return 0;
}

SimPlc::SimPlc()
{
    for (auto &b : bits_) {
        b.assign(2002, 0);
    }
    r_.assign(8072, 0);
    d_.assign(3072, 0);
    rt_.assign(256, 0);
    rc_.assign(256, 0);
    drc_.assign(256, 0);
}

void SimPlc::SetStation(const std::string &station)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    station_ = station.substr(0, 2);
}

void SimPlc::SetReportedStation(const std::string &station)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    reportedStation_ = station.substr(0, 2);
}

std::string SimPlc::Station() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return station_;
}

void SimPlc::SetRefusalChar(char c)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    refusal_ = c;
}

bool SimPlc::ValidAddress(std::uint8_t type, std::uint16_t a)
{
    switch (type) {
    case tX:
    case tY:
    case tT:
    case tC:
    case tRT: return a <= 255;
    case tM: return a <= 2001;
    case tS: return a <= 999;
    case tRC: return a <= 199;
    case tDRC: return a >= 200 && a <= 255;
    case tR: return a <= 4167 || (a >= 5000 && a <= 8071);
    case tD: return a <= 3071;
    case tDR: return a <= 4166 || (a >= 5000 && a <= 8070);
    case tDD: return a <= 3070;
    default: return false;
    }
}

std::uint32_t SimPlc::ValueLocked(std::uint8_t type, std::uint16_t a) const
{
    if (!ValidAddress(type, a)) {
        return 0;
    }
    switch (type) {
    case tX:
    case tY:
    case tM:
    case tS:
    case tT:
    case tC: return bits_[type - tX][a];
    case tRT: return rt_[a];
    case tRC: return rc_[a];
    case tDRC: return drc_[a];
    case tR: return r_[a];
    case tD: return d_[a];
    case tDR: return static_cast<std::uint32_t>(r_[a]) | (static_cast<std::uint32_t>(r_[a + 1u]) << 16);
    case tDD: return static_cast<std::uint32_t>(d_[a]) | (static_cast<std::uint32_t>(d_[a + 1u]) << 16);
    default: return 0;
    }
}

bool SimPlc::SetValueLocked(std::uint8_t type, std::uint16_t a, std::uint32_t v)
{
    if (!ValidAddress(type, a)) {
        return false;
    }
    switch (type) {
    case tX:
    case tY:
    case tM:
    case tS:
    case tT:
    case tC: bits_[type - tX][a] = v != 0 ? 1 : 0; return true;
    case tRT: rt_[a] = static_cast<std::uint16_t>(v); return true;
    case tRC: rc_[a] = static_cast<std::uint16_t>(v); return true;
    case tDRC: drc_[a] = v; return true;
    case tR: r_[a] = static_cast<std::uint16_t>(v); return true;
    case tD: d_[a] = static_cast<std::uint16_t>(v); return true;
    case tDR:
        r_[a] = static_cast<std::uint16_t>(v);
        r_[a + 1u] = static_cast<std::uint16_t>(v >> 16);
        return true;
    case tDD:
        d_[a] = static_cast<std::uint16_t>(v);
        d_[a + 1u] = static_cast<std::uint16_t>(v >> 16);
        return true;
    default: return false;
    }
}

std::uint32_t SimPlc::Value(std::uint8_t type, std::uint16_t address) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return ValueLocked(type, address);
}

bool SimPlc::SetValue(std::uint8_t type, std::uint16_t address, std::uint32_t value)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return SetValueLocked(type, address, value);
}

std::uint16_t SimPlc::Reg(std::uint16_t address) const
{
    return static_cast<std::uint16_t>(Value(tR, address));
}

void SimPlc::SetReg(std::uint16_t address, std::uint16_t value)
{
    SetValue(tR, address, value);
}

std::vector<std::uint16_t> SimPlc::Regs(std::uint16_t first, std::uint16_t count) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::vector<std::uint16_t> out;
    for (std::uint32_t i = 0; i < count; ++i) {
        out.push_back(static_cast<std::uint16_t>(ValueLocked(tR, static_cast<std::uint16_t>(first + i))));
    }
    return out;
}

void SimPlc::AddFault(const FaultRule &rule)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    faults_.push_back(rule);
}

void SimPlc::ClearFaults()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    faults_.clear();
}

void SimPlc::SetObserver(std::function<void(SimPlc &, const Request &)> observer)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    observer_ = std::move(observer);
}

std::vector<Request> SimPlc::Requests() const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return log_;
}

std::size_t SimPlc::RequestCount(const std::string &command) const
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (command.empty()) {
        return log_.size();
    }
    return static_cast<std::size_t>(
        std::count_if(log_.begin(), log_.end(), [&](const Request &r) { return r.command == command; }));
}

void SimPlc::ClearLog()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    log_.clear();
}

std::vector<std::uint8_t> SimPlc::ErrorReply(const std::string &command, char error) const
{
    std::vector<std::uint8_t> f{kStx};
    for (char c : station_ + command) {
        f.push_back(static_cast<std::uint8_t>(c));
    }
    f.push_back(static_cast<std::uint8_t>(error));
    Close(f);
    return f;
}

std::vector<std::uint8_t> SimPlc::DataReply(const std::string &command, const std::string &data) const
{
    std::vector<std::uint8_t> f{kStx};
    for (char c : station_ + command + "0" + data) {
        f.push_back(static_cast<std::uint8_t>(c));
    }
    Close(f);
    return f;
}

bool SimPlc::ServeRead(const std::string &body, std::string &data)
{
    std::uint32_t count;
    if (!ReadHex(body, 0, 2, count)) {
        return false;
    }
    std::size_t pos = 2;
    std::string out;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint16_t address;
        std::uint8_t type = ParseOperandName(body, pos, address);
        if (type == 0 || !ValidAddress(type, address)) {
            return false;
        }
        std::uint32_t v = ValueLocked(type, address);
        int width = ValueWidth(type);
        out += width == 1 ? std::string(1, v != 0 ? '1' : '0') : HexText(v, width);
    }
    if (pos != body.size()) {
        return false;
    }
    data = out;
    return true;
}

bool SimPlc::ServeWrite(const std::string &body)
{
    std::uint32_t count;
    if (!ReadHex(body, 0, 2, count) || count == 0) {
        return false;
    }
    struct Item {
        std::uint8_t type;
        std::uint16_t address;
        std::uint32_t value;
    };
    std::vector<Item> items;
    std::size_t pos = 2;
    for (std::uint32_t i = 0; i < count; ++i) {
        Item item{};
        item.type = ParseOperandName(body, pos, item.address);
        if (item.type == 0 || !ValidAddress(item.type, item.address)) {
            return false;
        }
        int width = ValueWidth(item.type);
        if (width == 1) {
            if (pos >= body.size() || (body[pos] != '0' && body[pos] != '1')) {
                return false;
            }
            item.value = body[pos] == '1' ? 1 : 0;
        } else if (!ReadHex(body, pos, width, item.value)) {
            return false;
        }
        pos += static_cast<std::size_t>(width);
        items.push_back(item);
    }
    if (pos != body.size()) {
        return false;
    }
    for (const Item &item : items) {
        SetValueLocked(item.type, item.address, item.value);
    }
    return true;
}

bool SimPlc::ServeRegisterRead(const std::string &body, std::string &data)
{
    std::uint32_t count;
    if (!ReadHex(body, 0, 2, count) || count == 0) {
        return false;
    }
    std::size_t pos = 2;
    std::uint16_t first;
    std::uint8_t type = ParseOperandName(body, pos, first);
    if (!IsWordType(type) || pos != body.size()) {
        return false;
    }
    std::string out;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t a = first + i;
        if (a > 0xFFFF || !ValidAddress(type, static_cast<std::uint16_t>(a))) {
            return false;
        }
        out += HexText(ValueLocked(type, static_cast<std::uint16_t>(a)), 4);
    }
    data = out;
    return true;
}

bool SimPlc::ServeRegisterWrite(const std::string &body)
{
    std::uint32_t count;
    if (!ReadHex(body, 0, 2, count) || count == 0) {
        return false;
    }
    std::size_t pos = 2;
    std::uint16_t first;
    std::uint8_t type = ParseOperandName(body, pos, first);
    if (!IsWordType(type) || body.size() != pos + 4 * static_cast<std::size_t>(count)) {
        return false;
    }
    std::vector<std::uint16_t> words;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t a = first + i;
        std::uint32_t v;
        if (a > 0xFFFF || !ValidAddress(type, static_cast<std::uint16_t>(a))
            || !ReadHex(body, pos + 4 * i, 4, v)) {
            return false;
        }
        words.push_back(static_cast<std::uint16_t>(v));
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        SetValueLocked(type, static_cast<std::uint16_t>(first + i), words[i]);
    }
    return true;
}

std::vector<std::uint8_t> SimPlc::Serve(const Request &request, const std::uint8_t *frame, std::size_t length)
{
    if (!request.checksumOk) {
        return ErrorReply(request.command, refusal_);
    }
    std::string body(reinterpret_cast<const char *>(frame) + 5, length - 8);
    const std::string &cmd = request.command;
    std::string data;
    bool ok = false;
    bool isWrite = cmd == "49" || cmd == "47";
    if (isWrite) {
        ok = cmd == "49" ? ServeWrite(body) : ServeRegisterWrite(body);
        if (ok && observer_) {
            observer_(*this, request);
        }
    } else if (cmd == "15" || cmd == "48" || cmd == "46") {
        if (observer_) {
            observer_(*this, request);
        }
        if (cmd == "15") {
            data = "01" + (reportedStation_.empty() ? station_ : reportedStation_);
            ok = true;
        } else if (cmd == "48") {
            ok = ServeRead(body, data);
        } else {
            ok = ServeRegisterRead(body, data);
        }
    }
    if (!ok) {
        return ErrorReply(cmd, refusal_);
    }
    return DataReply(cmd, data);
}

Reply SimPlc::Handle(const std::uint8_t *rawFrame, std::size_t length)
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::vector<std::uint8_t> frame(rawFrame, rawFrame + length);
    for (std::uint8_t &b : frame) {
        b &= 0x7F;
    }
    Request request;
    request.frame.assign(frame.begin(), frame.end());
    Reply reply;
    if (frame.size() < 8 || frame.front() != kStx || frame.back() != kEtx) {
        log_.push_back(request);
        return reply;  // not a frame: nothing to answer
    }
    request.station.assign(request.frame, 1, 2);
    request.command.assign(request.frame, 3, 2);
    std::uint8_t sum = Sum(frame.data(), frame.size() - 3);
    request.checksumOk = frame[frame.size() - 3] == static_cast<std::uint8_t>(Hex(sum >> 4u))
        && frame[frame.size() - 2] == static_cast<std::uint8_t>(Hex(sum));
    log_.push_back(request);
    if (request.checksumOk && request.station != station_ && request.station != "FF") {
        return reply;  // another station's frame
    }

    // The fault that spoils this reply, if any.
    const FaultRule *rule = nullptr;
    FaultRule applied;
    for (std::size_t i = 0; i < faults_.size(); ++i) {
        FaultRule &f = faults_[i];
        if (!f.command.empty() && f.command != request.command) {
            continue;
        }
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        applied = f;
        rule = &applied;
        if (f.count > 0 && --f.count == 0) {
            faults_.erase(faults_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        break;
    }

    if (rule != nullptr && (rule->kind == Fault::Error1 || rule->kind == Fault::Error2)) {
        reply.blocks.push_back(ErrorReply(request.command, rule->kind == Fault::Error1 ? '1' : '2'));
        return reply;
    }
    if (rule != nullptr && rule->kind == Fault::HangUp) {
        reply.hangUp = true;
        return reply;
    }

    std::vector<std::uint8_t> clean = Serve(request, frame.data(), frame.size());
    std::vector<std::uint8_t> previous = lastReply_;
    lastReply_ = clean;
    if (rule == nullptr) {
        reply.blocks.push_back(clean);
        return reply;
    }
    std::vector<std::uint8_t> out = clean;
    switch (rule->kind) {
    case Fault::CorruptChecksum: {
        std::uint8_t sum2 = static_cast<std::uint8_t>(Sum(out.data(), out.size() - 3) + 1);
        out[out.size() - 3] = static_cast<std::uint8_t>(Hex(sum2 >> 4u));
        out[out.size() - 2] = static_cast<std::uint8_t>(Hex(sum2));
        reply.blocks.push_back(out);
        break;
    }
    case Fault::Drop: break;
    case Fault::Delay:
    case Fault::Late:
        reply.delayMs = rule->delayMs;
        reply.late = rule->kind == Fault::Late;
        reply.blocks.push_back(out);
        break;
    case Fault::Noise: {
        const std::vector<std::uint8_t> noise{'#', 0x7F, 'Z', '5', 0x0D};
        reply.blocks = {noise, out, noise};
        break;
    }
    case Fault::ShortBlock:
        out.resize(std::max<std::size_t>(1, out.size() / 2));
        reply.blocks.push_back(out);
        break;
    case Fault::Garbled:
        if (out.size() > 9) {
            for (std::size_t i = 6; i < out.size() - 3; ++i) {
                out[i] = 'G';
            }
        } else {
            out[3] = 'Z';
            out[4] = 'Z';
        }
        Rechecksum(out);
        reply.blocks.push_back(out);
        break;
    case Fault::Split: {
        std::size_t half = out.size() / 2;
        reply.blocks.emplace_back(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(half));
        reply.blocks.emplace_back(out.begin() + static_cast<std::ptrdiff_t>(half), out.end());
        reply.gapMs = rule->delayMs;
        break;
    }
    case Fault::Stale:
        if (!previous.empty()) {
            reply.blocks.push_back(previous);
        }
        break;
    default: reply.blocks.push_back(out); break;
    }
    return reply;
}

std::vector<std::uint8_t> SimPlc::Answer(const std::vector<std::uint8_t> &frame)
{
    Reply reply = Handle(frame);
    return reply.blocks.empty() ? std::vector<std::uint8_t>{} : reply.blocks.front();
}

}  // namespace simplc
