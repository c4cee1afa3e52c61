// A child process for the one-program tests: the program as the user starts it, on a given folder.
// Message boxes are printed ("box: text") and answered, the About box is closed at once, and once
// the main window is up it prints "ready" and ends, or stays until it is killed ("stay"). A third
// argument is a plan file named at the start.
#include "app/Application.h"
#include "data/Globals.h"
#include "plan/Program.h"
#include "support/PrivateSettings.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const tlmtest::PrivateSettings settings;
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    tlm::setUpApplication(app);
    tlm::setApplicationDirectory(QString::fromLocal8Bit(argv[1]));
    const bool stay = QByteArray(argv[2]) == "stay";
    bool ready = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* top = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(top)) {
            std::printf("box: %s\n", box->text().toUtf8().constData());
            std::fflush(stdout);
            box->done(QMessageBox::Ok);
        } else if (auto* dialog = qobject_cast<QDialog*>(top)) {
            dialog->done(0); // the About box
        } else if (!top && !ready) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("frmMain") && w->isVisible()) {
                    ready = true;
                    std::puts("ready");
                    std::fflush(stdout);
                    if (!stay)
                        app.quit();
                }
        }
    });
    poll.start(10);
    return tlm::runProgram(app, argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
}
