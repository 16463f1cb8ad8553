// The template area and the customer photos, used with the mouse.

#include "app/main_window/control_ids.h"
#include "app/templates/template_tree_view.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app/orders/order_list.h"
#include "app_fixture.h"
#include "records/photo_usage.h"

#include <QFileInfo>

#include <QCheckBox>
#include <QTest>

namespace {
using namespace ControlId;

class AreasTest : public MainWindowTest {
protected:
    CThumbnailList* list(int id) { return static_cast<CThumbnailList*>(window->control(id)); }
    CTemplateTreeView* tree() { return static_cast<CTemplateTreeView*>(window->control(TemplateTree)); }
    void Click(CThumbnailList* l, int row) {
        const QRect r = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    }
    QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& text) {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == text)
                return parent->child(i);
        return nullptr;
    }
};

TEST_F(AreasTest, TreeOpensASetAndHidesAgain) {
    const QRect listPlace = window->control(TemplateList)->geometry();
    QTest::mouseClick(static_cast<QWidget*>(window->control(ShowTree)), Qt::LeftButton);
    ASSERT_TRUE(tree()->isVisible());
    EXPECT_FALSE(window->control(PhotoList)->isVisible());
    EXPECT_EQ(window->control(TemplateList)->geometry(), window->currentLayout().controls[PhotoList]);

    QTreeWidgetItem* root = tree()->topLevelItem(0);
    ASSERT_EQ(root->text(0), QStringLiteral("模板列表"));
    QTreeWidgetItem* wedding = Child(root, QStringLiteral("婚纱"));
    ASSERT_NE(wedding, nullptr);
    QTreeWidgetItem* group = Child(wedding, QStringLiteral("浪漫经典"));
    ASSERT_NE(group, nullptr);
    for (int again = 0; again < 3; ++again) {
        wedding->setExpanded(true);
        wedding->setExpanded(false);
    }
    EXPECT_EQ(group->childCount(), 2) << "opening a category again lists its sets once";

    tree()->setCurrentItem(Child(group, QStringLiteral("玫瑰之约")));
    auto* templates = list(TemplateList);
    ASSERT_EQ(templates->count(), 3);
    EXPECT_EQ(templates->item(2)->text(), QStringLiteral("婚纱-浪漫经典-玫瑰之约-3"));
    QTRY_VERIFY(!templates->IsLoading());

    QTest::mouseClick(static_cast<QWidget*>(window->control(HideTree)), Qt::LeftButton);
    EXPECT_FALSE(tree()->isVisible());
    EXPECT_TRUE(window->control(PhotoList)->isVisible());
    // 5 pixels under "选模板", as wide and as high as before.
    EXPECT_EQ(templates->geometry(), listPlace.translated(0, 42 - listPlace.top()));
}

TEST_F(AreasTest, OnlyAMouseClickLoadsAPageOrPutsAPhoto) {
    auto* templates = list(TemplateList);
    ASSERT_GT(templates->count(), 1);
    templates->setFocus();
    templates->setCurrentRow(0);
    QTest::keyClick(templates, Qt::Key_End);
    EXPECT_FALSE(window->canvas().HasTemplate()) << "the keyboard loads nothing";
    Click(templates, 1);
    ASSERT_TRUE(window->canvas().HasTemplate());
    EXPECT_EQ(window->canvas().bodyPath(), window->library().openSet().pages.at(1));

    window->canvas().SetCurrentSlot(0);
    Click(list(PhotoList), 2);
    EXPECT_EQ(window->canvas().placement(0).PhotoName(),
              QFileInfo(window->customerPhotos().at(2)).fileName());
}

TEST_F(AreasTest, ImportRemoveAndClearPhotos) {
    const QString extra = window->customerPhotos().first();
    window->SetPhotoChooser([extra] { return QStringList{extra, extra}; });
    QTest::mouseClick(static_cast<QWidget*>(window->control(ImportPhotos)), Qt::LeftButton);
    auto* photos = list(PhotoList);
    ASSERT_EQ(window->customerPhotos().size(), 10) << "listed paths are appended again";
    EXPECT_EQ(photos->count(), 10);
    EXPECT_EQ(window->customerPhotos().last(), extra);

    photos->clearSelection();
    QTest::mouseClick(static_cast<QWidget*>(window->control(RemovePhoto)), Qt::LeftButton);
    EXPECT_EQ(photos->count(), 10) << "nothing selected, nothing removed";
    const QString second = window->customerPhotos().at(1);
    photos->item(0)->setSelected(true);
    QTest::mouseClick(static_cast<QWidget*>(window->control(RemovePhoto)), Qt::LeftButton);
    EXPECT_EQ(photos->count(), 9);
    EXPECT_EQ(window->customerPhotos().first(), second);

    QTest::mouseClick(static_cast<QWidget*>(window->control(ClearPhotos)), Qt::LeftButton);
    EXPECT_EQ(photos->count(), 0);
    EXPECT_TRUE(window->customerPhotos().isEmpty());
}

TEST_F(AreasTest, UseCountsComeFromTheSavedPages) {
    const QString task = MakeCustomer("钱七", "1", {{"相册", "30", "30"}});
    window->ChooseCustomer(task);
    static_cast<COrderList*>(window->control(OrderList))->setCurrentRow(1);
    const QStringList photos = window->customerPhotos();
    // Two pages: the first photo in two slots of the first page and one of
    // the second, the second photo once.
    // Another template makes the second save a new page.
    const struct {
        const char* page;
        QList<int> photos;
    } pages[] = {{"2.temp", {0, 0}}, {"1.temp", {0, 1}}};
    for (const auto& page : pages) {
        ASSERT_TRUE(window->canvas().LoadTemplateFile(
            base.file(QStringLiteral("模板/婚纱/浪漫经典/玫瑰之约/") + page.page), true));
        for (int slot = 0; slot < page.photos.size(); ++slot)
            ASSERT_TRUE(window->canvas().PutPhoto(photos.at(page.photos[slot]), true, slot));
        window->SaveComposition(true);
    }
    ASSERT_EQ(window->task().PageCount(), 2);
    auto* photoList = list(PhotoList);
    EXPECT_EQ(photoList->item(0)->text(), FileThumbnailLabel(photos[0]) + QStringLiteral("\r\n选中3次"));
    EXPECT_EQ(photoList->item(1)->text(), FileThumbnailLabel(photos[1]) + QStringLiteral("\r\n选中1次"));
    EXPECT_EQ(photoList->item(2)->text(), FileThumbnailLabel(photos[2]) + QStringLiteral("\r\n选中0次"));
    EXPECT_EQ(window->usedPhotos(), (QStringList{photos[0], photos[1]}));
    EXPECT_EQ(list(FinishedList)->count(), 2);
}
} // namespace
