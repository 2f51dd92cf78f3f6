// The simulator window shared by both panel models.
#include "SimulatorWindow.h"

#include "DownloadDialog.h"
#include "DownloadProtocol.h"
#include "LinkScreens.h"
#include "Localizer.h"
#include "MessageBox.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"
#include "SerialPort.h"
#include "SimulatorWindow128x64.h"
#include "SimulatorWindow128x96.h"
#include "UiServices.h"
#include "mainwindow/Application.h"
#include "mainwindow/Startup.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

// The window of each model that exists, for the hooks that carry no window.
TFormSimulation *gWindows[PanelModelCount] = {};
std::function<void()> gAlarmTriggerRunner;

// Ticks of the key machine.
constexpr uint32_t kLongPressTicks = 15;
constexpr uint32_t kFirstRepeatTicks = 3;
constexpr uint32_t kEscVeryLongTicks = 5985;  // after the long Esc: 6000 ticks from the press

template <uint8_t Model> void ReadImageOf(void *destination, uint32_t offset, uint32_t length)
{
    if (const TFormSimulation *window = gWindows[Model])
        window->SimReadImage(destination, offset, length);
    else if (destination && length)
        std::memset(destination, 0, length);
}

template <uint8_t Model> void SendFrameOf(const uint8_t *bytes, uint16_t length)
{
    if (TFormSimulation *window = gWindows[Model])
        window->SimSendToPlc(bytes, length);
}

constexpr void (*kReadImageHooks[PanelModelCount])(void *, uint32_t, uint32_t) = {
    ReadImageOf<PanelModel128x64>, ReadImageOf<PanelModel128x96>};
constexpr void (*kSendFrameHooks[PanelModelCount])(const uint8_t *, uint16_t) = {
    SendFrameOf<PanelModel128x64>, SendFrameOf<PanelModel128x96>};

void RenderHook(void *window, const uint8_t *frame, uint16_t frameBytes)
{
    static_cast<TFormSimulation *>(window)->SimRenderFrame(frame, frameBytes);
}

void DisplayModeHook(void *window, uint8_t mode)
{
    static_cast<TFormSimulation *>(window)->SimSetDisplayMode(mode);
}

QString SimText(const char *defaultText, const char *id)
{
    return Localizer.GetText(QString::fromLatin1(defaultText), QStringLiteral("sim"), QLatin1String(id));
}

// Why a simulation did not start: shown as the error it is.
void ShowStartFailure(const QString &text)
{
    ShowHandlerError(text);
}

// ---- Drawing ----------------------------------------------------------------

void DrawScrew(QPainter &p, QPointF centre, qreal radius)
{
    QRadialGradient shine(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    shine.setColorAt(0, QColor(0xD8, 0xDB, 0xE0));
    shine.setColorAt(1, QColor(0x6E, 0x74, 0x7C));
    p.setPen(QPen(QColor(0x1A, 0x1C, 0x20), 1));
    p.setBrush(shine);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(0x30, 0x33, 0x38), 1.2));
    p.drawLine(centre + QPointF(-radius * 0.6, radius * 0.6), centre + QPointF(radius * 0.6, -radius * 0.6));
}

// A filled triangle pointing from the centre of r in the direction (dx, dy).
void DrawArrow(QPainter &p, const QRectF &r, int dx, int dy)
{
    const qreal s = std::min(r.width(), r.height()) * 0.28;
    const QPointF c = r.center();
    const QPointF tip = c + QPointF(dx * s, dy * s);
    const QPointF side(-dy * s, dx * s);
    const QPointF base = c - QPointF(dx * s * 0.8, dy * s * 0.8);
    QPainterPath path(tip);
    path.lineTo(base + side);
    path.lineTo(base - side);
    path.closeSubpath();
    p.drawPath(path);
}

}  // namespace

// ---- Key machine ------------------------------------------------------------

int32_t TSimKeys::KeyRepeatTick()
{
    const bool released = keyReleased != 0;
    if (repeatCounter != 0)
        --repeatCounter;
    switch (keyState) {
    case 0:
        pendingCode = uint32_t(currentKey);
        switch (currentKey) {
        case 0: break;
        case runtime::KeyRight:
        case runtime::KeyLeft:
        case runtime::KeyEsc:
            repeatCounter = kLongPressTicks;
            heldKey = uint32_t(currentKey);
            keyState = 1;
            break;
        case runtime::KeyOk:
            heldKey = runtime::KeyOk;
            keyState = 2;
            break;
        default:
            repeatCounter = kFirstRepeatTicks;
            heldKey = uint32_t(currentKey);
            keyState = 3;
            break;
        }
        break;
    case 1:
        if (released) {
            keyState = 0;
        } else if (repeatCounter == 0) {
            pendingCode = heldKey + runtime::kKeyLong;
            if (pendingCode == uint32_t(runtime::KeyLongEsc)) {
                repeatCounter = kEscVeryLongTicks;
                keyState = 4;
            } else {
                keyState = 2;
            }
        }
        break;
    case 2:
        if (released) {
            if (heldKey == uint32_t(runtime::KeyOk))
                pendingCode = runtime::KeyOkReleased;
            keyState = 0;
        }
        break;
    case 3:
        if (released) {
            keyState = 0;
        } else if (repeatCounter == 0) {
            if (uint32_t(currentKey) == heldKey) {
                pendingCode = heldKey;
                repeatCounter = 1;
            } else {
                keyState = 2;
            }
        }
        break;
    case 4:
        if (released) {
            keyState = 0;
        } else if (repeatCounter == 0) {
            pendingCode = runtime::KeyEscVeryLong;
            keyState = 2;
        }
        break;
    default: keyState = 0; break;
    }
    const int32_t code = int32_t(pendingCode);
    pendingCode = 0;
    return code;
}

int32_t TSimKeys::Tick()
{
    const int32_t key = currentKey;
    const int32_t code = KeyRepeatTick();
    if (key != 0 && keyReleased != 0)
        currentKey = 0;
    return code;
}

// ---- Parts of the window ----------------------------------------------------

TSimDisplay::TSimDisplay(QSize size, QWidget *parent) : QWidget(parent), picture_(size, QImage::Format_RGB32)
{
    picture_.fill(Qt::black);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSimDisplay::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(rect(), picture_);
}

TSimPanelPicture::TSimPanelPicture(const TSimLayout &layout, QWidget *parent) : QWidget(parent)
{
    const PanelModelRecord &model = *PanelModelTable[layout.modelId];
    bezel_ =
        QRect(layout.displayPos - layout.panelPos, QSize(model.Width, model.Height)).adjusted(-5, -5, 5, 5);
    QRect keys;
    for (const TSimKeyPlace &key : layout.keys)
        keys |= QRect(key.pos - layout.panelPos, key.size);
    keyField_ = keys.adjusted(-7, -7, 7, 7);
}

void TSimPanelPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient metal(0, 0, 0, height());
    metal.setColorAt(0, QColor(0x4C, 0x53, 0x5C));
    metal.setColorAt(1, QColor(0x2A, 0x2E, 0x34));
    p.setPen(QPen(QColor(0x16, 0x18, 0x1B), 1));
    p.setBrush(metal);
    p.drawRoundedRect(body, 12, 12);
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(3, 3, -3, -3), 9, 9);

    const qreal inset = 10;
    for (const QPointF corner :
         {body.topLeft() + QPointF(inset, inset), body.topRight() + QPointF(-inset, inset),
          body.bottomLeft() + QPointF(inset, -inset), body.bottomRight() + QPointF(-inset, -inset)})
        DrawScrew(p, corner, 4);

    // The display sits in a black bezel with a light lower lip.
    const QRectF bezel = QRectF(bezel_).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(0x0C, 0x0D, 0x0F), 1));
    p.setBrush(QColor(0x05, 0x06, 0x07));
    p.drawRoundedRect(bezel, 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(bezel.bottomLeft() + QPointF(4, 1.5), bezel.bottomRight() + QPointF(-4, 1.5));

    // The keys lie in a slightly sunken field.
    const QRectF field = QRectF(keyField_).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.setBrush(QColor(0x34, 0x39, 0x40));
    p.drawRoundedRect(field, 8, 8);
    p.setPen(QPen(QColor(255, 255, 255, 35), 1));
    p.drawLine(field.bottomLeft() + QPointF(8, 1), field.bottomRight() + QPointF(-8, 1));
}

TSimKeyImage::TSimKeyImage(TFormSimulation &owner, const TSimKeyPlace &place, QWidget *parent)
    : QWidget(parent), owner_(owner), place_(place)
{
    setObjectName(QLatin1String(place.name));
    setGeometry(QRect(place.pos, place.size));
}

void TSimKeyImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF face = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -2.5);
    if (down_) {
        face.translate(0, 1);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(face.translated(0, 1.5), 5, 5);
    }
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0, down_ ? QColor(0xB0, 0xB5, 0xBC) : QColor(0xF4, 0xF5, 0xF7));
    shade.setColorAt(1, down_ ? QColor(0xCF, 0xD3, 0xD9) : QColor(0xBE, 0xC3, 0xCA));
    p.setPen(QPen(QColor(0x1E, 0x21, 0x26), 1));
    p.setBrush(shade);
    p.drawRoundedRect(face, 5, 5);

    const QColor ink(0x2A, 0x2E, 0x35);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const qreal bar = std::max<qreal>(2, face.height() / 9);
    const qreal arm = std::min(face.width(), face.height()) * 0.26;
    switch (place_.face) {
    case TSimKeyPlace::Up: DrawArrow(p, face, 0, -1); break;
    case TSimKeyPlace::Down: DrawArrow(p, face, 0, 1); break;
    case TSimKeyPlace::Left: DrawArrow(p, face, -1, 0); break;
    case TSimKeyPlace::Right: DrawArrow(p, face, 1, 0); break;
    case TSimKeyPlace::Plus:
        p.drawRect(QRectF(face.center().x() - bar / 2, face.center().y() - arm, bar, 2 * arm));
        [[fallthrough]];
    case TSimKeyPlace::Minus:
        p.drawRect(QRectF(face.center().x() - arm, face.center().y() - bar / 2, 2 * arm, bar));
        break;
    case TSimKeyPlace::Esc:
    case TSimKeyPlace::Ok: {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(std::max(8, int(face.height() * 0.42)));
        p.setFont(font);
        p.setPen(ink);
        p.drawText(face, Qt::AlignCenter,
                   place_.face == TSimKeyPlace::Esc ? QStringLiteral("ESC") : QStringLiteral("OK"));
        break;
    }
    }
}

void TSimKeyImage::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    owner_.btnMouseDown(this);
}

void TSimKeyImage::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    owner_.btnMouseUp(this);
}

void TSimKeyImage::mouseMoveEvent(QMouseEvent *event)
{
    // Dragged onto another key while held: that key is pressed now.
    event->accept();
    if (event->buttons() == Qt::NoButton)
        return;
    TSimKeyImage *under = owner_.KeyImageAt(mapTo(&owner_, event->position().toPoint()));
    if (under && !under->down_)
        owner_.btnMouseDown(under);
}

TSimImageButton::TSimImageButton(Face face, QWidget *parent) : QToolButton(parent), face_(face)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TSimImageButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const bool pressed = isDown();
    if (face_ == Close) {
        QRadialGradient red(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() * 0.75);
        red.setColorAt(0, pressed ? QColor(0xB0, 0x2A, 0x20) : QColor(0xF0, 0x6A, 0x5A));
        red.setColorAt(1, QColor(0x8E, 0x1C, 0x14));
        p.setPen(QPen(QColor(0x3A, 0x0A, 0x06), 1));
        p.setBrush(red);
        p.drawEllipse(r);
        const qreal d = r.width() * 0.2;
        p.setPen(QPen(Qt::white, std::max<qreal>(2, r.width() / 9), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(r.center() + QPointF(-d, -d), r.center() + QPointF(d, d));
        p.drawLine(r.center() + QPointF(-d, d), r.center() + QPointF(d, -d));
        return;
    }
    QPainterPath triangle(QPointF(r.center().x(), r.top()));
    triangle.lineTo(r.bottomRight());
    triangle.lineTo(r.bottomLeft());
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x4A, 0x34, 0x00), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(pressed ? QColor(0xD8, 0xA8, 0x10) : QColor(0xFF, 0xCC, 0x22));
    p.drawPath(triangle);
    const qreal w = std::max<qreal>(2, r.width() / 9);
    const qreal x = r.center().x();
    p.setPen(QPen(QColor(0x22, 0x1A, 0x00), w, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, r.top() + r.height() * 0.38), QPointF(x, r.top() + r.height() * 0.68));
    p.drawPoint(QPointF(x, r.top() + r.height() * 0.84));
}

// ---- The window -------------------------------------------------------------

TFormSimulation::TFormSimulation(const TSimLayout &layout, QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint),
      layout_(layout)
{
    setObjectName(QLatin1String(layout.formName));
    setWindowTitle(QLatin1String(layout.caption));
    setFixedSize(layout.clientSize);
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);

    const PanelModelRecord &model = *PanelModelTable[layout.modelId];
    ImgBackGround = new TSimPanelPicture(layout, this);
    ImgBackGround->setObjectName(QStringLiteral("ImgBackGround"));
    ImgBackGround->setGeometry(QRect(layout.panelPos, layout.panelSize));
    imgImage = new TSimDisplay(QSize(model.Width, model.Height), this);
    imgImage->setObjectName(QStringLiteral("imgImage"));
    imgImage->setGeometry(QRect(layout.displayPos, QSize(model.Width, model.Height)));
    for (const TSimKeyPlace &place : layout.keys)
        KeyImages.append(new TSimKeyImage(*this, place, this));
    constexpr QSize kImageButtonSize(20, 20);
    auto imageButton = [&](TSimImageButton::Face face, const char *name, QPoint pos, const char *hint,
                           void (TFormSimulation::*onClick)()) {
        auto *button = new TSimImageButton(face, this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(QRect(pos, kImageButtonSize));
        button->setToolTip(QLatin1String(hint));
        connect(button, &QToolButton::clicked, this, onClick);
        return button;
    };
    Image3 = imageButton(TSimImageButton::Close, "Image3", layout.closePos, "Close",
                         &TFormSimulation::WideBitBtn1Click);
    imgAlarmTrig = imageButton(TSimImageButton::AlarmTrigger, "imgAlarmTrig", layout.alarmTrigPos,
                               "Alarm Trigger", &TFormSimulation::imgAlarmTrigClick);

    auto timer = [&](const char *name, int interval, void (TFormSimulation::*onTimeout)()) {
        auto *t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, onTimeout);
        return t;
    };
    // The tick runs before the paint in each frame, so a key shows at the next paint.
    tmTick = timer("tmTick", kFrameMs, &TFormSimulation::tmTickTimer);
    tmPaint = timer("tmPaint", kFrameMs, &TFormSimulation::tmPaintTimer);
    tmComm = timer("tmComm", kReplyTimeoutMs, &TFormSimulation::tmCommTimer);

    Comm1 = new TComm(this);
    Comm1->setObjectName(QStringLiteral("Comm1"));
    TCommLineState line = PlcLineState();
    line.TxContinueOnXoff = false;
    Comm1->SetLineState(line);
    TCommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = 10;
    Comm1->SetTimeouts(timeouts);
    // A reply is handed over as soon as its frame ends, not 10 ms later.
    Comm1->SetFrameEndChar(0x03);
    Comm1->OnReceiveData = [this](TComm *sender, const char *buffer, uint16_t length) {
        Comm1ReceiveData(sender, buffer, length);
    };
    Comm1->OnRequestHangup = [this](TComm *sender) { Comm1RequestHangup(sender); };

    litColour_[PanelDisplayOff] = qRgb(0, 0, 0);
    litColour_[PanelDisplayDim] = layout.dimColour;
    litColour_[PanelDisplayOn] = qRgb(0xFF, 0xFF, 0xFF);

    gWindows[layout.modelId] = this;
    PanelSimWindowHooks[layout.modelId] = PanelSimHooks{RenderHook, DisplayModeHook, this};
    FormCreate();
}

TFormSimulation::~TFormSimulation()
{
    Comm1->OnReceiveData = nullptr;
    Comm1->OnRequestHangup = nullptr;
    StopSimulation();
    if (gWindows[layout_.modelId] == this)
        gWindows[layout_.modelId] = nullptr;
    if (PanelSimWindowHooks[layout_.modelId].UserData == this)
        PanelSimWindowHooks[layout_.modelId] = PanelSimHooks{};
}

void TFormSimulation::FormCreate()
{
    Localizer.RegisterAndTranslateForm(this);
}

// ---- Hooks ------------------------------------------------------------------

void TFormSimulation::SimReadImage(void *destination, uint32_t offset, uint32_t length) const
{
    if (!destination || length == 0)
        return;
    auto *out = static_cast<uint8_t *>(destination);
    const uint32_t size = ImageSize();
    const uint32_t available = offset < size ? std::min(length, size - offset) : 0;
    if (available)
        std::memcpy(out, image_.constData() + offset, available);
    std::memset(out + available, 0, length - available);
}

void TFormSimulation::SimSendToPlc(const uint8_t *bytes, uint16_t length)
{
    if (!running_ || !online_)
        return;
    Comm1->WriteCommData(reinterpret_cast<const char *>(bytes), length);
    tmComm->start();
}

void TFormSimulation::SimSetDisplayMode(uint8_t mode)
{
    displayMode_ = mode;
    CurrentModel.FlushFrame();
}

int TFormSimulation::SimRenderFrame(const uint8_t *framebuffer, uint32_t frameBytes)
{
    const PanelModelRecord &model = *PanelModelTable[layout_.modelId];
    if (!framebuffer || frameBytes < model.FrameBytes)
        return 0;
    const QRgb lit = displayMode_ < 3 ? litColour_[displayMode_] : litColour_[PanelDisplayOn];
    const QRgb dark = qRgb(0, 0, 0);
    QImage &picture = imgImage->Picture();
    const int w = model.Width;
    const int h = model.Height;
    if (layout_.modelId == PanelModel128x64) {
        // Bands of 8 rows, one byte a column, bit 0 on top: shown turned by 180 degrees.
        for (int y0 = 0; y0 < h; y0 += 8) {
            for (int bit = 0; bit < 8; ++bit) {
                auto *row = reinterpret_cast<QRgb *>(picture.scanLine(h - 1 - (y0 + bit)));
                const uint8_t *band = framebuffer + (y0 / 8) * w;
                for (int x = 0; x < w; ++x)
                    row[w - 1 - x] = (band[x] >> bit) & 1 ? lit : dark;
            }
        }
    } else {
        // One byte a pixel pair, row by row, the even pixel in the low nibble.
        for (int y = 0; y < h; ++y) {
            auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
            const uint8_t *bytes = framebuffer + y * (w / 2);
            for (int x = 0; x < w; x += 2) {
                const uint8_t pair = bytes[x / 2];
                row[x] = pair & 0x0F ? lit : dark;
                row[x + 1] = pair & 0xF0 ? lit : dark;
            }
        }
    }
    imgImage->update();
    return 0;
}

// ---- Start and stop ---------------------------------------------------------

bool TFormSimulation::StartSimulation(const uint8_t *data, uint32_t size, bool online)
{
    StopSimulation();
    image_ = QByteArray(reinterpret_cast<const char *>(data), data ? qsizetype(size) : 0);
    online_ = online;
    runtime::SimulationOnline = online ? 1 : 0;
    displayMode_ = PanelDisplayOn;
    imgImage->Picture().fill(Qt::black);
    imgImage->update();
    const uint8_t model = layout_.modelId;
    SelectPanelModel(model);
    runtime::EngineInit(online ? 1 : 0);
    Keys.Clear();
    PanelSimWindowHooks[model] = PanelSimHooks{RenderHook, DisplayModeHook, this};
    runtime::ReadImageHook = kReadImageHooks[model];
    runtime::FlushDisplayHook = CurrentModel.FlushFrame;
    runtime::SendFrameHook = online ? kSendFrameHooks[model] : nullptr;
    const runtime::EngineLoadResult loaded = runtime::EngineLoadImage(ImageSize());
    if (loaded != runtime::LoadOk) {
        IdleRuntime();
        ShowStartFailure(QString::fromLatin1(runtime::EngineLoadResultText(loaded)));
        return false;
    }
    if (online) {
        runtime::ResetPollTable();
        TfmDownload &portSetup = DownloadForm();
        const uint32_t baudRate = portSetup.BaudRate();
        if (baudRate == 0) {
            IdleRuntime();
            ShowStartFailure(SimText("'%s' is not a valid baud rate", "BadBaudRate")
                                 .replace(QLatin1String("%s"), portSetup.cbBaudRate->currentText()));
            return false;
        }
        Comm1->SetBaudRate(baudRate);
        Comm1->SetCommName(portSetup.PortName());
        try {
            Comm1->StartComm();
        } catch (const ECommsError &error) {
            IdleRuntime();
            ShowStartFailure(error.Message());
            return false;
        }
        running_ = true;
        runtime::StartOnlineLink();
        imgAlarmTrig->setVisible(false);
    } else {
        running_ = true;
        imgAlarmTrig->setVisible(runtime::AlarmTableCount != 0);
    }
    tmTick->start();
    tmPaint->start();
    return true;
}

void TFormSimulation::StopSimulation()
{
    tmPaint->stop();
    tmTick->stop();
    tmComm->stop();
    Comm1->StopComm();
    running_ = false;
    Keys.Clear();
    SetKeyDown(nullptr);
}

void TFormSimulation::IdleRuntime()
{
    StopSimulation();
    runtime::EnginePaintHook = nullptr;
    runtime::EngineTickHook = nullptr;
    runtime::SendFrameHook = nullptr;
    runtime::ReadImageHook = nullptr;
    runtime::SimulationOnline = 0;
    runtime::ResetPollTable();
    online_ = false;
}

void TFormSimulation::FormClose()
{
    StopSimulation();
}

void TFormSimulation::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormSimulation::keyPressEvent(QKeyEvent *event)
{
    // Only the close images end a simulation: the keyboard's Esc does not.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---- Timers and events ------------------------------------------------------

void TFormSimulation::tmPaintTimer()
{
    if (runtime::EnginePaintHook)
        runtime::EnginePaintHook();
    if (!online_)
        runtime::ProcessCurrentAlarm();
}

void TFormSimulation::tmTickTimer()
{
    if (runtime::EngineTickHook) {
        if (const int32_t code = Keys.Tick())
            runtime::EngineKeyInput(code);
        runtime::EngineTickHook();
        if (!online_) {
            runtime::ValuesPending = 0;
            runtime::PlcDataValid = 1;
        }
    }
    if (runtime::AlarmHoldoffTicks != 0)
        --runtime::AlarmHoldoffTicks;
}

void TFormSimulation::tmCommTimer()
{
    runtime::LinkReceive(nullptr, 0);
}

void TFormSimulation::btnMouseDown(TSimKeyImage *sender)
{
    const int tag = sender->Tag();
    if (tag >= 0 && size_t(tag) < layout_.tagCodes.size())
        Keys.Press(layout_.tagCodes[size_t(tag)]);
    else
        Keys.keyReleased = 0;
    SetKeyDown(sender);
}

void TFormSimulation::btnMouseUp(TSimKeyImage *)
{
    Keys.Release();
    SetKeyDown(nullptr);
}

void TFormSimulation::SetKeyDown(TSimKeyImage *key)
{
    for (TSimKeyImage *image : KeyImages) {
        if (image->down_ != (image == key)) {
            image->down_ = image == key;
            image->update();
        }
    }
}

TSimKeyImage *TFormSimulation::KeyImageAt(QPoint windowPos) const
{
    for (TSimKeyImage *image : KeyImages) {
        if (image->geometry().contains(windowPos))
            return image;
    }
    return nullptr;
}

void TFormSimulation::Comm1ReceiveData(TComm *, const char *buffer, uint16_t bufferLength)
{
    if (!running_ || bufferLength == 0)
        return;
    tmComm->stop();
    // A block longer than the buffer is never copied past it: the link gets
    // the full buffer, which is too long for any reply, and sends again.
    const uint16_t length = std::min(bufferLength, kReceiveBufferSize);
    std::memcpy(receive_.data(), buffer, length);
    runtime::LinkReceive(receive_.data(), length);
}

void TFormSimulation::Comm1RequestHangup(TComm *)
{
    if (!running_)
        return;
    StopSimulation();
    ShowMessageBox(nullptr, SimText("Serial port lost, the online simulation has ended.", "PortLost"),
                   ApplicationTitle());
    close();
}

void TFormSimulation::imgAlarmTrigClick()
{
    if (gAlarmTriggerRunner)
        gAlarmTriggerRunner();
}

void TFormSimulation::WideBitBtn1Click()
{
    close();
}

// ---- Entry points -----------------------------------------------------------

void SetAlarmTriggerRunner(std::function<void()> runner)
{
    gAlarmTriggerRunner = std::move(runner);
}

TFormSimulation *SimulationForm(uint8_t modelId)
{
    switch (modelId) {
    case PanelModel128x64:
        if (!FormSimulation_128x64)
            FormSimulation_128x64 = new TFormSimulation_128x64();
        return FormSimulation_128x64;
    case PanelModel128x96:
        if (!FormSimulation_128x96)
            FormSimulation_128x96 = new TFormSimulation_128x96();
        return FormSimulation_128x96;
    default: return nullptr;
    }
}

void DestroySimulationForms()
{
    delete FormSimulation_128x64;
    FormSimulation_128x64 = nullptr;
    delete FormSimulation_128x96;
    FormSimulation_128x96 = nullptr;
}

bool RunSimulation(const QByteArray &image, uint8_t modelId, bool online)
{
    TFormSimulation *window = SimulationForm(modelId);
    if (!window)
        return false;
    if (online && DownloadForm().ShowDownload(TDownload::dmPortSetup) == 1)
        return false;
    if (!window->StartSimulation(reinterpret_cast<const uint8_t *>(image.constData()), uint32_t(image.size()),
                                 online))
        return false;
    UiServices().RunDialog(*window);
    if (window->isVisible() || window->Running())
        window->done(QDialog::Rejected);
    return true;
}
