#include "settings/frmSettings.h"

#include "platform/ColorRef.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"
#include "settings/Quality.h"
#include "settings/SettingsFile.h"
#include "settings/SharedSettings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

namespace
{
void setColorRole(QWidget *widget, QPalette::ColorRole role, qint32 ref)
{
    QPalette pal = widget->palette();
    pal.setColor(role, colorFromRef(ref));
    widget->setPalette(pal);
}

qint32 colorRole(const QWidget *widget, QPalette::ColorRole role)
{
    return refFromColor(widget->palette().color(role));
}

QFrame *makeFilledFrame(QWidget *parent, const QRect &geometry)
{
    auto *frame = new QFrame(parent);
    frame->setAutoFillBackground(true);
    frame->setGeometry(geometry);
    return frame;
}
} // namespace

frmSettings::frmSettings(const QLabel *speedLabel, QWidget *parent)
    : ModalForm(parent)
    , cdlgmain(this)
    , m_speedLabel(speedLabel)
{
    buildWindow();
    connectControls();
    Form_Load();
}

void frmSettings::buildWindow()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setUpFixedWindow(this, QStringLiteral("Settings"), 4725, 5145);

    Frame1 = makePanel(this, QStringLiteral("Scroller Settings"), 120, 0, 4515, 3495);
    // Stacked rectangle, then label, then line: the line lies on top.
    shpsample = makeFilledFrame(Frame1, twipsRect(720, 240, 3135, 2295));
    lblsample = new QLabel(QStringLiteral("Sample Text"), Frame1);
    lblsample->setFont(tahoma(36));
    lblsample->setWordWrap(true);
    lblsample->setAutoFillBackground(true);
    lblsample->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblsample->setGeometry(twipsRect(780, 420, 3015, 1815));
    linesample = makeFilledFrame(Frame1, twipsRect(720, 1380, 3120, 15));

    Frame2 = makePanel(Frame1, QString(), 120, 2580, 1035, 795);
    cmbfontsize = new QComboBox(Frame2);
    cmbfontsize->setFont(controlFont());
    cmbfontsize->addItems({ QStringLiteral("36"), QStringLiteral("28"), QStringLiteral("24") });
    cmbfontsize->move(twipsToPixels(120), twipsToPixels(180));
    cmbfontsize->resize(twipsToPixels(795), cmbfontsize->sizeHint().height());
    Label1 = makeLabel(Frame2, QStringLiteral("Font Size"), 60, 540, 855, 195);
    Label1->setAlignment(Qt::AlignCenter);

    cmdfontcolor = makeButton(
        Frame1, QStringLiteral("Font &Color"), QStringLiteral("fontcolor"), 1260, 2700, 975, 675);
    cmdbackcolor = makeButton(
        Frame1, QStringLiteral("&Back Color"), QStringLiteral("backcolor"), 2340, 2700, 975, 675);
    cmdlinecolor = makeButton(
        Frame1, QStringLiteral("&Line Color"), QStringLiteral("linecolor"), 3420, 2700, 975, 675);

    Frame3 = makePanel(this, QStringLiteral("Recorder Settings"), 120, 3540, 4515, 795);
    Label2 = makeLabel(Frame3, QStringLiteral("Output Quality:"), 120, 360, 1215, 255);
    cmbquality = new QComboBox(Frame3);
    cmbquality->setFont(controlFont());
    cmbquality->move(twipsToPixels(1440), twipsToPixels(300));
    cmbquality->resize(twipsToPixels(2895), cmbquality->sizeHint().height());
    lblbitrate = makeLabel(Frame3, QString(), 1440, 480, 915, 255);
    lblbitrate->hide();

    cmdsave = makeButton(this, QStringLiteral("&Save"), QStringLiteral("save"), 120, 4440);
    // Captions take the window's font; only the two lists and Save are drawn smaller.
    const QList<QWidget *> captions
        = { Frame1, Frame2, Frame3, Label1, Label2, cmdfontcolor, cmdbackcolor, cmdlinecolor };
    for (QWidget *caption : captions)
        caption->setFont(font());

    setTabOrder(cmbfontsize, cmdfontcolor);
    setTabOrder(cmdfontcolor, cmdbackcolor);
    setTabOrder(cmdbackcolor, cmdlinecolor);
    setTabOrder(cmdlinecolor, cmbquality);
    setTabOrder(cmbquality, cmdsave);

    setObjectName(QStringLiteral("frmSettings"));
    nameControls({ { Frame1, "Frame1" }, { shpsample, "shpsample" }, { lblsample, "lblsample" },
        { linesample, "linesample" }, { Frame2, "Frame2" }, { cmbfontsize, "cmbfontsize" },
        { Label1, "Label1" }, { cmdfontcolor, "cmdfontcolor" }, { cmdbackcolor, "cmdbackcolor" },
        { cmdlinecolor, "cmdlinecolor" }, { Frame3, "Frame3" }, { Label2, "Label2" },
        { cmbquality, "cmbquality" }, { lblbitrate, "lblbitrate" }, { cmdsave, "cmdsave" } });
}

QString frmSettings::bitrateText() const
{
    return lblbitrate->text();
}

void frmSettings::connectControls()
{
    connect(cmdfontcolor, &QToolButton::clicked, this, &frmSettings::cmdfontcolor_Click);
    connect(cmdbackcolor, &QToolButton::clicked, this, &frmSettings::cmdbackcolor_Click);
    connect(cmdlinecolor, &QToolButton::clicked, this, &frmSettings::cmdlinecolor_Click);
    connect(cmbquality, &QComboBox::activated, this, &frmSettings::cmbquality_Click);
    connect(cmdsave, &QToolButton::clicked, this, &frmSettings::cmdsave_Click);
}

void frmSettings::Form_Load()
{
    for (const Quality &quality : kQualities)
        cmbquality->addItem(QLatin1String(quality.item));
    cmbquality->setCurrentIndex(kDefaultQuality);

    SettingsFile::readLoop([this](int line, const QString &text) {
        if (line == SettingsFile::Bitrate)
            lblbitrate->setText(text);
        else
            SettingsFile::takeSharedLine(line, text);
    });

    // Line 1 is already one of the three sizes the list offers.
    cmbfontsize->setCurrentText(QString::number(gFontSize));
    setSampleFontColor(SettingsFile::toColor(gFontColor, SettingsFile::kDefaultFontColor));
    setSampleBackColor(SettingsFile::toColor(gBackColor, SettingsFile::kDefaultBackColor));
    setSampleLineColor(SettingsFile::toColor(gLineColor, SettingsFile::kDefaultLineColor));

    // A rate the list does not offer gives way to the item shown, so the
    // encoder always gets a rate it can use.
    const int quality = qualityIndexOf(lblbitrate->text());
    if (quality >= 0)
        cmbquality->setCurrentIndex(quality);
    else
        lblbitrate->setText(QLatin1String(kQualities[kDefaultQuality].bitrate));
}

void frmSettings::cmdfontcolor_Click()
{
    if (const auto color = pickColor(sampleFontColor()))
        setSampleFontColor(*color);
}

void frmSettings::cmdbackcolor_Click()
{
    if (const auto color = pickColor(sampleBackColor()))
        setSampleBackColor(*color);
}

void frmSettings::cmdlinecolor_Click()
{
    if (const auto color = pickColor(sampleLineColor()))
        setSampleLineColor(*color);
}

std::optional<qint32> frmSettings::pickColor(qint32 current)
{
    // The dialog opens on the element's own colour; a cancel leaves the element as it was.
    cdlgmain.Color = current;
    cdlgmain.ShowColor();
    if (cdlgmain.Cancelled())
        return std::nullopt;
    return cdlgmain.Color;
}

void frmSettings::cmbquality_Click()
{
    const int index = cmbquality->currentIndex();
    if (index >= 0)
        lblbitrate->setText(QLatin1String(kQualities[index].bitrate));
}

void frmSettings::cmdsave_Click()
{
    const bool saved = SettingsFile::write({ cmbfontsize->currentText(),
        SettingsFile::numericForm(sampleFontColor()), SettingsFile::numericForm(sampleBackColor()),
        SettingsFile::numericForm(sampleLineColor()), m_speedLabel->text(), lblbitrate->text() });
    if (saved)
        ShowNotice(this, QStringLiteral("YOUR SETTINGS ARE SAVED."));
    else
        ShowError(this, QStringLiteral("COULD NOT SAVE YOUR SETTINGS!"));
}

qint32 frmSettings::sampleFontColor() const
{
    return colorRole(lblsample, QPalette::WindowText);
}

qint32 frmSettings::sampleBackColor() const
{
    return colorRole(lblsample, QPalette::Window);
}

qint32 frmSettings::sampleLineColor() const
{
    return colorRole(linesample, QPalette::Window);
}

void frmSettings::setSampleFontColor(qint32 ref)
{
    setColorRole(lblsample, QPalette::WindowText, ref);
}

void frmSettings::setSampleBackColor(qint32 ref)
{
    setColorRole(lblsample, QPalette::Window, ref);
    setColorRole(shpsample, QPalette::Window, ref);
}

void frmSettings::setSampleLineColor(qint32 ref)
{
    setColorRole(linesample, QPalette::Window, ref);
}
