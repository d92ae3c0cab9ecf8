#pragma once

#include <QSaveFile>

// Puts bytes in place of the file at path, whole or not at all: the old file stays until
// every byte reached the disk. The explicit flush matters: commit() in Qt 6.4 does not notice
// a buffered write that fails on its final flush (a full disk) and would put the cut-off copy
// in place of the old file. On failure the unsaved copy is discarded with the save file.
inline bool saveWhole(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size()
        && file.flush() && file.commit();
}
