#pragma once

#include <QString>

#include <array>

// The MP3 qualities offered, in list order, with the bit rate (kbit/s) each stands for.
struct Quality {
    const char *item;
    const char *bitrate;
};

inline constexpr std::array<Quality, 5> kQualities = { {
    { "Very High - 128KBps", "128" },
    { "Near High - 96Kbps", "96" },
    { "FM Radio  - 64Kbps", "64" },
    { "Web Optimal  - 56Kbps", "56" },
    { "Web Fast  - 32Kbps", "32" },
} };

// The item shown when line 6 names no offered rate.
inline constexpr int kDefaultQuality = 3;

// The index of the quality whose bit rate is exactly this text, or -1.
inline int qualityIndexOf(const QString &bitrate)
{
    for (int i = 0; i < int(kQualities.size()); ++i) {
        if (bitrate == QLatin1String(kQualities[i].bitrate))
            return i;
    }
    return -1;
}
