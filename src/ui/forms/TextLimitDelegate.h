#pragma once

#include <QStyledItemDelegate>

namespace varnex::ui {

// Cells typed into stop at the number of characters a project file holds
// in one text, as the forms' line edits do; the owner still checks the
// UTF-8 length, which characters beyond ASCII can exceed.
class TextLimitDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace varnex::ui
