#include "extras/frmAllergene.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/ListWindow.h"
#include "data/Globals.h"
#include "kitchen/DishMarks.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tlm {

// The ingredients as rows, the allergens and marks as check columns after the name.
class IngredientMarks : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void load(const QString& filter)
    {
        beginResetModel();
        m_marks.clear();
        m_ingredients.clear();
        m_columns.clear();
        RecordsetPtr a =
            gConnection.execute(QStringLiteral("select ALLNR, KURZ, ALLERGEN from ALLERGENE order by ALLNR"));
        for (int r = 0; r < a->rowCount(); ++r)
            m_columns.append({a->value(r, 0).toInt(), a->value(r, 1).toString(), a->value(r, 2).toString()});
        const SearchFilter search = searchFilter(QStringLiteral("ZUTAT"), filter, true);
        RecordsetPtr z = gConnection.execute(
            "select ZUTNR, ZUTAT from ZUTATEN" + search.where + " order by ZUTAT, ZUTNR", search.values);
        for (int r = 0; r < z->rowCount(); ++r)
            m_ingredients.append({z->value(r, 0).toInt(), z->value(r, 1).toString()});
        RecordsetPtr m = gConnection.execute(QStringLiteral("select ZUTNR, ALLNR from ZUTALLERGENE"));
        for (int r = 0; r < m->rowCount(); ++r)
            m_marks.insert(key(m->value(r, 0).toInt(), m->value(r, 1).toInt()));
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_ingredients.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : 1 + int(m_columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Ingredient& i = m_ingredients[index.row()];
        if (index.column() == 0)
            return role == Qt::DisplayRole ? QVariant(i.name) : QVariant();
        if (role == Qt::CheckStateRole)
            return marked(index) ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::ToolTipRole)
            return i.name + QStringLiteral(": ") + m_columns[index.column() - 1].name;
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o != Qt::Horizontal)
            return {};
        if (role == Qt::DisplayRole)
            return section == 0 ? QStringLiteral("Zutat") : m_columns[section - 1].letter;
        if (role == Qt::ToolTipRole && section > 0)
            return m_columns[section - 1].name;
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return index.column() == 0 ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                   : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    }
    // A click on a check cell: kept at once, or said why not and left as it was.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || index.column() == 0)
            return false;
        const bool on = value.toInt() == Qt::Checked;
        const int zut = m_ingredients[index.row()].zutNr, all = m_columns[index.column() - 1].allNr;
        if (!guardOr("frmAllergene/gdZutaten_Click", false, [&] {
                setIngredientMark(zut, all, on);
                return true;
            }))
            return false;
        if (on)
            m_marks.insert(key(zut, all));
        else
            m_marks.remove(key(zut, all));
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

private:
    struct Ingredient
    {
        int zutNr;
        QString name;
    };
    struct Column
    {
        int allNr;
        QString letter;
        QString name;
    };
    static qint64 key(int zut, int all) { return (qint64(zut) << 16) | all; }
    bool marked(const QModelIndex& index) const
    {
        return m_marks.contains(key(m_ingredients[index.row()].zutNr, m_columns[index.column() - 1].allNr));
    }

    QVector<Ingredient> m_ingredients;
    QVector<Column> m_columns;
    QSet<qint64> m_marks;
};

frmAllergene::frmAllergene()
    : Dialog(QStringLiteral("frmAllergene"), QStringLiteral("Allergene"), 13500, 8400)
{
    tabAllergene = make<QTabWidget>("tabAllergene");
    Label1 = make<QLabel>("Label1", QStringLiteral("Suche:"));
    txSuch = make<QLineEdit>("txSuch");
    txSuch->setMaxLength(50);
    Label1->setBuddy(txSuch);
    gdZutaten = make<QTableView>("gdZutaten");
    m_marks = new IngredientMarks(this);
    gdZutaten->setModel(m_marks);
    gdZutaten->setSelectionBehavior(QAbstractItemView::SelectItems);
    gdZutaten->setSelectionMode(QAbstractItemView::SingleSelection);
    gdZutaten->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gdZutaten->verticalHeader()->hide();
    gdZutaten->verticalHeader()->setDefaultSectionSize(gdZutaten->fontMetrics().height() + 6);
    gdGerichte = make<QTableWidget>("gdGerichte");
    gdGerichte->setColumnCount(3);
    gdGerichte->setHorizontalHeaderLabels(
        {QStringLiteral("Gericht"), QStringLiteral("Allergene"), QStringLiteral("Ernährung")});
    gdGerichte->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gdGerichte->setSelectionBehavior(QAbstractItemView::SelectRows);
    gdGerichte->setSelectionMode(QAbstractItemView::SingleSelection);
    gdGerichte->verticalHeader()->hide();
    gdGerichte->horizontalHeader()->setStretchLastSection(true);
    sfExit = makeButton("sfExit", QStringLiteral("Been&den"));

    auto* zutaten = new QWidget;
    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(txSuch, 1);
    auto* z = new QVBoxLayout(zutaten);
    z->addLayout(search);
    z->addWidget(gdZutaten, 1);
    auto* gerichte = new QWidget;
    auto* g = new QVBoxLayout(gerichte);
    g->addWidget(gdGerichte);
    tabAllergene->addTab(zutaten, QStringLiteral("Zutaten"));
    tabAllergene->addTab(gerichte, QStringLiteral("Gerichte"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sfExit);
    auto* box = new QVBoxLayout(this);
    box->addWidget(tabAllergene, 1);
    box->addLayout(buttons);
    tabOrder({txSuch, gdZutaten, sfExit});
    keepSize();

    connect(txSuch, &QLineEdit::textChanged, this,
            [this](const QString& t) { guard("frmAllergene/txSuch_Change", [&] { fncReqZutaten(t); }); });
    // What the ingredients' marks give the dishes is read when the tab is shown.
    connect(tabAllergene, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1)
            guard("frmAllergene/tabAllergene_Change", [&] { fncReqGerichte(); });
    });
    connect(sfExit, &QPushButton::clicked, this, [this] { unload(); });
}

void frmAllergene::Form_Load()
{
    guard("frmAllergene/Form_Load", [&] { fncReqZutaten(QString()); });
}

void frmAllergene::fncReqZutaten(const QString& filter)
{
    m_marks->load(filter);
    QHeaderView* h = gdZutaten->horizontalHeader();
    h->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < m_marks->columnCount(); ++c)
        h->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    if (m_marks->rowCount() > 0)
        gdZutaten->setCurrentIndex(m_marks->index(0, 1));
}

void frmAllergene::fncReqGerichte()
{
    RecordsetPtr rs =
        gConnection.execute(QStringLiteral("select GERNR, GERICHT from GERICHTE order by GERICHT, GERNR"));
    const DishMarks marks;
    gdGerichte->setRowCount(rs->rowCount());
    for (int r = 0; r < rs->rowCount(); ++r) {
        const int gerNr = rs->value(r, 0).toInt();
        QString letters = marks.letters(gerNr);
        if (letters == QLatin1String("(ohne Rezept)"))
            letters = QStringLiteral("keine Rezeptzeilen");
        const QStringList cells{rs->value(r, 1).toString(), letters, marks.diet(gerNr)};
        for (int c = 0; c < 3; ++c)
            gdGerichte->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    gdGerichte->resizeColumnToContents(0);
}

void fncDlgAllergene()
{
    launchDialog<frmAllergene>(
        "tlm/fncDlgAllergene", [](frmAllergene&) {}, [](frmAllergene&) { return 0; });
}

} // namespace tlm
