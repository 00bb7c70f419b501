// The distribution field and the "Distribution" dialog: keyword completion,
// the invalid colours, what reaches the model, the dialog's text and its
// refusals, and the samples dump.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "ScriptedPrompts.h"
#include "UiTestSupport.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/DistributionMessages.h"
#include "stochastic/DistributionType.h"
#include "stochastic/IterationCount.h"
#include "ui/forms/DistributionDialog.h"
#include "ui/forms/DistributionEdit.h"
#include "ui/forms/DistributionField.h"

using varnex::Distribution;
using varnex::StochasticParameter;
using varnex::UserInterfaceSettings;
using varnex::ui::DistributionDialog;
using varnex::ui::DistributionEdit;
using varnex::ui::DistributionField;
using varnex::ui::test::ScriptedPrompts;
namespace DistributionType = varnex::DistributionType;

using varnex::ui::test::SaveScreenshot;
using varnex::ui::test::WhenModalOpens;

namespace {

StochasticParameter Input(const char* label, const char* text, double unitFactor = 0.0) {
    StochasticParameter parameter;
    parameter.SetLabel(label);
    parameter.distribution.unitFactor = unitFactor;
    parameter.distribution.Parse(text);
    return parameter;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class DistributionEditTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { varnex::BuildDistributionMessageTable(); }
    void init() {
        settings_ = UserInterfaceSettings();
        DistributionEdit::UseSettings(&settings_);
    }
    void cleanupTestCase() { DistributionEdit::UseSettings(nullptr); }

    void typedPrefixesCompleteWhileAutoCompleteIsOn_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("caret");
        QTest::newRow("tr") << "tr"
                            << "TRIANGULAR()" << 11;
        QTest::newRow("logt") << "logt"
                              << "LOGTRIANGULAR()" << 14;
        QTest::newRow("LOGU") << "LOGU"
                              << "LOGUNIFORM()" << 11;
        QTest::newRow("no") << "no"
                            << "NORMAL()" << 7;
        QTest::newRow("bo has no template") << "bo"
                                            << "bo" << 2;
        // "LO" is the start of three keywords: nothing to complete yet.
        QTest::newRow("lo") << "lo"
                            << "lo" << 2;
    }
    void typedPrefixesCompleteWhileAutoCompleteIsOn() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, caret);
        DistributionEdit edit;
        edit.Load(Input("Thickness [m]", "SINGLE(1)"));
        edit.clear();
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), shown);
        QCOMPARE(edit.cursorPosition(), caret);
    }

    void completionFollowsTheSettingAndNeverFightsDeleting() {
        DistributionEdit edit;
        edit.Load(Input("Thickness [m]", "SINGLE(1)"));
        settings_.autoComplete = false;
        edit.clear();
        QTest::keyClicks(&edit, "tr");
        QCOMPARE(edit.text(), QStringLiteral("tr"));

        // Switched on in the options, the same field completes at once.
        settings_.autoComplete = true;
        edit.clear();
        QTest::keyClicks(&edit, "un");
        QCOMPARE(edit.text(), QStringLiteral("UNIFORM()"));
        QTest::keyClicks(&edit, "1,2");
        QCOMPARE(edit.text(), QStringLiteral("UNIFORM(1,2)"));

        // Deleting back over a prefix must not bring the template back, or
        // the field could never be emptied with Backspace.
        edit.setText(QStringLiteral("TRI"));
        edit.end(false);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("TR"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QString());
    }

    void invalidTextShowsTheInvalidColoursUntilMended() {
        settings_.invalidTextColour = 0x00FF0000; // blue, as 0x00BBGGRR
        settings_.invalidBackColour = 0x0000FFFF; // yellow
        DistributionEdit edit;
        QList<bool> validity;
        connect(&edit, &DistributionEdit::ValidityChanged, [&](bool valid) { validity << valid; });
        edit.Load(Input("Thickness [m]", "SINGLE(1)"));
        const QColor normalText = edit.ShownTextColour();
        QVERIFY(edit.IsTextValid());

        edit.setText(QStringLiteral("UNIFORM(2,1)"));
        QVERIFY(!edit.IsTextValid());
        QCOMPARE(edit.ShownTextColour(), QColor(0, 0, 255));
        QCOMPARE(edit.ShownBackColour(), QColor(255, 255, 0));
        QVERIFY(edit.ErrorText().startsWith(QStringLiteral("Thickness [m] - ")));
        QVERIFY(edit.ErrorText().contains(QStringLiteral("Minimum greater than maximum")));

        edit.setText(QStringLiteral("UNIFORM(1,2)"));
        QVERIFY(edit.IsTextValid());
        QCOMPARE(edit.ShownTextColour(), normalText);
        QVERIFY(edit.ErrorText().isEmpty());
        QCOMPARE(validity, QList<bool>({false, true}));

        // Loading an invalid stored input shows it invalid from the start.
        settings_ = UserInterfaceSettings();
        StochasticParameter stored = Input("Thickness [m]", "SINGLE(-1)");
        DistributionEdit fresh;
        fresh.Load(stored);
        QVERIFY(!fresh.IsTextValid());
        QCOMPARE(fresh.ShownTextColour(), QColor(255, 0, 0));
        QCOMPARE(fresh.ShownBackColour(), QColor(255, 255, 255));
    }

    void applyWritesOnlyValidTextsInInternalUnits() {
        StochasticParameter infiltration = Input("Infiltration [mm/yr]", "SINGLE(250)", 0.001);
        infiltration.distribution.maxLimit = 1.0; // m/yr
        DistributionEdit edit;
        edit.Load(infiltration);
        QCOMPARE(edit.text(), QStringLiteral("SINGLE(250)"));

        for (const char* bad : {"abc", "SINGLE(2000)", "NORMAL (1,2)", ""}) {
            edit.setText(QString::fromLatin1(bad));
            QVERIFY2(!edit.Apply(infiltration), bad);
            QCOMPARE(infiltration.distribution.type,
                     static_cast<std::int32_t>(DistributionType::single));
            QCOMPARE(infiltration.distribution.singleValue, 0.25);
        }
        edit.setText(QStringLiteral("uniform(100, 300)"));
        QVERIFY(edit.Apply(infiltration));
        QCOMPARE(infiltration.distribution.type,
                 static_cast<std::int32_t>(DistributionType::uniform));
        QCOMPARE(infiltration.distribution.minimum, 0.1);
        QCOMPARE(infiltration.Format(), std::string("UNIFORM(100,300)"));
    }

    void dialogBuildsTheTextOfEachType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("text");
        QTest::newRow("single") << int(DistributionType::single) << QStringList{"Value"}
                                << QStringList{"5"} << "SINGLE(5)";
        QTest::newRow("log uniform, blanks ignored")
            << int(DistributionType::logUniform) << QStringList{"Minimum", "Maximum"}
            << QStringList{" 1 ", "1 00"} << "LOGUNIFORM(1,100)";
        QTest::newRow("triangular")
            << int(DistributionType::triangular) << QStringList{"Minimum", "Likely", "Maximum"}
            << QStringList{"1", "2.5", "4"} << "TRIANGULAR(1,2.5,4)";
        QTest::newRow("log normal") << int(DistributionType::logNormal) << QStringList{"Mean", "SD"}
                                    << QStringList{"10", "3"} << "LOGNORMAL(10,3)";
        QTest::newRow("poisson") << int(DistributionType::poisson) << QStringList{"Average Rate"}
                                 << QStringList{"4"} << "POISSON(4)";
        QTest::newRow("binomial") << int(DistributionType::binomial) << QStringList{"Trials", "P"}
                                  << QStringList{"10", "0.5"} << "BINOMIAL(10,0.5)";
        QTest::newRow("exponential") << int(DistributionType::exponential) << QStringList{"Mean"}
                                     << QStringList{"2e-3"} << "EXPONENTIAL(0.002)";
    }
    void dialogBuildsTheTextOfEachType() {
        QFETCH(int, type);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, entries);
        QFETCH(QString, text);
        ScriptedPrompts prompts;
        DistributionDialog dialog(Input("Thickness [m]", "SINGLE(1)"), {}, prompts);
        dialog.ChooseType(type);
        QCOMPARE(dialog.ChosenType(), type);
        QCOMPARE(dialog.ArgumentLabels(), labels);
        const std::vector<QLineEdit*> fields = dialog.ArgumentEntries();
        QCOMPARE(static_cast<qsizetype>(fields.size()), entries.size());
        for (std::size_t k = 0; k < fields.size(); ++k) {
            fields[k]->clear();
            QTest::keyClicks(fields[k], entries[static_cast<qsizetype>(k)]);
        }
        QCOMPARE(dialog.PreviewText(), text);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(prompts.errors.isEmpty());
        QCOMPARE(QString::fromStdString(dialog.Result().Format()), text);
    }

    void dialogListsTheTypesInOrderAndStartsFromTheInput() {
        ScriptedPrompts prompts;
        // Display units in the entries, internal units in the result.
        DistributionDialog dialog(Input("Infiltration [mm/yr]", "TRIANGULAR(100,200,300)", 0.001),
                                  {}, prompts);
        auto* types = dialog.findChild<QComboBox*>();
        QStringList names;
        for (int i = 0; i < types->count(); ++i) names << types->itemText(i);
        QCOMPARE(names,
                 QStringList({"Single", "Uniform", "Log Uniform", "Triangular", "Log Triangular",
                              "Normal", "Log Normal", "Poisson", "Binomial", "Exponential"}));
        QCOMPARE(dialog.ChosenType(), int(DistributionType::triangular));
        QCOMPARE(dialog.ArgumentEntries()[1]->text(), QStringLiteral("200"));
        dialog.ArgumentEntries()[1]->setText(QStringLiteral("150"));
        dialog.accept();
        QCOMPARE(dialog.Result().likely, 0.15);
        QCOMPARE(dialog.Result().Format(), std::string("TRIANGULAR(100,150,300)"));

        // BOOLEAN is not offered: it opens as a single value.
        DistributionDialog boolean(Input("Flag", "BOOLEAN(0.5)"), {}, prompts);
        QCOMPARE(boolean.ChosenType(), int(DistributionType::single));
        QCOMPARE(boolean.ArgumentLabels(), QStringList({"Value"}));
    }

    void dialogOkWithInvalidEntriesStaysOpenWithTheProblem() {
        ScriptedPrompts prompts;
        StochasticParameter input = Input("Thickness [m]", "SINGLE(1)");
        DistributionDialog dialog(input, {}, prompts);
        dialog.show();
        dialog.ChooseType(DistributionType::uniform);
        dialog.ArgumentEntries()[0]->setText(QStringLiteral("2"));
        dialog.ArgumentEntries()[1]->setText(QStringLiteral("2"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompts.errors.size(), 1);
        QCOMPARE(
            prompts.errors.first(),
            QStringLiteral("Thickness [m] - Minimum Value = Maximum Value. Enter as single value"));

        // A mistyped number is refused, not read as 0 (which SINGLE(0)
        // would have let through as a thickness of nothing).
        dialog.ChooseType(DistributionType::single);
        dialog.ArgumentEntries()[0]->setText(QStringLiteral("1,5"));
        QVERIFY(dialog.PreviewText().isEmpty());
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompts.errors.last(), QStringLiteral("Value must be a number"));
        dialog.ArgumentEntries()[0]->setText(QStringLiteral("nan"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompts.errors.size(), 3);

        dialog.ArgumentEntries()[0]->setText(QStringLiteral("1.5"));
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Result().singleValue, 1.5);
    }

    void doubleClickOpensTheDialogAndOkShowsItsText() {
        ScriptedPrompts prompts;
        DistributionEdit edit;
        edit.SetPrompts(&prompts);
        edit.Load(Input("Thickness [m]", "SINGLE(1)"));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        WhenModalOpens<DistributionDialog>([](DistributionDialog& dialog) {
            dialog.ChooseType(DistributionType::normal);
            dialog.ArgumentEntries()[0]->setText(QStringLiteral("5"));
            dialog.ArgumentEntries()[1]->setText(QStringLiteral("1"));
            dialog.accept();
        });
        QTest::mouseDClick(&edit, Qt::LeftButton);
        QCOMPARE(edit.text(), QStringLiteral("NORMAL(5,1)"));
        QVERIFY(edit.IsTextValid());

        // Cancel leaves the text as it was.
        WhenModalOpens<DistributionDialog>([](DistributionDialog& dialog) { dialog.reject(); });
        QVERIFY(!edit.OpenDistributionDialog());
        QCOMPARE(edit.text(), QStringLiteral("NORMAL(5,1)"));
    }

    void dumpWritesTheSamplesWhereTheUserChose() {
        QTemporaryDir folder;
        ScriptedPrompts prompts;
        DistributionField field;
        field.SetPrompts(&prompts);

        // Without samples there is nothing to dump.
        field.Load(Input("Thickness [m]", "SINGLE(2)"));
        QVERIFY(!field.DumpButton()->isEnabled());

        const int iterations = varnex::IterationCount();
        varnex::SetIterationCount(3);
        StochasticParameter sampled = Input("Thickness [m]", "SINGLE(2)");
        sampled.SampleAll(false);
        varnex::SetIterationCount(iterations);
        field.Load(sampled);
        QVERIFY(field.DumpButton()->isEnabled());

        const QString path = folder.filePath(QStringLiteral("samples.txt"));
        prompts.saveFiles << path;
        QTest::mouseClick(field.DumpButton(), Qt::LeftButton);
        QCOMPARE(FileBytes(path), QByteArray("Thickness [m]\n3 iterations\n1\t2\n2\t2\n3\t2\n"));

        // Cancelling the file choice writes nothing; an unwritable place is
        // reported.
        QVERIFY(!field.Edit()->DumpSamples());
        prompts.saveFiles << folder.filePath(QStringLiteral("missing/folder/debug.txt"));
        QVERIFY(!field.Edit()->DumpSamples());
        QCOMPARE(prompts.errors.size(), 1);
        QVERIFY(prompts.errors.first().startsWith(QStringLiteral("Cannot write the samples to ")));

        // The dialog's Dump writes the same samples.
        DistributionDialog dialog(sampled, sampled.Samples(), prompts);
        QVERIFY(dialog.DumpButton()->isEnabled());
        const QString second = folder.filePath(QStringLiteral("debug.txt"));
        prompts.saveFiles << second;
        QTest::mouseClick(dialog.DumpButton(), Qt::LeftButton);
        QCOMPARE(FileBytes(second), FileBytes(path));
    }

    void screenshotsOfTheDialog() {
        ScriptedPrompts prompts;
        struct Shot {
            const char* text;
            const char* file;
        };
        for (const Shot& shot : {Shot{"SINGLE(2.5)", "distribution-single.png"},
                                 Shot{"TRIANGULAR(0.1,0.25,0.4)", "distribution-triangular.png"},
                                 Shot{"BINOMIAL(10,0.5)", "distribution-binomial.png"}}) {
            StochasticParameter input = Input("Effective Porosity [fraction]", shot.text);
            input.distribution.maxLimit = 1.0;
            DistributionDialog dialog(input, {0.2, 0.3}, prompts);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            SaveScreenshot(dialog, QString::fromLatin1(shot.file));
        }
    }

private:
    UserInterfaceSettings settings_;
};

QTEST_MAIN(DistributionEditTest)
#include "DistributionEditTest.moc"
