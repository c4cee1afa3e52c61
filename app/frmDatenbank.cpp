#include "app/frmDatenbank.h"

#include "app/DatabaseLock.h"
#include "app/ErrorReporter.h"
#include "app/FileDialogs.h"
#include "app/Launcher.h"
#include "app/MessageBox.h"
#include "app/ReadOnlyNotice.h"
#include "data/Connection.h"
#include "data/Globals.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tlm {

frmDatenbank::frmDatenbank()
    : Dialog(QStringLiteral("frmDatenbank"), QStringLiteral("Datenbank wählen"), 7200, 3000)
{
    rbDatei = make<QRadioButton>("rbDatei", QStringLiteral("&Datei:"));
    txDatei = make<QLineEdit>("txDatei");
    sfDatei = makeButton("sfDatei", QStringLiteral("…"));
    rbServer = make<QRadioButton>("rbServer", QStringLiteral("&Server:"));
    txServer = make<QLineEdit>("txServer");
    txServer->setPlaceholderText(QStringLiteral("postgresql://benutzer@server:5432/datenbank"));
    lbHinweis = make<QLabel>("lbHinweis", QStringLiteral("Das Passwort des Servers steht in ~/.pgpass oder "
                                                         "PGPASSWORD, nie in der Adresse."));
    lbHinweis->setWordWrap(true);
    sfOK = makeOkButton();
    sfAbbrechen = makeButton("sfAbbrechen", QStringLiteral("Abbrechen"));
    auto* grid = new QGridLayout;
    grid->addWidget(rbDatei, 0, 0);
    grid->addWidget(txDatei, 0, 1);
    grid->addWidget(sfDatei, 0, 2);
    grid->addWidget(rbServer, 1, 0);
    grid->addWidget(txServer, 1, 1, 1, 2);
    grid->addWidget(lbHinweis, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    layOutForm(grid, makeLine("Line1"), {sfOK, sfAbbrechen});
    tabOrder({rbDatei, txDatei, sfDatei, rbServer, txServer, sfOK, sfAbbrechen});
    // Typing into a line chooses it.
    connect(txDatei, &QLineEdit::textEdited, rbDatei, [this] { rbDatei->setChecked(true); });
    connect(txServer, &QLineEdit::textEdited, rbServer, [this] { rbServer->setChecked(true); });
    connect(sfDatei, &QPushButton::clicked, this, [this] {
        guard("frmDatenbank/sfDatei_Click", [&] {
            const QFileInfo now(txDatei->text());
            const QString path =
                fncFileOpen(this, now.absolutePath(), now.fileName(),
                            QStringLiteral("Datenbank (*.mdb)|*.mdb"), QStringLiteral("mdb"));
            if (!path.isEmpty()) {
                txDatei->setText(path);
                rbDatei->setChecked(true);
            }
        });
    });
    onOk(sfOK, "frmDatenbank/sfOK_Click", [this] { return fncSave(); });
    connect(sfAbbrechen, &QPushButton::clicked, this, [this] { unload(); });
}

void frmDatenbank::Form_Load()
{
    const QString now = databasePath();
    const bool server = isServerLocation(now);
    (server ? rbServer : rbDatei)->setChecked(true);
    (server ? txServer : txDatei)->setText(now);
}

namespace {
// The program's database becomes the one at location; when it cannot be opened, the one before stays.
void openInstead(const QString& location)
{
    // Tried on a connection of its own first: a refusal leaves the open database as it is.
    {
        Connection probe;
        probe.open(location);
    }
    const QString before = gConnection.path();
    if (gConnection.isOpen())
        gConnection.close();
    try {
        gConnection.open(location);
    } catch (...) {
        gConnection.open(before);
        throw;
    }
}
} // namespace

bool frmDatenbank::fncSave()
{
    return guardOr("frmDatenbank/fncSave", false, [&] {
        const bool server = rbServer->isChecked();
        const QString typed = (server ? txServer : txDatei)->text().trimmed();
        // A file named without its folder is kept with it: the next start may run in another folder.
        const QString location = server || typed.isEmpty() ? typed : QFileInfo(typed).absoluteFilePath();
        if (server && !isServerLocation(location)) {
            warn(QStringLiteral("Bitte die Adresse des Servers so eingeben: "
                                "postgresql://benutzer@server:5432/datenbank"));
            txServer->setFocus();
            return false;
        }
        if (!server && !QFileInfo(location).isFile()) {
            warn(QStringLiteral("Die Datei '%1' gibt es nicht.").arg(typed));
            txDatei->setFocus();
            return false;
        }
        if (location == gConnection.path())
            return true;
        // A file another program works on is not taken: the lock goes with the database worked on.
        DatabaseLock* lock = DatabaseLock::current();
        if (lock && lock->lock(location) != InstanceGuard::First) {
            warn(lock->refusal());
            return false;
        }
        try {
            openInstead(location);
        } catch (...) {
            if (lock)
                lock->dropLast();
            throw;
        }
        if (lock)
            lock->keepLast();
        storeDatabaseChoice(location);
        fGewechselt = true;
        tellWhenReadOnly(location);
        return true;
    });
}

bool fncDlgDatenbank()
{
    return launchDialog<frmDatenbank>(
        "tlm/fncDlgDatenbank", [](frmDatenbank&) {}, [](frmDatenbank& w) { return w.fGewechselt; });
}

} // namespace tlm
