#pragma once

#include <QDialog>
#include <QKeyEvent>

// A child window shown modally from the main window. Only its own buttons and its close
// box close it: Escape, which a dialog takes as Cancel, does nothing here.
class ModalForm : public QDialog
{
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }
};
