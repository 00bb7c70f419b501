#pragma once

#include <QObject>
#include <QString>

#include "model/Project.h"

namespace varnex::ui {

// The open document: the one project, the file it lives in and whether it
// has changes that are not in that file. Every operation here is silent:
// it reports failure through its error text and the shell decides what to
// show. A failed operation never touches the project in memory.
class CVarnexDoc : public QObject {
    Q_OBJECT

public:
    explicit CVarnexDoc(QObject* parent = nullptr);

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

    bool IsModified() const { return modified_; }
    void SetModified(bool modified);

    // A new project from the defaults and the standards files. When the
    // standards cannot be read the project is still reset (without their
    // contaminants) and `error` says why.
    bool NewDocument(QString& error);
    // A file whose stored checksum does not match its contents is refused
    // unless `acceptDamaged` (the user was told and chose to open it);
    // `damaged` then says that `error` is about that.
    bool OpenFile(const QString& path, QString& error, bool acceptDamaged = false, bool* damaged = nullptr);
    // Saves to `path` (the document's own file when empty); with results
    // only while they are valid. On success the document belongs to that
    // file and is unmodified.
    bool SaveFile(const QString& path, bool withResults, QString& error);
    bool ImportJson(const QString& path, QString& error);
    // Writes the JSON form; the document keeps its own file and state.
    bool ExportJson(const QString& path, QString& error) const;

    // The project was replaced as a whole (new, open, import).
    void NotifyProjectReplaced();

signals:
    void ProjectReplaced();
    void TitleChanged();

private:
    void BecomeFile(const QString& path);

    Project project_;
    QString filePath_;
    QString importedName_; // the JSON file of an imported, not yet saved project
    bool modified_ = false;
};

} // namespace varnex::ui
