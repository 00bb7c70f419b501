#include "ui/reports/HeadlessRender.h"

#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/PlumeObserver.h"
#include "run/ProbabilityMap.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "ui/common/ImageFile.h"
#include "ui/common/QtText.h"
#include "ui/graphs/CTChart.h"
#include "ui/graphs/GraphBuilder.h"
#include "ui/reports/PlumePicture.h"
#include "ui/reports/ProbabilityMapPicture.h"
#include "ui/reports/ReportModel.h"
#include "ui/reports/ReportPrinter.h"
#include "ui/siteplan/BackgroundMapPath.h"
#include "ui/siteplan/DxfMapGeometry.h"
#include "ui/siteplan/DxfMapReader.h"

namespace varnex::ui {

namespace {

constexpr int usageError = 2;
constexpr int workFailed = 1;

void Error(const QString& text) { std::fprintf(stderr, "varnex: %s\n", text.toUtf8().constData()); }

// A wrong command line: the message names the option.
struct UsageError {
    QString message;
};

class Arguments {
public:
    // `flags` take no value.
    Arguments(const QStringList& arguments, const QStringList& valued, const QStringList& flags) {
        for (int i = 2; i < arguments.size(); ++i) {
            const QString& argument = arguments[i];
            if (valued.contains(argument)) {
                if (i + 1 >= arguments.size())
                    throw UsageError{argument + QStringLiteral(": a value is missing")};
                values_[argument] = arguments[++i];
            } else if (flags.contains(argument)) {
                values_[argument] = QString();
            } else if (argument.startsWith(QStringLiteral("--"))) {
                throw UsageError{argument + QStringLiteral(": unknown option")};
            } else {
                positional_.push_back(argument);
            }
        }
    }

    bool Has(const QString& option) const { return values_.count(option) > 0; }
    std::optional<QString> Value(const QString& option) const {
        const auto found = values_.find(option);
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }
    QString Required(const QString& option) const {
        const std::optional<QString> value = Value(option);
        if (!value) throw UsageError{option + QStringLiteral(": required")};
        return *value;
    }
    double Number(const QString& option) const {
        bool ok = false;
        const double value = Required(option).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            throw UsageError{option + QStringLiteral(": not a number: ") + Required(option)};
        return value;
    }
    // PROJECT and OUT, in that order.
    void Files(const QString& option, QString& project, QString& out) const {
        if (positional_.size() != 2)
            throw UsageError{option + QStringLiteral(": expects a project and an output file")};
        project = positional_[0];
        out = positional_[1];
    }
    QSize Size(const QSize& fallback) const {
        const std::optional<QString> text = Value(QStringLiteral("--size"));
        if (!text) return fallback;
        const QStringList parts = text->split(QLatin1Char('x'));
        bool okW = false, okH = false;
        const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
        const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
        if (!okW || !okH || w < 50 || h < 50 || w > 10000 || h > 10000)
            throw UsageError{
                QStringLiteral("--size: expects WIDTHxHEIGHT in pixels, 50 to 10000: ") + *text};
        return QSize(w, h);
    }

private:
    std::map<QString, QString> values_;
    QStringList positional_;
};

bool ReadProject(const QString& path, Project& project) {
    std::vector<std::string> problems;
    if (path.endsWith(QStringLiteral(".vnx"), Qt::CaseInsensitive)) {
        std::string error;
        if (LoadProject(ToStdString(path), project, error)) return true;
        problems.push_back(error.empty() ? "not a readable project file" : error);
    } else if (LoadProjectJsonFile(ToStdString(path), project, problems)) {
        return true;
    }
    Error(QStringLiteral("cannot read ") + path);
    for (const std::string& problem : problems) std::fprintf(stderr, "  %s\n", problem.c_str());
    return false;
}

void CheckImageName(const QString& out) {
    if (!IsImageFileName(out))
        throw UsageError{out + QStringLiteral(": the output file must end in .png or .svg")};
}

int IndexByName(const QString& option, const QString& name, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (ToQString(names[i]) == name) return static_cast<int>(i);
    QStringList known;
    for (const std::string& n : names) known.push_back(ToQString(n));
    throw UsageError{option + QStringLiteral(": no entry named \"") + name +
                     QStringLiteral("\" (the project has: ") + known.join(QStringLiteral(", ")) +
                     QStringLiteral(")")};
}

template <class Entity>
std::vector<std::string> Names(const std::vector<Entity>& entities) {
    std::vector<std::string> names;
    for (const Entity& entity : entities) names.push_back(entity.name);
    return names;
}

class QuietRunObserver : public RunObserver {
public:
    void Failed(const std::string& message) override { failure = message; }
    std::string failure;
};

class QuietMapObserver : public PlumeObserver {
public:
    void Failed(const std::string& message) override {
        failures += (failures.empty() ? "" : "\n") + message;
    }
    std::string failures;
};

// The background map as the site plan shows it; a map that cannot be read
// is told and left out rather than failing the picture. False without one.
bool ReadBackgroundMap(const Project& project, const QString& projectPath, DxfMapGeometry& map) {
    const QString mapPath = BackgroundMapPath(project, QFileInfo(projectPath).absolutePath());
    if (mapPath.isEmpty()) return false;
    std::string mapError;
    if (DxfMapReader::ReadFile(ToStdString(mapPath), project.coordinateSystemEpsg, map, mapError))
        return true;
    Error(QStringLiteral("background map left out: ") + ToQString(mapError));
    return false;
}

int Report(const QStringList& arguments) {
    const Arguments args(arguments,
                         {QStringLiteral("--probability-map"), QStringLiteral("--time"),
                          QStringLiteral("--spacing")},
                         {});
    QString projectPath, out;
    args.Files(QStringLiteral("--report"), projectPath, out);
    if (!out.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        throw UsageError{out + QStringLiteral(": the output file must end in .pdf")};
    const std::optional<QString> mapped = args.Value(QStringLiteral("--probability-map"));
    ProbabilityMapRequest mapRequest;
    if (mapped) {
        mapRequest.timeYears = args.Number(QStringLiteral("--time"));
        mapRequest.grid.spacingXM = mapRequest.grid.spacingYM =
            args.Number(QStringLiteral("--spacing"));
    }
    Project project;
    if (!ReadProject(projectPath, project)) return usageError;
    ReportModel model;
    if (mapped) {
        // A probability map repeats the run's iterations, which a file does
        // not hold: the project is run again (its seed gives the same
        // samples), then mapped around its sources and receptors.
        mapRequest.contaminantIndex =
            IndexByName(QStringLiteral("--probability-map"), *mapped, Names(project.contaminants));
        std::string report;
        if (!project.Validate(report)) {
            Error(QStringLiteral("Validation Errors:\n") + ToQString(report));
            return workFailed;
        }
        QuietRunObserver runObserver;
        if (!RunSimulation(project, runObserver)) {
            Error(runObserver.failure.empty() ? QStringLiteral("the run failed")
                                              : ToQString(runObserver.failure));
            return workFailed;
        }
        PlumeRequest area;
        if (!DefaultPlumeArea(project, mapRequest.grid.spacingXM, area)) {
            Error(QStringLiteral("the project has neither sources nor receptors to map around"));
            return workFailed;
        }
        MapGrid& grid = mapRequest.grid;
        grid.leftX = area.leftX;
        grid.topY = area.topY;
        grid.columns = static_cast<std::size_t>(std::ceil(area.widthM / grid.spacingXM));
        grid.rows = static_cast<std::size_t>(std::ceil(area.heightM / grid.spacingYM));
        mapRequest.percentileLevels = project.plumeMap.percentiles;
        mapRequest.title = ToStdString(ReportBuilder::ReportTitle(project));
        project.plumeMap.kind = PlumeMapKind::probability;
        QuietMapObserver mapObserver;
        ProbabilityMap map;
        if (!ComputeProbabilityMap(project, mapRequest, mapObserver, map)) {
            Error(mapObserver.failures.empty() ? QStringLiteral("the probability map failed")
                                               : ToQString(mapObserver.failures));
            return workFailed;
        }
        auto backgroundMap = std::make_shared<DxfMapGeometry>();
        const bool mapRead = ReadBackgroundMap(project, projectPath, *backgroundMap);
        model = ReportBuilder::ResultsReport(project);
        ReportBuilder::AddProbabilityMapPage(
            model, project,
            std::make_shared<ProbabilityMapPicture>(project,
                                                    mapRead ? backgroundMap.get() : nullptr, map));
    } else {
        if (!project.resultsValid) {
            Error(QStringLiteral("no results: run the project first"));
            return workFailed;
        }
        model = ReportBuilder::ResultsReport(project);
    }
    QString error;
    if (!ReportPrinter::WritePdf(model, out, error)) {
        // The printer's message names the file, then gives the system's reason.
        const qsizetype reasonAt = error.indexOf(QLatin1Char('\n'));
        Error(QStringLiteral("cannot write ") + out +
              (reasonAt >= 0 ? error.mid(reasonAt) : QString()));
        return workFailed;
    }
    return 0;
}

int RenderGraph(const QStringList& arguments) {
    const Arguments args(arguments,
                         {QStringLiteral("--kind"), QStringLiteral("--type"),
                          QStringLiteral("--contaminant"), QStringLiteral("--source"),
                          QStringLiteral("--receptor"), QStringLiteral("--pathway"),
                          QStringLiteral("--time"), QStringLiteral("--size")},
                         {QStringLiteral("--log")});
    QString projectPath, out;
    args.Files(QStringLiteral("--render-graph"), projectPath, out);
    CheckImageName(out);
    const QSize size = args.Size(QSize(1000, 650));
    bool ok = false;
    const int kind = args.Required(QStringLiteral("--kind")).toInt(&ok);
    if (!ok || kind < 0 || kind >= GraphResultKind::count)
        throw UsageError{QStringLiteral("--kind: expects a result kind code 0 to 8")};
    GraphSelection selection;
    selection.location.kind = kind;
    selection.graphType = args.Required(QStringLiteral("--type")).toInt(&ok);
    if (!ok || (selection.graphType != GraphType::cumulativeFrequency &&
                selection.graphType != GraphType::reverseCumulativeFrequency &&
                selection.graphType != GraphType::timeHistory))
        throw UsageError{QStringLiteral(
            "--type: expects 0 (cumulative frequency), 1 (reverse) or 3 (time history)")};

    Project project;
    if (!ReadProject(projectPath, project)) return usageError;
    if (const auto name = args.Value(QStringLiteral("--contaminant")))
        selection.location.contaminant =
            IndexByName(QStringLiteral("--contaminant"), *name, Names(project.contaminants));
    if (const auto name = args.Value(QStringLiteral("--source")))
        selection.location.source =
            *name == QStringLiteral("<Total>")
                ? ResultLocation::total
                : IndexByName(QStringLiteral("--source"), *name, Names(project.sources));
    else if (GraphResultKind::OffersTotal(project.simulationLevel))
        selection.location.source = ResultLocation::total;
    if (const auto name = args.Value(QStringLiteral("--receptor")))
        selection.location.receptor =
            IndexByName(QStringLiteral("--receptor"), *name, Names(project.receptors));
    if (const auto name = args.Value(QStringLiteral("--pathway"))) {
        const int source = selection.location.source;
        if (source < 0 || static_cast<std::size_t>(source) >= project.sources.size())
            throw UsageError{QStringLiteral("--pathway: needs a --source other than <Total>")};
        selection.location.pathway =
            IndexByName(QStringLiteral("--pathway"), *name,
                        Names(project.sources[static_cast<std::size_t>(source)].pathways));
    }
    if (selection.graphType != GraphType::timeHistory && !project.timeSlices.empty()) {
        int slice = static_cast<int>(project.timeSlices.size()) - 1;
        if (args.Has(QStringLiteral("--time"))) {
            const double years = args.Number(QStringLiteral("--time"));
            const auto found =
                std::find(project.timeSlices.begin(), project.timeSlices.end(), years);
            if (found == project.timeSlices.end())
                throw UsageError{QStringLiteral("--time: not a time slice of the project: ") +
                                 args.Required(QStringLiteral("--time"))};
            slice = static_cast<int>(found - project.timeSlices.begin());
        }
        selection.timeSlices = {slice};
    }
    if (!project.resultsValid) {
        Error(QStringLiteral("no results: run the project first"));
        return workFailed;
    }
    const GraphContent content = GraphBuilder::Build(project, selection);
    if (content.Empty()) {
        Error(QStringLiteral("no results for this graph: ") + ToQString(content.emptyText));
        return workFailed;
    }
    const ChartSettings settings =
        CTChart::FittingSettings(content, false, args.Has(QStringLiteral("--log")), true);
    if (!WriteImageFile(out, size, [&](QPainter& painter) {
            CTChart::Render(content, settings, painter, QRectF(QPointF(0, 0), QSizeF(size)));
        })) {
        Error(QStringLiteral("cannot write ") + out);
        return workFailed;
    }
    return 0;
}

class QuietPlumeObserver : public PlumeObserver {
public:
    void Failed(const std::string& message) override { failure = message; }
    std::string failure;
};

int RenderPlume(const QStringList& arguments) {
    const Arguments args(arguments,
                         {QStringLiteral("--contaminant"), QStringLiteral("--time"),
                          QStringLiteral("--spacing"), QStringLiteral("--area"),
                          QStringLiteral("--size")},
                         {});
    QString projectPath, out;
    args.Files(QStringLiteral("--render-plume"), projectPath, out);
    CheckImageName(out);
    PlumeRequest request;
    request.timeYears = args.Number(QStringLiteral("--time"));
    request.spacingM = args.Number(QStringLiteral("--spacing"));
    std::optional<QRectF> area;
    if (const auto text = args.Value(QStringLiteral("--area"))) {
        const QStringList parts = text->split(QLatin1Char(','));
        double values[4] = {};
        bool good = parts.size() == 4;
        for (int i = 0; good && i < 4; ++i) {
            values[i] = parts[i].trimmed().toDouble(&good);
            good = good && std::isfinite(values[i]);
        }
        if (!good || values[2] <= 0.0 || values[3] <= 0.0)
            throw UsageError{QStringLiteral(
                "--area: expects X0,Y0,WIDTH,HEIGHT with a width and height above 0")};
        request.leftX = values[0];
        request.topY = values[1];
        request.widthM = values[2];
        request.heightM = values[3];
        area = QRectF(values[0], values[1] - values[3], values[2], values[3]);
    }
    const QString contaminantName = args.Required(QStringLiteral("--contaminant"));

    Project project;
    if (!ReadProject(projectPath, project)) return usageError;
    request.contaminantIndex =
        IndexByName(QStringLiteral("--contaminant"), contaminantName, Names(project.contaminants));
    std::string report;
    if (!project.Validate(report)) {
        Error(QStringLiteral("Validation Errors:\n") + ToQString(report));
        return workFailed;
    }
    if (!area && !DefaultPlumeArea(project, request.spacingM, request)) {
        Error(QStringLiteral(
            "the project has neither sources nor receptors to map around; give --area"));
        return workFailed;
    }
    if (!area && request.widthM <= request.spacingM && request.heightM <= request.spacingM) {
        // A single point would be a picture of one node: show the ground
        // around it, 7 spacings each way.
        request.leftX -= 7.0 * request.spacingM;
        request.topY += 7.0 * request.spacingM;
        request.widthM = request.heightM = 14.0 * request.spacingM;
    }
    request.title = ToStdString(ReportBuilder::ReportTitle(project));
    QuietPlumeObserver observer;
    if (!ComputePlume(project, request, observer)) {
        Error(observer.failure.empty() ? QStringLiteral("the plume calculation failed")
                                       : ToQString(observer.failure));
        return workFailed;
    }

    const QRectF plan(request.leftX, request.topY - request.heightM, request.widthM,
                      request.heightM);
    // The background map as the site plan shows it; a map that cannot be
    // read is told and left out rather than failing the picture.
    DxfMapGeometry backgroundMap;
    bool mapRead = false;
    const QString mapPath = BackgroundMapPath(project, QFileInfo(projectPath).absolutePath());
    if (!mapPath.isEmpty()) {
        std::string mapError;
        mapRead = DxfMapReader::ReadFile(ToStdString(mapPath), project.coordinateSystemEpsg,
                                         backgroundMap, mapError);
        if (!mapRead) Error(QStringLiteral("background map left out: ") + ToQString(mapError));
    }
    const PlumePicture picture(project, mapRead ? &backgroundMap : nullptr, plan);
    if (!picture.Write(out, args.Size(picture.DefaultSize()))) {
        Error(QStringLiteral("cannot write ") + out);
        return workFailed;
    }
    return 0;
}

} // namespace

bool HeadlessRender::Requested(int argc, char** argv) {
    if (argc < 2) return false;
    for (const char* option : {"--report", "--render-graph", "--render-plume"})
        if (std::strcmp(argv[1], option) == 0) return true;
    return false;
}

int HeadlessRender::Run(const QStringList& arguments) {
    try {
        const QString option = arguments.value(1);
        if (option == QStringLiteral("--report")) return Report(arguments);
        if (option == QStringLiteral("--render-graph")) return RenderGraph(arguments);
        if (option == QStringLiteral("--render-plume")) return RenderPlume(arguments);
        throw UsageError{option + QStringLiteral(": unknown option")};
    } catch (const UsageError& error) {
        Error(error.message);
        return usageError;
    }
}

} // namespace varnex::ui
