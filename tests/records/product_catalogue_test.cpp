#include "records/product_catalogue.h"

#include "records/gbk_text_keeping_bytes.h"
#include "records/workspace_paths.h"
#include "records_test_util.h"
#include "test_support.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(ProductCatalogue, AddTrimsAndKeepsSizesAsTyped) {
    TestFolder dir;
    ProductCatalogue catalogue;
    catalogue.Load();
    EXPECT_TRUE(catalogue.Entries().isEmpty()); // no file yet
    RecordingMessages messages;
    ASSERT_TRUE(catalogue.Add("  A3 ", " 29.7 ", "42\t", messages));
    ASSERT_TRUE(catalogue.Add(QStringLiteral("相册"), "20", "30.00", messages));
    EXPECT_TRUE(messages.informed.isEmpty());
    ASSERT_TRUE(catalogue.Save());

    EXPECT_EQ(CataloguePath(), dir.file(QStringLiteral("设置/产品.ini")));
    EXPECT_EQ(ReadBytes(CataloguePath()),
              "<n>A3<w>29.7</w><h>42</h></n>\r\n" +
                  ToGbk(QStringLiteral("<n>相册<w>20</w><h>30.00</h></n>\r\n")));

    ProductCatalogue again;
    again.Load();
    ASSERT_EQ(again.Entries().size(), 2);
    EXPECT_EQ(again.Entries()[0], (ProductEntry{"A3", "29.7", "42"}));
    EXPECT_EQ(again.Entries()[1], (ProductEntry{QStringLiteral("相册"), "20", "30.00"}));
}

TEST(ProductCatalogue, SizesBelowOneHundredthOrNotNumbersAreRefused) {
    TestFolder dir;
    ProductCatalogue catalogue;
    RecordingMessages messages;
    EXPECT_FALSE(catalogue.Add("a", "0.009", "10", messages));
    EXPECT_FALSE(catalogue.Add("b", "10", "cm10", messages));
    EXPECT_FALSE(catalogue.Add("c", "", "10", messages));
    EXPECT_FALSE(catalogue.Add("d", "-5", "10", messages));
    EXPECT_FALSE(catalogue.Add("e", "1e999", "10", messages));
    EXPECT_FALSE(catalogue.Add("f", "nan", "10", messages));
    EXPECT_FALSE(catalogue.Add("g", "10 20", "10", messages));  // would break the listed form
    EXPECT_FALSE(catalogue.Add("h", "10</w>", "10", messages)); // would break the file
    EXPECT_EQ(messages.informed, QStringList(8, QStringLiteral("尺寸错误")));
    EXPECT_TRUE(catalogue.Entries().isEmpty());

    messages.informed.clear();
    EXPECT_TRUE(catalogue.Add("ok", "0.01", "0.01", messages));
    EXPECT_TRUE(catalogue.Add("cm", "25.5cm", "1e1", messages)); // leading number counts
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_EQ(catalogue.Entries().size(), 2);
}

TEST(ProductCatalogue, SizesAboveTheLargestPageAtThreeHundredDpiAreRefused) {
    TestFolder dir;
    ProductCatalogue catalogue;
    RecordingMessages messages;
    // 100 x 150 cm is 11811 x 17716 pixels at 300 dpi: 209 megapixels.
    EXPECT_TRUE(catalogue.Add("大幅", "100", "150", messages));
    EXPECT_FALSE(catalogue.Add("X", "327", "327", messages));
    EXPECT_FALSE(catalogue.Add("Y", "100", "180", messages)); // 251 megapixels
    EXPECT_EQ(messages.informed, QStringList(2, QStringLiteral("尺寸错误")));
    EXPECT_EQ(catalogue.Entries().size(), 1);
}

TEST(ProductCatalogue, DuplicateNamesAreExactMatchesOnly) {
    TestFolder dir;
    ProductCatalogue catalogue;
    RecordingMessages messages;
    ASSERT_TRUE(catalogue.Add("A3", "29.7", "42", messages));
    EXPECT_FALSE(catalogue.Add(" A3 ", "1", "1", messages));
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("此产品已存在!")});
    EXPECT_TRUE(catalogue.Add("a3", "1", "1", messages)); // letter case differs
    EXPECT_EQ(catalogue.Entries().size(), 2);
}

TEST(ProductCatalogue, NamesThatOrdersCannotCarryAreRefused) {
    TestFolder dir;
    ProductCatalogue catalogue;
    RecordingMessages messages;
    EXPECT_FALSE(catalogue.Add("   ", "10", "10", messages)); // empty: ignored silently
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_FALSE(catalogue.Add("big album", "10", "10", messages));
    EXPECT_FALSE(catalogue.Add(QStringLiteral("大　册"), "10", "10", messages));
    EXPECT_EQ(messages.informed, QStringList(2, QStringLiteral("产品名称不能包含空格!")));
    messages.informed.clear();
    EXPECT_FALSE(catalogue.Add("a<w>b", "10", "10", messages));
    EXPECT_FALSE(catalogue.Add(QStringLiteral("x\x01y"), "10", "10", messages));
    EXPECT_FALSE(catalogue.Add(QString::fromUtf8("\xF0\x9F\x93\xB7"), "10", "10", messages));
    // Page names are the product name and "-2000" at most, in 99 GBK bytes.
    EXPECT_FALSE(catalogue.Add("a/b", "10", "10", messages));
    EXPECT_FALSE(catalogue.Add("a\\b", "10", "10", messages));
    EXPECT_FALSE(catalogue.Add(QString(95, 'x'), "10", "10", messages));
    EXPECT_FALSE(catalogue.Add(QString(48, QChar(0x76F8)), "10", "10", messages));
    EXPECT_EQ(messages.informed, QStringList(7, QStringLiteral("产品名称有非法字符!")));
    EXPECT_TRUE(catalogue.Entries().isEmpty());
    messages.informed.clear();
    EXPECT_TRUE(catalogue.Add(QString(94, 'x'), "10", "10", messages));
    EXPECT_TRUE(catalogue.Add(QString(47, QChar(0x76F8)), "10", "10", messages));
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST(ProductCatalogue, DeleteNeedsASelectionAndAConfirmation) {
    TestFolder dir;
    ProductCatalogue catalogue;
    RecordingMessages messages(false);
    ASSERT_TRUE(catalogue.Add("A3", "29.7", "42", messages));
    ASSERT_TRUE(catalogue.Add("A4", "21", "29.7", messages));

    EXPECT_FALSE(catalogue.Delete("", messages));
    EXPECT_FALSE(catalogue.Delete("A5", messages));
    EXPECT_EQ(messages.informed, QStringList(2, QStringLiteral("请先选中您要删除的产品!")));
    EXPECT_TRUE(messages.asked.isEmpty());

    EXPECT_FALSE(catalogue.Delete(QStringLiteral("A3 宽:29.7 高:42"), messages)); // answered No
    EXPECT_EQ(messages.asked, QStringList{QStringLiteral("确认删除吗？")});
    EXPECT_EQ(catalogue.Entries().size(), 2);

    messages.SetAnswer(true);
    EXPECT_TRUE(catalogue.Delete(QStringLiteral("A3 宽:29.7 高:42"), messages));
    ASSERT_EQ(catalogue.Entries().size(), 1);
    EXPECT_EQ(catalogue.Entries()[0].name, "A4");
}

TEST(ProductCatalogue, DisplayTextSplitsBackIntoItsFields) {
    const ProductEntry entry{QStringLiteral("相册"), "25.4", "30"};
    const QString text = ProductDisplayText(entry);
    EXPECT_EQ(text, QStringLiteral("相册 宽:25.4 高:30"));
    EXPECT_EQ(SplitProductDisplayText(text), entry);
    EXPECT_EQ(SplitProductDisplayText("solo"), (ProductEntry{"solo", "", ""}));
    // Values that hold "%1" are not taken for placeholders.
    EXPECT_EQ(ProductDisplayText({"%2", "%1", "%3"}), QStringLiteral("%2 宽:%1 高:%3"));
}

TEST(ProductCatalogue, LoadTakesMixedLineEndsAndGbkNames) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    ASSERT_TRUE(
        WriteBytes(CataloguePath(), ToGbk(QStringLiteral("<n>相册<w>20</w><h>30</h></n>\r\n"
                                                         "<n>A4<w>21</w><h>29.7</h></n>\n"
                                                         "<n>A3<w>29.7</w><h>42</h></n>"))));
    ProductCatalogue catalogue;
    catalogue.Load();
    ASSERT_EQ(catalogue.Entries().size(), 3);
    EXPECT_EQ(catalogue.Entries()[0], (ProductEntry{QStringLiteral("相册"), "20", "30"}));
    EXPECT_EQ(catalogue.Entries()[1], (ProductEntry{"A4", "21", "29.7"}));
    EXPECT_EQ(catalogue.Entries()[2], (ProductEntry{"A3", "29.7", "42"}));
    EXPECT_EQ(catalogue.DisplayTexts()[1], QStringLiteral("A4 宽:21 高:29.7"));
    ASSERT_NE(catalogue.Find("A3"), nullptr);
    EXPECT_EQ(catalogue.Find("A3")->height, "42");
    EXPECT_EQ(catalogue.Find("a3"), nullptr);
}

TEST(ProductCatalogue, DamagedLinesGiveGarbledEntriesButNothingIsLostOnSave) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    // An entry without size tags, an empty element that ends the reading,
    // and an entry after it that the reader never reaches.
    const QByteArray damaged = "<n>A<w>1</w><h>2</h></n>\r\n"
                               "<n>B</n>\r\n"
                               "<n></n>\r\n"
                               "<n>C<w>3</w><h>4</h></n>\r\n"
                               "junk\r\n";
    ASSERT_TRUE(WriteBytes(CataloguePath(), damaged));
    ProductCatalogue catalogue;
    catalogue.Load();
    ASSERT_EQ(catalogue.Entries().size(), 2);
    EXPECT_EQ(catalogue.Entries()[0], (ProductEntry{"A", "1", "2"}));
    EXPECT_EQ(catalogue.Entries()[1], (ProductEntry{"B", "", ""}));

    ASSERT_TRUE(catalogue.Save());
    const QByteArray saved = ReadBytes(CataloguePath());
    EXPECT_TRUE(saved.contains("<n>C<w>3</w><h>4</h></n>")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("junk")) << saved.toStdString();
    // The kept text is read again once the empty element is gone.
    ProductCatalogue reread;
    reread.Load();
    ASSERT_EQ(reread.Entries().size(), 3);
    EXPECT_EQ(reread.Entries()[2], (ProductEntry{"C", "3", "4"}));

    // A file of nothing but a missing closing tag loads empty and is kept.
    ASSERT_TRUE(WriteBytes(CataloguePath(), "<n>X<w>1</w><h>2</h>\r\n"));
    catalogue.Load();
    EXPECT_TRUE(catalogue.Entries().isEmpty());
    ASSERT_TRUE(catalogue.Save());
    EXPECT_EQ(ReadBytes(CataloguePath()), "<n>X<w>1</w><h>2</h>\r\n");
}

TEST(ProductCatalogue, BytesThatAreNotGbkSurviveLoadAndSave) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    const QByteArray odd = QByteArray("<n>A\xFF\x80<w>1</w><h>2</h></n>\r\n", 28) +
                           ToGbk(QStringLiteral("<n>册<w>3</w><h>4</h></n>\r\n"));
    ASSERT_TRUE(WriteBytes(CataloguePath(), odd));
    ProductCatalogue catalogue;
    catalogue.Load();
    ASSERT_EQ(catalogue.Entries().size(), 2);
    EXPECT_EQ(catalogue.Entries()[1].name, QStringLiteral("册"));
    ASSERT_TRUE(catalogue.Save());
    EXPECT_EQ(ReadBytes(CataloguePath()), odd);
}

// Found by fuzzing: a lone GBK lead byte before "<w>" meets the "]" that
// stood after "</w>" once the name is put back together, and the two read as
// one character after the save. The name's bytes are what the file keeps,
// and they stay the same.
TEST(ProductCatalogue, ANameJoinedFromADamagedLineKeepsItsBytes) {
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    ASSERT_TRUE(WriteBytes(CataloguePath(), "<n>\xB0\xDA+\xA8<w>12.4</w>]<h>20</h></n>\r\n"));
    ProductCatalogue catalogue;
    catalogue.Load();
    ASSERT_EQ(catalogue.Entries().size(), 1);
    ASSERT_TRUE(catalogue.Save());
    EXPECT_EQ(ReadBytes(CataloguePath()), "<n>\xB0\xDA+\xA8]<w>12.4</w><h>20</h></n>\r\n");
    ProductCatalogue reread;
    reread.Load();
    ASSERT_EQ(reread.Entries().size(), 1);
    EXPECT_EQ(EncodeGbkKeepingBytes(reread.Entries()[0].name),
              EncodeGbkKeepingBytes(catalogue.Entries()[0].name));
    EXPECT_EQ(reread.Entries()[0].width, "12.4");
}

TEST(ProductCatalogue, SaveCreatesTheSettingsFolderAndFailsCleanly) {
    TestFolder dir;
    ProductCatalogue catalogue;
    RecordingMessages messages;
    ASSERT_TRUE(catalogue.Add("A3", "29.7", "42", messages));
    ASSERT_FALSE(QFileInfo::exists(SettingsFolder()));
    ASSERT_TRUE(catalogue.Save());
    EXPECT_TRUE(QFileInfo(SettingsFolder()).isDir());
    // A settings "folder" that is a file: the save fails, the file stays.
    ASSERT_TRUE(WriteBytes(dir.file("blocked"), "keep"));
    EXPECT_FALSE(catalogue.Save(dir.file("blocked/产品.ini")));
    EXPECT_EQ(ReadBytes(dir.file("blocked")), "keep");
}
