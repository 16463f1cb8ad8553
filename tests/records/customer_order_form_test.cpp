#include "records/customer_order_form.h"

#include "records/workspace_paths.h"
#include "records_test_util.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(CustomerOrderForm, ChosenProductsGoBeforeTheRowsAlreadyThere) {
    CustomerOrderForm form;
    form.AddChosenProducts({QStringLiteral("A 宽:10 高:20")});
    form.SetCellText(0, CustomerOrderForm::kQuantityColumn, "4");
    form.AddChosenProducts({QStringLiteral("B 宽:30 高:40"), QStringLiteral("C 宽:5.5 高:6")});
    ASSERT_EQ(form.rows.size(), 3);
    EXPECT_EQ(form.rows[0], (OrderLine{"B", "30", "40", "1", "1"}));
    EXPECT_EQ(form.rows[1], (OrderLine{"C", "5.5", "6", "1", "1"}));
    EXPECT_EQ(form.rows[2], (OrderLine{"A", "10", "20", "4", "1"}));
    EXPECT_EQ(form.CellText(1, CustomerOrderForm::kProductColumn), QStringLiteral("C 宽:5.5 高:6"));
    // The same product may be ordered twice.
    form.AddChosenProducts({QStringLiteral("A 宽:10 高:20")});
    EXPECT_EQ(form.rows.size(), 4);
}

TEST(CustomerOrderForm, OnlyQuantityAndPagesAreEditableAndKeptAsTyped) {
    CustomerOrderForm form;
    form.AddChosenProducts({QStringLiteral("A 宽:10 高:20")});
    EXPECT_FALSE(form.SetCellText(0, CustomerOrderForm::kProductColumn, "X 宽:1 高:1"));
    EXPECT_TRUE(form.SetCellText(0, CustomerOrderForm::kQuantityColumn, QStringLiteral("两本")));
    EXPECT_TRUE(form.SetCellText(0, CustomerOrderForm::kPagesColumn, "30"));
    EXPECT_FALSE(form.SetCellText(1, CustomerOrderForm::kPagesColumn, "30"));
    // The order file could not read them back.
    EXPECT_FALSE(form.SetCellText(0, CustomerOrderForm::kQuantityColumn, "2</n>"));
    EXPECT_FALSE(form.SetCellText(0, CustomerOrderForm::kPagesColumn, "</c>"));
    EXPECT_EQ(form.rows[0], (OrderLine{"A", "10", "20", QStringLiteral("两本"), "30"}));
    EXPECT_EQ(form.CellText(0, CustomerOrderForm::kQuantityColumn), QStringLiteral("两本"));
    EXPECT_EQ(form.CellText(5, CustomerOrderForm::kQuantityColumn), "");
}

TEST(CustomerOrderForm, DeletingARowNeedsASelectionAndYes) {
    CustomerOrderForm form;
    form.AddChosenProducts({QStringLiteral("A 宽:1 高:1"), QStringLiteral("B 宽:1 高:1")});
    RecordingMessages messages(false);
    EXPECT_FALSE(form.DeleteRow(-1, messages));
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("请先选中要删除的产品!")});
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_FALSE(form.DeleteRow(0, messages));
    EXPECT_EQ(messages.asked, QStringList{QStringLiteral("确认删除吗?")});
    EXPECT_EQ(form.rows.size(), 2);
    messages.SetAnswer(true);
    EXPECT_TRUE(form.DeleteRow(0, messages));
    ASSERT_EQ(form.rows.size(), 1);
    EXPECT_EQ(form.rows[0].name, "B");
}

TEST(CustomerOrderForm, NewTaskSavedThenReopenedForEditing) {
    TestFolder dir;
    CustomerOrderForm form;
    form.name = QStringLiteral("周七");
    form.phone = "777";
    form.AddChosenProducts({QStringLiteral("A3 宽:29.7 高:42")});
    RecordingMessages messages;
    ASSERT_TRUE(form.Save(messages));
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("保存成功!")});
    const QString taskPath = TaskFilePath(CustomerFolder(QStringLiteral("周七")));
    EXPECT_EQ(form.TaskPath(), taskPath);

    CustomerOrderForm reopened;
    reopened.OpenExisting(QStringLiteral("周七"), taskPath);
    EXPECT_TRUE(reopened.IsExisting());
    EXPECT_EQ(reopened.phone, "777");
    ASSERT_EQ(reopened.rows.size(), 1);
    EXPECT_EQ(reopened.rows[0], (OrderLine{"A3", "29.7", "42", "1", "1"}));
    reopened.SetCellText(0, CustomerOrderForm::kPagesColumn, "12");
    const QByteArray taskBytes = ReadBytes(taskPath);
    messages.informed.clear();
    ASSERT_TRUE(reopened.Save(messages));
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(ReadBytes(taskPath), taskBytes);
    EXPECT_EQ(ReadOrderLines(OrderLinesPathForTask(taskPath))[0].pages, "12");
}

TEST(ProductChoice, NothingChosenIsRefused) {
    RecordingMessages messages;
    EXPECT_FALSE(AcceptProductChoice({}, messages));
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("没有选中产品！")});
    EXPECT_TRUE(AcceptProductChoice({QStringLiteral("A 宽:1 高:1")}, messages));
    EXPECT_EQ(messages.informed.size(), 1);
}
