#include "raster/jpeg_band_join.h"

#include "common/byte_io.h"

#include <cstring>

namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kBaselineFrame = 0xC0; // SOF0
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kFirstRestart = 0xD0; // RST0; RST7 is 0xD7

// Finds the height field of the frame header and the end of the scan header
// in a file libjpeg has just written, and checks that the file ends with the
// end marker. Only the header segments are walked, never the coded data.
bool FindBandParts(const QByteArray& file, qsizetype& heightAt, qsizetype& dataStart) {
    ByteReader r(file);
    if (r.u8() != 0xFF || r.u8() != kStartOfImage)
        return false;
    heightAt = -1;
    while (r.ok()) {
        if (r.u8() != 0xFF)
            return false;
        const uint8_t marker = r.u8();
        const qsizetype segment = r.pos();
        const uint16_t length = r.u16be();
        if (length < 2 || !r.skip(length - 2))
            return false;
        if (marker == kBaselineFrame && length >= 5)
            heightAt = segment + 3; // after the length and the sample precision
        else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                 marker != 0xCC)
            return false; // a frame other than baseline: not joinable this way
        if (marker == kStartOfScan) {
            dataStart = r.pos();
            const qsizetype size = file.size();
            return heightAt > 0 && size >= dataStart + 2 && uint8_t(file[size - 2]) == 0xFF &&
                   uint8_t(file[size - 1]) == kEndOfImage;
        }
    }
    return false;
}

} // namespace

JpegBandJoiner::JpegBandJoiner(int bands, int mcuRowsPerBand, int pageHeight)
    : bands_(static_cast<size_t>(bands > 0 ? bands : 0)), mcuRowsPerBand_(mcuRowsPerBand),
      pageHeight_(pageHeight) {
    // Inside every band the restart markers count from RST0; they continue
    // the page's sequence only when each band starts at a multiple of eight.
    failed_ = bands <= 0 || mcuRowsPerBand <= 0 || mcuRowsPerBand % 8 != 0 || pageHeight <= 0 ||
              pageHeight > 0xFFFF;
}

std::vector<QByteArray> JpegBandJoiner::Add(int band, QByteArray file) {
    Band arrived;
    arrived.file = std::move(file);
    const bool parsed = FindBandParts(arrived.file, arrived.heightAt, arrived.dataStart);
    std::vector<QByteArray> done;
    std::lock_guard<std::mutex> lock(mutex_);
    if (band < 0 || band >= int(bands_.size()) || bands_[band].arrived)
        return done; // not a band of this page: nothing is joined with it
    failed_ = failed_ || !parsed;
    bands_[band] = std::move(arrived);
    bands_[band].arrived = true;
    while (next_ < int(bands_.size()) && bands_[next_].arrived) {
        Band& ready = bands_[next_];
        failed_ = failed_ || !Append(ready, next_);
        done.push_back(std::move(ready.file));
        ready.file = QByteArray();
        ++next_;
    }
    return done;
}

bool JpegBandJoiner::Append(const Band& band, int index) {
    if (failed_)
        return false;
    const char* file = band.file.constData();
    if (index > 0) {
        // Every band was written with the first band's settings: its headers
        // are the same bytes apart from its own height.
        const qsizetype afterHeight = heightAt_ + 2;
        if (band.dataStart != headerEnd_ || band.heightAt != heightAt_ ||
            std::memcmp(file, page_.constData(), size_t(heightAt_)) != 0 ||
            std::memcmp(file + afterHeight, page_.constData() + afterHeight,
                        size_t(headerEnd_ - afterHeight)) != 0)
            return false;
    }
    if (index == 0) {
        page_.append(file, band.dataStart);
        page_[band.heightAt] = char(pageHeight_ >> 8);
        page_[band.heightAt + 1] = char(pageHeight_ & 0xFF);
        headerEnd_ = band.dataStart;
        heightAt_ = band.heightAt;
    } else {
        // The restart between this band's first MCU row and the row before.
        const int restart = (index * mcuRowsPerBand_ - 1) % 8;
        page_.append(char(0xFF));
        page_.append(char(kFirstRestart + restart));
    }
    const qsizetype dataEnd = band.file.size() - 2; // before the end marker
    page_.append(file + band.dataStart, dataEnd - band.dataStart);
    return true;
}

QByteArray JpegBandJoiner::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failed_ || next_ != int(bands_.size()))
        return {};
    failed_ = true; // the page is handed over once
    page_.append(char(0xFF));
    page_.append(char(kEndOfImage));
    return std::move(page_);
}
