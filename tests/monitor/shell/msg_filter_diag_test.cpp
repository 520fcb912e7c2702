// The message filter on chunks of a port's text: lines cut between chunks,
// case, the row limit, held-back matches, the cases that clear it, and a
// receiver's real-looking stream.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "codec/profile.h"
#include "monitor/shell/msg_filter_diag.h"
#include "support/monitor/receiver_stream.h"
#include "support/profile_fixture.h"

namespace
{
struct Filter
{
    QMsgFiterDiag Diag;
    QLineEdit* pText = Diag.findChild<QLineEdit*>();
    QTableWidget* pTable = Diag.findChild<QTableWidget*>();
    QCheckBox* pIgnoreCase = Diag.findChild<QCheckBox*>(QStringLiteral("IgnoreCaseCheck"));
    QCheckBox* pTail = Diag.findChild<QCheckBox*>(QStringLiteral("FilterTailCheck"));
    explicit Filter(const QString& sFilter)
    {
        Diag.show();
        pText->setText(sFilter);
    }
    QStringList Rows(int nColumn = 1) const
    {
        QStringList s;
        for (int i = 0; i < pTable->rowCount(); ++i)
            s << pTable->item(i, nColumn)->text();
        return s;
    }
};
} // namespace

TEST(MsgFilter, ShowsWholeMatchingLinesHoweverTheChunksCutThem)
{
    const struct
    {
        const char* Filter;
        bool IgnoreCase;
        std::vector<QByteArray> Chunks;
        QStringList Rows;
    } cases[] = {
        {"GGA", false, {"$GPGGA,1\r\n$GPRMC", ",2\r\n$GPGGA,3\r\n"}, {"$GPGGA,1\r", "$GPGGA,3\r"}},
        {"RMC", false, {"$GPGGA,1\r\n$GPRMC", ",2\r\n$GPGGA,3\r\n"}, {"$GPRMC,2\r"}},
        // The matching half of a line comes in a chunk of its own.
        {"BESTPOS", false, {"$GPGGA,1\r\n#BEST", "POSA,x\r\n"}, {"#BESTPOSA,x\r"}},
        {"gga", false, {"$GPGGA,1\r\n"}, {}},
        {"gga", true, {"$GPGGA,1\r\n"}, {"$GPGGA,1\r"}},
        {"", false, {"$GPGGA,1\r\n"}, {}},
        // Binary bytes before a sentence on its line, a zero among them.
        {"GGA", false, {QByteArray("\xAA\0$GPGGA,1\r\n", 12)}, {QString::fromLatin1("\xAA\0$GPGGA,1\r", 11)}},
        {"gga", true, {QByteArray("\xAA\0$GPGGA,1\r\n", 12)}, {QString::fromLatin1("\xAA\0$GPGGA,1\r", 11)}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Filter);
        Filter f(QString::fromLatin1(c.Filter));
        if (c.IgnoreCase)
            QTest::mouseClick(f.pIgnoreCase, Qt::LeftButton);
        for (const QByteArray& chunk : c.Chunks)
            f.Diag.OnUpdateDataDiag(chunk);
        EXPECT_EQ(f.Rows(), c.Rows);
    }
}

TEST(MsgFilter, KeepsTheNewestRowsHoldsTheTailAndClears)
{
    Filter f(QStringLiteral("GGA"));
    EXPECT_EQ(f.Diag.windowTitle(), QStringLiteral("Msg filtering"));
    EXPECT_FALSE(f.Diag.windowIcon().isNull());
    QByteArray lines;
    for (int i = 1; i <= 102; ++i)
        lines += "$GPGGA," + QByteArray::number(i) + "\r\n";
    f.Diag.OnUpdateDataDiag(lines);
    ASSERT_EQ(f.pTable->rowCount(), QMsgFiterDiag::MAX_ROWS);
    EXPECT_EQ(f.Rows().first(), QStringLiteral("$GPGGA,2\r"));
    EXPECT_EQ(f.Rows().last(), QStringLiteral("$GPGGA,102\r"));
    EXPECT_TRUE(QDateTime::fromString(f.Rows(0).first(), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).isValid());

    // Held back while "Filter Tail" is checked, then shown with their own times.
    QTest::mouseClick(f.pTail, Qt::LeftButton);
    f.Diag.OnUpdateDataDiag("$GPGGA,held 1\r\n");
    QTest::qWait(5);
    f.Diag.OnUpdateDataDiag("$GPGGA,held 2\r\n$GPGGA,held 3\r\n");
    EXPECT_EQ(f.Rows().last(), QStringLiteral("$GPGGA,102\r"));
    QTest::mouseClick(f.pTail, Qt::LeftButton);
    EXPECT_EQ(f.Rows().mid(98), QStringList({"$GPGGA,held 1\r", "$GPGGA,held 2\r", "$GPGGA,held 3\r"}));
    EXPECT_LT(f.Rows(0)[98], f.Rows(0)[99]);

    // Another filter text clears the table at the next chunk; so do "Clear",
    // a tab change and closing; a hidden filter does nothing.
    f.pText->setText(QStringLiteral("RMC"));
    f.Diag.OnUpdateDataDiag("$GPRMC,1\r\n");
    EXPECT_EQ(f.Rows(), QStringList({"$GPRMC,1\r"}));
    QTest::mouseClick(f.Diag.findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_EQ(f.pTable->rowCount(), 0);
    f.Diag.OnUpdateDataDiag("$GPRMC,2\r\n");
    f.Diag.OnPortTabChange(1);
    EXPECT_EQ(f.pTable->rowCount(), 0);
    f.Diag.close();
    f.Diag.OnUpdateDataDiag("$GPRMC,3\r\n");
    EXPECT_EQ(f.pTable->rowCount(), 0);
}

TEST(MsgFilter, FindsEveryPositionInAReceiversStream)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    ReceiverStream stream;
    std::string text;
    int nGga = 0, nBestpos = 0;
    for (int e = 0; e < 30; ++e)
        for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_TEXT_LOGS | STREAM_NMEA))
        {
            text += it.Text;
            nGga += it.Name == "GPGGA";
            nBestpos += it.Name == "BESTPOSA";
        }
    for (const auto& c : {std::make_pair("GPGGA", nGga), std::make_pair("#BESTPOSA", nBestpos)})
    {
        Filter f(QString::fromLatin1(c.first));
        // In the pieces a port hands over, cut anywhere.
        for (size_t at = 0; at < text.size(); at += 1000)
            f.Diag.OnUpdateDataDiag(QByteArray::fromStdString(text.substr(at, 1000)));
        ASSERT_EQ(f.pTable->rowCount(), c.second);
        for (const QString& sRow : f.Rows())
            EXPECT_TRUE(sRow.startsWith(QLatin1Char(c.first[0] == '#' ? '#' : '$')) && sRow.endsWith('\r'));
    }
}
