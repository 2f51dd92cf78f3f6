// The one seam through which every window and worker reaches what is modal or
// lies outside the program: question and message boxes, the program's own
// modal dialogs, file and picture choosers, drags, the settings store, the
// clipboard and external programs. Tests install a scripted implementation and run the
// windows headless; the program runs on TQtUiServices.
//
// Use:
//   UiServices().ShowBox(TBoxRequest::MakeQuestion(text, caption, 0)) == mrYes
//   UiServices().RunDialog(*this)              // instead of exec()
//   UiServices().ChooseFile(request)           // empty: cancelled
//   UiServices().RunDrag(*drag, Qt::MoveAction) // instead of exec()
//   auto settings = UiServices().OpenSettings(kDesignerSettings, "ComParameter");
//   UiServices().SetClipboardData(mime, bytes); UiServices().ClipboardData(mime)
//   UiServices().StartProgram(path, {argument})
// Questions, messages and warnings of the designer go through ShowYesNo,
// ShowMessageBox and ShowWarning (MessageBox.h), which build the request.
// Every box is a fresh window of its own, parented to the active window, so a
// box raised while another is open (an error during a question) leaves the
// first one as it was.
//
// Install services before the windows that use them are made: a window
// connects to clipboardChanged() of the services current at its creation.
// GUI thread only.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <Qt>

#include <memory>

class QDialog;
class QDrag;
class QFileDialog;
class QSettings;
class QWidget;

// Application names of the settings (organisation "Lumor"): the designer's
// own key Software\Lumor\ZELD ("OutFont", groups "RecentProject" and
// "ComParameter"), and the language choice Software\Lumor\AppLanguage.
inline constexpr char kDesignerSettings[] = "ZELD";
inline constexpr char kLanguageSettings[] = "AppLanguage";

// A question or message box.
struct TBoxRequest {
    enum Kind {
        Question,  // ShowYesNo: the localised box, buttons by mode
        Message,   // ShowMessageBox: the localised box, one button
        Warning,   // ShowWarning: a Message carrying its warning code
        Error,     // an exception caught by a handler guard: the localised box, one button
        Plain,     // the framework's own message box, one OK button
    };
    Kind kind = Message;
    QString text;  // shown as it stands (already localised)
    QString caption;
    // Buttons: 0 Yes/No, 1 Yes/No/Cancel, 2 one button (Yes; OK for Plain).
    int mode = 2;
    int warningCode = 0;  // Warning only
    QString id;           // Question: the message key ("WarnDeleteId", ...)

    static TBoxRequest MakeQuestion(const QString &text, const QString &caption, int mode,
                                    const QString &id = QString())
    {
        return {Question, text, caption, mode, 0, id};
    }
    // A one-button box of kind.
    static TBoxRequest Make(Kind kind, const QString &text, const QString &caption)
    {
        return {kind, text, caption, 2, 0, QString()};
    }
};

// A file or picture chooser.
struct TFileRequest {
    enum Kind {
        Open,     // an existing file
        Save,     // a file to write; the caller asks about overwriting
        Picture,  // an existing picture file
    };
    Kind kind = Open;
    QString title;  // empty: the chooser's own
    // "Name|*.ext|Name|*.a;*.b": pairs of a name and its patterns.
    QString filter;
    QString directory;      // initial folder; empty: the folder of fileName
    QString fileName;       // initial file, a name or a full path
    QString defaultSuffix;  // "zel": added to a name typed without one
    QWidget *parent = nullptr;
    // A form shown below the file list (the description preview or the
    // description to be written); the plain chooser leaves it out, the
    // designer's own file dialogs attach it.
    QWidget *attachedForm = nullptr;
    // The program's own file dialog component that serves the request (one
    // of the designer's open and save dialogs, which carry their events);
    // null: the chooser is made for the request.
    QObject *component = nullptr;
};

class TUiServices : public QObject {
    Q_OBJECT
public:
    ~TUiServices() override;

    // Shows the box modally; the result: mrYes, mrNo or mrCancel (also when
    // closed from its title bar); mrOk for a Plain box.
    virtual int ShowBox(const TBoxRequest &request) = 0;
    // Runs one of the program's own dialogs modally and returns its result,
    // as QDialog::exec() does.
    virtual int RunDialog(QDialog &dialog) = 0;
    // The chosen file's full path; empty when the choice was cancelled.
    virtual QString ChooseFile(const TFileRequest &request) = 0;
    // Runs a drag the user started until it is dropped or given up, as
    // QDrag::exec() does, and returns the action the drop took.
    virtual Qt::DropAction RunDrag(QDrag &drag, Qt::DropActions actions) = 0;
    // The settings of organisation "Lumor" under application, with group
    // begun when one is given.
    virtual std::unique_ptr<QSettings> OpenSettings(const QString &application,
                                                    const QString &group = QString()) = 0;
    // The bytes the clipboard holds in mimeType; false (bytes emptied) when
    // it holds none.
    virtual bool ClipboardData(const QString &mimeType, QByteArray &bytes) = 0;
    // Puts bytes on the clipboard in mimeType, beside what it holds in other
    // types (nothing else is taken off it).
    virtual void SetClipboardData(const QString &mimeType, const QByteArray &bytes) = 0;
    // Starts a program on its own (it outlives the designer); false when it
    // could not be started.
    virtual bool StartProgram(const QString &program, const QStringList &arguments,
                              const QString &workingDirectory = QString()) = 0;

signals:
    // The clipboard's content changed (by the designer or another program).
    void clipboardChanged();
};

// The real services: the localised box of MessageBox.h (the framework's
// QMessageBox for Plain), QDialog::exec(), Qt's own non-native QFileDialog,
// QSettings, the system clipboard and QProcess::startDetached. The designer's
// windows may install a subclass that serves some requests otherwise (file
// choices with an attached form).
class TQtUiServices : public TUiServices {
    Q_OBJECT
public:
    TQtUiServices();
    int ShowBox(const TBoxRequest &request) override;
    int RunDialog(QDialog &dialog) override;
    QString ChooseFile(const TFileRequest &request) override;
    Qt::DropAction RunDrag(QDrag &drag, Qt::DropActions actions) override;
    std::unique_ptr<QSettings> OpenSettings(const QString &application, const QString &group) override;
    bool ClipboardData(const QString &mimeType, QByteArray &bytes) override;
    void SetClipboardData(const QString &mimeType, const QByteArray &bytes) override;
    bool StartProgram(const QString &program, const QStringList &arguments,
                      const QString &workingDirectory) override;

protected:
    // Puts a request's filter ("Name|*.ext|...") on the chooser ChooseFile
    // made, before its initial file is selected.
    virtual void SetChooserFilter(QFileDialog &chooser, const QString &filter);
};

// The services in use: the installed ones, else the real ones.
TUiServices &UiServices();
// Installs services (not owned; null: the real ones again) and returns the
// ones installed before, so that a caller can put them back.
TUiServices *InstallUiServices(TUiServices *services);

// The parent for a new modal window: the active modal window, else the
// active window; null when there is none.
QWidget *ModalParent();
// A filter of the form "Name|*.ext|..." as QFileDialog takes it:
// "Name (*.ext);;...". A name that already shows its patterns keeps them.
QString FileDialogFilter(const QString &filter);
