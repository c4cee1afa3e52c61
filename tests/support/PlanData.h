#pragma once

#include <QString>

namespace tlmtest {

// A few dishes for plan tests (101 Gemüsesuppe type 1, 102 Nudeln type 2, 105 Kartoffelsuppe);
// the plan stays empty.
inline const char* const kDishes =
    "insert into GERICHTE (GERNR, GTYPNR, GERICHT, ZUBEREITUNG) values (101, 1, 'Gemüsesuppe', 'Kochen.'),"
    " (102, 2, 'Nudeln', ''), (105, 1, 'Kartoffelsuppe', null)";

} // namespace tlmtest
