// The server's form of the program's statements: parameters numbered, German like, SQLite's place
// for Null, and quoted text and comments left as they are.
#include "data/PgDialect.h"

#include <gtest/gtest.h>

using tlm::pgStatement;

TEST(ReviewDialect, AQuestionMarkInACommentIsNoParameter)
{
    EXPECT_EQ(pgStatement("select A from T where B = ? -- why?\n and C = ?"),
              QStringLiteral("select A from T where B = $1 -- why?\n and C = $2"));
    EXPECT_EQ(pgStatement("select A from T /* is it like this? */ where C = ?"),
              QStringLiteral("select A from T /* is it like this? */ where C = $1"));
    // A statement closed by ";": the null rule lands before the semicolon.
    EXPECT_EQ(pgStatement("select A from T order by A;"),
              QStringLiteral("select A from T order by A nulls first;"));
}

TEST(PgDialect, ParametersLikeAndNullOrderOutsideQuotedTextAndComments)
{
    EXPECT_EQ(
        pgStatement("select ZUTAT from ZUTATEN where ZUTAT like ? || '%' and EINHEIT = '?' and X = ?"),
        QStringLiteral("select ZUTAT from ZUTATEN where ZUTAT ilike $1 || '%' and EINHEIT = '?' and X = $2"));
    EXPECT_EQ(pgStatement("select \"like ?\" from T where A = 'it''s ?' and B = ?"),
              QStringLiteral("select \"like ?\" from T where A = 'it''s ?' and B = $1"));
    EXPECT_EQ(pgStatement("select A from T order by A desc, B -- by B\n limit 3"),
              QStringLiteral("select A from T order by A desc nulls last, B nulls first -- by B\n limit 3"));
    EXPECT_EQ(pgStatement("select A from T order by A /* the name */, B nulls last ;\n"),
              QStringLiteral("select A from T order by A nulls first /* the name */, B nulls last ;\n"));
    EXPECT_EQ(
        pgStatement("select (select max(B) from U order by B) from T order by A, 'x'"),
        QStringLiteral("select (select max(B) from U order by B nulls first) from T order by A nulls first, "
                       "'x' nulls first"));
    // A comment that says "order by" changes nothing.
    EXPECT_EQ(pgStatement("select A from T -- order by A\n"),
              QStringLiteral("select A from T -- order by A\n"));
}

TEST(PgDialect, WhatIsAddedGoesBeforeAClosingSemicolon)
{
    EXPECT_EQ(pgStatement("insert or ignore into T (A) values (?);"),
              QStringLiteral("insert into T (A) values ($1) on conflict do nothing;"));
    EXPECT_EQ(
        pgStatement("insert into T (A, B) values (?, ?) -- the pair\n;", " on conflict (A) do nothing"),
        QStringLiteral("insert into T (A, B) values ($1, $2) on conflict (A) do nothing -- the pair\n;"));
    EXPECT_EQ(pgStatement("begin immediate;"), QStringLiteral("begin"));
}
