#include "app/GeneralPanel.h"

#include "about/HelpPage.h"
#include "about/frmAbout.h"
#include "platform/Controls.h"
#include "platform/MsgBox.h"
#include "platform/ShellExecute.h"
#include "settings/SettingsForm.h"

#include <QGroupBox>
#include <QToolButton>

GeneralPanel::GeneralPanel(QWidget *window, SettingsForm &settings)
    : QObject(window)
    , m_window(window)
{
    Frame3 = makeRedPanel(window, QStringLiteral("General"), 3180, 5940, 3255, 1695);
    cmdsettings
        = makeButton(Frame3, QStringLiteral("&Options"), QStringLiteral("options"), 180, 360);
    cmdhelp = makeButton(Frame3, QStringLiteral("&Help"), QStringLiteral("help"), 920, 360);
    cmdexit = makeButton(Frame3, QStringLiteral("E&xit"), QStringLiteral("exit"), 1660, 360);
    cmdabout = makeButton(Frame3, QStringLiteral("&About"), QStringLiteral("about"), 2400, 360);
    nameControls({ { Frame3, "Frame3" }, { cmdsettings, "cmdsettings" }, { cmdhelp, "cmdhelp" },
        { cmdexit, "cmdexit" }, { cmdabout, "cmdabout" } });

    connect(cmdsettings, &QToolButton::clicked, &settings, &SettingsForm::cmdsettings_Click);
    connect(cmdhelp, &QToolButton::clicked, this, &GeneralPanel::cmdhelp_Click);
    connect(cmdabout, &QToolButton::clicked, this, &GeneralPanel::cmdabout_Click);
}

QList<QWidget *> GeneralPanel::tabOrder() const
{
    return { cmdsettings, cmdhelp, cmdexit, cmdabout };
}

// A fresh window for each show, so the statement always starts as designed.
void GeneralPanel::cmdabout_Click()
{
    frmAbout about(m_window);
    about.exec();
}

void GeneralPanel::cmdhelp_Click()
{
    ShellExecuteA(m_window, helpPageAddress(), [this] {
        ShowError(m_window,
            QStringLiteral("NO BROWSER COULD OPEN THE HELP PAGE. YOU CAN OPEN IT YOURSELF: %1")
                .arg(helpPagePath()));
    });
}
