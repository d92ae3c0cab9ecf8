#pragma once

#include <QObject>
#include <QString>

#include <thread>

// The MP3 encoder control: takes a bit rate and a WAV, makes the MP3 on a worker thread, and
// reports on the thread it lives on. An encoding that started ends with exactly one of
// Progress(100, ...) — sent once the MP3 file is complete and in place — or Failed.
class OcxLame final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Bitrate READ Bitrate WRITE setBitrate)

public:
    explicit OcxLame(QObject *parent = nullptr);
    // Stops a running encoding; its MP3 is not written.
    ~OcxLame() override;

    // libmp3lame is linked in, so there is no library file to load; the path is accepted only.
    void SetLibraryPath(const QString &path);

    // kbit/s as decimal text; blanks around the number are allowed.
    QString Bitrate() const { return m_bitrate; }
    void setBitrate(const QString &kbps) { m_bitrate = kbps; }

    // Starts encoding and returns at once. False, with no signal to follow, while an encoding
    // is running or when Bitrate is not an MPEG-1 Layer III bit rate.
    bool EncodeFile(const QString &inputWav, const QString &outputMp3);

    bool isEncoding() const { return m_encoding; }

Q_SIGNALS:
    // Percent 0 to 100, never going down; milliseconds of audio encoded and in the whole WAV.
    void Progress(int percent, int encodedMs, int totalMs);
    // The MP3 was not made, and no file of that name was written.
    void Failed(const QString &reason);

private:
    void report(int percent, qint64 encodedMs, qint64 totalMs);
    void finish(bool ok, const QString &reason, qint64 encodedMs, qint64 totalMs);

    QString m_bitrate;
    bool m_encoding = false;
    int m_lastPercent = -1;
    // Joined when the next encoding replaces it (this one has ended by then) or, stopped first,
    // when the control is destroyed.
    std::jthread m_worker;
};
