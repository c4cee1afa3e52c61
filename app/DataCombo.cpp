#include "app/DataCombo.h"

#include <QAbstractItemView>

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
}

void DataCombo::addRow(const QString& keyTabText)
{
    const int tab = keyTabText.indexOf('\t');
    const QString key = tab < 0 ? keyTabText : keyTabText.left(tab);
    const QString text = tab < 0 ? QString() : keyTabText.mid(tab + 1).section('\t', 0, 0);
    const QSignalBlocker block(this);
    addItem(text, key);
    if (count() == 1)
        setCurrentIndex(-1);
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
