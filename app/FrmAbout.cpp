#include "app/FrmAbout.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "data/Connection.h"
#include "data/Globals.h"

#include <QDir>
#include <QFileInfo>
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
    lbDaten = make<QLabel>("lbDaten");
    lbDaten->setGeometry(tw(1440), tw(1380), tw(5175), tw(420));
    lbDaten->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbDaten->setWordWrap(true);
    lbDaten->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbDaten->hide();
    tiExit = make<QTimer>("tiExit");
    tiExit->setSingleShot(true);
    connect(tiExit, &QTimer::timeout, this, &FrmAbout::tiExit_Timer);
}

void FrmAbout::Form_Load()
{
    guard("FrmAbout/Form_Load", [&] {
        setWindowTitle(gAppTitle);
        lbApplCode->setText(gAppTitle);
        // An installed program's own folder is nothing a user looks into: the folder of its data is.
        const QString folder =
            !isInstalledProgram() && QFileInfo(gAppPath).isWritable() ? gAppPath : userDataFolder();
        // Lines apart by a single carriage return, shown as line breaks.
        const QString text = QStringLiteral("© 2026 Fennor Tellomat – GPL-3.0-or-later") + '\r' +
                             QStringLiteral("Verzeichnis: ") + folder + '\r' +
                             QStringLiteral("DB-Version: ") + QString::number(gDBVersion);
        lbZusatz->setText(QString(text).replace('\r', '\n'));
        lbZusatz->setProperty("caption", text);
        const QFileInfo db(databasePath());
        QString where;
        if (isServerLocation(databasePath()))
            where = QStringLiteral("Datenbank: ") + shownLocation(databasePath()) +
                    QStringLiteral("\nSicherungen macht der Server (pg_dump). Fehlerprotokoll: ") +
                    QDir::toNativeSeparators(errorLogPath());
        else if (QDir(db.absolutePath()) != QDir(gAppPath))
            where = QStringLiteral("Datenbank: ") + QDir::toNativeSeparators(db.absoluteFilePath()) +
                    QStringLiteral("\n(Sicherungen und tlm_err.txt im selben Ordner)");
        if (!where.isEmpty()) {
            lbDaten->setText(where);
            lbDaten->adjustSize();
            lbDaten->resize(tw(5175), lbDaten->heightForWidth(tw(5175)));
            lbDaten->show();
            setFixedSize(tw(6735), lbDaten->geometry().bottom() + tw(120));
        }
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
