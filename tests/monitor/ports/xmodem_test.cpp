#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "codec/crc.h"
#include "monitor/ports/xmodem.h"
#include "support/monitor/fake_loader.h"
#include "support/monitor/pty_receiver.h"

namespace
{
std::vector<uint8_t> MakeImage(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(i * 7 + (i >> 10));
    return v;
}

// A boot loader on the master side of a pseudo-terminal.
class FakeLoader
{
public:
    explicit FakeLoader(LOADER_RULES_T Rules)
        : m_Loader(Rules), m_Rx([this](ReceiverLine& self, const std::string& chunk)
                                { m_Loader.Feed(chunk, [&self](const void* p, size_t n) { self.Send(p, n); }); })
    {
    }
    bool Plug() { return m_Rx.Plug(); }
    PtyReceiver& Rx() { return m_Rx; }
    const XmodemLoader& Loader() const { return m_Loader; }

private:
    XmodemLoader m_Loader;
    PtyReceiver m_Rx; // last: its thread stops before the loader goes
};

// Plays the serial controller's loop: read, hand the bytes over, send what was queued.
void RunSender(CUartProcessEx& Dev, std::string* pProgress, const std::function<bool()>& StopEarly = {})
{
    uint8_t buf[4096];
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Dev.IsActive() && std::chrono::steady_clock::now() < end)
    {
        if (StopEarly && StopEarly())
            return;
        uint32_t n = 0;
        if (Dev.ReadData(buf, sizeof(buf), &n) == 1)
            Dev.TransmitImage(buf, &n);
        Dev.FlushTransmit();
        *pProgress += Dev.TakeProgressText();
    }
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> v;
    for (int b = first; b <= last; ++b)
        v.push_back(b & 0xFF);
    return v;
}
} // namespace

TEST(Xmodem, FramesCarryBlockNumberComplementPaddingAndCrc)
{
    uint8_t frame[XMODEM_FRAME_SIZE];
    const uint8_t zero = 0;
    ASSERT_EQ(XmodemBuildFrame(3, &zero, 1, frame), XMODEM_FRAME_SIZE);
    EXPECT_EQ(frame[0], 0x02);
    EXPECT_EQ(frame[1], 0x03);
    EXPECT_EQ(frame[2], 0xFC);
    EXPECT_EQ(frame[3], 0x00);
    for (int i = 4; i < 1027; ++i)
        ASSERT_EQ(frame[i], 0x1A) << i;
    EXPECT_EQ(frame[1027], 0x49);
    EXPECT_EQ(frame[1028], 0x96);

    const std::vector<uint8_t> zeros(1024, 0);
    ASSERT_EQ(XmodemBuildFrame(1, zeros.data(), 1024, frame), XMODEM_FRAME_SIZE);
    EXPECT_EQ(frame[2], 0xFE);
    EXPECT_EQ(frame[1027], 0x00);
    EXPECT_EQ(frame[1028], 0x00);
    EXPECT_EQ(XmodemBuildFrame(1, zeros.data(), 1025, frame), 0u);

    EXPECT_EQ(XmodemProgressBar(50), "[" + std::string(25, '=') + std::string(25, ' ') + "]");
    EXPECT_EQ(XmodemProgressBar(0), "[" + std::string(50, ' ') + "]");
    EXPECT_EQ(XmodemProgressBar(100), "[" + std::string(50, '=') + "]");
}

TEST(Xmodem, EmptyOrUnreadableImagesAreRefused)
{
    CUartProcessEx dev;
    EXPECT_EQ(dev.LoadImageData(nullptr, 0), 0);
    EXPECT_EQ(dev.LoadImage("/nonexistent/image.img"), 0);
    QTemporaryDir tmp;
    const QString empty = tmp.filePath("empty.img");
    QFile(empty).open(QIODevice::WriteOnly);
    EXPECT_EQ(dev.LoadImage(QFile::encodeName(empty).constData()), 0);
    EXPECT_FALSE(dev.IsActive());

    const QString full = tmp.filePath("fw.img");
    QFile f(full);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(3000, 'a'));
    f.close();
    EXPECT_EQ(dev.LoadImage(QFile::encodeName(full).constData()), 1);
    EXPECT_TRUE(dev.IsActive());
    EXPECT_EQ(dev.GetImageSize(), 3000u);
    uint8_t none[1] = {0};
    uint32_t n = 0;
    EXPECT_EQ(dev.TransmitImage(none, &n), 2) << "waiting for the loader";
}

TEST(Xmodem, TransfersToALoaderThroughAPseudoTerminal)
{
    struct CASE_T
    {
        const char* Name;
        size_t ImageSize;
        LOADER_RULES_T Rules;
        XMODEM_RESULT_E Result;
        std::vector<int> Blocks;
        int Eots, Cans;
        const char* LastText;
    };
    std::vector<int> nakForever = {1};
    nakForever.insert(nakForever.end(), XMODEM_RETRY_LIMIT + 1, 2);
    std::vector<int> nakAfterFive = Range(1, 5);
    nakAfterFive.push_back(5);
    nakAfterFive.push_back(6);
    const CASE_T cases[] = {
        {"three blocks, EOT asked twice",
         2049,
         {-1, -1, -1, true},
         XMODEM_RESULT_COMPLETE,
         {1, 2, 3},
         2,
         0,
         "Transmit Complete\n"},
        {"block 5 sent again after a NAK",
         6000,
         {5, -1, -1, false},
         XMODEM_RESULT_COMPLETE,
         nakAfterFive,
         1,
         0,
         "Transmit Complete\n"},
        {"block numbers wrap after 255",
         257 * 1024 + 5,
         {},
         XMODEM_RESULT_COMPLETE,
         Range(1, 258),
         1,
         0,
         "Transmit Complete\n"},
        {"single block", 10, {}, XMODEM_RESULT_COMPLETE, {1}, 1, 0, "Transmit Complete\n"},
        {"loader cancels at block 2",
         6000,
         {-1, -1, 2, false},
         XMODEM_RESULT_LOADER_CANCEL,
         {1, 2},
         0,
         0,
         "Xmodem Transfer canceled\n"},
        {"loader refuses block 2 for good",
         6000,
         {-1, 2, -1, false},
         XMODEM_RESULT_GAVE_UP,
         nakForever,
         0,
         1,
         "Start to transmit...\n"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        FakeLoader loader(c.Rules);
        ASSERT_TRUE(loader.Plug());
        CUartProcessEx dev;
        dev.SetTiming(FastUartTiming());
        ASSERT_EQ(dev.OpenPort(loader.Rx().Name().c_str(), 115200), 1);
        const std::vector<uint8_t> image = MakeImage(c.ImageSize);
        ASSERT_EQ(dev.LoadImageData(image.data(), static_cast<uint32_t>(image.size())), 1);
        EXPECT_EQ(dev.GetReadTimeout(), FastUartTiming().ImageReadTimeout);

        // The loader's banner ends in "CCC", here in separate writes.
        std::thread banner(
            [&]
            {
                loader.Rx().Send("boot 1.0\r\nC");
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
                loader.Rx().Send("C");
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
                loader.Rx().Send("C");
            });
        std::string progress;
        RunSender(dev, &progress);
        banner.join();
        EXPECT_FALSE(dev.IsActive());
        EXPECT_EQ(dev.GetResult(), c.Result);
        EXPECT_EQ(dev.GetReadTimeout(), FastUartTiming().ReadTimeout);

        // Nothing more goes out once the transfer has ended.
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        const size_t sent = loader.Rx().Received().size();
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        EXPECT_EQ(loader.Rx().Received().size(), sent);

        EXPECT_EQ(loader.Loader().Blocks(), c.Blocks);
        EXPECT_EQ(loader.Loader().Eots(), c.Eots);
        EXPECT_EQ(loader.Loader().Cans(), c.Cans);
        EXPECT_EQ(loader.Loader().BadFrames(), 0);
        EXPECT_EQ(loader.Rx().Received().substr(0, 3), "1\r\n");
        ASSERT_GE(progress.size(), strlen(c.LastText));
        EXPECT_EQ(progress.substr(progress.size() - strlen(c.LastText)), c.LastText) << progress;
        EXPECT_EQ(progress.rfind("Ready to Transmit Image\nXmodem First Frame\n", 0), 0u) << progress;
        if (c.Result == XMODEM_RESULT_COMPLETE)
        {
            std::string expected(image.begin(), image.end());
            expected.resize((image.size() + 1023) / 1024 * 1024, '\x1A');
            EXPECT_EQ(loader.Loader().Image(), expected);
            if (c.Blocks.size() > 1)
            {
                char last[64];
                std::snprintf(last, sizeof(last), "Send:100%% %7u/%7u Byte [", unsigned(image.size()),
                              unsigned(image.size()));
                EXPECT_NE(progress.find(std::string(last) + std::string(50, '=') + "] @"), std::string::npos)
                    << progress;
            }
        }
    }
}

TEST(Xmodem, ACancelledTransferSendsCanAndIsNotComplete)
{
    FakeLoader loader({});
    ASSERT_TRUE(loader.Plug());
    CUartProcessEx dev;
    dev.SetTiming(FastUartTiming());
    ASSERT_EQ(dev.OpenPort(loader.Rx().Name().c_str(), 115200), 1);
    const std::vector<uint8_t> image = MakeImage(20 * 1024);
    ASSERT_EQ(dev.LoadImageData(image.data(), static_cast<uint32_t>(image.size())), 1);
    loader.Rx().Send("CCC");
    std::string progress;
    RunSender(dev, &progress, [&] { return loader.Loader().Blocks().size() >= 3; });
    ASSERT_TRUE(dev.IsActive());

    dev.CancelTransfer();
    EXPECT_FALSE(dev.IsActive());
    EXPECT_EQ(dev.GetResult(), XMODEM_RESULT_CANCELLED);
    EXPECT_EQ(dev.FlushTransmit(), 1);
    ASSERT_TRUE(loader.Rx().WaitFor([](const std::string& s) { return !s.empty() && s.back() == '\x18'; }, 20000));
    EXPECT_EQ(loader.Loader().Cans(), 1);
    uint8_t ack = XMODEM_ACK;
    uint32_t n = 1;
    EXPECT_EQ(dev.TransmitImage(&ack, &n), 1) << "no transfer any more";
    EXPECT_LT(loader.Loader().Blocks().size(), 20u);
}
