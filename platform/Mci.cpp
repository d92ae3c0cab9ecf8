#include "platform/Mci.h"

#include "platform/MciCommand.h"

#include <QCoreApplication>
#include <QHash>

#include <map>
#include <utility>

namespace
{

struct MciState {
    QHash<QString, MciDriver> drivers; // by lower-case type
    std::map<QString, std::unique_ptr<MciDevice>> devices; // by lower-case alias
    MciFailureListener failureListener;
    QString errorDetail; // of the last command that failed on its element
};

MciState &state()
{
    static MciState s;
    return s;
}

void closeAll()
{
    // Taken out first, so that no device is reachable while it shuts down.
    const auto closing = std::exchange(state().devices, {});
}

// As the system does when a program ends, every open device is closed while the
// sound system is still there to let go of it.
void closeAllOnQuit()
{
    static bool hooked = false;
    QCoreApplication *app = QCoreApplication::instance();
    if (hooked || !app)
        return;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, closeAll);
    hooked = true;
}

MciError run(const MciCommand &command)
{
    MciState &s = state();
    const QString name = command.device.toLower();

    if (command.verb == MciCommand::Verb::Open) {
        const QString alias = command.alias.toLower();
        if (s.devices.count(alias) != 0)
            return MciError::AliasInUse;
        const auto driver = s.drivers.constFind(command.type.toLower());
        if (driver == s.drivers.constEnd() || !*driver)
            return MciError::NoDriver;
        std::unique_ptr<MciDevice> device = (*driver)();
        if (!device)
            return MciError::DeviceFailure;
        return openMciDevice(alias, std::move(device));
    }
    if (command.verb == MciCommand::Verb::Close && name == QLatin1StringView("all")) {
        closeAll();
        return MciError::None;
    }

    const auto it = s.devices.find(name);
    if (it == s.devices.end())
        return MciError::UnknownDevice;
    if (command.verb == MciCommand::Verb::Close) {
        std::unique_ptr<MciDevice> closing = std::move(it->second);
        s.devices.erase(it);
        return MciError::None;
    }
    MciDevice &device = *it->second;
    const MciError result = [&] {
        switch (command.verb) {
        case MciCommand::Verb::Set:
            return device.set(command.settings);
        case MciCommand::Verb::Record:
            return device.record();
        case MciCommand::Verb::Stop:
            return device.stop();
        case MciCommand::Verb::Play:
            return device.play(command.fromMs);
        case MciCommand::Verb::Save:
            return device.save(command.path);
        case MciCommand::Verb::Open:
        case MciCommand::Verb::Close:
            break;
        }
        return MciError::UnknownCommand;
    }();
    if (result != MciError::None)
        s.errorDetail = device.takeErrorDetail();
    return result;
}

QString errorText(qint32 code)
{
    switch (MciError(code)) {
    case MciError::None:
        return QStringLiteral("The command completed without error.");
    case MciError::UnknownCommand:
        return QStringLiteral("The command is not one the sound device understands.");
    case MciError::MissingParameter:
        return QStringLiteral("The command lacks a value it needs.");
    case MciError::BadParameter:
        return QStringLiteral("The command holds a word or value the device does not accept.");
    case MciError::UnknownDevice:
        return QStringLiteral("No open sound device goes by that name.");
    case MciError::AliasInUse:
        return QStringLiteral("That name already belongs to an open sound device.");
    case MciError::NoDriver:
        return QStringLiteral("No driver is installed for that kind of device.");
    case MciError::UnsupportedFormat:
        return QStringLiteral("The device cannot record in that sound format.");
    case MciError::NoInputDevice:
        return QStringLiteral("There is no sound input to record from.");
    case MciError::NoOutputDevice:
        return QStringLiteral("There is no sound output to play to.");
    case MciError::DeviceFailure:
        return QStringLiteral("The sound device failed to start.");
    case MciError::TakeStorageFailed:
        return QStringLiteral("The recording could not be kept on the disk.");
    case MciError::FileWriteFailed:
        return QStringLiteral("The wave file could not be written.");
    case MciError::TakeTooLong:
        return QStringLiteral("The recording is too long for a wave file.");
    case MciError::CaptureLost:
        return QStringLiteral(
            "The sound input stopped. The recording ends with what was heard until then.");
    case MciError::PlaybackLost:
        return QStringLiteral("The sound output stopped during playback.");
    case MciError::TakeWriteFailed:
        return QStringLiteral(
            "The disk took no more of the recording. It ends with what was kept until then.");
    case MciError::NothingRecorded:
        return QStringLiteral("There is no recording to save.");
    case MciError::TakeReadFailed:
        return QStringLiteral("The recording could not be read from the disk. The playback ends.");
    case MciError::TakeLimitReached:
        return QStringLiteral(
            "The recording has reached the longest a wave file can hold, about "
            "6 hours and 45 minutes. It ends there, and can be played and saved.");
    }
    return QStringLiteral("The error code is unknown.");
}

} // namespace

qint32 mciSendStringA(
    const QString &command, QString &returnBuffer, int returnLength, qintptr callback)
{
    Q_UNUSED(callback)
    Q_UNUSED(returnLength)
    returnBuffer.clear();
    state().errorDetail.clear();
    MciCommand parsed;
    MciError result = parseMciCommand(command, parsed);
    if (result == MciError::None)
        result = run(parsed);
    return qint32(result);
}

void mciGetErrorStringA(qint32 code, QString &buffer, int length)
{
    buffer = errorText(code).left(qMax(0, length - 1));
}

QString mciErrorDetail()
{
    return state().errorDetail;
}

void setMciFailureListener(MciFailureListener listener)
{
    state().failureListener = std::move(listener);
}

void notifyMciFailure(qint32 code)
{
    if (state().failureListener)
        state().failureListener(code);
}

MciError openMciDevice(const QString &alias, std::unique_ptr<MciDevice> device)
{
    MciState &s = state();
    if (s.devices.count(alias.toLower()) != 0)
        return MciError::AliasInUse;
    s.devices.emplace(alias.toLower(), std::move(device));
    closeAllOnQuit();
    return MciError::None;
}

void installMciDriver(const QString &type, MciDriver driver)
{
    state().drivers.insert(type.toLower(), std::move(driver));
}
