#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class QListWidget;
class QListWidgetItem;

namespace varnex::ui {

class RecentFileList;
class UserPrompts;

// The choice offered before the main window appears: one of the projects
// used last, open another, start a new one, or leave the program.
class StartDialog : public QDialog {
    Q_OBJECT

public:
    enum class Choice { open, newProject, exit, openRecent };

    // Lists `recentFiles` (not owned); a file gone since is marked so, and
    // choosing it drops it from the list.
    explicit StartDialog(RecentFileList& recentFiles, QWidget* parent = nullptr);
    // Lists the recent projects stored in the preferences.
    explicit StartDialog(QWidget* parent = nullptr);
    ~StartDialog() override;

    // Messages go to `prompts` (not owned) instead of message boxes.
    void SetPrompts(UserPrompts* prompts) { prompts_ = prompts; }

    // Shows the dialog; closing it counts as "Exit".
    Choice Ask();
    // The recent project chosen (Choice::openRecent).
    QString ChosenFile() const { return chosenFile_; }
    QListWidget* RecentList() const { return recentList_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void FillRecentList();
    void OnRecentActivated(QListWidgetItem* item);

    std::unique_ptr<RecentFileList> ownList_;
    RecentFileList* recentFiles_;
    UserPrompts* prompts_ = nullptr;
    QListWidget* recentList_;
    Choice choice_ = Choice::exit;
    QString chosenFile_;
};

} // namespace varnex::ui
