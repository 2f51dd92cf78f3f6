// The main window's menu files, clipboard and delete: menus travel between
// projects as menu files and as clipboard blocks in the program's own format.
#include "MainWindow.h"

#include "ApLiteDialogs.h"
#include "Application.h"
#include "BoundedFile.h"
#include "Localizer.h"
#include "MessageBox.h"
#include "ModalResult.h"
#include "NodeStream.h"
#include "ProjectDocument.h"
#include "ProjectTree.h"
#include "UiServices.h"
#include "dialogs/DescriptionForm.h"
#include "dialogs/ItemDialog.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QSaveFile>

namespace {

const QString kMenuExtension = QStringLiteral(".mzm");

QString NativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A caption as a file name: the characters file systems refuse (path
// separators among them) and control characters become "_", blanks and dots
// at the end go; nothing left gives "Menu".
QString SafeFileName(const QString &caption)
{
    QString name = caption;
    for (QChar &c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    while (!name.isEmpty() && (name.back().isSpace() || name.back() == QLatin1Char('.')))
        name.chop(1);
    return name.trimmed().isEmpty() ? QStringLiteral("Menu") : name;
}

// Reads a menu file whole (at most the size of a project file); false with
// the reason.
bool ReadMenuFile(const QString &path, QByteArray &bytes, QString &reason)
{
    const TFileRead read = ReadFileBounded(path, TProjectDocument::MaxFileBytes, bytes, reason);
    if (read == TFileRead::TooLarge)
        reason = QStringLiteral("the file is too large for a menu file");
    return read == TFileRead::Ok;
}

// The record bytes of the clipboard's block; false when the clipboard holds
// none in the format, or one too large or failing the size test. Bounded:
// it runs on every clipboard change.
bool ClipboardBody(const QString &format, QByteArray &body)
{
    QByteArray block;
    if (!UiServices().ClipboardData(format, block))
        return false;
    return block.size() <= kMaxClipboardBlockBytes && ClipboardBlockBody(block, body);
}

// Kind of the subtree a block's record bytes hold, 0 when they are damaged;
// its height when asked for.
int32_t BodyNodeKind(const QByteArray &body, int *height)
{
    try {
        NodeStreamReader in(body);
        bool truncated = false;
        const std::unique_ptr<TwNode> node = ReadScratchNode(in, truncated);
        if (height)
            *height = node->GetHeight();
        return node->Kind;
    } catch (const NodeStreamError &) {
        // A damaged block is no block: the paste commands stay off.
        return 0;
    }
}

}  // namespace

// ---- Menu files -------------------------------------------------------------

bool TFormMain::ImportMenu()
{
    if (!RuleAllowsNow(Command::ImportMenu))
        return false;
    TwNode *menu = SelectedNode();
    // The form previews the description of the file under the cursor.
    DescriptionForm()->mmDescription->setReadOnly(true);
    const QString fileName = UiServices().ChooseFile(FileDialogRequest(*odImportMenu1));
    if (fileName.isEmpty())
        return false;

    QByteArray bytes;
    QString reason;
    if (!ReadMenuFile(fileName, bytes, reason)) {
        ShowHandlerError(FormatText(MainText("Cannot read the menu file %s: %s", "ImportUnreadableId"),
                                    {NativePath(fileName), reason}));
        return false;
    }
    std::unique_ptr<TwNode> imported;
    bool truncated = false;
    try {
        imported.reset(LoadMenuExportFile(bytes, menu, truncated));
    } catch (const NodeStreamError &error) {
        ShowHandlerError(FormatText(
            MainText("The menu file %s cannot be imported: %s\nNothing was imported.", "ImportRefusedId"),
            {NativePath(fileName), QString::fromUtf8(error.what())}));
        return false;
    }
    if (truncated && ShowYesNo(fmYesNo, YesNoQuestions::ImportTruncate) != mrYes)
        return false;

    TwNode *node = imported.release();
    RebuildTree();
    ShowEditedNode(menu, node);
    return true;
}

bool TFormMain::ExportMenu()
{
    if (!RuleAllowsNow(Command::ExportMenu))
        return false;
    const TwNode *menu = SelectedNode();
    sdExportMenu1->SetFileName(SafeFileName(menu->GetDisplayCaption()) + kMenuExtension);
    // The form takes the description to be written.
    TFormDescription *description = DescriptionForm();
    description->mmDescription->setReadOnly(false);
    description->mmDescription->clear();

    const QString fileName = ChooseFileToWrite(FileDialogRequest(*sdExportMenu1));
    if (fileName.isEmpty())
        return false;

    const QStringList lines = description->DescriptionLines();
    if (!CheckLineCount(lines.size()))
        return false;
    const QByteArray bytes = SaveMenuExportFile(*menu, lines);
    // What is exported must import again.
    if (bytes.size() > TProjectDocument::MaxFileBytes) {
        ShowHandlerError(TProjectDocument::TooLargeToSaveText(bytes.size()));
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        ShowHandlerError(FormatText(MainText("Cannot write the menu file %s: %s", "ExportFailedId"),
                                    {NativePath(fileName), file.errorString()}));
        return false;
    }
    return true;
}

// ---- Clipboard --------------------------------------------------------------

int32_t TFormMain::GetClipboardNodeKind(int *height) const
{
    QByteArray body;
    return ClipboardBody(ClipboardFormat, body) ? BodyNodeKind(body, height) : 0;
}

bool TFormMain::CopyNode()
{
    if (!RuleAllowsNow(Command::Copy))
        return false;
    const QByteArray block = MakeClipboardBlock(*SelectedNode());
    // A block no paste takes would leave a cut menu nowhere.
    if (block.size() > kMaxClipboardBlockBytes) {
        ShowHandlerError(
            FormatText(MainText("The menu takes %s bytes on the clipboard, more than the %s bytes "
                                "a paste takes; nothing was changed.",
                                "ClipboardTooLargeId"),
                       {QString::number(block.size()), QString::number(kMaxClipboardBlockBytes)}));
        return false;
    }
    UiServices().SetClipboardData(ClipboardFormat, block);
    // Read back: a clipboard that did not take the block must not let a cut
    // delete what it holds nowhere else.
    QByteArray held;
    if (!UiServices().ClipboardData(ClipboardFormat, held) || held != block) {
        ShowHandlerError(
            MainText("The clipboard did not take the copy; nothing was changed.", "ClipboardFailedId"));
        return false;
    }
    return true;
}

bool TFormMain::CutNode()
{
    if (!RuleAllowsNow(Command::Cut))
        return false;
    return CopyNode() && DeleteNode(false);
}

bool TFormMain::PasteNode(TPastePosition position)
{
    static constexpr Command kCommands[] = {Command::PasteBefore, Command::PasteAfter, Command::PasteUnder};
    TwNode *selected = SelectedNode();
    QByteArray body;
    if (!Root() || !selected || position < PasteBefore || position > PasteUnder
        || !ClipboardBody(ClipboardFormat, body))
        return false;
    if (!RuleAllowsNow(kCommands[position], BodyNodeKind(body, nullptr)))
        return false;

    // Read where it lands, so that the depth rule sees its final place.
    TwNode *parent = position == PasteUnder ? selected : selected->Parent;
    const int index = parent->IndexOfChild(selected);
    std::unique_ptr<TwNode> pasted;
    bool truncated = false;
    try {
        NodeStreamReader in(body);
        pasted.reset(ReadNodeUnder(parent, in, truncated));
    } catch (const NodeStreamError &error) {
        ShowHandlerError(FormatText(
            MainText("The clipboard holds a damaged menu: %s\nNothing was pasted.", "PasteRefusedId"),
            {QString::fromUtf8(error.what())}));
        return false;
    }
    if (truncated && ShowYesNo(fmYesNo, YesNoQuestions::PasteTruncate) != mrYes)
        return false;

    TwNode *node = pasted.release();
    if (position == PasteBefore)
        parent->MoveChild(parent->GetChildCount() - 1, index);
    else if (position == PasteAfter)
        parent->MoveChild(parent->GetChildCount() - 1, index + 1);
    RebuildTree();
    ShowEditedNode(parent, node);
    return true;
}

// ---- Delete -----------------------------------------------------------------

bool TFormMain::DeleteNode(bool confirm)
{
    if (!RuleAllowsNow(Command::Delete))
        return false;
    TwNode *node = SelectedNode();
    if (confirm) {
        const YesNoQuestion &question =
            node->GetChildCount() > 0 ? YesNoQuestions::DeleteWithChildren : YesNoQuestions::DeleteSingle;
        if (ShowYesNo(fmYesNo, question) != mrYes)
            return false;
    }
    TwNode *parent = node->Parent;
    delete node;
    // Screens are shown by their index.
    RefreshChildren(parent);
    TreeBinder->Refresh(parent);
    ShowEditedNode(parent);
    return true;
}
