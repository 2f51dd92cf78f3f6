// The main window's images: small pictures drawn with QPainter on 16 x 16
// pixmaps, built once and kept.
#include "WindowImages.h"

#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(252, 252, 246);
const QColor kBlue(46, 94, 170);
const QColor kLightBlue(150, 190, 235);
const QColor kGreen(30, 140, 50);
const QColor kRed(200, 40, 40);
const QColor kYellow(240, 200, 60);
const QColor kGrey(150, 150, 150);
const QColor kScreen(30, 40, 60);

enum class Dir { Up, Down, Left, Right };

void Box(QPainter &p, const QRect &r, const QColor &fill, const QColor &line = kInk)
{
    p.setPen(line);
    p.setBrush(fill);
    p.drawRect(r);
}

void Line(QPainter &p, int x1, int y1, int x2, int y2, const QColor &color, int width = 1)
{
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(x1, y1, x2, y2);
}

// A sheet of paper with a folded corner.
void Page(QPainter &p, int x, int y, int w, int h)
{
    const QPolygon outline(
        {QPoint(x, y), QPoint(x + w - 4, y), QPoint(x + w, y + 4), QPoint(x + w, y + h), QPoint(x, y + h)});
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(outline);
    p.drawPolyline(QPolygon({QPoint(x + w - 4, y), QPoint(x + w - 4, y + 4), QPoint(x + w, y + 4)}));
}

// Horizontal text lines inside a rectangle.
void TextLines(QPainter &p, int x, int y, int w, int count, int step, const QColor &color)
{
    for (int i = 0; i < count; ++i)
        Line(p, x, y + i * step, x + w, y + i * step, color);
}

void Folder(QPainter &p, int x, int y, const QColor &fill)
{
    p.setPen(kInk);
    p.setBrush(fill.darker(115));
    p.drawPolygon(QPolygon({QPoint(x, y + 2), QPoint(x + 5, y + 2), QPoint(x + 6, y), QPoint(x + 11, y),
                            QPoint(x + 11, y + 10), QPoint(x, y + 10)}));
    p.setBrush(fill);
    p.drawPolygon(
        QPolygon({QPoint(x, y + 10), QPoint(x + 2, y + 4), QPoint(x + 14, y + 4), QPoint(x + 12, y + 10)}));
}

void Arrow(QPainter &p, Dir dir, int cx, int cy, const QColor &color)
{
    QPolygon head;
    switch (dir) {
    case Dir::Up:
        head = QPolygon({QPoint(cx - 4, cy), QPoint(cx, cy - 4), QPoint(cx + 4, cy)});
        Line(p, cx, cy, cx, cy + 5, color, 2);
        break;
    case Dir::Down:
        head = QPolygon({QPoint(cx - 4, cy), QPoint(cx, cy + 4), QPoint(cx + 4, cy)});
        Line(p, cx, cy - 5, cx, cy, color, 2);
        break;
    case Dir::Left:
        head = QPolygon({QPoint(cx, cy - 4), QPoint(cx - 4, cy), QPoint(cx, cy + 4)});
        Line(p, cx, cy, cx + 5, cy, color, 2);
        break;
    case Dir::Right:
        head = QPolygon({QPoint(cx, cy - 4), QPoint(cx + 4, cy), QPoint(cx, cy + 4)});
        Line(p, cx - 5, cy, cx, cy, color, 2);
        break;
    }
    p.setPen(color);
    p.setBrush(color);
    p.drawPolygon(head);
}

// A small badge in the lower right corner: a green plus or a red cross.
void PlusBadge(QPainter &p)
{
    Box(p, QRect(10, 10, 5, 5), Qt::white, kGreen);
    Line(p, 12, 10, 12, 15, kGreen, 2);
    Line(p, 10, 12, 15, 12, kGreen, 2);
}

void Cross(QPainter &p, int x, int y, int size, const QColor &color)
{
    Line(p, x, y, x + size, y + size, color, 2);
    Line(p, x + size, y, x, y + size, color, 2);
}

void Glyphs(QPainter &p, const QRect &r, const QString &text, const QColor &color, int pixelSize,
            bool bold = true)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

// ---- Tree pictures (also the bases of the add commands) ----

void MenuPicture(QPainter &p)
{
    Box(p, QRect(1, 1, 13, 13), kPaper);
    p.fillRect(QRect(2, 2, 12, 3), kBlue);
    TextLines(p, 4, 7, 8, 3, 2, kInk);
    p.fillRect(QRect(2, 6, 1, 7), kLightBlue);
}

void ValuePicture(QPainter &p)
{
    Box(p, QRect(0, 3, 15, 10), kScreen);
    Glyphs(p, QRect(0, 3, 16, 10), QStringLiteral("12"), QColor(120, 230, 120), 9);
}

void ListPicture(QPainter &p)
{
    Box(p, QRect(1, 1, 13, 13), kPaper);
    for (int i = 0; i < 3; ++i) {
        p.fillRect(QRect(3, 3 + i * 4, 2, 2), kBlue);
        Line(p, 7, 4 + i * 4, 12, 4 + i * 4, kInk);
    }
}

void AlarmPicture(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(7, 1), QPoint(14, 14), QPoint(0, 14)}));
    Line(p, 7, 5, 7, 10, kInk, 2);
    p.fillRect(QRect(6, 12, 2, 1), kInk);
}

void Monitor(QPainter &p, const QColor &screen)
{
    Box(p, QRect(0, 1, 15, 10), screen);
    Line(p, 7, 12, 7, 13, kInk);
    Line(p, 4, 14, 11, 14, kInk);
}

void ScreenPicture(QPainter &p)
{
    Monitor(p, kLightBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygon({QPoint(2, 10), QPoint(6, 5), QPoint(9, 8), QPoint(11, 6), QPoint(14, 10)}));
    p.setBrush(kYellow);
    p.drawEllipse(QRect(10, 2, 3, 3));
}

void ScreenSaverPicture(QPainter &p)
{
    Monitor(p, kScreen);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawEllipse(QRect(4, 3, 6, 6));
    p.setBrush(kScreen);
    p.drawEllipse(QRect(6, 2, 6, 6));
    p.fillRect(QRect(11, 7, 1, 1), Qt::white);
    p.fillRect(QRect(3, 3, 1, 1), Qt::white);
}

void ConfigurationPicture(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kInk, 2));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(7.5, 7.5);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, -7), QPointF(0, 7));
        p.restore();
    }
    p.setPen(kInk);
    p.setBrush(kGrey);
    p.drawEllipse(QRectF(2.5, 2.5, 10, 10));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(5.5, 5.5, 4, 4));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void ActionPicture(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(QColor(220, 220, 230));
    p.drawRoundedRect(QRect(0, 3, 15, 10), 3, 3);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(8, 4), QPoint(4, 9), QPoint(7, 9), QPoint(6, 12), QPoint(11, 7),
                            QPoint(8, 7), QPoint(9, 4)}));
}

void ProjectPicture(QPainter &p)
{
    Folder(p, 1, 3, kYellow);
}

void DevicePicture(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(QColor(90, 100, 120));
    p.drawRoundedRect(QRect(0, 1, 15, 14), 2, 2);
    Box(p, QRect(2, 3, 11, 6), kScreen, kScreen);
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(2 + i * 3, 11, 2, 2), kLightBlue);
    Glyphs(p, QRect(2, 3, 12, 7), QStringLiteral("i"), QColor(120, 230, 120), 8);
}

using Painter = void (*)(QPainter &);

// In icon-index order of the node kinds.
constexpr Painter kTreePictures[TreeImageCount] = {
    MenuPicture,        ValuePicture,         ListPicture,   AlarmPicture,   ScreenPicture,
    ScreenSaverPicture, ConfigurationPicture, ActionPicture, ProjectPicture, DevicePicture,
};

// ---- Command pictures ----

// A small yellow star: something new.
void Sparkle(QPainter &p, int cx, int cy)
{
    Line(p, cx - 3, cy, cx + 3, cy, kYellow.darker(130));
    Line(p, cx, cy - 3, cx, cy + 3, kYellow.darker(130));
    p.fillRect(QRect(cx - 1, cy - 1, 3, 3), kYellow);
}

void NewPicture(QPainter &p)
{
    Page(p, 2, 0, 11, 15);
    TextLines(p, 5, 7, 5, 3, 2, kLightBlue);
    Sparkle(p, 4, 4);
}

void OpenPicture(QPainter &p)
{
    Folder(p, 0, 4, kYellow);
    Arrow(p, Dir::Up, 12, 3, kGreen);
}

void SavePicture(QPainter &p)
{
    Box(p, QRect(1, 1, 13, 13), kBlue);
    Box(p, QRect(4, 1, 7, 5), Qt::white);
    Box(p, QRect(3, 9, 9, 5), kGrey);
}

void ExitPicture(QPainter &p)
{
    Box(p, QRect(1, 0, 8, 15), QColor(160, 110, 60));
    p.fillRect(QRect(6, 7, 2, 2), kYellow);
    Arrow(p, Dir::Right, 11, 8, kRed);
}

template <Painter Base> void WithPlus(QPainter &p)
{
    Base(p);
    PlusBadge(p);
}

void EditPicture(QPainter &p)
{
    Page(p, 0, 0, 11, 15);
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(6, 13), QPoint(6, 10), QPoint(13, 3), QPoint(15, 5), QPoint(8, 12)}));
    p.fillRect(QRect(6, 12, 2, 2), kInk);
}

void DeletePicture(QPainter &p)
{
    Cross(p, 2, 2, 11, kRed);
}

void DebugPicture(QPainter &p)
{
    Box(p, QRect(0, 0, 15, 15), kPaper);
    Glyphs(p, QRect(0, 0, 16, 8), QStringLiteral("0F"), kBlue, 7);
    Glyphs(p, QRect(0, 7, 16, 8), QStringLiteral("A3"), kBlue, 7);
}

void MoveUpPicture(QPainter &p)
{
    Arrow(p, Dir::Up, 7, 6, kBlue);
}
void MoveDownPicture(QPainter &p)
{
    Arrow(p, Dir::Down, 7, 9, kBlue);
}

void CompilePicture(QPainter &p)
{
    Page(p, 0, 0, 9, 12);
    TextLines(p, 2, 4, 5, 3, 2, kInk);
    Arrow(p, Dir::Right, 11, 8, kGreen);
    Box(p, QRect(11, 10, 4, 5), kScreen);
}

void PlayPicture(QPainter &p, const QColor &color)
{
    p.setPen(kInk);
    p.setBrush(color);
    p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(13, 7), QPoint(3, 13)}));
}

void SimulationPicture(QPainter &p)
{
    PlayPicture(p, kGreen);
}

void SimulationOnlinePicture(QPainter &p)
{
    PlayPicture(p, kGreen);
    Line(p, 9, 14, 15, 14, kBlue, 2);
    Line(p, 12, 11, 12, 15, kBlue, 2);
}

void ImportPicture(QPainter &p)
{
    MenuPicture(p);
    Box(p, QRect(8, 8, 7, 7), kPaper, kGreen);
    Arrow(p, Dir::Left, 11, 11, kGreen);
}

void ExportPicture(QPainter &p)
{
    MenuPicture(p);
    Box(p, QRect(8, 8, 7, 7), kPaper, kBlue);
    Arrow(p, Dir::Right, 12, 11, kBlue);
}

void CutPicture(QPainter &p)
{
    Line(p, 4, 0, 10, 10, kBlue);
    Line(p, 10, 0, 4, 10, kBlue);
    p.setPen(QPen(kRed, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(1, 10, 4, 4));
    p.drawEllipse(QRect(9, 10, 4, 4));
}

void CopyPicture(QPainter &p)
{
    Page(p, 0, 0, 9, 11);
    TextLines(p, 2, 4, 4, 3, 2, kBlue);
    Page(p, 5, 4, 9, 11);
    TextLines(p, 7, 8, 4, 3, 2, kBlue);
}

void Clipboard(QPainter &p)
{
    Box(p, QRect(0, 1, 11, 14), QColor(190, 150, 90));
    Box(p, QRect(3, 0, 5, 3), kGrey);
    Box(p, QRect(2, 4, 7, 9), kPaper);
}

void PasteBeforePicture(QPainter &p)
{
    Clipboard(p);
    Arrow(p, Dir::Up, 13, 5, kBlue);
}

void PasteAfterPicture(QPainter &p)
{
    Clipboard(p);
    Arrow(p, Dir::Down, 13, 10, kBlue);
}

void PasteUnderPicture(QPainter &p)
{
    Clipboard(p);
    Arrow(p, Dir::Right, 11, 11, kBlue);
}

void DeleteLeafPicture(QPainter &p)
{
    MenuPicture(p);
    Cross(p, 9, 9, 5, kRed);
}

void DeleteNodePicture(QPainter &p)
{
    Box(p, QRect(4, 0, 6, 4), kLightBlue);
    Cross(p, 4, 0, 5, kRed);
    Line(p, 2, 6, 2, 13, kInk);
    Line(p, 2, 8, 6, 8, kInk);
    Line(p, 2, 13, 6, 13, kInk);
    Box(p, QRect(7, 6, 7, 4), kLightBlue);
    Box(p, QRect(7, 11, 7, 4), kLightBlue);
}

void BlankPicture(QPainter &)
{
}

void SearchPicture(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(160, 110, 60), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(13.5, 13.5));
    p.setPen(QPen(kBlue, 2));
    p.setBrush(kLightBlue);
    p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DownloadMenuPicture(QPainter &p)
{
    DevicePicture(p);
    Arrow(p, Dir::Down, 7, 6, kYellow);
}

void DownloadFirmwarePicture(QPainter &p)
{
    Box(p, QRect(3, 5, 9, 9), kInk);
    for (int i = 0; i < 3; ++i) {
        Line(p, 1, 7 + i * 3, 2, 7 + i * 3, kInk);
        Line(p, 13, 7 + i * 3, 14, 7 + i * 3, kInk);
    }
    Arrow(p, Dir::Down, 7, 4, kGreen);
}

void SpecialCharPicture(QPainter &p)
{
    Box(p, QRect(0, 0, 15, 15), kPaper);
    Glyphs(p, QRect(0, 0, 16, 16), QString(QChar(0x03A9)), kBlue, 12);
}

// In command image order.
constexpr Painter kMenuPictures[MenuImageCount] = {
    NewPicture,               // 0 New
    OpenPicture,              // 1 Open
    SavePicture,              // 2 Save
    ExitPicture,              // 3 Exit
    WithPlus<MenuPicture>,    // 4 Add Menu
    WithPlus<ValuePicture>,   // 5 Add Value
    WithPlus<ListPicture>,    // 6 Add List
    WithPlus<AlarmPicture>,   // 7 Add Alarm
    WithPlus<ScreenPicture>,  // 8 Add Startup Screen
    EditPicture,              // 9 Edit
    DeletePicture,            // 10 Delete
    DebugPicture,             // 11 Debug
    MoveUpPicture,            // 12 Move Up
    MoveDownPicture,          // 13 Move Down
    CompilePicture,           // 14 Compile
    SimulationPicture,        // 15 Simulation
    ImportPicture,            // 16 Import Menu
    ExportPicture,            // 17 Export Menu
    CutPicture,               // 18 Cut
    CopyPicture,              // 19 Copy
    PasteBeforePicture,       // 20 Paste Before
    PasteAfterPicture,        // 21 Paste After
    PasteUnderPicture,        // 22 Paste Under
    DeleteLeafPicture,        // 23 Delete Leaf
    DeleteNodePicture,        // 24 Delete Node
    BlankPicture,             // 25 (unused)
    WithPlus<ActionPicture>,  // 26 Add Action
    SearchPicture,            // 27 Find
    DownloadMenuPicture,      // 28 Download Menu
    DownloadFirmwarePicture,  // 29 Download Firmware
    SpecialCharPicture,       // 30 Special Character
    SimulationOnlinePicture,  // 31 Simulation Online
};

// The look of a picture on a disabled button or entry: grey and faint, so
// that it cannot be taken for the coloured picture of an enabled one.
QPixmap DisabledLook(const QPixmap &pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 96 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    return QPixmap::fromImage(image);
}

QIcon Draw(Painter painter)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    painter(p);
    p.end();
    QIcon icon(pixmap);
    icon.addPixmap(DisabledLook(pixmap), QIcon::Disabled);
    return icon;
}

// Built on first use; dropped when the application ends, before the
// graphics system goes.
QList<QIcon> gTreeImages;
QList<QIcon> gMenuImages;

void DropImages()
{
    gTreeImages.clear();
    gMenuImages.clear();
}

QIcon FromList(QList<QIcon> &cache, const Painter *pictures, int count, int index)
{
    if (index < 0 || index >= count)
        return QIcon();
    if (cache.isEmpty()) {
        if (gTreeImages.isEmpty() && gMenuImages.isEmpty())
            qAddPostRoutine(DropImages);
        for (int i = 0; i < count; ++i)
            cache.append(Draw(pictures[i]));
    }
    return cache[index];
}

}  // namespace

QIcon TreeImage(int index)
{
    return FromList(gTreeImages, kTreePictures, TreeImageCount, index);
}

QIcon MenuImage(int index)
{
    return FromList(gMenuImages, kMenuPictures, MenuImageCount, index);
}

QPixmap PanelPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    // Drawn on a 96 x 96 grid.
    painter.scale(size / 96.0, size / 96.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 64, 72), 2));
    painter.setBrush(QColor(200, 204, 210));
    painter.drawRoundedRect(QRectF(6, 4, 84, 88), 8, 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(16, 20, 28));
    painter.drawRect(QRectF(14, 12, 68, 44));
    painter.setBrush(QColor(120, 220, 255));
    painter.drawRect(QRectF(18, 16, 40, 6));  // the title row
    for (int row = 0; row < 3; ++row)         // three menu rows
        painter.drawRect(QRectF(18, 28 + 8 * row, 24 + 8 * (row % 2), 4));
    painter.drawRect(QRectF(70, 28, 4, 4));  // the cursor
    painter.setBrush(QColor(80, 86, 96));
    const QPointF keys[] = {{30, 66}, {30, 82}, {20, 74}, {40, 74}};
    for (const QPointF &key : keys)
        painter.drawRect(QRectF(key.x() - 4, key.y() - 4, 8, 8));
    painter.setBrush(QColor(200, 60, 50));
    painter.drawEllipse(QPointF(62, 74), 6, 6);
    painter.setBrush(QColor(60, 160, 80));
    painter.drawEllipse(QPointF(78, 74), 6, 6);
    return picture;
}

QIcon DesignerIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(PanelPicture(size));
    return icon;
}
