#include "data/Win1252.h"

#include <gtest/gtest.h>

using namespace tlm;

TEST(Win1252, RoundTripAndUnmappable)
{
    const QString s = QStringLiteral("Äpfel ß € „x“ ¦ é");
    const QByteArray b = toWin1252(s);
    EXPECT_EQ(b, QByteArray("\xC4pfel \xDF \x80 \x84x\x93 \xA6 \xE9"));
    EXPECT_EQ(fromWin1252(b), s);
    EXPECT_EQ(toWin1252(QStringLiteral("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(toWin1252(QStringLiteral("Ω")), QByteArray("?"));
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    EXPECT_EQ(fromWin1252(all).size(), 256);
    EXPECT_EQ(toWin1252(fromWin1252(all)), all);
}
