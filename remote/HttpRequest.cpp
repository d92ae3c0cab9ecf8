#include "remote/HttpRequest.h"

#include <QList>

HttpRequest::Parse HttpRequest::parse(
    const QByteArray &received, HttpRequest *request, qsizetype *length)
{
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0)
        return received.size() >= kMaxHeadBytes ? Parse::TooLarge : Parse::Incomplete;
    if (end + 4 > kMaxHeadBytes)
        return Parse::TooLarge;

    QList<QByteArray> lines;
    for (qsizetype from = 0; from <= end;) {
        const qsizetype next = received.indexOf("\r\n", from);
        lines.append(received.mid(from, next - from));
        from = next + 2;
    }
    for (const QByteArray &line : lines) {
        if (line.contains('\n') || line.contains('\r'))
            return Parse::Malformed; // a bare line break: not a head we trust
    }
    const QList<QByteArray> first = lines.first().split(' ');
    if (first.size() != 3 || !first.at(1).startsWith('/') || !first.at(2).startsWith("HTTP/1."))
        return Parse::Malformed;
    HttpRequest parsed;
    parsed.method = first.at(0);
    const QByteArray target = first.at(1);
    parsed.path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return Parse::Malformed;
        parsed.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    *request = parsed;
    *length = end + 4;
    return Parse::Done;
}
