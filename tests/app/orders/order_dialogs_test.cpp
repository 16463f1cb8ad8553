#include "app/orders/customer_dialog.h"
#include "app/orders/product_manage_dialog.h"
#include "app/orders/product_pick_dialog.h"
#include "app/orders/quantity_list_ctrl.h"
#include "common/messages.h"
#include "modal_helper.h"
#include "records/customer_details.h"
#include "records/order_lines.h"
#include "records/product_catalogue.h"
#include "records/workspace_paths.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void Show(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// Key clicks for ASCII; QTest has no keys for Chinese, which is put in as an
// input method would.
void Type(QLineEdit* edit, const QString& text) {
    edit->clear();
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
}

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList Names(const ProductCatalogue& catalogue) {
    QStringList names;
    for (const ProductEntry& e : catalogue.Entries())
        names.append(e.name);
    return names;
}

QStringList SavedNames() {
    ProductCatalogue saved;
    saved.Load();
    return Names(saved);
}

void WriteCatalogue(const QList<ProductEntry>& entries) {
    ProductCatalogue catalogue;
    RecordingMessages quiet;
    for (const ProductEntry& e : entries)
        ASSERT_TRUE(catalogue.Add(e.name, e.width, e.height, quiet));
    ASSERT_TRUE(catalogue.Save());
}

QStringList ListTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

// Ticks the listed products in the choice dialog and presses OK.
void PickProducts(CProductPickDlg* pick, const QStringList& names) {
    for (const QString& name : names) {
        const QList<QListWidgetItem*> found =
            pick->list()->findItems(name + " ", Qt::MatchStartsWith);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QRect cell = pick->list()->visualItemRect(found.first());
        QTest::mouseClick(pick->list()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    Click(pick->okButton());
}

// A double click as the mouse gives it: press and release, then the second
// press that the system reports as a double click.
void DoubleClickCell(CQuantityListCtrl* list, int row, int column) {
    const QPoint centre = list->visualRect(list->model()->index(row, column)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

TEST(ProductManageDlg, EnterAddsAndSelectingARowCopiesItIntoTheEdits) {
    TestFolder base;
    RecordingMessages messages;
    CProductManageDlg dlg(messages);
    Show(&dlg);
    Type(dlg.nameEdit(), "  A3 ");
    Type(dlg.widthEdit(), "29.7");
    Type(dlg.heightEdit(), "42");
    QTest::keyClick(dlg.heightEdit(), Qt::Key_Return);
    Type(dlg.nameEdit(), QStringLiteral("相册"));
    Type(dlg.widthEdit(), "30");
    Type(dlg.heightEdit(), "0.009");
    QTest::keyClick(dlg.nameEdit(), Qt::Key_Enter);
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("尺寸错误")});
    EXPECT_TRUE(dlg.isVisible()); // Enter adds; it does not close the dialog
    EXPECT_EQ(ListTexts(dlg.list()), QStringList{QStringLiteral("A3 宽:29.7 高:42")});

    Type(dlg.nameEdit(), "");
    dlg.list()->setCurrentRow(0);
    EXPECT_EQ(dlg.nameEdit()->text(), "A3");
    EXPECT_EQ(dlg.widthEdit()->text(), "29.7");
    EXPECT_EQ(dlg.heightEdit()->text(), "42");
}

TEST(ProductManageDlg, ListIsSortedAndEveryChangeIsWrittenAtOnce) {
    enum Close { Cancel, Escape, CloseBox };
    for (const Close how : {Cancel, Escape, CloseBox}) {
        TestFolder base;
        RecordingMessages messages;
        CProductManageDlg dlg(messages);
        Show(&dlg);
        for (const char* name : {"b", "a"}) {
            Type(dlg.nameEdit(), name);
            Type(dlg.widthEdit(), "10");
            Type(dlg.heightEdit(), "10");
            Click(dlg.addButton());
        }
        EXPECT_EQ(ListTexts(dlg.list()),
                  (QStringList{QStringLiteral("a 宽:10 高:10"), QStringLiteral("b 宽:10 高:10")}));
        EXPECT_EQ(SavedNames(), (QStringList{"b", "a"})) << "written before the dialog closes";
        if (how == Cancel)
            Click(dlg.cancelButton());
        else if (how == Escape)
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(SavedNames(), (QStringList{"b", "a"})) << how; // the file keeps adding order
        EXPECT_TRUE(messages.informed.isEmpty());
    }
}

TEST(ProductManageDlg, DeleteNeedsASelectionAndAsks) {
    TestFolder base;
    WriteCatalogue({{"a", "1", "1"}, {"b", "2", "2"}});
    RecordingMessages messages(false);
    CProductManageDlg dlg(messages);
    Show(&dlg);
    Click(dlg.deleteButton());
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("请先选中您要删除的产品!")});
    EXPECT_TRUE(messages.asked.isEmpty());

    dlg.list()->setCurrentRow(1);
    Click(dlg.deleteButton());
    EXPECT_EQ(messages.asked, QStringList{QStringLiteral("确认删除吗？")});
    EXPECT_EQ(dlg.list()->count(), 2); // answered No
    messages.SetAnswer(true);
    Click(dlg.deleteButton());
    EXPECT_EQ(Names(dlg.catalogue()), QStringList{"a"});
    EXPECT_EQ(ListTexts(dlg.list()), QStringList{QStringLiteral("a 宽:1 高:1")});
}

TEST(ProductManageDlg, CatalogueThatCannotBeWrittenIsReported) {
    TestFolder base;
    ASSERT_TRUE(WriteBytes(SettingsFolder(), "a file where the folder belongs"));
    RecordingMessages messages;
    {
        CProductManageDlg dlg(messages);
        Type(dlg.nameEdit(), "a");
        Type(dlg.widthEdit(), "1");
        Type(dlg.heightEdit(), "1");
        Click(dlg.addButton());
        dlg.reject();
    }
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("保存失败!")});
}

TEST(ProductPickDlg, ChoosesSeveralInListOrderAndRefusesNone) {
    TestFolder base;
    WriteCatalogue({{"C", "3", "3"}, {"A", "1", "1"}, {"B", "2", "2"}});
    RecordingMessages messages;
    CProductPickDlg pick(messages);
    Show(&pick);
    Click(pick.okButton());
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("没有选中产品！")});
    EXPECT_TRUE(pick.isVisible());
    PickProducts(&pick, {"C", "A", "B"});
    const QListWidgetItem* b = pick.list()->findItems("B ", Qt::MatchStartsWith).first();
    QTest::mouseClick(pick.list()->viewport(), Qt::LeftButton, {},
                      pick.list()->visualItemRect(b).center()); // a second click takes B out
    Click(pick.okButton());
    EXPECT_EQ(pick.result(), QDialog::Accepted);
    EXPECT_EQ(pick.ChosenProducts(),
              (QStringList{QStringLiteral("A 宽:1 高:1"), QStringLiteral("C 宽:3 高:3")}));
}

TEST(ProductPickDlg, CatalogueEditedFromHereCanBeChosenAtOnce) {
    TestFolder base;
    RecordingMessages messages;
    CProductPickDlg pick(messages);
    Show(&pick);
    EXPECT_EQ(pick.list()->count(), 0);
    WhenShown<CProductManageDlg>([](CProductManageDlg* manage) {
        Type(manage->nameEdit(), QStringLiteral("相册"));
        Type(manage->widthEdit(), "30");
        Type(manage->heightEdit(), "30");
        Click(manage->addButton());
        Click(manage->cancelButton());
    });
    Click(pick.manageButton());
    EXPECT_EQ(ListTexts(pick.list()), QStringList{QStringLiteral("相册 宽:30 高:30")});
}

TEST(CustomerDlg, ChosenProductsGoFirstAndEditModeLocksNameAndPhone) {
    TestFolder base;
    WriteCatalogue({{"A", "10", "10"}, {"B", "20", "20"}, {"C", "30", "30"}});
    CustomerDetails details{
        QStringLiteral("张三"), "13800000000", {{"A", "10", "10", "2", "20"}}, {}};
    RecordingMessages messages;
    QString taskPath;
    ASSERT_TRUE(SaveCustomerDetails(details, messages, &taskPath));
    messages.informed.clear();

    CCustomerDlg dlg(messages, QStringLiteral("张三"), taskPath);
    Show(&dlg);
    EXPECT_EQ(dlg.phoneEdit()->text(), "13800000000");
    EXPECT_TRUE(dlg.nameEdit()->isReadOnly());
    EXPECT_TRUE(dlg.phoneEdit()->isReadOnly());
    WhenShown<CProductPickDlg>([](CProductPickDlg* pick) { PickProducts(pick, {"B", "C"}); });
    Click(dlg.addButton());
    CQuantityListCtrl* list = dlg.orderList();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->CellText(0, 0), QStringLiteral("B 宽:20 高:20"));
    EXPECT_EQ(list->CellText(1, 0), QStringLiteral("C 宽:30 高:30"));
    EXPECT_EQ(list->CellText(2, 0), QStringLiteral("A 宽:10 高:10"));
    EXPECT_EQ(list->CellText(0, 1), "1");
    EXPECT_EQ(list->CellText(2, 1), "2");

    Click(dlg.okButton());
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("保存成功!")});
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const QList<OrderLine> saved = ReadOrderLines(OrderLinesPathForTask(taskPath));
    ASSERT_EQ(saved.size(), 3);
    EXPECT_EQ(saved[0], (OrderLine{"B", "20", "20", "1", "1"}));
    EXPECT_EQ(saved[2], (OrderLine{"A", "10", "10", "2", "20"}));
    EXPECT_EQ(ReadTaskPhone(taskPath), "13800000000");
}

TEST(CustomerDlg, OnlyQuantityAndPagesOpenTheEditorWithTheCaretAtTheEnd) {
    TestFolder base;
    WriteCatalogue({{"A", "10", "10"}});
    RecordingMessages messages;
    CCustomerDlg dlg(messages);
    Show(&dlg);
    WhenShown<CProductPickDlg>([](CProductPickDlg* pick) { PickProducts(pick, {"A"}); });
    Click(dlg.addButton());
    Show(&dlg); // the window the choice dialog gave the focus back to
    CQuantityListCtrl* list = dlg.orderList();
    ASSERT_EQ(list->rowCount(), 1);

    DoubleClickCell(list, 0, 0);
    EXPECT_EQ(list->ActiveEditor(), nullptr);
    for (const int column : {1, 2}) {
        DoubleClickCell(list, 0, column);
        CInPlaceEdit* editor = list->ActiveEditor();
        ASSERT_NE(editor, nullptr) << column;
        EXPECT_EQ(editor->text(), "1");
        EXPECT_TRUE(editor->hasFocus());
        EXPECT_FALSE(editor->hasSelectedText());
        EXPECT_EQ(editor->cursorPosition(), 1);
        EXPECT_TRUE(list->visualRect(list->model()->index(0, column))
                        .contains(editor->geometry().center()));
        QTest::keyClick(editor, Qt::Key_Escape);
        EXPECT_EQ(list->ActiveEditor(), nullptr);
    }
}

TEST(CustomerDlg, EscKeepsTheCellAndEnterClickingElsewhereOrTheTitlesCommit) {
    enum End { Escape, Enter, ClickPhone, ClickTitles };
    struct Case {
        End end;
        const char* typed;
        const char* expected; // "<" or ">" would break the order file: refused
    };
    for (const Case c :
         {Case{Escape, "3", "1"}, Case{Enter, "3", "13"}, Case{ClickPhone, "3", "13"},
          Case{ClickTitles, "3", "13"}, Case{Enter, "</n>", "1"}, Case{ClickPhone, "2>", "1"},
          Case{ClickTitles, "<c", "1"}}) {
        TestFolder base;
        WriteCatalogue({{"A", "10", "10"}});
        RecordingMessages messages;
        CCustomerDlg dlg(messages);
        Show(&dlg);
        WhenShown<CProductPickDlg>([](CProductPickDlg* pick) { PickProducts(pick, {"A"}); });
        Click(dlg.addButton());
        Show(&dlg);
        CQuantityListCtrl* list = dlg.orderList();
        DoubleClickCell(list, 0, 1);
        CInPlaceEdit* editor = list->ActiveEditor();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, c.typed);
        switch (c.end) {
        case Escape:
            QTest::keyClick(editor, Qt::Key_Escape);
            break;
        case Enter:
            QTest::keyClick(editor, Qt::Key_Return);
            break;
        case ClickPhone:
            QTest::mouseClick(dlg.phoneEdit(), Qt::LeftButton);
            break;
        case ClickTitles:
            QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {},
                              QPoint(20, 5));
            break;
        }
        QCoreApplication::processEvents(); // Enter ends the edit on the next turn
        EXPECT_EQ(list->ActiveEditor(), nullptr) << c.end;
        EXPECT_TRUE(dlg.isVisible()) << c.end; // neither Enter nor Esc closes the dialog
        EXPECT_EQ(list->CellText(0, 1), c.expected) << c.end;
        EXPECT_EQ(dlg.form().rows[0].quantity, c.expected) << c.end;
    }
}

TEST(CustomerDlg, NewCustomerIsSavedAndDeleteNeedsASelection) {
    TestFolder base;
    WriteCatalogue({{"A", "10", "10"}});
    RecordingMessages messages;
    CCustomerDlg dlg(messages);
    Show(&dlg);
    Click(dlg.deleteButton());
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("请先选中要删除的产品!")});
    Click(dlg.okButton());
    EXPECT_EQ(messages.informed.last(), QStringLiteral("客人姓名不能为空!"));
    EXPECT_TRUE(dlg.isVisible());

    Type(dlg.nameEdit(), QStringLiteral("李四"));
    Type(dlg.phoneEdit(), "139");
    WhenShown<CProductPickDlg>([](CProductPickDlg* pick) { PickProducts(pick, {"A"}); });
    Click(dlg.addButton());
    Click(dlg.okButton());
    EXPECT_EQ(messages.informed.last(), QStringLiteral("保存成功!"));
    EXPECT_EQ(dlg.TaskPath(), TaskFilePath(CustomerFolder(QStringLiteral("李四"))));
    EXPECT_EQ(ReadTaskPhone(dlg.TaskPath()), "139");
    EXPECT_EQ(ReadOrderLines(OrderLinesPathForTask(dlg.TaskPath())).size(), 1);
}
