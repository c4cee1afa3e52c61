// Test runner: one QApplication for all GUI tests, German settings, no real user settings touched.
#include "app/Application.h"
#include "data/Convert.h"
#include "support/PrivateSettings.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const tlmtest::PrivateSettings settings;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tlm::setUpApplication(app);
    tlm::setLocaleForTests(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
