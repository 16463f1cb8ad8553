#pragma once

#include "app/main_window/main_window.h"
#include "common/messages.h"
#include "test_support.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>

// A studio folder holding the demo template library and sample photos, and
// the main window opened on it at 1280 x 860. Messages are recorded.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A customer task with the given products ("name:w:h") in the task store.
    QString MakeCustomer(const QString& name, const QString& phone,
                         const QList<QStringList>& products);

    TestFolder base;
    RecordingMessages messages;
    std::unique_ptr<CMainDlg> window;
};
