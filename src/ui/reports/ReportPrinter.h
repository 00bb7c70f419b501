#pragma once

#include <QString>

#include "ui/reports/ReportModel.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace varnex::ui {

// Lays a ReportModel out on pages of any paged device (a printer, a PDF
// writer) and paints it: a header line with the report's title, a footer
// "Page %d of %d", headings kept with what follows, tables that repeat
// their header row on each page and never split a row, and graphs drawn by
// the same chart code as the graph window.
class ReportPrinter {
public:
    // The page size the device has, with margins of 20 mm. Returns the
    // number of pages painted; 0 when the device cannot be painted on.
    static int Print(const ReportModel& model, QPagedPaintDevice& device);
    // The number of pages Print would paint, without painting.
    static int CountPages(const ReportModel& model, QPagedPaintDevice& device);

    // An A4 PDF of the report; false with the reason in `error`.
    static bool WritePdf(const ReportModel& model, const QString& path, QString& error);

    // One graph on one page, under the header line.
    static bool PrintGraph(const QString& title, const GraphContent& content,
                           const ChartSettings& settings, QPagedPaintDevice& device);

    // The printer the print and page setup commands share, so a page setup
    // holds for the next print.
    static QPrinter& SharedPrinter();
};

} // namespace varnex::ui
