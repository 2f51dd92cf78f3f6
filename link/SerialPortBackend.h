// The platform side of the serial component: line settings, the wait that the
// component's threads sleep in, reads and writes. TComm owns one backend and
// calls it from the GUI thread (open, settings, purge, close) and from its
// reader and writer threads (waits, reads, writes).
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

enum TDtrControl : uint8_t { DtrEnable, DtrDisable, DtrHandshake };
enum TRtsControl : uint8_t { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize : uint8_t { _5, _6, _7, _8 };
enum class TParity : uint8_t { None, Odd, Even, Mark, Space };
enum class TStopBits : uint8_t { _1, _1_5, _2 };

// Every line setting of the component, as its properties hold them.
struct TCommLineState {
    uint32_t BaudRate = 9600;
    bool ParityCheck = false;
    bool Outx_CtsFlow = false;
    bool Outx_DsrFlow = false;
    TDtrControl DtrControl = DtrEnable;
    bool DsrSensitivity = false;
    bool TxContinueOnXoff = true;
    bool Outx_XonXoffFlow = true;
    bool Inx_XonXoffFlow = true;
    bool ReplaceWhenParityError = false;
    bool IgnoreNullChar = false;
    TRtsControl RtsControl = RtsEnable;
    uint16_t XonLimit = 500;
    uint16_t XoffLimit = 500;
    TByteSize ByteSize = TByteSize::_8;
    TParity Parity = TParity::None;
    TStopBits StopBits = TStopBits::_1;
    char XonChar = 17;
    char XoffChar = 19;
    char ReplacedChar = 0;

    bool operator==(const TCommLineState &) const = default;
};

// The five time-outs in milliseconds. The reader ends a block when no byte has
// come for ReadIntervalTimeout (0: each read is a block of its own) or when the
// read total (multiplier x 2048 + constant, when not 0) has passed; a write
// that takes longer than its total (multiplier x bytes + constant, when not 0)
// fails.
struct TCommTimeouts {
    uint32_t ReadIntervalTimeout = 100;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;

    bool operator==(const TCommTimeouts &) const = default;
};

// Modem status bits of GetModemState.
enum : uint32_t {
    MS_CTS_ON = 0x10,
    MS_DSR_ON = 0x20,
    MS_RING_ON = 0x40,
    MS_RLSD_ON = 0x80,
};

// Line error flags of OnReceiveError.
enum : uint32_t {
    CE_RXOVER = 0x1,
    CE_OVERRUN = 0x2,
    CE_RXPARITY = 0x4,
    CE_FRAME = 0x8,
    CE_BREAK = 0x10,
};

// Modem event bits of OnModemStateChange.
enum : uint32_t {
    EV_RING = 0x4,
    EV_RLSD = 0x8,
    EV_RXCHAR = 0x10,
};

class TCommBackend {
public:
    enum class OpenResult { Ok, OpenFailed, NotComm };
    enum class WaitResult { Ready, Timeout, Woken, Hangup };
    enum class IoStatus { Data, WouldBlock, Vanished, Error };
    struct IoResult {
        IoStatus Status;
        size_t Count;  // bytes moved (for reads: after the input filter)
    };

    virtual ~TCommBackend() = default;

    // Opens the named port exclusively; NotComm when it is no terminal.
    virtual OpenResult Open(const QString &name) = 0;
    // Sets the driver's queue sizes; false when the driver refuses.
    virtual bool SetupBuffers(size_t input, size_t output) = 0;
    // Creates the wake-up (close) event, not signalled.
    virtual bool CreateWakeEvent() = 0;
    // Closes the port and the wake-up event; nothing when closed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Apply settings to the open port at once; false when the driver refuses.
    virtual bool ApplyLineState(const TCommLineState &state) = 0;
    virtual bool ApplyTimeouts(const TCommTimeouts &timeouts) = 0;

    // Discards what the driver holds in either direction.
    virtual void Purge(bool input, bool output) = 0;

    // Signals the wake-up event; it stays signalled until the port is closed,
    // so every wait after it returns Woken at once. Any thread.
    virtual void Wake() = 0;
    // Sleep until the port is readable (writable), the wake-up event is set, or
    // timeoutMs (negative: no limit) has passed. Reader and writer thread.
    virtual WaitResult WaitReadable(int timeoutMs) = 0;
    virtual WaitResult WaitWritable(int timeoutMs) = 0;
    // Non-blocking transfers. Read applies the input filter of the line state
    // (parity error replacement, masking to the data bits, null stripping).
    virtual IoResult Read(uint8_t *buffer, size_t size) = 0;
    virtual IoResult Write(const uint8_t *data, size_t size) = 0;
    // Bytes still in the driver's output queue; 0 when unknown.
    virtual size_t OutputPending() = 0;

    // Modem status bits (MS_*), 0 when the query fails.
    virtual uint32_t ModemStatus() = 0;
    // True when ModemStatus reads real lines (so that watching them is useful).
    virtual bool HasModemLines() = 0;
    // Line errors (CE_*) since the last call; 0 when none or unknown.
    virtual uint32_t TakeLineErrors() = 0;
    // Raises or drops RTS (transmission-available mode).
    virtual void SetRts(bool on) = 0;
};
