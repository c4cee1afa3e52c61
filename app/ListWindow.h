#pragma once

#include "app/Dialog.h"

#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tlm {

class DataGrid;

// What a catalogue list needs to know of its table.
struct Catalogue
{
    QString tag;                        // the window's module name in error tags ("frmGerichtList")
    QString select;                     // the list's statement without condition and order
    QString nameColumn;                 // searched by its beginning, and the order of the list
    QString keyColumn;                  // the record's key
    std::function<qint32(qint32)> open; // the editor's launcher: key in (0 new), key out
    QString uses;                       // the records that use one, "... where KEY=" and the key follows
    QStringList useColumns;             // each use as these columns joined by ","
    QString cannotDelete;               // the warning's head, uses listed below it
    QStringList deletes;                // run with the key appended, together or not at all
    QString usesOrder;                  // follows the key: the order the uses are listed in
};

// The catalogue lists' common frame and behaviour: the search row on top, the grid, a row of buttons
// below ("&Bearbeiten", "&Zufügen", "&Entfernen", "Been&den"); the list follows the search box as it
// is typed, edit and add open the editor and requery the whole list on its key, a record in use is
// not deleted and its uses are listed.
class ListWindow : public Dialog
{
    Q_OBJECT
public:
    ListWindow(const QString& name, const QString& caption, int widthTwips, int heightTwips,
               Catalogue catalogue);

    void Form_Load();
    void fncReq(qint32 key, const QString& filter);
    void fncEdit();
    void fncDel();

    QLabel* Label1;
    QLineEdit* txSuch;
    QPushButton* sfSuche;
    DataGrid* gd1;
    QPushButton* sfEdit;
    QPushButton* sfAdd;
    QPushButton* sfDel;
    QPushButton* sfExit;

protected:
    // A further button, placed before "Been&den".
    QPushButton* addButton(const char* name, const QString& caption);
    // Connects a control's signal to a handler that reports its errors as "window/handler".
    template <class Sender, class Signal, class F>
    void handle(Sender* s, Signal signal, const char* handler, F f)
    {
        connect(s, signal, this, [this, handler, f] { guard(tagOf(handler), f); });
    }
    QString tagOf(const char* procedure) const { return m_catalogue.tag + '/' + QLatin1String(procedure); }
    virtual void gd1_DblClick() { fncEdit(); }

private:
    Catalogue m_catalogue;
    QHBoxLayout* m_buttons;
};

// A search by the beginning of a column: " where COLUMN like ? || '%'" with the text as typed bound
// to it (% and _ in it still act as wildcards); nothing for a blank text. Anywhere: the text may
// stand anywhere in the column ("Spaghetti" finds "Nudeln Spaghetti").
struct SearchFilter
{
    QString where;
    QVector<QVariant> values;
};
SearchFilter searchFilter(const QString& column, const QString& search, bool anywhere = false);

} // namespace tlm
