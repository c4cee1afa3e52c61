#include "app/DataGrid.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/FileWrite.h"
#include "data/Globals.h"
#include "data/Win1252.h"
#include "kitchen/Undo.h"
#include "plan/PlanFile.h"
#include "plan/frmMain.h"
#include "support/Fixture.h"
#include "support/Modal.h"
#include "support/PlanData.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <unistd.h>

using namespace tlm;
using tlmtest::Modal;

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class PlanFileTest : public tlmtest::DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec(tlmtest::kDishes);
        exec("insert into GERICHTE (GERNR, GTYPNR, GERICHT) values (106, 2, 'Wurst|Brot')");
    }
    QString file(const char* name) const { return QDir(dir()).filePath(QString::fromLatin1(name)); }
    QStringList plan()
    {
        return rows("select KEY,TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by KEY");
    }
    void save(const QString& path, Modal& modal)
    {
        modal.file(path).box(QMessageBox::Ok);
        w.mnuSave->trigger();
    }
    void load(const QString& path, Modal& modal)
    {
        modal.file(path);
        w.mnuLoad->trigger();
    }
    frmMain w;
};

TEST_F(PlanFileTest, ExportIsByteExactInWindows1252WithCrLf)
{
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 1, 105, 12, 0), (2, '2010-07-24', 1, 2, 101, 8, "
         "-1),"
         " (3, '2010-07-25', 3, 2, 999, 4, 0), (4, '2010-07-24', 2, 2, 106, 3, 0)");
    w.setWindowTitle(gAppTitle);
    Modal modal;
    const QString path = file("plan.tlm");
    save(path, modal);
    const QByteArray expected =
        toWin1252(QStringLiteral("24.07.2010|1|Früh|2|Hauptgericht|101|Gemüsesuppe|8|Wahr|\r\n"
                                 "24.07.2010|2|Mittag|1|Suppe|105|Kartoffelsuppe|12|Falsch|\r\n"
                                 "24.07.2010|2|Mittag|2|Hauptgericht|106|Wurst¦Brot|3|Falsch|\r\n"
                                 "25.07.2010|3|Abend|2|Hauptgericht|999||4|Falsch|\r\n"));
    EXPECT_EQ(readAll(path), expected);
    EXPECT_TRUE(readAll(path).contains("Gem\xFCsesuppe"));
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_EQ(modal.boxes()[0].text, "Speichern nach '" + path + "' fertiggestellt!");
    EXPECT_EQ(modal.boxes()[0].icon, int(QMessageBox::NoIcon));
    EXPECT_EQ(w.windowTitle(), "Fennor Tellomat V1.01  " + path);
    EXPECT_EQ(w.fFileName, path);

    // A name without extension gets ".tlm".
    save(file("ohne"), modal);
    EXPECT_EQ(readAll(file("ohne.tlm")), expected);
}

TEST_F(PlanFileTest, EmptyPlanGivesAnEmptyFileAndCancelChangesNothing)
{
    Modal modal;
    const QString path = file("leer.tlm");
    writeAll(path, "alter Inhalt\r\n");
    modal.file(path).box(QMessageBox::Yes).box(QMessageBox::Ok); // replacing the old file, as asked
    w.mnuSave->trigger();
    EXPECT_EQ(readAll(path), QByteArray());
    EXPECT_EQ(modal.boxes().size(), 2u);
    const QString title = w.windowTitle();
    exec("insert into SPEISEPLAN values (1, '2010-07-24', 2, 1, 105, 12, 0)");
    modal.file(QString());
    w.mnuSave->trigger();
    modal.file(QString());
    w.mnuLoad->trigger();
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(readAll(path), QByteArray());
    EXPECT_EQ(plan().size(), 1);
    EXPECT_EQ(modal.boxes().size(), 2u);
    EXPECT_EQ(modal.unexpected(), 0);

    // An existing empty file empties the plan.
    load(path, modal);
    EXPECT_TRUE(plan().isEmpty());
    EXPECT_EQ(w.windowTitle(), "Fennor Tellomat V1.01  " + path);
}

TEST_F(PlanFileTest, RoundTripRenumbersTheKeys)
{
    exec("insert into SPEISEPLAN values (250, '2010-07-24', 2, 1, 105, 12, 0), (17, '2010-07-23', 1, 2, 101, "
         "8, -1),"
         " (99, '2010-07-24', 3, 7, 102, 25, -1)");
    Modal modal;
    const QString path = file("rund.tlm");
    save(path, modal);
    const QStringList before = rows(
        "select TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by TAG,TAGZEITNR,GTYPNR");
    modal.box(QMessageBox::Yes);
    w.mnuDelAll->trigger();
    EXPECT_TRUE(plan().isEmpty());
    load(path, modal);
    EXPECT_EQ(plan(), (QStringList{"1|23.07.2010|1|2|101|8|Wahr", "2|24.07.2010|2|1|105|12|Falsch",
                                   "3|24.07.2010|3|7|102|25|Wahr"}));
    EXPECT_EQ(rows("select TAG,TAGZEITNR,GTYPNR,GERNR,PERSONEN,NODRUCK from SPEISEPLAN order by "
                   "TAG,TAGZEITNR,GTYPNR"),
              before);
    EXPECT_EQ(w.gd1->model()->rowCount(), 3); // the grid was reloaded after the import
}

TEST_F(PlanFileTest, TheDatabaseBeforeTheLastImportIsKeptBeside)
{
    exec("insert into SPEISEPLAN values (7, '2010-07-24', 2, 1, 105, 12, 0)");
    const QString path = file("zwei.tlm");
    writeAll(path, "01.07.2010|1|x|2|y|101|z|4|Falsch|\r\n02.07.2010|1|x|2|y|102|z|5|Falsch|\r\n");
    const QString copy = dbPath() + ".vor-import";
    auto planIn = [](const QString& db) {
        Connection c;
        c.open(db);
        RecordsetPtr rs = c.execute("select group_concat(KEY || '/' || PERSONEN) from SPEISEPLAN");
        const QString plan = rs->value(0, 0).toString();
        c.close();
        return plan;
    };
    Modal modal;
    load(path, modal);
    EXPECT_EQ(plan().size(), 2);
    EXPECT_EQ(planIn(copy), QStringLiteral("7/12"));
    exec("update SPEISEPLAN set PERSONEN = 30 where KEY = 1");
    load(path, modal); // the copy is the last one only
    EXPECT_EQ(planIn(copy), QStringLiteral("1/30,2/5"));
    EXPECT_EQ(QDir(dir()).entryList({"tlm.mdb*"}), (QStringList{"tlm.mdb", "tlm.mdb.vor-import"}));
    // A faulty file changes nothing and keeps the copy as it was.
    writeAll(path, "kaputt\r\n");
    modal.file(path).box(QMessageBox::Ok);
    w.mnuLoad->trigger();
    EXPECT_EQ(planIn(copy), QStringLiteral("1/30,2/5"));
}

TEST_F(PlanFileTest, OnlyWahrIsTrueAndThreeLinesReplaceAnyPlan)
{
    for (int k = 1; k <= 40; ++k)
        exec(QStringLiteral("insert into SPEISEPLAN values (%1, '2010-08-01', 2, 2, 101, 4, 0)").arg(k));
    const QString path = file("drei.tlm");
    writeAll(path, "01.07.2010|1|x|2|y|101|z|4|wahr|\r\n"
                   "02.07.2010|2|x|2|y|102|z|5|True|\r\n"
                   "03.07.2010|3|x|2|y|105|z|6|-1|\n");
    {
        // A step kept before the load would put the replaced rows back over the loaded plan.
        Transaction t(gConnection);
        UndoStep step(QStringLiteral("Personen ändern"));
        step.keepRows(QStringLiteral("1 = 1"));
        step.finish();
        t.commit();
    }
    ASSERT_TRUE(lastUndo());
    Modal modal;
    load(path, modal);
    EXPECT_FALSE(lastUndo());
    EXPECT_EQ(plan(), (QStringList{"1|01.07.2010|1|2|101|4|Falsch", "2|02.07.2010|2|2|102|5|Falsch",
                                   "3|03.07.2010|3|2|105|6|Falsch"}));
    EXPECT_TRUE(modal.boxes().empty());
}

TEST_F(PlanFileTest, AFaultyLineChangesNothingAndNamesItsLine)
{
    exec("insert into SPEISEPLAN values (5, '2010-07-24', 2, 1, 105, 12, 0)");
    const QStringList before = plan();
    const QByteArray good = "01.07.2010|1|x|2|y|101|z|4|Falsch|\r\n";
    struct Case
    {
        QByteArray bytes;
        QString error;
    };
    const Case cases[] = {
        {good + "02.07.2010|1|x|2|y|101|z\r\n", "9/Index außerhalb des gültigen Bereichs (Zeile 2)"},
        {good + good + "\r\n" + good, "13/Typen unverträglich (Zeile 3)"},
        {good + "02.07.2010|eins|x|2|y|101|z|4|Falsch|\r\n", "13/Typen unverträglich (Zeile 2)"},
        {good + good + good + good + "31.02.2010|1|x|2|y|101|z|4|Falsch|\r\n",
         "13/Typen unverträglich (Zeile 5)"},
        {"01.07.2010|1|x|2|y|101|z|99999999999|Falsch|\r\n", "6/Überlauf (Zeile 1)"},
        {"01.07.2010|1|x|2|y||z|4|Falsch|\r\n", "13/Typen unverträglich (Zeile 1)"},
        {good + "01.07.2010|1|x|2|y|101|z|40000|Falsch|\r\n", "6/Überlauf (Zeile 2)"},
        // Numbered from 1, entries beyond 32767 could not be opened.
        {good.repeated(32768),
         "3001/Die Datei hat 32768 Einträge, der Speiseplan fasst höchstens 32767; nichts geändert."},
    };
    const QString path = file("kaputt.tlm");
    for (const Case& c : cases) {
        writeAll(path, c.bytes);
        const QString title = w.windowTitle();
        Modal modal;
        modal.file(path).box(QMessageBox::Ok);
        w.mnuLoad->trigger();
        ASSERT_EQ(modal.boxes().size(), 1u);
        EXPECT_EQ(modal.boxes()[0].text,
                  "Die angeforderte Funktion kann nicht ausgeführt werden:\nModul: frmMain/fncLoad," +
                      c.error);
        EXPECT_EQ(plan(), before);
        EXPECT_EQ(w.windowTitle(), title);
    }
}

TEST_F(PlanFileTest, MissingFileAndUnwritableTargets)
{
    exec("insert into SPEISEPLAN values (5, '2010-07-24', 2, 1, 105, 12, 0)");
    const QString path = file("weg.tlm");
    writeAll(path, "x");
    Modal modal;
    // The file is there when chosen and gone when it is read.
    modal.then([&](QWidget* wd) {
        auto* d = qobject_cast<QFileDialog*>(wd);
        ASSERT_TRUE(d);
        Modal::typeFileName(d, path);
        Modal::acceptButton(d)->click();
        EXPECT_FALSE(d->isVisible());
        QFile::remove(path);
    });
    modal.box(QMessageBox::Ok);
    w.mnuLoad->trigger();
    ASSERT_EQ(modal.boxes().size(), 1u);
    EXPECT_EQ(modal.boxes()[0].text, "Datei '" + path + "' nicht gefunden!");
    EXPECT_EQ(modal.boxes()[0].title, QStringLiteral("Achtung"));
    EXPECT_EQ(plan().size(), 1);

    // The open dialog itself refuses a name that does not exist: it cannot be accepted.
    modal.then([&](QWidget* wd) {
        auto* d = qobject_cast<QFileDialog*>(wd);
        ASSERT_TRUE(d);
        Modal::typeFileName(d, file("gibtsnicht.tlm"));
        EXPECT_FALSE(Modal::acceptButton(d)->isEnabled());
        d->reject();
    });
    w.mnuLoad->trigger();
    EXPECT_EQ(modal.boxes().size(), 1u);
    EXPECT_EQ(modal.unexpected(), 0);
    EXPECT_EQ(plan().size(), 1);

    // A target that cannot be written fails before anything is written and keeps the old file.
    EXPECT_THROW(writeFileAtomically(file("kein/ordner.tlm"), "x"), Error);
    EXPECT_FALSE(QFile::exists(file("kein/ordner.tlm")));
    // In a folder that takes no new file, a writable file is written in place; a read-only one and a
    // new name are refused.
    const QString ro = file("ro");
    QDir().mkdir(ro);
    writeAll(ro + "/alt.tlm", "alt");
    writeAll(ro + "/fest.tlm", "fest");
    if (tlmtest::makeReadOnly(ro + "/fest.tlm") && tlmtest::makeReadOnly(ro)) {
        modal.file(ro + "/alt.tlm").box(QMessageBox::Yes).box(QMessageBox::Ok);
        w.mnuSave->trigger();
        EXPECT_EQ(modal.boxes().back().text, "Speichern nach '" + ro + "/alt.tlm' fertiggestellt!");
        EXPECT_EQ(splitPlanText(readAll(ro + "/alt.tlm")).size(), 1);
        for (const char* name : {"/fest.tlm", "/neu.tlm"}) {
            if (QFile::exists(ro + name))
                modal.file(ro + name).box(QMessageBox::Yes).box(QMessageBox::Ok);
            else
                modal.file(ro + name).box(QMessageBox::Ok);
            w.mnuSave->trigger();
            EXPECT_TRUE(modal.boxes().back().text.contains("frmMain/fncSave,75/")) << name;
        }
        tlmtest::restoreWritable(ro);
        tlmtest::restoreWritable(ro + "/fest.tlm");
        EXPECT_EQ(readAll(ro + "/fest.tlm"), QByteArray("fest"));
        EXPECT_EQ(QDir(ro).entryList(QDir::Files), (QStringList{"alt.tlm", "fest.tlm"}));
    }
}

TEST(PlanLine, FormatAndParse)
{
    EXPECT_EQ(planLine({QDate(2010, 7, 24), 2, QStringLiteral("Mittag"), 1, QStringLiteral("a|b"), 105,
                        QVariant(), 12, false}),
              QStringLiteral("24.07.2010|2|Mittag|1|a¦b|105||12|Falsch|"));
    const PlanEntry e = parsePlanLine(QStringLiteral("24.07.2010|2|Mittag|1|Suppe|105|Gemüse|12|Wahr|"));
    EXPECT_EQ(e.tag, QDate(2010, 7, 24));
    EXPECT_EQ(e.tagZeitNr, 2);
    EXPECT_EQ(e.gTypNr, 1);
    EXPECT_EQ(e.gerNr, 105);
    EXPECT_EQ(e.personen, 12);
    EXPECT_TRUE(e.noDruck);
    // Nine fields without the last "|" still read.
    EXPECT_FALSE(parsePlanLine(QStringLiteral("24.07.2010|2|a|1|b|105|c|12|Falsch")).noDruck);
    EXPECT_EQ(splitPlanText("a\r\nb\r\n"), (QStringList{"a", "b"}));
    EXPECT_EQ(splitPlanText("a\r\n\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(splitPlanText("").isEmpty());
    EXPECT_EQ(joinPlanLines({QStringLiteral("ä|")}), QByteArray("\xE4|\r\n"));
}
