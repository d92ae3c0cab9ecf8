#pragma once

#include <QFile>

#include <functional>

// A new file that takes a path's place whole or not at all. It has no name until it is
// whole, so a run killed meanwhile leaves nothing behind (only where the file system cannot
// make an unnamed file is it written under a temporary name beside the path). It then
// replaces whatever the path names, a symbolic link included: a link planted in a shared
// folder never leads a save onto another file. An old file at the path keeps its rights.
class ReplacingFile final : public QFile
{
public:
    // Opened for writing at once; isOpen() tells whether it could be made.
    explicit ReplacingFile(const QString &path);
    ~ReplacingFile() override; // a file not committed is discarded
    Q_DISABLE_COPY(ReplacingFile)

    // Puts the file in place when every byte reached the disk; false, with the path as it
    // was, when not.
    bool commit();

    // Test seam: where the random part of a temporary name comes from; while none is set,
    // the system's generator.
    static void setTempNameSource(std::function<quint32()> source);

private:
    // Gives the file a fresh temporary name beside the path through take, trying a few while
    // the names are taken; false when none could be had.
    bool takeTempName(const std::function<bool(const char *)> &take);

    QByteArray m_path;
    QByteArray m_folder;
    QByteArray m_tempName; // while it is ours to remove
};
