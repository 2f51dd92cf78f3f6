// The menu dialog: the text a sub-menu (kind 101) shows as one row of a menu
// page, and its description.
//
// An item dialog (ItemDialog.h) that writes every key itself: "Caption", then
// the "Description" lines. While the text is typed it turns green when it
// fits the panel's row (the display width less 16 pixels, measured with the
// compiler's rasteriser in the output font) and olive when it does not; a
// wide text is still saved. OK refuses an empty text with warning 2000.
// Translated under the form name "FormMenu"; the caller sets the title.
#pragma once

#include "ItemDialog.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

class TFormMenu : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormMenu(QWidget *parent = nullptr);
    ~TFormMenu() override;

    // Colours the menu text by its width on the panel.
    void edtCaptionChange();

    QLabel *lbCaption;
    QLineEdit *edtCaption;
    QLabel *lbDescription;
    QPlainTextEdit *moDescription;

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;
};

// The one instance, made on first use and kept until the program ends.
extern TFormMenu *FormMenu;
// FormMenu, made on first use.
TFormMenu *MenuForm();
