#include "extras/frmAllergene.h"

#include "app/ErrorReporter.h"
#include "app/Launcher.h"
#include "app/ListWindow.h"
#include "data/Convert.h"
#include "data/Globals.h"
#include "kitchen/Declaration.h"
#include "kitchen/DishMarks.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tlm {

// The ingredients as rows: the name, the day its label was read, then the allergens and marks as
// check columns. A trace shows half checked; a click makes it "enthält".
class IngredientMarks : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;
    static constexpr int kFirstMark = 2;

    void load(const QString& filter, bool uncheckedOnly)
    {
        beginResetModel();
        m_marks.clear();
        m_traces.clear();
        m_checked.clear();
        m_ingredients.clear();
        m_columns.clear();
        RecordsetPtr a =
            gConnection.execute(QStringLiteral("select ALLNR, KURZ, ALLERGEN from ALLERGENE order by ALLNR"));
        for (int r = 0; r < a->rowCount(); ++r)
            m_columns.append({a->value(r, 0).toInt(), a->value(r, 1).toString(), a->value(r, 2).toString()});
        const SearchFilter search = searchFilter(QStringLiteral("ZUTAT"), filter, true);
        QString where = search.where;
        if (uncheckedOnly)
            where += QString(where.isEmpty() ? QStringLiteral(" where ") : QStringLiteral(" and ")) +
                     QStringLiteral("ZUTNR not in (select ZUTNR from ZUTGEPRUEFT)");
        RecordsetPtr z = gConnection.execute(
            "select ZUTNR, ZUTAT from ZUTATEN" + where + " order by ZUTAT, ZUTNR", search.values);
        for (int r = 0; r < z->rowCount(); ++r)
            m_ingredients.append({z->value(r, 0).toInt(), z->value(r, 1).toString()});
        RecordsetPtr m = gConnection.execute(QStringLiteral("select ZUTNR, ALLNR from ZUTALLERGENE"));
        for (int r = 0; r < m->rowCount(); ++r)
            m_marks.insert(key(m->value(r, 0).toInt(), m->value(r, 1).toInt()));
        RecordsetPtr t = gConnection.execute(QStringLiteral("select ZUTNR, ALLNR from ZUTSPUREN"));
        for (int r = 0; r < t->rowCount(); ++r)
            m_traces.insert(key(t->value(r, 0).toInt(), t->value(r, 1).toInt()));
        RecordsetPtr c = gConnection.execute(QStringLiteral("select ZUTNR, GEPRUEFT from ZUTGEPRUEFT"));
        for (int r = 0; r < c->rowCount(); ++r)
            m_checked.insert(c->value(r, 0).toInt(), c->value(r, 1).toDate());
        endResetModel();
    }
    int zutNr(int row) const { return m_ingredients[row].zutNr; }
    // The mark of a check column, 0 for the name and the day.
    int allNr(int column) const { return column >= kFirstMark ? m_columns[column - kFirstMark].allNr : 0; }
    // A trace for an allergen, or none: kept at once, or said why not and left as it was.
    bool setTrace(const QModelIndex& index, bool on)
    {
        const int all = allNr(index.column());
        if (all < 1 || all > kLastAllergen)
            return false;
        return store(index, on ? MarkState::Trace : MarkState::None, "frmAllergene/sfSpuren_Click");
    }
    bool trace(const QModelIndex& index) const
    {
        return m_traces.contains(key(zutNr(index.row()), allNr(index.column())));
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_ingredients.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : kFirstMark + int(m_columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const Ingredient& i = m_ingredients[index.row()];
        if (index.column() == 0)
            return role == Qt::DisplayRole ? QVariant(i.name) : QVariant();
        if (index.column() == 1) {
            const QDate day = m_checked.value(i.zutNr);
            if (role == Qt::DisplayRole)
                return day.isValid() ? shortDate(day) : QStringLiteral("nicht geprüft");
            return {};
        }
        if (role == Qt::CheckStateRole)
            return marked(index) ? Qt::Checked : trace(index) ? Qt::PartiallyChecked : Qt::Unchecked;
        if (role == Qt::ToolTipRole)
            return i.name + QStringLiteral(": ") + m_columns[index.column() - kFirstMark].name +
                   (marked(index)  ? QStringLiteral(" (enthält)")
                    : trace(index) ? QStringLiteral(" (Spuren)")
                                   : QString());
        return {};
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o != Qt::Horizontal)
            return {};
        if (role == Qt::DisplayRole)
            return section == 0   ? QStringLiteral("Zutat")
                   : section == 1 ? QStringLiteral("geprüft am")
                                  : m_columns[section - kFirstMark].letter;
        if (role == Qt::ToolTipRole && section >= kFirstMark)
            return m_columns[section - kFirstMark].name;
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return index.column() < kFirstMark
                   ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                   : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    }
    // A click on a check cell: kept at once, or said why not and left as it was.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || index.column() < kFirstMark)
            return false;
        return store(index, value.toInt() == Qt::Checked ? MarkState::Contains : MarkState::None,
                     "frmAllergene/gdZutaten_Click");
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
    // Keeps a cell's state at once, or says why not under the tag and leaves it as it was.
    bool store(const QModelIndex& index, MarkState state, const char* tag)
    {
        const int zut = zutNr(index.row()), all = allNr(index.column());
        if (!guardOr(tag, false, [&] {
                setIngredientState(zut, all, state);
                return true;
            }))
            return false;
        m_marks.remove(key(zut, all));
        m_traces.remove(key(zut, all));
        if (state == MarkState::Contains)
            m_marks.insert(key(zut, all));
        else if (state == MarkState::Trace)
            m_traces.insert(key(zut, all));
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    bool marked(const QModelIndex& index) const
    {
        return m_marks.contains(key(zutNr(index.row()), allNr(index.column())));
    }

    QVector<Ingredient> m_ingredients;
    QVector<Column> m_columns;
    QSet<qint64> m_marks;
    QSet<qint64> m_traces;
    QHash<int, QDate> m_checked;
};

frmAllergene::frmAllergene()
    : Dialog(QStringLiteral("frmAllergene"), QStringLiteral("Allergene"), 13500, 8400)
{
    tabAllergene = make<QTabWidget>("tabAllergene");
    Label1 = make<QLabel>("Label1", QStringLiteral("Suche:"));
    txSuch = make<QLineEdit>("txSuch");
    txSuch->setMaxLength(50);
    Label1->setBuddy(txSuch);
    cbUngeprueft = make<QCheckBox>("cbUngeprueft", QStringLiteral("nicht geprüft"));
    gdZutaten = make<QTableView>("gdZutaten");
    m_marks = new IngredientMarks(this);
    gdZutaten->setModel(m_marks);
    gdZutaten->setSelectionBehavior(QAbstractItemView::SelectItems);
    gdZutaten->setSelectionMode(QAbstractItemView::ExtendedSelection);
    gdZutaten->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gdZutaten->verticalHeader()->hide();
    gdZutaten->verticalHeader()->setDefaultSectionSize(gdZutaten->fontMetrics().height() + 6);
    sfSpuren = makeButton("sfSpuren", QStringLiteral("&Spuren"));
    sfSpuren->setToolTip(QStringLiteral("Kann Spuren enthalten (laut Etikett) – oder nicht"));
    sfGeprueft = makeButton("sfGeprueft", QStringLiteral("Heute &geprüft"));
    sfGeprueft->setToolTip(QStringLiteral("Die Etiketten der gewählten Zutaten wurden heute gelesen"));
    sfMerkmal = makeButton("sfMerkmal", QStringLiteral("Eigenes &Merkmal…"));
    cbWochenplan = make<QCheckBox>("cbWochenplan", QStringLiteral("Merkmal auf dem Wochenplan"));
    cbWochenplan->setEnabled(false);
    gdGerichte = make<QTableWidget>("gdGerichte");
    gdGerichte->setColumnCount(3);
    gdGerichte->setHorizontalHeaderLabels(
        {QStringLiteral("Gericht"), QStringLiteral("Allergene"), QStringLiteral("Ernährung")});
    gdGerichte->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gdGerichte->setSelectionBehavior(QAbstractItemView::SelectRows);
    gdGerichte->setSelectionMode(QAbstractItemView::SingleSelection);
    gdGerichte->verticalHeader()->hide();
    gdGerichte->horizontalHeader()->setStretchLastSection(true);
    txHinweis = make<QLineEdit>("txHinweis");
    txHinweis->setMaxLength(200);
    auto* lbHinweis = make<QLabel>("lbHinweis", QStringLiteral("&Hinweis:"));
    lbHinweis->setBuddy(txHinweis);
    sfExit = makeButton("sfExit", QStringLiteral("Been&den"));

    auto* zutaten = new QWidget;
    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(txSuch, 1);
    search->addWidget(cbUngeprueft);
    auto* tools = new QHBoxLayout;
    tools->addWidget(sfSpuren);
    tools->addWidget(sfGeprueft);
    tools->addWidget(sfMerkmal);
    tools->addWidget(cbWochenplan);
    tools->addStretch();
    auto* z = new QVBoxLayout(zutaten);
    z->addLayout(search);
    z->addWidget(gdZutaten, 1);
    z->addLayout(tools);
    auto* gerichte = new QWidget;
    auto* g = new QVBoxLayout(gerichte);
    g->addWidget(gdGerichte);
    tabAllergene->addTab(zutaten, QStringLiteral("Zutaten"));
    tabAllergene->addTab(gerichte, QStringLiteral("Gerichte"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lbHinweis);
    buttons->addWidget(txHinweis, 1);
    buttons->addWidget(sfExit);
    auto* box = new QVBoxLayout(this);
    box->addWidget(tabAllergene, 1);
    box->addLayout(buttons);
    tabOrder(
        {txSuch, cbUngeprueft, gdZutaten, sfSpuren, sfGeprueft, sfMerkmal, cbWochenplan, txHinweis, sfExit});
    keepSize();

    connect(txSuch, &QLineEdit::textChanged, this,
            [this] { guard("frmAllergene/txSuch_Change", [&] { fncReqZutaten(); }); });
    connect(cbUngeprueft, &QCheckBox::toggled, this,
            [this] { guard("frmAllergene/cbUngeprueft_Click", [&] { fncReqZutaten(); }); });
    connect(sfSpuren, &QPushButton::clicked, this, [this] { sfSpuren_Click(); });
    connect(sfGeprueft, &QPushButton::clicked, this, [this] { sfGeprueft_Click(); });
    connect(sfMerkmal, &QPushButton::clicked, this, [this] { sfMerkmal_Click(); });
    connect(gdZutaten->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { fncShowMark(); });
    connect(cbWochenplan, &QCheckBox::clicked, this, [this](bool on) {
        guard("frmAllergene/cbWochenplan_Click",
              [&] { setMarkOnWeekPlan(m_marks->allNr(gdZutaten->currentIndex().column()), on); });
        fncShowMark();
    });
    connect(txHinweis, &QLineEdit::editingFinished, this, [this] {
        guard("frmAllergene/txHinweis_Change", [&] {
            if (txHinweis->text().trimmed().isEmpty())
                txHinweis->setText(declarationNotice()); // the notice never goes missing
            else
                storeDeclarationNotice(txHinweis->text());
        });
    });
    // What the ingredients' marks give the dishes is read when the tab is shown.
    connect(tabAllergene, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == 1)
            guard("frmAllergene/tabAllergene_Change", [&] { fncReqGerichte(); });
    });
    connect(sfExit, &QPushButton::clicked, this, [this] { unload(); });
}

void frmAllergene::Form_Load()
{
    guard("frmAllergene/Form_Load", [&] {
        txHinweis->setText(declarationNotice());
        fncReqZutaten();
    });
}

void frmAllergene::fncReqZutaten()
{
    m_marks->load(txSuch->text(), cbUngeprueft->isChecked());
    QHeaderView* h = gdZutaten->horizontalHeader();
    h->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < m_marks->columnCount(); ++c)
        h->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    if (m_marks->rowCount() > 0)
        gdZutaten->setCurrentIndex(m_marks->index(0, IngredientMarks::kFirstMark));
    fncShowMark();
}

void frmAllergene::fncShowMark()
{
    const QModelIndex current = gdZutaten->currentIndex();
    const int allNr = current.isValid() ? m_marks->allNr(current.column()) : 0;
    const QSignalBlocker block(cbWochenplan);
    cbWochenplan->setEnabled(allNr >= kFirstOwnMark);
    cbWochenplan->setChecked(allNr >= kFirstOwnMark && marksOnWeekPlan().contains(allNr));
    sfSpuren->setEnabled(allNr >= 1 && allNr <= kLastAllergen);
}

void frmAllergene::sfSpuren_Click()
{
    const QModelIndex current = gdZutaten->currentIndex();
    if (current.isValid())
        m_marks->setTrace(current, !m_marks->trace(current));
}

void frmAllergene::sfGeprueft_Click()
{
    guard("frmAllergene/sfGeprueft_Click", [&] {
        QVector<int> zutNrs;
        for (const QModelIndex& i : gdZutaten->selectionModel()->selectedIndexes())
            if (!zutNrs.contains(m_marks->zutNr(i.row())))
                zutNrs << m_marks->zutNr(i.row());
        if (zutNrs.isEmpty() && gdZutaten->currentIndex().isValid())
            zutNrs << m_marks->zutNr(gdZutaten->currentIndex().row());
        if (zutNrs.isEmpty())
            return;
        setIngredientsChecked(zutNrs, QDate::currentDate());
        const QModelIndex current = gdZutaten->currentIndex();
        fncReqZutaten();
        if (current.isValid() && current.row() < m_marks->rowCount())
            gdZutaten->setCurrentIndex(current);
    });
}

void frmAllergene::sfMerkmal_Click()
{
    guard("frmAllergene/sfMerkmal_Click", [&] {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("Eigenes Merkmal"),
                                  QStringLiteral("Name des Merkmals (z. B. Schwein, Alkohol):"),
                                  QLineEdit::Normal, QString(), &ok)
                .trimmed();
        if (!ok || name.isEmpty())
            return;
        const int allNr = addOwnMark(name);
        fncReqZutaten();
        for (int c = IngredientMarks::kFirstMark; c < m_marks->columnCount(); ++c)
            if (m_marks->allNr(c) == allNr && m_marks->rowCount() > 0)
                gdZutaten->setCurrentIndex(m_marks->index(0, c));
        fncShowMark();
    });
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
        else if (!marks.additives(gerNr).isEmpty())
            letters += (letters.isEmpty() ? QString() : QStringLiteral(", ")) + marks.additives(gerNr);
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
