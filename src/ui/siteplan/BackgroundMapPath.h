#pragma once

#include <QString>

namespace varnex {
class Project;
}

namespace varnex::ui {

// Where the project's background map is read from: a relative path lies
// beside the project, in `documentFolder` (the folder of its file or of the
// JSON file it was imported from; empty: the folder of its file), where a
// copied project folder keeps it. Empty when the project names no map.
QString BackgroundMapPath(const Project& project, const QString& documentFolder);

} // namespace varnex::ui
