#pragma once

#include <QString>
#include <optional>

class QTreeWidget;
class QWidget;

// The read-only table the order check and the lab preflight show their
// findings in: page, slot (from 1), effective resolution, what is wrong.
QTreeWidget* NewFindingsTable(QWidget* parent);
void AddFindingRow(QTreeWidget* table, const QString& page, int slot, std::optional<double> ppi,
                   const QString& message);
// Fits the first columns to their text once the rows are in.
void FitFindingsTable(QTreeWidget* table);
