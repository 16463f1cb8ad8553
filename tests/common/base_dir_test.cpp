#include "common/base_dir.h"
#include "common/profile.h"

#include <gtest/gtest.h>

TEST(BaseDir, OptionWinsOverEnvironmentAndExecutableFolder) {
    const QString old = BaseDir();
    qputenv("TAOBAN_BASE", "/tmp/from-env");
    QStringList args{"/opt/taoban/taoban-cli", "--base", "/tmp/工作 室", "library"};
    ASSERT_TRUE(InitBaseDir(args));
    EXPECT_EQ(BaseDir(), "/tmp/工作 室");
    EXPECT_EQ(args, (QStringList{"/opt/taoban/taoban-cli", "library"}));
    EXPECT_EQ(BasePath("设置/产品.ini"), "/tmp/工作 室/设置/产品.ini");

    QStringList envOnly{"/opt/taoban/taoban-cli"};
    ASSERT_TRUE(InitBaseDir(envOnly));
    EXPECT_EQ(BaseDir(), "/tmp/from-env");

    qunsetenv("TAOBAN_BASE");
    QStringList exeOnly{"/opt/taoban/taoban-cli"};
    ASSERT_TRUE(InitBaseDir(exeOnly));
    EXPECT_EQ(BaseDir(), "/opt/taoban");

    QStringList missing{"/x/taoban", "--base"};
    EXPECT_FALSE(InitBaseDir(missing));
    SetBaseDir(old);
}

TEST(Profile, StringsAndBinaryRoundTrip) {
    EXPECT_EQ(Profile::GetString("Version 1.0", "dpi", "254"), "254");
    Profile::SetString("Version 1.0", "dpi", "300");
    EXPECT_EQ(Profile::GetString("Version 1.0", "dpi", "254"), "300");
    const QByteArray widths("\x01\x00\xFF", 3);
    Profile::SetBinary("mylist", "11132", widths);
    EXPECT_EQ(Profile::GetBinary("mylist", "11132"), widths);
    Profile::SetString("Version 1.0", "dpi", "254");
}
