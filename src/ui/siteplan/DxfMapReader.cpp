#include "ui/siteplan/DxfMapReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex::ui {

bool DxfMapGeometry::Bounds(double& minX, double& minY, double& maxX, double& maxY) const {
    minX = minY = std::numeric_limits<double>::infinity();
    maxX = maxY = -std::numeric_limits<double>::infinity();
    const auto include = [&](double x, double y) {
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    };
    for (const Polyline& line : polylines)
        for (const Point& point : line.points) include(point.x, point.y);
    for (const Arc& arc : arcs) {
        include(arc.centre.x - arc.radius, arc.centre.y - arc.radius);
        include(arc.centre.x + arc.radius, arc.centre.y + arc.radius);
    }
    for (const Text& text : texts) include(text.position.x, text.position.y);
    for (const Image& image : images) {
        include(image.minX, image.minY);
        include(image.maxX, image.maxY);
    }
    return minX <= maxX;
}

namespace {

// Coordinates beyond this are damage, not survey data (the earth is 4e7 m
// round), and would only break the view's arithmetic.
constexpr double largestCoordinate = 1e9;
constexpr double pi = 3.14159265358979323846;

bool Usable(double value) { return std::isfinite(value) && std::abs(value) <= largestCoordinate; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The DXF library reads each line into a fixed buffer of 1024 bytes and,
// given a longer one, stops advancing through the file and never returns.
// A value is therefore passed on cut to this length, at a character boundary
// of its UTF-8 text: only a label that long loses its tail.
constexpr std::size_t longestLibraryValue = 1000;

std::string_view LibraryValue(std::string_view value) {
    if (value.size() <= longestLibraryValue) return value;
    std::size_t end = longestLibraryValue;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
    return value.substr(0, end);
}

// The entities a site map is drawn from; VERTEX and SEQEND belong to
// POLYLINE.
bool KeptEntity(std::string_view type) {
    static constexpr std::string_view kept[] = {
        "LINE", "LWPOLYLINE", "POLYLINE", "VERTEX", "SEQEND", "CIRCLE", "ARC", "TEXT", "MTEXT"};
    return std::find(std::begin(kept), std::end(kept), type) != std::end(kept);
}

// MTEXT carries inline formatting (\P paragraph, \fArial;, {\H2x; ...});
// the plan shows the words only.
std::string PlainMText(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}') continue;
        if (c != '\\' || i + 1 >= text.size()) {
            plain += c;
            continue;
        }
        const char code = text[++i];
        if (code == 'P' || code == 'X') {
            plain += '\n';
        } else if (code == '\\' || code == '{' || code == '}') {
            plain += code;
        } else if (code == '~') {
            plain += ' ';
        } else if (std::string_view("fFHCcATQWpa").find(code) != std::string_view::npos) {
            const std::size_t end = text.find(';', i);
            if (end == std::string::npos) break;
            i = end;
        }
        // Other codes (\L, \O underline and overline) only switch a style.
    }
    return plain;
}

// Receives the entities from the DXF library.
class MapBuilder : public DL_CreationAdapter {
public:
    explicit MapBuilder(DxfMapGeometry& map) : map_(map) {}

    void addLine(const DL_LineData& data) override {
        EndPolyline();
        if (!Usable(data.x1) || !Usable(data.y1) || !Usable(data.x2) || !Usable(data.y2)) return;
        map_.polylines.push_back({{{data.x1, data.y1}, {data.x2, data.y2}}, false});
    }
    void addPolyline(const DL_PolylineData& data) override {
        EndPolyline();
        current_.points.clear();
        current_.closed = (data.flags & 1) != 0;
        bulges_.clear();
        inPolyline_ = true;
    }
    void addVertex(const DL_VertexData& data) override {
        if (!inPolyline_) return;
        if (!Usable(data.x) || !Usable(data.y)) return;
        current_.points.push_back({data.x, data.y});
        bulges_.push_back(std::isfinite(data.bulge) ? std::clamp(data.bulge, -1e3, 1e3) : 0.0);
    }
    void endSequence() override { EndPolyline(); }
    void addCircle(const DL_CircleData& data) override {
        EndPolyline();
        if (!Usable(data.cx) || !Usable(data.cy) || !Usable(data.radius) || data.radius <= 0.0)
            return;
        map_.arcs.push_back({{data.cx, data.cy}, data.radius, 0.0, 360.0});
    }
    void addArc(const DL_ArcData& data) override {
        EndPolyline();
        if (!Usable(data.cx) || !Usable(data.cy) || !Usable(data.radius) || data.radius <= 0.0)
            return;
        if (!std::isfinite(data.angle1) || !std::isfinite(data.angle2)) return;
        map_.arcs.push_back({{data.cx, data.cy}, data.radius, data.angle1, data.angle2});
    }
    void addText(const DL_TextData& data) override {
        EndPolyline();
        AddText(data.ipx, data.ipy, data.height, data.angle, data.text);
    }
    void addMTextChunk(const std::string& text) override { mtextChunks_ += text; }
    void addMText(const DL_MTextData& data) override {
        EndPolyline();
        AddText(data.ipx, data.ipy, data.height, data.angle, PlainMText(mtextChunks_ + data.text));
        mtextChunks_.clear();
    }
    // A polyline's vertices follow it (LWPOLYLINE inside the entity,
    // POLYLINE as VERTEX records up to SEQEND); the next other entity or
    // the end of the drawing ends it.
    void Finish() { EndPolyline(); }

private:
    void AddText(double x, double y, double height, double angleRadians, std::string text) {
        if (!Usable(x) || !Usable(y) || !Usable(height) || text.empty()) return;
        if (height <= 0.0) height = 1.0;
        map_.texts.push_back({{x, y},
                              height,
                              std::isfinite(angleRadians) ? angleRadians * 180.0 / pi : 0.0,
                              std::move(text)});
    }

    // Bulges are arcs between vertices: bulge = tan(included angle / 4),
    // positive anticlockwise. Site plans draw kerbs and bends this way.
    void EndPolyline() {
        if (!inPolyline_) return;
        inPolyline_ = false;
        if (current_.points.size() < 2) return;
        DxfMapGeometry::Polyline flat;
        flat.closed = current_.closed;
        const std::size_t count = current_.points.size();
        const std::size_t segments = current_.closed ? count : count - 1;
        for (std::size_t i = 0; i < segments; ++i) {
            const DxfMapGeometry::Point a = current_.points[i];
            const DxfMapGeometry::Point b = current_.points[(i + 1) % count];
            flat.points.push_back(a);
            const double bulge = bulges_[i];
            if (std::abs(bulge) < 1e-9) continue;
            const double chord = std::hypot(b.x - a.x, b.y - a.y);
            if (chord <= 0.0) continue;
            const double included = 4.0 * std::atan(bulge);
            const double radius = chord / (2.0 * std::sin(std::abs(included) / 2.0));
            // The centre lies off the chord's midpoint, to the left for an
            // anticlockwise arc.
            const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
            // (beyond a half circle the cosine turns the centre over).
            const double offset = radius * std::cos(included / 2.0) * (bulge > 0.0 ? 1.0 : -1.0);
            const double nx = -(b.y - a.y) / chord, ny = (b.x - a.x) / chord;
            const double cx = mx + nx * offset;
            const double cy = my + ny * offset;
            const double start = std::atan2(a.y - cy, a.x - cx);
            const int steps = std::clamp(static_cast<int>(std::abs(included) / (pi / 36.0)), 2, 72);
            for (int s = 1; s < steps; ++s) {
                const double angle = start + included * s / steps;
                flat.points.push_back(
                    {cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
            }
        }
        if (!current_.closed) flat.points.push_back(current_.points.back());
        map_.polylines.push_back(std::move(flat));
    }

    DxfMapGeometry& map_;
    DxfMapGeometry::Polyline current_;
    std::vector<double> bulges_;
    std::string mtextChunks_;
    bool inPolyline_ = false;
};

struct Failure {
    std::string message;
};

// The file's group pairs, reduced to the ENTITIES section and the entity
// types the map uses, after checking that it is a whole DXF drawing.
std::string CheckedEntities(const std::string& text, const std::string& name) {
    std::size_t lineCount = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') ++lineCount;
    const std::size_t pairCount = lineCount / 2;

    std::string kept = "  0\nSECTION\n  2\nENTITIES\n";
    std::size_t position = 0;
    std::size_t line = 0;
    const auto nextLine = [&](std::string_view& out) {
        if (position >= text.size()) return false;
        std::size_t end = text.find('\n', position);
        if (end == std::string::npos) end = text.size();
        out = std::string_view(text).substr(position, end - position);
        if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
        position = end + 1;
        ++line;
        return true;
    };

    bool sawEof = false;
    bool inEntities = false;
    bool keeping = false;
    bool expectSectionName = false;
    std::string_view entity;
    std::size_t pairIndex = 0;
    // The pairs of the entity being read, passed on when the next begins.
    std::vector<std::pair<int, std::string_view>> pending;
    const auto flush = [&]() {
        if (pending.empty()) return;
        if (entity == "LWPOLYLINE") {
            // Passed on in the order the library expects, with the vertex
            // count it reserves room for equal to the vertices present and
            // no bulge before the first vertex: the library writes both
            // without checking.
            std::size_t vertices = 0;
            for (const auto& [code, value] : pending) vertices += code == 10 ? 1 : 0;
            kept += "0\nLWPOLYLINE\n90\n" + std::to_string(vertices) + "\n";
            bool sawVertex = false;
            for (const auto& [code, value] : pending) {
                if (code == 0 || code == 90 || (code == 42 && !sawVertex)) continue;
                if (vertices == 0 && (code == 10 || code == 20 || code == 30 || code == 42))
                    continue;
                sawVertex = sawVertex || code == 10;
                kept += std::to_string(code) + "\n";
                kept.append(value);
                kept += "\n";
            }
        } else {
            for (const auto& [code, value] : pending) {
                kept += std::to_string(code) + "\n";
                kept.append(value);
                kept += "\n";
            }
        }
        pending.clear();
    };
    std::string_view codeLine, value;
    while (nextLine(codeLine)) {
        const std::size_t codeLineNumber = line;
        const std::string_view codeText = Trimmed(codeLine);
        int code = -1;
        const auto parsed =
            std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
        if (codeText.empty() || parsed.ec != std::errc() ||
            parsed.ptr != codeText.data() + codeText.size() || code < 0 || code > 1071) {
            if (codeText.empty() && position >= text.size()) break; // a blank last line
            throw Failure{FormatText(TranslateFormat("%s is not a DXF drawing (line %d)."),
                                     {name, static_cast<long long>(codeLineNumber)})};
        }
        if (!nextLine(value))
            throw Failure{FormatText(
                TranslateFormat("The background map %s is incomplete: it ends inside an entry."),
                {name})};
        ++pairIndex;
        const std::string_view trimmedValue = Trimmed(value);
        if (code == 0) {
            flush();
            expectSectionName = false;
            if (trimmedValue == "EOF") {
                sawEof = true;
                break;
            }
            if (trimmedValue == "SECTION") {
                expectSectionName = true;
            } else if (trimmedValue == "ENDSEC") {
                inEntities = false;
            }
            entity = trimmedValue;
            keeping = inEntities && KeptEntity(entity);
        } else if (code == 2 && expectSectionName) {
            inEntities = trimmedValue == "ENTITIES";
            expectSectionName = false;
            continue;
        }
        if (!keeping) continue;
        // A vertex count beyond what is left of the file (each vertex needs
        // its 10 and 20 entries) is damage, not a drawing.
        if (code == 90 && entity == "LWPOLYLINE") {
            long long count = -1;
            const auto countParsed = std::from_chars(
                trimmedValue.data(), trimmedValue.data() + trimmedValue.size(), count);
            const std::size_t remaining = pairCount > pairIndex ? pairCount - pairIndex : 0;
            if (countParsed.ec != std::errc() || count < 0 ||
                static_cast<std::size_t>(count) > remaining / 2)
                throw Failure{FormatText(
                    TranslateFormat(
                        "The background map %s is damaged: a polyline announces more vertices than the file holds (line %d)."),
                    {name, static_cast<long long>(codeLineNumber)})};
        }
        pending.emplace_back(code, LibraryValue(code == 0 ? trimmedValue : value));
    }
    flush();
    if (!sawEof)
        throw Failure{FormatText(
            TranslateFormat(
                "The background map %s is incomplete: the drawing ends before its end marker (EOF)."),
            {name})};
    kept += "  0\nENDSEC\n  0\nEOF\n";
    return kept;
}

bool IsDwgName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string suffix = path.substr(path.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return suffix == ".dwg";
}

std::string DwgRefusal(const std::string& name) {
    return FormatText(
        TranslateFormat(
            "%s is a DWG drawing of a version Varnex cannot read (it reads DWG R2000 drawings only). Please save the drawing as DXF in your drawing program and choose the DXF file as the background map."),
        {name});
}

// Whether a DWG file is of the one version GDAL's CAD driver (libopencad)
// reads: R2000, whose header begins "AC1015".
bool IsDwgR2000(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char version[6] = {};
    return file.read(version, 6) && std::string(version, 6) == "AC1015";
}

// A map GDAL reads, in the geometry the plan draws.
bool ReadWithGdal(const std::string& path, int projectEpsg, const std::string& onlyDriver,
                  DxfMapGeometry& map, std::string& errorText) {
    BackgroundMapFile file;
    if (!ReadBackgroundMapFile(path, projectEpsg, file, errorText, onlyDriver)) return false;
    for (BackgroundMapFile::Polyline& line : file.polylines) {
        DxfMapGeometry::Polyline polyline;
        polyline.closed = line.closed;
        polyline.points.reserve(line.points.size());
        for (const BackgroundMapFile::Point& point : line.points)
            polyline.points.push_back({point.x, point.y});
        map.polylines.push_back(std::move(polyline));
    }
    map.images = std::move(file.images);
    return true;
}

} // namespace

bool DxfMapReader::ReadFile(const std::string& path, DxfMapGeometry& map, std::string& errorText) {
    return ReadFile(path, 0, map, errorText);
}

bool DxfMapReader::ReadFile(const std::string& path, int projectEpsg, DxfMapGeometry& map,
                            std::string& errorText) {
    map = DxfMapGeometry();
    if (IsDwgName(path)) {
        if (IsDwgR2000(path)) return ReadWithGdal(path, projectEpsg, "CAD", map, errorText);
        errorText = DwgRefusal(path);
        return false;
    }
    if (IsGdalMapFile(path)) return ReadWithGdal(path, projectEpsg, std::string(), map, errorText);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        errorText = FormatText(TranslateFormat("Cannot open the background map %s."), {path});
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size < 0 || static_cast<unsigned long long>(size) > maximumFileBytes) {
        errorText = FormatText(
            TranslateFormat("The background map %s is larger than %d MB and is not read."),
            {path, static_cast<long long>(maximumFileBytes / (1024 * 1024))});
        return false;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!file.read(text.data(), size)) {
        errorText = FormatText(TranslateFormat("Cannot open the background map %s."), {path});
        return false;
    }
    return ReadText(text, path, map, errorText);
}

bool DxfMapReader::ReadText(const std::string& text, const std::string& name, DxfMapGeometry& map,
                            std::string& errorText) {
    map = DxfMapGeometry();
    if (text.size() > maximumFileBytes) {
        errorText = FormatText(
            TranslateFormat("The background map %s is larger than %d MB and is not read."),
            {name, static_cast<long long>(maximumFileBytes / (1024 * 1024))});
        return false;
    }
    // A DWG file begins with its version, "AC1015" and the like.
    if (text.size() >= 6 && text.compare(0, 4, "AC10") == 0 && text.find('\n') > 6) {
        errorText = DwgRefusal(name);
        return false;
    }
    if (text.compare(0, 18, "AutoCAD Binary DXF") == 0) {
        errorText = FormatText(
            TranslateFormat(
                "%s is a binary DXF file. Please save the drawing as an ASCII DXF file."),
            {name});
        return false;
    }
    try {
        std::istringstream entities(CheckedEntities(text, name));
        DxfMapGeometry read;
        MapBuilder builder(read);
        DL_Dxf dxf;
        if (!dxf.in(entities, &builder)) {
            errorText = FormatText(TranslateFormat("Cannot open the background map %s."), {name});
            return false;
        }
        builder.Finish();
        if (read.Empty()) {
            errorText = FormatText(
                TranslateFormat(
                    "The background map %s holds no lines, circles, arcs or texts to draw."),
                {name});
            return false;
        }
        map = std::move(read);
        return true;
    } catch (const Failure& failure) {
        errorText = failure.message;
    } catch (const std::exception&) {
        errorText = FormatText(TranslateFormat("%s is not a DXF drawing (line %d)."), {name, 0LL});
    }
    return false;
}

} // namespace varnex::ui
