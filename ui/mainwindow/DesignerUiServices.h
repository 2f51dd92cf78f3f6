// The designer's own UI services: the real ones (TQtUiServices), except that a
// file choice made for one of the designer's file-dialog components (the
// project open, menu import and menu export dialogs of the main window) runs
// that component, with its attached form and its events; and that the plain
// chooser (Save As, pictures) takes its filter as those components do ("All
// files (*.*)" lists every file and keeps the typed name).
//
// The program installs them at its start; the components' own modal runs go
// through UiServices().RunDialog (InstallFileDialogRunner), so tests drive
// them with scripted services.
#pragma once

#include "UiServices.h"

class TApCustomOpenLiteDialog;

class TDesignerUiServices : public TQtUiServices {
    Q_OBJECT
public:
    QString ChooseFile(const TFileRequest &request) override;

protected:
    void SetChooserFilter(QFileDialog &chooser, const QString &filter) override;
};

// Runs the component for the request: title, filter, initial folder and file,
// default extension and the attached form (below the file list) are taken
// from it. The chosen file's full path; empty when cancelled.
QString RunFileDialogComponent(TApCustomOpenLiteDialog &dialog, const TFileRequest &request);

// Routes the modal runs of the file-dialog components through the UI
// services; UninstallFileDialogRunner puts their own modal loop back.
void InstallFileDialogRunner();
void UninstallFileDialogRunner();
