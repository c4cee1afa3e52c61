#include "data/PgSchema.h"

#include "data/Database.h"
#include "data/Error.h"
#include "data/PgEngine.h"
#include "data/Recordset.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace tlm {

namespace {
// What the server needs before the tables: the column types the program's files declare, SQLite's
// date arithmetic that the tools use, and the triggers that keep the versions and tell the others.
const char* const kPreamble = R"sql(
create domain yesno as smallint;
create domain currency as double precision;
create domain memo as text;
create table TLM_SCHEMA (VERSION integer not null);
create table TLM_KEYS (TABELLE varchar(64) primary key, LETZTER integer not null);
create function max(a bigint, b bigint) returns bigint language sql immutable
    as $f$ select greatest(a, b) $f$;
create function date(d date, modifier text) returns date language sql immutable
    as $f$ select (d + modifier::interval)::date $f$;
create function tlm_version() returns trigger language plpgsql
    as $f$ begin new.TLM_VERSION := old.TLM_VERSION + 1; return new; end $f$;
create function tlm_notify() returns trigger language plpgsql
    as $f$ begin perform pg_notify('tlm', TG_TABLE_NAME); return null; end $f$;
)sql";

// Every table of the program: its rows carry a version and its changes are told.
QString versionTriggers(PgEngine& engine)
{
    RecordsetPtr rs = std::make_shared<Recordset>();
    engine.fetch(QStringLiteral("select tablename from pg_tables where schemaname = current_schema()"
                                " and tablename not in ('tlm_schema', 'tlm_keys') order by tablename"),
                 *rs, -1, {});
    QString sql;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QString t = rs->value(r, 0).toString();
        sql += QStringLiteral("create or replace trigger %1_version before update on %1 for each row"
                              " execute function tlm_version();\n"
                              "create or replace trigger %1_notify after insert or update or delete on %1"
                              " for each statement execute function tlm_notify();\n")
                   .arg(t);
    }
    return sql;
}

int schemaVersion(PgEngine& engine, bool* ours, bool* empty)
{
    const QStringList questions = schemaQuestions();
    Recordset rs;
    engine.fetch(questions[0], rs, -1, {});
    *empty = rs.value(0, 0).toLongLong() == 0;
    *ours = rs.value(0, 1).toInt() == 1 && rs.value(0, 2).toInt() == 1;
    if (!*ours)
        return 0;
    Recordset v;
    engine.fetch(questions[1], v, -1, {});
    return v.value(0, 0).toInt();
}

QString derivedScript()
{
    return pgScript(bundledScript(QStringLiteral("derived.sql")));
}

// An older database read only lacks the tables of later extras: empty ones of this session stand in,
// so that their reports print nothing rather than fail.
void standInMissingTables(PgEngine& engine)
{
    static const QRegularExpression table(QStringLiteral("create table if not exists (\\w+) \\(.*?\\n\\);"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QStringList present = engine.tableNames();
    QString script;
    for (auto it = table.globalMatch(derivedScript()); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (present.contains(m.captured(1).toUpper()))
            continue;
        script += m.captured(0).replace(QStringLiteral("create table if not exists"),
                                        QStringLiteral("create temporary table if not exists")) +
                  '\n';
    }
    // A session that reads only may still make its own temporary tables, in a transaction that
    // says so.
    if (!script.isEmpty())
        engine.runScript(QStringLiteral("begin read write;\n") + script + QStringLiteral("commit;"));
}
} // namespace

QStringList schemaQuestions()
{
    return {QStringLiteral("select (select count(*) from pg_tables where schemaname = current_schema()),"
                           " to_regclass('tlm_schema') is not null, to_regclass('speiseplan') is not null"),
            QStringLiteral("select max(VERSION) from TLM_SCHEMA")};
}

QString pgScript(const QString& sqliteScript)
{
    QString s = sqliteScript;
    static const QRegularExpression nocase(QStringLiteral("\\btext\\((\\d+)\\) collate NOCASE\\b"));
    static const QRegularExpression text(QStringLiteral("\\btext\\((\\d+)\\)"));
    static const QRegularExpression memo(QStringLiteral("\\bmemo text\\b"));
    static const QRegularExpression dbl(QStringLiteral("\\bdouble\\b(?! precision)"));
    s.replace(nocase, QStringLiteral("varchar(\\1) collate \"de-DE-x-icu\""));
    s.replace(text, QStringLiteral("varchar(\\1)"));
    s.replace(memo, QStringLiteral("memo"));
    s.replace(dbl, QStringLiteral("double precision"));
    static const QRegularExpression table(
        QStringLiteral("(create table (?:if not exists )?\\w+ \\(.*?)\\n\\);"),
        QRegularExpression::DotMatchesEverythingOption);
    s.replace(table, QStringLiteral("\\1,\n    TLM_VERSION integer not null default 0\n);"));
    static const QRegularExpression trigger(
        QStringLiteral(
            "create trigger if not exists (\\w+) after delete on (\\w+)\\s*begin\\s*(.*?)\\s*end;"),
        QRegularExpression::DotMatchesEverythingOption);
    s.replace(trigger,
              QStringLiteral("create or replace function \\1_f() returns trigger language plpgsql as $f$\n"
                             "begin\n\\3\nreturn null;\nend $f$;\n"
                             "create or replace trigger \\1 after delete on \\2 for each row "
                             "execute function \\1_f();"));
    return s;
}

void createPgSchema(PgEngine& engine)
{
    engine.runScript(QStringLiteral("select pg_advisory_xact_lock(7431)"));
    engine.runScript(QString::fromUtf8(kPreamble) + pgScript(bundledScript(QStringLiteral("schema.sql"))) +
                     derivedScript());
    engine.runScript(versionTriggers(engine) +
                     QStringLiteral("insert into TLM_SCHEMA (VERSION) values (%1);").arg(kDerivedVersion));
}

void preparePgDatabase(PgEngine& engine, bool readOnly, bool forCopy, bool* newer)
{
    *newer = false;
    bool ours = false, empty = false;
    const int version = schemaVersion(engine, &ours, &empty);
    if (empty) {
        if (readOnly)
            throw Error(SQLITE_NOTADB, QStringLiteral("Die Datenbank auf dem Server ist leer."));
        if (forCopy)
            return;
        engine.begin();
        try {
            // Two programs that find the database empty at once: the second waits, then finds it made.
            engine.runScript(QStringLiteral("select pg_advisory_xact_lock(7431)"));
            bool madeMeanwhile = false;
            schemaVersion(engine, &madeMeanwhile, &empty);
            if (!madeMeanwhile) {
                createPgSchema(engine);
                engine.runScript(pgScript(bundledScript(QStringLiteral("sample.sql"))) +
                                 QStringLiteral("\ndelete from SPEISEPLAN;"));
            }
            engine.commit();
        } catch (...) {
            engine.rollback();
            throw;
        }
        return;
    }
    if (!ours)
        throw Error(SQLITE_NOTADB, QStringLiteral("Die Datenbank auf dem Server ist keine Datenbank dieses "
                                                  "Programms."));
    if (version > kDerivedVersion) {
        *newer = true;
        return;
    }
    if (readOnly && version < kDerivedVersion)
        standInMissingTables(engine);
    if (version == kDerivedVersion || readOnly)
        return;
    engine.begin();
    try {
        engine.runScript(QStringLiteral("select pg_advisory_xact_lock(7431)"));
        if (schemaVersion(engine, &ours, &empty) < kDerivedVersion) {
            QString added;
            for (const AddedColumn& c : kAddedColumns)
                added += QStringLiteral("alter table if exists %1 add column if not exists %2 %3;\n")
                             .arg(QString::fromLatin1(c.table), QString::fromLatin1(c.column),
                                  QString::fromLatin1(c.type));
            engine.runScript(added + derivedScript());
            engine.runScript(versionTriggers(engine) +
                             QStringLiteral("update TLM_SCHEMA set VERSION = %1;").arg(kDerivedVersion));
        }
        engine.commit();
    } catch (...) {
        engine.rollback();
        throw;
    }
}

} // namespace tlm
