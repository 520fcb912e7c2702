// The road a view's data takes, for the views' tests: a fake receiver on a
// loopback TCP port, opened in the shell wired as the main window wires it,
// its bytes through the port manager, the data view, the parsers and the
// stores, and the views called as the main window's tick calls them. Also an
// oracle of what the receiver sent: NMEA satellites decoded from the
// sentences by the rules of the sentences, not by the monitor's parser.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "codec/log_format.h"
#include "codec/profile.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "support/frame_builders.h"
#include "support/log_generator.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"

// A receiver that acknowledges LOG requests without adding logs of its own,
// so that what reaches a view is only what the test sends or streams.
inline RECEIVER_RULES_T QuietLogs()
{
    RECEIVER_RULES_T r;
    r.Logs = false;
    return r;
}

// Opens a receiver's TCP port in the shell as a new tab and makes it current;
// the port once the receiver has answered the property query, else null.
inline QZvPortCtrlBase* OpenTcpTab(ShellStandIn& Shell, FakeReceiver& Rx)
{
    if (Rx.Listen() == 0)
        return nullptr;
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = Rx.Net().Port();
    if (Shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp) != 0)
        return nullptr;
    QZvPortCtrlBase* pPort = Shell.Tabs.GetPortCtrl(Shell.Tabs.count() - 1);
    Shell.Tabs.setCurrentIndex(Shell.Tabs.count() - 1);
    return pPort != nullptr && WaitUntil([pPort] { return pPort->IsPropertyValid(); }) ? pPort : nullptr;
}

class ViewRoad
{
public:
    explicit ViewRoad(RECEIVER_RULES_T Rules = QuietLogs()) : m_Profile(GetCodecProfile()), Rx(std::move(Rules))
    {
        SetCodecProfile(CODEC_PROFILE_MONITOR);
    }
    ~ViewRoad() { SetCodecProfile(m_Profile); }

    // Opens the receiver's TCP port in the shell; its tab becomes current.
    bool Open()
    {
        pPort = OpenTcpTab(Shell, Rx);
        if (pPort == nullptr)
            return false;
        // The user shows the port's binary logs as text, as for a receiver
        // that logs in binary: its logs reach the store from the first byte.
        Shell.Tabs.GetCurTxView()->m_DisplayMode = CZvTxtBrowser::DISPLAY_BIN_2_ASCII;
        return true;
    }

    uint PortID() const { return pPort != nullptr ? pPort->UniquePortID : 0; }
    CPortTab* Tabs() { return &Shell.Tabs; }
    const QRangeData* Store() const { return Shell.Tabs.GetCurRangeData(); }
    const POS_DATA_T* Position() const { return Shell.Tabs.GetPosData(); }
    // What the main window's tick hands a view: the tab set, or the position record.
    void* TabsPayload() { return &Shell.Tabs; }
    void* PositionPayload() { return &Shell.Tabs.GetPosDataParser()->m_PosData; }

    // Sends bytes as the receiver and runs the event loop until Done() holds.
    bool SendUntil(const std::string& Bytes, const std::function<bool()>& Done)
    {
        Rx.Send(Bytes);
        return WaitUntil(Done);
    }
    // Sends a binary record (header and body) as a log and waits until the
    // store has kept one more of its kind.
    bool SendLog(const loggen::Bytes& Record)
    {
        uint16_t nId = 0;
        std::memcpy(&nId, Record.data() + 4, sizeof nId);
        const uint32_t nBefore = Store()->BodyUpdates(nId);
        const loggen::Bytes wire = loggen::Binary(Record);
        return SendUntil(std::string(wire.begin(), wire.end()),
                         [this, nId, nBefore] { return Store()->BodyUpdates(nId) > nBefore; });
    }

    // Another receiver on the same shell, opened as a further tab.
    class Extra
    {
    public:
        explicit Extra(ViewRoad& Road, RECEIVER_RULES_T Rules = QuietLogs()) : m_Road(Road), Rx(std::move(Rules)) {}
        bool Open() { return (pPort = OpenTcpTab(m_Road.Shell, Rx)) != nullptr; }
        uint PortID() const { return pPort != nullptr ? pPort->UniquePortID : 0; }

    private:
        ViewRoad& m_Road;

    public:
        FakeReceiver Rx;
        QZvPortCtrlBase* pPort = nullptr;
    };

private:
    CODEC_PROFILE_E m_Profile;

public:
    ShellStandIn Shell;
    FakeReceiver Rx;
    QZvPortCtrlBase* pPort = nullptr;
};

// ---- What the receiver sent, read by the rules of NMEA ----

// A satellite of a GSV sentence, with its system and number within the
// system as the talker and the number ranges of NMEA give them.
struct SENT_SAT_T
{
    uint32_t Slot = 0;  // 0 GPS (SBAS too), 1 GLONASS, 2 Galileo, 3 BeiDou, 5 QZSS
    int Number = 0;     // within the system: GPS PRN, GLONASS slot, ...
    int Elevation = -1; // -1: none
    int Azimuth = -1;   // -1: none
    int Cn0 = -1;       // -1: none
    bool Used = false;
};

inline std::vector<std::string> NmeaFields(const std::string& sSentence)
{
    const size_t nEnd = sSentence.find('*');
    const std::string sBody = sSentence.substr(1, nEnd == std::string::npos ? std::string::npos : nEnd - 1);
    std::vector<std::string> f(1);
    for (char c : sBody)
        if (c == ',')
            f.emplace_back();
        else
            f.back() += c;
    return f;
}

// System and number of an NMEA satellite number under a talker.
inline bool NmeaSatellite(const std::string& sTalker, int n, uint32_t* pSlot, int* pNumber)
{
    if (sTalker == "GP" && n >= 1 && n <= 64)
        *pSlot = 0, *pNumber = n; // GPS 1-32, SBAS 33-64
    else if ((sTalker == "GP" || sTalker == "GQ") && n >= 193 && n <= 202)
        *pSlot = 5, *pNumber = n;
    else if (sTalker == "GQ" && n >= 1 && n <= 10)
        *pSlot = 5, *pNumber = n + 192;
    else if (sTalker == "GL" && n >= 65 && n <= 96)
        *pSlot = 1, *pNumber = n - 64;
    else if (sTalker == "GA" && n >= 1 && n <= 36)
        *pSlot = 2, *pNumber = n;
    else if (sTalker == "GA" && n >= 301 && n <= 336)
        *pSlot = 2, *pNumber = n - 300;
    else if ((sTalker == "GB" || sTalker == "BD") && n >= 1 && n <= 63)
        *pSlot = 3, *pNumber = n;
    else if ((sTalker == "GB" || sTalker == "BD") && n >= 161 && n <= 223)
        *pSlot = 3, *pNumber = n - 160;
    else
        return false;
    return true;
}

// The satellites of the GSV sentences among Items, the used ones marked from
// the GSA sentences, keyed by slot and number.
inline std::map<std::pair<uint32_t, int>, SENT_SAT_T> SentSatellites(const std::vector<std::string>& Sentences)
{
    std::map<std::pair<uint32_t, int>, SENT_SAT_T> sats;
    std::vector<std::pair<std::string, int>> used;
    for (const std::string& s : Sentences)
    {
        const std::vector<std::string> f = NmeaFields(s);
        if (f.empty() || f[0].size() != 5)
            continue;
        const std::string talker = f[0].substr(0, 2), type = f[0].substr(2);
        if (type == "GSV")
            for (size_t i = 4; i + 3 < f.size(); i += 4)
            {
                SENT_SAT_T sat;
                if (f[i].empty() || !NmeaSatellite(talker, std::stoi(f[i]), &sat.Slot, &sat.Number))
                    continue;
                sat.Elevation = f[i + 1].empty() ? -1 : std::stoi(f[i + 1]);
                sat.Azimuth = f[i + 2].empty() ? -1 : std::stoi(f[i + 2]);
                sat.Cn0 = f[i + 3].empty() ? -1 : std::stoi(f[i + 3]);
                sats[{sat.Slot, sat.Number}] = sat;
            }
        else if (type == "GSA")
            for (size_t i = 3; i < 15 && i < f.size(); ++i)
                if (!f[i].empty())
                    used.emplace_back(talker, std::stoi(f[i]));
    }
    for (const auto& u : used)
    {
        uint32_t nSlot;
        int nNumber;
        if (NmeaSatellite(u.first, u.second, &nSlot, &nNumber) && sats.count({nSlot, nNumber}))
            sats[{nSlot, nNumber}].Used = true;
    }
    return sats;
}

// The sentences of the epoch the position record holds once all that Sent
// holds has been read: those between the last two GGA sentences (the last GGA
// closes the epoch before it).
inline std::vector<std::string> LastClosedEpoch(const std::vector<STREAM_ITEM_T>& Sent)
{
    std::vector<size_t> ggas;
    for (size_t i = 0; i < Sent.size(); ++i)
        if (Sent[i].Name == "GPGGA")
            ggas.push_back(i);
    std::vector<std::string> epoch;
    if (ggas.size() >= 2)
        for (size_t i = ggas[ggas.size() - 2]; i < ggas.back(); ++i)
            epoch.push_back(Sent[i].Wire);
    return epoch;
}

// Streams NMEA (and binary logs) from the road's receiver until nGgas GGA
// sentences went out, stops, and returns the epoch the record will hold once
// the data view has read everything, after waiting for that.
inline std::vector<std::string> StreamEpochs(ViewRoad& Road, int nGgas)
{
    Road.Rx.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 40000);
    const bool bSent = WaitUntil(
        [&]
        {
            int n = 0;
            for (const STREAM_ITEM_T& it : Road.Rx.Sent())
                n += it.Name == "GPGGA";
            return n >= nGgas;
        });
    Road.Rx.StopStream();
    const std::vector<std::string> epoch = bSent ? LastClosedEpoch(Road.Rx.Sent()) : std::vector<std::string>();
    if (epoch.empty())
        return epoch;
    const std::string sTime = NmeaFields(epoch.front())[1];
    const bool bRead = WaitUntil(
        [&]
        {
            const CalendarTime& t = Road.Position()->Utc;
            char hms[16];
            std::snprintf(hms, sizeof hms, "%02u%02u%02u", t.Hour, t.Minute, t.Second);
            return sTime.compare(0, 6, hms) == 0;
        });
    return bRead ? epoch : std::vector<std::string>();
}

// ---- Sentences of a test's own receiver ----

constexpr int kNone = -1000; // an empty field

// A satellite as a GSV sentence reports it.
struct TEST_SAT_T
{
    const char* Talker;
    int Number; // as the sentence numbers it
    int El;     // kNone: empty field
    int Az;
    int Cn0;
    bool Used;
};

inline std::string Field(int v) { return v == kNone ? std::string() : std::to_string(v); }

// One epoch's sentences: GGA, a GSA and a GSV series per talker.
inline std::vector<std::string> Epoch(int nSecond, const std::vector<TEST_SAT_T>& Sats)
{
    std::vector<std::string> out;
    char gga[128];
    std::snprintf(gga, sizeof gga, "GPGGA,1200%02d.00,3031.69800,N,11421.34800,E,1,%02zu,0.8,36.250,M,-12.10,M,,",
                  nSecond, Sats.size());
    out.push_back(Nmea(gga));
    std::vector<std::string> talkers;
    for (const TEST_SAT_T& s : Sats)
        if (std::find(talkers.begin(), talkers.end(), s.Talker) == talkers.end())
            talkers.push_back(s.Talker);
    for (const std::string& t : talkers)
    {
        std::vector<const TEST_SAT_T*> mine;
        std::string gsa = t + "GSA,A,3";
        int nUsed = 0;
        for (const TEST_SAT_T& s : Sats)
            if (t == s.Talker)
            {
                mine.push_back(&s);
                if (s.Used && nUsed++ < 12)
                    gsa += "," + std::to_string(s.Number);
            }
        for (; nUsed < 12; ++nUsed)
            gsa += ",";
        out.push_back(Nmea(gsa + ",1.5,0.8,1.2"));
        const size_t nMsgs = (mine.size() + 3) / 4;
        for (size_t m = 0; m < nMsgs; ++m)
        {
            std::string gsv =
                t + "GSV," + std::to_string(nMsgs) + "," + std::to_string(m + 1) + "," + std::to_string(mine.size());
            for (size_t i = 4 * m; i < std::min(4 * m + 4, mine.size()); ++i)
                gsv += "," + std::to_string(mine[i]->Number) + "," + Field(mine[i]->El) + "," + Field(mine[i]->Az) +
                       "," + Field(mine[i]->Cn0);
            out.push_back(Nmea(gsv));
        }
    }
    return out;
}

inline std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += x;
    return s;
}

// ---- Pictures ----

inline bool Near(QRgb c, const QColor& Want, int nTolerance = 3)
{
    return std::abs(qRed(c) - Want.red()) <= nTolerance && std::abs(qGreen(c) - Want.green()) <= nTolerance &&
           std::abs(qBlue(c) - Want.blue()) <= nTolerance;
}

// A colour at opacity a over white.
inline QColor OverWhite(const QColor& c, double a)
{
    auto mix = [a](int v) { return static_cast<int>(std::lround(a * v + (1 - a) * 255)); };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

// Counts the paint events of the widgets it watches.
struct PaintCounter : QObject
{
    int Paints = 0;
    explicit PaintCounter(std::initializer_list<QWidget*> Watched)
    {
        for (QWidget* p : Watched)
            p->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        Paints += pEvent->type() == QEvent::Paint;
        return false;
    }
    // The paints that Step makes, its posted events processed as after a tick.
    template <class F> int During(F&& Step)
    {
        QCoreApplication::processEvents();
        Paints = 0;
        Step();
        QCoreApplication::processEvents();
        return Paints;
    }
};

// The widget as it paints now, at one pixel per point.
inline QImage Picture(QWidget* pWidget) { return pWidget->grab().toImage().convertToFormat(QImage::Format_RGB32); }
