#pragma once

#include <QString>

#include <functional>

class QWidget;

// Stands in for ShellExecuteA with the default verb: hands a web or file address to the
// user's default browser, through the desktop's opener. When no browser can take it,
// failed runs, on the window thread, if the owner window is still there.
void ShellExecuteA(QWidget *parent, const QString &address, std::function<void()> failed = nullptr);

// Test seam: while a sink is set, addresses go to it instead of the browser, and it
// answers whether a browser took the address.
using AddressSink = std::function<bool(const QString &address)>;
void setAddressSink(AddressSink sink);
