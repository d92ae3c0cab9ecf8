#pragma once

#include <QWidget>

class InputLevel;

// A bar from -60 to 0 dBFS with the held peak and, at its end, the clip sign; the panel's
// meter also counts the take's clipped moments there. It paints every pixel it covers, so
// a refresh never repaints what lies beneath.
class LevelMeter final : public QWidget
{
    Q_OBJECT

public:
    LevelMeter(QWidget *parent, bool countsClips);

    // Repaints only when what it shows has changed; the same words go to assistive tools.
    void showLevel(const InputLevel &level);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Reading {
        int level = 0; // tenths of a dB
        int peak = 0;
        bool clipLit = false;
        int clips = 0;
        bool operator==(const Reading &) const = default;
    };
    // What it shows, in words.
    QString words() const;

    bool m_countsClips;
    Reading m_shown;
};
