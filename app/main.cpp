#include "app/Application.h"
#include "plan/Program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tlm::setUpApplication(app);
    return tlm::runProgram(app);
}
