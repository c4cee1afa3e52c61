// A child process for the crash tests: imports a plan file into a database and exits, or ("hold")
// leaves a change half written until it is killed.
#include "data/Globals.h"
#include "plan/PlanFile.h"
#include "plan/PlanTransfer.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    try {
        tlm::gConnection.open(QString::fromLocal8Bit(argv[1]));
        std::puts("open");
        std::fflush(stdout);
        if (QByteArray(argv[2]) == "hold") {
            // A change that does not fit the cache is half in the file, its journal beside it, when
            // the test kills this process.
            tlm::gConnection.exec(QStringLiteral("PRAGMA cache_size = 2"));
            tlm::gConnection.exec(QStringLiteral("begin immediate"));
            tlm::gConnection.exec(QStringLiteral("delete from REZEPTE"));
            tlm::gConnection.exec(QStringLiteral("create table BALLAST (X)"));
            tlm::gConnection.exec(QStringLiteral("insert into BALLAST values (randomblob(200000))"));
            std::puts("held");
            std::fflush(stdout);
            for (;;)
                QThread::sleep(60);
        }
        tlm::importPlan(QString::fromLocal8Bit(argv[2]));
        tlm::gConnection.close();
    } catch (...) {
        return 1;
    }
    return 0;
}
