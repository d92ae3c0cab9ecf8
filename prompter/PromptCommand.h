#pragma once

#include <QString>

#include <optional>

// What a presenter can ask of the prompt, from whichever input: a key of the main window or
// of the output window, a clicker, or the remote page. Each input turns what it received
// into one of these, and one place carries them out.
enum class PromptCommand {
    Start,
    HoldOrRelease,
    Faster, // by the arrow keys' step
    Slower,
    FasterFine, // by one
    SlowerFine,
    Back, // three display lines
    Reset,
    Blank,
    Follow,
    Mirror, // of the window the key was pressed in
    Output,
    FullScreen,
    LargerText, // of the output window
    SmallerText,
    ConsoleSize, // or, in the output window, out of full screen
};

// The key table: the command a key gives with the shift state the key preview passes
// (1 Shift, 2 Ctrl, 4 Alt); none for a key the prompt does not use.
std::optional<PromptCommand> commandForKey(int keyCode, int shift);

// The remote page's name of a command, and back; only the commands the page offers.
std::optional<PromptCommand> commandNamed(const QString &name);
