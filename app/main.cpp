#include "app/Application.h"
#include "app/MessageBox.h"
#include "cli/Batch.h"
#include "cli/CommandLine.h"
#include "data/Connection.h"
#include "data/Globals.h"
#include "plan/Program.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace {
const char* const kHelp =
    "Aufruf: tlm [Optionen]\n"
    "Ohne Optionen startet Fennor Tellomat mit seinem Fenster.\n"
    "\n"
    "Optionen:\n"
    "  --pdf ORDNER       schreibt jeden Bericht als PDF-Datei in den Ordner, ohne Fenster\n"
    "  --csv DATEI        schreibt die Einkaufsliste Alles als CSV-Datei, ohne Fenster;\n"
    "                     --csv - schreibt sie in die Standardausgabe (dann steht dort nur sie)\n"
    "  --db DATEI         nimmt diese Datenbank statt der tlm.mdb neben dem Programm;\n"
    "                     --db postgresql://BENUTZER@SERVER:PORT/DATENBANK nimmt die auf dem\n"
    "                     Server (das Passwort aus ~/.pgpass oder PGPASSWORD)\n"
    "  --kopieren QUELLE ZIEL\n"
    "                     kopiert eine ganze Datenbank (Datei oder Server) in eine neue Datei\n"
    "                     oder eine leere Datenbank auf dem Server, alles oder nichts\n"
    "  --von TT.MM.JJJJ   erster Tag der Berichte von --pdf mit Zeitraum (sonst der erste Tag "
    "des Speiseplans)\n"
    "  --bis TT.MM.JJJJ   letzter Tag der Berichte von --pdf mit Zeitraum (sonst der letzte "
    "Tag des Speiseplans)\n"
    "  --help             zeigt diese Hilfe\n"
    "  --version          zeigt die Version\n"
    "\n"
    "Die Läufe mit --pdf und --csv lesen die Datenbank nur; sie laufen auch neben einem offenen\n"
    "Fenster, über ssh und aus cron. Jede geschriebene Datei steht in einer Zeile der Ausgabe; bei\n"
    "einem Fehler steht die Meldung in der Fehlerausgabe, keine Datei wird geschrieben, Rückgabe 1;\n"
    "bei falschen Angaben Rückgabe 2.\n";

const char* const kNoDisplay =
    "Keine Anzeige gefunden: das Fenster braucht eine grafische Sitzung (DISPLAY oder "
    "WAYLAND_DISPLAY). Ohne Fenster laufen tlm --pdf ORDNER und tlm --csv DATEI.";

// Qt's own notes (no runtime folder, no raise() on this platform) are no business of a script.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

// While the window's platform comes up: a display that cannot be reached ends the start in German
// instead of Qt's English abort.
void startingWindow(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type == QtFatalMsg) {
        tlm::tellOnErrorOutput(QString::fromUtf8(kNoDisplay));
        std::_Exit(tlm::ExitFailure);
    }
}

bool displayNamed()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const tlm::CommandLine line = tlm::parseCommandLine(arguments);
    switch (line.action) {
    case tlm::CommandLine::Usage:
        tlm::tellOnErrorOutput(line.refusal);
        return tlm::ExitUsage;
    case tlm::CommandLine::Help:
        std::fputs(kHelp, stdout);
        return tlm::ExitOk;
    case tlm::CommandLine::Version:
        std::puts("Fennor Tellomat V1.01");
        return tlm::ExitOk;
    case tlm::CommandLine::Copy:
    case tlm::CommandLine::Batch:
        // No display is needed, and Qt is told so before it looks for one.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietMessages);
        break;
    case tlm::CommandLine::Window:
        if (!displayNamed()) {
            tlm::tellOnErrorOutput(QString::fromUtf8(kNoDisplay));
            return tlm::ExitFailure;
        }
        qInstallMessageHandler(startingWindow);
        break;
    }
    QApplication app(argc, argv);
    if (line.action == tlm::CommandLine::Window)
        qInstallMessageHandler(nullptr);
    tlm::setUpApplication(app);
    // A file is named from the current folder; a server address stays as it is.
    auto located = [](const QString& where) {
        return tlm::isServerLocation(where) ? where : QDir::current().absoluteFilePath(where);
    };
    if (!line.db.isEmpty())
        tlm::setDatabasePath(located(line.db));
    if (line.action == tlm::CommandLine::Window)
        return tlm::runProgram(app, line.planFile.isEmpty() ? QString() : located(line.planFile));
    if (line.action == tlm::CommandLine::Copy)
        return tlm::runCopy(located(line.copySource), located(line.copyTarget));

    tlm::BatchRun run = line.run;
    if (!run.pdfFolder.isEmpty())
        run.pdfFolder = QDir::current().absoluteFilePath(run.pdfFolder);
    if (!run.csvFile.isEmpty() && run.csvFile != tlm::kStandardOutput)
        run.csvFile = QDir::current().absoluteFilePath(run.csvFile);
    return tlm::runBatch(run);
}
