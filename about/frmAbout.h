#pragma once

#include "platform/ModalForm.h"

class LinkLabel;
class QFrame;
class QGroupBox;
class QLabel;
class QPlainTextEdit;

// The about window: logo, product name, the maker's statement and links.
// It is built from its design each time it is created, so edits to the
// statement last only until it closes.
class frmAbout final : public ModalForm
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

private:
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Label7_Click();
    void Label8_Click();
    void Label10_Click();

    QGroupBox *Frame1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QLabel *Label3 = nullptr;
    LinkLabel *Label4 = nullptr;
    LinkLabel *Label5 = nullptr;
    LinkLabel *Label6 = nullptr;
    LinkLabel *Label7 = nullptr;
    LinkLabel *Label8 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label9 = nullptr;
    LinkLabel *Label10 = nullptr;
    QFrame *Line2 = nullptr;

    void buildWindow();
    void connectControls();
    void openAddress(const LinkLabel *link);
};
