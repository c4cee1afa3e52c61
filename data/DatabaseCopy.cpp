#include "data/DatabaseCopy.h"

#include "data/Connection.h"
#include "data/Database.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/PgEngine.h"
#include "data/PgSchema.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace tlm {

namespace {
// The tables that hold what a user made; the reference rows (times of day, dish types, allergens)
// come with every new database and are replaced by the source's.
const char* const kUserTables[] = {"ZUTATEN", "GERICHTE", "REZEPTE",     "SPEISEPLAN",
                                   "VORRAT",  "GRUPPEN",  "ZUTALLERGENE"};
constexpr int kRowsPerStatement = 200;

void refuseFilled(Connection& target, const QString& shown)
{
    const QStringList tables = target.engine().tableNames();
    for (const char* t : kUserTables) {
        const QString name = QString::fromLatin1(t);
        if (tables.contains(name) &&
            target.execute("select count(*) from " + name)->value(0, 0).toLongLong() > 0)
            throw Error(SQLITE_CONSTRAINT,
                        QStringLiteral("Das Ziel '%1' ist nicht leer; kopiert wird nur in eine "
                                       "leere Datenbank.")
                            .arg(shown));
    }
}

qint64 copyTable(Connection& from, Connection& to, const QString& table)
{
    RecordsetPtr rs = from.execute("select * from " + table);
    QStringList cols;
    QVector<int> taken;
    for (int c = 0; c < rs->columnCount(); ++c) {
        if (rs->columnName(c).compare(QLatin1String("TLM_VERSION"), Qt::CaseInsensitive) == 0)
            continue; // the server's own bookkeeping starts anew
        cols << rs->columnName(c).toUpper();
        taken << c;
    }
    to.exec("delete from " + table);
    const QString row = '(' + QStringList(cols.size(), QStringLiteral("?")).join(',') + ')';
    for (int first = 0; first < rs->rowCount(); first += kRowsPerStatement) {
        const int last = qMin(rs->rowCount(), first + kRowsPerStatement);
        QVector<QVariant> values;
        values.reserve((last - first) * cols.size());
        for (int r = first; r < last; ++r)
            for (int c : taken)
                values << rs->value(r, c);
        to.exec("insert into " + table + " (" + cols.join(',') + ") values " +
                    QStringList(last - first, row).join(','),
                values);
    }
    return rs->rowCount();
}
} // namespace

qint64 copyWholeDatabase(const QString& source, const QString& target)
{
    const bool toFile = !isServerLocation(target);
    if (toFile && QFileInfo::exists(target))
        throw Error(SQLITE_CONSTRAINT,
                    QStringLiteral("Das Ziel '%1' gibt es schon; kopiert wird nur in eine neue "
                                   "Datei oder eine leere Datenbank auf dem Server.")
                        .arg(target));
    Connection from;
    from.open(source, true);
    // A file is made under a temporary name and gets its own only when complete.
    const QString made = toFile ? target + QStringLiteral(".kopie") : target;
    if (toFile) {
        QFile::remove(made);
        const QString error = createDatabase(made, false);
        if (!error.isEmpty())
            throw Error(SQLITE_CANTOPEN,
                        QStringLiteral("Das Ziel '%1' kann nicht angelegt werden: %2").arg(target, error));
    }
    qint64 rows = 0;
    try {
        Connection to;
        to.openForCopy(made);
        if (to.isReadOnly())
            throw Error(SQLITE_READONLY,
                        QStringLiteral("Das Ziel '%1' ist schreibgeschützt.").arg(shownLocation(target)));
        refuseFilled(to, shownLocation(target));
        const QStringList theirs = from.engine().tableNames();
        Transaction t(to);
        // An empty server database gets its tables with the rows: a copy that fails leaves none.
        if (to.isServer() && to.engine().tableNames().isEmpty())
            createPgSchema(static_cast<PgEngine&>(to.engine()));
        const QStringList ours = to.engine().tableNames();
        for (const QString& table : ours)
            if (theirs.contains(table))
                rows += copyTable(from, to, table);
        t.commit();
        // A server plans its statements by the tables' statistics: without them, right after a
        // copy, a shopping list takes seconds instead of milliseconds until autovacuum comes by.
        // Only the program's own tables: the server's own are no business of this login.
        if (to.isServer())
            to.exec(QStringLiteral("analyze ") + ours.join(QStringLiteral(", ")));
    } catch (...) {
        if (toFile)
            QFile::remove(made);
        throw;
    }
    if (toFile && !QFile::rename(made, target)) {
        QFile::remove(made);
        throw Error(SQLITE_CANTOPEN, QStringLiteral("Das Ziel '%1' kann nicht angelegt werden.").arg(target));
    }
    return rows;
}

} // namespace tlm
