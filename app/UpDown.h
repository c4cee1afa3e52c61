#pragma once

#include <QWidget>

namespace tlm {

// Two spin buttons that only report their clicks; the text box beside them is changed by the
// window's own handlers.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

signals:
    void upClick();
    void downClick();
};

} // namespace tlm
