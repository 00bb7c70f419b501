#pragma once

#include <QString>
#include <QStringList>

namespace varnex::ui {

// The most recently used project files, newest first, kept in the
// preferences under "Recent File List" as "File1" ... "File4" so that the
// list survives between sessions.
class RecentFileList {
public:
    static constexpr int maximumEntries = 4;

    // Reads the stored list; missing entries are simply absent.
    void Load();
    // Puts `path` at the top (moving it if present) and stores the list.
    void Add(const QString& path);
    // Drops `path` (a file that could not be opened) and stores the list.
    void Remove(const QString& path);

    const QStringList& Files() const { return files_; }

private:
    void Store() const;

    QStringList files_;
};

} // namespace varnex::ui
