#pragma once

#include <QIODevice>
#include <QString>

#include <chrono>
#include <functional>
#include <limits>
#include <memory>

// One take's frames as raw PCM in a folder only the user can enter. It can be
// recovered at any moment: what is written reaches the disk within a second, and a
// run that ends without cleaning up leaves it for the next start. The holder keeps
// a lock on it, so a second program running meanwhile never takes it for a left one.
// A take let go unsaved joins the recent takes, in a folder of their own beside it: the ten
// newest, and no more than 2 GB of them.
class TakeFile final : public QIODevice
{
    Q_OBJECT

public:
    // A new, empty take; null when the folder or the file cannot be made, with why in problem.
    static std::unique_ptr<TakeFile> create(QString *problem = nullptr);
    // The takes in the folder, newest first: left by earlier runs, or held by
    // programs running now.
    static QStringList found();
    // A take nobody holds, held from now on; null when another holds it or it is
    // no take of the user's.
    static std::unique_ptr<TakeFile> hold(const QString &path);
    // The recent takes, newest first.
    static QStringList recent();
    // Whether a program running now, this one included, holds the take.
    static bool isHeld(const QString &path);
    // Where takes live; made, private, when missing. Empty when it cannot be, with why, naming
    // the folder, in problem.
    static QString folder(QString *problem = nullptr);
    // Bytes a take there can still grow by.
    static qint64 room();

    ~TakeFile() override; // deletes the file, unless kept
    // Leaves the file on the disk when the take is let go, for a later start to offer.
    void keep() { m_kept = true; }
    // Keeps the take among the recent ones when it is let go, unless it holds nothing; where
    // they cannot be kept, it stays for a later start to offer.
    void keepAsRecent() { m_recent = true; }

    QString fileName() const { return m_path; }
    // A name that reaches the take's frames for reading even when its own is gone: a take
    // whose folder was deleted meanwhile still plays and saves.
    QString readableName() const;
    qint64 frameBytes() const; // the whole frames held
    qint64 size() const override;
    bool isSequential() const override { return true; }
    // Pushes what was written to the disk; false when the disk refused it. While the take
    // is written, a thread of its own does this every second, so that a slow disk holds up
    // neither the writer nor those who wait for it.
    bool sync();
    // Told, on the writing thread, when the disk takes no more.
    void setWriteFailedHandler(std::function<void()> handler)
    {
        m_writeFailed = std::move(handler);
    }
    // Takes no more than bytes; told, on the writing thread, of the write that reaches them.
    void setLimit(qint64 bytes, std::function<void()> reached)
    {
        m_limit = bytes;
        m_limitReached = std::move(reached);
    }
    // Told, on the writing thread, of the bytes each write added to the take.
    void setWrittenHandler(std::function<void(const char *, qint64)> handler)
    {
        m_written = std::move(handler);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 length) override;

private:
    TakeFile(int fd, const QString &path);
    // The recent takes' folder, made private when missing; empty when it cannot be.
    static QString recentFolder();
    // True when the file is now a recent take, or already was one.
    bool moveToRecent();

    // The flushing thread and what it shares with the take; it outlives the take until a
    // flush under way has ended.
    struct Flusher;

    int m_fd;
    QString m_path;
    bool m_kept = false;
    bool m_recent = false;
    std::chrono::steady_clock::time_point m_synced; // the writer's last request for a flush
    std::shared_ptr<Flusher> m_flusher;
    std::function<void()> m_writeFailed;
    qint64 m_limit = std::numeric_limits<qint64>::max();
    std::function<void()> m_limitReached;
    std::function<void(const char *, qint64)> m_written;
};
