// TApBitBtn: a push button with an arrow part at its right edge that drops
// down a menu. A press left of the arrow part is an ordinary press; a press on
// it opens the menu below the button, and a second press while it is open
// closes it.
//
// The menu's items (TApMenuItem) keep one click handler each. While a menu is
// attached, the button stands in for those handlers: choosing an item first
// releases the button, then runs the item's own handler. The handlers are given
// back when another menu is attached and when the button is destroyed.
#pragma once

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include <functional>
#include <vector>

class TApMenuItem;
using TApMenuClickEvent = std::function<void(QAction *sender)>;

// A menu item with one click handler of its own.
class TApMenuItem : public QAction {
    Q_OBJECT
public:
    explicit TApMenuItem(const QString &text, QObject *parent = nullptr);
    TApMenuClickEvent OnClick;
};

class TApBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TApBitBtn(QWidget *parent = nullptr);
    ~TApBitBtn() override;

    // The image drawn in the arrow part: NumGlyphs images side by side (normal,
    // disabled, pressed, dropped). By default a down arrow.
    QPixmap Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap &glyph);
    int NumGlyphs() const { return numGlyphs_; }
    // 1 to 4; a larger number is 4, a smaller one 1.
    void SetNumGlyphs(int count);
    // Gap around the glyph and between image and caption.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    // Distance of the caption from the left edge; -1 = placed by CaptionAlignment.
    int Margin() const { return margin_; }
    // Values below -1 are refused (the margin stays).
    void SetMargin(int margin);
    Qt::Alignment CaptionAlignment() const { return captionAlignment_; }
    void SetCaptionAlignment(Qt::Alignment alignment);

    QMenu *DropDownMenu() const { return menu_; }
    void SetDropDownMenu(QMenu *menu);
    // The menu is open.
    bool Dropped() const { return dropped_; }
    // The button takes the action's caption, image and enabled state, and a
    // click triggers it.
    void SetAction(QAction *action);

    // Width of the arrow part at the right edge.
    int ArrowWidth() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct SavedClick {
        QPointer<TApMenuItem> item;
        TApMenuClickEvent handler;
    };
    void SetDropped(bool dropped);
    void RestoreItemClicks();
    void ItemChosen(TApMenuItem *item, const TApMenuClickEvent &handler);
    QPixmap GlyphImage() const;

    QPixmap glyph_;
    int numGlyphs_ = 1;
    int spacing_ = 4;
    int margin_ = -1;
    Qt::Alignment captionAlignment_ = Qt::AlignCenter;
    QPointer<QMenu> menu_;
    std::vector<SavedClick> savedClicks_;
    QPointer<QAction> action_;
    bool dropped_ = false;
};
