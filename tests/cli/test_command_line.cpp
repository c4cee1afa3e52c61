// Every report from the command line, its options and its refusals.
#include "app/DataCombo.h"
#include "app/InstanceGuard.h"
#include "app/MessageBox.h"
#include "cli/Batch.h"
#include "cli/CommandLine.h"
#include "data/Connection.h"
#include "data/Convert.h"
#include "data/DatabaseCopy.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Globals.h"
#include "data/Statement.h"
#include "kitchen/Costs.h"
#include "reports/ReportPrinter.h"
#include "reports/ShoppingCsv.h"
#include "reports/frmDlgDruck.h"
#include "support/FaultVfs.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PgServer.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"
#include "support/Workstations.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QUuid>
#include <sqlite3.h>

using namespace tlm;
using tlmtest::Modal;

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
            "Allergene je Gericht.pdf",
            "Rückstellproben.pdf",
            "Rückstellproben-Etiketten.pdf",
            "Temperaturkontrolle Kühlgeräte.pdf",
            "Temperaturkontrolle Speisen.pdf",
            "Wareneingang.pdf",
            "Reinigungsplan.pdf",
            "Belehrung gemäß §§ 42, 43 IfSG.pdf"};
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
    EXPECT_EQ(run({"--db", location(), "--pdf", out, "--von", "01.10.2026", "--bis", "01.10.2026"}, &printed,
                  &said),
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
    EXPECT_NE(run({"--db", location(), "--pdf", out, "--von", "01.01.2026", "--bis", "02.01.2027"}, &printed,
                  &said),
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

TEST(DesktopCommandLine, OnePlanFileStartsTheWindowAndIsRefusedElsewhere)
{
    CommandLine c = parseCommandLine({QStringLiteral("Sommerlager.tlm")});
    EXPECT_EQ(c.action, CommandLine::Window);
    EXPECT_EQ(c.planFile, QStringLiteral("Sommerlager.tlm"));
    c = parseCommandLine({QStringLiteral("--db"), QStringLiteral("x.mdb"), QStringLiteral("a.tlm")});
    EXPECT_EQ(c.action, CommandLine::Window);
    EXPECT_EQ(c.planFile, QStringLiteral("a.tlm"));
    EXPECT_EQ(parseCommandLine({QStringLiteral("a.tlm"), QStringLiteral("b.tlm")}).refusal,
              QStringLiteral("Unerwartete Angabe „b.tlm“ (tlm --help zeigt die Optionen)."));
    EXPECT_EQ(
        parseCommandLine({QStringLiteral("--pdf"), QStringLiteral("o"), QStringLiteral("a.tlm")}).action,
        CommandLine::Usage);
    EXPECT_EQ(parseCommandLine({QStringLiteral("--kopieren"), QStringLiteral("a"), QStringLiteral("b"),
                                QStringLiteral("c")})
                  .action,
              CommandLine::Usage);
}

TEST_F(ServerTest, APdfRunAsksEveryReadBeforeItsFirstReport)
{
    // What makes the reports read more: eaters, a diet group's replacement, portions taken, the
    // hygiene lists.
    exec("insert into ESSER (ESSERNR, ESSER, FAKTOR, ANZAHL) values (91, 'Kinder', 0.75, 8)");
    exec("insert into GRUPPEN (GRUPPENR, GRUPPE, PERSONEN) values (91, 'Vegetarier', 2)");
    exec("insert into SPEISEPLAN values (901, '2026-07-20', 2, 2, 101, 2, 0)");
    exec("insert into ERSATZ (KEY, GRUPPENR) values (901, 91)");
    exec("insert into PORTIONENSTAND (TAG, STAND) values ('2026-07-20', 'x')");
    exec("insert into HYG_GERAETE (GERAETNR, GERAET, ART, GRENZE) values (91, 'Kühlschrank 1', "
         "'Kühlschrank', 7)");
    exec("insert into HYG_BEREICHE (BEREICHNR, BEREICH, HAEUFIGKEIT) values (91, 'Arbeitsflächen', 1)");
    exec("insert into HYG_TEAM (PERSNR, NAME) values (91, 'Anna')");
    gConnection.close();
    const QString out = QDir(dir()).filePath("berichte");
    QDir().mkpath(out);
    QVector<qint64> asked, notAhead;
    const qint64 notAheadBefore = gConnection.readsNotAhead();
    setBetweenReports([&](const QString&) {
        asked << gConnection.readsAsked();
        notAhead << gConnection.readsNotAhead() - notAheadBefore;
    });
    BatchRun run;
    run.pdfFolder = out;
    EXPECT_EQ(runBatch(run), 0);
    setBetweenReports({});
    setBoxesToErrorOutput(false);
    ASSERT_EQ(asked.size(), everyPdfName().size());
    // Every report reads only what the run named ahead, and the server was asked it before the first.
    EXPECT_EQ(notAhead, QVector<qint64>(asked.size(), 0));
    EXPECT_EQ(asked.back(), asked.front());
    gConnection.close();
    gConnection.open(location());
}

TEST_F(ServerTest, APdfRunReadsOneStateWhileAColleagueChangesThePlan)
{
    gConnection.close();
    auto csvOfARun = [&](const QString& folder, std::function<void(const QString&)> between) {
        QDir().mkpath(folder);
        setBetweenReports(std::move(between));
        BatchRun run;
        run.pdfFolder = folder;
        run.csvFile = folder + "/einkauf.csv";
        EXPECT_EQ(runBatch(run), 0);
        setBetweenReports({});
        setBoxesToErrorOutput(false);
        gConnection.close();
        return tlmtest::readBytes(run.csvFile);
    };
    const QByteArray before = csvOfARun(dir() + "/vorher", {});
    int held = 0;
    const QByteArray during = csvOfARun(dir() + "/waehrend", [&](const QString&) {
        if (held++ == 0) // after the first report: a colleague doubles every meal
            other.exec(QStringLiteral("update SPEISEPLAN set PERSONEN = PERSONEN * 2"));
    });
    EXPECT_GT(held, 1);
    EXPECT_EQ(during, before);
    const QByteArray after = csvOfARun(dir() + "/nachher", {});
    EXPECT_NE(after, before); // the change is one the list shows
    gConnection.open(location());
}

TEST_F(ServerTest, KopierenMovesAWholeDatabaseBothWaysAndRefusesATargetWithData)
{
    // Server to a new file and back to an empty server database: every row of every table arrives.
    exec("insert into VORRAT (ZUTNR, MENGE, GEZAEHLT) values (101, 1.5, '2026-07-01')");
    exec("insert into GRUPPEN (GRUPPENR, GRUPPE, PERSONEN) values (1, 'Glutenfrei', 3)");
    auto everything = [](Connection& c) {
        QStringList all;
        for (const QString& t : c.engine().tableNames()) {
            RecordsetPtr rs = c.execute("select * from " + t);
            for (int r = 0; r < rs->rowCount(); ++r) {
                QStringList cells{t};
                for (int col = 0; col < rs->columnCount(); ++col)
                    if (rs->columnName(col) != QLatin1String("TLM_VERSION"))
                        cells << textOf(rs->value(r, col));
                all << cells.join('|');
            }
        }
        all.sort();
        return all;
    };
    const QStringList original = everything(gConnection);
    const QString file = dir() + "/kopie.mdb";
    EXPECT_EQ(copyWholeDatabase(location(), file), original.size());
    const QString empty = tlmtest::PgServer::shared().newDatabase();
    EXPECT_EQ(copyWholeDatabase(file, empty), original.size());
    for (const QString& where : {file, empty}) {
        Connection c;
        c.open(where);
        EXPECT_EQ(everything(c), original) << where.toStdString();
    }
    // A target with data is refused and left as it was; so is a file that is there already.
    auto refusal = [](const QString& from, const QString& to) {
        try {
            copyWholeDatabase(from, to);
        } catch (const Error& e) {
            return e.description;
        }
        return QString();
    };
    EXPECT_EQ(
        refusal(file, empty),
        QStringLiteral("Das Ziel '%1' ist nicht leer; kopiert wird nur in eine leere Datenbank.").arg(empty));
    EXPECT_TRUE(
        refusal(location(), file).startsWith(QStringLiteral("Das Ziel '%1' gibt es schon").arg(file)));
    Connection c;
    c.open(empty);
    EXPECT_EQ(everything(c), original);
    c.close();
    tlmtest::PgServer::shared().dropDatabase(tlmtest::PgServer::databaseName(empty));
    // A copy that fails half-way (a name longer than the server's column) leaves no tables behind.
    c.open(file);
    c.exec(QStringLiteral("update ZUTATEN set ZUTAT = ? where ZUTNR = 101"), {QString(300, 'x')});
    c.close();
    const QString interrupted = tlmtest::PgServer::shared().newDatabase();
    EXPECT_FALSE(refusal(file, interrupted).isEmpty());
    const tlmtest::PgConnection check = tlmtest::pgConnect(interrupted);
    EXPECT_EQ(tlmtest::pgScalar(check.get(),
                                "select count(*) from pg_class where relnamespace = 'public'::regnamespace"),
              QStringLiteral("0"));
}
