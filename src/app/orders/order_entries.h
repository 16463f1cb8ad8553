#pragma once

#include "records/order_lines.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <optional>

// The texts and colours of the order list and the size label above the
// canvas.

// Entry 0: the customer and the phone.
QString OrderHeaderEntry(const QString& displayName, const QString& phone);
// One entry per ordered product.
QString OrderProductEntry(const OrderLine& line);
// Entries at even positions are lighter than those at odd positions.
QColor OrderEntryColour(int position);

// The customer as shown: the folder name with ",," read as "," and no
// commas at either end.
QString CustomerDisplayName(const QString& customerFolderName);

// "模板 20,25cm" from a template size in 0.01 cm.
QString TemplateSizePart(QSize hundredthsOfCm);
// "   输出 20,30cm" from the product's centimetre texts as stored.
QString OutputSizePart(const QString& width, const QString& height);

// The page size in pixels a chosen product gives at dpi: whole centimetres
// only. None when the product's width is not a positive size (below 0.01).
std::optional<QSize> ProductPageSize(const OrderLine& line, int dpi);
