#include "records/customer_task.h"

#include "common/atomic_file.h"
#include "common/byte_io.h"
#include "common/gbk.h"

#include <QFile>

#include <cstring>

namespace {
// Text up to the first NUL of a fixed field, never past its end.
QByteArray FieldText(const char* field, int width) {
    return QByteArray(field, static_cast<qsizetype>(strnlen(field, static_cast<size_t>(width))));
}

// Reads one page record in disk order: name, 20 slots, width, height. A short
// record (the last of a cut file) keeps what is there and zeros for the rest.
std::unique_ptr<TaskPage> ReadPage(ByteReader& r) {
    QByteArray record = r.upTo(TaskPage::kRecordSize);
    record.append(QByteArray(TaskPage::kRecordSize - record.size(), '\0'));
    ByteReader rec(record);
    auto page = std::make_unique<TaskPage>();
    std::memcpy(page->name, rec.view(TaskPage::kNameBytes), TaskPage::kNameBytes);
    for (auto& slot : page->placements)
        slot = SlotPlacement::FromBytes(rec.view(SlotPlacement::kSize));
    page->width = rec.i32();
    page->height = rec.i32();
    return page;
}
} // namespace

QString TaskPage::Name() const {
    return FromGbk(FieldText(name, kNameBytes));
}

void TaskPage::SetName(const QString& text) {
    std::memset(name, 0, kNameBytes);
    const QByteArray gbk = CutGbk(ToGbk(text), kNameBytes - 1);
    std::memcpy(name, gbk.constData(), static_cast<size_t>(gbk.size()));
}

QString CustomerTask::Folder() const {
    const qsizetype slash = path_.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path_.left(slash);
}

bool CustomerTask::Load(const QString& path) {
    path_ = path;
    pages.clear();
    phone.clear();
    loadedPhone_.clear();
    loadedPhoneBytes_.clear();
    // Read record by record: the file is never held whole beside its pages.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return false;
    // A file shorter than the phone block reads as if zero-filled.
    QByteArray block = file.read(kPhoneBytes);
    block.append(QByteArray(kPhoneBytes - block.size(), '\0'));
    loadedPhoneBytes_ = FieldText(block.constData(), kPhoneBytes);
    phone = FromGbk(loadedPhoneBytes_);
    loadedPhone_ = phone;
    while (!file.atEnd()) {
        const QByteArray record = file.read(TaskPage::kRecordSize);
        if (record.isEmpty())
            break;
        ByteReader r(record);
        pages.push_back(ReadPage(r));
    }
    return file.error() == QFileDevice::NoError;
}

QByteArray CustomerTask::ToBytes() const {
    ByteWriter w;
    const QByteArray phoneBytes =
        (phone == loadedPhone_ && !loadedPhoneBytes_.isEmpty()) ? loadedPhoneBytes_ : ToGbk(phone);
    w.fixedText(CutGbk(phoneBytes, kPhoneBytes - 1), kPhoneBytes);
    for (const auto& page : pages) {
        if (!page)
            continue;
        w.bytes(page->name, TaskPage::kNameBytes);
        for (const SlotPlacement& slot : page->placements)
            w.bytes(slot.ToBytes());
        w.i32(page->width);
        w.i32(page->height);
    }
    return w.take();
}

bool CustomerTask::Save() const {
    if (path_.isEmpty())
        return false;
    return WriteFileAtomic(path_, ToBytes());
}

void CustomerTask::RemovePage(int index) {
    if (index < 0 || index >= PageCount())
        return;
    pages.erase(pages.begin() + index);
}
