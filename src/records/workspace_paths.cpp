#include "records/workspace_paths.h"

#include "common/base_dir.h"
#include "common/gbk.h"

const char* const kPreviewCacheName = "预览缓存";

QString SettingsFolder() {
    return BasePath(QStringLiteral("设置"));
}
QString CataloguePath() {
    return BasePath(QStringLiteral("设置/产品.ini"));
}
QString TemplateFolder() {
    return BasePath(QStringLiteral("模板"));
}
QString SampleFolder() {
    return BasePath(QStringLiteral("样片"));
}
QString TaskStoreFolder() {
    return BasePath(QStringLiteral("套版缓存"));
}
QString PreviewCacheFolder() {
    return CustomerFolder(QString::fromUtf8(kPreviewCacheName));
}
QString PreviewCacheTaskPath() {
    return TaskFilePath(PreviewCacheFolder());
}

QString CustomerFolder(const QString& customer) {
    return TaskStoreFolder() + QLatin1Char('/') + customer;
}

QString TaskFilePath(const QString& customerFolder) {
    return customerFolder + QStringLiteral("/1.tx");
}

QString OrderLinesPath(const QString& customerFolder) {
    return customerFolder + QStringLiteral("/产品.ini");
}

QString OrderLinesPathForTask(const QString& taskFilePath) {
    const QString name = QStringLiteral("1.tx");
    if (taskFilePath.endsWith(name))
        return taskFilePath.left(taskFilePath.size() - name.size()) + QStringLiteral("产品.ini");
    const qsizetype slash = taskFilePath.lastIndexOf(QLatin1Char('/'));
    return OrderLinesPath(slash < 0 ? QString() : taskFilePath.left(slash));
}

QString StatusFilePath(const QString& customerFolder) {
    return customerFolder + QStringLiteral("/status.txt");
}

QString PageImagePath(const QString& customerFolder, const QString& page, const QString& suffix) {
    return customerFolder + QLatin1Char('/') + page + suffix;
}

QString BigPageImagePath(const QString& customerFolder, const QString& page,
                         const QString& suffix) {
    return customerFolder + QStringLiteral("/big") + page + suffix;
}

QString PageDataFolder(const QString& customerFolder, const QString& page) {
    return customerFolder + QStringLiteral("/data") + page;
}

bool IsUsableCustomerName(const QString& customer) {
    if (customer.isEmpty() || customer == QLatin1String(".") || customer == QLatin1String(".."))
        return false;
    static const QString refused = QStringLiteral("/\\<>:\"|?*");
    for (const QChar c : customer) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Other_Control ||
            refused.contains(c))
            return false;
    }
    return IsGbkEncodable(customer);
}
