#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <stop_token>

class QIODevice;

// An MP3 encoded while its take was recorded, held in an unnamed private file until a save
// asks for it. Its bytes are those an encoding of the take's WAV at the same rate gives.
class EncodedTake
{
public:
    // fd: the stream as LAME made it, owned from now on; tag: the LAME tag frame that
    // replaces its first frame (empty when none fits); frames: the take's frames encoded.
    EncodedTake(int fd, QByteArray tag, int kbps, qint64 frames);
    ~EncodedTake();
    EncodedTake(const EncodedTake &) = delete;
    EncodedTake &operator=(const EncodedTake &) = delete;

    int kbps() const { return m_kbps; }
    qint64 frames() const { return m_frames; }

    // Writes the whole MP3 to file, telling of the bytes written so far and in all. False,
    // with the reason, when the stream cannot be read or written, or on a stop request.
    bool writeTo(QIODevice &file, std::stop_token stop,
        const std::function<void(qint64 done, qint64 all)> &progress, QString *reason) const;

    // Offers the encoding for the MP3 of the WAV just saved from its take at wav. The
    // offer holds until the next offer, or until the take's holder withdraws it.
    static void offer(const QString &wav, std::shared_ptr<const EncodedTake> mp3);
    static void withdraw(const EncodedTake *mp3);
    // The encoding offered for the WAV at wav, if it was made at kbps and the WAV is still
    // the file that was saved; null otherwise. For the user-interface thread, as offer is.
    static std::shared_ptr<const EncodedTake> claim(const QString &wav, int kbps);

private:
    int m_fd;
    QByteArray m_tag;
    int m_kbps;
    qint64 m_frames;
};
