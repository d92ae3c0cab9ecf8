#pragma once

#include "recorder/AudioBackend.h"

#include <QtGlobal>

#include <vector>

// The meters' scale, in dB below full scale.
inline constexpr double kMeterFloorDb = -60.0;

// One block of input as the meters need it: its loudest sample and its length.
struct BlockLevel {
    int peak = 0; // magnitude, 0 to 32768
    qint64 frames = 0;
};

// The loudest sample of whole frames in the take's format (16 bits, interleaved).
BlockLevel measureBlock(const char *frames, qint64 bytes);

// A magnitude in dBFS, no lower than the meters' floor.
double levelDb(int peak);

// What the meters show, worked out from the blocks as they arrive and timed by the input's
// own frames, so that a late refresh shows the same as a punctual one: the level falling
// back as a meter's needle would, the peak held, the clip sign, the take's clipped moments
// and a microphone that has gone quiet.
class InputLevel
{
public:
    // Clips are counted and silence is timed only while a take is recorded; a new take
    // starts both afresh.
    void setRecording(bool recording);
    void add(const BlockLevel &block);
    // The input stopped: nothing shows until it is heard again.
    void clear();

    double level() const { return m_level; }
    double peakHold() const { return m_peak; }
    bool clipLit() const { return m_sinceClip < kClipHoldFrames; }
    int clips() const { return m_clips; }
    bool silent() const { return m_recording && m_quiet >= kSilenceFrames; }

    static constexpr qint64 kClipHoldFrames = 2 * qint64(kTakeRate);
    static constexpr qint64 kPeakHoldFrames = 3 * qint64(kTakeRate) / 2;
    static constexpr qint64 kSilenceFrames = 5 * qint64(kTakeRate);
    static constexpr double kSilenceDb = -50.0;
    // How fast the level falls back once the sound is gone.
    static constexpr double kFallDbPerSecond = 20.0;

private:
    double m_level = kMeterFloorDb;
    double m_peak = kMeterFloorDb;
    qint64 m_peakAge = 0; // frames since the held peak was heard
    qint64 m_sinceClip = kClipHoldFrames;
    bool m_lastClipped = false; // the block before was clipped: the same moment goes on
    int m_clips = 0;
    qint64 m_quiet = 0; // frames in a row below the silence level
    bool m_recording = false;
};

// Blocks the input hears, handed from the capture's thread to the meters. The one input
// of the program, or a stand-in for it in tests, tells every block it captures.
class LevelTap
{
public:
    static void publish(const char *frames, qint64 bytes);
    // The blocks heard since the last call; the oldest are dropped once no one has asked for
    // ten seconds.
    static std::vector<BlockLevel> drain();
};
