#pragma once

// A page encoded in bands on several cores is still one ordinary baseline
// JPEG. Each band is a file of its own, written with the same tables and a
// restart marker after every row of MCUs, whose count in every band but the
// last is a multiple of eight. At a restart the encoder pads its bits to a
// whole byte and starts the colour predictions afresh, exactly as at the
// start of a file, so the entropy-coded data of consecutive bands, joined by
// the restart marker that continues the sequence RST0 ... RST7, are the
// bytes one pass over the whole page writes.

#include <QByteArray>

#include <mutex>
#include <vector>

class JpegBandJoiner {
public:
    // mcuRowsPerBand: the rows of MCUs in every band but the last.
    JpegBandJoiner(int bands, int mcuRowsPerBand, int pageHeight);

    // Hands over a band's file (empty when its encoding failed), from any
    // thread, in any order. The bands that can be joined are joined at once;
    // their files come back for reuse. When memory runs out it throws
    // std::bad_alloc and the joiner is of no further use.
    std::vector<QByteArray> Add(int band, QByteArray file);

    // The whole page once every band is in: the first band's headers with
    // the page's height, every band's data, the end marker. Empty when a band
    // failed or its headers differ from the first band's.
    QByteArray Take();

private:
    struct Band {
        QByteArray file;
        qsizetype heightAt = -1;  // the frame header's height field
        qsizetype dataStart = -1; // the first byte after the scan header
        bool arrived = false;
    };
    bool Append(const Band& band, int index);

    std::mutex mutex_;
    std::vector<Band> bands_;
    int mcuRowsPerBand_;
    int pageHeight_;
    int next_ = 0; // the first band not joined yet
    bool failed_ = false;
    QByteArray page_;
    qsizetype headerEnd_ = 0;
    qsizetype heightAt_ = 0;
};
