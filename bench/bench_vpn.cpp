// The program as the user starts it on a database (a server address, for bench/run-vpn): the time
// from the process's start until the About box of the start is shown (it is closed at once) and until
// the main window is shown and painted, then "&Zufügen" clicked in
// the main window until the plan entry dialog is shown and painted, several times (the dialog is
// cancelled in between).
//   TLM_BENCH_T0=$(date +%s%N) tlm_bench_vpn DATABASE [TIMES]
// TLM_BENCH_T0 is the start in nanoseconds since the epoch, taken by the caller just before it starts
// this program, so that loading the program counts; without it the clock starts in main().
// Prints "about MS", "start MS" and one "dialog MS" line per click.
#include "app/Application.h"
#include "data/Globals.h"
#include "plan/Program.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace tlm;

namespace {
double sinceStart(qint64 t0Ns)
{
    return double(QDateTime::currentMSecsSinceEpoch() * 1000000 - t0Ns) / 1e6;
}

frmMain* shownMainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<frmMain*>(w); main && main->isVisible())
            return main;
    return nullptr;
}

// Clicks "&Zufügen" and cancels the dialog it opens; the milliseconds until it was shown and painted.
double openPlanEntry(frmMain& w)
{
    QElapsedTimer clock;
    double shown = -1;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<frmSpeiseplanDet*>(QApplication::activeModalWidget());
        if (!d)
            return;
        d->repaint();
        shown = clock.nsecsElapsed() / 1e6;
        d->sfAbbrechen->click();
    });
    clock.start();
    w.sfAdd->click();
    w.repaint();
    return shown;
}
} // namespace

int main(int argc, char** argv)
{
    const qint64 t0 = qEnvironmentVariableIsSet("TLM_BENCH_T0")
                          ? qEnvironmentVariable("TLM_BENCH_T0").toLongLong()
                          : QDateTime::currentMSecsSinceEpoch() * 1000000;
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    });
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tlm_bench_vpn DATABASE [TIMES]\n");
        return 2;
    }
    const int times = argc == 3 ? QByteArray(argv[2]).toInt() : 5;
    setUpApplication(app);
    QTemporaryDir home; // the program's folder: nothing of a real installation is touched
    setApplicationDirectory(home.path());
    setDatabasePath(QString::fromLocal8Bit(argv[1]));

    bool started = false;
    int exitCode = 0;
    QTimer poll;
    bool splash = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmMain* w = shownMainWindow();
        if (!w) {
            // The About box the start shows for two seconds before the main window: closed at once,
            // as a user clicks it away, so that the figure is the program's own work.
            if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                about && !qobject_cast<QMessageBox*>(about) && !splash) {
                std::printf("about %.1f\n", sinceStart(t0));
                splash = true;
                about->done(0);
            }
            return;
        }
        if (!started) {
            w->repaint();
            std::printf("start %.1f\n", sinceStart(t0));
            std::fflush(stdout);
            started = true;
        }
        // A box of the start (the About box, a notice) is answered before the clicks.
        if (QWidget* top = QApplication::activeModalWidget()) {
            if (auto* box = qobject_cast<QMessageBox*>(top))
                box->done(QMessageBox::Ok);
            else if (auto* dialog = qobject_cast<QDialog*>(top))
                dialog->done(0);
            return;
        }
        poll.stop();
        for (int i = 0; i < times; ++i) {
            const double ms = openPlanEntry(*w);
            if (ms < 0) {
                std::fprintf(stderr, "tlm_bench_vpn: the plan entry dialog did not open\n");
                exitCode = 1;
                break;
            }
            std::printf("dialog %.1f\n", ms);
        }
        std::fflush(stdout);
        QCoreApplication::exit(exitCode);
    });
    poll.start(1);
    const int code = runProgram(app);
    return code ? code : exitCode;
}
