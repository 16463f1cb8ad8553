#pragma once

#include "records/resolution_threshold.h"

#include <QList>
#include <QSize>
#include <QString>
#include <optional>

// What stands between a customer's order and the print lab. Every finding
// names the page (for a page count, the product) and, where it concerns one,
// the slot.
struct OrderFinding {
    enum class Kind {
        PageCount,    // the product has more or fewer designed pages than ordered
        LayoutRecord, // "dat" missing or unreadable: the batch skips the page
        NotRendered,  // no full-size image yet
        Stale,        // full-size image older than the page's last change
        Size,         // pixel size other than the product's at the current dpi
        Resolution,   // a slot below the sharpness threshold
        BeyondExport, // the product has pages beyond the hundredth, which no export writes
        Unapproved,   // the customer's open review has not approved the page
    };
    Kind kind = Kind::PageCount;
    QString page;
    int slot = -1; // slot index, -1 where none applies
    std::optional<double> ppi;
    QString message;
};

// The finding kind's stable name: "page_count", "layout_record",
// "not_rendered", "stale", "size", "resolution", "beyond_export",
// "unapproved".
QString FindingKindName(OrderFinding::Kind kind);

struct OrderCheckReport {
    QString customer;
    QList<OrderFinding> findings;
    bool ok() const { return findings.isEmpty(); }
};

// Checks a customer of the task store, reading only: per ordered product the
// ordered page count against the designed pages and the pages an export
// can write; per page its layout record,
// its full-size image (there, newer than the page's last change, of the
// product's size at dpi) and the effective resolution of each slot; while
// the customer's review is open, each page the customer has not approved.
// canvasFallback is the canvas size for pages saved without their own.
OrderCheckReport CheckOrder(const QString& customer, int dpi, const ResolutionThreshold& threshold,
                            QSize canvasFallback);
