#pragma once

// Several workstations on one PostgreSQL server: tests with this fixture run only on the server
// (pg:ServerTest.*), beside a second connection that plays the colleague.
#include "data/Connection.h"
#include "data/Convert.h"
#include "support/Fixture.h"

#include <QString>

inline const QString kChanged = QStringLiteral(
    "Der Eintrag wurde inzwischen an einem anderen Arbeitsplatz geändert und wird neu geladen.");

class ServerTest : public tlmtest::SampleDbTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tlmtest::onServer()) << "runs on a server only (TLM_TEST_ENGINE=postgresql)";
        SampleDbTest::SetUp();
        other.open(location()); // a second workstation
    }
    void TearDown() override
    {
        if (other.isOpen())
            other.close();
        SampleDbTest::TearDown();
    }
    QString otherScalar(const QString& sql) { return tlm::textOf(other.execute(sql)->value(0, 0)); }

    tlm::Connection other;
};
