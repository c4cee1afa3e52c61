// Test runner of the kitchen: no window system, German settings, no real user settings touched.
#include "data/Convert.h"
#include "support/PrivateSettings.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const tlmtest::PrivateSettings settings;
    QCoreApplication app(argc, argv);
    tlm::setLocaleForTests(QLocale(QLocale::German, QLocale::Germany));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
