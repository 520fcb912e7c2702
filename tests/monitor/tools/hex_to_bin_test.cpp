// Hex to binary: the scanner on the cases that matter (separators, the "X"
// of "0X41", lone digits, garbled text with its line) whatever the blocks the
// text arrives in; whole files against the bytes they were made from and
// against Python's bytes.fromhex; failures, cancelling and a full disk that
// leave no half-written output; and the window as a user drives it.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include "monitor/tools/hex_to_bin.h"
#include "monitor/tools/hex_to_bin_diag.h"
#include "support/monitor/receiver_ports.h"
#include "support/scripted_prompt.h"
#include "tool_test_util.h"

namespace
{
struct SCAN_T
{
    std::string Bytes;
    uint64_t Garbled = 0;
    uint64_t FirstLine = 0;
    uint8_t FirstChar = 0;
    uint64_t Lines = 0;
};

// The text fed in pieces cut at the given places.
SCAN_T Scan(const std::string& sText, std::vector<size_t> cuts = {})
{
    CHexPairScanner scanner;
    SCAN_T r;
    cuts.push_back(sText.size());
    size_t nFrom = 0;
    for (size_t nTo : cuts)
    {
        std::vector<uint8_t> out((nTo - nFrom) / 2 + 1);
        const size_t n = scanner.Feed(sText.data() + nFrom, nTo - nFrom, out.data());
        r.Bytes.append(reinterpret_cast<const char*>(out.data()), n);
        nFrom = nTo;
    }
    r.Garbled = scanner.GarbledCount();
    r.FirstLine = scanner.FirstGarbledLine();
    r.FirstChar = scanner.FirstGarbledChar();
    r.Lines = scanner.Lines();
    return r;
}

QByteArray RandomBytes(size_t n, uint32_t nSeed)
{
    std::mt19937 rng(nSeed);
    QByteArray b(static_cast<int>(n), '\0');
    for (char& c : b)
        c = static_cast<char>(rng() & 0xFF);
    return b;
}

// A dump of the bytes: nPerLine pairs a line, each pair followed by sGap.
QByteArray Dump(const QByteArray& bytes, int nPerLine, const char* pGap, const char* pLineEnd, bool bUpper)
{
    QByteArray text;
    text.reserve(bytes.size() * 4);
    const char* pDigits = bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    for (int i = 0; i < bytes.size(); ++i)
    {
        const uint8_t b = static_cast<uint8_t>(bytes[i]);
        text += pDigits[b >> 4];
        text += pDigits[b & 15];
        text += pGap;
        if ((i + 1) % nPerLine == 0)
            text += pLineEnd;
    }
    return text;
}

bool WriteFile(const QString& sPath, const QByteArray& data)
{
    QFile f(sPath);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray ReadFile(const QString& sPath)
{
    QFile f(sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What Python makes of the text: the independent converter.
QByteArray PythonFromHex(const QString& sText, const QString& sOut)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys; open(sys.argv[2], 'wb').write(bytes.fromhex(open(sys.argv[1]).read()))"),
                  sText, sOut});
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return "python failed: " + python.readAllStandardError();
    return ReadFile(sOut);
}
} // namespace

TEST(HexToBin, ScannerSpellsPairsAndNotesGarbledText)
{
    struct
    {
        const char* Text;
        std::string Bytes;
        uint64_t Garbled, FirstLine;
        char FirstChar;
    } const cases[] = {
        {"48 65 6C 6C 6F\r\n", "Hello", 0, 0, 0},
        {"48656c6C6f", "Hello", 0, 0, 0},
        {"0X41", "A", 0, 0, 0},
        {"0x41", "A", 1, 1, 'x'},
        {"4 1", "", 0, 0, 0},       // a lone digit before a blank, and one at the end
        {"4G", "", 1, 1, 'G'},
        {"\t41", "A", 1, 1, '\t'},  // tabs are no separators
        {"41\r\n42\n4\n1Z\n43", "ABC", 1, 4, 'Z'},
        {"FF,00", std::string("\xFF\x00", 2), 1, 1, ','},
    };
    for (const auto& c : cases)
    {
        const std::string sText = c.Text;
        const SCAN_T whole = Scan(sText);
        EXPECT_EQ(whole.Bytes, c.Bytes) << sText;
        EXPECT_EQ(whole.Garbled, c.Garbled) << sText;
        EXPECT_EQ(whole.FirstLine, c.FirstLine) << sText;
        EXPECT_EQ(whole.FirstChar, static_cast<uint8_t>(c.FirstChar)) << sText;
        // The same whatever the blocks: cut at every place, and byte by byte.
        for (size_t nCut = 0; nCut <= sText.size(); ++nCut)
        {
            const SCAN_T cut = Scan(sText, {nCut});
            EXPECT_EQ(cut.Bytes, c.Bytes) << sText << " cut at " << nCut;
            EXPECT_EQ(cut.Garbled, c.Garbled) << sText << " cut at " << nCut;
        }
        std::vector<size_t> every;
        for (size_t i = 1; i < sText.size(); ++i)
            every.push_back(i);
        EXPECT_EQ(Scan(sText, every).Bytes, c.Bytes) << sText;
    }
    EXPECT_EQ(Scan("41\n42\n").Lines, 2u);
    EXPECT_EQ(Scan("41\n42").Lines, 2u);
}

TEST(HexToBin, FilesConvertByteForByte)
{
    QTemporaryDir dir;
    struct
    {
        size_t Size;
        int PerLine;
        const char* Gap;
        const char* LineEnd;
        bool Upper;
    } const dumps[] = {
        {1 << 20, 16, " ", "\r\n", true}, // a dump of received bytes, 16 a line
        {300001, 63, "", "\n", false},    // odd lines: pairs straddle the 4096-byte blocks
        {10000, 1 << 30, "", "", true},   // one line without a separator
        {1, 1, "", "", false},
    };
    for (const auto& d : dumps)
    {
        const QByteArray bytes = RandomBytes(d.Size, static_cast<uint32_t>(d.Size));
        const QString sText = dir.filePath(QStringLiteral("dump.txt")), sOut = dir.filePath(QStringLiteral("dump.bin"));
        ASSERT_TRUE(WriteFile(sText, Dump(bytes, d.PerLine, d.Gap, d.LineEnd, d.Upper)));
        const HEX_TO_BIN_RESULT_T r = ConvertHexToBinary(sText, sOut, {}, {});
        ASSERT_EQ(r.Status, HEX_TO_BIN_OK) << d.Size;
        EXPECT_EQ(r.GarbledCount, 0u);
        EXPECT_EQ(r.BytesWritten, d.Size);
        EXPECT_EQ(r.BytesRead, static_cast<uint64_t>(QFileInfo(sText).size()));
        const QByteArray out = ReadFile(sOut);
        EXPECT_TRUE(out == bytes) << d.Size;
        EXPECT_TRUE(out == PythonFromHex(sText, dir.filePath(QStringLiteral("python.bin")))) << d.Size;
    }
}

TEST(HexToBin, AFailedOrCancelledRunLeavesNoHalfWrittenOutput)
{
    QTemporaryDir dir;
    const QString sText = dir.filePath(QStringLiteral("big.txt")), sOut = dir.filePath(QStringLiteral("big.bin"));
    const QByteArray bytes = RandomBytes(400000, 7);
    ASSERT_TRUE(WriteFile(sText, Dump(bytes, 32, " ", "\r\n", true)));
    ASSERT_TRUE(WriteFile(sOut, "earlier output"));
    const QStringList before = FilesIn(dir.path());

    EXPECT_EQ(ConvertHexToBinary(dir.filePath(QStringLiteral("none.txt")), sOut, {}, {}).Status,
              HEX_TO_BIN_INPUT_NOT_OPENED);
    EXPECT_EQ(ConvertHexToBinary(dir.path(), sOut, {}, {}).Status, HEX_TO_BIN_INPUT_NOT_OPENED);
    EXPECT_EQ(ConvertHexToBinary(sText, dir.filePath(QStringLiteral("no/such/folder/out.bin")), {}, {}).Status,
              HEX_TO_BIN_OUTPUT_NOT_CREATED);
    EXPECT_EQ(ConvertHexToBinary(sText, sText, {}, {}).Status, HEX_TO_BIN_SAME_FILE);

    // Cancelled after the first blocks.
    int nBlocks = 0;
    const HEX_TO_BIN_RESULT_T cancelled =
        ConvertHexToBinary(sText, sOut, {}, [&nBlocks] { return ++nBlocks > 3; });
    EXPECT_EQ(cancelled.Status, HEX_TO_BIN_CANCELLED);
    EXPECT_EQ(cancelled.BytesRead, 3u * HEX_TO_BIN_BLOCK);

    // The disk fills part-way.
    {
        CFileSizeCap cap(100000);
        ASSERT_TRUE(cap.IsSet());
        const HEX_TO_BIN_RESULT_T full = ConvertHexToBinary(sText, sOut, {}, {});
        EXPECT_EQ(full.Status, HEX_TO_BIN_WRITE_FAILED);
        EXPECT_FALSE(full.Error.isEmpty());
    }
    EXPECT_EQ(ReadFile(sOut), QByteArray("earlier output"));
    EXPECT_EQ(FilesIn(dir.path()), before);
    EXPECT_EQ(ReadFile(sText).size(), QFileInfo(sText).size());
}

// ---- The window ----

namespace
{
class HexToBinWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dialog.SetClock([] { return QDateTime(QDate(2024, 3, 5), QTime(12, 30, 5)); });
        m_Dialog.show();
    }
    template <class T> T* Child(const char* pName) { return m_Dialog.findChild<T*>(QLatin1String(pName)); }
    QLineEdit* Input() { return Child<QLineEdit>("m_LogFilePath"); }
    QLineEdit* Output() { return Child<QLineEdit>("m_OutputFloder"); }
    void TypeInput(const QString& sPath)
    {
        Input()->setText(sPath);
        emit Input()->editingFinished();
    }
    // Presses Process and waits for the box that ends the run.
    QString Process()
    {
        const int nBefore = m_Prompt.Messages.size();
        Child<QPushButton>("m_ProcessButton")->click();
        if (!WaitUntil([&] { return m_Prompt.Messages.size() > nBefore && !m_Dialog.Worker()->isRunning(); }))
            return QStringLiteral("no message");
        return m_Prompt.Messages.last();
    }

    CScriptedPrompt m_Prompt;
    QTemporaryDir m_Dir;
    QHextoBinDiag m_Dialog;
};
} // namespace

TEST_F(HexToBinWindow, ProposesOutputNamesBesideTheInput)
{
    const struct
    {
        const char* Input;
        const char* Output;
    } names[] = {
        {"/a/rx.txt", "/a/rx_Bin12_30_05.log"},
        {"/x.txt/rx.txt", "/x.txt/rx_Bin12_30_05.log"},
        {"/data/rx.tar.log", "/data/rx.tar_Bin12_30_05.log"},
        {"/data/rx", "/data/rx_Bin12_30_05.log"},
    };
    for (const auto& n : names)
        EXPECT_EQ(m_Dialog.MackFileName(QString::fromUtf8(n.Input)), QString::fromUtf8(n.Output));

    m_Prompt.Paths = {QStringLiteral("/data/x.txt/dump.txt")};
    Child<QPushButton>("m_OpenLogFile")->click();
    EXPECT_EQ(m_Prompt.Choosers, QStringList{QStringLiteral("Log file config")});
    EXPECT_EQ(Input()->text(), QStringLiteral("/data/x.txt/dump.txt"));
    EXPECT_EQ(Output()->text(), QStringLiteral("/data/x.txt/dump_Bin12_30_05.log"));
    // A cancelled chooser keeps both paths.
    Child<QPushButton>("m_OpenLogFile")->click();
    EXPECT_EQ(Input()->text(), QStringLiteral("/data/x.txt/dump.txt"));
    TypeInput(QStringLiteral("/data/other.hex"));
    EXPECT_EQ(Output()->text(), QStringLiteral("/data/other_HexToBin.log"));
}

TEST_F(HexToBinWindow, ConvertsAndReportsEveryEnd)
{
    const QString sGood = m_Dir.filePath(QStringLiteral("good.txt"));
    const QString sGarbled = m_Dir.filePath(QStringLiteral("garbled.txt"));
    const QString sEmpty = m_Dir.filePath(QStringLiteral("empty.txt"));
    ASSERT_TRUE(WriteFile(sGood, "48 65 6C 6C 6F\r\n"));
    ASSERT_TRUE(WriteFile(sGarbled, "48 65\r\n6C 6C\r\n6F 0x20\r\n"));
    ASSERT_TRUE(WriteFile(sEmpty, ""));

    EXPECT_EQ(Process(), QStringLiteral("Error|Please input File Path!"));
    TypeInput(m_Dir.filePath(QStringLiteral("missing.txt")));
    EXPECT_EQ(Process(), QStringLiteral("Error|The input file is empty"));
    TypeInput(sEmpty);
    EXPECT_EQ(Process(), QStringLiteral("Error|The input file is empty"));

    // One block: no progress before the end.
    QSignalSpy progress(m_Dialog.Worker(), &QHextoBinThread::SignalParseLogInfo);
    TypeInput(sGood);
    EXPECT_EQ(Process(), QStringLiteral("Succeed|Hex to binary conversion successful"));
    EXPECT_EQ(ReadFile(m_Dir.filePath(QStringLiteral("good_Bin12_30_05.log"))), QByteArray("Hello"));
    EXPECT_EQ(progress.count(), 0);
    EXPECT_EQ(Child<QProgressBar>("m_ProcessBar")->value(), 100);

    // A path typed by hand is where the output goes.
    TypeInput(sGarbled);
    const QString sTyped = m_Dir.filePath(QStringLiteral("typed.bin"));
    Output()->setText(sTyped);
    EXPECT_EQ(Process(), QStringLiteral("Error|There is some garbled code in the file!\n"
                                        "Characters that are no hexadecimal digits: 1; the first, \"x\", is on line 3."));
    EXPECT_EQ(ReadFile(sTyped), QByteArray("Hello\x20"));

    // An output that cannot be made is reported, never as a success.
    Output()->setText(m_Dir.filePath(QStringLiteral("no/folder/out.bin")));
    EXPECT_TRUE(Process().startsWith(QStringLiteral("Error|The output file cannot be created: ")));
    TypeInput(sGood);
    Output()->setText(sGood);
    EXPECT_EQ(Process(), QStringLiteral("Error|The output file is the input file!"));
    EXPECT_EQ(ReadFile(sGood), QByteArray("48 65 6C 6C 6F\r\n"));
}

TEST_F(HexToBinWindow, ProgressRisesAndARunCanBeCancelled)
{
    const QString sText = m_Dir.filePath(QStringLiteral("big.txt"));
    ASSERT_TRUE(WriteFile(sText, Dump(RandomBytes(300000, 3), 16, " ", "\r\n", true)));
    QHextoBinThread* pWorker = m_Dialog.Worker();
    QList<int> percents;
    QObject::connect(pWorker, &QHextoBinThread::SignalParseLogInfo, &m_Dialog, [&percents](int n) { percents << n; });
    TypeInput(sText);
    EXPECT_EQ(Process(), QStringLiteral("Succeed|Hex to binary conversion successful"));
    ASSERT_FALSE(percents.isEmpty());
    for (int i = 1; i < percents.size(); ++i)
        EXPECT_GT(percents[i], percents[i - 1]);
    EXPECT_GT(percents.first(), 0);
    EXPECT_LT(percents.last(), 100);

    // Cancelled from its first progress report, the run keeps nothing.
    const QString sOut = m_Dir.filePath(QStringLiteral("cancelled.bin"));
    pWorker->m_sInputPath = sText;
    pWorker->m_sOutputPath = sOut;
    const auto cancel = QObject::connect(pWorker, &QHextoBinThread::SignalParseLogInfo, pWorker,
                                [pWorker] { pWorker->Cancel(); }, Qt::DirectConnection);
    QSignalSpy done(pWorker, &QHextoBinThread::SignalParseComplete);
    pWorker->start();
    ASSERT_TRUE(pWorker->wait(60000));
    QObject::disconnect(cancel);
    EXPECT_EQ(pWorker->Result().Status, HEX_TO_BIN_CANCELLED);
    EXPECT_FALSE(QFileInfo::exists(sOut));
    const int nMessages = m_Prompt.Messages.size();
    WaitUntil([&] { return done.count() == 1; });
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Prompt.Messages.size(), nMessages); // a cancelled run says nothing
}
