// The seam of everything modal, and its real implementation.
#include "UiServices.h"

#include "MessageBox.h"
#include "ModalResult.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSpacerItem>

namespace {

TUiServices *gInstalled = nullptr;

TQtUiServices &RealServices()
{
    static TQtUiServices real;
    return real;
}

// Runs a box made for one showing and frees it; a box freed meanwhile (with
// its parent) counts as cancelled.
int RunFreshBox(TUiServices &services, QDialog *box, int resultWhenGone)
{
    const QPointer<QDialog> alive(box);
    const int result = services.RunDialog(*box);
    if (!alive)
        return resultWhenGone;
    delete box;
    return result;
}

// The types bytes of mimeType are offered under. On Windows a private type
// "application/x-<name>" is also the clipboard format registered by that
// name, so that every program registering it finds the bytes as they stand.
QStringList ClipboardTypes(const QString &mimeType)
{
    QStringList types{mimeType};
#ifdef Q_OS_WIN
    const QLatin1String privatePrefix("application/x-");
    if (mimeType.startsWith(privatePrefix))
        types.append(QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
                         .arg(mimeType.mid(privatePrefix.size())));
#endif
    return types;
}

}  // namespace

TUiServices::~TUiServices() = default;

TUiServices &UiServices()
{
    return gInstalled ? *gInstalled : RealServices();
}

TUiServices *InstallUiServices(TUiServices *services)
{
    TUiServices *previous = gInstalled;
    gInstalled = services;
    return previous;
}

QWidget *ModalParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QString FileDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &name = parts[i];
        const QString patterns =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        filters.append(
            name.trimmed().endsWith(QLatin1Char(')')) ? name : QStringLiteral("%1 (%2)").arg(name, patterns));
    }
    return filters.join(QStringLiteral(";;"));
}

// ---- The real services -------------------------------------------------------

TQtUiServices::TQtUiServices()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TUiServices::clipboardChanged);
}

int TQtUiServices::ShowBox(const TBoxRequest &request)
{
    if (request.kind == TBoxRequest::Plain) {
        auto *box = new QMessageBox(QMessageBox::Information, request.caption, request.text, QMessageBox::Ok,
                                    ModalParent());
        // Wide enough for its caption.
        if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
            grid->addItem(
                new QSpacerItem(CaptionWidth(request.caption), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
        }
        RunFreshBox(*this, box, mrOk);
        return mrOk;
    }
    auto *box = new TfmYesNo(ModalParent());
    box->Present(request);
    return RunFreshBox(*this, box, mrCancel);
}

int TQtUiServices::RunDialog(QDialog &dialog)
{
    return dialog.exec();
}

QString TQtUiServices::ChooseFile(const TFileRequest &request)
{
    QFileDialog dialog(request.parent ? request.parent : ModalParent(), request.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (request.kind == TFileRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The caller asks its own question about an existing file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.filter.isEmpty())
        SetChooserFilter(dialog, request.filter);
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    else if (!request.fileName.isEmpty() && QFileInfo(request.fileName).isAbsolute())
        dialog.setDirectory(QFileInfo(request.fileName).absolutePath());
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (RunDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void TQtUiServices::SetChooserFilter(QFileDialog &chooser, const QString &filter)
{
    chooser.setNameFilters(FileDialogFilter(filter).split(QStringLiteral(";;")));
}

Qt::DropAction TQtUiServices::RunDrag(QDrag &drag, Qt::DropActions actions)
{
    return drag.exec(actions);
}

std::unique_ptr<QSettings> TQtUiServices::OpenSettings(const QString &application, const QString &group)
{
    auto settings = std::make_unique<QSettings>(QStringLiteral("Lumor"), application);
    if (!group.isEmpty())
        settings->beginGroup(group);
    return settings;
}

bool TQtUiServices::ClipboardData(const QString &mimeType, QByteArray &bytes)
{
    bytes.clear();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    for (const QString &type : ClipboardTypes(mimeType)) {
        if (data->hasFormat(type)) {
            bytes = data->data(type);
            return true;
        }
    }
    return false;
}

void TQtUiServices::SetClipboardData(const QString &mimeType, const QByteArray &bytes)
{
    // What the clipboard holds in other types (a text or a picture copied
    // before) stays. A picture or a colour put there by a program of Qt's
    // own is held as such, not as bytes of its type.
    const QStringList types = ClipboardTypes(mimeType);
    auto *data = new QMimeData;
    if (const QMimeData *held = QGuiApplication::clipboard()->mimeData()) {
        const QStringList heldAsSuch{QStringLiteral("application/x-qt-image"),
                                     QStringLiteral("application/x-color")};
        for (const QString &type : held->formats()) {
            if (!types.contains(type) && !heldAsSuch.contains(type))
                data->setData(type, held->data(type));
        }
        if (held->hasImage())
            data->setImageData(held->imageData());
        if (held->hasColor())
            data->setColorData(held->colorData());
    }
    for (const QString &type : types)
        data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool TQtUiServices::StartProgram(const QString &program, const QStringList &arguments,
                                 const QString &workingDirectory)
{
    return QProcess::startDetached(program, arguments, workingDirectory);
}
