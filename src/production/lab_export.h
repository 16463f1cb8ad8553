#pragma once

// Export that follows a print lab's profile: the preflight runs first, then
// every page is written under the lab's file names, with its bleed, colour
// space, quality and chroma.

#include "production/export_pages.h"
#include "production/lab_profile.h"
#include "production/preflight.h"

struct LabExportOptions {
    // Run in this order before anything is written; the order check unless
    // the caller gives others.
    QList<PreflightCheck> checks{OrderCheckFindings};
    // Findings stop the export (shown through showFindings, Refused) unless
    // forced; a forced export writes them as preflight.json in the
    // customer's destination folder.
    bool force = false;
    std::function<void(const QList<PreflightFinding>&)> showFindings;
};

// The writer for ExportCustomer. Besides the preflight, an export whose file
// name pattern gives two pages one name (or a name a disk refuses) is
// refused with a message naming them; nothing is written.
ExportWriter LabExportWriter(const LabProfile& lab, const QString& customer,
                             const LabExportOptions& options = {});
