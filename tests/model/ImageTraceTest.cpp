// The image viewer's reader: the lines of compiled images, and cut,
// self-referencing and oversized input read without leaving the bytes.
#include "ImageTrace.h"
#include "MenuCompiler.h"
#include "ProjectBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

QString Hex(uint32_t value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

// The lines indented by two blanks a level.
QStringList Rendered(const TwImageTrace &trace)
{
    QStringList lines;
    for (const TwTraceLine &line : trace.Lines)
        lines.append(QString(2 * line.Depth, QLatin1Char(' ')) + line.Text);
    return lines;
}

// The top-level line starting with name and every line under it, indented.
QStringList Subtree(const TwImageTrace &trace, const QString &name)
{
    QStringList lines;
    bool inside = false;
    for (const QString &line : Rendered(trace)) {
        if (!line.startsWith(QLatin1Char(' ')))
            inside = line.startsWith(name + QLatin1Char('='));
        if (inside)
            lines.append(line);
    }
    return lines;
}

QByteArray Compile(TestProject &p)
{
    PatternGlyphSource font(5, 12);
    QString error;
    const QByteArray image = CompileTestImage(p.Root.get(), font, 0, &error);
    EXPECT_FALSE(image.isEmpty()) << error.toStdString();
    return image;
}

// Main Menu > sub-menu "Sub" > signed DD value "V" with a unit; an alarm.
QByteArray MenuImage()
{
    TestProject p = NewTestProject();
    TwNode *sub = AddSubMenu(p.MainMenu, "Sub");
    AddValue(sub, "V", "DD7", {{"Signed", "1"}, {"Unit", "u"}, {"DecimalPoint", "2"}});
    AddAlarm(p.Alarms, 2, {"Hot"}, {"R5"});
    return Compile(p);
}

// Little-endian u16 words, or u32 words, as bytes.
template <typename Word> QByteArray Words(const std::vector<Word> &words)
{
    QByteArray bytes;
    for (Word word : words)
        for (size_t i = 0; i < sizeof(Word); ++i)
            bytes.append(static_cast<char>(word >> (8 * i)));
    return bytes;
}

// An image of the given menu-page section (u16 words) and an empty glyph
// directory after it; nothing else.
QByteArray PagesImage(const std::vector<uint16_t> &pages)
{
    const uint32_t directory = 40 + 2 * static_cast<uint32_t>(pages.size()), end = directory + 4;
    return QByteArray("ZEL\x01", 4)
        + Words<uint32_t>({end, 40, directory, directory, end, end, end, end, end}) + Words(pages)
        + QByteArray(4, '\0');
}

// True when every line of part that is not a stop line appears in whole, in
// order: a cut image shows only what the whole one shows.
bool ReadLinesAreSubsequence(const TwImageTrace &part, const TwImageTrace &whole)
{
    size_t w = 0;
    for (const TwTraceLine &line : part.Lines) {
        if (line.Stop)
            continue;
        while (w < whole.Lines.size()
               && (whole.Lines[w].Depth != line.Depth || whole.Lines[w].Text != line.Text))
            ++w;
        if (w == whole.Lines.size())
            return false;
        ++w;
    }
    return true;
}

TEST(ImageTrace, MinimalImageLines)
{
    TestProject p = NewTestProject();
    const TwImageTrace trace = TraceMenuImage(Compile(p));
    EXPECT_TRUE(trace.Stops.isEmpty());

    const QString none = QStringLiteral("=(65535) 0xFFFF");
    QStringList expected = {"size=(2672) 0x00000A70", "menuPagesBase=(40) 0x00000028",
                            "  [0000] count=(0) 0x0000", "alarmPagesBase=(42) 0x0000002A",
                            "  maxCount=(64) 0x40"};
    for (int i = 0; i < 64; ++i) {
        expected << QStringLiteral("  item[%1]").arg(i);
        for (const char *field : {"stringLoc[0]", "stringLoc[1]", "stringLoc[2]", "attributeLoc[0]",
                                  "attributeLoc[1]", "attributeLoc[2]"})
            expected << QStringLiteral("    ") + QLatin1String(field) + none;
    }
    expected << "directoryBase=(814) 0x0000032E"
             << "  fontHeight=(12) 0x0C"
             << "  rev=(0) 0x00"
             << "  count=(128) 0x0080";
    // Picture glyphs 6 wide, characters 5 wide; two bytes a column.
    for (int i = 0; i < 128; ++i) {
        const uint32_t width = i < 8 ? 6 : 5;
        const uint32_t loc = i < 8 ? 12 * i : 96 + 10 * (i - 8);
        expected << QStringLiteral("  item[%1] fontPattenLoc=0x%2[Width=%3,Loc=%4]")
                        .arg(i)
                        .arg(Hex(width << 24 | loc, 8), QString::number(width), Hex(loc, 6));
    }
    expected << "stringPoolBase=(1330) 0x00000532"
             << "attributePoolBase=(1330) 0x00000532"
             << "screenInfoBase=(1330) 0x00000532"
             << "  startupCount=(0) 0x00"
             << "  saverCount=(0) 0x00"
             << "  endCondition=(0) 0x00"
             << "  rev=(0) 0x00"
             << "  filpTime=(10) 0x000A"
             << "  cycleCount=(0) 0x0000"
             << "fontPatternBase=(1338) 0x0000053A"
             << "configurationBase=(2634) 0x00000A4A";
    // The new project's screen-saver time, a constant (type 1) of 10.
    for (int i = 0; i < 4; ++i)
        expected << QStringLiteral("  data[%1].type=(%2) 0x0000000%2").arg(i).arg(i == 2 ? 1 : 0)
                 << (i == 2 ? QStringLiteral("  data[2].value=(10) 0x0000000A")
                            : QStringLiteral("  data[%1].value=(0) 0x00000000").arg(i));
    EXPECT_EQ(Rendered(trace), expected);
}

TEST(ImageTrace, MenuPagesFollowTheMenuAndShowValueRecords)
{
    const TwImageTrace trace = TraceMenuImage(MenuImage());
    EXPECT_TRUE(trace.Stops.isEmpty());
    const QStringList pages = {"menuPagesBase=(40) 0x00000028",
                               "  [0000] count=(1) 0x0001",
                               "    item[0]",
                               "      type=(0) 0x00",
                               "      rev=(0) 0x00",
                               "      captionLoc=(0) 0x0000",
                               "      descriptionLoc=(65535) 0xFFFF",
                               "      attributeLoc=(65535) 0xFFFF",
                               "      menuNodeLoc=(12) 0x000C",
                               "        [000C] count=(1) 0x0001",
                               "          item[0]",
                               "            type=(1) 0x01",
                               "            rev=(0) 0x00",
                               "            captionLoc=(8) 0x0008",
                               "            descriptionLoc=(65535) 0xFFFF",
                               "            attributeLoc=(0) 0x0000",
                               "            unitStrLoc=(12) 0x000C",
                               "            refNumber=(7) 0x0007",
                               "            refType=(14) 0x0E",
                               "            flag=(2) 0x02",
                               "            decimalPoint=(2) 0x02",
                               "            rev=(0) 0x00",
                               "            min=(-2147483648) u(2147483648) 0x80000000",
                               "            max=(2147483647) u(2147483647) 0x7FFFFFFF",
                               "            menuNodeLoc=(65535) 0xFFFF"};
    EXPECT_EQ(Subtree(trace, "menuPagesBase"), pages);
}

TEST(ImageTrace, EveryCutShowsOnlyWhatItHoldsAndSaysWhereItStopped)
{
    const QByteArray image = MenuImage();
    const TwImageTrace whole = TraceMenuImage(image);
    // The last field read is the fourth configuration pair's value.
    const qsizetype lastRead = ImageU32(image, 36) + 32;
    for (qsizetype cut = 0; cut < image.size(); ++cut) {
        const TwImageTrace part = TraceMenuImage(image.left(cut));
        EXPECT_EQ(part.Stops.isEmpty(), cut >= lastRead) << "cut " << cut;
        EXPECT_TRUE(ReadLinesAreSubsequence(part, whole)) << "cut " << cut;
    }
    EXPECT_EQ(
        TraceMenuImage(image.left(41)).Stops,
        QStringList({"Stopped: page [0000] at byte 40 runs past the end of the file (41 bytes)",
                     "Stopped: maxCount at byte 66 runs past the end of the file (41 bytes)",
                     "Stopped: fontHeight at byte 838 runs past the end of the file (41 bytes)",
                     "Stopped: the string at [0000] at byte 1354 runs past the end of the file (41 bytes)",
                     "Stopped: the screen header at byte 1398 runs past the end of the file (41 bytes)",
                     "Stopped: data[0].type at byte 2702 runs past the end of the file (41 bytes)"}));
    // A cut header shows the fields it holds.
    const TwImageTrace header = TraceMenuImage(image.left(30));
    EXPECT_EQ(header.Lines.size(), 7u);
    EXPECT_EQ(header.Stops,
              QStringList({"Stopped: screenInfoBase at byte 28 runs past the end of the file (30 bytes)"}));
}

TEST(ImageTrace, BrokenPagesEndWithAStopLine)
{
    // A page is its count, then per item: type, captionLoc, descriptionLoc,
    // attributeLoc, menuNodeLoc.
    constexpr uint16_t N = 0xFFFF;
    std::vector<uint16_t> chain;
    for (uint16_t i = 0; i < 40; ++i)
        chain.insert(chain.end(), {1, 0, N, N, N, static_cast<uint16_t>(i < 39 ? 12 * (i + 1) : N)});
    const struct {
        std::vector<uint16_t> pages;
        const char *stop;
    } cases[] = {
        {{1, 0, N, N, N, 0}, "page [0000] refers back to a page above"},
        {{2, 0, N, N, N, 22, 0, N, N, N, 22, 0}, "page [0016] is shown above already"},
        {{N, 0xFF, N, N, N, N}, "item[1] at byte 52 runs past the end of the file (56 bytes)"},
        {chain, "page [0180] lies deeper than 32 pages"},
        {{1, 1, N, N, 0x1000, N}, "the value record at byte 4152 runs past the end of the file (56 bytes)"},
        {{1, 0, N, N, N, 0xF000}, "page [F000] at byte 61480 runs past the end of the file (56 bytes)"},
    };
    for (const auto &c : cases) {
        const TwImageTrace trace = TraceMenuImage(PagesImage(c.pages));
        EXPECT_EQ(trace.Stops, QStringList(QStringLiteral("Stopped: ") + c.stop));
        // The sections after the pages are still shown.
        EXPECT_EQ(Subtree(trace, "directoryBase").size(), 4) << c.stop;
    }
}

TEST(ImageTrace, LineBudgetAndFileSizeEndHugeInput)
{
    // An alarm table claiming 65535 entries, all present: 7 lines each.
    const QByteArray image = QByteArray("ZEL\x01", 4) + Words<uint32_t>({0, 40, 40, 0, 0, 0, 0, 0, 0})
        + Words<uint16_t>({0xFFFF}) + QByteArray(2 + 65535 * 12, '\0');
    const TwImageTrace trace = TraceMenuImage(image);
    ASSERT_EQ(trace.Lines.size(), size_t(kTraceMaxLines) + 1);
    EXPECT_EQ(trace.Lines.back().Depth, 0);
    EXPECT_EQ(trace.Stops, QStringList({"Stopped: more than 300000 lines; the rest is not shown"}));
    // A device without end is never opened; a file beyond the limit is not read.
    EXPECT_EQ(TraceMenuImageFile(QStringLiteral("/dev/zero")).Stops,
              QStringList("Cannot read /dev/zero: Not a regular file"));
    QTemporaryDir dir;
    QFile huge(dir.filePath(QStringLiteral("huge.mda")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kTraceMaxFileSize + 1));
    huge.close();
    EXPECT_EQ(
        TraceMenuImageFile(huge.fileName()).Stops,
        QStringList(QStringLiteral("Not read: %1 is larger than 16777216 bytes, too large for a menu image")
                        .arg(QDir::toNativeSeparators(huge.fileName()))));
}

}  // namespace
