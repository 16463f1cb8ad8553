#include "app/templates/template_tree_view.h"

#include "templates/template_library.h"
#include "templates/template_tree.h"

CTemplateTreeView::CTemplateTreeView(const TemplateLibrary& library, QWidget* parent)
    : QTreeWidget(parent), library_(library) {
    setHeaderHidden(true);
    connect(this, &QTreeWidget::itemExpanded, this, &CTemplateTreeView::OnExpanded);
    connect(this, &QTreeWidget::currentItemChanged, this, &CTemplateTreeView::OnCurrentChanged);
}

void CTemplateTreeView::Rebuild() {
    const QSignalBlocker block(this);
    clear();
    auto* root = new QTreeWidgetItem(this, {QStringLiteral("模板列表")});
    for (const QString& category : TreeCategories(library_)) {
        auto* categoryItem = new QTreeWidgetItem(root, {category});
        for (const QString& group : TreeGroups(library_, FolderOf(categoryItem)))
            new QTreeWidgetItem(categoryItem, {group});
    }
    root->setExpanded(true);
}

QString CTemplateTreeView::FolderOf(const QTreeWidgetItem* item) const {
    QStringList names;
    for (; item && item->parent(); item = item->parent())
        names.prepend(item->text(0));
    return TreeItemFolder(library_, names);
}

void CTemplateTreeView::OnExpanded(QTreeWidgetItem* item) {
    if (!item->parent())
        return;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* group = item->child(i);
        // Opening a category again must not list its sets twice.
        if (group->childCount() > 0)
            continue;
        for (const QString& set : TreeSets(library_, FolderOf(group)))
            new QTreeWidgetItem(group, {set});
    }
}

void CTemplateTreeView::OnCurrentChanged(QTreeWidgetItem* current) {
    if (!current || !current->parent() || current->childCount() > 0)
        return;
    emit SetChosen(FolderOf(current));
}
