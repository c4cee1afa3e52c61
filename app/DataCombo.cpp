#include "app/DataCombo.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHash>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <cmath>

namespace tlm {

DataCombo::DataCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(false); // typing selects the row whose text begins with what was typed
    setMaxVisibleItems(20);
    connect(this, &QComboBox::activated, this, [this](int row) {
        m_value = keyAt(row);
        emit closeUp();
    });
    connect(this, &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row >= 0)
            m_value = keyAt(row);
    });
}

void DataCombo::clear()
{
    QComboBox::clear();
    m_value.clear();
    m_sizeHint = QSize();
}

void DataCombo::addRow(const QString& keyTabText)
{
    addRows({keyTabText});
}

void DataCombo::addRows(const QStringList& keyTabTexts)
{
    auto* items = qobject_cast<QStandardItemModel*>(model());
    const bool wasEmpty = count() == 0;
    QList<QStandardItem*> rows;
    rows.reserve(keyTabTexts.size());
    for (const QString& keyTabText : keyTabTexts) {
        const int tab = keyTabText.indexOf('\t');
        const QString key = tab < 0 ? keyTabText : keyTabText.left(tab);
        const QString text = tab < 0 ? QString() : keyTabText.mid(tab + 1).section('\t', 0, 0);
        if (!items) {
            const QSignalBlocker block(this);
            addItem(text, key);
            continue;
        }
        auto* row = new QStandardItem(text);
        row->setData(key, Qt::UserRole);
        rows << row;
    }
    const QSignalBlocker block(this);
    if (items && !rows.isEmpty())
        items->invisibleRootItem()->insertRows(count(), rows);
    if (wasEmpty && count() > 0)
        setCurrentIndex(-1);
    m_sizeHint = QSize();
}

QSize DataCombo::sizeHint() const
{
    if (m_sizeHint.isValid())
        return m_sizeHint;
    // The widths of texts seen before, per font: the lists of one database are filled again and again.
    static QHash<QString, QHash<QString, int>> known;
    QHash<QString, int>& widths = known[font().key()];
    if (widths.size() > 200000)
        widths.clear();
    const QFontMetrics& fm = fontMetrics();
    QSize sh;
    const int n = count();
    if (n == 0)
        sh.rwidth() = 7 * fm.horizontalAdvance(u'x');
    for (int i = 0; i < n; ++i) {
        const QString text = itemText(i);
        auto it = widths.constFind(text);
        if (it == widths.constEnd())
            it = widths.insert(text, fm.boundingRect(text).width());
        sh.setWidth(qMax(sh.width(), *it));
    }
    sh.setHeight(qMax(qCeil(QFontMetricsF(fm).height()), 14) + 2);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    m_sizeHint = style()->sizeFromContents(QStyle::CT_ComboBox, &opt, sh, this);
    return m_sizeHint;
}

void DataCombo::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        m_sizeHint = QSize();
    QComboBox::changeEvent(e);
}

QSize DataCombo::minimumSizeHint() const
{
    return sizeHint();
}

QString DataCombo::keyAt(int row) const
{
    return itemData(row).toString();
}

QString DataCombo::value() const
{
    return m_value;
}

void DataCombo::setValue(const QString& key)
{
    const int row = findData(key);
    const QSignalBlocker block(this);
    setCurrentIndex(row);
    m_value = key;
}

void DataCombo::setColumnWidth1(int pixels)
{
    view()->setMinimumWidth(pixels);
}

} // namespace tlm
