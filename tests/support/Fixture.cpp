#include "support/Fixture.h"

#include "data/Convert.h"
#include "data/DatabaseCopy.h"
#include "data/Error.h"
#include "data/Database.h"
#include "data/Globals.h"
#include "data/Win1252.h"
#include "support/PgServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <unistd.h>

namespace tlmtest {

bool onServer()
{
    return qEnvironmentVariable("TLM_TEST_ENGINE") == QLatin1String("postgresql");
}

void DbTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_EQ(tlm::createDatabase(dbPath(), withSample()), QString());
    m_location = dbPath();
    if (onServer()) {
        try {
            m_location = PgServer::shared().newDatabase();
            tlm::copyWholeDatabase(dbPath(), m_location);
        } catch (const PgServerError& e) {
            FAIL() << e.what();
        } catch (const tlm::Error& e) {
            FAIL() << e.text().toStdString();
        }
        tlm::setDatabasePath(m_location);
    }
    tlm::setApplicationDirectory(dir());
    tlm::gAppTitle = QStringLiteral("Fennor Tellomat V1.01");
    tlm::gFontName = QStringLiteral("Verdana");
    tlm::gUnitList = QStringLiteral("g,g;kg,kg;L,L;ml,ml;Paar,Paar;Pkg,Pkg;Stk,Stk");
    tlm::gAppPath = dir();
    tlm::gConnection.open(m_location);
}

void DbTest::TearDown()
{
    if (tlm::gConnection.isOpen())
        tlm::gConnection.close();
    tlm::gAppPath.clear();
    if (onServer()) {
        tlm::setDatabasePath(QString());
        PgServer::shared().dropDatabase(PgServer::databaseName(m_location));
    }
}

QString DbTest::dbPath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("tlm.mdb"));
}

void DbTest::exec(const QString& sql)
{
    tlm::gConnection.exec(sql);
}

QVariant DbTest::scalar(const QString& sql)
{
    tlm::RecordsetPtr rs = tlm::gConnection.execute(sql);
    return rs->eof() ? QVariant() : rs->value(0, 0);
}

QStringList DbTest::rows(const QString& sql)
{
    tlm::RecordsetPtr rs = tlm::gConnection.execute(sql);
    QStringList out;
    for (int r = 0; r < rs->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->columnCount(); ++c)
            if (rs->columnName(c) != QLatin1String("TLM_VERSION")) // a server's bookkeeping
                cells << tlm::textOf(rs->value(r, c));
        out << cells.join('|');
    }
    return out;
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

bool makeReadOnly(const QString& path)
{
    if (geteuid() == 0)
        return QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) == 0;
    return QFile::setPermissions(path, QFileInfo(path).isDir() ? QFile::ReadOwner | QFile::ExeOwner
                                                               : QFile::ReadOwner);
}

void restoreWritable(const QString& path)
{
    if (geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString DbTest::errorLog() const
{
    QFile f(QDir(dir()).filePath(QStringLiteral("tlm_err.txt")));
    return f.open(QIODevice::ReadOnly) ? tlm::fromWin1252(f.readAll()) : QString();
}

} // namespace tlmtest
