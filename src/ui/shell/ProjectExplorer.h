#pragma once

#include <QTreeWidget>

#include "ui/common/ProjectItem.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

// The "Project Explorer" pane: the project as a tree of its sources (each
// with its unsaturated pathways), receptors, contaminants and the aquifer.
class ProjectExplorer : public QTreeWidget {
    Q_OBJECT

public:
    explicit ProjectExplorer(QWidget* parent = nullptr);

    // Rebuilds the tree from the project, keeping the selection where the
    // same entity still exists.
    void ShowProject(const Project& project);

    ProjectItem CurrentItem() const;
    static ProjectItem ItemOf(const QTreeWidgetItem* item);

signals:
    void SelectionChanged(const varnex::ui::ProjectItem& item);
    // The user double-clicked an item to open its form.
    void ItemActivated(const varnex::ui::ProjectItem& item);

private:
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const QString& text, const ProjectItem& item,
                             const QIcon& icon);
    QTreeWidgetItem* Find(const ProjectItem& item) const;
};

} // namespace varnex::ui
