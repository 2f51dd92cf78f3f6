// Start-up and shut-down of the designer, and the long-lived forms made at
// start-up in their order.
//
// StartDesigner: localisation under "ZELDesigner", the application title,
// the file dialogs' modal runs routed through the UI services, the start-up
// forms in order (the main window first), the main window shown and the
// project named on the command line opened once every form exists.
// StopDesigner: the windows made on first use freed (simulators, image
// viewer, About, compile result, the item dialogs), then the start-up forms
// in reverse order, localisation released last.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <span>

// One long-lived form of start-up: its class, and how it is made and freed.
struct StartupForm {
    const char *className;
    void (*create)();
    void (*destroy)();
};

class TfmDownload;

// The download dialog, made on first use when start-up has not made it yet.
TfmDownload &DownloadForm();

// The start-up forms, in the order they are made.
std::span<const StartupForm> StartupForms();

// The project to open from the program's arguments (the first being the
// program): the one argument when there is exactly one and it is not empty,
// made absolute (AbsoluteProjectPath).
QString StartupProjectArgument(const QStringList &arguments);

// Makes the start-up forms in order, then hands the command line's project
// to the main window (it is opened by OpenStartupProject).
void CreateStartupForms(const QStringList &arguments);
// Frees the start-up forms in reverse order (the output font dialog writes
// its setting then).
void DestroyStartupForms();
// Frees every window of the designer: those made on first use, then the
// start-up forms in reverse order. Safe to call when some were never made.
void DestroyDesignerWindows();

void StartDesigner(const QStringList &arguments);
void StopDesigner();

// The program's run: start, then the message loop, then stop. A failure of a
// step is shown; stop runs after a failed start too, so that every form made
// writes back the settings it loaded. Returns the loop's result, or 1 after
// a failure.
int RunProgram(const std::function<void()> &start, const std::function<int()> &loop,
               const std::function<void()> &stop);
// RunProgram with StartDesigner, the application's event loop and StopDesigner.
int RunDesigner(const QStringList &arguments);
