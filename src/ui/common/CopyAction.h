#pragma once

#include <functional>

class QAction;
class QWidget;

namespace varnex::ui {

// "&Copy" on Ctrl+C anywhere in `window`, and in the context menu of the
// `list` (or table) whose content it copies.
QAction* AddCopyAction(QWidget* window, QWidget* list, std::function<void()> copy);

} // namespace varnex::ui
