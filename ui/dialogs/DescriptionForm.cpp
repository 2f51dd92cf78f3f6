// The description form and the description preview of project and menu files.
#include "DescriptionForm.h"

#include "BoundedFile.h"
#include "ItemDialog.h"
#include "Localizer.h"
#include "NodeStream.h"
#include "Operands.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>

#include <exception>

TFormDescription *FormDescription = nullptr;

namespace {

constexpr int kMemoHeight = 80;

QStringList DescriptionOf(const TwNode *node)
{
    QStringList lines;
    if (node)
        LoadStringsProp(lines, node->Props, QStringLiteral("Description"));
    return lines;
}

}  // namespace

QStringList PreviewDescription(const QString &path, TDescriptionSource source)
{
    const QString extension =
        source == TDescriptionSource::ProjectFile ? QStringLiteral(".zel") : QStringLiteral(".mzm");
    QByteArray bytes;
    QString reason;  // never shown: the preview only ever shows a description
    if (!QFileInfo(path).fileName().endsWith(extension, Qt::CaseInsensitive)
        || ReadFileBounded(path, MaxPreviewBytes, bytes, reason) != TFileRead::Ok)
        return {};
    try {
        if (source == TDescriptionSource::ProjectFile) {
            bool truncated = false;
            const std::unique_ptr<TwNode> root = LoadProjectFile(bytes, truncated);
            return DescriptionOf(root ? root->FindChildOfKind(nkDeviceInfo) : nullptr);
        }
        const std::unique_ptr<TwNode> header = LoadMenuFileHeader(bytes);
        return DescriptionOf(header && header->Kind == nkMenuFileHeader ? header.get() : nullptr);
    } catch (const std::exception &) {
        return {};  // a damaged file shows no description
    }
}

TFormDescription::TFormDescription(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormDescription"));
    lbDescription = MakeLabel(this, "lbDescription", QStringLiteral("Description:"));
    mmDescription = MakeMemo(this, "mmDescription");
    mmDescription->setReadOnly(true);
    mmDescription->setMinimumHeight(kMemoHeight);
    lbDescription->setBuddy(mmDescription);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lbDescription);
    layout->addWidget(mmDescription, 1);
    Localizer.RegisterAndTranslateForm(this);
}

TFormDescription::~TFormDescription()
{
    if (FormDescription == this)
        FormDescription = nullptr;
}

void TFormDescription::ShowFileDescription(const QString &path, TDescriptionSource source)
{
    SetMemoLines(mmDescription, PreviewDescription(path, source));
}

QStringList TFormDescription::DescriptionLines() const
{
    return MemoLines(mmDescription);
}

TFormDescription *DescriptionForm()
{
    if (!FormDescription)
        FormDescription = new TFormDescription();
    return FormDescription;
}
