#pragma once

#include <QStyledItemDelegate>

namespace varnex::ui {

// Cells typed into stop at the number of characters a project file holds
// in one text, as the forms' line edits do; the owner still checks the
// UTF-8 length, which characters beyond ASCII can exceed. A cell whose
// `distributionRole` is true is typed into as a distribution field, with
// the same completion and colours as on the forms.
class TextLimitDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int distributionRole = Qt::UserRole + 3;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace varnex::ui
