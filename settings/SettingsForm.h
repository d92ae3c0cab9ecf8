#pragma once

#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;
class frmSettings;

// The one settings dialog of the run and the main window's ways to it: Options shows it,
// the recorder reads the bit rate it holds, and a dragged speed is stored through it.
class SettingsForm final : public QObject
{
    Q_OBJECT

public:
    // speedLabel: the speed as the scroller shows it, which every save stores as line 5.
    SettingsForm(const QLabel *speedLabel, QWidget *window);

    // The Options button: the dialog, modally; closed, it is gone and the next show reads
    // settings.ini anew.
    void cmdsettings_Click();
    // The bit rate in effect, as the dialog's hidden label holds it.
    QString bitrateText();
    // Loads the dialog hidden, so that its bit rate holds line 6 from the start.
    void load() { form(); }

    // Stores the speed shown with the settings last read, during a drag of the speed bar.
    void SaveSettings();
    // The drag is over: a save that failed during it is told once.
    void speedDragEnded();

private:
    frmSettings &form();

    const QLabel *m_speedLabel;
    QWidget *m_window;
    QPointer<frmSettings> m_form;
    bool m_speedSaveFailed = false; // during the current drag
};
