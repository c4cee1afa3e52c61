#include "app/ListWindow.h"

#include "app/DataGrid.h"
#include "data/DataHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlm {

ListWindow::ListWindow(const QString& name, const QString& caption, int widthTwips, int heightTwips)
    : Dialog(name, caption, widthTwips, heightTwips)
{
    Label1 = new QLabel(QStringLiteral("Suche:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txSuch = new QLineEdit(this);
    txSuch->setObjectName(QStringLiteral("txSuch"));
    txSuch->setMaxLength(50);
    sfSuche = new QPushButton(QStringLiteral("&Suche"), this);
    sfSuche->setObjectName(QStringLiteral("sfSuche"));
    sfSuche->setAutoDefault(false);
    gd1 = new DataGrid(this);
    gd1->setObjectName(QStringLiteral("gd1"));
    Label1->setBuddy(txSuch);

    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(txSuch, 1);
    search->addWidget(sfSuche);
    m_buttons = new QHBoxLayout;
    auto* box = new QVBoxLayout(this);
    box->addLayout(search);
    box->addWidget(gd1, 1);
    box->addLayout(m_buttons);
}

QPushButton* ListWindow::addButton(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    m_buttons->addWidget(b);
    return b;
}

QString likeFilter(const QString& column, const QString& search)
{
    if (search.trimmed().isEmpty())
        return {};
    return " where " + column + " like '" + likeText(search) + "%'";
}

} // namespace tlm
