#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

namespace tlm {

// A band of the camp's eaters ("Kinder 8–12"): how many, what one of them eats against an adult
// portion (1,0), and from and to which day they are there (invalid: the whole plan).
struct EaterBand
{
    int nr = 0;
    QString name;
    double factor = 1;
    int count = 0;
    QDate von;
    QDate bis;
    bool on(const QDate& day) const;
};

// Days on which everyone eats more or less ("Anreise", 1,1), from von to bis.
struct AppetiteDays
{
    int nr = 0;
    QString name;
    double factor = 1;
    QDate von;
    QDate bis; // invalid: von alone
    bool on(const QDate& day) const;
};

struct EaterList
{
    QVector<EaterBand> bands;
    QVector<AppetiteDays> appetite;
    // The factor of a band, 1 (an adult) for a number no band has.
    double factorOf(int bandNr) const;
};

// Who eats on a day: covered when a band is there; the heads, the appetite factor and the portions
// (heads × factor × appetite), not yet rounded.
struct DayEaters
{
    bool covered = false;
    int heads = 0;
    double appetite = 1;
    double portions = 0;
};
DayEaters eatersOn(const EaterList& list, const QDate& day);

// Portions rounded up to whole ones; what a factor's last bits add (10 × 1,1) rounds up nothing.
int wholePortions(double exact);

// A diet group with an entry of its own in a course: its heads and the band it belongs to.
struct CourseGroup
{
    int gruppeNr = 0;
    int heads = 0;
    int bandNr = 0;
};

// The persons of a course (a day's time of day and dish type) from the day's portions: each group's
// entries its heads × its band's factor × the day's appetite, the common entries the rest of the day's
// portions, all rounded up. Refused when the groups eat more than the day has.
struct CoursePortions
{
    int total = 0;  // the day's portions, rounded up
    int common = 0; // the common entries' persons
    QHash<int, int> groups;
    bool refused = false;
};
CoursePortions coursePortions(const EaterList& list, const QDate& day, const QVector<CourseGroup>& groups);

// What "Portionen übernehmen" writes for a day, as a text to keep and compare: the day's portions and
// each group's; empty for a day the list does not cover.
QString portionStand(const EaterList& list, const QVector<CourseGroup>& groups, const QDate& day);

// Consecutive days as spans: "25.07.–27.07., 30.07.".
QString daySpansText(QVector<QDate> days);

} // namespace tlm
