#include "monitor/tools/kmz_writer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include "monitor/shell/monitor_resources.h"

namespace
{
constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
constexpr int kIconSide = 32;
constexpr int kFlushBytes = 64 * 1024;
constexpr uint32_t kProgressEvery = 64;
// Start and end markers stand this high above the ground.
constexpr int kMarkerAltitude = 100;
constexpr double kMarkerScale = 1.2;

const char kLogoEntry[] = "Logo.png";
const char kMarkerEntry[] = "Marker.png";
const char kOwnIconEntry[] = "icon.png";
const char kTrackEntry[] = "Track.kml";
const char kLogoResource[] = ":/QZorvikMonitor/Img/Halvorne.png";

struct ICON_COLOUR_T
{
    const char* Name;
    QRgb Fill;
};
const ICON_COLOUR_T kIconColours[KMZ_ICON_COLOURS] = {
    {"teal", qRgb(0, 128, 128)},    {"green", qRgb(0, 160, 0)},     {"yellow", qRgb(255, 220, 0)},
    {"orange", qRgb(255, 140, 0)},  {"red", qRgb(220, 0, 0)},       {"pink", qRgb(255, 105, 180)},
    {"purple", qRgb(128, 0, 160)},  {"blue", qRgb(0, 90, 255)},     {"darkblue", qRgb(0, 0, 139)},
    {"black", qRgb(0, 0, 0)},       {"brown", qRgb(139, 69, 19)},   {"gray", qRgb(128, 128, 128)},
    {"white", qRgb(255, 255, 255)},
};

// Digits 0-9 on a 3 x 5 grid, a row of three bits per line, top line first:
// the icons carry no font, so they look the same on every machine.
const uint16_t kDigitRows[10] = {
    0b111101101101111, 0b010110010010111, 0b111001111100111, 0b111001111001111, 0b101101111001001,
    0b111100111001111, 0b111100111101111, 0b111001010010010, 0b111101111101111, 0b111101111001111,
};

void AppendF(QByteArray* pOut, const char* pFormat, ...) __attribute__((format(printf, 2, 3)));
void AppendF(QByteArray* pOut, const char* pFormat, ...)
{
    char buf[1024];
    va_list args, again;
    va_start(args, pFormat);
    va_copy(again, args);
    const int n = std::vsnprintf(buf, sizeof buf, pFormat, args);
    va_end(args);
    if (n > 0 && n < static_cast<int>(sizeof buf))
        pOut->append(buf, n);
    else if (n > 0)
    {
        // A value far out of range prints long; the text is never cut.
        const int nAt = pOut->size();
        pOut->resize(nAt + n + 1);
        std::vsnprintf(pOut->data() + nAt, static_cast<size_t>(n) + 1, pFormat, again);
        pOut->chop(1);
    }
    va_end(again);
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage EmptyIcon()
{
    QImage image(kIconSide, kIconSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

double Scale(const KMZ_SETTINGS_T& s) { return s.IconSize / 10.0; }
} // namespace

const char* KmzIconColourName(uint32_t nIndex) { return nIndex < KMZ_ICON_COLOURS ? kIconColours[nIndex].Name : ""; }

QByteArray XmlEscaped(const QString& sText)
{
    QByteArray out;
    for (const char c : sText.toUtf8())
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // XML 1.0 has no place for control characters other than tab and line ends, escaped or not.
            out += (static_cast<uint8_t>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') ? '?' : c;
        }
    }
    return out;
}

// ---- KML ----

bool CKmlTrackWriter::HasSolution(const POS_DATA_T& Pos)
{
    return Pos.FixQuality != 0 && Pos.FixQuality != FIX_QUALITY_UNKNOWN && std::fabs(Pos.Latitude) <= 90.0 &&
           std::fabs(Pos.Longitude) <= 180.0;
}

uint32_t CKmlTrackWriter::IconNumber(const POS_DATA_T& Pos) const
{
    const uint32_t counts[5] = {Pos.UsedGpsOther, Pos.UsedGalileo, Pos.UsedSbas, Pos.UsedBeiDou, 0};
    uint32_t nSum = 0;
    for (uint32_t i = 0; i < 5; ++i)
        if (m_Settings.SatMask & (1u << i))
            nSum += counts[i];
    return nSum != 0 ? nSum : Pos.SatsUsed;
}

QByteArray CKmlTrackWriter::Head() const
{
    QByteArray s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\" "
                   "xmlns:kml=\"http://www.opengis.net/kml/2.2\" xmlns:atom=\"http://www.w3.org/2005/Atom\">\n"
                   "<Document>";
    s += "<Folder id=\"ID1\"><name>Halvorne</name><visibility>0</visibility><open>0</open><ScreenOverlay>"
         "<name>Halvorne Logo</name><visibility>1</visibility><Icon><href>";
    s += kLogoEntry;
    s += "</href></Icon><overlayXY x=\"0\" y=\"-1\" xunits=\"fraction\" yunits=\"fraction\"/>"
         "<screenXY x=\"0\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\"/>"
         "<size x=\"274.2\" y=\"44.1\" xunits=\"pixels\" yunits=\"pixels\"/></ScreenOverlay></Folder>";
    s += "<Folder id=\"ID2\"><name>" + XmlEscaped(m_Settings.DisplayName) + "</name><open>0</open>";
    return s;
}

QByteArray CKmlTrackWriter::Marker(const char* pName, double dLat, double dLon) const
{
    QByteArray s;
    AppendF(&s, "<Placemark><name>%s</name><Style><IconStyle><scale>%0.1f</scale><Icon><href>%s</href></Icon>"
                "</IconStyle></Style><Point><extrude>1</extrude><altitudeMode>relativeToGround</altitudeMode>"
                "<coordinates>%.6f,%.6f,%d</coordinates></Point></Placemark>",
            pName, kMarkerScale, kMarkerEntry, dLon, dLat, kMarkerAltitude);
    return s;
}

QByteArray CKmlTrackWriter::Epoch(const POS_DATA_T& Pos, uint32_t nTag)
{
    if (!HasSolution(Pos))
        return QByteArray();
    QByteArray s;
    if (!m_bStarted && Pos.Latitude != 0.0)
    {
        m_bStarted = true;
        m_StartLat = Pos.Latitude;
        m_StartLon = Pos.Longitude;
        s += "<name>Start</name>" + Marker("Start", m_StartLat, m_StartLon);
    }
    if (m_Settings.Label && nTag % 100 == 0)
        AppendF(&s, "<name>Tag%u</name><Placemark><name>Tag%u</name>", nTag, nTag);
    else
        AppendF(&s, "<name>Tag%u</name><Placemark>", nTag);
    // The record keeps no position-mode byte and no RD value: both are 0.
    // The tag is the offset (which may be negative) plus the epoch count.
    AppendF(&s,
            "<description><![CDATA[<TABLE><TR><TD width=1000>UTC:%02d:%02d:%02d.%03d, Tag:%d, GPST:%.3f<BR>"
            "PM:%d,Fix:%d,SatN:%2d<BR>Lat:%.3fN, Lon:%.3fE,Hgt:%.2fM <BR>HD:%.3f, R:%.3f,P:%.2f <BR>"
            "Speed:%.1f,C:%.1f,RD:%.1f,HDOP:%.1f</TD></TR></TABLE>]]></description>",
            static_cast<int>(Pos.Utc.Hour), static_cast<int>(Pos.Utc.Minute), static_cast<int>(Pos.Utc.Second),
            static_cast<int>(Pos.Utc.Millisecond), static_cast<int32_t>(nTag), Pos.GpsSeconds, 0,
            static_cast<int>(Pos.FixQuality), static_cast<int>(Pos.SatsUsed), Pos.Latitude, Pos.Longitude,
            Pos.Height, Pos.Azimuth, Pos.Roll, Pos.Pitch, Pos.Speed, Pos.Course, 0.0, Pos.HDOP);
    if (m_Settings.IconColour == KMZ_OWN_ICON)
    {
        AppendF(&s, "<Style><IconStyle><scale>%0.1f</scale>", Scale(m_Settings));
        if (m_Settings.Heading)
            AppendF(&s, "<heading>%.2f</heading>", Pos.Azimuth);
        s += "<Icon><href>";
        s += kOwnIconEntry;
        s += "</href></Icon></IconStyle></Style>";
    }
    else
    {
        const uint32_t nIcon = IconNumber(Pos);
        m_IconsUsed.insert(nIcon);
        AppendF(&s, "<Style><IconStyle><scale>%0.1f</scale><Icon><href>%02u.png</href></Icon></IconStyle></Style>",
                Scale(m_Settings), nIcon);
    }
    const double dAltitude = m_Settings.SpeedAsAltitude ? Pos.Speed : m_Settings.HeightZero ? 0.0 : Pos.Height;
    AppendF(&s,
            "<Point><extrude>1</extrude><altitudeMode>relativeToGround</altitudeMode>"
            "<coordinates>%.6f,%.6f,%.1f</coordinates></Point></Placemark>",
            Pos.Longitude, Pos.Latitude, dAltitude);
    // A segment from the placemark before, whatever kind of log the positions came from.
    const bool bHere = Pos.Latitude != 0.0 || Pos.Longitude != 0.0;
    const bool bBefore = m_LastLat != 0.0 || m_LastLon != 0.0;
    if (m_bStarted && m_bHasLast && bHere && bBefore)
        AppendF(&s,
                "<Placemark><Style><LineStyle><width>%u</width><color>%08x</color></LineStyle></Style><LineString>"
                "<tessellate>1</tessellate><coordinates>%0.6f,%0.6f,%0.1f %0.6f,%0.6f,%0.1f</coordinates>"
                "</LineString></Placemark>",
                m_Settings.LineWidth, m_Settings.LineColour, Pos.Longitude, Pos.Latitude, Pos.Height, m_LastLon,
                m_LastLat, m_LastHeight);
    m_bHasLast = true;
    m_LastLat = Pos.Latitude;
    m_LastLon = Pos.Longitude;
    m_LastHeight = Pos.Height;
    ++m_nPlacemarks;
    return s;
}

QByteArray CKmlTrackWriter::Tail() const
{
    QByteArray s;
    // A track without a position has no end either.
    if (m_bStarted)
        s += "<name>Epoch</name>" + Marker("End", m_LastLat, m_LastLon);
    s += "</Folder></Document></kml>";
    return s;
}

// ---- Images ----

QImage KmzNumberIcon(uint32_t nColour, uint32_t nNumber)
{
    const QColor fill(nColour < KMZ_ICON_COLOURS ? kIconColours[nColour].Fill : qRgb(128, 128, 128));
    const bool bDark = fill.lightness() < 140;
    QImage image = EmptyIcon();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(bDark ? QColor(255, 255, 255) : QColor(40, 40, 40), 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, kIconSide - 3.0, kIconSide - 3.0));
    p.setRenderHint(QPainter::Antialiasing, false);
    const QByteArray digits = QByteArray::number(nNumber).rightJustified(2, '0');
    // Three pixels a grid cell for two digits, two for more.
    const int nCell = digits.size() <= 2 ? 3 : 2;
    const int nWidth = digits.size() * 3 * nCell + (digits.size() - 1) * nCell;
    int x = (kIconSide - nWidth) / 2;
    const int y = (kIconSide - 5 * nCell) / 2;
    const QColor ink = bDark ? QColor(255, 255, 255) : QColor(0, 0, 0);
    for (const char c : digits)
    {
        const uint16_t rows = kDigitRows[c - '0'];
        for (int r = 0; r < 5; ++r)
            for (int col = 0; col < 3; ++col)
                if (rows & (1u << (14 - (r * 3 + col))))
                    p.fillRect(x + col * nCell, y + r * nCell, nCell, nCell, ink);
        x += 4 * nCell;
    }
    return image;
}

QImage KmzMarkerIcon()
{
    QImage image = EmptyIcon();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath pin;
    pin.moveTo(16, 31);
    pin.arcTo(QRectF(5, 1, 22, 22), -60, 300);
    pin.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(255, 200, 0));
    p.drawPath(pin);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(16, 12), 4, 4);
    return image;
}

QImage KmzDefaultOwnIcon()
{
    QImage image = EmptyIcon();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF arrow[4] = {QPointF(16, 2), QPointF(28, 29), QPointF(16, 22), QPointF(4, 29)};
    p.setPen(QPen(QColor(60, 0, 0), 1.5));
    p.setBrush(QColor(230, 30, 30));
    p.drawPolygon(arrow, 4);
    return image;
}

// ---- The export ----

namespace
{
bool AddEntry(QuaZip* pZip, const QString& sName, const QByteArray& data)
{
    QuaZipFile entry(pZip);
    if (!entry.open(QIODevice::WriteOnly, QuaZipNewInfo(sName)))
        return false;
    const bool bWritten = entry.write(data) == data.size();
    entry.close();
    return bWritten && entry.getZipError() == ZIP_OK;
}

// The epoch in the record, its position in degrees, as the writer takes it.
POS_DATA_T InDegrees(const POS_DATA_T& Pos)
{
    POS_DATA_T e = Pos;
    e.Latitude *= kRadToDeg;
    e.Longitude *= kRadToDeg;
    e.PrevLatitude *= kRadToDeg;
    e.PrevLongitude *= kRadToDeg;
    return e;
}
} // namespace

uint32_t ReadKmzLog(QIODevice* pIn, uint32_t nRefMsgType, PARSE_LOG_INFO_T* pInfo, const KmzEpochFn& onEpoch,
                    const KmzCancelFn& cancelled)
{
    POS_DATA_T pos;
    ResetPosData(&pos);
    pos.RefPosMsgType = nRefMsgType;
    NMEA_STATE_T nmea;
    ResetNmeaState(&nmea);
    const bool bNmea = nRefMsgType <= REF_POS_RMC;
    // The first GGA or RMC also publishes the empty epoch collected before it.
    bool bNmeaPublished = false;
    bool bGoOn = true;

    // A recorded port mixes binary logs with the text: a sentence or text log
    // may follow binary bytes on its line, so it is read from the last place
    // its start character stands (neither holds that character inside).
    const char cStart = bNmea ? '$' : '#';
    char line[4096];
    while (bGoOn && !pIn->atEnd())
    {
        if (cancelled && cancelled())
            return KMZ_CANCELLED;
        qint64 nRead = pIn->readLine(line, sizeof line);
        if (nRead < 0)
            return KMZ_READ_FAILED;
        // A line longer than the buffer is read again from its last start
        // character, so that no sentence is cut where the buffer ends.
        if (nRead == static_cast<qint64>(sizeof line) - 1 && line[nRead - 1] != '\n')
        {
            const char* pLast = static_cast<const char*>(memrchr(line, cStart, static_cast<size_t>(nRead)));
            if (pLast != nullptr && pLast > line && pIn->seek(pIn->pos() - (nRead - (pLast - line))))
                nRead = pLast - line;
        }
        pInfo->Processed += static_cast<uint64_t>(nRead);
        int32_t nLength = static_cast<int32_t>(nRead);
        while (nLength > 0 && (line[nLength - 1] == '\n' || line[nLength - 1] == '\r'))
            --nLength;
        const char* pStart = static_cast<const char*>(memrchr(line, cStart, static_cast<size_t>(nLength)));
        const int32_t nText = pStart != nullptr ? nLength - static_cast<int32_t>(pStart - line) : 0;
        if (bNmea)
        {
            if (pStart != nullptr && ParseNmeaSentence(pStart, nText, &pos, &nmea) == 1 &&
                std::exchange(bNmeaPublished, true))
                bGoOn = onEpoch(pos);
        }
        else if (pStart != nullptr && PositionLogToPosData(pStart, nText, &pos))
            bGoOn = onEpoch(pos);
    }
    // The last epoch of NMEA input has no later sentence to publish it.
    if (bGoOn && bNmea && FinishNmeaEpoch(&pos, &nmea) && bNmeaPublished)
        onEpoch(pos);
    return KMZ_OK;
}

KMZ_RESULT_T GenerateKmz(const KMZ_SETTINGS_T& Settings, const KmzProgressFn& progress, const KmzCancelFn& cancelled)
{
    KMZ_RESULT_T r;
    PARSE_LOG_INFO_T& info = r.Info;
    const auto fail = [&r](uint32_t nStatus, const QString& sError) {
        r.Info.Status = nStatus;
        r.Error = sError;
        return r;
    };

    QFile in(Settings.LogPath);
    if (!QFileInfo(Settings.LogPath).isFile() || !in.open(QIODevice::ReadOnly))
        return fail(KMZ_INPUT_NOT_OPENED, in.errorString());
    info.Total = static_cast<uint64_t>(in.size());
    const QFileInfo kmzInfo(Settings.KmzPath);
    if (kmzInfo.exists() && kmzInfo.canonicalFilePath() == QFileInfo(Settings.LogPath).canonicalFilePath())
        return fail(KMZ_SAME_FILE, QString());

    QByteArray ownIcon;
    if (Settings.IconColour == KMZ_OWN_ICON)
    {
        const QImage icon = Settings.OwnIconPath.isEmpty() ? KmzDefaultOwnIcon() : QImage(Settings.OwnIconPath);
        if (icon.isNull())
            return fail(KMZ_ICON_UNREADABLE, Settings.OwnIconPath);
        ownIcon = Png(icon);
    }

    QSaveFile file(Settings.KmzPath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(KMZ_NOT_CREATED, file.errorString());
    QuaZip zip(&file);
    // The archive file is ours to commit once everything is in it.
    zip.setAutoClose(false);
    if (!zip.open(QuaZip::mdCreate))
        return fail(KMZ_NOT_CREATED, file.errorString());
    QuaZipFile kml(&zip);
    if (!kml.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(kTrackEntry))))
        return fail(KMZ_NOT_CREATED, file.errorString());

    CKmlTrackWriter writer(Settings);
    QByteArray text = writer.Head();
    const auto flush = [&kml, &text] {
        const bool bOk = kml.write(text) == text.size();
        text.clear();
        return bOk;
    };
    bool bWriteOk = true;
    const uint32_t nRead = ReadKmzLog(
        &in, Settings.RefMsgType, &info,
        [&](const POS_DATA_T& Pos)
        {
            text += writer.Epoch(InDegrees(Pos), static_cast<uint32_t>(Settings.TagOffset) + info.TagCounter);
            ++info.TagCounter;
            ++info.Epochs;
            if (info.TagCounter % kProgressEvery == 1 && progress)
                progress(info);
            if (text.size() >= kFlushBytes)
                bWriteOk = flush() && bWriteOk;
            return bWriteOk;
        },
        cancelled);
    if (nRead != KMZ_OK)
    {
        file.cancelWriting();
        return fail(nRead, nRead == KMZ_READ_FAILED ? in.errorString() : QString());
    }
    text += writer.Tail();
    bWriteOk = flush() && bWriteOk;
    kml.close();
    bWriteOk = bWriteOk && kml.getZipError() == ZIP_OK;

    InitMonitorResources();
    QFile logo(QString::fromLatin1(kLogoResource));
    bWriteOk = bWriteOk && logo.open(QIODevice::ReadOnly) &&
               AddEntry(&zip, QString::fromLatin1(kLogoEntry), logo.readAll()) &&
               AddEntry(&zip, QString::fromLatin1(kMarkerEntry), Png(KmzMarkerIcon()));
    if (Settings.IconColour == KMZ_OWN_ICON)
        bWriteOk = bWriteOk && AddEntry(&zip, QString::fromLatin1(kOwnIconEntry), ownIcon);
    else
        for (const uint32_t nIcon : writer.IconsUsed())
            bWriteOk = bWriteOk && AddEntry(&zip, QString::asprintf("%02u.png", nIcon),
                                            Png(KmzNumberIcon(Settings.IconColour, nIcon)));
    zip.close();
    bWriteOk = bWriteOk && zip.getZipError() == ZIP_OK;
    if (!bWriteOk)
    {
        const QString sError = file.errorString();
        file.cancelWriting();
        return fail(KMZ_WRITE_FAILED, sError);
    }
    if (!file.commit())
        return fail(KMZ_WRITE_FAILED, file.errorString());
    info.Processed = info.Total;
    r.Placemarks = writer.Placemarks();
    if (progress)
        progress(info);
    return r;
}
