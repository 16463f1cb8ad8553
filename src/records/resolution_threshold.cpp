#include "records/resolution_threshold.h"

#include "common/profile.h"
#include "records/number_text.h"

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("Version 1.0");
const QString kWarnName = QStringLiteral("ppi_warn");
const QString kLowName = QStringLiteral("ppi_low");

int PositiveOr(const QString& text, int fallback) {
    const int value = TextToInt(text);
    return value > 0 ? value : fallback;
}
} // namespace

ResolutionThreshold CurrentResolutionThreshold() {
    ResolutionThreshold t;
    t.warn = PositiveOr(Profile::GetString(kSection, kWarnName), t.warn);
    t.low = PositiveOr(Profile::GetString(kSection, kLowName), t.low);
    // The second level lies below the first; a profile that says otherwise
    // would flag photos red that are not even amber.
    t.low = std::min(t.low, t.warn);
    return t;
}

void SetResolutionThreshold(const ResolutionThreshold& threshold) {
    Profile::SetString(kSection, kWarnName, QString::number(threshold.warn));
    Profile::SetString(kSection, kLowName, QString::number(threshold.low));
}

ResolutionLevel LevelOf(double ppi, const ResolutionThreshold& threshold) {
    if (ppi < threshold.low)
        return ResolutionLevel::Low;
    if (ppi < threshold.warn)
        return ResolutionLevel::Soft;
    return ResolutionLevel::Sharp;
}
