#include "recorder/InputChoice.h"

#include "platform/MsgBox.h"
#include "platform/StoreChoices.h"
#include "recorder/RecorderStore.h"
#include "recorder/SoundInput.h"
#include "recorder/SoundSources.h"

#include <QActionGroup>
#include <QMenu>

namespace
{
const QString kName = QStringLiteral("input/name");
const QString kDescription = QStringLiteral("input/description");
} // namespace

InputChoice::InputChoice(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    const RecorderStore store;
    m_name = store.value(kName).toString();
    m_description = store.value(kDescription).toString();
    SoundInput::choose(m_name);
}

void InputChoice::addMenuItems(QMenu *menu)
{
    menu->addSection(QStringLiteral("Microphone"));
    const std::optional<SoundSources> sources = listSoundInputs();
    if (!sources) {
        menu->addAction(QStringLiteral("No Sound Server"))->setEnabled(false);
        return;
    }
    auto *group = new QActionGroup(menu);
    const auto add = [this, menu, group](
                         const QString &text, const QString &name, const QString &description) {
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(name == m_name);
        group->addAction(action);
        connect(action, &QAction::triggered, this,
            [this, name, description] { choose(name, description); });
    };
    QString defaultDescription;
    for (const SoundSource &source : sources->inputs) {
        if (source.name == sources->defaultName)
            defaultDescription = source.description;
    }
    add(defaultDescription.isEmpty()
            ? QStringLiteral("System Default")
            : QStringLiteral("System Default (%1)").arg(defaultDescription),
        QString(), QString());
    for (const SoundSource &source : sources->inputs)
        add(source.description, source.name, source.description);
}

void InputChoice::choose(const QString &name, const QString &description)
{
    m_name = name;
    m_description = description;
    SoundInput::choose(name);
    RecorderStore store;
    storeChoice(m_window, store, { { kName, name }, { kDescription, description } },
        QStringLiteral("THE CHOICE OF MICROPHONE"));
}

void InputChoice::tellIfMissing()
{
    if (SoundInput::missing().isEmpty())
        return;
    ShowNotice(m_window,
        QStringLiteral("THE CHOSEN MICROPHONE, %1, IS NOT CONNECTED. THE SYSTEM'S DEFAULT INPUT "
                       "IS HEARD INSTEAD.")
            .arg(m_description.isEmpty() ? SoundInput::missing() : m_description));
}
