#include "records/dpi_setting.h"
#include "records/installation_id.h"
#include "records/number_text.h"

#include "common/profile.h"
#include "records_test_util.h"

#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {
// Each test gets a profile of its own, so values set by one do not leak
// into the next.
class FreshProfile : public ::testing::Test {
protected:
    void SetUp() override { Profile::UseFolder(folder_.path()); }
    void TearDown() override {
        Profile::UseFolder(QString::fromUtf8(qgetenv("TAOBAN_PROFILE_DIR")));
    }

private:
    QTemporaryDir folder_;
};
using DpiSetting = FreshProfile;
using InstallationIdentifier = FreshProfile;
} // namespace

TEST_F(DpiSetting, AbsentValueIs254AndUnknownTextsCountAs254) {
    EXPECT_EQ(DpiText(), "254");
    EXPECT_EQ(CurrentDpi(), 254);
    EXPECT_EQ(DpiChoiceIndexFor(DpiText()), 1);
    SetDpiText("300");
    EXPECT_EQ(CurrentDpi(), 300);
    EXPECT_EQ(DpiChoiceIndexFor(DpiText()), 2);
    SetDpiText("200");
    EXPECT_EQ(CurrentDpi(), 200);
    for (const char* other : {"254", "150", "", "300 ", "abc"}) {
        SetDpiText(other);
        EXPECT_EQ(CurrentDpi(), 254) << other;
    }
}

TEST_F(DpiSetting, CentimetresTurnIntoPixelsWithTheFractionDropped) {
    EXPECT_EQ(CmToPixels("25.5", 200), 1968); // 25 * 7874 / 100
    EXPECT_EQ(CmToPixels("20", 300), 2362);
    EXPECT_EQ(CmToPixels("30", 300), 3543);
    EXPECT_EQ(CmToPixels("25.9", 254), 2500);
    EXPECT_EQ(CmToPixels("29.7", 254), 2900);
    EXPECT_EQ(CmToPixels("1", 200), 78);
    EXPECT_EQ(CmToPixels("0.5", 300), 0);
    EXPECT_EQ(CmToPixels("abc", 300), 0);
    // Absurd sizes saturate instead of wrapping round.
    EXPECT_EQ(CmToPixels("99999999999", 300), INT_MAX);

    SetDpiText("300");
    EXPECT_EQ(CmToPixels("20"), 2362);
    SetDpiText("x");
    EXPECT_EQ(CmToPixels("20"), 2000);
}

TEST_F(DpiSetting, PixelsTurnBackIntoCentimetres) {
    EXPECT_DOUBLE_EQ(PixelsToCm(2000, 254), 20.0);
    EXPECT_DOUBLE_EQ(PixelsToCm(1000, 200), 12.7000254);
    EXPECT_DOUBLE_EQ(PixelsToCm(1000, 300), 8.4666836);
    SetDpiText("200");
    EXPECT_DOUBLE_EQ(PixelsToCm(1000), 12.7000254);
}

TEST_F(DpiSetting, DialogChoicesAndWhatTheyStore) {
    EXPECT_EQ(DpiChoices(), (QStringList{"200", "254", "300"}));
    EXPECT_EQ(DpiChoiceIndexFor("200"), 0);
    EXPECT_EQ(DpiChoiceIndexFor("3"), 2); // first choice beginning with the text
    EXPECT_EQ(DpiChoiceIndexFor("999"), -1);
    EXPECT_EQ(DpiTextForChoice(0), "200");
    EXPECT_EQ(DpiTextForChoice(1), "254");
    EXPECT_EQ(DpiTextForChoice(2), "300");
    EXPECT_EQ(DpiTextForChoice(-1), "254");
}

TEST_F(InstallationIdentifier, TakesTheFirstDigitOfEachRandomNumber) {
    const QList<int> numbers{32767, 5, 10, 0, 999, 21, 7, 31000, 4, 6, 88};
    int next = 0;
    EXPECT_EQ(MakeInstallationId([&] { return numbers[next++]; }), "3510927346");
    EXPECT_EQ(next, 10);
}

TEST_F(InstallationIdentifier, MadeOnceThenKept) {
    const QString id = InstallationId();
    ASSERT_EQ(id.size(), 10);
    for (const QChar c : id)
        EXPECT_TRUE(c.isDigit()) << id.toStdString();
    EXPECT_EQ(Profile::GetString("Version 1.0", "id"), id);
    EXPECT_EQ(InstallationId(), id);

    Profile::SetString("Version 1.0", "id", "0123456789");
    EXPECT_EQ(InstallationId(), "0123456789");
}

TEST(NumberText, IntegersReadTheLeadingDigits) {
    EXPECT_EQ(TextToInt("25.5"), 25);
    EXPECT_EQ(TextToInt("  -7x"), -7);
    EXPECT_EQ(TextToInt("+12"), 12);
    EXPECT_EQ(TextToInt("x12"), 0);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("99999999999"), INT_MAX);
    EXPECT_EQ(TextToInt("-99999999999"), INT_MIN);
}

TEST(NumberText, DecimalsReadTheLeadingNumberOnly) {
    EXPECT_DOUBLE_EQ(TextToDouble("29.7"), 29.7);
    EXPECT_DOUBLE_EQ(TextToDouble(" 0.009"), 0.009);
    EXPECT_DOUBLE_EQ(TextToDouble("25.5cm"), 25.5);
    EXPECT_DOUBLE_EQ(TextToDouble(".5"), 0.5);
    EXPECT_DOUBLE_EQ(TextToDouble("5."), 5.0);
    EXPECT_DOUBLE_EQ(TextToDouble("-3"), -3.0);
    EXPECT_DOUBLE_EQ(TextToDouble("+3"), 3.0);
    EXPECT_DOUBLE_EQ(TextToDouble("1e2x"), 100.0);
    EXPECT_DOUBLE_EQ(TextToDouble("2e"), 2.0);
    EXPECT_DOUBLE_EQ(TextToDouble("2e+"), 2.0);
    EXPECT_DOUBLE_EQ(TextToDouble("1,5"), 1.0); // no locale: the comma ends it
    for (const char* none : {"", ".", "-", "abc", "inf", "nan", "e5", "1e999"})
        EXPECT_EQ(TextToDouble(none), 0.0) << none;
    EXPECT_EQ(TextToDouble("0x10"), 0.0);
}
