#include "raster/exif_thumbnail.h"

#include "common/byte_io.h"
#include "raster/colour_conversion.h"
#include "raster/raster.h"

#include <QFile>
#include <QTransform>

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kFirstRead = 64 * 1024; // SOI, APP1 and usually the frame header
constexpr qint64 kHeadLimit = 1024 * 1024;
constexpr int kMaxSegments = 64;
constexpr qint64 kMaxIccBytes = 1024 * 1024;

// A file opened for the head's few reads; the first 64 KB are read at once,
// anything further only where a segment needs it.
class HeadFile {
public:
    explicit HeadFile(const QString& path) {
        // Non-blocking: a named pipe in place of a photo must not stall the
        // reader; it is refused as not a regular file below.
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
            return;
        size_ = st.st_size;
        // Only the head is wanted: the kernel is not to read ahead into the
        // picture data, megabytes a photo over a shoot of thousands.
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_RANDOM);
        first_ = Read(0, qMin(size_, kFirstRead));
        ok_ = first_.size() == qMin(size_, kFirstRead);
    }
    ~HeadFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HeadFile(const HeadFile&) = delete;
    HeadFile& operator=(const HeadFile&) = delete;

    bool ok() const { return ok_; }
    qint64 size() const { return size_; }
    // n bytes at pos (fewer at the end of the file).
    QByteArray At(qint64 pos, qint64 n) {
        if (pos < 0 || n < 0)
            return {};
        if (pos + n <= first_.size())
            return first_.mid(pos, n);
        return Read(pos, n);
    }

private:
    QByteArray Read(qint64 pos, qint64 n) {
        n = qBound<qint64>(0, qMin(n, size_ - pos), kFirstRead);
        QByteArray out(n, Qt::Uninitialized);
        qint64 done = 0;
        while (done < n) {
            const ssize_t got =
                ::pread(fd_, out.data() + done, size_t(n - done), off_t(pos + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += got;
        }
        out.truncate(done);
        return out;
    }

    int fd_ = -1;
    qint64 size_ = 0;
    QByteArray first_;
    bool ok_ = false;
};

bool IsFrameHeader(quint8 marker) {
    // SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsStandalone(quint8 marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

// Fields of a TIFF structure in either byte order.
class TiffReader {
public:
    explicit TiffReader(const QByteArray& tiff) : tiff_(tiff) {
        ByteReader r(tiff_);
        const uint16_t order = r.u16be();
        big_ = order == 0x4D4D; // "MM"
        ok_ = (big_ || order == 0x4949) && U16(r) == 42 && r.ok();
        if (ok_)
            firstIfd_ = U32(r);
    }
    bool ok() const { return ok_; }
    uint32_t firstIfd() const { return firstIfd_; }

    struct Entry {
        uint16_t tag = 0, type = 0;
        uint32_t count = 0;
        uint32_t value = 0; // SHORT or LONG held in the entry itself
    };
    // The entries of the IFD at offset and the offset of the next one (0 at
    // the end); false when it lies outside the block.
    bool ReadIfd(uint32_t offset, QList<Entry>& entries, uint32_t& next) const {
        ByteReader r(tiff_);
        if (offset < 8 || !r.skip(offset))
            return false;
        const uint16_t count = U16(r);
        if (!r.ok() || qint64(count) * 12 + 4 > r.remaining())
            return false;
        for (int i = 0; i < count; ++i) {
            Entry e;
            e.tag = U16(r);
            e.type = U16(r);
            e.count = U32(r);
            if (e.type == 3) { // SHORT, left-justified in the field
                e.value = U16(r);
                r.skip(2);
            } else {
                e.value = U32(r);
            }
            entries.append(e);
        }
        next = U32(r);
        return r.ok();
    }

private:
    uint16_t U16(ByteReader& r) const { return big_ ? r.u16be() : r.u16(); }
    uint32_t U32(ByteReader& r) const { return big_ ? r.u32be() : r.u32(); }

    const QByteArray& tiff_;
    bool big_ = false;
    bool ok_ = false;
    uint32_t firstIfd_ = 0;
};

// Whether every pixel of image outside keep, beyond a seam of a few pixels
// where the JPEG blocks of the thumbnail smear the picture's edge, is black.
bool RestIsBlack(const QImage& image, const QRect& keep) {
    const QRect spared = keep.adjusted(-2, -2, 2, 2);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    qint64 pixels = 0, sum = 0, bright = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (spared.contains(x, y))
                continue;
            const int level = qMax(qRed(line[x]), qMax(qGreen(line[x]), qBlue(line[x])));
            ++pixels;
            sum += level;
            bright += level > 48;
        }
    }
    // A picture edge that is itself dark (a night shot) passes too: then the
    // band cut out still shows the photo undistorted.
    return pixels > 0 && sum <= 24 * pixels && bright * 20 <= pixels;
}

} // namespace

QSize JpegHead::shownSize() const {
    return orientation >= 5 && orientation <= 8 ? stored.transposed() : stored;
}

std::optional<JpegHead> ReadJpegHead(const QString& path) {
    HeadFile file(path);
    if (!file.ok())
        return std::nullopt;
    const QByteArray soi = file.At(0, 2);
    if (soi.size() != 2 || quint8(soi[0]) != 0xFF || quint8(soi[1]) != 0xD8)
        return std::nullopt;
    JpegHead head;
    head.fileBytes = file.size();
    bool exifSeen = false;
    QByteArray icc;
    int iccChunks = 0;
    qint64 pos = 2;
    for (int segment = 0; segment < kMaxSegments && pos < kHeadLimit; ++segment) {
        const QByteArray start = file.At(pos, 4);
        ByteReader r(start);
        if (r.u8() != 0xFF)
            return std::nullopt;
        const quint8 marker = r.u8();
        if (marker == 0xFF) { // a fill byte before the marker
            ++pos;
            continue;
        }
        if (IsStandalone(marker)) {
            pos += 2;
            continue;
        }
        const uint16_t length = r.u16be();
        if (!r.ok() || length < 2 || marker == 0xDA || marker == 0xD9)
            return std::nullopt; // picture data before any frame header
        const qint64 body = pos + 4;
        if (IsFrameHeader(marker)) {
            const QByteArray sizes = file.At(body, 5);
            ByteReader frame(sizes);
            frame.u8(); // precision
            const int height = frame.u16be();
            const int width = frame.u16be();
            if (!frame.ok() || width == 0 || height == 0)
                return std::nullopt;
            head.stored = QSize(width, height);
            break;
        }
        if (marker == 0xE1 && !exifSeen) {
            const QByteArray app1 = file.At(body, length - 2);
            if (app1.startsWith(QByteArrayView("Exif\0\0", 6))) {
                exifSeen = true;
                ExifFields fields = ParseExifBlock(app1);
                head.orientation = fields.orientation;
                head.thumbnail = std::move(fields.thumbnail);
            }
        } else if (marker == 0xE2 && iccChunks >= 0) {
            // ICC_PROFILE chunks, numbered from 1; joined only when they come
            // in their order (as every writer puts them), else left out.
            const QByteArray app2 = file.At(body, length - 2);
            if (app2.size() > 14 && app2.startsWith(QByteArrayView("ICC_PROFILE\0", 12))) {
                const bool inOrder = quint8(app2[12]) == iccChunks + 1;
                if (inOrder && icc.size() + app2.size() <= kMaxIccBytes) {
                    icc += app2.mid(14);
                    ++iccChunks;
                    if (quint8(app2[13]) == iccChunks)
                        head.icc = icc;
                } else {
                    iccChunks = -1;
                    head.icc.clear();
                }
            }
        }
        pos = body + length - 2;
    }
    if (!head.stored.isValid() || head.stored.isEmpty())
        return std::nullopt;
    const QByteArray tail = file.At(file.size() - 2, 2);
    head.ends = tail.size() == 2 && quint8(tail[0]) == 0xFF && quint8(tail[1]) == 0xD9;
    return head;
}

ExifFields ParseExifBlock(const QByteArray& app1) {
    ExifFields fields;
    if (!app1.startsWith(QByteArrayView("Exif\0\0", 6)))
        return fields;
    const QByteArray tiff = app1.mid(6);
    const TiffReader reader(tiff);
    if (!reader.ok())
        return fields;
    QList<TiffReader::Entry> ifd0, ifd1;
    uint32_t next = 0, none = 0;
    if (!reader.ReadIfd(reader.firstIfd(), ifd0, next))
        return fields;
    for (const auto& e : ifd0)
        if (e.tag == 0x0112 && e.type == 3) // Orientation, SHORT
            fields.orientation = e.value >= 1 && e.value <= 8 ? int(e.value) : 1;
    if (next == 0 || !reader.ReadIfd(next, ifd1, none))
        return fields;
    uint32_t offset = 0, length = 0;
    for (const auto& e : ifd1) {
        if (e.tag == 0x0201) // JPEGInterchangeFormat
            offset = e.value;
        else if (e.tag == 0x0202) // JPEGInterchangeFormatLength
            length = e.value;
    }
    if (offset == 0 || length < 4 || qint64(offset) + length > tiff.size())
        return fields;
    const QByteArray jpeg = tiff.mid(offset, length);
    if (quint8(jpeg[0]) == 0xFF && quint8(jpeg[1]) == 0xD8)
        fields.thumbnail = jpeg;
    return fields;
}

QImage TurnUpright(QImage image, int orientation) {
    static const struct {
        bool mirror, flip, quarterTurn;
    } kSteps[9] = {{},
                   {false, false, false},
                   {true, false, false},
                   {true, true, false},
                   {false, true, false},
                   {false, true, true},
                   {false, false, true},
                   {true, false, true},
                   {true, true, true}};
    if (orientation < 2 || orientation > 8 || image.isNull())
        return image;
    const auto& step = kSteps[orientation];
    if (step.mirror || step.flip)
        image = std::move(image).mirrored(step.mirror, step.flip);
    if (step.quarterTurn)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

bool SameProportions(QSize a, QSize b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const double pa = double(a.width()) / a.height();
    const double pb = double(b.width()) / b.height();
    return std::abs(pa / pb - 1) <= 0.03 || std::abs(a.height() * pb - a.width()) <= 1 ||
           std::abs(a.width() / pb - a.height()) <= 1;
}

QRect PhotoInThumbnail(const QImage& thumbnail, QSize shown) {
    const int tw = thumbnail.width(), th = thumbnail.height();
    if (thumbnail.isNull() || shown.isEmpty())
        return {};
    if (SameProportions(thumbnail.size(), shown))
        return thumbnail.rect();
    const double photo = double(shown.width()) / shown.height();
    const double thumb = double(tw) / th;
    QRect band;
    if (photo > thumb) { // bars above and below
        const int h = int(std::lround(tw / photo));
        band = QRect(0, (th - h) / 2, tw, h);
    } else { // bars left and right
        const int w = int(std::lround(th * photo));
        band = QRect((tw - w) / 2, 0, w, th);
    }
    if (band.isEmpty() || !RestIsBlack(thumbnail, band))
        return {};
    // The row or column along each bar is part bar, part picture.
    return photo > thumb ? band.adjusted(0, 1, 0, -1) : band.adjusted(1, 0, -1, 0);
}

QImage UprightExifThumbnail(const JpegHead& head, QSize need) {
    if (head.thumbnail.isEmpty() || !head.ends || !SizeMayBeDecoded(head.stored, head.fileBytes))
        return {};
    QImage picture = DecodeImage(head.thumbnail);
    if (picture.isNull())
        return {};
    ConvertToSrgb(picture, ColourSpaceOfProfile(head.icc));
    picture = TurnUpright(std::move(picture), head.orientation);
    const QRect photo = PhotoInThumbnail(picture, head.shownSize());
    if (photo.isEmpty() || photo.width() < need.width() || photo.height() < need.height())
        return {};
    return photo == picture.rect() ? picture : picture.copy(photo);
}
