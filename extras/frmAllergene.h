#pragma once

#include "app/Dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace tlm {

class IngredientMarks;

// "Allergene": tab "Zutaten" marks every ingredient with the allergens (or their traces), additives
// and marks it has, each click kept at once, and the day its label was read; tab "Gerichte" shows
// what that gives each dish. The notice below goes on the declaration.
class frmAllergene : public Dialog
{
    Q_OBJECT
public:
    frmAllergene();

    void Form_Load();
    // The ingredients whose names begin with the search text (the unchecked ones alone when asked),
    // in their order.
    void fncReqZutaten();
    // The current cell's allergen: traces, or none.
    void sfSpuren_Click();
    // The selected ingredients' labels were read today.
    void sfGeprueft_Click();
    // Asks for the name of an own mark and adds it as a column.
    void sfMerkmal_Click();
    // Every dish with the letters its recipe lines bring in and its diet.
    void fncReqGerichte();

    QTabWidget* tabAllergene;
    QLabel* Label1;
    QLineEdit* txSuch;
    QCheckBox* cbUngeprueft;
    QTableView* gdZutaten;
    QPushButton* sfSpuren;
    QPushButton* sfGeprueft;
    QPushButton* sfMerkmal;
    QCheckBox* cbWochenplan; // the current column's own mark on the week plan
    QLineEdit* txHinweis;
    QTableWidget* gdGerichte;
    QPushButton* sfExit;

private:
    // The week plan box for the current column.
    void fncShowMark();
    IngredientMarks* m_marks;
};

// Opens "Allergene" modally.
void fncDlgAllergene();

} // namespace tlm
