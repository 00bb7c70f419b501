#include "ui/CVarnexDoc.h"

#include <vector>

#include <QDir>
#include <QFileInfo>

#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "base/AtomicFile.h"
#include "base/Exception.h"
#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "ui/QtText.h"

namespace varnex::ui {

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
    if (modified_ == modified) return;
    modified_ = modified;
    emit TitleChanged();
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
    filePath_.clear();
    importedName_.clear();
    modified_ = false;
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
    filePath_.clear();
    importedName_ = path;
    // Not yet a project file: closing must offer to save it as one.
    modified_ = true;
    NotifyProjectReplaced();
    return true;
}

bool CVarnexDoc::ExportJson(const QString& path, QString& error) const {
    std::error_code reason;
    if (!ReplaceFileAtomically(ToStdString(path), WriteProjectJson(project_), reason)) {
        error = ToQString(WithSystemReason(FormatText(TranslateFormat("Cannot write the file %s"), {ToStdString(path)}),
                                           reason));
        return false;
    }
    return true;
}

void CVarnexDoc::NotifyProjectReplaced() {
    emit ProjectReplaced();
    emit TitleChanged();
}

void CVarnexDoc::BecomeFile(const QString& path) {
    filePath_ = QFileInfo(path).absoluteFilePath();
    importedName_.clear();
    modified_ = false;
    emit TitleChanged();
}

} // namespace varnex::ui
