// Allergens of ingredients, inherited by their dishes.
#include "data/Globals.h"
#include "extras/Allergens.h"
#include "support/Fixture.h"

using namespace tlm;

class AllergenTest : public tlmtest::SampleDbTest
{
};

TEST_F(AllergenTest, ADishHasTheUnionOfItsIngredientsAndTheMarksGoWithADeletedIngredient)
{
    EXPECT_EQ(scalar("select count(*) from ALLERGENE").toInt(), 17);
    // Spaghetti Bolognese: only the spaghetti bring one in.
    EXPECT_EQ(dishAllergenLetters(101), "A");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (900, 2, 'Leer')");
    EXPECT_EQ(dishAllergenLetters(900), "(ohne Rezept)");
    // Two ingredients sharing G, one of them at quantity 0, give one G.
    exec("insert into REZEPTE values (9001, 900, 105, 0, 0), (9002, 900, 123, 0.5, 0)");
    EXPECT_EQ(dishAllergenLetters(900), "G");
    EXPECT_EQ(dishDiet(900), "vegetarisch");
    EXPECT_EQ(dishDiet(101), "");
    EXPECT_EQ(dishDiet(103), "vegan");
    exec("delete from ZUTATEN where ZUTNR = 105");
    EXPECT_EQ(scalar("select count(*) from ZUTALLERGENE where ZUTNR = 105").toInt(), 0);
}
