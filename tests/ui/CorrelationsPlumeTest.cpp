// The "Input Correlations" and "Contaminant Plume" commands of the main
// window: edited correlations reach the project, the plume's refusals, and
// a plume computed over the site plan on screen.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <functional>
#include <memory>

#include "MainWindowTest.h"
#include "ScriptedPrompts.h"
#include "UiTestSupport.h"
#include "model/Project.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "ui/forms/InputCorrelationsDialog.h"
#include "ui/forms/ValidationList.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/PlumeDialog.h"
#include "ui/siteplan/PlumeProgressDialog.h"

using varnex::Correlation;
using varnex::Project;
using varnex::UserInterfaceSettings;
using varnex::ui::CMainFrame;
using varnex::ui::InputCorrelationsDialog;
using varnex::ui::PlumeDialog;
using varnex::ui::PlumeProgressDialog;
using varnex::ui::test::ScriptedPrompts;
using Command = CMainFrame::Command;

using varnex::ui::test::SaveScreenshot;
using varnex::ui::test::WhenModalOpens;

namespace {

QString ExamplePath(const QString& name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + name;
}

// The id of the first offered input whose name contains `text`.
std::int32_t OfferedInput(QComboBox* box, const QString& text) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).contains(text)) return box->itemData(i).toInt();
    return 0;
}

} // namespace

class CorrelationsPlumeTest : public varnex::ui::test::MainWindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { StartPreferences(); }
    void cleanupTestCase() { EndPreferences(); }
    void init() { OpenMainWindow(1280, 860); }
    void cleanup() { CloseMainWindow(); }

    void correlationsEditedInTheDialogReachTheProject() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        QVERIFY(frame_->CommandAction(Command::modelCorrelations)->isEnabled());
        Project& project = frame_->Document().GetProject();
        QCOMPARE(project.correlations.Count(), std::size_t(2));
        const std::int32_t conductivity = project.aquifer.hydraulicConductivity.id;

        int listed = 0;
        QStringList refusals;
        std::int32_t correlated = 0, reference = 0;
        WhenModalOpens<InputCorrelationsDialog>([&](InputCorrelationsDialog& dialog) {
            listed = dialog.RecordList()->topLevelItemCount();
            correlated =
                OfferedInput(dialog.CorrelatedBox(), QStringLiteral("Lateral Dispersivity"));
            reference =
                OfferedInput(dialog.ReferenceBox(), QStringLiteral("Longitudinal Dispersivity"));
            // Refused: one input with itself, values that are no
            // correlation.
            InputCorrelationsDialog::ChooseInput(dialog.CorrelatedBox(), reference);
            InputCorrelationsDialog::ChooseInput(dialog.ReferenceBox(), reference);
            dialog.ValueEntry()->setText(QStringLiteral("0.3"));
            if (!dialog.Correlate()) refusals << QStringLiteral("self");
            InputCorrelationsDialog::ChooseInput(dialog.CorrelatedBox(), correlated);
            for (const char* value : {"1.5", "-1.01", "abc", ""}) {
                dialog.ValueEntry()->setText(QString::fromLatin1(value));
                if (!dialog.Correlate()) refusals << QString::fromLatin1(value);
            }
            dialog.ValueEntry()->setText(QStringLiteral("-0.4"));
            dialog.NameEntry()->setText(QStringLiteral("Density and spreading"));
            if (!dialog.Correlate()) refusals << QStringLiteral("valid");
            // Delete the aquifer's pair.
            for (int i = 0; i < dialog.RecordList()->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = dialog.RecordList()->topLevelItem(i);
                if (item->data(0, Qt::UserRole).toInt() == conductivity)
                    dialog.RecordList()->setCurrentItem(item);
            }
            if (!dialog.RemoveSelected()) refusals << QStringLiteral("remove");
            SaveScreenshot(dialog, QStringLiteral("input-correlations.png"));
            dialog.accept();
        });
        frame_->OnModelCorrelations();

        QCOMPARE(listed, 2);
        QVERIFY(correlated != 0 && reference != 0);
        QCOMPARE(refusals, QStringList({"self", "1.5", "-1.01", "abc", ""}));
        QCOMPARE(prompts_.errors.size(), 5);
        QCOMPARE(prompts_.errors.first(),
                 QStringLiteral("A parameter cannot be correlated with itself"));
        QCOMPARE(prompts_.errors.last(),
                 QStringLiteral("The correlation value must be a number from -1 to 1"));
        QCOMPARE(project.correlations.Count(), std::size_t(2));
        QVERIFY(project.correlations.Entries().count(conductivity) == 0);
        const Correlation& added = project.correlations.Entries().at(reference);
        QCOMPARE(added.correlatedParameter, correlated);
        QCOMPARE(added.value, -0.4);
        QCOMPARE(added.name, std::string("Density and spreading"));
        QVERIFY(frame_->Document().IsModified());
        QVERIFY(!project.resultsValid);

        // A second pair for the same "Parameter Correlated To" replaces the
        // first only when the user agrees; Cancel keeps the project's list.
        const std::int32_t other = project.aquifer.effectivePorosity.id;
        prompts_.yesNoAnswers = {false};
        WhenModalOpens<InputCorrelationsDialog>([&](InputCorrelationsDialog& dialog) {
            InputCorrelationsDialog::ChooseInput(dialog.CorrelatedBox(), other);
            InputCorrelationsDialog::ChooseInput(dialog.ReferenceBox(), reference);
            dialog.ValueEntry()->setText(QStringLiteral("0.2"));
            if (dialog.Correlate()) refusals << QStringLiteral("replaced without asking");
            prompts_.yesNoAnswers = {true};
            if (!dialog.Correlate()) refusals << QStringLiteral("not replaced");
            dialog.reject();
        });
        frame_->OnModelCorrelations();
        QCOMPARE(prompts_.questions.size(), 2);
        QCOMPARE(refusals.size(), 5);
        QCOMPARE(project.correlations.Entries().at(reference).correlatedParameter, correlated);
    }

    void plumeRefusals() {
        // Not at Level 1: refused before any settings are asked for.
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level1-gasworks.json"))));
        WhenModalOpens<QDialog>([](QDialog& dialog) { dialog.reject(); });
        frame_->OnModelContaminantPlume();
        QCOMPARE(
            prompts_.errors,
            QStringList({"A contaminant plume can only be calculated at Level 3 or Level 3a."}));

        // An invalid project is not computed.
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("invalid-level3.json"))));
        frame_->OnModelContaminantPlume();
        QCOMPARE(prompts_.errors.size(), 1);
        QVERIFY(frame_->Validation() && !frame_->Validation()->isHidden());
        QVERIFY(frame_->Validation()->Rows()->count() > 0);

        // The settings dialog refuses times and spacings not above 0 and
        // grids too fine to compute, and stays open.
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        Project& project = frame_->Document().GetProject();
        ScriptedPrompts prompts;
        PlumeDialog dialog(project, QRectF(0.0, -50.0, 95.0, 100.0), prompts);
        dialog.show();
        const struct {
            const char* time;
            const char* spacing;
            const char* warning;
        } refused[] = {
            {"0", "10", "Time must be greater than 0"},
            {"abc", "10", "Time must be greater than 0"},
            {"-5", "10", "Time must be greater than 0"},
            {"50", "0", "Grid spacing must be greater than 0"},
            {"50", "", "Grid spacing must be greater than 0"},
            {"50", "0.01",
             "The plume grid would have more than 1000000 nodes; choose a larger grid spacing."},
        };
        for (const auto& entry : refused) {
            dialog.TimeEntry()->setText(QString::fromLatin1(entry.time));
            dialog.SpacingEntry()->setText(QString::fromLatin1(entry.spacing));
            dialog.accept();
            QVERIFY2(dialog.isVisible(), entry.warning);
            QCOMPARE(prompts.warnings.last(), QString::fromLatin1(entry.warning));
            QVERIFY(!project.plume.active);
        }
        // 95 m wide at 10 m: ten columns, the last beyond the view's edge.
        dialog.TimeEntry()->setText(QStringLiteral("50"));
        dialog.SpacingEntry()->setText(QStringLiteral("10"));
        QCOMPARE(dialog.NodeCountText(), QStringLiteral("10 x 10"));
        SaveScreenshot(dialog, QStringLiteral("plume-settings.png"));
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QVERIFY(project.plume.active);
        QCOMPARE(project.plume.timeYears, 50.0);
        QCOMPARE(dialog.Request().leftX, 0.0);
        QCOMPARE(dialog.Request().topY, 50.0);

        PlumeDialog cancelled(project, QRectF(0.0, 0.0, 10.0, 10.0), prompts);
        cancelled.reject();
        QVERIFY(!project.plume.active);
    }

    void plumeOnTheLevel3ExampleFillsTheGrid() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        Project& project = frame_->Document().GetProject();
        const std::size_t receptors = project.receptors.size();
        frame_->PhaseView()->centerOn(120.0, 6.0);
        for (int i = 0; i < 3; ++i) frame_->PhaseView()->ZoomIn();
        const QRectF area = frame_->PhaseView()->VisiblePlanArea();
        // Off the sources and receptors, a plan without a plume offers only
        // the background map's options.
        const QPoint emptySpot(3, frame_->PhaseView()->viewport()->height() - 3);
        std::unique_ptr<QMenu> plain = frame_->PhaseView()->ContextMenuAt(emptySpot);
        QVERIFY(plain);
        QCOMPARE(plain->actions().size(), 1);
        QCOMPARE(plain->actions().front()->text(), QStringLiteral("DXF Options..."));

        WhenModalOpens<PlumeDialog>([](PlumeDialog& dialog) {
            dialog.ContaminantBox()->setCurrentIndex(0);
            dialog.TimeEntry()->setText(QStringLiteral("100"));
            dialog.SpacingEntry()->setText(QStringLiteral("10"));
            dialog.accept();
        });
        frame_->OnModelContaminantPlume();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));

        const varnex::PlumeSettings& plume = project.plume;
        QCOMPARE(plume.columns.size(), static_cast<std::size_t>(std::ceil(area.width() / 10.0)));
        QCOMPARE(plume.leftX, area.center().x() - area.width() * 0.5);
        QCOMPARE(plume.topY, area.center().y() + area.height() * 0.5);
        double highest = 0.0;
        for (const std::vector<double>& column : plume.columns) {
            QCOMPARE(column.size(), static_cast<std::size_t>(std::ceil(area.height() / 10.0)));
            for (double value : column) {
                QVERIFY(std::isfinite(value) && value >= 0.0);
                highest = std::max(highest, value);
            }
        }
        QVERIFY(highest > 0.0);
        // The temporary receptors are gone; the run's results are replaced.
        QCOMPARE(project.receptors.size(), receptors);
        QVERIFY(!project.plume.active);
        QVERIFY(!project.resultsValid);
        QVERIFY(!frame_->CommandAction(Command::resultsStatistics)->isEnabled());
        QVERIFY(frame_->Document().IsModified());

        // The plume shown is saved from the plan's context menu as a PNG
        // (the suffix added when the name has none) or an SVG, with its legend.
        QTemporaryDir folder;
        const auto saveFromMenu = [&](const QString& name) {
            std::unique_ptr<QMenu> menu = frame_->PhaseView()->ContextMenuAt(emptySpot);
            QVERIFY(menu);
            QCOMPARE(menu->actions().size(), 2);
            QCOMPARE(menu->actions().front()->text(), QStringLiteral("Save Plume Map As..."));
            prompts_.saveFiles << name;
            menu->actions().front()->trigger();
        };
        saveFromMenu(folder.filePath(QStringLiteral("plume")));
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        const QImage picture(folder.filePath(QStringLiteral("plume.png")));
        QCOMPARE(picture.width(), 1200);
        QDir().mkpath(QStringLiteral(VARNEX_SCREENSHOT_DIR));
        QVERIFY(picture.save(QStringLiteral(VARNEX_SCREENSHOT_DIR "/plume-map-saved.png")));
        QVERIFY(picture.height() >= 480);
        // The highest band's deep violet is drawn somewhere, over the plan.
        int coloured = 0;
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2) {
                const QColor pixel = picture.pixelColor(x, y);
                if (pixel.saturation() > 80 && pixel.value() > 40) ++coloured;
            }
        QVERIFY2(coloured > 1000, qPrintable(QString::number(coloured)));
        saveFromMenu(folder.filePath(QStringLiteral("plume.svg")));
        QFile svg(folder.filePath(QStringLiteral("plume.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray drawing = svg.readAll();
        QVERIFY(drawing.contains("<svg"));
        QVERIFY(drawing.contains("Concentration of"));
        // A file that cannot be written is told, naming it.
        saveFromMenu(folder.filePath(QStringLiteral("no-such-folder/plume.png")));
        QCOMPARE(prompts_.errors.size(), 1);
        QVERIFY(prompts_.errors.front().contains(QStringLiteral("no-such-folder")));
    }

    void stoppedPlumeEndsWithoutCompleteGrid() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        Project& project = frame_->Document().GetProject();
        std::string report;
        QVERIFY(project.Validate(report));
        varnex::PlumeRequest request;
        request.contaminantIndex = 0;
        request.timeYears = 100.0;
        request.spacingM = 1.0;
        request.leftX = -500.0;
        request.topY = 500.0;
        request.widthM = 1000.0;
        request.heightM = 1000.0;
        request.title = "petrol";
        PlumeProgressDialog progress(project, request);
        QTimer::singleShot(300, &progress, [&progress] {
            QVERIFY(progress.ProgressLine().startsWith(QStringLiteral("petrol - Calculating: ")));
            progress.OnStop();
        });
        QVERIFY(!progress.RunModal());
        QVERIFY(progress.Stopped());
        QVERIFY(progress.FailureMessage().isEmpty());
        QCOMPARE(progress.result(), PlumeProgressDialog::stoppedOrFailed);
    }

private:
};

QTEST_MAIN(CorrelationsPlumeTest)
#include "CorrelationsPlumeTest.moc"
