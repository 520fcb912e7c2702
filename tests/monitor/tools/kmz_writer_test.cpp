// KMZ export: the KML text of an epoch (point, segment, icon, label, what an
// epoch without a solution gets), escaping, and whole exports of recorded
// logs read back by a ZIP reader and an XML parser: every placemark where
// the log put a position, nothing for epochs without a solution, and no
// half-written archive after a failure part-way or a cancel.
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "monitor/tools/kmz_writer.h"
#include "support/frame_builders.h"
#include "support/log_generator.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"
#include "kmz_test_util.h"
#include "tool_test_util.h"

namespace
{
using loggen::Position;
using loggen::PositionText;
using loggen::Record;

constexpr double kRad = 3.14159265358979323846 / 180.0;

POS_DATA_T Epoch(double dLatDeg, double dLonDeg, double dHeight, uint8_t nFix = 4)
{
    POS_DATA_T p;
    ResetPosData(&p);
    p.Latitude = dLatDeg;
    p.Longitude = dLonDeg;
    p.Height = dHeight;
    p.FixQuality = nFix;
    p.SatsUsed = 9;
    return p;
}

KMZ_SETTINGS_T PlainSettings()
{
    KMZ_SETTINGS_T s;
    s.SpeedAsAltitude = false;
    return s;
}

bool WriteFile(const QString& sPath, const std::string& sData)
{
    QFile f(sPath);
    return f.open(QIODevice::WriteOnly) && f.write(sData.data(), static_cast<qint64>(sData.size())) ==
                                               static_cast<qint64>(sData.size());
}

// One text position log of the codec's formatter.
std::string PositionLog(uint32_t nKind, uint16_t nId, uint32_t nMs, double dLat, double dLon, double dHeight,
                        uint32_t nSolStatus)
{
    PositionBody body = Position(dLat, dLon, dHeight, -16.25f, nSolStatus);
    body.Sats.SatsInSolution = 14;
    return PositionText(nKind, Record(nId, 2295, nMs, body));
}

std::string InspvaxLog(uint32_t nMs, double dLat, double dLon, uint32_t nInsStatus)
{
    InspvaxBody b{};
    b.InsStatus = nInsStatus;
    b.PosType = 56;
    b.Latitude = dLat;
    b.Longitude = dLon;
    b.Height = 30.5;
    b.Azimuth = 87.25;
    const Bytes record = Record(MSG_ID_INSPVAX, 2295, nMs, b);
    BinaryLogHeader h;
    std::memcpy(&h, record.data(), sizeof h);
    std::vector<char> out(2048);
    int32_t n = 0;
    if (!FormatInspvax(&h, record.data() + sizeof h, out.data(), static_cast<int32_t>(out.size()), &n))
        return std::string();
    return std::string(out.data(), static_cast<size_t>(n));
}

// The latitude and longitude a text position log gives, as written in it.
bool LogPosition(const std::string& sLine, double* pLat, double* pLon)
{
    const size_t nBody = sLine.find(';');
    size_t nAt = nBody;
    for (int i = 0; i < 2 && nAt != std::string::npos; ++i)
        nAt = sLine.find(',', nAt + 1);
    if (nAt == std::string::npos)
        return false;
    *pLat = std::stod(sLine.substr(nAt + 1));
    *pLon = std::stod(sLine.substr(sLine.find(',', nAt + 1) + 1));
    return true;
}

// The placemarks of epochs (not the start and end markers), in order.
std::vector<KML_PLACEMARK_T> EpochMarks(const KMZ_CONTENT_T& k)
{
    std::vector<KML_PLACEMARK_T> marks;
    for (const KML_PLACEMARK_T& m : k.Placemarks)
        if (!m.Point.isEmpty() && m.Name != QLatin1String("Start") && m.Name != QLatin1String("End"))
            marks.push_back(m);
    return marks;
}

class KmzExport : public ::testing::Test
{
protected:
    QString Path(const char* pName) const { return m_Dir.filePath(QLatin1String(pName)); }
    KMZ_CONTENT_T Read(const QString& sKmz) { return ReadKmz(sKmz, Path("scratch.kml")); }

    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
    QTemporaryDir m_Dir;
};
} // namespace

TEST(KmlTrackWriter, WritesPointsSegmentsIconsAndLabels)
{
    KMZ_SETTINGS_T s = PlainSettings();
    CKmlTrackWriter w(s);
    const QByteArray first = w.Epoch(Epoch(31.205760, 121.5, 10.0), 100);
    EXPECT_TRUE(first.startsWith("<name>Start</name><Placemark><name>Start</name>"));
    EXPECT_TRUE(first.contains("<name>Tag100</name><Placemark><name>Tag100</name><description>"));
    EXPECT_TRUE(first.contains("<coordinates>121.500000,31.205760,10.0</coordinates>"));
    EXPECT_TRUE(first.contains("<Icon><href>icon.png</href></Icon>"));
    EXPECT_FALSE(first.contains("<LineString>")); // nothing before the first
    const QByteArray second = w.Epoch(Epoch(31.205860, 121.5001, 11.0), 101);
    EXPECT_TRUE(second.startsWith("<name>Tag101</name><Placemark><description>"));
    EXPECT_TRUE(second.contains("<width>2</width><color>ffffff80</color>"));
    EXPECT_TRUE(second.contains("<coordinates>121.500100,31.205860,11.0 121.500000,31.205760,10.0</coordinates>"));
    EXPECT_FALSE(second.contains("Start"));
    // Epochs without a solution are no placemarks, but keep their tag numbers.
    EXPECT_TRUE(w.Epoch(Epoch(31.3, 121.6, 12.0, 0), 102).isEmpty());
    EXPECT_TRUE(w.Epoch(Epoch(31.3, 121.6, 12.0, FIX_QUALITY_UNKNOWN), 103).isEmpty());
    EXPECT_TRUE(w.Epoch(Epoch(std::nan(""), 121.6, 12.0), 104).isEmpty());
    EXPECT_EQ(w.Placemarks(), 2u);
    // Values far out of range print long, and whole.
    POS_DATA_T wild = Epoch(10, 10, 1e300);
    wild.Speed = -1e300;
    const QByteArray big = CKmlTrackWriter(s).Epoch(wild, 5);
    EXPECT_GT(big.size(), 1024);
    EXPECT_TRUE(big.contains("</TD></TR></TABLE>]]></description>"));
    EXPECT_TRUE(w.Tail().startsWith("<name>Epoch</name><Placemark><name>End</name>"));
    EXPECT_TRUE(w.Tail().contains("<coordinates>121.500100,31.205860,100</coordinates>"));
    EXPECT_TRUE(w.Tail().endsWith("</Folder></Document></kml>"));

    // Altitude: the speed, else 0 when forced, else the height.
    POS_DATA_T moving = Epoch(-33.8688, 151.2093, 58.25);
    moving.Speed = 12.34;
    moving.Azimuth = 123.456;
    s.SpeedAsAltitude = true;
    s.Heading = true;
    EXPECT_TRUE(CKmlTrackWriter(s).Epoch(moving, 1).contains("<coordinates>151.209300,-33.868800,12.3</coordinates>"));
    EXPECT_TRUE(CKmlTrackWriter(s).Epoch(moving, 1).contains("<heading>123.46</heading><Icon><href>icon.png"));
    s.SpeedAsAltitude = false;
    s.HeightZero = true;
    EXPECT_TRUE(CKmlTrackWriter(s).Epoch(moving, 1).contains("<coordinates>151.209300,-33.868800,0.0</coordinates>"));

    // Colour icons are numbered by the satellites of the systems the mask selects.
    s = PlainSettings();
    s.IconColour = 4;
    CKmlTrackWriter coloured(s);
    POS_DATA_T e = Epoch(1, 1, 1);
    e.UsedGpsOther = 5;
    e.UsedGalileo = 3;
    e.UsedSbas = 7;
    e.UsedBeiDou = 4;
    EXPECT_TRUE(coloured.Epoch(e, 1).contains("<Icon><href>12.png</href></Icon>"));
    e.UsedGpsOther = e.UsedGalileo = e.UsedBeiDou = 0;
    EXPECT_TRUE(coloured.Epoch(e, 2).contains("<Icon><href>09.png</href></Icon>"));
    EXPECT_EQ(coloured.IconsUsed(), (QSet<uint32_t>{12, 9}));
}

TEST(KmlTrackWriter, TextIsEscapedUtf8AndAnEmptyTrackHasNoEnd)
{
    KMZ_SETTINGS_T s = PlainSettings();
    s.DisplayName = QStringLiteral("Rover <A&B> \"day 1\" 'x' 北京\x01");
    CKmlTrackWriter w(s);
    const QByteArray kml = w.Head() + w.Tail();
    EXPECT_FALSE(kml.contains("<name>End</name>"));
    QXmlStreamReader xml(kml);
    QString sName;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Folder") &&
            xml.attributes().value(QLatin1String("id")) == QLatin1String("ID2"))
        {
            xml.readNextStartElement();
            sName = xml.readElementText();
        }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(sName, QStringLiteral("Rover <A&B> \"day 1\" 'x' 北京?"));
    EXPECT_EQ(XmlEscaped(QStringLiteral("a&<>\"'")), QByteArray("a&amp;&lt;&gt;&quot;&apos;"));
}

TEST_F(KmzExport, TextLogPositionsBecomeThePlacemarks)
{
    // A receiver's text log: BESTPOS at 1 Hz with a range log line, a line cut
    // short and one with a wrong CRC between; now and then no solution; some
    // RTKPOS and INSPVAX logs among them.
    std::string sLog;
    std::vector<double> lats, lons;
    uint32_t nWithout = 0;
    const uint32_t nEpochs = 5000;
    for (uint32_t i = 0; i < nEpochs; ++i)
    {
        const uint32_t nMs = 345600000 + i * 1000;
        const double dLat = -33.86 + i * 1.1e-5, dLon = 151.20 - i * 1.3e-5;
        std::string sLine;
        bool bSolution = true;
        if (i % 97 == 50)
        {
            sLine = PositionLog(3, MSG_ID_BESTPOS, nMs, dLat, dLon, 40.0, 1); // INSUFFICIENT_OBS
            bSolution = false;
        }
        else if (i % 250 == 7)
            sLine = PositionLog(2, MSG_ID_RTKPOS, nMs, dLat, dLon, 40.0 + i * 0.01, 0);
        else if (i % 300 == 11)
        {
            sLine = InspvaxLog(nMs, dLat, dLon, i % 600 == 11 ? 0 : 3); // INACTIVE, then SOLUTION_GOOD
            bSolution = i % 600 != 11;
        }
        else
            sLine = PositionLog(3, MSG_ID_BESTPOS, nMs, dLat, dLon, 40.0 + i * 0.01, 0);
        ASSERT_FALSE(sLine.empty());
        sLog += sLine;
        if (bSolution)
        {
            double dLogLat = 0, dLogLon = 0;
            ASSERT_TRUE(LogPosition(sLine, &dLogLat, &dLogLon)) << sLine;
            lats.push_back(dLogLat);
            lons.push_back(dLogLon);
        }
        else
            ++nWithout;
        if (i % 100 == 3)
        {
            std::string sBad = PositionLog(3, MSG_ID_BESTPOS, nMs, 10.0, 10.0, 1.0, 0);
            sLog += sBad.substr(0, sBad.size() / 2) + "\r\n";
            sBad[sBad.find(";") + 3] ^= 1;
            sLog += sBad;
            sLog += WithTextCrc("#RANGEA,COM1,0,60.0,FINESTEERING,2295,345600.000,02000020,5103,16809;0") +
                    "<OK\r\n";
        }
    }
    const QString sIn = Path("rover.log"), sKmz = Path("rover.kmz");
    ASSERT_TRUE(WriteFile(sIn, sLog));
    KMZ_SETTINGS_T s = PlainSettings();
    s.LogPath = sIn;
    s.KmzPath = sKmz;
    s.DisplayName = QStringLiteral("rover & 北京");
    s.RefMsgType = REF_POS_BESTPOS;
    s.TagOffset = 25;
    std::vector<PARSE_LOG_INFO_T> progress;
    const KMZ_RESULT_T r = GenerateKmz(s, [&](const PARSE_LOG_INFO_T& i) { progress.push_back(i); }, {});
    ASSERT_EQ(r.Info.Status, KMZ_OK) << r.Error.toStdString();
    EXPECT_EQ(r.Info.Epochs, nEpochs);
    EXPECT_EQ(r.Placemarks, lats.size());
    EXPECT_EQ(r.Info.Processed, static_cast<uint64_t>(sLog.size()));
    // Every 64 epochs, and once at the end with the whole input read.
    ASSERT_EQ(progress.size(), (nEpochs + 63) / 64 + 1);
    EXPECT_EQ(progress.front().TagCounter, 1u);
    EXPECT_EQ(progress.back().Processed, progress.back().Total);

    const KMZ_CONTENT_T k = Read(sKmz);
    ASSERT_TRUE(k.Error.isEmpty()) << k.Error.toStdString();
    EXPECT_EQ(k.Entries.value(0), QStringLiteral("Track.kml"));
    EXPECT_TRUE(k.Entries.contains(QStringLiteral("Logo.png")));
    EXPECT_TRUE(k.Entries.contains(QStringLiteral("icon.png")));
    EXPECT_EQ(k.TrackName, QStringLiteral("rover & 北京"));
    const std::vector<KML_PLACEMARK_T> marks = EpochMarks(k);
    ASSERT_EQ(marks.size(), lats.size());
    for (size_t i = 0; i < marks.size(); ++i)
    {
        double dLon = 0, dLat = 0, dAlt = 0;
        ASSERT_TRUE(PointOf(marks[i].Point, &dLon, &dLat, &dAlt)) << marks[i].Point.toStdString();
        // Equal to the log's own text, to the six decimals written.
        EXPECT_NEAR(dLat, lats[i], 0.5e-6 + 1e-12) << i;
        EXPECT_NEAR(dLon, lons[i], 0.5e-6 + 1e-12) << i;
    }
    // Tags count every epoch from the offset, those without a solution too.
    EXPECT_EQ(marks.front().FolderName, QStringLiteral("Tag25"));
    EXPECT_EQ(marks.back().FolderName, QStringLiteral("Tag%1").arg(25 + nEpochs - 1));
    // Segments join each placemark to the one before: one fewer than the points.
    size_t nLines = 0;
    for (const KML_PLACEMARK_T& m : k.Placemarks)
        nLines += !m.Line.isEmpty();
    EXPECT_EQ(nLines, marks.size() - 1);
    // Every image the KML names is in the archive.
    for (const KML_PLACEMARK_T& m : k.Placemarks)
    {
        if (!m.Href.isEmpty())
        {
            EXPECT_TRUE(k.Entries.contains(m.Href)) << m.Href.toStdString();
        }
    }
    EXPECT_GT(nWithout, 0u);
}

TEST_F(KmzExport, NmeaEpochsToTheLastOneWithColourIcons)
{
    // GGA, GSA and RMC of a rover in the northern and western hemispheres,
    // the fix lost for a while; the last epoch has no sentence after it.
    std::string sLog;
    std::vector<double> lats, lons;
    const uint32_t nEpochs = 600;
    for (uint32_t i = 0; i < nEpochs; ++i)
    {
        const uint32_t t = 81220 + i;
        char sTime[16], sLat[32], sLon[32];
        std::snprintf(sTime, sizeof sTime, "%02u%02u%02u.00", t / 3600 % 24, t / 60 % 60, t % 60);
        const double dLat = 37.7749 + i * 1e-5, dLon = -122.4194 - i * 2e-5;
        const double dLatMin = (dLat - 37) * 60, dLonMin = (-dLon - 122) * 60;
        std::snprintf(sLat, sizeof sLat, "37%08.5f", dLatMin);
        std::snprintf(sLon, sizeof sLon, "122%08.5f", dLonMin);
        const bool bFix = i < 200 || i >= 230;
        sLog += Nmea(std::string("GNGGA,") + sTime + "," + sLat + ",N," + sLon + ",W," + (bFix ? "4" : "0") +
                     ",18,0.7,-30.0,M,-32.1,M,1.0,0001");
        sLog += Nmea("GNGSA,A,3,02,05,12,15,24,25,29,,,,,,1.2,0.7,1.0,1");
        sLog += Nmea("GNGSA,A,3,101,103,105,,,,,,,,,,1.2,0.7,1.0,3");
        sLog += Nmea(std::string("GNRMC,") + sTime + (bFix ? ",A," : ",V,") + sLat + ",N," + sLon + ",W,0.5,54.7,050324,,,D");
        if (bFix)
        {
            lats.push_back(37 + std::stod(std::string(sLat).substr(2)) / 60);
            lons.push_back(-(122 + std::stod(std::string(sLon).substr(3)) / 60));
        }
    }
    const QString sIn = Path("rover.nmea"), sKmz = Path("rover.kmz");
    ASSERT_TRUE(WriteFile(sIn, sLog));
    KMZ_SETTINGS_T s = PlainSettings();
    s.LogPath = sIn;
    s.KmzPath = sKmz;
    s.IconColour = 7;
    const KMZ_RESULT_T r = GenerateKmz(s, {}, {});
    ASSERT_EQ(r.Info.Status, KMZ_OK) << r.Error.toStdString();
    EXPECT_EQ(r.Info.Epochs, nEpochs);
    const KMZ_CONTENT_T k = Read(sKmz);
    ASSERT_TRUE(k.Error.isEmpty()) << k.Error.toStdString();
    const std::vector<KML_PLACEMARK_T> marks = EpochMarks(k);
    ASSERT_EQ(marks.size(), lats.size());
    for (size_t i = 0; i < marks.size(); ++i)
    {
        double dLon = 0, dLat = 0, dAlt = 0;
        ASSERT_TRUE(PointOf(marks[i].Point, &dLon, &dLat, &dAlt));
        EXPECT_NEAR(dLat, lats[i], 0.5e-6 + 1e-12) << i;
        EXPECT_NEAR(dLon, lons[i], 0.5e-6 + 1e-12) << i;
        EXPECT_NEAR(dAlt, -30.0 - 32.1, 0.05 + 1e-9) << i; // the ellipsoidal height
        // Seven GPS and three Galileo satellites used; the mask leaves none out.
        EXPECT_EQ(marks[i].Href, QStringLiteral("10.png"));
    }
    EXPECT_EQ(marks.front().FolderName, QStringLiteral("Tag0"));
    EXPECT_EQ(marks.back().FolderName, QStringLiteral("Tag%1").arg(nEpochs - 1));
    EXPECT_TRUE(k.Entries.contains(QStringLiteral("10.png")));
}

TEST_F(KmzExport, APortRecordingMixingBinaryLogsAndTextGivesEveryEpoch)
{
    // As the monitor records a receiver's port: each epoch's binary logs run
    // straight into its GGA or its text position log on the same line, once
    // in a while after a binary log of about 4 KB that holds no line end but
    // does hold the start characters "$" and "#". No RMC follows the GGA.
    std::string sLong(4200, '\0');
    for (size_t i = 0; i < sLong.size(); ++i)
    {
        const char c = static_cast<char>((i * 37 + 11) & 0xFF);
        sLong[i] = c == '\n' ? '\v' : c;
    }
    ASSERT_NE(sLong.find('$'), std::string::npos);
    ASSERT_NE(sLong.find('#'), std::string::npos);
    const uint32_t nEpochs = 300;
    for (const bool bNmea : {true, false})
    {
        SCOPED_TRACE(bNmea ? "GGA" : "BESTPOSA");
        std::string sLog;
        std::vector<double> lats;
        for (uint32_t i = 0; i < nEpochs; ++i)
        {
            const uint32_t nMs = 345600000 + i * 1000;
            const double dLat = 30.5 + i * 1e-5, dLon = 114.3 + i * 1e-5;
            const Bytes binary = loggen::Binary(Record(MSG_ID_BESTPOS, 2295, nMs, Position(dLat, dLon, 20.0, -12.0f)));
            sLog.append(binary.begin(), binary.end());
            if (i % 7 == 3)
                sLog += sLong.substr(0, 3990 + (i * 13) % 120); // some cut where a line of 4 KB ends
            if (bNmea)
            {
                const uint32_t t = 86000 + i;
                char sLatMin[16], sBody[128];
                std::snprintf(sLatMin, sizeof sLatMin, "%08.5f", (dLat - 30) * 60);
                std::snprintf(sBody, sizeof sBody, "GPGGA,%02u%02u%02u.00,30%s,N,114%08.5f,E,4,12,0.8,20.000,M,-12.00,M,,",
                              t / 3600 % 24, t / 60 % 60, t % 60, sLatMin, (dLon - 114) * 60);
                sLog += Nmea(sBody);
                lats.push_back(30 + std::stod(sLatMin) / 60);
            }
            else
            {
                const std::string sLine = PositionLog(3, MSG_ID_BESTPOS, nMs, dLat, dLon, 20.0, 0);
                sLog += sLine;
                double dLogLat = 0, dLogLon = 0;
                ASSERT_TRUE(LogPosition(sLine, &dLogLat, &dLogLon));
                lats.push_back(dLogLat);
            }
        }
        const QString sIn = Path("port.log"), sKmz = Path("port.kmz");
        ASSERT_TRUE(WriteFile(sIn, sLog));
        KMZ_SETTINGS_T s = PlainSettings();
        s.LogPath = sIn;
        s.KmzPath = sKmz;
        s.RefMsgType = bNmea ? REF_POS_GGA : REF_POS_BESTPOS;
        const KMZ_RESULT_T r = GenerateKmz(s, {}, {});
        ASSERT_EQ(r.Info.Status, KMZ_OK) << r.Error.toStdString();
        EXPECT_EQ(r.Info.Processed, static_cast<uint64_t>(sLog.size()));
        EXPECT_EQ(r.Placemarks, nEpochs);
        const KMZ_CONTENT_T k = Read(sKmz);
        ASSERT_TRUE(k.Error.isEmpty()) << k.Error.toStdString();
        const std::vector<KML_PLACEMARK_T> marks = EpochMarks(k);
        ASSERT_EQ(marks.size(), lats.size());
        for (size_t i = 0; i < marks.size(); ++i)
        {
            double dLon = 0, dLat = 0, dAlt = 0;
            ASSERT_TRUE(PointOf(marks[i].Point, &dLon, &dLat, &dAlt));
            EXPECT_NEAR(dLat, lats[i], 0.5e-6 + 1e-12) << i;
            if (bNmea)
            {
                EXPECT_NEAR(dAlt, 20.0 - 12.0, 0.05 + 1e-9) << i; // the GGA's ellipsoidal height
            }
        }
    }
}

TEST_F(KmzExport, AFailureOrCancelPartWayKeepsWhatStoodThere)
{
    std::string sLog;
    for (uint32_t i = 0; i < 3000; ++i)
        sLog += PositionLog(3, MSG_ID_BESTPOS, 345600000 + i * 100, 51.1 + i * 1e-6, -114.0, 1000.0, 0);
    const QString sIn = Path("in.log"), sKmz = Path("out.kmz");
    ASSERT_TRUE(WriteFile(sIn, sLog));
    ASSERT_TRUE(WriteFile(sKmz, "earlier archive"));
    const QStringList before = FilesIn(m_Dir.path());
    KMZ_SETTINGS_T s = PlainSettings();
    s.LogPath = sIn;
    s.KmzPath = sKmz;
    s.RefMsgType = REF_POS_BESTPOS;

    struct
    {
        const char* What;
        KMZ_SETTINGS_T Settings;
        uint32_t Status;
    } cases[] = {
        {"no input", s, KMZ_INPUT_NOT_OPENED},
        {"no folder", s, KMZ_NOT_CREATED},
        {"bad icon", s, KMZ_ICON_UNREADABLE},
        {"same file", s, KMZ_SAME_FILE},
    };
    cases[0].Settings.LogPath = Path("missing.log");
    cases[1].Settings.KmzPath = Path("no/such/folder/out.kmz");
    cases[2].Settings.OwnIconPath = sIn;
    cases[3].Settings.KmzPath = sIn;
    for (const auto& c : cases)
        EXPECT_EQ(GenerateKmz(c.Settings, {}, {}).Info.Status, c.Status) << c.What;

    int nLines = 0;
    EXPECT_EQ(GenerateKmz(s, {}, [&nLines] { return ++nLines > 1000; }).Info.Status, KMZ_CANCELLED);
    {
        CFileSizeCap cap(20000);
        ASSERT_TRUE(cap.IsSet());
        const KMZ_RESULT_T full = GenerateKmz(s, {}, {});
        EXPECT_EQ(full.Info.Status, KMZ_WRITE_FAILED);
        EXPECT_FALSE(full.Error.isEmpty());
    }
    QFile kmz(sKmz);
    ASSERT_TRUE(kmz.open(QIODevice::ReadOnly));
    EXPECT_EQ(kmz.readAll(), QByteArray("earlier archive"));
    EXPECT_EQ(FilesIn(m_Dir.path()), before);

    // And the export that goes through replaces it whole.
    ASSERT_EQ(GenerateKmz(s, {}, {}).Info.Status, KMZ_OK);
    const KMZ_CONTENT_T k = Read(sKmz);
    ASSERT_TRUE(k.Error.isEmpty()) << k.Error.toStdString();
    EXPECT_EQ(EpochMarks(k).size(), 3000u);
}

// The document's root declares the OGC KML 2.2 namespace as its default and
// the prefixes gx (the KML extension namespace 2.2), kml (OGC KML 2.2) and
// atom; each placemark's description carries the record's fields in the
// layout of the track's pop-up, the tag signed (a negative tag offset counts
// up through 0). The record keeps no position-mode byte and no RD value,
// which are written as 0.
TEST(KmlTrackWriter, TheRootDeclaresItsPrefixesAndTheDescriptionCarriesTheRecordsFields)
{
    KMZ_SETTINGS_T s = PlainSettings();
    CKmlTrackWriter w(s);
    QXmlStreamReader xml(w.Head() + w.Tail());
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("kml"));
    EXPECT_EQ(xml.namespaceUri(), QLatin1String("http://www.opengis.net/kml/2.2"));
    std::map<std::string, std::string> prefixes;
    for (const QXmlStreamNamespaceDeclaration& d : xml.namespaceDeclarations())
        prefixes[d.prefix().toString().toStdString()] = d.namespaceUri().toString().toStdString();
    EXPECT_EQ(prefixes, (std::map<std::string, std::string>{{"", "http://www.opengis.net/kml/2.2"},
                                                {"gx", "http://www.google.com/kml/ext/2.2"},
                                                {"kml", "http://www.opengis.net/kml/2.2"},
                                                {"atom", "http://www.w3.org/2005/Atom"}}));

    // An epoch of an RTK rover at speed, as the position parser leaves it.
    POS_DATA_T e = Epoch(31.2057601, 121.4998765, 12.345);
    e.Utc = CalendarTime{2019, 7, 14, 3, 7, 9, 50};
    e.GpsSeconds = 32847.05;
    e.SatsUsed = 7;
    e.Azimuth = 271.5;
    e.Roll = -1.25;
    e.Pitch = 0.5;
    e.Speed = 13.86;
    e.Course = 271.4;
    e.HDOP = 0.8;
    const struct
    {
        uint32_t nTag;
        const char* pDescription;
    } cases[] = {
        {7, "<description><![CDATA[<TABLE><TR><TD width=1000>UTC:03:07:09.050, Tag:7, GPST:32847.050<BR>"
            "PM:0,Fix:4,SatN: 7<BR>Lat:31.206N, Lon:121.500E,Hgt:12.35M <BR>HD:271.500, R:-1.250,P:0.50 <BR>"
            "Speed:13.9,C:271.4,RD:0.0,HDOP:0.8</TD></TR></TABLE>]]></description>"},
        {static_cast<uint32_t>(-3), "Tag:-3, GPST:32847.050<BR>"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(w.Epoch(e, c.nTag).contains(c.pDescription)) << c.pDescription;
    // The time of the fix as the record holds it: a second is never added to
    // a time whose milliseconds it keeps (09.950 is not shown as 10.950).
    e.Utc.Millisecond = 950;
    EXPECT_TRUE(w.Epoch(e, 8).contains("UTC:03:07:09.950, Tag:8,"));
}
