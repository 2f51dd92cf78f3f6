// The drop-down button.
#include "ApDropDownButton.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTimer>

#include <algorithm>

namespace {

QPixmap ArrowGlyph(const QWidget *button)
{
    const int size = button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button);
    QPixmap glyph(size, size);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    QStyleOption option;
    option.initFrom(button);
    option.rect = glyph.rect();
    button->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, button);
    return glyph;
}

}  // namespace

TApMenuItem::TApMenuItem(const QString &text, QObject *parent) : QAction(text, parent)
{
    connect(this, &QAction::triggered, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

TApBitBtn::TApBitBtn(QWidget *parent) : QPushButton(parent)
{
    glyph_ = ArrowGlyph(this);
}

TApBitBtn::~TApBitBtn()
{
    RestoreItemClicks();
}

void TApBitBtn::SetGlyph(const QPixmap &glyph)
{
    glyph_ = glyph;
    updateGeometry();
    update();
}

void TApBitBtn::SetNumGlyphs(int count)
{
    numGlyphs_ = std::clamp(count, 1, 4);
    updateGeometry();
    update();
}

void TApBitBtn::SetSpacing(int spacing)
{
    spacing_ = spacing;
    updateGeometry();
    update();
}

void TApBitBtn::SetMargin(int margin)
{
    if (margin < -1)
        return;
    margin_ = margin;
    update();
}

void TApBitBtn::SetCaptionAlignment(Qt::Alignment alignment)
{
    captionAlignment_ = alignment;
    update();
}

int TApBitBtn::ArrowWidth() const
{
    return glyph_.width() / numGlyphs_ + 2 * spacing_;
}

QSize TApBitBtn::sizeHint() const
{
    return QPushButton::sizeHint() + QSize(ArrowWidth(), 0);
}

void TApBitBtn::RestoreItemClicks()
{
    for (SavedClick &saved : savedClicks_) {
        if (saved.item)
            saved.item->OnClick = std::move(saved.handler);
    }
    savedClicks_.clear();
}

void TApBitBtn::SetDropDownMenu(QMenu *menu)
{
    if (menu_)
        menu_->disconnect(this);
    RestoreItemClicks();
    menu_ = menu;
    if (!menu)
        return;
    for (QAction *action : menu->actions()) {
        auto *item = qobject_cast<TApMenuItem *>(action);
        if (!item)
            continue;
        TApMenuClickEvent own = item->OnClick;
        savedClicks_.push_back({item, own});
        item->OnClick = [this, own](QAction *sender) {
            ItemChosen(qobject_cast<TApMenuItem *>(sender), own);
        };
    }
    // A press on the arrow part that closes the menu reaches the button after
    // the menu has gone: the flag is cleared only after that.
    connect(menu, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, [this] { SetDropped(false); }); });
}

void TApBitBtn::ItemChosen(TApMenuItem *item, const TApMenuClickEvent &handler)
{
    setDown(false);
    SetDropped(false);
    repaint();
    if (handler)
        handler(item);
}

void TApBitBtn::SetAction(QAction *action)
{
    if (action_)
        disconnect(this, &QAbstractButton::clicked, action_, nullptr);
    action_ = action;
    if (!action)
        return;
    setText(action->text());
    setIcon(action->icon());
    setEnabled(action->isEnabled());
    connect(this, &QAbstractButton::clicked, action, &QAction::trigger);
}

void TApBitBtn::SetDropped(bool dropped)
{
    if (dropped_ == dropped)
        return;
    dropped_ = dropped;
    update();
}

void TApBitBtn::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || event->position().x() < width() - ArrowWidth()) {
        QPushButton::mousePressEvent(event);
        return;
    }
    if (dropped_) {
        if (menu_)
            menu_->hide();
        SetDropped(false);
        return;
    }
    if (!menu_)
        return;
    SetDropped(true);
    menu_->popup(mapToGlobal(rect().bottomLeft() + QPoint(0, 1)));
}

void TApBitBtn::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void TApBitBtn::mouseReleaseEvent(QMouseEvent *event)
{
    QPushButton::mouseReleaseEvent(event);
    if (!menu_ || !menu_->isVisible())
        SetDropped(false);
}

void TApBitBtn::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    if (!menu_ || !menu_->isVisible())
        SetDropped(false);
}

void TApBitBtn::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    if (!menu_ || !menu_->isVisible())
        SetDropped(false);
}

QPixmap TApBitBtn::GlyphImage() const
{
    const int width = glyph_.width() / numGlyphs_;
    int index = 0;
    if (!isEnabled() && numGlyphs_ > 1)
        index = 1;
    else if (isDown() && numGlyphs_ > 2)
        index = 2;
    else if (dropped_ && numGlyphs_ > 3)
        index = 3;
    return glyph_.copy(index * width, 0, width, glyph_.height());
}

void TApBitBtn::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int arrowLeft = width() - ArrowWidth();
    const QRect arrow(arrowLeft, contents.top(), contents.right() - arrowLeft + 1, contents.height());
    if (dropped_) {
        QStyleOptionButton sunken = option;
        sunken.rect = QRect(arrowLeft, 0, width() - arrowLeft, height());
        sunken.state |= QStyle::State_Sunken;
        sunken.state &= ~QStyle::State_Raised;
        painter.drawPrimitive(QStyle::PE_PanelButtonBevel, sunken);
    }
    const QPixmap glyph = GlyphImage();
    painter.drawItemPixmap(arrow, Qt::AlignCenter, glyph);

    QRect caption(contents.left(), contents.top(), arrowLeft - contents.left(), contents.height());
    if (margin_ >= 0)
        caption.setLeft(margin_);
    if (!icon().isNull()) {
        const QPixmap image = icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const QRect imageRect(caption.left(), caption.top(), image.width(), caption.height());
        painter.drawItemPixmap(imageRect, Qt::AlignCenter, image);
        caption.setLeft(imageRect.right() + 1 + spacing_);
    }
    const Qt::Alignment alignment = margin_ >= 0 ? (Qt::AlignLeft | Qt::AlignVCenter) : captionAlignment_;
    painter.drawItemText(caption, int(alignment | Qt::TextShowMnemonic), palette(), isEnabled(), text(),
                         QPalette::ButtonText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = contents;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
