#include "app/Application.h"

#include "app/DesktopManners.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

static void initAppResources()
{
    Q_INIT_RESOURCE(app);
}

namespace tlm {

void setUpApplication(QApplication& app)
{
    initAppResources();
    app.setApplicationName(QStringLiteral("TLM"));
    app.setOrganizationName(QStringLiteral("TLM"));
    app.setWindowIcon(QIcon(QStringLiteral(":/app/logo.png")));
    // The desktop file's name: the window system finds the menu entry and its icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.fennor.Tellomat"));
    app.installEventFilter(new DesktopManners(&app));
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
}

} // namespace tlm
