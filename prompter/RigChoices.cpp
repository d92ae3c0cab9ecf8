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
const QString kOutputLeftRight = QStringLiteral("output/mirrorLeftToRight");
const QString kOutputTopBottom = QStringLiteral("output/mirrorTopToBottom");
const QString kFace = QStringLiteral("output/face");
const QString kPointSize = QStringLiteral("output/pointSize");
const QString kMargin = QStringLiteral("output/marginPercent");
const QString kMarkerAt = QStringLiteral("output/markerAt");
const QString kFullScreen = QStringLiteral("output/fullScreen");
const QString kShowElapsed = QStringLiteral("output/showElapsed");
const QString kShowProgress = QStringLiteral("output/showProgress");
const QString kShowLeft = QStringLiteral("output/showLeft");
const QString kCountdown = QStringLiteral("start/countdown");

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
    choices.outputLeftRight = settings.value(kOutputLeftRight, choices.mirrorLeftRight).toBool();
    choices.outputTopBottom = settings.value(kOutputTopBottom, choices.mirrorTopBottom).toBool();
    choices.face = settings.value(kFace).toString();
    choices.pointSize = settings.value(kPointSize, 0.0).toDouble();
    choices.margin = settings.value(kMargin, choices.margin).toInt();
    choices.markerAt = settings.value(kMarkerAt, choices.markerAt).toDouble();
    choices.fullScreen = settings.value(kFullScreen, false).toBool();
    choices.showElapsed = settings.value(kShowElapsed, false).toBool();
    choices.showProgress = settings.value(kShowProgress, false).toBool();
    choices.showLeft = settings.value(kShowLeft, false).toBool();
    choices.countdown = settings.value(kCountdown, false).toBool();
    return choices;
}

bool RigChoices::save() const
{
    RigStore settings;
    return storeValues(settings,
        { { kLeftRight, mirrorLeftRight }, { kTopBottom, mirrorTopBottom }, { kOnScreen, onScreen },
            { kScreen, screen }, { kScreenIndex, screenIndex },
            { kOutputLeftRight, outputLeftRight }, { kOutputTopBottom, outputTopBottom },
            { kFace, face }, { kPointSize, pointSize }, { kMargin, margin },
            { kMarkerAt, markerAt }, { kFullScreen, fullScreen }, { kShowElapsed, showElapsed },
            { kShowProgress, showProgress }, { kShowLeft, showLeft }, { kCountdown, countdown } });
}
