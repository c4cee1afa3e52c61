#pragma once

#include <QString>

namespace tlmbench {

struct Size
{
    const char* name;
    int ingredients;
    int dishes;
    int lines;
    int entries;
    int days;
};

inline constexpr Size kCamp{"camp", 300, 200, 2000, 100, 14};
inline constexpr Size kStress{"stress", 10000, 5000, 60000, 30000, 365};
// The stress catalogue with twice the plan over twice the days: time should at most double.
inline constexpr Size kStress2{"stress2x", 10000, 5000, 60000, 60000, 730};

// A database through our own schema, filled with believable German data from a fixed seed.
void makeSyntheticDb(const QString& path, const Size& size);

} // namespace tlmbench
