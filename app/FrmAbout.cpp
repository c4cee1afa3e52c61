#include "app/FrmAbout.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "data/Globals.h"

#include <QLabel>
#include <QTimer>

namespace tlm {

FrmAbout::FrmAbout() : Dialog(QStringLiteral("FrmAbout"), QString(), 6735, 1440)
{
    setFixedSize(tw(6735), tw(1440));
    Image1 = make<QLabel>("Image1");
    Image1->setPixmap(QPixmap(QStringLiteral(":/app/logo.png"))
                          .scaled(82, 82, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Image1->setGeometry(tw(120), (tw(1440) - 82) / 2, 82, 82);
    lbApplCode = make<QLabel>("lbApplCode");
    QFont big = lbApplCode->font();
    big.setPointSize(18);
    lbApplCode->setFont(big);
    lbApplCode->setGeometry(tw(1440), tw(120), tw(5175), tw(495));
    lbZusatz = make<QLabel>("lbZusatz");
    lbZusatz->setGeometry(tw(1440), tw(720), tw(5175), tw(615));
    lbZusatz->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tiExit = make<QTimer>("tiExit");
    tiExit->setSingleShot(true);
    connect(tiExit, &QTimer::timeout, this, &FrmAbout::tiExit_Timer);
}

void FrmAbout::Form_Load()
{
    guard("FrmAbout/Form_Load", [&] {
        setWindowTitle(gAppTitle);
        lbApplCode->setText(gAppTitle);
        // Lines apart by a single carriage return, shown as line breaks.
        const QString text = QStringLiteral("© 2026 Fennor Tellomat – frei für Gruppenküchen") + '\r' +
                             QStringLiteral("Verzeichnis: ") + gAppPath + '\r' +
                             QStringLiteral("DB-Version: ") + QString::number(gDBVersion);
        lbZusatz->setText(QString(text).replace('\r', '\n'));
        lbZusatz->setProperty("caption", text);
        if (fTimer > 0) {
            tiExit->setInterval(fTimer);
            tiExit->start();
        }
    });
}

void FrmAbout::tiExit_Timer()
{
    guard("FrmAbout/tiExit_Timer", [&] {
        tiExit->stop();
        unload();
    });
}

void fncDlgAbout(qint32 milliseconds)
{
    launchDialog<FrmAbout>(
        "tlm/fncDlgAbout", [&](FrmAbout& w) { w.fTimer = milliseconds; }, [](FrmAbout&) { return 0; });
}

} // namespace tlm
