#include "cli_runner.h"
#include "cli_studio.h"
#include "common/gbk.h"
#include "records/customer_task.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {
QJsonObject TaskInfo(const QString& base, const QString& path) {
    const CliResult r = RunCli({"task-info", path}, base);
    EXPECT_EQ(r.exitCode, 0) << Show(r);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << Show(r);
    return doc.object();
}

void AddProducts(const QString& base) {
    ASSERT_EQ(RunCli({"catalogue", "add", "A3", "29.7", "42"}, base).exitCode, 0);
    ASSERT_EQ(RunCli({"catalogue", "add", QStringLiteral("相册"), "25.4", "30"}, base).exitCode, 0);
}
} // namespace

TEST(CliRunner, PassesArgumentsAndReportsExitCodeAndStreams) {
    const CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: taoban-cli")) << Show(help);
    EXPECT_TRUE(help.out.contains("new-customer")) << Show(help);

    const CliResult unknown = RunCli({"no-such-command"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("no-such-command")) << Show(unknown);
    EXPECT_TRUE(unknown.OutLines().isEmpty());
}

TEST(CatalogueCli, AddListAndDeleteWithTheStudiosMessages) {
    TestFolder dir;
    const QString base = dir.path();
    const CliResult added = RunCli({"catalogue", "add", " A3 ", " 29.7", "42 "}, base);
    EXPECT_EQ(added.exitCode, 0) << Show(added);
    EXPECT_EQ(added.OutLines(), QStringList{QStringLiteral("A3 宽:29.7 高:42")});
    ASSERT_EQ(RunCli({"catalogue", "add", QStringLiteral("相册"), "20", "30"}, base).exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.file(QStringLiteral("设置/产品.ini"))),
              ToGbk(QStringLiteral("<n>A3<w>29.7</w><h>42</h></n>\r\n"
                                   "<n>相册<w>20</w><h>30</h></n>\r\n")));

    const struct {
        QStringList args;
        QString message;
    } refused[] = {
        {{"A3", "1", "1"}, QStringLiteral("此产品已存在!")},
        {{"B", "0.009", "1"}, QStringLiteral("尺寸错误")},
        {{"B", "1", "x"}, QStringLiteral("尺寸错误")},
        {{"big album", "1", "1"}, QStringLiteral("产品名称不能包含空格!")},
        {{"a/b", "1", "1"}, QStringLiteral("产品名称有非法字符!")},
        {{QString(95, 'x'), "1", "1"}, QStringLiteral("产品名称有非法字符!")},
    };
    for (const auto& c : refused) {
        const CliResult r = RunCli(QStringList{"catalogue", "add"} + c.args, base);
        EXPECT_EQ(r.exitCode, 1) << Show(r);
        EXPECT_EQ(r.OutLines(), QStringList{c.message}) << Show(r);
    }
    EXPECT_EQ(RunCli({"catalogue", "add", "a3", "0.01", "0.01"}, base).exitCode, 0);

    const CliResult list = RunCli({"catalogue", "list"}, base);
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.OutLines(),
              (QStringList{QStringLiteral("A3 宽:29.7 高:42"), QStringLiteral("相册 宽:20 高:30"),
                           QStringLiteral("a3 宽:0.01 高:0.01")}));

    // Deleting asks first; without --yes the answer is No and nothing changes.
    const QByteArray before = ReadBytes(dir.file(QStringLiteral("设置/产品.ini")));
    const CliResult unconfirmed = RunCli({"catalogue", "delete", "A3"}, base);
    EXPECT_EQ(unconfirmed.exitCode, 1) << Show(unconfirmed);
    EXPECT_EQ(unconfirmed.OutLines(), QStringList{QStringLiteral("确认删除吗？")});
    EXPECT_TRUE(unconfirmed.err.contains("--yes")) << Show(unconfirmed);
    EXPECT_EQ(ReadBytes(dir.file(QStringLiteral("设置/产品.ini"))), before);

    const CliResult confirmed = RunCli({"catalogue", "delete", "A3", "--yes"}, base);
    EXPECT_EQ(confirmed.exitCode, 0) << Show(confirmed);
    EXPECT_EQ(
        RunCli({"catalogue", "list"}, base).OutLines(),
        (QStringList{QStringLiteral("相册 宽:20 高:30"), QStringLiteral("a3 宽:0.01 高:0.01")}));

    const CliResult missing = RunCli({"catalogue", "delete", "A3", "--yes"}, base);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.OutLines(), QStringList{QStringLiteral("请先选中您要删除的产品!")});
}

TEST(CatalogueCli, BadArgumentsExitWithTwo) {
    TestFolder dir;
    for (const QStringList& args :
         {QStringList{"catalogue"}, QStringList{"catalogue", "rename"},
          QStringList{"catalogue", "add", "A3", "1"},
          QStringList{"catalogue", "add", " ", "1", "1"}, QStringList{"catalogue", "delete"},
          QStringList{"catalogue", "list", "x"}}) {
        const CliResult r = RunCli(args, dir.path());
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << Show(r);
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("设置/产品.ini"))));
}

TEST(CustomerCli, NewCustomerThenTaskInfoShowsPhoneOrderAndPages) {
    TestFolder dir;
    const QString base = dir.path();
    AddProducts(base);
    const CliResult created =
        RunCli({"new-customer", QStringLiteral(" 王五 "), "--phone", "13900001111", "--product",
                "A3:2:10", "--product", QStringLiteral("相册")},
               base);
    EXPECT_EQ(created.exitCode, 0) << Show(created);
    EXPECT_EQ(created.OutLines(), QStringList{QStringLiteral("保存成功!")});
    const QString folder = dir.file(QStringLiteral("套版缓存/王五"));
    EXPECT_EQ(QFileInfo(folder + "/1.tx").size(), 100);

    QJsonObject info = TaskInfo(base, folder);
    EXPECT_EQ(info["phone"].toString(), "13900001111");
    EXPECT_EQ(info["page_count"].toInt(), 0);
    EXPECT_TRUE(info["complete"].toBool());
    const QJsonArray order = info["order"].toArray();
    ASSERT_EQ(order.size(), 2);
    EXPECT_EQ(order[0].toObject(), (QJsonObject{{"name", "A3"},
                                                {"width", "29.7"},
                                                {"height", "42"},
                                                {"quantity", "2"},
                                                {"pages", "10"}}));
    EXPECT_EQ(order[1].toObject(), (QJsonObject{{"name", QStringLiteral("相册")},
                                                {"width", "25.4"},
                                                {"height", "30"},
                                                {"quantity", "1"},
                                                {"pages", "1"}}));

    // A page saved into the task shows with every field of its slot records.
    CustomerTask task;
    ASSERT_TRUE(task.Load(folder + "/1.tx"));
    auto page = std::make_unique<TaskPage>();
    page->SetName(QStringLiteral("相册"));
    page->width = 2540;
    page->height = 3000;
    SlotPlacement& s = page->placements[3];
    s = SlotPlacement::Zero();
    s.angle = -15;
    s.shear = 2;
    s.mirrorX = 1;
    s.mirrorY = 0;
    s.front = 1;
    s.transparency = 128;
    s.reservedRect[0] = 7;
    s.reservedRect[3] = 9;
    s.left = 10;
    s.top = 20;
    s.right = 310;
    s.bottom = 420;
    s.reserved = 5;
    s.offsetX = -3;
    s.offsetY = 4;
    s.zoom = 120;
    s.borderColor = 0x00FF8040;
    s.SetPhotoName(QStringLiteral("婚纱照01.jpg"));
    task.pages.push_back(std::move(page));
    ASSERT_TRUE(task.Save());

    info = TaskInfo(base, folder + "/1.tx");
    ASSERT_EQ(info["page_count"].toInt(), 1);
    const QJsonObject p = info["pages"].toArray()[0].toObject();
    EXPECT_EQ(p["name"].toString(), QStringLiteral("相册"));
    EXPECT_EQ(p["width"].toInt(), 2540);
    EXPECT_EQ(p["height"].toInt(), 3000);
    const QJsonArray slotList = p["slots"].toArray();
    ASSERT_EQ(slotList.size(), 20);
    EXPECT_EQ(slotList[3].toObject(),
              (QJsonObject{{"angle", -15},
                           {"shear", 2},
                           {"mirror_x", 1},
                           {"mirror_y", 0},
                           {"front", 1},
                           {"transparency", 128},
                           {"reserved_rect", QJsonArray{7, 0, 0, 9}},
                           {"left", 10},
                           {"top", 20},
                           {"right", 310},
                           {"bottom", 420},
                           {"reserved", 5},
                           {"offset_x", -3},
                           {"offset_y", 4},
                           {"zoom", 120},
                           {"border_color", 0x00FF8040},
                           {"photo_name", QStringLiteral("婚纱照01.jpg")}}));
    EXPECT_EQ(slotList[0].toObject()["photo_name"].toString(), "");
    EXPECT_EQ(slotList[0].toObject()["zoom"].toInt(), 0);
}

TEST(CustomerCli, RefusedCustomersLeaveNothingBehind) {
    TestFolder dir;
    const QString base = dir.path();
    AddProducts(base);
    const QString illegal = QStringLiteral("硬盘空间已满足，或客人姓名有非法字符!");
    const struct {
        QStringList args;
        QString message;
    } refused[] = {
        {{"   "}, QStringLiteral("客人姓名不能为空!")},
        {{"../outside"}, illegal},
        {{".."}, illegal},
        {{"a/b"}, illegal},
        {{"<x>"}, illegal},
        {{"ok", "--product", "A5"}, QStringLiteral("产品库中没有此产品: A5")},
    };
    for (const auto& c : refused) {
        const CliResult r = RunCli(QStringList{"new-customer"} + c.args, base);
        EXPECT_EQ(r.exitCode, 1) << Show(r);
        EXPECT_EQ(r.OutLines(), QStringList{c.message}) << Show(r);
    }
    EXPECT_EQ(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("设置")});

    ASSERT_EQ(RunCli({"new-customer", "Li"}, base).exitCode, 0);
    const CliResult again = RunCli({"new-customer", "Li", "--phone", "2"}, base);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.OutLines(),
              QStringList{QStringLiteral("已存在此客人姓名的任务，请修改客人姓名!")});

    for (const QStringList& args :
         {QStringList{"new-customer"}, QStringList{"new-customer", "a", "b"},
          QStringList{"new-customer", "a", "--phone"},
          QStringList{"new-customer", "a", "--fax", "1"},
          QStringList{"new-customer", "a", "--product", "A3:1:2:3"},
          QStringList{"new-customer", "a", "--product", "A3:<c>"}}) {
        const CliResult r = RunCli(args, base);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << Show(r);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("套版缓存/a"))));
}

TEST(CustomerCli, EditRewritesOnlyTheOrder) {
    TestFolder dir;
    const QString base = dir.path();
    AddProducts(base);
    ASSERT_EQ(RunCli({"new-customer", "Zhao", "--phone", "555", "--product", "A3"}, base).exitCode,
              0);
    const QString taskPath = dir.file(QStringLiteral("套版缓存/Zhao/1.tx"));
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    task.pages.push_back(std::make_unique<TaskPage>());
    task.pages.back()->SetName("A3");
    ASSERT_TRUE(task.Save());
    const QByteArray taskBytes = ReadBytes(taskPath);

    const CliResult edited =
        RunCli({"edit-customer", "Zhao", "--product", QStringLiteral("相册:3:40")}, base);
    EXPECT_EQ(edited.exitCode, 0) << Show(edited);
    EXPECT_EQ(edited.OutLines(), QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(ReadBytes(taskPath), taskBytes);
    EXPECT_EQ(ReadBytes(dir.file(QStringLiteral("套版缓存/Zhao/产品.ini"))),
              ToGbk(QStringLiteral("<n>相册<w>25.4</w><h>30</h><c>3</c><p>40</p></n>\r\n")));

    EXPECT_EQ(RunCli({"edit-customer", "Nobody", "--product", "A3"}, base).exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("套版缓存/Nobody"))));
    EXPECT_EQ(RunCli({"edit-customer", "Zhao", "--phone", "1"}, base).exitCode, 2);
    EXPECT_EQ(RunCli({"edit-customer", "../Zhao"}, base).exitCode, 2);
    const CliResult unknown = RunCli({"edit-customer", "Zhao", "--product", "A5"}, base);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(ReadBytes(dir.file(QStringLiteral("套版缓存/Zhao/产品.ini"))),
              ToGbk(QStringLiteral("<n>相册<w>25.4</w><h>30</h><c>3</c><p>40</p></n>\r\n")));
}

TEST(TaskInfoCli, CutShortAndDamagedFiles) {
    TestFolder dir;
    const QString base = dir.path();
    // Phone block cut after three bytes.
    ASSERT_TRUE(WriteBytes(dir.file("short.tx"), "138"));
    QJsonObject info = TaskInfo(base, dir.file("short.tx"));
    EXPECT_EQ(info["phone"].toString(), "138");
    EXPECT_EQ(info["page_count"].toInt(), 0);
    EXPECT_FALSE(info["complete"].toBool());

    // One whole page and 40 bytes of the next.
    QByteArray bytes(100, '\0');
    QByteArray record(TaskPage::kRecordSize, '\0');
    record.replace(0, 2, "p1");
    record[TaskPage::kRecordSize - 8] = 0x10; // width 16
    bytes += record;
    bytes += QByteArray("p2").leftJustified(40, '\0');
    ASSERT_TRUE(WriteBytes(dir.file("cut.tx"), bytes));
    info = TaskInfo(base, dir.file("cut.tx"));
    ASSERT_EQ(info["page_count"].toInt(), 2);
    EXPECT_FALSE(info["complete"].toBool());
    const QJsonArray pages = info["pages"].toArray();
    EXPECT_EQ(pages[0].toObject()["width"].toInt(), 16);
    EXPECT_EQ(pages[1].toObject()["name"].toString(), "p2");
    EXPECT_EQ(pages[1].toObject()["width"].toInt(), 0);

    ASSERT_TRUE(WriteBytes(dir.file("empty.tx"), ""));
    info = TaskInfo(base, dir.file("empty.tx"));
    EXPECT_EQ(info["page_count"].toInt(), 0);

    QFile huge(dir.file("huge.tx"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(CustomerTask::kMaxFileBytes + 1));
    huge.close();
    for (const QStringList& args :
         {QStringList{"task-info", dir.file("huge.tx")}, QStringList{"task-info", dir.file("none")},
          QStringList{"task-info"}, QStringList{"task-info", dir.path()}}) {
        const CliResult r = RunCli(args, base);
        EXPECT_EQ(r.exitCode, 2) << Show(r);
        // One line of reason (Qt may add its own start-up warnings).
        EXPECT_EQ(r.err.count(QStringLiteral("taoban-cli task-info: ")), 1) << Show(r);
    }
}
