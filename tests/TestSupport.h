#pragma once

#include "platform/MsgBox.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

// Collects message boxes instead of showing them, for as long as it lives.
class CapturedMessages
{
public:
    CapturedMessages()
    {
        setMessageSink([this](const ShownMessage &m) { list.push_back(m); });
    }
    ~CapturedMessages() { setMessageSink({}); }
    CapturedMessages(const CapturedMessages &) = delete;
    CapturedMessages &operator=(const CapturedMessages &) = delete;

    std::vector<ShownMessage> list;
};

// A settings.ini of a test's own, in a folder that disappears with the test.
class SettingsFolder
{
public:
    SettingsFolder() { SettingsFile::setFolder(m_dir.path()); }
    ~SettingsFolder() { SettingsFile::setFolder(QString()); }
    SettingsFolder(const SettingsFolder &) = delete;
    SettingsFolder &operator=(const SettingsFolder &) = delete;

    QString path() const { return m_dir.path(); }

    void write(const QByteArray &bytes) const
    {
        QFile file(SettingsFile::path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QByteArray read() const
    {
        QFile file(SettingsFile::path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};
