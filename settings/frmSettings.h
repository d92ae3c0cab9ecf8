#pragma once

#include "platform/CommonDialog.h"

#include "platform/ModalForm.h"

#include <optional>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QToolButton;

// The settings dialog: prompt font size and colours with a sample, and the MP3
// quality. Its hidden lblbitrate holds the bit rate in effect. Closing it
// destroys it and discards unsaved choices.
class frmSettings final : public ModalForm
{
    Q_OBJECT

public:
    // speedLabel: the main window's speed label, whose text Save stores.
    explicit frmSettings(const QLabel *speedLabel, QWidget *parent);

    // The bit rate in effect, as lblbitrate holds it: the MP3 encoder's and settings.ini's line 6.
    QString bitrateText() const;

private:
    void cmdfontcolor_Click();
    void cmdbackcolor_Click();
    void cmdlinecolor_Click();
    void cmbquality_Click();
    void cmdsave_Click();

    QGroupBox *Frame1 = nullptr;
    QFrame *shpsample = nullptr;
    QLabel *lblsample = nullptr;
    QFrame *linesample = nullptr;
    QGroupBox *Frame2 = nullptr;
    QComboBox *cmbfontsize = nullptr;
    QLabel *Label1 = nullptr;
    QToolButton *cmdfontcolor = nullptr;
    QToolButton *cmdbackcolor = nullptr;
    QToolButton *cmdlinecolor = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cmbquality = nullptr;
    QLabel *lblbitrate = nullptr;
    QToolButton *cmdsave = nullptr;
    CommonDialog cdlgmain;

    // Sample colours as COLORREF values.
    qint32 sampleFontColor() const;
    qint32 sampleBackColor() const;
    qint32 sampleLineColor() const;
    void buildWindow();
    void connectControls();
    void Form_Load();
    void setSampleFontColor(qint32 ref);
    void setSampleBackColor(qint32 ref);
    void setSampleLineColor(qint32 ref);
    std::optional<qint32> pickColor(qint32 current);

    const QLabel *m_speedLabel;
};
