// Panel model records and the display driver of the two panel models.
//
// The MZEL model has a 128 x 64 monochrome display, the ZEL model a 128 x 96
// display driven with 4-bit grey values. The driver keeps one framebuffer per
// model; a static record per model bundles the model's dimensions with its
// display operations, and SelectPanelModel copies the chosen record into
// CurrentModel, through which the runtime, the picture editor and the
// simulator windows reach the display of the current model.
//
// Framebuffer layouts:
// - 128 x 64: 1024 bytes, one bit a pixel, the display's page layout turned
//   by 180 degrees: pixel (x, y) is bit (y' & 7) of byte x' + (y' >> 3) * 128
//   with x' = 127 - x, y' = 63 - y. Byte 1023 bit 7 is the top-left pixel.
// - 128 x 96: 6144 bytes, four bits a pixel, row y in the 64 bytes from
//   y * 64, even x in the low nibble, odd x in the high one; lit is 0xF.
//
// The simulator windows fill PanelSimHooks[model id] to receive each finished
// frame and each display-mode change. Plain C++, no Qt.
#pragma once

#include <cstdint>

// Display modes handed to a record's SetDisplayMode.
enum PanelDisplayMode : uint8_t {
    PanelDisplayOff = 0,
    PanelDisplayDim = 1,
    PanelDisplayOn = 2,
};

// One panel model: its display size and the display operations.
struct PanelModelRecord {
    uint16_t ModelId;
    uint16_t Width;
    uint16_t Height;
    uint16_t FrameBytes;   // framebuffer size in bytes
    uint16_t RowsPerPage;  // menu rows on one screen
    void (*Reserved1)();   // unused entries: no operation
    void (*Reserved2)();
    void (*SetDisplayMode)(uint8_t mode);
    void (*InitDisplay)();
    void (*ClearFrame)();
    void (*SetPixel)(uint16_t x, uint16_t y, uint8_t on);
    int (*FlushFrame)();
    uint8_t *FrameBuffer;
    int (*Reserved3)();  // unused entry: returns 0
};

constexpr uint8_t PanelModel128x64 = 0;  // MZEL
constexpr uint8_t PanelModel128x96 = 1;  // ZEL
constexpr int PanelModelCount = 2;

constexpr uint16_t Lcd64FrameBytes = 1024;
constexpr uint16_t Lcd96FrameBytes = 6144;
constexpr uint16_t Lcd96PictureBytes = 1536;  // 1-bit page picture of 128 x 96

// The static records, in model-id order: 128 x 64, then 128 x 96.
extern const PanelModelRecord *const PanelModelTable[PanelModelCount];

// Copy of the selected model's record. Holds the 128 x 64 record from
// program start, so its operations are never null.
extern PanelModelRecord CurrentModel;

// Id of the selected model (0 at program start).
extern uint32_t PanelModelId;

// Copies the record whose ModelId equals id into CurrentModel and sets
// PanelModelId; an id that no record has changes nothing. Returns whether a
// record was found.
bool SelectPanelModel(uint8_t id);

// Hooks the simulator window of one model fills. Each may stay null.
struct PanelSimHooks {
    // Receives the model's framebuffer after each flush (SimRenderFrame).
    void (*RenderFrame)(void *userData, const uint8_t *frame, uint16_t frameBytes);
    // Receives each display-mode change (SimSetDisplayMode); the window keeps
    // the mode and flushes the frame again.
    void (*SetDisplayMode)(void *userData, uint8_t mode);
    void *UserData;
};

// Indexed by model id. Zero (no hooks) at program start.
extern PanelSimHooks PanelSimWindowHooks[PanelModelCount];

// 128 x 64 operations. SetPixel ignores a pixel outside the display or
// outside CurrentModel's size; on != 0 lights it, 0 clears it.
void Lcd64SetPixel(uint16_t x, uint16_t y, uint8_t on);
void Lcd64Clear();
int Lcd64Flush();                        // hands the frame to the render hook; returns 0
void Lcd64SetDisplayMode(uint8_t mode);  // forwards to the display-mode hook
void Lcd64Refresh();                     // display on, then flush
// Whether pixel (x, y) of the 128 x 64 framebuffer is lit; false outside.
bool Lcd64GetPixel(uint16_t x, uint16_t y);

// 128 x 96 operations, as above.
void Lcd96SetPixel(uint16_t x, uint16_t y, uint8_t on);
void Lcd96Clear();
int Lcd96Flush();
void Lcd96SetDisplayMode(uint8_t mode);
void Lcd96Refresh();
bool Lcd96GetPixel(uint16_t x, uint16_t y);

// Turns the 1-bit page picture of 1536 bytes at the start of the 128 x 96
// framebuffer (bands of 8 rows, one byte per column, bit 0 the top row) into
// the 4-bit layout; the rest of the framebuffer is cleared.
void Lcd96ExpandPicture();
