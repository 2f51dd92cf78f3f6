// The simulator window of the 128 x 96 model.
#include "SimulatorWindow128x96.h"

#include "PanelLcdDriver.h"
#include "PanelRuntime.h"

TFormSimulation_128x96 *FormSimulation_128x96 = nullptr;

namespace {

using Key = TSimKeyPlace;
constexpr QSize kWideKey(44, 26);
constexpr QSize kArrowKey(40, 20);

constexpr TSimKeyPlace kKeys[] = {
    {"KeyEsc", {204, 41}, kWideKey, 0, Key::Esc},    {"KeyOk", {202, 149}, kWideKey, 1, Key::Ok},
    {"KeyLeft", {208, 96}, kArrowKey, 2, Key::Left}, {"KeyRight", {256, 97}, kArrowKey, 3, Key::Right},
    {"KeyInc", {251, 41}, kWideKey, 4, Key::Plus},   {"KeyDec", {251, 150}, kWideKey, 5, Key::Minus},
    {"KeyUp", {232, 74}, kArrowKey, 6, Key::Up},     {"KeyDown", {233, 118}, kArrowKey, 7, Key::Down},
};

constexpr int32_t kTagCodes[] = {runtime::KeyEsc,   runtime::KeyOk,     runtime::KeyLeft,
                                 runtime::KeyRight, runtime::KeyPageUp, runtime::KeyPageDown,
                                 runtime::KeyUp,    runtime::KeyDown};

constexpr TSimLayout kLayout = {
    PanelModel128x96,
    "FormSimulation_128x96",
    "Simulation 128 x 96",
    {338, 215},
    {13, 7},
    {312, 201},
    {53, 54},
    {28, 151},
    {65, 155},
    qRgb(0x40, 0x40, 0x40),
    kKeys,
    kTagCodes,
};

}  // namespace

TFormSimulation_128x96::TFormSimulation_128x96(QWidget *parent)
    : TFormSimulation(kLayout, parent),
      KeyEsc(KeyImages[0]),
      KeyOk(KeyImages[1]),
      KeyLeft(KeyImages[2]),
      KeyRight(KeyImages[3]),
      KeyInc(KeyImages[4]),
      KeyDec(KeyImages[5]),
      KeyUp(KeyImages[6]),
      KeyDown(KeyImages[7])
{
}
