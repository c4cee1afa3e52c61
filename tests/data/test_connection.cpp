#include "app/DataProcedures.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/Database.h"
#include "data/Error.h"
#include "data/GermanText.h"
#include "data/Globals.h"
#include "data/SqliteHandle.h"
#include "support/Fixture.h"
#include "support/Modal.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <algorithm>
#include <random>
#include <sqlite3.h>

using namespace tlm;
using tlmtest::DbTest;

class ConnectionTest : public DbTest
{
};

TEST_F(ConnectionTest, ReadsValuesByTheirDeclaredTypes)
{
    exec("insert into ZUTATEN values (101, 'Äpfel', 2.5, 'kg', 3.98, -1, 0)");
    exec("insert into SPEISEPLAN values (5, '2010-07-24', 2, 1, 105, 12, -1)");
    exec("insert into REZEPTE values (7, 105, 101, null, 0)");
    RecordsetPtr rs = gConnection.execute("select * from ZUTATEN");
    EXPECT_EQ(rs->field("ZUTNR").typeId(), QMetaType::Int);
    EXPECT_EQ(rs->field("zutat").toString(), QStringLiteral("Äpfel"));
    EXPECT_EQ(rs->field("MENGE").typeId(), QMetaType::Double);
    EXPECT_EQ(rs->field("PREIS").toDouble(), 3.98);
    EXPECT_EQ(rs->field("FRISCH"), QVariant(true));
    EXPECT_EQ(rs->field("NOKAUF"), QVariant(false));
    rs = gConnection.execute("select TAG, NODRUCK, PERSONEN from VW_SPEISEPLAN");
    EXPECT_EQ(rs->field("TAG"), QVariant(QDate(2010, 7, 24)));
    EXPECT_EQ(rs->field("NODRUCK"), QVariant(true));
    rs = gConnection.execute("select PERSONEN, MENGE4P from REZEPTE");
    EXPECT_EQ(rs->field("PERSONEN").typeId(), QMetaType::Short);
    EXPECT_TRUE(rs->field("MENGE4P").isNull());
    rs = gConnection.execute("select max(KEY) as MAXID from SPEISEPLAN");
    EXPECT_EQ(rs->field("MAXID").toInt(), 5);
    // A Jet date literal reaches SQLite as ISO text.
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN where TAG = #07/24/2010#").toInt(), 1);
    try {
        rs->moveNext();
        rs->field("MAXID");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number, 3021);
    }
    EXPECT_THROW(gConnection.execute("select 1; delete from ZUTATEN"), Error);
    EXPECT_EQ(scalar("select count(*) from ZUTATEN").toInt(), 1);
}

TEST_F(ConnectionTest, WritingConvertsLikeJetAndAFailedFieldWritesNothing)
{
    RecordsetPtr rs = gConnection.openWritable(
        "select ZUTNR,ZUTAT,MENGE,EINHEIT,PREIS,FRISCH,NOKAUF from ZUTATEN where ZUTNR = 101");
    ASSERT_TRUE(rs->eof());
    rs->addNew();
    rs->setField("zutnr", QStringLiteral("101"));
    rs->setField("ZUTAT", QStringLiteral("Kaiser's Brötchen"));
    rs->setField("MENGE", QStringLiteral("1,5"));
    rs->setField("EINHEIT", QStringLiteral("kg"));
    rs->setField("PREIS", 2.123456);
    rs->setField("FRISCH", true);
    rs->setField("NOKAUF", false);
    rs->update();
    EXPECT_EQ(rows("select ZUTNR,ZUTAT,MENGE,PREIS,FRISCH,NOKAUF from ZUTATEN"),
              QStringList{"101|Kaiser's Brötchen|1,5|2,1235|Wahr|Falsch"});
    EXPECT_EQ(scalar("select typeof(FRISCH) || FRISCH from ZUTATEN").toString(), QStringLiteral("integer-1"));

    rs = gConnection.openWritable("select KEY,TAG,PERSONEN from SPEISEPLAN where KEY = 1");
    rs->addNew();
    rs->setField("Key", 1);
    rs->setField("Tag", QStringLiteral("24.07.2010"));
    for (const QString& bad : {QStringLiteral("abc"), QString()}) {
        try {
            rs->setField("PERSONEN", bad);
            FAIL();
        } catch (const Error& e) {
            EXPECT_EQ(e.text(), QStringLiteral("13/Typen unverträglich"));
        }
    }
    EXPECT_THROW(rs->setField("TAG", QStringLiteral("kein Datum")), Error);
    EXPECT_EQ(scalar("select count(*) from SPEISEPLAN").toInt(), 0);
    rs->setField("PERSONEN", QStringLiteral("12"));
    rs->update();
    EXPECT_EQ(rows("select KEY,TAG,PERSONEN,TAG || '' from SPEISEPLAN"),
              QStringList{"1|24.07.2010|12|2010-07-24"});

    // Changing an existing row goes by its rowid.
    rs = gConnection.openWritable("select KEY,PERSONEN from SPEISEPLAN where KEY = 1");
    ASSERT_FALSE(rs->eof());
    rs->setField("PERSONEN", 8);
    rs->update();
    EXPECT_EQ(scalar("select PERSONEN from SPEISEPLAN").toInt(), 8);

    // A text longer than its column is refused, not cut.
    rs = gConnection.openWritable("select ZUTNR,ZUTAT from ZUTATEN where ZUTNR = 101");
    EXPECT_THROW(rs->setField("ZUTAT", QString(51, 'x')), Error);
    rs->setField("ZUTAT", QString(50, 'x'));
    rs->update();
    EXPECT_EQ(scalar("select length(ZUTAT) from ZUTATEN").toInt(), 50);
}

TEST_F(ConnectionTest, FindMovesForwardToColumnEqualsNumber)
{
    for (int k : {101, 102, 250})
        exec(QStringLiteral("insert into GERICHTE (GERNR, GERICHT) values (%1, 'G%1')").arg(k));
    RecordsetPtr rs = gConnection.execute("select GERNR,GERICHT from GERICHTE order by GERNR");
    EXPECT_TRUE(rs->find("GERNR = 102"));
    EXPECT_EQ(rs->position(), 1);
    EXPECT_TRUE(rs->find("GERNR=102")); // from the current row
    EXPECT_FALSE(rs->find("GERNR = 101"));
    EXPECT_TRUE(rs->eof());
    rs->moveFirst();
    EXPECT_FALSE(rs->find("GERNR = 999"));
    EXPECT_TRUE(rs->eof());
    EXPECT_THROW(rs->find("GERICHT like 'x'"), Error);
}

TEST_F(ConnectionTest, GermanLikeAndSortOrder)
{
    int key = 101;
    for (const char* name : {"Zwiebeln", "Äpfel", "apfelsaft", "Ananas", "Öl", "Orangen", "Kaiser's Brot",
                             "Straße", "Strudel", "Omas Kartoffelsalat"})
        gConnection.exec(QStringLiteral("insert into ZUTATEN (ZUTNR, ZUTAT) values (%1, ?)").arg(key++),
                         {QString::fromUtf8(name)});
    EXPECT_EQ(rows("select ZUTAT from ZUTATEN order by ZUTAT"),
              (QStringList{"Ananas", "Äpfel", "apfelsaft", "Kaiser's Brot", "Öl", "Omas Kartoffelsalat",
                           "Orangen", "Straße", "Strudel", "Zwiebeln"}));
    EXPECT_EQ(rows("select ZUTAT from ZUTATEN where ZUTAT like 'äp%' order by ZUTAT"), QStringList{"Äpfel"});
    EXPECT_EQ(rows("select ZUTAT from ZUTATEN where ZUTAT like 'AP%' order by ZUTAT"),
              QStringList{"apfelsaft"});
    EXPECT_EQ(rows("select ZUTAT from ZUTATEN where ZUTAT like 'o_%' order by ZUTAT"),
              (QStringList{"Omas Kartoffelsalat", "Orangen"}));
    EXPECT_EQ(rows("select ZUTAT from ZUTATEN where ZUTAT like 'kaiser''s%'"), QStringList{"Kaiser's Brot"});
    EXPECT_EQ(rows("select ZUTAT from ZUTATEN where ZUTAT like '%ß%'"), QStringList{"Straße"});
    EXPECT_TRUE(germanLike("a%b%c", "aXXbYYc"));
    EXPECT_FALSE(germanLike("a%b%c", "aXXbYY"));
    EXPECT_TRUE(germanLike("%", ""));
    EXPECT_TRUE(germanLike("10!%%", "10% mehr", '!'));
    EXPECT_FALSE(germanLike("10!%%", "100 mehr", '!'));

    // Plain ASCII names take a short road; it sorts as the long one: case folded, then by code.
    gConnection.exec(QStringLiteral("delete from ZUTATEN"));
    QStringList names;
    std::mt19937 rng(11);
    const QString letters = QStringLiteral("aAbBzZ09 _'-~{Äöß");
    Transaction t(gConnection);
    for (int i = 0; i < 300; ++i) {
        QString n;
        for (int k = int(rng() % 5); k >= 0; --k)
            n += letters[int(rng() % (i % 3 ? 13 : letters.size()))]; // two of three pure ASCII
        names << n;
        gConnection.exec(QStringLiteral("insert into ZUTATEN (ZUTNR, ZUTAT) values (%1, ?)").arg(i + 1), {n});
    }
    t.commit();
    QStringList sorted = rows("select ZUTAT from ZUTATEN order by ZUTAT");
    for (int i = 1; i < sorted.size(); ++i) {
        const QString& a = sorted[i - 1];
        const QString& b = sorted[i];
        const bool ascii = std::all_of(a.begin(), a.end(), [](QChar c) { return c.unicode() < 128; }) &&
                           std::all_of(b.begin(), b.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii) { // the order the long road gives ASCII texts
            EXPECT_LE(std::make_pair(a.toLower(), a), std::make_pair(b.toLower(), b))
                << a.toStdString() << " / " << b.toStdString();
        }
    }
}

TEST_F(ConnectionTest, QuantityViewsSumPersonsOverFour)
{
    exec("insert into ZUTATEN values (101, 'Nudeln', 500, 'g', 1.19, 0, 0), (102, 'Salz', 500, 'g', 0.49, 0, "
         "-1),"
         " (103, 'Milch', 1, 'L', 1.15, -1, 0)");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (201, 2, 'Nudeln'), (202, 2, 'Ohne Menge')");
    exec("insert into REZEPTE values (1, 201, 101, 250, 0), (2, 201, 102, 5, 0), (3, 202, 103, null, 0),"
         " (4, 202, 101, 100, 0)");
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 2, 201, 8, 0), (2, '2010-07-25', 2, 2, 201, 4, "
         "-1),"
         " (3, '2010-07-25', 3, 2, 202, 4, 0)");
    EXPECT_EQ(rows("select ZUTAT,MENGE,EINHEIT,MENGSUM,PREIS,FRISCH,NOKAUF from VW_MENGEN order by ZUTAT"),
              (QStringList{"Milch|1|L|0|1,15|Wahr|Falsch", "Nudeln|500|g|850|1,19|Falsch|Falsch",
                           "Salz|500|g|15|0,49|Falsch|Wahr"}));
    EXPECT_EQ(rows("select TAG,ZUTAT,MENGSUM from VW_MENGENTAG order by TAG,ZUTAT"),
              (QStringList{"24.07.2010|Nudeln|500", "24.07.2010|Salz|10", "25.07.2010|Milch|0",
                           "25.07.2010|Nudeln|350", "25.07.2010|Salz|5"}));
    exec("delete from SPEISEPLAN");
    EXPECT_TRUE(rows("select * from VW_MENGEN").isEmpty());
    EXPECT_TRUE(rows("select * from VW_MENGENTAG").isEmpty());
    EXPECT_TRUE(rows("select * from VW_SPEISEPLAN").isEmpty());
}

TEST_F(ConnectionTest, AnOlderFileGetsTheIndexesAndViewsOfThisProgramAndKeepsItsData)
{
    // A file from before: the slower views and index, and no version of them.
    exec("drop index SPEISEPLAN_TAG");
    exec("create index SPEISEPLAN_TAG on SPEISEPLAN (TAG, GERNR, PERSONEN)");
    exec("drop view VW_MENGEN");
    exec("create view VW_MENGEN as select 1 as ZUTAT");
    exec("insert into SPEISEPLAN values (1, '2026-07-01', 2, 2, 101, 4, 0)");
    exec("PRAGMA user_version = 0");
    auto derived = [&] {
        return rows(
            "select name || ':' || sql from sqlite_master where type in ('index', 'view') order by name");
    };
    gConnection.close();
    if (tlmtest::makeReadOnly(dbPath())) { // a file that cannot be written stays as it is, and works
        gConnection.open(location());
        EXPECT_TRUE(derived().join(' ').contains("as select 1 as ZUTAT"));
        gConnection.close();
        tlmtest::restoreWritable(dbPath());
    }
    gConnection.open(location());
    EXPECT_EQ(scalar("PRAGMA user_version").toInt(), kDerivedVersion);
    EXPECT_TRUE(
        derived().join(' ').contains("SPEISEPLAN (TAG, GERNR, PERSONEN, TAGZEITNR, GTYPNR, NODRUCK)"));
    EXPECT_EQ(scalar("select count(*) from VW_MENGEN").toInt(), 0); // the real view again
    EXPECT_EQ(rows("select KEY, PERSONEN from SPEISEPLAN"), QStringList{"1|4"});
    const QStringList renewed = derived();
    gConnection.close();
    gConnection.open(location()); // once only
    EXPECT_EQ(derived(), renewed);
}

TEST_F(ConnectionTest, AFileOfALaterVersionIsOnlyReadAndALockWhileRenewingIsNoDamage)
{
    exec("drop view VW_MENGEN");
    exec("create view VW_MENGEN as select 1 as ZUTAT");
    exec(QStringLiteral("PRAGMA user_version = %1").arg(kDerivedVersion + 1));
    gConnection.close();
    auto bytes = [&] {
        QFile f(dbPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    const QByteArray before = bytes();
    {
        Connection c;
        c.open(dbPath());
        EXPECT_TRUE(c.isReadOnly());
        EXPECT_TRUE(c.isNewer());
        EXPECT_EQ(c.execute("select count(*) from VW_MENGEN")->value(0, 0).toInt(), 1);
        EXPECT_THROW(c.execute("delete from TAGZEIT"), Error);
        EXPECT_THROW(c.requireWritable(), Error);
    }
    EXPECT_EQ(bytes(), before);

    // An older file while a reader holds it: the views cannot be renewed, and that is a lock.
    int rcW = 0, rcR = 0;
    {
        SqliteHandle w = tlm::openSqlite(dbPath(), SQLITE_OPEN_READWRITE, &rcW);
        sqlite3_exec(w.get(), "PRAGMA user_version = 0", nullptr, nullptr, nullptr);
    }
    SqliteHandle reader = tlm::openSqlite(dbPath(), SQLITE_OPEN_READONLY, &rcR);
    ASSERT_EQ(sqlite3_exec(reader.get(), "begin; select count(*) from SPEISEPLAN", nullptr, nullptr, nullptr),
              SQLITE_OK);
    Connection c;
    try {
        c.open(dbPath());
        ADD_FAILURE() << "renewed under a reader";
    } catch (const Error& e) {
        EXPECT_EQ(e.number & 0xff, SQLITE_BUSY);
        EXPECT_EQ(
            e.description,
            QStringLiteral("Die Datenbank '%1' ist von einem anderen Programm gesperrt.").arg(dbPath()));
    }
    sqlite3_exec(reader.get(), "rollback", nullptr, nullptr, nullptr);
    reader.reset();
    gConnection.open(location());
    EXPECT_EQ(scalar("PRAGMA user_version").toInt(), kDerivedVersion);
    EXPECT_FALSE(gConnection.isNewer());
}

TEST_F(ConnectionTest, TransactionRollsBackUnlessCommitted)
{
    {
        Transaction t(gConnection);
        exec("insert into GERICHTE (GERNR) values (1)");
    }
    EXPECT_EQ(scalar("select count(*) from GERICHTE").toInt(), 0);
    {
        Transaction t(gConnection);
        exec("insert into GERICHTE (GERNR) values (1)");
        t.commit();
    }
    EXPECT_EQ(scalar("select count(*) from GERICHTE").toInt(), 1);
}

TEST_F(ConnectionTest, BadDatabaseFilesAreRefusedAndLeftAlone)
{
    gConnection.close();
    EXPECT_THROW(gConnection.close(), Error);
    auto expectRefused = [&](const QString& path, const QString& fragment) {
        const QByteArray before = QFile::exists(path) ? [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }() : QByteArray();
        const bool existed = QFile::exists(path);
        Connection c;
        try {
            c.open(path);
            ADD_FAILURE() << "opened " << path.toStdString();
        } catch (const Error& e) {
            EXPECT_TRUE(e.description.contains(fragment)) << e.text().toStdString();
        }
        EXPECT_FALSE(c.isOpen());
        EXPECT_EQ(QFile::exists(path), existed);
        if (existed) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            EXPECT_EQ(f.readAll(), before);
        }
    };
    const QString missing = QDir(dir()).filePath("missing.mdb");
    expectRefused(missing, "nicht gefunden");
    const QString empty = QDir(dir()).filePath("empty.mdb");
    QFile(empty).open(QIODevice::WriteOnly);
    expectRefused(empty, "leer");
    const QString text = QDir(dir()).filePath("text.mdb");
    {
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("Das ist keine Datenbank, nur ein Text.\n").repeated(200));
    }
    expectRefused(text, "keine lesbare Datenbank");
    const QString truncated = QDir(dir()).filePath("truncated.mdb");
    {
        QFile src(dbPath());
        src.open(QIODevice::ReadOnly);
        QFile f(truncated);
        f.open(QIODevice::WriteOnly);
        f.write(src.readAll().left(3000));
    }
    expectRefused(truncated, "");
    // A file that cannot be written opens for reading; a write says so and changes nothing.
    if (tlmtest::makeReadOnly(dbPath())) {
        const QByteArray before = [&] {
            QFile f(dbPath());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        Connection c;
        c.open(dbPath());
        EXPECT_TRUE(c.isReadOnly());
        EXPECT_EQ(c.execute("select count(*) from TAGZEIT")->value(0, 0).toInt(), 5);
        try {
            c.execute("delete from TAGZEIT");
            ADD_FAILURE() << "wrote to a read-only file";
        } catch (const Error& e) {
            EXPECT_EQ(e.number & 0xff, 8);
            EXPECT_EQ(e.description,
                      QStringLiteral("Die Datenbank ist schreibgeschützt; es wurde nichts geändert."));
            EXPECT_EQ(e.detail, QStringLiteral("attempt to write a readonly database"));
        }
        c.close();
        tlmtest::restoreWritable(dbPath());
        QFile f(dbPath());
        f.open(QIODevice::ReadOnly);
        EXPECT_EQ(f.readAll(), before);
    }
    gConnection.open(location());
    EXPECT_TRUE(gConnection.isOpen());
}

// Within a snapshot a read is asked once and given again from its first row; a write forgets what was
// read, so that the next read sees it (a file's snapshot may write).
TEST_F(ConnectionTest, ReadsAskedAheadAnswerTheirWorkAndAFailingOneFailsAsItself)
{
    exec("insert into GERICHTE (GERNR, GERICHT) values (1, 'Eintopf'), (2, 'Suppe')");
    auto count = [] {
        return gConnection.execute(QStringLiteral("select count(*) from GERICHTE"))->value(0, 0);
    };
    const QString dish = QStringLiteral("select GERICHT from GERICHTE where GERNR = ?");
    {
        ReadSnapshot snapshot(gConnection);
        const qint64 before = gConnection.readsAsked(), notAhead = gConnection.readsNotAhead();
        // The rehearsal gets no rows: the work that reads a row of nothing stops there.
        gConnection.readAhead(
            {{dish, {2}}},
            {[&] { count().toInt(); }, [] { gConnection.exec(QStringLiteral("delete from GERICHTE")); }});
        // A server is asked both at once; a file, which answers at once, when the work asks.
        EXPECT_EQ(gConnection.readsAsked(), before + (gConnection.isServer() ? 2 : 0));
        EXPECT_EQ(gConnection.execute(dish, {2})->value(0, 0).toString(), "Suppe");
        EXPECT_EQ(count().toInt(), 2);
        EXPECT_EQ(gConnection.readsAsked(), before + 2);
        EXPECT_EQ(gConnection.readsNotAhead(), notAhead); // both were named ahead
        EXPECT_EQ(gConnection.execute(dish, {1})->value(0, 0).toString(), "Eintopf");
        EXPECT_EQ(gConnection.readsNotAhead(), notAhead + 1);
    }
    EXPECT_EQ(scalar("select count(*) from GERICHTE").toInt(), 2); // the rehearsal wrote nothing
    {
        ReadSnapshot snapshot(gConnection);
        try {
            gConnection.readAhead({{QStringLiteral("select GERNR from GERICHTE")},
                                   {QStringLiteral("select WERT from GIBTESNICHT")}});
            gConnection.execute(QStringLiteral("select WERT from GIBTESNICHT"));
            ADD_FAILURE() << "a read of a missing table was answered";
        } catch (const Error& e) {
            EXPECT_TRUE(e.description.contains("GIBTESNICHT")) << e.description.toStdString();
        }
    }
    // The connection goes on as before.
    EXPECT_EQ(scalar("select GERICHT from GERICHTE where GERNR = 1").toString(), "Eintopf");
}

TEST_F(ConnectionTest, ASnapshotAsksAReadOnceAndForgetsItOnAWrite)
{
    exec("insert into GERICHTE (GERNR, GERICHT) values (1, 'Eintopf')");
    int statements = 0;
    if (sqlite3* db = gConnection.handle())
        sqlite3_trace_v2(
            db, SQLITE_TRACE_STMT,
            [](unsigned, void* count, void*, void*) {
                ++*static_cast<int*>(count);
                return 0;
            },
            &statements);
    {
        ReadSnapshot snapshot(gConnection);
        RecordsetPtr first = gConnection.execute(QStringLiteral("select GERICHT from GERICHTE"));
        first->moveNext();
        const int asked = statements;
        RecordsetPtr again = gConnection.execute(QStringLiteral("select GERICHT from GERICHTE"));
        EXPECT_EQ(again->position(), 0);
        ASSERT_EQ(again->rowCount(), 1);
        EXPECT_EQ(again->value(0, 0).toString(), "Eintopf");
        if (gConnection.handle()) {
            EXPECT_EQ(statements, asked);
            exec("update GERICHTE set GERICHT = 'Suppe' where GERNR = 1");
            EXPECT_EQ(
                gConnection.execute(QStringLiteral("select GERICHT from GERICHTE"))->value(0, 0).toString(),
                "Suppe");
        }
    }
    if (sqlite3* db = gConnection.handle())
        sqlite3_trace_v2(db, 0, nullptr, nullptr);
    // Outside a snapshot every read is asked anew.
    exec("update GERICHTE set GERICHT = 'Brei' where GERNR = 1");
    EXPECT_EQ(scalar("select GERICHT from GERICHTE").toString(), "Brei");
}
