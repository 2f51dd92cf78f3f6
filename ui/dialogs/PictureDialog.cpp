// The picture dialog.
#include "PictureDialog.h"

#include "BoundedFile.h"
#include "DialogButtons.h"
#include "Localizer.h"
#include "MessageBox.h"
#include "PanelLcdDriver.h"
#include "PictureData.h"
#include "PictureFormatWarning.h"
#include "UiServices.h"
#include "mainwindow/Application.h"

#include <QBoxLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

TFormScreen *FormScreen = nullptr;

namespace {

const QString kImageData = QStringLiteral("ImageData");

// The frame around the picture is this much higher and wider than it.
constexpr int kFrameMargin = 9;
// The checkerboard's squares.
constexpr int kSquare = 8;
constexpr QRgb kSilver = 0xFFC0C0C0;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// Lit on the panel: exactly white and opaque.
bool IsWhite(QRgb colour)
{
    return colour == kWhite;
}

// A one-bit picture, every pixel dark; index 1 is white.
QImage DarkPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_Mono);
    picture.setColorTable({kBlack, kWhite});
    picture.fill(0);
    return picture;
}

// source as a one-bit picture: a pixel is white when its colour is exactly
// white (inverted: when it is not).
QImage OneBitPicture(const QImage &source, bool inverted)
{
    const QImage colours = source.convertToFormat(QImage::Format_ARGB32);
    QImage picture = DarkPicture(colours.width(), colours.height());
    for (int y = 0; y < colours.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(colours.constScanLine(y));
        for (int x = 0; x < colours.width(); ++x) {
            if (IsWhite(line[x]) != inverted)
                picture.setPixel(x, y, 1);
        }
    }
    return picture;
}

// The picture pixel that display column c, row r shows: the 128 x 64 model's
// picture is stored turned by 180 degrees.
QPoint PicturePoint(int c, int r, int width, int height)
{
    if (CurrentModel.ModelId == PanelModel128x96)
        return {c, r};
    return {width - 1 - c, height - 1 - r};
}

// The patterns of every picture format that can be read.
QString PictureFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    return Localizer.GetText(QStringLiteral("Pictures"), QStringLiteral("screen"),
                             QStringLiteral("PictureFilter"))
        + QLatin1Char('|') + patterns.join(QLatin1Char(';'));
}

enum class TPictureRead { Read, WrongSize, Unreadable, TooLarge };

// Reads the picture file at path when it is size pixels large. A size
// stated in the file's header is checked before anything is decoded.
TPictureRead ReadPicture(const QString &path, const QSize &size, QImage &picture)
{
    QByteArray bytes;
    QString reason;
    switch (ReadFileBounded(path, TFormScreen::MaxPictureFileBytes, bytes, reason)) {
    case TFileRead::Ok: break;
    case TFileRead::Unreadable: return TPictureRead::Unreadable;
    case TFileRead::TooLarge: return TPictureRead::TooLarge;
    }
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLatin1());
    const QSize stated = reader.size();
    if (stated.isValid() && stated != size)
        return TPictureRead::WrongSize;
    QImage image;
    if (!reader.read(&image))
        return TPictureRead::Unreadable;
    if (image.size() != size)
        return TPictureRead::WrongSize;
    picture = image;
    return TPictureRead::Read;
}

void ShowPictureFileError(const char *defaultText, const char *id, const QString &path)
{
    const QString text =
        Localizer.GetText(QString::fromLatin1(defaultText), QStringLiteral("screen"), QLatin1String(id));
    ShowMessageBox(nullptr, FormatText(text, {QDir::toNativeSeparators(path)}), ApplicationTitle());
}

}  // namespace

TFormScreen::TFormScreen(QWidget *parent)
    : TItemDialog("FormScreen", nkScreen, TRewrite::KeepsCaption, parent)
{
    btnLoad = MakeButton(this, "btnLoad", QStringLiteral("Load ..."));
    lbCaption = MakeLabel(this, "lbCaption", QStringLiteral("Image:"));
    blImage = new QFrame(this);
    blImage->setObjectName(QStringLiteral("blImage"));
    blImage->setFrameStyle(QFrame::Box | QFrame::Sunken);
    imgImage = MakeLabel(blImage, "imgImage", QString());
    btnInverse = MakeButton(this, "btnInverse", QStringLiteral("Inverse"));
    btnClear = MakeButton(this, "btnClear", QStringLiteral("Clear"));
    connect(btnLoad, &QPushButton::clicked, this, &TFormScreen::btnLoadClick);
    connect(btnInverse, &QPushButton::clicked, this, &TFormScreen::btnInverseClick);
    connect(btnClear, &QPushButton::clicked, this, &TFormScreen::btnClearClick);

    auto *frame = new QVBoxLayout(blImage);
    const int margin = kFrameMargin - blImage->frameWidth();
    frame->setContentsMargins(margin, margin, margin, margin);
    frame->addWidget(imgImage);
    auto *picture = new QVBoxLayout;
    picture->addWidget(lbCaption);
    picture->addWidget(blImage);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnLoad);
    buttons->addWidget(btnInverse);
    buttons->addWidget(btnClear);
    buttons->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(picture);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addLayout(ButtonRow());

    SetPicture(DarkPicture(CurrentModel.Width, CurrentModel.Height));
    SetFirstField(btnLoad);
    FormCreate();
}

TFormScreen::~TFormScreen()
{
    if (FormScreen == this)
        FormScreen = nullptr;
}

bool TFormScreen::AcceptsNode(const TwNode &node) const
{
    return node.Kind == nkScreen || node.Kind == nkScreenSaver;
}

void TFormScreen::LoadControls(TwNode &node)
{
    saver_ = node.Kind == nkScreenSaver;
    btnClear->setEnabled(saver_);
    HexToImage(node.GetProp(kImageData), CurrentModel.Width, CurrentModel.Height);
    // A picture text the encoding would write otherwise (short, lower case)
    // stays as it is until the picture changes.
    RememberStoredText(imgImage, node, kImageData, ImageToHex(CurrentModel.Width, CurrentModel.Height));
}

void TFormScreen::SaveControls(TwNode &node)
{
    // The checkerboard encodes as nothing: no key.
    node.SetProp(kImageData, StoredTextOr(imgImage, ImageToHex(CurrentModel.Width, CurrentModel.Height)));
}

QString TFormScreen::ImageToHex(int width, int height) const
{
    if (width <= 0 || height <= 0 || height % 8 != 0 || picture_.size() != QSize(width, height)
        || picture_.format() != QImage::Format_Mono)
        return QString();
    const int bands = height / 8;
    QByteArray bytes(qsizetype(width) * bands, '\0');
    for (int b = 0; b < bands; ++b) {
        for (int c = 0; c < width; ++c) {
            uint8_t byte = 0;
            for (int k = 0; k < 8; ++k) {
                if (IsWhite(picture_.pixel(PicturePoint(c, 8 * b + k, width, height))))
                    byte |= uint8_t(1u << k);
            }
            bytes[qsizetype(b) * width + c] = char(byte);
        }
    }
    return PictureTextFromBytes(bytes);
}

void TFormScreen::HexToImage(const QString &text, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    if (text.isEmpty() && saver_) {
        QImage board(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                board.setPixel(x, y, (x / kSquare + y / kSquare) % 2 == 0 ? kSilver : kWhite);
        }
        SetPicture(board);
        return;
    }
    QImage picture = DarkPicture(width, height);
    const int bands = height / 8;
    const QByteArray bytes = PictureBytesFromText(text, qsizetype(width) * bands);
    for (int b = 0; b < bands; ++b) {
        for (int c = 0; c < width; ++c) {
            const auto byte = uint8_t(bytes[qsizetype(b) * width + c]);
            for (int k = 0; k < 8; ++k) {
                if (byte & (1u << k))
                    picture.setPixel(PicturePoint(c, 8 * b + k, width, height), 1);
            }
        }
    }
    SetPicture(picture);
}

void TFormScreen::SetPicture(const QImage &picture)
{
    picture_ = picture;
    imgImage->setPixmap(QPixmap::fromImage(picture_));
    imgImage->setFixedSize(picture_.size());
}

void TFormScreen::btnLoadClick()
{
    TFileRequest request;
    request.kind = TFileRequest::Picture;
    request.filter = PictureFilter();
    request.parent = this;
    const QString path = UiServices().ChooseFile(request);
    if (path.isEmpty())
        return;
    // Whatever goes wrong, the picture shown so far stays: it may hold the
    // user's unsaved edit.
    QImage loaded;
    switch (ReadPicture(path, QSize(CurrentModel.Width, CurrentModel.Height), loaded)) {
    case TPictureRead::Read: SetPicture(OneBitPicture(loaded, false)); break;
    case TPictureRead::WrongSize: ShowPictureFormatWarning(fmWarm); break;
    case TPictureRead::Unreadable:
        ShowPictureFileError("The picture file %s cannot be read.", "PictureUnreadable", path);
        break;
    case TPictureRead::TooLarge:
        ShowPictureFileError("The picture file %s is too large.", "PictureTooLarge", path);
        break;
    }
}

void TFormScreen::btnInverseClick()
{
    SetPicture(OneBitPicture(picture_, true));
}

void TFormScreen::btnClearClick()
{
    HexToImage(QString(), CurrentModel.Width, CurrentModel.Height);
}

TFormScreen *ScreenForm()
{
    if (!FormScreen)
        FormScreen = new TFormScreen();
    return FormScreen;
}
