#include "app/Application.h"
#include "data/Globals.h"
#include "extras/Batch.h"
#include "plan/Program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

namespace {
const char* const kHelp =
    "Aufruf: tlm [Optionen]\n"
    "Ohne Optionen startet Fennor Tellomat mit seinem Fenster.\n"
    "\n"
    "Optionen:\n"
    "  --pdf ORDNER       schreibt jeden Bericht als PDF-Datei in den Ordner, ohne Fenster\n"
    "  --csv DATEI        schreibt die Einkaufsliste Alles als CSV-Datei, ohne Fenster\n"
    "  --db DATEI         nimmt diese Datenbank statt der tlm.mdb neben dem Programm\n"
    "  --von TT.MM.JJJJ   erster Tag für Kosten und Rezeptkarten (sonst der erste Tag des Speiseplans)\n"
    "  --bis TT.MM.JJJJ   letzter Tag für Kosten und Rezeptkarten (sonst der letzte Tag des Speiseplans)\n"
    "  --help             zeigt diese Hilfe\n"
    "  --version          zeigt die Version\n"
    "\n"
    "Die Läufe mit --pdf und --csv lesen die Datenbank nur; sie laufen auch neben einem offenen\n"
    "Fenster, über ssh und aus cron. Jede geschriebene Datei steht in einer Zeile der Ausgabe; bei\n"
    "einem Fehler steht die Meldung in der Fehlerausgabe, keine Datei wird geschrieben, Rückgabe 1.\n";

int refuse(const QString& text)
{
    std::fprintf(stderr, "%s\nAufruf: tlm --help zeigt die Optionen.\n", qUtf8Printable(text));
    return 1;
}

// Qt's own notes (no runtime folder, no raise() on this platform) are no business of a script.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}
} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    const QCommandLineOption pdf(QStringLiteral("pdf"), QString(), QStringLiteral("ORDNER"));
    const QCommandLineOption csv(QStringLiteral("csv"), QString(), QStringLiteral("DATEI"));
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("DATEI"));
    const QCommandLineOption von(QStringLiteral("von"), QString(), QStringLiteral("TT.MM.JJJJ"));
    const QCommandLineOption bis(QStringLiteral("bis"), QString(), QStringLiteral("TT.MM.JJJJ"));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({pdf, csv, db, von, bis, help, version});
    const bool parsed = parser.parse(arguments);
    // Only a start with no option but --db opens the window; every other run needs no display and
    // says so before Qt looks for one.
    const bool window = parsed && parser.positionalArguments().isEmpty() && !parser.isSet(pdf) &&
                        !parser.isSet(csv) && !parser.isSet(help) && !parser.isSet(version);
    if (!window) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietMessages);
    }
    QApplication app(argc, argv);
    tlm::setUpApplication(app);

    if (!parsed)
        return refuse(QStringLiteral("Unbekannte Angabe: ") + parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("Unbekannte Angabe: ") + parser.positionalArguments().join(' '));
    if (parser.isSet(help)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::puts("Fennor Tellomat V1.01");
        return 0;
    }
    if (parser.isSet(db))
        tlm::setDatabasePath(QDir::current().absoluteFilePath(parser.value(db)));
    if (window)
        return tlm::runProgram(app);

    tlm::BatchRun run;
    if (parser.isSet(pdf))
        run.pdfFolder = QDir::current().absoluteFilePath(parser.value(pdf));
    if (parser.isSet(csv))
        run.csvFile = QDir::current().absoluteFilePath(parser.value(csv));
    for (const auto& [option, date] : {std::pair{&von, &run.von}, std::pair{&bis, &run.bis}}) {
        if (!parser.isSet(*option))
            continue;
        *date = QDate::fromString(parser.value(*option), QStringLiteral("dd.MM.yyyy"));
        if (!date->isValid())
            return refuse(QStringLiteral("Kein Datum der Form TT.MM.JJJJ: ") + parser.value(*option));
    }
    return tlm::runBatch(run);
}
