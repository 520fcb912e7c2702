// The USB device layer over the in-memory backend: records across
// enumerations, reference-counted opening, the strings, and pipe transfers
// with short packets, time-outs, resets and unplugging.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "monitor/ports/usb/usb_device.h"
#include "monitor/ports/usb/usb_libusb_backend.h"
#include "monitor/ports/usb/usb_receiver_ids.h"
#include "support/usb/usb_mem_backend.h"

namespace
{
// A device whose IN endpoint delivers scripted pieces, one per transfer, as
// short packets would arrive; with none left it waits out the time-out.
class CPipeDevice : public CUsbMemDevice
{
public:
    CPipeDevice() : CUsbMemDevice("Pipe", "P1") {}

    void Deliver(std::string Piece)
    {
        Lock lock(m_Mutex);
        m_Pieces.push_back(std::move(Piece));
        Wake();
    }
    int GetTransfers() const
    {
        Lock lock(m_Mutex);
        return m_Transfers;
    }

protected:
    USB_XFER_E TransferLocked(Lock& Held, uint64_t Generation, uint8_t Endpoint, uint8_t* pBuf, int Length,
                              uint32_t TimeoutMs, int* pDone) override
    {
        ++m_Transfers;
        if ((Endpoint & 0x80u) == 0)
        {
            *pDone = Length;
            return USB_XFER_OK;
        }
        if (!WaitLocked(Held, Generation, TimeoutMs, [this] { return !m_Pieces.empty(); }))
        {
            return Gone(Generation) ? USB_XFER_NO_DEVICE : USB_XFER_TIMEOUT;
        }
        std::string& piece = m_Pieces.front();
        const size_t n = std::min(piece.size(), static_cast<size_t>(Length));
        std::memcpy(pBuf, piece.data(), n);
        piece.erase(0, n);
        if (piece.empty())
        {
            m_Pieces.pop_front();
        }
        *pDone = static_cast<int>(n);
        return USB_XFER_OK;
    }

private:
    std::deque<std::string> m_Pieces;
    int m_Transfers = 0;
};

struct TableFixture : ::testing::Test
{
    std::shared_ptr<CUsbMemBackend> Backend = std::make_shared<CUsbMemBackend>();
};

using UsbDeviceTableTest = TableFixture;

TEST_F(UsbDeviceTableTest, ARecordStaysAcrossEnumerationsAndAnOpenOneOutlivesItsDevice)
{
    auto a = Backend->Add(std::make_shared<CUsbMemDevice>("RxA", "A1"));
    auto b = Backend->Add(std::make_shared<CUsbMemDevice>("RxB", "B1"));
    UsbDeviceTable table(Backend);
    ASSERT_EQ(table.Counts[table.Active], 2);
    UsbDeviceRecord* pA = UsbDevGetByIndex(&table, 0);
    UsbDeviceRecord* pB = UsbDevGetByIndex(&table, 1);
    EXPECT_EQ(UsbDevGetProductName(&table, pA), "RxA");
    EXPECT_EQ(UsbDevGetSerialNumber(&table, pB), "B1");
    EXPECT_EQ(UsbDevGetByIndex(&table, 2), nullptr);

    // A unplugged while closed is retired at once; B keeps its record; C is new.
    a->SetPlugged(false);
    auto c = Backend->Add(std::make_shared<CUsbMemDevice>("RxC", "C1"));
    ASSERT_EQ(UsbDevEnumerate(&table, false), 2);
    EXPECT_EQ(UsbDevGetByIndex(&table, 0), pB);
    EXPECT_EQ(UsbDevGetProductName(&table, UsbDevGetByIndex(&table, 1)), "RxC");
    EXPECT_FALSE(UsbDevIsValid(pA));
    EXPECT_EQ(UsbDevOpen(&table, pA), USB_DEV_BAD_RECORD);
    EXPECT_EQ(UsbDevGetProductName(&table, pA), "");

    // B unplugged while open: removed, not retired, until its last close.
    ASSERT_EQ(UsbDevOpen(&table, pB), USB_DEV_OK);
    b->SetPlugged(false);
    ASSERT_EQ(UsbDevRefresh(&table), 1);
    EXPECT_TRUE(UsbDevIsValid(pB));
    EXPECT_EQ(UsbDevGetState(pB), USB_DEV_STATE_REMOVED);
    EXPECT_EQ(UsbDevOpen(&table, pB), USB_DEV_CANNOT_OPEN);
    ASSERT_EQ(UsbDevRefresh(&table), 1);
    EXPECT_TRUE(UsbDevIsValid(pB)) << "a second enumeration leaves it alone";
    EXPECT_EQ(UsbDevClose(&table, pB), USB_DEV_OK);
    EXPECT_FALSE(UsbDevIsValid(pB));
    EXPECT_EQ(UsbDevClose(&table, pB), USB_DEV_BAD_RECORD);

    // Plugged in again, the device gets a new record.
    b->SetPlugged(true);
    ASSERT_EQ(UsbDevRefresh(&table), 2);
    EXPECT_NE(UsbDevGetByIndex(&table, 0), pB);
    EXPECT_EQ(UsbDevGetSerialNumber(&table, UsbDevGetByIndex(&table, 0)), "B1");
}

TEST_F(UsbDeviceTableTest, OnlyTheFirst128DevicesAreListedAndAFailedListKeepsTheOldOne)
{
    for (int i = 0; i < 130; ++i)
    {
        Backend->Add(std::make_shared<CUsbMemDevice>("Rx", std::to_string(i)));
    }
    UsbDeviceTable table(Backend);
    EXPECT_EQ(UsbDevRefresh(&table), USB_DEV_MAX_DEVICES);
    EXPECT_EQ(UsbDevGetSerialNumber(&table, UsbDevGetByIndex(&table, 127)), "127");
    EXPECT_EQ(UsbDevGetByIndex(&table, 128), nullptr);

    Backend->SetListFails(true);
    EXPECT_EQ(UsbDevRefresh(&table), USB_DEV_NO_DEVICE_LIST);
    EXPECT_NE(UsbDevGetByIndex(&table, 0), nullptr);
}

TEST_F(UsbDeviceTableTest, OpensAreCountedAndAClaimedDeviceCannotBeOpened)
{
    auto rx = Backend->Add(std::make_shared<CUsbMemDevice>("Rx", "1"));
    UsbDeviceTable table(Backend);
    UsbDeviceRecord* p = UsbDevGetByIndex(&table, 0);
    EXPECT_EQ(UsbDevClose(&table, p), USB_DEV_NOT_OPEN);
    ASSERT_EQ(UsbDevOpen(&table, p), USB_DEV_OK);
    ASSERT_EQ(UsbDevOpen(&table, p), USB_DEV_OK);
    EXPECT_EQ(UsbDevClose(&table, p), USB_DEV_OK);
    EXPECT_EQ(UsbDevGetState(p), USB_DEV_STATE_OPEN);
    EXPECT_EQ(UsbDevClose(&table, p), USB_DEV_OK);
    EXPECT_EQ(UsbDevGetState(p), USB_DEV_STATE_CLOSED);
    EXPECT_EQ(UsbDevClose(&table, p), USB_DEV_NOT_OPEN);

    rx->SetBusy(true);
    EXPECT_EQ(UsbDevOpen(&table, p), USB_DEV_INIT_FAILED);
    EXPECT_EQ(UsbDevGetState(p), USB_DEV_STATE_OPEN_FAILED);
    EXPECT_EQ(UsbDevProbe(&table, p), USB_DEV_INIT_FAILED);
    rx->SetBusy(false);
    EXPECT_EQ(UsbDevProbe(&table, p), USB_DEV_OK);
    EXPECT_EQ(UsbDevGetState(p), USB_DEV_STATE_CLOSED) << "a probe closes again";
    EXPECT_EQ(UsbDevOpen(nullptr, p), USB_DEV_BAD_RECORD);
    EXPECT_EQ(UsbDevOpen(&table, nullptr), USB_DEV_BAD_RECORD);
}

// Added receiver IDs are process-wide: each test starts and ends without any.
struct AddedIdsFixture : TableFixture
{
    void SetUp() override { UsbSetAddedReceiverIds({}); }
    void TearDown() override { UsbSetAddedReceiverIds({}); }
};

using UsbReceiverMatching = AddedIdsFixture;

TEST_F(UsbReceiverMatching, ADeviceIsAReceiverOnlyWhileItsIdIsKnownAndEveryDeviceIsSeen)
{
    auto rx = Backend->Add(std::make_shared<CUsbMemDevice>("ZR-480 GNSS", "ZR4800110"));
    auto lan = Backend->Add(std::make_shared<CUsbMemDevice>("USB Ethernet Adapter", "000001"));
    auto other = Backend->Add(std::make_shared<CUsbMemDevice>("ZR-480 GNSS", "ZR4800111"));
    lan->SetIds(0xe7d2, 0x0150);
    other->SetIds(0xe5a1, 0x0480);
    UsbDeviceTable table(Backend);
    ASSERT_EQ(UsbDevRefresh(&table), 1);
    UsbDeviceRecord* pRx = UsbDevGetByIndex(&table, 0);
    EXPECT_EQ(UsbDevGetSerialNumber(&table, pRx), "ZR4800110");
    EXPECT_EQ(pRx->VendorId, kUsbReceiverIds[0].VendorId);
    EXPECT_EQ(pRx->ProductId, kUsbReceiverIds[0].ProductId);

    // The bus listing names every device by ID and product string, opening none.
    std::vector<USB_BUS_DEVICE_T> bus;
    ASSERT_EQ(UsbDevListBus(&table, &bus), 3);
    EXPECT_EQ(UsbFormatId(bus[1].VendorId, bus[1].ProductId), "e7d2:0150");
    EXPECT_EQ(bus[1].Product, "USB Ethernet Adapter");
    EXPECT_EQ(UsbFormatId(bus[2].VendorId, bus[2].ProductId), "e5a1:0480");
    EXPECT_EQ(UsbDevGetState(pRx), USB_DEV_STATE_CLOSED);

    UsbSetAddedReceiverIds({{0xe5a1, 0x0480}});
    ASSERT_EQ(UsbDevRefresh(&table), 2);
    EXPECT_EQ(UsbDevGetByIndex(&table, 0), pRx) << "a receiver keeps its record";
    UsbDeviceRecord* pOther = UsbDevGetByIndex(&table, 1);
    EXPECT_EQ(UsbDevGetSerialNumber(&table, pOther), "ZR4800111");
    EXPECT_EQ(pOther->VendorId, 0xe5a1);

    // Taken out of the settings again, the device leaves the list.
    UsbSetAddedReceiverIds({});
    ASSERT_EQ(UsbDevRefresh(&table), 1);
    EXPECT_FALSE(UsbDevIsValid(pOther));

    Backend->SetListFails(true);
    EXPECT_EQ(UsbDevListBus(&table, &bus), USB_DEV_NO_DEVICE_LIST);
    EXPECT_TRUE(bus.empty());
}

TEST_F(UsbReceiverMatching, AFailedOpenKeepsWhyUntilAnOpenSucceeds)
{
    auto rx = Backend->Add(std::make_shared<CUsbMemDevice>("Rx", "1"));
    rx->SetNoAccess(true);
    UsbDeviceTable table(Backend);
    UsbDeviceRecord* p = UsbDevGetByIndex(&table, 0);
    ASSERT_NE(p, nullptr) << "a receiver that cannot be opened is still listed";
    EXPECT_EQ(UsbDevGetProductName(&table, p), "");
    EXPECT_EQ(UsbDevGetOpenFault(p), USB_OPEN_FAULT_PERMISSION);
    EXPECT_EQ(UsbDevOpen(&table, p), USB_DEV_CANNOT_OPEN) << "the status codes stay as they were";

    rx->SetNoAccess(false);
    rx->SetBusy(true);
    EXPECT_EQ(UsbDevOpen(&table, p), USB_DEV_INIT_FAILED);
    EXPECT_EQ(UsbDevGetOpenFault(p), USB_OPEN_FAULT_BUSY);

    rx->SetBusy(false);
    ASSERT_EQ(UsbDevRefresh(&table), 1);
    EXPECT_EQ(UsbDevGetProductName(&table, p), "Rx") << "the strings are read once it opens";
    EXPECT_EQ(UsbDevGetOpenFault(p), USB_OPEN_FAULT_NONE);

    ASSERT_EQ(UsbDevOpen(&table, p), USB_DEV_OK);
    rx->SetPlugged(false);
    ASSERT_EQ(UsbDevRefresh(&table), 0);
    EXPECT_EQ(UsbDevOpen(&table, p), USB_DEV_CANNOT_OPEN);
    EXPECT_EQ(UsbDevGetOpenFault(p), USB_OPEN_FAULT_GONE);
    EXPECT_EQ(UsbDevClose(&table, p), USB_DEV_OK);
    EXPECT_EQ(UsbDevGetOpenFault(p), USB_OPEN_FAULT_NONE) << "a retired record has nothing to say";
}

TEST(UsbReceiverIds, TheSettingsTextGivesItsIdsAndNamesTheLinesItSkips)
{
    const std::string text = "# receivers of the lab\n"
                             "E5A1:0480\n"
                             "  e5a1:0481   # rover, with its comment\r\n"
                             "\n"
                             "\t\r\n"
                             "e5a1:0480\n" // given twice, added once
                             "12g9:0001\n" // not hexadecimal
                             "0xe5a1:0x0482\n"
                             "e5a1-0483\n"
                             "e5a1:04840\n"
                             "e5a1:0485 e5a1:0486\n"
                             "Bus 001 Device 005: ID e5a1:0487\n"
                             "ffff:0000"; // last line without its line end
    std::vector<USB_RECEIVER_ID_T> ids;
    std::vector<USB_ID_LINE_T> malformed;
    UsbParseReceiverIds(text, &ids, &malformed);
    std::vector<std::string> got;
    for (const USB_RECEIVER_ID_T& id : ids)
    {
        got.push_back(UsbFormatId(id.VendorId, id.ProductId));
    }
    EXPECT_EQ(got, (std::vector<std::string>{"e5a1:0480", "e5a1:0481", "ffff:0000"}));
    std::vector<std::pair<int, std::string>> skipped;
    for (const USB_ID_LINE_T& line : malformed)
    {
        skipped.emplace_back(line.LineNumber, line.Text);
    }
    EXPECT_EQ(skipped, (std::vector<std::pair<int, std::string>>{{7, "12g9:0001"},
                                                                 {8, "0xe5a1:0x0482"},
                                                                 {9, "e5a1-0483"},
                                                                 {10, "e5a1:04840"},
                                                                 {11, "e5a1:0485 e5a1:0486"},
                                                                 {12, "Bus 001 Device 005: ID e5a1:0487"}}));
}

TEST(UsbDeviceStrings, DescriptorsAreCheckedAndCutOnACharacterBoundary)
{
    auto desc = [](std::vector<uint8_t> Units)
    {
        std::vector<uint8_t> d{static_cast<uint8_t>(2 + Units.size()), 3};
        d.insert(d.end(), Units.begin(), Units.end());
        return d;
    };
    struct CASE_T
    {
        const char* Name;
        std::vector<uint8_t> Raw;
        size_t Max;
        bool bOk;
        std::string Text;
    };
    // 16 times U+00E9, two UTF-8 bytes each: 15 of them fit into 31 bytes.
    std::string accents;
    for (int i = 0; i < 16; ++i)
    {
        accents += "\xC3\xA9";
    }
    const CASE_T cases[] = {
        {"40 characters into 31", UsbMemStringDescriptor(std::string(40, 'N')), 31, true, std::string(31, 'N')},
        {"100 characters into 63", UsbMemStringDescriptor(std::string(100, 'S')), 63, true, std::string(63, 'S')},
        {"two-byte characters are not split", UsbMemStringDescriptor(accents), 31, true, accents.substr(0, 30)},
        {"a surrogate pair is one character", desc({0x3D, 0xD8, 0x00, 0xDE}), 31, true, "\xF0\x9F\x98\x80"},
        {"a lone surrogate is replaced", desc({0x3D, 0xD8, 0x41, 0x00}), 31, true,
         "\xEF\xBF\xBD"
         "A"},
        {"text ends at a NUL", desc({'A', 0, 0, 0, 'B', 0}), 31, true, "A"},
        {"empty", {2, 3}, 31, true, ""},
        {"length below its head", {1, 3, 'A', 0}, 31, false, ""},
        {"length beyond what was received", {10, 3, 'A', 0}, 31, false, ""},
        {"not a string descriptor", {4, 1, 'A', 0}, 31, false, ""},
        {"one byte only", {4}, 31, false, ""},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        std::string text = "old";
        EXPECT_EQ(UsbDevDecodeString(c.Raw.data(), static_cast<int>(c.Raw.size()), c.Max, &text), c.bOk);
        EXPECT_EQ(text, c.Text);
    }
}

TEST_F(UsbDeviceTableTest, AnUnreadableStringLeavesTheNamesAndTheDeviceClosed)
{
    auto rx = std::make_shared<CUsbMemDevice>("Rx", "1");
    rx->SetStringDescriptor(USB_DEV_SERIAL_STRING, {200, 3, 'A', 0});
    Backend->Add(rx);
    UsbDeviceTable table(Backend);
    UsbDeviceRecord* p = UsbDevGetByIndex(&table, 0);
    ASSERT_NE(p, nullptr) << "a device whose strings cannot be read is still listed";
    EXPECT_EQ(UsbDevReadStrings(&table, p), USB_DEV_DESCRIPTOR_FAILED);
    EXPECT_EQ(UsbDevGetProductName(&table, p), "");
    EXPECT_EQ(UsbDevGetState(p), USB_DEV_STATE_CLOSED);
    EXPECT_EQ(UsbDevClose(&table, p), USB_DEV_NOT_OPEN);

    rx->SetStringDescriptor(USB_DEV_SERIAL_STRING, UsbMemStringDescriptor("S9"));
    EXPECT_EQ(UsbDevOpenWithStrings(&table, p), USB_DEV_OK);
    EXPECT_EQ(UsbDevGetSerialNumber(&table, p), "S9");
    EXPECT_EQ(UsbDevGetState(p), USB_DEV_STATE_OPEN);
}

struct PipeFixture : TableFixture
{
    void SetUp() override
    {
        Device = Backend->Add(std::make_shared<CPipeDevice>());
        pTable = std::make_unique<UsbDeviceTable>(Backend);
        pRecord = UsbDevGetByIndex(pTable.get(), 0);
        ASSERT_EQ(UsbDevOpen(pTable.get(), pRecord), USB_DEV_OK);
    }
    int Read(uint32_t Length, uint32_t TimeoutMs = 5)
    {
        return UsbDevReadPipe(pTable.get(), pRecord, USB_PIPE_CONTROL, Buf, Length, TimeoutMs);
    }

    std::shared_ptr<CPipeDevice> Device;
    std::unique_ptr<UsbDeviceTable> pTable;
    UsbDeviceRecord* pRecord = nullptr;
    uint8_t Buf[1024] = {};
};

using UsbDevicePipe = PipeFixture;

TEST_F(UsbDevicePipe, ShortPacketsAreJoinedAndAShortReadIsNeverWhole)
{
    // A packet that arrives in pieces is read whole within the time-out.
    for (int i = 0; i < 5; ++i)
    {
        Device->Deliver(std::string(100, static_cast<char>('a' + i)));
    }
    Device->Deliver(std::string(12, 'f'));
    ASSERT_EQ(Read(512, 2000), 512);
    EXPECT_EQ(Buf[0], 'a');
    EXPECT_EQ(Buf[511], 'f');

    // Part of a packet and then nothing: the count says so.
    Device->Deliver(std::string(100, 'x'));
    EXPECT_EQ(Read(512), 100);
    EXPECT_EQ(Read(0), 0);
    const int transfers = Device->GetTransfers();
    EXPECT_EQ(Read(0), 0);
    EXPECT_EQ(Device->GetTransfers(), transfers) << "a zero-length read does not touch the device";
}

TEST_F(UsbDevicePipe, TheFourthShortReadInARowResetsThePipe)
{
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Read(512), 0);
    }
    EXPECT_EQ(Device->GetClearHaltCount(), 0u);
    Device->Deliver(std::string(512, 'z'));
    EXPECT_EQ(Read(512), 512) << "a whole transfer ends the row";
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Read(512), 0);
    }
    EXPECT_EQ(Device->GetClearHaltCount(), 0u);
    EXPECT_EQ(Read(512), 0);
    EXPECT_EQ(Device->GetClearHaltCount(), 1u);
    EXPECT_EQ(pRecord->ReadShortCount.load(), 0u);

    Device->SetClearHaltFails(true);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Read(512), 0);
    }
    EXPECT_EQ(Read(512), USB_DEV_RESET_FAILED);
}

TEST_F(UsbDevicePipe, AnAbortEndsALongReadSoonAndKeepsWhatArrived)
{
    std::atomic<bool> abort{false};
    Device->Deliver(std::string(200, 'p'));
    std::thread stopper(
        [&abort]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            abort.store(true);
        });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(UsbDevReadPipe(pTable.get(), pRecord, USB_PIPE_CONTROL, Buf, 512, 10000, &abort), 200);
    const auto took = std::chrono::steady_clock::now() - start;
    stopper.join();
    EXPECT_LT(took, std::chrono::milliseconds(1000)) << "a 10 s read ends within a slice of the abort";
    EXPECT_EQ(Buf[199], 'p');

    // Without an abort, a read waits in slices too and still takes its whole time-out.
    Device->Deliver(std::string(100, 'q'));
    std::thread late(
        [this]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            Device->Deliver(std::string(412, 'r'));
        });
    abort.store(false);
    EXPECT_EQ(UsbDevReadPipe(pTable.get(), pRecord, USB_PIPE_CONTROL, Buf, 512, 5000, &abort), 512);
    late.join();
    EXPECT_EQ(Buf[0], 'q');
    EXPECT_EQ(Buf[511], 'r');
}

TEST_F(UsbDevicePipe, AnUnplugEndsAReadAtOnceAndTransfersNeedAnOpenRecord)
{
    std::thread unplug(
        [this]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            Device->SetPlugged(false);
        });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Read(512, 5000), 0);
    unplug.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));

    ASSERT_EQ(UsbDevClose(pTable.get(), pRecord), USB_DEV_OK);
    EXPECT_EQ(Read(512), USB_DEV_NOT_OPEN);
    EXPECT_EQ(UsbDevWritePipe(pTable.get(), pRecord, USB_PIPE_CONTROL, Buf, 4, 5), USB_DEV_NOT_OPEN);
    EXPECT_EQ(UsbDevFlushIn(pTable.get(), pRecord, USB_PIPE_CONTROL), USB_DEV_NOT_OPEN);
    EXPECT_EQ(UsbDevReadPipe(pTable.get(), nullptr, USB_PIPE_CONTROL, Buf, 4, 5), USB_DEV_BAD_RECORD);
}

TEST(UsbLibusbBackend, StartsAndFailsCleanlyWithoutReceivers)
{
    CUsbLibusbBackend backend;
    std::vector<USB_BUS_DEVICE_T> devices;
    const int n = backend.ListDevices(&devices, true);
    EXPECT_TRUE(n == USB_DEV_NO_DEVICE_LIST || n == static_cast<int>(devices.size()));
    int error = 0;
    USB_OPEN_FAULT_E fault = USB_OPEN_FAULT_NONE;
    EXPECT_EQ(backend.Open("no-such-device", &error, &fault), nullptr);
    EXPECT_EQ(error, USB_DEV_CANNOT_OPEN);
    EXPECT_EQ(fault, USB_OPEN_FAULT_GONE);
}

TEST(UsbReceiverIds, TheUdevRuleGrantsExactlyTheTablesIds)
{
    std::ifstream file(ZV_TEST_DATA_DIR "/../../resources/udev/70-qzorvikmonitor-usb.rules");
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    const std::string rules = text.str();
    const std::regex rule(R"re(ATTR\{idVendor\}=="([0-9a-f]{4})", ATTR\{idProduct\}=="([0-9a-f]{4})")re");
    std::set<std::pair<unsigned, unsigned>> granted;
    for (auto it = std::sregex_iterator(rules.begin(), rules.end(), rule); it != std::sregex_iterator(); ++it)
    {
        granted.emplace(std::stoul((*it)[1], nullptr, 16), std::stoul((*it)[2], nullptr, 16));
    }
    std::set<std::pair<unsigned, unsigned>> table;
    for (const USB_RECEIVER_ID_T& id : kUsbReceiverIds)
    {
        table.emplace(id.VendorId, id.ProductId);
        EXPECT_TRUE(UsbIsReceiverId(id.VendorId, id.ProductId));
    }
    EXPECT_EQ(granted, table);
    EXPECT_FALSE(UsbIsReceiverId(0, 0));
}
} // namespace
