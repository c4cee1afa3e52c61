#pragma once

#include "data/Globals.h"

#include <QString>

namespace tlmtest {

// A few dishes for plan tests (101 Gemüsesuppe type 1, 102 Nudeln type 2, 105 Kartoffelsuppe);
// the plan stays empty.
inline const char* const kDishes =
    "insert into GERICHTE (GERNR, GTYPNR, GERICHT, ZUBEREITUNG) values (101, 1, 'Gemüsesuppe', 'Kochen.'),"
    " (102, 2, 'Nudeln', ''), (105, 1, 'Kartoffelsuppe', null)";

// Dishes, ingredients and recipe lines for the report tests: 201 Nudeln (preparation with a ";"),
// 202 Tee of type 7, 203 Suppe without preparation and a line without quantity, 204 "Nudeln | Soße".
inline const char* const kReportDishes[] = {
    "insert into GERICHTE (GERNR, GTYPNR, GERICHT, ZUBEREITUNG) values (201, 2, 'Nudeln', 'Kochen; "
    "abgießen.'),"
    " (202, 7, 'Tee', 'Aufbrühen.'), (203, 1, 'Suppe', ''), (204, 2, 'Nudeln | Soße', null)",
    "insert into ZUTATEN values (101, 'Nudeln', 0.5, 'kg', 1.19, 0, 0), (102, 'Salz', 1, 'kg', 0.49, 0, -1)",
    "insert into REZEPTE values (1, 201, 102, 0.01, 0), (2, 201, 101, 0.5, 0), (3, 203, 101, null, 0)"};

// Plan entries on 01.01.2000 with every key from first to last, to bring the plan's keys to their
// limit.
inline void fillPlanKeys(int first, int last)
{
    tlm::gConnection.exec(
        QStringLiteral("insert into SPEISEPLAN (KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, "
                       "NODRUCK) with recursive N(K) as (select ? union all select K + 1 "
                       "from N where K < ?) select K, '2000-01-01', 1, 1, 101, 1, 0 from N"),
        {first, last});
}

} // namespace tlmtest
