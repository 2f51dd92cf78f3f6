// The designer's own UI services.
#include "DesignerUiServices.h"

#include "ApDialogsCommon.h"
#include "ApLiteDialogs.h"
#include "ApModalRuns.h"

#include <QDialog>

QString TDesignerUiServices::ChooseFile(const TFileRequest &request)
{
    if (auto *dialog = qobject_cast<TApCustomOpenLiteDialog *>(request.component))
        return RunFileDialogComponent(*dialog, request);
    return TQtUiServices::ChooseFile(request);
}

void TDesignerUiServices::SetChooserFilter(QFileDialog &chooser, const QString &filter)
{
    ApSetNameFilters(&chooser, filter, 0);
}

QString RunFileDialogComponent(TApCustomOpenLiteDialog &dialog, const TFileRequest &request)
{
    dialog.SetTitle(request.title);
    if (!request.filter.isEmpty())
        dialog.Filter = request.filter;
    dialog.InitialDir = request.directory;
    dialog.SetFileName(request.fileName);
    if (!request.defaultSuffix.isEmpty())
        dialog.DefaultExt = request.defaultSuffix;
    if (request.attachedForm)
        dialog.CustDlgParams().SetBottomForm(request.attachedForm);
    return dialog.Execute() ? dialog.FileName() : QString();
}

void InstallFileDialogRunner()
{
    ApSetModalRunner([](QDialog &dialog) { return UiServices().RunDialog(dialog); });
}

void UninstallFileDialogRunner()
{
    ApSetModalRunner({});
}
