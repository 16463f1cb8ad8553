#include "app/production/findings_table.h"

#include <QHeaderView>
#include <QTreeWidget>

QTreeWidget* NewFindingsTable(QWidget* parent) {
    auto* table = new QTreeWidget(parent);
    table->setRootIsDecorated(false);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHeaderLabels({QStringLiteral("页"), QStringLiteral("位"), QStringLiteral("ppi"),
                            QStringLiteral("问题")});
    table->header()->setStretchLastSection(true);
    return table;
}

void AddFindingRow(QTreeWidget* table, const QString& page, int slot, std::optional<double> ppi,
                   const QString& message) {
    auto* item = new QTreeWidgetItem(table);
    item->setText(0, page);
    item->setText(1, slot >= 0 ? QString::number(slot + 1) : QString());
    item->setText(2, ppi ? QString::number(*ppi, 'f', 0) : QString());
    item->setText(3, message);
}

void FitFindingsTable(QTreeWidget* table) {
    for (int column = 0; column < 3; ++column)
        table->resizeColumnToContents(column);
}
