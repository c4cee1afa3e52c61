#pragma once

#include <QByteArray>
#include <QString>

namespace tlm {

// "Einkaufsliste Alles" for spreadsheets: UTF-8 with a byte order mark, ";" between fields, CRLF,
// a header line, numbers with a decimal comma and without units or currency, "ja"/"nein" for
// fresh produce, fields holding ";", '"' or a line break quoted. A row that cannot be computed
// raises its error with the ingredient named.
QByteArray shoppingCsv();
// The same written to a file through a temporary one: a failure leaves an existing file as it was.
void exportShoppingCsv(const QString& path);

} // namespace tlm
