#include "records/customer_order_form.h"

#include "records/customer_details.h"
#include "records/product_catalogue.h"
#include "records/workspace_paths.h"

void CustomerOrderForm::OpenExisting(const QString& customer, const QString& taskPath) {
    name = customer;
    taskPath_ = taskPath;
    phone = ReadTaskPhone(taskPath);
    rows = ReadOrderLines(OrderLinesPathForTask(taskPath));
}

void CustomerOrderForm::AddChosenProducts(const QStringList& productTexts) {
    for (int i = 0; i < productTexts.size(); ++i)
        rows.insert(i, OrderLineFromRow(productTexts[i], QStringLiteral("1"), QStringLiteral("1")));
}

bool CustomerOrderForm::DeleteRow(int row, IMessages& messages) {
    if (row < 0 || row >= rows.size()) {
        messages.Inform(QStringLiteral("请先选中要删除的产品!"));
        return false;
    }
    if (!messages.AskYesNo(QStringLiteral("确认删除吗?")))
        return false;
    rows.removeAt(row);
    return true;
}

QString CustomerOrderForm::CellText(int row, int column) const {
    if (row < 0 || row >= rows.size())
        return {};
    const OrderLine& line = rows[row];
    switch (column) {
    case kProductColumn:
        return ProductDisplayText({line.name, line.width, line.height});
    case kQuantityColumn:
        return line.quantity;
    case kPagesColumn:
        return line.pages;
    default:
        return {};
    }
}

bool CustomerOrderForm::SetCellText(int row, int column, const QString& text) {
    if (row < 0 || row >= rows.size() || !FitsOrderFile(text))
        return false;
    if (column == kQuantityColumn)
        rows[row].quantity = text;
    else if (column == kPagesColumn)
        rows[row].pages = text;
    else
        return false;
    return true;
}

bool CustomerOrderForm::Save(IMessages& messages) {
    QString savedPath;
    if (!SaveCustomerDetails({name, phone, rows, taskPath_}, messages, &savedPath))
        return false;
    taskPath_ = savedPath;
    return true;
}

bool AcceptProductChoice(const QStringList& chosenTexts, IMessages& messages) {
    if (chosenTexts.isEmpty()) {
        messages.Inform(QStringLiteral("没有选中产品！"));
        return false;
    }
    return true;
}
