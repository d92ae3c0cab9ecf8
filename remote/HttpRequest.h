#pragma once

#include <QByteArray>
#include <QHash>

// The head of an HTTP/1.1 request as the remote's server reads it: the request line and the
// headers, nothing more (the page's requests carry no body). Window-free, so that the
// limits can be tried byte by byte.
struct HttpRequest {
    enum class Parse { Incomplete, Done, Malformed, TooLarge };

    // A head, blank line included, may not be longer.
    static constexpr qsizetype kMaxHeadBytes = 8192;

    // Reads a head from the bytes received so far; with Done, *length is the head's length.
    static Parse parse(const QByteArray &received, HttpRequest *request, qsizetype *length);

    QByteArray method;
    QByteArray path; // the target without its query
    QHash<QByteArray, QByteArray> headers; // names in lower case
};
