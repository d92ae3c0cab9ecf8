#pragma once

#include <QLabel>

// A web link drawn as a label: blue, underlined, with a pointing hand, and a
// click signal that a plain label lacks. Its text is the address it opens.
class LinkLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(const QString &address, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
