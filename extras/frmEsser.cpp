#include "extras/frmEsser.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "extras/frmPortionen.h"
#include "kitchen/EaterList.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

namespace tlm {

namespace {
// A band's columns and an appetite day's.
enum { BandName, BandFactor, BandCount, BandVon, BandBis };
enum { DaysName, DaysFactor, DaysVon, DaysBis };

QTableWidget* makeList(QTableWidget* grid, const QStringList& captions)
{
    grid->setColumnCount(int(captions.size()));
    grid->setHorizontalHeaderLabels(captions);
    grid->verticalHeader()->setVisible(false);
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    return grid;
}

QString cell(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text().trimmed() : QString();
}

void setRow(QTableWidget* grid, int row, const QStringList& texts)
{
    for (int c = 0; c < texts.size(); ++c)
        grid->setItem(row, c, new QTableWidgetItem(texts[c]));
}

QString dayText(const QDate& d)
{
    return d.isValid() ? shortDate(d) : QString();
}

// "0,75", and "1,0" as a cook writes an adult's portion.
QString factorText(double f)
{
    const double shown = std::round(f * 1000) / 1000;
    return numberText(shown) + (shown == std::floor(shown) ? QStringLiteral(",0") : QString());
}

// Reads the rows of one list; the first fault is told (when asked) with the cell it is in.
class RowReader
{
public:
    RowReader(QTableWidget* grid, const QString& list, bool tell) : m_grid(grid), m_list(list), m_tell(tell)
    {}

    bool fail(int row, int column, const QString& why)
    {
        if (m_tell) {
            m_grid->setCurrentCell(row, column);
            m_grid->setFocus();
            warn(QStringLiteral("%1, Zeile %2: %3").arg(m_list).arg(row + 1).arg(why));
        }
        return false;
    }
    bool name(int row, int column, QString* out)
    {
        *out = cell(m_grid, row, column);
        if (out->isEmpty() || out->size() > 50)
            return fail(row, column, QStringLiteral("Bitte einen Namen mit höchstens 50 Zeichen eingeben."));
        return true;
    }
    bool factor(int row, int column, double* out)
    {
        if (!parseNumber(cell(m_grid, row, column), out) || !(*out > 0) || *out > 5)
            return fail(row, column, QStringLiteral("Bitte einen Faktor über 0 bis 5 eingeben, etwa 0,75."));
        return true;
    }
    bool day(int row, int column, bool required, QDate* out)
    {
        const QString text = cell(m_grid, row, column);
        *out = text.isEmpty() ? QDate() : parseDate(text);
        if (text.isEmpty() ? required : !out->isValid())
            return fail(row, column,
                        QStringLiteral("Bitte ein Datum wie 21.07.2026 eingeben") +
                            (required ? QStringLiteral(".") : QStringLiteral(" oder das Feld leer lassen.")));
        return true;
    }
    bool span(int row, int column, const QDate& von, const QDate& bis)
    {
        if (von.isValid() && bis.isValid() && bis < von)
            return fail(row, column, QStringLiteral("Das Datum bei „Bis“ liegt vor dem bei „Von“."));
        return true;
    }

private:
    QTableWidget* m_grid;
    QString m_list;
    bool m_tell;
};

QStringList cellTexts(const QTableWidget* grid)
{
    QStringList texts{QString::number(grid->rowCount())};
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            texts << cell(grid, r, c);
    return texts;
}
} // namespace

frmEsser::frmEsser()
    : Dialog(QStringLiteral("frmEsser"), QStringLiteral("Esser"), 9600, 8400),
      m_edits("frmEsser/fncSave", {[this] { return cellTexts(gdEsser) + cellTexts(gdAppetit); },
                                   [] { return QStringLiteral("Die Änderungen an den Essern speichern?"); },
                                   [this] { return fncSave(); }})
{
    gdEsser = makeList(make<QTableWidget>("gdEsser"),
                       {QStringLiteral("Esser"), QStringLiteral("Faktor"), QStringLiteral("Anzahl"),
                        QStringLiteral("Von"), QStringLiteral("Bis")});
    sfEsserNeu = makeButton("sfEsserNeu", QStringLiteral("Neu"));
    sfEsserLoeschen = makeButton("sfEsserLoeschen", QStringLiteral("Löschen"));
    gdAppetit = makeList(make<QTableWidget>("gdAppetit"), {QStringLiteral("Tage"), QStringLiteral("Faktor"),
                                                           QStringLiteral("Von"), QStringLiteral("Bis")});
    sfAppetitNeu = makeButton("sfAppetitNeu", QStringLiteral("Neu"));
    sfAppetitLoeschen = makeButton("sfAppetitLoeschen", QStringLiteral("Löschen"));
    gdTage = makeList(make<QTableWidget>("gdTage"), {QStringLiteral("Tag"), QStringLiteral("Esser"),
                                                     QStringLiteral("Appetit"), QStringLiteral("Portionen")});
    gdTage->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gdTage->setWordWrap(false);
    gdTage->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gdTage->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lbVeraltet = make<QLabel>("lbVeraltet");
    sfSpeichern = makeButton("sfSpeichern", QStringLiteral("Speichern"));
    sfSpeichern->setDefault(true);
    sfUebernehmen = makeButton("sfUebernehmen", QStringLiteral("Portionen übernehmen…"));
    sfSchliessen = makeButton("sfSchliessen", QStringLiteral("Schließen"));

    auto* lists = new QVBoxLayout;
    auto addList = [lists](const QString& caption, QTableWidget* grid, QPushButton* add,
                           QPushButton* remove) {
        lists->addWidget(new QLabel(caption));
        lists->addWidget(grid, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(add);
        buttons->addWidget(remove);
        buttons->addStretch();
        lists->addLayout(buttons);
    };
    addList(QStringLiteral("Esser (Faktor 1,0 = eine Portion für einen Erwachsenen):"), gdEsser, sfEsserNeu,
            sfEsserLoeschen);
    addList(QStringLiteral("Tage mit Appetitfaktor:"), gdAppetit, sfAppetitNeu, sfAppetitLoeschen);
    auto* days = new QVBoxLayout;
    days->addWidget(new QLabel(QStringLiteral("Pro Tag (Esser × Faktor × Appetit):")));
    days->addWidget(gdTage, 1);
    days->addWidget(lbVeraltet);
    auto* fields = new QHBoxLayout;
    fields->addLayout(lists, 3);
    fields->addLayout(days, 2);
    layOutForm(fields, makeLine("Line1"), {sfSpeichern, sfSchliessen}, sfUebernehmen, 1);
    tabOrder({gdEsser, sfEsserNeu, sfEsserLoeschen, gdAppetit, sfAppetitNeu, sfAppetitLoeschen, gdTage,
              sfUebernehmen, sfSpeichern, sfSchliessen});
    keepSize();

    auto addRow = [](QTableWidget* grid, QVector<int>* nrs, const QStringList& texts) {
        const int row = grid->rowCount();
        grid->insertRow(row);
        setRow(grid, row, texts);
        nrs->append(0);
        grid->setCurrentCell(row, 0);
        grid->setFocus();
        grid->editItem(grid->item(row, 0));
    };
    auto removeRow = [](QTableWidget* grid, QVector<int>* nrs) {
        const int row = grid->currentRow();
        if (row < 0)
            return;
        grid->removeRow(row);
        nrs->remove(row);
    };
    connect(sfEsserNeu, &QPushButton::clicked, this, [=, this] {
        guard("frmEsser/sfEsserNeu_Click", [&] {
            addRow(gdEsser, &m_bandNrs, {QString(), QStringLiteral("1"), QStringLiteral("0")});
        });
    });
    connect(sfEsserLoeschen, &QPushButton::clicked, this, [=, this] {
        guard("frmEsser/sfEsserLoeschen_Click", [&] {
            removeRow(gdEsser, &m_bandNrs);
            fncTage();
        });
    });
    connect(sfAppetitNeu, &QPushButton::clicked, this, [=, this] {
        guard("frmEsser/sfAppetitNeu_Click", [&] {
            addRow(gdAppetit, &m_appetiteNrs, {QString(), QStringLiteral("1")});
        });
    });
    connect(sfAppetitLoeschen, &QPushButton::clicked, this, [=, this] {
        guard("frmEsser/sfAppetitLoeschen_Click", [&] {
            removeRow(gdAppetit, &m_appetiteNrs);
            fncTage();
        });
    });
    for (QTableWidget* grid : {gdEsser, gdAppetit})
        connect(grid, &QTableWidget::cellChanged, this,
                [this] { guard("frmEsser/fncTage", [&] { fncTage(); }); });
    connect(sfSpeichern, &QPushButton::clicked, this, [this] { fncSave(); });
    connect(sfUebernehmen, &QPushButton::clicked, this, [this] { sfUebernehmen_Click(); });
    connect(sfSchliessen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmEsser::Form_Load()
{
    guard("frmEsser/Form_Load", [&] { fncReq(); });
}

void frmEsser::fncReq()
{
    const EaterList list = eaterList();
    const QSignalBlocker blockBands(gdEsser), blockDays(gdAppetit);
    gdEsser->setRowCount(int(list.bands.size()));
    m_bandNrs.clear();
    for (int r = 0; r < list.bands.size(); ++r) {
        const EaterBand& b = list.bands[r];
        setRow(gdEsser, r,
               {b.name, factorText(b.factor), QString::number(b.count), dayText(b.von), dayText(b.bis)});
        m_bandNrs << b.nr;
    }
    gdAppetit->setRowCount(int(list.appetite.size()));
    m_appetiteNrs.clear();
    for (int r = 0; r < list.appetite.size(); ++r) {
        const AppetiteDays& a = list.appetite[r];
        setRow(gdAppetit, r, {a.name, factorText(a.factor), dayText(a.von), dayText(a.bis)});
        m_appetiteNrs << a.nr;
    }
    m_edits.shown();
    fncTage();
}

std::optional<EaterList> frmEsser::fncRead(bool tell)
{
    EaterList list;
    RowReader bands(gdEsser, QStringLiteral("Esser"), tell);
    for (int r = 0; r < gdEsser->rowCount(); ++r) {
        EaterBand b;
        b.nr = m_bandNrs.value(r);
        double count = 0;
        if (!bands.name(r, BandName, &b.name) || !bands.factor(r, BandFactor, &b.factor))
            return std::nullopt;
        if (!parseNumber(cell(gdEsser, r, BandCount), &count) || count < 0 || count > 32767 ||
            count != std::floor(count))
            return bands.fail(r, BandCount,
                              QStringLiteral("Bitte eine ganze Zahl von 0 bis 32767 eingeben.")),
                   std::nullopt;
        b.count = int(count);
        if (!bands.day(r, BandVon, false, &b.von) || !bands.day(r, BandBis, false, &b.bis) ||
            !bands.span(r, BandBis, b.von, b.bis))
            return std::nullopt;
        list.bands << b;
    }
    RowReader days(gdAppetit, QStringLiteral("Appetit"), tell);
    for (int r = 0; r < gdAppetit->rowCount(); ++r) {
        AppetiteDays a;
        a.nr = m_appetiteNrs.value(r);
        if (!days.name(r, DaysName, &a.name) || !days.factor(r, DaysFactor, &a.factor) ||
            !days.day(r, DaysVon, true, &a.von) || !days.day(r, DaysBis, false, &a.bis) ||
            !days.span(r, DaysBis, a.von, a.bis))
            return std::nullopt;
        // One factor a day: two that meet would have to be multiplied, which no cook reads off a list.
        for (const AppetiteDays& other : list.appetite)
            for (QDate d = a.von; d <= (a.bis.isValid() ? a.bis : a.von); d = d.addDays(1))
                if (other.on(d))
                    return days.fail(r, DaysVon,
                                     QStringLiteral("Der %1 hat schon einen Appetitfaktor (%2).")
                                         .arg(shortDate(d), other.name)),
                           std::nullopt;
        list.appetite << a;
    }
    return list;
}

void frmEsser::fncTage()
{
    const std::optional<EaterList> list = fncRead(false);
    if (!list)
        return; // the days keep what the lists last made while a cell is half typed
    const PlanSpan span = proposedSpan();
    gdTage->setRowCount(0);
    if (span.first.isValid()) {
        gdTage->setRowCount(int(span.first.daysTo(span.last)) + 1);
        int r = 0;
        for (QDate d = span.first; d <= span.last; d = d.addDays(1), ++r) {
            const DayEaters e = eatersOn(*list, d);
            setRow(
                gdTage, r,
                {shortDayDate(d), e.covered ? QString::number(e.heads) : QString(),
                 e.covered ? factorText(e.appetite) : QString(),
                 e.covered ? numberText(std::round(e.portions * 100) / 100) : QStringLiteral("wie geplant")});
            for (int c = 1; c < gdTage->columnCount(); ++c)
                gdTage->item(r, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    const QString stale = stalePortionDays(eaterList());
    lbVeraltet->setText(stale.isEmpty() ? QString() : QStringLiteral("Portionen veraltet: ") + stale);
}

bool frmEsser::fncSave()
{
    return guardOr("frmEsser/fncSave", false, [&] {
        const std::optional<EaterList> list = fncRead(true);
        if (!list)
            return false;
        saveEaterList(*list);
        fncReq();
        return true;
    });
}

void frmEsser::sfUebernehmen_Click()
{
    guard("frmEsser/sfUebernehmen_Click", [&] {
        if (m_edits.changed() && !fncSave())
            return;
        if (eaterList().bands.isEmpty()) {
            warn(QStringLiteral("Bitte zuerst die Esser eintragen."));
            return;
        }
        fGeaendert += fncDlgPortionen();
        fncTage();
    });
}

void frmEsser::done(int result)
{
    if (m_edits.mayLeave())
        Dialog::done(result);
}

qint32 fncDlgEsser()
{
    return launchDialog<frmEsser>(
        "tlm/fncDlgEsser", [](frmEsser&) {}, [](frmEsser& w) { return w.fGeaendert; });
}

} // namespace tlm
