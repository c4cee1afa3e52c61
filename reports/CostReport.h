#pragma once

#include <QDate>
#include <optional>

namespace tlm {

// The report "Kosten pro Tag und Person" in the shared print preview: per plan day its persons,
// cost, cost per person and, with a Tagessatz, the difference (a day over it in bold); then the
// sum, the average per person and day, what whole packages cost and what is left over.
void fncDruckKosten(const QDate& von, const QDate& bis, std::optional<double> tagessatz);
// What it reads, for a run that asks it ahead.
void readKosten(const QDate& von, const QDate& bis);

} // namespace tlm
