#include "bench/RunBenchmarks.h"

#include "data/Globals.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace tlmbench {

int runBenchmarks(int argc, char** argv, const char* name)
{
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [name] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "%s: %s\n", name, box->text().toLocal8Bit().constData());
            std::exit(3);
        }
    });
    watchdog.start(50);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tlm::gConnection.isOpen())
        tlm::gConnection.close();
    return 0;
}

} // namespace tlmbench
