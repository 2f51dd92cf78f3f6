// The open project without any window: the root of its node tree, the path
// of its file and the Modified flag.
//
// A load reads the file into a fresh root and swaps it in only when the whole
// file was read, so a damaged file leaves the project that was open as it was.
// A save writes through a temporary file that replaces the project file only
// once it is complete.
//
// The main window holds one document and shows it: it sets the hooks below to
// update its caption, its Modified mark and its tree view. OnRootChanged runs
// while the previous root is still alive, so that the view can let go of its
// items first.
#pragma once

#include "ProjectTree.h"

#include <QString>

#include <functional>
#include <memory>

class TProjectDocument {
public:
    TProjectDocument();
    ~TProjectDocument();
    TProjectDocument(const TProjectDocument &) = delete;
    TProjectDocument &operator=(const TProjectDocument &) = delete;

    // Project files beyond this size are refused unread, and a project that
    // would take more is not saved.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
    // Why a file of that many bytes, more than MaxFileBytes, was not saved.
    static QString TooLargeToSaveText(qint64 bytes);

    // ---- State ----
    // Root node (kind 1) of the open project; null when none is open.
    TwNode *Root() const { return root_.get(); }
    bool IsOpen() const { return root_ != nullptr; }
    // Full path of the project's file; empty for a project never saved.
    const QString &Path() const { return path_; }
    // The project differs from its file.
    bool Modified() const { return modified_; }

    // Store a changed value and run its hook; true when it changed.
    bool SetModified(bool modified);
    bool SetPath(const QString &path);

    // Makes root (may be null) the open project and returns the previous
    // root, which the caller frees or keeps. Path and Modified stay.
    std::unique_ptr<TwNode> ReplaceRoot(std::unique_ptr<TwNode> root);
    // Frees the open project; Modified is cleared, the path stays.
    void Close();

    // ---- Files ----
    // Reads the project file at path into a fresh root; null with a message
    // in error when it cannot be read or is damaged. A root without a Device
    // Information first child gets one in front. truncated is set when menus
    // nested too deeply were cut.
    static std::unique_ptr<TwNode> ReadProjectFile(const QString &path, QString &error, bool &truncated);
    // Reads path and, on success, makes it the open project: the previous
    // root is freed, the path set and Modified cleared. On failure nothing
    // changes and error says why.
    bool Load(const QString &path, QString &error, bool *truncated = nullptr);
    // Writes the open project to path; on success the path is set and
    // Modified cleared. On failure (no project, one larger than MaxFileBytes,
    // or the file cannot be written) nothing changes, the file included, and
    // error says why.
    bool Save(const QString &path, QString &error);

    // ---- Hooks ----
    std::function<void()> OnRootChanged;
    std::function<void(bool modified)> OnModifiedChanged;
    std::function<void(const QString &path)> OnPathChanged;

private:
    std::unique_ptr<TwNode> root_;
    QString path_;
    bool modified_ = false;
};
