// Dialog parameters: attached forms and the placing of the dialog window.
#include "ApAttachedForms.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSizeGrip>
#include <QStyle>

namespace {

// A form's own size: the size it was given, else the size its layout asks for.
QSize FormSize(const QWidget *form)
{
    if (form->testAttribute(Qt::WA_Resized))
        return form->size();
    return form->sizeHint().expandedTo(form->minimumSizeHint()).expandedTo(QSize(1, 1));
}

bool IsAttachedForm(const QWidget *widget, const QPointer<QWidget> *forms, int count)
{
    for (int i = 0; i < count; ++i) {
        if (forms[i] == widget)
            return true;
    }
    return false;
}

QWidget *MainForm()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<QMainWindow *>(window))
            return window;
    }
    return nullptr;
}

QRect OuterRect(const QWidget *window)
{
    return window->isVisible() ? window->frameGeometry() : QRect(window->pos(), ApOuterSize(window));
}

// Centres the window on the form, else on the main window, else on the screen.
void CenterOnForm(QWidget *dialogWindow, const QWidget *form)
{
    if (!form)
        form = MainForm();
    if (!form) {
        ApCenterWindow(dialogWindow);
        return;
    }
    dialogWindow->move(ApCenteredOn(OuterRect(dialogWindow), OuterRect(form)).topLeft());
}

}  // namespace

void TApPosParams::SetFormName(const QString &name)
{
    formName_ = name;
    form_ = nullptr;
}

void TApPosParams::Assign(const TApPosParams &source)
{
    ShiftX = source.ShiftX;
    ShiftY = source.ShiftY;
    formName_ = source.formName_;
    form_ = source.form_;
    FitToScreen = source.FitToScreen;
}

TApCustDlgParams::TApCustDlgParams(QObject *ownerDialog) : owner_(ownerDialog)
{
}

void TApCustDlgParams::SetName(Slot slot, const QString &name)
{
    names_[slot] = name;
    forms_[slot] = nullptr;
}

void TApCustDlgParams::SetForm(Slot slot, QWidget *form)
{
    forms_[slot] = form;
    names_[slot].clear();
}

QWidget *TApCustDlgParams::FindCustForm()
{
    if (!forms_[Custom] && !names_[Custom].isEmpty())
        forms_[Custom] = ApFindForm(names_[Custom]);
    return forms_[Custom];
}

QWidget *TApCustDlgParams::AttachCustForm(QWidget *parent)
{
    if (!FindCustForm() || !parent)
        return nullptr;
    if (forms_[Custom]->parentWidget() != parent)
        Attach(Custom, parent);
    return forms_[Custom];
}

void TApCustDlgParams::Assign(const TApCustDlgParams &source)
{
    for (int i = 0; i < SlotCount; ++i) {
        forms_[i] = source.forms_[i];
        names_[i] = source.names_[i];
    }
    Position = source.Position;
    PosParams.Assign(source.PosParams);
}

void TApCustDlgParams::Attach(Slot slot, QWidget *window)
{
    QWidget *form = forms_[slot];
    if (!attached_[slot]) {
        formFlags_[slot] = form->windowFlags();
        formParents_[slot] = form->parentWidget();
    }
    // A child window has no border of its own.
    form->setParent(window, Qt::Widget);
    attached_[slot] = true;
}

void TApCustDlgParams::ConnectForms(QWidget *dialogWindow)
{
    if (!dialogWindow)
        return;
    if (dialogWnd_ == dialogWindow && (extraWidth_ != 0 || extraHeight_ != 0))
        dialogWindow->resize(dialogWindow->size() - QSize(extraWidth_, extraHeight_));
    dialogWnd_ = dialogWindow;
    extraWidth_ = extraHeight_ = 0;

    for (Slot slot : {Left, Right, Top, Bottom, Custom}) {
        if (!forms_[slot] && !names_[slot].isEmpty())
            forms_[slot] = ApFindForm(names_[slot]);
    }
    if (!PosParams.form_ && !PosParams.formName_.isEmpty())
        PosParams.form_ = ApFindForm(PosParams.formName_);

    const QSize client = dialogWindow->size();
    const int frame = ApDialogFrameWidth(dialogWindow);
    QSize formSize[SlotCount];
    for (Slot slot : {Left, Right, Top, Bottom}) {
        if (forms_[slot]) {
            formSize[slot] = FormSize(forms_[slot]);
            Attach(slot, dialogWindow);
        }
    }
    const int left = forms_[Left] ? formSize[Left].width() : 0;
    const int top = forms_[Top] ? formSize[Top].height() : 0;
    const int right = forms_[Right] ? formSize[Right].width() : 0;
    const int bottom = forms_[Bottom] ? formSize[Bottom].height() : 0;
    // The dialog's own controls move right of a left form and below a top
    // form, each by the form's size and the dialog frame.
    standardOrigin_ = QPoint(left > 0 ? left + frame : 0, top > 0 ? top + frame : 0);
    if (forms_[Left])
        forms_[Left]->resize(left, client.height() + top);
    if (forms_[Top])
        forms_[Top]->resize(client.width(), top);
    if (forms_[Right])
        forms_[Right]->resize(right, client.height() + top);
    if (forms_[Bottom])
        forms_[Bottom]->resize(left + client.width() + right, bottom);

    extraWidth_ = left + right;
    extraHeight_ = top + bottom;
    dialogWindow->resize(client.width() + extraWidth_, client.height() + extraHeight_);
    OnResizeWindow(dialogWindow->width(), dialogWindow->height());
    for (Slot slot : {Left, Top, Right, Bottom}) {
        if (forms_[slot])
            forms_[slot]->show();
    }
    if (!Icon.isNull())
        dialogWindow->setWindowIcon(Icon);
}

void TApCustDlgParams::Detach(Slot slot)
{
    QWidget *form = forms_[slot];
    if (form && attached_[slot]) {
        form->hide();
        form->setParent(formParents_[slot], formFlags_[slot]);
    }
    attached_[slot] = false;
}

void TApCustDlgParams::DisconnectForms()
{
    for (Slot slot : {Bottom, Top, Left, Right, Custom})
        Detach(slot);
}

void TApCustDlgParams::OnResizeWindow(int width, int height)
{
    QWidget *window = dialogWnd_;
    if (!window)
        return;
    auto attachedSize = [this](Slot slot) {
        return attached_[slot] && forms_[slot] ? forms_[slot]->size() : QSize(0, 0);
    };
    const int left = attachedSize(Left).width();
    const int right = attachedSize(Right).width();
    const int top = attachedSize(Top).height();
    const int bottom = attachedSize(Bottom).height();
    if (attached_[Bottom] && forms_[Bottom])
        forms_[Bottom]->setGeometry(0, height - bottom, width, bottom);
    if (attached_[Top] && forms_[Top])
        forms_[Top]->setGeometry(left, 0, width - left - right, top);
    if (attached_[Left] && forms_[Left])
        forms_[Left]->setGeometry(0, 0, left, height - bottom);
    if (attached_[Right] && forms_[Right])
        forms_[Right]->setGeometry(width - right, 0, right, height - bottom);

    const QRect standard(standardOrigin_, QPoint(width - right - 1, height - bottom - 1));
    const QObjectList children = window->children();
    for (QObject *child : children) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow() || qobject_cast<QSizeGrip *>(widget)
            || IsAttachedForm(widget, forms_, SlotCount))
            continue;
        widget->setGeometry(standard);
    }
    DialogClientRect.setRight(width - 1);
    DialogClientRect.setBottom(height - 1);
}

QWidget *ApFindForm(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    const QString className = QLatin1Char('T') + name;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName().compare(name, Qt::CaseInsensitive) == 0
            || QString::fromLatin1(window->metaObject()->className()).compare(className, Qt::CaseInsensitive)
                == 0)
            return window;
    }
    return nullptr;
}

int ApDialogFrameWidth(const QWidget *dialogWindow)
{
    return dialogWindow->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, dialogWindow);
}

QSize ApOuterSize(const QWidget *window)
{
    return window->isVisible() ? window->frameGeometry().size() : window->size();
}

QRect ApClampRectToScreen(QRect rect, const QRect &screen)
{
    if (rect.x() + rect.width() > screen.x() + screen.width())
        rect.moveLeft(screen.x() + screen.width() - rect.width());
    if (rect.x() < screen.x())
        rect.moveLeft(screen.x());
    if (rect.y() + rect.height() > screen.y() + screen.height())
        rect.moveTop(screen.y() + screen.height() - rect.height());
    if (rect.y() < screen.y())
        rect.moveTop(screen.y());
    return rect;
}

QRect ApCenteredOnScreen(const QSize &size, const QRect &screen)
{
    const QRect centred(screen.x() + (screen.width() - size.width()) / 2,
                        screen.y() + (screen.height() - size.height()) / 2, size.width(), size.height());
    return ApClampRectToScreen(centred, screen);
}

QRect ApCenteredOn(const QRect &rect, const QRect &reference)
{
    // Centres of [left, left + width): the sums divided rounding toward zero.
    auto centre = [](const QRect &r) {
        return QPoint((2 * r.x() + r.width()) / 2, (2 * r.y() + r.height()) / 2);
    };
    return rect.translated(centre(reference) - centre(rect));
}

QRect ApScreenRect()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

void ApCenterWindow(QWidget *window)
{
    if (!window)
        return;
    window->move(ApCenteredOnScreen(ApOuterSize(window), ApScreenRect()).topLeft());
}

void ApSetPosition(QWidget *dialogWindow, TApCustDlgParams &params)
{
    if (!dialogWindow)
        return;
    switch (params.Position) {
    case dpDefault: break;
    case dpScrCenter: ApCenterWindow(dialogWindow); break;
    case dpMainFormCenter: CenterOnForm(dialogWindow, MainForm()); break;
    case dpOwnerCenter: {
        auto *owner =
            params.OwnerDialog() ? qobject_cast<QWidget *>(params.OwnerDialog()->parent()) : nullptr;
        CenterOnForm(dialogWindow, owner && owner->isWindow() ? owner : nullptr);
        break;
    }
    case dpFormCenter: CenterOnForm(dialogWindow, params.PosParams.Form()); break;
    }
    const TApPosParams &pos = params.PosParams;
    if (pos.ShiftX != 0 || pos.ShiftY != 0)
        dialogWindow->move(OuterRect(dialogWindow).topLeft() + QPoint(pos.ShiftX, pos.ShiftY));
    if (pos.FitToScreen)
        dialogWindow->move(ApClampRectToScreen(OuterRect(dialogWindow), ApScreenRect()).topLeft());
}
