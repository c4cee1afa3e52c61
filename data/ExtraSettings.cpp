#include "data/ExtraSettings.h"

#include "data/Globals.h"

namespace tlm {

std::optional<QString> extraSetting(int parid)
{
    // All of them at once: a report asks for several, and a run reads each statement once.
    RecordsetPtr rs = gConnection.execute(
        QStringLiteral("select PARID, WERT from PARAMETER where PARID >= 200 order by PARID"));
    for (int r = 0; r < rs->rowCount(); ++r)
        if (rs->value(r, 0).toInt() == parid)
            return rs->value(r, 1).toString();
    return std::nullopt;
}

void storeExtraSetting(int parid, const QString& value)
{
    // A read-only database still prints; the choice is then not kept.
    if (gConnection.isReadOnly() || extraSetting(parid) == value)
        return;
    Transaction t(gConnection);
    gConnection.exec(QStringLiteral("delete from PARAMETER where PARID = ?"), {parid});
    gConnection.exec(QStringLiteral("insert into PARAMETER (PARID, WERT) values (?, ?)"), {parid, value});
    t.commit();
}

} // namespace tlm
