// Helpers of the web view tests: a script's result in a page, a page loaded,
// the port whose fixes the map window reads, and the pictures kept of the
// windows. The test main sets what Qt WebEngine needs without a display.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "codec/ins_logs.h"
#include "monitor/shell/port_tab.h"
#include "support/frame_builders.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/monitor/receiver_ports.h"

// Texts in failure messages as they read.
inline void PrintTo(const QString& sText, std::ostream* pOut) { *pOut << '"' << sText.toStdString() << '"'; }

// Generous for a loaded machine; every wait ends as soon as it is met.
inline constexpr int kWebWaitMs = 30000;

// The result of a script run in the page; an invalid value when it gave none in time.
inline QVariant RunScript(QWebEngineView* pView, const QString& sScript)
{
    auto pResult = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    pView->page()->runJavaScript(sScript, [pResult](const QVariant& Value) { *pResult = {true, Value}; });
    WaitUntil([pResult] { return pResult->first; }, kWebWaitMs);
    return pResult->second;
}

// Waits until the script gives true in the page.
inline bool WaitForScript(QWebEngineView* pView, const QString& sCondition)
{
    return WaitUntil([&] { return RunScript(pView, sCondition).toBool(); }, kWebWaitMs);
}

// Where the tests keep the pictures of the windows: ZV_UI_SHOTS, else
// "ui_shots" beside the test program in the build folder.
inline QString ShotPath(const QString& sName)
{
    QString sFolder = QString::fromLocal8Bit(qgetenv("ZV_UI_SHOTS"));
    if (sFolder.isEmpty())
        sFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/ui_shots");
    QDir().mkpath(sFolder);
    return QDir(sFolder).filePath(sName + QStringLiteral(".png"));
}

// How many pixels of the image, within Radius of (x, y), are within 40 of the colour on every channel.
inline int CountNear(const QImage& Image, QColor Colour, int x, int y, int Radius)
{
    int n = 0;
    for (int j = qMax(0, y - Radius); j <= qMin(Image.height() - 1, y + Radius); ++j)
        for (int i = qMax(0, x - Radius); i <= qMin(Image.width() - 1, x + Radius); ++i)
        {
            const QColor c = Image.pixelColor(i, j);
            if (std::abs(c.red() - Colour.red()) <= 40 && std::abs(c.green() - Colour.green()) <= 40 &&
                std::abs(c.blue() - Colour.blue()) <= 40)
                ++n;
        }
    return n;
}

// The view as it is drawn (the offscreen platform renders web views too).
inline QImage Picture(QWidget* pView) { return pView->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// A port of its own in the tab set, fed in memory: what the receiver sends
// goes through the port's receive road to the position record and the
// latest-log store that the map window reads.
class FixPort
{
public:
    FixPort()
    {
        m_Tabs.OnAddPort(m_Port.UniquePortID, m_Port.PortType, &m_Port);
        m_Tabs.setCurrentIndex(0);
    }
    CPortTab* Tabs() { return &m_Tabs; }
    // The tick's payload.
    void* Payload() { return &m_Tabs; }

    // The GGA sentence of an epoch with a position (degrees, south and west
    // negative) and a quality indicator (0: no solution), 14 satellites, 58.0 m
    // above the geoid with an undulation of 22.1 m; the first epoch is at
    // 08:12:20 UTC, each next one a second later. An epoch is complete when
    // the next one begins: the GGA of the next epoch follows, without a
    // position yet, as a receiver sends it, and the next fix fills it.
    void Gga(double dLatitude, double dLongitude, int nQuality)
    {
        char fields[96];
        const double dLat = std::fabs(dLatitude);
        const double dLon = std::fabs(dLongitude);
        std::snprintf(fields, sizeof fields, "%02d%010.7f,%c,%03d%010.7f,%c,%d,14,0.7,58.000,M,22.100,M,,",
                      static_cast<int>(dLat), (dLat - std::floor(dLat)) * 60.0, dLatitude < 0 ? 'S' : 'N',
                      static_cast<int>(dLon), (dLon - std::floor(dLon)) * 60.0, dLongitude < 0 ? 'W' : 'E', nQuality);
        Receive(Nmea(GgaTime(m_nEpoch) + fields) + Nmea(GgaTime(m_nEpoch + 1) + ",,,,0,00,99.9,,,,,,"));
        ++m_nEpoch;
    }
    // A binary INSPVAX log with this INS status and attitude (degrees).
    void Inspvax(uint32_t nStatus, double dRoll, double dPitch, double dAzimuth)
    {
        InspvaxBody body{};
        body.InsStatus = nStatus;
        body.PosType = 56;
        body.Latitude = 48.137154;
        body.Longitude = 11.576124;
        body.Height = 519.5;
        body.Roll = dRoll;
        body.Pitch = dPitch;
        body.Azimuth = dAzimuth;
        const Bytes log = LongLog(MSG_ID_INSPVAX, BodyBytes(body));
        m_Port.Receive(QByteArray(reinterpret_cast<const char*>(log.data()), static_cast<int>(log.size())));
    }
    void Receive(const std::string& sText) { m_Port.Receive(QByteArray::fromStdString(sText)); }

private:
    static std::string GgaTime(int nEpoch)
    {
        char time[32];
        std::snprintf(time, sizeof time, "GPGGA,0812%02d.00,", 20 + nEpoch);
        return time;
    }

    int m_nEpoch = 0;
    CMemoryPortCtrl m_Port; // outlives the tab set, which removes its tab
    CPortTab m_Tabs;
};
