#pragma once

#include <QComboBox>

namespace tlm {

// A two-column drop-down: rows "key TAB text", shows the text, its value is the key. A key with no
// row stays the value with nothing selected (value "0" means "nothing chosen").
class DataCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit DataCombo(QWidget* parent = nullptr);

    void clear();
    void addRow(const QString& keyTabText);
    QString value() const;
    void setValue(const QString& key);
    void setColumnWidth1(int pixels);
    int rowCount() const { return count(); }
    QString keyAt(int row) const;

signals:
    // The list has closed after a choice.
    void closeUp();

private:
    QString m_value;
};

} // namespace tlm
