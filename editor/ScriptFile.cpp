#include "editor/ScriptFile.h"

#include "platform/SaveFile.h"

#include <QFile>
#include <QStringDecoder>

#include <array>

namespace
{

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned
// bytes there keep their C1 code points, as Windows itself maps them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
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
    // Stateless: a sequence cut off at the end is an error, not a wait for more.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = fromWindows1252(bytes);
    return withNewlines(std::move(text));
}

QByteArray encode(const QString &text)
{
    QString out = withNewlines(text);
    if (!out.endsWith(QLatin1Char('\n')))
        out.append(QLatin1Char('\n'));
    out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return out.toUtf8();
}

std::optional<QString> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decode(bytes);
}

bool write(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encode(text);
    if (file.write(bytes) != bytes.size())
        return false;
    return commitWhole(file);
}

} // namespace ScriptFile
