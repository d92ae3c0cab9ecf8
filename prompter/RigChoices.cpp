#include "prompter/RigChoices.h"

#include "platform/StoreChoices.h"

RigStore::RigStore()
    : QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tellvane"),
        QStringLiteral("rig"))
{
}

namespace
{

const QString kLeftRight = QStringLiteral("mirror/leftToRight");
const QString kTopBottom = QStringLiteral("mirror/topToBottom");
const QString kOnScreen = QStringLiteral("output/onScreen");
const QString kScreen = QStringLiteral("output/screen");
const QString kScreenIndex = QStringLiteral("output/screenIndex");

} // namespace

RigChoices RigChoices::load()
{
    const RigStore settings;
    RigChoices choices;
    choices.mirrorLeftRight = settings.value(kLeftRight, false).toBool();
    choices.mirrorTopBottom = settings.value(kTopBottom, false).toBool();
    choices.onScreen = settings.value(kOnScreen, false).toBool();
    choices.screen = settings.value(kScreen).toString();
    choices.screenIndex = settings.value(kScreenIndex, -1).toInt();
    return choices;
}

bool RigChoices::save() const
{
    RigStore settings;
    return storeValues(settings,
        { { kLeftRight, mirrorLeftRight }, { kTopBottom, mirrorTopBottom }, { kOnScreen, onScreen },
            { kScreen, screen }, { kScreenIndex, screenIndex } });
}
