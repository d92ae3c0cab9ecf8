#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

class QGroupBox;
class QLabel;
class QObject;
class QToolButton;
class QWidget;

// Controls placed by twips, in the program's common look.

// A child window's frame: caption, the program's icon, fixed single border
// without a maximise box, Tahoma 9 pt, and a client area of the given twips.
void setUpFixedWindow(QWidget *window, const QString &caption, int width, int height);

// A graphical button: a 16 x 16 icon (":/icons/<icon>.png") above its caption, Tahoma 8.25 pt.
QToolButton *makeButton(QWidget *parent, const QString &caption, const QString &icon, int left,
    int top, int width = 675, int height = 615);

// A plain label in Tahoma 8.25 pt.
QLabel *makeLabel(QWidget *parent, const QString &text, int left, int top, int width, int height);

// A captioned group box that hides whatever lies behind it.
QGroupBox *makePanel(
    QWidget *parent, const QString &caption, int left, int top, int width, int height);

// A panel of the main window's row: its caption in dark red.
QGroupBox *makeRedPanel(
    QWidget *parent, const QString &caption, int left, int top, int width, int height);

// Gives each control its design name as its object name, by which tests and
// accessibility tools find it.
void nameControls(std::initializer_list<std::pair<QObject *, const char *>> controls);
