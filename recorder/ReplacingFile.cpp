#include "recorder/ReplacingFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

std::function<quint32()> &tempNameSource()
{
    static std::function<quint32()> source;
    return source;
}

} // namespace

ReplacingFile::ReplacingFile(const QString &path)
    : m_path(QFile::encodeName(path))
    , m_folder(QFile::encodeName(QFileInfo(path).absolutePath()))
{
    // Created afresh (never through a link), with the usual rights under the umask.
    int fd = ::open(m_folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        takeTempName([&fd](const char *name) {
            fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd >= 0;
        });
    }
    if (fd < 0)
        setErrorString(qt_error_string(errno));
    else if (!open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
    struct stat old = {};
    if (isOpen() && ::lstat(m_path.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(handle(), old.st_mode & 07777);
}

ReplacingFile::~ReplacingFile()
{
    close();
    if (!m_tempName.isEmpty())
        ::unlink(m_tempName.constData());
}

bool ReplacingFile::commit()
{
    if (!isOpen() || !flush() || ::fsync(handle()) != 0)
        return false;
    if (m_tempName.isEmpty()) { // unnamed: a name beside the path first, then the path's
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle());
        const auto link = [&self](const char *name) {
            return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
        };
        if (!takeTempName(link))
            return false;
    }
    if (::rename(m_tempName.constData(), m_path.constData()) != 0)
        return false;
    m_tempName.clear();
    return true;
}

bool ReplacingFile::takeTempName(const std::function<bool(const char *)> &take)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 number
            = tempNameSource() ? tempNameSource()() : QRandomGenerator::global()->generate();
        m_tempName = m_folder + "/tellvane-" + QByteArray::number(number, 16).rightJustified(8, '0')
            + ".tmp";
        if (take(m_tempName.constData()))
            return true;
        if (errno != EEXIST)
            break;
    }
    m_tempName.clear();
    return false;
}

void ReplacingFile::setTempNameSource(std::function<quint32()> source)
{
    tempNameSource() = std::move(source);
}
