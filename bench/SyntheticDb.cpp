#include "bench/SyntheticDb.h"

#include "data/Connection.h"
#include "data/Database.h"
#include "data/Statement.h"

#include <QDate>
#include <QStringList>
#include <random>
#include <stdexcept>

namespace tlmbench {

namespace {
const QStringList kFoods = {"Äpfel",    "Birnen",   "Möhren",      "Brötchen", "Käse",    "Würstchen",
                            "Zwiebeln", "Gurken",   "Tomaten",     "Kürbis",   "Grieß",   "Rüben",
                            "Nudeln",   "Reis",     "Linsen",      "Quark",    "Joghurt", "Müsli",
                            "Sahne",    "Schmand",  "Spätzle",     "Brokkoli", "Lauch",   "Sellerie",
                            "Paprika",  "Hähnchen", "Rindfleisch", "Kräuter"};
const QStringList kKinds = {"frisch",      "getrocknet", "gerieben", "bio",
                            "tiefgekühlt", "geräuchert", "süß",      "würzig"};
const QStringList kDishWords = {"Omas",    "Bunte",     "Schwäbische", "Bayerische",
                                "Würzige", "Herzhafte", "Süße",        "Große"};
const QStringList kDishKinds = {"Suppe", "Pfanne", "Auflauf", "Eintopf",
                                "Salat", "Soße",   "Knödel",  "Pudding"};
const char* const kUnits[] = {"g", "kg", "L", "ml", "Paar", "Pkg", "Stk"};
const double kSizes[] = {1, 0.5, 250, 500, 1000, 10, 6, 2.5, 0.75};

void run(tlm::Statement& st, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        st.bind(i + 1, values[i]);
    st.step();
    st.reset();
}
} // namespace

void makeSyntheticDb(const QString& path, const Size& size)
{
    const QString error = tlm::createDatabase(path, false);
    if (!error.isEmpty())
        throw std::runtime_error(error.toStdString());
    tlm::Connection c;
    c.open(path);
    std::mt19937 rng(20260720);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto chance = [&](int percent) { return pick(100) < percent; };
    std::vector<double> packages;
    tlm::Transaction t(c);
    {
        tlm::Statement st(c.handle(), "insert into ZUTATEN values (?,?,?,?,?,?,?)");
        for (int i = 0; i < size.ingredients; ++i) {
            packages.push_back(kSizes[pick(9)]);
            run(st, {101 + i,
                     kFoods[pick(kFoods.size())] + " " + kKinds[pick(kKinds.size())] + " " +
                         QString::number(i + 1),
                     packages.back(), QString::fromLatin1(kUnits[pick(7)]), (29 + pick(1570)) / 100.0,
                     chance(40) ? -1 : 0, chance(5) ? -1 : 0});
        }
    }
    {
        tlm::Statement st(c.handle(), "insert into GERICHTE values (?,?,?,?)");
        const QString prep =
            QStringLiteral("Alles waschen, schneiden und in einem großen Topf anbraten. Mit Brühe "
                           "ablöschen, 20 Minuten köcheln lassen, abschmecken und heiß servieren. ");
        for (int i = 0; i < size.dishes; ++i)
            run(st, {101 + i, 1 + pick(7),
                     kDishWords[pick(kDishWords.size())] + " " + kFoods[pick(kFoods.size())] + "-" +
                         kDishKinds[pick(kDishKinds.size())] + " " + QString::number(i + 1),
                     chance(10) ? QString() : prep.repeated(1 + pick(3))});
    }
    {
        tlm::Statement st(c.handle(), "insert into REZEPTE values (?,?,?,?,0)");
        // A quarter to a whole package for four persons, as a recipe would need.
        for (int i = 0; i < size.lines; ++i) {
            const int ingredient = pick(size.ingredients);
            run(st, {101 + i, 101 + (i % size.dishes), 101 + ingredient,
                     chance(1) ? QVariant() : QVariant(packages[ingredient] * (1 + pick(20)) / 20.0)});
        }
    }
    {
        tlm::Statement st(c.handle(), "insert into SPEISEPLAN values (?,?,?,?,?,?,?)");
        const QDate first(2026, 1, 1);
        for (int i = 0; i < size.entries; ++i)
            run(st, {1 + i, first.addDays(qint64(i) * size.days / size.entries), 1 + pick(4), 1 + pick(7),
                     101 + pick(size.dishes), 8 + pick(33), chance(5) ? -1 : 0});
    }
    t.commit();
    c.close();
}

} // namespace tlmbench
