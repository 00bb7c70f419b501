#include "ui/forms/TextLimitDelegate.h"

#include <QLineEdit>

#include "model/TextLimit.h"

namespace varnex::ui {

QWidget* TextLimitDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(static_cast<int>(maxTextBytes));
    return editor;
}

} // namespace varnex::ui
