#pragma once

#include <QTableWidget>

#include "ui/ProjectItem.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

// The "Properties" pane: the inputs of the item chosen in the project
// explorer as a two-column grid "Property" / "Value", each stochastic input
// shown as its distribution text. Read-only; the input forms edit.
class PropertyGrid : public QTableWidget {
    Q_OBJECT

public:
    explicit PropertyGrid(QWidget* parent = nullptr);

    void ShowItem(const Project& project, const ProjectItem& item);
    // The headers, after a change of language.
    void Retranslate();

    // The value shown for a property, or empty when there is no such row.
    QString ValueOf(const QString& property) const;

private:
    void AddSection(const QString& title);
    void AddRow(const QString& property, const QString& value);
    template <class Entity>
    void AddInputs(const Entity& entity);
};

} // namespace varnex::ui
