// The simulator window: the on-screen copy of the panel, one class shared by the
// two models (SimulatorWindow128x64.h, SimulatorWindow128x96.h are its thin twins).
//
// A window hosts the panel runtime for one simulation: it keeps a copy of the
// compiled menu image, fills the runtime's hooks (image reads, the display's
// flush and mode change, online the PLC frames), runs the runtime's tick and
// paint every 100 ms, turns mouse presses on the pictured keys into panel key
// codes (TSimKeys: auto-repeat and long presses), renders the framebuffer onto
// its display, and online carries the PLC frames over its serial port Comm1
// with a 300 ms reply time-out.
//
// The panel front, the keys, the close and alarm-trigger images are drawn in
// code at fixed positions: the one place of the designer with fixed geometry.
// Translated under the form name ("FormSimulation_128x64", ...).
//
// The simulation command calls RunSimulation; everything runs on the GUI thread.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRgb>
#include <QSize>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <span>

class QTimer;
class TComm;
class TFormSimulation;

// The key machine of one window: the current key the mouse holds and the
// machine that turns it, tick by tick, into the codes the runtime gets.
//
// Up, Down, page up and page down are delivered at the press, 3 ticks later and
// then every tick while held; Left, Right and Esc at the press and, held 15
// ticks, their long code (0x80 + code) once; Esc held 6000 ticks in all gives 7
// once; OK gives 6 at the press and 8 at the release. A click shorter than a
// tick still delivers its code once.
struct TSimKeys {
    // The window's current key code (0 none) and the released flag.
    int32_t currentKey = 0;
    uint32_t keyReleased = 1;
    // The machine: state 0 idle, 1 waiting for a long press, 2 waiting for the
    // release, 3 repeating, 4 Esc held long.
    uint32_t keyState = 0;
    uint32_t repeatCounter = 0;
    uint32_t heldKey = 0;
    uint32_t pendingCode = 0;

    // A mouse-down on a key image, and a mouse-up.
    void Press(int32_t code)
    {
        currentKey = code;
        keyReleased = 0;
    }
    void Release() { keyReleased = 1; }
    // State 0, nothing pending.
    void ResetKeyRepeat()
    {
        keyState = 0;
        pendingCode = 0;
    }
    // No key held and the machine idle (between simulations).
    void Clear()
    {
        ResetKeyRepeat();
        currentKey = 0;
        keyReleased = 1;
    }
    // One tick of the machine; returns the code for the runtime (0 none).
    int32_t KeyRepeatTick();
    // The window's tick around it: the machine reads the current key, then a
    // released key is let go. Returns the code for the runtime (0 none).
    int32_t Tick();
};

// Where a window's parts lie (window coordinates) and what its keys send.
struct TSimKeyPlace {
    const char *name;  // objectName of the key image
    QPoint pos;
    QSize size;
    int tag;  // index into TSimLayout::tagCodes
    enum Face { Esc, Ok, Left, Right, Up, Down, Plus, Minus } face;
};

struct TSimLayout {
    uint8_t modelId;
    const char *formName;
    const char *caption;
    QSize clientSize;
    QPoint panelPos;  // ImgBackGround
    QSize panelSize;
    QPoint displayPos;  // imgImage; its size is the model's display
    QPoint closePos;    // Image3
    QPoint alarmTrigPos;
    QRgb dimColour;  // a lit pixel in display mode 1
    std::span<const TSimKeyPlace> keys;
    std::span<const int32_t> tagCodes;  // key code of each Tag
};

// The pictured display: the last rendered frame, stretched onto the widget.
class TSimDisplay : public QWidget {
public:
    TSimDisplay(QSize size, QWidget *parent);
    const QImage &Picture() const { return picture_; }
    QImage &Picture() { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
};

// The panel front drawn in code: body, screws, display bezel, key field.
class TSimPanelPicture : public QWidget {
public:
    TSimPanelPicture(const TSimLayout &layout, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect bezel_;
    QRect keyField_;
};

// One pictured key; its Tag selects the key code.
class TSimKeyImage : public QWidget {
public:
    TSimKeyImage(TFormSimulation &owner, const TSimKeyPlace &place, QWidget *parent);
    int Tag() const { return place_.tag; }
    bool Down() const { return down_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TFormSimulation &owner_;
    TSimKeyPlace place_;
    bool down_ = false;
    friend class TFormSimulation;
};

// The close and alarm-trigger images: buttons drawn by us whose hints translate.
class TSimImageButton : public QToolButton {
public:
    enum Face { Close, AlarmTrigger };
    TSimImageButton(Face face, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Face face_;
};

class TFormSimulation : public QDialog {
    Q_OBJECT
public:
    // Size of the copy of the last received block handed to the runtime's link.
    static constexpr uint16_t kReceiveBufferSize = 514;
    static constexpr int kFrameMs = 100;
    static constexpr int kReplyTimeoutMs = 300;

    TFormSimulation(const TSimLayout &layout, QWidget *parent = nullptr);
    ~TFormSimulation() override;

    // ---- Runtime hooks (the unit's module functions) ----
    // Copies length bytes of the image from offset; what lies beyond the image
    // reads as 0.
    void SimReadImage(void *destination, uint32_t offset, uint32_t length) const;
    // Writes a frame to the port and re-arms the reply time-out.
    void SimSendToPlc(const uint8_t *bytes, uint16_t length);
    // The key the mouse holds (the key machine, ResetKeyRepeat and
    // KeyRepeatTick, is Keys).
    int32_t SimCurrentKey() const { return Keys.currentKey; }
    // Keeps the display mode (0 off, 1 dim, 2 on) and shows the frame again.
    void SimSetDisplayMode(uint8_t mode);
    // Renders a framebuffer of this window's model (frameBytes long) onto
    // imgImage; a short buffer draws nothing. Returns 0.
    int SimRenderFrame(const uint8_t *framebuffer, uint32_t frameBytes);

    // Starts a simulation of the image (copied; the caller's memory may go at
    // once), online on the port and baud rate of the download dialog's port
    // set-up. False, after the error was shown, when the runtime refuses the
    // image or the port does not open; nothing then runs.
    bool StartSimulation(const uint8_t *data, uint32_t size, bool online);

    // ---- State ----
    uint8_t ModelId() const { return layout_.modelId; }
    bool Running() const { return running_; }
    bool Online() const { return online_; }
    uint8_t DisplayMode() const { return displayMode_; }
    uint32_t ImageSize() const { return uint32_t(image_.size()); }
    TSimKeys Keys;

    // ---- Components ----
    TSimPanelPicture *ImgBackGround;
    TSimDisplay *imgImage;
    QList<TSimKeyImage *> KeyImages;
    TSimImageButton *Image3;
    TSimImageButton *imgAlarmTrig;
    QTimer *tmPaint;
    QTimer *tmTick;
    QTimer *tmComm;
    TComm *Comm1;

    // ---- Handlers ----
    void FormCreate();
    void FormClose();
    void tmPaintTimer();
    void tmTickTimer();
    void tmCommTimer();
    // A mouse-down on a key image (any button), and a mouse-up.
    void btnMouseDown(TSimKeyImage *sender);
    void btnMouseUp(TSimKeyImage *sender);
    void Comm1ReceiveData(TComm *sender, const char *buffer, uint16_t bufferLength);
    // The port went away: the online session ends with a message.
    void Comm1RequestHangup(TComm *sender);
    void imgAlarmTrigClick();
    void WideBitBtn1Click();

public slots:
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Stops the timers and the port; the key let go.
    void StopSimulation();
    // The runtime's hooks in a state where nothing runs.
    void IdleRuntime();
    // The key image under a point of the window, or null.
    TSimKeyImage *KeyImageAt(QPoint windowPos) const;
    void SetKeyDown(TSimKeyImage *key);

    const TSimLayout &layout_;
    QByteArray image_;
    bool running_ = false;
    bool online_ = false;
    uint8_t displayMode_ = 2;
    std::array<uint8_t, kReceiveBufferSize> receive_{};
    QRgb litColour_[3];
    friend class TSimKeyImage;
};

// Shows the alarm trigger dialog modally; the alarm-trigger image calls it
// when set (the start-up code sets it once that dialog exists).
void SetAlarmTriggerRunner(std::function<void()> runner);

// The window of a model (0: 128 x 64, 1: 128 x 96), made on first use with the
// application as owner and kept until DestroySimulationForms; null for
// another id.
TFormSimulation *SimulationForm(uint8_t modelId);
// Frees both windows (at program end).
void DestroySimulationForms();

// The simulation command's entry: runs a compiled menu image on the simulator
// window of the model. Online, the download dialog's port set-up comes first
// (leaving it with Exit cancels). Runs the window modally through the UI
// services and returns after it closed; false when no simulation ran
// (cancelled, an unknown model, a refused image or a port that did not open,
// the last two with their error shown).
bool RunSimulation(const QByteArray &image, uint8_t modelId, bool online);
