// The designer's application object and the guard of its handlers: an
// exception never escapes into the event loop; it is shown in a message box
// titled with the application title, and the program goes on.
#pragma once

#include <QApplication>
#include <QString>

#include <functional>

// "Zel Designer": the application title, caption of the error box.
QString ApplicationTitle();

// Shows text in an error box of its own (a fresh box on top of any box
// already open) under the application title.
void ShowHandlerError(const QString &text);

// Runs work; an exception it raises is caught and shown with
// ShowHandlerError (its message, or the empty text for an exception that
// carries none). Returns false when work raised one.
bool RunGuarded(const std::function<void()> &work);

class TZelApplication : public QApplication {
public:
    TZelApplication(int &argc, char **argv);
    // Delivers the event; an exception from its handler is shown, not passed on.
    bool notify(QObject *receiver, QEvent *event) override;
};
