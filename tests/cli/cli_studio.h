#pragma once

#include "cli_runner.h"
#include "test_support.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>

// What a test shows when a run of taoban-cli did not end as expected.
std::string Show(const CliResult& r);

// Sets the profile value "dpi" of the test run; empty removes it.
void SetDpi(const QString& value);

// count small template pages packed into dir (a background and two slots).
QStringList PackedTemplates(const TestFolder& dir, int count);

// Two template pages: from the demo library the build draws when it is
// there, else packed.
QStringList TwoTemplates(const TestFolder& dir);

// A JPEG photo of w x h written into dir.
QString Photo(const TestFolder& dir, const QString& name, int w, int h);

// Runs taoban-cli under strace, which kills it with SIGKILL at the when-th
// rename (1 for the first) of any of its threads. Returns the run's result;
// exitCode is -1 when the kill came.
CliResult RunCliKilledAtRename(const QStringList& args, const QString& base, int when);

// Every file under folder that is not hidden, checked by what it is (JPEG,
// task file, layout record, canvas size, status, order lines, template):
// the problems of files that are not whole, empty when all are.
QStringList FilesNotWhole(const QString& folder);

// A studio with one packed template page, a 300 x 200 photo and customer
// 张三, who ordered the 6 x 6 cm product 相册.
class OneCustomerStudio : public ::testing::Test {
protected:
    void SetUp() override {
        base = dir.path();
        templ = PackedTemplates(dir, 1).first();
        photo = Photo(dir, "p.jpg", 300, 200);
        ASSERT_EQ(RunCli({"catalogue", "add", "相册", "6", "6"}, base).exitCode, 0);
        ASSERT_EQ(RunCli({"new-customer", "张三", "--product", "相册"}, base).exitCode, 0);
    }

    TestFolder dir;
    QString base, templ, photo;
};
