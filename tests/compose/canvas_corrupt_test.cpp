// Damaged template bodies: cut anywhere, lengths and counts changed. None
// may crash the canvas or leave it inconsistent.

#include "canvas_fixtures.h"

#include "common/byte_io.h"

#include <QDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

int Diagonal(int x, int y) {
    return (x + y) % 256;
}

// A body with every part present: preview, overlay, background, two masks,
// five rectangles (one empty), rotation, shear and borders.
TemplateBody FullTemplate() {
    TemplateBody t = MakeTemplate({{0, 0, 400, 300},
                                   {0, 0, 0, 0},
                                   {400, 0, 1000, 400},
                                   {100, 400, 500, 750},
                                   {600, 450, 950, 700}},
                                  QColor(90, 90, 90), QColor(200, 0, 200),
                                  BandOverlayPng(80, 60, 10, 20, Qt::yellow));
    t.masks = {GreyMaskBmp(40, 30, Diagonal), QByteArray(), GreyMaskBmp(7, 5, Diagonal)};
    for (int i = 0; i < kSlotCount; ++i) {
        t.angle[i] = i * 7;
        t.shear[i] = i % 2 ? 1010 : 25;
        t.front[i] = i % 2;
        t.borderColor[i] = 0x0000FF;
    }
    return t;
}

// Offsets of the length fields of a serialised body, and of the two list
// counts inside them.
struct LengthFields {
    QList<int> at;
    QList<int> counts; // the two list counts (u16, or 0xFFFF and a u32)
};

LengthFields FindLengthFields(const QByteArray& body) {
    LengthFields f;
    ByteReader r(body);
    r.u8();
    auto length = [&] {
        f.at.append(static_cast<int>(r.pos()));
        const uint32_t n = r.u32();
        r.skip(n);
        return n;
    };
    length(); // preview
    f.at.append(static_cast<int>(r.pos()));
    r.u32();  // reserved
    length(); // page-size block
    length(); // overlay
    length(); // background
    const int maskList = static_cast<int>(r.pos());
    f.at.append(maskList);
    const uint32_t e = r.u32();
    ByteReader sizes(body.constData() + r.pos(), e);
    f.at.append(maskList + 4); // mask count (u16)
    f.counts.append(maskList + 4);
    const uint32_t count = ReadArchiveCount(sizes);
    uint64_t total = 0;
    for (uint32_t i = 0; i < count; ++i) {
        f.at.append(maskList + 4 + 2 + 4 * static_cast<int>(i));
        total += sizes.u32();
    }
    r.skip(e);
    r.skip(static_cast<qint64>(total));
    f.at.append(static_cast<int>(r.pos()));     // rectangle list length
    f.at.append(static_cast<int>(r.pos()) + 4); // rectangle count (u16)
    f.counts.append(static_cast<int>(r.pos()) + 4);
    return f;
}

void PutU32(QByteArray& b, int at, uint32_t v) {
    if (at + 4 <= b.size())
        qToLittleEndian(v, b.data() + at);
}

// What every canvas must hold, whatever it was given.
void ExpectConsistent(CComposeCanvas& c, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    ASSERT_LE(c.slotCount(), 20);
    ASSERT_GE(c.currentSlot(), -1);
    ASSERT_LT(c.currentSlot(), 20);
    ASSERT_TRUE(c.HasTemplate());
    ASSERT_EQ(c.backBuffer().size(), c.displaySize());
    ASSERT_EQ(c.displayArea().right - c.displayArea().left, c.displaySize().width());
    ASSERT_GE(c.displaySize().width(), 1);
    ASSERT_GE(c.displaySize().height(), 1);
    TemplateBody parsed;
    ASSERT_EQ(ParseTemplateBody(c.body(), parsed), BodyStatus::Ok);
    ASSERT_EQ(parsed.SlotRects().size(), c.slotCount());
    // Drawing and saving still work.
    c.RenderComposite();
    c.SetCurrentSlot(c.slotCount() > 0 ? c.slotCount() - 1 : 0);
    c.RemovePhoto();
    c.ResetSlot();
}

struct CorruptCase {
    QString name;
    QByteArray bytes;
};

QList<CorruptCase> CorruptCases(const QByteArray& good) {
    QList<CorruptCase> cases;
    // Every length from empty to whole, with every byte near the ends.
    const int step = qMax(1, static_cast<int>(good.size() / 150));
    for (int n = 0; n < good.size(); n += (n < 40 || n > good.size() - 300) ? 1 : step)
        cases.append({QString("cut at %1").arg(n), good.left(n)});
    // Every length field and list count set to values that run short, past
    // the end, or far beyond any memory.
    const LengthFields fields = FindLengthFields(good);
    for (int at : fields.at) {
        uint32_t old = qFromLittleEndian<uint32_t>(good.constData() + at);
        for (uint32_t v : {0u, 1u, 2u, 0xFFFFu, 0x10000u, 0x7FFFFFFFu, 0xFFFFFFFFu, old + 1,
                           old - 1, old + 16, old - 16, old * 2, old / 2}) {
            QByteArray b = good;
            PutU32(b, at, v);
            cases.append({QString("field at %1 = %2").arg(at).arg(v), b});
        }
    }
    // A count's escape 0xFFFF, then a 32-bit count of any size.
    for (int at : fields.counts)
        for (uint32_t v : {0x10000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
            QByteArray b = good;
            PutU32(b, at, 0xFFFFu);
            PutU32(b, at + 2, v);
            cases.append({QString("count at %1 = 0xFFFF, %2").arg(at).arg(v), b});
        }
    return cases;
}

} // namespace

TEST(CanvasCorruptBodies, NothingCrashesAndTheCanvasStaysConsistent) {
    TestFolder folder;
    const QByteArray good = SerializeTemplateBody(FullTemplate());
    const QString photo = WriteFile(folder, "p.jpg", EncodeImage(QuadrantImage(500, 300), "JPEG"));

    // A small window keeps the many recompositions quick.
    CComposeCanvas prepared;
    prepared.SetClientSize({200, 150});
    ASSERT_TRUE(prepared.ApplyTemplateBody(good, true, true));
    ASSERT_EQ(prepared.slotCount(), 4);
    for (int s = 0; s < 4; ++s) {
        prepared.SetCurrentSlot(s);
        ASSERT_TRUE(prepared.PutPhoto(photo, true));
    }
    int accepted = 0, refused = 0;
    for (const CorruptCase& k : CorruptCases(good)) {
        // Each case starts from the good template with photos in its slots.
        CComposeCanvas c = prepared;
        const bool applied = c.ApplyTemplateBody(k.bytes, true, true);
        TemplateBody parsed;
        ASSERT_EQ(applied, ParseTemplateBody(k.bytes, parsed) == BodyStatus::Ok)
            << k.name.toStdString();
        if (applied) {
            ++accepted;
            EXPECT_EQ(c.body(), k.bytes);
        } else {
            ++refused;
            // Refused whole: the good template stays with its photos.
            EXPECT_EQ(c.body(), good) << k.name.toStdString();
            EXPECT_EQ(c.slotCount(), 4) << k.name.toStdString();
            EXPECT_TRUE(c.HasSlotImage(3)) << k.name.toStdString();
        }
        ExpectConsistent(c, k.name);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(refused, 200);
    EXPECT_GT(accepted, 0) << "some changed lengths still make a body";
}

TEST(CanvasCorruptBodies, GarbageRectanglesAndMasksAreDrawnSafely) {
    TestFolder folder;
    const QString photo = WriteFile(folder, "p.jpg", EncodeImage(QuadrantImage(500, 300), "JPEG"));
    TemplateBody t = FullTemplate();
    t.rects = {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
               {INT32_MAX, 0, INT32_MIN, 10},
               {5, 5, 6, 6},
               {-2000000000, 100, -1999999000, 300}};
    // A mask whose header claims a huge picture, one that is only a header,
    // and one of bytes that are no BMP at all.
    QByteArray huge = GreyMaskBmp(4, 4, Diagonal);
    qToLittleEndian<int32_t>(0x7FFFFFFF, huge.data() + 18);
    qToLittleEndian<int32_t>(-0x7FFFFFFF, huge.data() + 22);
    t.masks = {huge, GreyMaskBmp(4, 4, Diagonal).left(1078), QByteArray(300, 'z'),
               QByteArray(10, 'q')};
    for (int i = 0; i < 4; ++i) {
        t.angle[i] = i == 3 ? 0 : 45;
        t.shear[i] = i == 1 ? -1000 : 999;
    }
    for (QSize client : {QSize(1000, 750), QSize(2000, 1500), QSize(1, 1)}) {
        CComposeCanvas c;
        c.SetClientSize(client);
        ASSERT_TRUE(c.ApplyTemplateBody(SerializeTemplateBody(t), true, true));
        ASSERT_EQ(c.slotCount(), 4);
        for (int s = 0; s < 4; ++s) {
            c.SetCurrentSlot(s);
            ASSERT_TRUE(c.PutPhoto(photo, true));
            const SlotPlacement& p = c.placement(s);
            for (int v : {p.left, p.top, p.right, p.bottom}) {
                EXPECT_LE(v, 1000000);
                EXPECT_GE(v, -1000000);
            }
        }
        EXPECT_TRUE(c.SaveComposite(folder.file("garbage.jpg")));
        ExpectConsistent(c, QString("client %1x%2").arg(client.width()).arg(client.height()));
    }
}

TEST(CanvasCorruptBodies, DamagedSlotRecordsOfASavedPageAreDrawnSafely) {
    // The slot records come from the task file; a damaged one can hold any
    // value in any field.
    TestFolder folder;
    QDir(folder.path()).mkpath("dataP");
    const QByteArray body = SerializeTemplateBody(FullTemplate());
    LayoutRecord record{body, {}};
    for (uint32_t s = 0; s < 4; ++s)
        record.photos.append({s, EncodeImage(QuadrantImage(300, 200), "JPEG")});
    ASSERT_TRUE(WriteBytes(folder.file("dataP/dat"), SerializeLayoutRecord(record)));

    const int32_t extremes[] = {INT32_MIN, INT32_MAX, -1, 1000, -1000, 999999};
    for (int32_t v : extremes) {
        std::array<SlotPlacement, kSlotCount> damaged;
        for (SlotPlacement& p : damaged) {
            QByteArray raw(SlotPlacement::kSize, '\0');
            for (int at = 0; at < 76; at += 4)
                qToLittleEndian(v, raw.data() + at);
            p = SlotPlacement::FromBytes(raw.constData());
        }
        damaged[1].left = 10; // one slot with a sane corner and a wild far one
        damaged[1].top = 10;
        CComposeCanvas c;
        c.SetPlacements(damaged);
        ASSERT_TRUE(c.LoadLayoutRecord(folder.file("1.tx"), "P", v, v));
        EXPECT_TRUE(c.SaveComposite(folder.file("damaged.jpg")));
        ExpectConsistent(c, QString("every field %1").arg(v));
    }
}
