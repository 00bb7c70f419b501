// Typing into the distribution fields, the messages of invalid entries, the
// fields the chosen options leave unused, the list of problems before a run
// and the room the forms give their texts in English and German.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "ScriptedPrompts.h"
#include "UiTestSupport.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "settings/LanguageList.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "ui/forms/DistributionDialog.h"
#include "ui/forms/DistributionEdit.h"
#include "ui/forms/FormDialog.h"
#include "ui/forms/FormKind.h"
#include "ui/forms/InputForm.h"
#include "ui/forms/PropertyGrid.h"
#include "ui/forms/ValidationList.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/shell/ProjectExplorer.h"
#include "ui/shell/ProjectWizard.h"

using varnex::Project;
using varnex::Source;
using varnex::ui::CMainFrame;
using varnex::ui::DistributionEdit;
using varnex::ui::FormDialog;
using varnex::ui::FormKind;
using varnex::ui::test::ScriptedPrompts;
using varnex::ui::test::WhenModalOpens;

namespace {

const std::string infoDirectory = VARNEX_SOURCE_DIR "/data/Info";

// Every keyword written out in full, as the user guide writes them.
const QStringList wholeTexts = {
    QStringLiteral("TRIANGULAR(0.1,0.25,0.4)"),
    QStringLiteral("SINGLE(5)"),
    QStringLiteral("LOGTRIANGULAR(1,2,3)"),
    QStringLiteral("LOGNORMAL(1,0.5)"),
    QStringLiteral("EXPONENTIAL(2)"),
    QStringLiteral("BINOMIAL(10,0.5)"),
    QStringLiteral("UNIFORM(0.1,0.2)"),
    QStringLiteral("LOGUNIFORM(1,10)"),
    QStringLiteral("POISSON(3)"),
    QStringLiteral("NORMAL(5,1)"),
    QStringLiteral("BOOLEAN(0.5)"),
};

Project ProjectWithSource() {
    Project project;
    project.NewProject(infoDirectory);
    std::string error;
    Source source;
    source.name = "Tip";
    source.vertices = {{0, 0}, {10, 0}, {10, 10}};
    project.AddSource(source, error, false);
    return project;
}

// Types `keys` into an empty field as a user would, key by key.
QString TypeInto(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, keys);
    return edit->text();
}

// The texts of a window that must not be cut: labels and buttons (check
// boxes and radio buttons too) shown, and the headings of its tables.
void CheckNothingClipped(QWidget& window, const QString& where) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) continue;
        QVERIFY2(label->width() >= label->sizeHint().width(),
                 qPrintable(where + QStringLiteral(": label cut: ") + label->text()));
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) continue;
        QVERIFY2(button->width() >= button->sizeHint().width(),
                 qPrintable(where + QStringLiteral(": button cut: ") + button->text()));
    }
    for (QTableWidget* table : window.findChildren<QTableWidget*>()) {
        if (!table->isVisible()) continue;
        QHeaderView* header = table->horizontalHeader();
        int total = 0;
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem* heading = table->horizontalHeaderItem(column);
            if (!heading || header->isSectionHidden(column)) continue;
            total += header->sectionSize(column);
            // The heading needs its text and the section's margins.
            QVERIFY2(header->sectionSize(column) >=
                         header->fontMetrics().horizontalAdvance(heading->text()) + 8,
                     qPrintable(where + QStringLiteral(": heading cut: ") + heading->text()));
        }
        QVERIFY2(total <= table->viewport()->width(),
                 qPrintable(where + QStringLiteral(": columns beyond the table: ") +
                            table->objectName()));
    }
    QVERIFY2(window.width() <= 1280 && window.height() <= 800,
             qPrintable(where + QStringLiteral(": larger than the screen")));
}

} // namespace

class FormsComfortTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(preferencesFolder_.isValid());
        varnex::UseUserPreferencesFile(
            preferencesFolder_.filePath(QStringLiteral("preferences.ini")).toStdString());
        settings_.StartUp();
        settings_.autoComplete = true;
        DistributionEdit::UseSettings(&settings_);
    }
    void cleanupTestCase() {
        DistributionEdit::UseSettings(nullptr);
        varnex::ResetUserPreferencesFile();
    }
    void init() { prompts_ = ScriptedPrompts(); }

    // Whoever types a text out in full gets that text, in a form, in the
    // wizard and in the Properties pane; the quick typist still gets the
    // template, and a pasted text is taken as it is.
    void typedTextsArriveWhole() {
        Project project = ProjectWithSource();
        FormDialog details(varnex::ui::CreateInputForm(FormKind::sourceDetails, 0), project,
                           prompts_);
        details.show();
        auto* thickness = details.Form()->findChild<DistributionEdit*>(QStringLiteral("thickness"));
        QVERIFY(thickness);
        for (const QString& text : wholeTexts) {
            QCOMPARE(TypeInto(thickness, text), text);
            // In lower case the completed keyword is in capitals (BOOLEAN has
            // no completion).
            if (!text.startsWith(QStringLiteral("BOOLEAN")))
                QCOMPARE(TypeInto(thickness, text.toLower()),
                         text.left(text.indexOf(QLatin1Char('('))) +
                             text.mid(text.indexOf(QLatin1Char('('))).toLower());
        }

        // The quick typist: two letters, the arguments and the ")" that
        // steps over the template's.
        QCOMPARE(TypeInto(thickness, QStringLiteral("TR")), QStringLiteral("TRIANGULAR()"));
        QCOMPARE(thickness->cursorPosition(), 11);
        QCOMPARE(TypeInto(thickness, QStringLiteral("TR1,2,3")),
                 QStringLiteral("TRIANGULAR(1,2,3)"));
        QCOMPARE(TypeInto(thickness, QStringLiteral("TR1,2,3)")),
                 QStringLiteral("TRIANGULAR(1,2,3)"));
        QCOMPARE(TypeInto(thickness, QStringLiteral("TRIA1,2,3)")),
                 QStringLiteral("TRIANGULAR(1,2,3)"));
        QCOMPARE(TypeInto(thickness, QStringLiteral("LOGT(1,2,3)")),
                 QStringLiteral("LOGTRIANGULAR(1,2,3)"));
        // A letter that does not continue the keyword is the user's own.
        QCOMPARE(TypeInto(thickness, QStringLiteral("NOx")), QStringLiteral("NORMAL(x)"));
        QVERIFY(!thickness->IsTextValid());

        // Pasted, even a bare prefix stays as it is.
        QApplication::clipboard()->setText(QStringLiteral("TR"));
        thickness->clear();
        thickness->paste();
        QCOMPARE(thickness->text(), QStringLiteral("TR"));
        QApplication::clipboard()->setText(QStringLiteral("NORMAL(5,1)"));
        thickness->clear();
        thickness->paste();
        QCOMPARE(thickness->text(), QStringLiteral("NORMAL(5,1)"));

        // The wizard's source inventory.
        varnex::ui::ProjectWizard wizard(project, prompts_);
        wizard.show();
        while (wizard.CurrentStep().kind != FormKind::sourceInventory) QVERIFY(wizard.Next());
        auto* concentration =
            wizard.CurrentForm()->findChild<DistributionEdit*>(QStringLiteral("concentration"));
        QVERIFY(concentration);
        for (const QString& text : wholeTexts) QCOMPARE(TypeInto(concentration, text), text);
        QCOMPARE(TypeInto(concentration, QStringLiteral("UN1,2)")), QStringLiteral("UNIFORM(1,2)"));

        // The Properties pane types with the same field.
        CMainFrame frame(settings_);
        frame.SetPrompts(&prompts_);
        frame.Document().GetProject() = ProjectWithSource();
        frame.OnProjectEdited();
        frame.show();
        frame.Explorer()->setCurrentItem(frame.Explorer()->topLevelItem(0)->child(0));
        varnex::ui::PropertyGrid* grid = frame.Properties();
        const auto typeInGrid = [&](const QString& keys) -> QString {
            int row = -1;
            for (int r = 0; r < grid->rowCount(); ++r)
                if (grid->item(r, 0) && grid->item(r, 0)->text() == QStringLiteral("Thickness [m]"))
                    row = r;
            if (row < 0) return QStringLiteral("no row");
            grid->setCurrentCell(row, 1);
            grid->editItem(grid->item(row, 1));
            DistributionEdit* editor = nullptr;
            for (DistributionEdit* open : grid->findChildren<DistributionEdit*>())
                if (open->isVisible()) editor = open;
            if (!editor) return QStringLiteral("no distribution field");
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_Backspace);
            QTest::keyClicks(editor, keys);
            QTest::keyClick(editor, Qt::Key_Return);
            // The edit is committed, then the grid rebuilt, each queued.
            for (int k = 0; k < 3; ++k) QApplication::processEvents();
            return grid->ValueOf(QStringLiteral("Thickness [m]"));
        };
        QCOMPARE(typeInGrid(QStringLiteral("TRIANGULAR(0.1,0.25,0.4)")),
                 QStringLiteral("TRIANGULAR(0.1,0.25,0.4)"));
        QCOMPARE(typeInGrid(QStringLiteral("NO5,1)")), QStringLiteral("NORMAL(5,1)"));
        QCOMPARE(frame.Document().GetProject().sources[0].thickness.Format(),
                 std::string("NORMAL(5,1)"));
        QVERIFY(prompts_.errors.isEmpty());
    }

    // An invalid entry says why beside the field and in its tooltip, in the
    // same words as the Distribution dialog, without repeating its label;
    // OK keeps the form open with every entry and points at the field.
    void invalidEntriesSayWhyWhereTheyAre() {
        Project project = ProjectWithSource();
        const std::string before = varnex::WriteProjectJson(project);
        FormDialog details(varnex::ui::CreateInputForm(FormKind::sourceDetails, 0), project,
                           prompts_);
        details.show();
        auto* thickness = details.Form()->findChild<DistributionEdit*>(QStringLiteral("thickness"));
        auto* message = details.Form()->findChild<QLabel*>(QStringLiteral("thicknessMessage"));
        QVERIFY(thickness && message);
        QVERIFY(message->isHidden());
        thickness->setText(QStringLiteral("TRIANGULAR(3,1)"));
        QVERIFY(!message->isHidden());
        QVERIFY(!message->text().isEmpty());
        QCOMPARE(thickness->toolTip(), message->text());
        QVERIFY2(!message->text().contains(QStringLiteral("Thickness")),
                 qPrintable(message->text()));

        // The dialog opened on the same text words its fault the same.
        QString dialogFault;
        WhenModalOpens<varnex::ui::DistributionDialog>([&](varnex::ui::DistributionDialog& dialog) {
            dialogFault = dialog.TextFault();
            dialog.reject();
        });
        thickness->OpenDistributionDialog();
        QCOMPARE(dialogFault, message->text());

        // A valid edit beside it survives OK.
        auto* name = details.Form()->findChild<QLineEdit*>(QStringLiteral("sourceName"));
        name->setText(QStringLiteral("Landfill"));
        QVERIFY(!details.TryAccept());
        QVERIFY(prompts_.questions.isEmpty());
        QVERIFY(details.isVisible());
        QCOMPARE(details.focusWidget(), static_cast<QWidget*>(thickness));
        QCOMPARE(name->text(), QStringLiteral("Landfill"));
        QCOMPARE(varnex::WriteProjectJson(project), before);
        varnex::ui::test::SaveScreenshot(details, QStringLiteral("form-field-error.png"));
        // The label is named once.
        QCOMPARE(details.ShownErrors().count(QStringLiteral("Thickness [m]")), 1);
        QVERIFY(details.ShownErrors().endsWith(message->text()));
        thickness->setText(QStringLiteral("TRIANGULAR(1,2,3)"));
        QVERIFY(message->isHidden());
        QVERIFY(thickness->toolTip().isEmpty());
        QVERIFY(details.TryAccept());
        QCOMPARE(project.sources[0].name, std::string("Landfill"));
        QCOMPARE(project.sources[0].thickness.Format(), std::string("TRIANGULAR(1,2,3)"));
    }

    // Fields the options leave unused are disabled with the reason, keep
    // their values, and come back with the option.
    void unusedFieldsAreDisabledWithTheirReason() {
        Project project = ProjectWithSource();
        struct Case {
            FormKind kind;
            const char* option;
            std::vector<const char*> unusedWhenOn;
            std::vector<const char*> unusedWhenOff;
        };
        const std::vector<Case> cases = {
            {FormKind::sourceDetails,
             "calculatePorosities",
             {"waterFilledPorosity", "airFilledPorosity"},
             {"moistureContent", "particleDensity"}},
            {FormKind::infiltration,
             "soakaway",
             {"infiltration"},
             {"maximumInfiltrationRate", "baseArea"}},
            {FormKind::aquiferPathway, "calculateMixingZone", {"mixingZoneThickness"}, {}},
        };
        for (const Case& c : cases) {
            FormDialog dialog(varnex::ui::CreateInputForm(c.kind, 0), project, prompts_);
            auto* option = dialog.Form()->findChild<QCheckBox*>(QLatin1String(c.option));
            QVERIFY2(option, c.option);
            for (const bool on : {true, false, true}) {
                option->setChecked(on);
                for (const auto& [names, unused] :
                     {std::pair{c.unusedWhenOn, on}, std::pair{c.unusedWhenOff, !on}})
                    for (const char* name : names) {
                        auto* field =
                            dialog.Form()->findChild<DistributionEdit*>(QLatin1String(name));
                        QVERIFY2(field, name);
                        if (on) field->setText(QStringLiteral("SINGLE(0.2)"));
                        QVERIFY2(field->isEnabled() == !unused, name);
                        QVERIFY2(field->toolTip().isEmpty() == !unused, name);
                        QCOMPARE(field->text(), QStringLiteral("SINGLE(0.2)"));
                    }
            }
        }

        // A porous layer does not use the dual-porosity inputs.
        FormDialog pathways(varnex::ui::CreateInputForm(FormKind::unsaturatedPathway, 0), project,
                            prompts_);
        auto* flowModel = pathways.Form()->findChild<QComboBox*>();
        auto* matrix =
            pathways.Form()->findChild<DistributionEdit*>(QStringLiteral("matrixConductivity"));
        QVERIFY(flowModel && matrix);
        const bool porousFirst = !matrix->isEnabled();
        QVERIFY(porousFirst);
        QVERIFY(!matrix->toolTip().isEmpty());
    }

    // The problems of a project that cannot run are listed; each knows its
    // entity and field, and a row opens the form with that field focused.
    void validationListLeadsToTheField() {
        CMainFrame frame(settings_);
        frame.SetPrompts(&prompts_);
        QVERIFY(frame.ImportJsonFile(
            QStringLiteral(VARNEX_SOURCE_DIR "/examples/invalid-level3.json")));
        Project invalid = frame.Document().GetProject();
        std::string report;
        std::vector<varnex::ValidationProblem> problems;
        QVERIFY(!invalid.Validate(report, problems));
        std::string plain;
        Project copy = invalid;
        copy.Validate(plain);
        QCOMPARE(report, plain);
        // Every problem's text is a line of the report, in the same order.
        std::size_t from = 0;
        for (const varnex::ValidationProblem& problem : problems) {
            const std::size_t at = report.find(problem.text, from);
            QVERIFY2(at != std::string::npos, problem.text.c_str());
            from = at;
        }
        QCOMPARE(problems.size(), std::size_t(8));
        const auto find = [&](const char* start) -> const varnex::ValidationProblem* {
            for (const varnex::ValidationProblem& problem : problems)
                if (problem.text.rfind(start, 0) == 0) return &problem;
            return nullptr;
        };
        using E = varnex::ValidationProblem::Entity;
        const auto* porosity = find("Water filled porosity");
        QVERIFY(porosity && porosity->entity == E::source && porosity->source == 0 &&
                porosity->field == "waterFilledPorosity");
        const auto* vertices = find("At least three vertices");
        QVERIFY(vertices && vertices->entity == E::source && vertices->field == "vertices");
        const auto* gradient = find("Hydraulic Gradient");
        QVERIFY(gradient && gradient->entity == E::aquifer &&
                gradient->field == "hydraulicGradient");
        const auto* halfLife = find("Trichloroethene Half Life");
        QVERIFY(halfLife && halfLife->entity == E::contaminant && halfLife->field == "halfLife");
        const auto* infiltration = find("Infiltration");
        QVERIFY(infiltration && varnex::ui::PlaceOf(*infiltration).kind == FormKind::infiltration);

        // In the program: a run shows the list instead of a message box.
        frame.show();
        QVERIFY(!frame.RunAndSave());
        QVERIFY(prompts_.errors.isEmpty());
        varnex::ui::ValidationList* list = frame.Validation();
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->Rows()->count(), 8);
        varnex::ui::test::SaveScreenshot(*list, QStringLiteral("validation-list.png"));
        int porosityRow = -1;
        for (int row = 0; row < list->Rows()->count(); ++row)
            if (list->Rows()->item(row)->text().startsWith(QStringLiteral("Water filled porosity")))
                porosityRow = row;
        QVERIFY(porosityRow >= 0);

        // Enter on the row opens Source Details on that field.
        QString focused;
        WhenModalOpens<FormDialog>([&](FormDialog& dialog) {
            QApplication::processEvents();
            QWidget* focus = dialog.focusWidget();
            focused = focus ? focus->objectName() : QString();
            dialog.reject();
        });
        list->Rows()->setCurrentRow(porosityRow);
        QTest::keyClick(list->Rows(), Qt::Key_Return);
        QCOMPARE(focused, QStringLiteral("waterFilledPorosity"));

        // A contaminant's input: the form shows that contaminant first.
        int halfLifeRow = -1;
        for (int row = 0; row < list->Rows()->count(); ++row)
            if (list->Rows()->item(row)->text().startsWith(QStringLiteral("Trichloroethene")))
                halfLifeRow = row;
        QString shownContaminant;
        WhenModalOpens<FormDialog>([&](FormDialog& dialog) {
            QApplication::processEvents();
            QWidget* focus = dialog.focusWidget();
            focused = focus ? focus->objectName() : QString();
            auto* name = dialog.Form()->findChild<QLineEdit*>(QStringLiteral("contaminantName"));
            shownContaminant = name ? name->text() : QString();
            dialog.reject();
        });
        emit list->Rows()->itemActivated(list->Rows()->item(halfLifeRow));
        QCOMPARE(focused, QStringLiteral("halfLife"));
        QCOMPARE(shownContaminant, QStringLiteral("Trichloroethene"));

        // Mended elsewhere (here in the Properties pane): the row goes.
        frame.Explorer()->setCurrentItem(frame.Explorer()->topLevelItem(0)->child(0));
        QVERIFY(frame.Properties()->EditValue(QStringLiteral("Water filled porosity [fraction]"),
                                              QStringLiteral("TRIANGULAR(0.2,0.35,0.4)")));
        QTRY_COMPARE(list->Rows()->count(), 7);
    }

    // Every form, the Receptor(s) dialog and the Properties pane fit their
    // texts on a 1280 x 800 screen in English and in German.
    void layoutsFitTheirTextsInBothLanguages() {
        const std::string languages = infoDirectory + "/langs.txt";
        for (const char* language : {"English", "Deutsch"}) {
            QCOMPARE(varnex::SetLanguage(language, languages), std::string(language));
            Project project = ProjectWithSource();
            project.simulationLevel = 3;
            std::string error;
            varnex::Receptor receptor;
            receptor.name = "Well";
            project.receptors.push_back(receptor);
            for (int k = 0; k <= int(FormKind::dxfOptions); ++k) {
                const auto kind = FormKind(k);
                FormDialog dialog(varnex::ui::CreateInputForm(kind, 0), project, prompts_);
                dialog.show();
                QApplication::processEvents();
                CheckNothingClipped(dialog, QString::fromLatin1(language) + QStringLiteral(" ") +
                                                dialog.windowTitle());
                if (kind == FormKind::receptors &&
                    QLatin1String(language) == QLatin1String("English"))
                    varnex::ui::test::SaveScreenshot(dialog,
                                                     QStringLiteral("receptors-dialog.png"));
            }

            CMainFrame frame(settings_);
            frame.SetPrompts(&prompts_);
            frame.resize(1280, 800);
            frame.Document().GetProject() = project;
            frame.OnProjectEdited();
            frame.show();
            frame.Explorer()->setCurrentItem(frame.Explorer()->topLevelItem(0)->child(0));
            QApplication::processEvents();
            varnex::ui::PropertyGrid* grid = frame.Properties();
            for (int row = 0; row < grid->rowCount(); ++row) {
                const QTableWidgetItem* label = grid->item(row, 0);
                if (!label || grid->columnSpan(row, 0) > 1) continue;
                QVERIFY2(grid->columnWidth(0) >=
                             grid->fontMetrics().horizontalAdvance(label->text()),
                         qPrintable(QString::fromLatin1(language) +
                                    QStringLiteral(": property cut: ") + label->text()));
            }
            if (QLatin1String(language) == QLatin1String("Deutsch"))
                varnex::ui::test::SaveScreenshot(frame, QStringLiteral("properties-deutsch.png"));
        }
        varnex::SetLanguage("English", languages);
    }

private:
    QTemporaryDir preferencesFolder_;
    varnex::UserInterfaceSettings settings_;
    ScriptedPrompts prompts_;
};

QTEST_MAIN(FormsComfortTest)
#include "FormsComfortTest.moc"
