#pragma once

// Hand-computed camps shared by the tests of several layers: the kitchen's arithmetic, the reports
// that print it and the windows that drive it start from the same rows.
#include "kitchen/DietGroups.h"
#include "kitchen/EaterList.h"
#include "kitchen/ShoppingPlan.h"
#include "support/Fixture.h"
#include "support/PlanData.h"

#include <QDate>
#include <QStringList>

class CampTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        // Three days: breakfast and lunch on the 1st and 2nd, lunch on the 4th.
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 1, 2, 101, 10, 0), (2, '2026-07-01', 2, 2, "
             "102, 12, 0),"
             " (3, '2026-07-02', 1, 2, 101, 10, -1), (4, '2026-07-02', 2, 1, 105, 12, 0),"
             " (7, '2026-07-04', 2, 2, 102, 14, 0)");
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by KEY");
    }
};

class ShoppingPlanTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // Milk (fresh) 1 L packs, flour (keeps) 1 kg packs, salt never bought.
        exec("insert into ZUTATEN values (101, 'Milch', 1, 'L', 1, -1, 0), (102, 'Mehl', 1, 'kg', 2, 0, 0),"
             " (103, 'Salz', 1, 'kg', 1, 0, -1)");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Pfannkuchen')");
        // For 4 persons: 1 L milk, 0.5 kg flour, salt.
        exec("insert into REZEPTE values (1, 201, 101, 1, 0), (2, 201, 102, 0.5, 0), (3, 201, 103, 0.01, 0)");
        // Day 1 and 2: 4 persons each; day 3: 2 persons; day 4: 6 persons.
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 2, 2, 201, 4, 0), (2, '2026-07-02', 2, 2, 201, "
             "4, 0),"
             " (3, '2026-07-03', 2, 2, 201, 2, 0), (4, '2026-07-04', 2, 2, 201, 6, 0)");
    }
};

class CostTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into ZUTATEN values (101, 'Nudeln', 0.5, 'kg', 1.10, 0, 0), (102, 'Tomaten', 1, 'kg', "
             "2, -1, 0),"
             " (103, 'Salz', 1, 'kg', 0.5, 0, -1), (104, 'Safran', 1, 'g', null, 0, 0),"
             " (105, 'Zimt', 0, 'g', 2, 0, 0)");
        exec(
            "insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Nudeln'), (202, 2, 'Safranreis'),"
            " (203, 5, 'Milchreis')");
        // Per person: 0.5 kg / 4 of pasta at 2.20 a kg (0.275) and 0.25 kg / 4 of tomatoes at 2.00 (0.125);
        // the salt is basic stock, a line without a quantity counts nothing.
        exec("insert into REZEPTE values (1, 201, 101, 0.5, 0), (2, 201, 102, 0.25, 0), (3, 201, 103, 0.01, "
             "0),"
             " (4, 201, 102, null, 0), (5, 202, 104, 0.001, 0), (6, 203, 105, 0.1, 0)");
        exec("insert into SPEISEPLAN values (1, '2026-10-01', 2, 2, 201, 10, 0), (2, '2026-10-01', 3, 2, "
             "201, 8, 0),"
             " (3, '2026-10-02', 2, 2, 202, 10, 0), (4, '2026-10-03', 2, 2, 203, 6, -1)");
    }
};

class GroupTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        // Spaghetti (A), Hack (Fleisch), Tomaten, Käse (G), Reis, Milch (G), Eier (C).
        exec("insert into ZUTATEN values (1, 'Spaghetti', 500, 'g', 1, 0, 0), (2, 'Hack', 1, 'kg', 9, -1, 0),"
             " (3, 'Tomaten', 1, 'kg', 3, -1, 0), (4, 'Käse', 200, 'g', 2, -1, 0), (5, 'Reis', 1, 'kg', 3, "
             "0, 0),"
             " (6, 'Milch', 1, 'L', 1, -1, 0), (7, 'Eier', 10, 'Stk', 3, -1, 0)");
        exec("insert into ZUTALLERGENE values (1, 1), (2, 15), (2, 17), (4, 7), (4, 17), (6, 7), (6, 17),"
             " (7, 3), (7, 17)");
        exec("insert into ZUTGEPRUEFT (ZUTNR, GEPRUEFT) select ZUTNR, '2026-07-01' from ZUTATEN");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Spaghetti Bolognese'),"
             " (202, 2, 'Gemüselasagne'), (203, 2, 'Gemüsereis'), (204, 2, 'Milchreis'), (205, 2, 'Eintopf'),"
             " (211, 5, 'Pudding')");
        // Tomatoes in the same quantity in the Bolognese and the rice; Eintopf has no recipe lines.
        exec("insert into REZEPTE values (1, 201, 1, 500, 0), (2, 201, 2, 0.4, 0), (3, 201, 3, 0.4, 0),"
             " (4, 202, 1, 250, 0), (5, 202, 3, 0.5, 0), (6, 202, 4, 100, 0), (7, 202, 7, 2, 0),"
             " (8, 203, 5, 0.3, 0), (9, 203, 3, 0.4, 0), (10, 204, 5, 0.2, 0), (11, 204, 6, 1, 0),"
             " (12, 211, 6, 1, 0)");
        // Mo 20.07. to Mi 22.07.: lunches of 20, the dessert on the 21st, a supper for one on the 22nd.
        exec("insert into SPEISEPLAN values (1, '2026-07-20', 2, 2, 201, 20, 0), (2, '2026-07-21', 2, 2, "
             "201, 20, 0),"
             " (3, '2026-07-21', 2, 5, 211, 20, 0), (4, '2026-07-22', 2, 2, 203, 20, 0),"
             " (5, '2026-07-22', 3, 2, 202, 1, 0)");
        vegetarier = tlm::saveDietGroup({0, "Vegetarier", 5, {}, {}, {15, 16}, {}});
        glutenfrei =
            tlm::saveDietGroup({0, "Glutenfrei", 1, QDate(2026, 7, 21), QDate(2026, 7, 22), {1}, {}});
        ohneMilch = tlm::saveDietGroup({0, "Ohne Milch und Ei", 2, {}, {}, {7, 3}, {}});
    }
    QStringList lines()
    {
        QStringList texts;
        for (const tlm::MealConflict& c : tlm::mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 22)))
            texts << c.text;
        return texts;
    }
    tlm::MealConflict conflict(qint32 key, int group)
    {
        for (const tlm::MealConflict& c : tlm::mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 22)))
            if (c.key == key && c.gruppeNr == group)
                return c;
        ADD_FAILURE() << "no line for entry " << key << " and group " << group;
        return {};
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN from SPEISEPLAN order by KEY");
    }
    QStringList links() { return rows("select KEY, GRUPPENR from ERSATZ order by KEY"); }

    int vegetarier = 0, glutenfrei = 0, ohneMilch = 0;
};

// Three days of one dish for 4: oil and rice keep, milk is fresh. Oil in stock covers every run in
// full, rice the first in part.
class StockTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        exec("insert into ZUTATEN values (1, 'Öl', 1, 'l', 3, 0, 0), (2, 'Milch', 1, 'l', 1, -1, 0),"
             " (3, 'Reis', 1, 'kg', 2, 0, 0)");
        exec("insert into REZEPTE values (1, 101, 1, 0.2, 0), (2, 101, 2, 0.6, 0), (3, 101, 3, 0.4, 0)");
        exec("insert into SPEISEPLAN values (1, '2026-07-01', 2, 1, 101, 4, 0),"
             " (2, '2026-07-02', 2, 1, 101, 4, 0), (3, '2026-07-03', 2, 1, 101, 4, 0)");
        exec("insert into VORRAT values (1, 1, '2026-06-30'), (3, 0.2, '2026-06-30')");
    }
    const tlm::ShoppingPlan plan{QDate(2026, 7, 1),
                                 QDate(2026, 7, 3),
                                 {QDate(2026, 7, 1), QDate(2026, 7, 2), QDate(2026, 7, 3)},
                                 false};
};

class AllergenTest : public tlmtest::SampleDbTest
{
};

// A hand-made catalogue: a cake whose butter and cream share G, bread from the baker without recipe
// lines, and a test ingredient that has all fourteen.
class AllergenReportTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into ZUTATEN values (1, 'Mehl', 1, 'kg', 1, 0, 0), (2, 'Butter', 250, 'g', 2, -1, 0),"
             " (3, 'Sahne', 200, 'ml', 1, -1, 0), (4, 'Alles', 1, 'Stk', 1, 0, 0), (5, 'Äpfel', 1, 'kg', 2, "
             "-1, 0)");
        exec("insert into ZUTALLERGENE (ZUTNR, ALLNR) values (1, 1), (2, 7), (2, 17), (3, 7), (3, 17)");
        exec("insert into ZUTALLERGENE (ZUTNR, ALLNR) select 4, ALLNR from ALLERGENE where ALLNR <= 17");
        exec("insert into ZUTGEPRUEFT (ZUTNR, GEPRUEFT) select ZUTNR, '2026-07-01' from ZUTATEN");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (10, 5, 'Apfelkuchen mit Sahne'),"
             " (11, 6, 'Brot vom Bäcker'), (12, 2, 'Wundertüte'), (13, 5, 'Apfelmus')");
        exec("insert into REZEPTE values (1, 10, 1, 0.5, 0), (2, 10, 2, 0.1, 0), (3, 10, 3, 0, 0),"
             " (4, 10, 5, 1, 0), (5, 12, 4, 1, 0), (6, 13, 5, 1, 0)");
        // Wednesday and Thursday of week 30, and the Monday after.
        exec("insert into SPEISEPLAN values (1, '2026-07-22', 2, 5, 10, 10, 0), (2, '2026-07-22', 3, 6, 11, "
             "10, 0),"
             " (3, '2026-07-23', 2, 5, 13, 10, -1), (4, '2026-07-23', 2, 2, 12, 10, 0),"
             " (5, '2026-07-27', 1, 6, 11, 10, 0)");
    }
};

// A hand-made declaration: oat flakes with gluten that may hold nuts, a salami with two additives and
// the kitchen's own mark "Schwein", a stock whose label nobody has read yet.
class DeclarationTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into ZUTATEN values (1, 'Haferflocken', 500, 'g', 1, 0, 0), (2, 'Milch', 1, 'L', 1, -1, "
             "0),"
             " (3, 'Salami', 200, 'g', 3, -1, 0), (4, 'Brühe', 1, 'Pkg', 2, 0, 0), (5, 'Brot', 1, 'kg', 3, "
             "-1, 0),"
             " (6, 'Äpfel', 1, 'kg', 2, -1, 0), (7, 'Kräuterbutter', 250, 'g', 2, -1, 0)");
        exec("insert into ALLERGENE (ALLNR, KURZ, ALLERGEN) values (101, 'Schwein', 'Schwein')");
        exec("insert into ZUTALLERGENE (ZUTNR, ALLNR) values (1, 1), (2, 7), (2, 17), (3, 15), (3, 17),"
             " (3, 32), (3, 33), (3, 101), (4, 9), (5, 1)");
        exec("insert into ZUTSPUREN (ZUTNR, ALLNR) values (1, 8)");
        exec("insert into ZUTGEPRUEFT (ZUTNR, GEPRUEFT) values (1, '2026-06-30'), (2, '2026-07-02'),"
             " (3, '2026-06-28'), (5, '2026-06-30'), (6, '2026-06-30')");
        exec("insert into PARAMETER (PARID, WERT) values (211, '101')");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (10, 6, 'Müsli'), (11, 2, 'Salamibrot'),"
             " (12, 1, 'Gemüsesuppe'), (13, 6, 'Apfelbrot'), (14, 6, 'Kräuterbrot'), (15, 6, 'Bananenbrot')");
        exec("insert into REZEPTE values (1, 10, 1, 0.2, 0), (2, 10, 2, 0.5, 0), (3, 10, 6, 0.2, 0),"
             " (4, 11, 3, 0.1, 0), (5, 11, 5, 0.2, 0), (6, 12, 4, 1, 0), (7, 12, 6, 0.1, 0),"
             " (8, 13, 5, 0.2, 0), (9, 13, 6, 0.2, 0), (10, 14, 5, 0.2, 0), (11, 14, 7, 0.1, 0),"
             " (12, 15, 5, 0.2, 0), (13, 15, 6, 0.1, 0)");
        // Mo 20.07.: Müsli for breakfast, salami bread and soup for lunch; Di 21.07.: Müsli.
        exec("insert into SPEISEPLAN values (1, '2026-07-20', 1, 6, 10, 20, 0), (2, '2026-07-20', 2, 2, 11, "
             "20, 0),"
             " (3, '2026-07-20', 2, 1, 12, 20, 0), (4, '2026-07-21', 1, 6, 10, 20, 0)");
        nuts = tlm::saveDietGroup({0, "Nussallergie", 1, {}, {}, {}, {8}});
        noPork = tlm::saveDietGroup({0, "Kein Schwein", 2, {}, {}, {101}, {}});
        noMilk = tlm::saveDietGroup({0, "Laktosefrei", 1, {}, {}, {7}, {}});
    }
    QStringList lines()
    {
        QStringList texts;
        for (const tlm::MealConflict& c : tlm::mealConflicts(QDate(2026, 7, 20), QDate(2026, 7, 21)))
            texts << c.text;
        return texts;
    }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN from SPEISEPLAN order by KEY");
    }
    QStringList links() { return rows("select KEY, GRUPPENR from ERSATZ order by KEY"); }

    int nuts = 0, noPork = 0, noMilk = 0;
};

// A camp of five days, Mo 20.07. to Fr 24.07.: 20 children at 0,75 and 4 leaders at 1,0 the whole
// time, a class of 10 at 1,2 from Tuesday to Thursday, everyone eating 1,1 on the first two days; four
// of the children are vegetarians with a dish of their own at Tuesday's lunch. Per head pasta costs
// 0,40 € (0,5 kg / 4 at 2,20 €/kg and 0,25 kg / 4 at 2,00 €/kg), rice 0,20 €.
//   Mo: 24 heads, (15 + 4) × 1,1 = 20,9 -> 21 portions
//   Di: 34 heads, (15 + 4 + 12) × 1,1 = 34,1 -> 35; the vegetarians 4 × 0,75 × 1,1 = 3,3 -> 4, the rest 31
//   Mi, Do: 34 heads, 31 portions; Fr: 24 heads, 19 portions
class EaterTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into ZUTATEN values (101, 'Nudeln', 0.5, 'kg', 1.10, 0, 0),"
             " (102, 'Tomaten', 1, 'kg', 2, -1, 0), (103, 'Reis', 1, 'kg', 2, 0, 0)");
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Nudeln'), (202, 2, "
             "'Gemüsereis')");
        exec("insert into REZEPTE values (1, 201, 101, 0.5, 0), (2, 201, 102, 0.25, 0), (3, 202, 103, 0.4, "
             "0)");
        exec("insert into SPEISEPLAN values (1, '2026-07-20', 2, 2, 201, 10, 0), (2, '2026-07-20', 3, 2, "
             "201, 10, 0),"
             " (3, '2026-07-21', 2, 2, 201, 10, 0), (4, '2026-07-21', 2, 2, 202, 2, 0),"
             " (5, '2026-07-22', 2, 2, 201, 10, 0), (6, '2026-07-23', 2, 2, 201, 10, 0),"
             " (7, '2026-07-24', 2, 2, 201, 10, 0)");
        tlm::EaterList list;
        list.bands = {{0, "Kinder 8–12", 0.75, 20, {}, {}},
                      {0, "Betreuer", 1.0, 4, {}, {}},
                      {0, "Klasse 7b", 1.2, 10, QDate(2026, 7, 21), QDate(2026, 7, 23)}};
        list.appetite = {{0, "Anreise", 1.1, QDate(2026, 7, 20), QDate(2026, 7, 21)}};
        tlm::saveEaterList(list);
        kinder = scalar("select ESSERNR from ESSER where ESSER = 'Kinder 8–12'").toInt();
        tlm::DietGroup veg{0, "Vegetarier", 4, {}, {}, {15, 16}, {}};
        veg.esserNr = kinder;
        vegetarier = tlm::saveDietGroup(veg);
        exec(QStringLiteral("insert into ERSATZ (KEY, GRUPPENR) values (4, %1)").arg(vegetarier));
    }
    QStringList persons() { return rows("select KEY, PERSONEN from SPEISEPLAN order by KEY"); }
    static QVector<int> allTimes() { return {1, 2, 3, 4, 5}; }

    int kinder = 0, vegetarier = 0;
};

// Three days of a camp with its hygiene lists: bread keeps no sample, the vegetarians get a
// replacement at the first lunch; two fridges, two areas, a team of three.
class HygieneTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Nudeln mit Soße'),"
             " (202, 1, 'Tomatensuppe'), (203, 6, 'Brot'), (204, 5, 'Obstsalat'), (205, 2, 'Gemüsepfanne')");
        // Mo 20.07.: bread for breakfast, soup, pasta and the replacement for lunch; Di 21.07.: fruit
        // salad for supper; Mi 22.07.: pasta again.
        exec(
            "insert into SPEISEPLAN values (1, '2026-07-20', 1, 6, 203, 20, 0), (2, '2026-07-20', 2, 1, 202, "
            "20, 0), (3, '2026-07-20', 2, 2, 201, 18, 0), (4, '2026-07-20', 2, 2, 205, 2, 0),"
            " (5, '2026-07-21', 3, 5, 204, 20, 0), (6, '2026-07-22', 2, 2, 201, 20, 0)");
        const int group = tlm::saveDietGroup({0, "Vegetarier", 2, {}, {}, {15}, {}});
        exec(QStringLiteral("insert into ERSATZ (KEY, GRUPPENR) values (4, %1)").arg(group));
        exec("insert into HYG_OHNEPROBE (GERNR) values (203)");
        exec("insert into HYG_GERAETE (GERAETNR, GERAET, ART, GRENZE) values (1, 'Kühlschrank Küche', "
             "'Kühlschrank', 7), (2, 'Truhe', 'Tiefkühlgerät', -18)");
        exec("insert into HYG_BEREICHE (BEREICHNR, BEREICH, HAEUFIGKEIT) values (1, 'Arbeitsflächen', 2),"
             " (2, 'Kühlschrank', 3)");
        exec("insert into HYG_TEAM (PERSNR, NAME, ERSTBELEHRUNG, BELEHRUNG) values (1, 'Anna', '2019-03-01',"
             " '2025-06-01'), (2, 'Ben', null, null), (3, 'Carla', '2020-01-10', '2024-01-15')");
    }
};
