#include "kitchen/Undo.h"

#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/PlanKeys.h"

#include <QSettings>
#include <QStringList>
#include <QUuid>
#include <limits>
#include <variant>

namespace tlm {

namespace {
constexpr int kSteps = 20;
constexpr int kNamed = 3;

// A table whose rows belong to a plan entry and go back with it, and its copy for the steps.
struct KeptTable
{
    QString table;
    QString keyColumn;
    QString columns;
};

// The plan first; tables keyed by the plan's KEY follow it.
const QVector<KeptTable>& keptTables()
{
    static const QVector<KeptTable> tables{
        {QStringLiteral("SPEISEPLAN"), QStringLiteral("KEY"),
         QStringLiteral("KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, NODRUCK")},
        {QStringLiteral("ERSATZ"), QStringLiteral("KEY"), QStringLiteral("KEY, GRUPPENR")},
    };
    return tables;
}

QString copyOf(const KeptTable& t)
{
    return QStringLiteral("TLM_UNDO_") + t.table;
}

QVector<QVariant> withStep(int step, const QVector<QVariant>& values)
{
    QVector<QVariant> all{step};
    all += values;
    return all;
}

// Removes the steps whose number matches the condition ("<= ?", "= ?") from every table of the log.
void dropSteps(const QString& condition, int step)
{
    for (const char* table : {"TLM_UNDO", "TLM_UNDO_KEY", "TLM_UNDO_DANACH", "TLM_UNDO_PORTIONENSTAND"})
        gConnection.exec("delete from " + QString::fromLatin1(table) + " where SCHRITT " + condition, {step});
    for (const KeptTable& t : keptTables())
        gConnection.exec("delete from " + copyOf(t) + " where SCHRITT " + condition, {step});
}

// This workstation, made once at random and kept in the settings. Always a UUID, so it may stand in a
// statement as it is.
QString workstation()
{
    static const QString kKey = QStringLiteral("Local/Arbeitsplatz");
    QSettings settings(QStringLiteral("TLM"), QStringLiteral("TLM"));
    const QUuid id = QUuid::fromString(settings.value(kKey).toString());
    if (!id.isNull())
        return id.toString(QUuid::WithoutBraces);
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
    settings.setValue(kKey, made);
    return made;
}

struct Step
{
    int nr = 0;
    QString what;
};

// This workstation's last finished step.
std::optional<Step> ownStep()
{
    if (gConnection.isReadOnly())
        return std::nullopt;
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select SCHRITT, WAS from TLM_UNDO where PLATZ = '%1' order by SCHRITT desc limit 1")
            .arg(workstation()));
    if (rs->eof())
        return std::nullopt;
    return Step{rs->value(0, 0).toInt(), rs->value(0, 1).toString()};
}

// Equal, Null counting as equal to Null, on both engines.
QString same(const QString& a, const QString& b)
{
    return QStringLiteral("coalesce(%1 = %2, %1 is null and %2 is null)").arg(a, b);
}

// "Mo 27.07. Frühstück, Di 28.07. Mittagessen und 2 weitere"
QString listed(const QStringList& names)
{
    QString text = names.mid(0, kNamed).join(QStringLiteral(", "));
    if (names.size() > kNamed)
        text += QStringLiteral(" und %1 weitere").arg(names.size() - kNamed);
    return text;
}

// "Mo 27.07. Frühstück, Di 28.07. Mittagessen und 2 weitere wurden seither geändert"
QString named(const QStringList& names, const QString& how)
{
    return listed(names) +
           (names.size() == 1 ? QStringLiteral(" wurde seither ") : QStringLiteral(" wurden seither ")) + how;
}

// The days of the step whose record of "Portionen übernehmen" a later run has rewritten.
QStringList portionsRetaken(int step)
{
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral(
            "select U.TAG from TLM_UNDO_PORTIONENSTAND U left join PORTIONENSTAND P on P.TAG = U.TAG"
            " where U.SCHRITT = %1 and not %2 order by U.TAG")
            .arg(step)
            .arg(same(QStringLiteral("P.STAND"), QStringLiteral("U.DANACH"))));
    QStringList days;
    for (int r = 0; r < rs->rowCount(); ++r)
        days << shortDayDate(rs->value(r, 0).toDate());
    return days;
}

// The refusal when a row of the step is no longer as the step left it (changed, deleted, or its key
// taken by an entry made since), empty when every one still is.
QString changedSince(int step)
{
    QStringList alike;
    for (const char* c : {"KEY", "TAG", "TAGZEITNR", "GTYPNR", "GERNR", "PERSONEN", "NODRUCK"})
        alike << same(QStringLiteral("S.") + c, QStringLiteral("D.") + c);
    alike << same(QStringLiteral("E.GRUPPENR"), QStringLiteral("D.GRUPPENR"));
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select D.TAG, T.TAGZEIT, S.KEY from TLM_UNDO_DANACH D"
                       " left join SPEISEPLAN S on S.KEY = D.KEY left join ERSATZ E on E.KEY = D.KEY"
                       " left join TAGZEIT T on T.TAGZEITNR = D.TAGZEITNR"
                       " where D.SCHRITT = %1 and not (%2) order by D.TAG, T.TAGZEITSORT, D.KEY")
            .arg(step)
            .arg(alike.join(QStringLiteral(" and "))));
    QStringList changed, gone;
    for (int r = 0; r < rs->rowCount(); ++r) {
        const QDate day = rs->value(r, 0).toDate();
        const QString name = (shortDayDate(day) + ' ' + textOf(rs->value(r, 1))).trimmed();
        QStringList& list = rs->value(r, 2).isNull() ? gone : changed;
        if (!list.contains(name))
            list << name;
    }
    QStringList parts;
    if (!changed.isEmpty())
        parts << named(changed, QStringLiteral("geändert"));
    if (!gone.isEmpty())
        parts << named(gone, QStringLiteral("gelöscht"));
    if (const QStringList days = portionsRetaken(step); !days.isEmpty())
        parts << QStringLiteral("die Portionen für ") + listed(days) +
                     QStringLiteral(" wurden seither neu übernommen");
    if (parts.isEmpty())
        return {};
    return QStringLiteral("Rückgängig nicht möglich: ") + parts.join(QStringLiteral("; ")) + '.';
}

// Puts the kept rows of the step back: under their own keys, or, where an entry made since holds the
// key, under new ones. The number of plan rows, or the refusal when no key is left for them.
std::variant<int, QString> putBack(int step)
{
    const QVector<KeptTable>& tables = keptTables();
    RecordsetPtr held = gConnection.execute(
        QStringLiteral("select KEY from TLM_UNDO_SPEISEPLAN where SCHRITT = %1 and KEY in (select KEY from "
                       "SPEISEPLAN) order by KEY")
            .arg(step));
    const KeptTable& plan = tables.first();
    const QString free = "insert into " + plan.table + " (" + plan.columns + ") select " + plan.columns +
                         " from " + copyOf(plan) + " where SCHRITT = ? and KEY not in (select KEY from " +
                         plan.table + ")";
    int restored = gConnection.exec(free, {step});
    if (held->rowCount() > 0) {
        const PlanKeys keys = newPlanKeys(held->rowCount());
        if (!keys.refusal.isEmpty())
            return QStringLiteral("Rückgängig nicht möglich: ") + keys.refusal;
        for (int r = 0; r < held->rowCount(); ++r)
            for (const KeptTable& t : tables)
                gConnection.exec("update " + copyOf(t) + " set " + t.keyColumn +
                                     " = ? where SCHRITT = ? and " + t.keyColumn + " = ?",
                                 {keys.first + r, step, held->value(r, 0)});
        restored += gConnection.exec(free, {step});
    }
    for (const KeptTable& t : tables.mid(1))
        gConnection.exec("insert into " + t.table + " (" + t.columns + ") select " + t.columns + " from " +
                             copyOf(t) + " where SCHRITT = ?",
                         {step});
    return restored;
}
} // namespace

UndoStep::UndoStep(const QString& what)
{
    m_step = gConnection.newKey(QStringLiteral("TLM_UNDO"), QStringLiteral("SCHRITT"), 0);
    gConnection.exec(QStringLiteral("insert into TLM_UNDO (SCHRITT, WAS) values (?, ?)"), {m_step, what});
    dropSteps(QStringLiteral("<= ?"), m_step - kSteps);
}

void forgetUndo()
{
    dropSteps(QStringLiteral("<= ?"), std::numeric_limits<int>::max());
}

void UndoStep::keepNew(const QString& where, const QVector<QVariant>& values)
{
    gConnection.exec("insert into TLM_UNDO_KEY (SCHRITT, KEY) select ?, KEY from SPEISEPLAN where " + where,
                     withStep(m_step, values));
}

void UndoStep::keepRows(const QString& where, const QVector<QVariant>& values)
{
    keepNew(where, values);
    for (const KeptTable& t : keptTables())
        gConnection.exec("insert into " + copyOf(t) + " (SCHRITT, " + t.columns + ") select ?, " + t.columns +
                             " from " + t.table + " where " + t.keyColumn +
                             " in (select KEY from SPEISEPLAN where " + where + ")",
                         withStep(m_step, values));
}

void UndoStep::keepPortionStand(const QDate& von, const QDate& bis)
{
    m_standVon = von;
    m_standBis = bis;
    gConnection.exec(
        QStringLiteral("insert into TLM_UNDO_PORTIONENSTAND (SCHRITT, TAG, VORHER) select ?, TAG, "
                       "STAND from PORTIONENSTAND where TAG between ? and ?"),
        {m_step, von.toString(Qt::ISODate), bis.toString(Qt::ISODate)});
}

void UndoStep::finish()
{
    if (m_standVon.isValid()) {
        // Days the run recorded first have no row before: taking back removes theirs.
        gConnection.exec(
            QStringLiteral("insert into TLM_UNDO_PORTIONENSTAND (SCHRITT, TAG) select ?, TAG from "
                           "PORTIONENSTAND where TAG between ? and ? and TAG not in (select TAG "
                           "from TLM_UNDO_PORTIONENSTAND where SCHRITT = ?)"),
            {m_step, m_standVon.toString(Qt::ISODate), m_standBis.toString(Qt::ISODate), m_step});
        gConnection.exec(QStringLiteral("update TLM_UNDO_PORTIONENSTAND set DANACH = (select P.STAND from "
                                        "PORTIONENSTAND P where P.TAG = TLM_UNDO_PORTIONENSTAND.TAG) where "
                                        "SCHRITT = ?"),
                         {m_step});
    }
    gConnection.exec(
        QStringLiteral(
            "insert into TLM_UNDO_DANACH (SCHRITT, KEY, TAG, TAGZEITNR, GTYPNR, GERNR, PERSONEN, "
            "NODRUCK, GRUPPENR) select ?, S.KEY, S.TAG, S.TAGZEITNR, S.GTYPNR, S.GERNR, S.PERSONEN, "
            "S.NODRUCK, E.GRUPPENR from SPEISEPLAN S left join ERSATZ E on E.KEY = S.KEY"
            " where S.KEY in (select KEY from TLM_UNDO_KEY where SCHRITT = ?)"),
        {m_step, m_step});
    gConnection.exec(QStringLiteral("update TLM_UNDO set PLATZ = ? where SCHRITT = ?"),
                     {workstation(), m_step});
}

std::optional<QString> lastUndo()
{
    const std::optional<Step> step = ownStep();
    if (!step)
        return std::nullopt;
    return step->what;
}

QString undoMenuText()
{
    const std::optional<Step> step = ownStep();
    if (!step)
        return QStringLiteral("Rückgängig");
    const QString text = QStringLiteral("Rückgängig: ") + step->what;
    // Another workstation's step is newer: the one offered is not the last change to the plan.
    const bool others = gConnection
                            .execute(QStringLiteral("select count(*) from TLM_UNDO where SCHRITT > %1 and "
                                                    "PLATZ <> '' and PLATZ <> '%2'")
                                         .arg(step->nr)
                                         .arg(workstation()))
                            ->value(0, 0)
                            .toInt() > 0;
    return others ? text + QStringLiteral(" (an diesem Arbeitsplatz)") : text;
}

QString undoLast()
{
    Transaction t(gConnection);
    const std::optional<Step> step = ownStep();
    if (!step)
        return QStringLiteral("Es gibt nichts rückgängig zu machen.");
    const QVector<QVariant> nr{step->nr};
    const QString left = QStringLiteral(" in (select KEY from TLM_UNDO_DANACH where SCHRITT = ?)");
    // Held from here on: no other workstation changes them between the look and the undo.
    gConnection.exec("update SPEISEPLAN set KEY = KEY where KEY" + left, nr);
    gConnection.exec("update ERSATZ set KEY = KEY where KEY" + left, nr);
    const QString days = QStringLiteral(" in (select TAG from TLM_UNDO_PORTIONENSTAND where SCHRITT = ?)");
    gConnection.exec("update PORTIONENSTAND set TAG = TAG where TAG" + days, nr);
    if (const QString refusal = changedSince(step->nr); !refusal.isEmpty())
        return refusal;
    // The rows that depend on an entry go before it and come back after it.
    gConnection.exec("delete from ERSATZ where KEY" + left, nr);
    const int removed = gConnection.exec("delete from SPEISEPLAN where KEY" + left, nr);
    const std::variant<int, QString> put = putBack(step->nr);
    if (const QString* refusal = std::get_if<QString>(&put))
        return *refusal;
    const int restored = std::get<int>(put);
    // The record of "Portionen übernehmen" as it was before, so that the days read as out of date again.
    gConnection.exec("delete from PORTIONENSTAND where TAG" + days, nr);
    gConnection.exec(QStringLiteral("insert into PORTIONENSTAND (TAG, STAND) select TAG, VORHER from "
                                    "TLM_UNDO_PORTIONENSTAND where SCHRITT = ? and VORHER is not null"),
                     nr);
    dropSteps(QStringLiteral("= ?"), step->nr);
    t.commit();
    if (restored == 0)
        return removed == 1 ? QStringLiteral("1 Eintrag entfernt.")
                            : QStringLiteral("%1 Einträge entfernt.").arg(removed);
    return restored == 1 ? QStringLiteral("1 Eintrag wiederhergestellt.")
                         : QStringLiteral("%1 Einträge wiederhergestellt.").arg(restored);
}

} // namespace tlm
