#pragma once

// The checks a lab export runs before it writes anything. Each check looks at
// the order and the lab's profile and lists what the lab would refuse or
// misprint; any finding stops the export unless it is forced. The export's
// own check (pages not at their product's size at the lab's dpi) comes
// first; a check of the whole order plugs in as one more PreflightCheck.

#include "production/export_pages.h"
#include "production/lab_profile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

struct PreflightFinding {
    QString kind;   // e.g. "wrong_size"
    QString page;   // the page concerned ("相册-2"); empty for the whole order
    QString detail; // what is wrong, for the operator
};

using PreflightCheck = std::function<QList<PreflightFinding>(
    const QString& customer, const QList<ExportPage>& pages, const LabProfile& lab)>;

// "wrong_size": a rendered page whose pixels are not its product's size at
// the lab's dpi (composed at another resolution, or the product changed).
QList<PreflightFinding> WrongSizeFindings(const QString& customer, const QList<ExportPage>& pages,
                                          const LabProfile& lab);

// Every check's findings, in the order of the checks.
QList<PreflightFinding> RunPreflight(const QList<PreflightCheck>& checks, const QString& customer,
                                     const QList<ExportPage>& pages, const LabProfile& lab);

// {"customer": ..., "findings": [{"kind", "page", "detail"}]}, UTF-8.
QByteArray PreflightJson(const QString& customer, const QList<PreflightFinding>& findings);
