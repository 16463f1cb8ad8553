#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>

TEST(CliRunner, PassesArgumentsAndReportsExitCodeAndStreams) {
    const CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: taoban-cli")) << help.out.toStdString();

    const CliResult unknown = RunCli({"no-such-command"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("no-such-command")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.OutLines().isEmpty());
}
