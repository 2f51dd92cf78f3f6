// Display driver of the two panel models: framebuffers, pixel addressing,
// flush and display-mode hooks, and the model records.
#include "PanelLcdDriver.h"

#include <cstring>

namespace {

constexpr uint16_t kWidth = 128;
constexpr uint16_t kHeight64 = 64;
constexpr uint16_t kHeight96 = 96;
constexpr uint16_t kBytesPerRow96 = kWidth / 2;

uint8_t gLcd64Frame[Lcd64FrameBytes];
uint8_t gLcd96Frame[Lcd96FrameBytes];
uint8_t gLcd96Picture[Lcd96PictureBytes];  // scratch of the picture expansion

void NoOperation()
{
}
int ReturnZero()
{
    return 0;
}

// True when (x, y) lies outside CurrentModel's display.
bool OutsideCurrentModel(uint16_t x, uint16_t y)
{
    return int(x) > int(CurrentModel.Width) - 1 || int(y) > int(CurrentModel.Height) - 1;
}

void Write64(uint16_t x, uint16_t y, bool on)
{
    const unsigned xt = kWidth - 1 - x;
    const unsigned yt = kHeight64 - 1 - y;
    uint8_t &byte = gLcd64Frame[xt + (yt >> 3) * kWidth];
    const uint8_t bit = uint8_t(1u << (yt & 7));
    byte = on ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
}

void Write96(uint16_t x, uint16_t y, bool on)
{
    uint8_t &byte = gLcd96Frame[y * kBytesPerRow96 + x / 2];
    const uint8_t mask = (x & 1) ? 0xF0 : 0x0F;
    byte = on ? uint8_t(byte | mask) : uint8_t(byte & ~mask);
}

void Render(uint8_t model, const uint8_t *frame, uint16_t bytes)
{
    const PanelSimHooks &hooks = PanelSimWindowHooks[model];
    if (hooks.RenderFrame)
        hooks.RenderFrame(hooks.UserData, frame, bytes);
}

void ForwardDisplayMode(uint8_t model, uint8_t mode)
{
    const PanelSimHooks &hooks = PanelSimWindowHooks[model];
    if (hooks.SetDisplayMode)
        hooks.SetDisplayMode(hooks.UserData, mode);
}

constexpr PanelModelRecord kLcd64Record = {
    PanelModel128x64,    kWidth,       kHeight64,  Lcd64FrameBytes, 3,          NoOperation, NoOperation,
    Lcd64SetDisplayMode, Lcd64Refresh, Lcd64Clear, Lcd64SetPixel,   Lcd64Flush, gLcd64Frame, ReturnZero,
};

constexpr PanelModelRecord kLcd96Record = {
    PanelModel128x96,    kWidth,       kHeight96,  Lcd96FrameBytes, 5,          NoOperation, NoOperation,
    Lcd96SetDisplayMode, Lcd96Refresh, Lcd96Clear, Lcd96SetPixel,   Lcd96Flush, gLcd96Frame, ReturnZero,
};

}  // namespace

const PanelModelRecord *const PanelModelTable[PanelModelCount] = {&kLcd64Record, &kLcd96Record};

PanelModelRecord CurrentModel = kLcd64Record;
uint32_t PanelModelId = PanelModel128x64;
PanelSimHooks PanelSimWindowHooks[PanelModelCount] = {};

bool SelectPanelModel(uint8_t id)
{
    for (const PanelModelRecord *record : PanelModelTable) {
        if (record->ModelId == id) {
            CurrentModel = *record;
            PanelModelId = id;
            return true;
        }
    }
    return false;
}

void Lcd64SetPixel(uint16_t x, uint16_t y, uint8_t on)
{
    if (x >= kWidth || y >= kHeight64 || OutsideCurrentModel(x, y))
        return;
    Write64(x, y, on != 0);
}

bool Lcd64GetPixel(uint16_t x, uint16_t y)
{
    if (x >= kWidth || y >= kHeight64)
        return false;
    const unsigned xt = kWidth - 1 - x;
    const unsigned yt = kHeight64 - 1 - y;
    return (gLcd64Frame[xt + (yt >> 3) * kWidth] >> (yt & 7)) & 1;
}

void Lcd64Clear()
{
    std::memset(gLcd64Frame, 0, sizeof gLcd64Frame);
}

int Lcd64Flush()
{
    Render(PanelModel128x64, gLcd64Frame, Lcd64FrameBytes);
    return 0;
}

void Lcd64SetDisplayMode(uint8_t mode)
{
    ForwardDisplayMode(PanelModel128x64, mode);
}

void Lcd64Refresh()
{
    Lcd64SetDisplayMode(PanelDisplayOn);
    Lcd64Flush();
}

void Lcd96SetPixel(uint16_t x, uint16_t y, uint8_t on)
{
    if (x >= kWidth || y >= kHeight96 || OutsideCurrentModel(x, y))
        return;
    Write96(x, y, on != 0);
}

bool Lcd96GetPixel(uint16_t x, uint16_t y)
{
    if (x >= kWidth || y >= kHeight96)
        return false;
    const uint8_t byte = gLcd96Frame[y * kBytesPerRow96 + x / 2];
    return ((x & 1) ? (byte >> 4) : (byte & 0x0F)) != 0;
}

void Lcd96Clear()
{
    std::memset(gLcd96Frame, 0, sizeof gLcd96Frame);
}

int Lcd96Flush()
{
    Render(PanelModel128x96, gLcd96Frame, Lcd96FrameBytes);
    return 0;
}

void Lcd96SetDisplayMode(uint8_t mode)
{
    ForwardDisplayMode(PanelModel128x96, mode);
}

void Lcd96Refresh()
{
    Lcd96SetDisplayMode(PanelDisplayOn);
    Lcd96Flush();
}

void Lcd96ExpandPicture()
{
    std::memcpy(gLcd96Picture, gLcd96Frame, Lcd96PictureBytes);
    Lcd96Clear();
    const uint8_t *source = gLcd96Picture;
    for (uint16_t bandRow = 0; bandRow < kHeight96; bandRow += 8) {
        for (uint16_t column = 0; column < kWidth; ++column) {
            const uint8_t bits = *source++;
            for (uint16_t bit = 0; bit < 8; ++bit) {
                if (bits & (1u << bit))
                    Write96(column, uint16_t(bandRow + bit), true);
            }
        }
    }
}
