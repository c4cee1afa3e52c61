#include "extras/frmEinkaufsplan.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/ExtraSettings.h"
#include "data/Globals.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/Holidays.h"
#include "kitchen/StockCarry.h"
#include "reports/Restbestand.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <set>

namespace tlm {

namespace {
// The window's choices, kept per database.
constexpr int kAlleNTageRow = 201;
constexpr int kSonnFeiertageRow = 203;
} // namespace

frmEinkaufsplan::frmEinkaufsplan()
    : Dialog(QStringLiteral("frmEinkaufsplan"), QStringLiteral("Einkauf planen"), 6000, 7200)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    lsEinkaufstage = make<QListWidget>("lsEinkaufstage");
    txAlleNTage = make<QLineEdit>("txAlleNTage", QStringLiteral("3"));
    txAlleNTage->setMaxLength(3);
    txAlleNTage->setFixedWidth(tw(700));
    sfAlleNTage = makeButton("sfAlleNTage", QStringLiteral("Alle N Tage"));
    cbHaltbaresZuerst = make<QCheckBox>("cbHaltbaresZuerst", QStringLiteral("Haltbares beim ersten Einkauf"));
    cbHaltbaresZuerst->setChecked(true);
    cbSonnFeiertage = make<QCheckBox>("cbSonnFeiertage", QStringLiteral("Sonn- und Feiertage auslassen"));
    cbSonnFeiertage->setChecked(true);
    lbEinkaeufe = make<QLabel>("lbEinkaeufe");
    lbEinkaeufe->setWordWrap(true);
    sfDrucken = makeButton("sfDrucken", QStringLiteral("Drucken"));
    sfDrucken->setDefault(true);
    sfRestbestand = makeButton("sfRestbestand", QStringLiteral("Restbestand"));
    sfVorratUebernehmen = makeButton("sfVorratUebernehmen", QStringLiteral("Als Vorrat übernehmen"));
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));

    auto* every = new QHBoxLayout;
    every->addWidget(txAlleNTage);
    every->addWidget(sfAlleNTage);
    every->addStretch();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    form->addRow(QStringLiteral("Einkaufstage:"), lsEinkaufstage);
    form->addRow(QString(), every);
    form->addRow(QString(), cbSonnFeiertage);
    form->addRow(QString(), cbHaltbaresZuerst);
    form->addRow(QString(), lbEinkaeufe);
    layOutForm(form, makeLine("Line1"), {sfDrucken, sfRestbestand, sfAbbrechen}, sfVorratUebernehmen, 1);
    tabOrder({dpVon, dpBis, lsEinkaufstage, txAlleNTage, sfAlleNTage, cbSonnFeiertage, cbHaltbaresZuerst,
              sfDrucken, sfRestbestand, sfVorratUebernehmen, sfAbbrechen});

    connect(dpVon, &QDateEdit::dateChanged, this,
            [this] { guard("frmEinkaufsplan/dpVon_Change", [&] { fncReqTage(); }); });
    connect(dpBis, &QDateEdit::dateChanged, this,
            [this] { guard("frmEinkaufsplan/dpBis_Change", [&] { fncReqTage(); }); });
    connect(lsEinkaufstage, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        markClosedDay(item);
        fncShowEinkaeufe();
    });
    connect(sfAlleNTage, &QPushButton::clicked, this, [this] { sfAlleNTage_Click(); });
    onOk(sfDrucken, "frmEinkaufsplan/sfDrucken_Click", [this] { return fncSave(); });
    connect(sfRestbestand, &QPushButton::clicked, this, [this] { sfRestbestand_Click(); });
    connect(sfVorratUebernehmen, &QPushButton::clicked, this, [this] { sfVorratUebernehmen_Click(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmEinkaufsplan::Form_Load()
{
    guard("frmEinkaufsplan/Form_Load", [&] {
        txAlleNTage->setText(extraSetting(kAlleNTageRow).value_or(txAlleNTage->text()));
        cbSonnFeiertage->setChecked(extraSetting(kSonnFeiertageRow).value_or("1") != QLatin1String("0"));
        // The span and shopping days chosen last, so that Restbestand and Als Vorrat übernehmen work
        // with the runs that were printed; else the plan's days.
        const std::optional<ShoppingPlan> kept = keptShoppingPlan();
        cbHaltbaresZuerst->setChecked(!kept || kept->keepsFirst);
        const PlanSpan span = proposedSpan();
        const QSignalBlocker a(dpVon), b(dpBis);
        if (kept && kept->von <= kept->bis) {
            dpVon->setDate(kept->von);
            dpBis->setDate(kept->bis);
        } else if (span.first.isValid()) {
            dpVon->setDate(span.first);
            dpBis->setDate(span.last);
        }
        fncReqTage(kept ? kept->runs : QVector<QDate>{});
    });
}

void frmEinkaufsplan::fncReqTage(const QVector<QDate>& runs)
{
    std::set<QDate> checked(runs.begin(), runs.end());
    for (int i = 0; i < lsEinkaufstage->count(); ++i)
        if (lsEinkaufstage->item(i)->checkState() == Qt::Checked)
            checked.insert(lsEinkaufstage->item(i)->data(Qt::UserRole).toDate());
    lsEinkaufstage->clear();
    // A span too long for Drucken lists its first days only, never millions of them.
    const QDate last = qMin(dpBis->date(), dpVon->date().addDays(kLongestSpan - 1));
    for (QDate d = dpVon->date(); d <= last; d = d.addDays(1)) {
        auto* item = new QListWidgetItem(longDayDate(d), lsEinkaufstage);
        item->setData(Qt::UserRole, d);
        const bool first = d == dpVon->date();
        // The first day is always a shopping day: there is nothing to eat before it.
        item->setFlags(first ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(first || checked.count(d) ? Qt::Checked : Qt::Unchecked);
    }
    fncShowEinkaeufe();
}

void frmEinkaufsplan::fncShowEinkaeufe()
{
    QStringList days;
    for (const QDate& d : plan().runs)
        days << shortDayDate(d);
    lbEinkaeufe->setText((days.size() == 1 ? QStringLiteral("1 Einkauf: ")
                                           : QStringLiteral("%1 Einkäufe: ").arg(days.size())) +
                         days.join(QStringLiteral(", ")));
}

void frmEinkaufsplan::sfAlleNTage_Click()
{
    guard("frmEinkaufsplan/sfAlleNTage_Click", [&] {
        bool whole = false;
        const int n = txAlleNTage->text().trimmed().toInt(&whole);
        if (!whole || n < 1) {
            warn(QStringLiteral("Bitte eine ganze Zahl von Tagen ab 1 eingeben."));
            txAlleNTage->setFocus();
            return;
        }
        // A run that falls on a closed day is bought the day before.
        std::set<QDate> runs;
        const QDate last = qMin(dpBis->date(), dpVon->date().addDays(kLongestSpan - 1));
        for (QDate d = dpVon->date(); d <= last; d = d.addDays(n))
            runs.insert(cbSonnFeiertage->isChecked() ? openDayOnOrBefore(d, dpVon->date()) : d);
        for (int i = 0; i < lsEinkaufstage->count(); ++i) {
            QListWidgetItem* item = lsEinkaufstage->item(i);
            item->setCheckState(runs.count(item->data(Qt::UserRole).toDate()) ? Qt::Checked : Qt::Unchecked);
        }
    });
}

void frmEinkaufsplan::markClosedDay(QListWidgetItem* item)
{
    const QDate d = item->data(Qt::UserRole).toDate();
    QString text = longDayDate(d);
    if (item->checkState() == Qt::Checked && isShopClosed(d))
        text += d.dayOfWeek() == Qt::Sunday ? QStringLiteral(" (Sonntag)") : QStringLiteral(" (Feiertag)");
    if (item->text() != text)
        item->setText(text);
}

ShoppingPlan frmEinkaufsplan::plan() const
{
    ShoppingPlan p{dpVon->date(), dpBis->date(), {}, cbHaltbaresZuerst->isChecked()};
    for (int i = 0; i < lsEinkaufstage->count(); ++i)
        if (lsEinkaufstage->item(i)->checkState() == Qt::Checked)
            p.runs << lsEinkaufstage->item(i)->data(Qt::UserRole).toDate();
    return p;
}

bool frmEinkaufsplan::fncSave()
{
    if (!requireSpan(dpVon, dpBis))
        return false;
    storeExtraSetting(kAlleNTageRow, txAlleNTage->text().trimmed());
    keepShoppingPlan(plan());
    storeExtraSetting(kSonnFeiertageRow,
                      cbSonnFeiertage->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    // Only now: a write that fails leaves the window open, and Abbrechen must not print after all.
    fPlan = plan();
    return true;
}

void frmEinkaufsplan::sfRestbestand_Click()
{
    guard("frmEinkaufsplan/sfRestbestand_Click", [&] {
        if (!fncSave())
            return;
        // The report of the rest, not the Einkaufsplan, follows the window.
        const ShoppingPlan p = *fPlan;
        fPlan.reset();
        unload();
        fncDruckRestbestand(p);
    });
}

void frmEinkaufsplan::sfVorratUebernehmen_Click()
{
    guard("frmEinkaufsplan/sfVorratUebernehmen_Click", [&] {
        if (dpBis->date() < dpVon->date()) {
            warn(QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
            return;
        }
        gConnection.requireWritable();
        const ShoppingPlan p = plan();
        keepShoppingPlan(p);
        QHash<qint64, double> rest;
        carryStock(p, storedStock(), &rest);
        const QString question =
            QStringLiteral("Den Vorrat durch den Restbestand nach dem %1 ersetzen (%2)?\rDer bisherige "
                           "Vorrat wird dabei überschrieben.")
                .arg(shortDate(p.bis), rest.size() == 1 ? QStringLiteral("1 Zutat")
                                                        : QStringLiteral("%1 Zutaten").arg(rest.size()));
        // The stock kept so far is overwritten: Enter keeps it.
        if (msgBox(question, 36 + 256, QStringLiteral("Als Vorrat übernehmen")) != vbYes)
            return;
        takeOverStock(rest, p.bis);
        msgBox(QStringLiteral("Der Restbestand ist jetzt der Vorrat."), 64, QStringLiteral("Vorrat"));
    });
}

std::optional<ShoppingPlan> fncDlgEinkaufsplan()
{
    return launchDialog<frmEinkaufsplan>(
        "tlm/fncDlgEinkaufsplan", [](frmEinkaufsplan&) {}, [](frmEinkaufsplan& w) { return w.fPlan; });
}

} // namespace tlm
