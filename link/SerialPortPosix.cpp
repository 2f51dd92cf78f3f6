#include "SerialPortPosix.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace {

// Device numbers of pseudo-terminals: the Unix98 slaves and the master clone.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;

bool IsPseudoTerminalDevice(int fd)
{
    struct stat st { };
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned maj = major(st.st_rdev);
    return (maj >= kPtySlaveMajorFirst && maj <= kPtySlaveMajorLast)
        || (maj == kPtmxMajor && minor(st.st_rdev) == kPtmxMinor);
}

// The termios speed of a baud rate; false for a rate the driver has no code for.
bool SpeedCode(uint32_t baud, speed_t &code)
{
    static const struct {
        uint32_t baud;
        speed_t code;
    } table[] = {
        {50, B50},         {75, B75},         {110, B110},         {134, B134},       {150, B150},
        {200, B200},       {300, B300},       {600, B600},         {1200, B1200},     {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},   {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800}, {500000, B500000},
        {576000, B576000}, {921600, B921600}, {1000000, B1000000},
    };
    for (const auto &entry : table) {
        if (entry.baud == baud) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

tcflag_t DataBitsFlag(TByteSize size)
{
    switch (size) {
    case TByteSize::_5: return CS5;
    case TByteSize::_6: return CS6;
    case TByteSize::_7: return CS7;
    case TByteSize::_8: break;
    }
    return CS8;
}

// What a read or write that failed with err (not EINTR) means for the port.
TCommBackend::IoStatus FailureStatus(int err)
{
    if (err == EAGAIN || err == EWOULDBLOCK)
        return TCommBackend::IoStatus::WouldBlock;
    // A pseudo-terminal whose far end closed, or a device unplugged.
    if (err == EIO || err == ENXIO || err == ENODEV)
        return TCommBackend::IoStatus::Vanished;
    return TCommBackend::IoStatus::Error;
}

// The framing bits of the control flags: set from the line state alone, and
// a real port must take them as asked.
constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

uint8_t DataBitsMask(TByteSize size)
{
    return static_cast<uint8_t>(0xFF >> (3 - static_cast<int>(size)));
}

}  // namespace

void TCommInputFilter::Configure(const Settings &settings)
{
    decodeMarks_ = settings.DecodeMarks;
    replacedChar_ = settings.ReplacedChar;
    mask_ = settings.Mask;
    stripNull_ = settings.StripNull;
}

size_t TCommInputFilter::Apply(uint8_t *data, size_t size)
{
    const bool decode = decodeMarks_;
    const uint8_t replaced = replacedChar_;
    const uint8_t mask = mask_;
    const bool stripNull = stripNull_;
    if (!decode)
        markState_ = 0;
    size_t out = 0;
    for (size_t i = 0; i < size; ++i) {
        uint8_t b = data[i];
        if (decode) {
            if (markState_ == 0 && b == 0xFF) {
                markState_ = 1;
                continue;
            }
            if (markState_ == 1) {
                markState_ = b == 0x00 ? 2 : 0;
                if (markState_ == 2)
                    continue;
                // FF FF stands for one FF; anything else after FF is kept as it came.
                if (b != 0xFF)
                    data[out++] = 0xFF & mask;
            } else if (markState_ == 2) {
                markState_ = 0;
                b = replaced;
            }
        }
        b &= mask;
        if (stripNull && b == 0)
            continue;
        data[out++] = b;
    }
    return out;
}

TPosixCommBackend::~TPosixCommBackend()
{
    Close();
}

TCommBackend::OpenResult TPosixCommBackend::Open(const QString &name)
{
    if (fd_ >= 0)
        return OpenResult::OpenFailed;
    const QByteArray path = name.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenResult::OpenFailed;
    // Not shared: a second open of the same port, from this process or
    // another, fails here.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return OpenResult::OpenFailed;
    }
    if (!isatty(fd)) {
        ::close(fd);
        return OpenResult::NotComm;
    }
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    pseudo_ = IsPseudoTerminalDevice(fd);
    haveCounters_ = false;
    TakeLineErrors();
    return OpenResult::Ok;
}

bool TPosixCommBackend::SetupBuffers(size_t, size_t)
{
    // The kernel's terminal queues have a fixed size; nothing to set.
    return fd_ >= 0;
}

bool TPosixCommBackend::CreateWakeEvent()
{
    if (wake_ >= 0)
        ::close(wake_);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return wake_ >= 0;
}

void TPosixCommBackend::Close()
{
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
    if (wake_ >= 0) {
        ::close(wake_);
        wake_ = -1;
    }
    pseudo_ = false;
}

bool TPosixCommBackend::ApplyLineState(const TCommLineState &s)
{
    if (fd_ < 0)
        return false;
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return false;

    // Binary mode: no line editing, echo, signals or output processing.
    t.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(kFramingFlags | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    bool ok = true;
    speed_t speed = B9600;
    if (SpeedCode(s.BaudRate, speed)) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    } else {
        ok = false;
    }

    TCommInputFilter::Settings filter;
    filter.StripNull = s.IgnoreNullChar;
    filter.ReplacedChar = static_cast<uint8_t>(s.ReplacedChar);
    if (pseudo_) {
        // A pseudo-terminal carries whole bytes only: keep 8 data bits and no
        // parity there, and cut received bytes to the data bits asked for.
        t.c_cflag |= CS8;
        filter.Mask = DataBitsMask(s.ByteSize);
    } else {
        t.c_cflag |= DataBitsFlag(s.ByteSize);
        switch (s.Parity) {
        case TParity::None: break;
        case TParity::Odd: t.c_cflag |= PARENB | PARODD; break;
        case TParity::Even: t.c_cflag |= PARENB; break;
        case TParity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case TParity::Space: t.c_cflag |= PARENB | CMSPAR; break;
        }
        if (s.StopBits != TStopBits::_1)
            t.c_cflag |= CSTOPB;
        if (s.ParityCheck && s.Parity != TParity::None) {
            t.c_iflag |= INPCK;
            if (s.ReplaceWhenParityError) {
                t.c_iflag |= PARMRK;
                filter.DecodeMarks = true;
            }
        }
        if (s.Outx_CtsFlow || s.RtsControl == RtsHandshake)
            t.c_cflag |= CRTSCTS;
    }
    if (s.Outx_XonXoffFlow)
        t.c_iflag |= IXON;
    if (s.Inx_XonXoffFlow)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);

    // tcsetattr succeeds when any part of the change was made: read the line
    // back. A pseudo-terminal is held to the speed only, its framing being
    // the fixed one above.
    termios applied{};
    if (tcsetattr(fd_, TCSANOW, &t) != 0 || tcgetattr(fd_, &applied) != 0)
        ok = false;
    else if (cfgetospeed(&applied) != cfgetospeed(&t) || cfgetispeed(&applied) != cfgetispeed(&t))
        ok = false;
    else if (!pseudo_ && (applied.c_cflag & kFramingFlags) != (t.c_cflag & kFramingFlags))
        ok = false;
    filter_.Configure(filter);

    // DTR handshake, DSR flow and sensitivity, the XON/XOFF limits and
    // continue-on-XOFF have no terminal equivalent; DTR handshake keeps DTR up.
    SetModemLine(TIOCM_DTR, s.DtrControl != DtrDisable);
    if (s.RtsControl == RtsEnable || s.RtsControl == RtsDisable || s.RtsControl == RtsTransmissionAvailable)
        SetModemLine(TIOCM_RTS, s.RtsControl == RtsEnable);
    return ok;
}

bool TPosixCommBackend::ApplyTimeouts(const TCommTimeouts &)
{
    // The component's threads keep the time-outs themselves.
    return fd_ >= 0;
}

void TPosixCommBackend::Purge(bool input, bool output)
{
    if (fd_ < 0 || (!input && !output))
        return;
    tcflush(fd_, input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH);
}

void TPosixCommBackend::Wake()
{
    if (wake_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
    }
}

TCommBackend::WaitResult TPosixCommBackend::Wait(short events, int timeoutMs)
{
    pollfd fds[2] = {{wake_, POLLIN, 0}, {fd_, events, 0}};
    for (;;) {
        const int n = poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return WaitResult::Hangup;
        }
        if (n == 0)
            return WaitResult::Timeout;
        if (fds[0].revents != 0)
            return WaitResult::Woken;
        if (fds[1].revents & events)
            return WaitResult::Ready;
        // POLLHUP, POLLERR or POLLNVAL without data: the port is gone.
        return WaitResult::Hangup;
    }
}

TCommBackend::WaitResult TPosixCommBackend::WaitReadable(int timeoutMs)
{
    return Wait(POLLIN, timeoutMs);
}

TCommBackend::WaitResult TPosixCommBackend::WaitWritable(int timeoutMs)
{
    return Wait(POLLOUT, timeoutMs);
}

TCommBackend::IoResult TPosixCommBackend::Read(uint8_t *buffer, size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n > 0)
            return {IoStatus::Data, filter_.Apply(buffer, static_cast<size_t>(n))};
        if (n == 0)
            return {IoStatus::Vanished, 0};
        if (errno != EINTR)
            return {FailureStatus(errno), 0};
    }
}

TCommBackend::IoResult TPosixCommBackend::Write(const uint8_t *data, size_t size)
{
    for (;;) {
        const ssize_t n = ::write(fd_, data, size);
        if (n >= 0)
            return {IoStatus::Data, static_cast<size_t>(n)};
        if (errno != EINTR)
            return {FailureStatus(errno), 0};
    }
}

size_t TPosixCommBackend::OutputPending()
{
    int pending = 0;
    if (fd_ < 0 || ioctl(fd_, TIOCOUTQ, &pending) != 0 || pending < 0)
        return 0;
    return static_cast<size_t>(pending);
}

uint32_t TPosixCommBackend::ModemStatus()
{
    int lines = 0;
    if (fd_ < 0 || ioctl(fd_, TIOCMGET, &lines) != 0)
        return 0;
    uint32_t status = 0;
    if (lines & TIOCM_CTS)
        status |= MS_CTS_ON;
    if (lines & TIOCM_DSR)
        status |= MS_DSR_ON;
    if (lines & TIOCM_RNG)
        status |= MS_RING_ON;
    if (lines & TIOCM_CAR)
        status |= MS_RLSD_ON;
    return status;
}

bool TPosixCommBackend::HasModemLines()
{
    int lines = 0;
    return fd_ >= 0 && !pseudo_ && ioctl(fd_, TIOCMGET, &lines) == 0;
}

uint32_t TPosixCommBackend::TakeLineErrors()
{
#if defined(__linux__) && defined(TIOCGICOUNT)
    serial_icounter_struct counts{};
    if (fd_ < 0 || pseudo_ || ioctl(fd_, TIOCGICOUNT, &counts) != 0)
        return 0;
    const auto now = [](int v) { return static_cast<uint32_t>(v); };
    uint32_t flags = 0;
    if (haveCounters_) {
        if (now(counts.buf_overrun) != bufOverrun_)
            flags |= CE_RXOVER;
        if (now(counts.overrun) != overrun_)
            flags |= CE_OVERRUN;
        if (now(counts.parity) != parity_)
            flags |= CE_RXPARITY;
        if (now(counts.frame) != frame_)
            flags |= CE_FRAME;
        if (now(counts.brk) != brk_)
            flags |= CE_BREAK;
    }
    haveCounters_ = true;
    bufOverrun_ = now(counts.buf_overrun);
    overrun_ = now(counts.overrun);
    parity_ = now(counts.parity);
    frame_ = now(counts.frame);
    brk_ = now(counts.brk);
    return flags;
#else
    return 0;
#endif
}

void TPosixCommBackend::SetRts(bool on)
{
    SetModemLine(TIOCM_RTS, on);
}

void TPosixCommBackend::SetModemLine(int bit, bool on)
{
    if (fd_ < 0 || pseudo_)
        return;
    ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit);
}
