// A child process for the crash test: imports a plan file into a database and exits.
#include "data/Globals.h"
#include "plan/PlanFile.h"
#include "plan/PlanTransfer.h"

#include <QCoreApplication>
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
        tlm::importPlan(QString::fromLocal8Bit(argv[2]));
        tlm::gConnection.close();
    } catch (...) {
        return 1;
    }
    return 0;
}
