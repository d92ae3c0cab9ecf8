#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// What the recogniser listens for while one script is prompted: the script's own words, with
// their pronunciations from the installed English dictionary and a language model of the
// script's word pairs, in a private temporary folder that goes with the object.
class SpeechModel final
{
public:
    enum class Status { Ready, NotInstalled, NoWords, NotWritten };

    // The installed acoustic model and dictionary; the recogniser cannot run without them.
    static QString acousticModel();
    static QString fullDictionary();

    // Builds the model of the script's words (lower case, in script order). Words the
    // dictionary lacks (names, mostly) are left out: nobody can be heard saying them.
    Status build(const QStringList &words);

    QString dictionaryPath() const;
    QString languageModelPath() const;
    // The script's words the recogniser can hear.
    const QSet<QString> &hearable() const { return m_hearable; }

private:
    QTemporaryDir m_dir;
    QSet<QString> m_hearable;
};

// An ARPA language model of unigrams and bigrams of words in order, from one sentence
// boundary to the other.
QString arpaModel(const QStringList &words);
