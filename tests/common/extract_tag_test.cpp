#include "common/extract_tag.h"

#include <gtest/gtest.h>

TEST(ExtractTag, TakesFirstElementOutOfText) {
    QString text = "<n>A3<w>29.7</w><h>42</h></n><n>B<w>1</w><h>2</h></n>";
    QString outer = ExtractTag(text, "<n>");
    EXPECT_EQ(outer, "A3<w>29.7</w><h>42</h>");
    EXPECT_EQ(text, "<n>B<w>1</w><h>2</h></n>");
    EXPECT_EQ(ExtractTag(outer, "<w>"), "29.7");
    EXPECT_EQ(ExtractTag(outer, "<h>"), "42");
    EXPECT_EQ(outer, "A3");
}

TEST(ExtractTag, MissingTagsLeaveTextUnchanged) {
    QString noOpen = "abc</w>def";
    EXPECT_EQ(ExtractTag(noOpen, "<w>"), "");
    EXPECT_EQ(noOpen, "abc</w>def");

    QString noClose = "abc<w>def<h>1</h>";
    EXPECT_EQ(ExtractTag(noClose, "<w>"), "");
    EXPECT_EQ(noClose, "abc<w>def<h>1</h>");

    // A misspelt closing tag is simply not found.
    QString misspelt = "<w>12<w/>";
    EXPECT_EQ(ExtractTag(misspelt, "<w>"), "");
    EXPECT_EQ(misspelt, "<w>12<w/>");
}

TEST(ExtractTag, ClosingTagIsSearchedFromTheStart) {
    // The first closing tag of the text ends the value, even one belonging
    // to an earlier element.
    QString text = "<p>a</p>x<p>b</p>";
    EXPECT_EQ(ExtractTag(text, "<p>"), "a");
    EXPECT_EQ(text, "x<p>b</p>");

    // A stray closing tag before the opening one encloses nothing.
    QString stray = "</w>x<w>1</w>";
    EXPECT_EQ(ExtractTag(stray, "<w>"), "");
    EXPECT_EQ(stray, "</w>x<w>1</w>");
}

TEST(ExtractTag, EmptyValueIsTakenOutToo) {
    QString text = "a<c></c>b";
    EXPECT_EQ(ExtractTag(text, "<c>"), "");
    EXPECT_EQ(text, "ab");
}

TEST(ExtractTag, ChineseTextAndMultiLetterTags) {
    QString text = "<s>婚纱\\1</s><i></i>";
    EXPECT_EQ(ExtractTag(text, "<s>"), "婚纱\\1");
    EXPECT_EQ(text, "<i></i>");
    EXPECT_EQ(ExtractTag(text, "<i>"), "");
    EXPECT_EQ(text, "");
}

TEST(ExtractEveryTag, GivesWhatRepeatedExtractTagGives) {
    const char* texts[] = {
        "<i>a</i><i>b</i>",
        "x<i>a</i>y<i>b</i>z",
        "<i>a</i><i></i><i>c</i>",
        "</i>x<i>a</i>",
        "<i>a</i></i><i>b</i>",
        "<i>a<i>b</i>c</i>",
        "<i>a</i><i>b",
        "no tags",
        "",
        "<i>婚纱\\1</i>\r\n<i>2</i>",
    };
    for (const char* t : texts) {
        QString text = QString::fromUtf8(t);
        QStringList expected;
        for (QString v = ExtractTag(text, "<i>"); !v.isEmpty(); v = ExtractTag(text, "<i>"))
            expected.append(v);
        EXPECT_EQ(ExtractEveryTag(QString::fromUtf8(t), "<i>", 100), expected) << t;
    }
    EXPECT_EQ(ExtractEveryTag("<i>1</i><i>2</i><i>3</i>", "<i>", 2), (QStringList{"1", "2"}));
}
