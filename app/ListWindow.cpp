#include "app/ListWindow.h"

#include "app/RemoteFollow.h"

#include "app/DataGrid.h"
#include "app/ErrorReporter.h"
#include "app/MessageBox.h"
#include "data/Convert.h"
#include "data/DataHelpers.h"
#include "data/Globals.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

ListWindow::ListWindow(const QString& name, const QString& caption, int widthTwips, int heightTwips,
                       Catalogue catalogue)
    : Dialog(name, caption, widthTwips, heightTwips), m_catalogue(std::move(catalogue))
{
    Label1 = make<QLabel>("Label1", QStringLiteral("Suche:"));
    txSuch = make<QLineEdit>("txSuch");
    txSuch->setMaxLength(50);
    sfSuche = makeButton("sfSuche", QStringLiteral("&Suche"));
    gd1 = make<DataGrid>("gd1");
    Label1->setBuddy(txSuch);
    sfEdit = makeButton("sfEdit", QStringLiteral("&Bearbeiten"));
    sfAdd = makeButton("sfAdd", QStringLiteral("&Zufügen"));
    sfDel = makeButton("sfDel", QStringLiteral("&Entfernen"));
    sfExit = makeButton("sfExit", QStringLiteral("Been&den"));

    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(txSuch, 1);
    search->addWidget(sfSuche);
    m_buttons = new QHBoxLayout;
    for (QPushButton* b : {sfEdit, sfAdd, sfDel, sfExit})
        m_buttons->addWidget(b);
    auto* box = new QVBoxLayout(this);
    box->addLayout(search);
    box->addWidget(gd1, 1);
    box->addLayout(m_buttons);
    tabOrder({txSuch, sfSuche, gd1, sfEdit, sfAdd, sfDel, sfExit});
    keepSize();

    connect(txSuch, &QLineEdit::textChanged, this,
            [this](const QString& t) { guard(tagOf("txSuch_Change"), [&] { fncReq(0, t); }); });
    handle(gd1, &DataGrid::dblClick, "gd1_DblClick", [this] { gd1_DblClick(); });
    handle(sfEdit, &QPushButton::clicked, "sfEdit_Click", [this] { fncEdit(); });
    handle(sfAdd, &QPushButton::clicked, "sfAdd_Click", [this] { fncReq(m_catalogue.open(0), QString()); });
    followRemoteChanges(this, gd1, m_catalogue.keyColumn,
                        [this](qint32 key) { fncReq(key, txSuch->text()); });
    handle(sfDel, &QPushButton::clicked, "sfDel_Click", [this] { fncDel(); });
    connect(gd1, &DataGrid::deleteKey, sfDel, &QPushButton::click);
    handle(sfExit, &QPushButton::clicked, "sfExit_Click", [this] { unload(); });
}

QPushButton* ListWindow::addButton(const char* name, const QString& caption)
{
    QPushButton* b = makeButton(name, caption);
    m_buttons->insertWidget(m_buttons->indexOf(sfExit), b);
    return b;
}

void ListWindow::Form_Load()
{
    guard(tagOf("Form_Load"), [&] { fncReq(0, QString()); });
}

void ListWindow::fncReq(qint32 key, const QString& filter)
{
    guard(tagOf("fncReq"), [&] {
        const SearchFilter search = searchFilter(m_catalogue.nameColumn, filter);
        RecordsetPtr rs = gConnection.execute(
            m_catalogue.select + search.where + " order by " + m_catalogue.nameColumn, search.values);
        gd1->setDataSource(rs);
        if (rs->rowCount() > 0 && key >= 1)
            gd1->find(m_catalogue.keyColumn + " = " + QString::number(key));
    });
}

void ListWindow::fncEdit()
{
    guard(tagOf("fncEdit"), [&] {
        if (gd1->noCurrentRow())
            return;
        const qint32 key = toInt32(gd1->columnValue(m_catalogue.keyColumn));
        m_catalogue.open(key);
        fncReq(key, QString());
    });
}

void ListWindow::fncDel()
{
    guard(tagOf("fncDel"), [&] {
        if (gd1->noCurrentRow())
            return;
        const QString key = QString::number(toInt32(gd1->columnValue(m_catalogue.keyColumn)));
        RecordsetPtr used = gConnection.execute(m_catalogue.uses + key + m_catalogue.usesOrder);
        if (used->eof()) {
            if (!confirmDelete())
                return;
            // The record and what belongs to it go together or not at all.
            Transaction t(gConnection);
            for (const QString& statement : m_catalogue.deletes)
                gConnection.execute(statement + key);
            t.commit();
            fncReq(0, QString());
            return;
        }
        QString text = m_catalogue.cannotDelete;
        for (; !used->eof(); used->moveNext()) {
            QStringList cells;
            for (const QString& column : m_catalogue.useColumns)
                cells << textOf(used->field(column));
            text += " - " + cells.join(',') + "\r";
        }
        msgBox(text, 48, QStringLiteral("Achtung"));
    });
}

SearchFilter searchFilter(const QString& column, const QString& search, bool anywhere)
{
    if (search.trimmed().isEmpty())
        return {};
    return {" where " + column + (anywhere ? " like '%' || ? || '%'" : " like ? || '%'"), {search}};
}

} // namespace tlm
