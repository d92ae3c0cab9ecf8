#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

// Script files: plain text, read whole and written whole. Inside the program a
// line break is a single '\n', as the text box holds it.
namespace ScriptFile
{

// UTF-8, with any byte that is not part of valid UTF-8 taken as Windows-1252,
// the code page scripts written on Windows use. A leading BOM is dropped, once.
// CR LF, LF and a lone CR each end a line.
QString decode(const QByteArray &bytes);

// UTF-8 with CR LF line breaks; one CR LF is added unless the text already
// ends with a line break, so a file survives any number of round trips. A text
// that starts with U+FEFF is written behind a BOM, so that it keeps it.
QByteArray encode(const QString &text);

// The biggest script the prompter takes, in bytes.
inline constexpr qint64 kMaxBytes = 10 * 1024 * 1024;

enum class ReadError { CannotRead, TooBig };

// The file's text; an error when it is no regular file, cannot be read, or holds
// more than kMaxBytes.
std::variant<QString, ReadError> read(const QString &path);

// False when the file cannot be created or written; an existing file then
// stays as it was.
bool write(const QString &path, const QString &text);

} // namespace ScriptFile
