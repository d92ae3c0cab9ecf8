#pragma once

#include <QtGlobal>

#include <deque>
#include <optional>

// The presenter's reading rate: script words read over the last half minute, pauses
// included, as words a minute.
class ReadingRate final
{
public:
    // Starts afresh.
    void reset();
    // Words read, at a time in milliseconds on a steady clock.
    void read(int words, qint64 atMs);
    // None until the first words were read some seconds ago.
    std::optional<int> wordsPerMinute(qint64 nowMs) const;

private:
    struct Reading {
        qint64 at;
        int words;
    };
    std::deque<Reading> m_readings; // over the last half minute
};
