// The simulator window of the 128 x 96 model (model id 1): the shared window
// of SimulatorWindow.h with this model's panel picture, eight keys and their places.
#pragma once

#include "SimulatorWindow.h"

class TFormSimulation_128x96 : public TFormSimulation {
    Q_OBJECT
public:
    explicit TFormSimulation_128x96(QWidget *parent = nullptr);

    // Key images: Esc, OK, Left, Right, Inc (page up), Dec (page down), Up,
    // Down (Tags 0 to 7).
    TSimKeyImage *KeyEsc;
    TSimKeyImage *KeyOk;
    TSimKeyImage *KeyLeft;
    TSimKeyImage *KeyRight;
    TSimKeyImage *KeyInc;
    TSimKeyImage *KeyDec;
    TSimKeyImage *KeyUp;
    TSimKeyImage *KeyDown;
};

// The one window, made on first use (SimulationForm) and kept until the program ends.
extern TFormSimulation_128x96 *FormSimulation_128x96;
