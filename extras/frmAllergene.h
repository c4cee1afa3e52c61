#pragma once

#include "app/Dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace tlm {

class IngredientMarks;

// "Allergene": tab "Zutaten" marks every ingredient with the allergens and diet marks it has, each
// click kept at once; tab "Gerichte" shows what that gives each dish.
class frmAllergene : public Dialog
{
    Q_OBJECT
public:
    frmAllergene();

    void Form_Load();
    // The ingredients whose names begin with the text, in their order.
    void fncReqZutaten(const QString& filter);
    // Every dish with the letters its recipe lines bring in and its diet.
    void fncReqGerichte();

    QTabWidget* tabAllergene;
    QLabel* Label1;
    QLineEdit* txSuch;
    QTableView* gdZutaten;
    QTableWidget* gdGerichte;
    QPushButton* sfExit;

private:
    IngredientMarks* m_marks;
};

// Opens "Allergene" modally.
void fncDlgAllergene();

} // namespace tlm
