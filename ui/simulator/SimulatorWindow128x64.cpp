// The simulator window of the 128 x 64 model.
#include "SimulatorWindow128x64.h"

#include "PanelLcdDriver.h"
#include "PanelRuntime.h"

TFormSimulation_128x64 *FormSimulation_128x64 = nullptr;

namespace {

using Key = TSimKeyPlace;
constexpr QSize kKeySize(44, 28);

constexpr TSimKeyPlace kKeys[] = {
    {"WideImage1", {49, 142}, kKeySize, 0, Key::Esc}, {"WideImage2", {48, 198}, kKeySize, 1, Key::Ok},
    {"Image1", {97, 174}, kKeySize, 2, Key::Left},    {"Image2", {148, 174}, kKeySize, 3, Key::Right},
    {"WideImage3", {194, 142}, kKeySize, 4, Key::Up}, {"WideImage4", {195, 198}, kKeySize, 5, Key::Down},
};

constexpr int32_t kTagCodes[] = {runtime::KeyEsc,   runtime::KeyOk, runtime::KeyLeft,
                                 runtime::KeyRight, runtime::KeyUp, runtime::KeyDown};

constexpr TSimLayout kLayout = {
    PanelModel128x64,
    "FormSimulation_128x64",
    "Simulation 128 x 64",
    {275, 251},
    {13, 7},
    {249, 237},
    {72, 56},
    {216, 24},
    {222, 58},
    qRgb(0x80, 0x80, 0x80),
    kKeys,
    kTagCodes,
};

}  // namespace

TFormSimulation_128x64::TFormSimulation_128x64(QWidget *parent)
    : TFormSimulation(kLayout, parent),
      WideImage1(KeyImages[0]),
      WideImage2(KeyImages[1]),
      Image1(KeyImages[2]),
      Image2(KeyImages[3]),
      WideImage3(KeyImages[4]),
      WideImage4(KeyImages[5])
{
}
