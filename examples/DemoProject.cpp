// The demo project, built in code: pictures are drawn pixel by pixel, so the
// project file is the same on every machine.
#include "DemoProject.h"

#include "NodeStream.h"
#include "Operands.h"
#include "PictureData.h"
#include "ProjectTree.h"

#include <QString>
#include <QStringList>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

// The display of the ZEL model (device 1).
constexpr int kWidth = kPictureWidth;
constexpr int kHeight = kPictureHeight96;

using Props = std::initializer_list<std::pair<const char *, const char *>>;

TwNode *Add(TwNode *parent, int32_t kind, const char *caption, Props props = {},
            const QStringList &description = {})
{
    auto *node = new TwNode(parent, QString::fromUtf8(caption), kind);
    if (!description.isEmpty())
        SaveStringsProp(node->Props, description, QStringLiteral("Description"));
    for (const auto &[key, value] : props)
        node->SetProp(QLatin1String(key), QString::fromUtf8(value));
    return node;
}

TwNode *List(TwNode *parent, const char *caption, const char *reference, const QStringList &entries,
             bool readOnly = false)
{
    TwNode *list =
        Add(parent, nkList, caption, {{"Reference", reference}, {"ReadOnly", readOnly ? "1" : "0"}});
    list->SetProp(QStringLiteral("Max"), QString::number(entries.size()));
    for (int i = 0; i < entries.size(); ++i)
        list->SetProp(QStringLiteral("Line%1").arg(i), entries[i]);
    return list;
}

TwNode *Alarm(TwNode *alarms, const char *index, const char *line1, const char *line2, const char *reference2,
              const char *line3)
{
    return Add(
        alarms, nkAlarm, "",
        {{"Index", index}, {"Line1", line1}, {"Line2", line2}, {"Line3", line3}, {"Reference2", reference2}});
}

// ---- Pictures ----

// A monochrome picture of the panel's display, drawn straight into the
// display memory that the "ImageData" text holds (PictureData.h).
class Canvas {
public:
    void Set(int x, int y, bool lit = true)
    {
        if (x < 0 || x >= kWidth || y < 0 || y >= kHeight)
            return;
        char &byte = bytes_[(y / 8) * kWidth + x];
        const auto bit = uint8_t(1u << (y % 8));
        byte = char(lit ? uint8_t(byte) | bit : uint8_t(byte) & ~bit);
    }
    void Fill(int x0, int y0, int w, int h)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                Set(x, y);
    }
    void Frame(int x0, int y0, int w, int h)
    {
        Fill(x0, y0, w, 1);
        Fill(x0, y0 + h - 1, w, 1);
        Fill(x0, y0, 1, h);
        Fill(x0 + w - 1, y0, 1, h);
    }
    void Disc(int cx, int cy, int r, bool lit = true)
    {
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    Set(x, y, lit);
    }
    // Text in the 5 x 7 letters below, each pixel scale x scale, one blank
    // column between letters; centred on cx.
    void Text(const char *text, int cx, int y0, int scale);

    QString ImageData() const { return PictureTextFromBytes(bytes_); }

private:
    QByteArray bytes_ = QByteArray(kPictureBytes96, '\0');
};

// The letters the pictures use, 5 columns by 7 rows.
struct Letter {
    char c;
    const char *rows[7];
};
constexpr Letter kLetters[] = {
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};

void Canvas::Text(const char *text, int cx, int y0, int scale)
{
    const int count = int(std::strlen(text));
    const int width = (count * 6 - 1) * scale;
    int x0 = cx - width / 2;
    for (const char *p = text; *p; ++p, x0 += 6 * scale) {
        for (const Letter &letter : kLetters) {
            if (letter.c != *p)
                continue;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (letter.rows[row][col] == '#')
                        Fill(x0 + col * scale, y0 + row * scale, scale, scale);
        }
    }
}

// The first startup picture: the name in large letters.
QString TitlePicture()
{
    Canvas canvas;
    canvas.Frame(0, 0, kWidth, kHeight);
    canvas.Frame(2, 2, kWidth - 4, kHeight - 4);
    canvas.Text("ZEL", kWidth / 2, 12, 6);
    canvas.Fill(14, 62, kWidth - 28, 2);
    canvas.Text("DEMO PANEL", kWidth / 2, 72, 2);
    return canvas.ImageData();
}

// The second startup picture: a bar chart over a base line.
QString ChartPicture()
{
    Canvas canvas;
    canvas.Text("PLANT", kWidth / 2, 4, 2);
    canvas.Fill(8, 86, kWidth - 16, 2);
    const int heights[] = {12, 20, 34, 28, 46, 40, 58, 52, 64};
    for (int i = 0; i < 9; ++i)
        canvas.Fill(12 + i * 12, 86 - heights[i], 8, heights[i]);
    return canvas.ImageData();
}

// The screen saver: a moon among stars.
QString NightPicture()
{
    Canvas canvas;
    canvas.Disc(64, 48, 26);
    canvas.Disc(76, 40, 24, false);
    const int stars[][2] = {{12, 14}, {30, 70}, {100, 18}, {112, 64},
                            {20, 40}, {88, 84}, {118, 38}, {46, 10}};
    for (const auto &star : stars) {
        canvas.Fill(star[0] - 2, star[1], 5, 1);
        canvas.Fill(star[0], star[1] - 2, 1, 5);
    }
    return canvas.ImageData();
}

}  // namespace

std::unique_ptr<TwNode> MakeDemoProject()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    Add(root.get(), nkDeviceInfo, "Device", {{"DeviceID", "1"}},
        {QStringLiteral("Demo project of the Zel Designer: a pump station."),
         QStringLiteral("Every kind of item the designer makes is used once at least.")});

    TwNode *mainMenu = Add(root.get(), nkMainMenu, "Main Menu");

    TwNode *pumps = Add(mainMenu, nkSubMenu, "Pumps", {}, {QStringLiteral("Values of the pump station")});
    Add(pumps, nkValue, "Flow",
        {{"Reference", "R100"},
         {"Max", "5000"},
         {"Min", "0"},
         {"Signed", "0"},
         {"Unit", "l/min"},
         {"DecimalPoint", "1"},
         {"ReadOnly", "0"}});
    Add(pumps, nkValue, "Pressure",
        {{"Reference", "D200"},
         {"Max", "1600"},
         {"Min", "-100"},
         {"Signed", "1"},
         {"Unit", "bar"},
         {"DecimalPoint", "2"},
         {"ReadOnly", "0"}},
        {QStringLiteral("Pressure behind the pumps, in hundredths of a bar."),
         QStringLiteral("The set point is typed on the panel; below -1.00 bar"),
         QStringLiteral("the sensor is broken.")});
    Add(pumps, nkValue, "Total",
        {{"Reference", "DR300"}, {"Signed", "0"}, {"Unit", "m3"}, {"DecimalPoint", "0"}, {"ReadOnly", "1"}});
    Add(pumps, nkValue, "Energy",
        {{"Reference", "DD40"}, {"Signed", "0"}, {"Unit", "kWh"}, {"DecimalPoint", "1"}, {"ReadOnly", "1"}});
    List(pumps, "Mode", "R110", {QStringLiteral("Off"), QStringLiteral("Hand"), QStringLiteral("Auto")});
    List(pumps, "Valve", "Y10", {QStringLiteral("Closed"), QStringLiteral("Open")}, true);

    TwNode *motor = Add(mainMenu, nkSubMenu, "Motor", {}, {QStringLiteral("One action of every type")});
    Add(motor, nkAction, "Pump on", {{"ActionType", "0"}, {"Reference", "Y0"}, {"StringOff", "Pump off"}});
    Add(motor, nkAction, "Start", {{"ActionType", "1"}, {"Reference", "M10"}});
    Add(motor, nkAction, "Stop", {{"ActionType", "2"}, {"Reference", "M10"}});
    Add(motor, nkAction, "Jog", {{"ActionType", "3"}, {"Reference", "Y1"}});
    Add(motor, nkAction, "Brake release", {{"ActionType", "4"}, {"Reference", "M11"}});
    Add(motor, nkAction, "Half speed",
        {{"ActionType", "5"}, {"Reference", "D10"}, {"Max", "50"}, {"Signed", "0"}});
    Add(motor, nkAction, "Faster",
        {{"ActionType", "6"},
         {"Reference", "D10"},
         {"Max", "100"},
         {"Min", "0"},
         {"StepSize", "5"},
         {"Signed", "0"}});
    Add(motor, nkAction, "Slower",
        {{"ActionType", "7"},
         {"Reference", "D10"},
         {"Max", "100"},
         {"Min", "0"},
         {"StepSize", "5"},
         {"Signed", "0"}});

    // Tank 1 holds two sub-menus, Tank 2 its values.
    TwNode *tanks = Add(mainMenu, nkSubMenu, "Tanks");
    TwNode *tank1 = Add(tanks, nkSubMenu, "Tank 1");
    TwNode *tank2 = Add(tanks, nkSubMenu, "Tank 2");
    for (TwNode *menu : {Add(tank1, nkSubMenu, "Readings"), tank2}) {
        const bool first = menu != tank2;
        Add(menu, nkValue, "Level",
            {{"Reference", first ? "R122" : "R124"},
             {"Max", "100"},
             {"Min", "0"},
             {"Unit", "%"},
             {"DecimalPoint", "0"},
             {"ReadOnly", "1"},
             {"Signed", "0"}});
        Add(menu, nkValue, "Temperature",
            {{"Reference", first ? "D123" : "D125"},
             {"Max", "1200"},
             {"Min", "-200"},
             {"Unit", "C"},
             {"DecimalPoint", "1"},
             {"ReadOnly", "1"},
             {"Signed", "1"}});
    }
    TwNode *service =
        Add(tank1, nkSubMenu, "Service", {}, {QStringLiteral("Timers, counters and high registers")});
    Add(service, nkValue, "Cleaning",
        {{"Reference", "RT5"}, {"Unit", "s"}, {"ReadOnly", "1"}, {"Signed", "0"}});
    Add(service, nkValue, "Fills", {{"Reference", "RC3"}, {"ReadOnly", "1"}, {"Signed", "0"}});
    Add(service, nkValue, "Drains", {{"Reference", "DRC200"}, {"ReadOnly", "1"}, {"Signed", "0"}});
    Add(service, nkValue, "Batch", {{"Reference", "R5000"}, {"Max", "999"}, {"Min", "1"}, {"Signed", "0"}});
    Add(service, nkValue, "Hours",
        {{"Reference", "DR5002"}, {"Unit", "h"}, {"ReadOnly", "1"}, {"Signed", "0"}});
    List(service, "Timer T4", "T4", {QStringLiteral("Idle"), QStringLiteral("Done")}, true);
    List(service, "Counter C2", "C2", {QStringLiteral("Counting"), QStringLiteral("Full")}, true);

    Add(mainMenu, nkAction, "Reset alarms", {{"ActionType", "3"}, {"Reference", "M100"}});

    TwNode *alarms = Add(root.get(), nkAlarms, "Alarms");
    Alarm(alarms, "01", "Oil too hot", "Oil ^ C", "D125", "Check cooler");
    Alarm(alarms, "02", "Pressure low", "Now ^ bar", "D200", "");
    Alarm(alarms, "07", "Motor overload", "Current ^ A", "R131", "Press OK");

    TwNode *startup = Add(root.get(), nkStartupScreen, "Startup Screen",
                          {{"EndCondition", "2"}, {"FlipTime", "15"}, {"CycleCount", "1"}});
    Add(startup, nkScreen, "")->SetProp(QStringLiteral("ImageData"), TitlePicture());
    Add(startup, nkScreen, "")->SetProp(QStringLiteral("ImageData"), ChartPicture());

    Add(root.get(), nkScreenSaver, "Screen Saver")->SetProp(QStringLiteral("ImageData"), NightPicture());

    Add(root.get(), nkConfiguration, "Configuration",
        {{"AlarmIndex", "R500"},
         {"Password", "R510"},
         {"WorkingSpace", "R520"},
         {"Level1IsTop", "0"},
         {"ProtectType", "1"},
         {"ScreenSaverActiveTime", "5"},
         {"SaverEffect", "2"}});
    return root;
}

QByteArray DemoProjectFile()
{
    return SaveProjectFile(*MakeDemoProject());
}
