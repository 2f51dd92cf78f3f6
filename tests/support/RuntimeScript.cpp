#include "RuntimeScript.h"

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

RuntimeScript *RuntimeScript::s_active = nullptr;

std::vector<uint8_t> ImageBytes(const QByteArray &image)
{
    return std::vector<uint8_t>(image.begin(), image.end());
}

uint32_t ImageField32(const std::vector<uint8_t> &image, size_t offset)
{
    return uint32_t(ImageField16(image, offset)) | uint32_t(ImageField16(image, offset + 2)) << 16;
}

uint16_t ImageField16(const std::vector<uint8_t> &image, size_t offset)
{
    return uint16_t(image.at(offset) | image.at(offset + 1) << 8);
}

void SetImageField16(std::vector<uint8_t> &image, size_t offset, uint16_t value)
{
    image.at(offset) = uint8_t(value);
    image.at(offset + 1) = uint8_t(value >> 8);
}

void SetImageField32(std::vector<uint8_t> &image, size_t offset, uint32_t value)
{
    SetImageField16(image, offset, uint16_t(value));
    SetImageField16(image, offset + 2, uint16_t(value >> 16));
}

void FixImageChecksum(std::vector<uint8_t> &image)
{
    const uint32_t size = ImageField32(image, 4);
    uint8_t sum = 0;
    for (uint32_t i = 0; i < size; ++i)
        sum = uint8_t(sum + image.at(i));
    image.at(size) = uint8_t(0u - sum);
}

RuntimeScript::~RuntimeScript()
{
    if (s_active == this) {
        s_active = nullptr;
        runtime::ReadImageHook = nullptr;
        PanelSimWindowHooks[m_model] = PanelSimHooks{};
    }
}

int RuntimeScript::Start(const char *data, size_t size, uint8_t modelId, bool online)
{
    return Start(std::vector<uint8_t>(data, data + size), modelId, online);
}

int RuntimeScript::Start(const std::vector<uint8_t> &image, uint8_t modelId, bool online)
{
    s_active = this;
    m_image = image;
    m_model = modelId;
    m_flushes = 0;
    m_modes.clear();
    SelectPanelModel(modelId);
    CurrentModel.ClearFrame();
    PanelSimWindowHooks[modelId] = PanelSimHooks{RenderHook, ModeHook, this};
    runtime::EngineInit(online ? 1 : 0);
    runtime::ReadImageHook = ReadHook;
    runtime::FlushDisplayHook = CurrentModel.FlushFrame;
    runtime::SendFrameHook = nullptr;
    return runtime::EngineLoadImage(static_cast<uint32_t>(m_image.size()));
}

void RuntimeScript::ReadHook(void *destination, uint32_t offset, uint32_t length)
{
    // Like the simulator window: never past the image; what lies beyond reads as 0.
    auto *out = static_cast<uint8_t *>(destination);
    std::memset(out, 0, length);
    if (!s_active || offset >= s_active->m_image.size())
        return;
    size_t n = std::min<size_t>(length, s_active->m_image.size() - offset);
    std::memcpy(out, s_active->m_image.data() + offset, n);
}

void RuntimeScript::RenderHook(void *userData, const uint8_t *, uint16_t)
{
    ++static_cast<RuntimeScript *>(userData)->m_flushes;
}

void RuntimeScript::ModeHook(void *userData, uint8_t mode)
{
    static_cast<RuntimeScript *>(userData)->m_modes.push_back(mode);
}

void RuntimeScript::Key(int32_t key)
{
    runtime::EngineKeyInput(key);
}

void RuntimeScript::Tick()
{
    if (runtime::EngineTickHook)
        runtime::EngineTickHook();
    if (!runtime::SimulationOnline) {
        runtime::ValuesPending = 0;
        runtime::PlcDataValid = 1;
    }
    if (runtime::AlarmHoldoffTicks != 0)
        --runtime::AlarmHoldoffTicks;
}

void RuntimeScript::Paint()
{
    if (runtime::EnginePaintHook)
        runtime::EnginePaintHook();
    if (!runtime::SimulationOnline)
        runtime::ProcessCurrentAlarm();
}

void RuntimeScript::Run(const std::string &script)
{
    size_t i = 0;
    while (i < script.size()) {
        if (script[i] == ' ') {
            ++i;
            continue;
        }
        int count = 0;
        bool counted = false;
        while (i < script.size() && script[i] >= '0' && script[i] <= '9') {
            count = count * 10 + (script[i++] - '0');
            counted = true;
        }
        if (!counted)
            count = 1;
        if (i >= script.size())
            throw std::invalid_argument("script ends after a count");
        const char op = script[i++];
        int32_t key = 0;
        switch (op) {
        case 'd': key = runtime::KeyDown; break;
        case 'u': key = runtime::KeyUp; break;
        case 'r': key = runtime::KeyRight; break;
        case 'l': key = runtime::KeyLeft; break;
        case 'e': key = runtime::KeyEsc; break;
        case 'o': key = runtime::KeyOk; break;
        case 'O': key = runtime::KeyOkReleased; break;
        case '[': key = runtime::KeyPageUp; break;
        case ']': key = runtime::KeyPageDown; break;
        case 'L': key = runtime::KeyLongLeft; break;
        case 'E': key = runtime::KeyLongEsc; break;
        case 'S': key = runtime::KeyEscVeryLong; break;
        case 'k':
            while (i < script.size() && script[i] >= '0' && script[i] <= '9')
                key = key * 10 + (script[i++] - '0');
            break;
        case 't':
        case 'p':
        case 'f': break;
        default: throw std::invalid_argument(std::string("unknown script token ") + op);
        }
        for (int n = 0; n < count; ++n) {
            if (op == 't')
                Tick();
            else if (op == 'p')
                Paint();
            else if (op == 'f')
                Frame();
            else
                Key(key);
        }
    }
}

bool RuntimeScript::Pixel(int x, int y) const
{
    if (x < 0 || y < 0)
        return false;
    if (CurrentModel.ModelId == PanelModel128x96)
        return Lcd96GetPixel(static_cast<uint16_t>(x), static_cast<uint16_t>(y));
    return Lcd64GetPixel(static_cast<uint16_t>(x), static_cast<uint16_t>(y));
}

std::string RuntimeScript::Area(int x, int y, int width, int height) const
{
    std::string out;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c)
            out += Pixel(x + c, y + r) ? '#' : '.';
        out += '\n';
    }
    return out;
}

int RuntimeScript::LitCount(int x, int y, int width, int height) const
{
    const std::string area = Area(x, y, width, height);
    return static_cast<int>(std::count(area.begin(), area.end(), '#'));
}
