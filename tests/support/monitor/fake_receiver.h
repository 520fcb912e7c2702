// A fake receiver for the monitor's tests, on a pseudo-terminal or a loopback
// TCP port. Start it with
//
//     FakeReceiver rx;                   // or FakeReceiver rx(rules);
//     rx.Plug();                         // serial: open rx.Rx().Name() at 115200
//     rx.Listen();                       // or TCP: connect to 127.0.0.1:rx.Net().Port()
//     rx.StartStream(STREAM_ALL, 100000); // optional: 100 KB/s of logs
//
// It behaves as a receiver's command port. On a serial line it talks only
// while the line runs at its own rate (Rules.Rate): commands at another rate
// are noise to it, and what it sends then reaches the monitor as noise. Every
// command line is echoed after the prompt "[<Port>]" and answered:
//   version, netconfig (the property query "version\r\nnetconfig\r\n" and the
//     rate probe), USERCONFIG, posfreq: "<NAME" ... "<NAME OK" blocks;
//   LOG [port] <name> [ONCE | ONTIME <s> | ONCHANGED]: "<OK", then the log
//     once or every <s> seconds (names: ReceiverStream::IsLogName, and
//     Rules.QuietLogs, which are listed but never sent); "LOG <name> <s>"
//     stands for ONTIME <s>; LOG LOGLISTA answers the list of active logs as
//     a #LOGLISTA text log;
//   UNLOG [port] <name>, UNLOGALL: "<OK" and the logs stop;
//   COM [port] <rate>: "<OK", then it talks at the new rate;
//   settings (netconfig with its settings, FIX, PPSCONFIG, LOCKOUT,
//     UNLOCKOUT, ECUTOFF, RTKECUTOFF, NTRIPCONFIG): "<OK";
//   INS settings (INSCOMMAND, SETINSPROFILE, ALIGNMODE, SETINSROTATION,
//     SETINSTRANSLATION) and SHOWIF: "<OK";
//   LOG INSCONFIGA: "<OK", then its INS configuration as a #INSCONFIGA log;
//   LOG TQ [n]: "<OK", then its tracking quality as $TQR and $TQH lines, once
//     (with TqRepeats, every n seconds until UNLOG TQ);
//   SET UPNPEN alone: its UPnP setting between "<SET UPNPEN" and "<SET OK";
//   HWINFO: its signal outputs between "<hwinfo" and "<hwinfo OK";
//   NVMDUMP SHOW: the size of its NVM log; NVMDUMP [KEEP]: "<OK", the NVM
//     log's bytes and the line "==NMV Dump Complete! " (a dump cut short
//     stops after NvmDumpCut bytes and never completes);
//   SET UPGRADEPORT <n>: the next RESET starts the boot loader, which takes an
//     image by XMODEM-1K (fake_loader.h); otherwise RESET and FRESET reboot,
//     showing the start-up banner (FRESET also unlogs all and returns to
//     115200 baud); with RebootAfterLoad the receiver reboots once an image
//     is loaded, ready for the next upgrade;
//   SET BREAKRF 0: the RF is cut, positions report no solution until SET
//     BREAKRF with any other value brings it back (and after a reset, never
//     again when FixAfterReset is false);
//   anything else: "<ERROR:Invalid Command".
// With RepliesOnPromptLine it answers as receivers print it: no echo, the
// reply right after the prompt on the same line ("[COM2]<VERSION",
// "[COM2]<OK"), and a query's log is the reply itself ("[COM2]#LOGLISTA,...").
// Rules.Logging are logs it outputs from the start, at periods and triggers
// of its own (0.5 s, ONNEW, ONCHANGED), as a receiver set up by its user.
// StartStream sends epoch after epoch of ReceiverStream at a byte rate, its
// range observations in the log of Rules.RangeForm, losing those of
// Rules.LostRangeLogs. Every
// write is kept as an item (replies too), so Sent() is what a data view in
// binary-to-text mode should show, in order (see MatchShownText).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fake_loader.h"
#include "pty_receiver.h"
#include "receiver_stream.h"
#include "socket_receiver.h"

// An active LOG request.
struct RECEIVER_LOG_T
{
    std::string Port;
    std::string Name;    // upper case, as "BESTPOSA"
    std::string Trigger; // "ONTIME", "ONCHANGED", "ONNEW"
    double Period = 1.0; // seconds
    std::chrono::steady_clock::time_point Due;
};

struct RECEIVER_RULES_T
{
    uint32_t Rate = 115200;    // serial rate it talks at; 0: answers nothing
    std::string Port = "COM2"; // the port it reports in its prompt
    bool LoaderStarts = true;  // after an armed RESET the loader sends "CCC"
    bool Logs = true;          // false: LOG commands are acknowledged, nothing is logged
    LOADER_RULES_T Loader;
    std::string VersionLine = "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F";
    std::string NetConfig = "NETCONFIG STATIC 192.168.1.20 255.255.255.0";
    // How long it takes over NETCONFIG, so that its reply comes well after
    // the VERSION reply to the same query.
    int NetConfigDelayMs = 0;
    std::vector<std::string> UserConfig = {
        "PPS ENABLE GPS POSITIVE 0.5 1000 0 0",
        "NETCONFIG STATIC 192.168.1.20 255.255.255.0 192.168.1.1 ZV100",
        "LOCKOUT GPS 0X00000000",
        "ECUTOFF USER GPS 5.0 GLO 5.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0",
        "RTKECUTOFF USER GPS 10.0 GLO 10.0 GAL 10.0 BDS 10.0 SBAS 10.0 QZSS 10.0",
        "INSCOMMAND DISABLE",
    };
    // false: it takes USERCONFIG and never answers it.
    bool AnswersUserConfig = true;
    // false: it takes VERSION and never answers it.
    bool AnswersVersion = true;
    double PosFreq = 5.0;
    // The INS configuration log's body (after ";"), as the receiver writes it.
    std::string InsConfig = "ADIS16488,5,20,300,LAND_BASIC,0000001F,STATIC,ROVER,FALSE,00000003,1,2,3,4,5,6,7,8,9,"
                            "1,ANT1,IMUBODY,0.1000,0.2000,0.3000,0.0100,0.0200,0.0300,FROM_NVM,"
                            "1,RBV,IMUBODY,0.0000,0.0000,90.0000,1.0000,1.0000,1.0000,FROM_COMMAND";
    // Tracking quality: "$TQR" (master antenna) and "$TQH" (slave) bodies;
    // each group is signal code, maximum CN0, valid satellites, errors.
    std::vector<std::string> Tq = {"TQR,0,51.2,9,0,c8,47.5,4,3,3,49.0,8,0", "TQH,0,50.0,9,0"};
    // Lines of the hardware information reply.
    std::vector<std::string> HwInfo = {"G0,0,L1CA,1575.42,2,8,0,1", "G13,13,B2I,1207.14,2,8,0,1",
                                       "G9ca,9ca,E5aQ,1176.45,2,8,0,1", "ADC,12,0,0"};
    // The stored NVM log; NvmDumpSize is what "nvmdump show" reports (-1: none).
    std::string NvmDump;
    int64_t NvmDumpSize = -1;
    size_t NvmDumpCut = std::string::npos;
    // After an image is loaded the receiver leaves its boot loader, forgets
    // the armed upgrade and shows its start-up banner.
    bool RebootAfterLoad = false;
    // When set, a board whose loader took an image whole restarts from it:
    // it leaves the loader (which keeps the image), shows its start-up banner
    // and answers VERSION with this line (the version of the image it now runs).
    std::string VersionAfterUpgrade;
    // false: from its first reset or factory reset on, the receiver's
    // positions report no solution.
    bool FixAfterReset = true;
    // Whether every item sent is kept for Sent(); a load test that only
    // counts bytes turns it off, so that its memory is the monitor's.
    bool KeepSent = true;
    // Logs it takes and lists in its log list without ever sending one (upper
    // case, with the form letter: "GPGLL", "BESTVELB", "RTCM1006").
    std::vector<std::string> QuietLogs;
    // The log its stream (StartStream) carries its range observations in,
    // as most receivers send them: RANGE, or only RANGECMP or RANGECMP4;
    // RANGECMP4 with a reference epoch at each time of week that is a
    // multiple of Cmp4ReferenceMs and differential epochs between.
    RANGE_FORM_E RangeForm = RANGE_FORM_RANGE;
    uint32_t Cmp4ReferenceMs = 1000;
    // Stretches of stream time (ms from its first epoch, from and up to)
    // whose range logs the line loses: made, never sent.
    std::vector<std::pair<uint32_t, uint32_t>> LostRangeLogs;
    // Logs active from the start (an empty port: Port); a name the stream has
    // no log for is listed and never sent, as QuietLogs.
    std::vector<RECEIVER_LOG_T> Logging;
    // Replies after the prompt on its line, no echo (see above).
    bool RepliesOnPromptLine = false;
    // LOG TQ n outputs the tracking quality every n seconds.
    bool TqRepeats = false;
};

class FakeReceiver
{
public:
    explicit FakeReceiver(RECEIVER_RULES_T Rules = {});
    ~FakeReceiver();
    FakeReceiver(const FakeReceiver&) = delete;
    FakeReceiver& operator=(const FakeReceiver&) = delete;

    // On a new pseudo-terminal; with a link path the device is reached
    // through it, so that it can be unplugged and plugged in again under the
    // same name.
    bool Plug(const std::string& LinkPath = {});
    void Unplug() { m_Pty.Unplug(); }
    // On 127.0.0.1:nPort (0: any free port); returns the port, 0 on failure.
    uint16_t Listen(uint16_t nPort = 0);

    PtyReceiver& Rx() { return m_Pty; }
    SocketReceiver& Net() { return m_Net; }

    // Streams epoch after epoch of the kinds asked for (STREAM_KIND_E bits) at
    // about BytesPerSecond, until StopStream; epochs are EpochMs apart in the
    // logs' own time. Both return once the sender follows the new plan: after
    // StopStream, Sent() holds every streamed item.
    void StartStream(uint32_t Kinds, uint32_t BytesPerSecond, uint32_t EpochMs = 1000);
    void StopStream();
    // Sends raw bytes as the receiver, between two whole items.
    void Send(const std::string& Bytes, const std::string& Name = "raw");

    // Everything sent so far, in order; the bytes and items the line gave up
    // on (the monitor did not read) are not in it.
    std::vector<STREAM_ITEM_T> Sent() const;
    void ClearSent();
    uint64_t SentBytes() const { return m_SentBytes.load(); }
    uint64_t UnsentBytes() const { return m_UnsentBytes.load(); }
    // Waits until at least nBytes were sent; false after Ms milliseconds.
    bool WaitSent(uint64_t nBytes, int Ms) const;

    std::vector<RECEIVER_LOG_T> Logging() const;
    // The tracking quality it outputs from now on (the lines' bodies, as Rules.Tq).
    void SetTq(std::vector<std::string> Tq);
    uint32_t Rate() const { return m_Rate.load(); }
    bool InLoader() const { return m_bLoader.load(); }
    const XmodemLoader& Loader() const { return m_Loader; }
    // The images loaded so far, in order, each padded to whole blocks
    // (RebootAfterLoad only).
    std::vector<std::string> LoadedImages() const;
    // Whether its positions report a fix now.
    bool HasFix() const { return !m_bRfOff.load() && !m_bFixLost.load(); }

private:
    void OnChunk(ReceiverLine& Line, const std::string& Chunk);
    void OnCommand(ReceiverLine& Line, const std::string& Cmd);
    std::string OnLogCommand(const std::vector<std::string>& Words, std::vector<STREAM_ITEM_T>* pAfter);
    // INS settings, INS configuration, tracking quality, hardware information
    // and the NVM log; false for any other command.
    bool OnDiagnosticCommand(const std::vector<std::string>& Words, std::string* pBody,
                             std::vector<STREAM_ITEM_T>* pAfter);
    // "LOG [port] <name> <s>" as "LOG [port] <name> ONTIME <s>".
    static std::vector<std::string> WithTimeTrigger(std::vector<std::string> Words);
    bool TakesLog(const std::string& Name) const;
    std::string LogList();
    std::string TqLines() const; // under m_LogMutex
    // RF break and the fix lost after a reset; false for any other command.
    bool OnFixCommand(const std::vector<std::string>& Words, std::string* pBody);
    // Leaves the boot loader with its image loaded and starts again.
    void RebootLoaded(ReceiverLine& Line);
    // The same with the new version line, the loader keeping the image.
    void RestartAfterUpgrade(ReceiverLine& Line);
    // Sends an item whole; on a serial line at another rate it arrives as noise.
    void SendItem(ReceiverLine& Line, const STREAM_ITEM_T& Item);
    // A streamed item, made when the fix had been lost nFixLosses times: it is
    // dropped (false) while the loader runs, as a receiver in its loader
    // outputs only the loader's replies, and when the fix was lost since it
    // was made, as a receiver sends no position of before its reset after it.
    bool SendStreamed(ReceiverLine& Line, const STREAM_ITEM_T& Item, uint64_t nFixLosses);
    void SendLocked(ReceiverLine& Line, const STREAM_ITEM_T& Item);
    // A reset without a fix after it: nothing made before goes out after it.
    void LoseFix();
    bool RateMatches(const ReceiverLine& Line) const;
    void SenderLoop();

    RECEIVER_RULES_T m_Rules;
    std::atomic<uint32_t> m_Rate;
    std::atomic<bool> m_bLoader{false};
    bool m_bUpgradeArmed = false;
    std::atomic<bool> m_bRfOff{false};
    std::atomic<bool> m_bFixLost{false};
    std::atomic<uint64_t> m_nFixLosses{0}; // changed under m_SendMutex
    mutable std::mutex m_ImageMutex;
    std::vector<std::string> m_LoadedImages;
    std::string m_Line; // command text not yet ended
    XmodemLoader m_Loader;

    mutable std::mutex m_LogMutex; // the logs, the log stream
    std::vector<RECEIVER_LOG_T> m_Logs;
    ReceiverStream m_LogStream{2295, 79218000, 50};
    std::chrono::steady_clock::time_point m_Start;

    mutable std::mutex m_SendMutex; // one item at a time on the line, and the record of them
    std::vector<STREAM_ITEM_T> m_Sent;
    std::atomic<uint64_t> m_SentBytes{0};
    std::atomic<uint64_t> m_UnsentBytes{0};
    mutable std::condition_variable m_SentChanged;

    // The sender thread streams and sends the logs that are due.
    struct STREAM_PLAN_T
    {
        uint32_t Kinds = 0;
        uint32_t BytesPerSecond = 0;
        uint32_t EpochMs = 1000;
        uint32_t Generation = 0;
    };
    std::mutex m_PlanMutex;
    std::condition_variable m_PlanTaken;
    STREAM_PLAN_T m_Plan;
    uint32_t m_TakenGeneration = 0;
    std::atomic<ReceiverLine*> m_pActive{nullptr};
    std::thread m_Sender;
    std::atomic<bool> m_bStop{false};

    // Last: their threads stop before the members above go.
    PtyReceiver m_Pty;
    SocketReceiver m_Net;
};
