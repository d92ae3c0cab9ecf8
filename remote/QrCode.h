#pragma once

#include <QImage>
#include <QString>

// A QR code of a text, black on white with the quiet zone around it, each module a square
// of the given pixels; a null image when the text is too long for a code.
QImage qrCode(const QString &text, int modulePixels);
