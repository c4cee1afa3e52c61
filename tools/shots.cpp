// Pictures for the README: the windows on the sample data and one page of every report.
// Runs offscreen against a copy of the sample database: tlm_shots OUTDIR
#include "app/Application.h"
#include "app/DataGrid.h"
#include "app/Handbook.h"
#include "data/Connection.h"
#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/Globals.h"
#include "dishes/frmGerichtDet.h"
#include "dishes/frmRezDet.h"
#include "extras/frmAllergene.h"
#include "extras/frmEinkaufsplan.h"
#include "extras/frmErsatz.h"
#include "extras/frmHygiene.h"
#include "extras/frmVorrat.h"
#include "ingredients/frmZutatDet.h"
#include "ingredients/frmZutatList.h"
#include "kitchen/CampPlanning.h"
#include "kitchen/DietGroups.h"
#include "kitchen/EaterList.h"
#include "kitchen/Hygiene.h"
#include "kitchen/ShoppingPlan.h"
#include "plan/frmMain.h"
#include "plan/frmSpeiseplanDet.h"
#include "reports/AllergenReports.h"
#include "reports/Cookbook.h"
#include "reports/CostReport.h"
#include "reports/Einkaufsplan.h"
#include "reports/HygieneSheets.h"
#include "reports/MealPlanReport.h"
#include "reports/RecipeCards.h"
#include "reports/ReportPrinter.h"
#include "reports/Restbestand.h"
#include "reports/ShoppingList.h"
#include "reports/frmDlgDruck.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

using namespace tlm;

namespace {
QString g_out;

void save(QWidget* w, const QString& name)
{
    w->grab().save(QDir(g_out).filePath(name + ".png"));
}

// Grabs the next modal window once it is on top, then closes it.
void grabModal(const QString& name, std::function<void(QWidget*)> prepare = {})
{
    QTimer::singleShot(300, [name, prepare] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (prepare)
            prepare(w);
        QApplication::processEvents();
        save(w, name);
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
    });
}

// Several windows as they stand on the screen, one picture (the offscreen screen grabs one window).
void saveTogether(const QList<QWidget*>& windows, const QString& name)
{
    QRect all;
    for (const QWidget* w : windows)
        all |= w->frameGeometry();
    QPixmap picture(all.size() + QSize(16, 16));
    picture.fill(QColor(0x5a, 0x6e, 0x82));
    QPainter p(&picture);
    for (QWidget* w : windows)
        p.drawPixmap(w->geometry().topLeft() - all.topLeft() + QPoint(8, 8), w->grab());
    p.end();
    picture.save(QDir(g_out).filePath(name + ".png"));
}

void reportPage(const std::function<void()>& run, const QString& name)
{
    run();
    frmDlgDruck::shared()->vp->savePdf(QDir(g_out).filePath(name + ".pdf"));
}
} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true); // never the real user's settings
    QApplication app(argc, argv);
    setUpApplication(app);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_out);
    QTemporaryDir dir;
    createDatabase(QDir(dir.path()).filePath("tlm.mdb"), true);
    setApplicationDirectory(dir.path());

    frmMain w;
    grabModal("about");
    w.Form_Load();
    w.show();
    QApplication::processEvents();
    w.fncReq(103);
    QApplication::processEvents();
    save(&w, "main-window");

    grabModal("plan-entry");
    w.fncEdit();
    // F1 in the plan entry dialog: the handbook at the dialog's section, over it.
    setHandbookFolder(g_out);
    QTimer::singleShot(300, [] {
        QWidget* entry = QApplication::activeModalWidget();
        if (!entry)
            return;
        entry->move(40, 40);
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(entry->focusWidget() ? entry->focusWidget() : entry, &f1);
        if (auto* help = entry->findChild<QDialog*>(QStringLiteral("frmHandbuch"))) {
            help->resize(620, 520);
            help->move(entry->x() + entry->width() * 2 / 3, entry->y() + 60);
            QApplication::processEvents();
            saveTogether({entry, help}, QStringLiteral("help-plan-entry"));
            help->close();
        }
        static_cast<QDialog*>(entry)->reject();
    });
    w.fncEdit();
    // The handbook's first page, for the README.
    showHandbook();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("frmHandbuch") && top->isVisible()) {
            top->resize(720, 560);
            QApplication::processEvents();
            save(top, QStringLiteral("handbook"));
            top->close();
        }
    for (QWidget* child : w.findChildren<QDialog*>(QStringLiteral("frmHandbuch")))
        if (child->isVisible()) {
            child->resize(720, 560);
            QApplication::processEvents();
            save(child, QStringLiteral("handbook"));
            child->close();
        }
    // The windows the handbook shows besides those of the README.
    grabModal("dish-list");
    w.mnuGerichte->trigger();
    grabModal("recipe-line");
    fncDlgRezDet(0, 101);
    grabModal("ingredient-editor");
    fncDlgZutatDet(101);
    grabModal("extras-period");
    w.mnuWochenplan->trigger();
    grabModal("database-choice");
    w.mnuDatenbank->trigger();
    grabModal("dish-editor");
    fncDlgGerichtDet(101);
    grabModal("ingredient-list", [](QWidget* list) {
        if (auto* l = qobject_cast<frmZutatList*>(list))
            l->resize(640, 480);
    });
    w.mnuZutaten->trigger();

    reportPage([] { fncDruckSpeiseplan(); }, "report-meal-plan");
    reportPage([] { fncDruckEinkauf(1); }, "report-shopping-all");
    reportPage([] { fncDruckEinkauf(2); }, "report-shopping-keeps");
    reportPage([] { fncDruckEinkauf(3); }, "report-shopping-fresh");
    reportPage([] { fncDruckKochbuch(); }, "report-cookbook");
    // The tools under "Extras", and their reports on the sample plan.
    grabModal("extras-persons");
    w.mnuPersonen->trigger();
    grabModal("extras-copy-days");
    w.mnuTageKopieren->trigger();
    grabModal("extras-shopping-runs", [](QWidget* d) {
        if (auto* plan = qobject_cast<frmEinkaufsplan*>(d))
            plan->lsEinkaufstage->item(2)->setCheckState(Qt::Checked);
    });
    w.mnuEinkaufsplan->trigger();
    // Every third day over two weeks: the run of Sunday 26.07. is bought on the Saturday before.
    grabModal("extras-shopping-sunday", [](QWidget* d) {
        if (auto* plan = qobject_cast<frmEinkaufsplan*>(d)) {
            plan->dpBis->setDate(QDate(2026, 7, 31));
            plan->txAlleNTage->setText(QStringLiteral("3"));
            plan->sfAlleNTage->click();
            plan->lsEinkaufstage->scrollToItem(plan->lsEinkaufstage->item(7));
        }
    });
    w.mnuEinkaufsplan->trigger();
    grabModal("extras-costs");
    w.mnuKosten->trigger();
    const PlanSpan span = planSpan();
    reportPage(
        [&] {
            fncDruckEinkaufsplan({span.first, span.last, {span.first, span.first.addDays(2)}, true});
        },
        "report-shopping-runs");
    reportPage([&] { fncDruckKosten(span.first, span.last, 6.0); }, "report-costs");
    // Last camp's cocoa, spaghetti and passata in the storeroom.
    gConnection.exec("insert into VORRAT values (117, 500, ?), (126, 1000, ?), (138, 2000, ?)",
                     {span.first.addDays(-1), span.first.addDays(-1), span.first.addDays(-1)});
    grabModal("extras-stock", [](QWidget* d) {
        d->resize(680, 420);
        if (auto* stock = qobject_cast<frmVorrat*>(d))
            stock->txSuch->setText(QStringLiteral("k"));
    });
    w.mnuVorrat->trigger();
    const ShoppingPlan runs{span.first, span.last, {span.first, span.first.addDays(2)}, true};
    reportPage([&] { fncDruckEinkaufsplan(runs); }, "report-shopping-runs-stock");
    reportPage([&] { fncDruckRestbestand(runs); }, "report-rest");
    gConnection.exec("delete from VORRAT");
    reportPage([&] { fncDruckRezeptkarten(span.first, span.last); }, "report-recipe-cards");
    grabModal("extras-allergens", [](QWidget* d) { d->resize(900, 520); });
    w.mnuAllergene->trigger();
    reportPage([&] { fncDruckWochenplan(span.first, span.last); }, "report-week-plan");
    reportPage([&] { fncDruckAllergeneJeGericht(span.first, span.last); }, "report-allergens");

    // The hygiene paperwork: two fridges and a freezer, a team with one instruction missing, the
    // breakfast bread without a sample.
    saveCoolingDevices({{QStringLiteral("Kühlschrank Küche"), kFridge, 7},
                        {QStringLiteral("Kühlschrank Getränke"), kFridge, 7},
                        {QStringLiteral("Tiefkühltruhe"), kFreezer, -18}});
    saveCleaningAreas({{QStringLiteral("Arbeitsflächen"), CleaningArea::AfterMeals},
                       {QStringLiteral("Boden Küche"), CleaningArea::Daily},
                       {QStringLiteral("Kühlschränke"), CleaningArea::Weekly}});
    saveKitchenTeam({{QStringLiteral("Anna Berger"), QDate(2019, 3, 1), QDate(2025, 6, 1)},
                     {QStringLiteral("Ben Yilmaz"), {}, {}},
                     {QStringLiteral("Carla Novak"), QDate(2020, 1, 10), QDate(2023, 1, 15)}});
    gConnection.exec("insert into HYG_OHNEPROBE select GERNR from GERICHTE where GTYPNR = 6");
    grabModal("extras-hygiene", [](QWidget* d) {
        d->resize(760, 560);
        if (auto* h = qobject_cast<frmHygiene*>(d))
            h->tabHygiene->setCurrentIndex(4);
    });
    w.mnuHygiene->trigger();
    reportPage([&] { fncDruckRueckstellproben(span.first, span.last); }, "report-hygiene-samples");
    reportPage([&] { fncDruckProbenEtiketten(span.first, span.last, 5); }, "report-hygiene-labels");
    reportPage([&] { fncDruckKuehltemperaturen(span.first, span.last); }, "report-hygiene-temperatures");

    // Five vegetarians and one child without gluten: the groups and the check on the sample plan.
    saveDietGroup({0, QStringLiteral("Vegetarier"), 5, {}, {}, {15, 16}, {}});
    saveDietGroup({0, QStringLiteral("Glutenfrei"), 1, {}, {}, {1}, {}});
    grabModal("extras-groups");
    w.mnuGruppen->trigger();
    grabModal("extras-diet-check", [](QWidget* d) {
        if (auto* check = qobject_cast<frmErsatz*>(d)) {
            check->resize(760, 520);
            check->lsKonflikte->setCurrentRow(3);
        }
    });
    w.mnuErsatz->trigger();
    gConnection.exec("delete from GRUPPEN");

    // The eaters: 38 children at 0,75 and 6 leaders, a class for three days, a hungry day of arrival.
    EaterList eaters;
    eaters.bands = {{0, QStringLiteral("Kinder 8–12"), 0.75, 38, {}, {}},
                    {0, QStringLiteral("Betreuer"), 1.0, 6, {}, {}},
                    {0, QStringLiteral("Klasse 7b"), 1.2, 24, span.first.addDays(1), span.last}};
    eaters.appetite = {{0, QStringLiteral("Anreise"), 1.1, span.first, {}}};
    saveEaterList(eaters);
    grabModal("extras-eaters", [](QWidget* d) { d->resize(900, 480); });
    w.mnuEsser->trigger();
    saveEaterList({});

    // The preview at the size it first opens in.
    delete frmDlgDruck::shared();
    fncDruckEinkauf(1);
    QApplication::processEvents();
    save(frmDlgDruck::shared(), "preview");

    // A need with many digits in the narrow "Bedarf" column: printed smaller, never cut.
    gConnection.exec("insert into ZUTATEN values (9001, 'Apfelsaft', 1, 'L', 1.29, 0, 0)");
    gConnection.exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (9001, 2, 'Saftkur')");
    gConnection.exec("insert into REZEPTE values (9001, 9001, 9001, 5851.82625, 4)");
    gConnection.exec("insert into SPEISEPLAN values (9001, ?, 2, 2, 9001, 4, 0)", {span.first});
    reportPage([] { fncDruckEinkauf(1); }, "report-long-number");
    gConnection.close();
    // Two workstations on one server (TLM_SHOTS_SERVER, an empty database): an OK on an ingredient
    // that the other one changed meanwhile.
    const QString server = qEnvironmentVariable("TLM_SHOTS_SERVER");
    if (!server.isEmpty()) {
        copyWholeDatabase(QDir(dir.path()).filePath("tlm.mdb"), server);
        gConnection.open(server);
        Connection other;
        other.open(server);
        QTimer::singleShot(300, [&] {
            auto* editor = qobject_cast<frmZutatDet*>(QApplication::activeModalWidget());
            if (!editor)
                return;
            editor->txZUTAT->setText(QStringLiteral("Äpfel, rot"));
            other.exec(QStringLiteral("update ZUTATEN set ZUTAT = 'Äpfel (Boskop)' where ZUTNR = 101"));
            grabModal("conflict");
            editor->sfOK->click();
            QApplication::processEvents();
            save(editor, "conflict-editor");
            editor->reject();
        });
        fncDlgZutatDet(101);
        other.close();
        gConnection.close();
    }
    return 0;
}
