#include "ui/shell/RecentFileList.h"

#include <QFileInfo>
#include <string>

#include "base/Exception.h"
#include "settings/Preferences.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

const std::string recentFileKey = "Recent File List";

std::string EntryName(int index) { return "File" + std::to_string(index + 1); }

} // namespace

void RecentFileList::Load() {
    files_.clear();
    for (int i = 0; i < maximumEntries; ++i) {
        try {
            const QString path = ToQString(GetStringPreference(recentFileKey, EntryName(i)));
            if (!path.isEmpty() && !files_.contains(path)) files_ << path;
        } catch (const Exception&) {
            // Fewer files than places: the normal state of a new user.
        }
    }
}

void RecentFileList::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > maximumEntries) files_.removeLast();
    Store();
}

void RecentFileList::Remove(const QString& path) {
    if (files_.removeAll(path) > 0) Store();
}

void RecentFileList::Store() const {
    // Each entry on its own: a path too long for the store costs that entry
    // only, and an emptied place overwrites the file that was there.
    for (int i = 0; i < maximumEntries; ++i) {
        try {
            SetStringPreference(recentFileKey, EntryName(i),
                                i < files_.size() ? ToStdString(files_[i]) : std::string());
        } catch (const Exception&) {}
    }
}

} // namespace varnex::ui
