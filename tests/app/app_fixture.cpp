#include "app_fixture.h"

#include "records/customer_details.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

void MainWindowTest::SetUp() {
    const QString demo = QStringLiteral(TAOBAN_BINARY_DIR "/demo");
    ASSERT_TRUE(CopyTree(demo + "/模板", base.file("模板")));
    ASSERT_TRUE(CopyTree(demo + "/样片", base.file("样片")));
    window = std::make_unique<CMainDlg>(messages);
    window->resize(1280, 860);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowTest::TearDown() {
    window.reset();
}

QString MainWindowTest::MakeCustomer(const QString& name, const QString& phone,
                                     const QList<QStringList>& products) {
    CustomerDetails details;
    details.name = name;
    details.phone = phone;
    for (const QStringList& p : products)
        details.products.append(OrderLine{p.value(0), p.value(1), p.value(2), "1", "20"});
    RecordingMessages quiet;
    QString taskPath;
    EXPECT_TRUE(SaveCustomerDetails(details, quiet, &taskPath));
    return taskPath;
}
