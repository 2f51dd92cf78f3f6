// The designer's application object and the guard of its handlers.
#include "Application.h"

#include "UiServices.h"

#include <exception>

namespace {

// The message of the exception being handled; empty when it carries none.
QString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QString();
    }
}

}  // namespace

QString ApplicationTitle()
{
    return QStringLiteral("Zel Designer");
}

void ShowHandlerError(const QString &text)
{
    UiServices().ShowBox(TBoxRequest::Make(TBoxRequest::Error, text, ApplicationTitle()));
}

// Both guards show the box after leaving the catch block, so that its modal
// loop does not run inside an exception handler.
bool RunGuarded(const std::function<void()> &work)
{
    QString message;
    try {
        work();
        return true;
    } catch (...) {
        message = CurrentExceptionMessage();
    }
    ShowHandlerError(message);
    return false;
}

TZelApplication::TZelApplication(int &argc, char **argv) : QApplication(argc, argv)
{
}

bool TZelApplication::notify(QObject *receiver, QEvent *event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        message = CurrentExceptionMessage();
    }
    ShowHandlerError(message);
    return false;
}
