#include "ui/reports/ReportModel.h"

#include <QDate>
#include <QFileInfo>
#include <cmath>
#include <optional>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "model/SimulationLevel.h"
#include "results/Convergence.h"
#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "settings/SolverSettings.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "ui/common/InputText.h"
#include "ui/common/QtText.h"
#include "ui/common/ResultsKernelText.h"
#include "ui/forms/InputCorrelationsDialog.h"
#include "ui/graphs/GraphBuilder.h"
#include "ui/graphs/GraphResultKind.h"
#include "ui/graphs/StatisticsTable.h"
#include "ui/reports/ProbabilityMapPicture.h"
#include "ui/siteplan/ProbabilityMapDrawing.h"

namespace varnex::ui {

namespace {

QString Tr(const char* english) { return ToQString(Translate(english)); }
QString Number(double value) { return QString::number(value, 'g', 10); }
QString YesNo(bool on) { return on ? Tr(TranslatableText("Yes")) : Tr(TranslatableText("No")); }

void Heading(ReportModel& model, const QString& text, int level) {
    ReportBlock block;
    block.kind = ReportBlock::Kind::heading;
    block.text = text;
    block.level = level;
    model.blocks.push_back(std::move(block));
}

// A two-column "Property" / "Value" table; the value column is the wider,
// since distribution texts are long.
ReportBlock PropertyTable() {
    ReportBlock block;
    block.kind = ReportBlock::Kind::table;
    block.header = {Tr(TranslatableText("Property")), Tr(TranslatableText("Value"))};
    block.columnWeights = {1.0, 1.2};
    block.numbersRight = false;
    return block;
}

template <class Entity>
void AddInputs(ReportBlock& table, const Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) {
        if (!field.label[0]) continue; // internal to the calculation
        const StochasticParameter& input = entity.*field.member;
        const QString label = input.Label().empty() ? Tr(field.label) : ToQString(input.Label());
        table.rows.push_back({label, InputText(input)});
    }
}

void AddTitleBlock(ReportModel& model, const Project& project, const QString& caption) {
    Heading(model, caption, 1);
    ReportBlock block;
    block.kind = ReportBlock::Kind::titleBlock;
    const ProjectDetails& details = project.details;
    block.rows = {
        {Tr(TranslatableText("Title:")), ToQString(details.title)},
        {Tr(TranslatableText("Client Name:")), ToQString(details.clientName)},
        {Tr(TranslatableText("Project Number:")), ToQString(details.projectNumber)},
        {Tr(TranslatableText("Prepared By:")), ToQString(details.preparedBy)},
        {Tr(TranslatableText("Date:")), QDate::currentDate().toString(Qt::ISODate)},
    };
    model.blocks.push_back(std::move(block));
}

QString TimeHeader(double years) { return ToQString(GraphBuilder::TimeSliceText(years)); }

// One statistics table of `kind` for the choice: a column per time slice
// for the kinds that change with time, otherwise one column per entry of
// `variants` (choices differing in kind or place). Columns without a
// result vector are left out; a table without any is not added.
bool AddStatisticsTable(ReportModel& model, const Project& project, const QString& caption,
                        const std::vector<std::pair<QString, StatisticsChoice>>& columns) {
    std::vector<std::pair<QString, StatisticsChoice>> present;
    for (const auto& column : columns) {
        ResultLocation location;
        if (StatisticsTable::Locate(column.second, location) &&
            FindResultVector(project, location, column.second.timeSlice))
            present.push_back(column);
    }
    if (present.empty()) return false;
    ReportBlock table;
    table.kind = ReportBlock::Kind::table;
    table.text = caption;
    table.header.push_back(caption);
    table.columnWeights.push_back(2.0);
    std::vector<std::vector<StatisticsLine>> lines;
    for (const auto& column : present) {
        table.header.push_back(column.first);
        table.columnWeights.push_back(1.0);
        lines.push_back(StatisticsTable::Lines(project, column.second));
    }
    for (std::size_t row = 0; row < lines.front().size(); ++row) {
        QStringList cells{ToQString(lines.front()[row].label)};
        for (const auto& columnLines : lines)
            // An interval breaks after its dash, never before.
            cells.push_back(row < columnLines.size()
                                ? ToQString(columnLines[row].value)
                                      .replace(QStringLiteral(" - "), QStringLiteral("\u00a0- "))
                                : QString());
        table.rows.push_back(cells);
    }
    model.blocks.push_back(std::move(table));
    return true;
}

void AddTimeTable(ReportModel& model, const Project& project, StatisticsChoice choice) {
    std::vector<std::pair<QString, StatisticsChoice>> columns;
    for (std::size_t k = 0; k < project.timeSlices.size(); ++k) {
        choice.timeSlice = static_cast<int>(k);
        columns.emplace_back(TimeHeader(project.timeSlices[k]), choice);
    }
    AddStatisticsTable(model, project, Tr(StatisticsKind::Caption(choice.kind)), columns);
}

// Whether the run had iterations enough for its 95th percentiles: per time
// slice the percentile, its distribution-free 95 % interval, the interval's
// half-width relative to it, and the iterations a half-width of 10 % would
// need (results/Convergence.h).
void AddConvergenceTable(ReportModel& model, const Project& project, StatisticsChoice choice) {
    ReportBlock table;
    table.kind = ReportBlock::Kind::table;
    // Numbers as the statistics table above writes them.
    const QString caption = Tr(TranslatableText("Convergence of the 95th percentile"));
    table.text = caption;
    table.header.push_back(caption);
    table.columnWeights.push_back(2.0);
    QStringList rows[4] = {{Tr(TranslatableText("95th percentile"))},
                           {Tr(TranslatableText("95 % interval"))},
                           {Tr(TranslatableText("Half-width [% of the percentile]"))},
                           {Tr(TranslatableText("Iterations for a half-width of 10 %"))}};
    for (std::size_t k = 0; k < project.timeSlices.size(); ++k) {
        choice.timeSlice = static_cast<int>(k);
        ResultLocation location;
        if (!StatisticsTable::Locate(choice, location)) continue;
        const ResultVector* vector = FindResultVector(project, location, choice.timeSlice);
        if (!vector || vector->Size() == 0) continue;
        std::vector<double> sorted = vector->Values();
        SortValues(sorted);
        const double p95 = Percentile(sorted, 95);
        const auto [low, high] = PercentileConfidenceInterval95(sorted, 95);
        const std::optional<long long> needed = IterationsForPercentileWidth(sorted, 0.1);
        table.header.push_back(TimeHeader(project.timeSlices[k]));
        table.columnWeights.push_back(1.0);
        rows[0].push_back(ToQString(FormatG(p95)));
        rows[1].push_back(ToQString(FormatG(low)) + QStringLiteral("\u00a0- ") +
                          ToQString(FormatG(high)));
        rows[2].push_back(p95 != 0.0 ? QString::number(50.0 * (high - low) / std::fabs(p95), 'f', 1)
                                     : QStringLiteral("-"));
        rows[3].push_back(needed ? QString::number(*needed) : QStringLiteral("-"));
    }
    if (table.header.size() < 2) return;
    for (const QStringList& row : rows) table.rows.push_back(row);
    model.blocks.push_back(std::move(table));
}

// Retarded and unretarded travel times side by side: they are read together.
void AddTravelTimeTable(ReportModel& model, const Project& project, StatisticsChoice choice) {
    StatisticsChoice retarded = choice, unretarded = choice;
    retarded.kind = StatisticsKind::retardedTravelTime;
    unretarded.kind = StatisticsKind::unretardedTravelTime;
    AddStatisticsTable(model, project, Tr(TranslatableText("Travel Times [years]")),
                       {{Tr(TranslatableText("Retarded")), retarded},
                        {Tr(TranslatableText("Unretarded")), unretarded}});
}

void AddGraph(ReportModel& model, const Project& project, const GraphSelection& selection,
              bool logValues) {
    ReportBlock block;
    block.kind = ReportBlock::Kind::graph;
    block.graph = GraphBuilder::Build(project, selection);
    if (block.graph.Empty()) return;
    block.chart = CTChart::FittingSettings(block.graph, false, logValues, true);
    model.blocks.push_back(std::move(block));
}

// Concentrations span decades: a log value axis shows them when every value
// is above zero.
bool AllPositive(const GraphContent& content) {
    bool any = false;
    for (const GraphCurve& curve : content.curves)
        for (const GraphPoint& point : curve.points) {
            if (!(point.y > 0.0)) return false;
            any = true;
        }
    return any;
}

void AddReceptorGraphs(ReportModel& model, const Project& project, int contaminant, int receptor) {
    GraphSelection selection;
    selection.location.kind = GraphResultKind::receptorConcentration;
    selection.location.source = ResultLocation::total;
    selection.location.contaminant = contaminant;
    selection.location.receptor = receptor;
    selection.graphType = GraphType::cumulativeFrequency;
    if (!project.timeSlices.empty())
        selection.timeSlices = {static_cast<int>(project.timeSlices.size()) - 1};
    AddGraph(model, project, selection, AllPositive(GraphBuilder::Build(project, selection)));
    selection.graphType = GraphType::timeHistory;
    selection.timeSlices.clear();
    AddGraph(model, project, selection, AllPositive(GraphBuilder::Build(project, selection)));
}

} // namespace

int ReportModel::Count(ReportBlock::Kind kind) const {
    int count = 0;
    for (const ReportBlock& block : blocks) count += block.kind == kind ? 1 : 0;
    return count;
}

QString ReportBuilder::ReportTitle(const Project& project) {
    if (!project.details.title.empty()) return ToQString(project.details.title);
    return QFileInfo(ToQString(project.filePath)).fileName();
}

ReportModel ReportBuilder::ModelReport(const Project& project) {
    ReportModel model;
    model.title = ReportTitle(project);
    AddTitleBlock(model, project, Tr(TranslatableText("Model Report")));
    if (!project.details.comment.empty()) {
        ReportBlock comment;
        comment.kind = ReportBlock::Kind::paragraph;
        comment.text = ToQString(project.details.comment);
        model.blocks.push_back(std::move(comment));
    }

    Heading(model, Tr(TranslatableText("Simulation")), 1);
    ReportBlock settings = PropertyTable();
    settings.rows.push_back({Tr(TranslatableText("Simulation Level")),
                             Tr(SimulationLevelName(project.simulationLevel).c_str())});
    QStringList times;
    for (double years : project.timeSlices) times.push_back(Number(years));
    settings.rows.push_back(
        {Tr(TranslatableText("Time Slices [years]")), times.join(QStringLiteral(", "))});
    settings.rows.push_back(
        {Tr(TranslatableText("Retarded Travel in UZ")), YesNo(project.processes.retardedTravelUz)});
    settings.rows.push_back(
        {Tr(TranslatableText("Biodegradation in UZ")), YesNo(project.processes.biodegradationUz)});
    settings.rows.push_back({Tr(TranslatableText("Retarded Travel in Aquifer")),
                             YesNo(project.processes.retardedTravelAquifer)});
    settings.rows.push_back({Tr(TranslatableText("Biodegradation in Aquifer")),
                             YesNo(project.processes.biodegradationAquifer)});
    model.blocks.push_back(std::move(settings));

    for (const Source& source : project.sources) {
        Heading(model,
                Tr(TranslatableText("Source")) + QStringLiteral(": ") + ToQString(source.name), 1);
        ReportBlock inputs = PropertyTable();
        AddInputs(inputs, source);
        model.blocks.push_back(std::move(inputs));
        for (const SourceContaminant& entry : source.inventory) {
            if (!entry.active) continue; // an inactive entry takes no part in any run
            const Contaminant* contaminant = project.FindContaminant(entry.contaminant);
            Heading(model,
                    Tr(TranslatableText("Contaminant")) + QStringLiteral(": ") +
                        (contaminant ? ToQString(contaminant->name)
                                     : QString::number(entry.contaminant)),
                    2);
            ReportBlock table = PropertyTable();
            AddInputs(table, entry);
            for (const auto& [pathwayIndex, properties] : entry.pathwayProperties) {
                if (pathwayIndex < 0 ||
                    static_cast<std::size_t>(pathwayIndex) >= source.pathways.size())
                    continue;
                const QString prefix =
                    ToQString(source.pathways[static_cast<std::size_t>(pathwayIndex)].name) +
                    QStringLiteral(": ");
                ReportBlock pathwayRows = PropertyTable();
                AddInputs(pathwayRows, properties);
                for (QStringList& row : pathwayRows.rows) {
                    row[0] = prefix + row[0];
                    table.rows.push_back(row);
                }
            }
            model.blocks.push_back(std::move(table));
        }
        for (const UnsaturatedPathway& pathway : source.pathways) {
            Heading(model,
                    Tr(TranslatableText("Unsaturated Pathway")) + QStringLiteral(": ") +
                        ToQString(pathway.name),
                    2);
            ReportBlock table = PropertyTable();
            table.rows.push_back({Tr(TranslatableText("Flow Model")),
                                  pathway.DualPorosity() ? Tr(TranslatableText("Dual Porosity"))
                                                         : Tr(TranslatableText("Porous Medium"))});
            AddInputs(table, pathway);
            model.blocks.push_back(std::move(table));
        }
    }

    if (!project.receptors.empty()) {
        Heading(model, Tr(TranslatableText("Receptors")), 1);
        ReportBlock table;
        table.kind = ReportBlock::Kind::table;
        table.header = {Tr(TranslatableText("Name")), Tr(TranslatableText("X [m]")),
                        Tr(TranslatableText("Y [m]"))};
        table.columnWeights = {2.0, 1.0, 1.0};
        for (const Receptor& receptor : project.receptors)
            table.rows.push_back(
                {ToQString(receptor.name), Number(receptor.x), Number(receptor.y)});
        model.blocks.push_back(std::move(table));
    }

    for (const Contaminant& contaminant : project.contaminants) {
        Heading(model,
                Tr(TranslatableText("Contaminant")) + QStringLiteral(": ") +
                    ToQString(contaminant.name),
                1);
        ReportBlock table = PropertyTable();
        table.rows.push_back(
            {Tr(TranslatableText("Water Quality Standard [mg/l]")), Number(contaminant.standard)});
        AddInputs(table, contaminant);
        // Its place in a decay chain, only where it has one, so that a
        // project without chains reports as before.
        if (contaminant.parentIdentifier != Contaminant::noParent) {
            const Contaminant* parent = project.FindContaminant(contaminant.parentIdentifier);
            table.rows.push_back(
                {Tr(TranslatableText("Parent")),
                 parent ? ToQString(parent->name) : QString::number(contaminant.parentIdentifier)});
            table.rows.push_back({contaminant.yield.Label().empty()
                                      ? Tr(Contaminant::YieldField().label)
                                      : ToQString(contaminant.yield.Label()),
                                  InputText(contaminant.yield)});
        }
        model.blocks.push_back(std::move(table));
    }

    if (project.simulationLevel >= SimulationLevel::level3) {
        Heading(model, Tr(TranslatableText("Aquifer")), 1);
        ReportBlock table = PropertyTable();
        table.rows.push_back({Tr(TranslatableText("Flow Direction [degrees]")),
                              Number(project.aquifer.flowDirection)});
        AddInputs(table, project.aquifer);
        model.blocks.push_back(std::move(table));
    }

    // Correlations change every sample of the inputs they name: a reader of
    // the report must see them beside the distributions.
    if (project.correlations.Count() > 0) {
        Heading(model, Tr(TranslatableText("Input Correlations")), 1);
        ReportBlock table;
        table.kind = ReportBlock::Kind::table;
        table.header = {
            Tr(TranslatableText("Correlation name")), Tr(TranslatableText("Correlated Parameter")),
            Tr(TranslatableText("Parameter Correlated To")), Tr(TranslatableText("Value"))};
        table.columnWeights = {1.2, 1.6, 1.6, 0.6};
        table.numbersRight = false;
        // Naming the inputs reads the project only; the catalogue is built
        // from non-const owners because the correlation dialog edits them.
        const auto inputs = InputCorrelationsDialog::ProjectInputs(const_cast<Project&>(project));
        for (const auto& [reference, record] : project.correlations)
            table.rows.push_back(
                {ToQString(record.name),
                 InputCorrelationsDialog::NameAmong(inputs, record.correlatedParameter),
                 InputCorrelationsDialog::NameAmong(inputs, record.referenceParameter),
                 ToQString(FormatG(record.value))});
        model.blocks.push_back(std::move(table));
    }
    return model;
}

ReportModel ReportBuilder::ResultsReport(const Project& project) {
    ReportModel model;
    model.title = ReportTitle(project);
    AddTitleBlock(model, project, Tr(TranslatableText("Results Report")));
    if (!project.resultsValid) return model;
    {
        ReportBlock run = PropertyTable();
        run.rows.push_back({Tr(TranslatableText("Simulation Level")),
                            Tr(SimulationLevelName(project.simulationLevel).c_str())});
        // The kernel that made these results, not the one chosen now: a
        // later choice applies to the next run only.
        run.rows.push_back(
            {Tr(SolverSettings::kernelLabel), ResultsKernelText(project.resultsKernel)});
        run.rows.push_back({Tr(TranslatableText("Sampling Method")),
                            Tr(SamplingMethodName(project.samplingMethod).c_str())});
        run.rows.push_back({Tr(TranslatableText("Iterations")), QString::number(IterationCount())});
        model.blocks.push_back(std::move(run));
    }

    const bool atReceptors = project.simulationLevel >= SimulationLevel::level3;
    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        if (!project.ContaminantTakesPart(c)) continue;
        const QString name = ToQString(project.contaminants[c].name);
        StatisticsChoice choice;
        choice.contaminant = static_cast<int>(c);
        if (atReceptors) {
            // The sum over every source is what reaches the receptor.
            for (std::size_t r = 0; r < project.receptors.size(); ++r) {
                Heading(model, name + QStringLiteral(" - ") + ToQString(project.receptors[r].name),
                        1);
                choice.source = ResultLocation::total;
                choice.receptor = static_cast<int>(r);
                choice.measuredAt = MeasuredAt::receptor;
                choice.kind = StatisticsKind::concentration;
                AddTimeTable(model, project, choice);
                AddConvergenceTable(model, project, choice);
                AddTravelTimeTable(model, project, choice);
                AddReceptorGraphs(model, project, static_cast<int>(c), static_cast<int>(r));
            }
            continue;
        }
        for (std::size_t s = 0; s < project.sources.size(); ++s) {
            const Source& source = project.sources[s];
            Heading(model, name + QStringLiteral(" - ") + ToQString(source.name), 1);
            choice.source = static_cast<int>(s);
            choice.kind = StatisticsKind::concentration;
            choice.measuredAt = MeasuredAt::source;
            AddTimeTable(model, project, choice);
            AddConvergenceTable(model, project, choice);
            for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                choice.measuredAt = MeasuredAt::firstPathway + static_cast<int>(p);
                const std::size_t before = model.blocks.size();
                Heading(model, ToQString(StatisticsTable::PathwayEntry(source.pathways[p].name)),
                        2);
                const std::size_t withHeading = model.blocks.size();
                choice.kind = StatisticsKind::concentration;
                AddTimeTable(model, project, choice);
                choice.kind = StatisticsKind::dilutedConcentration;
                AddTimeTable(model, project, choice);
                AddTravelTimeTable(model, project, choice);
                // No pathway results (Level 1): no heading either.
                if (model.blocks.size() == withHeading) model.blocks.resize(before);
            }
        }
    }

    // The flow beneath each source, the same for every contaminant.
    if (atReceptors && !project.sources.empty()) {
        std::vector<std::pair<QString, StatisticsChoice>> columns;
        for (std::size_t s = 0; s < project.sources.size(); ++s) {
            StatisticsChoice flow;
            flow.kind = StatisticsKind::aquiferFlow;
            flow.source = static_cast<int>(s);
            flow.measuredAt = MeasuredAt::source;
            columns.emplace_back(ToQString(project.sources[s].name), flow);
        }
        const std::size_t before = model.blocks.size();
        Heading(model, Tr(StatisticsKind::Caption(StatisticsKind::aquiferFlow)), 1);
        if (!AddStatisticsTable(model, project,
                                Tr(StatisticsKind::Caption(StatisticsKind::aquiferFlow)), columns))
            model.blocks.resize(before);
    }
    return model;
}

void ReportBuilder::AddProbabilityMapPage(ReportModel& model, const Project& project,
                                          std::shared_ptr<const ProbabilityMapPicture> picture) {
    const ProbabilityMapDrawing& drawing = picture->Drawing();
    const QStringList title = drawing.Title();
    Heading(model, Tr(TranslatableText("Probability Map")) + QStringLiteral(": ") + title.value(0),
            1);
    // The map, its legend and the run's summary on a page of their own.
    model.blocks.back().newPage = true;
    ReportBlock map;
    map.kind = ReportBlock::Kind::picture;
    map.text = picture->LegendTexts().join(QLatin1Char('\n'));
    // Most of an A4 page's body, leaving room for the summary below it.
    map.heightMm = 140.0;
    map.paint = [picture](QPainter& painter, const QRectF& target) {
        picture->Paint(painter, target);
    };
    model.blocks.push_back(std::move(map));

    // The run the map repeats at every node, and what was mapped.
    const ProbabilityMap& summary = picture->Summary();
    ReportBlock run = PropertyTable();
    run.rows.push_back({Tr(TranslatableText("Simulation Level")),
                        Tr(SimulationLevelName(project.simulationLevel).c_str())});
    run.rows.push_back({Tr(TranslatableText("Iterations")), QString::number(summary.iterations)});
    run.rows.push_back({Tr(TranslatableText("Sampling Method")),
                        Tr(SamplingMethodName(project.samplingMethod).c_str())});
    run.rows.push_back({Tr(SolverSettings::kernelLabel), ResultsKernelText(project.resultsKernel)});
    run.rows.push_back({Tr(TranslatableText("Contaminant")), ToQString(summary.contaminantName)});
    run.rows.push_back({Tr(TranslatableText("Time [years]")), Number(summary.timeYears)});
    run.rows.push_back({Tr(TranslatableText("Water quality standard [mg/l]")),
                        summary.standardMgPerL > 0.0 ? Number(summary.standardMgPerL)
                                                     : Tr(TranslatableText("None"))});
    QStringList levels;
    for (int level : summary.percentileLevels) levels << QString::number(level);
    run.rows.push_back(
        {Tr(TranslatableText("Percentiles computed")), levels.join(QStringLiteral(", "))});
    run.rows.push_back(
        {Tr(TranslatableText("Grid")),
         ToQString(FormatText(TranslateFormat("%d x %d nodes, %g m apart, from (%.2lf,%.2lf)"),
                              {static_cast<int>(summary.grid.columns),
                               static_cast<int>(summary.grid.rows), summary.grid.spacingXM,
                               summary.grid.leftX, summary.grid.topY}))});
    if (!summary.complete)
        run.rows.push_back({Tr(TranslatableText("Nodes")),
                            Tr(TranslatableText("Stopped: only the nodes computed are drawn"))});
    model.blocks.push_back(std::move(run));
}

} // namespace varnex::ui
