#include "follow/Recogniser.h"

#include "follow/SpeechModel.h"
#include "follow/SpeechResampler.h"
#include "recorder/SoundInput.h"

#include <pocketsphinx.h>

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <span>
#include <vector>

namespace
{

// The decoder is given 50 ms at a time: the voice is heard that soon.
constexpr size_t kStepSamples = SpeechResampler::kOutputRate / 20;
// More than the decoder ever falls behind; the oldest beyond it are let go.
constexpr size_t kMaxWaiting = 30 * SpeechResampler::kOutputRate;
// How long the decoder waits for sound before it looks whether it is to stop.
constexpr auto kWaitStep = std::chrono::milliseconds(50);

QStringList wordsOf(const char *hypothesis)
{
    if (!hypothesis)
        return {};
    return QString::fromUtf8(hypothesis).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

// What the shared input hears, at the speech model's rate, waiting for the decoder.
class Recogniser::Input final : public SoundInput::Listener
{
public:
    void heard(const char *frames, qint64 bytes) override
    {
        {
            const std::scoped_lock lock(m_mutex);
            m_resampler.push(reinterpret_cast<const qint16 *>(frames), bytes / 4, m_waiting);
            if (m_waiting.size() > kMaxWaiting)
                m_waiting.erase(m_waiting.begin(), m_waiting.end() - kMaxWaiting);
        }
        m_wake.notify_one();
    }
    void lost() override
    {
        {
            const std::scoped_lock lock(m_mutex);
            m_lost = true;
        }
        m_wake.notify_one();
    }
    // Swaps what has come in for samples, after waiting a moment for some; false once the
    // input is lost.
    bool take(std::vector<qint16> &samples)
    {
        samples.clear();
        std::unique_lock lock(m_mutex);
        m_wake.wait_for(lock, kWaitStep, [this] { return !m_waiting.empty() || m_lost; });
        samples.swap(m_waiting);
        return !m_lost;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    SpeechResampler m_resampler; // guarded by m_mutex, as are the two below
    std::vector<qint16> m_waiting;
    bool m_lost = false;
};

Recogniser::Recogniser(QObject *parent)
    : QObject(parent)
{
}

Recogniser::~Recogniser()
{
    stop();
}

Recogniser::Failure Recogniser::start(const SpeechModel &model)
{
    stop();
    m_input = std::make_unique<Input>();
    if (SoundInput::join(m_input.get()) != MciError::None) {
        m_input.reset();
        return Failure::NoInput;
    }
    m_stopping = false;
    m_thread = std::thread(
        &Recogniser::listen, this, model.dictionaryPath(), model.languageModelPath(), ++m_session);
    return Failure::None;
}

void Recogniser::stop()
{
    ++m_session;
    if (!m_thread.joinable())
        return;
    SoundInput::leave(m_input.get());
    m_stopping = true;
    m_thread.join();
    m_input.reset();
}

template <typename Emit> void Recogniser::tell(quint64 session, Emit emit)
{
    QMetaObject::invokeMethod(
        this,
        [this, session, emit] {
            if (session == m_session)
                emit();
        },
        Qt::QueuedConnection);
}

void Recogniser::listen(const QString &dictionary, const QString &languageModel, quint64 session)
{
    cmd_ln_t *config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm",
        qPrintable(SpeechModel::acousticModel()), "-lm", qPrintable(languageModel), "-dict",
        qPrintable(dictionary), "-samprate", "16000", "-logfn", "/dev/null", nullptr);
    ps_decoder_t *decoder = config ? ps_init(config) : nullptr;
    if (config)
        cmd_ln_free_r(config);
    if (!decoder) {
        tell(session, [this] { Q_EMIT noModel(); });
        return;
    }
    // What was heard while the decoder was made is let go: following starts from now.
    std::vector<qint16> samples;
    m_input->take(samples);
    tell(session, [this] { Q_EMIT ready(); });
    QStringList told;
    bool speaking = false;
    ps_start_utt(decoder);
    while (!m_stopping) {
        if (!m_input->take(samples)) {
            tell(session, [this] { Q_EMIT inputLost(); });
            break;
        }
        for (std::span<const qint16> rest(samples); !rest.empty() && !m_stopping;) {
            const std::span<const qint16> step = rest.first(std::min(kStepSamples, rest.size()));
            rest = rest.subspan(step.size());
            ps_process_raw(decoder, step.data(), step.size(), FALSE, FALSE);
            const bool inSpeech = ps_get_in_speech(decoder) != 0;
            if (inSpeech) {
                speaking = true;
                const QStringList words = wordsOf(ps_get_hyp(decoder, nullptr));
                if (words != told) {
                    told = words;
                    tell(session, [this, words] { Q_EMIT heard(words, false); });
                }
            } else if (speaking) {
                // A pause closes the utterance; its final words are the surest.
                ps_end_utt(decoder);
                const QStringList words = wordsOf(ps_get_hyp(decoder, nullptr));
                tell(session, [this, words] { Q_EMIT heard(words, true); });
                told.clear();
                speaking = false;
                ps_start_utt(decoder);
            }
        }
    }
    ps_end_utt(decoder);
    ps_free(decoder);
}
