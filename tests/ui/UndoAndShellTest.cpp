// Undo and redo of every kind of model edit with the title's mark, a
// language switch reaching message boxes, panes and the site plan at once,
// the start window's recent projects and a new project's date.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "MainWindowTest.h"
#include "ScriptedPrompts.h"
#include "SitePlanMouse.h"
#include "UiTestSupport.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/IterationCount.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/QtText.h"
#include "ui/forms/FormDialog.h"
#include "ui/forms/InputCorrelationsDialog.h"
#include "ui/forms/InputForm.h"
#include "ui/forms/PropertyGrid.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/shell/ProjectExplorer.h"
#include "ui/shell/ProjectWizard.h"
#include "ui/shell/RecentFileList.h"
#include "ui/shell/StartDialog.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/SitePlanScene.h"
#include "ui/siteplan/SitePlanSourceItem.h"

using varnex::Project;
using varnex::Receptor;
using varnex::Source;
using varnex::UserInterfaceSettings;
using varnex::ui::CMainFrame;
using varnex::ui::CPhaseView;
using varnex::ui::StartDialog;
using varnex::ui::test::ScriptedPrompts;
using varnex::ui::test::WhenModalOpens;
using Command = CMainFrame::Command;

using varnex::ui::test::SendMouse;
using varnex::ui::test::Square;

namespace {

QString ExamplePath(const QString& name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + name;
}

// A drag as the mouse sends it: many moves, one release.
void Drag(CPhaseView& view, const QPointF& from, const QPointF& to) {
    varnex::ui::test::Drag(view, from, to, 8);
}

// The .vnx bytes of the model (no results, a fixed date): equal bytes mean
// equal models down to the last bit of every number.
QByteArray FileBytesOf(const Project& project, const QString& path) {
    Project copy(project);
    varnex::ProjectSaveOptions options;
    options.dateSaved = "2000-01-01 00:00:00";
    std::string error;
    if (!varnex::SaveProject(copy, varnex::ui::ToStdString(path), options, error))
        return QByteArray(error.c_str());
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ButtonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* button : box.buttons()) texts << button->text();
    texts.sort();
    return texts;
}

} // namespace

class UndoAndShellTest : public varnex::ui::test::MainWindowTest {
    Q_OBJECT

    QTemporaryDir folder_; // the test's project files

    Project& TheProject() { return frame_->Document().GetProject(); }
    std::string Model() { return varnex::WriteProjectJson(TheProject()); }
    QAction* UndoAction() { return frame_->CommandAction(Command::editUndo); }
    QAction* RedoAction() { return frame_->CommandAction(Command::editRedo); }
    bool TitleMarked() const { return frame_->isWindowModified(); }

    // A project of one square source (0..20 m) and one receptor, opened
    // with a history of its own and nothing to save.
    void OpenSitePlanProject() {
        Project& project = TheProject();
        std::string error;
        Receptor well;
        well.name = "Borehole";
        well.x = 80.0;
        well.y = 40.0;
        QVERIFY(project.AddReceptor(well, error));
        QVERIFY(project.AddSource(Square("Tank", 0.0, 0.0, 20.0), error, false));
        const QString path = folder_.filePath(QStringLiteral("plan.json"));
        QVERIFY(frame_->ExportJsonFile(path));
        QVERIFY(frame_->ImportJsonFile(path));
        frame_->Document().SetModified(false);
        frame_->PhaseView()->ZoomAll();
    }

    // Undo gives back `before` (and the title's mark `markedBefore`), redo
    // `after`; the menu names the edit both ways.
    void CheckUndoRedo(const std::string& before, const QString& editName, bool markedBefore) {
        const std::string after = Model();
        QVERIFY2(after != before, qPrintable(editName));
        QVERIFY(TitleMarked());
        QCOMPARE(UndoAction()->text(), QStringLiteral("&Undo ") + editName);
        QVERIFY(UndoAction()->isEnabled());
        UndoAction()->trigger();
        QCOMPARE(Model(), before);
        QCOMPARE(TitleMarked(), markedBefore);
        QCOMPARE(RedoAction()->text(), QStringLiteral("&Redo ") + editName);
        RedoAction()->trigger();
        QCOMPARE(Model(), after);
        QVERIFY(TitleMarked());
        QVERIFY(!RedoAction()->isEnabled());
    }

private slots:
    void initTestCase() { StartPreferences(); }
    void cleanupTestCase() { EndPreferences(); }
    void init() { OpenMainWindow(1280, 800); }
    void cleanup() { CloseMainWindow(); }

    void sitePlanEditsAreOneStepEach() {
        OpenSitePlanProject();
        CPhaseView& plan = *frame_->PhaseView();
        QVERIFY(!UndoAction()->isEnabled());
        QVERIFY(!RedoAction()->isEnabled());
        QCOMPARE(UndoAction()->text(), QStringLiteral("&Undo"));
        QCOMPARE(UndoAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(RedoAction()->shortcuts(),
                 QList<QKeySequence>({QKeySequence(QStringLiteral("Ctrl+Y")),
                                      QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        const QRectF shown = plan.VisiblePlanArea();

        // A drag of many mouse moves is one step, taken back whole; the
        // plan stays where the user was looking.
        std::string before = Model();
        const QPointF from = plan.mapToScene(plan.mapFromScene(QPointF(80.0, 40.0)));
        Drag(plan, from, plan.mapToScene(plan.mapFromScene(from) + QPoint(60, 45)));
        CheckUndoRedo(before, QStringLiteral("Move Receptor"), false);
        UndoAction()->trigger();
        QCOMPARE(TheProject().receptors[0].x, 80.0);
        QCOMPARE(plan.VisiblePlanArea(), shown);
        QVERIFY(!TitleMarked());

        // A corner dragged by accident: undo restores the outline.
        QTest::mouseClick(plan.viewport(), Qt::LeftButton, {},
                          plan.mapFromScene(QPointF(10.0, 10.0)));
        QCOMPARE(plan.Scene()->HandlesSource(), 0);
        before = Model();
        Drag(plan, QPointF(20.0, 20.0), plan.mapToScene(plan.mapFromScene(QPointF(35.0, 38.0))));
        QVERIFY(TheProject().sources[0].vertices[2].x > 30.0);
        CheckUndoRedo(before, QStringLiteral("Reshape Source"), false);
        UndoAction()->trigger();
        QCOMPARE(TheProject().sources[0].vertices[2].x, 20.0);
        QCOMPARE(plan.Scene()->SourceItem(0)->polygon().boundingRect().width(), 20.0);

        // Duplicate and delete from the plan's menu, one step each.
        before = Model();
        std::unique_ptr<QMenu> menu = plan.ContextMenuAt(plan.mapFromScene(QPointF(5.0, 5.0)));
        menu->actions()[0]->trigger(); // "Duplicate Source"
        QCOMPARE(TheProject().sources.size(), std::size_t(2));
        CheckUndoRedo(before, QStringLiteral("Duplicate Source"), false);
        before = Model();
        prompts_.yesNoAnswers = {true};
        menu = plan.ContextMenuAt(plan.mapFromScene(QPointF(5.0, 5.0)));
        menu->actions()[3]->trigger(); // "Delete source"
        QCOMPARE(TheProject().sources.size(), std::size_t(1));
        CheckUndoRedo(before, QStringLiteral("Delete Source"), true);
        QCOMPARE(plan.Scene()->SourceCount(), 1);

        // Back through every step to the state opened: no mark; a new edit
        // after an undo drops what could have been redone.
        while (UndoAction()->isEnabled()) UndoAction()->trigger();
        QVERIFY(!TitleMarked());
        QVERIFY(!frame_->Document().IsModified());
        QCOMPARE(TheProject().sources.size(), std::size_t(1));
        QCOMPARE(plan.Scene()->SourceCount(), 1);
        QVERIFY(RedoAction()->isEnabled());
        frame_->CommandAction(Command::modelLevel3)->trigger();
        QVERIFY(!RedoAction()->isEnabled());
        QCOMPARE(UndoAction()->text(), QStringLiteral("&Undo Simulation Level"));
        UndoAction()->trigger();
        QCOMPARE(TheProject().simulationLevel, 1);
        QVERIFY(frame_->CommandAction(Command::modelLevel1)->isChecked());
    }

    void formsPanesAndCommandsUndo() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        // An imported project is not yet a project file: marked from the
        // start, and undo cannot take the mark away.
        QVERIFY(TitleMarked());
        const QString saved = folder_.filePath(QStringLiteral("petrol.vnx"));
        QVERIFY(frame_->SaveDocumentTo(saved, false));
        QVERIFY(!TitleMarked());

        // A form.
        std::string before = Model();
        WhenModalOpens<varnex::ui::FormDialog>([](varnex::ui::FormDialog& dialog) {
            dialog.Form()
                ->findChild<QLineEdit*>(QStringLiteral("title"))
                ->setText(QStringLiteral("Undo me"));
            QVERIFY(dialog.TryAccept());
        });
        frame_->CommandAction(Command::setupProjectDetails)->trigger();
        QCOMPARE(TheProject().details.title, std::string("Undo me"));
        CheckUndoRedo(before, QStringLiteral("Project Details"), false);

        // The properties pane; its edit arrives once the cell is left.
        before = Model();
        frame_->Explorer()->setCurrentItem(frame_->Explorer()->topLevelItem(0)->child(0));
        QVERIFY(frame_->Properties()->EditValue(QStringLiteral("Thickness [m]"),
                                                QStringLiteral("SINGLE(4.5)")));
        QTRY_COMPARE(UndoAction()->text(), QStringLiteral("&Undo Property Change"));
        CheckUndoRedo(before, QStringLiteral("Property Change"), true);
        UndoAction()->trigger();
        // The pane shows the value undone, not the one typed.
        QTRY_VERIFY(frame_->Properties()->ValueOf(QStringLiteral("Thickness [m]")) !=
                    QStringLiteral("SINGLE(4.5)"));

        // A correlation removed in the dialog.
        before = Model();
        const std::size_t correlations = TheProject().correlations.Count();
        WhenModalOpens<varnex::ui::InputCorrelationsDialog>(
            [](varnex::ui::InputCorrelationsDialog& dialog) {
                dialog.RecordList()->setCurrentItem(dialog.RecordList()->topLevelItem(0));
                QVERIFY(dialog.RemoveSelected());
                dialog.accept();
            });
        frame_->CommandAction(Command::modelCorrelations)->trigger();
        QCOMPARE(TheProject().correlations.Count(), correlations - 1);
        CheckUndoRedo(before, QStringLiteral("Correlations"), true);
        UndoAction()->trigger();
        QCOMPARE(TheProject().correlations.Count(), correlations);

        // A new receptor and its form are one step.
        before = Model();
        const std::size_t receptors = TheProject().receptors.size();
        WhenModalOpens<varnex::ui::FormDialog>(
            [](varnex::ui::FormDialog& dialog) { QVERIFY(dialog.TryAccept()); });
        frame_->CommandAction(Command::receptorNewReceptor)->trigger();
        QCOMPARE(TheProject().receptors.size(), receptors + 1);
        CheckUndoRedo(before, QStringLiteral("New Receptor"), true);
        UndoAction()->trigger();
        QCOMPARE(TheProject().receptors.size(), receptors);

        // Everything undone: the saved state, no mark.
        while (UndoAction()->isEnabled()) UndoAction()->trigger();
        QVERIFY(!TitleMarked());
        QCOMPARE(
            TheProject().details.title,
            std::string(
                "Former Station Road filling station: benzene and toluene at the public supply borehole"));
    }

    void keysUndoAndRedo() {
        OpenSitePlanProject();
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        frame_->CommandAction(Command::modelLevel2)->trigger();
        QCOMPARE(TheProject().simulationLevel, 2);
        frame_->PhaseView()->setFocus();
        QTest::keyClick(frame_->PhaseView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TheProject().simulationLevel, 1);
        QTest::keyClick(frame_->PhaseView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(TheProject().simulationLevel, 2);
        QTest::keyClick(frame_->PhaseView(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(frame_->PhaseView(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TheProject().simulationLevel, 2);
    }

    // The state undo brings back is the model itself, bit for bit, for
    // each example; results are not part of it.
    void undoRestoresTheModelExactly_data() {
        QTest::addColumn<QString>("example");
        for (const char* name :
             {"level1-gasworks.json", "level2-solvent-soakaway.json", "level3-gasworks-chalk.json",
              "level3-petrol-station.json", "level3a-landfill.json", "invalid-level3.json"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void undoRestoresTheModelExactly() {
        QFETCH(QString, example);
        QVERIFY(frame_->ImportJsonFile(ExamplePath(example)));
        // Texts beyond the file's code page come back as typed.
        const std::string title = "Müllerstraße – € 10 000 – 地下水";
        TheProject().details.title = title;
        frame_->OnProjectEdited();
        // Both under one name: the file records its own path.
        const QString path = folder_.filePath(QStringLiteral("model.vnx"));
        const QByteArray original = FileBytesOf(TheProject(), path);
        QVERIFY(original.size() > 100);

        Project& project = TheProject();
        project.sources.erase(project.sources.begin());
        project.simulationLevel = project.simulationLevel == 1 ? 2 : 1;
        const int iterations = varnex::IterationCount();
        varnex::SetIterationCount(iterations + 7);
        frame_->OnProjectEdited();
        QCOMPARE(UndoAction()->text(), QStringLiteral("&Undo Edit"));
        // Results a run left would describe a model no longer shown.
        project.resultsValid = true;
        frame_->UpdateCommandStates();
        QVERIFY(frame_->CommandAction(Command::resultsStatistics)->isEnabled());
        UndoAction()->trigger();
        QCOMPARE(FileBytesOf(TheProject(), path), original);
        QCOMPARE(TheProject().details.title, title);
        QCOMPARE(varnex::IterationCount(), iterations);
        QVERIFY(!TheProject().resultsValid);
        QVERIFY(!frame_->CommandAction(Command::resultsStatistics)->isEnabled());
    }

    void historyIsBoundedAndEditsWithoutChangeLeaveNoStep() {
        varnex::ui::CVarnexDoc& document = frame_->Document();
        frame_->OnProjectEdited();
        QVERIFY(!document.CanUndo());
        QVERIFY(!TitleMarked());
        const std::size_t edits = varnex::ui::CVarnexDoc::maximumUndoSteps + 5;
        for (std::size_t i = 1; i <= edits; ++i) {
            TheProject().details.title = "Edit " + std::to_string(i);
            frame_->OnProjectEdited();
        }
        std::size_t undone = 0;
        while (document.Undo()) ++undone;
        QCOMPARE(undone, varnex::ui::CVarnexDoc::maximumUndoSteps);
        QCOMPARE(TheProject().details.title, std::string("Edit 5"));
        // The state opened is out of reach now: still unsaved.
        QVERIFY(TitleMarked());
    }

    void languageSwitchReachesEverythingShown() {
        OpenSitePlanProject();
        CPhaseView& plan = *frame_->PhaseView();
        plan.SetFlowArrowVisible(true);
        // The plan as it is on the screen, not painted anew.
        const auto onScreen = [&] {
            QApplication::processEvents();
            const QImage screen = frame_->screen()->grabWindow(frame_->winId()).toImage();
            const QPoint corner = plan.viewport()->mapTo(frame_.get(), QPoint(0, 0));
            return screen.copy(QRect(corner, QSize(260, 140)));
        };
        QTest::qWait(50);
        const QImage english = onScreen();

        QVERIFY(frame_->ApplyOptions("Deutsch", true));
        QTest::qWait(50);
        QVERIFY2(onScreen() != english, "the flow arrow's caption kept its language");
        QCOMPARE(frame_->menuBar()->actions().at(1)->text(), QStringLiteral("&Bearbeiten"));
        frame_->CommandAction(Command::modelLevel2)->trigger();
        QCOMPARE(UndoAction()->text(), QStringLiteral("&Rückgängig: Simulationsstufe"));

        // An input never entered, in the pane.
        frame_->Explorer()->setCurrentItem(frame_->Explorer()->topLevelItem(0)->child(0));
        QCOMPARE(frame_->Properties()->ValueOf(QStringLiteral("Mächtigkeit [m]")),
                 QStringLiteral("UNDEFINIERT"));

        // The buttons of a real message box.
        varnex::ui::DialogPrompts boxes(frame_.get());
        QStringList buttons;
        WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
            buttons = ButtonTexts(box);
            box.reject();
        });
        QCOMPARE(boxes.AskYesNoCancel(QStringLiteral("?")),
                 varnex::ui::UserPrompts::Answer::cancel);
        QCOMPARE(buttons, QStringList({"&Ja", "&Nein", "Abbrechen"}));

        QVERIFY(frame_->ApplyOptions("English", true));
        QTest::qWait(50);
        QCOMPARE(onScreen(), english);
        QCOMPARE(UndoAction()->text(), QStringLiteral("&Undo Simulation Level"));
        QCOMPARE(frame_->Properties()->ValueOf(QStringLiteral("Thickness [m]")),
                 QStringLiteral("UNDEFINED"));
        WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
            buttons = ButtonTexts(box);
            box.reject();
        });
        QVERIFY(!boxes.AskYesNo(QStringLiteral("?")));
        QCOMPARE(buttons, QStringList({"&No", "&Yes"}));
    }

    void startWindowListsRecentProjects() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level1-gasworks.json"))));
        const QString kept = folder_.filePath(QStringLiteral("gasworks.vnx"));
        QVERIFY(frame_->SaveDocumentTo(kept, false));
        const QString gone = folder_.filePath(QStringLiteral("moved away.vnx"));
        QVERIFY(frame_->SaveDocumentTo(gone, false));
        QVERIFY(QFile::remove(gone));
        QVERIFY(frame_->SaveDocumentTo(kept, false));
        varnex::ui::RecentFileList recent;
        recent.Load();
        QCOMPARE(recent.Files().mid(0, 2), QStringList({kept, gone}));

        {
            StartDialog start(recent);
            start.SetPrompts(&prompts_);
            start.show();
            QListWidget* list = start.RecentList();
            QVERIFY(list->item(0)->text().startsWith(QStringLiteral("gasworks.vnx")));
            QVERIFY(list->item(1)->text().endsWith(QStringLiteral("(missing)")));
            varnex::ui::test::SaveScreenshot(start, QStringLiteral("start-window-recent.png"));

            // The missing file: said so and taken off, the window stays.
            list->setFocus();
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(prompts_.errors.size(), 1);
            QVERIFY(prompts_.errors[0].contains(QStringLiteral("moved away.vnx")));
            QVERIFY(start.isVisible());
            QVERIFY(!recent.Files().contains(gone));
            QCOMPARE(list->count(), recent.Files().size());
        }
        varnex::ui::RecentFileList stored;
        stored.Load();
        QVERIFY(!stored.Files().contains(gone));

        // Enter and double-click open the project chosen, not the "Open"
        // button's file chooser.
        for (bool doubleClick : {false, true}) {
            StartDialog start(recent);
            start.SetPrompts(&prompts_);
            WhenModalOpens<StartDialog>([&](StartDialog& dialog) {
                QListWidget* list = dialog.RecentList();
                list->setFocus();
                list->setCurrentRow(0);
                if (doubleClick) {
                    const QPoint centre = list->visualItemRect(list->item(0)).center();
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
                    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
                } else {
                    QTest::keyClick(list, Qt::Key_Return);
                }
            });
            QCOMPARE(start.Ask(), StartDialog::Choice::openRecent);
            QCOMPARE(start.ChosenFile(), kept);
        }
        QVERIFY(
            frame_->ImportJsonFile(ExamplePath(QStringLiteral("level2-solvent-soakaway.json"))));
        frame_->Document().SetModified(false);
        frame_->ExecuteStartChoice(StartDialog::Choice::openRecent, kept);
        QCOMPARE(frame_->Document().FilePath(), kept);
        QCOMPARE(TheProject().simulationLevel, 1);
    }

    void newProjectIsDatedToday() {
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QString shown;
        WhenModalOpens<varnex::ui::ProjectWizard>([&](varnex::ui::ProjectWizard& wizard) {
            if (auto* date = wizard.CurrentForm()->findChild<QLabel*>(QStringLiteral("dateSaved")))
                shown = date->text();
            wizard.reject();
        });
        frame_->CommandAction(Command::fileNew)->trigger();
        QVERIFY2(shown.startsWith(today), qPrintable(shown));
        // The form the program writes dates in: "%Y-%m-%d %H:%M:%S".
        QCOMPARE(shown.size(), 19);
        QVERIFY(!frame_->Document().IsModified());
    }
};

QTEST_MAIN(UndoAndShellTest)
#include "UndoAndShellTest.moc"
