// The base of the item dialogs, their components and property text forms.
#include "ItemDialog.h"

#include "InputChecks.h"
#include "Localizer.h"
#include "MessageBox.h"
#include "ModalResult.h"
#include "Operands.h"
#include "mainwindow/Application.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QVariant>

namespace {

// The text a field was loaded from and the text it saves as loaded.
const char *const kStoredText = "storedText";
// A memo's text as loaded, then the lines it was loaded from.
const char *const kStoredLines = "storedLines";

// What the user sees in a memo, line and paragraph separators included.
QString MemoText(const QPlainTextEdit *memo)
{
    return memo->document()->toRawText();
}

// The lines a memo saves: those it was loaded from while it shows them as
// loaded, else the lines it shows.
QStringList SavedLines(const QPlainTextEdit *memo)
{
    const QStringList stored = memo->property(kStoredLines).toStringList();
    if (!stored.isEmpty() && stored.constFirst() == MemoText(memo))
        return stored.mid(1);
    return MemoLines(memo);
}

}  // namespace

TItemDialog::TItemDialog(const char *objectName, int32_t kind, TRewrite style, QWidget *parent)
    : QDialog(parent), kind_(kind)
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(QLatin1String(objectName));
    if (style == TRewrite::KeepsCaption)
        carriedKeys_ = QStringList{QStringLiteral("Caption"), QStringLiteral("Description")};

    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    connect(btOK, &QPushButton::clicked, this, &TItemDialog::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TItemDialog::~TItemDialog() = default;

bool TItemDialog::AcceptsNode(const TwNode &node) const
{
    return node.Kind == kind_;
}

bool TItemDialog::LoadFromNode(TwNode *node)
{
    if (!node || !AcceptsNode(*node))
        return false;
    // What the previous node's fields were loaded from does not hold for
    // this one's.
    for (QObject *field : findChildren<QObject *>()) {
        for (const char *stored : {kStoredText, kStoredLines}) {
            if (field->property(stored).isValid())
                field->setProperty(stored, QVariant());
        }
    }
    LoadControls(*node);
    node_ = node;
    return true;
}

bool TItemDialog::ValidateInput()
{
    if ((panelTextField_ && !CheckPanelFont(panelTextField_)) || !CheckInput())
        return false;
    for (QPlainTextEdit *memo : findChildren<QPlainTextEdit *>()) {
        if (!memo->isReadOnly() && !CheckLineCount(SavedLines(memo).size())) {
            memo->setFocus();
            return false;
        }
    }
    return true;
}

bool TItemDialog::SaveToNode(TwNode *node)
{
    if (!node)
        return false;
    QStringList carried;
    for (const QString &key : carriedKeys_)
        carried.append(node->GetProp(key));
    node->Props.clear();
    for (int i = 0; i < carriedKeys_.size(); ++i)
        node->SetProp(carriedKeys_.at(i), carried.at(i));
    SaveControls(*node);
    return true;
}

void TItemDialog::btOKClick()
{
    // A failed check has put the focus on its field; the dialog stays open.
    if (ValidateInput() && SaveToNode(node_))
        done(mrOk);
}

void TItemDialog::reject()
{
    done(mrCancel);
}

QHBoxLayout *TItemDialog::ButtonRow()
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(btOK);
    row->addWidget(btCancel);
    return row;
}

void TItemDialog::FormCreate()
{
    Localizer.RegisterAndTranslateForm(this);
}

void TItemDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (firstField_)
        firstField_->setFocus(Qt::ActiveWindowFocusReason);
}

// ---- Components ----

namespace {

// The most characters the user may type into an edit.
const char *const kTypingLimit = "typingLimit";
// The most rows a drop-down list shows at once.
constexpr int kDropDownRows = 16;
// Item data of the extra item showing a stored value.
constexpr int kStoredItemRole = Qt::UserRole + 1;

// Removes the extra items an earlier load added to box.
void RemoveStoredItems(QComboBox *box)
{
    for (int i = box->count() - 1; i >= 0; --i) {
        if (box->itemData(i, kStoredItemRole).toBool())
            box->removeItem(i);
    }
}

// The index of the extra item that shows stored in box, added now.
int AddStoredItem(QComboBox *box, const QString &stored)
{
    box->addItem(stored);
    const int index = box->count() - 1;
    box->setItemData(index, true, kStoredItemRole);
    return index;
}

// A check box's text: "1" checked, "0" not.
QString FlagText(bool checked)
{
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

// What box saves as an index list: the selected index (none: the first), or
// the stored text its extra item shows.
QString IndexText(const QComboBox *box)
{
    if (box->currentIndex() >= 0 && ListedIndex(box) < 0)
        return box->currentText();
    return QString::number(qMax(0, box->currentIndex()));
}

}  // namespace

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QGroupBox *MakeGroup(QWidget *parent, const char *name, const QString &title)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

QRadioButton *MakeRadio(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QLineEdit *MakeEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
        edit->setProperty(kTypingLimit, maxLength);
    }
    return edit;
}

QPlainTextEdit *MakeMemo(QWidget *parent, const char *name)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    return memo;
}

QCheckBox *MakeCheck(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QComboBox *MakeChoice(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(false);
    box->addItems(items);
    // A long list drops down as a few rows with a scroll bar, not as tall as
    // the screen: the style would open it over the box and ignore the limit.
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    box->setMaxVisibleItems(kDropDownRows);
    return box;
}

void SetUpperCaseInput(QLineEdit *edit)
{
    // Only what the user types: a loaded text is shown as it is stored.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(qMin(cursor, int(upper.size())));
    });
}

// ---- Property text forms ----

void LoadText(QLineEdit *edit, const TwNode &node, const QString &key)
{
    // The limit holds for typing only: an edit cuts a longer text it is
    // given, and a stored text is shown and saved whole.
    const QString text = node.GetProp(key);
    const QVariant limit = edit->property(kTypingLimit);
    const int typing = limit.isValid() ? limit.toInt() : edit->maxLength();
    edit->setMaxLength(qMax(typing, int(text.size())));
    if (!limit.isValid())
        edit->setProperty(kTypingLimit, typing);
    edit->setText(text);
}

void SaveText(TwNode &node, const QString &key, const QLineEdit *edit)
{
    node.SetProp(key, edit->text());
}

void LoadCheck(QAbstractButton *box, const TwNode &node, const QString &key)
{
    // What the stored text means to the compiler (a number above 0), not
    // what a rule the change runs makes of it.
    const bool checked = node.GetPropFlag(key);
    RememberStoredText(box, node, key, FlagText(checked));
    box->setChecked(checked);
}

void SaveCheck(TwNode &node, const QString &key, const QAbstractButton *box)
{
    node.SetProp(key, StoredTextOr(box, FlagText(box->isChecked())));
}

void LoadChoice(QComboBox *box, const TwNode &node, const QString &key)
{
    const QString stored = node.GetProp(key);
    RemoveStoredItems(box);
    int index = box->findText(stored, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 && !stored.isEmpty())
        index = AddStoredItem(box, stored);
    box->setCurrentIndex(index);
}

void SaveChoice(TwNode &node, const QString &key, const QComboBox *box)
{
    node.SetProp(key, box->currentText());
}

void LoadChoiceIndex(QComboBox *box, const TwNode &node, const QString &key)
{
    const QString stored = node.GetProp(key);
    RemoveStoredItems(box);
    bool isNumber = false;
    int index = stored.toInt(&isNumber, 10);
    QString asLoaded = QString::number(index);
    if (stored.isEmpty()) {
        index = 0;
    } else if (!isNumber || index < 0 || index >= box->count()) {
        index = AddStoredItem(box, stored);
        asLoaded = stored;
    }
    RememberStoredText(box, node, key, asLoaded);
    box->setCurrentIndex(index);
}

void SaveChoiceIndex(TwNode &node, const QString &key, const QComboBox *box)
{
    node.SetProp(key, StoredTextOr(box, IndexText(box)));
}

int ListedIndex(const QComboBox *box)
{
    const int index = box->currentIndex();
    return index >= 0 && !box->itemData(index, kStoredItemRole).toBool() ? index : -1;
}

void RememberStoredText(QObject *field, const TwNode &node, const QString &key, const QString &asLoaded)
{
    const QString stored = node.GetProp(key);
    field->setProperty(kStoredText, stored.isEmpty() ? QVariant() : QVariant(QStringList{stored, asLoaded}));
}

QString StoredTextOr(const QObject *field, const QString &asShown)
{
    const QStringList remembered = field->property(kStoredText).toStringList();
    return remembered.size() == 2 && remembered.at(1) == asShown ? remembered.at(0) : asShown;
}

void LoadLines(QPlainTextEdit *memo, const TwNode &node, const QString &key)
{
    QStringList lines;
    LoadStringsProp(lines, node.Props, key);
    SetMemoLines(memo, lines);
    // Not every list of lines shows as itself (one empty line, a line
    // holding a line break): left as loaded, the memo saves what was stored.
    memo->setProperty(kStoredLines, QStringList{MemoText(memo)} + lines);
}

void SaveLines(TwNode &node, const QString &key, const QPlainTextEdit *memo)
{
    SaveStringsProp(node.Props, SavedLines(memo), key);
}

bool CheckLineCount(qsizetype lineCount)
{
    if (lineCount <= kMaxStringsLines)
        return true;
    const QString text = Localizer.GetText(
        QStringLiteral("The description has %s lines, more than the %s lines a description may have."),
        QStringLiteral("main"), QStringLiteral("TooManyLinesId"));
    ShowMessageBox(nullptr, FormatText(text, {QString::number(lineCount), QString::number(kMaxStringsLines)}),
                   ApplicationTitle());
    return false;
}

QStringList MemoLines(const QPlainTextEdit *memo)
{
    // Not toPlainText: it turns a no-break space into a plain one.
    QString text = MemoText(memo);
    if (text.isEmpty())
        return {};
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

void SetMemoLines(QPlainTextEdit *memo, const QStringList &lines)
{
    memo->setPlainText(lines.join(QLatin1Char('\n')));
}
