#include "ui/shell/ProjectExplorer.h"

#include <QHeaderView>
#include <QStyle>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/ToolIcons.h"

namespace varnex::ui {

namespace {

constexpr int itemRole = Qt::UserRole + 1;

bool SameEntity(const ProjectItem& a, const ProjectItem& b) {
    return a.kind == b.kind && a.index == b.index && a.pathwayIndex == b.pathwayIndex;
}

} // namespace

ProjectExplorer::ProjectExplorer(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                emit SelectionChanged(ItemOf(current));
            });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { emit ItemActivated(ItemOf(item)); });
}

ProjectItem ProjectExplorer::ItemOf(const QTreeWidgetItem* item) {
    if (!item) return ProjectItem();
    return item->data(0, itemRole).value<ProjectItem>();
}

ProjectItem ProjectExplorer::CurrentItem() const { return ItemOf(currentItem()); }

QTreeWidgetItem* ProjectExplorer::AddItem(QTreeWidgetItem* parent, const QString& text,
                                          const ProjectItem& item, const QIcon& icon) {
    auto* treeItem = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    treeItem->setText(0, text);
    treeItem->setIcon(0, icon);
    treeItem->setData(0, itemRole, QVariant::fromValue(item));
    return treeItem;
}

QTreeWidgetItem* ProjectExplorer::Find(const ProjectItem& wanted) const {
    for (QTreeWidgetItemIterator it(const_cast<ProjectExplorer*>(this)); *it; ++it)
        if (SameEntity(ItemOf(*it), wanted)) return *it;
    return nullptr;
}

void ProjectExplorer::ShowProject(const Project& project) {
    const ProjectItem selected = CurrentItem();
    QSignalBlocker blocker(this);
    clear();
    using Kind = ProjectItem::Kind;
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);

    QTreeWidgetItem* sources =
        AddItem(nullptr, ToQString(Translate("Sources")), {Kind::sourceGroup}, folder);
    const std::string pathwayFormat = TranslateFormat("Unsaturated Pathway %d");
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        const Source& source = project.sources[s];
        QTreeWidgetItem* sourceItem =
            AddItem(sources, ToQString(source.name), {Kind::source, static_cast<int>(s)},
                    ToolIcons::Source());
        for (std::size_t p = 0; p < source.pathways.size(); ++p)
            AddItem(sourceItem,
                    ToQString(FormatText(pathwayFormat, {static_cast<long long>(p + 1)})),
                    {Kind::pathway, static_cast<int>(s), static_cast<int>(p)}, ToolIcons::Layer());
    }
    QTreeWidgetItem* receptors =
        AddItem(nullptr, ToQString(Translate("Receptors")), {Kind::receptorGroup}, folder);
    for (std::size_t r = 0; r < project.receptors.size(); ++r)
        AddItem(receptors, ToQString(project.receptors[r].name),
                {Kind::receptor, static_cast<int>(r)}, ToolIcons::Receptor());
    QTreeWidgetItem* contaminants =
        AddItem(nullptr, ToQString(Translate("Contaminants")), {Kind::contaminantGroup}, folder);
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        AddItem(contaminants, ToQString(project.contaminants[c].name),
                {Kind::contaminant, static_cast<int>(c)}, ToolIcons::Contaminant());
    AddItem(nullptr, ToQString(Translate("Aquifer")), {Kind::aquifer}, ToolIcons::Aquifer());

    sources->setExpanded(true);
    for (int i = 0; i < sources->childCount(); ++i) sources->child(i)->setExpanded(true);
    receptors->setExpanded(true);

    QTreeWidgetItem* reselect = Find(selected);
    setCurrentItem(reselect ? reselect : sources);
    blocker.unblock();
    emit SelectionChanged(CurrentItem());
}

} // namespace varnex::ui
