// The description form: a label and a memo that the file dialogs show below
// their file list. Opening a project or importing a menu, the memo previews
// the description of the file under the cursor (read-only); exporting a
// menu, it takes the description to be written (editable). Translated under
// the form name "FormDescription".
//
// The preview reads only ".zel" project files and ".mzm" menu files, and
// only regular files up to MaxPreviewBytes. A file it cannot read, or a
// damaged one, shows an empty memo: the preview never asks or tells the user
// anything, since it runs for every file the user merely passes over.
#pragma once

#include "NodeStream.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QPlainTextEdit;

// Where a description is taken from.
enum class TDescriptionSource {
    ProjectFile,  // ".zel": the Device Information node's description
    MenuFile,     // ".mzm": the description in the menu file's header
};

// Files larger than this are not previewed (the bound of every read that
// runs on a mere click or clipboard change).
constexpr qint64 MaxPreviewBytes = kPreviewByteLimit;

// The description lines of the file at path, read as source; empty for a
// file of another extension, one that is no regular file, too large,
// unreadable or damaged, or one without a description.
QStringList PreviewDescription(const QString &path, TDescriptionSource source);

class TFormDescription : public QWidget {
    Q_OBJECT
public:
    explicit TFormDescription(QWidget *parent = nullptr);
    ~TFormDescription() override;

    // Fills the memo with PreviewDescription of path.
    void ShowFileDescription(const QString &path, TDescriptionSource source);
    // The memo's lines (the description to write for an export).
    QStringList DescriptionLines() const;

    QLabel *lbDescription;
    QPlainTextEdit *mmDescription;
};

// The one instance, made at start-up and kept until the program ends.
extern TFormDescription *FormDescription;
// FormDescription, made on first use when start-up has not made it yet.
TFormDescription *DescriptionForm();
