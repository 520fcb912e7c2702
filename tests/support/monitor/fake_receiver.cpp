#include "fake_receiver.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "support/frame_builders.h"
#include "support/text_log_builder.h"

namespace
{
using Clock = std::chrono::steady_clock;

const char kBanner[] = "Halvorne User command server\r\n";

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> w;
    for (std::string x; in >> x;)
        w.push_back(x);
    return w;
}

bool IsPortName(const std::string& s)
{
    const std::string u = Upper(s);
    for (const char* p : {"COM", "ICOM", "NCOM", "USB"})
    {
        const size_t n = std::char_traits<char>::length(p);
        if (u.size() == n + 1 && u.compare(0, n, p) == 0 && std::isdigit(static_cast<unsigned char>(u[n])))
            return true;
    }
    return false;
}

// What a receiver at one rate looks like to a UART at another: bytes that
// read as neither text nor frames.
std::string Noise(const std::string& s)
{
    static const char kNoise[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11, 0x12,
                                  0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C, 0x1D, 0x1E, 0x1F, 0x7F, 0x00, 0x13};
    std::string out(s.size(), '\0');
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = kNoise[(static_cast<unsigned char>(s[i]) * 7u + i) % sizeof kNoise];
    return out;
}

STREAM_ITEM_T Reply(const std::string& s)
{
    STREAM_ITEM_T it;
    it.Name = "reply";
    it.Wire = it.Text = s;
    return it;
}
// A command that changes the receiver's settings (network, fixed position,
// PPS, satellite lock-out, cut-offs, its NTRIP link): acknowledged; the fake
// keeps no settings, and what arrived is in the line's Received().
bool IsSettingsCommand(const std::vector<std::string>& Words)
{
    static const char* const kVerbs[] = {"FIX",     "PPSCONFIG",  "LOCKOUT",    "UNLOCKOUT",
                                         "ECUTOFF", "RTKECUTOFF", "NTRIPCONFIG"};
    const std::string verb = Upper(Words.front());
    if (verb == "NETCONFIG")
        return Words.size() > 1; // alone, it asks for the network settings
    for (const char* pVerb : kVerbs)
        if (verb == pVerb)
            return true;
    return false;
}
} // namespace

FakeReceiver::FakeReceiver(RECEIVER_RULES_T Rules)
    : m_Rules(std::move(Rules)), m_Rate(m_Rules.Rate), m_Loader(m_Rules.Loader), m_Start(Clock::now()),
      m_Pty([this](ReceiverLine& self, const std::string& chunk) { OnChunk(self, chunk); }),
      m_Net([this](ReceiverLine& self, const std::string& chunk) { OnChunk(self, chunk); })
{
    for (RECEIVER_LOG_T l : m_Rules.Logging)
    {
        if (l.Port.empty())
            l.Port = m_Rules.Port;
        l.Due = m_Start + std::chrono::microseconds(static_cast<int64_t>(l.Period * 1e6));
        m_Logs.push_back(l);
    }
    m_Sender = std::thread(&FakeReceiver::SenderLoop, this);
}

void FakeReceiver::SetTq(std::vector<std::string> Tq)
{
    std::lock_guard<std::mutex> lock(m_LogMutex);
    m_Rules.Tq = std::move(Tq);
}

std::string FakeReceiver::TqLines() const
{
    std::string lines;
    for (const std::string& s : m_Rules.Tq)
        lines += Nmea(s);
    return lines;
}

FakeReceiver::~FakeReceiver()
{
    m_bStop = true;
    m_Sender.join();
    m_Pty.Unplug();
    m_Net.Close();
}

bool FakeReceiver::Plug(const std::string& LinkPath)
{
    m_pActive = &m_Pty;
    return m_Pty.Plug(LinkPath);
}

uint16_t FakeReceiver::Listen(uint16_t nPort)
{
    m_pActive = &m_Net;
    return m_Net.Listen(nPort);
}

void FakeReceiver::StartStream(uint32_t Kinds, uint32_t BytesPerSecond, uint32_t EpochMs)
{
    std::unique_lock<std::mutex> lock(m_PlanMutex);
    m_Plan.Kinds = Kinds;
    m_Plan.BytesPerSecond = BytesPerSecond;
    m_Plan.EpochMs = EpochMs;
    const uint32_t generation = ++m_Plan.Generation;
    // Once the sender has taken the new plan, nothing of the old one follows.
    m_PlanTaken.wait_for(lock, std::chrono::seconds(10), [&] { return m_TakenGeneration == generation; });
}

void FakeReceiver::StopStream() { StartStream(0, 0); }

void FakeReceiver::Send(const std::string& Bytes, const std::string& Name)
{
    STREAM_ITEM_T it = Reply(Bytes);
    it.Name = Name;
    if (ReceiverLine* pLine = m_pActive.load())
        SendItem(*pLine, it);
}

std::vector<STREAM_ITEM_T> FakeReceiver::Sent() const
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    return m_Sent;
}

void FakeReceiver::ClearSent()
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    m_Sent.clear();
}

bool FakeReceiver::WaitSent(uint64_t nBytes, int Ms) const
{
    std::unique_lock<std::mutex> lock(m_SendMutex);
    return m_SentChanged.wait_for(lock, std::chrono::milliseconds(Ms), [&] { return m_SentBytes >= nBytes; });
}

std::vector<RECEIVER_LOG_T> FakeReceiver::Logging() const
{
    std::lock_guard<std::mutex> lock(m_LogMutex);
    return m_Logs;
}

bool FakeReceiver::RateMatches(const ReceiverLine& Line) const
{
    return &Line != &m_Pty || (m_Rate != 0 && m_Pty.SlaveRate() == m_Rate);
}

void FakeReceiver::SendItem(ReceiverLine& Line, const STREAM_ITEM_T& Item)
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    SendLocked(Line, Item);
}

bool FakeReceiver::SendStreamed(ReceiverLine& Line, const STREAM_ITEM_T& Item, uint64_t nFixLosses)
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    if (m_bLoader || nFixLosses != m_nFixLosses.load())
        return false;
    SendLocked(Line, Item);
    return true;
}

void FakeReceiver::LoseFix()
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    m_bFixLost = true;
    ++m_nFixLosses;
}

void FakeReceiver::SendLocked(ReceiverLine& Line, const STREAM_ITEM_T& Item)
{
    STREAM_ITEM_T it = Item;
    if (!RateMatches(Line))
    {
        it.Name = "noise";
        it.Wire = Noise(it.Wire);
        it.Text.clear();
        it.TextIsPrefix = false;
    }
    if (!Line.Send(it.Wire))
    {
        // Part of it may have gone out; a test that counts on every byte sees it here.
        m_UnsentBytes += it.Wire.size();
        return;
    }
    m_SentBytes += it.Wire.size();
    if (m_Rules.KeepSent)
        m_Sent.push_back(std::move(it));
    m_SentChanged.notify_all();
}

void FakeReceiver::OnChunk(ReceiverLine& Line, const std::string& Chunk)
{
    auto send = [&Line](const void* p, size_t n) { Line.Send(p, n); };
    if (m_bLoader)
    {
        m_Loader.Feed(Chunk, send);
        if (m_Loader.Done() && !m_Rules.VersionAfterUpgrade.empty())
            RestartAfterUpgrade(Line);
        else if (m_Rules.RebootAfterLoad && m_Loader.Done())
            RebootLoaded(Line);
        return;
    }
    // Bytes at another rate are noise to the receiver.
    if (!RateMatches(Line))
        return;
    m_Line += Chunk;
    for (size_t end; (end = m_Line.find_first_of("\r\n")) != std::string::npos;)
    {
        const std::string cmd = m_Line.substr(0, end);
        m_Line.erase(0, end + 1);
        if (!cmd.empty())
            OnCommand(Line, cmd);
        if (m_bLoader)
        {
            m_Line.clear();
            return;
        }
    }
}

void FakeReceiver::RestartAfterUpgrade(ReceiverLine& Line)
{
    // The sender takes the last acknowledgement before the board talks again.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    m_Rules.VersionLine = m_Rules.VersionAfterUpgrade;
    m_bUpgradeArmed = false;
    m_Line.clear();
    m_bLoader = false;
    SendItem(Line, Reply(kBanner));
}

void FakeReceiver::OnCommand(ReceiverLine& Line, const std::string& Cmd)
{
    const std::vector<std::string> w = Words(Cmd);
    if (w.empty())
        return;
    const std::string verb = Upper(w.front());
    const std::string prompt = "[" + m_Rules.Port + "]";
    std::string body;
    std::vector<STREAM_ITEM_T> after;
    uint32_t newRate = 0;
    bool bBanner = false;
    if (IsSettingsCommand(w))
        body = "<OK\r\n";
    else if (OnDiagnosticCommand(w, &body, &after) || OnFixCommand(w, &body))
    {
    }
    else if (verb == "VERSION")
    {
        if (!m_Rules.AnswersVersion)
            return;
        body = "<VERSION\r\n" + m_Rules.VersionLine + "\r\n<VERSION OK\r\n";
    }
    else if (verb == "NETCONFIG")
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(m_Rules.NetConfigDelayMs));
        body = "<NETCONFIG\r\n" + m_Rules.NetConfig + "\r\n<NETCONFIG OK\r\n";
    }
    else if (verb == "USERCONFIG")
    {
        if (!m_Rules.AnswersUserConfig)
            return;
        body = "<USERCONFIG\r\n";
        for (const std::string& s : m_Rules.UserConfig)
            body += s + "\r\n";
        body += "<USERCONFIG OK\r\n";
    }
    else if (verb == "POSFREQ")
    {
        char line[64];
        std::snprintf(line, sizeof line, "Cur Pos Freq: %.2f Hz\r\n", m_Rules.PosFreq);
        body = std::string("<posfreq\r\n") + line + "<posfreq OK\r\n";
    }
    else if (verb == "LOG" || verb == "UNLOG" || verb == "UNLOGALL")
        body = OnLogCommand(verb == "LOG" ? WithTimeTrigger(w) : w, &after);
    else if (verb == "COM" && w.size() >= 2 && std::atoi(w.back().c_str()) > 0)
    {
        newRate = static_cast<uint32_t>(std::strtoul(w.back().c_str(), nullptr, 10));
        body = "<OK\r\n";
    }
    else if (verb == "SET" && w.size() >= 2 && Upper(w[1]) == "UPGRADEPORT")
    {
        m_bUpgradeArmed = w.size() >= 3 && w[2] != "-1";
        body = "<OK\r\n";
    }
    else if (verb == "SET" || verb == "SAVECONFIG")
        body = "<OK\r\n";
    else if (verb == "RESET" && m_bUpgradeArmed)
    {
        {
            // A streamed item already on its way goes out whole before the loader speaks.
            std::lock_guard<std::mutex> lock(m_SendMutex);
            m_bLoader = true;
        }
        if (m_Rules.LoaderStarts)
            Line.Send(std::string("boot 1.0\r\nCCC"));
        return;
    }
    else if (verb == "RESET" || verb == "FRESET")
    {
        body = "<OK\r\n";
        bBanner = true;
        if (!m_Rules.FixAfterReset)
            LoseFix();
        if (verb == "FRESET")
        {
            std::lock_guard<std::mutex> lock(m_LogMutex);
            m_Logs.clear();
            newRate = 115200;
        }
    }
    else
        body = "<ERROR:Invalid Command\r\n";
    if (m_Rules.RepliesOnPromptLine)
    {
        // A query's log stands where its acknowledgement would.
        const std::string what = w.size() > 1 ? Upper(w[1]) : std::string();
        const bool bLogIsReply = verb == "LOG" && body == "<OK\r\n" && !after.empty() &&
                                 (what == "LOGLISTA" || what == "INSCONFIGA" || what == "TQ");
        SendItem(Line, Reply(prompt + (bLogIsReply ? after.front().Wire : body)));
        if (bLogIsReply)
            after.erase(after.begin());
    }
    else
        SendItem(Line, Reply(prompt + Cmd + "\r\n" + body));
    for (const STREAM_ITEM_T& it : after)
        SendItem(Line, it);
    if (bBanner)
        SendItem(Line, Reply(kBanner));
    if (newRate != 0)
        m_Rate = newRate;
}

std::string FakeReceiver::OnLogCommand(const std::vector<std::string>& W, std::vector<STREAM_ITEM_T>* pAfter)
{
    const std::string verb = Upper(W[0]);
    size_t i = 1;
    std::string port = m_Rules.Port;
    if (i < W.size() && IsPortName(W[i]))
        port = Upper(W[i++]);
    std::lock_guard<std::mutex> lock(m_LogMutex);
    if (verb == "UNLOGALL")
    {
        m_Logs.clear();
        return "<OK\r\n";
    }
    if (i >= W.size())
        return "<ERROR:Invalid Command\r\n";
    const std::string name = Upper(W[i++]);
    if (verb == "UNLOG")
    {
        const size_t before = m_Logs.size();
        m_Logs.erase(std::remove_if(m_Logs.begin(), m_Logs.end(),
                                    [&](const RECEIVER_LOG_T& l) { return l.Name == name && l.Port == port; }),
                     m_Logs.end());
        return m_Logs.size() < before ? "<OK\r\n" : "<ERROR:Message not logged\r\n";
    }
    if (name == "LOGLISTA")
    {
        pAfter->push_back(Reply(LogList()));
        return "<OK\r\n";
    }
    if (!TakesLog(name))
        return "<ERROR:Invalid Message. ID:" + name + "\r\n";
    const std::string trigger = i < W.size() ? Upper(W[i++]) : std::string("ONCE");
    double period = 1.0;
    if (trigger == "ONTIME")
    {
        period = i < W.size() ? std::strtod(W[i].c_str(), nullptr) : 0.0;
        if (!(period >= 0.05))
            return "<ERROR:Invalid period\r\n";
    }
    else if (trigger != "ONCE" && trigger != "ONCHANGED" && trigger != "ONNEW")
        return "<ERROR:Invalid trigger\r\n";
    if (!m_Rules.Logs)
        return "<OK\r\n";
    if (trigger == "ONCE")
    {
        STREAM_ITEM_T it;
        if (m_LogStream.OneLog(name, &it))
            pAfter->push_back(it);
        return "<OK\r\n";
    }
    m_Logs.erase(std::remove_if(m_Logs.begin(), m_Logs.end(),
                                [&](const RECEIVER_LOG_T& l) { return l.Name == name && l.Port == port; }),
                 m_Logs.end());
    RECEIVER_LOG_T l;
    l.Port = port;
    l.Name = name;
    l.Trigger = trigger;
    l.Period = period;
    l.Due = Clock::now() + std::chrono::microseconds(static_cast<int64_t>(period * 1e6));
    m_Logs.push_back(l);
    return "<OK\r\n";
}

bool FakeReceiver::OnDiagnosticCommand(const std::vector<std::string>& W, std::string* pBody,
                                       std::vector<STREAM_ITEM_T>* pAfter)
{
    const std::string verb = Upper(W[0]);
    const std::string what = W.size() > 1 ? Upper(W[1]) : std::string();
    static const char* const kInsVerbs[] = {"INSCOMMAND",     "SETINSPROFILE",     "ALIGNMODE",
                                            "SETINSROTATION", "SETINSTRANSLATION", "SHOWIF"};
    for (const char* pVerb : kInsVerbs)
        if (verb == pVerb)
        {
            *pBody = "<OK\r\n";
            return true;
        }
    if (verb == "LOG" && what == "INSCONFIGA")
    {
        pAfter->push_back(Reply(FullTextLog("INSCONFIG", m_Rules.InsConfig)));
        *pBody = "<OK\r\n";
        return true;
    }
    if (verb == "LOG" && what == "TQ")
    {
        std::lock_guard<std::mutex> lock(m_LogMutex);
        pAfter->push_back(Reply(TqLines()));
        *pBody = "<OK\r\n";
        const double dPeriod = W.size() > 2 ? std::strtod(W[2].c_str(), nullptr) : 0.0;
        if (m_Rules.TqRepeats && dPeriod >= 0.05)
        {
            RECEIVER_LOG_T l;
            l.Port = m_Rules.Port;
            l.Name = "TQ";
            l.Trigger = "ONTIME";
            l.Period = dPeriod;
            l.Due = Clock::now() + std::chrono::microseconds(static_cast<int64_t>(dPeriod * 1e6));
            m_Logs.erase(
                std::remove_if(m_Logs.begin(), m_Logs.end(), [](const RECEIVER_LOG_T& x) { return x.Name == "TQ"; }),
                m_Logs.end());
            m_Logs.push_back(l);
        }
        return true;
    }
    if (verb == "SET" && what == "UPNPEN" && W.size() == 2)
    {
        *pBody = "<SET UPNPEN\r\nUPNPEN ENABLE\r\n<SET OK\r\n";
        return true;
    }
    if (verb == "HWINFO")
    {
        *pBody = "<hwinfo\r\n";
        for (const std::string& s : m_Rules.HwInfo)
            *pBody += s + "\r\n";
        *pBody += "<hwinfo OK\r\n";
        return true;
    }
    if (verb != "NVMDUMP")
        return false;
    if (what == "SHOW")
    {
        *pBody = "<nvmdump show\r\nNVM Log Size: " + std::to_string(m_Rules.NvmDumpSize) + "\r\n<NVMDUMP OK\r\n";
        return true;
    }
    // The log goes out in pieces, as a receiver reads it from its memory.
    const std::string& dump = m_Rules.NvmDump;
    const size_t nSend = std::min(dump.size(), m_Rules.NvmDumpCut);
    for (size_t i = 0; i < nSend; i += 4096)
    {
        STREAM_ITEM_T it = Reply(dump.substr(i, std::min<size_t>(4096, nSend - i)));
        it.Name = "nvm";
        pAfter->push_back(it);
    }
    if (nSend == dump.size())
        pAfter->push_back(Reply("==NMV Dump Complete! \r\n"));
    *pBody = "<OK\r\n";
    return true;
}

std::vector<std::string> FakeReceiver::WithTimeTrigger(std::vector<std::string> W)
{
    const size_t iTrigger = W.size() > 2 && IsPortName(W[1]) ? 3 : 2;
    char* pEnd = nullptr;
    if (iTrigger < W.size() && (std::strtod(W[iTrigger].c_str(), &pEnd), *pEnd == '\0'))
        W.insert(W.begin() + static_cast<std::ptrdiff_t>(iTrigger), "ONTIME");
    return W;
}

bool FakeReceiver::TakesLog(const std::string& Name) const
{
    return ReceiverStream::IsLogName(Name) ||
           std::find(m_Rules.QuietLogs.begin(), m_Rules.QuietLogs.end(), Name) != m_Rules.QuietLogs.end();
}

bool FakeReceiver::OnFixCommand(const std::vector<std::string>& W, std::string* pBody)
{
    if (W.size() < 3 || Upper(W[0]) != "SET" || Upper(W[1]) != "BREAKRF")
        return false;
    m_bRfOff = W[2] == "0";
    *pBody = "<OK\r\n";
    return true;
}

void FakeReceiver::RebootLoaded(ReceiverLine& Line)
{
    {
        std::lock_guard<std::mutex> lock(m_ImageMutex);
        m_LoadedImages.push_back(m_Loader.Image());
    }
    m_Loader.Restart();
    m_bUpgradeArmed = false;
    m_bLoader = false;
    m_Line.clear();
    if (!m_Rules.FixAfterReset)
        LoseFix();
    SendItem(Line, Reply(kBanner));
}

std::vector<std::string> FakeReceiver::LoadedImages() const
{
    std::lock_guard<std::mutex> lock(m_ImageMutex);
    return m_LoadedImages;
}

std::string FakeReceiver::LogList()
{
    char head[160];
    std::snprintf(head, sizeof head, "#LOGLISTA,%s,0,55.0,FINESTEERING,%u,%.3f,02000020,b1f6,16809;%zu",
                  m_Rules.Port.c_str(), m_LogStream.Week(), m_LogStream.Ms() / 1000.0, m_Logs.size());
    std::string s = head;
    for (const RECEIVER_LOG_T& l : m_Logs)
    {
        char entry[128];
        std::snprintf(entry, sizeof entry, ",%s,%s,%s,%.6f,0.000000,NOHOLD", l.Port.c_str(), l.Name.c_str(),
                      l.Trigger.c_str(), l.Trigger == "ONTIME" ? l.Period : 0.0);
        s += entry;
    }
    return WithTextCrc(s);
}

void FakeReceiver::SenderLoop()
{
    uint32_t generation = 0;
    STREAM_PLAN_T plan;
    ReceiverStream stream;
    std::deque<STREAM_ITEM_T> pending;
    uint64_t pendingFixLosses = 0; // of the epoch in pending
    uint64_t streamed = 0;
    Clock::time_point streamStart;
    while (!m_bStop)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        {
            std::lock_guard<std::mutex> lock(m_PlanMutex);
            if (m_Plan.Generation != generation)
            {
                generation = m_Plan.Generation;
                plan = m_Plan;
                stream = ReceiverStream(2295, 79218000, plan.EpochMs);
                stream.SetRangeForm(m_Rules.RangeForm, m_Rules.Cmp4ReferenceMs);
                stream.LoseRangeLogs(m_Rules.LostRangeLogs);
                pending.clear();
                streamed = 0;
                streamStart = Clock::now();
                m_TakenGeneration = generation;
                m_PlanTaken.notify_all();
            }
        }
        ReceiverLine* pLine = m_pActive.load();
        if (pLine == nullptr || m_bLoader)
            continue;
        const Clock::time_point now = Clock::now();
        // The logs' own time follows the clock in 50 ms steps; while the
        // receiver streams, they carry the stream's epoch time, as a receiver
        // has one clock for everything it outputs.
        const bool bStreaming = plan.Kinds != 0 && plan.BytesPerSecond != 0;
        std::vector<STREAM_ITEM_T> due;
        const uint64_t nDueFixLosses = m_nFixLosses.load();
        {
            std::lock_guard<std::mutex> lock(m_LogMutex);
            while (Clock::now() - m_Start > std::chrono::milliseconds(50) * (m_LogStream.Epochs() + 1))
                m_LogStream.NextEpoch(0);
            for (RECEIVER_LOG_T& l : m_Logs)
            {
                if (l.Due > now)
                    continue;
                STREAM_ITEM_T it;
                ReceiverStream& source = bStreaming ? stream : m_LogStream;
                source.SetFix(HasFix());
                if (l.Name == "TQ")
                    due.push_back(Reply(TqLines()));
                else if (source.OneLog(l.Name, &it))
                    due.push_back(it);
                const auto step = std::chrono::microseconds(static_cast<int64_t>(l.Period * 1e6));
                while (l.Due <= now)
                    l.Due += step;
            }
        }
        for (const STREAM_ITEM_T& it : due)
            SendStreamed(*pLine, it, nDueFixLosses);
        if (plan.Kinds == 0 || plan.BytesPerSecond == 0)
            continue;
        const double dSeconds = std::chrono::duration<double>(Clock::now() - streamStart).count();
        const uint64_t allowed = static_cast<uint64_t>(dSeconds * plan.BytesPerSecond);
        while (streamed < allowed && !m_bStop && !m_bLoader)
        {
            if (pending.empty())
            {
                pendingFixLosses = m_nFixLosses.load();
                stream.SetFix(HasFix());
                for (STREAM_ITEM_T& it : stream.NextEpoch(plan.Kinds))
                    pending.push_back(std::move(it));
            }
            // An epoch made before the fix was lost is made again.
            if (!SendStreamed(*pLine, pending.front(), pendingFixLosses))
            {
                if (m_bLoader)
                    break;
                pending.clear();
                continue;
            }
            streamed += pending.front().Wire.size();
            pending.pop_front();
            std::lock_guard<std::mutex> lock(m_PlanMutex);
            if (m_Plan.Generation != generation)
                break;
        }
    }
}
