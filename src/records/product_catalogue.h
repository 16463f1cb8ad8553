#pragma once

#include "common/messages.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// One product the studio sells: name and print size in centimetres, the sizes
// kept as the text typed (e.g. "20" or "25.4").
struct ProductEntry {
    QString name;
    QString width;
    QString height;

    bool operator==(const ProductEntry& other) const {
        return name == other.name && width == other.width && height == other.height;
    }
};

// How a product is listed everywhere: "<name> 宽:<width> 高:<height>".
QString ProductDisplayText(const ProductEntry& entry);
// The fields back from a listed text: the name up to the first blank, the
// width up to the next blank without "宽:", the rest without "高:".
ProductEntry SplitProductDisplayText(const QString& text);

// The studio's product catalogue, <base>/设置/产品.ini: one line
// "<n>name<w>width</w><h>height</h></n>" per product, in the order added.
class ProductCatalogue {
public:
    // Reads the file; a missing or unreadable file is an empty catalogue.
    // Nothing is checked: a damaged line gives a garbled entry, as it stands.
    void Load(const QString& path);
    void Load(); // the studio's catalogue

    // Adds a product after trimming the three texts. Refuses, with the
    // message shown through messages: a size below 0.01 or one holding blanks
    // or tag brackets ("尺寸错误"), a name already present ("此产品已存在!"),
    // a name with blanks inside ("产品名称不能包含空格!") or with tag
    // brackets, control characters, characters GBK lacks, "/" or "\", or
    // too long for its pages' names to fit a page record
    // ("产品名称有非法字符!"). An empty name is ignored without a message.
    bool Add(const QString& name, const QString& width, const QString& height, IMessages& messages);

    // Deletes the first product named like the listed row (its text up to the
    // first blank) once the operator confirms "确认删除吗？". An empty row
    // text, or one naming no product, is "请先选中您要删除的产品!".
    bool Delete(const QString& rowText, IMessages& messages);

    // Reads the catalogue file afresh under its lock, applies change to it
    // and writes it; this catalogue then holds what was written. False, with
    // the file as it was, when the lock could not be had, change refused or
    // the write failed. Another station's products added meanwhile stay.
    bool Update(const QString& path, const std::function<bool(ProductCatalogue&)>& change);

    // Writes the whole catalogue atomically, creating its folder first.
    bool Save(const QString& path) const;
    bool Save() const; // the studio's catalogue

    const QList<ProductEntry>& Entries() const { return entries_; }
    // The first product with exactly this name, or nullptr.
    const ProductEntry* Find(const QString& name) const;
    QStringList DisplayTexts() const;

private:
    QList<ProductEntry> entries_;
    // Text of the file that forms no product (a damaged line): written back
    // as it was, so that a save never drops what the reader could not use.
    QString unread_;
};
