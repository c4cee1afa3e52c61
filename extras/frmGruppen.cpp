#include "extras/frmGruppen.h"

#include "app/DataCombo.h"
#include "app/DataProcedures.h"
#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/DietGroups.h"
#include "kitchen/DishMarks.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

namespace {
// An empty box is no day (the whole plan); otherwise a date the user must have typed right.
bool readDay(QLineEdit* box, const QString& label, QDate* day)
{
    const QString text = box->text().trimmed();
    *day = text.isEmpty() ? QDate() : parseDate(text);
    if (!text.isEmpty() && !day->isValid()) {
        warn("Bitte bei „" + label + "“ ein Datum wie 21.07.2026 eingeben oder das Feld leer lassen.");
        box->setFocus();
        return false;
    }
    return true;
}
} // namespace

frmGruppen::frmGruppen()
    : Dialog(QStringLiteral("frmGruppen"), QStringLiteral("Gruppen"), 8400, 6600),
      m_edits("frmGruppen/fncSave",
              {[this] {
                   QStringList texts{txGruppe->text().trimmed(), txPersonen->text().trimmed(),
                                     txVon->text().trimmed(), txBis->text().trimmed(), ddEsser->value()};
                   for (int i = 0; i < lsMeiden->count(); ++i)
                       if (lsMeiden->item(i)->checkState() == Qt::Checked)
                           texts << lsMeiden->item(i)->data(Qt::UserRole).toString();
                   for (int i = 0; i < lsSpuren->count(); ++i)
                       if (lsSpuren->item(i)->checkState() == Qt::Checked)
                           texts << 'S' + lsSpuren->item(i)->data(Qt::UserRole).toString();
                   return texts;
               },
               [this] {
                   const QString name = txGruppe->text().trimmed();
                   return fGruppeNr != 0 ? "Die Änderungen an der Gruppe „" + m_shownName + "“ speichern?"
                          : name.isEmpty() ? QStringLiteral("Die neue Gruppe speichern?")
                                           : "Die neue Gruppe „" + name + "“ speichern?";
               },
               [this] { return fncSave(); }})
{
    lsGruppen = make<QListWidget>("lsGruppen");
    txGruppe = make<QLineEdit>("txGruppe");
    txGruppe->setMaxLength(50);
    txPersonen = make<QLineEdit>("txPersonen");
    txPersonen->setMaxLength(5);
    txVon = make<QLineEdit>("txVon");
    txVon->setPlaceholderText(QStringLiteral("ganzer Plan"));
    txBis = make<QLineEdit>("txBis");
    txBis->setPlaceholderText(QStringLiteral("ganzer Plan"));
    lsMeiden = make<QListWidget>("lsMeiden");
    ddEsser = make<DataCombo>("ddEsser");
    lsSpuren = make<QListWidget>("lsSpuren");
    sfNeu = makeButton("sfNeu", QStringLiteral("Neu"));
    sfLoeschen = makeButton("sfLoeschen", QStringLiteral("Löschen"));
    sfSpeichern = makeButton("sfSpeichern", QStringLiteral("Speichern"));
    sfSpeichern->setDefault(true);
    sfSchliessen = makeButton("sfSchliessen", QStringLiteral("Schließen"));

    auto* left = new QVBoxLayout;
    left->addWidget(lsGruppen, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(sfNeu);
    listButtons->addWidget(sfLoeschen);
    left->addLayout(listButtons);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), txGruppe);
    form->addRow(QStringLiteral("Personen:"), txPersonen);
    form->addRow(QStringLiteral("Von:"), txVon);
    form->addRow(QStringLiteral("Bis:"), txBis);
    form->addRow(QStringLiteral("Meidet:"), lsMeiden);
    form->addRow(QStringLiteral("Esser:"), ddEsser);
    form->addRow(QStringLiteral("Auch Spuren:"), lsSpuren);
    auto* fields = new QHBoxLayout;
    fields->addLayout(left, 2);
    fields->addLayout(form, 3);
    layOutForm(fields, makeLine("Line1"), {sfSpeichern, sfSchliessen}, nullptr, 1);
    tabOrder({lsGruppen, sfNeu, sfLoeschen, txGruppe, txPersonen, txVon, txBis, lsMeiden, lsSpuren, ddEsser,
              sfSpeichern, sfSchliessen});

    connect(lsGruppen, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item, QListWidgetItem* previous) {
                guard("frmGruppen/lsGruppen_Click", [&] {
                    if (!item)
                        return;
                    const int nr = item->data(Qt::UserRole).toInt();
                    if (!m_edits.changed()) {
                        for (const DietGroup& g : dietGroups())
                            if (g.nr == nr)
                                fncShow(g);
                        return;
                    }
                    // The list keeps the group being edited until the user has answered.
                    {
                        const QSignalBlocker block(lsGruppen);
                        lsGruppen->setCurrentItem(previous);
                    }
                    m_edits.leaveLater(this, [this, nr] { fncReq(nr); });
                });
            });
    connect(sfNeu, &QPushButton::clicked, this, [this] { sfNeu_Click(); });
    connect(sfLoeschen, &QPushButton::clicked, this, [this] { sfLoeschen_Click(); });
    connect(sfSpeichern, &QPushButton::clicked, this, [this] { fncSave(); });
    connect(sfSchliessen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmGruppen::Form_Load()
{
    guard("frmGruppen/Form_Load", [&] {
        RecordsetPtr rs =
            gConnection.execute(QStringLiteral("select ALLNR, KURZ, ALLERGEN from ALLERGENE order by ALLNR"));
        for (int r = 0; r < rs->rowCount(); ++r) {
            const int nr = rs->value(r, 0).toInt();
            const QString name = rs->value(r, 2).toString();
            auto* item =
                new QListWidgetItem(nr <= 14 ? rs->value(r, 1).toString() + ' ' + name : name, lsMeiden);
            item->setData(Qt::UserRole, nr);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            if (nr > kLastAllergen)
                continue;
            auto* trace = new QListWidgetItem(item->text(), lsSpuren);
            trace->setData(Qt::UserRole, nr);
            trace->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            trace->setCheckState(Qt::Unchecked);
        }
        // The band whose factor the group's portions take ("Esser…").
        fncDDFillbySQL(*ddEsser, QStringLiteral("select ESSERNR, ESSER from ESSER order by ESSER"),
                       QStringLiteral("0"), QStringLiteral("0,(keine)"), false);
        fncReq(0);
    });
}

void frmGruppen::fncReq(int nr)
{
    const QSignalBlocker block(lsGruppen);
    lsGruppen->clear();
    const QVector<DietGroup> groups = dietGroups();
    const DietGroup* shown = nullptr;
    for (const DietGroup& g : groups) {
        auto* item = new QListWidgetItem(g.name + " (" + QString::number(g.persons) + ")", lsGruppen);
        item->setData(Qt::UserRole, g.nr);
        if (g.nr == nr || (!shown && nr == 0)) {
            shown = &g;
            lsGruppen->setCurrentItem(item);
        }
    }
    if (shown)
        fncShow(*shown);
    else
        fncShow(DietGroup{});
}

void frmGruppen::fncShow(const DietGroup& group)
{
    fGruppeNr = group.nr;
    txGruppe->setText(group.name);
    txPersonen->setText(group.nr ? QString::number(group.persons) : QString());
    txVon->setText(group.von.isValid() ? shortDate(group.von) : QString());
    txBis->setText(group.bis.isValid() ? shortDate(group.bis) : QString());
    for (int i = 0; i < lsMeiden->count(); ++i) {
        QListWidgetItem* item = lsMeiden->item(i);
        item->setCheckState(group.avoided.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked
                                                                                     : Qt::Unchecked);
    }
    ddEsser->setValue(QString::number(group.esserNr));
    for (int i = 0; i < lsSpuren->count(); ++i) {
        QListWidgetItem* item = lsSpuren->item(i);
        item->setCheckState(group.traces.contains(item->data(Qt::UserRole).toInt()) ? Qt::Checked
                                                                                    : Qt::Unchecked);
    }
    sfLoeschen->setEnabled(group.nr != 0);
    m_shownName = group.name;
    m_edits.shown();
}

void frmGruppen::done(int result)
{
    if (m_edits.mayLeave())
        Dialog::done(result);
}

void frmGruppen::sfNeu_Click()
{
    guard("frmGruppen/sfNeu_Click", [&] {
        if (!m_edits.mayLeave())
            return;
        const QSignalBlocker block(lsGruppen);
        lsGruppen->setCurrentItem(nullptr);
        fncShow(DietGroup{});
        txGruppe->setFocus();
    });
}

bool frmGruppen::fncSave()
{
    return guardOr("frmGruppen/fncSave", false, [&] {
        DietGroup g;
        g.nr = fGruppeNr;
        g.name = txGruppe->text().trimmed();
        if (g.name.isEmpty()) {
            warn(QStringLiteral("Bitte einen Namen für die Gruppe eingeben."));
            txGruppe->setFocus();
            return false;
        }
        for (const DietGroup& other : dietGroups())
            if (other.nr != g.nr && other.name.compare(g.name, Qt::CaseInsensitive) == 0) {
                warn("Eine Gruppe „" + g.name + "“ gibt es schon.");
                txGruppe->setFocus();
                return false;
            }
        bool whole = false;
        g.persons = txPersonen->text().trimmed().toInt(&whole);
        if (!whole || g.persons < 0 || g.persons > 32767) {
            warn(QStringLiteral("Bitte eine ganze Zahl von 0 bis 32767 Personen eingeben."));
            txPersonen->setFocus();
            return false;
        }
        if (!readDay(txVon, QStringLiteral("Von:"), &g.von) ||
            !readDay(txBis, QStringLiteral("Bis:"), &g.bis))
            return false;
        if (g.von.isValid() && g.bis.isValid() && g.bis < g.von) {
            warn(QStringLiteral("Das Datum bei „Bis:“ liegt vor dem bei „Von:“."));
            return false;
        }
        for (int i = 0; i < lsMeiden->count(); ++i)
            if (lsMeiden->item(i)->checkState() == Qt::Checked)
                g.avoided << lsMeiden->item(i)->data(Qt::UserRole).toInt();
        g.esserNr = ddEsser->value().toInt();
        for (int i = 0; i < lsSpuren->count(); ++i)
            if (lsSpuren->item(i)->checkState() == Qt::Checked)
                g.traces << lsSpuren->item(i)->data(Qt::UserRole).toInt();
        fncReq(saveDietGroup(g));
        return true;
    });
}

void frmGruppen::sfLoeschen_Click()
{
    guard("frmGruppen/sfLoeschen_Click", [&] {
        if (fGruppeNr == 0 || !confirmDelete())
            return;
        deleteDietGroup(fGruppeNr);
        fncReq(0);
    });
}

void fncDlgGruppen()
{
    launchDialog<frmGruppen>(
        "tlm/fncDlgGruppen", [](frmGruppen&) {}, [](frmGruppen&) { return 0; });
}

} // namespace tlm
