// The main window's geometry for a client size, and once that the window
// puts its controls there.

#include "app/main_window/control_ids.h"
#include "app/main_window/main_layout.h"
#include "app_fixture.h"
#include "controls/canvas_toolbar.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>

namespace {
using namespace ControlId;

struct LayoutCase {
    QSize client;
    QRect canvas;
    int overflow;
    QMap<int, QRect> expected;
};

TEST(MainLayout, ControlsAtTheirPlaces) {
    // 1280 x 860: F = 390, canvas 310..970 x 40..535 less the frame pixel.
    // 1920 x 1000: F = 460, canvas bottom 1015 would leave the toolbar row
    // 45 pixels off the window, so canvas and row are raised by 45.
    const LayoutCase cases[] = {
        {{1280, 860},
         QRect(QPoint(311, 41), QPoint(968, 533)),
         0,
         {{TemplateList, {0, 40, 300, 390}},    {TemplateTree, {0, 40, 300, 390}},
          {ShowTree, {235, 15, 65, 22}},        {TemplateManager, {170, 15, 65, 22}},
          {TemplateTitle, {2, 22, 168, 15}},    {HideTree, {235, 435, 65, 22}},
          {PhotoList, {0, 470, 300, 390}},      {ClearPhotos, {235, 445, 65, 22}},
          {RemovePhoto, {170, 445, 65, 22}},    {ImportPhotos, {105, 445, 65, 22}},
          {PhotoTitle, {2, 452, 103, 15}},      {FinishedList, {980, 470, 300, 390}},
          {Output, {1220, 445, 60, 22}},        {DeletePage, {1160, 445, 60, 22}},
          {SavePage, {1100, 445, 60, 22}},      {Preview, {1040, 445, 60, 22}},
          {FinishedTitle, {982, 452, 58, 15}},  {OrderList, {980, 40, 300, 330}},
          {Tasks, {1215, 15, 65, 22}},          {Dpi, {1215, 375, 65, 22}},
          {HiddenLabel, {980, 375, 235, 22}},   {CanvasTitle, {620, 22, 60, 15}},
          {SizeLabel, {680, 22, 284, 15}},      {SmartSelect, {904, 539, 65, 22}},
          {RandomPhotos, {839, 539, 65, 22}},   {OpenDrawnSet, {774, 539, 65, 22}},
          {RandomTemplate, {709, 539, 65, 22}}, {LockPortrait, {681, 539, 100, 22}}}},
        {{1920, 1000},
         QRect(QPoint(311, 41), QPoint(1608, 968)),
         45,
         {{FinishedList, {1620, 540, 300, 460}},
          {OrderList, {1620, 40, 300, 400}},
          {SmartSelect, {1544, 974, 65, 22}},
          {RandomTemplate, {1349, 974, 65, 22}},
          {LockPortrait, {681, 974, 100, 22}},
          {SizeLabel, {1000, 22, 604, 15}}}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.client.width());
        const MainLayout layout = ComputeMainLayout(c.client, 100);
        EXPECT_EQ(layout.canvas, c.canvas);
        EXPECT_EQ(layout.overflow, c.overflow);
        // The toolbar's last row is the client's last row or above it.
        EXPECT_LE(ToolbarOrigin(layout.canvas).y() + 26, c.client.height());
        for (auto it = c.expected.cbegin(); it != c.expected.cend(); ++it)
            EXPECT_EQ(layout.controls.value(it.key()), it.value()) << "control " << it.key();
    }
}

TEST_F(MainWindowTest, ChildrenFollowTheLayoutWhenResized) {
    for (QSize client : {QSize(1280, 860), QSize(1920, 1000)}) {
        window->resize(client);
        const MainLayout& layout = window->currentLayout();
        EXPECT_EQ(layout.controls.value(OrderList),
                  ComputeMainLayout(client, layout.controls.value(LockPortrait).width())
                      .controls.value(OrderList));
        for (auto it = layout.controls.cbegin(); it != layout.controls.cend(); ++it)
            EXPECT_EQ(window->control(it.key())->geometry(), it.value()) << it.key();
        EXPECT_EQ(window->control(Canvas)->geometry(), layout.canvas);
        EXPECT_EQ(window->canvas().clientSize(), layout.canvas.size());
    }
}

TEST_F(MainWindowTest, TheFrameTakesTheScreensFreeArea) {
    window->ShowOnScreen();
    QCoreApplication::processEvents();
    const QRect free = window->screen()->availableGeometry();
    const QMargins frame = window->windowHandle()->frameMargins();
    EXPECT_EQ(window->frameGeometry(), free);
    EXPECT_EQ(window->geometry(), free.marginsRemoved(frame));
}

TEST_F(MainWindowTest, ControlTextsAndVisibility) {
    const struct {
        int id;
        const char* text;
        bool visible;
    } rows[] = {{ShowTree, "选模板", true},
                {TemplateManager, "模板管理", true},
                {HideTree, "选中", false},
                {ImportPhotos, "调入照片", true},
                {RemovePhoto, "删除", true},
                {ClearPhotos, "清空", true},
                {RandomTemplate, "随机模板", true},
                {OpenDrawnSet, "选中此套", true},
                {RandomPhotos, "随机客片", true},
                {SmartSelect, "智能筛选", true},
                {LockPortrait, "锁定人像位置", true},
                {Tasks, "任务", true},
                {Dpi, "DPI", true},
                {Preview, "预览", true},
                {SavePage, "保存", true},
                {DeletePage, "删除", true},
                {Output, "输出", true},
                {OpenSeries, "打开套系", false},
                {DeletePhotoHidden, "删除照片", false},
                {DeleteAllHidden, "全部删除", false},
                {TemplateTitle, "模板区", true},
                {PhotoTitle, "客照区", true},
                {CanvasTitle, "套版区", true},
                {FinishedTitle, "成品区", true}};
    for (const auto& row : rows) {
        QWidget* w = window->control(row.id);
        ASSERT_NE(w, nullptr) << row.id;
        EXPECT_EQ(w->property("text").toString(), QString::fromUtf8(row.text)) << row.id;
        EXPECT_EQ(w->isVisible(), row.visible) << row.id;
    }
    for (int hidden : {UnnamedButton, FindCombo, HiddenList, HiddenLabel, FindLabel})
        EXPECT_FALSE(window->control(hidden)->isVisible()) << hidden;
    EXPECT_TRUE(window->control(TemplateList)->isVisible());
    EXPECT_FALSE(window->control(TemplateTree)->isVisible());
}
} // namespace
