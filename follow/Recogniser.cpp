#include "follow/Recogniser.h"

#include "follow/SpeechModel.h"

#include <pocketsphinx.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <QMetaObject>

#include <array>

namespace
{

constexpr int kRate = 16000;
// A read is 50 ms: the voice is heard that soon, and stop never waits longer.
constexpr int kChunkFrames = kRate / 20;

QStringList wordsOf(const char *hypothesis)
{
    if (!hypothesis)
        return {};
    return QString::fromUtf8(hypothesis).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

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
    cmd_ln_t *config = cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm",
        qPrintable(SpeechModel::acousticModel()), "-lm", qPrintable(model.languageModelPath()),
        "-dict", qPrintable(model.dictionaryPath()), "-samprate", "16000", "-logfn", "/dev/null",
        nullptr);
    ps_decoder_t *decoder = config ? ps_init(config) : nullptr;
    if (config)
        cmd_ln_free_r(config);
    if (!decoder)
        return Failure::NoModel;

    const pa_sample_spec spec { PA_SAMPLE_S16LE, kRate, 1 };
    const pa_buffer_attr buffer { uint32_t(-1), uint32_t(-1), uint32_t(-1), uint32_t(-1),
        uint32_t(kChunkFrames * 2) };
    int error = 0;
    pa_simple *input = pa_simple_new(nullptr, "Tellvane Professional", PA_STREAM_RECORD, nullptr,
        "Following the voice", &spec, nullptr, &buffer, &error);
    if (!input) {
        ps_free(decoder);
        return Failure::NoInput;
    }
    m_stopping = false;
    m_thread = std::thread(&Recogniser::listen, this, decoder, input);
    return Failure::None;
}

void Recogniser::stop()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    m_thread.join();
}

void Recogniser::listen(void *decoderHandle, void *inputHandle)
{
    auto *decoder = static_cast<ps_decoder_t *>(decoderHandle);
    auto *input = static_cast<pa_simple *>(inputHandle);
    std::array<int16, kChunkFrames> chunk {};
    QStringList told;
    bool speaking = false;
    ps_start_utt(decoder);
    while (!m_stopping) {
        int error = 0;
        if (pa_simple_read(input, chunk.data(), sizeof chunk, &error) < 0) {
            QMetaObject::invokeMethod(this, &Recogniser::inputLost, Qt::QueuedConnection);
            break;
        }
        ps_process_raw(decoder, chunk.data(), chunk.size(), FALSE, FALSE);
        const bool inSpeech = ps_get_in_speech(decoder) != 0;
        if (inSpeech) {
            speaking = true;
            const QStringList words = wordsOf(ps_get_hyp(decoder, nullptr));
            if (words != told) {
                told = words;
                Q_EMIT heard(words, false);
            }
        } else if (speaking) {
            // A pause closes the utterance; its final words are the surest.
            ps_end_utt(decoder);
            Q_EMIT heard(wordsOf(ps_get_hyp(decoder, nullptr)), true);
            told.clear();
            speaking = false;
            ps_start_utt(decoder);
        }
    }
    ps_end_utt(decoder);
    pa_simple_free(input);
    ps_free(decoder);
}
