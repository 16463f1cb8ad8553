#include "review/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace {
constexpr int kQuietModules = 4;
} // namespace

QImage QrCodeImage(const QString& text, int moduleSize) {
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code || moduleSize < 1)
        return {};
    const int modules = code->width;
    const int side = (modules + 2 * kQuietModules) * moduleSize;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            // Bit 0 of each module's byte: dark.
            if (!(code->data[y * modules + x] & 1))
                continue;
            const int left = (x + kQuietModules) * moduleSize;
            const int top = (y + kQuietModules) * moduleSize;
            for (int row = top; row < top + moduleSize; ++row) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
                for (int col = left; col < left + moduleSize; ++col)
                    line[col] = qRgb(0, 0, 0);
            }
        }
    }
    return image;
}
