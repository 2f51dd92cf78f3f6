// The list dialog: a menu row that shows one of 2 to 64 texts by the value of
// a PLC bit or register (node kind 103); entry i stands for the value i.
//
// An item dialog (ItemDialog.h) that writes every key itself, in this order:
// "Caption", "Description", "Reference", "Max" (the entry count "2".."64"),
// "ReadOnly", then "Line<i>" for each entry below the count (an empty entry
// leaves no key, and entries at or above the count are dropped). A stored
// count outside the list is shown as it is stored, with its entries (at
// most MostGridEntries of them), and kept until the user chooses another. Translated
// under the form name "FormList"; the grid's header under "list.ValueId" and
// "list.StringId" of the string table.
//
// References: a bit (X, Y, M, T, C) has exactly the two entries 0 and 1, so
// the count shows "2" and is switched off; T and C are read-only. A register
// (R, RHigh, D, DR, DRHigh, DD) takes any count. Anything else (S included)
// is refused: shown red with count and grid switched off, and refused on OK
// (2006). The count a bit reference replaced comes back when the reference
// turns into a register again (SavedCount), and entry texts a lower count
// took away come back with a higher one while the dialog is open.
//
// OK checks, in order: caption not empty (2000), reference not empty (2001),
// a list reference (2006). The entries are not checked.
#pragma once

#include "ItemDialog.h"

#include <QHash>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

class TFormList : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormList(QWidget *parent = nullptr);
    ~TFormList() override;

    // The most entries a list has.
    static constexpr int MaxEntries = 64;
    // The most entries the grid shows for a stored count: the most a list
    // of the menu image holds.
    static constexpr int MostGridEntries = 255;

    QLabel *WideLabel10;
    QLabel *WideLabel11;
    QLabel *lbReference;
    QLabel *lbMax;
    QLabel *WideLabel14;
    QLineEdit *edtCaption;
    QPlainTextEdit *moDescription;
    QLineEdit *edtReference;
    QComboBox *cbMax;
    QCheckBox *cbReadOnly;
    // Column 0 the entry's value, column 1 its text; one row per entry.
    QTableWidget *sgListString;

    // The entry count shown (1 when the count list shows no number).
    int EntryCount() const;
    // The count remembered while a bit reference forces two entries, as the
    // count list shows it.
    QString SavedCount() const { return savedCount_; }

    // Live handlers, run by the changes of their controls.
    void cbMaxChange();
    void edtCaptionChange();
    void edtReferenceChange();

protected:
    void LoadControls(TwNode &node) override;
    bool CheckInput() override;
    void SaveControls(TwNode &node) override;
    // The focus on the caption, the grid's current cell on the first entry.
    void showEvent(QShowEvent *event) override;

private:
    // Timers and counters are read-only: Read Only checked and locked.
    void ApplyReadOnlyRule(uint32_t flag);
    void SwitchCount(bool on);

    QString savedCount_ = QStringLiteral("2");
    // Texts of the rows a lower count took away, by row.
    QHash<int, QString> hiddenTexts_;
};

// The one instance, null until its first use.
extern TFormList *FormList;
// FormList, made on first use.
TFormList *ListForm();
