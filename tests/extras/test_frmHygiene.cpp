// "Hygiene…": the kitchen's lists kept, the warning about instructions, the sheets printed.
#include "extras/frmHygiene.h"
#include "support/Modal.h"
#include "support/ReportCheck.h"
#include "support/SampleCamps.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace tlm;
using tlmtest::Modal;
using tlmtest::vp;

TEST_F(HygieneTest, TheWindowWarnsKeepsItsListsAndPrintsTheLabelsFromTheChosenOne)
{
    Modal modal;
    modal.on<frmHygiene>([this](frmHygiene& w) {
        EXPECT_EQ(w.dpVon->date(), QDate(2026, 7, 20));
        // Ben has no first instruction, Carla's last is older than two years at the camp's end.
        EXPECT_TRUE(
            w.lbWarnungen->text().contains("Ben: keine Erstbelehrung durch das Gesundheitsamt eingetragen"));
        EXPECT_TRUE(w.lbWarnungen->text().contains("Carla: letzte Belehrung am 15.01.2024"));
        w.gdTeam->item(1, 1)->setText("02.05.2026");
        w.gdTeam->item(2, 2)->setText("01.07.2026");
        EXPECT_TRUE(w.lbWarnungen->text().startsWith("Alle Belehrungen"));
        // The dishes of the span, bread without a sample; fruit salad joins it.
        ASSERT_EQ(w.lsProben->count(), 5);
        for (int i = 0; i < w.lsProben->count(); ++i) {
            QListWidgetItem* item = w.lsProben->item(i);
            EXPECT_EQ(item->checkState() == Qt::Unchecked, item->text() == "Brot")
                << item->text().toStdString();
            if (item->text() == "Obstsalat")
                item->setCheckState(Qt::Unchecked);
        }
        w.sfGeraetNeu->click();
        w.gdGeraete->item(2, 0)->setText("Getränke");
        // A freezer chosen brings its limit.
        qobject_cast<QComboBox*>(w.gdGeraete->cellWidget(2, 1))->setCurrentIndex(1);
        EXPECT_EQ(w.gdGeraete->item(2, 2)->text(), "-18");
        w.txAufbewahrung->setValue(5);
        w.txErstesEtikett->setValue(6);
        w.sfEtiketten->click();
    });
    const std::optional<HygieneRequest> r = fncDlgHygiene();
    EXPECT_TRUE(modal.allUsed());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->sheet, HygieneRequest::Etiketten);
    EXPECT_EQ(r->firstLabel, 6);
    EXPECT_EQ(rows("select NAME, ERSTBELEHRUNG, BELEHRUNG from HYG_TEAM order by PERSNR"),
              (QStringList{"Anna|01.03.2019|01.06.2025", "Ben|02.05.2026|", "Carla|10.01.2020|01.07.2026"}));
    EXPECT_EQ(rows("select GERAET, ART, GRENZE from HYG_GERAETE order by GERAETNR").value(2),
              "Getränke|Tiefkühlgerät|-18");
    EXPECT_EQ(rows("select GERNR from HYG_OHNEPROBE order by GERNR"), (QStringList{"203", "204"}));
    fncDruckHygiene(*r);
    // Four samples without the fruit salad, kept five days; the first on label 6.
    EXPECT_EQ(vp().rowTexts().filter("aufbewahren bis").size(), 4);
    EXPECT_TRUE(vp().rowTexts().contains("aufbewahren bis 25.07.2026"));
}

TEST_F(HygieneTest, AMissingNameOrABadDateIsRefusedUntilMended)
{
    Modal modal;
    modal.on<frmHygiene>([](frmHygiene& w) {
        w.sfTeamNeu->click();
        w.gdTeam->item(3, 0)->setText("Dora");
        w.gdTeam->item(3, 1)->setText("31.02.2026");
        w.sfSpeichern->click();
        w.gdTeam->item(3, 1)->setText("");
        EXPECT_TRUE(w.lbWarnungen->text().contains("Dora: keine Erstbelehrung"));
        w.sfBereichNeu->click();
        w.sfSpeichern->click();
        w.sfBereichLoeschen->click();
        w.sfSpeichern->click();
        w.sfSchliessen->click();
    });
    modal.box(QMessageBox::Ok).box(QMessageBox::Ok);
    EXPECT_FALSE(fncDlgHygiene());
    EXPECT_TRUE(modal.allUsed());
    EXPECT_EQ(scalar("select count(*) from HYG_BEREICHE").toInt(), 2);
    EXPECT_EQ(rows("select NAME, ERSTBELEHRUNG from HYG_TEAM where PERSNR = 4"), QStringList{"Dora|"});
}
