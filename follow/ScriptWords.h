#pragma once

#include <QString>

#include <vector>

// A word of the script as the recogniser spells it, and where it stands in the script.
struct ScriptWord {
    QString text; // lower case, letters, digits and inner apostrophes only ("Don't," -> "don't")
    int position; // index in the script text of the word's first character
};

// The script's words in order. Anything but letters, digits and apostrophes between them
// separates words: "well-known" is two words, "$5.50" is "5" and "50".
std::vector<ScriptWord> scriptWords(const QString &script);
// A word as the recogniser's dictionary spells it: lower case, outer punctuation gone; empty if
// none is left.
QString normalisedWord(const QString &word);
