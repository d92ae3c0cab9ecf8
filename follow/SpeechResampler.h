#pragma once

#include <QtGlobal>

#include <vector>

// The take's frames (44,100 a second, two 16-bit channels) as the speech model hears them:
// 16,000 a second in one channel. A windowed-sinc filter keeps what lies above 8 kHz from
// folding back into the voice.
class SpeechResampler
{
public:
    static constexpr int kOutputRate = 16000;

    SpeechResampler();
    // The next frames in; appends the samples they complete to out.
    void push(const qint16 *frames, qint64 count, std::vector<qint16> &out);

private:
    std::vector<float> m_taps; // one row per phase
    std::vector<float> m_input; // mono samples from m_first on
    qint64 m_first = 0; // input index of m_input's first sample
    qint64 m_next = 0; // index of the next output sample
};
