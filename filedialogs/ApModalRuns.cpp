// The modal runs of the file-dialog components.
#include "ApModalRuns.h"

#include <QDialog>
#include <QMessageBox>

namespace {
TApModalRunner gModalRunner;

int RunBox(QWidget *parent, QMessageBox::Icon icon, const QString &text, const QString &caption,
           QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setObjectName(QStringLiteral("ApMessageBox"));
    box.setDefaultButton(defaultButton);
    return ApExecModal(box);
}
}  // namespace

void ApSetModalRunner(TApModalRunner runner)
{
    gModalRunner = std::move(runner);
}

int ApExecModal(QDialog &dialog)
{
    if (!gModalRunner)
        return dialog.exec();
    const int result = gModalRunner(dialog);
    if (dialog.isVisible())
        dialog.done(result);
    return result;
}

bool ApAskYesNo(QWidget *parent, const QString &text, const QString &caption)
{
    return RunBox(parent, QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No,
                  QMessageBox::No)
        == QMessageBox::Yes;
}

void ApShowMessage(QWidget *parent, const QString &text, const QString &caption)
{
    RunBox(parent, QMessageBox::Information, text, caption, QMessageBox::Ok, QMessageBox::Ok);
}
