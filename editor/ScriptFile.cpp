#include "editor/ScriptFile.h"

#include "platform/SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>

namespace
{

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned
// bytes there keep their C1 code points, as Windows itself maps them.
// clang-format off
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

QChar fromWindows1252(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x80 && byte < 0xA0) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
}

struct Decoded {
    QString text;
    bool valid; // false when some bytes were not UTF-8
};

// UTF-8 as it stands: a BOM here is text, not a signature.
Decoded fromUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    return { std::move(text), !utf8.hasError() };
}

// The length of the well-formed UTF-8 sequence at bytes[i], or 0 when none starts
// there (a stray continuation byte, an overlong form, a surrogate, a value past
// U+10FFFF, or a sequence cut short).
int utf8SequenceLength(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (int k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return length;
}

// Well-formed UTF-8 as UTF-8, and each byte that is not part of it as Windows-1252,
// so that one stray byte does not turn the rest of a script into mojibake.
QString fromMixedUtf8(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        for (int length; end < bytes.size() && (length = utf8SequenceLength(bytes, end)) > 0;)
            end += length;
        text += fromUtf8(bytes.sliced(start, end - start)).text;
        if (end < bytes.size())
            text += fromWindows1252(bytes[end]);
        start = end + 1;
    }
    return text;
}

// Every CR LF and lone CR becomes '\n'.
QString withNewlines(QString text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

namespace ScriptFile
{

QString decode(const QByteArray &bytes)
{
    // Only the first BOM is a signature; one after it is the text's own.
    QByteArrayView body(bytes);
    if (body.startsWith(kUtf8Bom))
        body = body.sliced(kUtf8Bom.size());
    Decoded utf8 = fromUtf8(body);
    return withNewlines(utf8.valid ? std::move(utf8.text) : fromMixedUtf8(body));
}

QByteArray encode(const QString &text)
{
    QString out = withNewlines(text);
    if (!out.endsWith(QLatin1Char('\n')))
        out.append(QLatin1Char('\n'));
    out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // A text that starts with U+FEFF gets a signature before it, or the next
    // reading would take that character for one.
    const QByteArray signature
        = out.startsWith(QChar(0xFEFF)) ? kUtf8Bom.toByteArray() : QByteArray();
    return signature + out.toUtf8();
}

std::variant<QString, ReadError> read(const QString &path)
{
    // A FIFO or a device would block the reading or never end it.
    if (!QFileInfo(path).isFile())
        return ReadError::CannotRead;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadError::CannotRead;
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return ReadError::CannotRead;
    if (bytes.size() > kMaxBytes)
        return ReadError::TooBig;
    return decode(bytes);
}

bool write(const QString &path, const QString &text)
{
    return saveWhole(path, encode(text));
}

} // namespace ScriptFile
