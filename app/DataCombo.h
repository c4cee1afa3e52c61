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
    // Many rows at once: one insertion for the list, not one per row.
    void addRows(const QStringList& keyTabTexts);
    QString value() const;
    void setValue(const QString& key);
    void setColumnWidth1(int pixels);
    int rowCount() const { return count(); }
    QString keyAt(int row) const;

    // As QComboBox sizes itself to its widest text, with the texts' widths measured once for every
    // list that shows them: a list of thousands of dishes was measured twice at each opening.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* e) override;

signals:
    // The list has closed after a choice.
    void closeUp();

private:
    QString m_value;
    mutable QSize m_sizeHint;
};

} // namespace tlm
