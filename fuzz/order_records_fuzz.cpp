// A customer's order "产品.ini" and the product catalogue "设置/产品.ini".
// Input: order file, catalogue file, as parts. Bytes that are not GBK must
// survive a read and a write, and a saved catalogue must read back with
// every product it had, field by field the same bytes (a lone GBK lead byte
// can join the character after it once a damaged line's name is put back
// together: the bytes stay, the text they read as changes). (What follows an empty element is kept
// as text and read as products after the save; a damaged line can leave tag brackets inside a
// field, which a later read takes apart another way, as the file stands. The program never stores
// either itself.)

#include "fuzz_support.h"

#include "common/messages.h"
#include "records/gbk_text_keeping_bytes.h"
#include "records/order_lines.h"
#include "records/product_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = SplitInput(InputBytes(data, size), 2);
    FuzzExpect(EncodeGbkKeepingBytes(DecodeGbkKeepingBytes(parts[0])) == parts[0],
               "every byte to survive a decode and encode");

    const QString orderPath = WriteScratch(QStringLiteral("order/产品.ini"), parts[0]);
    const QList<OrderLine> lines = ReadOrderLines(orderPath);
    const QString rewritten = ScratchPath(QStringLiteral("order/again.ini"));
    FuzzExpect(WriteOrderLines(rewritten, lines), "order lines to be written");
    ReadOrderLines(rewritten);
    for (const OrderLine& line : lines)
        OrderLineFromRow(line.name + QLatin1Char(' ') + line.width, line.quantity, line.pages);

    const QString cataloguePath = WriteScratch(QStringLiteral("settings/产品.ini"), parts[1]);
    ProductCatalogue catalogue;
    catalogue.Load(cataloguePath);
    for (const QString& text : catalogue.DisplayTexts())
        SplitProductDisplayText(text);
    RecordingMessages messages;
    // The fields of the file as the texts of a new product, typed in.
    if (!catalogue.Entries().isEmpty()) {
        const ProductEntry& first = catalogue.Entries().first();
        catalogue.Add(first.width, first.height, first.name, messages);
    }
    const QString once = ScratchPath(QStringLiteral("settings/once.ini"));
    FuzzExpect(catalogue.Save(once), "the catalogue to be saved");
    for (const ProductEntry& e : catalogue.Entries())
        for (const QString* field : {&e.name, &e.width, &e.height})
            if (field->contains(QLatin1Char('<')) || field->contains(QLatin1Char('>')))
                return 0;
    ProductCatalogue reloaded;
    reloaded.Load(once);
    const auto bytesOf = [](const QList<ProductEntry>& entries) {
        QList<QByteArray> fields;
        for (const ProductEntry& e : entries)
            for (const QString* field : {&e.name, &e.width, &e.height})
                fields.append(EncodeGbkKeepingBytes(*field));
        return fields;
    };
    FuzzExpect(bytesOf(reloaded.Entries().mid(0, catalogue.Entries().size())) ==
                   bytesOf(catalogue.Entries()),
               "a saved catalogue to keep its products");
    return 0;
}
