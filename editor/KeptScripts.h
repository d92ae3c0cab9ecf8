#pragma once

#include <QString>

#include <optional>

// Texts kept so that no script is lost unsaved: what the editor held when its close box
// emptied it, and the script last handed to the prompter, also from an earlier run. They live
// in a folder only the user can enter, $XDG_DATA_HOME/tellvane/scripts.
namespace KeptScripts
{

enum class Kind { ClosedText, LastScript };

// Keeps the text, in place of the one kept before; why not, upper case, when it cannot.
std::optional<QString> keep(Kind kind, const QString &text);

// Whether a text is kept, without reading it.
bool has(Kind kind);
// The text kept; none when nothing is.
std::optional<QString> kept(Kind kind);

} // namespace KeptScripts
