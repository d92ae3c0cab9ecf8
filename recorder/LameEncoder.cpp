#include "recorder/LameEncoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <array>

namespace
{

// Enough for any chunk, as lame.h advises: 1.25 bytes a sample plus 7200.
int mp3BufferSize(int frames)
{
    return frames + frames / 4 + 7200;
}

} // namespace

void LameEncoder::Closer::operator()(lame_global_struct *lame) const
{
    lame_close(lame);
}

bool LameEncoder::isMpeg1Bitrate(int kbps)
{
    static constexpr std::array rates { 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256,
        320 };
    return std::find(rates.begin(), rates.end(), kbps) != rates.end();
}

std::optional<int> LameEncoder::bitrateOf(const QString &kbpsText)
{
    bool ok = false;
    const int kbps = kbpsText.trimmed().toInt(&ok);
    if (!ok || !isMpeg1Bitrate(kbps))
        return std::nullopt;
    return kbps;
}

std::unique_ptr<LameEncoder> LameEncoder::create(
    int inputRate, int inputChannels, int kbps, QString *error)
{
    if (inputChannels != 1 && inputChannels != 2) {
        *error = QStringLiteral("%1 channels; only mono and stereo are encoded").arg(inputChannels);
        return nullptr;
    }
    lame_t lame = lame_init();
    if (!lame) {
        *error = QStringLiteral("the encoder could not be created");
        return nullptr;
    }
    std::unique_ptr<LameEncoder> encoder(new LameEncoder(lame, inputChannels));
    // Mono is given to LAME as two equal channels, so every file comes out joint stereo.
    const bool set = lame_set_num_channels(lame, 2) == 0
        && lame_set_in_samplerate(lame, inputRate) == 0
        && lame_set_out_samplerate(lame, kOutputRate) == 0 && lame_set_VBR(lame, vbr_off) == 0
        && lame_set_brate(lame, kbps) == 0 && lame_set_mode(lame, JOINT_STEREO) == 0
        && lame_set_bWriteVbrTag(lame, 1) == 0;
    if (!set || lame_init_params(lame) < 0) {
        *error
            = QStringLiteral("the encoder refused %1 kbit/s from %2 Hz").arg(kbps).arg(inputRate);
        return nullptr;
    }
    return encoder;
}

LameEncoder::LameEncoder(lame_global_struct *lame, int inputChannels)
    : m_lame(lame)
    , m_inputChannels(inputChannels)
{
}

LameEncoder::~LameEncoder() = default;

unsigned char *LameEncoder::bufferFor(int frames)
{
    m_mp3.resize(std::max<size_t>(m_mp3.size(), size_t(mp3BufferSize(frames))));
    return m_mp3.data();
}

std::optional<QByteArrayView> LameEncoder::encode(const int *samples, int frames)
{
    unsigned char *out = bufferFor(frames);
    const int size = int(m_mp3.size());
    const int written = m_inputChannels == 1
        ? lame_encode_buffer_int(m_lame.get(), samples, samples, frames, out, size)
        : lame_encode_buffer_interleaved_int(m_lame.get(), samples, frames, out, size);
    if (written < 0)
        return std::nullopt;
    return QByteArrayView(out, written);
}

std::optional<QByteArrayView> LameEncoder::flush()
{
    unsigned char *out = bufferFor(0);
    const int written = lame_encode_flush(m_lame.get(), out, int(m_mp3.size()));
    if (written < 0)
        return std::nullopt;
    return QByteArrayView(out, written);
}

std::optional<QByteArrayView> LameEncoder::lameTagFrame()
{
    unsigned char *out = bufferFor(0);
    const size_t size = lame_get_lametag_frame(m_lame.get(), out, m_mp3.size());
    if (size > m_mp3.size())
        return std::nullopt;
    return QByteArrayView(out, qsizetype(size));
}
