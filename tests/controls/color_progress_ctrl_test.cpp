#include "controls/color_progress_ctrl.h"
#include "controls/theme.h"
#include "test_support.h"
#include "widget_support.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class CountingProgress : public CColorProgressCtrl {
public:
    using CColorProgressCtrl::CColorProgressCtrl;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        CColorProgressCtrl::paintEvent(event);
    }
};

// The bar 208 x 24 (a field 200 pixels wide inside the white edges) on a
// parent filled with a colour the bar never uses.
struct Stage {
    QWidget parent;
    CountingProgress* bar = new CountingProgress(&parent);
    static constexpr QRgb kParent = qRgb(10, 200, 10);
    Stage() {
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(kParent));
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        parent.resize(260, 60);
        bar->setGeometry(10, 10, 208, 24);
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    int PaintsAfter(const std::function<void()>& change) {
        QCoreApplication::processEvents();
        bar->paints = 0;
        change();
        QCoreApplication::processEvents();
        return bar->paints;
    }
};

int CountWhere(const QImage& img, const QRect& area, const std::function<bool(QRgb)>& pred) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += pred(img.pixel(x, y));
    return n;
}

} // namespace

TEST(ColorProgress, EmptyRangePaintsNothing) {
    for (const auto& range : {std::pair{0, 0}, std::pair{5, 3}}) {
        Stage stage;
        stage.bar->SetRange(range.first, range.second);
        stage.bar->SetPos(1);
        const QImage img = GrabImage(&stage.parent);
        const int foreign =
            CountWhere(img, stage.bar->geometry(), [](QRgb c) { return c != Stage::kParent; });
        EXPECT_EQ(foreign, 0) << range.first << ".." << range.second;
    }
}

TEST(ColorProgress, HalfwayIsHalfBlueWithPercentCaption) {
    Stage stage;
    stage.bar->SetRange(0, 100);
    EXPECT_EQ(stage.bar->SetPos(50), 0);
    EXPECT_EQ(stage.bar->BarWidth(), 100);
    const QImage img = GrabImage(stage.bar);
    const QRgb blue = Theme::kProgressBar.rgb();
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_TRUE(PixelNear(img, {0, 0}, white, "progress-border", 0));
    EXPECT_TRUE(PixelNear(img, {3, 12}, white, "progress-field", 0));
    EXPECT_TRUE(PixelNear(img, {4, 4}, blue, "progress-bar-start", 0));
    EXPECT_TRUE(PixelNear(img, {103, 19}, blue, "progress-bar-end", 0));
    EXPECT_TRUE(PixelNear(img, {104, 19}, white, "progress-past-bar", 0));
    EXPECT_TRUE(PixelNear(img, {200, 12}, white, "progress-field-right", 0));
    // "50%" straddles the end of the bar: light strokes on the blue, dark
    // ones on the white field.
    const QRect onBar(80, 4, 24, 16), onField(104, 4, 24, 16);
    EXPECT_GT(CountWhere(img, onBar, [](QRgb c) { return qGray(c) > 150; }), 5);
    EXPECT_GT(CountWhere(img, onField, [](QRgb c) { return qGray(c) < 100; }), 5);
    EXPECT_EQ(CountWhere(img, QRect(4, 4, 60, 16), [&](QRgb c) { return c != blue; }), 0);
}

TEST(ColorProgress, BarWidthAndCaption) {
    const struct {
        int lower, upper, pos;
        QString caption;
        int width;
        QString shown;
    } cases[] = {
        {0, 100, 0, "", 0, "0%"},
        {0, 100, 100, "", 200, "100%"},
        {0, 3, 1, "", 66, "33%"},
        {10, 20, 15, "", 100, "50%"},
        {0, 100, 150, "", 200, "100%"},
        {0, 100, -5, "", 0, "0%"},
        {0, 100, 50, "处理中", 100, "处理中"},
        {0, 0, 0, "", 0, ""},
        {0, 2000000000, 1000000000, "", 100, "50%"},
    };
    CColorProgressCtrl bar;
    bar.resize(208, 24);
    for (const auto& c : cases) {
        bar.SetRange(c.lower, c.upper);
        bar.SetPos(c.pos);
        bar.SetCaption(c.caption);
        EXPECT_EQ(bar.BarWidth(), c.width) << c.lower << ".." << c.upper << " @" << c.pos;
        EXPECT_EQ(bar.ShownCaption(), c.shown) << c.lower << ".." << c.upper << " @" << c.pos;
    }
}

TEST(ColorProgress, RepaintsOnlyWhenTheBarGrowsByAPixel) {
    Stage stage;
    CountingProgress* bar = stage.bar;
    bar->SetRange(0, 1000); // 5 positions per pixel
    EXPECT_EQ(stage.PaintsAfter([&] { bar->SetPos(0); }), 1);
    EXPECT_EQ(stage.PaintsAfter([&] {
        for (int pos = 1; pos < 5; ++pos)
            bar->SetPos(pos);
    }),
              0);
    EXPECT_EQ(stage.PaintsAfter([&] { bar->SetPos(5); }), 1);
    EXPECT_EQ(stage.PaintsAfter([&] { bar->SetPos(9); }), 0);
    // After a resize the old width means nothing.
    bar->resize(108, 24);
    EXPECT_EQ(stage.PaintsAfter([&] { bar->SetPos(9); }), 1);
    EXPECT_EQ(stage.PaintsAfter([&] { bar->SetCaption("第2页"); }), 1);
    EXPECT_EQ(stage.PaintsAfter([&] { bar->SetCaption("第2页"); }), 0);
}
