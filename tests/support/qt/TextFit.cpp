// Whether a window shows every one of its texts whole.
#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <climits>

namespace {

QString Name(const QWidget *widget)
{
    const QString name = widget->objectName();
    return QStringLiteral("%1 (%2)").arg(name.isEmpty() ? QStringLiteral("unnamed") : name,
                                         QLatin1String(widget->metaObject()->className()));
}

QString Problem(const QWidget *widget, const QString &text, const QSize &needed, const QSize &has)
{
    return QStringLiteral("%1 \"%2\" needs %3 x %4, has %5 x %6")
        .arg(Name(widget), text)
        .arg(needed.width())
        .arg(needed.height())
        .arg(has.width())
        .arg(has.height());
}

void CheckLabel(const QLabel *label, QStringList &problems)
{
    const QString text = label->text();
    if (text.isEmpty() || label->textFormat() == Qt::RichText)
        return;
    QRect area =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    if (label->indent() > 0)
        area.setWidth(area.width() - label->indent());
    const int flags =
        (label->wordWrap() ? Qt::TextWordWrap : 0) | (label->buddy() ? Qt::TextShowMnemonic : 0);
    const QRect needed =
        QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->wordWrap() ? area.width() : INT_MAX / 4, INT_MAX / 4), flags,
                          text);
    if (needed.width() > area.width() || needed.height() > area.height())
        problems.append(Problem(label, text, needed.size(), area.size()));
}

void CheckButton(QAbstractButton *button, QStringList &problems)
{
    const QString text = button->text();
    if (text.isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<QCheckBox *>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<QRadioButton *>(button))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<QPushButton *>(button))
        return;
    const QRect area = button->style()->subElementRect(contents, &option, button);
    const QRect needed = QFontMetrics(button->font()).boundingRect(QRect(), Qt::TextShowMnemonic, text);
    if (needed.width() > area.width() || needed.height() > area.height())
        problems.append(Problem(button, text, needed.size(), area.size()));
}

void CheckCombo(QComboBox *combo, QStringList &problems)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QRect area =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics metrics(combo->font());
    for (int i = 0; i < combo->count(); ++i) {
        const QString text = combo->itemText(i);
        const int width = metrics.horizontalAdvance(text);
        if (width > area.width())
            problems.append(Problem(combo, text, QSize(width, metrics.height()), area.size()));
    }
}

}  // namespace

::testing::AssertionResult TextsFit(QWidget *window)
{
    const bool wasVisible = window->isVisible();
    window->show();
    if (QLayout *layout = window->layout())
        layout->activate();
    QCoreApplication::processEvents();

    QStringList problems;
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!widget->isVisibleTo(window) || widget->isWindow())
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget))
            CheckLabel(label, problems);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            CheckButton(button, problems);
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            CheckCombo(combo, problems);
    }
    if (!wasVisible)
        window->hide();
    if (problems.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "in " << Name(window).toStdString() << ":\n  "
                                         << problems.join(QStringLiteral("\n  ")).toStdString();
}
