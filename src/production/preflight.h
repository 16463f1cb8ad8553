#pragma once

// The checks a lab export runs before it writes anything. Each check looks at
// the order and the lab's profile and lists what the lab would refuse or
// misprint; any finding stops the export unless it is forced. The order
// check, judged by the lab's dpi and lowest resolution, is the standard one.

#include "production/export_pages.h"
#include "production/lab_profile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct PreflightFinding {
    QString kind;   // the order check's kind names ("size", "resolution", ...)
    QString page;   // the page concerned ("相册-2"); for a page count the product
    QString detail; // what is wrong, for the operator
    int slot = -1;  // the slot concerned, -1 where none applies
    std::optional<double> ppi;
};

using PreflightCheck = std::function<QList<PreflightFinding>(
    const QString& customer, const QList<ExportPage>& pages, const LabProfile& lab)>;

// The order check against the lab: page counts, layout records, pages not
// rendered or rendered before their last change, pages not of their
// product's size at the lab's dpi, slots below the lab's min_ppi.
QList<PreflightFinding> OrderCheckFindings(const QString& customer, const QList<ExportPage>& pages,
                                           const LabProfile& lab);

// Every check's findings, in the order of the checks.
QList<PreflightFinding> RunPreflight(const QList<PreflightCheck>& checks, const QString& customer,
                                     const QList<ExportPage>& pages, const LabProfile& lab);

// {"customer": ..., "findings": [{"kind", "page", "slot", "ppi", "detail"}]},
// UTF-8; the slot counted from 1 as the canvas shows it, null where none.
QByteArray PreflightJson(const QString& customer, const QList<PreflightFinding>& findings);
