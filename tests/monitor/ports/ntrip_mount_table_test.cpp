// The mount points of a source table a caster sends for a mount point it does
// not have, however its bytes are cut, and the bounds that end a table that
// never ends.
#include <gtest/gtest.h>

#include "monitor/ports/ntrip_mount_table.h"
#include "monitor/ports/ntrip_protocol.h"

namespace
{
const QByteArray kTable = "CAS;caster.example;2101;Test;X;0;CHN;39.9;116.4;0.0.0.0;0;none\r\n"
                          "STR;VRS1;Beijing;RTCM 3.2;1004(1),1012(1);2;GPS+GLO;X;CHN;39.9;116.4;1;1;x;none;B;N;9600;\r\n"
                          "NET;NET1;X;B;N;none;none;none;\r\n"
                          "STR;;no name;\r\n"
                          "STR;MAC2;Hebei;RTCM 3.3;;2;GPS;X;CHN;38;115;1;0;x;none;B;N;0;\n"
                          "ENDSOURCETABLE\r\n"
                          "STR;AFTER;not read;\r\n";
} // namespace

TEST(NtripMountTable, MountPointsAreReadUpToTheEndLineHoweverTheBytesAreCut)
{
    for (int piece = 1; piece <= kTable.size(); ++piece)
    {
        SCOPED_TRACE(piece);
        CNtripMountTable table;
        bool bEnded = false;
        int at = 0;
        for (; at < kTable.size() && !bEnded; at += piece)
            bEnded = table.Take(kTable.constData() + at, qMin(piece, kTable.size() - at), 1 << 20);
        EXPECT_TRUE(bEnded);
        EXPECT_EQ(table.Offered(), QStringList({"VRS1", "MAC2"}));
        EXPECT_EQ(table.OfferedCount(), 2);
        // Nothing after the end is read.
        EXPECT_TRUE(table.Take("STR;LATE;\r\n", 11, 1 << 20));
        EXPECT_EQ(table.OfferedCount(), 2);
    }
}

TEST(NtripMountTable, ListsTheFirstHundredCountsAllAndEndsATableWithoutEnd)
{
    CNtripMountTable table;
    QByteArray lines;
    for (int i = 0; i < 130; ++i)
        lines += QStringLiteral("STR;MP%1;Site;RTCM 3.2;;2;GPS;X;CHN;30;120;1;1;x;none;B;N;0;\r\n").arg(i).toLatin1();
    EXPECT_FALSE(table.Take(lines.constData(), lines.size(), 1 << 20));
    EXPECT_EQ(table.Offered().size(), CNtripMountTable::MAX_LISTED);
    EXPECT_EQ(table.Offered().last(), QStringLiteral("MP99"));
    EXPECT_EQ(table.OfferedCount(), 130);

    // A line that never ends, and a table longer than its bound.
    const QByteArray endless(NTRIP_REPLY_HEADER_MAX + 1, 'x');
    CNtripMountTable noLineEnd;
    EXPECT_FALSE(noLineEnd.Take(endless.constData(), NTRIP_REPLY_HEADER_MAX, 1 << 20));
    EXPECT_TRUE(noLineEnd.Take(endless.constData(), 1, 1 << 20));
    CNtripMountTable tooLong;
    EXPECT_TRUE(tooLong.Take(lines.constData(), lines.size(), lines.size() - 1));
    tooLong.Clear();
    EXPECT_FALSE(tooLong.Take(lines.constData(), lines.size(), lines.size()));
}
