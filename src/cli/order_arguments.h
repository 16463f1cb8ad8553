#pragma once

#include "common/messages.h"
#include "records/customer_details.h"
#include "records/order_lines.h"

#include <QList>
#include <QString>
#include <QStringList>

// The options shared by the commands that record a customer order.
struct OrderArguments {
    QString name;
    QString phone;
    bool phoneGiven = false;
    QStringList productSpecs; // "NAME[:QTY[:PAGES]]" as given
};

// Takes apart "NAME [--phone P] [--product SPEC]..."; an empty result with
// error set on a malformed command line.
bool ParseOrderArguments(const QStringList& args, OrderArguments& parsed, QString& error);

enum class OrderLinesResult { Ok, BadSpec, UnknownProduct };

// Turns the product specs into order lines with sizes from the studio's
// catalogue; quantity and page count default to "1". An unknown product is
// told through messages; a malformed spec sets error.
OrderLinesResult OrderLinesFromCatalogue(const QStringList& specs, IMessages& messages,
                                         QList<OrderLine>& lines, QString& error);

// Builds the order lines from the specs and runs the customer save sequence
// with them: the exit status of new-customer and edit-customer.
int SaveOrderFromCatalogue(const QString& command, const QStringList& specs,
                           CustomerDetails details);
