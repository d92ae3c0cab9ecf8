#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct lame_global_struct;

// One MP3 stream at a constant bit rate, joint stereo, 44,100 Hz, owning its LAME handle.
// Input is full-scale 32-bit PCM, mono or interleaved stereo, at any rate LAME can resample.
class LameEncoder
{
public:
    static constexpr int kOutputRate = 44100;
    // Frames handed to LAME at a time by every encoding of the program: the same steps give
    // the same stream, whether the frames come from a WAV or from the microphone.
    static constexpr int kStepFrames = 8192;

    // Empty when LAME refuses the parameters; the reason goes to *error.
    static std::unique_ptr<LameEncoder> create(
        int inputRate, int inputChannels, int kbps, QString *error);
    ~LameEncoder();
    LameEncoder(const LameEncoder &) = delete;
    LameEncoder &operator=(const LameEncoder &) = delete;

    // MP3 bytes made from `frames` frames; valid until the next call. Empty optional on failure.
    std::optional<QByteArrayView> encode(const int *samples, int frames);
    // The rest of the stream, after the last encode.
    std::optional<QByteArrayView> flush();
    // The LAME tag frame that replaces the stream's first frame; empty when the first frame is
    // too small to hold it (the low bit rates at 44,100 Hz).
    std::optional<QByteArrayView> lameTagFrame();

    // Bit rates an MPEG-1 Layer III stream can carry, in kbit/s.
    static bool isMpeg1Bitrate(int kbps);
    // The rate written as decimal text, blanks around it allowed; empty when it is none of those.
    static std::optional<int> bitrateOf(const QString &kbpsText);

private:
    LameEncoder(lame_global_struct *lame, int inputChannels);
    unsigned char *bufferFor(int frames);

    struct Closer {
        void operator()(lame_global_struct *lame) const;
    };
    std::unique_ptr<lame_global_struct, Closer> m_lame;
    int m_inputChannels;
    std::vector<unsigned char> m_mp3;
};
