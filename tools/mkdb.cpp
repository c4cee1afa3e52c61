// Makes tlm.mdb from the bundled schema and sample when no such file is there yet. --template keeps
// the sample catalogue but no plan: the database an installed program copies for each new user.
#include "data/Connection.h"
#include "data/Database.h"
#include "data/Error.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tlm_mkdb PATH [--empty|--template]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path))
        return 0; // a user's data is never replaced
    const bool empty = argc > 2 && QByteArray(argv[2]) == "--empty";
    const bool plainPlan = argc > 2 && QByteArray(argv[2]) == "--template";
    QString error = tlm::createDatabase(path, !empty);
    if (error.isEmpty() && plainPlan) {
        try {
            tlm::Connection db;
            db.open(path);
            db.execute(QStringLiteral("delete from SPEISEPLAN"));
            db.close();
        } catch (const tlm::Error& e) {
            error = e.description;
        }
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "tlm_mkdb: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
