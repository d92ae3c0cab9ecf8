#include "platform/Controls.h"

#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

void setUpFixedWindow(QWidget *window, const QString &caption, int width, int height)
{
    window->setWindowTitle(caption);
    window->setWindowIcon(QIcon(QStringLiteral(":/icons/tellvane.png")));
    window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setFont(tahoma(9));
    window->setFixedSize(twipsToPixels(width), twipsToPixels(height));
}

QToolButton *makeButton(QWidget *parent, const QString &caption, const QString &icon, int left,
    int top, int width, int height)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(icon)));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setFont(controlFont());
    button->setGeometry(twipsRect(left, top, width, height));
    return button;
}

QLabel *makeLabel(QWidget *parent, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, parent);
    label->setFont(controlFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

QGroupBox *makePanel(
    QWidget *parent, const QString &caption, int left, int top, int width, int height)
{
    auto *panel = new QGroupBox(caption, parent);
    panel->setFont(controlFont());
    panel->setGeometry(twipsRect(left, top, width, height));
    panel->setAutoFillBackground(true);
    return panel;
}

void nameControls(std::initializer_list<std::pair<QObject *, const char *>> controls)
{
    for (const auto &[control, name] : controls)
        control->setObjectName(QLatin1String(name));
}

QGroupBox *makeRedPanel(
    QWidget *parent, const QString &caption, int left, int top, int width, int height)
{
    QGroupBox *panel = makePanel(parent, caption, left, top, width, height);
    panel->setStyleSheet(QStringLiteral("QGroupBox::title { color: rgb(192, 0, 0); }"));
    return panel;
}
