#include "extras/frmErsatz.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

frmErsatz::frmErsatz() : Dialog(QStringLiteral("frmErsatz"), QStringLiteral("Ersatz prüfen"), 10500, 7200)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    lsKonflikte = make<QListWidget>("lsKonflikte");
    lsGerichte = make<QListWidget>("lsGerichte");
    lbHinweis = make<QLabel>("lbHinweis");
    lbHinweis->setWordWrap(true);
    sfUebernehmen = makeButton("sfUebernehmen", QStringLiteral("Ersatz übernehmen"));
    sfUebernehmen->setDefault(true);
    sfAlle = makeButton("sfAlle", QStringLiteral("Alle übernehmen"));
    sfSchliessen = makeButton("sfSchliessen", QStringLiteral("Schließen"));

    auto* span = new QHBoxLayout;
    span->addWidget(make<QLabel>("lbVon", QStringLiteral("Von:")));
    span->addWidget(dpVon);
    span->addWidget(make<QLabel>("lbBis", QStringLiteral("Bis:")));
    span->addWidget(dpBis);
    span->addStretch();
    auto* fields = new QVBoxLayout;
    fields->addLayout(span);
    fields->addWidget(
        make<QLabel>("lbKonflikte", QStringLiteral("Mahlzeiten ohne Gericht für eine Gruppe:")));
    fields->addWidget(lsKonflikte, 3);
    fields->addWidget(make<QLabel>("lbGerichte", QStringLiteral("Gerichte, die die Gruppe essen darf:")));
    fields->addWidget(lsGerichte, 2);
    fields->addWidget(lbHinweis);
    layOutForm(fields, makeLine("Line1"), {sfUebernehmen, sfAlle, sfSchliessen}, nullptr, 1);
    tabOrder({dpVon, dpBis, lsKonflikte, lsGerichte, sfUebernehmen, sfAlle, sfSchliessen});

    connect(dpVon, &QDateEdit::dateChanged, this,
            [this] { guard("frmErsatz/dpVon_Change", [&] { fncReq(); }); });
    connect(dpBis, &QDateEdit::dateChanged, this,
            [this] { guard("frmErsatz/dpBis_Change", [&] { fncReq(); }); });
    connect(lsKonflikte, &QListWidget::currentRowChanged, this,
            [this] { guard("frmErsatz/lsKonflikte_Click", [&] { fncReqGerichte(); }); });
    connect(lsGerichte, &QListWidget::itemDoubleClicked, this, [this] { sfUebernehmen_Click(); });
    connect(sfUebernehmen, &QPushButton::clicked, this, [this] { sfUebernehmen_Click(); });
    connect(sfAlle, &QPushButton::clicked, this, [this] { sfAlle_Click(); });
    connect(sfSchliessen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmErsatz::Form_Load()
{
    guard("frmErsatz/Form_Load", [&] {
        const PlanSpan span = planSpan();
        const QSignalBlocker a(dpVon), b(dpBis);
        if (span.first.isValid()) {
            dpVon->setDate(span.first);
            dpBis->setDate(span.last);
        }
        fncReq();
    });
}

void frmErsatz::fncReq()
{
    m_conflicts =
        dpBis->date() < dpVon->date() ? QVector<MealConflict>{} : mealConflicts(dpVon->date(), dpBis->date());
    {
        const QSignalBlocker block(lsKonflikte);
        lsKonflikte->clear();
        for (const MealConflict& c : m_conflicts)
            lsKonflikte->addItem(c.text);
    }
    lbHinweis->setText(m_conflicts.isEmpty()
                           ? QStringLiteral("Jede Gruppe hat bei jeder Mahlzeit ein Gericht.")
                           : QString());
    lsKonflikte->setCurrentRow(m_conflicts.isEmpty() ? -1 : 0);
    fncReqGerichte();
}

void frmErsatz::fncReqGerichte()
{
    lsGerichte->clear();
    const int row = lsKonflikte->currentRow();
    if (row < 0 || row >= m_conflicts.size())
        return;
    lbHinweis->clear();
    for (const OfferedDish& d : offeredDishes(m_conflicts[row])) {
        auto* item = new QListWidgetItem(d.text, lsGerichte);
        item->setData(Qt::UserRole, d.gerNr);
    }
    if (lsGerichte->count() > 0) {
        lsGerichte->setCurrentRow(0);
    } else {
        const MealConflict& c = m_conflicts[row];
        lsKonflikte->item(row)->setText(c.text + QStringLiteral(" – ") + c.noDish);
        lbHinweis->setText(c.noDish + '.');
    }
}

void frmErsatz::sfUebernehmen_Click()
{
    guard("frmErsatz/sfUebernehmen_Click", [&] {
        const int row = lsKonflikte->currentRow();
        QListWidgetItem* dish = lsGerichte->currentItem();
        if (row < 0 || row >= m_conflicts.size() || !dish)
            return;
        const ChoiceResult r = chooseReplacement(m_conflicts[row], dish->data(Qt::UserRole).toInt());
        if (!r.refusal.isEmpty()) {
            lsKonflikte->item(row)->setText(m_conflicts[row].text + QStringLiteral(" – ") + r.refusal);
            lbHinweis->setText(r.refusal);
            return;
        }
        ++fGewaehlt;
        fLetzterKey = r.newKey;
        fncReq();
        lsKonflikte->setCurrentRow(qMin(row, lsKonflikte->count() - 1));
    });
}

void frmErsatz::sfAlle_Click()
{
    guard("frmErsatz/sfAlle_Click", [&] {
        if (m_conflicts.isEmpty())
            return;
        const BulkResult r = chooseAllReplacements(m_conflicts);
        if (!r.refusal.isEmpty()) {
            lbHinweis->setText(r.refusal);
            return;
        }
        fGewaehlt += r.fed;
        if (r.lastKey > 0)
            fLetzterKey = r.lastKey;
        fncReq();
        // The lines still open, each with its reason.
        for (int i = 0; i < lsKonflikte->count(); ++i)
            for (const QString& open : r.open)
                if (open.startsWith(m_conflicts[i].text + QStringLiteral(" – ")))
                    lsKonflikte->item(i)->setText(open);
        QString text = r.fed == 1 ? QStringLiteral("Ersatz für 1 Mahlzeit übernommen.")
                                  : QStringLiteral("Ersatz für %1 Mahlzeiten übernommen.").arg(r.fed);
        if (!r.open.isEmpty())
            text += r.open.size() == 1 ? QStringLiteral(" 1 Zeile bleibt offen.")
                                       : QStringLiteral(" %1 Zeilen bleiben offen.").arg(r.open.size());
        lbHinweis->setText(text);
    });
}

qint32 fncDlgErsatz()
{
    return launchDialog<frmErsatz>(
        "tlm/fncDlgErsatz", [](frmErsatz&) {}, [](frmErsatz& w) { return w.fLetzterKey; });
}

void fncWarnErsatz()
{
    guard("tlm/fncWarnErsatz", [&] {
        // Without a database the print-out reports that itself, once.
        if (!gConnection.isOpen())
            return;
        const int meals = openConflictMeals();
        if (meals == 0)
            return;
        warn((meals == 1 ? QStringLiteral("Bei 1 Mahlzeit hat")
                         : QStringLiteral("Bei %1 Mahlzeiten hat").arg(meals)) +
             QStringLiteral(" eine Gruppe kein Gericht, das sie essen darf (Extras → „Ersatz prüfen…“)."));
    });
}

} // namespace tlm
