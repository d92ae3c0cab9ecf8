#include "recorder/AudioBackend.h"

QAudioFormat takeFormat()
{
    QAudioFormat format;
    format.setSampleRate(kTakeRate);
    format.setChannelCount(kTakeChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}
