#pragma once

#include <QTableWidget>
#include <functional>

#include "ui/common/ProjectItem.h"

namespace varnex {
class Project;
class Source;
class StochasticParameter;
} // namespace varnex

namespace varnex::ui {

class UserPrompts;

// The "Properties" pane: the inputs of the item chosen in the project
// explorer as a two-column grid "Property" / "Value", each stochastic input
// shown as its distribution text. The values of an editable project can be
// typed over: a text that does not make a valid input is refused with its
// reason and the old value stays.
class PropertyGrid : public QTableWidget {
    Q_OBJECT

public:
    explicit PropertyGrid(QWidget* parent = nullptr);

    // Read-only.
    void ShowItem(const Project& project, const ProjectItem& item);
    // Editable: a typed value goes into `project` (kept until the next
    // ShowItem) and ProjectEdited is emitted.
    void ShowItem(Project& project, const ProjectItem& item);
    // The headers, after a change of language.
    void Retranslate();
    // Where refusals are shown.
    void SetPromptsSource(std::function<UserPrompts&()> prompts) { prompts_ = std::move(prompts); }

    // The value shown for a property, or empty when there is no such row;
    // with a `section`, the property of that section (the inventory entries
    // of a source share their labels, each under its contaminant's name).
    QString ValueOf(const QString& property, const QString& section = QString()) const;
    // Types `text` into the value of `property` as the user would; false
    // when there is no such editable row.
    bool EditValue(const QString& property, const QString& text,
                   const QString& section = QString());

signals:
    // A value was taken into the project (delivered after the edit ends).
    void ProjectEdited();

private:
    void Fill(const Project& project, const ProjectItem& item);
    void AddSection(const QString& title);
    void AddRow(const QString& property, const QString& value, const QString& key = QString());
    template <class Entity>
    void AddInputs(const Entity& entity, const QString& keyPrefix = QString());
    void AddInventory(const Project& project, const Source& source, int pathwayIndex);
    int RowOf(const QString& property, const QString& section) const;
    void OnItemChanged(QTableWidgetItem* cell);
    // Takes `text` for the property `key` of the shown item, shown as
    // `label`; false with the reason in `error` when refused (the project is
    // then unchanged).
    bool TakeValue(const QString& key, const QString& label, const QString& text, QString& error);
    StochasticParameter* FindInput(const QString& key);

    Project* project_ = nullptr;
    ProjectItem item_;
    bool filling_ = false;
    std::function<UserPrompts&()> prompts_;
};

} // namespace varnex::ui
