// The base of the item dialogs, their components and property text forms.
#include "Itemdialog.h"

#include "Lumor_unicode.h"
#include "ModalResult.h"
#include "Ufmyesno.h"
#include "Wutil.h"
#include "Zelapplication.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVariant>

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
    LoadControls(*node);
    node_ = node;
    return true;
}

bool TItemDialog::ValidateInput()
{
    if (!CheckInput())
        return false;
    for (QPlainTextEdit *memo : findChildren<QPlainTextEdit *>()) {
        if (!memo->isReadOnly() && !CheckLineCount(memo->blockCount())) {
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
    box->setChecked(node.GetPropInt(key, 0) != 0);
}

void SaveCheck(TwNode &node, const QString &key, const QAbstractButton *box)
{
    node.SetProp(key, box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void LoadChoice(QComboBox *box, const TwNode &node, const QString &key)
{
    box->setCurrentIndex(box->findText(node.GetProp(key), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void SaveChoice(TwNode &node, const QString &key, const QComboBox *box)
{
    node.SetProp(key, box->currentText());
}

void LoadChoiceIndex(QComboBox *box, const TwNode &node, const QString &key)
{
    const int index = node.GetPropInt(key, 0);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

void SaveChoiceIndex(TwNode &node, const QString &key, const QComboBox *box)
{
    node.SetProp(key, QString::number(qMax(0, box->currentIndex())));
}

void LoadLines(QPlainTextEdit *memo, const TwNode &node, const QString &key)
{
    QStringList lines;
    LoadStringsProp(lines, node.Props, key);
    SetMemoLines(memo, lines);
}

void SaveLines(TwNode &node, const QString &key, const QPlainTextEdit *memo)
{
    SaveStringsProp(node.Props, MemoLines(memo), key);
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
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void SetMemoLines(QPlainTextEdit *memo, const QStringList &lines)
{
    memo->setPlainText(lines.join(QLatin1Char('\n')));
}
