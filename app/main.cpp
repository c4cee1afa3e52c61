#include "app/Application.h"
#include "plan/frmMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tlm::setUpApplication(app);
    tlm::frmMain w;
    w.Form_Load();
    w.show();
    return app.exec();
}
