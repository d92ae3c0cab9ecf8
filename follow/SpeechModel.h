#pragma once

#include <QString>
#include <QTemporaryDir>

#include <vector>

class ScriptWords;

// What the recogniser listens for while one script is prompted: the script's own words, with
// their pronunciations from the installed English dictionary and a language model of the
// script's word pairs, in a private temporary folder that goes with the object. Built off the
// window thread: it touches nothing else.
class SpeechModel final
{
public:
    enum class Status { Ready, NotInstalled, NoWords, NotWritten };

    // The installed acoustic model and dictionary; the recogniser cannot run without them.
    static QString acousticModel();
    static QString fullDictionary();

    // Builds the model of the script's words. Words the dictionary lacks (names, mostly) are
    // left out: nobody can be heard saying them.
    Status build(const ScriptWords &words);

    QString dictionaryPath() const;
    QString languageModelPath() const;
    // Whether the recogniser can hear a word, by its number in the script's vocabulary.
    const std::vector<bool> &hearable() const { return m_hearable; }

private:
    bool writeLanguageModel(const ScriptWords &words) const;

    QTemporaryDir m_dir;
    std::vector<bool> m_hearable;
};
