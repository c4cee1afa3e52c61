#pragma once

#include <QByteArray>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tlmtest {

// Settings and data folders of this test process alone: suites that run at the same time (ctest -j,
// a second copy of the suite) never see each other's window sizes, preview folder or file dialog
// history. Made before the application object.
class PrivateSettings
{
public:
    PrivateSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Test mode alone puts every process's settings in one shared ~/.qttest.
        for (const QSettings::Format f : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(f, QSettings::UserScope, m_dir.path());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
    }

private:
    QTemporaryDir m_dir;
};

} // namespace tlmtest
