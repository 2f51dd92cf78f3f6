// One place of the custom places bar.
#include "ApPlaceButton.h"

#include "ApDialogsCommon.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace {
constexpr int kIconSize = 32;
}

QString ApElideCaption(const QFontMetrics &metrics, const QString &caption, int width)
{
    if (metrics.horizontalAdvance(caption) <= width)
        return caption;
    const QString dots = QStringLiteral("...");
    qsizetype length = caption.size();
    while (length > 0 && metrics.horizontalAdvance(caption.left(length) + dots) > width)
        --length;
    if (length > 0 && caption.at(length - 1).isHighSurrogate())
        --length;
    return caption.left(length) + dots;
}

TApPlaceButton::TApPlaceButton(const TApPlace &place, QWidget *parent)
    : QToolButton(parent),
      normal_(ApLibraryIcon(place.PlaceIconDll, place.PlaceIcon)),
      selected_(ApLibraryIcon(place.PlaceIconDll, place.PlaceHotIcon))
{
    setObjectName(QStringLiteral("ApPlaceButton"));
    setText(place.GetPlaceName());
    setToolTip(place.PlaceDesc);
    setCheckable(true);
    setAutoRaise(true);
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::NoFocus);
}

void TApPlaceButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    const bool selected = isChecked() || isDown() || underMouse();
    const QIcon &icon = selected && !selected_.isNull() ? selected_ : normal_;
    const QRect iconRect((width() - kIconSize) / 2, 2, kIconSize, kIconSize);
    icon.paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);

    const QRect captionRect(2, iconRect.bottom() + 1, width() - 4, height() - iconRect.bottom() - 2);
    painter.drawItemText(captionRect, Qt::AlignHCenter | Qt::AlignTop, palette(), isEnabled(),
                         ApElideCaption(fontMetrics(), text(), captionRect.width()), QPalette::ButtonText);
}

void TApPlaceButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        pressPos_ = event->position().toPoint();
        dragging_ = false;
    }
    QToolButton::mousePressEvent(event);
}

void TApPlaceButton::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && !dragging_
        && (event->position().toPoint() - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::DragMoveCursor);
    }
    if (!dragging_)
        QToolButton::mouseMoveEvent(event);
}

void TApPlaceButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QToolButton::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    unsetCursor();
    setDown(false);
    emit DragEnded(this, event->globalPosition().toPoint());
}
