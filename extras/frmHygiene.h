#pragma once

#include "app/Dialog.h"
#include "app/PendingEdits.h"
#include "kitchen/Hygiene.h"

#include <optional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace tlm {

// What "Hygiene" prints once it has closed: which sheet, over which days, from which label on.
struct HygieneRequest
{
    enum Sheet { Proben, Etiketten, Kuehlgeraete, Speisen, Wareneingang, Reinigung, Belehrung };
    Sheet sheet = Proben;
    QDate von;
    QDate bis;
    int firstLabel = 1;
};

// "Hygiene": the kitchen's lists for its hygiene paperwork (dishes without a retained sample,
// cooling devices, areas to clean, the team and their instructions) in tabs, and the sheets to print.
class frmHygiene : public Dialog
{
    Q_OBJECT
public:
    frmHygiene();

    void Form_Load();
    // The lists and numbers as stored, and the span's dishes.
    void fncReq();
    // The dishes planned von..bis, checked when a sample of them is kept.
    void fncReqGerichte();
    // Writes every list and number when they are sound; false (and the user told why) otherwise.
    bool fncSave();
    // The team's missing or old instructions below its list.
    void fncShowWarnungen();
    // A sheet's button: saves, closes and leaves the sheet to print.
    void fncDrucken(HygieneRequest::Sheet sheet);
    // Closing asks first when something was changed and not saved.
    void done(int result) override;

    std::optional<HygieneRequest> fDruck;

    QDateEdit* dpVon;
    QDateEdit* dpBis;
    QTabWidget* tabHygiene;
    QListWidget* lsProben;
    QSpinBox* txAufbewahrung;
    QSpinBox* txErstesEtikett;
    QPushButton* sfProbenliste;
    QPushButton* sfEtiketten;
    QTableWidget* gdGeraete;
    QPushButton* sfGeraetNeu;
    QPushButton* sfGeraetLoeschen;
    QLineEdit* txKerntemperatur;
    QListWidget* lsWarm;
    QPushButton* sfKuehlgeraete;
    QPushButton* sfSpeisen;
    QLabel* lbEinkaeufe;
    QPushButton* sfWareneingang;
    QTableWidget* gdBereiche;
    QPushButton* sfBereichNeu;
    QPushButton* sfBereichLoeschen;
    QPushButton* sfReinigungsplan;
    QTableWidget* gdTeam;
    QPushButton* sfTeamNeu;
    QPushButton* sfTeamLoeschen;
    QSpinBox* txWiederholung;
    QLabel* lbWarnungen;
    QPushButton* sfBelehrung;
    QPushButton* sfSpeichern;
    QPushButton* sfSchliessen;

private:
    // Everything the user can change, as texts: what PendingEdits compares.
    QStringList fields() const;
    void addDevice(const CoolingDevice& d);
    void addArea(const CleaningArea& a);
    void addMember(const TeamMember& m);
    QVector<TeamMember> shownTeam(bool* sound) const;

    PendingEdits m_edits;
};

// Opens "Hygiene"; the sheet to print, none when closed without.
std::optional<HygieneRequest> fncDlgHygiene();
// Prints the sheet asked for in the shared preview.
void fncDruckHygiene(const HygieneRequest& request);

} // namespace tlm
