// The base of the item dialogs: each edits one node of the project tree.
//
// Protocol (the main window's side):
//   dialog.setWindowTitle(title);
//   if (dialog.LoadFromNode(node) && UiServices().RunDialog(dialog) == mrOk) ... the node was saved
//
// LoadFromNode refuses a null node or one of another kind and changes
// nothing then; otherwise it fills the controls (which runs their change
// handlers, so the live colours follow) and remembers the node. OK
// (btOKClick) runs ValidateInput; when every check passes it saves into the
// remembered node and closes with mrOk, else the dialog stays open with the
// focus on the failing field (the check put it there) and the node untouched.
// Cancel, Esc and the title bar close with mrCancel and write nothing.
//
// SaveToNode empties the node's properties and writes the dialog's keys
// afresh, so keys the dialog does not know are dropped. Two styles:
//   OwnsCaption   the dialog writes every key itself, "Caption" and
//                 "Description" first (menu, value, list)
//   KeepsCaption  the node's "Caption" and "Description" values are carried
//                 over first, unchanged (alarm, startup screen, pictures,
//                 configuration); SetCarriedKeys narrows or widens that set
//
// A dialog derives from TItemDialog, makes its components (named as the
// language file addresses them), lays them out with ButtonRow() and ends its
// constructor with FormCreate():
//
//   class TFormMenu : public TItemDialog {
//   public:
//       TFormMenu() : TItemDialog("FormMenu", nkSubMenu, TRewrite::OwnsCaption)
//       {
//           edtCaption = MakeEdit(this, "edtCaption");
//           moDescription = MakeMemo(this, "moDescription");
//           connect(edtCaption, &QLineEdit::textChanged, this,
//                   [this] { ColourByPanelWidth(edtCaption, MenuCaptionMaxWidth()); });
//           auto *layout = new QVBoxLayout(this);
//           ... layout->addLayout(ButtonRow());
//           SetFirstField(edtCaption);
//           FormCreate();
//       }
//   protected:
//       void LoadControls(TwNode &node) override
//       {
//           LoadText(edtCaption, node, "Caption");
//           LoadLines(moDescription, node, "Description");
//       }
//       bool CheckInput() override { return CheckEditNotEmpty(edtCaption, 2000); }
//       void SaveControls(TwNode &node) override
//       {
//           SaveText(node, "Caption", edtCaption);
//           SaveLines(node, "Description", moDescription);
//       }
//   };
//
// Live handlers: connect to QLineEdit::textChanged, QAbstractButton::toggled
// and QComboBox::currentIndexChanged; those fire when code changes the
// control too, as a load needs. A live handler never writes the node.
//
// Stored values: a field the user leaves as it was loaded saves the text it
// was loaded from, whatever the field makes of it ("2" in a check box, "01"
// in a list stored by index). A drop-down list shows a stored value none of
// its items has as an extra item of that text, which saves as it was stored
// (ListedIndex: -1). The property text forms below do this; a field of a
// form of its own remembers its text with RememberStoredText and saves
// through StoredTextOr.
#pragma once

#include "ProjectTree.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

enum class TRewrite {
    OwnsCaption,   // style 1: the dialog writes every key
    KeepsCaption,  // style 2: "Caption" and "Description" carried over first
};

class TItemDialog : public QDialog {
    Q_OBJECT
public:
    // objectName: the form's name (the language file's section); kind: the
    // node kind the dialog edits.
    TItemDialog(const char *objectName, int32_t kind, TRewrite style, QWidget *parent = nullptr);
    ~TItemDialog() override;

    // False, changing nothing, for a null node or one the dialog does not
    // edit; else loads the controls, remembers the node and returns true.
    bool LoadFromNode(TwNode *node);
    // The dialog's checks in order; the first failure warns, focuses its
    // field and returns false.
    bool ValidateInput();
    // False for a null node; else rewrites its properties from the controls.
    bool SaveToNode(TwNode *node);
    // The node of the last successful load (borrowed; null before one).
    TwNode *Node() const { return node_; }

    // The OK step.
    void btOKClick();

    QPushButton *btOK;
    QPushButton *btCancel;

public slots:
    // Cancel, Esc and the title bar: mrCancel, nothing written.
    void reject() override;

protected:
    // Whether the dialog edits node (by default: its kind is the dialog's).
    virtual bool AcceptsNode(const TwNode &node) const;
    // Fills the controls from node, in the order the dialog's keys have.
    virtual void LoadControls(TwNode &node) = 0;
    // The OK checks; true when there are none.
    virtual bool CheckInput() { return true; }
    // Writes the dialog's keys in order into node, whose properties are
    // empty (after the carried keys for KeepsCaption).
    virtual void SaveControls(TwNode &node) = 0;

    // Keys carried over unchanged by SaveToNode (KeepsCaption: "Caption",
    // "Description"; OwnsCaption: none).
    void SetCarriedKeys(const QStringList &keys) { carriedKeys_ = keys; }
    // The field that gets the focus whenever the dialog is shown (none: the
    // dialog's own choice).
    void SetFirstField(QWidget *field) { firstField_ = field; }
    // The first field whose text the panel shows (measured in the output
    // font): OK refuses, on this field, while the output font cannot be
    // loaded, before the dialog's own checks.
    void SetPanelTextField(QWidget *field) { panelTextField_ = field; }
    // OK and Cancel, right-aligned, for the bottom of the dialog's layout.
    QHBoxLayout *ButtonRow();
    // The end of a dialog's constructor: registers it for the language
    // switch and translates it.
    void FormCreate();

    void showEvent(QShowEvent *event) override;

private:
    int32_t kind_;
    QStringList carriedKeys_;
    TwNode *node_ = nullptr;
    QWidget *firstField_ = nullptr;
    QWidget *panelTextField_ = nullptr;
};

// ---- Components ----
// Made with their object names: an edit (maxLength 0: no limit), a memo
// that scrolls both ways instead of wrapping, a drop-down list the user
// cannot type in (at most 16 rows shown, then it scrolls).
QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text);
QGroupBox *MakeGroup(QWidget *parent, const char *name, const QString &title);
QRadioButton *MakeRadio(QWidget *parent, const char *name, const QString &text);
QLineEdit *MakeEdit(QWidget *parent, const char *name, int maxLength = 0);
QPlainTextEdit *MakeMemo(QWidget *parent, const char *name);
QCheckBox *MakeCheck(QWidget *parent, const char *name, const QString &text);
QComboBox *MakeChoice(QWidget *parent, const char *name, const QStringList &items);
// Letters typed or pasted into edit turn upper case.
void SetUpperCaseInput(QLineEdit *edit);

// ---- Property text forms ----
// An edit: its text, unchanged; the empty text stores no key. A stored text
// longer than the edit's maxLength is loaded whole (the limit is for typing).
void LoadText(QLineEdit *edit, const TwNode &node, const QString &key);
void SaveText(TwNode &node, const QString &key, const QLineEdit *edit);
// A check box (or radio button): "1" or "0"; read as checked when the
// value is a number greater than 0, as the compiler reads a flag.
void LoadCheck(QAbstractButton *box, const TwNode &node, const QString &key);
void SaveCheck(TwNode &node, const QString &key, const QAbstractButton *box);
// A drop-down list: the selected item's text; read by selecting the item of
// that text (no key: nothing selected, which saves as no key; a text no item
// has: an extra item of that text).
void LoadChoice(QComboBox *box, const TwNode &node, const QString &key);
void SaveChoice(TwNode &node, const QString &key, const QComboBox *box);
// A drop-down list stored by its item index ("0", "1", ...); no key selects
// the first item, an index the list does not have or no number an extra
// item of the stored text.
void LoadChoiceIndex(QComboBox *box, const TwNode &node, const QString &key);
void SaveChoiceIndex(TwNode &node, const QString &key, const QComboBox *box);
// The index of the selected item of box; -1 when none is selected or the
// extra item of a stored value is.
int ListedIndex(const QComboBox *box);

// A field of a form of its own: field was loaded from the text stored under
// key and, as loaded, saves as asLoaded; StoredTextOr gives what it saves
// while it shows asShown (the stored text while that is asLoaded). No key:
// nothing to remember, the field saves as it shows.
void RememberStoredText(QObject *field, const TwNode &node, const QString &key, const QString &asLoaded);
QString StoredTextOr(const QObject *field, const QString &asShown);
// A memo: its lines as "<key>.Count" and "<key>.Strings[i]"; left as
// loaded, it saves the lines it was loaded from.
void LoadLines(QPlainTextEdit *memo, const TwNode &node, const QString &key);
void SaveLines(TwNode &node, const QString &key, const QPlainTextEdit *memo);
// False, after a message naming the limit, when lineCount lines are more
// than such a property holds (kMaxStringsLines): what is saved reads back whole.
bool CheckLineCount(qsizetype lineCount);

// The lines of a memo as the user sees them (an empty memo has none; line
// and paragraph separators break lines), and the memo showing lines.
QStringList MemoLines(const QPlainTextEdit *memo);
void SetMemoLines(QPlainTextEdit *memo, const QStringList &lines);
