// The full save dialog: the full open dialog run as a save dialog.
#pragma once

#include "ApFullDialogs.h"

class TApCustomSaveDialog : public TApCustomOpenDialog {
    Q_OBJECT
public:
    using TApCustomOpenDialog::TApCustomOpenDialog;

protected:
    bool IsSaveDialog() const override { return true; }
};

class TApSaveDialog : public TApCustomSaveDialog {
    Q_OBJECT
public:
    using TApCustomSaveDialog::TApCustomSaveDialog;
};
