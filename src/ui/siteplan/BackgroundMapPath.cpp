#include "ui/siteplan/BackgroundMapPath.h"

#include <QDir>
#include <QFileInfo>

#include "model/Project.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

QString BackgroundMapPath(const Project& project, const QString& documentFolder) {
    const std::string& file = project.sitePlan.backgroundMapFile;
    if (file.empty()) return QString();
    QString path = ToQString(file);
    if (QFileInfo(path).isRelative()) {
        QString folder = documentFolder;
        if (folder.isEmpty() && !project.filePath.empty())
            folder = QFileInfo(ToQString(project.filePath)).absolutePath();
        if (!folder.isEmpty()) path = QDir(folder).filePath(path);
    }
    return path;
}

} // namespace varnex::ui
