// Panel model records, model selection, pixel addressing, flush and display
// mode hooks, and the picture expansion of the 128 x 96 model.
#include "PanelLcdDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class PanelLcdDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SelectPanelModel(PanelModel128x64);
        Lcd64Clear();
        Lcd96Clear();
        for (PanelSimHooks &hooks : PanelSimWindowHooks)
            hooks = {};
    }
    void TearDown() override
    {
        for (PanelSimHooks &hooks : PanelSimWindowHooks)
            hooks = {};
        SelectPanelModel(PanelModel128x64);
    }

    static const uint8_t *Frame64() { return PanelModelTable[0]->FrameBuffer; }
    static const uint8_t *Frame96() { return PanelModelTable[1]->FrameBuffer; }

    static int CountNonZero(const uint8_t *bytes, int count)
    {
        int n = 0;
        for (int i = 0; i < count; ++i)
            n += bytes[i] != 0;
        return n;
    }
};

TEST_F(PanelLcdDriverTest, RecordsHoldTheModelDimensions)
{
    const PanelModelRecord &m64 = *PanelModelTable[0];
    EXPECT_EQ(m64.ModelId, 0);
    EXPECT_EQ(m64.Width, 128);
    EXPECT_EQ(m64.Height, 64);
    EXPECT_EQ(m64.FrameBytes, 1024);
    EXPECT_EQ(m64.RowsPerPage, 3);
    EXPECT_EQ(m64.SetPixel, &Lcd64SetPixel);
    EXPECT_EQ(m64.ClearFrame, &Lcd64Clear);
    EXPECT_EQ(m64.FlushFrame, &Lcd64Flush);
    EXPECT_EQ(m64.InitDisplay, &Lcd64Refresh);
    EXPECT_EQ(m64.SetDisplayMode, &Lcd64SetDisplayMode);

    const PanelModelRecord &m96 = *PanelModelTable[1];
    EXPECT_EQ(m96.ModelId, 1);
    EXPECT_EQ(m96.Width, 128);
    EXPECT_EQ(m96.Height, 96);
    EXPECT_EQ(m96.FrameBytes, 6144);
    EXPECT_EQ(m96.RowsPerPage, 5);
    EXPECT_EQ(m96.SetPixel, &Lcd96SetPixel);
    EXPECT_EQ(m96.ClearFrame, &Lcd96Clear);
    EXPECT_EQ(m96.FlushFrame, &Lcd96Flush);
    EXPECT_NE(m64.FrameBuffer, m96.FrameBuffer);

    // The unused entries are callable and do nothing.
    for (const PanelModelRecord *record : PanelModelTable) {
        ASSERT_NE(record->Reserved1, nullptr);
        ASSERT_NE(record->Reserved2, nullptr);
        ASSERT_NE(record->Reserved3, nullptr);
        record->Reserved1();
        record->Reserved2();
        EXPECT_EQ(record->Reserved3(), 0);
    }
}

TEST_F(PanelLcdDriverTest, CurrentModelIsUsableBeforeAnySelection)
{
    // The fixture selected model 0, which is also the program-start state;
    // what matters is that no operation is null.
    EXPECT_EQ(PanelModelId, 0u);
    EXPECT_NE(CurrentModel.SetPixel, nullptr);
    EXPECT_NE(CurrentModel.ClearFrame, nullptr);
    EXPECT_NE(CurrentModel.FlushFrame, nullptr);
    EXPECT_NE(CurrentModel.FrameBuffer, nullptr);
}

TEST_F(PanelLcdDriverTest, SelectingReplacesEveryField)
{
    EXPECT_TRUE(SelectPanelModel(1));
    EXPECT_EQ(PanelModelId, 1u);
    EXPECT_EQ(std::memcmp(&CurrentModel, PanelModelTable[1], sizeof CurrentModel), 0);

    EXPECT_TRUE(SelectPanelModel(0));
    EXPECT_EQ(PanelModelId, 0u);
    EXPECT_EQ(std::memcmp(&CurrentModel, PanelModelTable[0], sizeof CurrentModel), 0);
}

TEST_F(PanelLcdDriverTest, UnknownModelIdChangesNothing)
{
    SelectPanelModel(1);
    const PanelModelRecord before = CurrentModel;
    EXPECT_FALSE(SelectPanelModel(2));
    EXPECT_FALSE(SelectPanelModel(255));
    EXPECT_EQ(PanelModelId, 1u);
    EXPECT_EQ(std::memcmp(&CurrentModel, &before, sizeof before), 0);
}

TEST_F(PanelLcdDriverTest, Model64TopLeftIsLastByteBit7)
{
    Lcd64SetPixel(0, 0, 1);
    EXPECT_EQ(Frame64()[1023], 0x80);
    EXPECT_EQ(CountNonZero(Frame64(), 1024), 1);
    EXPECT_TRUE(Lcd64GetPixel(0, 0));
}

TEST_F(PanelLcdDriverTest, Model64BottomRightIsFirstByteBit0)
{
    Lcd64SetPixel(127, 63, 1);
    EXPECT_EQ(Frame64()[0], 0x01);
    EXPECT_EQ(CountNonZero(Frame64(), 1024), 1);
}

TEST_F(PanelLcdDriverTest, Model64InnerPixelAddress)
{
    // x' = 122, y' = 54: byte 122 + 6 * 128, bit 6.
    Lcd64SetPixel(5, 9, 1);
    EXPECT_EQ(Frame64()[890], 0x40);
    EXPECT_EQ(CountNonZero(Frame64(), 1024), 1);
}

TEST_F(PanelLcdDriverTest, Model64ClearingKeepsTheOtherBitsOfTheByte)
{
    // Rows 56..63 of column 0 share byte 127.
    for (uint16_t y = 56; y < 64; ++y)
        Lcd64SetPixel(0, y, 1);
    EXPECT_EQ(Frame64()[127], 0xFF);
    Lcd64SetPixel(0, 60, 0);
    EXPECT_EQ(Frame64()[127], 0xFF & ~(1 << 3));
    EXPECT_FALSE(Lcd64GetPixel(0, 60));
    EXPECT_TRUE(Lcd64GetPixel(0, 59));
}

TEST_F(PanelLcdDriverTest, AnyNonZeroOnValueLights)
{
    Lcd64SetPixel(10, 10, 2);
    EXPECT_TRUE(Lcd64GetPixel(10, 10));
    Lcd64SetPixel(11, 10, 255);
    EXPECT_TRUE(Lcd64GetPixel(11, 10));
    SelectPanelModel(1);
    Lcd96SetPixel(3, 3, 2);
    EXPECT_EQ(Frame96()[3 * 64 + 1], 0xF0);
}

TEST_F(PanelLcdDriverTest, Model64IgnoresPixelsOutside)
{
    Lcd64SetPixel(128, 0, 1);
    Lcd64SetPixel(0, 64, 1);
    Lcd64SetPixel(65535, 65535, 1);
    EXPECT_EQ(CountNonZero(Frame64(), 1024), 0);
}

TEST_F(PanelLcdDriverTest, Model64StaysInItsBufferWhenTheLargerModelIsCurrent)
{
    SelectPanelModel(1);
    Lcd64SetPixel(0, 64, 1);
    Lcd64SetPixel(0, 95, 1);
    EXPECT_EQ(CountNonZero(Frame64(), 1024), 0);
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 0);
}

TEST_F(PanelLcdDriverTest, Model96PixelNibbles)
{
    SelectPanelModel(1);
    const_cast<uint8_t *>(Frame96())[0] = 0xA0;
    Lcd96SetPixel(0, 0, 1);
    EXPECT_EQ(Frame96()[0], 0xAF);  // low nibble set, high nibble kept

    Lcd96Clear();
    Lcd96SetPixel(1, 0, 1);
    EXPECT_EQ(Frame96()[0], 0xF0);

    Lcd96Clear();
    Lcd96SetPixel(127, 95, 1);
    EXPECT_EQ(Frame96()[6143], 0xF0);
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 1);

    Lcd96SetPixel(126, 95, 1);
    EXPECT_EQ(Frame96()[6143], 0xFF);
    Lcd96SetPixel(127, 95, 0);
    EXPECT_EQ(Frame96()[6143], 0x0F);
    EXPECT_TRUE(Lcd96GetPixel(126, 95));
    EXPECT_FALSE(Lcd96GetPixel(127, 95));
}

TEST_F(PanelLcdDriverTest, Model96IgnoresPixelsOutside)
{
    SelectPanelModel(1);
    Lcd96SetPixel(128, 0, 1);
    Lcd96SetPixel(0, 96, 1);
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 0);

    // Bounded by the current model too: rows below 64 are outside MZEL.
    SelectPanelModel(0);
    Lcd96SetPixel(0, 64, 1);
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 0);
    Lcd96SetPixel(0, 63, 1);
    EXPECT_EQ(Frame96()[63 * 64], 0x0F);
}

TEST_F(PanelLcdDriverTest, CurrentModelOperationsReachTheSelectedBuffer)
{
    SelectPanelModel(1);
    CurrentModel.SetPixel(2, 1, 1);
    EXPECT_EQ(CurrentModel.FrameBuffer[64 + 1], 0x0F);
    CurrentModel.ClearFrame();
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 0);
}

TEST_F(PanelLcdDriverTest, ClearZeroesTheWholeBuffer)
{
    std::memset(PanelModelTable[0]->FrameBuffer, 0xFF, 1024);
    std::memset(PanelModelTable[1]->FrameBuffer, 0xFF, 6144);
    Lcd64Clear();
    EXPECT_EQ(CountNonZero(Frame64(), 1024), 0);
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 6144);
    Lcd96Clear();
    EXPECT_EQ(CountNonZero(Frame96(), 6144), 0);
}

struct RenderLog {
    int calls = 0;
    const uint8_t *frame = nullptr;
    uint16_t bytes = 0;
    std::vector<int> modes;
};

void RecordRender(void *user, const uint8_t *frame, uint16_t bytes)
{
    auto *log = static_cast<RenderLog *>(user);
    ++log->calls;
    log->frame = frame;
    log->bytes = bytes;
}

void RecordMode(void *user, uint8_t mode)
{
    static_cast<RenderLog *>(user)->modes.push_back(mode);
}

TEST_F(PanelLcdDriverTest, FlushHandsTheFrameToTheModelsRenderHook)
{
    RenderLog log64, log96;
    PanelSimWindowHooks[0] = {RecordRender, RecordMode, &log64};
    PanelSimWindowHooks[1] = {RecordRender, RecordMode, &log96};

    EXPECT_EQ(Lcd64Flush(), 0);
    EXPECT_EQ(log64.calls, 1);
    EXPECT_EQ(log64.frame, Frame64());
    EXPECT_EQ(log64.bytes, 1024);
    EXPECT_EQ(log96.calls, 0);

    SelectPanelModel(1);
    EXPECT_EQ(CurrentModel.FlushFrame(), 0);
    EXPECT_EQ(log96.calls, 1);
    EXPECT_EQ(log96.frame, Frame96());
    EXPECT_EQ(log96.bytes, 6144);

    CurrentModel.SetDisplayMode(PanelDisplayDim);
    EXPECT_EQ(log96.modes, std::vector<int>{1});
    EXPECT_TRUE(log64.modes.empty());

    // Refresh: display on, then flush.
    CurrentModel.InitDisplay();
    EXPECT_EQ(log96.modes, (std::vector<int>{1, 2}));
    EXPECT_EQ(log96.calls, 2);
}

TEST_F(PanelLcdDriverTest, FlushWithoutHooksDoesNothing)
{
    EXPECT_EQ(Lcd64Flush(), 0);
    EXPECT_EQ(Lcd96Flush(), 0);
    Lcd64SetDisplayMode(PanelDisplayOff);
    Lcd96Refresh();
}

TEST_F(PanelLcdDriverTest, ExpandPictureFirstByte)
{
    SelectPanelModel(1);
    uint8_t *frame = PanelModelTable[1]->FrameBuffer;
    frame[0] = 0x81;
    std::memset(frame + Lcd96PictureBytes, 0x5A, 6144 - Lcd96PictureBytes);
    Lcd96ExpandPicture();

    EXPECT_TRUE(Lcd96GetPixel(0, 0));
    EXPECT_TRUE(Lcd96GetPixel(0, 7));
    for (uint16_t y = 1; y < 7; ++y)
        EXPECT_FALSE(Lcd96GetPixel(0, y)) << y;
    // Exactly two pixels lit in the whole frame: rows 0 and 7 of column 0.
    EXPECT_EQ(frame[0], 0x0F);
    EXPECT_EQ(frame[7 * 64], 0x0F);
    EXPECT_EQ(CountNonZero(frame, 6144), 2);
}

TEST_F(PanelLcdDriverTest, ExpandPictureWalksBandsAndColumns)
{
    SelectPanelModel(1);
    uint8_t *frame = PanelModelTable[1]->FrameBuffer;
    std::memset(frame, 0, 6144);
    frame[1] = 0x02;               // band 0, column 1, row 1
    frame[128 + 5] = 0x10;         // band 1, column 5, row 8 + 4
    frame[11 * 128 + 127] = 0x80;  // band 11, column 127, row 95
    Lcd96ExpandPicture();

    EXPECT_TRUE(Lcd96GetPixel(1, 1));
    EXPECT_TRUE(Lcd96GetPixel(5, 12));
    EXPECT_TRUE(Lcd96GetPixel(127, 95));
    EXPECT_EQ(frame[1 * 64 + 0], 0xF0);
    EXPECT_EQ(frame[12 * 64 + 2], 0xF0);
    EXPECT_EQ(frame[6143], 0xF0);
    EXPECT_EQ(CountNonZero(frame, 6144), 3);
}

TEST_F(PanelLcdDriverTest, ExpandPictureIsNotLimitedByTheCurrentModel)
{
    SelectPanelModel(0);  // 128 x 64 current: rows 64..95 must still appear
    uint8_t *frame = PanelModelTable[1]->FrameBuffer;
    std::memset(frame, 0, 6144);
    frame[10 * 128] = 0x01;  // band 10 starts at row 80
    Lcd96ExpandPicture();
    EXPECT_TRUE(Lcd96GetPixel(0, 80));
}

TEST_F(PanelLcdDriverTest, ExpandedPictureMatchesPixelByPixel)
{
    SelectPanelModel(1);
    uint8_t *frame = PanelModelTable[1]->FrameBuffer;
    std::vector<uint8_t> picture(Lcd96PictureBytes);
    uint32_t seed = 12345;
    for (uint8_t &b : picture) {
        seed = seed * 1103515245u + 12345u;
        b = uint8_t(seed >> 16);
    }
    std::memcpy(frame, picture.data(), picture.size());
    Lcd96ExpandPicture();
    for (uint16_t y = 0; y < 96; ++y) {
        for (uint16_t x = 0; x < 128; ++x) {
            const bool lit = (picture[(y / 8) * 128 + x] >> (y % 8)) & 1;
            ASSERT_EQ(Lcd96GetPixel(x, y), lit) << x << "," << y;
        }
    }
}

}  // namespace
