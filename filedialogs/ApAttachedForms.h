// Dialog parameters: forms of the application attached inside a file dialog's
// window, and the placing of that window on the screen.
//
// A dialog component owns one TApCustDlgParams. Up to four forms are attached
// around the dialog's own controls (left, top, right, bottom) and one custom
// form is kept for the full dialogs. ConnectForms finds the named forms among
// the application's windows, makes them children of the dialog window, lays
// them out around its standard area and grows the window by their sizes;
// OnResizeWindow keeps them at their edges while the window is resized;
// DisconnectForms gives them back to the application. ApSetPosition then
// places the dialog window.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QObject;

enum TApDlgPosition : quint8 { dpDefault, dpScrCenter, dpMainFormCenter, dpOwnerCenter, dpFormCenter };

// Shifts, a reference form and fitting for ApSetPosition.
class TApPosParams {
public:
    int ShiftY = 0;
    int ShiftX = 0;
    bool FitToScreen = false;

    QString FormName() const { return formName_; }
    // Stores the name and forgets the form found for the previous name.
    void SetFormName(const QString &name);
    QWidget *Form() const { return form_; }
    void SetForm(QWidget *form) { form_ = form; }

    void Assign(const TApPosParams &source);

private:
    friend class TApCustDlgParams;
    QPointer<QWidget> form_;
    QString formName_;
};

class TApCustDlgParams {
public:
    // ownerDialog: the dialog component that owns these parameters.
    explicit TApCustDlgParams(QObject *ownerDialog = nullptr);
    TApCustDlgParams(const TApCustDlgParams &) = delete;
    TApCustDlgParams &operator=(const TApCustDlgParams &) = delete;

    // Names of the forms to attach; empty = none. A name setter forgets the
    // form found for the previous name, so the next ConnectForms looks again.
    QString BottomFormName() const { return names_[Bottom]; }
    QString RightFormName() const { return names_[Right]; }
    QString TopFormName() const { return names_[Top]; }
    QString LeftFormName() const { return names_[Left]; }
    QString CustFormName() const { return names_[Custom]; }
    void SetBottomFormName(const QString &name) { SetName(Bottom, name); }
    void SetRightFormName(const QString &name) { SetName(Right, name); }
    void SetTopFormName(const QString &name) { SetName(Top, name); }
    void SetLeftFormName(const QString &name) { SetName(Left, name); }
    void SetCustFormName(const QString &name) { SetName(Custom, name); }

    // The forms themselves; a reference setter empties the name of its position.
    QWidget *BottomForm() const { return forms_[Bottom]; }
    QWidget *RightForm() const { return forms_[Right]; }
    QWidget *TopForm() const { return forms_[Top]; }
    QWidget *LeftForm() const { return forms_[Left]; }
    QWidget *CustForm() const { return forms_[Custom]; }
    void SetBottomForm(QWidget *form) { SetForm(Bottom, form); }
    void SetRightForm(QWidget *form) { SetForm(Right, form); }
    void SetTopForm(QWidget *form) { SetForm(Top, form); }
    void SetLeftForm(QWidget *form) { SetForm(Left, form); }
    void SetCustForm(QWidget *form) { SetForm(Custom, form); }
    // Finds the custom form by its name when it has not been found yet.
    QWidget *FindCustForm();
    // Makes the custom form (found by name when needed) a borderless child of
    // parent and returns it; null when there is none. DetachCustForm or
    // DisconnectForms gives it back.
    QWidget *AttachCustForm(QWidget *parent);
    void DetachCustForm() { Detach(Custom); }

    TApDlgPosition Position = dpDefault;
    TApPosParams PosParams;
    // Small icon of the dialog window; a null icon keeps the window's own.
    QIcon Icon;

    // The dialog component owning these parameters (used by dpOwnerCenter).
    QObject *OwnerDialog() const { return owner_; }
    // The dialog window given to the last ConnectForms.
    QWidget *DialogWnd() const { return dialogWnd_; }
    // The dialog's client rectangle when shown; its right and bottom edges
    // follow every size change.
    QRect DialogClientRect;
    // Where the dialog's file list lies, in the window's client coordinates.
    QRect ListArea;
    // How much ConnectForms widened and heightened the dialog window.
    int ExtraWidth() const { return extraWidth_; }
    int ExtraHeight() const { return extraHeight_; }

    // Copies the five forms, the five names, Position and PosParams; not the icon.
    void Assign(const TApCustDlgParams &source);

    // Attaches the named forms to the dialog window and grows it by their
    // sizes. Connecting the same window again first takes back what the
    // previous connection added, so the window grows once.
    void ConnectForms(QWidget *dialogWindow);
    // Hides the attached forms and gives them back to the application as
    // windows, under the parents they had; the references stay. The window keeps its size: the dialog
    // component shrinks it by ExtraWidth and ExtraHeight.
    void DisconnectForms();
    // Lays the attached forms and the standard area out for a new client size:
    // the left and right forms span the height above the bottom form, the top
    // form the width between them, the bottom form the whole width; the dialog's
    // other direct children fill the rest. DialogClientRect follows.
    void OnResizeWindow(int width, int height);

private:
    enum Slot { Left, Right, Top, Bottom, Custom, SlotCount };
    void SetName(Slot slot, const QString &name);
    void SetForm(Slot slot, QWidget *form);
    void Attach(Slot slot, QWidget *window);
    void Detach(Slot slot);

    QObject *owner_;
    QPointer<QWidget> forms_[SlotCount];
    QString names_[SlotCount];
    Qt::WindowFlags formFlags_[SlotCount] = {};
    QPointer<QWidget> formParents_[SlotCount];
    bool attached_[SlotCount] = {};
    QPointer<QWidget> dialogWnd_;
    QPoint standardOrigin_;
    int extraWidth_ = 0;
    int extraHeight_ = 0;
};

// The first window of the application whose object name equals name, or whose
// class name equals "T" followed by name, without regard to case; null when
// the application has not created it.
QWidget *ApFindForm(const QString &name);

// The gap the dialog keeps between an attached left or top form and its own
// controls (the dialog frame of its style).
int ApDialogFrameWidth(const QWidget *dialogWindow);

// The window's outer size as placed on the screen.
QSize ApOuterSize(const QWidget *window);

// rect shifted, never resized, so that it lies on the screen: its right and
// bottom edges moved onto the screen first, then its left and top edges; a
// rectangle larger than the screen ends at the screen's left or top edge.
QRect ApClampRectToScreen(QRect rect, const QRect &screen);
// A rectangle of the given size centred on the screen and fitted to it.
QRect ApCenteredOnScreen(const QSize &size, const QRect &screen);
// rect moved so that its centre lies on the centre of reference (centres
// rounded toward zero).
QRect ApCenteredOn(const QRect &rect, const QRect &reference);

// The primary screen's rectangle.
QRect ApScreenRect();
// Centres the window on the primary screen, fitted to it.
void ApCenterWindow(QWidget *window);
// Places the dialog window by params: centred as Position says, shifted by
// PosParams.ShiftX and ShiftY, then fitted to the screen when FitToScreen.
void ApSetPosition(QWidget *dialogWindow, TApCustDlgParams &params);
