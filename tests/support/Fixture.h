#pragma once

#include "data/Recordset.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (const QString& s : l)
        *os << "\n  \"" << s.toStdString() << '"';
    *os << "\n}";
}

namespace tlmtest {

// A temporary application directory with a fresh tlm.mdb (schema and reference rows, optionally the
// sample), the globals set as the start-up sets them and the connection open.
class DbTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    virtual bool withSample() const { return false; }

    QString dir() const { return m_dir.path(); }
    QString dbPath() const;
    // The database the test runs on: the file, or (TLM_TEST_ENGINE=postgresql) a fresh database on the
    // test process's server holding the same rows.
    QString location() const { return m_location; }
    void exec(const QString& sql);
    // The first column of the first row, Null when there is none.
    QVariant scalar(const QString& sql);
    // Every row as its values joined by "|".
    QStringList rows(const QString& sql);
    QString errorLog() const;

private:
    QTemporaryDir m_dir;
    QString m_location;
};

// The tests of this process run on a PostgreSQL server rather than on files.
bool onServer();

// A whole file's bytes (empty when it cannot be read), and a whole file written.
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// Makes a file or directory unwritable, also for root (who ignores permission bits: then the
// immutable attribute); false when this system cannot. restoreWritable undoes it.
bool makeReadOnly(const QString& path);
void restoreWritable(const QString& path);

class SampleDbTest : public DbTest
{
protected:
    bool withSample() const override { return true; }
};

} // namespace tlmtest
