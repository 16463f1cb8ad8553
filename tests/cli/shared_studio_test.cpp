// Several stations on one studio folder: commands running at once on one
// customer and on the catalogue lose nothing.

#include "cli_studio.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

namespace {

class SharedStudio : public OneCustomerStudio {
protected:
    // A shell loop of count runs of taoban-cli, each given args with $i
    // standing for the run's number.
    QProcess* Loop(int count, const QString& args) {
        auto* p = new QProcess;
        p->setProgram(QStringLiteral("bash"));
        p->setArguments({"-c",
                         QStringLiteral("for i in $(seq %1); do \"$0\" --base \"$1\" %2 "
                                        ">/dev/null || echo \"run $i: $?\"; done")
                             .arg(count)
                             .arg(args),
                         QStringLiteral(TAOBAN_CLI_PATH), base});
        p->start();
        return p;
    }
    void Finish(QProcess* p) {
        EXPECT_TRUE(p->waitForFinished(280000));
        EXPECT_EQ(p->readAllStandardOutput(), QByteArray()) << "every run succeeded";
        delete p;
    }
};

TEST_F(SharedStudio, TwoStationsAddingPagesAndProductsAtOnceLoseNone) {
    const QString addPage = QStringLiteral("add-page --customer 张三 --product 相册 --template "
                                           "'%1' --photo '%2'")
                                .arg(templ, photo);
    QProcess* first = Loop(50, addPage);
    QProcess* second = Loop(50, addPage);
    QProcess* productsA = Loop(20, QStringLiteral("catalogue add A$i 10 10"));
    QProcess* productsB = Loop(20, QStringLiteral("catalogue add B$i 10 10"));
    for (QProcess* p : {first, second, productsA, productsB})
        Finish(p);

    const CliResult info = RunCli({"task-info", "张三"}, base);
    ASSERT_EQ(info.exitCode, 0) << Show(info);
    const QJsonArray pages = QJsonDocument::fromJson(info.out.toUtf8())["pages"].toArray();
    QSet<QString> names;
    for (const QJsonValue& page : pages)
        names.insert(page["name"].toString());
    EXPECT_EQ(pages.size(), 100);
    EXPECT_EQ(names.size(), 100) << "every page got a name of its own";

    const CliResult products = RunCli({"catalogue", "list"}, base);
    EXPECT_EQ(products.OutLines().size(), 41) << Show(products); // 相册 and 40 more
}

} // namespace
