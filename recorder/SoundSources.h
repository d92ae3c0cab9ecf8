#pragma once

#include <QString>

#include <optional>
#include <vector>

// An input of the sound server: its name, which stays across restarts, and the words it
// shows the user.
struct SoundSource {
    QString name;
    QString description;
};

struct SoundSources {
    QString defaultName; // the server's default input
    std::vector<SoundSource> inputs; // the monitors of outputs left out
};

// The inputs the sound server offers now; none when it cannot be asked within two seconds.
std::optional<SoundSources> listSoundInputs();
