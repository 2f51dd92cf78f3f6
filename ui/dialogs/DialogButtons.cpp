// Buttons of the small dialogs.
#include "DialogButtons.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {

constexpr int kButtonWidth = 81;

}  // namespace

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setMinimumWidth(kButtonWidth);
    return button;
}

QHBoxLayout *CentredButtonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    row->addStretch();
    return row;
}
