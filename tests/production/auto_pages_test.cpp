// An album draft with fixed draws: which template each page may take, and
// which photos go on it.

#include "common/messages.h"
#include "common/text_file.h"
#include "production/auto_pages.h"
#include "production/smart_selection.h"
#include "production_fixture.h"
#include "records/customer_task.h"
#include "records/workspace_paths.h"
#include "templates/template_library.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <deque>
#include <gtest/gtest.h>

namespace {

class Draws final : public IRandomSource {
public:
    explicit Draws(std::deque<int> draws) : draws_(std::move(draws)) {}
    void SeedWithTime() override { ADD_FAILURE() << "an album draft never reseeds"; }
    int Next() override {
        if (draws_.empty()) {
            ADD_FAILURE() << "more draws than scripted";
            return 0;
        }
        const int next = draws_.front();
        draws_.pop_front();
        return next;
    }
    bool used() const { return draws_.empty(); }

private:
    std::deque<int> draws_;
};

class AutoPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        four = AddPage("写真/方/四/1.temp", 4);
        three = AddPage("写真/方/三/1.temp", 3);
        QStringList index{"<i><p>写真\\方\\四\\1.temp</p><n>4</n><w>30</w><h>30</h><f>1</f></i>",
                          "<i><p>写真\\方\\三\\1.temp</p><n>3</n><w>30</w><h>30</h><f>1</f></i>"};
        while (index.size() < 100)
            index << QStringLiteral("<i><p>别处\\%1\\1.temp</p><n>1</n><f>1</f></i>")
                         .arg(index.size());
        ASSERT_TRUE(WriteGbkLines(folder.file("模板/list2.txt"), index));
        library.ReadSetIndex();
        library.SearchTemplates();

        for (int i = 1; i <= 4; ++i) {
            request.photos << folder.file(QStringLiteral("p%1.jpg").arg(i));
            WriteBytes(request.photos.last(), EncodeImage(QuadrantImage(60, 40), "JPEG"));
        }
        request.save.customerChosen = true;
        request.save.customerName = "甲";
        request.save.product = OrderLine{"摆台", "30", "30", "1", "2"};
        request.canvasSize = QSize(1000, 750);
    }
    QString AddPage(const QString& relative, int slotCount) {
        TemplateBody body = MakeBody(QSize(40, 30), Qt::white, 0);
        for (int i = 0; i < slotCount; ++i)
            body.rects.append(TemplateRect{20 + 200 * i, 20, 200 + 200 * i, 700});
        const QString path = folder.file("模板/" + relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(WriteBytes(path, SerializeTemplateBody(body)));
        return path;
    }
    int At(const QString& page) const { return library.templates().indexOf(page); }

    TestFolder folder;
    TemplateLibrary library{folder.file("模板")};
    QString four, three;
    AutoPagesRequest request;
    RecordingMessages messages;
};

TEST_F(AutoPagesTest, PhotosOnTheCustomersPagesComeAfterTheOthers) {
    // The customer already has a page showing p1.
    CustomerTask task;
    QDir().mkpath(CustomerFolder("甲"));
    task.SetPath(TaskFilePath(CustomerFolder("甲")));
    auto earlier = std::make_unique<TaskPage>();
    earlier->SetName("摆台");
    earlier->placements[0].SetPhotoName("p1.jpg");
    task.pages.push_back(std::move(earlier));
    ASSERT_TRUE(task.Save());

    request.pages = 2;
    // Page 1: three photos are left, so the four-slot page is drawn in vain;
    // the fill starts at p1, which is used. Page 2: all are used, a new round
    // lets four slots in; the three-slot page, already in the album, is drawn
    // again; the fill starts at p2.
    Draws draws({At(four), At(three), 0, At(three), At(four), 1});
    const AutoPagesResult result = MakeAutoPages(request, library, task, messages, draws);
    ASSERT_TRUE(result.complete) << messages.informed.join('\n').toStdString();
    EXPECT_TRUE(draws.used());
    ASSERT_EQ(result.pages.size(), 2);
    EXPECT_EQ(result.pages[0].templatePath, three);
    EXPECT_EQ(result.pages[0].photos, QStringList({"p2.jpg", "p3.jpg", "p4.jpg"}));
    EXPECT_EQ(result.pages[0].name, "摆台-2");
    EXPECT_EQ(result.pages[1].templatePath, four);
    EXPECT_EQ(result.pages[1].photos, QStringList({"p2.jpg", "p3.jpg", "p4.jpg", "p1.jpg"}));
    EXPECT_TRUE(messages.informed.isEmpty());

    // Saved as finished pages of the task.
    CustomerTask saved;
    ASSERT_TRUE(saved.Load(task.Path()));
    ASSERT_EQ(saved.PageCount(), 3);
    EXPECT_EQ(saved.pages[2]->placements[3].PhotoName(), "p1.jpg");
}

TEST_F(AutoPagesTest, StopsWithTheMessageWhenNoTemplateFits) {
    CustomerTask task;
    request.pages = 3;
    request.photos = request.photos.mid(0, 2); // too few for three slots
    Draws draws(std::deque<int>(200, At(three)));
    const AutoPagesResult result = MakeAutoPages(request, library, task, messages, draws);
    EXPECT_FALSE(result.complete);
    EXPECT_TRUE(result.pages.isEmpty());
    EXPECT_EQ(messages.informed, QStringList{SmartSelectionText::kNoMatch});
    EXPECT_EQ(task.PageCount(), 0);
}

} // namespace
