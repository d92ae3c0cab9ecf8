#include "recorder/QtAudioBackend.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>

QtAudioBackend::QtAudioBackend() = default;

QtAudioBackend::~QtAudioBackend()
{
    stopCapture();
    stopPlayback();
}

MciError QtAudioBackend::startCapture(QIODevice *sink)
{
    stopCapture();
    const QAudioDevice input = QMediaDevices::defaultAudioInput();
    if (input.isNull())
        return MciError::NoInputDevice;
    if (!input.isFormatSupported(takeFormat()))
        return MciError::UnsupportedFormat;
    m_source = std::make_unique<QAudioSource>(input, takeFormat());
    m_source->start(sink);
    if (m_source->error() != QAudio::NoError) {
        m_source.reset();
        return MciError::DeviceFailure;
    }
    return MciError::None;
}

void QtAudioBackend::stopCapture()
{
    if (m_source) {
        m_source->stop();
        m_source.reset();
    }
}

MciError QtAudioBackend::startPlayback(QIODevice *source)
{
    stopPlayback();
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return MciError::NoOutputDevice;
    if (!output.isFormatSupported(takeFormat()))
        return MciError::UnsupportedFormat;
    m_sink = std::make_unique<QAudioSink>(output, takeFormat());
    m_sink->start(source);
    if (m_sink->error() != QAudio::NoError) {
        m_sink.reset();
        return MciError::DeviceFailure;
    }
    return MciError::None;
}

void QtAudioBackend::stopPlayback()
{
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
    }
}
