#pragma once

// The fixture of the tests that drive the main window: a preferences file of
// their own (so that no test reads or changes the user's), the program's
// settings started from it, scripted answers to every question, and a fresh
// main window per test function.

#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ScriptedPrompts.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "ui/common/QtText.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"

namespace varnex::ui::test {

class MainWindowTest : public QObject {
protected:
    // From initTestCase(): the preferences file and the settings read from it.
    void StartPreferences() {
        QVERIFY(preferencesFolder_.isValid());
        UseUserPreferencesFile(
            ToStdString(preferencesFolder_.filePath(QStringLiteral("preferences.ini"))));
        settings_.StartUp();
    }
    // From cleanupTestCase().
    void EndPreferences() { ResetUserPreferencesFile(); }

    // From init(), or a test function: a main window of this size, shown,
    // answering through `prompts_`.
    void OpenMainWindow(int width, int height) {
        prompts_ = ScriptedPrompts();
        frame_ = std::make_unique<CMainFrame>(settings_);
        frame_->SetPrompts(&prompts_);
        frame_->resize(width, height);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    // From cleanup(): closes the window without asking to save.
    void CloseMainWindow() {
        if (frame_) frame_->Document().SetModified(false);
        frame_.reset();
    }

    QTemporaryDir preferencesFolder_;
    UserInterfaceSettings settings_;
    ScriptedPrompts prompts_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace varnex::ui::test
