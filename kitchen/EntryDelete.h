#pragma once

#include <QString>
#include <QVector>

namespace tlm {

// The question before several plan entries are deleted: how many, and the first three in plan order
// ("3 Einträge löschen? Mo 20.07. Frühstück: Müsli mit Obst, …").
QString deleteQuestion(const QVector<qint32>& keys);
// Deletes the entries in one transaction, as one step that Undo takes back.
void deleteEntries(const QVector<qint32>& keys);

} // namespace tlm
