// The controls of a file dialog by their identifiers, on the stand-in: the
// child widgets of Qt's own (non-native) file dialog.
//
// The dialog components address the standard controls and tool commands by the
// identifiers of the common file dialog; one table in ApDialogControls.cpp says
// which widgets of the stand-in each identifier stands for. An identifier the
// stand-in lacks (Help, the read-only check box, the desktop command) stands for
// nothing, and what acts on it does nothing.
#pragma once

#include <QFileDialog>
#include <QList>

class QWidget;

enum TApDlgCtrlId : int {
    idOk = 1,
    idCancel = 2,
    idHelp = 1038,
    idReadOnly = 1040,
    idFileTypeLabel = 1089,
    idFileNameLabel = 1090,
    idFolderLabel = 1091,
    idFileList = 1120,
    idFileType = 1136,
    idFolderCombo = 1137,
    idFileNameCombo = 1148,
    idFileName = 1152,
    // The tool bar has no identifier of its own: its buttons, as one control.
    idToolBar = 0x10000,
    // Tool commands.
    idCmdUpLevel = 40961,
    idCmdNewFolder = 40962,
    idCmdDesktop = 40969,
    idCmdBack = 40971,
    // View commands of the file list.
    idCmdViewList = 28715,
    idCmdViewDetails = 28716,
};

// The widgets of the dialog that the identifier stands for; empty when the
// stand-in has none.
QList<QWidget *> ApDlgControls(const QFileDialog *dialog, int id);
// The first of them, or null.
QWidget *ApDlgControl(const QFileDialog *dialog, int id);
// The dialog's own label slot for the control's caption, when it has one (the
// dialog keeps such a caption across its own updates).
bool ApDlgLabelSlot(int id, QFileDialog::DialogLabel &label);
// Sets the caption of the control (nothing for a missing one).
void ApSetDlgControlText(QFileDialog *dialog, int id, const QString &text);
