#include "ui/PropertyGrid.h"

#include <cmath>

#include <QHeaderView>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/DialogPrompts.h"
#include "ui/QtText.h"

namespace varnex::ui {

namespace {

constexpr int keyRole = Qt::UserRole + 1;
constexpr int shownRole = Qt::UserRole + 2;

QString Number(double value) { return QString::number(value, 'g', 10); }

template <class Entity>
StochasticParameter* InputOf(Entity& entity, const QString& key) {
    for (const auto& field : Entity::ParameterFields())
        if (key == QLatin1String(field.key)) return &(entity.*field.member);
    return nullptr;
}

QString Duplicate(const char* english, const QString& name) {
    return ToQString(Translate(english)) + QStringLiteral(": \"") + name + QStringLiteral("\"");
}

} // namespace

PropertyGrid::PropertyGrid(QWidget* parent) : QTableWidget(0, 2, parent) {
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setShowGrid(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    setColumnWidth(0, 250);
    Retranslate();
    connect(this, &QTableWidget::itemChanged, this, &PropertyGrid::OnItemChanged);
}

void PropertyGrid::Retranslate() {
    setHorizontalHeaderLabels({ToQString(Translate("Property")), ToQString(Translate("Value"))});
}

QString PropertyGrid::ValueOf(const QString& property) const {
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem* name = item(row, 0);
        const QTableWidgetItem* value = item(row, 1);
        if (name && value && name->text() == property) return value->text();
    }
    return QString();
}

bool PropertyGrid::EditValue(const QString& property, const QString& text) {
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem* name = item(row, 0);
        QTableWidgetItem* value = item(row, 1);
        if (name && value && name->text() == property && (value->flags() & Qt::ItemIsEditable)) {
            value->setText(text);
            return true;
        }
    }
    return false;
}

void PropertyGrid::AddSection(const QString& title) {
    const int row = rowCount();
    insertRow(row);
    auto* cell = new QTableWidgetItem(title);
    QFont bold = font();
    bold.setBold(true);
    cell->setFont(bold);
    cell->setBackground(palette().color(QPalette::Button));
    cell->setFlags(Qt::ItemIsEnabled);
    setItem(row, 0, cell);
    setSpan(row, 0, 1, 2);
}

void PropertyGrid::AddRow(const QString& property, const QString& value, const QString& key) {
    const int row = rowCount();
    insertRow(row);
    auto* name = new QTableWidgetItem(property);
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(row, 0, name);
    auto* valueItem = new QTableWidgetItem(value);
    valueItem->setToolTip(value);
    valueItem->setData(keyRole, key);
    valueItem->setData(shownRole, value);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (project_ && !key.isEmpty()) flags |= Qt::ItemIsEditable;
    valueItem->setFlags(flags);
    setItem(row, 1, valueItem);
}

template <class Entity>
void PropertyGrid::AddInputs(const Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) {
        // Unlabelled inputs are internal to the calculation.
        if (!field.label[0]) continue;
        const StochasticParameter& input = entity.*field.member;
        const QString label = input.Label().empty() ? ToQString(Translate(field.label)) : ToQString(input.Label());
        AddRow(label, ToQString(input.Format()), QString::fromLatin1(field.key));
    }
}

void PropertyGrid::ShowItem(const Project& project, const ProjectItem& item) {
    project_ = nullptr;
    Fill(project, item);
}

void PropertyGrid::ShowItem(Project& project, const ProjectItem& item) {
    project_ = &project;
    Fill(project, item);
}

void PropertyGrid::Fill(const Project& project, const ProjectItem& item) {
    filling_ = true;
    item_ = item;
    clearSpans();
    setRowCount(0);
    using Kind = ProjectItem::Kind;
    const auto index = static_cast<std::size_t>(item.index);
    const QString nameLabel = ToQString(Translate("Name"));
    const QString nameKey = QStringLiteral("name");
    switch (item.kind) {
    case Kind::source:
        if (index >= project.sources.size()) break;
        AddSection(ToQString(Translate("Source")));
        AddRow(nameLabel, ToQString(project.sources[index].name), nameKey);
        AddInputs(project.sources[index]);
        break;
    case Kind::pathway: {
        if (index >= project.sources.size()) break;
        const Source& source = project.sources[index];
        const auto p = static_cast<std::size_t>(item.pathwayIndex);
        if (p >= source.pathways.size()) break;
        const UnsaturatedPathway& pathway = source.pathways[p];
        AddSection(ToQString(Translate("Unsaturated Pathway")));
        AddRow(nameLabel, ToQString(pathway.name), nameKey);
        AddRow(ToQString(Translate("Flow Model")),
               ToQString(pathway.DualPorosity() ? Translate("Dual Porosity") : Translate("Porous Medium")));
        AddInputs(pathway);
        break;
    }
    case Kind::receptor: {
        if (index >= project.receptors.size()) break;
        const Receptor& receptor = project.receptors[index];
        AddSection(ToQString(Translate("Receptor")));
        AddRow(nameLabel, ToQString(receptor.name), nameKey);
        AddRow(ToQString(Translate("X [m]")), Number(receptor.x), QStringLiteral("x"));
        AddRow(ToQString(Translate("Y [m]")), Number(receptor.y), QStringLiteral("y"));
        break;
    }
    case Kind::contaminant:
        if (index >= project.contaminants.size()) break;
        AddSection(ToQString(Translate("Contaminant")));
        AddRow(nameLabel, ToQString(project.contaminants[index].name), nameKey);
        AddRow(ToQString(Translate("Water Quality Standard [mg/l]")), Number(project.contaminants[index].standard));
        AddInputs(project.contaminants[index]);
        break;
    case Kind::aquifer:
        AddSection(ToQString(Translate("Aquifer")));
        AddRow(ToQString(Translate("Flow Direction [degrees]")), Number(project.aquifer.flowDirection),
               QStringLiteral("flowDirection"));
        AddInputs(project.aquifer);
        break;
    default:
        break;
    }
    filling_ = false;
}

StochasticParameter* PropertyGrid::FindInput(const QString& key) {
    using Kind = ProjectItem::Kind;
    const auto index = static_cast<std::size_t>(item_.index);
    switch (item_.kind) {
    case Kind::source:
        return index < project_->sources.size() ? InputOf(project_->sources[index], key) : nullptr;
    case Kind::pathway: {
        if (index >= project_->sources.size()) return nullptr;
        auto& pathways = project_->sources[index].pathways;
        const auto p = static_cast<std::size_t>(item_.pathwayIndex);
        return p < pathways.size() ? InputOf(pathways[p], key) : nullptr;
    }
    case Kind::contaminant:
        return index < project_->contaminants.size() ? InputOf(project_->contaminants[index], key) : nullptr;
    case Kind::aquifer:
        return InputOf(project_->aquifer, key);
    default:
        return nullptr;
    }
}

bool PropertyGrid::TakeValue(const QString& key, const QString& text, QString& error) {
    using Kind = ProjectItem::Kind;
    const auto index = static_cast<std::size_t>(item_.index);
    if (StochasticParameter* input = FindInput(key)) {
        // Parsed on a copy: a refused text never reaches the model.
        StochasticParameter trial(*input);
        if (!trial.distribution.Parse(ToStdString(text.trimmed()))) {
            error = ToQString(input->Label()) + QStringLiteral(": ") + ToQString(trial.ErrorText());
            return false;
        }
        input->distribution = trial.distribution;
        project_->InvalidateResults();
        return true;
    }
    if (key == QLatin1String("name")) {
        const QString name = text.trimmed();
        if (name.isEmpty()) {
            error = ToQString(Translate("Name must be entered"));
            return false;
        }
        const std::string typed = ToStdString(name);
        if (item_.kind == Kind::source && index < project_->sources.size()) {
            for (std::size_t s = 0; s < project_->sources.size(); ++s)
                if (s != index && project_->sources[s].name == typed) {
                    error = Duplicate(TranslatableText("Duplicate source name"), name);
                    return false;
                }
            project_->sources[index].name = typed;
            return true;
        }
        if (item_.kind == Kind::receptor && index < project_->receptors.size()) {
            for (std::size_t r = 0; r < project_->receptors.size(); ++r)
                if (r != index && project_->receptors[r].name == typed) {
                    error = Duplicate(TranslatableText("Duplicate receptor name"), name);
                    return false;
                }
            project_->receptors[index].name = typed;
            return true;
        }
        if (item_.kind == Kind::contaminant && index < project_->contaminants.size()) {
            for (std::size_t c = 0; c < project_->contaminants.size(); ++c)
                if (c != index && project_->contaminants[c].name == typed) {
                    error = Duplicate(TranslatableText("Duplicate contaminant name"), name);
                    return false;
                }
            project_->contaminants[index].name = typed;
            return true;
        }
        if (item_.kind == Kind::pathway && index < project_->sources.size()) {
            auto& pathways = project_->sources[index].pathways;
            const auto p = static_cast<std::size_t>(item_.pathwayIndex);
            if (p >= pathways.size()) return false;
            pathways[p].name = typed;
            return true;
        }
        return false;
    }
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        error = ToQString(Translate("Please enter a number"));
        return false;
    }
    if (item_.kind == Kind::receptor && index < project_->receptors.size()) {
        (key == QLatin1String("x") ? project_->receptors[index].x : project_->receptors[index].y) = value;
        project_->InvalidateResults();
        return true;
    }
    if (item_.kind == Kind::aquifer && key == QLatin1String("flowDirection")) {
        project_->aquifer.flowDirection = value;
        project_->InvalidateResults();
        return true;
    }
    return false;
}

void PropertyGrid::OnItemChanged(QTableWidgetItem* cell) {
    if (filling_ || !project_ || cell->column() != 1) return;
    const QString key = cell->data(keyRole).toString();
    const QString shown = cell->data(shownRole).toString();
    if (key.isEmpty() || cell->text() == shown) return;
    QString error;
    if (!TakeValue(key, cell->text(), error)) {
        filling_ = true;
        cell->setText(shown);
        filling_ = false;
        if (!error.isEmpty()) {
            if (prompts_) {
                prompts_().ShowError(error);
            } else {
                DialogPrompts prompts(this);
                prompts.ShowError(error);
            }
        }
        return;
    }
    filling_ = true;
    cell->setData(shownRole, cell->text());
    cell->setToolTip(cell->text());
    filling_ = false;
    // The listeners rebuild this grid: let the edit finish first.
    QMetaObject::invokeMethod(this, [this] { emit ProjectEdited(); }, Qt::QueuedConnection);
}

} // namespace varnex::ui
