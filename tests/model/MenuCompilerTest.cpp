// The compiler's walk: menu pages, item records, alarms, pictures and the
// configuration block, and the projects it refuses.
#include "MenuCompiler.h"
#include "ProjectBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes SectionBytes(const TwRes &res, int id)
{
    return res.Section(id).Bytes();
}

uint16_t U16At(const Bytes &bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

uint32_t U32At(const Bytes &bytes, size_t offset)
{
    return U16At(bytes, offset) | static_cast<uint32_t>(U16At(bytes, offset + 2)) << 16;
}

Bytes Slice(const Bytes &bytes, size_t offset, size_t length)
{
    return Bytes(bytes.begin() + static_cast<long>(offset),
                 bytes.begin() + static_cast<long>(offset + length));
}

struct Compiled {
    PatternGlyphSource font;
    std::unique_ptr<TwRes> res;
    bool ok = false;
};

// Runs the walk and the font build with the pattern font.
std::unique_ptr<Compiled> CompileProject(TwNode *root, uint32_t model = 0)
{
    auto c = std::make_unique<Compiled>();
    TwCompileSettings settings;
    settings.PanelModelId = model;
    c->res = std::make_unique<TwRes>(c->font, settings);
    c->ok = c->res->Compile(root) && c->res->BuildFont();
    return c;
}

TEST(CompilerWalk, MenuSubMenuValuePagesAndPlaceholders)
{
    TestProject p = NewTestProject();
    TwNode *sub = AddSubMenu(p.MainMenu, "Sub");
    AddValue(sub, "V", "R100");
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok) << c->res->ErrorText().toStdString();

    const Bytes expected = {// page at 0: one sub-menu item whose page lies at 12
                            0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x0C, 0x00,
                            // page at 12: one value item, caption at 8, attribute at 0, no page
                            0x01, 0x00, 0x01, 0x00, 0x08, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF,
                            // the value's own empty page at 24
                            0x00, 0x00};
    EXPECT_EQ(SectionBytes(*c->res, rsMenuPages), expected);

    const Bytes pool = {0x03, 0x00, 'S', 0, 'u', 0, 'b', 0, 0x01, 0x00, 'V', 0};
    EXPECT_EQ(SectionBytes(*c->res, rsStringPool), pool);

    // Unit none, R100, unsigned word range.
    const Bytes value = {0xFF, 0xFF, 100, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0};
    EXPECT_EQ(SectionBytes(*c->res, rsAttributePool), value);
}

TEST(CompilerWalk, EmptyMainMenuAndScratchCleared)
{
    TestProject p = NewTestProject();
    p.MainMenu->CompileProps.append("MenuNodeLoc=7");  // left over from an earlier compile
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    EXPECT_EQ(SectionBytes(*c->res, rsMenuPages), (Bytes{0, 0}));
    EXPECT_TRUE(p.MainMenu->CompileProps.isEmpty());
}

TEST(CompilerWalk, DeeperTreesPatchEveryPlaceholder)
{
    TestProject p = NewTestProject();
    TwNode *a = AddSubMenu(p.MainMenu, "A");
    TwNode *b = AddSubMenu(p.MainMenu, "B");
    TwNode *a1 = AddSubMenu(a, "A1");
    AddValue(a1, "x", "D1");
    AddValue(b, "y", "D2");
    AddAction(b, "z", 1, "M1");  // mixed menus cannot be made in the editor, but compile
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes pages = SectionBytes(*c->res, rsMenuPages);
    // Pre-order: main (0, 22 bytes), A (22, 12), A1 (34, 12), x (46, 2), B (48, 22), y, z.
    EXPECT_EQ(U16At(pages, 2 + 8), 22);
    EXPECT_EQ(U16At(pages, 12 + 8), 48);
    EXPECT_EQ(U16At(pages, 22 + 2 + 8), 34);
    EXPECT_EQ(U16At(pages, 34 + 2 + 8), 0xFFFF);
    EXPECT_EQ(U16At(pages, 48), 2);
    EXPECT_EQ(pages.at(48 + 2), 1);
    EXPECT_EQ(pages.at(48 + 12), 3);
    EXPECT_EQ(pages.size(), 48u + 22 + 2 + 2);
    for (size_t i = 0; i + 1 < pages.size(); ++i)
        EXPECT_FALSE(pages[i] == 0x55 && pages[i + 1] == 0xAA) << "placeholder left at " << i;
}

TEST(CompilerWalk, CaptionDescriptionAndGlyphOrder)
{
    TestProject p = NewTestProject();
    TwNode *sub = AddSubMenu(p.MainMenu, QString::fromUtf8("Süd"));
    SetDescription(sub, {"A", "B"});
    AddSubMenu(p.MainMenu, QString());  // empty caption
    AddValue(sub, QString::fromUtf8("°"), "R1", {{"Unit", QString::fromUtf8("µ")}});
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes pool = SectionBytes(*c->res, rsStringPool);
    // "Süd": the first non-ASCII character gets 128.
    EXPECT_EQ(Slice(pool, 0, 8), (Bytes{3, 0, 'S', 0, 128, 0, 'd', 0}));
    // Description A, B: six units with CR LF after each line.
    EXPECT_EQ(Slice(pool, 8, 14), (Bytes{6, 0, 65, 0, 13, 0, 10, 0, 66, 0, 13, 0, 10, 0}));
    const Bytes pages = SectionBytes(*c->res, rsMenuPages);
    EXPECT_EQ(U16At(pages, 2 + 2), 0);
    EXPECT_EQ(U16At(pages, 2 + 4), 8);
    EXPECT_EQ(U16At(pages, 12 + 2), 0xFFFF);  // empty caption
    EXPECT_EQ(U16At(pages, 12 + 4), 0xFFFF);  // no description
    // Caption of the value, then its unit: 129, 130.
    EXPECT_EQ(Slice(pool, 22, 4), (Bytes{1, 0, 129, 0}));
    EXPECT_EQ(Slice(pool, 26, 4), (Bytes{1, 0, 130, 0}));
    EXPECT_EQ(c->res->GlyphCount(), 131);
}

TEST(CompilerRecords, ValueLimitsAndFlags)
{
    TestProject p = NewTestProject();
    AddValue(p.MainMenu, "a", "DD7", {{"Signed", "1"}, {"ReadOnly", "1"}, {"DecimalPoint", "2"}});
    AddValue(p.MainMenu, "b", "DR5000", {{"Min", "-5"}, {"Max", "4000000000"}});
    AddValue(p.MainMenu, "c", "RT3");                   // no natural range: 0 and 0
    AddValue(p.MainMenu, "d", "RC9", {{"Max", "99"}});  // a constant limit still counts
    AddValue(p.MainMenu, "e", "R99999");                // does not parse
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes attr = SectionBytes(*c->res, rsAttributePool);
    ASSERT_EQ(attr.size(), 5u * 16);
    EXPECT_EQ(Slice(attr, 0, 16),
              (Bytes{0xFF, 0xFF, 7, 0, 14, 3, 2, 0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(Slice(attr, 16, 16),
              (Bytes{0xFF, 0xFF, 0x88, 0x13, 13, 0, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 0x00, 0x28, 0x6B, 0xEE}));
    EXPECT_EQ(Slice(attr, 32, 16), (Bytes{0xFF, 0xFF, 3, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(U32At(attr, 48 + 8), 0u);
    EXPECT_EQ(U32At(attr, 48 + 12), 99u);
    EXPECT_EQ(Slice(attr, 64, 8), (Bytes{0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
}

TEST(CompilerRecords, ListEntries)
{
    TestProject p = NewTestProject();
    AddList(p.MainMenu, "L", "D5", {"Off", "", "On"}, {{"ReadOnly", "1"}});
    TwNode *none = AddList(p.MainMenu, "N", "X1", {});
    none->SetProp("Max", "none");  // no number: the default 0
    TwNode *large = AddList(p.MainMenu, "G", "Y1", {"a"});
    large->SetProp("Max", "255");
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes attr = SectionBytes(*c->res, rsAttributePool);
    const Bytes pool = SectionBytes(*c->res, rsStringPool);
    // Captions L at 0, then "Off" at 4, "On" at 12.
    EXPECT_EQ(Slice(attr, 0, 12), (Bytes{5, 0, 12, 1, 3, 0, 4, 0, 0xFF, 0xFF, 12, 0}));
    EXPECT_EQ(Slice(pool, 4, 8), (Bytes{3, 0, 'O', 0, 'f', 0, 'f', 0}));
    EXPECT_EQ(Slice(attr, 12, 6), (Bytes{1, 0, 2, 0, 0, 0}));
    EXPECT_EQ(Slice(attr, 18, 6), (Bytes{1, 0, 3, 0, 255, 0}));
    ASSERT_EQ(attr.size(), 18u + 6 + 2 * 255);
    EXPECT_NE(U16At(attr, 24), 0xFFFF);  // "a"
    for (size_t i = 1; i < 255; ++i)
        EXPECT_EQ(U16At(attr, 24 + 2 * i), 0xFFFF);
    const Bytes pages = SectionBytes(*c->res, rsMenuPages);
    EXPECT_EQ(U16At(pages, 2 + 6), 0);
    EXPECT_EQ(U16At(pages, 12 + 6), 12);
    EXPECT_EQ(U16At(pages, 22 + 6), 18);
}

// A number from a property that does not fit its field refuses the compile,
// naming the item and the property; the limits themselves still compile.
TEST(CompilerRefusals, NumbersThatDoNotFitTheirField)
{
    using Setter = void (*)(TestProject &, const QString &);
    const struct {
        Setter set;
        const char *fits;
        const char *tooLarge;
        const char *named;
    } kCases[] = {
        {[](TestProject &p, const QString &v) {
             AddValue(p.MainMenu, "V", "R1", {{"DecimalPoint", v}});
         },
         "255", "256", "property \"DecimalPoint\" of item 0 \"V\""},
        {[](TestProject &p, const QString &v) { AddList(p.MainMenu, "L", "R1", {})->SetProp("Max", v); }, "0",
         "-4", "property \"Max\" of item 0 \"L\""},
        {[](TestProject &p, const QString &v) {
             AddAction(p.MainMenu, "A", -1, "R1", {{"ActionType", v}});
         },
         "-1", "256", "property \"ActionType\""},
        {[](TestProject &p, const QString &v) {
             AddAction(p.MainMenu, "S", 6, "DR1", {{"StepSize", v}});
         },
         "4294967295", "4294967296", "property \"StepSize\""},
        {[](TestProject &p, const QString &v) { AddValue(p.MainMenu, "C", v); }, "65535", "65536",
         "property \"Reference\" of item 0 \"C\""},
        {[](TestProject &p, const QString &v) {
             AddAlarm(p.Alarms, 1, {"Hot"}, {"R1", v});
         },
         "0", "-1", "property \"Reference2\" of item 0 \"Alarm - 01\""},
        {[](TestProject &p, const QString &v) { p.StartupScreen->SetProp("FlipTime", v); }, "65535",
         "99999999999999999999", "property \"FlipTime\" of \"Startup Screen\""},
        {[](TestProject &p, const QString &v) { p.StartupScreen->SetProp("EndCondition", v); }, "255", "256",
         "property \"EndCondition\""},
        {[](TestProject &p, const QString &v) { p.Configuration->SetProp("SaverEffect", v); }, "65535",
         "70000", "property \"SaverEffect\" of \"Configuration\""},
    };
    for (const auto &c : kCases) {
        TestProject fits = NewTestProject();
        c.set(fits, QLatin1String(c.fits));
        auto ok = CompileProject(fits.Root.get());
        EXPECT_TRUE(ok->ok) << c.named << ": " << ok->res->ErrorText().toStdString();

        TestProject refused = NewTestProject();
        c.set(refused, QLatin1String(c.tooLarge));
        auto no = CompileProject(refused.Root.get());
        EXPECT_FALSE(no->ok) << c.named;
        EXPECT_TRUE(no->res->ErrorText().contains(QLatin1String(c.named)))
            << no->res->ErrorText().toStdString();
        EXPECT_TRUE(no->res->ErrorText().contains(QLatin1String(c.tooLarge))) << c.named;
    }
}

TEST(CompilerRecords, ActionTypes)
{
    TestProject p = NewTestProject();
    AddAction(p.MainMenu, "t0", 0, "M5",
              {{"StringOff", "Off"}, {"Max", "9"}, {"StepSize", "3"}, {"Signed", "1"}});
    AddAction(p.MainMenu, "t6", 6, "DR10",
              {{"Signed", "1"}, {"Max", "100"}, {"Min", "-100"}, {"StepSize", "5"}});
    AddAction(p.MainMenu, "none", -1, "R2", {{"Max", "9"}, {"StepSize", "3"}});
    AddAction(p.MainMenu, "t5", 5, "R3", {{"StepSize", "3"}});
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes attr = SectionBytes(*c->res, rsAttributePool);
    ASSERT_EQ(attr.size(), 4u * 20);
    // Captions t0 (0, 6 bytes), then "Off" at 6.
    EXPECT_EQ(Slice(attr, 0, 20), (Bytes{6, 0, 5, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Slice(attr, 20, 20),
              (Bytes{0xFF, 0xFF, 10, 0, 13, 2, 6, 0, 0x9C, 0xFF, 0xFF, 0xFF, 100, 0, 0, 0, 5, 0, 0, 0}));
    EXPECT_EQ(Slice(attr, 40, 20),
              (Bytes{0xFF, 0xFF, 2, 0, 11, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Type 5: word range, no step.
    EXPECT_EQ(Slice(attr, 60, 20),
              (Bytes{0xFF, 0xFF, 3, 0, 11, 0, 5, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
}

TEST(CompilerRecords, AlarmTable)
{
    TestProject p = NewTestProject();
    AddAlarm(p.Alarms, 64, {"Hot", "", "T"}, {"R7", "", "bad"});
    AddAlarm(p.Alarms, 0, {"zero"});
    AddAlarm(p.Alarms, 65, {"high"});
    AddTestNode(p.Alarms, nkAlarm, QString(), {{"Line1", "no index"}});
    AddAlarm(p.Alarms, 2, {"first"});
    AddAlarm(p.Alarms, 2, {"second"});
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes table = SectionBytes(*c->res, rsAlarmPages);
    ASSERT_EQ(table.size(), 772u);
    EXPECT_EQ(U16At(table, 0), 64);
    EXPECT_EQ(U16At(table, 2), 3);
    const size_t e63 = 4 + 63 * 12;
    // "Hot" at 0, "T" at 8; operands R7 at 0, "bad" at 4.
    EXPECT_EQ(Slice(table, e63, 12), (Bytes{0, 0, 0xFF, 0xFF, 8, 0, 0, 0, 0xFF, 0xFF, 4, 0}));
    const Bytes attr = SectionBytes(*c->res, rsAttributePool);
    EXPECT_EQ(Slice(attr, 0, 8), (Bytes{7, 0, 11, 0, 0, 0, 0, 0}));
    // Entry 1 holds the later alarm with index 2.
    const Bytes pool = SectionBytes(*c->res, rsStringPool);
    const uint16_t loc = U16At(table, 4 + 12);
    EXPECT_EQ(U16At(pool, loc), 6);
    EXPECT_EQ(pool.at(loc + 2), 's');
    for (int i = 0; i < 64; ++i) {
        if (i == 1 || i == 63)
            continue;
        for (int f = 0; f < 6; ++f)
            EXPECT_EQ(U16At(table, 4 + 12 * i + 2 * f), 0xFFFF);
    }
}

TEST(CompilerRecords, ConfigurationPairs)
{
    TestProject p = NewTestProject();
    AddTestNode(p.Configuration, nkReading, QString());  // children of the configuration are ignored
    p.Configuration->Props.clear();
    p.Configuration->SetProp("AlarmIndex", "R10");
    p.Configuration->SetProp("Password", "DR5000");
    p.Configuration->SetProp("ScreenSaverActiveTime", "5");
    p.Configuration->SetProp("WorkingSpace", "X300");  // does not parse
    p.Configuration->SetProp("Level1IsTop", "1");
    p.Configuration->SetProp("ProtectType", "2");
    p.Configuration->SetProp("SaverEffect", "3");
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes expected = {11, 0, 0, 0, 10, 0, 0, 0, 13, 0, 0, 0, 0x88, 0x13, 0, 0, 1, 0, 0,
                            0,  5, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,    1,    0, 2, 0, 3, 0};
    EXPECT_EQ(SectionBytes(*c->res, rsConfiguration), expected);

    TestProject q = NewTestProject();
    q.Configuration->SetProp("AlarmIndex", "3000000000");  // unsigned constant: no type, the pattern
    q.Configuration->SetProp("Password", "X5");
    auto d = CompileProject(q.Root.get());
    ASSERT_TRUE(d->ok);
    const Bytes config = SectionBytes(*d->res, rsConfiguration);
    EXPECT_EQ(Slice(config, 0, 16), (Bytes{0, 0, 0, 0, 0x00, 0x5E, 0xD0, 0xB2, 0, 0, 0, 0, 5, 0, 0, 0}));
    EXPECT_EQ(Slice(config, 16, 8), (Bytes{1, 0, 0, 0, 10, 0, 0, 0}));
    EXPECT_EQ(Slice(config, 32, 6), (Bytes{0, 0, 0, 0, 1, 0}));
}

TEST(CompilerRecords, ScreenHeaderAndPictures)
{
    TestProject p = NewTestProject();
    p.StartupScreen->SetProp("EndCondition", "1");
    p.StartupScreen->SetProp("FlipTime", "300");
    p.StartupScreen->SetProp("CycleCount", "2");
    AddStartupPicture(p.StartupScreen, PictureHex(0, 0xA5));
    auto c = CompileProject(p.Root.get());
    ASSERT_TRUE(c->ok);
    const Bytes screens = SectionBytes(*c->res, rsScreenInfo);
    ASSERT_EQ(screens.size(), 8u + 1024);
    EXPECT_EQ(Slice(screens, 0, 8), (Bytes{1, 0, 1, 0, 0x2C, 0x01, 2, 0}));
    EXPECT_EQ(Slice(screens, 8, 1024), Bytes(1024, 0xA5));

    // A saver with a picture: saverCount 1, its bytes right after the startup
    // pictures.
    TestProject s = NewTestProject();
    AddStartupPicture(s.StartupScreen, PictureHex(0, 0x01));
    AddStartupPicture(s.StartupScreen, PictureHex(0, 0x02));
    s.ScreenSaver->SetProp("ImageData", PictureHex(0, 0x5A));
    auto e = CompileProject(s.Root.get());
    ASSERT_TRUE(e->ok);
    const Bytes saver = SectionBytes(*e->res, rsScreenInfo);
    ASSERT_EQ(saver.size(), 8u + 3 * 1024);
    EXPECT_EQ(Slice(saver, 0, 8), (Bytes{2, 1, 0, 0, 10, 0, 0, 0}));
    EXPECT_EQ(Slice(saver, 8, 1024), Bytes(1024, 0x01));
    EXPECT_EQ(Slice(saver, 8 + 1024, 1024), Bytes(1024, 0x02));
    EXPECT_EQ(Slice(saver, 8 + 2048, 1024), Bytes(1024, 0x5A));

    // A saver without a picture adds nothing.
    TestProject q = NewTestProject();
    auto d = CompileProject(q.Root.get());
    EXPECT_EQ(SectionBytes(*d->res, rsScreenInfo), (Bytes{0, 0, 0, 0, 10, 0, 0, 0}));
}

TEST(CompilerRecords, DamagedPicturesKeepTheirPlaces)
{
    TestProject p = NewTestProject(1);
    AddStartupPicture(p.StartupScreen, "12zz3");                       // short, a bad pair, an odd digit
    AddStartupPicture(p.StartupScreen, QString());                     // missing
    AddStartupPicture(p.StartupScreen, PictureHex(1, 0x11) + "FFFF");  // long
    p.ScreenSaver->SetProp("ImageData", "7E");
    // The saver follows the startup pictures whatever the node order.
    p.Root->MoveChild(p.Root->IndexOfChild(p.ScreenSaver), p.Root->IndexOfChild(p.StartupScreen));
    auto c = CompileProject(p.Root.get(), 1);
    ASSERT_TRUE(c->ok);
    const Bytes screens = SectionBytes(*c->res, rsScreenInfo);
    ASSERT_EQ(screens.size(), 8u + 4 * 1536);
    EXPECT_EQ(Slice(screens, 0, 2), (Bytes{3, 1}));
    Bytes first(1536, 0);
    first[0] = 0x12;
    first[2] = 0x03;  // the lone last digit, read alone
    EXPECT_EQ(Slice(screens, 8, 1536), first);
    EXPECT_EQ(Slice(screens, 8 + 1536, 1536), Bytes(1536, 0));
    EXPECT_EQ(Slice(screens, 8 + 2 * 1536, 1536), Bytes(1536, 0x11));
    Bytes saver(1536, 0);
    saver[0] = 0x7E;
    EXPECT_EQ(Slice(screens, 8 + 3 * 1536, 1536), saver);
}

TEST(CompilerRecords, HexData)
{
    TwSection section;
    TwRes::AddHexData(section, "0aFf1G7");
    EXPECT_EQ(section.Bytes(), (Bytes{0x0A, 0xFF, 0x00, 0x07}));
}

TEST(CompilerRefusals, MissingFixedNodes)
{
    for (int32_t kind : {nkMainMenu, nkStartupScreen, nkConfiguration}) {
        TestProject p = NewTestProject();
        delete p.Root->FindChildOfKind(kind);
        auto c = CompileProject(p.Root.get());
        EXPECT_FALSE(c->ok);
        EXPECT_FALSE(c->res->ErrorText().isEmpty());
        EXPECT_FALSE(c->res->SaveImage("/nonexistent/never.mda"));
    }
    TestProject p = NewTestProject();
    delete p.Configuration;
    auto c = CompileProject(p.Root.get());
    EXPECT_TRUE(c->res->ErrorText().contains("\"Configuration\""));
}

TEST(CompilerRefusals, TextLongerThanTheEncodingBuffer)
{
    TestProject p = NewTestProject();
    TwNode *menu = AddSubMenu(p.MainMenu, "Pumps");
    AddValue(menu, QString(1024, 'x'), "R1");  // fits exactly
    TwNode *value = AddValue(menu, "Speed", "R2");
    SetDescription(value, {QString(1023, 'y')});  // 1025 units with CR LF
    auto c = CompileProject(p.Root.get());
    ASSERT_FALSE(c->ok);
    const QString message = c->res->ErrorText();
    EXPECT_TRUE(message.contains("description")) << message.toStdString();
    EXPECT_TRUE(message.contains("0.1 \"Speed\"")) << message.toStdString();
    EXPECT_TRUE(message.contains("1025")) << message.toStdString();
}

TEST(CompilerRefusals, SixteenBitLocationsOverflow)
{
    {  // string pool: 40 texts of 1000 units
        TestProject p = NewTestProject();
        for (int m = 0; m < 4; ++m) {
            TwNode *menu = AddSubMenu(p.MainMenu, QString::number(m));
            for (int i = 0; i < 10; ++i)
                AddValue(menu, QString(1000, QChar('a' + i)), "R1");
        }
        auto c = CompileProject(p.Root.get());
        EXPECT_FALSE(c->ok);
        EXPECT_TRUE(c->res->ErrorText().contains("string pool")) << c->res->ErrorText().toStdString();
    }
    {  // attribute pool: 130 lists of 255 entries
        TestProject p = NewTestProject();
        for (int m = 0; m < 13; ++m) {
            TwNode *menu = AddSubMenu(p.MainMenu, QString());
            for (int i = 0; i < 10; ++i)
                AddTestNode(menu, nkList, QString(), {{"Max", "255"}});
        }
        auto c = CompileProject(p.Root.get());
        EXPECT_FALSE(c->ok);
        EXPECT_TRUE(c->res->ErrorText().contains("attribute pool")) << c->res->ErrorText().toStdString();
    }
    {  // menu pages: 1000 menus of 10 empty sub-menus
        TestProject p = NewTestProject();
        for (int a = 0; a < 10; ++a) {
            TwNode *ma = AddSubMenu(p.MainMenu, QString());
            for (int b = 0; b < 10; ++b) {
                TwNode *mb = AddSubMenu(ma, QString());
                for (int d = 0; d < 10; ++d) {
                    TwNode *md = AddSubMenu(mb, QString());
                    for (int v = 0; v < 10; ++v)
                        AddSubMenu(md, QString());
                }
            }
        }
        auto c = CompileProject(p.Root.get());
        EXPECT_FALSE(c->ok);
        EXPECT_TRUE(c->res->ErrorText().contains("menu-page")) << c->res->ErrorText().toStdString();
    }
}

TEST(CompilerRefusals, UnknownKindInAMenuAndUnknownModel)
{
    TestProject p = NewTestProject();
    AddTestNode(p.MainMenu, nkAlarm, "stray");
    auto c = CompileProject(p.Root.get());
    EXPECT_FALSE(c->ok);
    EXPECT_TRUE(c->res->ErrorText().contains("201"));

    TestProject q = NewTestProject();
    auto d = CompileProject(q.Root.get(), 2);
    EXPECT_FALSE(d->ok);
}

}  // namespace
