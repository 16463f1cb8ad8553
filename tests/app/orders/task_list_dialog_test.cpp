#include "app/orders/customer_dialog.h"
#include "app/production/order_check_dialog.h"
#include "app/production/preflight_dialog.h"
#include "app/orders/task_list_dialog.h"
#include "common/messages.h"
#include "controls/sort_list_ctrl.h"
#include "modal_helper.h"
#include "order_fixture.h"
#include "production/lab_profile.h"
#include "records/customer_task.h"
#include "records/order_lines.h"
#include "records/task_list.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kPageBytes = 3628;

// A customer task: phone block, pages page records, and optionally the
// status the batch worker leaves; dated daysAgo days back.
QString MakeCustomer(const QString& name, int pages = 0, const QString& status = {},
                     int daysAgo = 0) {
    const QString folder = CustomerFolder(name);
    EXPECT_TRUE(QDir().mkpath(folder));
    const QString path = TaskFilePath(folder);
    EXPECT_TRUE(WriteBytes(path, QByteArray(100, '\0') + QByteArray(pages * kPageBytes, '\1')));
    if (!status.isEmpty()) {
        EXPECT_TRUE(WriteBytes(StatusFilePath(folder), "<s>" + status.toUtf8() + "</s>"));
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    EXPECT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo),
                                 QFileDevice::FileModificationTime));
    return path;
}

// Names page index of the task as a saved page is named: export takes a
// product's pages from the task by their names.
void NamePage(const QString& taskPath, int index, const QString& name) {
    CustomerTask task;
    ASSERT_TRUE(task.Load(taskPath));
    task.pages[index]->SetName(name);
    ASSERT_TRUE(task.Save());
}

QStringList Column(const CSortListCtrl* list, int column) {
    QStringList texts;
    for (int r = 0; r < list->RowCount(); ++r)
        texts.append(list->CellText(r, column));
    return texts;
}

QPoint RowCentre(const CSortListCtrl* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

class TaskListDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<CTaskListDlg> Open() {
        auto dlg = std::make_unique<CTaskListDlg>(
            messages, [this](const QStringList& paths) { composed.append(paths); });
        dlg->SetFolderChooser([this] { return chosenFolder; });
        dlg->SetFolderOpener([this](const QString& folder) { opened.append(folder); });
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        return dlg;
    }
    void Press(CTaskListDlg& dlg, CTaskListDlg::Command command) {
        QTest::mouseClick(dlg.button(command), Qt::LeftButton);
    }

    TestFolder base;
    RecordingMessages messages;
    QList<QStringList> composed;
    QString chosenFolder;
    QStringList opened;
};

} // namespace

TEST_F(TaskListDlgTest, ShowsTheOrderBookNewestFirst) {
    MakeCustomer("old", 3, "2/3", 2);
    MakeCustomer("new", 0, {}, 0);
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("任务列表"));
    const QAbstractItemModel* shown = dlg->list()->model();
    ASSERT_EQ(shown->columnCount(), 6);
    ASSERT_EQ(shown->rowCount(), 2);
    EXPECT_EQ(shown->headerData(4, Qt::Horizontal).toString(), QStringLiteral("日期"));
    const auto text = [shown](int row, int column) {
        return shown->data(shown->index(row, column)).toString();
    };
    EXPECT_EQ(text(0, kTaskOrderColumn), "new");
    EXPECT_EQ(text(1, kTaskOrderColumn), "old");
    EXPECT_EQ(text(1, kTaskPagesColumn), "3");
    EXPECT_EQ(text(0, kTaskPagesColumn), "0");
    EXPECT_EQ(text(1, kTaskOutputColumn), "2/3");
    EXPECT_EQ(text(0, kTaskOutputColumn), "0");
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(TaskListDlgTest, CommandsWithoutASelectionSayWhatToSelect) {
    MakeCustomer("a");
    auto dlg = Open();
    struct Case {
        CTaskListDlg::Command command;
        const char* message;
    };
    for (const Case c : {Case{CTaskListDlg::Edit, "请先选中要修改的客人!"},
                         Case{CTaskListDlg::Delete, "请先选中要删除的客人记录!"},
                         Case{CTaskListDlg::Open, "请先选中要编辑的客人记录!"},
                         Case{CTaskListDlg::ComposeOne, "请先选中要套版的客人!"},
                         Case{CTaskListDlg::ComposeSelected, "请先选中要套版的客人!"},
                         Case{CTaskListDlg::Export, "请先选中要输出的客人!"},
                         Case{CTaskListDlg::Check, "请先选中要检查的客人!"}}) {
        messages.informed.clear();
        Press(*dlg, c.command);
        EXPECT_EQ(messages.informed, QStringList{QString::fromUtf8(c.message)}) << c.message;
    }
    // A double click beside the rows opens nothing, also after a row was
    // selected.
    CSortListCtrl* list = dlg->list();
    const QPoint beside = list->viewport()->rect().bottomRight() - QPoint(5, 5);
    ASSERT_FALSE(list->indexAt(beside).isValid());
    for (const bool rowSelected : {false, true}) {
        messages.informed.clear();
        if (rowSelected)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 0));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, beside);
        EXPECT_EQ(messages.informed, QStringList{QStringLiteral("请先选中要编辑的客人记录!")})
            << rowSelected;
    }
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_TRUE(composed.isEmpty());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(TaskListDlgTest, DeleteAsksThenRemovesTheRowAndTheFolderAtOnce) {
    MakeCustomer("keep", 0, {}, 1);
    MakeCustomer("gone", 2, {}, 0);
    messages.SetAnswer(false);
    auto dlg = Open();
    dlg->list()->selectRow(0);
    Press(*dlg, CTaskListDlg::Delete);
    EXPECT_EQ(messages.asked, QStringList{QStringLiteral("删除后将不可恢复, 确认吗?")});
    EXPECT_EQ(dlg->list()->RowCount(), 2);
    EXPECT_TRUE(QFileInfo::exists(CustomerFolder("gone")));

    messages.SetAnswer(true);
    Press(*dlg, CTaskListDlg::Delete);
    EXPECT_EQ(Column(dlg->list(), kTaskOrderColumn), QStringList{"keep"});
    EXPECT_FALSE(QFileInfo::exists(CustomerFolder("gone")));
    EXPECT_TRUE(QFileInfo::exists(CustomerFolder("keep") + "/1.tx"));
}

TEST_F(TaskListDlgTest, BatchComposesTheSelectedRowsInDisplayOrder) {
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths.append(MakeCustomer(QString("c%1").arg(i), 1, {}, i)); // c0 newest
    auto dlg = Open();
    CSortListCtrl* list = dlg->list();
    ASSERT_EQ(Column(list, kTaskOrderColumn), (QStringList{"c0", "c1", "c2", "c3", "c4", "c5"}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 5));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(list, 2));
    Press(*dlg, CTaskListDlg::ComposeSelected);
    ASSERT_EQ(composed.size(), 1);
    EXPECT_EQ(composed[0], (QStringList{paths[2], paths[5]}));

    // Sorted the other way round by date, the batch follows what is shown.
    list->SortByColumn(kTaskDateColumn);
    if (list->CellText(0, kTaskOrderColumn) == "c0")
        list->SortByColumn(kTaskDateColumn);
    list->clearSelection();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(list, 3));
    Press(*dlg, CTaskListDlg::ComposeSelected);
    ASSERT_EQ(composed.size(), 2);
    EXPECT_EQ(composed[1], (QStringList{paths[5], paths[2]}));

    // "单个套版" takes the first selected row only.
    list->clearSelection();
    list->selectRow(1);
    Press(*dlg, CTaskListDlg::ComposeOne);
    ASSERT_EQ(composed.size(), 3);
    EXPECT_EQ(composed[2], QStringList{list->CellText(1, kTaskPathColumn)});
}

TEST_F(TaskListDlgTest, CompositionRunReloadsTheList) {
    const QString path = MakeCustomer("a", 2);
    auto dlg = std::make_unique<CTaskListDlg>(messages, [](const QStringList& paths) {
        WriteBytes(StatusFilePath(QFileInfo(paths.first()).path()), "<s>2/2</s>");
    });
    dlg->list()->selectRow(0);
    QTest::mouseClick(dlg->button(CTaskListDlg::ComposeOne), Qt::LeftButton);
    EXPECT_EQ(dlg->list()->CellText(0, kTaskOutputColumn), "2/2");
    EXPECT_EQ(dlg->list()->CellText(0, kTaskPathColumn), path);
}

TEST_F(TaskListDlgTest, DoubleClickOrStartReturnsTheTaskAccepted) {
    MakeCustomer("a", 0, {}, 1);
    const QString b = MakeCustomer("b");
    for (const bool doubleClick : {true, false}) {
        auto dlg = Open();
        CSortListCtrl* list = dlg->list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 0));
        if (doubleClick)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 0));
        else
            Press(*dlg, CTaskListDlg::Open);
        EXPECT_EQ(dlg->result(), QDialog::Accepted) << doubleClick;
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->ResultPath(), b);
    }
    auto closing = Open();
    Press(*closing, CTaskListDlg::Close);
    EXPECT_EQ(closing->result(), QDialog::Rejected);
    EXPECT_TRUE(closing->ResultPath().isEmpty());
}

TEST_F(TaskListDlgTest, ExportCopiesTheComposedPagesIntoTheChosenFolder) {
    MakeCustomer("uncomposed", 1, {}, 1);
    NamePage(MakeCustomer("done", 1, "1/1", 0), 0, QStringLiteral("相册"));
    ASSERT_TRUE(WriteOrderLines(OrderLinesPath(CustomerFolder("done")),
                                {{QStringLiteral("相册"), "30", "30", "1", "1"}}));
    ASSERT_TRUE(WriteBytes(BigPageImagePath(CustomerFolder("done"), QStringLiteral("相册"), ".jpg"),
                           "page one"));
    chosenFolder = base.file("lab/");
    ASSERT_TRUE(QDir().mkpath(chosenFolder));
    auto dlg = Open();
    dlg->list()->selectRow(1);
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("此客人未套版!")});

    dlg->list()->selectRow(0);
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_EQ(messages.informed.last(), QStringLiteral("导出成功!"));
    EXPECT_EQ(ReadBytes(base.file(QStringLiteral("lab/done/相册/1.jpg"))), "page one");
    EXPECT_EQ(opened, QStringList{base.file("lab/done")});
}

TEST_F(TaskListDlgTest, DeeperTaskIsEditedAndExportedFromItsOwnFolder) {
    MakeCustomer("sub", 1, "1/1", 1); // another customer of the same name
    QDir().mkpath(CustomerFolder("old/sub"));
    const QString deeper = MakeCustomer("old/sub", 1, "1/1", 0);
    NamePage(deeper, 0, "A");
    ASSERT_TRUE(
        WriteOrderLines(OrderLinesPath(CustomerFolder("old/sub")), {{"A", "1", "1", "1", "1"}}));
    ASSERT_TRUE(WriteBytes(BigPageImagePath(CustomerFolder("old/sub"), "A", ".jpg"), "deeper"));
    chosenFolder = base.file("lab");
    auto dlg = Open();
    ASSERT_EQ(dlg->list()->CellText(0, kTaskPathColumn), deeper);
    dlg->list()->selectRow(0);
    QString editedPath;
    WhenShown<CCustomerDlg>([&editedPath](CCustomerDlg* customer) {
        editedPath = customer->form().TaskPath();
        EXPECT_EQ(customer->nameEdit()->text(), "sub");
        EXPECT_TRUE(customer->nameEdit()->isReadOnly());
        QTest::mouseClick(customer->cancelButton(), Qt::LeftButton);
    });
    Press(*dlg, CTaskListDlg::Edit);
    EXPECT_EQ(editedPath, deeper);
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_EQ(ReadBytes(base.file("lab/old/sub/A/1.jpg")), "deeper");
    EXPECT_FALSE(QFileInfo::exists(base.file("lab/sub")));
}

TEST_F(TaskListDlgTest, NewCustomerRecordedHereIsListedAtOnce) {
    auto dlg = Open();
    EXPECT_EQ(dlg->list()->RowCount(), 0);
    WhenShown<CCustomerDlg>([](CCustomerDlg* customer) {
        customer->nameEdit()->setText(QStringLiteral("王五"));
        QTest::mouseClick(customer->okButton(), Qt::LeftButton);
    });
    Press(*dlg, CTaskListDlg::NewTask);
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(Column(dlg->list(), kTaskOrderColumn), QStringList{QStringLiteral("王五")});
}

TEST_F(TaskListDlgTest, CheckShowsTheFindingsAndExportWritesTheManifestWhenTicked) {
    ProblemOrder order;
    WriteBytes(order.folder() + "/status.txt", "<s>5/5</s>");
    chosenFolder = base.file("lab");
    auto dlg = Open();
    dlg->list()->selectRow(0);
    QStringList rows;
    WhenShown<COrderCheckDlg>([&rows](COrderCheckDlg* report) {
        for (int i = 0; i < report->findings()->topLevelItemCount(); ++i)
            rows << report->findings()->topLevelItem(i)->text(0) + " " +
                        report->findings()->topLevelItem(i)->text(1);
        report->accept();
    });
    QTest::mouseClick(dlg->button(CTaskListDlg::Check), Qt::LeftButton);
    EXPECT_EQ(rows, (QStringList{"C ", "A 1", "A-2 ", "B ", "B-2 ", "B-3 "}));

    const QString manifest = base.file("lab/") + ProblemOrder::kCustomer + "/manifest.csv";
    // A page of the order not rendered fails the export, named.
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_TRUE(messages.informed.last().contains("B-2")) << messages.informed.last().toStdString();
    EXPECT_FALSE(QFileInfo::exists(manifest));
    order.Fix();
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_EQ(messages.informed.last(), QStringLiteral("导出成功!"));
    EXPECT_FALSE(QFileInfo::exists(manifest));
    QTest::mouseClick(dlg->manifestBox(), Qt::LeftButton);
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_EQ(messages.informed.last(), QStringLiteral("导出成功!"));
    EXPECT_TRUE(ReadBytes(manifest).startsWith("product,file,"));
}

// The lab chosen beside "输出": its preflight's findings shown in a window,
// nothing written until the operator exports anyway, the folder asked once.
TEST_F(TaskListDlgTest, ExportForALabShowsThePreflightAndExportsAnywayWhenTold) {
    ProblemOrder order;
    WriteBytes(order.folder() + "/status.txt", "<s>5/5</s>");
    ASSERT_TRUE(QDir().mkpath(SettingsFolder() + "/labs"));
    ASSERT_TRUE(WriteBytes(LabProfilePath("快印"),
                           R"({"dpi": 254, "file_name": "{page:02}-{product}.jpg"})"));
    ASSERT_TRUE(WriteBytes(LabProfilePath("坏"), R"({"paper": "matt"})"));
    chosenFolder = base.file("lab");
    auto dlg = Open();
    int asked = 0;
    dlg->SetFolderChooser([&] {
        ++asked;
        return chosenFolder;
    });
    dlg->list()->selectRow(0);
    ASSERT_EQ(dlg->labBox()->count(), 3);
    QTest::keyClick(dlg->labBox(), Qt::Key_Down); // "坏"
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_TRUE(messages.informed.last().contains("unknown key \"paper\""))
        << messages.informed.last().toStdString();
    QTest::keyClick(dlg->labBox(), Qt::Key_Down);
    ASSERT_EQ(dlg->labBox()->currentText(), "快印");
    // A lab's export always carries the manifest.
    EXPECT_TRUE(dlg->manifestBox()->isChecked());
    EXPECT_FALSE(dlg->manifestBox()->isEnabled());

    const QString folder = base.file("lab/") + ProblemOrder::kCustomer;
    for (const bool force : {false, true}) {
        QStringList pages;
        WhenShown<CPreflightDlg>([&pages, force](CPreflightDlg* preflight) {
            for (int i = 0; i < preflight->findings()->topLevelItemCount(); ++i)
                pages << preflight->findings()->topLevelItem(i)->text(0);
            QTest::mouseClick(force ? preflight->forceButton() : preflight->closeButton(),
                              Qt::LeftButton);
        });
        Press(*dlg, CTaskListDlg::Export);
        EXPECT_EQ(pages, (QStringList{"C", "A", "A-2", "B", "B-2", "B-3"}));
        EXPECT_EQ(QFileInfo::exists(folder), force);
    }
    EXPECT_EQ(asked, 2); // once a press, not again to export anyway
    // Forced, every rendered page goes with the findings; the page not
    // rendered still fails the export, named.
    EXPECT_TRUE(QFileInfo::exists(folder + "/preflight.json"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/01-A.jpg"));
    EXPECT_TRUE(messages.informed.last().contains("B-2")) << messages.informed.last().toStdString();

    order.Fix();
    Press(*dlg, CTaskListDlg::Export);
    EXPECT_EQ(messages.informed.last(), QStringLiteral("导出成功!"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/03-B.jpg"));
    EXPECT_TRUE(ReadBytes(folder + "/manifest.csv").contains("B,03-B.jpg,"));
    QTest::keyClick(dlg->labBox(), Qt::Key_Home);
    EXPECT_FALSE(dlg->manifestBox()->isChecked());
    EXPECT_TRUE(dlg->manifestBox()->isEnabled());
}
