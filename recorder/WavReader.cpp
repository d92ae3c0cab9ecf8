#include "recorder/WavReader.h"

#include <QFile>

#include <sndfile.h>

void WavReader::Closer::operator()(sf_private_tag *file) const
{
    sf_close(file);
}

bool WavReader::open(const QString &path)
{
    SF_INFO info {};
    m_file.reset(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!m_file) {
        m_error = QString::fromLocal8Bit(sf_strerror(nullptr));
        return false;
    }
    m_rate = info.samplerate;
    m_channels = info.channels;
    m_frames = info.frames;
    return true;
}

qint64 WavReader::read(int *samples, qint64 frames)
{
    const sf_count_t got = sf_readf_int(m_file.get(), samples, frames);
    if (got < frames && sf_error(m_file.get()) != SF_ERR_NO_ERROR) {
        m_error = QString::fromLocal8Bit(sf_strerror(m_file.get()));
        return -1;
    }
    return got;
}
