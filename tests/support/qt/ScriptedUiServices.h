// UI services for headless tests: answers scripted per kind, every request
// recorded, and a modal run nobody scripted failing the test.
//
//   TScriptedUiServices ui;             // installed while it lives
//   ui.AnswerBox(mrNo);                 // the next question answers No
//   ui.AnswerFile(path);                // the next file chooser picks path ("" cancels)
//   ui.AnswerDialog([](QDialog &d) { ...; return int(QDialog::Accepted); });
//   ui.AnswerDrag([](QDrag &d) { ...drop...; return Qt::MoveAction; });
//   ui.SetDialogHandler(handler);       // every further dialog run, once the queue is empty
//   ui.SetQuestionHandler(handler);     // the same for questions
//   ui.SetFileHandler(handler);         // the same for file choices
//   ... run the window ...
//   EXPECT_EQ(ui.Boxes[0].text, ...);   // what was asked and shown
//
// Questions (modes 0 and 1) need a scripted answer; one-button boxes
// (messages, warnings, errors, plain boxes) are recorded and acknowledged by
// themselves (mrYes, mrOk for a plain box). A question, file choice, dialog
// or drag without an answer fails the test and answers Cancel (a drag: no
// drop). Answers left
// over when the services go fail the test too.
//
// Settings: one INI file per application in a temporary folder of its own,
// empty at the start. Clipboard: in memory, one entry per type; what is set
// joins what it holds in other types, as on the real clipboard; it can be made
// to refuse what is set on it.
// Programs: recorded, started as ProgramStarts says.
#pragma once

#include "ModalResult.h"
#include "UiServices.h"

#include <QList>
#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>

using TDialogAnswer = std::function<int(QDialog &dialog)>;
// Acts as the user who moves the drag and drops it (or not): the drop's action.
using TDragAnswer = std::function<Qt::DropAction(QDrag &drag)>;

class TScriptedUiServices : public TUiServices {
    Q_OBJECT
public:
    TScriptedUiServices();
    ~TScriptedUiServices() override;

    // ---- Script ----
    void AnswerBox(int result);
    void AnswerFile(const QString &path);
    void AnswerDialog(TDialogAnswer answer);
    void AnswerDrag(TDragAnswer answer);
    void SetDialogHandler(TDialogAnswer handler);
    void SetQuestionHandler(std::function<int(const TBoxRequest &request)> handler);
    void SetFileHandler(std::function<QString(const TFileRequest &request)> handler);

    // ---- Record ----
    QList<TBoxRequest> Boxes;
    QList<TFileRequest> Files;
    // Object names of the dialogs run (class names for unnamed ones).
    QStringList Dialogs;
    struct Program {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };
    QList<Program> Programs;
    bool ProgramStarts = true;
    // A clipboard that takes nothing set on it (it keeps what it held).
    bool ClipboardRefuses = false;
    // Runs at each file choice before it is answered, as a user acting in
    // the chooser (typing into its attached form) would.
    std::function<void(const TFileRequest &request)> OnFileChoice;

    // The texts of the boxes shown, in order.
    QStringList BoxTexts() const;
    // The INI file standing in for application's settings.
    QString SettingsPath(const QString &application = QLatin1String(kDesignerSettings)) const;
    std::unique_ptr<QSettings> Settings(const QString &application = QLatin1String(kDesignerSettings))
    {
        return OpenSettings(application, QString());
    }

    // ---- TUiServices ----
    int ShowBox(const TBoxRequest &request) override;
    int RunDialog(QDialog &dialog) override;
    QString ChooseFile(const TFileRequest &request) override;
    Qt::DropAction RunDrag(QDrag &drag, Qt::DropActions actions) override;
    std::unique_ptr<QSettings> OpenSettings(const QString &application, const QString &group) override;
    bool ClipboardData(const QString &mimeType, QByteArray &bytes) override;
    void SetClipboardData(const QString &mimeType, const QByteArray &bytes) override;
    bool StartProgram(const QString &program, const QStringList &arguments,
                      const QString &workingDirectory) override;

private:
    TUiServices *previous_ = nullptr;
    QTemporaryDir dir_;
    std::deque<int> boxAnswers_;
    std::deque<QString> fileAnswers_;
    std::deque<TDialogAnswer> dialogAnswers_;
    std::deque<TDragAnswer> dragAnswers_;
    TDialogAnswer dialogHandler_;
    std::function<int(const TBoxRequest &)> questionHandler_;
    std::function<QString(const TFileRequest &)> fileHandler_;
    QMap<QString, QByteArray> clipboard_;
};

// Installs services (null: the real ones) while it lives.
class TUiServicesScope {
public:
    explicit TUiServicesScope(TUiServices *services) : previous_(InstallUiServices(services)) { }
    ~TUiServicesScope() { InstallUiServices(previous_); }
    TUiServicesScope(const TUiServicesScope &) = delete;
    TUiServicesScope &operator=(const TUiServicesScope &) = delete;

private:
    TUiServices *previous_;
};
