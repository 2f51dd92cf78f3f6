// Buttons of the small dialogs: made with their object names and at least
// as wide as the designer's buttons, and laid out in a centred row.
#pragma once

#include <QString>

#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &text);
// The buttons side by side, centred.
QHBoxLayout *CentredButtonRow(std::initializer_list<QPushButton *> buttons);
