#pragma once

#include <QString>

class QToolButton;
class QWidget;

// The program's graphical button: its caption under a 16 x 16 icon from
// ":/icons/<icon>.png", Tahoma 8.25 pt, 675 x 615 twips at left, top (twips).
QToolButton *makeButton(QWidget *parent, const QString &caption, const QString &icon, int left,
                        int top);
