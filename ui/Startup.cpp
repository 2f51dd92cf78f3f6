// Start-up and shut-down of the designer.
#include "Startup.h"

#include "Commtimeoutfrm.h"
#include "Downloadform.h"
#include "Lumor_unicode.h"
#include "Mainform.h"
#include "Simform.h"
#include "Ufmyesno.h"
#include "Zelapplication.h"

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
    {"TfmAction", nullptr, nullptr},
    {"TfmYesNo", [] { YesNoForm(); }, [] { DeleteForm(fmYesNo); }},
    {"TfmSearch", nullptr, nullptr},
    {"TfmFontSelect", nullptr, nullptr},
    {"TFormDeviceInfo", nullptr, nullptr},
    {"TFormDescription", nullptr, nullptr},
    {"TfrmAlarmTrig", nullptr, nullptr},
    {"TfrmCommTimeOut", [] { CommTimeOutForm(); }, [] { DeleteForm(frmCommTimeOut); }},
    {"TfmDownload", [] { DownloadForm(); }, [] { DeleteForm(fmDownload); }},
    {"TfmWarm", nullptr, nullptr},
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
    return arguments.size() == 2 ? arguments[1] : QString();
}

void CreateStartupForms(const QStringList &arguments)
{
    for (const StartupForm &form : kStartupForms) {
        if (form.create)
            form.create();
    }
    FormMain->SetStartupProject(StartupProjectArgument(arguments));
}

void DestroyStartupForms()
{
    for (auto it = std::rbegin(kStartupForms); it != std::rend(kStartupForms); ++it) {
        if (it->destroy)
            it->destroy();
    }
}

void StartDesigner(const QStringList &arguments)
{
    Localizer.InitLanguage(QStringLiteral("ZELDesigner"));
    // The name only: a display name would be appended to every window title.
    QApplication::setApplicationName(ApplicationTitle());
    CreateStartupForms(arguments);
    FormMain->show();
    FormMain->OpenStartupProject();
}

void StopDesigner()
{
    // The windows made on first use go first.
    DestroySimulationForms();
    DestroyStartupForms();
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
