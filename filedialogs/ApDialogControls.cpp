// The controls of a file dialog by their identifiers.
#include "ApDialogControls.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace {

// Where a control lives in the stand-in: named children, or a button of its
// button box.
enum class Source { None, Children, AcceptButton, RejectButton };
constexpr int kNoLabel = -1;

struct ControlEntry {
    int id;
    Source source;
    // Object names of the stand-in's children, for Source::Children.
    const char *names[6];
    int label;
};

const ControlEntry kControls[] = {
    {idFolderCombo, Source::Children, {"lookInCombo"}, kNoLabel},
    {idFolderLabel, Source::Children, {"lookInLabel"}, QFileDialog::LookIn},
    {idFileList, Source::Children, {"stackedWidget"}, kNoLabel},
    {idOk, Source::AcceptButton, {}, QFileDialog::Accept},
    {idCancel, Source::RejectButton, {}, QFileDialog::Reject},
    {idFileName, Source::Children, {"fileNameEdit"}, kNoLabel},
    {idFileNameCombo, Source::Children, {"fileNameEdit"}, kNoLabel},
    {idFileNameLabel, Source::Children, {"fileNameLabel"}, QFileDialog::FileName},
    {idFileType, Source::Children, {"fileTypeCombo"}, kNoLabel},
    {idFileTypeLabel, Source::Children, {"fileTypeLabel"}, QFileDialog::FileType},
    {idHelp, Source::None, {}, kNoLabel},
    {idReadOnly, Source::None, {}, kNoLabel},
    {idToolBar,
     Source::Children,
     {"backButton", "forwardButton", "toParentButton", "newFolderButton", "listModeButton",
      "detailModeButton"},
     kNoLabel},
    {idCmdNewFolder, Source::Children, {"newFolderButton"}, kNoLabel},
    {idCmdDesktop, Source::None, {}, kNoLabel},
    {idCmdUpLevel, Source::Children, {"toParentButton"}, kNoLabel},
    {idCmdBack, Source::Children, {"backButton"}, kNoLabel},
    {idCmdViewList, Source::Children, {"listModeButton"}, kNoLabel},
    {idCmdViewDetails, Source::Children, {"detailModeButton"}, kNoLabel},
};

const ControlEntry *Find(int id)
{
    for (const ControlEntry &entry : kControls) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

QAbstractButton *BoxButton(const QFileDialog *dialog, Source source)
{
    const auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    if (!box)
        return nullptr;
    if (source == Source::RejectButton)
        return box->button(QDialogButtonBox::Cancel);
    return box->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                       : QDialogButtonBox::Open);
}

}  // namespace

QList<QWidget *> ApDlgControls(const QFileDialog *dialog, int id)
{
    QList<QWidget *> widgets;
    const ControlEntry *entry = Find(id);
    if (!dialog || !entry)
        return widgets;
    switch (entry->source) {
    case Source::None: break;
    case Source::Children:
        for (const char *name : entry->names) {
            if (!name)
                break;
            if (auto *child = dialog->findChild<QWidget *>(QLatin1String(name)))
                widgets.append(child);
        }
        break;
    case Source::AcceptButton:
    case Source::RejectButton:
        if (QAbstractButton *button = BoxButton(dialog, entry->source))
            widgets.append(button);
        break;
    }
    return widgets;
}

QWidget *ApDlgControl(const QFileDialog *dialog, int id)
{
    const QList<QWidget *> widgets = ApDlgControls(dialog, id);
    return widgets.isEmpty() ? nullptr : widgets.first();
}

bool ApDlgLabelSlot(int id, QFileDialog::DialogLabel &label)
{
    const ControlEntry *entry = Find(id);
    if (!entry || entry->label == kNoLabel)
        return false;
    label = static_cast<QFileDialog::DialogLabel>(entry->label);
    return true;
}

void ApSetDlgControlText(QFileDialog *dialog, int id, const QString &text)
{
    QFileDialog::DialogLabel label;
    if (ApDlgLabelSlot(id, label)) {
        dialog->setLabelText(label, text);
        return;
    }
    QWidget *control = ApDlgControl(dialog, id);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *caption = qobject_cast<QLabel *>(control))
        caption->setText(text);
}
