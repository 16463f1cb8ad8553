// ExtractTag, which every tagged record reader takes apart with. Input:
// text, opening tag, as parts (UTF-8).

#include "fuzz_support.h"

#include "common/extract_tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = SplitInput(InputBytes(data, size), 2);
    QString text = QString::fromUtf8(parts[0]);
    const QString tag = QString::fromUtf8(parts[1]);
    const QString before = text;
    const QString value = ExtractTag(text, tag);
    if (text == before) {
        FuzzExpect(value.isEmpty(), "no value where nothing was taken out");
        return 0;
    }
    // What went out is the element: the opening tag, the value, the
    // closing tag, taken from where the opening tag was found.
    const qsizetype at = before.indexOf(tag);
    QString closeTag = tag;
    closeTag.insert(1, QLatin1Char('/'));
    FuzzExpect(at >= 0 && before.mid(at + tag.size(), value.size()) == value,
               "the value to follow the opening tag");
    FuzzExpect(text.size() == before.size() - tag.size() - value.size() - closeTag.size(),
               "exactly the element to be taken out");
    FuzzExpect(text ==
                   before.left(at) + before.mid(at + tag.size() + value.size() + closeTag.size()),
               "the text around the element to stay");
    return 0;
}
