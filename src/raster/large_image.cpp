#include "raster/large_image.h"

#include <QPixelFormat>

#include <cstdint>
#include <new>
#include <sys/mman.h>

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
// Below this the faults saved do not pay for a mapping of its own.
constexpr qint64 kLargeBytes = qint64(8) << 20;

struct Mapping {
    void* start;
    size_t length;
};

void Unmap(void* info) {
    auto* m = static_cast<Mapping*>(info);
    munmap(m->start, m->length);
    delete m;
}

// A mapping of at least bytes whose start lies on a huge-page boundary (the
// kernel backs only aligned 2 MB stretches with huge pages).
Mapping* MapAligned(size_t bytes) {
    const size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto base = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (base + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > base)
        munmap(raw, aligned - base);
    const uintptr_t end = base + length + kHugePage;
    if (end > aligned + length)
        munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    void* start = reinterpret_cast<void*>(aligned);
    madvise(start, length, MADV_HUGEPAGE);
    auto* m = new (std::nothrow) Mapping{start, length};
    if (!m)
        munmap(start, length);
    return m;
}

} // namespace

QImage NewLargeImage(QSize size, QImage::Format format) {
    if (size.isEmpty())
        return {};
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (qint64(size.width()) * depth + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    if (depth <= 0 || bytes < kLargeBytes || bytesPerLine > INT32_MAX)
        return QImage(size, format);
    Mapping* m = MapAligned(static_cast<size_t>(bytes));
    if (!m)
        return {};
    QImage image(static_cast<uchar*>(m->start), size.width(), size.height(),
                 static_cast<qsizetype>(bytesPerLine), format, Unmap, m);
    if (image.isNull())
        Unmap(m);
    return image;
}
