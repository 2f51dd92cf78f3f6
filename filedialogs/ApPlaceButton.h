// TApPlaceButton: one place of the custom places bar, a flat check-style
// button with the place's icon above its caption ("..." ends a caption that
// does not fit). A click goes to the place; dragging it with the left button
// onto another place button reports where it was dropped, so the bar moves it.
#pragma once

#include <QIcon>
#include <QToolButton>

struct TApPlace;

// The caption cut, with "..." at its end, to fit width.
QString ApElideCaption(const QFontMetrics &metrics, const QString &caption, int width);

class TApPlaceButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 87;
    static constexpr int kHeight = 49;

    TApPlaceButton(const TApPlace &place, QWidget *parent = nullptr);

signals:
    // A drag of this button ended at globalPos.
    void DragEnded(TApPlaceButton *button, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QIcon normal_;
    QIcon selected_;
    QPoint pressPos_;
    bool dragging_ = false;
};
