#include "data/JetSql.h"

#include <gtest/gtest.h>

using namespace tlm;

TEST(JetSql, DateLiteralsOutsideStringsAreRewritten)
{
    EXPECT_EQ(rewriteJetSql("select * from T where TAG = #07/24/2010#"),
              QStringLiteral("select * from T where TAG = '2010-07-24'"));
    EXPECT_EQ(rewriteJetSql("a = #1/3/2011# or b = #12/31/1999#"),
              QStringLiteral("a = '2011-01-03' or b = '1999-12-31'"));
    EXPECT_EQ(rewriteJetSql("x like '#07/24/2010#%'"), QStringLiteral("x like '#07/24/2010#%'"));
    EXPECT_EQ(rewriteJetSql("x = 'it''s #07/24/2010#' and y = #07/24/2010#"),
              QStringLiteral("x = 'it''s #07/24/2010#' and y = '2010-07-24'"));
    EXPECT_EQ(rewriteJetSql("x = #13/01/2010#"), QStringLiteral("x = #13/01/2010#"));
    EXPECT_EQ(rewriteJetSql("x = #02/30/2010#"), QStringLiteral("x = #02/30/2010#"));
    EXPECT_EQ(rewriteJetSql("# #07/24/2010"), QStringLiteral("# #07/24/2010"));
    EXPECT_EQ(rewriteJetSql("'unclosed #07/24/2010#"), QStringLiteral("'unclosed #07/24/2010#"));
}
