#include "records/product_catalogue.h"

#include "common/extract_tag.h"
#include "common/file_lock.h"
#include "common/gbk.h"
#include "records/customer_task.h"
#include "records/dpi_setting.h"
#include "records/gbk_text_keeping_bytes.h"
#include "records/number_text.h"
#include "records/workspace_paths.h"

#include <QDir>
#include <QFileInfo>

namespace {
// A catalogue is a few hundred lines; anything far larger is not one.
constexpr qint64 kMaxCatalogueBytes = qint64(16) << 20;

bool HasTagBracket(const QString& text) {
    return text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('>'));
}

bool HasBlank(const QString& text) {
    for (const QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

bool HasControl(const QString& text) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Page names are made from the product name ("name", "name-2", ...) and
// become file names in the customer folder: a separator would change the
// name on the way and lead out of the folder, and a name cut to fit the
// page record no longer matches its product, so a reopened page would never
// find it again. Every number a task's pages can reach must still fit.
bool FitsPageName(const QString& name) {
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    const qsizetype longest =
        ToGbk(name + QLatin1Char('-') + QString::number(CustomerTask::kMaxPages)).size();
    return longest <= TaskPage::kNameBytes - 1;
}

bool IsUsableSize(const QString& size) {
    return !HasBlank(size) && !HasTagBracket(size) && TextToDouble(size) >= 0.01;
}
} // namespace

QString ProductDisplayText(const ProductEntry& entry) {
    return QStringLiteral("%1 宽:%2 高:%3").arg(entry.name, entry.width, entry.height);
}

ProductEntry SplitProductDisplayText(const QString& text) {
    ProductEntry entry;
    const qsizetype first = text.indexOf(QLatin1Char(' '));
    if (first < 0) {
        entry.name = text;
        return entry;
    }
    entry.name = text.left(first);
    const QString rest = text.mid(first + 1);
    const qsizetype second = rest.indexOf(QLatin1Char(' '));
    entry.width = second < 0 ? rest : rest.left(second);
    entry.height = second < 0 ? QString() : rest.mid(second + 1);
    entry.width.remove(QStringLiteral("宽:"));
    entry.height.remove(QStringLiteral("高:"));
    return entry;
}

void ProductCatalogue::Load(const QString& path) {
    entries_.clear();
    unread_.clear();
    QString text = ReadJoinedLinesKeepingBytes(path, kMaxCatalogueBytes);
    for (;;) {
        QString value = ExtractTag(text, QStringLiteral("<n>"));
        if (value.isEmpty())
            break;
        ProductEntry entry;
        entry.width = ExtractTag(value, QStringLiteral("<w>"));
        entry.height = ExtractTag(value, QStringLiteral("<h>"));
        entry.name = value;
        entries_.append(entry);
    }
    if (!text.trimmed().isEmpty())
        unread_ = text;
}

void ProductCatalogue::Load() {
    Load(CataloguePath());
}

bool ProductCatalogue::Add(const QString& name, const QString& width, const QString& height,
                           IMessages& messages) {
    const ProductEntry entry{name.trimmed(), width.trimmed(), height.trimmed()};
    if (entry.name.isEmpty())
        return false;
    // Orders list a product as "name 宽:w 高:h" and take it apart at the
    // blanks, and the file has no escaping: a name must hold neither.
    if (HasBlank(entry.name)) {
        messages.Inform(QStringLiteral("产品名称不能包含空格!"));
        return false;
    }
    if (HasTagBracket(entry.name) || HasControl(entry.name) || !IsGbkEncodable(entry.name) ||
        !FitsPageName(entry.name)) {
        messages.Inform(QStringLiteral("产品名称有非法字符!"));
        return false;
    }
    // A product must be printable at the highest resolution the studio can
    // choose.
    if (!IsUsableSize(entry.width) || !IsUsableSize(entry.height) ||
        AbovePageLimit(CmToPixels(entry.width, 300), CmToPixels(entry.height, 300))) {
        messages.Inform(QStringLiteral("尺寸错误"));
        return false;
    }
    if (Find(entry.name)) {
        messages.Inform(QStringLiteral("此产品已存在!"));
        return false;
    }
    entries_.append(entry);
    return true;
}

bool ProductCatalogue::Delete(const QString& rowText, IMessages& messages) {
    const QString name = SplitProductDisplayText(rowText).name;
    qsizetype index = -1;
    for (qsizetype i = 0; i < entries_.size() && !name.isEmpty(); ++i) {
        if (entries_[i].name == name) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        messages.Inform(QStringLiteral("请先选中您要删除的产品!"));
        return false;
    }
    if (!messages.AskYesNo(QStringLiteral("确认删除吗？")))
        return false;
    entries_.removeAt(index);
    return true;
}

bool ProductCatalogue::Save(const QString& path) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QStringList lines;
    for (const ProductEntry& e : entries_) {
        lines.append(QStringLiteral("<n>%1<w>%2</w><h>%3</h></n>").arg(e.name, e.width, e.height));
    }
    if (!unread_.isEmpty())
        lines.append(unread_);
    return WriteLinesKeepingBytes(path, lines);
}

bool ProductCatalogue::Update(const QString& path,
                              const std::function<bool(ProductCatalogue&)>& change) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const std::unique_ptr<FileLock> lock = FileLock::Acquire(path + QStringLiteral(".lock"));
    if (!lock)
        return false;
    ProductCatalogue current;
    current.Load(path);
    if (!change(current) || !current.Save(path))
        return false;
    *this = current;
    return true;
}

bool ProductCatalogue::Save() const {
    return Save(CataloguePath());
}

const ProductEntry* ProductCatalogue::Find(const QString& name) const {
    for (const ProductEntry& e : entries_) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

QStringList ProductCatalogue::DisplayTexts() const {
    QStringList texts;
    for (const ProductEntry& e : entries_)
        texts.append(ProductDisplayText(e));
    return texts;
}
