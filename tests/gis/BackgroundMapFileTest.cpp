// Background maps read with GDAL: where a raster lands on the plan (its
// geotransform or world file, each pixel an area), its colours and no-data,
// vector lines in the project's coordinate system, and clear refusals.

#include <array>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include "gis/BackgroundMapFile.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

// A 4 x 2 RGB raster of 5 m pixels whose top-left corner is (1000, 2000):
// it covers x 1000..1020, y 1990..2000 (or `transform` when given). Pixel
// (c, r) has red 10 c + r, green 100, blue 200.
void WriteGeoTiff(const std::string& path, int epsg,
                  std::array<double, 6> transform = {1000.0, 5.0, 0.0, 2000.0, 0.0, -5.0}) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDatasetUniquePtr file(driver->Create(path.c_str(), 4, 2, 3, GDT_Byte, nullptr));
    file->SetGeoTransform(transform.data());
    if (epsg > 0) {
        OGRSpatialReference system;
        system.importFromEPSG(epsg);
        file->SetSpatialRef(&system);
    }
    for (int b = 1; b <= 3; ++b) {
        std::uint8_t values[8];
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 4; ++c)
                values[r * 4 + c] = static_cast<std::uint8_t>(b == 1   ? 10 * c + r
                                                              : b == 2 ? 100
                                                                       : 200);
        file->GetRasterBand(b)->SetColorInterpretation(b == 1   ? GCI_RedBand
                                                       : b == 2 ? GCI_GreenBand
                                                                : GCI_BlueBand);
        EXPECT_EQ(file->GetRasterBand(b)->RasterIO(GF_Write, 0, 0, 4, 2, values, 4, 2, GDT_Byte, 0,
                                                   0, nullptr),
                  CE_None);
    }
}

TEST(BackgroundMapFile, AGeoTiffCoversItsCellsWithItsColours) {
    test::TempDirectory folder;
    const std::string path = folder.File("site.tif");
    WriteGeoTiff(path, 27700);
    BackgroundMapFile map;
    std::string error;
    // The project in the file's own system: nothing to warp.
    ASSERT_TRUE(ReadBackgroundMapFile(path, 27700, map, error)) << error;
    EXPECT_FALSE(map.transformed);
    ASSERT_EQ(map.images.size(), 1u);
    const BackgroundMapFile::Image& image = map.images[0];
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 2);
    EXPECT_DOUBLE_EQ(image.minX, 1000.0);
    EXPECT_DOUBLE_EQ(image.maxX, 1020.0);
    EXPECT_DOUBLE_EQ(image.minY, 1990.0);
    EXPECT_DOUBLE_EQ(image.maxY, 2000.0);
    ASSERT_EQ(image.rgba.size(), 32u);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) {
            const std::uint8_t* pixel = &image.rgba[static_cast<std::size_t>(r * 4 + c) * 4];
            EXPECT_EQ(pixel[0], 10 * c + r);
            EXPECT_EQ(pixel[1], 100);
            EXPECT_EQ(pixel[2], 200);
            EXPECT_EQ(pixel[3], 255);
        }
}

// A raster in degrees (WGS 84) of longitude 2.9 to 3.1 east and latitude 0
// to 0.1 north, on a plan in UTM zone 31N, is warped: at the equator the
// central meridian (3 E) has easting 500 000 m and 0.1 degree of longitude
// is k0 a (0.1 pi / 180) = 0.9996 x 6 378 137 m x 0.00174533 = 11 127 m;
// 0.1 degree of latitude is k0 x 11 057.4 m = 11 053 m of northing.
TEST(BackgroundMapFile, ARasterInAnotherSystemIsWarpedIntoTheProjects) {
    test::TempDirectory folder;
    const std::string path = folder.File("degrees.tif");
    WriteGeoTiff(path, 4326, {2.9, 0.05, 0.0, 0.1, 0.0, -0.05});
    BackgroundMapFile map;
    std::string error;
    ASSERT_TRUE(ReadBackgroundMapFile(path, 32631, map, error)) << error;
    EXPECT_TRUE(map.transformed);
    ASSERT_EQ(map.images.size(), 1u);
    const BackgroundMapFile::Image& image = map.images[0];
    // The warped extent is whole pixels of the warped image: within one.
    const double pixelX = (image.maxX - image.minX) / image.width;
    const double pixelY = (image.maxY - image.minY) / image.height;
    EXPECT_NEAR(image.minX, 500000.0 - 11127.0, pixelX);
    EXPECT_NEAR(image.maxX, 500000.0 + 11127.0, pixelX);
    EXPECT_NEAR(image.minY, 0.0, pixelY);
    EXPECT_NEAR(image.maxY, 11053.0, pixelY);
    EXPECT_LT(pixelX, 11127.0);
    // The middle of the image is the file's, opaque.
    const std::size_t middle =
        (static_cast<std::size_t>(image.height / 2) * image.width + image.width / 2) * 4;
    EXPECT_EQ(image.rgba[middle + 1], 100);
    EXPECT_EQ(image.rgba[middle + 3], 255);
}

// A world file gives the centre of the top-left pixel: 1002.5, 1997.5 for
// 5 m pixels puts the image's corner at (1000, 2000). Grey values with a
// no-data value: those pixels are transparent.
TEST(BackgroundMapFile, APngWithWorldFileIsPlacedAndItsNoDataIsTransparent) {
    test::TempDirectory folder;
    GDALAllRegister();
    GDALDatasetUniquePtr memory(
        GetGDALDriverManager()->GetDriverByName("MEM")->Create("", 4, 2, 1, GDT_Byte, nullptr));
    std::uint8_t grey[8] = {0, 50, 100, 150, 200, 250, 7, 7};
    ASSERT_EQ(memory->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 4, 2, grey, 4, 2, GDT_Byte, 0, 0,
                                                 nullptr),
              CE_None);
    const std::string path = folder.File("scan.png");
    GDALDatasetUniquePtr png(GetGDALDriverManager()->GetDriverByName("PNG")->CreateCopy(
        path.c_str(), memory.get(), FALSE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(png);
    png.reset();

    BackgroundMapFile map;
    std::string error;
    EXPECT_FALSE(ReadBackgroundMapFile(path, 0, map, error));
    EXPECT_NE(error.find("scan.png"), std::string::npos) << error;
    EXPECT_NE(error.find("world file"), std::string::npos) << error;

    test::WriteFileBytes(folder.File("scan.pgw"), "5\n0\n0\n-5\n1002.5\n1997.5\n");
    ASSERT_TRUE(ReadBackgroundMapFile(path, 0, map, error)) << error;
    ASSERT_EQ(map.images.size(), 1u);
    EXPECT_DOUBLE_EQ(map.images[0].minX, 1000.0);
    EXPECT_DOUBLE_EQ(map.images[0].maxY, 2000.0);
    EXPECT_DOUBLE_EQ(map.images[0].maxX, 1020.0);
    EXPECT_DOUBLE_EQ(map.images[0].minY, 1990.0);
    EXPECT_EQ(map.images[0].rgba[4 * 3 + 0], 150); // grey is red, green and blue alike
    EXPECT_EQ(map.images[0].rgba[4 * 3 + 2], 150);

    // No-data 7 (in an .aux.xml beside it, as GIS programs write it).
    test::WriteFileBytes(path + ".aux.xml", "<PAMDataset><PAMRasterBand band=\"1\">"
                                            "<NoDataValue>7</NoDataValue>"
                                            "</PAMRasterBand></PAMDataset>");
    ASSERT_TRUE(ReadBackgroundMapFile(path, 0, map, error)) << error;
    EXPECT_EQ(map.images[0].rgba[4 * 5 + 3], 255);
    EXPECT_EQ(map.images[0].rgba[4 * 6 + 3], 0);
    EXPECT_EQ(map.images[0].rgba[4 * 7 + 3], 0);
}

// On the central meridian of UTM zone 31N (3 degrees east) the easting is
// 500 000 m and the northing k0 = 0.9996 times the meridian arc from the
// equator: 0 at the equator, 0.9996 x 4 984 944.378 m = 4 982 950.40 m at
// 45 degrees north on the WGS 84 ellipsoid.
TEST(BackgroundMapFile, VectorLinesAreTransformedIntoTheProjectsSystem) {
    test::TempDirectory folder;
    const std::string path = folder.File("meridian.geojson");
    test::WriteFileBytes(path, R"({"type": "FeatureCollection", "features": [
          {"type": "Feature", "properties": {},
           "geometry": {"type": "LineString", "coordinates": [[3, 0], [3, 45]]}},
          {"type": "Feature", "properties": {},
           "geometry": {"type": "Polygon", "coordinates": [[[3, 1], [3.1, 1], [3, 1.1], [3, 1]]]}},
          {"type": "Feature", "properties": {}, "geometry": {"type": "Point", "coordinates": [3, 2]}}
        ]})");
    BackgroundMapFile map;
    std::string error;
    ASSERT_TRUE(ReadBackgroundMapFile(path, 32631, map, error)) << error;
    EXPECT_TRUE(map.transformed);
    ASSERT_EQ(map.polylines.size(), 2u); // the point draws no line
    const BackgroundMapFile::Polyline& line = map.polylines[0];
    ASSERT_EQ(line.points.size(), 2u);
    EXPECT_FALSE(line.closed);
    EXPECT_NEAR(line.points[0].x, 500000.0, 1e-3);
    EXPECT_NEAR(line.points[0].y, 0.0, 1e-3);
    EXPECT_NEAR(line.points[1].x, 500000.0, 1e-3);
    EXPECT_NEAR(line.points[1].y, 4982950.40, 0.05);
    EXPECT_TRUE(map.polylines[1].closed);

    // Without a project system the file's numbers are plan metres.
    ASSERT_TRUE(ReadBackgroundMapFile(path, 0, map, error)) << error;
    EXPECT_FALSE(map.transformed);
    EXPECT_EQ(map.polylines[0].points[1].y, 45.0);
}

TEST(BackgroundMapFile, UnreadableFilesAreRefusedWithTheirName) {
    test::TempDirectory folder;
    const std::string corrupt = folder.File("corrupt.tif");
    test::WriteFileBytes(corrupt, std::string("II*\0", 4) + std::string(60, '\x7f'));
    const std::string empty = folder.File("empty.geojson");
    test::WriteFileBytes(empty, R"({"type": "FeatureCollection", "features": []})");
    for (const std::string& path : {corrupt, empty, folder.File("missing.gpkg")}) {
        SCOPED_TRACE(path);
        BackgroundMapFile map;
        std::string error;
        EXPECT_FALSE(ReadBackgroundMapFile(path, 27700, map, error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_TRUE(map.Empty());
    }
    EXPECT_TRUE(IsGdalMapFile(corrupt));
    EXPECT_TRUE(IsGdalMapFile("site.GPKG"));
    EXPECT_FALSE(IsGdalMapFile("site.dxf"));
    EXPECT_FALSE(IsGdalMapFile("site.dwg"));
}

} // namespace
} // namespace varnex
