#include "extras/frmTageKopieren.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/PlanKeys.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QFrame>
#include <QPushButton>

namespace tlm {

frmTageKopieren::frmTageKopieren()
    : Dialog(QStringLiteral("frmTageKopieren"), QStringLiteral("Tage kopieren"), 5400, 2700)
{
    dpVon = makeDatePicker("dpVon");
    dpBis = makeDatePicker("dpBis");
    dpZiel = makeDatePicker("dpZiel");
    sfOK = makeOkButton();
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Von:"), dpVon);
    form->addRow(QStringLiteral("Bis:"), dpBis);
    form->addRow(QStringLiteral("Nach:"), dpZiel);
    layOutForm(form, makeLine("Line1"), {sfOK, sfAbbrechen});
    tabOrder({dpVon, dpBis, dpZiel, sfOK, sfAbbrechen});
    onOk(sfOK, "frmTageKopieren/sfOK_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmTageKopieren::Form_Load()
{
    guard("frmTageKopieren/Form_Load", [&] {
        const QDate day = fTag.isValid() ? fTag : QDate::currentDate();
        dpVon->setDate(day);
        dpBis->setDate(day);
        dpZiel->setDate(day.addDays(1));
    });
}

bool frmTageKopieren::fncSave()
{
    return guardOr("frmTageKopieren/fncSave", false, [&] {
        if (!requireSpan(
                dpVon, dpBis,
                QStringLiteral("Es können höchstens %1 Tage auf einmal kopiert werden.").arg(kLongestSpan)) ||
            !requireDate(dpZiel))
            return false;
        const QDate von = dpVon->date(), bis = dpBis->date(), ziel = dpZiel->date();
        if (ziel == von) {
            // Onto themselves the days would only be planned twice.
            warn(QStringLiteral("Bei „Nach:“ steht derselbe Tag wie bei „Von:“; bitte einen anderen Zieltag "
                                "wählen."));
            dpZiel->setFocus();
            return false;
        }
        const int entries = entriesBetween(von, bis);
        if (entries == 0) {
            warn(QStringLiteral("Im gewählten Zeitraum gibt es keinen Eintrag."));
            return false;
        }
        if (const QString full = planKeysRefusal(entries); !full.isEmpty()) {
            warn(full);
            return false;
        }
        const int there = entriesBetween(ziel, ziel.addDays(von.daysTo(bis)));
        if (there > 0 &&
            msgBox(there == 1
                       ? QStringLiteral("Auf den Zieltagen ist schon 1 Eintrag geplant. Trotzdem kopieren?")
                       : QStringLiteral("Auf den Zieltagen sind schon %1 Einträge geplant. Trotzdem "
                                        "kopieren?")
                             .arg(there),
                   36 + 256, QStringLiteral("Ihre Wahl ...")) != vbYes)
            return false;
        const CopyResult copied = copyDays(von, bis, ziel);
        fErsterKey = copied.firstKey;
        msgBox(copied.count == 1 ? QStringLiteral("1 Eintrag kopiert.")
                                 : QStringLiteral("%1 Einträge kopiert.").arg(copied.count));
        return true;
    });
}

qint32 fncDlgTageKopieren(const QDate& tag)
{
    return launchDialog<frmTageKopieren>(
        "tlm/fncDlgTageKopieren", [&](frmTageKopieren& w) { w.fTag = tag; },
        [](frmTageKopieren& w) { return w.fErsterKey; });
}

} // namespace tlm
