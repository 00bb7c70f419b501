// The main window: its command set, language switching, opening and saving
// projects through it, and what it enables.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <csignal>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "MainWindowTest.h"
#include "ScriptedPrompts.h"
#include "UiTestSupport.h"
#include "archive/FileVersion.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "settings/LanguageList.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/IterationCount.h"
#include "ui/forms/PropertyGrid.h"
#include "ui/forms/ValidationList.h"
#include "ui/reports/ReportPrinter.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/shell/ProgramOptionsDialog.h"
#include "ui/shell/ProjectExplorer.h"
#include "ui/shell/ProjectWizard.h"
#include "ui/shell/StartDialog.h"
#include "ui/shell/WindowStateStore.h"
#include "ui/siteplan/CPhaseView.h"

using varnex::Project;
using varnex::UserInterfaceSettings;
using varnex::ui::CMainFrame;
using varnex::ui::ProjectExplorer;
using varnex::ui::UserPrompts;
using varnex::ui::test::ScriptedPrompts;
using Command = CMainFrame::Command;

using varnex::ui::test::SaveScreenshot;

namespace {

QString ExamplePath(const QString& name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + name;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Menu texts as the user sees them: "---" for a separator, "Title >" for a
// submenu followed by its entries and "<".
QStringList MenuOutline(const QMenu* menu) {
    QStringList outline;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            outline << QStringLiteral("---");
        } else if (action->menu()) {
            outline << action->text() + QStringLiteral(" >");
            outline << MenuOutline(action->menu());
            outline << QStringLiteral("<");
        } else {
            outline << action->text();
        }
    }
    return outline;
}

QStringList MenuTitles(const QMainWindow& window) {
    QStringList titles;
    for (QAction* action : window.menuBar()->actions()) titles << action->text();
    return titles;
}

QMenu* TopMenu(const QMainWindow& window, int index) {
    return window.menuBar()->actions().at(index)->menu();
}

QStringList TopLevelItems(const QTreeWidget* tree) {
    QStringList items;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) items << tree->topLevelItem(i)->text(0);
    return items;
}

// Makes writes beyond a few bytes fail inside the scope, whoever runs the
// test: a read-only folder does not stop the superuser, a file size limit
// stops everyone.
class WriteLimit {
public:
    WriteLimit() {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~WriteLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }

private:
    rlimit previous_{};
    void (*previousSignal_)(int) = nullptr;
};

} // namespace

class MainFrameTest : public varnex::ui::test::MainWindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { StartPreferences(); }
    void cleanupTestCase() { EndPreferences(); }
    void init() { OpenMainWindow(1440, 900); }
    void cleanup() { CloseMainWindow(); }

    void menusFollowTheCommandTableInOrder() {
        QCOMPARE(MenuTitles(*frame_),
                 QStringList({"&File", "&Edit", "&Setup", "S&ource", "&Aquifer", "&Receptor",
                              "&Model", "R&esults", "&View", "&Help"}));
        QCOMPARE(
            MenuOutline(TopMenu(*frame_, 0)),
            QStringList({"&New", "&Open...", "&Save", "Save &As...", "Save Without Results...",
                         "---", "Import JSON...", "Export JSON...", "---", "&Print... >", "Model",
                         "Results", "<", "P&rint Setup...", "---", "Recent File", "---", "E&xit"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 1)), QStringList({"&Undo", "&Redo"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 2)),
                 QStringList({"Project Details", "Domain Details", "Contaminant Inventory", "WQS",
                              "Active &Processes", "---", "Project &Wizard", "---", "Options"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 3)), QStringList({"&New Source"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 4)), QStringList({"&Aquifer"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 5)), QStringList({"New &Receptor"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 6)),
                 QStringList({"&Level >", "Level 1", "Level 2", "Level 3", "Level 3a", "<",
                              "Correlations", "Simulation &Parameters", "---", "Contaminant Plume",
                              "---", "Run"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 7)),
                 QStringList({"&Statistics", "&Graphical", "Sensitivity &Analysis"}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 8)),
                 QStringList({"&Toolbar", "&Drawing Toolbar", "&Status Bar", "Project &Explorer",
                              "&Properties", "---", "&Aquifer Flow Arrow", "Pa&n", "&Redraw",
                              "&Zoom >", "&In", "&Out", "&Window", "&Previous", "&All", "<",
                              "Plume Legend", "---", "DXF Options..."}));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 9)),
                 QStringList({"&Help Topics", "---", "&About Varnex2.5..."}));

        QCOMPARE(frame_->CommandAction(Command::fileNew)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(frame_->CommandAction(Command::fileOpen)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(frame_->CommandAction(Command::fileSave)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(frame_->CommandAction(Command::filePrintModel)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(frame_->CommandAction(Command::helpTopics)->shortcut(),
                 QKeySequence(QStringLiteral("F1")));

        // The two toolbars with the commands they carry.
        const auto bars = frame_->findChildren<QToolBar*>();
        QStringList titles;
        for (const QToolBar* bar : bars) titles << bar->windowTitle();
        QVERIFY(titles.contains(QStringLiteral("Standard")));
        QVERIFY(titles.contains(QStringLiteral("Geometry Editing")));
        for (const QToolBar* bar : bars) {
            const auto actions = bar->actions();
            if (bar->windowTitle() == QStringLiteral("Standard")) {
                QVERIFY(actions.contains(frame_->CommandAction(Command::fileNew)));
                QVERIFY(actions.contains(frame_->CommandAction(Command::viewProperties)));
            } else {
                QVERIFY(actions.contains(frame_->CommandAction(Command::sourceNewSource)));
                QVERIFY(actions.contains(frame_->CommandAction(Command::viewZoomOut)));
            }
        }
    }

    void languageSwitchRelabelsEverythingAtOnce() {
        QVERIFY(frame_->ApplyOptions("Deutsch", false));
        QCOMPARE(settings_.languageName, std::string("Deutsch"));
        QVERIFY(!settings_.autoComplete);
        QCOMPARE(MenuTitles(*frame_).first(), QStringLiteral("&Datei"));
        QCOMPARE(MenuOutline(TopMenu(*frame_, 0)).first(), QStringLiteral("&Neu"));
        // The key stays Ctrl+N whatever the language calls it.
        QCOMPARE(frame_->CommandAction(Command::fileNew)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(TopLevelItems(frame_->Explorer()).first(), QStringLiteral("Quellen"));
        // Stored for the next start.
        QCOMPARE(varnex::GetStringPreference("Settings", "Language"), std::string("Deutsch"));
        // Input labels follow too.
        QVERIFY(
            frame_->ImportJsonFile(ExamplePath(QStringLiteral("level2-solvent-soakaway.json"))));
        frame_->Explorer()->setCurrentItem(frame_->Explorer()->topLevelItem(0)->child(0));
        QVERIFY(!frame_->Properties()->ValueOf(QStringLiteral("Mächtigkeit [m]")).isEmpty());
        SaveScreenshot(*frame_, QStringLiteral("main-deutsch.png"));

        QVERIFY(frame_->ApplyOptions("English", true));
        QCOMPARE(MenuTitles(*frame_).first(), QStringLiteral("&File"));
        QCOMPARE(TopLevelItems(frame_->Explorer()),
                 QStringList({"Sources", "Receptors", "Contaminants", "Aquifer"}));
    }

    void importedExamplesFillTheExplorer_data() {
        QTest::addColumn<QString>("example");
        for (const QString& name : QDir(QStringLiteral(VARNEX_SOURCE_DIR "/examples"))
                                       .entryList({QStringLiteral("*.json")}, QDir::Files))
            QTest::newRow(name.toUtf8().constData()) << name;
    }
    void importedExamplesFillTheExplorer() {
        QFETCH(QString, example);
        QVERIFY2(frame_->ImportJsonFile(ExamplePath(example)),
                 qPrintable(prompts_.errors.join("\n")));
        const Project& project = frame_->Document().GetProject();
        const QTreeWidget* tree = frame_->Explorer();
        QCOMPARE(tree->topLevelItemCount(), 4);
        QTreeWidgetItem* sources = tree->topLevelItem(0);
        QCOMPARE(static_cast<std::size_t>(sources->childCount()), project.sources.size());
        for (int s = 0; s < sources->childCount(); ++s) {
            QCOMPARE(sources->child(s)->text(0),
                     QString::fromStdString(project.sources[static_cast<std::size_t>(s)].name));
            QCOMPARE(static_cast<std::size_t>(sources->child(s)->childCount()),
                     project.sources[static_cast<std::size_t>(s)].pathways.size());
            QCOMPARE(sources->child(s)->child(0)->text(0), QStringLiteral("Unsaturated Pathway 1"));
        }
        QCOMPARE(static_cast<std::size_t>(tree->topLevelItem(1)->childCount()),
                 project.receptors.size());
        QCOMPARE(static_cast<std::size_t>(tree->topLevelItem(2)->childCount()),
                 project.contaminants.size());

        // An imported project is not yet a project file: it is marked
        // modified and named after its JSON file.
        QVERIFY(frame_->isWindowModified());
        QVERIFY(frame_->windowTitle().startsWith(QFileInfo(example).completeBaseName()));

        // The properties of the first source, inputs as distribution texts.
        if (sources->childCount() > 0) {
            frame_->Explorer()->setCurrentItem(sources->child(0));
            const varnex::Source& source = project.sources.front();
            QCOMPARE(frame_->Properties()->ValueOf(QStringLiteral("Name")),
                     QString::fromStdString(source.name));
            QCOMPARE(
                frame_->Properties()->ValueOf(QString::fromStdString(source.thickness.Label())),
                QString::fromStdString(source.thickness.Format()));
        }
        SaveScreenshot(*frame_,
                       QStringLiteral("main-") + QFileInfo(example).completeBaseName() + ".png");
    }

    void savedProjectReopensUnchanged() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("chalk.vnx"));
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        const std::string imported = varnex::WriteProjectJson(frame_->Document().GetProject());

        // Save As with the name typed without its extension.
        prompts_.saveFiles << folder.filePath(QStringLiteral("chalk"));
        frame_->OnFileSaveAs();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!frame_->isWindowModified());
        QVERIFY(frame_->windowTitle().startsWith(QStringLiteral("chalk.vnx")));
        QCOMPARE(frame_->RecentFiles().Files().first(), QFileInfo(path).absoluteFilePath());

        // A fresh window opening the file: the same project, in the explorer.
        cleanup();
        init();
        prompts_.openFiles << path;
        frame_->OnFileOpen();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QCOMPARE(varnex::WriteProjectJson(frame_->Document().GetProject()), imported);
        QCOMPARE(frame_->Explorer()->topLevelItem(0)->childCount(), 3);
        QCOMPARE(frame_->Document().FilePath(), QFileInfo(path).absoluteFilePath());
        // The recent file list reopens it too.
        QCOMPARE(MenuOutline(TopMenu(*frame_, 0)).filter(QStringLiteral("chalk.vnx")).size(), 1);
        SaveScreenshot(*frame_, QStringLiteral("main-reopened-vnx.png"));
    }

    // The examples the build saved with their results open with them: the
    // result commands at once, and the model equal to the JSON it ran from.
    void shippedExampleProjectsOpenWithTheirResults() {
#ifndef VARNEX_EXAMPLE_PROJECTS_DIR
        QSKIP("this build does not run the examples into project files");
#else
        const QDir folder(QStringLiteral(VARNEX_EXAMPLE_PROJECTS_DIR));
        const QStringList projects = folder.entryList({QStringLiteral("*.vnx")}, QDir::Files);
        QVERIFY(projects.size() >= 5);
        for (const QString& name : projects) {
            QVERIFY2(frame_->OpenDocumentFile(folder.filePath(name)), qPrintable(name));
            QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
            QVERIFY2(frame_->Document().GetProject().resultsValid, qPrintable(name));
            QVERIFY(frame_->CommandAction(Command::resultsStatistics)->isEnabled());
            QVERIFY(frame_->CommandAction(Command::resultsGraphical)->isEnabled());
            const std::string opened = varnex::WriteProjectJson(frame_->Document().GetProject());

            QVERIFY(frame_->MaybeSave());
            QVERIFY(frame_->ImportJsonFile(
                ExamplePath(QFileInfo(name).completeBaseName() + QStringLiteral(".json"))));
            QCOMPARE(opened, varnex::WriteProjectJson(frame_->Document().GetProject()));
            frame_->Document().SetModified(false);
        }
#endif
    }

    void backgroundMapIsReadBesideTheProject() {
        // Imported from the examples folder, wherever the program runs: the
        // map named without a folder lies beside the JSON file.
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level1-gasworks.json"))));
        QVERIFY2(frame_->PhaseView()->HasBackgroundMap(),
                 qPrintable(frame_->PhaseView()->BackgroundMapError()));

        // Saved into a folder of its own with a copy of the map, reopened:
        // the copy beside the project file is the one read.
        QTemporaryDir folder;
        const QString map = QStringLiteral("canal-street-survey-2023.dxf");
        QVERIFY(QFile::copy(ExamplePath(map), folder.filePath(map)));
        QVERIFY(frame_->SaveDocumentTo(folder.filePath(QStringLiteral("gasworks.vnx")), false));
        prompts_.yesNoCancelAnswers << UserPrompts::Answer::no;
        QVERIFY(frame_->MaybeSave());
        QVERIFY(frame_->OpenDocumentFile(folder.filePath(QStringLiteral("gasworks.vnx"))));
        QVERIFY2(frame_->PhaseView()->HasBackgroundMap(),
                 qPrintable(frame_->PhaseView()->BackgroundMapError()));
        QVERIFY(QFile::remove(folder.filePath(map)));
    }

    void failedSaveReportsAndKeepsTheOldFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("petrol.vnx"));
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        QVERIFY(frame_->SaveDocumentTo(path, true));
        const QByteArray before = FileBytes(path);
        QVERIFY(!before.isEmpty());

        frame_->OnModelLevel(2);
        QVERIFY(frame_->isWindowModified());
        const std::string changed = varnex::WriteProjectJson(frame_->Document().GetProject());
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        bool saved = false;
        {
            const WriteLimit limit;
            saved = frame_->SaveDocument();
        }
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);

        QVERIFY(!saved);
        QCOMPARE(prompts_.errors.size(), 1);
        QVERIFY(!prompts_.errors.first().isEmpty());
        QCOMPARE(FileBytes(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"petrol.vnx"}));
        // Nothing in memory is lost either, and it is still to be saved.
        QVERIFY(frame_->isWindowModified());
        QCOMPARE(varnex::WriteProjectJson(frame_->Document().GetProject()), changed);
    }

    // File > Save As into a place that cannot hold a file (its folder is a
    // regular file, which stops even a user who may write anywhere): the
    // message shown is the whole of the save's error, the file it names on
    // the first line and the system's reason on the second.
    void failedSaveAsShowsWhereAndWhy() {
        QTemporaryDir folder;
        QFile blocker(folder.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = blocker.fileName() + QStringLiteral("/project.vnx");
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level1-gasworks.json"))));
        prompts_.saveFiles << path;
        QVERIFY(!frame_->SaveDocumentAs(true));
        QCOMPARE(prompts_.errors.size(), 1);
        const QStringList lines = prompts_.errors.first().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("Failed to write to file ") + path);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[1], QStringLiteral("Not a directory"));
        QVERIFY(frame_->Document().FilePath().isEmpty());
    }

    // A file changed after it was saved: the user is told what is wrong and
    // asked; No keeps the open project, Yes opens the file as it is.
    void aDamagedFileOpensOnlyWhenTheUserSaysSo() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("site.vnx"));
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level1-gasworks.json"))));
        prompts_.saveFiles << path;
        QVERIFY(frame_->SaveDocumentAs(false));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        const qsizetype at =
            bytes.indexOf("Canal Str"); // no doubled letter, which the coding would make a run
        QVERIFY(at >= 0);
        bytes[at] = 'K';
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        const std::string open = varnex::WriteProjectJson(frame_->Document().GetProject());
        prompts_.questions.clear();
        prompts_.yesNoAnswers << false;
        QVERIFY(!frame_->OpenDocumentFile(path));
        QCOMPARE(prompts_.questions.size(), 1);
        QVERIFY(prompts_.questions.first().startsWith(
            QStringLiteral("The project file ") + path +
            QStringLiteral(" is damaged: its contents do not match")));
        QVERIFY(prompts_.questions.first().endsWith(QStringLiteral("Open it anyway?")));
        QVERIFY(prompts_.errors.isEmpty());
        QCOMPARE(varnex::WriteProjectJson(frame_->Document().GetProject()), open);

        prompts_.yesNoAnswers << true;
        QVERIFY(frame_->OpenDocumentFile(path));
        QCOMPARE(frame_->Document().FilePath(), path);
        QVERIFY(varnex::WriteProjectJson(frame_->Document().GetProject()).find("Kanal Street") !=
                std::string::npos);
    }

    void changesAreOfferedForSavingBeforeTheyGo() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level1-gasworks.json"))));
        const std::size_t sources = frame_->Document().GetProject().sources.size();
        QVERIFY(sources > 0);

        prompts_.yesNoCancelAnswers << UserPrompts::Answer::cancel;
        frame_->OnFileNew();
        QCOMPARE(prompts_.questions.size(), 1);
        QVERIFY(prompts_.questions.first().contains(QStringLiteral("level1-gasworks")));
        QCOMPARE(frame_->Document().GetProject().sources.size(), sources);

        // Yes, but the user then cancels the file dialog: still kept.
        prompts_.yesNoCancelAnswers << UserPrompts::Answer::yes;
        frame_->OnFileNew();
        QCOMPARE(frame_->Document().GetProject().sources.size(), sources);

        // The new project opens the project wizard; cancelling it keeps the
        // new project as the standards files made it.
        prompts_.yesNoCancelAnswers << UserPrompts::Answer::no;
        bool wizardShown = false;
        QTimer::singleShot(0, this, [&wizardShown] {
            if (auto* wizard =
                    qobject_cast<varnex::ui::ProjectWizard*>(QApplication::activeModalWidget())) {
                wizardShown = true;
                wizard->reject();
            }
        });
        frame_->OnFileNew();
        QVERIFY(wizardShown);
        QCOMPARE(frame_->Document().GetProject().sources.size(), std::size_t(0));
        QVERIFY(!frame_->isWindowModified());
        // The new project has the standards files' contaminants.
        QVERIFY(!frame_->Document().GetProject().contaminants.empty());
    }

    void resultCommandsFollowTheResults() {
        const Command results[] = {Command::resultsStatistics, Command::resultsGraphical,
                                   Command::resultsSensitivity, Command::filePrintResults};
        const auto enabled = [this, &results] {
            int count = 0;
            for (Command command : results)
                count += frame_->CommandAction(command)->isEnabled() ? 1 : 0;
            return count;
        };
        QTemporaryDir folder;
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("hand-check-level1.json"))));
        varnex::SetIterationCount(50);
        QCOMPARE(enabled(), 0);
        // A plume is a calculation of its own and needs no run before it.
        QVERIFY(frame_->CommandAction(Command::modelContaminantPlume)->isEnabled());

        // A project never saved is saved under the name the user gives.
        prompts_.saveFiles << folder.filePath(QStringLiteral("hand-check.vnx"));
        QVERIFY2(frame_->RunAndSave(), qPrintable(prompts_.errors.join("\n")));
        QVERIFY(frame_->Document().GetProject().resultsValid);
        QCOMPARE(enabled(), 4);
        QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("hand-check.vnx"))));
        QVERIFY(!frame_->isWindowModified());
        QVERIFY(varnex::ResultsSaved());

        // A change of the model makes the results stale.
        frame_->CommandAction(Command::modelLevel2)->trigger();
        QCOMPARE(frame_->Document().GetProject().simulationLevel, 2);
        QCOMPARE(enabled(), 0);

        // Reopened with its results, they are valid again.
        prompts_.yesNoCancelAnswers << UserPrompts::Answer::no;
        QVERIFY(frame_->MaybeSave());
        QVERIFY(frame_->OpenDocumentFile(folder.filePath(QStringLiteral("hand-check.vnx"))));
        QCOMPARE(enabled(), frame_->Document().GetProject().resultsValid ? 4 : 0);
    }

    // File > Print goes through the platform's print dialog: accepted with
    // its print-to-file choice it writes the report as a PDF, cancelled it
    // prints nothing. The dialog is the one users see, answered by the test.
    void printCommandsGoThroughThePrintDialog() {
        QTemporaryDir folder;
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("hand-check-level1.json"))));
        varnex::SetIterationCount(5);
        prompts_.saveFiles << folder.filePath(QStringLiteral("hand-check.vnx"));
        QVERIFY2(frame_->RunAndSave(), qPrintable(prompts_.errors.join("\n")));

        QPrinter& printer = varnex::ui::ReportPrinter::SharedPrinter();
        const QString previousOutput = printer.outputFileName();
        const struct {
            Command command;
            const char* title;
        } commands[] = {{Command::filePrintModel, "Model"}, {Command::filePrintResults, "Results"}};
        for (const auto& print : commands) {
            const QString pdf =
                folder.filePath(QString::fromLatin1(print.title) + QStringLiteral(".pdf"));
            printer.setOutputFileName(pdf);
            QString title;
            varnex::ui::test::WhenModalOpens<QPrintDialog>([&title](QPrintDialog& dialog) {
                title = dialog.windowTitle();
                dialog.reject();
            });
            frame_->CommandAction(print.command)->trigger();
            QCOMPARE(title, QString::fromLatin1(print.title));
            QVERIFY2(!QFileInfo::exists(pdf), "a cancelled print wrote its file");

            varnex::ui::test::WhenModalOpens<QPrintDialog>(
                [](QPrintDialog& dialog) { dialog.accept(); });
            frame_->CommandAction(print.command)->trigger();
            QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
            const QByteArray bytes = FileBytes(pdf);
            QVERIFY2(bytes.startsWith("%PDF"), print.title);
            QVERIFY(bytes.contains("/Type /Page"));
        }
        printer.setOutputFileName(previousOutput);
    }

    void invalidProjectDoesNotRun() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("invalid-level3.json"))));
        QVERIFY(!frame_->RunAndSave());
        // Listed, each problem a row, rather than in a message box.
        QVERIFY(prompts_.errors.isEmpty());
        QVERIFY(frame_->Validation() && !frame_->Validation()->isHidden());
        QCOMPARE(frame_->Validation()->Rows()->count(), 8);
        QVERIFY(!frame_->CommandAction(Command::resultsStatistics)->isEnabled());
    }

    void windowLayoutSurvivesARestart() {
        frame_->Explorer()->parentWidget()->hide();
        QVERIFY(!frame_->CommandAction(Command::viewProjectExplorer)->isChecked());
        varnex::ui::WindowStateStore::Save(*frame_);
        cleanup();
        init();
        QVERIFY(frame_->Explorer()->isVisible());
        frame_->RestoreWindowState();
        QVERIFY(!frame_->Explorer()->isVisible());
        QVERIFY(!frame_->CommandAction(Command::viewProjectExplorer)->isChecked());
        frame_->CommandAction(Command::viewProjectExplorer)->trigger();
        QVERIFY(frame_->Explorer()->isVisible());

        // A blob longer than one preference string comes back whole.
        QByteArray large;
        for (int i = 0; i < 5000; ++i) large += static_cast<char>((i * 7919) % 251);
        varnex::ui::WindowStateStore::SaveBlob(QStringLiteral("Test"), large);
        QCOMPARE(varnex::ui::WindowStateStore::LoadBlob(QStringLiteral("Test")), large);
    }

    // F6 goes round the site plan and the visible bars, Shift+F6 back; a
    // hidden bar is passed over.
    void f6MovesBetweenThePanes() {
        QWidget* plan = frame_->PhaseView();
        QWidget* explorer = frame_->Explorer();
        QWidget* properties = frame_->Properties();
        plan->setFocus();
        const auto focused = [this] { return frame_->focusWidget(); };
        frame_->FocusNextPane(true);
        QCOMPARE(focused(), explorer);
        frame_->FocusNextPane(true);
        QCOMPARE(focused(), properties);
        frame_->FocusNextPane(true);
        QCOMPARE(focused(), plan);
        frame_->FocusNextPane(false);
        QCOMPARE(focused(), properties);
        frame_->Explorer()->parentWidget()->hide();
        frame_->FocusNextPane(true);
        QCOMPARE(focused(), plan);
        frame_->FocusNextPane(true);
        QCOMPARE(focused(), properties);
        frame_->Explorer()->parentWidget()->show();
    }

    // The first window a user meets, and the options dialog: each button
    // gives its choice, and both are photographed for the guide.
    void startWindowAndProgramOptions() {
        using varnex::ui::StartDialog;
        const struct {
            const char* button;
            StartDialog::Choice choice;
        } buttons[] = {{"Open", StartDialog::Choice::open},
                       {"New", StartDialog::Choice::newProject},
                       {"Exit", StartDialog::Choice::exit}};
        for (const auto& entry : buttons) {
            StartDialog start;
            QTimer::singleShot(0, [&start, &entry] {
                if (entry.choice == StartDialog::Choice::open)
                    SaveScreenshot(start, QStringLiteral("start-window.png"));
                for (QPushButton* button : start.findChildren<QPushButton*>())
                    if (button->text() == QLatin1String(entry.button)) button->click();
            });
            QCOMPARE(start.Ask(), entry.choice);
        }

        const std::vector<std::string> languages = varnex::ListLanguages();
        QVERIFY(languages.size() >= 2);
        varnex::ui::ProgramOptionsDialog options(languages, languages[0], true);
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        SaveScreenshot(options, QStringLiteral("program-options.png"));
        QComboBox* language = options.findChild<QComboBox*>();
        QCheckBox* smartInsert = options.findChild<QCheckBox*>();
        QVERIFY(language && smartInsert);
        QCOMPARE(options.ChosenLanguage(), languages[0]);
        QVERIFY(options.ChosenAutoComplete());
        language->setCurrentIndex(1);
        smartInsert->setChecked(false);
        QCOMPARE(options.ChosenLanguage(), languages[1]);
        QVERIFY(!options.ChosenAutoComplete());
    }

    void aboutAndStatusTexts() {
        QCOMPARE(CMainFrame::VersionText(varnex::ProgramVersion()),
                 QStringLiteral("Version 2.05.0004"));
        frame_->OnHelpAbout();
        QCOMPARE(prompts_.information.size(), 1);
        QVERIFY(prompts_.information.first().contains(QStringLiteral("Version 2.05.0004")));
        frame_->ShowCursorPosition(12.5, -3.25);
        QVERIFY(!frame_->statusBar()->findChildren<QLabel*>().isEmpty());
        bool shown = false;
        for (const QLabel* label : frame_->statusBar()->findChildren<QLabel*>())
            shown = shown || label->text() == QStringLiteral("(12.500,-3.250)");
        QVERIFY(shown);
        // The user guide ships beside the program.
        frame_->OnHelpTopics();
        QVERIFY(prompts_.errors.isEmpty());
    }

    // Every figure the guide beside the program shows is there with it, and
    // nothing in its images folder is left over from an older guide.
    void guideFiguresShipBesideTheGuide() {
        const QDir folder(QCoreApplication::applicationDirPath());
        const QString guide =
            QString::fromUtf8(FileBytes(folder.filePath(QStringLiteral("user-guide.md"))));
        QVERIFY(!guide.isEmpty());
        QStringList shown;
        const QRegularExpression figure(QStringLiteral("!\\[[^\\]]+\\]\\((images/[^)]+)\\)"));
        for (auto match = figure.globalMatch(guide); match.hasNext();)
            shown << match.next().captured(1);
        QVERIFY(shown.size() >= 15);
        for (const QString& image : shown) {
            QVERIFY2(QFileInfo(folder.filePath(image)).size() > 1000, qPrintable(image));
        }
        const QDir source(QStringLiteral(VARNEX_SOURCE_DIR "/docs/images"));
        for (const QString& file : source.entryList({QStringLiteral("*.png")}, QDir::Files))
            QVERIFY2(shown.contains(QStringLiteral("images/") + file),
                     qPrintable(file + " is shown nowhere"));
    }

private:
    static std::string ToStd(const QString& text) { return text.toStdString(); }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
