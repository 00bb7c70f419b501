#include "ui/reports/ReportPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <numeric>
#include <vector>

#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

constexpr double marginMm = 20.0;
constexpr double graphHeightMm = 82.0;
// The charts are laid out at screen size and scaled onto the page, so their
// fonts and lines keep the proportions of the graph window.
constexpr double chartDpi = 96.0;

// A stretch of one block on one page; for a table the rows [firstRow,
// endRow) under a repeated header row.
struct Placement {
    const ReportBlock* block = nullptr;
    double y = 0.0;
    int firstRow = 0;
    int endRow = 0;
};
using Page = std::vector<Placement>;

class PageLayout {
public:
    explicit PageLayout(QPaintDevice& device) : device_(device) {
        dpi_ = device.logicalDpiY();
        width_ = device.width();
        height_ = device.height();
        body_ = Font(9.0, false);
        table_ = Font(8.0, false);
        tableBold_ = Font(8.0, true);
        heading1_ = Font(13.0, true);
        heading2_ = Font(10.5, true);
        margin_ = Font(8.0, false);
        const double line = QFontMetricsF(margin_, &device_).height();
        bodyTop_ = line + Mm(4.0);
        bodyBottom_ = height_ - line - Mm(4.0);
    }

    double Mm(double mm) const { return mm * dpi_ / 25.4; }

    std::vector<Page> Paginate(const ReportModel& model) const {
        std::vector<Page> pages(1);
        double y = bodyTop_;
        auto newPage = [&] {
            pages.emplace_back();
            y = bodyTop_;
        };
        for (std::size_t i = 0; i < model.blocks.size(); ++i) {
            const ReportBlock& block = model.blocks[i];
            if (block.newPage && y > bodyTop_) newPage();
            double gap = y > bodyTop_ ? Gap(block) : 0.0;
            if (block.kind != ReportBlock::Kind::table) {
                double need = Height(block);
                // A heading never ends a page: it goes with the start of what follows.
                if (block.kind == ReportBlock::Kind::heading && i + 1 < model.blocks.size())
                    need += Gap(model.blocks[i + 1]) + LeadHeight(model.blocks[i + 1]);
                if (y > bodyTop_ && y + gap + need > bodyBottom_) {
                    newPage();
                    gap = 0.0;
                }
                pages.back().push_back({&block, y + gap, 0, 0});
                y += gap + Height(block);
                continue;
            }
            const std::vector<double> widths = ColumnWidths(block);
            const double headerHeight = RowHeight(block.header, widths, true);
            const int rows = static_cast<int>(block.rows.size());
            if (y > bodyTop_ && y + gap + LeadHeight(block) > bodyBottom_) {
                newPage();
                gap = 0.0;
            }
            Placement part{&block, y + gap, 0, 0};
            double rowY = part.y + headerHeight;
            for (int r = 0; r < rows; ++r) {
                const double h = RowHeight(block.rows[static_cast<std::size_t>(r)], widths, false);
                // A row is never split: it moves whole to the next page,
                // under the header row again.
                if (rowY + h > bodyBottom_ && r > part.firstRow) {
                    part.endRow = r;
                    pages.back().push_back(part);
                    newPage();
                    part = Placement{&block, y, r, r};
                    rowY = y + headerHeight;
                }
                rowY += h;
            }
            part.endRow = rows;
            pages.back().push_back(part);
            y = rowY;
        }
        return pages;
    }

    void Paint(QPainter& painter, QPagedPaintDevice& device, const ReportModel& model,
               const std::vector<Page>& pages) const {
        for (std::size_t p = 0; p < pages.size(); ++p) {
            if (p > 0) device.newPage();
            PaintMargins(painter, model.title, static_cast<int>(p) + 1,
                         static_cast<int>(pages.size()));
            for (const Placement& placement : pages[p]) PaintPlacement(painter, placement);
        }
    }

    void PaintMargins(QPainter& painter, const QString& title, int page, int pages) const {
        painter.save();
        painter.setFont(margin_);
        painter.setPen(QColor(0x40, 0x40, 0x40));
        const double line = QFontMetricsF(margin_, &device_).height();
        const QRectF top(0.0, 0.0, width_, line);
        painter.drawText(
            top, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(margin_, &device_).elidedText(title, Qt::ElideRight, width_ * 0.7));
        painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Varnex"));
        painter.setPen(QPen(QColor(0x80, 0x80, 0x80), Mm(0.2)));
        painter.drawLine(QPointF(0.0, line + Mm(1.0)), QPointF(width_, line + Mm(1.0)));
        painter.setPen(QColor(0x40, 0x40, 0x40));
        const QRectF bottom(0.0, height_ - line, width_, line);
        painter.drawText(
            bottom, Qt::AlignHCenter | Qt::AlignVCenter,
            ToQString(FormatText(TranslateFormat("Page %d of %d"),
                                 {static_cast<long long>(page), static_cast<long long>(pages)})));
        painter.restore();
    }

    void PaintGraph(QPainter& painter, const GraphContent& content, const ChartSettings& settings,
                    const QRectF& target) const {
        const double scale = dpi_ / chartDpi;
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(scale, scale);
        CTChart::Render(content, settings, painter,
                        QRectF(0.0, 0.0, target.width() / scale, target.height() / scale));
        painter.restore();
    }

    double BodyTop() const { return bodyTop_; }
    double BodyHeight() const { return bodyBottom_ - bodyTop_; }
    double Width() const { return width_; }

private:
    QFont Font(double points, bool bold) const {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(points);
        font.setBold(bold);
        return font;
    }

    double Padding() const { return Mm(1.2); }

    double TextHeight(const QFont& font, const QString& text, double width) const {
        const QFontMetricsF metrics(font, &device_);
        if (text.isEmpty()) return metrics.height();
        return std::max(
            metrics.height(),
            metrics.boundingRect(QRectF(0.0, 0.0, width, 1e9), Qt::TextWordWrap, text).height());
    }

    double Gap(const ReportBlock& block) const {
        if (block.kind == ReportBlock::Kind::heading) return Mm(block.level == 1 ? 6.0 : 3.5);
        return Mm(2.0);
    }

    double Height(const ReportBlock& block) const {
        switch (block.kind) {
        case ReportBlock::Kind::heading:
            return TextHeight(block.level == 1 ? heading1_ : heading2_, block.text, width_) +
                   Mm(1.5);
        case ReportBlock::Kind::paragraph: return TextHeight(body_, block.text, width_);
        case ReportBlock::Kind::titleBlock: {
            double h = 2.0 * Padding();
            const double labelWidth = TitleLabelWidth(block);
            for (const QStringList& row : block.rows)
                h += TextHeight(body_, row.value(1), width_ - labelWidth - 3.0 * Padding()) +
                     Mm(0.8);
            return h;
        }
        case ReportBlock::Kind::graph: return std::min(Mm(graphHeightMm), BodyHeight());
        case ReportBlock::Kind::picture: return std::min(Mm(block.heightMm), BodyHeight());
        case ReportBlock::Kind::table: break;
        }
        const std::vector<double> widths = ColumnWidths(block);
        double h = RowHeight(block.header, widths, true);
        for (const QStringList& row : block.rows) h += RowHeight(row, widths, false);
        return h;
    }

    // What must fit under a heading: the block's first line, or for a table
    // its header and first row.
    double LeadHeight(const ReportBlock& block) const {
        if (block.kind != ReportBlock::Kind::table)
            return std::min(Height(block), BodyHeight() * 0.5);
        const std::vector<double> widths = ColumnWidths(block);
        double h = RowHeight(block.header, widths, true);
        if (!block.rows.empty()) h += RowHeight(block.rows.front(), widths, false);
        return h;
    }

    double TitleLabelWidth(const ReportBlock& block) const {
        const QFontMetricsF metrics(tableBold_, &device_);
        double widest = 0.0;
        for (const QStringList& row : block.rows)
            widest = std::max(widest, metrics.horizontalAdvance(row.value(0)));
        return widest + 2.0 * Padding();
    }

    // Every column at least as wide as its longest word, so a number is
    // never broken inside; what is left goes by the columns' weights.
    std::vector<double> ColumnWidths(const ReportBlock& block) const {
        const std::size_t columns = std::max<std::size_t>(1, block.header.size());
        std::vector<double> weights = block.columnWeights;
        if (weights.empty()) weights.push_back(2.0);
        weights.resize(columns, 1.0);
        std::vector<double> widths(columns, 0.0);
        const QFontMetricsF bold(tableBold_, &device_), plain(table_, &device_);
        auto widen = [&](const QStringList& cells, const QFontMetricsF& metrics) {
            for (std::size_t c = 0; c < columns; ++c)
                for (const QString& word :
                     cells.value(static_cast<int>(c)).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    widths[c] = std::max(widths[c],
                                         metrics.horizontalAdvance(word) + 2.0 * Padding() + 1.0);
        };
        widen(block.header, bold);
        for (const QStringList& row : block.rows) widen(row, plain);
        const double least = std::accumulate(widths.begin(), widths.end(), 0.0);
        if (least >= width_) {
            for (double& w : widths) w *= width_ / least;
            return widths;
        }
        // The weights share out the whole width; a column keeps its least
        // width and the others give way.
        std::vector<bool> fixed(columns, false);
        for (int pass = 0; pass < static_cast<int>(columns); ++pass) {
            double freeWidth = width_, freeWeight = 0.0;
            for (std::size_t c = 0; c < columns; ++c) {
                if (fixed[c])
                    freeWidth -= widths[c];
                else
                    freeWeight += weights[c];
            }
            bool changed = false;
            for (std::size_t c = 0; c < columns; ++c)
                if (!fixed[c] && freeWidth * weights[c] / freeWeight < widths[c])
                    fixed[c] = changed = true;
            if (!changed) {
                for (std::size_t c = 0; c < columns; ++c)
                    if (!fixed[c]) widths[c] = freeWidth * weights[c] / freeWeight;
                break;
            }
        }
        return widths;
    }

    double RowHeight(const QStringList& cells, const std::vector<double>& widths,
                     bool header) const {
        double h = 0.0;
        for (std::size_t c = 0; c < widths.size(); ++c)
            h = std::max(h,
                         TextHeight(header ? tableBold_ : table_, cells.value(static_cast<int>(c)),
                                    widths[c] - 2.0 * Padding()));
        return h + 2.0 * Padding();
    }

    void PaintRow(QPainter& painter, const QStringList& cells, const std::vector<double>& widths,
                  double y, double h, bool header, bool numbersRight) const {
        painter.setFont(header ? tableBold_ : table_);
        double x = 0.0;
        const QPen grid(QColor(0x90, 0x90, 0x90), Mm(0.15));
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const QRectF cell(x, y, widths[c], h);
            painter.setPen(Qt::NoPen);
            if (header) painter.fillRect(cell, QColor(0xe4, 0xe8, 0xee));
            painter.setPen(grid);
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            const Qt::Alignment align =
                c == 0 || header || !numbersRight ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(cell.adjusted(Padding(), Padding(), -Padding(), -Padding()),
                             static_cast<int>(align | Qt::AlignVCenter) | Qt::TextWordWrap,
                             cells.value(static_cast<int>(c)));
            x += widths[c];
        }
    }

    void PaintPlacement(QPainter& painter, const Placement& placement) const {
        const ReportBlock& block = *placement.block;
        painter.save();
        painter.setPen(Qt::black);
        switch (block.kind) {
        case ReportBlock::Kind::heading: {
            const QFont& font = block.level == 1 ? heading1_ : heading2_;
            painter.setFont(font);
            painter.setPen(QColor(0x1a, 0x3a, 0x6a));
            const double h = TextHeight(font, block.text, width_);
            painter.drawText(QRectF(0.0, placement.y, width_, h), Qt::TextWordWrap, block.text);
            if (block.level == 1) {
                painter.setPen(QPen(QColor(0x1a, 0x3a, 0x6a), Mm(0.3)));
                painter.drawLine(QPointF(0.0, placement.y + h + Mm(0.6)),
                                 QPointF(width_, placement.y + h + Mm(0.6)));
            }
            break;
        }
        case ReportBlock::Kind::paragraph:
            painter.setFont(body_);
            painter.drawText(QRectF(0.0, placement.y, width_, Height(block)), Qt::TextWordWrap,
                             block.text);
            break;
        case ReportBlock::Kind::titleBlock: {
            const double h = Height(block);
            painter.setPen(QPen(QColor(0x90, 0x90, 0x90), Mm(0.2)));
            painter.setBrush(QColor(0xf4, 0xf6, 0xf9));
            painter.drawRect(QRectF(0.0, placement.y, width_, h));
            const double labelWidth = TitleLabelWidth(block);
            double y = placement.y + Padding();
            painter.setPen(Qt::black);
            for (const QStringList& row : block.rows) {
                const double valueWidth = width_ - labelWidth - 3.0 * Padding();
                const double rowHeight = TextHeight(body_, row.value(1), valueWidth);
                painter.setFont(tableBold_);
                painter.drawText(QRectF(Padding(), y, labelWidth, rowHeight),
                                 Qt::AlignLeft | Qt::AlignVCenter, row.value(0));
                painter.setFont(body_);
                painter.drawText(QRectF(labelWidth + 2.0 * Padding(), y, valueWidth, rowHeight),
                                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, row.value(1));
                y += rowHeight + Mm(0.8);
            }
            break;
        }
        case ReportBlock::Kind::graph:
            PaintGraph(painter, block.graph, block.chart,
                       QRectF(0.0, placement.y, width_, Height(block)));
            break;
        case ReportBlock::Kind::picture:
            if (block.paint) block.paint(painter, QRectF(0.0, placement.y, width_, Height(block)));
            break;
        case ReportBlock::Kind::table: {
            const std::vector<double> widths = ColumnWidths(block);
            double y = placement.y;
            const double headerHeight = RowHeight(block.header, widths, true);
            PaintRow(painter, block.header, widths, y, headerHeight, true, block.numbersRight);
            y += headerHeight;
            for (int r = placement.firstRow; r < placement.endRow; ++r) {
                const QStringList& row = block.rows[static_cast<std::size_t>(r)];
                const double h = RowHeight(row, widths, false);
                PaintRow(painter, row, widths, y, h, false, block.numbersRight);
                y += h;
            }
            break;
        }
        }
        painter.restore();
    }

    QPaintDevice& device_;
    double dpi_ = 96.0;
    double width_ = 0.0;
    double height_ = 0.0;
    double bodyTop_ = 0.0;
    double bodyBottom_ = 0.0;
    QFont body_, table_, tableBold_, heading1_, heading2_, margin_;
};

void UseReportMargins(QPagedPaintDevice& device) {
    device.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                          QPageLayout::Millimeter);
}

} // namespace

int ReportPrinter::CountPages(const ReportModel& model, QPagedPaintDevice& device) {
    UseReportMargins(device);
    return static_cast<int>(PageLayout(device).Paginate(model).size());
}

int ReportPrinter::Print(const ReportModel& model, QPagedPaintDevice& device) {
    UseReportMargins(device);
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const PageLayout layout(device);
    const std::vector<Page> pages = layout.Paginate(model);
    layout.Paint(painter, device, model, pages);
    painter.end();
    return static_cast<int>(pages.size());
}

bool ReportPrinter::WritePdf(const ReportModel& model, const QString& path, QString& error) {
    // The file is opened here rather than by the writer, which keeps the
    // system's reason for a failure to itself.
    QFile file(path);
    int pages = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        {
            QPdfWriter writer(&file);
            writer.setTitle(model.title);
            writer.setCreator(QStringLiteral("Varnex"));
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::A4));
            pages = Print(model, writer);
        }
        if (file.isOpen() && !file.flush()) pages = 0;
    }
    const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : QString();
    file.close();
    if (pages == 0 || !reason.isEmpty() || !QFileInfo(path).isFile() ||
        QFileInfo(path).size() == 0) {
        error = ToQString(Translate("Failed to write to file ")) + path;
        if (!reason.isEmpty()) error += QLatin1Char('\n') + reason;
        return false;
    }
    return true;
}

bool ReportPrinter::PrintGraph(const QString& title, const GraphContent& content,
                               const ChartSettings& settings, QPagedPaintDevice& device) {
    // A graph is wider than high: the page turns for it, and back after.
    const QPageLayout previous = device.pageLayout();
    UseReportMargins(device);
    device.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&device)) {
        device.setPageLayout(previous);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const PageLayout layout(device);
    layout.PaintMargins(painter, title, 1, 1);
    layout.PaintGraph(painter, content, settings,
                      QRectF(0.0, layout.BodyTop(), layout.Width(), layout.BodyHeight()));
    painter.end();
    device.setPageLayout(previous);
    return true;
}

QPrinter& ReportPrinter::SharedPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    static const bool prepared = [] {
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    }();
    (void)prepared;
    return printer;
}

} // namespace varnex::ui
