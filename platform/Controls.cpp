#include "platform/Controls.h"

#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

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
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

QGroupBox *makePanel(QWidget *parent, const QString &caption, int left, int top, int width,
                     int height)
{
    auto *panel = new QGroupBox(caption, parent);
    panel->setFont(controlFont());
    panel->setGeometry(twipsRect(left, top, width, height));
    panel->setAutoFillBackground(true);
    return panel;
}
