#include "recorder/QtAudioBackend.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>

namespace
{

// Opens a capture (QAudioSource) or playback (QAudioSink) stream of the take's
// format on a device and starts it on io; missing is the code for no device.
template <typename Stream>
MciError startStream(
    std::unique_ptr<Stream> &stream, const QAudioDevice &device, MciError missing, QIODevice *io)
{
    if (device.isNull())
        return missing;
    if (!device.isFormatSupported(takeFormat()))
        return MciError::UnsupportedFormat;
    stream = std::make_unique<Stream>(device, takeFormat());
    stream->start(io);
    if (stream->error() != QAudio::NoError) {
        stream.reset();
        return MciError::DeviceFailure;
    }
    return MciError::None;
}

template <typename Stream> void stopStream(std::unique_ptr<Stream> &stream)
{
    if (stream) {
        stream->stop();
        stream.reset();
    }
}

} // namespace

QtAudioBackend::QtAudioBackend() = default;

QtAudioBackend::~QtAudioBackend()
{
    stopCapture();
    stopPlayback();
}

MciError QtAudioBackend::startCapture(QIODevice *sink)
{
    stopCapture();
    return startStream(m_source, QMediaDevices::defaultAudioInput(), MciError::NoInputDevice, sink);
}

void QtAudioBackend::stopCapture()
{
    stopStream(m_source);
}

MciError QtAudioBackend::startPlayback(QIODevice *source)
{
    stopPlayback();
    return startStream(
        m_sink, QMediaDevices::defaultAudioOutput(), MciError::NoOutputDevice, source);
}

void QtAudioBackend::stopPlayback()
{
    stopStream(m_sink);
}
