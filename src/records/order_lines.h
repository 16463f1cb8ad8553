#pragma once

#include <QList>
#include <QString>

// One product of a customer's order, as the customer's "产品.ini" keeps it:
// name and size in centimetres as in the catalogue, the quantity ("数量") and
// the album page count ("相册P数") as typed.
struct OrderLine {
    QString name;
    QString width;
    QString height;
    QString quantity;
    QString pages;

    bool operator==(const OrderLine& other) const {
        return name == other.name && width == other.width && height == other.height &&
               quantity == other.quantity && pages == other.pages;
    }
};

// Whether a finished page belongs to a product: the pages of product P are
// named "P", "P-2", "P-3", ...
bool PageOfProduct(const QString& page, const QString& product);

// Reads every order line of a customer's "产品.ini"; a missing file is an
// order without products. A damaged line gives a garbled entry or ends the
// reading, never an error.
QList<OrderLine> ReadOrderLines(const QString& path);

// Whether a quantity or page count can stand in the tagged order file: a
// "<" or ">" would be read as a tag ("</n>" ends the line early, "</c>"
// takes the product name apart), a control character breaks the line.
bool FitsOrderFile(const QString& text);

// Writes the order lines, replacing the file atomically:
// "<n>name<w>w</w><h>h</h><c>quantity</c><p>pages</p></n>" per line.
bool WriteOrderLines(const QString& path, const QList<OrderLine>& lines);

// The order row of a listed product ("name 宽:w 高:h") with its quantity and
// page count.
OrderLine OrderLineFromRow(const QString& productText, const QString& quantity,
                           const QString& pages);
