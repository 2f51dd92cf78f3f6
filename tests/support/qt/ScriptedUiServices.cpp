// UI services for headless tests.
#include "ScriptedUiServices.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace {

std::string Describe(const TBoxRequest &request)
{
    return (request.caption + QStringLiteral(": ") + request.text).toStdString();
}

}  // namespace

TScriptedUiServices::TScriptedUiServices()
{
    EXPECT_TRUE(dir_.isValid());
    previous_ = InstallUiServices(this);
}

TScriptedUiServices::~TScriptedUiServices()
{
    InstallUiServices(previous_);
    EXPECT_TRUE(boxAnswers_.empty()) << boxAnswers_.size() << " question answer(s) never asked for";
    EXPECT_TRUE(fileAnswers_.empty()) << fileAnswers_.size() << " file answer(s) never asked for";
    EXPECT_TRUE(dialogAnswers_.empty()) << dialogAnswers_.size() << " dialog answer(s) never asked for";
    EXPECT_TRUE(dragAnswers_.empty()) << dragAnswers_.size() << " drag answer(s) never asked for";
}

void TScriptedUiServices::AnswerBox(int result)
{
    boxAnswers_.push_back(result);
}

void TScriptedUiServices::AnswerFile(const QString &path)
{
    fileAnswers_.push_back(path);
}

void TScriptedUiServices::AnswerDialog(TDialogAnswer answer)
{
    dialogAnswers_.push_back(std::move(answer));
}

void TScriptedUiServices::AnswerDrag(TDragAnswer answer)
{
    dragAnswers_.push_back(std::move(answer));
}

void TScriptedUiServices::SetDialogHandler(TDialogAnswer handler)
{
    dialogHandler_ = std::move(handler);
}

void TScriptedUiServices::SetQuestionHandler(std::function<int(const TBoxRequest &)> handler)
{
    questionHandler_ = std::move(handler);
}

void TScriptedUiServices::SetFileHandler(std::function<QString(const TFileRequest &)> handler)
{
    fileHandler_ = std::move(handler);
}

QStringList TScriptedUiServices::BoxTexts() const
{
    QStringList texts;
    for (const TBoxRequest &box : Boxes)
        texts.append(box.text);
    return texts;
}

QString TScriptedUiServices::SettingsPath(const QString &application) const
{
    return dir_.filePath(application + QStringLiteral(".ini"));
}

int TScriptedUiServices::ShowBox(const TBoxRequest &request)
{
    Boxes.append(request);
    if (request.kind == TBoxRequest::Plain)
        return mrOk;
    if (request.kind != TBoxRequest::Question || request.mode == 2)
        return mrYes;
    if (boxAnswers_.empty() && questionHandler_)
        return questionHandler_(request);
    if (boxAnswers_.empty()) {
        ADD_FAILURE() << "question nobody answered: " << Describe(request);
        return mrCancel;
    }
    const int answer = boxAnswers_.front();
    boxAnswers_.pop_front();
    return answer;
}

int TScriptedUiServices::RunDialog(QDialog &dialog)
{
    Dialogs.append(dialog.objectName().isEmpty() ? QLatin1String(dialog.metaObject()->className())
                                                 : dialog.objectName());
    TDialogAnswer answer;
    if (!dialogAnswers_.empty()) {
        answer = std::move(dialogAnswers_.front());
        dialogAnswers_.pop_front();
    } else {
        answer = dialogHandler_;
    }
    if (!answer) {
        ADD_FAILURE() << "dialog nobody answered: " << Dialogs.last().toStdString();
        return QDialog::Rejected;
    }
    return answer(dialog);
}

Qt::DropAction TScriptedUiServices::RunDrag(QDrag &drag, Qt::DropActions)
{
    if (dragAnswers_.empty()) {
        ADD_FAILURE() << "drag nobody answered";
        return Qt::IgnoreAction;
    }
    const TDragAnswer answer = std::move(dragAnswers_.front());
    dragAnswers_.pop_front();
    return answer(drag);
}

QString TScriptedUiServices::ChooseFile(const TFileRequest &request)
{
    Files.append(request);
    if (OnFileChoice)
        OnFileChoice(request);
    if (fileAnswers_.empty() && fileHandler_)
        return fileHandler_(request);
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "file choice nobody answered: " << request.filter.toStdString();
        return QString();
    }
    const QString path = fileAnswers_.front();
    fileAnswers_.pop_front();
    return path;
}

std::unique_ptr<QSettings> TScriptedUiServices::OpenSettings(const QString &application, const QString &group)
{
    auto settings = std::make_unique<QSettings>(SettingsPath(application), QSettings::IniFormat);
    if (!group.isEmpty())
        settings->beginGroup(group);
    return settings;
}

bool TScriptedUiServices::ClipboardData(const QString &mimeType, QByteArray &bytes)
{
    const auto held = clipboard_.constFind(mimeType);
    bytes = held != clipboard_.cend() ? *held : QByteArray();
    return held != clipboard_.cend();
}

void TScriptedUiServices::SetClipboardData(const QString &mimeType, const QByteArray &bytes)
{
    if (ClipboardRefuses)
        return;
    clipboard_.insert(mimeType, bytes);
    emit clipboardChanged();
}

bool TScriptedUiServices::StartProgram(const QString &program, const QStringList &arguments,
                                       const QString &workingDirectory)
{
    Programs.append({program, arguments, workingDirectory});
    return ProgramStarts;
}
