#include "remote/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace
{
constexpr int kQuietModules = 4; // the margin a reader needs
}

QImage qrCode(const QString &text, int modulePixels)
{
    const QByteArray utf8 = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return QImage();
    const int side = (code->width + 2 * kQuietModules) * modulePixels;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // The low bit of each byte is the module: 1 is dark.
            if (!(code->data[y * code->width + x] & 1))
                continue;
            for (int dy = 0; dy < modulePixels; ++dy)
                for (int dx = 0; dx < modulePixels; ++dx)
                    image.setPixel((x + kQuietModules) * modulePixels + dx,
                        (y + kQuietModules) * modulePixels + dy, 1);
        }
    }
    return image;
}
