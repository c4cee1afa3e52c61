#include "app/DataProcedures.h"

#include "app/DataCombo.h"
#include "app/ErrorReporter.h"
#include "data/Convert.h"
#include "data/Error.h"
#include "data/Globals.h"

namespace tlm {

qint32 fncGetMaxIDfromTab(const QString& table, const QString& column, qint32 fallback)
{
    return guardOr("tlm/fncGetMaxIDfromTab", qint32(0), [&] {
        RecordsetPtr rs = gConnection.execute("select max(" + column + ") as MAXID from " + table);
        const QVariant v = rs->field("MAXID");
        return v.isNull() ? fallback : toInt32(v);
    });
}

qint32 fncNewKey(const QString& table, const QString& column, qint32 fallback)
{
    return guardOr("tlm/fncNewKey", qint32(0), [&] { return gConnection.newKey(table, column, fallback); });
}

QVariant fncDBLookup(const QString& table, const QVariant& expression, const QString& condition)
{
    return guardOr("tlm/fncDBLookup", QVariant(), [&] {
        RecordsetPtr rs = gConnection.execute("select " + textOf(expression) + " as vWert from " + table +
                                              " where " + condition);
        return rs->eof() ? QVariant() : rs->field("vWert");
    });
}

QString xDatetoSQL(const QVariant& date)
{
    return guardOr("tlm/xDatetoSQL", QString(), [&] {
        if (date.isNull())
            return QString();
        QDate d = date.typeId() == QMetaType::QDate ? date.toDate() : parseDate(textOf(date));
        if (!d.isValid())
            raise(ErrTypeMismatch);
        return d.toString(QStringLiteral("#MM/dd/yyyy#"));
    });
}

double xCToD(const QVariant& value)
{
    return guardOr("tlm/xCToD", 0.0, [&] {
        if (value.isNull())
            return 0.0;
        if (value.typeId() == QMetaType::QString) {
            double d = 0;
            return parseNumber(value.toString(), &d) ? d : 0.0;
        }
        return toDouble(value);
    });
}

void fncDDFillbySQL(DataCombo& dd, const QString& sql, const QString& defaultKey, const QString& firstRow,
                    bool keyInText)
{
    guard("tlm/fncDDFillbySQL", [&] {
        RecordsetPtr rs = gConnection.executeKept(sql);
        dd.clear();
        if (!firstRow.isEmpty()) {
            const QStringList parts = firstRow.split(',');
            dd.addRow(parts.value(0) + '\t' + parts.value(1));
        }
        QStringList rows;
        for (; !rs->eof(); rs->moveNext()) {
            const QString key = textOf(rs->value(rs->position(), 0));
            const QString text = textOf(rs->value(rs->position(), 1));
            rows << key + '\t' + (keyInText ? key + " - " + text : text);
        }
        dd.addRows(rows);
        if (!defaultKey.isEmpty())
            dd.setValue(defaultKey);
        dd.setColumnWidth1(dd.width());
    });
}

void fncDDFillbyCTab(DataCombo& dd, const QString& pairList, const QString& defaultKey)
{
    guard("tlm/fncDDFillbyCTab", [&] {
        dd.clear();
        const QStringList items = pairList.split(';');
        for (qint16 i = 0; i < items.size(); ++i) {
            const QStringList pair = items[i].split(',');
            if (pair.size() < 2)
                raise(ErrSubscript);
            dd.addRow(pair[0] + '\t' + pair[1]);
        }
        if (!defaultKey.isEmpty())
            dd.setValue(defaultKey);
        dd.setColumnWidth1(dd.width());
    });
}

} // namespace tlm
