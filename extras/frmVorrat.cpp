#include "extras/frmVorrat.h"

#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/ListWindow.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/StockCarry.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

frmVorrat::frmVorrat()
    : Dialog(QStringLiteral("frmVorrat"), QStringLiteral("Vorrat"), 9000, 6600),
      m_edits("frmVorrat/sfSpeichern_Click",
              {[this] {
                   return m_shownKey == 0 ? QStringList()
                                          : QStringList{txMenge->text().trimmed(),
                                                        dpGezaehlt->date().toString(Qt::ISODate)};
               },
               [this] { return "Den Vorrat von „" + m_shownName + "“ speichern?"; },
               [this] { return fncSave(); }})
{
    Label1 = make<QLabel>("Label1", QStringLiteral("Suche:"));
    txSuch = make<QLineEdit>("txSuch");
    txSuch->setMaxLength(50);
    Label1->setBuddy(txSuch);
    gd1 = make<DataGrid>("gd1");
    gd1->setColumns({{"ZUTNR", "ZutNr", "", false, false},
                     {"ZUTAT", "Zutat", "", false, true, false, 220},
                     {"VORRAT", "Vorrat", "", false, true, false, 70},
                     {"EINHEIT", "Einheit", "", false, true, false, 55},
                     {"GEZAEHLT", "Gezählt am", "", false, true, false, 85},
                     {"WERT", "Wert", "Currency", false, true, false, 80}});
    txMenge = make<QLineEdit>("txMenge");
    txMenge->setMaxLength(15);
    lbEinheit = make<QLabel>("lbEinheit");
    dpGezaehlt = makeDatePicker("dpGezaehlt");
    sfSpeichern = makeButton("sfSpeichern", QStringLiteral("&Speichern"));
    sfSpeichern->setDefault(true);
    lbGesamtwert = make<QLabel>("lbGesamtwert");
    sfExit = makeButton("sfExit", QStringLiteral("Been&den"));

    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(txSuch, 1);
    auto* edit = new QHBoxLayout;
    edit->addWidget(make<QLabel>("Label2", QStringLiteral("Vorrat:")));
    edit->addWidget(txMenge);
    edit->addWidget(lbEinheit);
    edit->addWidget(make<QLabel>("Label3", QStringLiteral("gezählt am:")));
    edit->addWidget(dpGezaehlt);
    edit->addWidget(sfSpeichern);
    edit->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lbGesamtwert, 1);
    bottom->addWidget(sfExit);
    auto* box = new QVBoxLayout(this);
    box->addLayout(search);
    box->addWidget(gd1, 1);
    box->addLayout(edit);
    box->addLayout(bottom);
    tabOrder({txSuch, gd1, txMenge, dpGezaehlt, sfSpeichern, sfExit});
    keepSize();
    m_edits.shown();

    connect(txSuch, &QLineEdit::textChanged, this, [this](const QString& text) {
        guard("frmVorrat/txSuch_Change", [&] {
            if (!m_edits.mayLeave()) {
                const QSignalBlocker block(txSuch);
                txSuch->setText(m_search);
                return;
            }
            m_search = text;
            fncReq(0);
        });
    });
    connect(gd1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex& previous) {
                guard("frmVorrat/gd1_RowColChange", [&] {
                    if (!m_edits.changed()) {
                        fncShow();
                        return;
                    }
                    // The list stays on the ingredient being edited until the user has answered.
                    const qint64 key = gd1->columnValue(QStringLiteral("ZUTNR")).toLongLong();
                    gd1->setCurrentRow(previous.row());
                    m_edits.leaveLater(this, [this, key] { fncReq(key); });
                });
            });
    connect(gd1, &DataGrid::dblClick, txMenge, [this] { txMenge->setFocus(); });
    connect(sfSpeichern, &QPushButton::clicked, this,
            [this] { guard("frmVorrat/sfSpeichern_Click", [&] { fncSave(); }); });
    connect(sfExit, &QPushButton::clicked, this, [this] { unload(); });
}

void frmVorrat::Form_Load()
{
    guard("frmVorrat/Form_Load", [&] { fncReq(0); });
}

void frmVorrat::fncReq(qint64 key)
{
    // An older file opened read-only has no stock table: its list shows no stock.
    const QString stock =
        hasStockTable() ? QStringLiteral("VORRAT")
                        : QStringLiteral("(select 0 as ZUTNR, 0.0 as MENGE, null as GEZAEHLT where 1 = 0)");
    // The search finds a name by any part of it, as the Allergene window does.
    const SearchFilter search = searchFilter(QStringLiteral("Z.ZUTAT"), txSuch->text(), true);
    RecordsetPtr rs = gConnection.execute(
        "select Z.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, V.MENGE as VORRAT, Z.EINHEIT as EINHEIT,"
        " V.GEZAEHLT as GEZAEHLT, V.MENGE * Z.PREIS / nullif(Z.MENGE, 0) as WERT"
        " from ZUTATEN Z left join " +
            stock + " V on V.ZUTNR = Z.ZUTNR" + search.where + " order by Z.ZUTAT, Z.ZUTNR",
        search.values);
    gd1->setDataSource(rs);
    if (rs->rowCount() > 0 && key >= 1)
        gd1->find("ZUTNR = " + QString::number(key));
    fncShow();
    // The whole stock's value, whatever the search shows.
    RecordsetPtr all = gConnection.execute("select V.MENGE, Z.MENGE, Z.PREIS from " + stock +
                                           " V join ZUTATEN Z on Z.ZUTNR = V.ZUTNR");
    Money total;
    int unpriced = 0;
    for (int r = 0; r < all->rowCount(); ++r) {
        const std::optional<Money> v =
            stockValue(all->value(r, 0).toDouble(), all->value(r, 1), all->value(r, 2));
        if (v)
            total += *v;
        else
            ++unpriced;
    }
    QString text = "Gesamtwert des Vorrats: " + currencyText(total);
    if (unpriced > 0)
        text +=
            QStringLiteral(" (%1 ohne Preis nicht mitgezählt)")
                .arg(unpriced == 1 ? QStringLiteral("1 Zutat") : QStringLiteral("%1 Zutaten").arg(unpriced));
    lbGesamtwert->setText(text);
}

void frmVorrat::fncShow()
{
    const bool row = !gd1->noCurrentRow();
    txMenge->setEnabled(row);
    dpGezaehlt->setEnabled(row);
    sfSpeichern->setEnabled(row);
    const QVariant amount = row ? gd1->columnValue(QStringLiteral("VORRAT")) : QVariant();
    txMenge->setText(amount.isNull() ? QString() : numberText(amount.toDouble()));
    lbEinheit->setText(row ? textOf(gd1->columnValue(QStringLiteral("EINHEIT"))) : QString());
    const QDate counted = row ? gd1->columnValue(QStringLiteral("GEZAEHLT")).toDate() : QDate();
    dpGezaehlt->setDate(counted.isValid() ? counted : QDate::currentDate());
    m_shownKey = row ? gd1->columnValue(QStringLiteral("ZUTNR")).toLongLong() : 0;
    m_shownName = textOf(gd1->columnValue(QStringLiteral("ZUTAT")));
    m_edits.shown();
}

void frmVorrat::done(int result)
{
    if (m_edits.mayLeave())
        Dialog::done(result);
}

bool frmVorrat::fncSave()
{
    if (gd1->noCurrentRow())
        return false;
    double amount = 0;
    const QString text = txMenge->text().trimmed();
    if (!text.isEmpty() && (!parseNumber(text, &amount) || amount < 0)) {
        warn(QStringLiteral("Bitte eine Menge ab 0 eingeben, zum Beispiel 2,5."));
        txMenge->setFocus();
        return false;
    }
    const qint64 key = gd1->columnValue(QStringLiteral("ZUTNR")).toLongLong();
    storeStock(key, amount, dpGezaehlt->date());
    fncReq(key);
    return true;
}

void fncDlgVorrat()
{
    launchDialog<frmVorrat>(
        "tlm/fncDlgVorrat", [](frmVorrat&) {}, [](frmVorrat&) { return 0; });
}

} // namespace tlm
