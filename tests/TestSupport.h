#pragma once

#include "platform/CommonDialog.h"
#include "platform/Mci.h"
#include "platform/MsgBox.h"
#include "settings/SettingsFile.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <deque>
#include <functional>
#include <optional>
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

// The items of the context menu a right click on the control opens (found by its design name in
// the control's window): each item's text, " (on)" after a checked one, " (greyed)" after one
// that cannot be chosen. The item whose text is pick is chosen first. The test stops when no
// menu opens.
inline QStringList menuItems(QWidget *control, const char *menuName, const QString &pick = {})
{
    QTest::mouseClick(control->window()->windowHandle(), Qt::RightButton, {},
        control->mapTo(control->window(), QPoint(control->width() - 4, 4)));
    auto *menu = control->window()->findChild<QMenu *>(QLatin1String(menuName));
    if (!menu || !menu->isVisible())
        qFatal("no menu %s", menuName);
    QStringList items;
    for (QAction *action : menu->actions()) {
        if (!pick.isEmpty() && action->text() == pick)
            action->trigger();
        items << action->text() + (action->isChecked() ? " (on)" : "")
                + (action->isEnabled() ? "" : " (greyed)");
    }
    menu->close();
    if (!pick.isEmpty() && !items.contains(pick) && !items.contains(pick + " (on)"))
        qFatal("no menu item %s", qPrintable(pick));
    return items;
}

// Picks a switch of that menu; answers whether it is on afterwards.
inline bool pickMenuItem(QWidget *control, const char *menuName, const QString &text)
{
    return menuItems(control, menuName, text).contains(text + " (on)");
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

// Undoes a change to the process (a variable, a limit, a permission) when it goes.
using Restore = QScopeGuard<std::function<void()>>;

// An environment variable set until the guard goes, then as it was.
inline Restore setEnvironment(const char *name, const QByteArray &value)
{
    const std::optional<QByteArray> old
        = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    qputenv(name, value);
    return Restore([name, old] { old ? qputenv(name, *old) : qunsetenv(name); });
}

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

// The names in a folder, hidden ones and links that lead nowhere included.
inline QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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

// Lets files grow no larger than a few bytes until the guard goes, as "ulimit -f" does, so
// that a write fails half way, as on a full disk; this holds for root too. The program itself
// must keep the limit from ending the run.
inline Restore limitFileSize(rlim_t bytes)
{
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit { bytes, old.rlim_max };
    setrlimit(RLIMIT_FSIZE, &limit);
    return Restore([old] { setrlimit(RLIMIT_FSIZE, &old); });
}

// A folder without write permission until the guard goes, and file access as an ordinary user
// meanwhile, so that writes into it fail even for root.
inline Restore makeReadOnly(const QString &path)
{
    using P = QFileDevice;
    QFile::setPermissions(path, P::ReadOwner | P::ExeOwner | P::ReadOther | P::ExeOther);
    const int user = geteuid() == 0 ? setfsuid(65534) : -1;
    return Restore([path, user] {
        if (user >= 0)
            setfsuid(uid_t(user));
        QFile::setPermissions(path, P::ReadOwner | P::WriteOwner | P::ExeOwner);
    });
}

// Plays the user at each common dialog while it lives; a show with no scripted answer is a cancel.
struct DialogAnswers {
    DialogAnswers()
    {
        CommonDialog::setAnswerer([this](CommonDialog::Kind kind, const CommonDialog &d) {
            fileNames << d.FileName;
            shows << QStringList { "Open", "Save", "Color" }.at(int(kind))
                    + QStringLiteral(" %1 %2 ").arg(d.Flags).arg(d.FilterIndex) + d.Filter
                    + (d.CancelError ? " CancelError" : "");
            return answers.isEmpty() ? CommonDialog::Answer {} : answers.takeFirst();
        });
    }
    ~DialogAnswers() { CommonDialog::setAnswerer({}); }
    Q_DISABLE_COPY(DialogAnswers)

    void choose(const QString &path) { answers.push_back({ true, path, 0 }); }
    void chooseColor(qint32 color) { answers.push_back({ true, QString(), color }); }
    void cancel() { answers.push_back({}); }
    QList<CommonDialog::Answer> answers;
    QStringList fileNames; // as each show found FileName
    QStringList shows; // "Kind Flags FilterIndex Filter[ CancelError]"
};
