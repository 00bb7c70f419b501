#include "ui/common/CopyAction.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

QAction* AddCopyAction(QWidget* window, QWidget* list, std::function<void()> copy) {
    auto* action = new QAction(ToQString(Translate("&Copy")), window);
    action->setShortcut(QKeySequence::Copy);
    // Within the window only: the main window keeps its own Ctrl+C.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(action, &QAction::triggered, window, std::move(copy));
    window->addAction(action);
    list->addAction(action);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    return action;
}

} // namespace varnex::ui
