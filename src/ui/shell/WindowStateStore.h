#pragma once

#include <QByteArray>
#include <QString>

class QMainWindow;

namespace varnex::ui {

// The positions and sizes of the toolbars and dockable panes, kept in the
// preferences under "VarnexDockState8" so that the window comes back as the
// user left it. Qt describes them as binary blobs; they are stored
// compressed, as base64 text, in parts short enough for a preference string.
class WindowStateStore {
public:
    static void Save(const QMainWindow& window);
    // Leaves the window as it is when nothing (or nothing readable) is
    // stored; true when a stored layout was applied.
    static bool Restore(QMainWindow& window);

    // The blob under `name`: stored and read back as it was, or empty.
    static void SaveBlob(const QString& name, const QByteArray& blob);
    static QByteArray LoadBlob(const QString& name);
};

} // namespace varnex::ui
