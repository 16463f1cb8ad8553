#pragma once

#include <QTreeWidget>

class TemplateLibrary;

// The tree "模板列表": categories, their listed groups, and the listed sets
// of a group, added when its category is opened. Choosing an item without
// children opens it as a set.
class CTemplateTreeView final : public QTreeWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTemplateTreeView)
public:
    CTemplateTreeView(const TemplateLibrary& library, QWidget* parent = nullptr);

    // Builds the tree afresh from the disk.
    void Rebuild();
    // The folder of an item, without a trailing "/".
    QString FolderOf(const QTreeWidgetItem* item) const;

signals:
    void SetChosen(const QString& folder);

private:
    void OnExpanded(QTreeWidgetItem* item);
    void OnCurrentChanged(QTreeWidgetItem* current);

    const TemplateLibrary& library_;
};
