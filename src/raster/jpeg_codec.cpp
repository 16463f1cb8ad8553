// libjpeg-turbo behind the raster toolkit. libjpeg reports errors through a
// callback that must not return, so every entry point sets a jump target;
// everything that lives across it is held in State on the heap.

#include "raster/jpeg_codec.h"

#include "common/byte_io.h"
#include "common/parallel_for.h"
#include "raster/exif_thumbnail.h"
#include "raster/jpeg_band_join.h"
#include "raster/large_image.h"

#include <QTransform>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace {

// The decoder's work on a scan, in coefficient readings: the band's width for
// every block it covers, plus this much for visiting a block at all (a run of
// empty blocks, or a DC scan, still costs per block).
constexpr qint64 kBlockVisitCost = 16;
// A sequential file reads every coefficient once, a progressive one two or
// three times, successive approximation once more per refined bit. No real
// photo needs more than this many times the work of a sequential decode,
// while a file that repeats a cheap scan thousands of times does.
constexpr qint64 kMaxSequentialDecodes = 8;

// The 32-bit QImage layouts are 0xAARRGGBB words: B, G, R, A in memory on a
// little-endian machine.
constexpr J_COLOR_SPACE kWordOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
constexpr J_COLOR_SPACE kWordOrderNoAlpha =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr c) {
    std::longjmp(reinterpret_cast<ErrorManager*>(c->err)->jump, 1);
}

// Corrupt-data warnings are neither printed nor fatal: the file has already
// been checked to be whole, and the decoder pads what it cannot read.
void Quiet(j_common_ptr, int) {}

void InitErrors(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = Fail;
    err.pub.emit_message = Quiet;
}

// Counts the scans and the coefficients they read while the input is
// consumed; called by libjpeg before every row of every scan.
struct ScanBound {
    jpeg_progress_mgr pub;
    int lastScan = 0;
    qint64 readings = 0;
    qint64 budget = 0;
};

void CheckScans(j_common_ptr c) {
    auto* d = reinterpret_cast<j_decompress_ptr>(c);
    auto* bound = reinterpret_cast<ScanBound*>(c->progress);
    if (d->input_scan_number == bound->lastScan)
        return;
    bound->lastScan = d->input_scan_number;
    if (bound->lastScan > kMaxJpegScans)
        Fail(c);
    // A band of a scan costs its width in coefficients per block (at least
    // one: a DC scan or a run of empty blocks still visits every block).
    qint64 blocks = 0;
    for (int i = 0; i < d->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
        if (const jpeg_component_info* comp = d->cur_comp_info[i])
            blocks += qint64(comp->width_in_blocks) * comp->height_in_blocks;
    const int band = d->progressive_mode ? qMax(1, d->Se - d->Ss + 1) : DCTSIZE2;
    bound->readings += blocks * (band + kBlockVisitCost);
    if (bound->readings > bound->budget)
        Fail(c);
}

// Where the stored picture's points go once TurnUpright has turned it.
QTransform UprightMapping(QSize stored, int orientation) {
    if (orientation < 2 || orientation > 8)
        return {};
    const bool mirror =
        orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
    const bool flip = orientation == 3 || orientation == 4 || orientation == 5 || orientation == 8;
    const bool quarterTurn = orientation >= 5;
    const qreal w = stored.width(), h = stored.height();
    QTransform t(mirror ? -1 : 1, 0, 0, flip ? -1 : 1, mirror ? w : 0, flip ? h : 0);
    if (quarterTurn)
        t *= QTransform(0, 1, -1, 0, h, 0);
    return t;
}

// The profile's chunks joined in their sequence order; libjpeg checks that
// every chunk is there once and allocates the whole with malloc.
QByteArray ReadIccProfile(j_decompress_ptr info) {
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (!jpeg_read_icc_profile(info, &data, &length) || !data)
        return {};
    QByteArray icc(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    free(data);
    return icc;
}

bool TurnsSideways(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace

struct JpegDecoder::State {
    jpeg_decompress_struct info;
    ErrorManager err;
    ScanBound bound;
    QByteArray bytes; // shares the caller's data; libjpeg reads from it
    bool created = false;
    bool ok = false;
    QSize stored;
    int orientation = 1;
    QByteArray icc;
};

JpegDecoder::JpegDecoder(const QByteArray& bytes) : state_(std::make_unique<State>()) {
    State* s = state_.get();
    s->bytes = bytes;
    if (bytes.isEmpty())
        return;
    s->info.err = nullptr;
    InitErrors(s->err);
    s->info.err = &s->err.pub;
    if (setjmp(s->err.jump))
        return; // ok stays false; the destructor releases libjpeg's memory
    jpeg_create_decompress(&s->info);
    s->created = true;
    jpeg_mem_src(&s->info, reinterpret_cast<const unsigned char*>(s->bytes.constData()),
                 static_cast<unsigned long>(s->bytes.size()));
    jpeg_save_markers(&s->info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&s->info, JPEG_APP0 + 2, 0xFFFF); // ICC profile
    if (jpeg_read_header(&s->info, TRUE) != JPEG_HEADER_OK)
        return;
    s->icc = ReadIccProfile(&s->info);
    for (jpeg_saved_marker_ptr m = s->info.marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1)
            continue;
        const QByteArray data(reinterpret_cast<const char*>(m->data),
                              static_cast<qsizetype>(m->data_length));
        if (data.startsWith(QByteArrayView("Exif\0\0", 6))) {
            s->orientation = ParseExifBlock(data).orientation;
            break;
        }
    }
    s->stored =
        QSize(static_cast<int>(s->info.image_width), static_cast<int>(s->info.image_height));
    s->ok = !s->stored.isEmpty();
}

JpegDecoder::~JpegDecoder() {
    if (state_->created)
        jpeg_destroy_decompress(&state_->info);
}

bool JpegDecoder::ok() const {
    return state_->ok;
}

QSize JpegDecoder::storedSize() const {
    return state_->stored;
}

QSize JpegDecoder::shownSize() const {
    return TurnsSideways(state_->orientation) ? state_->stored.transposed() : state_->stored;
}

int JpegDecoder::orientation() const {
    return state_->orientation;
}

QByteArray JpegDecoder::iccProfile() const {
    return state_->icc;
}

int JpegDecoder::dotsPerInch() const {
    const jpeg_decompress_struct& info = state_->info;
    if (!state_->ok || !info.saw_JFIF_marker || info.X_density == 0)
        return 0;
    if (info.density_unit == 1)
        return info.X_density;
    if (info.density_unit == 2)
        return qRound(info.X_density * 2.54);
    return 0;
}

QSize JpegDecoder::shownSizeAt(int denominator) const {
    // libjpeg rounds a reduced side up: ceil(side / denominator).
    const auto reduce = [denominator](int side) {
        return int((qint64(side) + denominator - 1) / denominator);
    };
    const QSize shown = shownSize();
    return QSize(reduce(shown.width()), reduce(shown.height()));
}

QImage JpegDecoder::decode(int denominator, QImage::Format format, qint64 maxBytes,
                           const QRect& region, QPoint* origin) {
    State* s = state_.get();
    if (!s->ok)
        return {};
    s->ok = false; // one decode per file: libjpeg has consumed the data
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return {};
    if (denominator != 1 && denominator != 2 && denominator != 4 && denominator != 8)
        return {};
    jpeg_decompress_struct& info = s->info;
    // Adobe CMYK is stored inverted; each channel times K gives the colour.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (!cmyk && info.num_components != 1 && info.num_components != 3)
        return {};

    // The header has set every component's size in blocks.
    qint64 allBlocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        allBlocks += qint64(info.comp_info[i].width_in_blocks) * info.comp_info[i].height_in_blocks;
    s->bound.pub.progress_monitor = CheckScans;
    s->bound.budget = allBlocks * (DCTSIZE2 + kBlockVisitCost) * kMaxSequentialDecodes;
    info.progress = &s->bound.pub;
    info.mem->max_memory_to_use = static_cast<long>(maxBytes);
    info.out_color_space = cmyk ? JCS_CMYK : kWordOrder;
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned int>(denominator);
    info.dct_method = JDCT_ISLOW;

    QImage* image = new (std::nothrow) QImage;
    if (!image)
        return {};
    std::unique_ptr<QImage> owner(image);
    if (setjmp(s->err.jump))
        return {};
    jpeg_calc_output_dimensions(&info);
    const QSize out(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    if (out.isEmpty() || qint64(out.width()) * out.height() * 4 > maxBytes)
        return {};
    // The region in stored rows and columns, with a margin: the smoothing
    // of halved chroma reads beyond a pixel's own block, and libjpeg widens
    // the columns to whole blocks only.
    const QTransform upright = UprightMapping(out, s->orientation);
    QRect part(QPoint(0, 0), out);
    if (!region.isNull() && !cmyk) {
        constexpr int kMargin = 2 * DCTSIZE;
        part &= upright.inverted()
                    .mapRect(QRectF(region))
                    .toAlignedRect()
                    .adjusted(-kMargin, -kMargin, kMargin, kMargin);
    }
    if (part.isEmpty())
        return {};
    if (!jpeg_start_decompress(&info))
        return {};
    if (part.width() < out.width()) {
        auto left = static_cast<JDIMENSION>(part.x());
        auto width = static_cast<JDIMENSION>(part.width());
        jpeg_crop_scanline(&info, &left, &width);
        part.setX(static_cast<int>(left));
        part.setWidth(static_cast<int>(width));
    }
    *image = NewLargeImage(part.size(), format);
    if (image->isNull())
        return {};
    if (part.y() > 0 &&
        jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(part.y())) != JDIMENSION(part.y()))
        return {};
    if (!cmyk) {
        while (info.output_scanline < JDIMENSION(part.bottom() + 1)) {
            JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline) - part.y());
            jpeg_read_scanlines(&info, &row, 1);
        }
    } else {
        while (info.output_scanline < info.output_height) {
            const int y = static_cast<int>(info.output_scanline);
            // CMYK rows are 4 bytes a pixel too: decode in place, then
            // rewrite each pixel as an opaque colour word.
            JSAMPROW row = image->scanLine(y);
            jpeg_read_scanlines(&info, &row, 1);
            auto* px = reinterpret_cast<quint32*>(row);
            for (int x = 0; x < out.width(); ++x) {
                const uchar* p = row + 4 * x;
                const int k = p[3];
                px[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
            }
        }
    }
    // The rows below the region are never read.
    if (info.output_scanline < info.output_height)
        jpeg_abort_decompress(&info);
    else
        jpeg_finish_decompress(&info);
    if (origin)
        *origin = upright.mapRect(QRectF(part)).toAlignedRect().topLeft();
    return TurnUpright(std::move(*image), s->orientation);
}

namespace {

// Grows a QByteArray as libjpeg fills it. libjpeg hands back a full buffer
// each time, so the array doubles and the rest of it is offered next.
struct ByteArrayDestination {
    jpeg_destination_mgr pub;
    QByteArray* out;
};

void StartOutput(j_compress_ptr c) {
    auto* d = reinterpret_cast<ByteArrayDestination*>(c->dest);
    d->pub.next_output_byte = reinterpret_cast<JOCTET*>(d->out->data());
    d->pub.free_in_buffer = static_cast<size_t>(d->out->size());
}

boolean GrowOutput(j_compress_ptr c) {
    auto* d = reinterpret_cast<ByteArrayDestination*>(c->dest);
    const qsizetype full = d->out->size();
    try {
        d->out->resize(full * 2);
    } catch (...) {
        Fail(reinterpret_cast<j_common_ptr>(c));
    }
    d->pub.next_output_byte = reinterpret_cast<JOCTET*>(d->out->data()) + full;
    d->pub.free_in_buffer = static_cast<size_t>(d->out->size() - full);
    return TRUE;
}

void EndOutput(j_compress_ptr c) {
    auto* d = reinterpret_cast<ByteArrayDestination*>(c->dest);
    d->out->resize(d->out->size() - static_cast<qsizetype>(d->pub.free_in_buffer));
}

// The page's rows as libjpeg reads them: 32-bit images in place, others
// converted once for all bands.
struct EncodeSource {
    const QImage* image = nullptr;
    QImage converted;
    J_COLOR_SPACE space = kWordOrderNoAlpha;
    int components = 4;
};

struct EncodeState {
    jpeg_compress_struct info;
    ErrorManager err;
    ByteArrayDestination dest;
    bool created = false;

    ~EncodeState() {
        if (created)
            jpeg_destroy_compress(&info);
    }
};

// Encodes rows top to top + rows - 1 of the page as a file of their own into
// out, whose whole size is offered to libjpeg and which grows when short.
// Everything that changes after the jump target is set lives in s or out.
bool RunEncoder(EncodeState* s, const EncodeSource& source, int top, int rows,
                const JpegPageOptions& options, QByteArray* out) {
    InitErrors(s->err);
    s->info.err = &s->err.pub;
    if (setjmp(s->err.jump))
        return false;
    jpeg_create_compress(&s->info);
    s->created = true;
    s->dest.out = out;
    s->dest.pub.init_destination = StartOutput;
    s->dest.pub.empty_output_buffer = GrowOutput;
    s->dest.pub.term_destination = EndOutput;
    s->info.dest = &s->dest.pub;

    jpeg_compress_struct& info = s->info;
    info.image_width = static_cast<JDIMENSION>(source.image->width());
    info.image_height = static_cast<JDIMENSION>(rows);
    info.input_components = source.components;
    info.in_color_space = source.space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, qBound(1, options.quality, 100), TRUE);
    // Full colour resolution: every component sampled 1 x 1; halved chroma
    // samples the brightness 2 x 2 against one colour sample (4:2:0).
    for (int i = 0; i < info.num_components; ++i) {
        const int factor = options.halfChroma && i == 0 && info.num_components == 3 ? 2 : 1;
        info.comp_info[i].h_samp_factor = factor;
        info.comp_info[i].v_samp_factor = factor;
    }
    info.dct_method = JDCT_ISLOW;
    // A restart after every row of MCUs lets bands of the page be encoded
    // apart and joined (see jpeg_band_join.h).
    info.restart_in_rows = 1;
    info.write_JFIF_header = TRUE;
    const int dpi = options.dpi;
    if (dpi > 0 && dpi <= 0xFFFF) {
        info.density_unit = 1; // dots per inch
        info.X_density = static_cast<UINT16>(dpi);
        info.Y_density = static_cast<UINT16>(dpi);
    } else {
        info.density_unit = 0; // only the aspect ratio: 1:1
        info.X_density = 1;
        info.Y_density = 1;
    }
    jpeg_start_compress(&info, TRUE);
    if (!options.iccProfile.isEmpty())
        jpeg_write_icc_profile(&info,
                               reinterpret_cast<const JOCTET*>(options.iccProfile.constData()),
                               static_cast<unsigned int>(options.iccProfile.size()));
    while (info.next_scanline < info.image_height) {
        // libjpeg only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(
            source.image->constScanLine(top + static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// Encodes rows of the page into out, first offering out the room a first
// guess of the file size needs (or all it already has).
bool EncodeRows(const EncodeSource& source, int top, int rows, const JpegPageOptions& options,
                QByteArray& out) {
    const qsizetype guess =
        qBound(qsizetype(64 * 1024), qsizetype(source.image->width()) * rows / 2,
               qsizetype(64 * 1024 * 1024));
    out.resize(qMax(guess, out.capacity()));
    auto s = std::make_unique<EncodeState>();
    if (RunEncoder(s.get(), source, top, rows, options, &out))
        return true;
    out.clear();
    return false;
}

// Band files outlive the page, so the next page's bands are written into
// memory that is already there. As many are kept as can be in use at once.
class BandFiles {
public:
    QByteArray Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (kept_.empty())
            return {};
        QByteArray file = std::move(kept_.back());
        kept_.pop_back();
        return file;
    }
    void Give(std::vector<QByteArray> files) {
        const size_t most = 2 * std::max(1u, std::thread::hardware_concurrency());
        std::lock_guard<std::mutex> lock(mutex_);
        for (QByteArray& file : files)
            if (kept_.size() < most && file.capacity() > 0 && file.capacity() <= kMostKept)
                kept_.push_back(std::move(file));
    }

private:
    static constexpr qsizetype kMostKept = qsizetype(16) << 20;
    std::mutex mutex_;
    std::vector<QByteArray> kept_;
};

BandFiles& SharedBandFiles() {
    static BandFiles files;
    return files;
}

} // namespace

QByteArray EncodeJpegPage(const QImage& image, const JpegPageOptions& options) {
    if (image.isNull() || image.height() > JPEG_MAX_DIMENSION)
        return {};
    EncodeSource source;
    source.image = &image;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        // Premultiplied colour of a see-through pixel is that pixel over
        // black, which is what the page shows where nothing was drawn.
        break;
    case QImage::Format_RGB888:
        source.space = JCS_RGB;
        source.components = 3;
        break;
    default:
        source.converted = image.convertToFormat(QImage::Format_RGB32);
        if (source.converted.isNull())
            return {};
        source.image = &source.converted;
    }
    const int height = image.height();
    const int mcuRowsPerBand = (qMax(0, options.bandMcuRows) + 7) / 8 * 8;
    const int bandRows = mcuRowsPerBand * (options.halfChroma ? 16 : 8);
    if (bandRows == 0 || height <= bandRows) {
        QByteArray out;
        return EncodeRows(source, 0, height, options, out) ? out : QByteArray();
    }
    const int bands = (height + bandRows - 1) / bandRows;
    try {
        JpegBandJoiner joiner(bands, mcuRowsPerBand, height);
        ParallelFor(bands, [&](int band) {
            QByteArray file = SharedBandFiles().Take();
            const int top = band * bandRows;
            if (!EncodeRows(source, top, qMin(bandRows, height - top), options, file))
                file = QByteArray();
            SharedBandFiles().Give(joiner.Add(band, std::move(file)));
        });
        return joiner.Take();
    } catch (const std::bad_alloc&) {
        return {};
    }
}
