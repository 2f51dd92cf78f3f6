// The tool bar setting of the full file dialogs.
#pragma once

#include <QPointer>
#include <QToolBar>

class TApToolBarOptions {
public:
    // The dialog's own tool buttons are drawn flat.
    bool Flat = false;
    // A tool bar of the application shown beside the dialog's tool buttons
    // while the dialog runs, and given back afterwards.
    QPointer<QToolBar> CustomBar;
};
