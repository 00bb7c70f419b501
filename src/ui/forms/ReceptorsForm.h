#pragma once

#include <memory>

#include "model/Project.h"
#include "ui/forms/InputForm.h"

class QLineEdit;
class QTableWidget;

namespace varnex::ui {

// "Receptor(s)": the points downstream where concentrations are assessed.
// A receptor that belongs to a source cannot be removed on its own.
class ReceptorsForm : public InputForm {
    Q_OBJECT

public:
    explicit ReceptorsForm(QWidget* parent = nullptr);
    ~ReceptorsForm() override;

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

    void AddReceptor();
    void RemoveReceptor();

private:
    void ShowTable();
    // Takes the table's cells into the working copy; false when one fails.
    bool TakeTable(QStringList& errors);

    std::unique_ptr<Project> working_;
    QTableWidget* table_;
    QLineEdit* newName_;
};

} // namespace varnex::ui
