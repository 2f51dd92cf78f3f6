// Loading images: what a good image sets up, every refusal of a damaged one (after
// which the engine stays idle), and reads bounded by the sections and the engine's
// buffers when the records inside a checksummed image are wrong.
#include "RuntimeTestImages.h"

#include "PanelLcdDriver.h"
#include "PlcLink.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"

using namespace runtime;

namespace {

// Header fields of an image.
constexpr size_t kSizeField = 4;
size_t BaseField(int section)
{
    return 8 + 4 * static_cast<size_t>(section);
}

class RuntimeImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestProject project = NewTestProject(0);
        for (int i = 0; i < 3; ++i)
            AddSubMenu(project.MainMenu, QStringLiteral("Item %1").arg(i));
        for (int i = 0; i < 10; ++i)
            AddSubMenu(project.MainMenu->GetChild(1), QStringLiteral("Child %1").arg(i));
        AddAlarm(project.Alarms, 5, {QStringLiteral("Hot")});
        AddAlarm(project.Alarms, 9, {QStringLiteral("Cold")});
        image = CompileForRuntime(project);
    }

    // Starts the image; expects the result.
    void ExpectLoad(const std::vector<uint8_t> &bytes, EngineLoadResult expected, uint8_t model = 0)
    {
        EXPECT_EQ(script.Start(bytes, model), expected);
        EXPECT_EQ(EngineImageLoaded(), expected == LoadOk);
    }

    // A refused image leaves the engine idle whatever it is fed.
    void ExpectIdle()
    {
        script.Run("p t d o e E S 10f");
        EXPECT_EQ(script.Flushes(), 0);
        EXPECT_EQ(EngineScreenState(), StateStartup);
        EXPECT_EQ(script.LitCount(0, 0, 128, 64), 0);
    }

    // The root page's first item record.
    size_t RootItem(int index) const
    {
        return ImageField32(image, BaseField(SecMenuPages)) + 2 + 10 * static_cast<size_t>(index);
    }

    std::vector<uint8_t> image;
    RuntimeScript script;
};

}  // namespace

TEST_F(RuntimeImageTest, GoodImageLoads)
{
    ExpectLoad(image, LoadOk);
    EXPECT_EQ(AlarmTableCount, 2);
    EXPECT_EQ(gImage.alarmSlots, 64);
    EXPECT_NE(gImage.alarms[4].stringLoc[0], kNoLoc);
    EXPECT_EQ(gImage.alarms[5].stringLoc[0], kNoLoc);
    EXPECT_EQ(gImage.fontHeight, 12);
    EXPECT_EQ(gImage.saverTime.type, 1u) << "the new project's saver time is a constant";
    EXPECT_EQ(gImage.saverTime.value, 10u);
    EXPECT_EQ(gEngine.accessLevel, AccessSupervisor) << "no password register";
    EXPECT_EQ(EngineScreenState(), StateStartup);
    EXPECT_STREQ(EngineLoadResultText(LoadOk), "");
}

TEST_F(RuntimeImageTest, DamagedImagesAreRefused)
{
    ExpectLoad(std::vector<uint8_t>(image.begin(), image.begin() + 30), LoadTooShort);
    ExpectIdle();

    std::vector<uint8_t> bad = image;
    bad[1] = 'X';
    ExpectLoad(bad, LoadBadId);
    ExpectIdle();

    ExpectLoad(image, LoadWrongModel, 1);

    bad = image;
    SetImageField32(bad, kSizeField, 20);
    ExpectLoad(bad, LoadBadSize);

    // The pad byte missing.
    ExpectLoad(std::vector<uint8_t>(image.begin(), image.end() - 1), LoadTooShort);

    bad = image;
    bad[ImageField32(bad, BaseField(SecScreenInfo)) + 3] ^= 0x10;
    ExpectLoad(bad, LoadBadChecksum);
    ExpectIdle();

    bad = image;
    SetImageField32(bad, BaseField(SecStringPool), ImageField32(bad, BaseField(SecAttributePool)) + 1);
    FixImageChecksum(bad);
    ExpectLoad(bad, LoadBadSections);  // bases out of order

    bad = image;
    SetImageField32(bad, BaseField(SecConfiguration), ImageField32(bad, kSizeField) - 37);
    FixImageChecksum(bad);
    ExpectLoad(bad, LoadBadSections);  // a configuration block of 37 bytes

    bad = image;
    SetImageField32(bad, BaseField(SecMenuPages), 44);
    FixImageChecksum(bad);
    ExpectLoad(bad, LoadBadSections);

    for (int r = LoadNoReadHook; r <= LoadBadSections; ++r)
        EXPECT_GT(std::string(EngineLoadResultText(static_cast<EngineLoadResult>(r))).size(), 20u);
}

TEST_F(RuntimeImageTest, NoReadHookIsRefused)
{
    SelectPanelModel(0);
    EngineInit(0);
    ReadImageHook = nullptr;
    EXPECT_EQ(EngineLoadImage(), LoadNoReadHook);
    EXPECT_EQ(EnginePaint(), 0);
}

TEST_F(RuntimeImageTest, TextsAreCutAt255Glyphs)
{
    TestProject project = NewTestProject(0);
    AddSubMenu(project.MainMenu, QString(300, QLatin1Char('a')));
    ExpectLoad(CompileForRuntime(project), LoadOk);
    script.Run("p");
    ReadText(gEngine.items[0].captionLoc, gEngine.text);
    EXPECT_EQ(gEngine.text.length, 255);
    EXPECT_EQ(TextWidth(gEngine.text), 255 * 5);
}

TEST_F(RuntimeImageTest, RecordsPointingOutsideTheirSectionsReadNothing)
{
    // Item 0's caption at the last byte of the string pool, item 2's child page far
    // beyond the menu pages, a page count of 500 and an alarm table claiming 1000 slots.
    const uint32_t poolSize =
        ImageField32(image, BaseField(SecAttributePool)) - ImageField32(image, BaseField(SecStringPool));
    SetImageField16(image, RootItem(0) + 2, static_cast<uint16_t>(poolSize - 1));
    SetImageField16(image, RootItem(2) + 8, 0xFF00);
    SetImageField16(image, ImageField32(image, BaseField(SecMenuPages)), 500);
    SetImageField16(image, ImageField32(image, BaseField(SecAlarmPages)), 1000);
    FixImageChecksum(image);
    ExpectLoad(image, LoadOk);
    EXPECT_EQ(gImage.alarmSlots, 64);

    script.Run("p p");
    EXPECT_EQ(gEngine.itemCount, 10) << "the engine holds at most 10 items";
    ReadText(gEngine.items[0].captionLoc, gEngine.text);
    EXPECT_EQ(gEngine.text.length, 0);
    script.Run("20d p");
    EXPECT_EQ(gEngine.selected[0], 9u);
    script.Run("20u 2d o p");
    EXPECT_EQ(gEngine.level, 1u);
    EXPECT_EQ(gEngine.itemCount, 0) << "a page outside the section is empty";
    script.Run("d u o r 7f e p");
    EXPECT_EQ(gEngine.level, 0u);
}

TEST_F(RuntimeImageTest, GlyphsOutsideThePatternsDrawNothing)
{
    const size_t directory = ImageField32(image, BaseField(SecDirectory));
    SetImageField16(image, directory + 2, 60000);                  // glyph count beyond the directory
    SetImageField32(image, directory + 4 + 4 * 'A', 0x05FFFFF0u);  // 'A' beyond the patterns
    FixImageChecksum(image);
    ExpectLoad(image, LoadOk);
    EXPECT_LT(gImage.glyphCount, 60000);
    script.Run("p");
    CurrentModel.ClearFrame();
    EXPECT_EQ(DrawGlyphIndex('A', 10, 10, 0), 5);
    EXPECT_EQ(script.LitCount(0, 0, 128, 64), 0);
    EXPECT_EQ(DrawGlyphIndex(gImage.glyphCount, 10, 10, 1), 0);
}

TEST_F(RuntimeImageTest, MissingPicturesShowADarkFrame)
{
    const size_t screen = ImageField32(image, BaseField(SecScreenInfo));
    image[screen] = 200;                    // startup pictures the image does not hold
    SetImageField16(image, screen + 4, 0);  // flip time
    FixImageChecksum(image);
    ExpectLoad(image, LoadOk);
    script.Run("401p");  // two paints a picture with flip time 0, then the menu
    EXPECT_EQ(EngineScreenState(), StateMenuList);
    EXPECT_EQ(script.Flushes(), 200 + 1);
}
