// Forms attached around a dialog window, form lookup by name, and the placing
// of the dialog window on the screen.
#include "ApAttachedForms.h"
#include "FileDialogsSupport.h"

#include <QDialog>
#include <QScreen>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A dialog window of 400 x 300 whose standard area fills it.
struct DialogWindow {
    DialogWindow()
    {
        window.resize(400, 300);
        area = new QWidget(&window);
        area->setGeometry(window.rect());
    }
    QDialog window;
    QWidget *area;
};

std::unique_ptr<QWidget> MakeForm(const QString &name, const QSize &size)
{
    auto form = std::make_unique<QWidget>();
    form->setObjectName(name);
    form->resize(size);
    return form;
}

}  // namespace

// A form of the designer's own kind: the class name is "T" and the form's name.
class TFormPreview : public QWidget {
    Q_OBJECT
};

TEST(AttachedForms, BottomFormGrowsTheWindowByItsHeightAndSpansItsWidth)
{
    DialogWindow dialog;
    auto form = MakeForm(QStringLiteral("FormDescription"), {120, 80});
    TApCustDlgParams params;
    params.SetBottomFormName(QStringLiteral("FormDescription"));
    params.ConnectForms(&dialog.window);

    EXPECT_EQ(dialog.window.size(), QSize(400, 380));
    EXPECT_EQ(params.ExtraWidth(), 0);
    EXPECT_EQ(params.ExtraHeight(), 80);
    EXPECT_EQ(form->parentWidget(), &dialog.window);
    EXPECT_EQ(form->geometry(), QRect(0, 300, 400, 80));
    EXPECT_EQ(dialog.area->geometry(), QRect(0, 0, 400, 300));

    // Laid out again in the same run: the window grows once.
    params.ConnectForms(&dialog.window);
    EXPECT_EQ(dialog.window.size(), QSize(400, 380));
    EXPECT_EQ(form->geometry(), QRect(0, 300, 400, 80));

    // Resized, the form stays below the standard area at the full width.
    dialog.window.resize(500, 450);
    params.OnResizeWindow(500, 450);
    EXPECT_EQ(form->geometry(), QRect(0, 370, 500, 80));
    EXPECT_EQ(dialog.area->geometry(), QRect(0, 0, 500, 370));
    EXPECT_EQ(params.DialogClientRect.right(), 499);
    EXPECT_EQ(params.DialogClientRect.bottom(), 449);

    params.DisconnectForms();
    EXPECT_TRUE(form->isWindow());
    EXPECT_TRUE(form->isHidden());
    EXPECT_EQ(form->parentWidget(), nullptr);
    EXPECT_EQ(params.BottomForm(), form.get());
}

// A left form moves the standard controls right by its width and the frame.
TEST(AttachedForms, FourFormsAroundTheStandardArea)
{
    DialogWindow dialog;
    QWidget owner;
    auto left = MakeForm(QStringLiteral("L"), {80, 1});
    // A form with an owner window goes back to it.
    left->setParent(&owner, Qt::Window);
    auto top = MakeForm(QStringLiteral("T"), {1, 40});
    auto right = MakeForm(QStringLiteral("R"), {60, 1});
    auto bottom = MakeForm(QStringLiteral("B"), {1, 50});
    TApCustDlgParams params;
    params.SetLeftForm(left.get());
    params.SetTopForm(top.get());
    params.SetRightForm(right.get());
    params.SetBottomForm(bottom.get());
    params.ConnectForms(&dialog.window);

    const int frame = ApDialogFrameWidth(&dialog.window);
    EXPECT_EQ(dialog.window.size(), QSize(540, 390));
    EXPECT_EQ(left->geometry(), QRect(0, 0, 80, 340));
    EXPECT_EQ(top->geometry(), QRect(80, 0, 400, 40));
    EXPECT_EQ(right->geometry(), QRect(480, 0, 60, 340));
    EXPECT_EQ(bottom->geometry(), QRect(0, 340, 540, 50));
    EXPECT_EQ(dialog.area->geometry(), QRect(QPoint(80 + frame, 40 + frame), QPoint(479, 339)));
    params.DisconnectForms();
    EXPECT_EQ(left->parentWidget(), &owner);
    EXPECT_TRUE(left->isWindow());
}

TEST(AttachedForms, FormsAreFoundByNameOnceCreated)
{
    TFormPreview preview;
    TApCustDlgParams params;
    params.SetBottomFormName(QStringLiteral("formpreview"));
    params.SetTopFormName(QStringLiteral("FormNotYetCreated"));
    params.PosParams.SetFormName(QStringLiteral("FORMPREVIEW"));
    params.PosParams.ShiftX = 7;
    params.Icon = QIcon(QPixmap(16, 16));

    DialogWindow dialog;
    params.ConnectForms(&dialog.window);
    EXPECT_EQ(params.BottomForm(), &preview);
    EXPECT_EQ(params.TopForm(), nullptr);
    EXPECT_EQ(params.PosParams.Form(), &preview);
    params.DisconnectForms();

    // Created later, the form is found by the next run.
    auto later = MakeForm(QStringLiteral("FormNotYetCreated"), {10, 10});
    DialogWindow second;
    params.ConnectForms(&second.window);
    EXPECT_EQ(params.TopForm(), later.get());
    params.DisconnectForms();

    // Another name forgets the form found for the old one.
    params.SetBottomFormName(QStringLiteral("FormNotYetCreated"));
    EXPECT_EQ(params.BottomForm(), nullptr);

    TApCustDlgParams copy;
    copy.Assign(params);
    EXPECT_EQ(copy.BottomFormName(), QStringLiteral("FormNotYetCreated"));
    EXPECT_EQ(copy.TopForm(), later.get());
    EXPECT_EQ(copy.PosParams.Form(), &preview);
    EXPECT_EQ(copy.PosParams.ShiftX, 7);
    EXPECT_TRUE(copy.Icon.isNull());
}

TEST(DialogPosition, FittingAndCentringRules)
{
    const QRect screen(0, 0, 800, 600);
    struct Case {
        QRect rect;
        QPoint fitted;
    };
    const Case cases[] = {
        {{100, 100, 200, 100}, {100, 100}},  // on the screen: stays
        {{700, 550, 200, 100}, {600, 500}},  // beyond the right and bottom edges
        {{-30, -40, 200, 100}, {0, 0}},      // beyond the left and top edges
        {{-30, 10, 900, 100}, {0, 10}},      // wider than the screen: left edge at 0
        {{100, 50, 200, 700}, {100, 0}},     // taller than the screen: top edge at 0
    };
    for (const Case &c : cases) {
        const QRect fitted = ApClampRectToScreen(c.rect, screen);
        EXPECT_EQ(fitted.topLeft(), c.fitted) << c.rect.x() << "," << c.rect.y();
        EXPECT_EQ(fitted.size(), c.rect.size());
    }
    // Centres are rounded toward zero.
    EXPECT_EQ(ApCenteredOnScreen({101, 51}, screen).topLeft(), QPoint(349, 274));
    EXPECT_EQ(ApCenteredOnScreen({900, 51}, screen).topLeft(), QPoint(0, 274));
    EXPECT_EQ(ApCenteredOn({0, 0, 11, 11}, {-10, -10, 5, 5}).topLeft(), QPoint(-12, -12));
    EXPECT_EQ(ApCenteredOn({0, 0, 10, 10}, {100, 200, 51, 31}).topLeft(), QPoint(120, 210));
}

TEST(DialogPosition, OwnerCentreWithoutAFormOrMainWindowCentresOnTheScreen)
{
    QObject owner;
    QObject dialogComponent(&owner);
    TApCustDlgParams params(&dialogComponent);
    params.Position = dpOwnerCenter;
    QDialog window;
    window.resize(300, 200);
    ApSetPosition(&window, params);
    EXPECT_EQ(window.pos(), ApCenteredOnScreen({300, 200}, ApScreenRect()).topLeft());

    // Shifted off the screen and fitted back.
    params.Position = dpDefault;
    params.PosParams.ShiftX = 10000;
    params.PosParams.FitToScreen = true;
    ApSetPosition(&window, params);
    EXPECT_EQ(window.x(), ApScreenRect().right() + 1 - 300);
}

#include "AttachedFormsTest.moc"
