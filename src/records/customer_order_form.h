#pragma once

#include "common/messages.h"
#include "records/order_lines.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the customer dialog edits, without the window: name, phone and the
// order rows, for a new task or for an existing one.
class CustomerOrderForm {
public:
    // Row columns as the order list shows them.
    enum Column { kProductColumn = 0, kQuantityColumn = 1, kPagesColumn = 2 };

    // An existing task: its phone from the task file, its order lines as
    // rows; name and phone can no longer be changed.
    void OpenExisting(const QString& name, const QString& taskPath);

    bool IsExisting() const { return !taskPath_.isEmpty(); }
    const QString& TaskPath() const { return taskPath_; }

    QString name;
    QString phone;
    QList<OrderLine> rows;

    // Products chosen in the product choice dialog ("name 宽:w 高:h"), put
    // before the rows already there in the order given, each with quantity
    // and page count "1". The same product may be added more than once.
    void AddChosenProducts(const QStringList& productTexts);

    // Deletes the selected row (-1: none) after "确认删除吗?"; with no row
    // selected says "请先选中要删除的产品!".
    bool DeleteRow(int row, IMessages& messages);

    // The text a cell shows: column 0 the product's listed form, 1 the
    // quantity, 2 the page count.
    QString CellText(int row, int column) const;
    // Only quantity and page count can be edited; the text is kept as typed,
    // unless the order file cannot hold it (FitsOrderFile): then the cell
    // keeps its text and false is returned.
    bool SetCellText(int row, int column, const QString& text);

    // The dialog's OK: creates or updates the task with its messages.
    bool Save(IMessages& messages);

private:
    QString taskPath_;
};

// The product choice dialog's OK: at least one product must be chosen, else
// "没有选中产品！".
bool AcceptProductChoice(const QStringList& chosenTexts, IMessages& messages);
