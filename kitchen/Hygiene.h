#pragma once

#include "kitchen/DayRange.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tlm {

// The hygiene paperwork's lists, kept per database in tables of their own, and what its sheets
// print, each read in one statement for the whole span.

// A fridge or freezer: its name, kind and the highest temperature it may show (°C).
struct CoolingDevice
{
    QString name;
    QString kind;
    double limit = 0;
};
// The kinds a device can be, each with its default limit.
inline const QString kFridge = QStringLiteral("Kühlschrank");
inline const QString kFreezer = QStringLiteral("Tiefkühlgerät");
// Chilled food at most +7 °C, frozen food at most -18 °C (DIN 10508).
double defaultLimit(const QString& kind);

// An area to clean and how often.
struct CleaningArea
{
    enum Often { Daily = 1, AfterMeals = 2, Weekly = 3 };
    QString name;
    int often = Daily;
};
QString oftenText(int often);

// A member of the kitchen team: the day of the first instruction by the health office and of the
// last instruction in the kitchen (invalid when not known).
struct TeamMember
{
    QString name;
    QDate first;
    QDate last;
};

QVector<CoolingDevice> coolingDevices();
QVector<CleaningArea> cleaningAreas();
QVector<TeamMember> kitchenTeam();
// Each list replaces the stored one in one transaction, in the order given.
void saveCoolingDevices(const QVector<CoolingDevice>& devices);
void saveCleaningAreas(const QVector<CleaningArea>& areas);
void saveKitchenTeam(const QVector<TeamMember>& team);

// The dishes of which no retained sample is kept (bread, fruit).
QSet<int> dishesWithoutSample();
void setWithoutSample(int gerNr, bool without);

// The kitchen's numbers, kept in PARAMETER rows: days a sample is kept (7), the lowest core
// temperature of a hot dish (65 °C), the months after which an instruction is repeated (24,
// § 43 Abs. 4 IfSG), and the dish types served hot (Suppe, Hauptgericht, Beilage).
struct HygieneSettings
{
    int keepDays = 7;
    double hotLimit = 65;
    int repeatMonths = 24;
    QSet<int> hotTypes{1, 2, 3};
};
HygieneSettings hygieneSettings();
void storeHygieneSettings(const HygieneSettings& settings);

// One planned entry as the sheets list it: day, meal, dish (with the group of a replacement).
struct ServedDish
{
    QDate day;
    QString meal;
    QString dish;
    QDate keepUntil; // the day of a retained sample plus the days it is kept
};
// Every entry von..bis of a dish that keeps a sample, replacements included, by day, meal and type.
QVector<ServedDish> retainedSamples(const QDate& von, const QDate& bis, int keepDays);
// Every entry von..bis of a dish type served hot, in the same order.
QVector<ServedDish> hotDishes(const QDate& von, const QDate& bis, const QSet<int>& hotTypes);

// The span in weeks of seven days from von; the last may be shorter.
QVector<DayRange> weeksOf(const QDate& von, const QDate& bis);

// What the team lacks on the day given: a member without a first instruction, or whose last (else
// first) instruction is older than the months given. One line each, by the team's order.
QStringList instructionWarnings(const QVector<TeamMember>& team, const QDate& asOf, int months);

} // namespace tlm
