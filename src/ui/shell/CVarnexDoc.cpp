#include "ui/shell/CVarnexDoc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <vector>

#include "archive/FileVersion.h"
#include "base/AtomicFile.h"
#include "base/Exception.h"
#include "base/TextFormat.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

// Now, in the form a save writes as the project's date.
std::string Today() {
    return ToStdString(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

} // namespace

CVarnexDoc::CVarnexDoc(QObject* parent) : QObject(parent) {
    QString ignored;
    NewDocument(ignored);
}

QString CVarnexDoc::DisplayName() const {
    if (!filePath_.isEmpty()) return QFileInfo(filePath_).fileName();
    if (!importedName_.isEmpty()) return QFileInfo(importedName_).completeBaseName();
    return ToQString(Translate("unnamed"));
}

QString CVarnexDoc::DocumentFolder() const {
    const QString source = !filePath_.isEmpty() ? filePath_ : importedName_;
    return source.isEmpty() ? QString() : QFileInfo(source).absolutePath();
}

QString CVarnexDoc::SuggestedSavePath() const {
    if (!filePath_.isEmpty()) return filePath_;
    if (!importedName_.isEmpty()) {
        const QFileInfo json(importedName_);
        return json.dir().filePath(json.completeBaseName() + QStringLiteral(".vnx"));
    }
    return QString();
}

void CVarnexDoc::SetModified(bool modified) {
    const bool was = IsModified();
    if (modified) {
        unsavedExtras_ = true;
    } else {
        cleanStateId_ = stateId_;
        unsavedExtras_ = false;
    }
    if (IsModified() != was) emit TitleChanged();
}

CVarnexDoc::~CVarnexDoc() = default;

QString CVarnexDoc::StateFilePath() {
    if (!stateFolder_) stateFolder_ = std::make_unique<QTemporaryDir>();
    return stateFolder_->isValid() ? stateFolder_->filePath(QStringLiteral("state.vnx"))
                                   : QString();
}

std::string CVarnexDoc::ModelState() {
    const QString path = StateFilePath();
    if (path.isEmpty()) return std::string();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return std::string();
    file.close();
    // Written with a fixed date and name, so that equal models give equal
    // bytes; what the save changes beyond the file is put back.
    const std::string filePath = project_.filePath;
    const std::string dateSaved = project_.dateSaved;
    const FileVersion version = ActiveFileVersion();
    const bool resultsSaved = ResultsSaved();
    ProjectSaveOptions options;
    options.withResults = false;
    options.dateSaved = "2000-01-01 00:00:00";
    options.writeTo = ToStdString(path);
    std::string error;
    const bool written = SaveProject(project_, ToStdString(path), options, error);
    project_.filePath = filePath;
    project_.dateSaved = dateSaved;
    ActiveFileVersion() = version;
    SetResultsSaved(resultsSaved);
    if (!written || !file.open(QIODevice::ReadOnly)) return std::string();
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void CVarnexDoc::StartHistory() {
    undoSteps_.clear();
    redoSteps_.clear();
    state_ = ModelState();
    stateId_ = cleanStateId_ = nextStateId_++;
    unsavedExtras_ = false;
    emit HistoryChanged();
}

bool CVarnexDoc::RecordEdit(const char* name) {
    std::string now = ModelState();
    if (now.empty()) {
        // Without a state to return to (no temporary space), the edit still
        // counts as a change to save.
        SetModified(true);
        return false;
    }
    if (now == state_) return false;
    const bool was = IsModified();
    undoSteps_.push_back({std::move(state_), stateId_, name});
    if (undoSteps_.size() > maximumUndoSteps) undoSteps_.pop_front();
    redoSteps_.clear();
    state_ = std::move(now);
    stateId_ = nextStateId_++;
    if (IsModified() != was) emit TitleChanged();
    emit HistoryChanged();
    return true;
}

const char* CVarnexDoc::UndoName() const {
    return undoSteps_.empty() ? "" : undoSteps_.back().name;
}
const char* CVarnexDoc::RedoName() const {
    return redoSteps_.empty() ? "" : redoSteps_.back().name;
}

bool CVarnexDoc::Undo() {
    if (undoSteps_.empty()) return false;
    MoveStep(undoSteps_, redoSteps_);
    return true;
}

bool CVarnexDoc::Redo() {
    if (redoSteps_.empty()) return false;
    MoveStep(redoSteps_, undoSteps_);
    return true;
}

void CVarnexDoc::MoveStep(std::deque<Step>& from, std::deque<Step>& to) {
    Step target = std::move(from.back());
    from.pop_back();
    if (!RestoreState(target.model)) {
        // A state this program wrote is always readable; should one not
        // be, the model stays as it is and no history refers to it.
        undoSteps_.clear();
        redoSteps_.clear();
        state_ = ModelState();
        stateId_ = nextStateId_++;
        emit HistoryChanged();
        emit TitleChanged();
        return;
    }
    // The step keeps its name: the edit that leads between the two states.
    to.push_back({std::move(state_), stateId_, target.name});
    state_ = std::move(target.model);
    stateId_ = target.stateId;
    replacingByUndo_ = true;
    NotifyProjectReplaced();
    replacingByUndo_ = false;
    emit HistoryChanged();
}

bool CVarnexDoc::RestoreState(const std::string& model) {
    if (model.empty()) return false;
    // The loader keeps the standards files' sets; what else the file does not
    // carry belongs to the document or the program, not to the state: the
    // file, the date it was saved, the solver chosen.
    Project restored;
    restored.standardSets = project_.standardSets;
    const FileVersion version = ActiveFileVersion();
    const bool resultsSaved = ResultsSaved();
    std::string error;
    const bool loaded = LoadProjectFromBytes(model, restored, error, ToStdString(StateFilePath()));
    ActiveFileVersion() = version;
    SetResultsSaved(resultsSaved);
    if (!loaded) return false;
    restored.filePath = project_.filePath;
    restored.dateSaved = project_.dateSaved;
    restored.solverKernel = project_.solverKernel;
    // The plume's settings stay; the grid was computed for another model.
    restored.plume = project_.plume;
    restored.plume.columns.clear();
    if (restored.plume.contaminantIndex >= static_cast<int>(restored.contaminants.size())) {
        restored.plume.contaminantIndex = -1;
        restored.plume.active = false;
    }
    if (restored.plume.receptorIndex >= static_cast<int>(restored.receptors.size()))
        restored.plume.receptorIndex = -1;
    restored.resultsValid = false;
    project_ = std::move(restored);
    return true;
}

bool CVarnexDoc::NewDocument(QString& error) {
    bool complete = true;
    try {
        project_.NewProject();
    } catch (const Exception& failure) {
        // Without the standards files the project lacks the default
        // contaminants but is otherwise usable.
        project_.Reset();
        error = ToQString(failure.Message());
        complete = false;
    }
    SetIterationCount(defaultIterationCount);
    // Never saved yet: the date shown is the day the project was begun,
    // in the form a save writes.
    project_.dateSaved = Today();
    filePath_.clear();
    importedName_.clear();
    StartHistory();
    NotifyProjectReplaced();
    return complete;
}

bool CVarnexDoc::OpenFile(const QString& path, QString& error, bool acceptDamaged, bool* damaged) {
    std::string message;
    ProjectLoadOptions options;
    options.acceptDamaged = acceptDamaged;
    ProjectLoadOutcome outcome;
    const bool loaded = LoadProject(ToStdString(path), project_, message, options, outcome);
    if (damaged) *damaged = outcome.integrity == FileIntegrity::damaged;
    if (!loaded) {
        error = ToQString(message);
        return false;
    }
    BecomeFile(path);
    StartHistory();
    NotifyProjectReplaced();
    return true;
}

bool CVarnexDoc::SaveFile(const QString& path, bool withResults, QString& error) {
    const QString target = path.isEmpty() ? filePath_ : path;
    if (target.isEmpty()) {
        error = ToQString(Translate("The project has no file name yet."));
        return false;
    }
    std::string message;
    if (!SaveProject(project_, ToStdString(target), withResults, message)) {
        error = ToQString(message);
        return false;
    }
    BecomeFile(target);
    return true;
}

bool CVarnexDoc::ImportJson(const QString& path, QString& error) {
    // Read into a project of its own, so that a faulty document costs
    // nothing of the one open now; the standard sets come from the
    // standards files, not from the document.
    Project imported;
    imported.standardSets = project_.standardSets;
    const int iterations = IterationCount();
    std::vector<std::string> problems;
    if (!LoadProjectJsonFile(ToStdString(path), imported, problems)) {
        SetIterationCount(iterations);
        QStringList lines;
        for (const std::string& problem : problems) lines << ToQString(problem);
        error = lines.join(QLatin1Char('\n'));
        return false;
    }
    project_ = std::move(imported);
    project_.filePath = Translate("unnamed");
    project_.dateSaved = Today();
    filePath_.clear();
    importedName_ = path;
    StartHistory();
    // Not yet a project file: closing must offer to save it as one.
    unsavedExtras_ = true;
    NotifyProjectReplaced();
    return true;
}

bool CVarnexDoc::ExportJson(const QString& path, QString& error) const {
    std::error_code reason;
    if (!ReplaceFileAtomically(ToStdString(path), WriteProjectJson(project_), reason)) {
        error = ToQString(WithSystemReason(
            FormatText(TranslateFormat("Cannot write the file %s"), {ToStdString(path)}), reason));
        return false;
    }
    return true;
}

void CVarnexDoc::SetProbabilityMap(ProbabilityMap map) {
    probabilityMap_ = std::make_shared<const ProbabilityMap>(std::move(map));
}

void CVarnexDoc::NotifyProjectReplaced() {
    emit ProjectReplaced();
    emit TitleChanged();
}

void CVarnexDoc::BecomeFile(const QString& path) {
    filePath_ = QFileInfo(path).absoluteFilePath();
    importedName_.clear();
    cleanStateId_ = stateId_;
    unsavedExtras_ = false;
    emit TitleChanged();
}

} // namespace varnex::ui
