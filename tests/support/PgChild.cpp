// A child process for the test server's own tests: starts its server, prints the postmaster's process
// id and the cluster's folder, then waits for its input to end (or to be killed).
#include "support/PgServer.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        const tlmtest::PgServer& server = tlmtest::PgServer::shared();
        std::printf("%lld %s\n", static_cast<long long>(server.pid()), qPrintable(server.folder()));
        std::fflush(stdout);
    } catch (const tlmtest::PgServerError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    while (std::getchar() != EOF) {
    }
    return 0;
}
