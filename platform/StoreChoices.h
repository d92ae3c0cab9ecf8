#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

class QWidget;

using StoredValues = std::initializer_list<std::pair<QString, QVariant>>;

// Writes the values to the file of choices at once; false when they did not reach it.
bool storeValues(QSettings &store, StoredValues values);

// The same for a presenter's choice of a feature beside the settings: one that cannot be stored
// holds for the run, and an error box says so, naming it ("THE CHOICE OF MICROPHONE").
void storeChoice(QWidget *window, QSettings &store, StoredValues values, const QString &choice);
