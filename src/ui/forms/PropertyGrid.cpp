#include "ui/forms/PropertyGrid.h"

#include <QHeaderView>
#include <cmath>
#include <cstring>

#include "model/Project.h"
#include "model/TextLimit.h"
#include "settings/Translate.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/InputText.h"
#include "ui/common/QtText.h"
#include "ui/forms/TextLimitDelegate.h"

namespace varnex::ui {

namespace {

constexpr int keyRole = Qt::UserRole + 1;
constexpr int shownRole = Qt::UserRole + 2;
// Keys of the inputs of inventory entries: the prefix, the entry's index in
// the source's inventory, "/", the input's field key.
constexpr const char* inventoryKey = "inventory/";
constexpr const char* pathwayInventoryKey = "pathwayInventory/";

// Splits an inventory key into the entry's index and the field key; false
// for a key without `prefix`.
bool SplitInventoryKey(const QString& key, const char* prefix, std::size_t& entry, QString& field) {
    if (!key.startsWith(QLatin1String(prefix))) return false;
    const QString rest = key.mid(static_cast<qsizetype>(std::strlen(prefix)));
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    bool ok = false;
    const int index = rest.left(slash).toInt(&ok);
    if (slash < 0 || !ok || index < 0) return false;
    entry = static_cast<std::size_t>(index);
    field = rest.mid(slash + 1);
    return true;
}

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
    setItemDelegateForColumn(1, new TextLimitDelegate(this));
    Retranslate();
    connect(this, &QTableWidget::itemChanged, this, &PropertyGrid::OnItemChanged);
}

void PropertyGrid::Retranslate() {
    setHorizontalHeaderLabels({ToQString(Translate("Property")), ToQString(Translate("Value"))});
}

int PropertyGrid::RowOf(const QString& property, const QString& section) const {
    bool inSection = section.isEmpty();
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem* name = item(row, 0);
        const QTableWidgetItem* value = item(row, 1);
        if (name && !value && columnSpan(row, 0) == 2) {
            if (!section.isEmpty()) inSection = name->text() == section;
            continue;
        }
        if (inSection && name && value && name->text() == property) return row;
    }
    return -1;
}

QString PropertyGrid::ValueOf(const QString& property, const QString& section) const {
    const int row = RowOf(property, section);
    return row >= 0 ? item(row, 1)->text() : QString();
}

bool PropertyGrid::EditValue(const QString& property, const QString& text, const QString& section) {
    const int row = RowOf(property, section);
    if (row < 0 || !(item(row, 1)->flags() & Qt::ItemIsEditable)) return false;
    item(row, 1)->setText(text);
    return true;
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
void PropertyGrid::AddInputs(const Entity& entity, const QString& keyPrefix) {
    for (const auto& field : Entity::ParameterFields()) {
        // Unlabelled inputs are internal to the calculation.
        if (!field.label[0]) continue;
        const StochasticParameter& input = entity.*field.member;
        const QString label =
            input.Label().empty() ? ToQString(Translate(field.label)) : ToQString(input.Label());
        AddRow(label, InputText(input), keyPrefix + QString::fromLatin1(field.key));
        item(rowCount() - 1, 1)->setData(TextLimitDelegate::distributionRole, true);
    }
}

// The active entries of a source's inventory, each under a section named
// after its contaminant; for a pathway, the entries' properties in that
// pathway. Inactive entries take no part in a run and are not shown.
void PropertyGrid::AddInventory(const Project& project, const Source& source, int pathwayIndex) {
    for (std::size_t e = 0; e < source.inventory.size(); ++e) {
        const SourceContaminant& entry = source.inventory[e];
        if (!entry.active) continue;
        const Contaminant* contaminant = project.FindContaminant(entry.contaminant);
        const QString title =
            contaminant ? ToQString(contaminant->name) : QString::number(entry.contaminant);
        if (pathwayIndex < 0) {
            AddSection(title);
            const QString prefix = QStringLiteral("%1%2/").arg(QLatin1String(inventoryKey)).arg(e);
            const int first = rowCount();
            AddInputs(entry, prefix);
            // At Level 3a the concentration is measured in the aquifer
            // beneath the source; the engine's label keeps its unit of
            // measurement for the other levels.
            if (project.simulationLevel == SimulationLevel::level3a)
                for (int row = first; row < rowCount(); ++row)
                    if (item(row, 1)->data(keyRole).toString() ==
                        prefix + QStringLiteral("concentration"))
                        item(row, 0)->setText(
                            ToQString(Translate("Aquifer Source Concentration [mg/l]")));
            continue;
        }
        const auto properties = entry.pathwayProperties.find(pathwayIndex);
        if (properties == entry.pathwayProperties.end()) continue;
        AddSection(title);
        AddInputs(properties->second,
                  QStringLiteral("%1%2/").arg(QLatin1String(pathwayInventoryKey)).arg(e));
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
        AddInventory(project, project.sources[index], -1);
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
               ToQString(pathway.DualPorosity() ? Translate("Dual Porosity")
                                                : Translate("Porous Medium")));
        AddInputs(pathway);
        AddInventory(project, source, item.pathwayIndex);
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
        AddRow(ToQString(Translate("Water Quality Standard [mg/l]")),
               Number(project.contaminants[index].standard));
        AddInputs(project.contaminants[index]);
        // Its place in a decay chain, only where it has one; the parent is
        // chosen on the contaminant form, the yield may be edited here.
        if (const Contaminant& contaminant = project.contaminants[index];
            contaminant.parentIdentifier != Contaminant::noParent) {
            const Contaminant* parent = project.FindContaminant(contaminant.parentIdentifier);
            AddRow(ToQString(Translate("Parent")),
                   parent ? ToQString(parent->name)
                          : QString::number(contaminant.parentIdentifier));
            AddRow(ToQString(contaminant.yield.Label()), InputText(contaminant.yield),
                   QString::fromLatin1(Contaminant::YieldField().key));
            this->item(rowCount() - 1, 1)->setData(TextLimitDelegate::distributionRole, true);
        }
        break;
    case Kind::aquifer:
        AddSection(ToQString(Translate("Aquifer")));
        AddRow(ToQString(Translate("Flow Direction [degrees]")),
               Number(project.aquifer.flowDirection), QStringLiteral("flowDirection"));
        AddInputs(project.aquifer);
        break;
    default: break;
    }
    // The labels carry their units at the end: the column is as wide as the
    // longest, so no unit is cut off (German labels run longer).
    resizeColumnToContents(0);
    filling_ = false;
}

StochasticParameter* PropertyGrid::FindInput(const QString& key) {
    using Kind = ProjectItem::Kind;
    const auto index = static_cast<std::size_t>(item_.index);
    switch (item_.kind) {
    case Kind::source: {
        if (index >= project_->sources.size()) return nullptr;
        Source& source = project_->sources[index];
        std::size_t entry = 0;
        QString field;
        if (SplitInventoryKey(key, inventoryKey, entry, field))
            return entry < source.inventory.size() ? InputOf(source.inventory[entry], field)
                                                   : nullptr;
        return InputOf(source, key);
    }
    case Kind::pathway: {
        if (index >= project_->sources.size()) return nullptr;
        Source& source = project_->sources[index];
        const auto p = static_cast<std::size_t>(item_.pathwayIndex);
        if (p >= source.pathways.size()) return nullptr;
        std::size_t entry = 0;
        QString field;
        if (SplitInventoryKey(key, pathwayInventoryKey, entry, field)) {
            if (entry >= source.inventory.size()) return nullptr;
            auto& properties = source.inventory[entry].pathwayProperties;
            const auto found = properties.find(item_.pathwayIndex);
            return found != properties.end() ? InputOf(found->second, field) : nullptr;
        }
        return InputOf(source.pathways[p], key);
    }
    case Kind::contaminant:
        if (index >= project_->contaminants.size()) return nullptr;
        // The yield is not in the table (Contaminant::yield says why).
        if (key == QLatin1String(Contaminant::YieldField().key))
            return &project_->contaminants[index].yield;
        return InputOf(project_->contaminants[index], key);
    case Kind::aquifer: return InputOf(project_->aquifer, key);
    default: return nullptr;
    }
}

bool PropertyGrid::TakeValue(const QString& key, const QString& label, const QString& text,
                             QString& error) {
    using Kind = ProjectItem::Kind;
    const auto index = static_cast<std::size_t>(item_.index);
    if (StochasticParameter* input = FindInput(key)) {
        // Parsed on a copy: a refused text never reaches the model.
        StochasticParameter trial(*input);
        if (!trial.distribution.Parse(ToStdString(text.trimmed()))) {
            // Named once, by the label shown in the grid (at Level 3a it
            // differs from the input's own), then the faults alone.
            trial.distribution.label.clear();
            error = label + QStringLiteral(": ") + ToQString(trial.ErrorText());
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
        if (!TextFits(typed)) {
            error = ToQString(TextTooLongMessage(ToStdString(label), typed.size()));
            return false;
        }
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
        (key == QLatin1String("x") ? project_->receptors[index].x : project_->receptors[index].y) =
            value;
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
    const QTableWidgetItem* property = item(cell->row(), 0);
    QString error;
    if (!TakeValue(key, property ? property->text() : QString(), cell->text(), error)) {
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
    QMetaObject::invokeMethod(
        this, [this] { emit ProjectEdited(); }, Qt::QueuedConnection);
}

} // namespace varnex::ui
