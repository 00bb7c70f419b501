#include "ui/PropertyGrid.h"

#include <QHeaderView>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/QtText.h"

namespace varnex::ui {

namespace {

QString Number(double value) { return QString::number(value, 'g', 10); }

} // namespace

PropertyGrid::PropertyGrid(QWidget* parent) : QTableWidget(0, 2, parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
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

void PropertyGrid::AddSection(const QString& title) {
    const int row = rowCount();
    insertRow(row);
    auto* cell = new QTableWidgetItem(title);
    QFont bold = font();
    bold.setBold(true);
    cell->setFont(bold);
    cell->setBackground(palette().color(QPalette::Button));
    setItem(row, 0, cell);
    setSpan(row, 0, 1, 2);
}

void PropertyGrid::AddRow(const QString& property, const QString& value) {
    const int row = rowCount();
    insertRow(row);
    setItem(row, 0, new QTableWidgetItem(property));
    auto* valueItem = new QTableWidgetItem(value);
    valueItem->setToolTip(value);
    setItem(row, 1, valueItem);
}

template <class Entity>
void PropertyGrid::AddInputs(const Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) {
        // Unlabelled inputs are internal to the calculation.
        if (!field.label[0]) continue;
        const StochasticParameter& input = entity.*field.member;
        const QString label = input.Label().empty() ? ToQString(Translate(field.label)) : ToQString(input.Label());
        AddRow(label, ToQString(input.Format()));
    }
}

void PropertyGrid::ShowItem(const Project& project, const ProjectItem& item) {
    clearSpans();
    setRowCount(0);
    using Kind = ProjectItem::Kind;
    const auto index = static_cast<std::size_t>(item.index);
    const QString nameLabel = ToQString(Translate("Name"));
    switch (item.kind) {
    case Kind::source:
        if (index >= project.sources.size()) break;
        AddSection(ToQString(Translate("Source")));
        AddRow(nameLabel, ToQString(project.sources[index].name));
        AddInputs(project.sources[index]);
        break;
    case Kind::pathway: {
        if (index >= project.sources.size()) break;
        const Source& source = project.sources[index];
        const auto p = static_cast<std::size_t>(item.pathwayIndex);
        if (p >= source.pathways.size()) break;
        const UnsaturatedPathway& pathway = source.pathways[p];
        AddSection(ToQString(Translate("Unsaturated Pathway")));
        AddRow(nameLabel, ToQString(pathway.name));
        AddRow(ToQString(Translate("Flow Model")),
               ToQString(pathway.DualPorosity() ? Translate("Dual Porosity") : Translate("Porous Medium")));
        AddInputs(pathway);
        break;
    }
    case Kind::receptor: {
        if (index >= project.receptors.size()) break;
        const Receptor& receptor = project.receptors[index];
        AddSection(ToQString(Translate("Receptor")));
        AddRow(nameLabel, ToQString(receptor.name));
        AddRow(ToQString(Translate("X [m]")), Number(receptor.x));
        AddRow(ToQString(Translate("Y [m]")), Number(receptor.y));
        break;
    }
    case Kind::contaminant:
        if (index >= project.contaminants.size()) break;
        AddSection(ToQString(Translate("Contaminant")));
        AddRow(nameLabel, ToQString(project.contaminants[index].name));
        AddRow(ToQString(Translate("Water Quality Standard [mg/l]")), Number(project.contaminants[index].standard));
        AddInputs(project.contaminants[index]);
        break;
    case Kind::aquifer:
        AddSection(ToQString(Translate("Aquifer")));
        AddRow(ToQString(Translate("Flow Direction [degrees]")), Number(project.aquifer.flowDirection));
        AddInputs(project.aquifer);
        break;
    default:
        break;
    }
}

} // namespace varnex::ui
