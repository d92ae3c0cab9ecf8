#include "platform/StoreChoices.h"

#include "platform/MsgBox.h"

bool storeValues(QSettings &store, StoredValues values)
{
    for (const auto &[key, value] : values)
        store.setValue(key, value);
    store.sync();
    return store.status() == QSettings::NoError;
}

void storeChoice(QWidget *window, QSettings &store, StoredValues values, const QString &choice)
{
    if (!storeValues(store, values))
        ShowError(window,
            choice + QStringLiteral(" COULD NOT BE STORED. IT HOLDS UNTIL THE PROGRAM ENDS."));
}
