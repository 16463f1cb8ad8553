#pragma once

#include <QString>

// The studio's folders and files under the base folder. Every other part of
// the program forms these paths through here. Folders are returned without a
// trailing "/".

QString SettingsFolder();       // <base>/设置
QString CataloguePath();        // <base>/设置/产品.ini
QString TemplateFolder();       // <base>/模板
QString SampleFolder();         // <base>/样片
QString TaskStoreFolder();      // <base>/套版缓存
QString PreviewCacheFolder();   // <base>/套版缓存/预览缓存
QString PreviewCacheTaskPath(); // <base>/套版缓存/预览缓存/1.tx

// The preview cache is kept like a customer folder under this reserved name;
// the task list leaves it out.
extern const char* const kPreviewCacheName;

// <base>/套版缓存/<customer>: the customer name as it stands (already trimmed).
QString CustomerFolder(const QString& customer);
// <customer folder>/1.tx
QString TaskFilePath(const QString& customerFolder);
// <customer folder>/产品.ini
QString OrderLinesPath(const QString& customerFolder);
// The order lines beside a task file: its "1.tx" replaced by "产品.ini".
QString OrderLinesPathForTask(const QString& taskFilePath);
// <customer folder>/status.txt
QString StatusFilePath(const QString& customerFolder);
// <customer folder>/<page><suffix>, e.g. suffix ".jpg" or ".png"
QString PageImagePath(const QString& customerFolder, const QString& page, const QString& suffix);
// <customer folder>/big<page><suffix>
QString BigPageImagePath(const QString& customerFolder, const QString& page, const QString& suffix);
// <customer folder>/data<page>: the page's layout folder holding "dat" and "dat2"
QString PageDataFolder(const QString& customerFolder, const QString& page);

// True when a customer name can be a folder of the task store: not empty, no
// "/", "\", <>:"|?* or control characters, not "." or "..", and encodable
// in GBK (the task files keep names in GBK).
bool IsUsableCustomerName(const QString& customer);
