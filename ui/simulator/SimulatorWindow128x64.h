// The simulator window of the 128 x 64 model (model id 0): the shared window
// of SimulatorWindow.h with this model's panel picture, six keys and their places.
#pragma once

#include "SimulatorWindow.h"

class TFormSimulation_128x64 : public TFormSimulation {
    Q_OBJECT
public:
    explicit TFormSimulation_128x64(QWidget *parent = nullptr);

    // Key images: Esc, OK, Left, Right, Up, Down (Tags 0 to 5).
    TSimKeyImage *WideImage1;
    TSimKeyImage *WideImage2;
    TSimKeyImage *Image1;
    TSimKeyImage *Image2;
    TSimKeyImage *WideImage3;
    TSimKeyImage *WideImage4;
};

// The one window, made on first use (SimulationForm) and kept until the program ends.
extern TFormSimulation_128x64 *FormSimulation_128x64;
