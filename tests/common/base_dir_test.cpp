#include "common/base_dir.h"
#include "common/install_layout.h"
#include "common/profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {
enum class Winner { Option, Environment, ProgramFolder, UserData };

struct BaseRow {
    const char* name;
    const char* programFolder; // below the test's folder
    bool option;
    bool environment;
    Winner expected; // for a program folder the probe finds writable
};
} // namespace

// A program folder the probe finds read-only goes to the user's data folder:
// chmod stops ordinary users, while root writes anyway and keeps the program
// folder, so the read-only row is judged through the program's own probe.
TEST(BaseDir, ChoiceFollowsTheRule) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString top = root.path();
    for (const char* dir : {"portable", "readonly", "usr/bin", "option", "env", "data/taoban"})
        ASSERT_TRUE(QDir().mkpath(top + "/" + dir));
    // What makes "usr/bin" an installed program's folder.
    ASSERT_TRUE(QDir().mkpath(InstalledDataDir(top + "/usr/bin")));
    ASSERT_TRUE(QFile::setPermissions(top + "/readonly", QFile::ReadOwner | QFile::ExeOwner));
    if (geteuid() != 0) {
        EXPECT_FALSE(IsWritableFolder(top + "/readonly"));
    }
    EXPECT_TRUE(IsWritableFolder(top + "/portable"));
    EXPECT_FALSE(IsWritableFolder(top + "/missing"));

    const BaseRow rows[] = {
        {"writable program folder", "portable", false, false, Winner::ProgramFolder},
        {"read-only program folder", "readonly", false, false, Winner::ProgramFolder},
        {"installed program, even when writable", "usr/bin", false, false, Winner::UserData},
        {"--base wins over everything", "portable", true, true, Winner::Option},
        {"TAOBAN_BASE wins over the folders", "portable", false, true, Winner::Environment},
        {"TAOBAN_BASE wins for an installed program", "usr/bin", false, true, Winner::Environment},
    };
    for (const BaseRow& row : rows) {
        BaseCandidates c;
        c.programDir = top + "/" + row.programFolder;
        c.userDataDir = top + "/data/taoban";
        if (row.option)
            c.option = top + "/option";
        if (row.environment)
            c.environment = top + "/env";
        Winner expected = row.expected;
        if (expected == Winner::ProgramFolder && !IsWritableFolder(c.programDir))
            expected = Winner::UserData;
        const QString want[] = {c.option, c.environment, c.programDir, c.userDataDir};
        EXPECT_EQ(ChooseBaseDir(c), want[static_cast<int>(expected)]) << row.name;
    }
    QFile::setPermissions(top + "/readonly",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(BaseDir, OptionIsTakenOutOfTheArguments) {
    const QString old = BaseDir();
    const QByteArray oldEnv = qgetenv("TAOBAN_BASE");
    qputenv("TAOBAN_BASE", "/tmp/from-env");
    QStringList args{"/opt/taoban/taoban-cli", "--base", "/tmp/工作 室/", "library"};
    ASSERT_TRUE(InitBaseDir(args));
    EXPECT_EQ(BaseDir(), "/tmp/工作 室");
    EXPECT_EQ(args, (QStringList{"/opt/taoban/taoban-cli", "library"}));
    EXPECT_EQ(BasePath("设置/产品.ini"), "/tmp/工作 室/设置/产品.ini");

    QStringList joined{"/opt/taoban/taoban-cli", "--base=/tmp/b", "library"};
    ASSERT_TRUE(InitBaseDir(joined));
    EXPECT_EQ(BaseDir(), "/tmp/b");
    EXPECT_EQ(joined, (QStringList{"/opt/taoban/taoban-cli", "library"}));

    QStringList envOnly{"/opt/taoban/taoban-cli"};
    ASSERT_TRUE(InitBaseDir(envOnly));
    EXPECT_EQ(BaseDir(), "/tmp/from-env");

    QStringList missing{"/x/taoban", "--base"};
    EXPECT_FALSE(InitBaseDir(missing));
    if (oldEnv.isEmpty())
        qunsetenv("TAOBAN_BASE");
    else
        qputenv("TAOBAN_BASE", oldEnv);
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
