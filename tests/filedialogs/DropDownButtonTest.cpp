// The drop-down button: its arrow part opens the menu, the rest clicks, and
// the menu items keep their own click handlers.
#include "ApDropDownButton.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// An item's own handler, recognisable by its type.
struct CountClicks {
    int *count;
    QAction **sender;
    void operator()(QAction *action) const
    {
        ++*count;
        *sender = action;
    }
};

bool HasOwnHandler(const TApMenuItem *item)
{
    return item->OnClick.target<CountClicks>() != nullptr;
}

}  // namespace

TEST(DropDownButton, ArrowOpensTheMenuAndTheRestClicks)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *button = new TApBitBtn(&window);
    button->setText(QStringLiteral("&Open"));
    layout->addWidget(button);
    QMenu menu;
    auto *item = new TApMenuItem(QStringLiteral("Open read-only"), &menu);
    menu.addAction(item);
    int own = 0;
    QAction *sender = nullptr;
    item->OnClick = CountClicks{&own, &sender};
    button->SetDropDownMenu(&menu);
    EXPECT_FALSE(HasOwnHandler(item));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(button, &QAbstractButton::clicked);

    const int middle = button->height() / 2;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - button->ArrowWidth() / 2, middle));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(button->Dropped());
    EXPECT_EQ(clicks.count(), 0);

    // Choosing the item releases the button, then runs the item's own handler.
    menu.hide();
    item->trigger();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(sender, item);
    EXPECT_FALSE(button->isDown());
    QTest::qWait(0);
    EXPECT_FALSE(button->Dropped());

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - button->ArrowWidth() - 4, middle));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(menu.isVisible());

    // Another menu gives the first one's items their handlers back ...
    QMenu other;
    auto *otherItem = new TApMenuItem(QStringLiteral("Open copy"), &other);
    other.addAction(otherItem);
    otherItem->OnClick = CountClicks{&own, &sender};
    button->SetDropDownMenu(&other);
    EXPECT_TRUE(HasOwnHandler(item));
    EXPECT_FALSE(HasOwnHandler(otherItem));
    // ... and so does the button's end.
    delete button;
    EXPECT_TRUE(HasOwnHandler(otherItem));
    otherItem->trigger();
    EXPECT_EQ(own, 2);
}
