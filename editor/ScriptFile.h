#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Script files: plain text, read whole and written whole. Inside the program a
// line break is a single '\n', as the text box holds it.
namespace ScriptFile
{

// UTF-8 when the bytes are valid UTF-8 (a leading BOM is dropped), otherwise
// Windows-1252, the code page scripts written on Windows use. CR LF, LF and a
// lone CR each end a line.
QString decode(const QByteArray &bytes);

// UTF-8 with CR LF line breaks; one CR LF is added unless the text already
// ends with a line break, so a file survives any number of round trips.
QByteArray encode(const QString &text);

// Nothing when the file cannot be opened or read.
std::optional<QString> read(const QString &path);

// False when the file cannot be created or written; an existing file then
// stays as it was.
bool write(const QString &path, const QString &text);

} // namespace ScriptFile
