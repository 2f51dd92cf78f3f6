// The search dialog: find the project's nodes by a PLC reference or by a
// text in their captions. Translated under the form name "fmSearch".
//
// The reference turns green while it is a valid operand or constant and red
// while not. OK closes the dialog only with a valid reference (searching by
// reference) or a non-empty text (searching by text); otherwise the dialog
// stays open with the focus on that field, without a message.
//
// Result, after UiServices().RunDialog(*SearchForm()) == mrOk:
//   SearchByReference(): rbRefNo chosen; then ParseOperand(edtReference->text())
//   otherwise the text of edtFindString.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfmSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfmSearch(QWidget *parent = nullptr);
    ~TfmSearch() override;

    // True when the reference's text is an operand or constant of any kind.
    bool IsReferenceValid() const;
    // Whether the search is by reference (rbRefNo) rather than by text.
    bool SearchByReference() const;

    // ---- Handlers ----
    // Either scope chosen: its label and edit on, the other pair off, the
    // focus on the chosen edit.
    void rbRefNoClick();
    // The live colour of the reference.
    void edtReferenceChange();
    // OK: closes with OK only on valid input of the chosen scope.
    void btOKClick();

    QGroupBox *gbScope;
    QRadioButton *rbRefNo;
    QRadioButton *rbString;
    QLabel *lbRef;
    QLineEdit *edtReference;
    QLabel *lbString;
    QLineEdit *edtFindString;
    QPushButton *btOK;
    QPushButton *btCancel;

public slots:
    // Cancel, also from the title bar (or Esc): closes with Cancel (2).
    void reject() override;

protected:
    // Each activation focuses the edit of the chosen scope.
    void showEvent(QShowEvent *event) override;

private:
    void FormActivate();
    QLineEdit *ScopeEdit() const;
};

// The one instance, made at start-up and kept until the program ends.
extern TfmSearch *fmSearch;
// fmSearch, made on first use when start-up has not made it yet.
TfmSearch *SearchForm();
