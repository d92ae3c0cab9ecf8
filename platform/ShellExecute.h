#pragma once

#include <QString>

#include <functional>

class QWidget;

// Stands in for ShellExecuteA with the default verb: hands a web or file address
// to the user's default browser. Like the original call as this program uses it,
// nothing is reported when no browser takes the address, and the caller's window
// stays as it was.
void ShellExecuteA(QWidget *parent, const QString &address);

// Test seam: while a sink is set, addresses go to it instead of the browser.
using AddressSink = std::function<void(const QString &address)>;
void setAddressSink(AddressSink sink);
