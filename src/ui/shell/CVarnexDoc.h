#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <memory>
#include <string>

#include "model/Project.h"
#include "run/ProbabilityMap.h"

class QTemporaryDir;

namespace varnex::ui {

// The open document: the one project, the file it lives in, whether it
// has changes that are not in that file, and the history of its edits.
// Every operation here is silent: it reports failure through its error text
// and the shell decides what to show. A failed operation never touches the
// project in memory.
//
// Undo keeps whole states of the model, not edits: after every edit the
// model without its results is written as a project file into memory, and
// undo reads the previous one back. The project file holds every number
// exactly and keeps each input's identity, so a state comes back as it was. So every kind of edit (forms, the properties pane,
// the site plan, new and deleted entities, correlations) is covered by the
// one call that reports it, and no edit needs an inverse of its own. The
// results of a run are not part of a state: a state brought back by undo
// or redo has none, whatever it was, since results kept from another model
// would describe a model no longer shown.
class CVarnexDoc : public QObject {
    Q_OBJECT

public:
    explicit CVarnexDoc(QObject* parent = nullptr);
    ~CVarnexDoc() override;

    Project& GetProject() { return project_; }
    const Project& GetProject() const { return project_; }

    // Empty while the project has never been saved as a project file.
    QString FilePath() const { return filePath_; }
    // The name the title bar shows: the file's name, "unnamed" or the name
    // of the JSON file a project was imported from.
    QString DisplayName() const;
    // The folder the project's relative references (its background map)
    // are read from: that of its file, or of the JSON file it was imported
    // from; empty for a project that came from neither.
    QString DocumentFolder() const;
    // A name to offer when the user is asked where to save.
    QString SuggestedSavePath() const;

    // Modified while the model differs from the state last saved or opened,
    // or something that is not part of the model's states (a run's results,
    // an import not yet saved as a project file) is unsaved.
    bool IsModified() const { return stateId_ != cleanStateId_ || unsavedExtras_; }
    // true: something outside the model's states changed; false: the
    // current state is what the file holds.
    void SetModified(bool modified);

    // Called after every edit of the model with the edit's English name
    // ("Move Source"): when the model differs from the last state recorded,
    // that state becomes one undo step. Returns whether it did; an edit that
    // changed nothing leaves no step.
    bool RecordEdit(const char* name);
    bool CanUndo() const { return !undoSteps_.empty(); }
    bool CanRedo() const { return !redoSteps_.empty(); }
    // The English name of the edit that Undo or Redo would take back or do
    // again; empty when there is none.
    const char* UndoName() const;
    const char* RedoName() const;
    // Each puts the model of the neighbouring state in place (without
    // results) and announces it as a replaced project.
    bool Undo();
    bool Redo();
    // True while ProjectReplaced announces an undo or redo rather than a new
    // project: the views keep their place.
    bool ReplacingByUndo() const { return replacingByUndo_; }

    // The most steps kept; the oldest go first.
    static constexpr std::size_t maximumUndoSteps = 100;

    // A new project from the defaults and the standards files. When the
    // standards cannot be read the project is still reset (without their
    // contaminants) and `error` says why.
    bool NewDocument(QString& error);
    // A file whose stored checksum does not match its contents is refused
    // unless `acceptDamaged` (the user was told and chose to open it);
    // `damaged` then says that `error` is about that.
    bool OpenFile(const QString& path, QString& error, bool acceptDamaged = false,
                  bool* damaged = nullptr);
    // Saves to `path` (the document's own file when empty); with results
    // only while they are valid. On success the document belongs to that
    // file and is unmodified.
    bool SaveFile(const QString& path, bool withResults, QString& error);
    bool ImportJson(const QString& path, QString& error);
    // Writes the JSON form; the document keeps its own file and state.
    bool ExportJson(const QString& path, QString& error) const;

    // The project was replaced as a whole (new, open, import).
    void NotifyProjectReplaced();

    // The probability map computed last from the run in memory (null for
    // none). It belongs to that run and model: it is kept until the next
    // run or change of the model, and never written to the project file.
    std::shared_ptr<const ProbabilityMap> GetProbabilityMap() const { return probabilityMap_; }
    void SetProbabilityMap(ProbabilityMap map);
    void ClearProbabilityMap() { probabilityMap_.reset(); }

signals:
    void ProjectReplaced();
    void TitleChanged();
    // The undo and redo steps changed (their names or whether there are any).
    void HistoryChanged();

private:
    struct Step {
        std::string model; // the state as project file bytes
        unsigned long long stateId;
        const char* name; // the edit that left (undo) or reaches (redo) it
    };

    void BecomeFile(const QString& path);
    // A new history that starts at the model now in memory, saved as it is.
    void StartHistory();
    // The model without results as project file bytes; empty when it could
    // not be written.
    std::string ModelState();
    QString StateFilePath();
    bool RestoreState(const std::string& model);
    void MoveStep(std::deque<Step>& from, std::deque<Step>& to);

    Project project_;
    std::shared_ptr<const ProbabilityMap> probabilityMap_;
    QString filePath_;
    QString importedName_;       // the JSON file of an imported, not yet saved project
    std::deque<Step> undoSteps_; // newest last
    std::deque<Step> redoSteps_; // next last
    std::string state_;          // the bytes of the state last recorded
    std::unique_ptr<QTemporaryDir> stateFolder_;
    unsigned long long stateId_ = 0;
    unsigned long long cleanStateId_ = 0; // the state in the file
    unsigned long long nextStateId_ = 1;
    bool unsavedExtras_ = false;
    bool replacingByUndo_ = false;
};

} // namespace varnex::ui
