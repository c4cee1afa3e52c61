#include "data/ExtraSettings.h"

#include "data/Globals.h"

namespace tlm {

std::optional<QString> extraSetting(int parid)
{
    RecordsetPtr rs =
        gConnection.execute(QStringLiteral("select WERT from PARAMETER where PARID = %1").arg(parid));
    if (rs->eof())
        return std::nullopt;
    return rs->value(0, 0).toString();
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
