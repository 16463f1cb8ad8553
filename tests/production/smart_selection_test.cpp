// Smart selection on small real libraries: which template page and which
// photos land in the canvas, and which messages appear when.

#include "common/messages.h"
#include "common/text_file.h"
#include "compose/compose_canvas.h"
#include "production/smart_selection.h"
#include "production_fixture.h"
#include "templates/template_library.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <deque>
#include <gtest/gtest.h>

namespace {

using namespace SmartSelectionText;

// Hands out fixed draws; the last one repeats once the script is used up.
class ScriptedRandom final : public IRandomSource {
public:
    explicit ScriptedRandom(std::deque<int> draws) : draws_(std::move(draws)) {}
    void SeedWithTime() override { ++seeds; }
    int Next() override {
        ++drawn;
        if (draws_.size() > 1) {
            const int next = draws_.front();
            draws_.pop_front();
            return next;
        }
        return draws_.empty() ? 0 : draws_.front();
    }
    int seeds = 0;
    int drawn = 0;

private:
    std::deque<int> draws_;
};

// Records each message with whether the canvas held a template by then.
class OrderedMessages final : public IMessages {
public:
    explicit OrderedMessages(const CComposeCanvas& canvas) : canvas_(canvas) {}
    void Inform(const QString& text) override {
        informed.append(text);
        loadedFirst.append(canvas_.HasTemplate());
    }
    bool AskYesNo(const QString&) override { return false; }
    QStringList informed;
    QList<bool> loadedFirst;

private:
    const CComposeCanvas& canvas_;
};

struct IndexEntry {
    QString path; // relative, backslashes
    QString n, w, h, f;
};

class SmartSelectionTest : public ::testing::Test {
protected:
    QString Root() const { return folder.file("模板"); }

    // A template page with slotCount slot rectangles at relative (with "/").
    QString AddPage(const QString& relative, int slotCount) {
        TemplateBody body = MakeBody(QSize(40, 30), Qt::white, 0);
        for (int i = 0; i < slotCount; ++i)
            body.rects.append(TemplateRect{20 + 100 * i, 20, 100 + 100 * i, 200});
        const QString path = Root() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(WriteBytes(path, SerializeTemplateBody(body)));
        return path;
    }
    // list2.txt with the entries, padded with entries of sets that are not
    // on disk up to count.
    void WriteIndex(QList<IndexEntry> entries, int count) {
        for (int i = entries.size(); i < count; ++i)
            entries.append({QStringLiteral("别处\\组\\套%1\\1.temp").arg(i), "2", "30", "30", "1"});
        QStringList lines;
        for (const IndexEntry& e : entries)
            lines.append(QStringLiteral("<i><p>%1</p><n>%2</n><w>%3</w><h>%4</h><f>%5</f></i>")
                             .arg(e.path, e.n, e.w, e.h, e.f));
        QDir().mkpath(Root());
        ASSERT_TRUE(WriteGbkLines(Root() + "/list2.txt", lines));
    }
    void LoadLibrary() {
        library.ReadSetIndex();
        library.SearchTemplates();
    }
    QString Photo(const QString& name) {
        const QString path = folder.file(name);
        WriteBytes(path, EncodeImage(QuadrantImage(60, 40), "JPEG"));
        return path;
    }
    SmartSelectionContext Context(IRandomSource& random, const QString& label = {}) {
        return SmartSelectionContext{
            library, canvas,   photos, used,
            label,   messages, random, [this](const QString& f) { opened << f; }};
    }
    int SetIndexOf(const QString& page) const { return library.sets().indexOf(page); }

    TestFolder folder;
    TemplateLibrary library{folder.file("模板")};
    CComposeCanvas canvas;
    OrderedMessages messages{canvas};
    QStringList photos, used, opened;
};

TEST_F(SmartSelectionTest, OneSetWithFiltersOffIsLoadedBeforeTheNotice) {
    const QString page = AddPage("婚纱/组/套/1.temp", 2);
    LoadLibrary();
    ScriptedRandom random({5});
    SmartSelection selection;
    EXPECT_EQ(selection.RandomTemplateBySet(Context(random)), page);
    EXPECT_EQ(canvas.bodyPath(), page);
    EXPECT_EQ(random.seeds, 1);
    EXPECT_EQ(selection.lastDrawnSet(), 0);
    EXPECT_EQ(messages.informed, QStringList{kTooFewSets});
    EXPECT_EQ(messages.loadedFirst, QList<bool>{true});
}

TEST_F(SmartSelectionTest, FilteredDrawsNeedAHundredIndexEntries) {
    AddPage("婚纱/组/甲/1.temp", 2);
    AddPage("婚纱/组/乙/1.temp", 2);
    WriteIndex({}, 99);
    LoadLibrary();
    struct Case {
        const char* name;
        ShapeFilter shape;
        bool fromAll;
    } cases[] = {{"ratio, by set", {true, false}, false},
                 {"size, by set", {false, true}, false},
                 {"all pages, no filter", {}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.informed.clear();
        ScriptedRandom random({0});
        SmartSelection selection;
        const SmartSelectionContext context = Context(random, "   输出 30,30cm");
        const QString loaded = c.fromAll ? selection.RandomTemplateFromAll(context, c.shape, {})
                                         : selection.RandomTemplateBySet(context, c.shape);
        EXPECT_TRUE(loaded.isEmpty());
        EXPECT_FALSE(canvas.HasTemplate());
        EXPECT_EQ(random.drawn, 0);
        EXPECT_EQ(selection.lastDrawnSet(), -1);
        EXPECT_EQ(messages.informed, QStringList{kTooFewIndexed});
    }
}

TEST_F(SmartSelectionTest, UnindexedFirstPageIsTakenByTheSetDrawOnly) {
    const QString page = AddPage("写真/组/无索引/1.temp", 1);
    WriteIndex({}, 100);
    LoadLibrary();
    ScriptedRandom bySet({0});
    SmartSelection selection;
    EXPECT_EQ(selection.RandomTemplateBySet(Context(bySet, "   输出 30,40cm"), {true, true}), page);
    EXPECT_EQ(bySet.seeds, 0) << "a filtered draw keeps the generator as it stands";
    EXPECT_TRUE(messages.informed.isEmpty());

    canvas = CComposeCanvas();
    ScriptedRandom fromAll({0});
    EXPECT_TRUE(
        selection.RandomTemplateFromAll(Context(fromAll, "   输出 30,40cm"), {}, {}).isEmpty());
    EXPECT_EQ(fromAll.drawn, 200);
    EXPECT_FALSE(canvas.HasTemplate());
    EXPECT_EQ(messages.informed, QStringList{kNoMatch});
}

TEST_F(SmartSelectionTest, ShapeTestsAsWritten) {
    const OutputSize product{"30", "40"};
    struct Case {
        const char *f, *w, *h;
        ShapeFilter filter;
        bool passes;
    } cases[] = {
        {"1.25", "30", "40", {true, false}, true},  // 0.9375
        {"1.5", "30", "40", {true, false}, false},  // 1.125
        {"1.2", "30", "40", {true, false}, true},   // 0.9
        {"1.47", "30", "40", {true, false}, false}, // 1.1025
        {"1", "28", "37", {false, true}, true},
        {"1", "26.9", "40", {false, true}, false},
        {"1", "30", "35.9", {false, true}, false},
        {"9", "1", "1", {false, false}, true}, // no test asked for
        {"1.25", "28", "37", {true, true}, true},
        {"1.5", "28", "37", {true, true}, false},
        {"1.3333", "x", "40", {true, true}, false}, // unreadable width counts as 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(PassesShapeFilter(c.f, c.w, c.h, product, c.filter), c.passes)
            << c.f << " " << c.w << " x " << c.h;
    // A product of no readable size matches no ratio.
    EXPECT_FALSE(PassesShapeFilter("1", "30", "30", OutputSize{"abc", "0"}, {true, false}));
}

TEST_F(SmartSelectionTest, OutputSizeFromTheLabel) {
    struct Case {
        const char *label, *w, *h;
    } cases[] = {{"模板 20,30cm   输出 30,40cm", "30", "40"},
                 {"   输出 25.5,20cm", "25.5", "20"},
                 {"   输出  30cm", "30", ""},
                 {"模板 20,30cm", "", ""},
                 {"", "", ""}};
    for (const Case& c : cases) {
        const OutputSize size = ReadOutputSize(QString::fromUtf8(c.label));
        EXPECT_EQ(size.width, QString::fromUtf8(c.w)) << c.label;
        EXPECT_EQ(size.height, QString::fromUtf8(c.h)) << c.label;
    }
}

TEST_F(SmartSelectionTest, LookupKeyIsThePathInsideTheLibrary) {
    EXPECT_EQ(TemplateLookupKey("/s/模板", "/s/模板/婚纱/组/套/1.temp"), "婚纱\\组\\套\\1.temp");
    // A folder of the library that is itself named 模板 stays in the key.
    EXPECT_EQ(TemplateLookupKey("/s/模板", "/s/模板/婚纱/模板/套/2.temp"),
              "婚纱\\模板\\套\\2.temp");
}

TEST_F(SmartSelectionTest, FilteredSetDrawSkipsMismatchesAndKeepsTheLastDraw) {
    const QString wide = AddPage("婚纱/组/宽/1.temp", 2);
    const QString fits = AddPage("婚纱/组/合/1.temp", 3);
    WriteIndex({{"婚纱\\组\\宽\\1.temp", "2", "30", "45", "1.5"},
                {"婚纱\\组\\合\\1.temp", "3", "30", "37.5", "1.25"}},
               100);
    LoadLibrary();
    SmartSelection selection;
    ScriptedRandom unused({0});
    EXPECT_FALSE(selection.OpenDrawnSet(Context(unused))) << "nothing drawn yet";
    EXPECT_TRUE(opened.isEmpty());

    ScriptedRandom random({SetIndexOf(wide), SetIndexOf(fits)});
    EXPECT_EQ(selection.RandomTemplateBySet(Context(random, "   输出 30,40cm"), {true, false}),
              fits);
    EXPECT_EQ(selection.lastDrawnSet(), SetIndexOf(fits));

    // 200 draws of the mismatch: nothing loads, and "选中此套" opens it.
    canvas = CComposeCanvas();
    ScriptedRandom only({SetIndexOf(wide)});
    EXPECT_TRUE(
        selection.RandomTemplateBySet(Context(only, "   输出 30,40cm"), {true, true}).isEmpty());
    EXPECT_EQ(only.drawn, 200);
    EXPECT_FALSE(canvas.HasTemplate());
    EXPECT_EQ(messages.informed, QStringList{kNoMatch});
    EXPECT_TRUE(selection.OpenDrawnSet(Context(only)));
    EXPECT_EQ(opened, QStringList{QFileInfo(wide).path()});
}

TEST_F(SmartSelectionTest, FilteredSetDrawWithoutAProductFallsBackToAnySet) {
    const QString page = AddPage("婚纱/组/套/1.temp", 2);
    WriteIndex({}, 100);
    LoadLibrary();
    ScriptedRandom random({0});
    SmartSelection selection;
    EXPECT_EQ(selection.RandomTemplateBySet(Context(random, "模板 30,30cm"), {true, true}), page);
    EXPECT_EQ(random.seeds, 1);
    EXPECT_EQ(messages.informed, QStringList{kTooFewIndexed});
    EXPECT_EQ(messages.loadedFirst, QList<bool>{true});
}

TEST_F(SmartSelectionTest, SlotCountFilter) {
    auto only = [](int position) {
        SlotCountFilter f;
        f.allowed.fill(false);
        if (position >= 0)
            f.allowed[position] = true;
        return f;
    };
    SlotCountFilter upToFour;
    upToFour.maximum = 4;
    struct Case {
        const char* name;
        SlotCountFilter filter;
        int n;
        bool passes;
    } cases[] = {{"7, 多图 on", only(5), 7, true},    {"7, 多图 off", only(0), 7, false},
                 {"6, 多图 on", only(5), 6, true},    {"5, 5图 off", only(5), 5, false},
                 {"3, 3图 on", only(2), 3, true},     {"0, all off", only(-1), 0, true},
                 {"-2, all off", only(-1), -2, true}, {"4, up to 4", upToFour, 4, true},
                 {"5, up to 4", upToFour, 5, false},  {"0, up to 4", upToFour, 0, true}};
    for (const Case& c : cases)
        EXPECT_EQ(c.filter.Passes(c.n), c.passes) << c.name;
}

TEST_F(SmartSelectionTest, DrawFromAllPagesAppliesTheSlotCount) {
    const QString seven = AddPage("全家福/组/七/1.temp", 7);
    const QString unknown = AddPage("全家福/组/未知/1.temp", 1);
    const QString unindexed = AddPage("全家福/组/七/2.temp", 1);
    WriteIndex({{"全家福\\组\\七\\1.temp", "7", "30", "30", "1"},
                {"全家福\\组\\未知\\1.temp", "x", "30", "30", "1"}},
               100);
    LoadLibrary();
    const int at7 = library.templates().indexOf(seven);
    const int atUnknown = library.templates().indexOf(unknown);
    const int atUnindexed = library.templates().indexOf(unindexed);
    SlotCountFilter noMany;
    noMany.allowed[5] = false;
    SmartSelection selection;

    ScriptedRandom many({at7});
    EXPECT_EQ(selection.RandomTemplateFromAll(Context(many, "   输出 30,30cm"), {true, true}, {}),
              seven);
    canvas = CComposeCanvas();
    // Without a product no shape is tested; seven slots fail, a page without
    // index entry fails, an unreadable count passes.
    ScriptedRandom draws({at7, atUnindexed, atUnknown});
    EXPECT_EQ(selection.RandomTemplateFromAll(Context(draws), {}, noMany), unknown);
    EXPECT_EQ(draws.drawn, 3);
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_EQ(selection.lastDrawnSet(), -1) << "the draw from all pages is no set draw";
}

TEST_F(SmartSelectionTest, RandomPhotosFillEverySlotInOrder) {
    photos = {Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg")};
    SmartSelection selection;
    ScriptedRandom random({5, 0, 2});
    selection.RandomPhotos(Context(random));
    EXPECT_EQ(random.drawn, 0) << "no template, nothing to fill";

    ASSERT_TRUE(canvas.LoadTemplateFile(AddPage("儿童/组/套/1.temp", 3), true));
    selection.RandomPhotos(Context(random));
    EXPECT_EQ(canvas.placement(0).PhotoName(), "c.jpg");
    EXPECT_EQ(canvas.placement(1).PhotoName(), "a.jpg");
    EXPECT_EQ(canvas.placement(2).PhotoName(), "c.jpg");
}

TEST_F(SmartSelectionTest, UnusedPhotosWrapOnceForTheWholeFill) {
    const QString two = AddPage("儿童/组/二/1.temp", 2);
    const QString three = AddPage("儿童/组/三/1.temp", 3);
    const QString other = Photo("D.jpg");
    struct Case {
        QStringList names, usedNames;
        QString page;
        int start;
        QStringList filled; // slot by slot; D.jpg: the slot kept its photo
        QStringList informed;
    } cases[] = {
        // After one wrap for slot 0, slot 1's scan reaches the end again.
        {{"C.jpg", "A.jpg", "B.jpg"},
         {"A.jpg", "B.jpg"},
         two,
         1,
         {"C.jpg", "D.jpg"},
         {kNoUnusedPhoto}},
        {{"C.jpg", "A.jpg", "B.jpg"}, {"A.jpg", "B.jpg"}, two, 0, {"C.jpg", "C.jpg"}, {}},
        // Starting again at 0 after the last photo is no wrap.
        {{"U.jpg", "X.jpg"}, {"U.jpg"}, three, 1, {"X.jpg", "X.jpg", "X.jpg"}, {}},
        {{"X.jpg", "Y.jpg", "Z.jpg"}, {}, three, 2, {"Z.jpg", "X.jpg", "Y.jpg"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names.join(' ').toStdString() + " from " + std::to_string(c.start));
        photos.clear();
        used.clear();
        for (const QString& name : c.names)
            photos << Photo(name);
        for (const QString& name : c.usedNames)
            used << folder.file(name);
        canvas = CComposeCanvas();
        messages.informed.clear();
        ASSERT_TRUE(canvas.LoadTemplateFile(c.page, true));
        for (int slot = 0; slot < canvas.slotCount(); ++slot)
            ASSERT_TRUE(canvas.PutPhoto(other, true, slot));
        ScriptedRandom random({c.start});
        SmartSelection().RandomUnusedPhotos(Context(random));
        QStringList filled;
        for (int slot = 0; slot < canvas.slotCount(); ++slot)
            filled << canvas.placement(slot).PhotoName();
        EXPECT_EQ(filled, c.filled);
        EXPECT_EQ(messages.informed, c.informed);
        EXPECT_EQ(random.drawn, 1);
    }
}

TEST_F(SmartSelectionTest, UnfilteredSetDrawsReseedFromTheClock) {
    for (int i = 0; i < 20; ++i)
        AddPage(QStringLiteral("写真/组/套%1/1.temp").arg(i), 1);
    LoadLibrary();
    std::int64_t now = 1700000000;
    SeededRandom random([&now] { return now; });
    SmartSelection selection;
    selection.RandomTemplateBySet(Context(random));
    const int first = selection.lastDrawnSet();
    random.Next(); // other draws in between do not matter
    selection.RandomTemplateBySet(Context(random));
    EXPECT_EQ(selection.lastDrawnSet(), first) << "same second, same set";

    QSet<int> drawn;
    for (int second = 1; second <= 10; ++second) {
        now += 1;
        selection.RandomTemplateBySet(Context(random));
        drawn.insert(selection.lastDrawnSet());
    }
    EXPECT_GT(drawn.size(), 1) << "other seconds draw other sets";
    EXPECT_TRUE(messages.informed.isEmpty());

    // The generator starts from the clock too, so photos drawn before any
    // template differ from one start of the program to the next.
    SeededRandom earlier([] { return std::int64_t(1); }), later([] { return std::int64_t(2); });
    SeededRandom again([] { return std::int64_t(1); });
    const int firstDraw = earlier.Next();
    EXPECT_NE(firstDraw, later.Next());
    EXPECT_EQ(firstDraw, again.Next());
}

} // namespace
