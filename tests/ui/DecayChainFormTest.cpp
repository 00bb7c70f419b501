// The contaminant form's decay chain: the "Parent" choice offers the other
// contaminants, refuses a parent that would make a cycle or a chain of more
// than four members (saying why), enables the yield only with a parent, and
// writes both into the project; deleting a parent says which contaminants
// lose it; the inputs report and the properties pane show parent and
// yield.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "ScriptedPrompts.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "stochastic/IterationCount.h"
#include "ui/common/ProjectItem.h"
#include "ui/forms/DistributionEdit.h"
#include "ui/forms/FormKind.h"
#include "ui/forms/InputForm.h"
#include "ui/forms/PropertyGrid.h"
#include "ui/reports/ReportModel.h"

using varnex::Contaminant;
using varnex::Project;
using varnex::ui::FormKind;
using varnex::ui::InputForm;
using varnex::ui::test::ScriptedPrompts;

namespace {

template <class Widget>
Widget* Find(QWidget* form, const char* name) {
    Widget* widget = form->findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) qWarning("no widget %s", name);
    return widget;
}

// A project of the user's own species PCE, TCE, DCE, VC and ethene
// (identifiers 1002 to 1006), without parents.
Project Ethenes() {
    Project project;
    for (const char* name : {"PCE", "TCE", "DCE", "VC", "Ethene"})
        project.contaminants[project.AddContaminant()].name = name;
    return project;
}

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int row = 0; row < box->count(); ++row) items << box->itemText(row);
    return items;
}

} // namespace

class DecayChainFormTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        prompts_ = ScriptedPrompts();
        varnex::SetIterationCount(varnex::defaultIterationCount);
    }

    void aParentIsChosenAndTheYieldFollowsIt() {
        Project project = Ethenes();
        std::unique_ptr<InputForm> form = Open(project);
        Show(form.get(), 1); // TCE
        QComboBox* parent = Find<QComboBox>(form.get(), "parent");
        QVERIFY(parent);
        QCOMPARE(Items(parent), (QStringList{"None", "PCE", "DCE", "VC", "Ethene"}));
        QCOMPARE(parent->currentIndex(), 0);
        auto* yield = Find<varnex::ui::DistributionEdit>(form.get(), "yield");
        QVERIFY(yield);
        QVERIFY(!yield->isEnabled());
        Choose(parent, 1);
        QVERIFY(yield->isEnabled());
        yield->setText(QStringLiteral("SINGLE(0.7923)"));
        QStringList errors;
        QVERIFY(form->Validate(errors));
        form->Apply(project);
        QCOMPARE(project.contaminants[1].parentIdentifier, project.contaminants[0].identifier);
        QCOMPARE(project.contaminants[1].yield.Format(), std::string("SINGLE(0.7923)"));
        QVERIFY(prompts_.errors.isEmpty());

        // Shown again as chosen; "None" takes the parent away and keeps the
        // yield for later.
        form = Open(project);
        Show(form.get(), 1);
        parent = Find<QComboBox>(form.get(), "parent");
        QCOMPARE(parent->currentText(), QStringLiteral("PCE"));
        QCOMPARE(Find<varnex::ui::DistributionEdit>(form.get(), "yield")->text(),
                 QStringLiteral("SINGLE(0.7923)"));
        Choose(parent, 0);
        QVERIFY(form->Validate(errors));
        form->Apply(project);
        QCOMPARE(project.contaminants[1].parentIdentifier, Contaminant::noParent);
        QCOMPARE(project.contaminants[1].yield.Format(), std::string("SINGLE(0.7923)"));

        // An invalid yield keeps the user on the form.
        form = Open(project);
        Show(form.get(), 1);
        Choose(Find<QComboBox>(form.get(), "parent"), 1);
        Find<varnex::ui::DistributionEdit>(form.get(), "yield")->setText("SINGLE(11)");
        errors.clear();
        QVERIFY(!form->Validate(errors));
        QVERIFY(!errors.isEmpty());
    }

    void aCycleOrAChainTooLongIsRefused() {
        Project project = Ethenes();
        // PCE -> TCE -> DCE -> VC.
        for (int c = 1; c < 4; ++c)
            project.contaminants[c].parentIdentifier = project.contaminants[c - 1].identifier;
        std::unique_ptr<InputForm> form = Open(project);
        Show(form.get(), 0); // PCE
        QComboBox* parent = Find<QComboBox>(form.get(), "parent");
        Choose(parent, 2); // DCE, formed from PCE
        QCOMPARE(prompts_.errors,
                 QStringList{"DCE cannot be the parent of PCE: it is formed from PCE, which "
                             "would make a cycle."});
        QCOMPARE(parent->currentIndex(), 0);
        QVERIFY(!Find<varnex::ui::DistributionEdit>(form.get(), "yield")->isEnabled());

        prompts_.errors.clear();
        Show(form.get(), 4); // Ethene
        parent = Find<QComboBox>(form.get(), "parent");
        Choose(parent, 4); // VC: a fifth member
        QCOMPARE(prompts_.errors,
                 QStringList{"With VC as the parent of Ethene, the decay chain would have 5 "
                             "members; at most 4 are allowed."});
        QCOMPARE(parent->currentIndex(), 0);
        QStringList errors;
        QVERIFY(form->Validate(errors));
        form->Apply(project);
        QCOMPARE(project.contaminants[4].parentIdentifier, Contaminant::noParent);
    }

    void deletingAParentSaysWhichContaminantsLoseIt() {
        Project project = Ethenes();
        project.contaminants[1].parentIdentifier = project.contaminants[0].identifier;
        project.contaminants[2].parentIdentifier = project.contaminants[0].identifier;
        std::unique_ptr<InputForm> form = Open(project);
        Show(form.get(), 0);
        prompts_.yesNoAnswers = {true};
        Find<QPushButton>(form.get(), "deleteContaminant")->click();
        QCOMPARE(prompts_.questions, QStringList{"Are you sure you want to delete PCE?\n"
                                                 "TCE is formed from it and will have no parent.\n"
                                                 "DCE is formed from it and will have no parent."});
        QStringList errors;
        QVERIFY(form->Validate(errors));
        form->Apply(project);
        QCOMPARE(project.contaminants.size(), std::size_t(4));
        QCOMPARE(project.contaminants[0].parentIdentifier, Contaminant::noParent);
        QCOMPARE(project.contaminants[1].parentIdentifier, Contaminant::noParent);
    }

    void theInputsReportShowsParentAndYield() {
        Project project = Ethenes();
        project.contaminants[1].parentIdentifier = project.contaminants[0].identifier;
        QVERIFY(project.contaminants[1].yield.distribution.Parse("SINGLE(0.7923)"));
        const varnex::ui::ReportModel report = varnex::ui::ReportBuilder::ModelReport(project);
        QStringList tce, pce;
        QString heading;
        for (const varnex::ui::ReportBlock& block : report.blocks) {
            if (block.kind == varnex::ui::ReportBlock::Kind::heading) heading = block.text;
            if (block.kind != varnex::ui::ReportBlock::Kind::table) continue;
            for (const QStringList& row : block.rows) {
                if (heading == QStringLiteral("Contaminant: TCE")) tce << row.join(" = ");
                if (heading == QStringLiteral("Contaminant: PCE")) pce << row.join(" = ");
            }
        }
        QVERIFY(tce.contains(QStringLiteral("Parent = PCE")));
        QVERIFY(tce.contains(QStringLiteral("Yield [mg/mg] = SINGLE(0.7923)")));
        // Without a parent, the table as before chains.
        QVERIFY(!pce.isEmpty());
        for (const QString& row : pce) QVERIFY(!row.startsWith(QStringLiteral("Parent")));
        for (const QString& row : pce) QVERIFY(!row.startsWith(QStringLiteral("Yield")));
    }

    void thePropertiesPaneShowsTheParentAndEditsTheYield() {
        Project project = Ethenes();
        project.contaminants[1].parentIdentifier = project.contaminants[0].identifier;
        QVERIFY(project.contaminants[1].yield.distribution.Parse("SINGLE(0.7923)"));
        varnex::ui::PropertyGrid grid;
        varnex::ui::ProjectItem item;
        item.kind = varnex::ui::ProjectItem::Kind::contaminant;
        item.index = 1;
        grid.ShowItem(project, item);
        QCOMPARE(grid.ValueOf(QStringLiteral("Parent")), QStringLiteral("PCE"));
        QCOMPARE(grid.ValueOf(QStringLiteral("Yield [mg/mg]")), QStringLiteral("SINGLE(0.7923)"));
        // The parent is chosen on the form only; the yield is typed here.
        QVERIFY(!grid.EditValue(QStringLiteral("Parent"), QStringLiteral("DCE")));
        QVERIFY(
            grid.EditValue(QStringLiteral("Yield [mg/mg]"), QStringLiteral("UNIFORM(0.7,0.8)")));
        QCOMPARE(project.contaminants[1].yield.Format(), std::string("UNIFORM(0.7,0.8)"));
        QCOMPARE(project.contaminants[1].parentIdentifier, project.contaminants[0].identifier);
        // A contaminant without a parent shows neither row.
        item.index = 0;
        grid.ShowItem(project, item);
        QVERIFY(grid.ValueOf(QStringLiteral("Parent")).isEmpty());
        QVERIFY(grid.ValueOf(QStringLiteral("Yield [mg/mg]")).isEmpty());
    }

private:
    std::unique_ptr<InputForm> Open(const Project& project) {
        std::unique_ptr<InputForm> form(
            varnex::ui::CreateInputForm(FormKind::contaminantInventory, -1));
        form->SetPrompts(&prompts_);
        form->Load(project);
        return form;
    }
    static void Show(InputForm* form, int row) {
        Find<QListWidget>(form, "contaminantList")->setCurrentRow(row);
    }
    // As the user picks an entry: the choice changes, then says so.
    static void Choose(QComboBox* box, int row) {
        box->setCurrentIndex(row);
        emit box->activated(row);
    }

    ScriptedPrompts prompts_;
};

QTEST_MAIN(DecayChainFormTest)
#include "DecayChainFormTest.moc"
