#pragma once

#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "settings/SettingsFile.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <deque>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

// A window's control by its design name (its object name); the test stops when there is none.
template <typename T = QWidget> T *child(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

// A click on a button found by its design name, as the user's mouse gives it.
inline void click(const QObject &window, const char *name)
{
    child<QAbstractButton>(window, name)->click();
}

// One timeout of a window's timer found by its design name, as its interval would give it.
inline void fire(const QObject &window, const char *timer)
{
    QMetaObject::invokeMethod(child<QTimer>(window, timer), "timeout");
}

// What an MCI command string returns.
inline MciError send(const QString &command)
{
    QString ret;
    return MciError(mciSendStringA(command, ret, 1024, 0));
}

// The message box that reports an MCI error.
inline QString errorBox(MciError error)
{
    QString text;
    mciGetErrorStringA(qint32(error), text, 1024);
    return "Error: " + text.toUpper();
}

// An environment variable set for as long as it lives, then as it was.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char *name, const QByteArray &value)
        : m_name(name)
        , m_wasSet(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentVariable()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    Q_DISABLE_COPY(EnvironmentVariable)

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_old;
};

// Collects message boxes instead of showing them, for as long as it lives.
class CapturedMessages
{
public:
    CapturedMessages()
    {
        setMessageSink([this](const ShownMessage &m) {
            list.push_back(m);
            if (m.style != MsgStyle::YesNoQuestion)
                return MsgAnswer::Ok;
            const bool yes = !answers.empty() && answers.front();
            if (!answers.empty())
                answers.pop_front();
            return yes ? MsgAnswer::Yes : MsgAnswer::No;
        });
    }
    ~CapturedMessages() { setMessageSink({}); }
    Q_DISABLE_COPY(CapturedMessages)

    // Each box as "Error: TEXT" or "Message: TEXT"; a title that does not go
    // with the box's icon shows as "?", so that it cannot pass for either.
    QStringList shown() const
    {
        QStringList result;
        for (const ShownMessage &m : list) {
            const bool error = m.title == "Error" && m.style == MsgStyle::Critical;
            const bool notice = m.title == "Message" && m.style != MsgStyle::Critical;
            result << (error || notice ? m.title : "?") + ": " + m.text;
        }
        return result;
    }

    std::vector<ShownMessage> list;
    std::deque<bool> answers; // to the questions, in turn: true for Yes; No when none is left
};

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes a file whole, over what it held.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// The names in a folder, hidden ones included.
inline QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A settings.ini of a test's own, in a folder that disappears with the test.
class SettingsFolder
{
public:
    explicit SettingsFolder(const QByteArray &bytes = {})
    {
        SettingsFile::setFolder(m_dir.path());
        if (!bytes.isNull())
            write(bytes);
    }
    ~SettingsFolder() { SettingsFile::setFolder(QString()); }
    Q_DISABLE_COPY(SettingsFolder)

    QString path() const { return m_dir.path(); }
    QByteArray read() const { return fileBytes(SettingsFile::path()); }
    void write(const QByteArray &bytes) const { QVERIFY(writeFile(SettingsFile::path(), bytes)); }

private:
    QTemporaryDir m_dir;
};

// Lets files grow no larger than a few bytes while it lives, so that a write
// fails half way, as on a full disk; this holds for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { bytes, m_old.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY(FileSizeLimit)

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

// A folder without write permission for as long as it lives, and file access as
// an ordinary user meanwhile, so that writes into it fail even for root.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path)
        : m_path(path)
    {
        QFile::setPermissions(path,
            QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                | QFileDevice::ExeOther);
        if (geteuid() == 0)
            m_previousUser = setfsuid(65534);
    }
    ~ReadOnlyFolder()
    {
        if (m_previousUser >= 0)
            setfsuid(uid_t(m_previousUser));
        QFile::setPermissions(
            m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    Q_DISABLE_COPY(ReadOnlyFolder)

private:
    QString m_path;
    int m_previousUser = -1;
};
