#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "ui/graphs/CTChart.h"
#include "ui/graphs/GraphContent.h"

namespace varnex {
class Project;
}

class QPainter;
class QRectF;

namespace varnex::ui {

class ProbabilityMapPicture;

// One piece of a printed report, laid out by ReportPrinter.
struct ReportBlock {
    enum class Kind {
        titleBlock, // the project details as label / value lines, with the date
        heading,    // `text`; `level` 1 (section) or 2 (subsection)
        paragraph,  // `text`
        table,      // `header` and `rows`; the header repeats on every page
        graph,      // `graph` drawn with `chart`, one third of a page high
        picture,    // `paint` over the page's width, `heightMm` high (at most the page)
    };

    Kind kind = Kind::paragraph;
    QString text;
    int level = 1;
    QStringList header;
    std::vector<QStringList> rows;
    // Relative column widths; empty: the first column twice the others.
    std::vector<double> columnWeights;
    // Numbers line up on the right; texts (distributions, names) read from the left.
    bool numbersRight = true;
    GraphContent graph;
    ChartSettings chart;
    // A picture: drawn into the rectangle given, in device pixels. `text`
    // then holds what the picture writes (a map's legend), for a reader of
    // the model.
    std::function<void(QPainter&, const QRectF&)> paint;
    double heightMm = 0.0;
    // Starts a new page (a section meant to be read as one page).
    bool newPage = false;
};

// A report as a list of blocks, with the title for the header line of each
// page. The same model goes to the printer, a PDF file or a test.
struct ReportModel {
    QString title;
    std::vector<ReportBlock> blocks;

    int Count(ReportBlock::Kind kind) const;
};

class ReportBuilder {
public:
    // The inputs: details, level, processes, time slices, then every
    // source (with its inventory and pathways), receptor, contaminant and
    // the aquifer, each input with its distribution text.
    static ReportModel ModelReport(const Project& project);
    // The statistics of the last run: for each contaminant the tables of
    // every result kind over the time slices, at each receptor (Level 3,
    // 3a) or at each source and pathway base (Level 1, 2), and for the
    // receptor concentrations the cumulative frequency at the last time
    // slice and the time history. Empty (no blocks after the title block)
    // when the project holds no valid results.
    static ReportModel ResultsReport(const Project& project);

    // The page of a probability map after the results: the map with its
    // cells, contours, sources and receptors, its legend, scale bar and
    // north arrow, and the run it comes from (level, iterations, sampling
    // method, solver, contaminant, time, standard).
    static void AddProbabilityMapPage(ReportModel& model, const Project& project,
                                      std::shared_ptr<const ProbabilityMapPicture> picture);

    // The title of the header line: the project's title, else its file name.
    static QString ReportTitle(const Project& project);
};

} // namespace varnex::ui
