#pragma once

#include <QWidget>

namespace tlm {

class ReportPrinter;

// The one shared, modeless print preview; closing it destroys it with its document.
class frmDlgDruck : public QWidget
{
    Q_OBJECT
public:
    frmDlgDruck();
    void Form_Resize();

    ReportPrinter* vp;

    // Shows the shared instance (made on first use, brought forward after that).
    static frmDlgDruck* showShared();
    static frmDlgDruck* shared();

protected:
    void resizeEvent(QResizeEvent* e) override;
};

} // namespace tlm
