// The list of recent projects: full paths, newest first, at most eight, kept
// in the settings group "RecentProject" as "ItemCnt" and "Item0", "Item1", ...
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QSettings;

// Whether two spellings of a path may name the same file: without regard to
// case where the file system ignores case (Windows, macOS), exactly elsewhere.
Qt::CaseSensitivity NativePathCase();

// The path made absolute against the current folder, with "." and ".."
// resolved and '/' as separator: the one spelling under which the recent
// list keeps a project, whichever folder the program is started from. An
// empty path stays empty.
QString AbsoluteProjectPath(const QString &path);

class TRecentProjects {
public:
    static constexpr int MaxCount = 8;

    explicit TRecentProjects(Qt::CaseSensitivity pathCase = NativePathCase()) : pathCase_(pathCase) { }

    const QStringList &Items() const { return items_; }
    int Count() const { return int(items_.size()); }
    QString Newest() const { return items_.isEmpty() ? QString() : items_.first(); }

    // Puts path at the top: an entry naming the same file moves there,
    // otherwise the path is inserted; entries beyond the eighth are dropped.
    // An empty path changes nothing.
    void Add(const QString &path);

    // Replaces the list with the settings' entries: "ItemCnt" entries at
    // most, stopping at the first missing "Item%d", keeping only paths of
    // existing files (as AbsoluteProjectPath), and no more than MaxCount.
    void Load(QSettings &settings, const std::function<bool(const QString &)> &fileExists);
    void Load(QSettings &settings);
    // Writes "ItemCnt" and one "Item%d" per entry; false when the settings
    // cannot be written.
    bool Save(QSettings &settings) const;

    // The caption of entry index in the Open drop-down: "&1 path" .. "&8 path"
    // (an ampersand of the path shown as such, not as an access key).
    static QString MenuCaption(int index, const QString &path);

private:
    QStringList items_;
    Qt::CaseSensitivity pathCase_;
};
