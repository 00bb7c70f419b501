// Background maps from a GIS on the site plan, and the coordinate system in
// the Domain form: a GeoTIFF lands where its geotransform puts it (moved by
// the map's offset and scale like a DXF drawing) with north up, a GeoJSON
// line appears, a damaged file is told on the plan; the form names the
// system of a code and keeps an unusable one from the project.

#include <QApplication>
#include <QFile>
#include <QGraphicsItem>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gdal_priv.h>
#include <memory>

#include "ScriptedPrompts.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "ui/common/QtText.h"
#include "ui/forms/FormDialog.h"
#include "ui/forms/FormKind.h"
#include "ui/forms/InputForm.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/DxfMapGeometry.h"
#include "ui/siteplan/DxfMapReader.h"
#include "ui/siteplan/SitePlanLayers.h"
#include "ui/siteplan/SitePlanScene.h"

using varnex::Project;
using varnex::ui::CPhaseView;
using varnex::ui::FormKind;
using varnex::ui::test::ScriptedPrompts;

namespace {

// A 4 x 4 GeoTIFF of 10 m pixels, top-left corner (500, 300): it covers
// x 500..540, y 260..300. Its quarters are red (north-west), green
// (north-east), blue (south-west) and yellow (south-east).
bool WriteQuarters(const QString& path) {
    GDALAllRegister();
    GDALDatasetUniquePtr file(GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
        varnex::ui::ToStdString(path).c_str(), 4, 4, 3, GDT_Byte, nullptr));
    if (!file) return false;
    double transform[6] = {500.0, 10.0, 0.0, 300.0, 0.0, -10.0};
    file->SetGeoTransform(transform);
    const QColor quarters[2][2] = {{Qt::red, Qt::green}, {Qt::blue, Qt::yellow}};
    for (int b = 1; b <= 3; ++b) {
        std::uint8_t values[16];
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const QColor colour = quarters[r / 2][c / 2];
                values[r * 4 + c] = static_cast<std::uint8_t>(b == 1   ? colour.red()
                                                              : b == 2 ? colour.green()
                                                                       : colour.blue());
            }
        GDALRasterBand* band = file->GetRasterBand(b);
        band->SetColorInterpretation(b == 1 ? GCI_RedBand : b == 2 ? GCI_GreenBand : GCI_BlueBand);
        if (band->RasterIO(GF_Write, 0, 0, 4, 4, values, 4, 4, GDT_Byte, 0, 0, nullptr) != CE_None)
            return false;
    }
    return true;
}

QString WriteText(const QTemporaryDir& folder, const QString& name, const QByteArray& text) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return QString();
    file.write(text);
    return file.fileName();
}

} // namespace

class BackgroundMapTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir preferencesFolder_;
    varnex::UserInterfaceSettings settings_;
    std::unique_ptr<CPhaseView> view_;
    ScriptedPrompts prompts_;
    Project project_;

    void ShowProject() {
        view_ = std::make_unique<CPhaseView>();
        view_->resize(800, 600);
        view_->SetPrompts(&prompts_);
        view_->SetProject(&project_);
        view_->show();
        QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    }

    QGraphicsItem* MapItem() const {
        for (QGraphicsItem* item : view_->Scene()->items())
            if (item->type() == varnex::ui::mapItemType) return item;
        return nullptr;
    }

private slots:
    void initTestCase() {
        QVERIFY(preferencesFolder_.isValid());
        varnex::UseUserPreferencesFile(varnex::ui::ToStdString(
            preferencesFolder_.filePath(QStringLiteral("preferences.ini"))));
        settings_.StartUp();
    }
    void cleanupTestCase() { varnex::ResetUserPreferencesFile(); }
    void init() {
        project_.Reset();
        project_.sitePlan.showGrid = false;
        project_.sitePlan.showBackgroundMap = true;
        prompts_ = ScriptedPrompts();
    }
    void cleanup() { view_.reset(); }

    // Offset (100, -50) and scale 2 move the image's corners to
    // x = 100 + 2 x 500 = 1100 .. 100 + 2 x 540 = 1180 and
    // y = -50 + 2 x 260 = 470 .. -50 + 2 x 300 = 550.
    void aGeoTiffLandsWhereItsGeotransformPutsItNorthUp() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("quarters.tif"));
        QVERIFY(WriteQuarters(path));
        project_.sitePlan.backgroundMapFile = varnex::ui::ToStdString(path);
        project_.sitePlan.mapOffsetX = 100.0;
        project_.sitePlan.mapOffsetY = -50.0;
        project_.sitePlan.mapScale = 2.0;
        ShowProject();
        QVERIFY2(view_->HasBackgroundMap(), qPrintable(view_->BackgroundMapError()));
        QGraphicsItem* item = MapItem();
        QVERIFY(item);
        const QRectF area = item->sceneBoundingRect();
        QCOMPARE(area.left(), 1100.0);
        QCOMPARE(area.right(), 1180.0);
        QCOMPARE(area.top(), 470.0); // the scene's y is the plan's northing
        QCOMPARE(area.bottom(), 550.0);

        // The quarters' centres on screen: north-west red, south-east yellow.
        view_->ZoomToArea(QRectF(1090.0, 460.0, 100.0, 100.0));
        QApplication::processEvents();
        const QImage shot = view_->viewport()->grab().toImage();
        const auto colourAt = [&](double x, double y) {
            return shot.pixelColor(view_->mapFromScene(QPointF(x, y)));
        };
        QCOMPARE(colourAt(1120.0, 530.0), QColor(Qt::red));
        QCOMPARE(colourAt(1160.0, 530.0), QColor(Qt::green));
        QCOMPARE(colourAt(1120.0, 490.0), QColor(Qt::blue));
        QCOMPARE(colourAt(1160.0, 490.0), QColor(Qt::yellow));
    }

    void aGeoJsonLineIsDrawnLikeADrawingsLine() {
        QTemporaryDir folder;
        const QString path = WriteText(
            folder, QStringLiteral("drain.geojson"),
            R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {},
                "geometry": {"type": "LineString", "coordinates": [[10, 20], [70, 20], [70, 60]]}}]})");
        project_.sitePlan.backgroundMapFile = varnex::ui::ToStdString(path);
        ShowProject();
        QVERIFY2(view_->HasBackgroundMap(), qPrintable(view_->BackgroundMapError()));
        QCOMPARE(view_->BackgroundMap()->polylines.size(), std::size_t(1));
        QGraphicsItem* item = MapItem();
        QVERIFY(item);
        QCOMPARE(item->sceneBoundingRect(), QRectF(10.0, 20.0, 60.0, 40.0));
    }

    void aDamagedFileIsToldOnThePlan() {
        QTemporaryDir folder;
        const QString path = WriteText(folder, QStringLiteral("orthophoto.tif"),
                                       QByteArray("II*\0", 4) + QByteArray(100, '\x55'));
        project_.sitePlan.backgroundMapFile = varnex::ui::ToStdString(path);
        ShowProject();
        QVERIFY(!view_->HasBackgroundMap());
        QVERIFY(!MapItem());
        const QString message = view_->BackgroundMapError();
        QVERIFY2(message.contains(path) && message.contains(QStringLiteral("Cannot open")),
                 qPrintable(message));
        QVERIFY(prompts_.errors.isEmpty());

        // A drawing that claims DWG R2000 goes to GDAL's CAD driver, which
        // refuses this one; any other DWG version is refused as before.
        const QString dwg = WriteText(folder, QStringLiteral("yard.dwg"),
                                      QByteArray("AC1015") + QByteArray(64, '\0'));
        varnex::ui::DxfMapGeometry map;
        std::string error;
        QVERIFY(
            !varnex::ui::DxfMapReader::ReadFile(varnex::ui::ToStdString(dwg), 27700, map, error));
        QVERIFY2(varnex::ui::ToQString(error).contains(dwg), error.c_str());
        QVERIFY(map.Empty());
    }

    void theDomainFormNamesTheSystemAndRefusesOneThePlanCannotUse() {
        const std::string before = varnex::WriteProjectJson(project_);
        varnex::ui::FormDialog domain(varnex::ui::CreateInputForm(FormKind::domain, -1), project_,
                                      prompts_);
        auto* code = domain.Form()->findChild<QLineEdit*>(QStringLiteral("coordinateSystem"));
        auto* name = domain.Form()->findChild<QLabel*>(QStringLiteral("coordinateSystemName"));
        QVERIFY(code && name);
        QVERIFY(code->text().isEmpty());
        QVERIFY(domain.TryAccept());
        QCOMPARE(varnex::WriteProjectJson(project_), before);

        varnex::ui::FormDialog again(varnex::ui::CreateInputForm(FormKind::domain, -1), project_,
                                     prompts_);
        code = again.Form()->findChild<QLineEdit*>(QStringLiteral("coordinateSystem"));
        name = again.Form()->findChild<QLabel*>(QStringLiteral("coordinateSystemName"));
        code->setText(QStringLiteral("4326"));
        QCOMPARE(name->text(), QStringLiteral("WGS 84"));
        QVERIFY(!again.TryAccept());
        QVERIFY2(again.ShownErrors().contains(QStringLiteral("geographic")),
                 qPrintable(again.ShownErrors()));
        code->setText(QStringLiteral("99999"));
        QVERIFY(!again.TryAccept());
        QVERIFY(again.ShownErrors().contains(QStringLiteral("EPSG:99999")));
        code->setText(QStringLiteral("EPSG 1"));
        QVERIFY(!again.TryAccept());
        QCOMPARE(project_.coordinateSystemEpsg, 0);

        code->setText(QStringLiteral("27700"));
        QCOMPARE(name->text(), QStringLiteral("OSGB36 / British National Grid"));
        QVERIFY(again.TryAccept());
        QCOMPARE(project_.coordinateSystemEpsg, 27700);
        // The document compares the project's JSON form to tell a change.
        QVERIFY(varnex::WriteProjectJson(project_) != before);

        varnex::ui::FormDialog cleared(varnex::ui::CreateInputForm(FormKind::domain, -1), project_,
                                       prompts_);
        code = cleared.Form()->findChild<QLineEdit*>(QStringLiteral("coordinateSystem"));
        QCOMPARE(code->text(), QStringLiteral("27700"));
        code->setText(QStringLiteral("0"));
        QVERIFY(cleared.TryAccept());
        QCOMPARE(project_.coordinateSystemEpsg, 0);
        QCOMPARE(varnex::WriteProjectJson(project_), before);
    }
};

QTEST_MAIN(BackgroundMapTest)
#include "BackgroundMapTest.moc"
