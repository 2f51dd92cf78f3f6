// The modal runs of the file-dialog components: the dialogs themselves, the
// place editor and the questions and messages they ask.
//
// Every modal run of this folder goes through ApExecModal. Without a runner it
// is QDialog::exec(); with one, the runner gets the dialog ready to run (not
// yet shown) and returns its result as exec() would: a program can route the
// runs through its own modal seam, tests drive the dialog headless. A dialog
// the runner leaves open is closed with that result.
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

using TApModalRunner = std::function<int(QDialog &dialog)>;

// Replaces the modal loop; an empty runner restores QDialog::exec().
void ApSetModalRunner(TApModalRunner runner);

// Runs the dialog modally (or through the runner) and returns its result.
int ApExecModal(QDialog &dialog);

// A question with Yes and No under a caption: true for Yes.
bool ApAskYesNo(QWidget *parent, const QString &text, const QString &caption);

// A message with one OK button under a caption.
void ApShowMessage(QWidget *parent, const QString &text, const QString &caption);
