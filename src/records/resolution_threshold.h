#pragma once

// How sharp a photo must print: the effective resolution (pixels of the
// photo per inch of the printed slot) below which a slot is flagged. Kept in
// the profile (section "Version 1.0", values "ppi_warn" and "ppi_low"), 150
// and 100 when absent or not a positive number.
struct ResolutionThreshold {
    int warn = 150; // below: prints soft (amber)
    int low = 100;  // below: prints visibly blurred (red)
};

enum class ResolutionLevel { Sharp, Soft, Low };

ResolutionThreshold CurrentResolutionThreshold();
void SetResolutionThreshold(const ResolutionThreshold& threshold);
ResolutionLevel LevelOf(double ppi, const ResolutionThreshold& threshold);
