#include "prompter/PromptCommand.h"

#include "platform/KeyPreview.h"

#include <array>
#include <utility>

namespace
{
// Any shift state: the keys a presenter presses in a hurry, and the clicker's.
constexpr int kAnyShift = -1;

struct KeyCommand {
    int keyCode;
    int shift;
    PromptCommand command;
};

constexpr std::array kKeys {
    KeyCommand { VirtualKey::Up, 1, PromptCommand::FasterFine },
    KeyCommand { VirtualKey::Down, 1, PromptCommand::SlowerFine },
    KeyCommand { VirtualKey::Up, kAnyShift, PromptCommand::Faster },
    KeyCommand { VirtualKey::Down, kAnyShift, PromptCommand::Slower },
    KeyCommand { VirtualKey::Space, kAnyShift, PromptCommand::HoldOrRelease },
    KeyCommand { VirtualKey::PageDown, kAnyShift, PromptCommand::HoldOrRelease },
    KeyCommand { VirtualKey::PageUp, kAnyShift, PromptCommand::Back },
    KeyCommand { VirtualKey::F5, 0, PromptCommand::Start },
    KeyCommand { VirtualKey::F5, 1, PromptCommand::Start },
    KeyCommand { VirtualKey::B, 0, PromptCommand::Blank },
    KeyCommand { VirtualKey::Period, 0, PromptCommand::Blank },
    KeyCommand { VirtualKey::Escape, kAnyShift, PromptCommand::ConsoleSize },
    KeyCommand { VirtualKey::M, 0, PromptCommand::Mirror },
    KeyCommand { VirtualKey::F, 0, PromptCommand::Output },
    KeyCommand { VirtualKey::V, 0, PromptCommand::Follow },
    KeyCommand { VirtualKey::F11, kAnyShift, PromptCommand::FullScreen },
    KeyCommand { VirtualKey::Plus, 2, PromptCommand::LargerText },
    KeyCommand { VirtualKey::Plus, 3, PromptCommand::LargerText },
    KeyCommand { VirtualKey::Minus, 2, PromptCommand::SmallerText },
};

const std::array<std::pair<const char *, PromptCommand>, 8> kNames { {
    { "start", PromptCommand::Start },
    { "hold", PromptCommand::HoldOrRelease },
    { "faster", PromptCommand::Faster },
    { "slower", PromptCommand::Slower },
    { "back", PromptCommand::Back },
    { "reset", PromptCommand::Reset },
    { "blank", PromptCommand::Blank },
    { "follow", PromptCommand::Follow },
} };
} // namespace

std::optional<PromptCommand> commandForKey(int keyCode, int shift)
{
    // The first row that matches wins, so Shift+Up is found before Up in any shift state.
    for (const KeyCommand &key : kKeys) {
        if (key.keyCode == keyCode && (key.shift == kAnyShift || key.shift == shift))
            return key.command;
    }
    return std::nullopt;
}

std::optional<PromptCommand> commandNamed(const QString &name)
{
    for (const auto &[text, command] : kNames) {
        if (name == QLatin1String(text))
            return command;
    }
    return std::nullopt;
}
