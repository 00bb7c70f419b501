#include <algorithm>
#include <cmath>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <set>

#include "gis/GisOutputs.h"
#include "model/Project.h"

namespace varnex {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Bytes written by the program, opened with GDAL's own readers as a GIS
// would open the file.
class OpenedBytes {
public:
    OpenedBytes(const std::string& bytes, const std::string& name, unsigned flags)
        : bytes_(bytes), path_("/vsimem/test_" + name) {
        GDALAllRegister();
        VSIFCloseL(VSIFileFromMemBuffer(path_.c_str(), reinterpret_cast<GByte*>(bytes_.data()),
                                        bytes_.size(), FALSE));
        dataset_.reset(GDALDataset::Open(path_.c_str(), flags | GDAL_OF_READONLY));
    }
    ~OpenedBytes() {
        dataset_.reset();
        VSIUnlink(path_.c_str());
    }
    GDALDataset* operator->() const { return dataset_.get(); }
    explicit operator bool() const { return dataset_ != nullptr; }

private:
    std::string bytes_;
    std::string path_;
    GDALDatasetUniquePtr dataset_;
};

// A 3 x 2 grid: nodes at x = 100, 110, 120 and y = 200, 195.
MapGrid SmallGrid() {
    MapGrid grid;
    grid.leftX = 100.0;
    grid.topY = 200.0;
    grid.spacingXM = 10.0;
    grid.spacingYM = 5.0;
    grid.columns = 3;
    grid.rows = 2;
    return grid;
}

ProbabilityMap SmallMap(double standard) {
    ProbabilityMap map;
    map.contaminantName = "Benzene";
    map.timeYears = 50.0;
    map.iterations = 1001;
    map.grid = SmallGrid();
    map.standardMgPerL = standard;
    if (standard > 0.0) map.exceedance = {0.0, 0.25, 1.0, nan, 0.5, 0.75};
    map.mean = {1.0, 2.0, 3.0, 4.0, nan, 6.0};
    map.percentileLevels = {50, 95};
    map.percentiles = {{0.5, 1.5, 2.5, 3.5, 4.5, nan}, {10, 20, 30, 40, 50, 60}};
    return map;
}

std::vector<double> BandValues(GDALRasterBand* band) {
    std::vector<double> values(static_cast<std::size_t>(band->GetXSize() * band->GetYSize()));
    EXPECT_EQ(band->RasterIO(GF_Read, 0, 0, band->GetXSize(), band->GetYSize(), values.data(),
                             band->GetXSize(), band->GetYSize(), GDT_Float64, 0, 0, nullptr),
              CE_None);
    return values;
}

TEST(GeoTiff, BandsNoDataGeotransformAndSystemReadBack) {
    std::string error;
    const std::optional<std::string> bytes =
        GeoTiffBytes(RasterOfProbabilityMap(SmallMap(0.01), 27700), error);
    ASSERT_TRUE(bytes) << error;
    OpenedBytes file(*bytes, "map.tif", GDAL_OF_RASTER);
    ASSERT_TRUE(file);
    EXPECT_STREQ(file->GetDriver()->GetDescription(), "GTiff");
    ASSERT_EQ(file->GetRasterCount(), 4);
    EXPECT_EQ(file->GetRasterXSize(), 3);
    EXPECT_EQ(file->GetRasterYSize(), 2);

    // Node (0, 0) at (100, 200) is the centre of the top-left cell of
    // 10 m x 5 m: that cell's corner is at (100 - 5, 200 + 2.5).
    double transform[6] = {};
    ASSERT_EQ(file->GetGeoTransform(transform), CE_None);
    EXPECT_DOUBLE_EQ(transform[0], 95.0);
    EXPECT_DOUBLE_EQ(transform[1], 10.0);
    EXPECT_DOUBLE_EQ(transform[2], 0.0);
    EXPECT_DOUBLE_EQ(transform[3], 202.5);
    EXPECT_DOUBLE_EQ(transform[4], 0.0);
    EXPECT_DOUBLE_EQ(transform[5], -5.0);

    const OGRSpatialReference* system = file->GetSpatialRef();
    ASSERT_NE(system, nullptr);
    EXPECT_STREQ(system->GetAuthorityName(nullptr), "EPSG");
    EXPECT_STREQ(system->GetAuthorityCode(nullptr), "27700");
    EXPECT_STREQ(file->GetMetadataItem("TITLE"), "Benzene at 50 years, 1001 iterations");

    const char* names[] = {"exceedance_probability", "mean_mg_per_l", "p50_mg_per_l",
                           "p95_mg_per_l"};
    const char* units[] = {"fraction", "mg/l", "mg/l", "mg/l"};
    const ProbabilityMap map = SmallMap(0.01);
    const std::vector<double>* expected[] = {&map.exceedance, &map.mean, &map.percentiles[0],
                                             &map.percentiles[1]};
    for (int b = 0; b < 4; ++b) {
        GDALRasterBand* band = file->GetRasterBand(b + 1);
        EXPECT_STREQ(band->GetDescription(), names[b]);
        EXPECT_STREQ(band->GetMetadataItem("unit"), units[b]);
        EXPECT_EQ(band->GetRasterDataType(), GDT_Float64);
        int hasNoData = 0;
        const double noData = band->GetNoDataValue(&hasNoData);
        ASSERT_TRUE(hasNoData);
        const std::vector<double> values = BandValues(band);
        for (std::size_t n = 0; n < 6; ++n) {
            if (std::isnan((*expected[b])[n]))
                EXPECT_EQ(values[n], noData) << names[b] << " node " << n;
            else
                EXPECT_EQ(values[n], (*expected[b])[n]) << names[b] << " node " << n;
        }
    }
    const std::string description = file->GetRasterBand(1)->GetMetadataItem("description");
    EXPECT_NE(description.find("0.01 mg/l"), std::string::npos) << description;
    EXPECT_NE(description.find("Benzene"), std::string::npos) << description;
}

TEST(GeoTiff, WithoutStandardOrSystemThereIsNoExceedanceBandNorSystem) {
    std::string error;
    const std::optional<std::string> bytes =
        GeoTiffBytes(RasterOfProbabilityMap(SmallMap(0.0), 0), error);
    ASSERT_TRUE(bytes) << error;
    OpenedBytes file(*bytes, "nostandard.tif", GDAL_OF_RASTER);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->GetRasterCount(), 3);
    EXPECT_STREQ(file->GetRasterBand(1)->GetDescription(), "mean_mg_per_l");
    EXPECT_EQ(file->GetSpatialRef(), nullptr);
}

// The plume stores columns[c][r]; the raster is row after row. Node (c, r)
// lies at (leftX + c s, topY - r s), so pixel (c, r) holds columns[c][r].
TEST(GeoTiff, CentralValuePlumeKeepsColumnsAndRowsApart) {
    Project project;
    project.coordinateSystemEpsg = 25832;
    project.plume.leftX = -20.0;
    project.plume.topY = 40.0;
    project.plume.spacingM = 2.0;
    project.plume.columns = {{1.0, 2.0, 3.0}, {4.0, 5.0, nan}};
    std::string error;
    const std::optional<std::string> bytes = GeoTiffBytes(RasterOfPlume(project), error);
    ASSERT_TRUE(bytes) << error;
    OpenedBytes file(*bytes, "plume.tif", GDAL_OF_RASTER);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->GetRasterCount(), 1);
    EXPECT_EQ(file->GetRasterXSize(), 2);
    EXPECT_EQ(file->GetRasterYSize(), 3);
    EXPECT_STREQ(file->GetRasterBand(1)->GetDescription(), "concentration_mg_per_l");
    const std::vector<double> values = BandValues(file->GetRasterBand(1));
    EXPECT_EQ(values, (std::vector<double>{1.0, 4.0, 2.0, 5.0, 3.0, -9999.0}));
    double transform[6] = {};
    ASSERT_EQ(file->GetGeoTransform(transform), CE_None);
    EXPECT_DOUBLE_EQ(transform[0], -21.0); // -20 - 2 / 2
    EXPECT_DOUBLE_EQ(transform[3], 41.0);  // 40 + 2 / 2
    EXPECT_STREQ(file->GetSpatialRef()->GetAuthorityCode(nullptr), "25832");
}

TEST(GeoTiff, RefusesWhatCannotBeWritten) {
    std::string error;
    MapRaster raster = RasterOfProbabilityMap(SmallMap(0.01), 0);
    raster.bands[1].values.pop_back();
    EXPECT_FALSE(GeoTiffBytes(raster, error));
    EXPECT_NE(error.find("mean_mg_per_l"), std::string::npos) << error;

    raster = RasterOfProbabilityMap(SmallMap(0.01), 99999);
    EXPECT_FALSE(GeoTiffBytes(raster, error));
    EXPECT_NE(error.find("EPSG:99999"), std::string::npos) << error;

    raster = RasterOfProbabilityMap(SmallMap(0.01), 0);
    raster.grid.spacingYM = 0.0;
    EXPECT_FALSE(GeoTiffBytes(raster, error));
    EXPECT_FALSE(error.empty());
}

struct Line {
    double level;
    std::string quantity;
    std::vector<std::pair<double, double>> points;
};

std::vector<Line> ReadLines(const std::string& bytes, const std::string& name) {
    OpenedBytes file(bytes, name, GDAL_OF_VECTOR);
    EXPECT_TRUE(file);
    std::vector<Line> lines;
    if (!file) return lines;
    EXPECT_EQ(file->GetLayerCount(), 1);
    OGRLayer* layer = file->GetLayer(0);
    for (auto& feature : *layer) {
        Line line{feature->GetFieldAsDouble("level"), feature->GetFieldAsString("quantity"), {}};
        const OGRGeometry* geometry = feature->GetGeometryRef();
        EXPECT_NE(geometry, nullptr);
        if (geometry == nullptr) continue;
        EXPECT_EQ(wkbFlatten(geometry->getGeometryType()), wkbLineString);
        for (const OGRPoint& point : *geometry->toLineString())
            line.points.emplace_back(point.getX(), point.getY());
        lines.push_back(std::move(line));
    }
    return lines;
}

// A cone: the value at a node is its distance from (3, 2) on a 7 x 5 grid
// of 1 m spacing with its top-left node at (0, 4).
MapRaster Cone() {
    MapRaster raster;
    raster.grid.leftX = 0.0;
    raster.grid.topY = 4.0;
    raster.grid.spacingXM = 1.0;
    raster.grid.spacingYM = 1.0;
    raster.grid.columns = 7;
    raster.grid.rows = 5;
    RasterBand band{"mean_mg_per_l", "", "mg/l", {}};
    for (std::size_t r = 0; r < 5; ++r)
        for (std::size_t c = 0; c < 7; ++c)
            band.values.push_back(std::hypot(raster.grid.X(c) - 3.0, raster.grid.Y(r) - 2.0));
    raster.bands.push_back(band);
    raster.epsg = 27700;
    return raster;
}

// Every contour vertex lies on a grid edge between two adjacent nodes whose
// values are on either side of its level, at the linearly interpolated
// place; and every edge whose ends straddle a level is crossed there.
void ExpectContoursSeparate(const MapRaster& raster, const std::vector<Line>& lines,
                            const std::vector<double>& levels) {
    const MapGrid& grid = raster.grid;
    const std::vector<double>& v = raster.bands[0].values;
    const auto value = [&](std::size_t c, std::size_t r) { return v[r * grid.columns + c]; };
    // The crossing points each edge must have: (level, x, y).
    struct Crossing {
        double level, x, y;
        bool found = false;
    };
    std::vector<Crossing> crossings;
    const auto edge = [&](std::size_t c0, std::size_t r0, std::size_t c1, std::size_t r1) {
        const double a = value(c0, r0), b = value(c1, r1);
        for (double level : levels) {
            if ((a < level) == (b < level)) continue;
            const double t = (level - a) / (b - a);
            crossings.push_back({level, grid.X(c0) + t * (grid.X(c1) - grid.X(c0)),
                                 grid.Y(r0) + t * (grid.Y(r1) - grid.Y(r0))});
        }
    };
    for (std::size_t r = 0; r < grid.rows; ++r)
        for (std::size_t c = 0; c < grid.columns; ++c) {
            if (c + 1 < grid.columns) edge(c, r, c + 1, r);
            if (r + 1 < grid.rows) edge(c, r, c, r + 1);
        }
    // GDAL continues the lines over the raster's outer half cells, where it
    // takes the border nodes' values: a vertex there is the crossing of the
    // border edge beside it. GDAL also shifts levels by about 1e-6 of the
    // values' scale so that no node lies exactly on a line.
    const double tolerance = 1e-5 * grid.spacingXM;
    for (const Line& line : lines) {
        for (const auto& [outerX, outerY] : line.points) {
            const double x = std::clamp(outerX, grid.X(0), grid.X(grid.columns - 1));
            const double y = std::clamp(outerY, grid.Y(grid.rows - 1), grid.Y(0));
            bool onCrossing = false;
            for (Crossing& crossing : crossings)
                if (crossing.level == line.level && std::abs(crossing.x - x) < tolerance &&
                    std::abs(crossing.y - y) < tolerance) {
                    crossing.found = true;
                    onCrossing = true;
                }
            EXPECT_TRUE(onCrossing) << "level " << line.level << " vertex (" << x << ", " << y
                                    << ") is not where an edge crosses the level";
        }
    }
    for (const Crossing& crossing : crossings)
        EXPECT_TRUE(crossing.found) << "level " << crossing.level << " misses the crossing at ("
                                    << crossing.x << ", " << crossing.y << ")";
}

TEST(Contours, ConeLinesSeparateNodesAboveFromBelow) {
    const MapRaster raster = Cone();
    const std::vector<double> levels{0.5, 1.7, 2.5};
    for (const std::string format : {"geojson", "gpkg"}) {
        std::string error;
        const std::optional<std::string> bytes =
            ContourBytes(raster, {{"mean_mg_per_l", levels}}, format, error);
        ASSERT_TRUE(bytes) << error;
        const std::vector<Line> lines = ReadLines(*bytes, "cone." + format);
        ASSERT_FALSE(lines.empty()) << format;
        std::set<double> seen;
        for (const Line& line : lines) {
            EXPECT_EQ(line.quantity, "mean_mg_per_l");
            seen.insert(line.level);
        }
        EXPECT_EQ(seen, (std::set<double>{0.5, 1.7, 2.5})) << format;
        ExpectContoursSeparate(raster, lines, levels);
    }
}

TEST(Contours, GeoJsonKeepsPlanCoordinatesAndNamesTheSystem) {
    std::string error;
    const std::optional<std::string> bytes =
        ContourBytes(Cone(), {{"mean_mg_per_l", {1.5}}}, "geojson", error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_NE(bytes->find("27700"), std::string::npos);
    OpenedBytes file(*bytes, "crs.geojson", GDAL_OF_VECTOR);
    ASSERT_TRUE(file);
    const OGRSpatialReference* system = file->GetLayer(0)->GetSpatialRef();
    ASSERT_NE(system, nullptr);
    EXPECT_STREQ(system->GetAuthorityCode(nullptr), "27700");
}

// Two quantities and no-data: the probability on the left half of a plane
// rising eastward (P = x / 6) with the right half not computed; its lines at
// 0.05 and 0.5 lie at x = 0.3 and x = 3, but 0.95 (x = 5.7) falls among the
// missing nodes and draws nothing.
TEST(Contours, EachBandItsOwnLevelsAndNothingAcrossMissingNodes) {
    MapRaster raster;
    raster.grid = SmallGrid();
    raster.grid.leftX = 0.0;
    raster.grid.topY = 3.0;
    raster.grid.spacingXM = 1.0;
    raster.grid.spacingYM = 1.0;
    raster.grid.columns = 7;
    raster.grid.rows = 4;
    RasterBand probability{"exceedance_probability", "", "fraction", {}};
    RasterBand percentile{"p95_mg_per_l", "", "mg/l", {}};
    for (std::size_t r = 0; r < 4; ++r)
        for (std::size_t c = 0; c < 7; ++c) {
            probability.values.push_back(c <= 4 ? static_cast<double>(c) / 6.0 : nan);
            // The percentile rises southward: r at row r (y = 3 - r).
            percentile.values.push_back(static_cast<double>(r));
        }
    raster.bands = {probability, percentile};
    std::string error;
    const std::optional<std::string> bytes = ContourBytes(
        raster, {{"exceedance_probability", {0.05, 0.5, 0.95}}, {"p95_mg_per_l", {1.5}}}, "geojson",
        error);
    ASSERT_TRUE(bytes) << error;
    const std::vector<Line> lines = ReadLines(*bytes, "halves.geojson");
    std::map<std::pair<std::string, double>, int> counts;
    for (const Line& line : lines) {
        ++counts[{line.quantity, line.level}];
        for (const auto& [x, y] : line.points) {
            if (line.quantity == "exceedance_probability")
                EXPECT_NEAR(x, line.level * 6.0, 1e-5);
            else
                EXPECT_NEAR(y, 3.0 - 1.5, 1e-5); // r = 1.5
        }
    }
    EXPECT_GT((counts[{"exceedance_probability", 0.05}]), 0);
    EXPECT_GT((counts[{"exceedance_probability", 0.5}]), 0);
    EXPECT_EQ(counts.count({"exceedance_probability", 0.95}), 0u);
    EXPECT_GT((counts[{"p95_mg_per_l", 1.5}]), 0);

    EXPECT_FALSE(ContourBytes(raster, {{"p50_mg_per_l", {1.0}}}, "geojson", error));
    EXPECT_NE(error.find("p50_mg_per_l"), std::string::npos) << error;
    EXPECT_FALSE(ContourBytes(raster, {}, "shp", error));
}

TEST(Contours, StandardContoursFollowTheStandardAndComputedLevels) {
    const std::vector<ContourRequest> withStandard = StandardContours(SmallMap(0.01), 95);
    ASSERT_EQ(withStandard.size(), 2u);
    EXPECT_EQ(withStandard[0].band, "exceedance_probability");
    EXPECT_EQ(withStandard[0].levels, (std::vector<double>{0.05, 0.5, 0.95}));
    EXPECT_EQ(withStandard[1].band, "p95_mg_per_l");
    EXPECT_EQ(withStandard[1].levels, (std::vector<double>{0.01}));
    // The 90th percentile was not computed: only the probability's lines.
    EXPECT_EQ(StandardContours(SmallMap(0.01), 90).size(), 1u);
    EXPECT_TRUE(StandardContours(SmallMap(0.0), 95).empty());

    EXPECT_EQ(ContourFormatOfPath("/data/site/plume.GeoJSON"), "geojson");
    EXPECT_EQ(ContourFormatOfPath("plume.json"), "geojson");
    EXPECT_EQ(ContourFormatOfPath("plume.gpkg"), "gpkg");
    EXPECT_EQ(ContourFormatOfPath("plume.shp"), "");
    EXPECT_EQ(ContourFormatOfPath("folder.gpkg/plume"), "");
}

} // namespace
} // namespace varnex
