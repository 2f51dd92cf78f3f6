// The open project without any window.
#include "ProjectDocument.h"

#include "BoundedFile.h"
#include "NodeStream.h"

#include <QDir>
#include <QSaveFile>

TProjectDocument::TProjectDocument() = default;

TProjectDocument::~TProjectDocument()
{
    // The hooks belong to whoever shows the document and may be gone.
    OnRootChanged = nullptr;
    OnModifiedChanged = nullptr;
    OnPathChanged = nullptr;
}

bool TProjectDocument::SetModified(bool modified)
{
    if (modified == modified_)
        return false;
    modified_ = modified;
    if (OnModifiedChanged)
        OnModifiedChanged(modified_);
    return true;
}

bool TProjectDocument::SetPath(const QString &path)
{
    if (path == path_)
        return false;
    path_ = path;
    if (OnPathChanged)
        OnPathChanged(path_);
    return true;
}

std::unique_ptr<TwNode> TProjectDocument::ReplaceRoot(std::unique_ptr<TwNode> root)
{
    std::unique_ptr<TwNode> previous = std::move(root_);
    root_ = std::move(root);
    if (OnRootChanged)
        OnRootChanged();
    return previous;
}

void TProjectDocument::Close()
{
    ReplaceRoot(nullptr);
    SetModified(false);
}

std::unique_ptr<TwNode> TProjectDocument::ReadProjectFile(const QString &path, QString &error,
                                                          bool &truncated)
{
    truncated = false;
    QByteArray bytes;
    QString reason;
    switch (ReadFileBounded(path, MaxFileBytes, bytes, reason)) {
    case TFileRead::Ok: break;
    case TFileRead::Unreadable:
        error = QStringLiteral("Cannot read the file %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return nullptr;
    case TFileRead::TooLarge:
        error = QStringLiteral("The file %1 is too large for a project.").arg(QDir::toNativeSeparators(path));
        return nullptr;
    }
    std::unique_ptr<TwNode> root;
    try {
        root = LoadProjectFile(bytes, truncated);
    } catch (const NodeStreamError &damaged) {
        error =
            QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), QString::fromUtf8(damaged.what()));
        return nullptr;
    }
    // Every project has its Device Information node first.
    const TwNode *first = root->GetChild(0);
    if (!first || first->Kind != nkDeviceInfo) {
        new TwNode(root.get(), kDeviceInfoCaption, nkDeviceInfo);
        root->MoveLastChildFirst();
    }
    return root;
}

bool TProjectDocument::Load(const QString &path, QString &error, bool *truncated)
{
    bool cut = false;
    std::unique_ptr<TwNode> root = ReadProjectFile(path, error, cut);
    if (!root)
        return false;
    if (truncated)
        *truncated = cut;
    ReplaceRoot(std::move(root));
    SetPath(path);
    SetModified(false);
    return true;
}

QString TProjectDocument::TooLargeToSaveText(qint64 bytes)
{
    return QStringLiteral("The project takes %1 bytes, more than the %2 bytes a project file may hold; "
                          "it was not saved.")
        .arg(bytes)
        .arg(MaxFileBytes);
}

bool TProjectDocument::Save(const QString &path, QString &error)
{
    if (!root_) {
        error = QStringLiteral("There is no project to save.");
        return false;
    }
    const QByteArray bytes = SaveProjectFile(*root_);
    // What is saved must open again.
    if (bytes.size() > MaxFileBytes) {
        error = TooLargeToSaveText(bytes.size());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = QStringLiteral("Cannot write the file %1: %2")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    SetPath(path);
    SetModified(false);
    return true;
}
