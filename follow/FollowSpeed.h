#pragma once

// The speed a hand on the speed bar would set to keep the point being spoken at the reading
// line: it closes the distance in about a second, changes gently and stops when the presenter
// does.
class FollowSpeed final
{
public:
    // distance: twips from the reading line to the point being spoken, positive when that point is
    //   still below the reading line (the text must rise), negative when it has gone above;
    // heardAgo: seconds since a script word was last heard; offScript: the aligner's view.
    // Returns the speed for this tick, 0..110.
    int speedFor(double distance, double heardAgo, bool offScript);
    void reset() { m_speed = 0; } // back to standing still, as after Start

private:
    int m_speed = 0;
};
