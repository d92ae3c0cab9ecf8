#include "platform/Buttons.h"

#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QIcon>
#include <QToolButton>

QToolButton *makeButton(QWidget *parent, const QString &caption, const QString &icon, int left,
                        int top)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(icon)));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setFont(controlFont());
    button->setGeometry(twipsRect(left, top, 675, 615));
    return button;
}
