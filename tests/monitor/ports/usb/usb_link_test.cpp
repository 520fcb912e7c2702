// The USB link library against the in-memory receiver: the device list, the
// wire format, the exchange and its faults, channels, commands, the image
// update, and closing in every state.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb/usb_link_session.h"
#include "support/usb/usb_mem_backend.h"
#include "support/usb/usb_sim_receiver.h"

namespace
{
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Generous for a loaded machine; the waits normally end in milliseconds.
constexpr int kWaitMs = 10000;

bool WaitFor(const std::function<bool()>& Ready, int TimeoutMs = kWaitMs)
{
    const auto deadline = Clock::now() + milliseconds(TimeoutMs);
    while (!Ready())
    {
        if (Clock::now() > deadline)
        {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

std::string Pattern(size_t n, uint32_t Seed = 1)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
    {
        Seed = Seed * 1103515245u + 12345u;
        s[i] = static_cast<char>(Seed >> 16);
    }
    return s;
}

// What a request's completion was told.
struct DONE_T
{
    uint16_t RequestId;
    int Status;
    std::string Inline;
    std::string Ext;
};

struct DONE_LIST_T
{
    std::mutex Lock;
    std::vector<DONE_T> Calls;

    size_t Count()
    {
        std::lock_guard<std::mutex> lock(Lock);
        return Calls.size();
    }
    std::vector<DONE_T> Get()
    {
        std::lock_guard<std::mutex> lock(Lock);
        return Calls;
    }
};

void RecordDone(UsbLinkSession*, UsbLinkRequest* pRequest, int Status, const UsbLinkPacket*, const uint8_t* pInline,
                uint32_t InlineLength, const uint8_t* pExt, uint32_t ExtLength)
{
    auto* pList = static_cast<DONE_LIST_T*>(pRequest->pContext);
    std::lock_guard<std::mutex> lock(pList->Lock);
    pList->Calls.push_back({pRequest->RequestId, Status,
                            std::string(reinterpret_cast<const char*>(pInline), pInline ? InlineLength : 0),
                            std::string(reinterpret_cast<const char*>(pExt), pExt ? ExtLength : 0)});
}

class UsbLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::getenv("ZV_USB_TRACE") != nullptr)
        {
            UsbSetTraceSink([](const char* pText) { std::fputs(pText, stderr); });
        }
        m_Saved = UsbLinkTiming();
        USB_LINK_TIMING_T& timing = UsbLinkTiming();
        timing.ReconnectPollMs = 20;
        timing.ImageAckMs = 3000;
        timing.ImageReplyMs = 300;
        Backend = std::make_shared<CUsbMemBackend>();
        Rx = Backend->Add(std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", "ZR4800117"));
        Rx->SetTiming({1, 50});
        ASSERT_EQ(UsbLinkSetBackend(Backend), 0);
    }
    void TearDown() override
    {
        for (UsbLinkHandle* pHandle : m_Open)
        {
            UsbLinkClose(pHandle);
        }
        UsbLinkTiming() = m_Saved;
    }

    UsbLinkHandle* Open(uint32_t Channel)
    {
        if (UsbLinkGetDeviceCount() < 1)
        {
            return nullptr;
        }
        UsbLinkHandle* pHandle = UsbLinkOpen(UsbLinkGetDevice(0), Channel);
        if (pHandle != nullptr)
        {
            m_Open.push_back(pHandle);
        }
        return pHandle;
    }
    void Close(UsbLinkHandle* pHandle)
    {
        m_Open.erase(std::remove(m_Open.begin(), m_Open.end(), pHandle), m_Open.end());
        EXPECT_EQ(UsbLinkClose(pHandle), USB_LINK_OK);
    }
    // Runs Script while the receiver sends nothing new, so that the packets
    // it queues are the next ones it sends.
    void Quiet(const std::function<void()>& Script)
    {
        Rx->SetSilent(true);
        std::this_thread::sleep_for(milliseconds(30));
        Script();
        Rx->SetSilent(false);
    }
    // The link is up once the receiver has taken the host's link reset.
    bool WaitLinkUp(UsbLinkHandle* pHandle)
    {
        UsbLinkSession* pSession = UsbLinkGetSession(pHandle);
        return WaitFor([pSession] { return !pSession->bLinkResetPending.load(); });
    }
    // After a loss, the link is up again once the receiver has taken a new
    // link reset (what it sent before that is dropped).
    bool WaitRelinked(UsbLinkHandle* pHandle, uint32_t ResetsBefore)
    {
        UsbLinkSession* pSession = UsbLinkGetSession(pHandle);
        return WaitFor(
            [&]
            {
                return Rx->GetLinkResets() > ResetsBefore && pSession->LinkState.load() == USB_LINK_UP &&
                       !pSession->bLinkResetPending.load();
            });
    }
    // The next buffer of a channel, released.
    std::string ReadBuffer(UsbLinkHandle* pHandle, int TimeoutMs = kWaitMs)
    {
        const auto deadline = Clock::now() + milliseconds(TimeoutMs);
        while (Clock::now() < deadline)
        {
            uint32_t n = 0;
            const uint8_t* p = UsbLinkRead(pHandle, &n, 10);
            if (p != nullptr)
            {
                std::string s(reinterpret_cast<const char*>(p), n);
                EXPECT_EQ(UsbLinkRelease(pHandle), USB_LINK_OK);
                return s;
            }
        }
        return "<none>";
    }
    std::vector<UsbLinkPacket> HostPackets(uint8_t Type)
    {
        std::vector<UsbLinkPacket> out;
        for (const UsbLinkPacket& p : Rx->GetHostPackets())
        {
            if (p.Type == Type)
            {
                out.push_back(p);
            }
        }
        return out;
    }

    std::shared_ptr<CUsbMemBackend> Backend;
    std::shared_ptr<CUsbSimReceiver> Rx;

private:
    USB_LINK_TIMING_T m_Saved;
    std::vector<UsbLinkHandle*> m_Open;
};

TEST_F(UsbLinkTest, TheListGivesNamesAndSerialNumbers)
{
    Backend->Add(std::make_shared<CUsbMemDevice>("b", "1"));
    auto nameless = Backend->Add(std::make_shared<CUsbMemDevice>("", "3"));
    ASSERT_EQ(UsbLinkGetDeviceCount(), 3);
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(0)), "ZR-480 GNSS");
    EXPECT_EQ(UsbLinkGetSerialNumber(UsbLinkGetDevice(0)), "ZR4800117");
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(1)), "b");
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(2)), "");
    EXPECT_EQ(UsbLinkGetDevice(3), nullptr);

    // A name the device could not give at first is read when asked for.
    nameless->SetStringDescriptor(USB_DEV_PRODUCT_STRING, UsbMemStringDescriptor("C"));
    EXPECT_EQ(UsbLinkGetProductName(UsbLinkGetDevice(2)), "C");

    nameless->SetPlugged(false);
    EXPECT_EQ(UsbLinkGetDeviceCount(), 2);
    Backend->SetListFails(true);
    EXPECT_EQ(UsbLinkGetDeviceCount(), 0);
    EXPECT_EQ(UsbLinkGetProductName(nullptr), "");
}

TEST_F(UsbLinkTest, OpeningSharesOneSessionPerDeviceAndRefusesAChannelTwice)
{
    UsbLinkHandle* p0 = Open(0);
    ASSERT_NE(p0, nullptr);
    UsbLinkHandle* p1 = Open(1);
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(UsbLinkGetSession(p0), UsbLinkGetSession(p1));
    EXPECT_EQ(UsbLinkOpen(UsbLinkGetDevice(0), 1), nullptr);
    EXPECT_EQ(UsbLinkOpen(UsbLinkGetDevice(0), 3), nullptr);
    EXPECT_EQ(UsbLinkOpen(nullptr, 0), nullptr);
    Close(p1);
    EXPECT_EQ(UsbLinkClose(p1), USB_LINK_BAD_HANDLE);
    EXPECT_EQ(UsbLinkWrite(p1, "x", 1), USB_LINK_WRITE_BAD_HANDLE);
    uint32_t n = 7;
    EXPECT_EQ(UsbLinkRead(p1, &n, 0), nullptr);
    EXPECT_EQ(n, 0u);

    // Another program holds the device: it cannot be opened.
    Close(p0);
    Rx->SetBusy(true);
    EXPECT_EQ(Open(0), nullptr);
}

TEST_F(UsbLinkTest, TheFirstPacketIsALinkResetAndWritesGoOutInTheWireLayout)
{
    UsbLinkHandle* pHandle = Open(1);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    const std::vector<UsbLinkPacket> all = Rx->GetHostPackets();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].Type, USB_LINK_TYPE_RESET);
    EXPECT_EQ(all[0].Sequence, 1);

    ASSERT_EQ(UsbLinkWrite(pHandle, "ABC", 3), USB_LINK_OK);
    ASSERT_TRUE(WaitFor([this] { return Rx->GetChannelInput(1) == "ABC"; }));
    const UsbLinkPacket abc = HostPackets(USB_LINK_TYPE_CHANNEL_DATA).at(0);
    const auto* b = reinterpret_cast<const uint8_t*>(&abc);
    const std::vector<uint8_t> head(b, b + 24);
    EXPECT_EQ(head, (std::vector<uint8_t>{0xEF, 0xBE, 0x34, 0x12, 3, 1, 0, 0, 3, 0, 0, 0,
                                          0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 32), 3), "ABC");
    EXPECT_EQ(std::vector<uint8_t>(b + 508, b + 512), (std::vector<uint8_t>{0xAD, 0xDE, 0x78, 0x56}));

    // 476 bytes fit inline; one more goes as extended data.
    const std::string full = Pattern(476);
    const std::string over = Pattern(477, 2);
    ASSERT_EQ(UsbLinkWrite(pHandle, full.data(), 476), USB_LINK_OK);
    ASSERT_EQ(UsbLinkWrite(pHandle, over.data(), 477), USB_LINK_OK);
    ASSERT_TRUE(WaitFor([&] { return Rx->GetChannelInput(1) == "ABC" + full + over; }));
    const std::vector<UsbLinkPacket> data = HostPackets(USB_LINK_TYPE_CHANNEL_DATA);
    ASSERT_EQ(data.size(), 3u);
    EXPECT_EQ(data[1].InlineLength, 476);
    EXPECT_EQ(data[1].ExtLength, 0u);
    EXPECT_EQ(data[2].InlineLength, 476);
    EXPECT_EQ(data[2].ExtLength, 1u);
    EXPECT_EQ(data[2].Sequence, 4);

    EXPECT_EQ(UsbLinkWrite(pHandle, nullptr, 3), USB_LINK_NO_DATA);
    EXPECT_EQ(UsbLinkWrite(pHandle, "x", 0), USB_LINK_NO_DATA);
}

TEST_F(UsbLinkTest, ChannelDataArriveInlineFirstAndARepeatIsDroppedButAnswered)
{
    UsbLinkHandle* pHandle = Open(2);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    const std::string ext = Pattern(600);
    Rx->SendChannelData(2, "xy", ext);
    EXPECT_EQ(ReadBuffer(pHandle), "xy");
    // Until it is released the same buffer comes back.
    uint32_t n = 0;
    const uint8_t* p1 = UsbLinkRead(pHandle, &n, kWaitMs);
    const uint8_t* p2 = UsbLinkRead(pHandle, &n, 0);
    EXPECT_EQ(p1, p2);
    ASSERT_EQ(n, 600u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p1), n), ext);
    EXPECT_EQ(UsbLinkRelease(pHandle), USB_LINK_OK);

    // The receiver sends "z" only once its repeat was answered.
    Rx->RepeatLastPacket();
    Rx->SendChannelData(2, "z");
    EXPECT_EQ(ReadBuffer(pHandle), "z") << "the repeated packet reached the channel";

    // Data for a channel that nobody opened wait there; one beyond 2 is refused.
    Rx->SendChannelData(0, "kept");
    UsbLinkPacket bad;
    UsbLinkInitPacket(&bad, USB_LINK_TYPE_CHANNEL_DATA);
    bad.Channel = 3;
    bad.InlineLength = 1;
    Rx->SendPacket(bad);
    Rx->SendChannelData(2, "after");
    EXPECT_EQ(ReadBuffer(pHandle), "after");
    UsbLinkHandle* p0 = Open(0);
    ASSERT_NE(p0, nullptr);
    EXPECT_EQ(ReadBuffer(p0, 200), "<none>") << "opening a channel again empties it";
}

TEST_F(UsbLinkTest, UntilTheLinkResetIsTakenTheReceiversPacketsAreDropped)
{
    // Queued before the host opens: the first packet meets the pending link
    // reset, the second carries the refusal of the first reset.
    Rx->SetNextAck(USB_LINK_TYPE_RESET, USB_LINK_NO_SPACE);
    Rx->SendChannelData(0, "a");
    Rx->SendChannelData(0, "b");
    Rx->SendChannelData(0, "c");
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    EXPECT_EQ(ReadBuffer(pHandle), "c");
    EXPECT_EQ(Rx->GetLinkResets(), 2u) << "a refused link reset is sent again";
    EXPECT_EQ(ReadBuffer(pHandle, 100), "<none>");
}

TEST_F(UsbLinkTest, AHostPacketTheReceiverDidNotGetIsSentAgainNotTakenAsAcknowledged)
{
    // The receiver's first packet meets the pending link reset; the reset is
    // lost on its way, so the receiver sends its packet again: that repeat
    // acknowledges nothing and the link reset goes again.
    Rx->SendChannelData(0, "before the reset");
    Rx->LoseNextHostPacket(USB_LINK_TYPE_RESET);
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    EXPECT_EQ(Rx->GetLinkResets(), 1u) << "the receiver got the link reset";

    // The same for data: the host's packet answers the receiver's "poll".
    Quiet(
        [&]
        {
            ASSERT_EQ(UsbLinkWrite(pHandle, "LOG VERSION\r\n", 13), USB_LINK_OK);
            Rx->SendChannelData(0, "poll");
            Rx->LoseNextHostPacket(USB_LINK_TYPE_CHANNEL_DATA);
        });
    EXPECT_EQ(ReadBuffer(pHandle), "poll");
    ASSERT_TRUE(WaitFor([this] { return !Rx->GetChannelInput(0).empty(); }));
    Rx->SendChannelData(0, "marker");
    EXPECT_EQ(ReadBuffer(pHandle), "marker");
    EXPECT_EQ(ReadBuffer(pHandle, 100), "<none>") << "the repeated poll was dropped";
    EXPECT_EQ(Rx->GetChannelInput(0), "LOG VERSION\r\n") << "delivered once, not lost";
}

TEST_F(UsbLinkTest, AShortReadOfAControlPacketIsNeverTakenAsAPacket)
{
    UsbLinkTiming().ControlReadMs = 150;
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    // Pieces that meet within the read's time-out are one packet.
    Quiet(
        [this]
        {
            Rx->SplitNextPacket(100, 20);
            Rx->SendChannelData(0, "joined");
        });
    EXPECT_EQ(ReadBuffer(pHandle), "joined");
    // A piece whose rest comes too late is no packet: the receiver's next
    // sending of it is taken, once.
    Quiet(
        [this]
        {
            Rx->SplitNextPacket(100, 400);
            Rx->SendChannelData(0, "late");
            Rx->SendChannelData(0, "next");
        });
    EXPECT_EQ(ReadBuffer(pHandle), "late");
    EXPECT_EQ(ReadBuffer(pHandle), "next");
    EXPECT_EQ(ReadBuffer(pHandle, 300), "<none>");
}

TEST_F(UsbLinkTest, RepliesMatchTheirRequestAndTheOldestAwaitingOneIsEvictedOrGivenUpOnAReceiverReset)
{
    Rx->SetCommandHandler(
        [](const std::string& Command, std::string* pReply)
        {
            if (Command != "version")
            {
                return false;
            }
            *pReply = "ZR-480 1.02.3";
            return true;
        });
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    UsbLinkSession* pSession = UsbLinkGetSession(pHandle);
    DONE_LIST_T done;
    const int id = UsbLinkSendCommand(pSession, "version", RecordDone, &done);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(WaitFor([&] { return done.Count() == 1; }));
    EXPECT_EQ(done.Get()[0].RequestId, id);
    EXPECT_EQ(done.Get()[0].Status, 0);
    EXPECT_EQ(done.Get()[0].Inline, "ZR-480 1.02.3");
    EXPECT_EQ(Rx->GetCommands().back(), "version");

    // A reply with another request id is dropped; the request keeps waiting.
    const int waiting = UsbLinkSendCommand(pSession, "log bestpos", RecordDone, &done);
    ASSERT_TRUE(WaitFor([&] { return pSession->AwaitingCount.load() == 1; }));
    const UsbLinkPacket sent = HostPackets(USB_LINK_TYPE_COMMAND).back();
    ASSERT_EQ(sent.RequestId, waiting);
    Rx->SendReply(sent.Token, static_cast<uint16_t>(sent.RequestId + 1), "stale");
    Rx->SendReply(sent.Token ^ 0x100u, sent.RequestId, "other generation");
    Rx->SendChannelData(0, "marker");
    EXPECT_EQ(ReadBuffer(pHandle), "marker");
    EXPECT_EQ(pSession->AwaitingCount.load(), 1);
    Rx->SendReply(sent.Token, sent.RequestId, "<OK", Pattern(1500));
    ASSERT_TRUE(WaitFor([&] { return done.Count() == 2; }));
    EXPECT_EQ(done.Get()[1].Inline, "<OK");
    EXPECT_EQ(done.Get()[1].Ext, Pattern(1500));

    // 65 awaiting: the oldest is given up.
    std::vector<int> ids;
    while (ids.size() < 65)
    {
        const int r = UsbLinkSendCommand(pSession, "log range", RecordDone, &done);
        if (r == USB_LINK_POOLS_EXHAUSTED)
        {
            std::this_thread::sleep_for(milliseconds(1));
            continue;
        }
        ASSERT_GT(r, 0);
        ids.push_back(r);
    }
    ASSERT_TRUE(WaitFor([&] { return done.Count() == 3; }));
    EXPECT_EQ(done.Get()[2].RequestId, ids[0]);
    EXPECT_EQ(done.Get()[2].Status, USB_LINK_EVICTED);
    // The count drops just after the completion is told.
    EXPECT_TRUE(WaitFor([pSession] { return pSession->AwaitingCount.load() == 64; }));

    // A receiver that starts its link again answers none of them.
    UsbLinkPacket reset;
    UsbLinkInitPacket(&reset, USB_LINK_TYPE_RESET);
    Rx->SendPacket(reset);
    ASSERT_TRUE(WaitFor([&] { return done.Count() == 67; }));
    EXPECT_TRUE(WaitFor([pSession] { return pSession->AwaitingCount.load() == 0; }));
    EXPECT_EQ(done.Get().back().Status, USB_LINK_EVICTED);

    EXPECT_EQ(UsbLinkSendCommand(pSession, ""), USB_LINK_NO_DATA);
    EXPECT_EQ(UsbLinkSendCommand(pSession, std::string(476, 'a').c_str()), USB_LINK_TEXT_TOO_LONG);
}

// A receiver that starts its link again took nothing of the host's last
// packet: a channel write in flight then is not taken as delivered, it goes again.
TEST_F(UsbLinkTest, AWriteInFlightWhenTheReceiverResetsItsLinkGoesAgain)
{
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    // The receiver does not send its packet again before the reset.
    Rx->SetTiming({1, 5000});
    Quiet(
        [&]
        {
            ASSERT_EQ(UsbLinkWrite(pHandle, "LOG VERSION\r\n", 13), USB_LINK_OK);
            Rx->SendChannelData(0, "poll");
            Rx->LoseNextHostPacket(USB_LINK_TYPE_CHANNEL_DATA);
        });
    // The host answers "poll" with the write, which the restarting receiver loses.
    EXPECT_EQ(ReadBuffer(pHandle), "poll");
    UsbLinkPacket reset;
    UsbLinkInitPacket(&reset, USB_LINK_TYPE_RESET);
    const uint8_t* pReset = reinterpret_cast<const uint8_t*>(&reset);
    Rx->InjectRaw(std::vector<uint8_t>(pReset, pReset + sizeof(reset)));
    EXPECT_TRUE(WaitFor([this] { return Rx->GetChannelInput(0) == "LOG VERSION\r\n"; }))
        << "got \"" << Rx->GetChannelInput(0) << '"';
}

TEST_F(UsbLinkTest, TheReceiverWritesFilesOnlyInsideTheChosenFolder)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zv_usb_wf_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    UsbLinkSetWriteFileFolder(folder.string());
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    const std::string content = Pattern(3000);
    Rx->SendCommand("WriteFile -f\"logs\\day 1.bin\" -mwb", content);
    const std::filesystem::path written = folder / "logs" / "day 1.bin";
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(written) && std::filesystem::file_size(written) == 3000; }));
    std::ifstream in(written, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
    UsbLinkSetWriteFileFolder("");

    struct CASE_T
    {
        const char* pText;
        int Result;
    };
    const CASE_T cases[] = {
        {"WriteFile", 0},                      // Data.dat, wb+
        {"WriteFile -fa/b.dat -mab", 0},       // a folder is made
        {"WriteFile -f/etc/passwd", -1},       // absolute
        {"WriteFile -f..\\up.dat", -1},        // leaves the folder
        {"WriteFile -fC:\\x.dat", -1},         // a drive
        {"WriteFile -fx.dat -mr", -1},         // not a writing mode
        {"WriteFile -f\"open.dat", -1},        // no closing quote
        {"WriteFile -f", -1},                  // empty value
        {"WriteFile -x1", -2},                 // another option
        {"WriteFile stray", -3},               // not an option
        {"WriteFile -fok.dat -mwb -z", 0},     // tokens past the third are ignored
    };
    for (const CASE_T& c : cases)
    {
        char text[128];
        std::snprintf(text, sizeof(text), "%s", c.pText);
        uint8_t data[4] = {1, 2, 3, 4};
        UsbLinkCommand command;
        command.pText = text;
        command.pExtData = data;
        command.ExtLength = sizeof(data);
        EXPECT_EQ(UsbLinkWriteFileCommand(command, folder.string()), c.Result) << c.pText;
    }
    EXPECT_TRUE(std::filesystem::exists(folder / "Data.dat"));
    EXPECT_TRUE(std::filesystem::exists(folder / "a" / "b.dat"));
    EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "up.dat"));
    std::filesystem::remove_all(folder);
}

TEST_F(UsbLinkTest, AnImageUpdateEndsOnlyAsTheReceiverAnswers)
{
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    const std::string image = Pattern(100000);
    struct CASE_T
    {
        const char* pName;
        CUsbSimReceiver::IMAGE_ANSWER_T Answer;
        int Result;
        const char* pMessage;
    };
    const CASE_T cases[] = {
        {"taken", {}, USB_IMAGE_DONE, "Update finished"},
                // The reply follows its acknowledgement, so its status is its own.
        {"refused", {0, true, "bad image", 3, 30}, USB_IMAGE_REFUSED, "bad image (3)"},
        {"not accepted", {USB_LINK_NO_SPACE, false, "", 0, 0}, USB_IMAGE_REFUSED, "image not accepted (-4)"},
    };
    for (const CASE_T& c : cases)
    {
        Rx->SetImageAnswer(c.Answer);
        char message[256] = {};
        EXPECT_EQ(UsbLinkUpdateImage(pHandle, image.data(), static_cast<uint32_t>(image.size()), message,
                                     sizeof(message)),
                  c.Result)
            << c.pName;
        EXPECT_STREQ(message, c.pMessage) << c.pName;
        ASSERT_FALSE(Rx->GetImages().empty());
        EXPECT_EQ(Rx->GetImages().back(), image) << c.pName;
    }
    // Logging is stopped before each image.
    EXPECT_EQ(Rx->GetCommands(), std::vector<std::string>(3, "UnLogAll"));

    char message[64] = {};
    EXPECT_EQ(UsbLinkUpdateImage(pHandle, image.data(), 0, message, sizeof(message)), USB_IMAGE_INPUT_ERROR);
    EXPECT_STREQ(message, "input error");
    EXPECT_EQ(UsbLinkUpdateImage(nullptr, image.data(), 10, message, sizeof(message)), USB_IMAGE_INVALID_PORT);
    EXPECT_STREQ(message, "Invalid Port");

    // A receiver that never acknowledges the image.
    UsbLinkTiming().ImageAckMs = 300;
    Rx->SetImageAnswer({});
    Rx->SetSilent(true);
    EXPECT_EQ(UsbLinkUpdateImage(pHandle, image.data(), 1000, message, sizeof(message)), USB_IMAGE_TIMEOUT);
    EXPECT_STREQ(message, "timeout");
    Rx->SetSilent(false);
}

TEST_F(UsbLinkTest, AnUnplugDuringAnImageUpdateIsAFailureAndTheSessionComesBack)
{
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    const std::string image = Pattern(200000);
    Rx->UnplugAfterImageBytes(70000);
    char message[64] = {};
    const auto start = Clock::now();
    EXPECT_EQ(UsbLinkUpdateImage(pHandle, image.data(), static_cast<uint32_t>(image.size()), message,
                                 sizeof(message)),
              USB_IMAGE_LINK_LOST);
    EXPECT_STREQ(message, "USB link lost");
    EXPECT_LT(Clock::now() - start, milliseconds(2000)) << "the loss ends the wait, not the time-out";
    EXPECT_TRUE(Rx->GetImages().empty());

    // Plugged in again, the same receiver (by serial number) gets a new link.
    const uint32_t resets = Rx->GetLinkResets();
    Rx->SetPlugged(true);
    ASSERT_TRUE(WaitRelinked(pHandle, resets));
    Rx->SendChannelData(0, "back");
    EXPECT_EQ(ReadBuffer(pHandle), "back");
    EXPECT_EQ(UsbLinkUpdateImage(pHandle, image.data(), 5000, message, sizeof(message)), USB_IMAGE_DONE);
}

// Writes queued while the receiver is pulled out may take every control
// packet of the session: its link reset still goes first once the receiver is
// back, the writes follow in order, and what the receiver sends arrives.
TEST_F(UsbLinkTest, AQueueFilledWhileTheReceiverIsAwayLetsTheLinkComeBack)
{
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    const uint32_t resets = Rx->GetLinkResets();
    Rx->SetPlugged(false);
    std::string sent;
    for (int i = 0; i < 1000; ++i)
    {
        const std::string cmd = "log range ontime " + std::to_string(i) + "\r\n";
        const int r = UsbLinkWrite(pHandle, cmd.data(), static_cast<uint32_t>(cmd.size()));
        if (r != USB_LINK_OK)
        {
            EXPECT_TRUE(r == USB_LINK_POOLS_EXHAUSTED || r == USB_LINK_RING_FULL) << r;
            break;
        }
        sent += cmd;
    }
    ASSERT_LT(sent.size(), 1000u * 20) << "the queue never filled";
    Rx->SetPlugged(true);
    ASSERT_TRUE(WaitRelinked(pHandle, resets));
    EXPECT_TRUE(WaitFor([&] { return Rx->GetChannelInput(0).size() >= sent.size(); }));
    EXPECT_TRUE(Rx->GetChannelInput(0) == sent) << "lost, repeated or reordered";
    Rx->SendChannelData(0, "back");
    EXPECT_EQ(ReadBuffer(pHandle), "back");
}

TEST_F(UsbLinkTest, ASilentReceiverLosesTheLinkAndIsTakenBackWhenItAnswers)
{
    UsbLinkTiming().ControlReadMs = 30;
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    UsbLinkSession* pSession = UsbLinkGetSession(pHandle);
    Rx->SetSilent(true);
    ASSERT_EQ(UsbLinkWrite(pHandle, "held", 4), USB_LINK_OK);
    ASSERT_TRUE(WaitFor([pSession] { return pSession->LinkLosses.load() >= 1; }));
    const uint32_t resets = Rx->GetLinkResets();
    Rx->SetSilent(false);
    ASSERT_TRUE(WaitRelinked(pHandle, resets));
    Rx->SendChannelData(0, "again");
    EXPECT_EQ(ReadBuffer(pHandle), "again");

    EXPECT_EQ(pSession->LinkState.load(), USB_LINK_UP);
    ASSERT_TRUE(WaitFor([this] { return !Rx->GetChannelInput(0).empty(); }));
    EXPECT_EQ(Rx->GetChannelInput(0), "held") << "what waited for the link went once it was back";
}

TEST_F(UsbLinkTest, AStreamAtFullRateArrivesWholeAndInOrder)
{
    Rx->SetTiming({0, 50});
    UsbLinkHandle* pHandle = Open(0);
    ASSERT_NE(pHandle, nullptr);
    ASSERT_TRUE(WaitLinkUp(pHandle));
    // Packets as full as the protocol allows, one in every turn, 12 MiB in
    // all: the channel holds that much, so not even a slow reader loses any.
    const std::string data = Pattern(12u << 20);
    Rx->StreamChannelData(0, data, USB_LINK_INLINE_MAX, USB_LINK_MAX_TRANSFER);
    std::string got;
    got.reserve(data.size());
    const auto deadline = Clock::now() + milliseconds(60000);
    while (got.size() < data.size() && Clock::now() < deadline)
    {
        uint32_t n = 0;
        const uint8_t* p = UsbLinkRead(pHandle, &n, 10);
        if (p != nullptr)
        {
            got.append(reinterpret_cast<const char*>(p), n);
            UsbLinkRelease(pHandle);
        }
    }
    ASSERT_EQ(got.size(), data.size());
    EXPECT_TRUE(got == data) << "reordered or changed";
    EXPECT_EQ(UsbLinkGetDropped(pHandle), 0u);
}

TEST_F(UsbLinkTest, ClosingReturnsWithinASecondWhateverTheLinkDoes)
{
    struct CASE_T
    {
        const char* pName;
        std::function<void(UsbLinkHandle*)> Enter;
    };
    const CASE_T cases[] = {
        {"idle", [](UsbLinkHandle*) {}},
        {"streaming",
         [this](UsbLinkHandle*)
         {
             Rx->SetTiming({0, 50});
             Rx->StreamChannelData(0, Pattern(4u << 20), USB_LINK_INLINE_MAX, USB_LINK_MAX_TRANSFER);
         }},
        {"in a long control read", [this](UsbLinkHandle*) { Rx->SetSilent(true); }},
        {"waiting for an unplugged receiver", [this](UsbLinkHandle*) { Rx->SetPlugged(false); }},
    };
    for (const CASE_T& c : cases)
    {
        Rx->SetSilent(false);
        Rx->SetPlugged(true);
        Rx->SetTiming({1, 50});
        UsbLinkHandle* pHandle = Open(0);
        ASSERT_NE(pHandle, nullptr) << c.pName;
        ASSERT_TRUE(WaitLinkUp(pHandle)) << c.pName;
        c.Enter(pHandle);
        std::this_thread::sleep_for(milliseconds(100));
        const auto start = Clock::now();
        Close(pHandle);
        EXPECT_LT(Clock::now() - start, milliseconds(1000)) << c.pName;
    }
}
} // namespace
