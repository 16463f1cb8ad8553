// Layout records read with their photos copied out or left in place.

#include "compose/template_body.h"

#include <gtest/gtest.h>

TEST(LayoutRecord, ReadInPlaceGivesTheSameRecordWholeOrCutShort) {
    LayoutRecord written;
    written.body = QByteArray("\xC8 body bytes", 12);
    written.photos = {LayoutPhoto{3, QByteArray(5000, 'a')}, LayoutPhoto{7, QByteArray(300, 'b')}};
    const QByteArray whole = SerializeLayoutRecord(written);
    // Whole; inside the second photo; inside the first entry's header.
    for (const qsizetype size : {whole.size(), whole.size() - 100, qsizetype(4 + 12 + 4 + 6)}) {
        const QByteArray bytes = whole.left(size);
        LayoutRecord copied, inPlace;
        const bool copiedWhole = ParseLayoutRecord(bytes, copied);
        EXPECT_EQ(ParseLayoutRecordInPlace(bytes, inPlace), copiedWhole) << size;
        EXPECT_EQ(copiedWhole, size == whole.size());
        EXPECT_EQ(inPlace.body, copied.body);
        ASSERT_EQ(inPlace.photos.size(), copied.photos.size()) << size;
        for (qsizetype i = 0; i < copied.photos.size(); ++i) {
            EXPECT_EQ(inPlace.photos[i].slot, copied.photos[i].slot);
            EXPECT_EQ(inPlace.photos[i].bytes, copied.photos[i].bytes);
            // In place: the photo is the record's own bytes.
            EXPECT_GE(inPlace.photos[i].bytes.constData(), bytes.constData());
            EXPECT_LT(inPlace.photos[i].bytes.constData(), bytes.constData() + bytes.size());
        }
    }
}
