// "智能筛选": its boxes, and what each of its buttons asks for; and smart
// selection run on the main window's state over the demo library.

#include "app/main_window/control_ids.h"
#include "app/orders/order_list.h"
#include "app/photo_and_page_areas/thumbnail_list.h"
#include "app/production/smart_select_dialog.h"
#include "app_fixture.h"
#include "production/smart_selection.h"
#include "records/customer_details.h"
#include "templates/template_library.h"
#include "widget_support.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Dlg = CSmartSelectDlg;

class RecordingCommands final : public ISmartSelectCommands {
public:
    void RandomTemplateBySet(ShapeFilter shape) override {
        calls << QStringLiteral("set %1%2").arg(shape.matchRatio).arg(shape.matchSize);
    }
    void RandomTemplateFromAll(ShapeFilter shape, const SlotCountFilter& counts) override {
        QString allowed;
        for (bool on : counts.allowed)
            allowed += on ? '1' : '0';
        calls << QStringLiteral("all %1%2 %3 %4")
                     .arg(shape.matchRatio)
                     .arg(shape.matchSize)
                     .arg(allowed)
                     .arg(counts.maximum);
    }
    void OpenDrawnSet() override { calls << "open"; }
    void RandomPhotos() override { calls << "photos"; }
    void RandomUnusedPhotos() override { calls << "unused"; }
    void MakeDraft(ShapeFilter shape, const SlotCountFilter& counts) override {
        QString allowed;
        for (bool on : counts.allowed)
            allowed += on ? '1' : '0';
        calls << QStringLiteral("draft %1%2 %3")
                     .arg(shape.matchRatio)
                     .arg(shape.matchSize)
                     .arg(allowed);
    }
    QStringList calls;
};

TEST(SmartSelectDialog, EveryOpeningStartsWithAllBoxesTicked) {
    RecordingCommands commands;
    {
        Dlg dialog(commands);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("智能筛选"));
        for (int i = 0; i < Dlg::kBoxes; ++i) {
            EXPECT_TRUE(dialog.box(Dlg::Box(i))->isChecked()) << i;
            dialog.box(Dlg::Box(i))->setChecked(false);
        }
    }
    Dlg again(commands);
    for (int i = 0; i < Dlg::kBoxes; ++i)
        EXPECT_TRUE(again.box(Dlg::Box(i))->isChecked()) << i;
    EXPECT_TRUE(commands.calls.isEmpty());
}

TEST(SmartSelectDialog, ButtonsReadTheBoxesAndLeaveTheDialogOpen) {
    struct Case {
        QList<Dlg::Box> cleared;
        Dlg::Command button;
        const char* call;
    } cases[] = {
        {{}, Dlg::TemplateBySet, "set 11"},
        {{Dlg::MatchSize, Dlg::ThreeSlots}, Dlg::TemplateBySet, "set 10"},
        {{Dlg::MatchRatio}, Dlg::TemplateFromAll, "all 01 111111 0"},
        {{Dlg::OneSlot, Dlg::FiveSlots, Dlg::ManySlots}, Dlg::TemplateFromAll, "all 11 011100 0"},
        {{Dlg::MatchRatio, Dlg::MatchSize}, Dlg::OpenDrawnSet, "open"},
        {{}, Dlg::AllPhotos, "photos"},
        {{Dlg::OneSlot}, Dlg::UnusedPhotos, "unused"},
        {{Dlg::MatchSize, Dlg::TwoSlots}, Dlg::Draft, "draft 10 101111"},
    };
    RecordingCommands commands;
    Dlg dialog(commands);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (const Case& c : cases) {
        for (int i = 0; i < Dlg::kBoxes; ++i)
            dialog.box(Dlg::Box(i))->setChecked(!c.cleared.contains(Dlg::Box(i)));
        commands.calls.clear();
        QTest::mouseClick(dialog.button(c.button), Qt::LeftButton);
        EXPECT_EQ(commands.calls, QStringList{c.call}) << c.call;
        EXPECT_TRUE(dialog.isVisible()) << c.call;
    }
    // Pressed again, a button asks again.
    commands.calls.clear();
    QTest::mouseClick(dialog.button(Dlg::AllPhotos), Qt::LeftButton);
    QTest::mouseClick(dialog.button(Dlg::AllPhotos), Qt::LeftButton);
    EXPECT_EQ(commands.calls, QStringList({"photos", "photos"}));
    // Enter presses no button on its own.
    commands.calls.clear();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(commands.calls.isEmpty());
}

TEST(SmartSelectDialog, EveryTextFitsAndNothingOverlaps) {
    RecordingCommands commands;
    Dlg dialog(commands);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QList<QWidget*> controls;
    for (int i = 0; i < Dlg::kBoxes; ++i)
        controls << dialog.box(Dlg::Box(i));
    for (int i = 0; i < Dlg::kCommands; ++i)
        controls << dialog.button(Dlg::Command(i));
    for (int i = 0; i < controls.size(); ++i) {
        const QRect place = controls[i]->geometry();
        EXPECT_TRUE(dialog.rect().contains(place)) << i;
        EXPECT_LE(controls[i]->sizeHint().width(), place.width())
            << controls[i]->property("text").toString().toStdString() << " is cut";
        for (int j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(place.intersects(controls[j]->geometry())) << i << " and " << j;
    }
    const QImage shot = GrabImage(&dialog);
    EXPECT_EQ(shot.size(), dialog.size());
}

// The main window's state handed to smart selection through its own
// accessors, the way its buttons and the dialog reach it.
class SmartSelectionOnWindow : public MainWindowTest {
protected:
    SmartSelectionContext Context() {
        return SmartSelectionContext{
            window->library(),
            window->canvas(),
            window->customerPhotos(),
            window->usedPhotos(),
            window->sizeLabelText(),
            messages,
            random,
            [this](const QString& folder) { window->OpenTemplateSet(folder); }};
    }
    SeededRandom random{[] { return std::int64_t(1700000000); }};
    SmartSelection selection;
    SmartSelectCommands commands{selection, [this] { return Context(); }};
};

TEST_F(SmartSelectionOnWindow, DemoLibraryServesAFilteredAlbumPageAndItsSet) {
    window->ChooseCustomer(MakeCustomer("郑一", "1", {{"相册", "30", "30"}}));
    static_cast<COrderList*>(window->control(ControlId::OrderList))->setCurrentRow(1);
    const TemplateLibrary& library = window->library();
    ASSERT_GE(library.setIndex().size(), 100);

    commands.RandomTemplateFromAll({true, true}, {});
    const QString page = window->canvas().bodyPath();
    const int at = library.FindSetInfo(TemplateLookupKey(library.root(), page));
    ASSERT_GE(at, 0) << messages.informed.join('\n').toStdString();
    EXPECT_TRUE(PassesShapeFilter(library.setIndex().proportions[at], library.setIndex().widths[at],
                                  library.setIndex().heights[at], {"30", "30"}, {true, true}));
    // The canvas relabels the window: the template's size, then the product's.
    EXPECT_TRUE(window->sizeLabelText().startsWith(QStringLiteral("模板 ")));
    EXPECT_TRUE(window->sizeLabelText().endsWith(QStringLiteral("   输出 30,30cm")));

    commands.RandomTemplateBySet({true, true});
    ASSERT_GE(selection.lastDrawnSet(), 0);
    const QString first = library.sets().at(selection.lastDrawnSet());
    EXPECT_EQ(window->canvas().bodyPath(), first);
    commands.OpenDrawnSet();
    auto* templates = static_cast<CThumbnailList*>(window->control(ControlId::TemplateList));
    EXPECT_EQ(library.openSet().pages.value(0), first);
    EXPECT_EQ(templates->count(), library.openSet().pages.size());

    // The dialog's "随机客片(未使用)" fills the window's canvas.
    CSmartSelectDlg dialog(commands, window.get());
    dialog.show();
    QTest::mouseClick(dialog.button(Dlg::UnusedPhotos), Qt::LeftButton);
    ASSERT_GT(window->canvas().slotCount(), 0);
    QStringList samples;
    for (const QString& photo : window->customerPhotos())
        samples << QFileInfo(photo).fileName();
    for (int slot = 0; slot < window->canvas().slotCount(); ++slot)
        EXPECT_TRUE(samples.contains(window->canvas().placement(slot).PhotoName())) << slot;
    EXPECT_TRUE(messages.informed.isEmpty()) << messages.informed.join('\n').toStdString();
}

} // namespace

namespace {

// "生成初稿(补齐缺页)" pressed in the dialog on the demo library and sample
// photos: the selected product gets exactly the pages its order lacks.
TEST_F(SmartSelectionOnWindow, DraftMakesTheMissingPagesOfTheProductAndNothingMore) {
    CustomerDetails details;
    details.name = "钱二";
    details.phone = "2";
    details.products = {OrderLine{"相册", "30", "30", "1", "4"},
                        OrderLine{"摆台", "20", "30", "1", "3"}};
    QString taskPath;
    ASSERT_TRUE(SaveCustomerDetails(details, messages, &taskPath));
    window->ChooseCustomer(taskPath);
    auto* orders = static_cast<COrderList*>(window->control(ControlId::OrderList));
    auto* finished = static_cast<CThumbnailList*>(window->control(ControlId::FinishedList));
    orders->setCurrentRow(1);
    // One page made by hand first.
    commands.RandomTemplateFromAll({true, true}, {});
    commands.RandomUnusedPhotos();
    window->SaveComposition(true);
    ASSERT_EQ(window->task().PageCount(), 1);

    CSmartSelectDlg dialog(window->smartCommands(), window.get());
    dialog.show();
    const QStringList expected{"相册", "相册-2", "相册-3", "相册-4"};
    for (int press = 0; press < 2; ++press) {
        messages.informed.clear();
        QTest::mouseClick(dialog.button(Dlg::Draft), Qt::LeftButton);
        QStringList names;
        for (int i = 0; i < window->task().PageCount(); ++i)
            names << window->task().pages[i]->Name();
        EXPECT_EQ(names, expected);
        EXPECT_EQ(finished->count(), expected.size());
        EXPECT_EQ(messages.informed,
                  QStringList{press == 0 ? QStringLiteral("已生成 3 页初稿。")
                                         : QStringLiteral("相册 的页面已全部设计，无需补齐。")});
    }
    // Every drafted page is an ordinary page with photos in all its slots.
    CustomerTask reloaded;
    ASSERT_TRUE(reloaded.Load(taskPath));
    ASSERT_EQ(reloaded.PageCount(), 4);
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(reloaded.pages[i]->placements[0].PhotoName().isEmpty()) << i;
}

} // namespace
