// Costs per person and day, the spreadsheet export, every report from the command line.
#include "app/DataCombo.h"
#include "app/InstanceGuard.h"
#include "data/Costs.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "extras/CostReport.h"
#include "extras/DietGroups.h"
#include "extras/ShoppingCsv.h"
#include "plan/frmSpeiseplanDet.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

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

TEST_F(CostTest, TheDefinitionsOnAHandComputedPlan)
{
    EXPECT_DOUBLE_EQ(entryCost(201, 10).value.toDouble(), 4.0);
    EXPECT_TRUE(entryCost(201, 10).known());
    EXPECT_DOUBLE_EQ(entryCost(201, 0).value.toDouble(), 0.0);
    EXPECT_EQ(entryCost(202, 10).missing, QStringLiteral("Preis fehlt: Safran"));
    EXPECT_EQ(entryCost(203, 10).missing, QStringLiteral("Packungsgröße 0: Zimt"));
    EXPECT_DOUBLE_EQ(entryCost(999, 10).value.toDouble(), 0.0); // a dish without lines costs nothing
    const QVector<DayCost> days = dayCosts(QDate(2026, 10, 1), QDate(2026, 10, 31));
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days[0].day, QDate(2026, 10, 1));
    EXPECT_EQ(days[0].headCount, 10); // the largest, not the sum
    EXPECT_DOUBLE_EQ(days[0].cost.value.toDouble(), 7.2);
    EXPECT_DOUBLE_EQ(days[0].perPerson().value.toDouble(), 0.72);
    EXPECT_EQ(days[1].perPerson().missing, QStringLiteral("Preis fehlt: Safran"));
    EXPECT_EQ(days[2].cost.missing, QStringLiteral("Packungsgröße 0: Zimt"));
    EXPECT_EQ(dayCosts(QDate(2026, 10, 2), QDate(2026, 10, 2)).size(), 1);
}

// A replacement for a diet group splits its meal's persons: the day still feeds the common entry's
// persons and the group's together (8 + 2), not the largest entry alone (8).
TEST_F(CostTest, ADaySplitForAGroupStillFeedsEveryone)
{
    exec("delete from SPEISEPLAN");
    exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (204, 2, 'Tomatenreis')");
    exec("insert into REZEPTE values (7, 204, 102, 1, 0)");
    exec("insert into ZUTALLERGENE values (101, 1)"); // the pasta has gluten
    exec("insert into SPEISEPLAN values (1, '2026-10-05', 2, 2, 201, 10, 0)"); // arrival day: lunch only
    exec("insert into GRUPPEN (GRUPPENR, GRUPPE, PERSONEN) values (1, 'Zöliakie', 2)");
    exec("insert into GRUPPENALLERGENE values (1, 1)");
    const QDate day(2026, 10, 5);
    const QVector<MealConflict> conflicts = mealConflicts(day, day);
    ASSERT_EQ(conflicts.size(), 1);
    ASSERT_TRUE(chooseReplacement(conflicts[0], 204).refusal.isEmpty());
    EXPECT_EQ(rows("select GERNR, PERSONEN from SPEISEPLAN order by KEY"), (QStringList{"201|8", "204|2"}));

    QVector<DayCost> days = dayCosts(day, day);
    ASSERT_EQ(days.size(), 1);
    // 8 x 0,40 (pasta) + 2 x 0,50 (rice) = 4,20 for the 10 persons of the day: 0,42 each.
    EXPECT_EQ(days[0].cost.value, Money::fromDouble(4.2));
    EXPECT_EQ(days[0].headCount, 10);
    EXPECT_EQ(days[0].perPerson().value, Money::fromDouble(0.42));

    // A dessert for all 10 and a second main dish offered beside the pasta (8) feed no one more; a
    // supper for 12 is the day's largest meal.
    exec("insert into SPEISEPLAN values (3, '2026-10-05', 2, 5, 201, 10, 0), (4, '2026-10-05', 2, 2, 201, 8, 0)");
    EXPECT_EQ(dayCosts(day, day).value(0).headCount, 10);
    exec("insert into SPEISEPLAN values (5, '2026-10-05', 3, 2, 201, 12, 0)");
    EXPECT_EQ(dayCosts(day, day).value(0).headCount, 12);
}

TEST_F(CostTest, ThePlanEntryDialogShowsTheCostAsItIsEdited)
{
    Modal modal;
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) {
        EXPECT_EQ(d.lbKosten->text(), QString()); // no dish chosen yet
        d.ddGericht->setCurrentIndex(d.ddGericht->findText("Nudeln"));
        d.txPersonen->setText("10");
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: 4,00\u00a0€ (0,40\u00a0€ pro Person)"));
        d.txPersonen->setText("12");
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: 4,80\u00a0€ (0,40\u00a0€ pro Person)"));
        d.ddGericht->setCurrentIndex(d.ddGericht->findText("Safranreis"));
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: unbekannt (Preis fehlt: Safran)"));
        d.txPersonen->setText("viele");
        EXPECT_EQ(d.lbKosten->text(), QString());
        d.reject();
    });
    fncDlgSpeiseplanDet(0, QDate(2026, 10, 1), 2, 2, 4);
    modal.on<frmSpeiseplanDet>([](frmSpeiseplanDet& d) { // an entry opens with its cost
        EXPECT_EQ(d.lbKosten->text(), QStringLiteral("Kosten: 3,20\u00a0€ (0,40\u00a0€ pro Person)"));
        d.reject();
    });
    fncDlgSpeiseplanDet(2, QDate(), 0, 0, 0);
    EXPECT_TRUE(modal.allUsed());
}

TEST_F(CostTest, TheReportSetsEachDayAgainstTheTagessatzAndCountsWhatIsLeftOver)
{
    fncDruckKosten(QDate(2026, 10, 1), QDate(2026, 10, 1), 0.70);
    EXPECT_TRUE(vp().isComplete());
    EXPECT_EQ(vp().pageTexts(0).value(1), QStringLiteral("Kosten pro Tag und Person"));
    EXPECT_EQ(vp().rowTexts(),
              (QStringList{"Tag|Personen|Kosten|pro Person|Tagessatz|Differenz",
                           "Donnerstag 01.10.2026|10|7,20\u00a0€|0,72\u00a0€|0,70\u00a0€|-0,02\u00a0€",
                           "Summe Kosten:|7,20\u00a0€", "Durchschnitt pro Person und Tag:|0,72\u00a0€",
                           "Eingekauft (ganze Packungen):|9,50\u00a0€", "Wert der Reste:|0,55\u00a0€"}));
    // Left of what keeps: 0,25 kg of the five packages of pasta; the tomatoes left over are not kept.
    // The day over the Tagessatz is bold.
    const ReportWriter& doc = vp();
    const ReportRow& over = doc.rows()[1];
    EXPECT_TRUE(doc.font(doc.pages()[over.page].items[over.firstItem].font).bold);
    EXPECT_FALSE(doc.font(doc.pages()[doc.rows()[2].page].items[doc.rows()[2].firstItem].font).bold);

    // Without a Tagessatz the last two columns stay empty; unknown costs name their ingredient.
    fncDruckKosten(QDate(2026, 10, 1), QDate(2026, 10, 3), std::nullopt);
    EXPECT_EQ(
        vp().rowTexts().mid(1),
        (QStringList{"Donnerstag 01.10.2026|10|7,20\u00a0€|0,72\u00a0€||",
                     "Freitag 02.10.2026|10|Preis fehlt: Safran|||",
                     "Samstag 03.10.2026|6|Packungsgröße 0: Zimt|||", "Summe Kosten:|Preis fehlt: Safran",
                     "Durchschnitt pro Person und Tag:|Preis fehlt: Safran",
                     "Eingekauft (ganze Packungen):|Unzulässige Verwendung von Null (Zutat: Safran)",
                     "Wert der Reste:|Unzulässige Verwendung von Null (Zutat: Safran)"}));
    // The Tagessatz is kept in PARAMETER row 200; no row means none.
    EXPECT_FALSE(storedTagessatz());
    storeTagessatz(6.0);
    EXPECT_EQ(rows("select PARID, WERT from PARAMETER order by PARID"), (QStringList{"100|1", "200|6"}));
    EXPECT_EQ(storedTagessatz(), std::optional<double>(6.0));
    storeTagessatz(std::nullopt);
    EXPECT_EQ(scalar("select count(*) from PARAMETER where PARID = 200").toInt(), 0);
}

TEST_F(CostTest, StoringTheTagessatzIsAllOrNothingWhenAWriteFails)
{
    storeTagessatz(6.0);
    gConnection.close();
    const QByteArray pristine = tlmtest::readBytes(dbPath());
    int failures = 0;
    for (int n = 1; n < 40; ++n) {
        tlmtest::writeBytes(dbPath(), pristine);
        const bool failed = tlmtest::runWithFailingWrite(dbPath(), n, [] { storeTagessatz(7.5); });
        gConnection.open(location());
        const std::optional<double> kept = storedTagessatz();
        // The old value or the new one, never none.
        EXPECT_TRUE(kept == std::optional<double>(6.0) || kept == std::optional<double>(7.5))
            << "write " << n;
        gConnection.close();
        if (!failed)
            break;
        ++failures;
    }
    EXPECT_GT(failures, 0);
    gConnection.open(location());
}

TEST_F(CostTest, TheShoppingListForSpreadsheetsByteForByte)
{
    exec("update ZUTATEN set ZUTAT = 'Tomaten \"San Marzano\"; geschält' where ZUTNR = 102");
    exec("delete from SPEISEPLAN where GERNR <> 201");
    EXPECT_EQ(shoppingCsv(),
              QByteArray("\xEF\xBB\xBF"
                         "Zutat;Bedarf;Einheit;Einkauf;Packungen;Einzelpreis;Gesamtpreis;Frisch\r\n"
                         "Nudeln;2,25;kg;2,5;5;1,10;5,50;nein\r\n"
                         "\"Tomaten \"\"San Marzano\"\"; geschält\";1,125;kg;2;2;2,00;4,00;ja\r\n"));
    const QString path = QDir(dir()).filePath("einkaufsliste.csv");
    tlmtest::writeBytes(path, "alt");
    exportShoppingCsv(path);
    EXPECT_EQ(tlmtest::readBytes(path), shoppingCsv());
    // A row that cannot be computed leaves the file as it was.
    exec("update ZUTATEN set MENGE = 0 where ZUTNR = 101");
    EXPECT_THROW(exportShoppingCsv(path), Error);
    EXPECT_TRUE(tlmtest::readBytes(path).startsWith("\xEF\xBB\xBF"
                                                    "Zutat"));
    EXPECT_EQ(QDir(dir()).entryList({"einkaufsliste*"}), QStringList{"einkaufsliste.csv"});
}

class CommandLineTest : public CostTest
{
protected:
    // Runs the program as a script would: no display, no platform chosen (unless display names one).
    int run(const QStringList& arguments, QByteArray* out = nullptr, QByteArray* err = nullptr,
            const QString& display = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TLM_PROGRAM), arguments);
        EXPECT_TRUE(p.waitForFinished(120000));
        if (out)
            *out = p.readAllStandardOutput();
        if (err)
            *err = p.readAllStandardError();
        return p.exitCode();
    }
};

// The files a --pdf run writes, in the order it writes them.
static QStringList everyPdfName()
{
    return {"Speiseplan.pdf",
            "Einkaufsliste Alles.pdf",
            "Einkaufsliste Haltbares.pdf",
            "Einkaufsliste Frisches (pro Tag).pdf",
            "Kochbuch für 4 Personen.pdf",
            "Kosten pro Tag und Person.pdf",
            "Einkaufsplan.pdf",
            "Restbestand.pdf",
            "Rezeptkarten.pdf",
            "Wochenplan.pdf",
            "Allergene je Gericht.pdf"};
}

TEST_F(CommandLineTest, EveryReportAndTheSpreadsheetWithoutAWindowBesideAnOpenOne)
{
    exec("delete from SPEISEPLAN where KEY > 2"); // the days whose costs cannot be known
    // Words whose letters a font may join into one glyph ("ff", "fl"): the PDF's text keeps them apart.
    exec("insert into ZUTATEN values (106, 'Kartoffeln', 1, 'kg', 1.5, 0, 0), (107, 'Hackfleisch', 1, 'kg', "
         "8, "
         "-1, 0)");
    exec("insert into REZEPTE values (7, 201, 106, 1, 0), (8, 201, 107, 0.5, 0)");
    gConnection.close();
    const QByteArray db = tlmtest::readBytes(dbPath());
    InstanceGuard openWindow(dbPath()); // a program holds the database: the runs only read
    ASSERT_EQ(openWindow.acquire(), InstanceGuard::First);
    const QString out = QDir(dir()).filePath("berichte");
    QDir().mkpath(out);
    QByteArray printed;
    QByteArray said;
    EXPECT_EQ(
        run({"--db", location(), "--pdf", out, "--von", "01.10.2026", "--bis", "01.10.2026"}, &printed, &said),
        0)
        << said.constData();
    const QStringList names = everyPdfName();
    QStringList expected;
    for (const QString& n : names) {
        expected << QDir(out).filePath(n);
        const QString pdf = QDir(out).filePath(n);
        EXPECT_GT(tlmtest::pdfPages(pdf), 0) << n.toStdString();
        // A document says what it is: the report's title, the program that made it.
        EXPECT_EQ(tlmtest::pdfInfo(pdf, "Title"), QFileInfo(n).completeBaseName());
        EXPECT_EQ(tlmtest::pdfInfo(pdf, "Creator"), "Fennor Tellomat V1.01");
        const QString text = tlmtest::pdfText(pdf);
        EXPECT_FALSE(text.contains(QRegularExpression("[\\x{FB00}-\\x{FB06}]"))) << n.toStdString();
        if (n.startsWith("Einkaufsliste Alles") || n.startsWith("Kochbuch")) {
            EXPECT_TRUE(text.contains("Kartoffeln")) << n.toStdString() << text.toStdString();
            EXPECT_TRUE(text.contains("Hackfleisch")) << n.toStdString();
        }
    }
    EXPECT_EQ(QString::fromUtf8(printed).split('\n', Qt::SkipEmptyParts), expected);
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), names.size());
    const QString csv = QDir(dir()).filePath("liste.csv");
    EXPECT_EQ(run({"--db", location(), "--csv", csv}, &printed), 0);
    EXPECT_EQ(printed, csv.toUtf8() + "\n");
    gConnection.open(location(), true);
    EXPECT_EQ(tlmtest::readBytes(csv), shoppingCsv());
    gConnection.close();
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db); // read, never written

    QByteArray help;
    EXPECT_EQ(run({"--help"}, &help), 0);
    EXPECT_TRUE(help.startsWith("Aufruf: tlm [Optionen]"));
    EXPECT_EQ(run({"--version"}, &help), 0);
    EXPECT_EQ(help, QByteArray("Fennor Tellomat V1.01\n"));
    gConnection.open(location());
}

TEST_F(CommandLineTest, OneGermanLineForEveryErrorUsageExitsTwoFailuresOneAndNoLog)
{
    exec("update ZUTATEN set MENGE = 0 where ZUTNR = 101"); // the shopping lists stop
    gConnection.close();
    const QString out = QDir(dir()).filePath("berichte");
    QDir().mkpath(out);
    const QString usage = " (tlm --help zeigt die Optionen).\n";
    const struct
    {
        QStringList arguments;
        int exitCode;
        QString said;
    } cases[] = {
        {{"--unbekannt"}, 2, "tlm: Unbekannte Option --unbekannt" + usage},
        {{"--pdf", out, "überzählig"}, 2, "tlm: Unerwartete Angabe „überzählig“" + usage},
        {{"--db", location(), "--csv"}, 2, "tlm: Nach --csv fehlt die Datei" + usage},
        {{"--pdf", out, "--von", "32.13.2026"},
         2,
         "tlm: Nach --von steht kein Datum der Form TT.MM.JJJJ: „32.13.2026“" + usage},
        {{"--von", "01.10.2026"}, 2, "tlm: --von und --bis gelten nur mit --pdf" + usage},
        {{"--csv", out + "/x.csv", "--bis", "01.10.2026"},
         2,
         "tlm: --von und --bis gelten nur mit --pdf" + usage},
        {{"--db", location(), "--pdf", out, "--von", "02.10.2026", "--bis", "01.10.2026"},
         1,
         "tlm: Das Datum bei --bis (01.10.2026) liegt vor dem bei --von (02.10.2026).\n"},
        {{"--db", location(), "--pdf", out, "--von", "04.10.2026"},
         1,
         "tlm: Das Datum bei --bis (03.10.2026) liegt vor dem bei --von (04.10.2026).\n"},
        {{"--db", location(), "--pdf", out}, 1, "tlm: Division durch Null (Zutat: Nudeln)\n"},
        {{"--db", location(), "--csv", "-"}, 1, "tlm: Division durch Null (Zutat: Nudeln)\n"},
        {{"--db", QDir(dir()).filePath("fehlt.mdb"), "--pdf", out},
         1,
         "tlm: Die Datenbank '" + QDir(dir()).filePath("fehlt.mdb") + "' wurde nicht gefunden.\n"},
    };
    for (const auto& c : cases) {
        QByteArray printed, said;
        EXPECT_EQ(run(c.arguments, &printed, &said), c.exitCode) << said.constData();
        EXPECT_EQ(QString::fromUtf8(said), c.said) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(printed.isEmpty()) << printed.constData();
        EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty()); // not even a part
    }
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files), QStringList{"tlm.mdb"}); // no tlm_err.txt beside it

    gConnection.open(location());
    exec("update ZUTATEN set MENGE = 0.5 where ZUTNR = 101");
    exec("delete from SPEISEPLAN where KEY > 2"); // the days whose costs cannot be known
    const QByteArray csv = shoppingCsv();
    gConnection.close();
    QByteArray printed, said;
    EXPECT_EQ(run({"--db", location(), "--csv", "-"}, &printed, &said), 0) << said.constData();
    EXPECT_EQ(printed, csv); // the spreadsheet and nothing else
    EXPECT_TRUE(said.isEmpty()) << said.constData();
    gConnection.open(location());
}

TEST_F(CommandLineTest, AStartOfTheWindowWithoutADisplaySaysSoInGermanAndExitsOne)
{
    gConnection.close();
    const QByteArray db = tlmtest::readBytes(dbPath());
    const QString said =
        "tlm: Keine Anzeige gefunden: das Fenster braucht eine grafische Sitzung (DISPLAY oder "
        "WAYLAND_DISPLAY). Ohne Fenster laufen tlm --pdf ORDNER und tlm --csv DATEI.\n";
    for (const QString& display : {QString(), QStringLiteral(":987")}) { // none, and one nobody serves
        QByteArray printed, err;
        EXPECT_EQ(run({"--db", location()}, &printed, &err, display), 1) << display.toStdString();
        EXPECT_EQ(QString::fromUtf8(err), said) << display.toStdString();
        EXPECT_TRUE(printed.isEmpty());
    }
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db);
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files), QStringList{"tlm.mdb"}); // no lock, backup or log
    gConnection.open(location());
}

TEST_F(CommandLineTest, EveryTargetIsCheckedBeforeAnyFileIsWritten)
{
    exec("delete from SPEISEPLAN where KEY > 2");
    gConnection.close();
    const QString out = QDir(dir()).filePath("berichte");
    QDir().mkpath(out);
    const QString csv = QDir(dir()).filePath("liste.csv");
    QByteArray printed, said;
    // The spreadsheet's target is a folder: not one report is left behind.
    EXPECT_EQ(run({"--db", location(), "--pdf", out, "--csv", out}, &printed, &said), 1);
    EXPECT_EQ(QString::fromUtf8(said),
              "tlm: '" + out + "' ist ein Ordner; --csv braucht den Namen einer Datei.\n");
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    // A report's name is taken by a folder: the spreadsheet is not written either.
    QDir().mkpath(QDir(out).filePath("Einkaufsplan.pdf"));
    EXPECT_EQ(run({"--db", location(), "--pdf", out, "--csv", csv}, &printed, &said), 1);
    EXPECT_EQ(QString::fromUtf8(said), "tlm: '" + QDir(out).filePath("Einkaufsplan.pdf") +
                                           "' ist ein Ordner; der Bericht kann ihn nicht ersetzen.\n");
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(QFile::exists(csv));
    EXPECT_TRUE(printed.isEmpty());
    QDir(QDir(out).filePath("Einkaufsplan.pdf")).removeRecursively();
    EXPECT_EQ(run({"--db", location(), "--pdf", out, "--csv", csv}, &printed, &said), 0) << said.constData();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), everyPdfName().size());
    EXPECT_TRUE(QFile::exists(csv));
    gConnection.open(location());
}

TEST_F(CommandLineTest, AJournalLeftByAKilledProgramIsNamedSoAndOneStartMendsIt)
{
    exec("delete from SPEISEPLAN where KEY > 2");
    const int lines = scalar("select count(*) from REZEPTE").toInt();
    gConnection.close();
    QProcess writer;
    writer.start(QStringLiteral(TLM_IMPORT_CHILD), {dbPath(), "hold"});
    QByteArray seen;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            seen += writer.readAllStandardOutput();
            return seen.contains("held\n") || writer.state() == QProcess::NotRunning;
        },
        60000));
    ASSERT_TRUE(seen.contains("held\n")) << seen.constData();
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished(60000));
    const QString journal = dbPath() + "-journal";
    ASSERT_TRUE(QFile::exists(journal));
    const QByteArray db = tlmtest::readBytes(dbPath()), left = tlmtest::readBytes(journal);

    const QString out = QDir(dir()).filePath("berichte");
    QDir().mkpath(out);
    QByteArray printed, said;
    EXPECT_EQ(run({"--db", location(), "--pdf", out}, &printed, &said), 1);
    EXPECT_EQ(QString::fromUtf8(said), "tlm: Die Datenbank '" + dbPath() +
                                           "' wurde nicht sauber geschlossen (ein Programm wurde während "
                                           "einer Änderung beendet); ein Start des Programms mit Fenster "
                                           "stellt sie wieder her.\n");
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(tlmtest::readBytes(dbPath()), db); // read only: the journal is left for the program
    EXPECT_EQ(tlmtest::readBytes(journal), left);

    gConnection.open(location()); // the program's start rolls the half change back
    EXPECT_FALSE(QFile::exists(journal));
    EXPECT_EQ(scalar("select count(*) from REZEPTE").toInt(), lines);
    EXPECT_EQ(scalar("select count(*) from sqlite_master where name = 'BALLAST'").toInt(), 0);
    gConnection.close();
    EXPECT_EQ(run({"--db", location(), "--pdf", out}, &printed, &said), 0) << said.constData();
    gConnection.open(location());
}

TEST_F(CommandLineTest, ASpanOfMoreThanAYearIsRefusedBeforeAnyFileAndALongPlanGivesItsFirstYear)
{
    exec("delete from SPEISEPLAN where KEY > 2"); // the days whose costs cannot be known
    exec("insert into SPEISEPLAN values (90, '8066-10-29', 2, 2, 201, 4, 0)"); // one stray date far off
    gConnection.close();
    const QString out = QDir(dir()).filePath("berichte");
    QDir().mkpath(out);
    QByteArray printed, said;
    EXPECT_NE(
        run({"--db", location(), "--pdf", out, "--von", "01.01.2026", "--bis", "02.01.2027"}, &printed, &said),
        0);
    EXPECT_TRUE(QString::fromUtf8(said).contains("höchstens 366 Tage")) << said.constData();
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(run({"--db", location(), "--pdf", out}, &printed, &said), 0) << said.constData();
    QStringList written = QDir(out).entryList(QDir::Files), expected = everyPdfName();
    written.sort();
    expected.sort();
    EXPECT_EQ(written, expected);
    gConnection.open(location());
}
