#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>

#include "run/ProbabilityMap.h"
#include "run/RunDriver.h"
#include "settings/SolverSettings.h"
#include "ui/common/ProjectItem.h"
#include "ui/forms/FormKind.h"
#include "ui/reports/ReportModel.h"
#include "ui/shell/RecentFileList.h"
#include "ui/shell/StartDialog.h"

class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace varnex {
class UserInterfaceSettings;
struct FileVersion;
} // namespace varnex

namespace varnex::ui {

class CPhaseView;
class CVarnexDoc;
class CVarnexView;
class HelpWindow;
class ProjectExplorer;
class PropertyGrid;
class ValidationList;
class UserPrompts;

// The main window: menus, toolbars, status bar, the dockable "Project
// Explorer" and "Properties" panes around the site plan, and one handler
// per command. It computes nothing itself; every command is a call into the
// document, the engine or a dialog.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Every command of the menus, in menu order.
    enum class Command {
        fileNew,
        fileOpen,
        fileSave,
        fileSaveAs,
        fileSaveWithoutResults,
        fileImportJson,
        fileExportJson,
        filePrintModel,
        filePrintResults,
        filePrintSetup,
        fileExit,
        editUndo,
        editRedo,
        setupProjectDetails,
        setupDomainDetails,
        setupContaminantInventory,
        setupWqs,
        setupActiveProcesses,
        setupProjectWizard,
        setupOptions,
        sourceNewSource,
        aquiferAquifer,
        receptorNewReceptor,
        modelLevel1,
        modelLevel2,
        modelLevel3,
        modelLevel3a,
        modelCorrelations,
        modelSimulationParameters,
        modelContaminantPlume,
        modelRun,
        resultsStatistics,
        resultsGraphical,
        resultsSensitivity,
        viewToolbar,
        viewDrawingToolbar,
        viewStatusBar,
        viewProjectExplorer,
        viewProperties,
        viewAquiferFlowArrow,
        viewPan,
        viewRedraw,
        viewZoomIn,
        viewZoomOut,
        viewZoomWindow,
        viewZoomPrevious,
        viewZoomAll,
        viewPlumeLegend,
        viewDxfOptions,
        helpTopics,
        helpAbout,
        count
    };

    explicit CMainFrame(UserInterfaceSettings& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QAction* CommandAction(Command command) const {
        return actions_[static_cast<std::size_t>(command)];
    }
    CVarnexDoc& Document() { return *document_; }
    ProjectExplorer* Explorer() const { return explorer_; }
    PropertyGrid* Properties() const { return properties_; }
    // The list of problems of the last refused run or plume; null before.
    ValidationList* Validation() const { return validationList_; }
    // Opens the form and field of row `row` of the validation list.
    void OpenValidationProblem(int row);
    CPhaseView* PhaseView() const;
    const RecentFileList& RecentFiles() const { return recentFiles_; }
    RecentFileList& RecentFiles() { return recentFiles_; }

    // Questions and messages go to `prompts` (not owned) instead of dialogs.
    void SetPrompts(UserPrompts* prompts);
    void SetRunOptions(const RunOptions& options) { runOptions_ = options; }

    // The start dialog's choice, carried out on the shown window;
    // `recentFile` is the project chosen from its list.
    void ExecuteStartChoice(StartDialog::Choice choice, const QString& recentFile = QString());
    // The layout the user left, from the preferences.
    void RestoreWindowState();

    // The commands' work without their file dialogs; each reports its own
    // failure and returns false.
    bool OpenDocumentFile(const QString& path);
    bool ImportJsonFile(const QString& path);
    bool ExportJsonFile(const QString& path);
    // The map on the plan (the probability map, else the central-value
    // plume) as a GeoTIFF, or its contour lines as GeoJSON (a GeoPackage
    // for a .gpkg name), written whole or not at all.
    bool ExportMapGeoTiff(const QString& path);
    bool ExportMapContours(const QString& path);
    bool SaveDocument();
    bool SaveDocumentTo(const QString& path, bool withResults);
    bool SaveDocumentAs(bool withResults);
    // Offers to save changes; false when the user cancelled.
    bool MaybeSave();
    // Keeps `map` in the document (until the next run or model change) and
    // draws it on the plan as the project's plume map choices ask.
    void ShowProbabilityMap(ProbabilityMap map);
    // The report of the results, with the probability map's page when the
    // document holds one.
    ReportModel ResultsReportWithMap() const;
    // The Run command after validation; true when it ran and was saved.
    bool RunAndSave();
    // Switches the language at once (the OK of "Program Options").
    bool ApplyOptions(const std::string& language, bool autoComplete);
    // The kernel of the next run and plume (the OK of "Program Options"),
    // kept in the preferences; false when they cannot be written, and the
    // choice then holds for this session only.
    bool ApplySolverKernel(SolverKernel kernel);
    SolverKernel ChosenSolverKernel() const { return solver_.kernel; }

    // Every form, dialog and site-plan edit that changed the project calls
    // this: the change becomes one undo step named after the edit (English,
    // "Move Source"), the document is marked modified and every view
    // redrawn. An edit that changed nothing leaves no step.
    void OnProjectEdited(const char* editName);
    void OnProjectEdited();
    // Redraws the explorer, the site plan and the command states.
    void RefreshViews();

    // Opens one source's "Source Details", "Infiltration", "Unsaturated
    // Pathway" or "Source Inventory" form (the site plan's context menu).
    void OpenSourceForm(int sourceIndex, FormKind kind);
    // Shows one input form in a dialog; true when the project changed.
    bool EditWithForm(FormKind kind, int sourceIndex = -1);

    // Enables the commands that the document's state allows.
    void UpdateCommandStates();
    // F6 and Shift+F6: the keyboard focus to the next or previous pane (the
    // site plan, then the visible bars), round in a circle.
    void FocusNextPane(bool forward);

    // "Version 2.05.0004" for major 2, minor 5, build 4.
    static QString VersionText(const FileVersion& version);

public slots:
    // The site plan reports the cursor here, in site-plan metres.
    void ShowCursorPosition(double x, double y);

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileSaveWithoutResults();
    void OnFileImportJson();
    void OnFileExportJson();
    // The probability map on the plan for a GIS (the plan's context menu
    // offers them while one is drawn): the file is asked for, then written.
    void OnExportMapGeoTiff();
    void OnExportMapContours();
    void OnFilePrintModel();
    void OnFilePrintResults();
    void OnFilePrintSetup();
    void OnFileOpenRecent(const QString& path);
    void OnFileExit();
    void OnEditUndo();
    void OnEditRedo();
    void OnSetupProjectDetails();
    void OnSetupDomainDetails();
    void OnSetupContaminantInventory();
    void OnSetupWqs();
    void OnSetupActiveProcesses();
    void OnSetupProjectWizard();
    void OnSetupOptions();
    void OnSourceNewSource();
    void OnAquiferAquifer();
    void OnReceptorNewReceptor();
    void OnModelLevel(int level);
    void OnModelCorrelations();
    void OnModelSimulationParameters();
    void OnModelContaminantPlume();
    void OnModelRun();
    void OnResultsStatistics();
    void OnResultsGraphical();
    void OnResultsSensitivity();
    void OnViewAquiferFlowArrow();
    void OnViewPan();
    void OnViewRedraw();
    void OnViewZoomIn();
    void OnViewZoomOut();
    void OnViewZoomWindow();
    void OnViewZoomPrevious();
    void OnViewZoomAll();
    void OnViewPlumeLegend();
    // "DXF Options": the background map's file, visibility and placement.
    void OnViewDxfOptions();
    // The plume shown on the plan as a PNG or SVG picture with its legend
    // and scale bar (the plan's context menu offers it).
    void OnSavePlumeMap();
    bool SavePlumeMap(const QString& path);
    void OnHelpTopics();
    void OnHelpAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateActions();
    void ConnectActions();
    void CreateToolBars();
    void CreateDockPanes();
    void CreateStatusBar();
    // Builds the menu bar from the command table with the current language.
    void BuildMenus();
    void AddRecentFileEntries(QMenu* menu);
    void Retranslate();
    void UpdateTitle();
    // The undo and redo commands name the edit they take back or repeat.
    void UpdateUndoCommands();
    // Every window and picture that shows text follows the language now in
    // force.
    void RetranslateOpenWindows();
    void OnProjectReplaced();
    // The contaminant plume as a probability map of the run's iterations:
    // runs first when the run is not in memory (if the user agrees), then
    // computes with a progress bar and stop, and draws it.
    void ComputeProbabilityMap(const ProbabilityMapRequest& request);
    // Whether `map` is what `request` asks for: the same contaminant, time,
    // grid and percentile levels (the quantity drawn may differ).
    static bool SameMap(const ProbabilityMap& map, const ProbabilityMapRequest& request);
    // The document's probability map goes, with its drawing: the model or
    // the run it belongs to has changed.
    void DropProbabilityMap();
    // Opens a result window over the site plan, each next one a step lower
    // and to the right, kept on the screen.
    void ShowResultWindow(QWidget& window);
    void OnExplorerSelection(const ProjectItem& item);
    void OnExplorerActivated(const ProjectItem& item);
    UserPrompts& Prompts();

    UserInterfaceSettings& settings_;
    // The kernel chosen for this program, read from the preferences at
    // start; the project gets it before each calculation, since a project
    // opened or replaced meanwhile does not carry it.
    SolverSettings solver_;
    CVarnexDoc* document_;
    CVarnexView* view_;
    ProjectExplorer* explorer_;
    PropertyGrid* properties_;
    ValidationList* validationList_ = nullptr;
    // True when the project can run; otherwise its problems are listed.
    bool ValidateOrList();
    QDockWidget* explorerDock_;
    QDockWidget* propertiesDock_;
    QToolBar* standardBar_;
    QToolBar* geometryBar_;
    QLabel* cursorLabel_;
    QActionGroup* levelGroup_;
    HelpWindow* helpWindow_ = nullptr;
    int resultWindowsShown_ = 0;
    std::array<QAction*, static_cast<std::size_t>(Command::count)> actions_{};
    std::unique_ptr<UserPrompts> dialogPrompts_;
    UserPrompts* prompts_ = nullptr;
    RecentFileList recentFiles_;
    RunOptions runOptions_;
    // The panes get their first sizes once, when shown without a stored
    // layout; a restored layout keeps the user's.
    bool paneSizesSet_ = false;
};

} // namespace varnex::ui
