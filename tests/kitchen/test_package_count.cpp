// Whole packages for a need.
#include "data/Error.h"
#include "kitchen/PackageCount.h"
#include "support/Fixture.h"

#include <QVariant>

using namespace tlm;

TEST(PackageCount, SmallestNumberOfWholePackages)
{
    EXPECT_EQ(packageCount(2.2, 1.0), 3);
    EXPECT_EQ(packageCount(3.0, 1.0), 3);
    EXPECT_EQ(packageCount(0.0, 1.0), 0);
    EXPECT_EQ(packageCount(2.5, 0.5), 5);
    EXPECT_EQ(packageCount(2.6, 0.5), 6);
    EXPECT_EQ(packageCount(1.1 * 8 / 4, 1.0), 3);
    EXPECT_EQ(packageCount(0.00001, 500.0), 1);
    EXPECT_EQ(packageCount(32767.0, 1.0), 32767);
    auto number = [](const QVariant& need, const QVariant& size) {
        try {
            packageCount(need, size);
        } catch (const Error& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(number(2.0, 0.0), 11);
    EXPECT_EQ(number(QVariant(), 1.0), 94);
    EXPECT_EQ(number(2.0, QVariant()), 94);
    EXPECT_EQ(number(40000.0, 1.0), 6);
    EXPECT_EQ(number(32767.5, 1.0), 6);
    EXPECT_EQ(number(1.5e20, 1.0), 6); // never a short count from an exponent text
}
