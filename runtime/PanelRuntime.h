// The panel runtime engine: the panel's menu interpreter.
//
// The engine runs a compiled menu image that it never holds: every byte is fetched
// through ReadImageHook. A host (the simulator window of the current panel model)
// selects the model, calls EngineInit, installs ReadImageHook and FlushDisplayHook
// (and, online, the link's SendFrameHook), calls EngineLoadImage, then calls
// EnginePaintHook and EngineTickHook every 100 ms and feeds key codes to
// EngineKeyInput. The engine draws through CurrentModel (PanelLcdDriver.h), keeps
// its PLC values current through the link (PlcLink.h) and shows each finished frame
// by calling FlushDisplayHook.
//
// Image checks: EngineLoadImage refuses an image whose id, model byte, size,
// checksum or section bases are wrong, and leaves the engine idle (paint, tick and
// keys then do nothing). Every later read is bounded by the section it belongs to
// and by the engine's fixed buffers, so a damaged image never reads or writes
// outside them.
//
// Plain C++, no Qt; GUI thread only. The engine's internals are in
// PanelRuntimeState.h and the Runtime*.h headers beside this one.
#pragma once

#include <cstdint>

namespace runtime {

// Key codes of EngineKeyInput. A long press sends the code with bit 7 set
// (kKeyLong + code); the engine acts on long Left and long Esc.
enum EngineKeyCode : std::int32_t {
    KeyDown = 1,
    KeyUp = 2,
    KeyRight = 3,
    KeyLeft = 4,
    KeyEsc = 5,
    KeyOk = 6,
    KeyEscVeryLong = 7,
    KeyOkReleased = 8,
    KeyPageUp = 9,
    KeyPageDown = 10,
};
constexpr std::int32_t kKeyLong = 0x80;
constexpr std::int32_t KeyLongRight = kKeyLong + KeyRight;
constexpr std::int32_t KeyLongLeft = kKeyLong + KeyLeft;
constexpr std::int32_t KeyLongEsc = kKeyLong + KeyEsc;

// Result of EngineLoadImage.
enum EngineLoadResult : std::uint16_t {
    LoadOk = 0,
    LoadNoReadHook,   // ReadImageHook is not set
    LoadTooShort,     // fewer bytes than a header, or than the size field claims
    LoadBadId,        // the first three bytes are not "ZEL"
    LoadWrongModel,   // compiled for the other panel model (or an unknown one)
    LoadBadSize,      // the size field is below the header or beyond the largest image
    LoadBadChecksum,  // the byte sum up to the checksum is not 0
    LoadBadSections,  // a section base lies outside the image or out of order,
                      // or a fixed-size section is too short
};

// Copies length bytes of the menu image from offset into destination (nothing for
// length 0). Set by the host before EngineLoadImage. A request beyond the image the
// host holds must not read past it; the engine never makes one after a good load.
extern void (*ReadImageHook)(void *destination, std::uint32_t offset, std::uint32_t length);
// Shows the framebuffer; the host sets it to CurrentModel.FlushFrame. May stay null.
extern int (*FlushDisplayHook)();
// Set by EngineInit to EnginePaint and EngineTick; the host calls each every 100 ms
// when not null.
extern int (*EnginePaintHook)();
extern int (*EngineTickHook)();

// 1 while the simulation runs online (set by the host and by EngineInit); offline
// the engine reads the computer's clock for the clock saver.
extern std::uint8_t SimulationOnline;
// Number of alarms in the loaded image (the alarm table's second word); the host
// offers its alarm trigger only when it is not 0.
extern std::uint16_t AlarmTableCount;

// Starts a simulation: clears the engine and link state (LinkInit), installs the
// paint and tick hooks and the link's calls into the engine, and sets PlcAnswered to
// 0 online, 1 offline. SelectPanelModel must have run before.
void EngineInit(std::uint16_t online);

// Checks and loads the image behind ReadImageHook: header, glyph set size,
// configuration, screen header and alarm table. imageBytes is the length of the
// image the host holds (0 when unknown: the header's size is trusted). On LoadOk
// the engine runs the image; on any other result it stays idle.
EngineLoadResult EngineLoadImage(std::uint32_t imageBytes = 0);
// A sentence telling the user why an image was refused ("" for LoadOk).
const char *EngineLoadResultText(EngineLoadResult result);
// True after a successful EngineLoadImage (until the next EngineInit).
bool EngineImageLoaded();

// One paint (every 100 ms): draws the current screen when it must be redrawn and
// flushes it. Returns 0.
int EnginePaint();
// One tick (every 100 ms): saver timing, blinking, the action timer and the
// scrolling caption. Returns 0.
int EngineTick();
// One key (EngineKeyCode, or kKeyLong + code for a long press) into the engine.
void EngineKeyInput(std::int32_t key);

// Leaves the startup screen for the menu at the location the PLC holds (the root
// when it holds none that fits), then asks for the password when the configuration
// wants it. Called by the startup paint and keys and by the link's first poll reply.
void EnterStartMenu();

// Offline only: fills the clock saver's values from the computer's local time.
void ReadPcClock();

// The current screen state (0 startup, 1 menu list, ... see PanelRuntimeState.h).
std::uint16_t EngineScreenState();

}  // namespace runtime
