#pragma once

#include <QIcon>

namespace varnex::ui {

// The program's own small icons, drawn rather than shipped as images so
// they stay sharp at any scale and need no resource files.
class ToolIcons {
public:
    static QIcon Print();
    static QIcon Explorer();
    static QIcon Properties();
    static QIcon NewSource();
    static QIcon NewReceptor();
    static QIcon ZoomIn();
    static QIcon ZoomOut();
    static QIcon Run();

    // Items of the project explorer.
    static QIcon Source();
    static QIcon Layer();
    static QIcon Receptor();
    static QIcon Contaminant();
    static QIcon Aquifer();
};

} // namespace varnex::ui
