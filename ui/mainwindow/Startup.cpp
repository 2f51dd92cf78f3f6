// Start-up and shut-down of the designer.
#include "Startup.h"

#include "Application.h"
#include "DesignerUiServices.h"
#include "DownloadDialog.h"
#include "Localizer.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "RecentProjects.h"
#include "RetryQuestion.h"
#include "WindowImages.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ActionDialog.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/CompileResultDialog.h"
#include "dialogs/ConfigurationDialog.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/DeviceInfoDialog.h"
#include "dialogs/ImageViewer.h"
#include "dialogs/ListDialog.h"
#include "dialogs/MenuDialog.h"
#include "dialogs/OutputFontDialog.h"
#include "dialogs/PictureDialog.h"
#include "dialogs/PictureFormatWarning.h"
#include "dialogs/SearchDialog.h"
#include "dialogs/StartupScreenDialog.h"
#include "dialogs/ValueDialog.h"
#include "simulator/AlarmTriggerDialog.h"
#include "simulator/SimulatorWindow.h"

#include <QApplication>

namespace {

template <typename Form> void DeleteForm(Form *&form)
{
    delete form;
    form = nullptr;
}

// The order of start-up. The main window comes first: its creation reads the
// recent projects, builds the language menu and registers it for translation
// before any other form exists.
constexpr StartupForm kStartupForms[] = {
    {"TFormMain", [] { FormMain = new TFormMain(); }, [] { DeleteForm(FormMain); }},
    {"TfmAction", [] { ActionForm(); }, [] { DeleteForm(fmAction); }},
    {"TfmYesNo", [] { YesNoForm(); }, [] { DeleteForm(fmYesNo); }},
    {"TfmSearch", [] { SearchForm(); }, [] { DeleteForm(fmSearch); }},
    {"TfmFontSelect", [] { FontSelectForm(); }, [] { DeleteForm(fmFontSelect); }},
    {"TFormDeviceInfo", [] { DeviceInfoForm(); }, [] { DeleteForm(FormDeviceInfo); }},
    {"TFormDescription", [] { DescriptionForm(); }, [] { DeleteForm(FormDescription); }},
    {"TfrmAlarmTrig",
     [] {
         AlarmTrigForm();
         SetAlarmTriggerRunner(ShowAlarmTrigger);  // the simulators' alarm-trigger image
     },
     [] {
         SetAlarmTriggerRunner({});
         DeleteForm(frmAlarmTrig);
     }},
    {"TfrmCommTimeOut", [] { CommTimeOutForm(); }, [] { DeleteForm(frmCommTimeOut); }},
    {"TfmDownload", [] { DownloadForm(); }, [] { DeleteForm(fmDownload); }},
    {"TfmWarm", [] { WarmForm(); }, [] { DeleteForm(fmWarm); }},
};

}  // namespace

TfmDownload &DownloadForm()
{
    if (!fmDownload)
        fmDownload = new TfmDownload();
    return *fmDownload;
}

std::span<const StartupForm> StartupForms()
{
    return kStartupForms;
}

QString StartupProjectArgument(const QStringList &arguments)
{
    // Made absolute at once: the recent list must name the file from any folder.
    return arguments.size() == 2 ? AbsoluteProjectPath(arguments[1]) : QString();
}

void CreateStartupForms(const QStringList &arguments)
{
    for (const StartupForm &form : kStartupForms)
        form.create();
    FormMain->SetStartupProject(StartupProjectArgument(arguments));
}

void DestroyStartupForms()
{
    for (auto it = std::rbegin(kStartupForms); it != std::rend(kStartupForms); ++it)
        it->destroy();
}

void StartDesigner(const QStringList &arguments)
{
    Localizer.InitLanguage(QStringLiteral("ZELDesigner"));
    // The name only: a display name would be appended to every window title.
    QApplication::setApplicationName(ApplicationTitle());
    // Every window of the designer carries the panel picture.
    QApplication::setWindowIcon(DesignerIcon());
    InstallFileDialogRunner();
    CreateStartupForms(arguments);
    FormMain->show();
    FormMain->OpenStartupProject();
}

void DestroyDesignerWindows()
{
    // The windows made on first use go first.
    DestroySimulationForms();
    DeleteForm(FormDebug);
    DeleteForm(FormAbout);
    DeleteForm(FormCompile);
    DeleteForm(FormMenu);
    DeleteForm(FormValue);
    DeleteForm(FormList);
    DeleteForm(FormAlarm);
    DeleteForm(FormScreen);
    DeleteForm(FormStartupScreen);
    DeleteForm(FormConfig);
    DestroyStartupForms();
}

void StopDesigner()
{
    DestroyDesignerWindows();
    UninstallFileDialogRunner();
    Localizer.ReleaseLanguage();
}

int RunProgram(const std::function<void()> &start, const std::function<int()> &loop,
               const std::function<void()> &stop)
{
    int result = 1;
    if (RunGuarded(start) && !RunGuarded([&] { result = loop(); }))
        result = 1;
    if (!RunGuarded(stop))
        result = 1;
    return result;
}

int RunDesigner(const QStringList &arguments)
{
    return RunProgram([&] { StartDesigner(arguments); }, [] { return QApplication::exec(); }, StopDesigner);
}
