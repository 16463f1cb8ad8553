// The smart-selection buttons under the canvas.

#include "app/main_window/control_ids.h"
#include "app/templates/template_download_dialog.h"
#include "app_fixture.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTest>

namespace {
using namespace ControlId;

TEST_F(MainWindowTest, RandomTemplateItsSetAndRandomPhotos) {
    auto press = [this](int id) {
        QTest::mouseClick(static_cast<QPushButton*>(window->control(id)), Qt::LeftButton);
    };
    press(RandomTemplate);
    ASSERT_TRUE(window->canvas().HasTemplate());
    const QString page = window->canvas().bodyPath();
    EXPECT_TRUE(window->library().sets().contains(page)) << page.toStdString();

    press(OpenDrawnSet);
    EXPECT_EQ(window->library().openSet().folder, QFileInfo(page).absolutePath());

    press(RandomPhotos);
    for (int slot = 0; slot < window->canvas().slotCount(); ++slot)
        EXPECT_TRUE(window->canvas().HasSlotImage(slot)) << slot;
    EXPECT_TRUE(messages.informed.isEmpty());
}
} // namespace

namespace {
TEST_F(MainWindowTest, TemplateManagerMadeOnceAndKept) {
    auto* manager = static_cast<QPushButton*>(window->control(ControlId::TemplateManager));
    QTest::mouseClick(manager, Qt::LeftButton);
    auto dialogs = window->findChildren<CTemplateDownloadDlg*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_TRUE(dialogs.first()->isVisible());
    dialogs.first()->close();
    QTest::mouseClick(manager, Qt::LeftButton);
    EXPECT_EQ(window->findChildren<CTemplateDownloadDlg*>(), dialogs);
    EXPECT_TRUE(dialogs.first()->isVisible());
}
} // namespace
