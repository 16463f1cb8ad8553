#include "controls/skin.h"
#include "controls/theme.h"
#include "test_support.h"
#include "widget_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ScopedSkin {
    ScopedSkin() { InstallSkin(); }
    ~ScopedSkin() { RemoveSkin(); }
};

// A shown top-level parent holding one control at (10, 10).
struct Stage {
    QWidget parent;
    explicit Stage(QWidget* control, QSize size) {
        parent.resize(size.width() + 40, size.height() + 40);
        control->setParent(&parent);
        control->setGeometry(QRect(QPoint(10, 10), size));
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
};

// Bounding box of the pixels darker than a grey of 100 inside area.
QRect DarkBounds(const QImage& image, const QRect& area) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int CountNear(const QImage& image, const QRect& area, const QColor& c, int tolerance) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += Near(image.pixel(x, y), c.rgb(), tolerance);
    return n;
}

// A palette with every role fixed, so a control shows only what its style
// draws, not the application's dialog colour.
QPalette FixedPalette() {
    const QPalette base = QApplication::palette();
    QPalette fixed;
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto group = QPalette::ColorGroup(g);
            const auto role = QPalette::ColorRole(r);
            fixed.setColor(group, role, base.color(group, role));
        }
    return fixed;
}

} // namespace

TEST(Skin, ButtonCreatedAfterInstallHasBorderAndGradient) {
    ScopedSkin skin;
    auto* button = new QPushButton("确定");
    Stage stage(button, QSize(100, 30));
    const QImage img = GrabImage(button);
    // Border, inside the client rectangle.
    EXPECT_TRUE(PixelNear(img, {50, 0}, qRgb(0, 0, 0), "button-top", 40));
    EXPECT_TRUE(PixelNear(img, {0, 15}, qRgb(0, 0, 0), "button-left", 40));
    EXPECT_TRUE(PixelNear(img, {99, 15}, qRgb(0, 0, 0), "button-right", 40));
    EXPECT_TRUE(PixelNear(img, {50, 29}, qRgb(0, 0, 0), "button-bottom", 40));
    // Face 26 rows high from row 2: row 2 is step 4, rows 26 to 28 step 63.
    EXPECT_TRUE(PixelNear(img, {5, 2}, Theme::ButtonGradientStep(4).rgb(), "button-face-top", 0));
    EXPECT_TRUE(PixelNear(img, {5, 14}, Theme::ButtonGradientStep(33).rgb(), "button-face-mid", 0));
    EXPECT_TRUE(PixelNear(img, {5, 28}, qRgb(240, 240, 243), "button-face-bottom", 0));
    // The label is in the middle of the face, in black.
    const QRect text = DarkBounds(img, QRect(3, 3, 94, 24));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.center().x(), 50, 3);
    EXPECT_NEAR(text.center().y(), 15, 3);
}

TEST(Skin, HoverFramesTheButtonInOrangeUntilTheMouseLeaves) {
    ScopedSkin skin;
    auto* button = new QPushButton("取消");
    Stage stage(button, QSize(100, 30));
    EXPECT_TRUE(button->testAttribute(Qt::WA_Hover));
    QTest::mouseMove(button, QPoint(50, 15));
    QTRY_VERIFY(button->underMouse());
    QImage img = GrabImage(button);
    EXPECT_TRUE(PixelNear(img, {2, 15}, Theme::kHoverLeft.rgb(), "hover-left", 2));
    EXPECT_TRUE(PixelNear(img, {96, 15}, Theme::kHoverRight.rgb(), "hover-right", 2));
    EXPECT_TRUE(PixelNear(img, {50, 1}, Theme::kHoverTop.rgb(), "hover-top", 2));
    EXPECT_TRUE(PixelNear(img, {50, 27}, Theme::kHoverBottom.rgb(), "hover-bottom", 2));

    QTest::mouseMove(&stage.parent, QPoint(5, 70));
    QTRY_VERIFY(!button->underMouse());
    img = GrabImage(button);
    EXPECT_TRUE(PixelNear(img, {2, 15}, Theme::ButtonGradientStep(15 * 63 / 26).rgb(),
                          "hover-left-gone", 0));
}

TEST(Skin, PressedLabelMovesOneRightOneDown) {
    ScopedSkin skin;
    auto* button = new QPushButton("确定");
    Stage stage(button, QSize(100, 30));
    const QRect face(3, 3, 94, 24);
    const QRect up = DarkBounds(GrabImage(button), face);
    button->setDown(true);
    const QRect down = DarkBounds(GrabImage(button), face);
    ASSERT_FALSE(up.isEmpty());
    EXPECT_EQ(down, up.translated(1, 1));
}

TEST(Skin, DisabledLabelIsEmbossedGrey) {
    ScopedSkin skin;
    auto* button = new QPushButton("停用");
    button->setEnabled(false);
    Stage stage(button, QSize(100, 30));
    const QImage img = GrabImage(button);
    const QRect face(3, 3, 94, 24);
    EXPECT_TRUE(DarkBounds(img, face).isEmpty());
    EXPECT_GT(CountNear(img, face, Theme::kEdgeShadow, 8), 5);
}

TEST(Skin, GroupBoxHasBandsWhiteFrameAndCaption) {
    ScopedSkin skin;
    for (const bool enabled : {true, false}) {
        auto* box = new QGroupBox("客人资料");
        box->setEnabled(enabled);
        Stage stage(box, QSize(200, 100));
        const QImage img = GrabImage(box);
        const QRgb bg = Theme::kDialogBackground.rgb();
        const QRgb white = qRgb(255, 255, 255);
        EXPECT_TRUE(PixelNear(img, {3, 50}, bg, "group-left-band", 1));
        EXPECT_TRUE(PixelNear(img, {196, 50}, bg, "group-right-band", 1));
        EXPECT_TRUE(PixelNear(img, {100, 96}, bg, "group-bottom-band", 1));
        EXPECT_TRUE(PixelNear(img, {190, 4}, bg, "group-top-band", 1));
        EXPECT_TRUE(PixelNear(img, {0, 50}, white, "group-frame-left", 1));
        EXPECT_TRUE(PixelNear(img, {199, 50}, white, "group-frame-right", 1));
        EXPECT_TRUE(PixelNear(img, {190, 8}, white, "group-frame-top", 1));
        EXPECT_TRUE(PixelNear(img, {100, 99}, white, "group-frame-bottom", 1));
        EXPECT_TRUE(PixelNear(img, {4, 8}, white, "group-frame-left-of-caption", 1));
        // The caption, opaque, hides the frame line from x 8 on.
        const QRect caption(8, 0, 60, 15);
        const int black = CountNear(img, caption, Qt::black, 30);
        const int grey = CountNear(img, caption, Theme::kGroupCaptionDisabled, 10);
        EXPECT_EQ(black > 5, enabled);
        EXPECT_EQ(grey > 5, !enabled);
        EXPECT_EQ(CountNear(img, QRect(8, 8, 40, 1), Qt::white, 0), 0);
    }
}

TEST(Skin, CheckBoxKeepsItsLookAndRemoveRestores) {
    QStyle* before = QApplication::style();
    const QColor windowBefore = QApplication::palette().color(QPalette::Window);
    auto* check = new QCheckBox("锁定人像位置");
    check->setPalette(FixedPalette());
    check->setChecked(true);
    auto* button = new QPushButton("确定");
    Stage stage(check, QSize(150, 24));
    button->setParent(&stage.parent);
    button->setGeometry(10, 40, 100, 30);
    button->show();
    const QImage checkPlain = GrabImage(check);
    const QImage buttonPlain = GrabImage(button);

    InstallSkin();
    EXPECT_TRUE(SkinInstalled());
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), Theme::kDialogBackground);
    EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::WindowText),
              QColor(Qt::black));
    EXPECT_EQ(GrabImage(check), checkPlain);
    EXPECT_NE(GrabImage(button), buttonPlain); // the comparison can tell styles apart

    RemoveSkin();
    EXPECT_FALSE(SkinInstalled());
    EXPECT_EQ(QApplication::style(), before);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), windowBefore);
    EXPECT_EQ(GrabImage(button), buttonPlain);
    EXPECT_EQ(GrabImage(check), checkPlain);
}
