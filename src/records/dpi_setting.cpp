#include "records/dpi_setting.h"

#include "common/profile.h"
#include "records/number_text.h"

#include <algorithm>
#include <cstdint>

namespace {
const QString kSection = QStringLiteral("Version 1.0");
const QString kName = QStringLiteral("dpi");
} // namespace

QString DpiText() {
    return Profile::GetString(kSection, kName, QStringLiteral("254"));
}

void SetDpiText(const QString& text) {
    Profile::SetString(kSection, kName, text);
}

int DpiFromText(const QString& text) {
    if (text == QLatin1String("200"))
        return 200;
    if (text == QLatin1String("300"))
        return 300;
    return 254;
}

int CurrentDpi() {
    return DpiFromText(DpiText());
}

int CmToPixels(const QString& cmText, int dpi) {
    const int perHundredCm = dpi == 200 ? 7874 : dpi == 300 ? 11811 : 10000;
    // Widened so that an absurd size saturates instead of overflowing.
    const int64_t pixels = int64_t(TextToInt(cmText)) * perHundredCm / 100;
    return static_cast<int>(std::clamp<int64_t>(pixels, INT32_MIN, INT32_MAX));
}

int CmToPixels(const QString& cmText) {
    return CmToPixels(cmText, CurrentDpi());
}

double PixelsToCm(int pixels, int dpi) {
    const double cmPerPixel = dpi == 200 ? 0.0127000254 : dpi == 300 ? 0.0084666836 : 0.01;
    return pixels * cmPerPixel;
}

double PixelsToCm(int pixels) {
    return PixelsToCm(pixels, CurrentDpi());
}

QStringList DpiChoices() {
    return {QStringLiteral("200"), QStringLiteral("254"), QStringLiteral("300")};
}

int DpiChoiceIndexFor(const QString& text) {
    const QStringList choices = DpiChoices();
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].startsWith(text))
            return i;
    }
    return -1;
}

QString DpiTextForChoice(int index) {
    if (index == 0)
        return QStringLiteral("200");
    if (index == 2)
        return QStringLiteral("300");
    return QStringLiteral("254");
}
