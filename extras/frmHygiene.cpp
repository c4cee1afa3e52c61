#include "extras/frmHygiene.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"
#include "kitchen/ShoppingPlan.h"
#include "reports/HygieneSheets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tlm {

namespace {
// A list's table with its captions, a row selected as a whole, the columns filling the width.
QTableWidget* setUpTable(QTableWidget* t, const QStringList& captions)
{
    t->setColumnCount(int(captions.size()));
    t->setHorizontalHeaderLabels(captions);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    return t;
}

QString cellText(const QTableWidget* t, int row, int column)
{
    const QTableWidgetItem* item = t->item(row, column);
    return item ? item->text().trimmed() : QString();
}

QComboBox* comboAt(const QTableWidget* t, int row, int column)
{
    return qobject_cast<QComboBox*>(t->cellWidget(row, column));
}

// A tab of a list with Neu and Löschen below it, and what the tab prints.
QWidget* listTab(QWidget* list, QPushButton* add, QPushButton* remove, QLayout* more, QPushButton* print)
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    box->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    if (add)
        buttons->addWidget(add);
    if (remove)
        buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(print);
    if (more)
        box->addLayout(more);
    box->addLayout(buttons);
    return tab;
}

void removeCurrentRow(QTableWidget* t)
{
    if (t->currentRow() >= 0)
        t->removeRow(t->currentRow());
}

QString dateText(const QDate& d)
{
    return d.isValid() ? shortDate(d) : QString();
}
} // namespace

frmHygiene::frmHygiene()
    : Dialog(QStringLiteral("frmHygiene"), QStringLiteral("Hygiene"), 10500, 7800),
      m_edits("frmHygiene/fncSave",
              {[this] { return fields(); },
               [] { return QStringLiteral("Die Änderungen an den Hygiene-Listen speichern?"); },
               [this] { return fncSave(); }})
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    tabHygiene = make<QTabWidget>("tabHygiene");

    lsProben = make<QListWidget>("lsProben");
    txAufbewahrung = make<QSpinBox>("txAufbewahrung");
    txAufbewahrung->setRange(1, 365);
    txErstesEtikett = make<QSpinBox>("txErstesEtikett");
    txErstesEtikett->setRange(1, kLabelColumns * kLabelRows);
    sfProbenliste = makeButton("sfProbenliste", QStringLiteral("Liste drucken"));
    sfEtiketten = makeButton("sfEtiketten", QStringLiteral("Etiketten drucken"));
    auto* proben = new QFormLayout;
    proben->addRow(QStringLiteral("Aufbewahren (Tage):"), txAufbewahrung);
    proben->addRow(QStringLiteral("Erstes freies Etikett (1–24, zeilenweise):"), txErstesEtikett);
    auto* probenButtons = new QHBoxLayout;
    probenButtons->addStretch();
    probenButtons->addWidget(sfEtiketten);
    auto* probenMore = new QVBoxLayout;
    probenMore->addWidget(
        make<QLabel>("lbProben", QStringLiteral("Ohne Haken: keine Rückstellprobe (Brot, Obst).")));
    probenMore->addLayout(proben);
    probenMore->addLayout(probenButtons);
    tabHygiene->addTab(listTab(lsProben, nullptr, nullptr, probenMore, sfProbenliste),
                       QStringLiteral("Rückstellproben"));

    gdGeraete = setUpTable(make<QTableWidget>("gdGeraete"),
                           {QStringLiteral("Gerät"), QStringLiteral("Art"), QStringLiteral("Grenze °C")});
    sfGeraetNeu = makeButton("sfGeraetNeu", QStringLiteral("Neu"));
    sfGeraetLoeschen = makeButton("sfGeraetLoeschen", QStringLiteral("Löschen"));
    txKerntemperatur = make<QLineEdit>("txKerntemperatur");
    txKerntemperatur->setMaxLength(6);
    lsWarm = make<QListWidget>("lsWarm");
    lsWarm->setMaximumHeight(tw(1400));
    sfKuehlgeraete = makeButton("sfKuehlgeraete", QStringLiteral("Kühlgeräte drucken"));
    sfSpeisen = makeButton("sfSpeisen", QStringLiteral("Speisen drucken"));
    auto* warm = new QFormLayout;
    warm->addRow(QStringLiteral("Kerntemperatur warmer Speisen mind. °C:"), txKerntemperatur);
    warm->addRow(QStringLiteral("Warm ausgegeben:"), lsWarm);
    auto* warmBox = new QVBoxLayout;
    warmBox->addLayout(warm);
    auto* speisen = new QHBoxLayout;
    speisen->addStretch();
    speisen->addWidget(sfSpeisen);
    warmBox->addLayout(speisen);
    tabHygiene->addTab(listTab(gdGeraete, sfGeraetNeu, sfGeraetLoeschen, warmBox, sfKuehlgeraete),
                       QStringLiteral("Temperatur"));

    lbEinkaeufe = make<QLabel>("lbEinkaeufe");
    lbEinkaeufe->setWordWrap(true);
    lbEinkaeufe->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    sfWareneingang = makeButton("sfWareneingang", QStringLiteral("Wareneingang drucken"));
    tabHygiene->addTab(listTab(lbEinkaeufe, nullptr, nullptr, nullptr, sfWareneingang),
                       QStringLiteral("Wareneingang"));

    gdBereiche =
        setUpTable(make<QTableWidget>("gdBereiche"), {QStringLiteral("Bereich"), QStringLiteral("wie oft")});
    sfBereichNeu = makeButton("sfBereichNeu", QStringLiteral("Neu"));
    sfBereichLoeschen = makeButton("sfBereichLoeschen", QStringLiteral("Löschen"));
    sfReinigungsplan = makeButton("sfReinigungsplan", QStringLiteral("Reinigungsplan drucken"));
    tabHygiene->addTab(listTab(gdBereiche, sfBereichNeu, sfBereichLoeschen, nullptr, sfReinigungsplan),
                       QStringLiteral("Reinigung"));

    gdTeam =
        setUpTable(make<QTableWidget>("gdTeam"), {QStringLiteral("Name"), QStringLiteral("Erstbelehrung"),
                                                  QStringLiteral("letzte Belehrung")});
    sfTeamNeu = makeButton("sfTeamNeu", QStringLiteral("Neu"));
    sfTeamLoeschen = makeButton("sfTeamLoeschen", QStringLiteral("Löschen"));
    txWiederholung = make<QSpinBox>("txWiederholung");
    txWiederholung->setRange(1, 120);
    lbWarnungen = make<QLabel>("lbWarnungen");
    lbWarnungen->setWordWrap(true);
    sfBelehrung = makeButton("sfBelehrung", QStringLiteral("Unterschriftenliste drucken"));
    auto* team = new QVBoxLayout;
    auto* repeat = new QFormLayout;
    repeat->addRow(QStringLiteral("Belehrung wiederholen nach Monaten:"), txWiederholung);
    team->addLayout(repeat);
    team->addWidget(lbWarnungen);
    tabHygiene->addTab(listTab(gdTeam, sfTeamNeu, sfTeamLoeschen, team, sfBelehrung),
                       QStringLiteral("Belehrung"));

    sfSpeichern = makeButton("sfSpeichern", QStringLiteral("Speichern"));
    sfSpeichern->setDefault(true);
    sfSchliessen = makeButton("sfSchliessen", QStringLiteral("Schließen"));

    auto* span = new QHBoxLayout;
    span->addWidget(make<QLabel>("Label1", QStringLiteral("Von:")));
    span->addWidget(dpVon);
    span->addWidget(make<QLabel>("Label2", QStringLiteral("Bis:")));
    span->addWidget(dpBis);
    span->addStretch();
    auto* fieldsBox = new QVBoxLayout;
    fieldsBox->addLayout(span);
    fieldsBox->addWidget(tabHygiene, 1);
    layOutForm(fieldsBox, makeLine("Line1"), {sfSpeichern, sfSchliessen}, nullptr, 1);
    keepSize();

    connect(dpVon, &QDateEdit::dateChanged, this,
            [this] { guard("frmHygiene/dpVon_Change", [&] { fncReqGerichte(); }); });
    connect(dpBis, &QDateEdit::dateChanged, this,
            [this] { guard("frmHygiene/dpBis_Change", [&] { fncReqGerichte(); }); });
    connect(sfGeraetNeu, &QPushButton::clicked, this, [this] {
        addDevice({QString(), kFridge, defaultLimit(kFridge)});
        gdGeraete->setCurrentCell(gdGeraete->rowCount() - 1, 0);
        gdGeraete->editItem(gdGeraete->item(gdGeraete->rowCount() - 1, 0));
    });
    connect(sfBereichNeu, &QPushButton::clicked, this, [this] {
        addArea({});
        gdBereiche->setCurrentCell(gdBereiche->rowCount() - 1, 0);
        gdBereiche->editItem(gdBereiche->item(gdBereiche->rowCount() - 1, 0));
    });
    connect(sfTeamNeu, &QPushButton::clicked, this, [this] {
        addMember({});
        gdTeam->setCurrentCell(gdTeam->rowCount() - 1, 0);
        gdTeam->editItem(gdTeam->item(gdTeam->rowCount() - 1, 0));
    });
    connect(sfGeraetLoeschen, &QPushButton::clicked, this, [this] { removeCurrentRow(gdGeraete); });
    connect(sfBereichLoeschen, &QPushButton::clicked, this, [this] { removeCurrentRow(gdBereiche); });
    connect(sfTeamLoeschen, &QPushButton::clicked, this, [this] {
        removeCurrentRow(gdTeam);
        fncShowWarnungen();
    });
    connect(gdTeam, &QTableWidget::itemChanged, this, [this] { fncShowWarnungen(); });
    connect(txWiederholung, &QSpinBox::valueChanged, this, [this] { fncShowWarnungen(); });
    const std::pair<QPushButton*, HygieneRequest::Sheet> sheets[] = {
        {sfProbenliste, HygieneRequest::Proben},        {sfEtiketten, HygieneRequest::Etiketten},
        {sfKuehlgeraete, HygieneRequest::Kuehlgeraete}, {sfSpeisen, HygieneRequest::Speisen},
        {sfWareneingang, HygieneRequest::Wareneingang}, {sfReinigungsplan, HygieneRequest::Reinigung},
        {sfBelehrung, HygieneRequest::Belehrung}};
    for (const auto& [button, sheet] : sheets)
        connect(button, &QPushButton::clicked, this, [this, s = sheet] { fncDrucken(s); });
    connect(sfSpeichern, &QPushButton::clicked, this,
            [this] { guard("frmHygiene/sfSpeichern_Click", [&] { fncSave(); }); });
    connect(sfSchliessen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmHygiene::Form_Load()
{
    guard("frmHygiene/Form_Load", [&] {
        const PlanSpan span = proposedSpan();
        if (span.first.isValid()) {
            const QSignalBlocker a(dpVon), b(dpBis);
            dpVon->setDate(span.first);
            dpBis->setDate(span.last);
        }
        fncReq();
    });
}

void frmHygiene::addDevice(const CoolingDevice& d)
{
    const int row = gdGeraete->rowCount();
    gdGeraete->insertRow(row);
    gdGeraete->setItem(row, 0, new QTableWidgetItem(d.name));
    auto* kind = new QComboBox;
    kind->addItems({kFridge, kFreezer});
    kind->setCurrentText(d.kind);
    gdGeraete->setCellWidget(row, 1, kind);
    gdGeraete->setItem(row, 2, new QTableWidgetItem(numberText(d.limit)));
    // A kind chosen anew brings its limit along.
    connect(kind, &QComboBox::currentTextChanged, gdGeraete, [this, kind](const QString& text) {
        for (int r = 0; r < gdGeraete->rowCount(); ++r)
            if (comboAt(gdGeraete, r, 1) == kind)
                gdGeraete->item(r, 2)->setText(numberText(defaultLimit(text)));
    });
}

void frmHygiene::addArea(const CleaningArea& a)
{
    const int row = gdBereiche->rowCount();
    gdBereiche->insertRow(row);
    gdBereiche->setItem(row, 0, new QTableWidgetItem(a.name));
    auto* often = new QComboBox;
    for (int o : {CleaningArea::Daily, CleaningArea::AfterMeals, CleaningArea::Weekly})
        often->addItem(oftenText(o), o);
    often->setCurrentIndex(a.often - 1);
    gdBereiche->setCellWidget(row, 1, often);
}

void frmHygiene::addMember(const TeamMember& m)
{
    const QSignalBlocker block(gdTeam);
    const int row = gdTeam->rowCount();
    gdTeam->insertRow(row);
    gdTeam->setItem(row, 0, new QTableWidgetItem(m.name));
    gdTeam->setItem(row, 1, new QTableWidgetItem(dateText(m.first)));
    gdTeam->setItem(row, 2, new QTableWidgetItem(dateText(m.last)));
}

void frmHygiene::fncReq()
{
    const HygieneSettings s = hygieneSettings();
    txAufbewahrung->setValue(s.keepDays);
    txKerntemperatur->setText(numberText(s.hotLimit));
    txWiederholung->setValue(s.repeatMonths);
    lsWarm->clear();
    RecordsetPtr types =
        gConnection.execute(QStringLiteral("select GTYPNR, GTYP from GTYP order by GTYPSORT, GTYPNR"));
    for (int r = 0; r < types->rowCount(); ++r) {
        auto* item = new QListWidgetItem(textOf(types->value(r, 1)), lsWarm);
        item->setData(Qt::UserRole, types->value(r, 0).toInt());
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(s.hotTypes.contains(types->value(r, 0).toInt()) ? Qt::Checked : Qt::Unchecked);
    }
    gdGeraete->setRowCount(0);
    for (const CoolingDevice& d : coolingDevices())
        addDevice(d);
    gdBereiche->setRowCount(0);
    for (const CleaningArea& a : cleaningAreas())
        addArea(a);
    gdTeam->setRowCount(0);
    for (const TeamMember& m : kitchenTeam())
        addMember(m);
    fncReqGerichte();
    m_edits.shown();
}

void frmHygiene::fncReqGerichte()
{
    // The marks the user set and has not saved stay set for the dishes that stay listed.
    QHash<int, Qt::CheckState> shown;
    for (int i = 0; i < lsProben->count(); ++i)
        shown.insert(lsProben->item(i)->data(Qt::UserRole).toInt(), lsProben->item(i)->checkState());
    const QSet<int> without = dishesWithoutSample();
    lsProben->clear();
    RecordsetPtr rs =
        gConnection.execute("select distinct R.GERNR, R.GERICHT from SPEISEPLAN S join GERICHTE R on "
                            "R.GERNR = S.GERNR where S." +
                            daysFromTo(dpVon->date(), dpBis->date()) + " order by R.GERICHT, R.GERNR");
    for (int r = 0; r < rs->rowCount(); ++r) {
        const int nr = rs->value(r, 0).toInt();
        auto* item = new QListWidgetItem(textOf(rs->value(r, 1)), lsProben);
        item->setData(Qt::UserRole, nr);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(shown.value(nr, without.contains(nr) ? Qt::Unchecked : Qt::Checked));
    }
    const ShoppingPlan plan = keptShoppingPlan(dpVon->date(), dpBis->date());
    QStringList days;
    for (const QDate& d : plan.runs)
        days << shortDayDate(d);
    lbEinkaeufe->setText(QStringLiteral("Ein Blatt je Einkauf, wie „Einkauf planen…“ sie hält: ") +
                         (days.size() == 1 ? QStringLiteral("1 Einkauf: ")
                                           : QStringLiteral("%1 Einkäufe: ").arg(days.size())) +
                         days.join(QStringLiteral(", ")));
    fncShowWarnungen();
}

QVector<TeamMember> frmHygiene::shownTeam(bool* sound) const
{
    QVector<TeamMember> team;
    *sound = true;
    for (int r = 0; r < gdTeam->rowCount(); ++r) {
        TeamMember m{cellText(gdTeam, r, 0), parseDate(cellText(gdTeam, r, 1)),
                     parseDate(cellText(gdTeam, r, 2))};
        if (m.name.isEmpty() && cellText(gdTeam, r, 1).isEmpty() && cellText(gdTeam, r, 2).isEmpty())
            continue;
        if (m.name.isEmpty() || (!cellText(gdTeam, r, 1).isEmpty() && !m.first.isValid()) ||
            (!cellText(gdTeam, r, 2).isEmpty() && !m.last.isValid()))
            *sound = false;
        team << m;
    }
    return team;
}

void frmHygiene::fncShowWarnungen()
{
    bool sound = true;
    const QStringList warnings =
        instructionWarnings(shownTeam(&sound), dpBis->date(), txWiederholung->value());
    lbWarnungen->setStyleSheet(warnings.isEmpty() ? QString() : QStringLiteral("color: #b00000"));
    lbWarnungen->setText(warnings.isEmpty()
                             ? QStringLiteral("Alle Belehrungen sind gültig bis zum Ende des Zeitraums.")
                             : QStringLiteral("Achtung:\n") + warnings.join('\n'));
}

QStringList frmHygiene::fields() const
{
    QStringList f{QString::number(txAufbewahrung->value()), txKerntemperatur->text().trimmed(),
                  QString::number(txWiederholung->value())};
    for (const QListWidget* list : {lsProben, lsWarm})
        for (int i = 0; i < list->count(); ++i)
            f << QString::number(list->item(i)->checkState());
    for (int r = 0; r < gdGeraete->rowCount(); ++r)
        f << cellText(gdGeraete, r, 0) << comboAt(gdGeraete, r, 1)->currentText()
          << cellText(gdGeraete, r, 2);
    f << QStringLiteral("|");
    for (int r = 0; r < gdBereiche->rowCount(); ++r)
        f << cellText(gdBereiche, r, 0) << QString::number(comboAt(gdBereiche, r, 1)->currentIndex());
    f << QStringLiteral("|");
    for (int r = 0; r < gdTeam->rowCount(); ++r)
        f << cellText(gdTeam, r, 0) << cellText(gdTeam, r, 1) << cellText(gdTeam, r, 2);
    return f;
}

bool frmHygiene::fncSave()
{
    return guardOr("frmHygiene/fncSave", false, [&] {
        HygieneSettings s;
        s.keepDays = txAufbewahrung->value();
        s.repeatMonths = txWiederholung->value();
        if (!parseNumber(txKerntemperatur->text().trimmed(), &s.hotLimit) || s.hotLimit <= 0 ||
            s.hotLimit >= 200) {
            tabHygiene->setCurrentIndex(1);
            warn(QStringLiteral("Bitte eine Kerntemperatur in °C eingeben, zum Beispiel 65."));
            txKerntemperatur->setFocus();
            return false;
        }
        s.hotTypes.clear();
        for (int i = 0; i < lsWarm->count(); ++i)
            if (lsWarm->item(i)->checkState() == Qt::Checked)
                s.hotTypes.insert(lsWarm->item(i)->data(Qt::UserRole).toInt());
        QVector<CoolingDevice> devices;
        for (int r = 0; r < gdGeraete->rowCount(); ++r) {
            CoolingDevice d{cellText(gdGeraete, r, 0), comboAt(gdGeraete, r, 1)->currentText(), 0};
            if (d.name.isEmpty() || !parseNumber(cellText(gdGeraete, r, 2), &d.limit)) {
                tabHygiene->setCurrentIndex(1);
                gdGeraete->setCurrentCell(r, d.name.isEmpty() ? 0 : 2);
                warn(QStringLiteral("Bitte für jedes Kühlgerät einen Namen und eine Grenze in °C eingeben."));
                return false;
            }
            devices << d;
        }
        QVector<CleaningArea> areas;
        for (int r = 0; r < gdBereiche->rowCount(); ++r) {
            CleaningArea a{cellText(gdBereiche, r, 0), comboAt(gdBereiche, r, 1)->currentData().toInt()};
            if (a.name.isEmpty()) {
                tabHygiene->setCurrentIndex(3);
                gdBereiche->setCurrentCell(r, 0);
                warn(QStringLiteral("Bitte für jeden Bereich einen Namen eingeben."));
                return false;
            }
            areas << a;
        }
        bool sound = true;
        const QVector<TeamMember> team = shownTeam(&sound);
        if (!sound) {
            tabHygiene->setCurrentIndex(4);
            warn(QStringLiteral("Bitte für jede Person einen Namen und die Daten wie 21.07.2026 eingeben "
                                "(ein unbekanntes Datum bleibt leer)."));
            return false;
        }
        gConnection.requireWritable();
        storeHygieneSettings(s);
        saveCoolingDevices(devices);
        saveCleaningAreas(areas);
        saveKitchenTeam(team);
        const QSet<int> without = dishesWithoutSample();
        for (int i = 0; i < lsProben->count(); ++i) {
            const int nr = lsProben->item(i)->data(Qt::UserRole).toInt();
            const bool none = lsProben->item(i)->checkState() != Qt::Checked;
            if (none != without.contains(nr))
                setWithoutSample(nr, none);
        }
        fncReq();
        return true;
    });
}

void frmHygiene::fncDrucken(HygieneRequest::Sheet sheet)
{
    guard("frmHygiene/fncDrucken", [&] {
        if (!requireSpan(dpVon, dpBis))
            return;
        if (m_edits.changed() && !fncSave())
            return;
        fDruck = HygieneRequest{sheet, dpVon->date(), dpBis->date(), txErstesEtikett->value()};
        unload();
    });
}

void frmHygiene::done(int result)
{
    if (fDruck || m_edits.mayLeave())
        Dialog::done(result);
}

std::optional<HygieneRequest> fncDlgHygiene()
{
    return launchDialog<frmHygiene>(
        "tlm/fncDlgHygiene", [](frmHygiene&) {}, [](frmHygiene& w) { return w.fDruck; });
}

void fncDruckHygiene(const HygieneRequest& r)
{
    switch (r.sheet) {
    case HygieneRequest::Proben:
        return fncDruckRueckstellproben(r.von, r.bis);
    case HygieneRequest::Etiketten:
        return fncDruckProbenEtiketten(r.von, r.bis, r.firstLabel);
    case HygieneRequest::Kuehlgeraete:
        return fncDruckKuehltemperaturen(r.von, r.bis);
    case HygieneRequest::Speisen:
        return fncDruckKerntemperaturen(r.von, r.bis);
    case HygieneRequest::Wareneingang:
        return fncDruckWareneingang(keptShoppingPlan(r.von, r.bis));
    case HygieneRequest::Reinigung:
        return fncDruckReinigungsplan(r.von, r.bis);
    case HygieneRequest::Belehrung:
        return fncDruckBelehrung(r.von, r.bis);
    }
}

} // namespace tlm
