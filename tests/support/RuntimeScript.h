// Runs the panel runtime (runtime/PanelRuntime.h) on an image in memory, as the
// simulator window does, and drives it with keys, ticks and paints.
//
// Start() selects the model, starts the engine, installs the read and flush hooks
// and loads the image. Tick() does what the simulator's 100 ms tick does around the
// engine's tick (offline: values valid, nothing pending; the alarm hold-off counted
// down); Paint() what its paint timer does. The display hooks of the model record
// the frames flushed and the display-mode changes.
//
// Script (Run): tokens separated by blanks, each optionally preceded by a repeat
// count: "d" Down, "u" Up, "r" Right, "l" Left, "e" Esc, "o" OK, "O" OK released,
// "[" page up, "]" page down, "L" long Left, "E" long Esc, "S" Esc held very long,
// "t" a tick, "p" a paint, "f" a frame (tick then paint), "k<n>" key code n.
// Example: "d p" = Down, then one paint; "99p" = 99 paints.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

// The bytes of a compiled image.
std::vector<uint8_t> ImageBytes(const QByteArray &image);
// Sets the checksum byte of an image (at its size field) so that it loads again
// after a test changed bytes inside it.
void FixImageChecksum(std::vector<uint8_t> &image);
// Little-endian fields of an image.
uint32_t ImageField32(const std::vector<uint8_t> &image, size_t offset);
uint16_t ImageField16(const std::vector<uint8_t> &image, size_t offset);
void SetImageField16(std::vector<uint8_t> &image, size_t offset, uint16_t value);
void SetImageField32(std::vector<uint8_t> &image, size_t offset, uint32_t value);

class RuntimeScript {
public:
    RuntimeScript() = default;
    ~RuntimeScript();
    RuntimeScript(const RuntimeScript &) = delete;
    RuntimeScript &operator=(const RuntimeScript &) = delete;

    // Starts a simulation of the image on the model; returns EngineLoadImage's result.
    int Start(const std::vector<uint8_t> &image, uint8_t modelId, bool online = false);
    int Start(const char *data, size_t size, uint8_t modelId, bool online = false);

    void Key(int32_t key);
    void Tick();
    void Paint();
    void Frame()
    {
        Tick();
        Paint();
    }
    // Runs a script (see above); throws std::invalid_argument for a token it does not know.
    void Run(const std::string &script);

    // Whether pixel (x, y) of the current model's framebuffer is lit.
    bool Pixel(int x, int y) const;
    // The lit pixels of a rectangle, row by row ('#' lit, '.' dark, rows ended by '\n').
    std::string Area(int x, int y, int width, int height) const;
    // Number of lit pixels in a rectangle.
    int LitCount(int x, int y, int width, int height) const;

    int Flushes() const { return m_flushes; }
    // Display modes set through the model record, in order.
    const std::vector<uint8_t> &Modes() const { return m_modes; }

    const std::vector<uint8_t> &Image() const { return m_image; }

private:
    static void ReadHook(void *destination, uint32_t offset, uint32_t length);
    static void RenderHook(void *userData, const uint8_t *frame, uint16_t bytes);
    static void ModeHook(void *userData, uint8_t mode);

    static RuntimeScript *s_active;
    std::vector<uint8_t> m_image;
    uint8_t m_model = 0;
    int m_flushes = 0;
    std::vector<uint8_t> m_modes;
};
