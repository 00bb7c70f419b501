#include "ui/shell/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <vector>

#include "archive/FileVersion.h"
#include "base/AtomicFile.h"
#include "base/Exception.h"
#include "base/ProgramPaths.h"
#include "base/TextFormat.h"
#include "gis/GisOutputs.h"
#include "gis/MapRaster.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "settings/LanguageList.h"
#include "settings/Preferences.h"
#include "settings/Translate.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/DistributionMessages.h"
#include "stochastic/IterationCount.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/ImageFile.h"
#include "ui/common/QtText.h"
#include "ui/common/ToolIcons.h"
#include "ui/forms/FormDialog.h"
#include "ui/forms/InputCorrelationsDialog.h"
#include "ui/forms/PropertyGrid.h"
#include "ui/forms/ValidationList.h"
#include "ui/graphs/GraphWindow.h"
#include "ui/graphs/SensitivityDialog.h"
#include "ui/graphs/StatisticsView.h"
#include "ui/reports/PlumePicture.h"
#include "ui/reports/ProbabilityMapPicture.h"
#include "ui/reports/ReportModel.h"
#include "ui/reports/ReportPrinter.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/shell/CVarnexView.h"
#include "ui/shell/HelpWindow.h"
#include "ui/shell/MenuCaption.h"
#include "ui/shell/ProgramOptionsDialog.h"
#include "ui/shell/ProjectExplorer.h"
#include "ui/shell/ProjectWizard.h"
#include "ui/shell/RunProgressDialog.h"
#include "ui/shell/WindowStateStore.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/PlumeDialog.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/PlumeProgressDialog.h"
#include "ui/siteplan/ProbabilityMapDrawing.h"
#include "ui/siteplan/ProbabilityMapProgressDialog.h"
#include "ui/siteplan/SitePlanPlumeItem.h"
#include "ui/siteplan/SitePlanScene.h"

namespace varnex::ui {

namespace {

using Command = CMainFrame::Command;

// One line of the menu: a (sub)menu opening or closing, a command, a
// separator or the place of the recent files. Captions are English; the
// menu shows them translated. `shortcut` gives a key the caption does not
// name.
struct MenuEntry {
    enum class Kind { menu, end, command, separator, recentFiles };
    Kind kind;
    const char* caption = "";
    Command command = Command::count;
    const char* shortcut = "";
};

MenuEntry Menu(const char* caption) { return {MenuEntry::Kind::menu, caption}; }
MenuEntry End() { return {MenuEntry::Kind::end}; }
MenuEntry Separator() { return {MenuEntry::Kind::separator}; }
MenuEntry Item(const char* caption, Command command, const char* shortcut = "") {
    return {MenuEntry::Kind::command, caption, command, shortcut};
}

const std::vector<MenuEntry>& MenuTable() {
    static const std::vector<MenuEntry> table = {
        Menu(TranslatableText("&File")),
        Item(TranslatableText("&New\tCtrl+N"), Command::fileNew),
        Item(TranslatableText("&Open...\tCtrl+O"), Command::fileOpen),
        Item(TranslatableText("&Save\tCtrl+S"), Command::fileSave),
        Item(TranslatableText("Save &As..."), Command::fileSaveAs),
        Item(TranslatableText("Save Without Results..."), Command::fileSaveWithoutResults),
        Separator(),
        Item(TranslatableText("Import JSON..."), Command::fileImportJson),
        Item(TranslatableText("Export JSON..."), Command::fileExportJson),
        Separator(),
        Menu(TranslatableText("&Print...")),
        Item(TranslatableText("Model"), Command::filePrintModel, "Ctrl+P"),
        Item(TranslatableText("Results"), Command::filePrintResults),
        End(),
        Item(TranslatableText("P&rint Setup..."), Command::filePrintSetup),
        Separator(),
        {MenuEntry::Kind::recentFiles},
        Separator(),
        Item(TranslatableText("E&xit"), Command::fileExit),
        End(),

        Menu(TranslatableText("&Edit")),
        Item(TranslatableText("&Undo\tCtrl+Z"), Command::editUndo),
        Item(TranslatableText("&Redo\tCtrl+Y"), Command::editRedo),
        End(),

        Menu(TranslatableText("&Setup")),
        Item(TranslatableText("Project Details"), Command::setupProjectDetails),
        Item(TranslatableText("Domain Details"), Command::setupDomainDetails),
        Item(TranslatableText("Contaminant Inventory"), Command::setupContaminantInventory),
        Item(TranslatableText("WQS"), Command::setupWqs),
        Item(TranslatableText("Active &Processes"), Command::setupActiveProcesses),
        Separator(),
        Item(TranslatableText("Project &Wizard"), Command::setupProjectWizard),
        Separator(),
        Item(TranslatableText("Options"), Command::setupOptions),
        End(),

        Menu(TranslatableText("S&ource")),
        Item(TranslatableText("&New Source"), Command::sourceNewSource),
        End(),

        Menu(TranslatableText("&Aquifer")),
        Item(TranslatableText("&Aquifer"), Command::aquiferAquifer),
        End(),

        Menu(TranslatableText("&Receptor")),
        Item(TranslatableText("New &Receptor"), Command::receptorNewReceptor),
        End(),

        Menu(TranslatableText("&Model")),
        Menu(TranslatableText("&Level")),
        Item(TranslatableText("Level 1"), Command::modelLevel1),
        Item(TranslatableText("Level 2"), Command::modelLevel2),
        Item(TranslatableText("Level 3"), Command::modelLevel3),
        Item(TranslatableText("Level 3a"), Command::modelLevel3a),
        End(),
        Item(TranslatableText("Correlations"), Command::modelCorrelations),
        Item(TranslatableText("Simulation &Parameters"), Command::modelSimulationParameters),
        Separator(),
        Item(TranslatableText("Contaminant Plume"), Command::modelContaminantPlume),
        Separator(),
        Item(TranslatableText("Run"), Command::modelRun),
        End(),

        Menu(TranslatableText("R&esults")),
        Item(TranslatableText("&Statistics"), Command::resultsStatistics),
        Item(TranslatableText("&Graphical"), Command::resultsGraphical),
        Item(TranslatableText("Sensitivity &Analysis"), Command::resultsSensitivity),
        End(),

        Menu(TranslatableText("&View")),
        Item(TranslatableText("&Toolbar"), Command::viewToolbar),
        Item(TranslatableText("&Drawing Toolbar"), Command::viewDrawingToolbar),
        Item(TranslatableText("&Status Bar"), Command::viewStatusBar),
        Item(TranslatableText("Project &Explorer"), Command::viewProjectExplorer),
        Item(TranslatableText("&Properties"), Command::viewProperties),
        Separator(),
        Item(TranslatableText("&Aquifer Flow Arrow"), Command::viewAquiferFlowArrow),
        Item(TranslatableText("Pa&n"), Command::viewPan),
        Item(TranslatableText("&Redraw"), Command::viewRedraw),
        Menu(TranslatableText("&Zoom")),
        Item(TranslatableText("&In"), Command::viewZoomIn),
        Item(TranslatableText("&Out"), Command::viewZoomOut),
        Item(TranslatableText("&Window"), Command::viewZoomWindow),
        Item(TranslatableText("&Previous"), Command::viewZoomPrevious),
        Item(TranslatableText("&All"), Command::viewZoomAll),
        End(),
        Item(TranslatableText("Plume Legend"), Command::viewPlumeLegend),
        Separator(),
        Item(TranslatableText("DXF Options..."), Command::viewDxfOptions),
        End(),

        Menu(TranslatableText("&Help")),
        Item(TranslatableText("&Help Topics"), Command::helpTopics, "F1"),
        Separator(),
        Item(TranslatableText("&About Varnex2.5..."), Command::helpAbout),
        End(),
    };
    return table;
}

// The input form behind each source entry of the site plan's context menu.
FormKind SourceFormKind(int form) {
    switch (form) {
    case CPhaseView::unsaturatedZoneForm: return FormKind::unsaturatedPathway;
    case CPhaseView::infiltrationForm: return FormKind::infiltration;
    case CPhaseView::contaminantsForm: return FormKind::sourceInventory;
    default: return FormKind::sourceDetails;
    }
}

// Commands whose forms and windows are still to come: present in the menus
// so the command set is complete, but greyed until their handlers exist.
constexpr std::array<Command, 0> pendingCommands{};

// Commands that look at the results of the last run: available only while
// those results belong to the current model.
constexpr Command resultCommands[] = {
    Command::resultsStatistics,
    Command::resultsGraphical,
    Command::resultsSensitivity,
    Command::filePrintResults,
};

constexpr Command levelCommands[] = {Command::modelLevel1, Command::modelLevel2,
                                     Command::modelLevel3, Command::modelLevel3a};

QString ProjectFileFilter() {
    return ToQString(Translate("Varnex Files")) + QStringLiteral(" (*.vnx)");
}
QString JsonFileFilter() {
    return ToQString(Translate("JSON Files")) + QStringLiteral(" (*.json)");
}

QString WithSuffix(QString path, const QString& suffix) {
    if (!path.isEmpty() && QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + suffix;
    return path;
}

// A recent file as the menu lists it: short paths whole, long ones by their
// folder's name and file name.
QString RecentFileText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > 48) {
        const QFileInfo info(path);
        shown = QStringLiteral("...") + QDir::separator() + info.dir().dirName() +
                QDir::separator() + info.fileName();
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace

CMainFrame::CMainFrame(UserInterfaceSettings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings), document_(new CVarnexDoc(this)),
      view_(new CVarnexView(this)), dialogPrompts_(std::make_unique<DialogPrompts>(this)) {
    setObjectName(QStringLiteral("MainFrame"));
    setCentralWidget(view_);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    resize(1280, 800);
    recentFiles_.Load();
    solver_.Read(UserPreferences());

    CreateActions();
    CreateDockPanes();
    CreateToolBars();
    CreateStatusBar();
    ConnectActions();
    Retranslate();

    connect(document_, &CVarnexDoc::ProjectReplaced, this, &CMainFrame::OnProjectReplaced);
    connect(document_, &CVarnexDoc::TitleChanged, this, &CMainFrame::UpdateTitle);
    connect(document_, &CVarnexDoc::HistoryChanged, this, &CMainFrame::UpdateUndoCommands);
    connect(view_->PhaseView(), &CPhaseView::CursorMoved, this, &CMainFrame::ShowCursorPosition);
    connect(view_->PhaseView(), &CPhaseView::ProjectEdited, this,
            [this] { OnProjectEdited(PhaseView()->LastEditName()); });
    connect(
        view_->PhaseView(), &CPhaseView::SourceFormRequested, this,
        [this](int sourceIndex, int form) { OpenSourceForm(sourceIndex, SourceFormKind(form)); });
    connect(view_->PhaseView(), &CPhaseView::ReceptorFormRequested, this,
            [this](int) { EditWithForm(FormKind::receptors); });
    connect(view_->PhaseView(), &CPhaseView::PlumeMapSaveRequested, this,
            &CMainFrame::OnSavePlumeMap);
    connect(view_->PhaseView(), &CPhaseView::MapGeoTiffExportRequested, this,
            &CMainFrame::OnExportMapGeoTiff);
    connect(view_->PhaseView(), &CPhaseView::MapContoursExportRequested, this,
            &CMainFrame::OnExportMapContours);
    connect(view_->PhaseView(), &CPhaseView::DxfOptionsRequested, this,
            &CMainFrame::OnViewDxfOptions);
    PhaseView()->SetProject(&document_->GetProject());
    OnProjectReplaced();
    UpdateTitle();
}

CMainFrame::~CMainFrame() = default;

CPhaseView* CMainFrame::PhaseView() const { return view_->PhaseView(); }

void CMainFrame::SetPrompts(UserPrompts* prompts) {
    prompts_ = prompts;
    PhaseView()->SetPrompts(prompts);
}

UserPrompts& CMainFrame::Prompts() { return prompts_ ? *prompts_ : *dialogPrompts_; }

void CMainFrame::CreateActions() {
    for (QAction*& action : actions_) action = new QAction(this);
    QStyle* appearance = style();
    CommandAction(Command::fileNew)->setIcon(appearance->standardIcon(QStyle::SP_FileIcon));
    CommandAction(Command::fileOpen)
        ->setIcon(appearance->standardIcon(QStyle::SP_DialogOpenButton));
    CommandAction(Command::fileSave)
        ->setIcon(appearance->standardIcon(QStyle::SP_DialogSaveButton));
    CommandAction(Command::filePrintModel)->setIcon(ToolIcons::Print());
    CommandAction(Command::viewProjectExplorer)->setIcon(ToolIcons::Explorer());
    CommandAction(Command::viewProperties)->setIcon(ToolIcons::Properties());
    CommandAction(Command::sourceNewSource)->setIcon(ToolIcons::NewSource());
    CommandAction(Command::receptorNewReceptor)->setIcon(ToolIcons::NewReceptor());
    CommandAction(Command::viewZoomIn)->setIcon(ToolIcons::ZoomIn());
    CommandAction(Command::viewZoomOut)->setIcon(ToolIcons::ZoomOut());
    CommandAction(Command::modelRun)->setIcon(ToolIcons::Run());

    for (Command toggle :
         {Command::viewToolbar, Command::viewDrawingToolbar, Command::viewStatusBar,
          Command::viewProjectExplorer, Command::viewProperties}) {
        CommandAction(toggle)->setCheckable(true);
        CommandAction(toggle)->setChecked(true);
    }
    // The site plan's own switches, checked as the plan shows them.
    for (Command toggle :
         {Command::viewAquiferFlowArrow, Command::viewPan, Command::viewPlumeLegend})
        CommandAction(toggle)->setCheckable(true);
    levelGroup_ = new QActionGroup(this);
    for (Command level : levelCommands) {
        CommandAction(level)->setCheckable(true);
        levelGroup_->addAction(CommandAction(level));
    }
    CommandAction(Command::fileExit)->setMenuRole(QAction::QuitRole);
    CommandAction(Command::helpAbout)->setMenuRole(QAction::AboutRole);
}

void CMainFrame::ConnectActions() {
    const auto on = [this](Command command, void (CMainFrame::*handler)()) {
        connect(CommandAction(command), &QAction::triggered, this, handler);
    };
    on(Command::fileNew, &CMainFrame::OnFileNew);
    on(Command::fileOpen, &CMainFrame::OnFileOpen);
    on(Command::fileSave, &CMainFrame::OnFileSave);
    on(Command::fileSaveAs, &CMainFrame::OnFileSaveAs);
    on(Command::fileSaveWithoutResults, &CMainFrame::OnFileSaveWithoutResults);
    on(Command::fileImportJson, &CMainFrame::OnFileImportJson);
    on(Command::fileExportJson, &CMainFrame::OnFileExportJson);
    on(Command::filePrintModel, &CMainFrame::OnFilePrintModel);
    on(Command::filePrintResults, &CMainFrame::OnFilePrintResults);
    on(Command::filePrintSetup, &CMainFrame::OnFilePrintSetup);
    on(Command::fileExit, &CMainFrame::OnFileExit);
    on(Command::editUndo, &CMainFrame::OnEditUndo);
    on(Command::editRedo, &CMainFrame::OnEditRedo);
    on(Command::setupProjectDetails, &CMainFrame::OnSetupProjectDetails);
    on(Command::setupDomainDetails, &CMainFrame::OnSetupDomainDetails);
    on(Command::setupContaminantInventory, &CMainFrame::OnSetupContaminantInventory);
    on(Command::setupWqs, &CMainFrame::OnSetupWqs);
    on(Command::setupActiveProcesses, &CMainFrame::OnSetupActiveProcesses);
    on(Command::setupProjectWizard, &CMainFrame::OnSetupProjectWizard);
    on(Command::setupOptions, &CMainFrame::OnSetupOptions);
    on(Command::sourceNewSource, &CMainFrame::OnSourceNewSource);
    on(Command::aquiferAquifer, &CMainFrame::OnAquiferAquifer);
    on(Command::receptorNewReceptor, &CMainFrame::OnReceptorNewReceptor);
    for (int level = 0; level < 4; ++level)
        connect(CommandAction(levelCommands[level]), &QAction::triggered, this,
                [this, level] { OnModelLevel(level + 1); });
    on(Command::modelCorrelations, &CMainFrame::OnModelCorrelations);
    on(Command::modelSimulationParameters, &CMainFrame::OnModelSimulationParameters);
    on(Command::modelContaminantPlume, &CMainFrame::OnModelContaminantPlume);
    on(Command::modelRun, &CMainFrame::OnModelRun);
    on(Command::resultsStatistics, &CMainFrame::OnResultsStatistics);
    on(Command::resultsGraphical, &CMainFrame::OnResultsGraphical);
    on(Command::resultsSensitivity, &CMainFrame::OnResultsSensitivity);
    on(Command::viewAquiferFlowArrow, &CMainFrame::OnViewAquiferFlowArrow);
    on(Command::viewPan, &CMainFrame::OnViewPan);
    on(Command::viewRedraw, &CMainFrame::OnViewRedraw);
    on(Command::viewZoomIn, &CMainFrame::OnViewZoomIn);
    on(Command::viewZoomOut, &CMainFrame::OnViewZoomOut);
    on(Command::viewZoomWindow, &CMainFrame::OnViewZoomWindow);
    on(Command::viewZoomPrevious, &CMainFrame::OnViewZoomPrevious);
    on(Command::viewZoomAll, &CMainFrame::OnViewZoomAll);
    on(Command::viewPlumeLegend, &CMainFrame::OnViewPlumeLegend);
    on(Command::viewDxfOptions, &CMainFrame::OnViewDxfOptions);
    on(Command::helpTopics, &CMainFrame::OnHelpTopics);
    on(Command::helpAbout, &CMainFrame::OnHelpAbout);

    // The view toggles follow the bars, however they were shown or hidden
    // (a dock's close box, the toolbar context menu).
    const auto follow = [this](Command command, QAction* viewAction, QWidget* bar) {
        connect(CommandAction(command), &QAction::triggered, bar, &QWidget::setVisible);
        connect(viewAction, &QAction::toggled, CommandAction(command), &QAction::setChecked);
    };
    follow(Command::viewToolbar, standardBar_->toggleViewAction(), standardBar_);
    follow(Command::viewDrawingToolbar, geometryBar_->toggleViewAction(), geometryBar_);
    follow(Command::viewProjectExplorer, explorerDock_->toggleViewAction(), explorerDock_);
    follow(Command::viewProperties, propertiesDock_->toggleViewAction(), propertiesDock_);
    connect(CommandAction(Command::viewStatusBar), &QAction::triggered, statusBar(),
            &QWidget::setVisible);
}

void CMainFrame::CreateToolBars() {
    standardBar_ = addToolBar(QString());
    standardBar_->setObjectName(QStringLiteral("StandardBar"));
    standardBar_->setIconSize(QSize(20, 20));
    for (Command command : {Command::fileNew, Command::fileOpen, Command::fileSave})
        standardBar_->addAction(CommandAction(command));
    standardBar_->addSeparator();
    standardBar_->addAction(CommandAction(Command::filePrintModel));
    standardBar_->addSeparator();
    standardBar_->addAction(CommandAction(Command::viewProjectExplorer));
    standardBar_->addAction(CommandAction(Command::viewProperties));

    geometryBar_ = addToolBar(QString());
    geometryBar_->setObjectName(QStringLiteral("GeometryEditingBar"));
    geometryBar_->setIconSize(QSize(20, 20));
    for (Command command : {Command::sourceNewSource, Command::receptorNewReceptor,
                            Command::viewZoomIn, Command::viewZoomOut})
        geometryBar_->addAction(CommandAction(command));
}

void CMainFrame::CreateDockPanes() {
    explorer_ = new ProjectExplorer(this);
    explorerDock_ = new QDockWidget(this);
    explorerDock_->setObjectName(QStringLiteral("ProjectExplorerBar"));
    explorerDock_->setWidget(explorer_);
    addDockWidget(Qt::LeftDockWidgetArea, explorerDock_);

    properties_ = new PropertyGrid(this);
    propertiesDock_ = new QDockWidget(this);
    propertiesDock_->setObjectName(QStringLiteral("PropertiesBar"));
    propertiesDock_->setWidget(properties_);
    addDockWidget(Qt::LeftDockWidgetArea, propertiesDock_);
    splitDockWidget(explorerDock_, propertiesDock_, Qt::Vertical);

    connect(explorer_, &ProjectExplorer::SelectionChanged, this, &CMainFrame::OnExplorerSelection);
    connect(explorer_, &ProjectExplorer::ItemActivated, this, &CMainFrame::OnExplorerActivated);
    properties_->SetPromptsSource([this]() -> UserPrompts& { return Prompts(); });
    connect(properties_, &PropertyGrid::ProjectEdited, this,
            [this] { OnProjectEdited(TranslatableText("Property Change")); });

    // F6 and Shift+F6 move the keyboard between the site plan and the bars,
    // as in other document programs.
    auto* nextPane = new QShortcut(QKeySequence(Qt::Key_F6), this);
    auto* previousPane = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(nextPane, &QShortcut::activated, this, [this] { FocusNextPane(true); });
    connect(previousPane, &QShortcut::activated, this, [this] { FocusNextPane(false); });
}

void CMainFrame::FocusNextPane(bool forward) {
    std::vector<QWidget*> panes{PhaseView()};
    for (QDockWidget* dock : {explorerDock_, propertiesDock_})
        if (dock->isVisible()) panes.push_back(dock->widget());
    std::size_t current = panes.size();
    for (std::size_t p = 0; p < panes.size(); ++p)
        if (panes[p] == focusWidget() || panes[p]->isAncestorOf(focusWidget())) current = p;
    std::size_t next = 0;
    if (current < panes.size())
        next = forward ? (current + 1) % panes.size() : (current + panes.size() - 1) % panes.size();
    panes[next]->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::CreateStatusBar() {
    cursorLabel_ = new QLabel(this);
    cursorLabel_->setMinimumWidth(180);
    cursorLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addPermanentWidget(cursorLabel_);
    statusBar()->showMessage(ToQString(Translate("Ready")));
}

void CMainFrame::BuildMenus() {
    menuBar()->clear();
    std::vector<QMenu*> open;
    for (const MenuEntry& entry : MenuTable()) {
        switch (entry.kind) {
        case MenuEntry::Kind::menu: {
            const QString title = ToQString(Translate(entry.caption));
            open.push_back(open.empty() ? menuBar()->addMenu(title) : open.back()->addMenu(title));
            break;
        }
        case MenuEntry::Kind::end: open.pop_back(); break;
        case MenuEntry::Kind::separator: open.back()->addSeparator(); break;
        case MenuEntry::Kind::recentFiles: AddRecentFileEntries(open.back()); break;
        case MenuEntry::Kind::command: {
            const MenuCaption caption(entry.caption, Translate(entry.caption));
            QAction* action = CommandAction(entry.command);
            action->setText(caption.Text());
            action->setToolTip(caption.PlainText());
            action->setShortcut(entry.shortcut[0]
                                    ? QKeySequence(QString::fromLatin1(entry.shortcut))
                                    : caption.Shortcut());
            open.back()->addAction(action);
            break;
        }
        }
    }
    // Redo answers both keys in common use.
    CommandAction(Command::editRedo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    UpdateCommandStates();
}

void CMainFrame::AddRecentFileEntries(QMenu* menu) {
    const QStringList& files = recentFiles_.Files();
    if (files.isEmpty()) {
        QAction* placeholder = menu->addAction(ToQString(Translate("Recent File")));
        placeholder->setEnabled(false);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* action = menu->addAction(RecentFileText(i, path));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { OnFileOpenRecent(path); });
    }
}

void CMainFrame::Retranslate() {
    BuildMenus();
    standardBar_->setWindowTitle(ToQString(Translate("Standard")));
    geometryBar_->setWindowTitle(ToQString(Translate("Geometry Editing")));
    explorerDock_->setWindowTitle(ToQString(Translate("Project Explorer")));
    propertiesDock_->setWindowTitle(ToQString(Translate("Properties")));
    properties_->Retranslate();
    statusBar()->showMessage(ToQString(Translate("Ready")));
    UpdateTitle();
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(document_->DisplayName() + QStringLiteral("[*] - Varnex"));
    setWindowModified(document_->IsModified());
}

void CMainFrame::UpdateCommandStates() {
    const Project& project = document_->GetProject();
    for (Command command : pendingCommands) CommandAction(command)->setEnabled(false);
    for (Command command : resultCommands) CommandAction(command)->setEnabled(project.resultsValid);
    const int level = project.simulationLevel;
    for (int i = 0; i < 4; ++i) CommandAction(levelCommands[i])->setChecked(level == i + 1);
    CommandAction(Command::viewStatusBar)->setChecked(!statusBar()->isHidden());
    CommandAction(Command::viewAquiferFlowArrow)->setChecked(PhaseView()->FlowArrowVisible());
    CommandAction(Command::viewPlumeLegend)->setChecked(PhaseView()->PlumeLegendVisible());
    CommandAction(Command::viewPan)
        ->setChecked(PhaseView()->CurrentMode() == CPhaseView::Mode::pan);
    UpdateUndoCommands();
}

void CMainFrame::UpdateUndoCommands() {
    const auto update = [](QAction* action, bool possible, const char* caption, const char* format,
                           const char* edit) {
        action->setEnabled(possible);
        const QString text = possible && edit[0]
                                 ? ToQString(FormatText(TranslateFormat(format), {Translate(edit)}))
                                 : MenuCaption(caption, Translate(caption)).Text();
        action->setText(text);
        action->setToolTip(MenuCaption("", ToStdString(text)).PlainText());
    };
    update(CommandAction(Command::editUndo), document_->CanUndo(),
           TranslatableText("&Undo\tCtrl+Z"), TranslatableText("&Undo %s"), document_->UndoName());
    update(CommandAction(Command::editRedo), document_->CanRedo(),
           TranslatableText("&Redo\tCtrl+Y"), TranslatableText("&Redo %s"), document_->RedoName());
}

void CMainFrame::OnEditUndo() {
    document_->Undo();
    UpdateCommandStates();
}

void CMainFrame::OnEditRedo() {
    document_->Redo();
    UpdateCommandStates();
}

void CMainFrame::OnProjectReplaced() {
    DropProbabilityMap();
    RefreshViews();
    // A project just opened is shown whole, wherever the last one was; an
    // undone edit keeps the place the user is working at.
    if (!document_->ReplacingByUndo()) PhaseView()->ZoomAll();
}

void CMainFrame::RefreshViews() {
    explorer_->ShowProject(document_->GetProject());
    PhaseView()->SetDocumentFolder(document_->DocumentFolder());
    PhaseView()->RefreshFromProject();
    UpdateCommandStates();
}

void CMainFrame::OnProjectEdited(const char* editName) {
    document_->RecordEdit(editName);
    DropProbabilityMap();
    RefreshViews();
    // An open list of problems follows every edit, from a form, the
    // Properties pane or the plan, so that it shows what is left to mend.
    if (validationList_ && !validationList_->isHidden()) {
        std::string report;
        std::vector<ValidationProblem> problems;
        document_->GetProject().Validate(report, problems);
        validationList_->ShowProblems(problems);
    }
}

void CMainFrame::OnProjectEdited() { OnProjectEdited(TranslatableText("Edit")); }

void CMainFrame::OnExplorerSelection(const ProjectItem& item) {
    properties_->ShowItem(document_->GetProject(), item);
}

void CMainFrame::OnExplorerActivated(const ProjectItem& item) {
    using Kind = ProjectItem::Kind;
    switch (item.kind) {
    case Kind::source: OpenSourceForm(item.index, FormKind::sourceDetails); break;
    case Kind::pathway: OpenSourceForm(item.index, FormKind::unsaturatedPathway); break;
    case Kind::sourceGroup: OnSourceNewSource(); break;
    case Kind::receptor:
    case Kind::receptorGroup: EditWithForm(FormKind::receptors); break;
    case Kind::contaminant:
    case Kind::contaminantGroup: EditWithForm(FormKind::contaminantInventory); break;
    case Kind::aquifer: EditWithForm(FormKind::aquiferPathway); break;
    case Kind::none: break;
    }
}

bool CMainFrame::ValidateOrList() {
    std::string report;
    std::vector<ValidationProblem> problems;
    if (document_->GetProject().Validate(report, problems)) {
        if (validationList_) validationList_->hide();
        return true;
    }
    // The problems stay listed beside the program, each row leading to its
    // form, rather than in a box that must be closed before mending them.
    if (!validationList_) {
        validationList_ = new ValidationList(this);
        connect(validationList_, &ValidationList::ProblemChosen, this,
                &CMainFrame::OpenValidationProblem);
    }
    validationList_->Retranslate();
    validationList_->ShowProblems(problems);
    validationList_->show();
    validationList_->raise();
    return false;
}

void CMainFrame::OpenValidationProblem(int row) {
    if (!validationList_ || row < 0 ||
        static_cast<std::size_t>(row) >= validationList_->Problems().size())
        return;
    const ProblemPlace place = PlaceOf(validationList_->Problems()[static_cast<std::size_t>(row)]);
    Project& project = document_->GetProject();
    if (place.sourceIndex >= 0 &&
        static_cast<std::size_t>(place.sourceIndex) >= project.sources.size())
        return;
    if (FormDialog::EditProject(place.kind, place.sourceIndex, project, Prompts(), this,
                                place.field, place.entity))
        OnProjectEdited();
}

bool CMainFrame::EditWithForm(FormKind kind, int sourceIndex) {
    if (!FormDialog::EditProject(kind, sourceIndex, document_->GetProject(), Prompts(), this))
        return false;
    OnProjectEdited(FormKindTitle(kind));
    return true;
}

void CMainFrame::OpenSourceForm(int sourceIndex, FormKind kind) {
    if (sourceIndex < 0 ||
        static_cast<std::size_t>(sourceIndex) >= document_->GetProject().sources.size())
        return;
    switch (kind) {
    case FormKind::sourceDetails:
    case FormKind::infiltration:
    case FormKind::unsaturatedPathway:
    case FormKind::sourceInventory: EditWithForm(kind, sourceIndex); break;
    default: break;
    }
}

void CMainFrame::ShowCursorPosition(double x, double y) {
    cursorLabel_->setText(ToQString(FormatText(TranslateFormat("(%.3f,%.3f)"), {x, y})));
}

QString CMainFrame::VersionText(const FileVersion& version) {
    // The translated format has been checked to take the same conversions.
    const std::string format = TranslateFormat("Version %d.%02d.%04d");
    char text[128];
    std::snprintf(text, sizeof text, format.c_str(), version.major, version.minor, version.build);
    return ToQString(text);
}

// ---------------------------------------------------------------- start-up

void CMainFrame::RestoreWindowState() {
    paneSizesSet_ = WindowStateStore::Restore(*this) || paneSizesSet_;
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (paneSizesSet_) return;
    paneSizesSet_ = true;
    // Wide enough for distribution texts beside their labels.
    resizeDocks({explorerDock_}, {460}, Qt::Horizontal);
    resizeDocks({explorerDock_, propertiesDock_}, {height() * 2 / 5, height() * 3 / 5},
                Qt::Vertical);
}

void CMainFrame::ExecuteStartChoice(StartDialog::Choice choice, const QString& recentFile) {
    // The start dialog may have taken vanished files off the list.
    BuildMenus();
    if (choice == StartDialog::Choice::openRecent)
        OpenDocumentFile(recentFile);
    else if (choice == StartDialog::Choice::open)
        OnFileOpen();
    else if (choice == StartDialog::Choice::newProject)
        OnFileNew();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    WindowStateStore::Save(*this);
    settings_.SaveAtExit();
    event->accept();
}

// ---------------------------------------------------------------- documents

bool CMainFrame::MaybeSave() {
    if (!document_->IsModified()) return true;
    const QString question = ToQString(FormatText(TranslateFormat("Save changes to %s?"),
                                                  {ToStdString(document_->DisplayName())}));
    switch (Prompts().AskYesNoCancel(question)) {
    case UserPrompts::Answer::yes: return SaveDocument();
    case UserPrompts::Answer::no: return true;
    case UserPrompts::Answer::cancel: break;
    }
    return false;
}

bool CMainFrame::OpenDocumentFile(const QString& path) {
    QString error;
    bool damaged = false;
    bool opened = document_->OpenFile(path, error, false, &damaged);
    // A file changed after it was saved opens only when the user, told
    // what is wrong, asks for it.
    if (!opened && damaged) {
        if (Prompts().AskYesNo(error + QStringLiteral("\n\n") +
                               ToQString(Translate("Open it anyway?"))))
            opened = document_->OpenFile(path, error, true);
    } else if (!opened) {
        Prompts().ShowError(error);
    }
    if (!opened) {
        if (!QFileInfo::exists(path)) {
            recentFiles_.Remove(path);
            BuildMenus();
        }
        return false;
    }
    recentFiles_.Add(path);
    BuildMenus();
    return true;
}

bool CMainFrame::ImportJsonFile(const QString& path) {
    QString error;
    if (!document_->ImportJson(path, error)) {
        Prompts().ShowError(error);
        return false;
    }
    return true;
}

bool CMainFrame::ExportJsonFile(const QString& path) {
    QString error;
    if (!document_->ExportJson(path, error)) {
        Prompts().ShowError(error);
        return false;
    }
    return true;
}

bool CMainFrame::SaveDocumentTo(const QString& path, bool withResults) {
    QString error;
    if (!document_->SaveFile(path, withResults, error)) {
        Prompts().ShowError(error);
        return false;
    }
    recentFiles_.Add(document_->FilePath());
    BuildMenus();
    return true;
}

bool CMainFrame::SaveDocument() {
    if (document_->FilePath().isEmpty()) return SaveDocumentAs(true);
    return SaveDocumentTo(document_->FilePath(), true);
}

bool CMainFrame::SaveDocumentAs(bool withResults) {
    const QString path =
        WithSuffix(Prompts().ChooseSaveFile(ToQString(Translate("Save As")),
                                            document_->SuggestedSavePath(), ProjectFileFilter()),
                   QStringLiteral("vnx"));
    if (path.isEmpty()) return false;
    return SaveDocumentTo(path, withResults);
}

void CMainFrame::OnFileNew() {
    if (!MaybeSave()) return;
    QString error;
    if (!document_->NewDocument(error)) Prompts().ShowError(error);
    // A new project is built by walking through its forms.
    OnSetupProjectWizard();
}

void CMainFrame::OnFileOpen() {
    if (!MaybeSave()) return;
    const QString path =
        Prompts().ChooseOpenFile(ToQString(Translate("Open")), ProjectFileFilter());
    if (!path.isEmpty()) OpenDocumentFile(path);
}

void CMainFrame::OnFileSave() { SaveDocument(); }

void CMainFrame::OnFileSaveAs() { SaveDocumentAs(true); }

void CMainFrame::OnFileSaveWithoutResults() { SaveDocumentAs(false); }

void CMainFrame::OnFileImportJson() {
    if (!MaybeSave()) return;
    const QString path =
        Prompts().ChooseOpenFile(ToQString(Translate("Import JSON")), JsonFileFilter());
    if (!path.isEmpty()) ImportJsonFile(path);
}

void CMainFrame::OnFileExportJson() {
    QString suggested = document_->SuggestedSavePath();
    if (!suggested.isEmpty())
        suggested = QFileInfo(suggested).dir().filePath(QFileInfo(suggested).completeBaseName());
    const QString path = WithSuffix(
        Prompts().ChooseSaveFile(ToQString(Translate("Export JSON")), suggested, JsonFileFilter()),
        QStringLiteral("json"));
    if (!path.isEmpty()) ExportJsonFile(path);
}

void CMainFrame::OnExportMapGeoTiff() {
    if (!PhaseView()->ShowsMap()) return;
    QString suggested = document_->SuggestedSavePath();
    if (!suggested.isEmpty())
        suggested = QFileInfo(suggested).dir().filePath(QFileInfo(suggested).completeBaseName());
    QString path = Prompts().ChooseSaveFile(
        ToQString(Translate("Export Map as GeoTIFF")), suggested,
        ToQString(Translate("GeoTIFF Raster")) + QStringLiteral(" (*.tif)"));
    if (path.isEmpty()) return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("tif") && suffix != QStringLiteral("tiff"))
        path = WithSuffix(path, QStringLiteral("tif"));
    ExportMapGeoTiff(path);
}

void CMainFrame::OnExportMapContours() {
    if (!PhaseView()->ShowsMap()) return;
    QString suggested = document_->SuggestedSavePath();
    if (!suggested.isEmpty())
        suggested = QFileInfo(suggested).dir().filePath(QFileInfo(suggested).completeBaseName() +
                                                        QStringLiteral("-contours"));
    QString path = Prompts().ChooseSaveFile(
        ToQString(Translate("Export Contours as GeoJSON")), suggested,
        ToQString(Translate("GeoJSON Lines")) + QStringLiteral(" (*.geojson);;") +
            ToQString(Translate("GeoPackage")) + QStringLiteral(" (*.gpkg)"));
    if (path.isEmpty()) return;
    if (ContourFormatOfPath(ToStdString(path)).empty())
        path = WithSuffix(path, QStringLiteral("geojson"));
    // GeoJSON cannot say "local plan metres": without a coordinate system a
    // GIS reads it as longitude and latitude and puts it off the coast of
    // Africa. Say so once the file is there.
    if (ExportMapContours(path) && document_->GetProject().coordinateSystemEpsg == 0 &&
        ContourFormatOfPath(ToStdString(path)) == "geojson")
        Prompts().ShowWarning(ToQString(
            Translate("The contours were written without a coordinate system. GIS programs read "
                      "GeoJSON without one as longitude and latitude: set the project's coordinate "
                      "system (Domain form) or export a GeoPackage (.gpkg) for a local plan.")));
}

namespace {

// The raster of the map on the plan: the probability map when there is
// one, else the central-value plume.
MapRaster RasterOfShownMap(const Project& project, const ProbabilityMap* map) {
    return map ? RasterOfProbabilityMap(*map, project.coordinateSystemEpsg)
               : RasterOfPlume(project);
}

// Writes `bytes` over `path` whole or not at all; false with the message.
bool WriteMapFile(const QString& path, const std::string& bytes, QString& error) {
    std::error_code reason;
    if (ReplaceFileAtomically(ToStdString(path), bytes, reason)) return true;
    error = ToQString(WithSystemReason(FormatText(TranslateFormat("Cannot write the file %s"),
                                                  {ToStdString(QDir::toNativeSeparators(path))}),
                                       reason));
    return false;
}

} // namespace

bool CMainFrame::ExportMapGeoTiff(const QString& path) {
    const std::shared_ptr<const ProbabilityMap> map = document_->GetProbabilityMap();
    const MapRaster raster = RasterOfShownMap(document_->GetProject(), map.get());
    std::string why;
    const std::optional<std::string> bytes = GeoTiffBytes(raster, why);
    QString error;
    if (!bytes || bytes->empty()) {
        error = ToQString(
            FormatText(TranslateFormat("The map could not be made a GeoTIFF: %s"), {why}));
    } else if (WriteMapFile(path, *bytes, error)) {
        return true;
    }
    Prompts().ShowError(error);
    return false;
}

bool CMainFrame::ExportMapContours(const QString& path) {
    const Project& project = document_->GetProject();
    const std::shared_ptr<const ProbabilityMap> map = document_->GetProbabilityMap();
    const MapRaster raster = RasterOfShownMap(project, map.get());
    std::vector<ContourRequest> contours;
    if (map) {
        contours = StandardContours(*map, project.plumeMap.shownPercentile);
    } else if (const double standard = PlumeStandard(project); standard > 0.0) {
        contours.push_back({"concentration_mg_per_l", {standard}});
    }
    if (contours.empty()) {
        Prompts().ShowError(ToQString(
            Translate("The contaminant has no water quality standard: the map has no contours "
                      "to export.")));
        return false;
    }
    std::string format = ContourFormatOfPath(ToStdString(path));
    if (format.empty()) format = "geojson";
    std::string why;
    const std::optional<std::string> bytes = ContourBytes(raster, contours, format, why);
    QString error;
    if (!bytes || bytes->empty()) {
        error = ToQString(FormatText(TranslateFormat("The contours could not be written as %s: %s"),
                                     {format, why}));
    } else if (WriteMapFile(path, *bytes, error)) {
        return true;
    }
    Prompts().ShowError(error);
    return false;
}

ReportModel CMainFrame::ResultsReportWithMap() const {
    const Project& project = document_->GetProject();
    ReportModel model = ReportBuilder::ResultsReport(project);
    if (const std::shared_ptr<const ProbabilityMap> map = document_->GetProbabilityMap())
        ReportBuilder::AddProbabilityMapPage(
            model, project,
            std::make_shared<ProbabilityMapPicture>(project, PhaseView()->BackgroundMap(), *map));
    return model;
}

void CMainFrame::OnFilePrintModel() {
    // The platform's dialog also offers printing to a PDF file.
    QPrinter& printer = ReportPrinter::SharedPrinter();
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(ToQString(Translate("Model")));
    if (dialog.exec() != QDialog::Accepted) return;
    if (ReportPrinter::Print(ReportBuilder::ModelReport(document_->GetProject()), printer) == 0)
        Prompts().ShowError(ToQString(Translate("The report could not be printed.")));
}

void CMainFrame::OnFilePrintResults() {
    const Project& project = document_->GetProject();
    // The command is greyed without results; a stale state is refused too.
    if (!project.resultsValid) return;
    QPrinter& printer = ReportPrinter::SharedPrinter();
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(ToQString(Translate("Results")));
    if (dialog.exec() != QDialog::Accepted) return;
    if (ReportPrinter::Print(ResultsReportWithMap(), printer) == 0)
        Prompts().ShowError(ToQString(Translate("The report could not be printed.")));
}

void CMainFrame::OnFilePrintSetup() {
    QPageSetupDialog dialog(&ReportPrinter::SharedPrinter(), this);
    dialog.exec();
}

void CMainFrame::OnFileOpenRecent(const QString& path) {
    if (!MaybeSave()) return;
    OpenDocumentFile(path);
}

void CMainFrame::OnFileExit() { close(); }

// ---------------------------------------------------------------- setup

void CMainFrame::OnSetupProjectDetails() { EditWithForm(FormKind::projectDetails); }
void CMainFrame::OnSetupDomainDetails() { EditWithForm(FormKind::domain); }
void CMainFrame::OnSetupContaminantInventory() { EditWithForm(FormKind::contaminantInventory); }
void CMainFrame::OnSetupWqs() { EditWithForm(FormKind::waterQualityStandard); }
void CMainFrame::OnSetupActiveProcesses() { EditWithForm(FormKind::activeProcesses); }

void CMainFrame::OnSetupProjectWizard() {
    Project& project = document_->GetProject();
    ProjectWizard wizard(project, Prompts(), this);
    if (wizard.exec() != QDialog::Accepted) return;
    const std::string before = WriteProjectJson(project);
    if (WriteProjectJson(wizard.Result()) == before) return;
    project = wizard.Result();
    project.InvalidateResults();
    OnProjectEdited(TranslatableText("Project Wizard"));
}

void CMainFrame::OnSetupOptions() {
    std::vector<std::string> languages;
    try {
        languages = ListLanguages();
    } catch (const Exception& failure) {
        Prompts().ShowError(ToQString(failure.Message()));
    }
    ProgramOptionsDialog dialog(languages, settings_.languageName, settings_.autoComplete,
                                solver_.kernel, this);
    if (dialog.exec() != QDialog::Accepted) return;
    // A preference that cannot be written is not reported, as for the
    // language: the choice holds for the session all the same.
    ApplySolverKernel(dialog.ChosenKernel());
    ApplyOptions(dialog.ChosenLanguage(), dialog.ChosenAutoComplete());
}

bool CMainFrame::ApplySolverKernel(SolverKernel kernel) {
    // Results already computed keep the kernel they were made with
    // (Project::resultsKernel); the choice reaches the next calculation.
    solver_.kernel = kernel;
    return solver_.Write(UserPreferences());
}

bool CMainFrame::ApplyOptions(const std::string& language, bool autoComplete) {
    bool applied = true;
    try {
        settings_.ApplyOptions(language, autoComplete);
    } catch (const Exception& failure) {
        Prompts().ShowError(ToQString(failure.Message()));
        applied = false;
    }
    // Whatever language is now in force, everything shown follows it.
    BuildDistributionMessageTable();
    document_->GetProject().ApplyNames();
    Retranslate();
    explorer_->ShowProject(document_->GetProject());
    RetranslateOpenWindows();
    return applied;
}

void CMainFrame::RetranslateOpenWindows() {
    // The site plan paints its captions (flow arrow, scale bar, legend) in
    // the language of the moment: it only has to be painted again.
    PhaseView()->RefreshFromProject();
    PhaseView()->viewport()->update();
    // The result windows refill their lists and captions from the project.
    for (StatisticsView* view : findChildren<StatisticsView*>()) view->RefreshFromProject();
    for (GraphWindow* window : findChildren<GraphWindow*>()) window->RefreshFromProject();
    // Windows that translate their own texts hear of the change as Qt
    // announces any language change.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(window, &change);
    }
}

// ---------------------------------------------------------------- entities

void CMainFrame::OnSourceNewSource() {
    Project& project = document_->GetProject();
    // The source is drawn up on a copy and joins the project only when its
    // forms are finished, so a cancelled source leaves no trace.
    Project draft(project);
    Source source;
    const std::string base = Translate("New Source");
    source.name = base;
    for (int n = 2;; ++n) {
        bool taken = false;
        for (const Source& other : project.sources) taken = taken || other.name == source.name;
        if (!taken) break;
        source.name = base + " " + std::to_string(n);
    }
    std::string error;
    if (!draft.AddSource(source, error, false)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    const int index = static_cast<int>(draft.sources.size()) - 1;
    ProjectWizard wizard(draft, index, Prompts(), this);
    wizard.setWindowTitle(ToQString(Translate("&New Source")).remove(QLatin1Char('&')));
    if (wizard.exec() != QDialog::Accepted) return;
    // Above Level 2 a source gets its own receptor just downstream of it.
    const bool withReceptor = project.simulationLevel > SimulationLevel::level2;
    if (!project.AddSource(wizard.Result().sources[static_cast<std::size_t>(index)], error,
                           withReceptor)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    OnProjectEdited(TranslatableText("New Source"));
}

void CMainFrame::OnAquiferAquifer() { EditWithForm(FormKind::aquiferPathway); }

void CMainFrame::OnReceptorNewReceptor() {
    Project& project = document_->GetProject();
    Receptor receptor;
    const std::string base = Translate("New Receptor");
    receptor.name = base;
    for (int n = 2;; ++n) {
        bool taken = false;
        for (const Receptor& other : project.receptors)
            taken = taken || other.name == receptor.name;
        if (!taken) break;
        receptor.name = base + " " + std::to_string(n);
    }
    // In the middle of what the user is looking at.
    const QRectF area = PhaseView()->VisiblePlanArea();
    receptor.x = area.center().x();
    receptor.y = area.center().y();
    std::string error;
    if (!project.AddReceptor(receptor, error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    project.InvalidateResults();
    // The receptor and what its form sets are one step: undo takes the new
    // receptor away whole.
    RefreshViews();
    FormDialog::EditProject(FormKind::receptors, -1, project, Prompts(), this);
    OnProjectEdited(TranslatableText("New Receptor"));
}

// ---------------------------------------------------------------- model

void CMainFrame::OnModelLevel(int level) {
    Project& project = document_->GetProject();
    if (project.simulationLevel != level) {
        project.simulationLevel = level;
        // Results of another level say nothing about this one.
        project.InvalidateResults();
        OnProjectEdited(TranslatableText("Simulation Level"));
    }
    UpdateCommandStates();
}

void CMainFrame::OnModelCorrelations() {
    Project& project = document_->GetProject();
    InputCorrelationsDialog dialog(project, Prompts(), this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Changed()) return;
    project.correlations = dialog.Correlations();
    // The last run's results were sampled with the old correlations.
    project.InvalidateResults();
    OnProjectEdited(TranslatableText("Correlations"));
}

void CMainFrame::OnModelSimulationParameters() { EditWithForm(FormKind::simulationParameters); }

void CMainFrame::OnModelContaminantPlume() {
    Project& project = document_->GetProject();
    if (!ValidateOrList()) return;
    // Refused before the settings are asked for, not after.
    if (project.simulationLevel != SimulationLevel::level3 &&
        project.simulationLevel != SimulationLevel::level3a) {
        Prompts().ShowError(ToQString(
            Translate("A contaminant plume can only be calculated at Level 3 or Level 3a.")));
        return;
    }
    if (project.contaminants.empty()) {
        Prompts().ShowError(ToQString(Translate("Choose a contaminant for the plume.")));
        return;
    }
    PlumeRequest request;
    {
        PlumeDialog settings(project, PhaseView()->VisiblePlanArea(), Prompts(), this);
        if (settings.exec() != QDialog::Accepted) return;
        if (settings.Kind() == PlumeMapKind::probability) {
            const ProbabilityMapRequest mapRequest = settings.MapRequest();
            ComputeProbabilityMap(mapRequest);
            return;
        }
        if (!project.plume.active) return;
        request = settings.Request();
    }
    // The plan shows one map: the new central-value plume replaces a
    // probability map.
    DropProbabilityMap();
    request.title = ToStdString(document_->DisplayName());
    bool computed = false;
    QString failure;
    {
        // The calculation samples central values into every input, adds
        // and moves receptors and overwrites the result vectors: it works on
        // a copy, so that the run's samples and results stay (and are saved)
        // and the plan may paint the project meanwhile. Only the grid comes
        // back.
        Project working = project;
        working.solverKernel = solver_.kernel;
        PlumeProgressDialog progress(working, request, this);
        computed = progress.RunModal();
        failure = progress.FailureMessage();
        project.plume = working.plume;
    }
    // Plume mode lasts as long as the calculation, whatever its outcome: a
    // later run computes every contaminant.
    project.plume.active = false;
    project.plume.receptorIndex = -1;
    // A stopped or failed grid is incomplete: the plan shows none.
    if (!computed) project.plume.columns.clear();
    if (!failure.isEmpty()) Prompts().ShowError(failure);
    OnProjectEdited(TranslatableText("Contaminant Plume"));
}

void CMainFrame::ComputeProbabilityMap(const ProbabilityMapRequest& mapRequest) {
    Project& project = document_->GetProject();
    // The choices of the dialog are the project's; they are kept whatever
    // follows (but are not a change of the model that discards the run).
    document_->RecordEdit(TranslatableText("Contaminant Plume"));
    UpdateCommandStates();
    if (!project.runStateInMemory) {
        if (!Prompts().AskYesNo(ToQString(Translate("The probability map uses the iterations of "
                                                    "the last run. Run the simulation now?"))))
            return;
        RunAndSave();
        if (!project.runStateInMemory) return;
    }
    // Another quantity of the map in memory (the mean after the exceedance,
    // another percentile computed) is drawn at once, without computing.
    if (const std::shared_ptr<const ProbabilityMap> shown = document_->GetProbabilityMap();
        shown && shown->complete && SameMap(*shown, mapRequest)) {
        ShowProbabilityMap(*shown);
        return;
    }
    ProbabilityMapRequest request = mapRequest;
    request.title = ToStdString(document_->DisplayName());
    // Blocks of about a fiftieth of the grid, so that the progress bar moves
    // steadily and Stop keeps all but the block under way; never more than
    // the engine's own bound of about 64 MB of iteration values.
    const std::size_t iterations = static_cast<std::size_t>(std::max(1, IterationCount()));
    const std::size_t memoryBound =
        std::max<std::size_t>(1, (std::size_t{64} << 20) / (sizeof(double) * iterations));
    request.blockNodes =
        std::min(std::max<std::size_t>(request.grid.Nodes() / 50, 16), memoryBound);
    ProbabilityMap map;
    bool computed = false;
    QStringList failures;
    {
        // On the project itself: a copy has no samples (a copied input is a
        // new input). The window is modal, so nothing edits the project
        // meanwhile; the calculation changes no result of the run.
        ProbabilityMapProgressDialog progress(project, request, this);
        computed = progress.RunModal();
        failures = progress.Failures();
        map = progress.Map();
    }
    if (!failures.isEmpty()) Prompts().ShowError(failures.join(QLatin1Char('\n')));
    // A stopped map keeps the nodes computed; a refused one has none.
    bool anyNode = false;
    for (double value : map.mean) anyNode = anyNode || !std::isnan(value);
    if (!computed && !anyNode) return;
    ShowProbabilityMap(std::move(map));
}

void CMainFrame::ShowProbabilityMap(ProbabilityMap map) {
    document_->SetProbabilityMap(std::move(map));
    PhaseView()->SetProbabilityMap(std::make_shared<const ProbabilityMapDrawing>(
        *document_->GetProbabilityMap(), document_->GetProject().plumeMap));
    UpdateCommandStates();
}

bool CMainFrame::SameMap(const ProbabilityMap& map, const ProbabilityMapRequest& request) {
    const MapGrid& a = map.grid;
    const MapGrid& b = request.grid;
    return map.contaminantIndex == request.contaminantIndex && map.timeYears == request.timeYears &&
           map.percentileLevels == request.percentileLevels && a.leftX == b.leftX &&
           a.topY == b.topY && a.spacingXM == b.spacingXM && a.spacingYM == b.spacingYM &&
           a.columns == b.columns && a.rows == b.rows;
}

void CMainFrame::DropProbabilityMap() {
    document_->ClearProbabilityMap();
    PhaseView()->SetProbabilityMap(nullptr);
}

void CMainFrame::OnModelRun() { RunAndSave(); }

bool CMainFrame::RunAndSave() {
    Project& project = document_->GetProject();
    if (!ValidateOrList()) return false;
    bool finished = false;
    QStringList warnings;
    QString failure;
    bool stopped = false;
    project.solverKernel = solver_.kernel;
    // The map belongs to the run it was computed from.
    DropProbabilityMap();
    {
        RunProgressDialog dialog(project, Prompts(), this);
        finished = dialog.RunModal(runOptions_);
        warnings = dialog.Warnings();
        failure = dialog.FailureMessage();
        stopped = dialog.Stopped();
    }
    UpdateCommandStates();
    if (stopped) return false;
    for (const QString& warning : warnings) Prompts().ShowWarning(warning);
    if (!finished) {
        if (!failure.isEmpty()) Prompts().ShowError(failure);
        return false;
    }
    // The samples and results in memory differ from the file until saved.
    document_->SetModified(true);
    return SaveDocument();
}

// ---------------------------------------------------------------- results

// The result windows stay open beside the main window; each looks its
// vectors up again whenever it redraws, and a replaced project refills
// their selectors.
void CMainFrame::OnResultsStatistics() {
    auto* view = new StatisticsView(document_->GetProject(), this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    connect(document_, &CVarnexDoc::ProjectReplaced, view, &StatisticsView::RefreshFromProject);
    ShowResultWindow(*view);
}

void CMainFrame::OnResultsGraphical() {
    auto* window = new GraphWindow(document_->GetProject(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(document_, &CVarnexDoc::ProjectReplaced, window, &GraphWindow::RefreshFromProject);
    ShowResultWindow(*window);
}

// A tool window has no place of its own: window managers put it in a
// corner, over the menus. Over the site plan it hides no command or pane,
// and the cascade keeps a second window from hiding the first.
void CMainFrame::ShowResultWindow(QWidget& window) {
    const int step = 28 * (resultWindowsShown_++ % 8);
    const QWidget& plan = centralWidget() ? *centralWidget() : static_cast<const QWidget&>(*this);
    QPoint topLeft = plan.mapToGlobal(QPoint(step, step));
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = window.frameGeometry().size();
        topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - size.width())));
        topLeft.setY(
            std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - size.height())));
    }
    window.move(topLeft);
    window.show();
}

void CMainFrame::OnResultsSensitivity() {
    if (!document_->GetProject().resultsValid) return;
    SensitivityDialog dialog(document_->GetProject(), this);
    dialog.exec();
}

// ---------------------------------------------------------------- view

void CMainFrame::OnViewAquiferFlowArrow() {
    PhaseView()->SetFlowArrowVisible(!PhaseView()->FlowArrowVisible());
    UpdateCommandStates();
}
void CMainFrame::OnViewPan() {
    PhaseView()->TogglePan();
    UpdateCommandStates();
}
void CMainFrame::OnViewRedraw() { PhaseView()->Redraw(); }
void CMainFrame::OnViewZoomIn() { PhaseView()->ZoomIn(); }
void CMainFrame::OnViewZoomOut() { PhaseView()->ZoomOut(); }
void CMainFrame::OnViewZoomWindow() { PhaseView()->BeginZoomWindow(); }
void CMainFrame::OnViewZoomPrevious() { PhaseView()->ZoomPrevious(); }
void CMainFrame::OnViewZoomAll() { PhaseView()->ZoomAll(); }

void CMainFrame::OnSavePlumeMap() {
    QString suggested = document_->SuggestedSavePath();
    if (!suggested.isEmpty())
        suggested = QFileInfo(suggested).dir().filePath(QFileInfo(suggested).completeBaseName());
    QString path =
        Prompts().ChooseSaveFile(ToQString(Translate("Save Plume Map As")), suggested,
                                 ToQString(Translate("PNG Image (*.png);;SVG Drawing (*.svg)")));
    if (path.isEmpty()) return;
    if (!IsImageFileName(path)) path = WithSuffix(path, QStringLiteral("png"));
    if (!SavePlumeMap(path))
        Prompts().ShowError(ToQString(FormatText(TranslateFormat("Cannot write the file %s"),
                                                 {ToStdString(QDir::toNativeSeparators(path))})));
}

bool CMainFrame::SavePlumeMap(const QString& path) {
    const SitePlanPlumeItem* plume = PhaseView()->Scene()->PlumeItem();
    if (!plume) return false;
    // The mapped area is the plume's cells, each centred on its grid node.
    const PlumePicture picture(document_->GetProject(), PhaseView()->BackgroundMap(),
                               plume->sceneBoundingRect());
    return picture.Write(path, picture.DefaultSize());
}

void CMainFrame::OnViewDxfOptions() { EditWithForm(FormKind::dxfOptions); }

void CMainFrame::OnViewPlumeLegend() {
    PhaseView()->SetPlumeLegendVisible(!PhaseView()->PlumeLegendVisible());
    UpdateCommandStates();
}

// ---------------------------------------------------------------- help

void CMainFrame::OnHelpTopics() {
    const QString guide = ToQString(ProgramDirectory()) + QStringLiteral("/user-guide.md");
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    if (!helpWindow_->ShowGuide(guide))
        Prompts().ShowError(ToQString(FormatText(TranslateFormat("Cannot open the user guide %s"),
                                                 {ToStdString(QDir::toNativeSeparators(guide))})));
}

void CMainFrame::OnHelpAbout() {
    const QString title = MenuCaption("", Translate("&About Varnex2.5...")).PlainText();
    const QString text =
        QStringLiteral("<h3>Varnex 2.5</h3><p>%1</p><p>%2</p>")
            .arg(VersionText(ProgramVersion()).toHtmlEscaped(),
                 ToQString(
                     Translate("Probabilistic assessment of contaminants reaching groundwater"))
                     .toHtmlEscaped());
    Prompts().ShowInformation(title, text);
}

} // namespace varnex::ui
