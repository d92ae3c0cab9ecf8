#include "follow/SpeechResampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace
{

// 16,000 / 44,100 in lowest terms: an output sample every 441 / 160 input samples.
constexpr qint64 kUp = 160;
constexpr qint64 kDown = 441;
// Input samples each output sample is made of: the edge then falls within 2 kHz, so the
// voice keeps its band up to 6.6 kHz, and what folds back from above 8 kHz lands above
// 7.4 kHz, where the speech model does not listen.
constexpr int kTaps = 128;
constexpr double kCutoffHz = 7600;
constexpr double kInputRate = 44100;

double sinc(double x)
{
    return x == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

} // namespace

SpeechResampler::SpeechResampler()
    : m_taps(size_t(kUp * kTaps))
{
    const double band = kCutoffHz / kInputRate;
    for (qint64 phase = 0; phase < kUp; ++phase) {
        float *row = &m_taps[size_t(phase * kTaps)];
        double sum = 0;
        for (int k = 0; k < kTaps; ++k) {
            // Distance from the output's place to the input sample the tap weighs.
            const double d = double(phase) / kUp + (kTaps / 2 - 1) - k;
            const double blackman = 0.42 + 0.5 * std::cos(std::numbers::pi * d / (kTaps / 2))
                + 0.08 * std::cos(2 * std::numbers::pi * d / (kTaps / 2));
            const double tap = sinc(2 * band * d) * std::max(blackman, 0.0);
            row[k] = float(tap);
            sum += tap;
        }
        // A steady level comes out as it went in.
        for (float &tap : std::span(row, size_t(kTaps)))
            tap = float(tap / sum);
    }
}

void SpeechResampler::push(const qint16 *frames, qint64 count, std::vector<qint16> &out)
{
    for (qint64 i = 0; i < count; ++i)
        m_input.push_back((float(frames[2 * i]) + float(frames[2 * i + 1])) / 2);
    const qint64 available = m_first + qint64(m_input.size());
    for (;;) {
        const qint64 at = m_next * kDown / kUp; // the input sample at or before the output's place
        const qint64 from = at - (kTaps / 2 - 1);
        if (from + kTaps > available)
            break;
        const float *row = &m_taps[size_t(m_next * kDown % kUp * kTaps)];
        float sum = 0;
        for (int k = 0; k < kTaps; ++k) {
            const qint64 index = from + k - m_first;
            // Before the first sample heard there was silence.
            sum += index < 0 ? 0 : row[k] * m_input[size_t(index)];
        }
        out.push_back(qint16(std::clamp(std::lround(sum), -32768L, 32767L)));
        ++m_next;
    }
    // Keep only what the next output samples still need.
    const qint64 keepFrom = std::max(m_first, m_next * kDown / kUp - (kTaps / 2 - 1));
    m_input.erase(m_input.begin(), m_input.begin() + (keepFrom - m_first));
    m_first = keepFrom;
}
