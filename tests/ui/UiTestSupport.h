#pragma once

// Helpers shared by the window tests: screenshots for people to look at,
// and answering a modal dialog the code under test opens.

#include <QApplication>
#include <QDir>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace varnex::ui::test {

// Saves the widget as it is drawn to build/screenshots/NAME (PNG).
inline void SaveScreenshot(QWidget& widget, const QString& name) {
    QDir().mkpath(QStringLiteral(VARNEX_SCREENSHOT_DIR));
    QVERIFY(widget.grab().save(QStringLiteral(VARNEX_SCREENSHOT_DIR "/") + name));
}

// Runs `answer` on the next modal dialog of type T once it is open; any
// other window that opens instead is closed, so a test never hangs.
template <class T>
void WhenModalOpens(std::function<void(T&)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (T* dialog = qobject_cast<T*>(modal))
            answer(*dialog);
        else if (modal)
            modal->close();
    });
}

} // namespace varnex::ui::test
