#include "ui/forms/NumberOfSourcesForm.h"

#include <QFormLayout>
#include <QSpinBox>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

NumberOfSourcesForm::NumberOfSourcesForm(QWidget* parent) : InputForm(parent) {
    count_ = new QSpinBox(this);
    count_->setObjectName(QStringLiteral("sourceCount"));
    count_->setRange(0, Project::maximumSources);
    count_->setMinimumWidth(100);
    auto* layout = new QFormLayout(this);
    // Short entries at their natural width read better than stretched ones.
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    layout->addRow(Tr(TranslatableText("Number of Sources")), count_);
}

QString NumberOfSourcesForm::Title() const { return Tr(TranslatableText("Number of Sources")); }

void NumberOfSourcesForm::Load(const Project& project) {
    count_->setValue(static_cast<int>(project.sources.size()));
}

bool NumberOfSourcesForm::Validate(QStringList&) { return true; }

void NumberOfSourcesForm::Apply(Project& project) {
    const auto wanted = static_cast<std::size_t>(count_->value());
    if (wanted < project.sources.size()) {
        QStringList names;
        for (std::size_t s = wanted; s < project.sources.size(); ++s)
            names << ToQString(project.sources[s].name);
        if (!Prompts().AskYesNo(Tr(TranslatableText("Are you sure you want to delete")) +
                                QStringLiteral(" ") + names.join(QStringLiteral(", ")) +
                                QStringLiteral("?")))
            return;
        while (project.sources.size() > wanted) project.RemoveSource(project.sources.size() - 1);
    }
    while (project.sources.size() < wanted) {
        Source source;
        source.ApplyNames();
        const std::string base = Translate("New Source");
        source.name = base;
        for (int n = 2;; ++n) {
            bool taken = false;
            for (const Source& other : project.sources) taken = taken || other.name == source.name;
            if (!taken) break;
            source.name = base + " " + std::to_string(n);
        }
        std::string error;
        if (!project.AddSource(std::move(source), error, false)) break;
        project.SyncInventory(project.sources.back());
    }
}

} // namespace varnex::ui
