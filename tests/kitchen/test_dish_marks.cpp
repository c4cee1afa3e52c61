// The allergens and diets of dishes, from the marks of their ingredients.
#include "kitchen/DishMarks.h"
#include "support/SampleCamps.h"

using namespace tlm;

TEST_F(AllergenTest, ADishHasTheUnionOfItsIngredientsAndTheMarksGoWithADeletedIngredient)
{
    // The fourteen, three diet marks, twelve additives and the sample's "Schwein".
    EXPECT_EQ(scalar("select count(*) from ALLERGENE").toInt(), 30);
    // Spaghetti Bolognese: only the spaghetti bring one in.
    EXPECT_EQ(DishMarks().letters(101), "A");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (900, 2, 'Leer')");
    EXPECT_EQ(DishMarks().letters(900), "(ohne Rezept)");
    // Two ingredients sharing G, one of them at quantity 0, give one G.
    exec("insert into REZEPTE values (9001, 900, 105, 0, 0), (9002, 900, 123, 0.5, 0)");
    EXPECT_EQ(DishMarks().letters(900), "G");
    EXPECT_EQ(DishMarks().diet(900), "vegetarisch");
    EXPECT_EQ(DishMarks().diet(101), "");
    EXPECT_EQ(DishMarks().diet(103), "vegan");
    exec("delete from ZUTATEN where ZUTNR = 105");
    EXPECT_EQ(scalar("select count(*) from ZUTALLERGENE where ZUTNR = 105").toInt(), 0);
}

// Vegetarian means no meat and no fish; vegan means that and nothing of animals: a dish of meat or
// fish is neither, whatever else its ingredients are marked.
TEST_F(AllergenReportTest, MeatOrFishIsNeverVegan)
{
    exec("insert into ZUTATEN values (101, 'Hackfleisch', 1, 'kg', 8, 0, 0), (102, 'Thunfisch', 1, 'kg', 9, "
         "0, "
         "0)");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Bolognese'), (202, 2, "
         "'Thunfischsalat')");
    exec("insert into REZEPTE values (101, 201, 101, 0.5, 0), (102, 202, 102, 0.5, 0)");
    exec("insert into ZUTALLERGENE values (101, 15), (102, 16)");
    exec("insert into ZUTGEPRUEFT values (101, '2026-07-01'), (102, '2026-07-01')");
    const DishMarks marks(QStringLiteral("10, 13, 201, 202"));
    EXPECT_EQ(marks.diet(201), QString());
    EXPECT_EQ(marks.diet(202), QString());
    EXPECT_EQ(marks.diet(10), QStringLiteral("vegetarisch")); // butter and cream: of animals, no meat
    EXPECT_EQ(marks.diet(13), QStringLiteral("vegan"));
}
