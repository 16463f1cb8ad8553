#pragma once

// Export that follows a print lab's profile: every page is checked to have
// been composed at the lab's resolution, then written under the lab's file
// names, with its bleed, colour space, quality and chroma.

#include "production/export_pages.h"
#include "production/lab_profile.h"

// The writer for ExportCustomer. Nothing is written when a page's size is
// not its product's size at the lab's dpi, or when the file name pattern
// gives two pages one name: the operator is told which, and the export is
// refused.
ExportWriter LabExportWriter(const LabProfile& lab, const QString& customer);
