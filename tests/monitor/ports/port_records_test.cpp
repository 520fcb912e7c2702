// Connection records: caster defaults and how a caster name becomes an address.
#include <cstring>
#include <gtest/gtest.h>

#include "monitor/ports/ntrip_protocol.h"
#include "monitor/ports/port_records.h"

TEST(PortRecords, CasterDefaults)
{
    NTRIP_CONFIG_T config;
    std::memset(&config, 0x5A, sizeof(config));
    NtripSetDefaultConfig(&config);
    EXPECT_EQ(config.Enable, 1u);
    EXPECT_EQ(config.ServerMode, 0u);
    EXPECT_EQ(config.SourceTable, 0u);
    EXPECT_EQ(config.Port, 2101u);
    EXPECT_STREQ(config.MountPoint, "BJNR0");
    EXPECT_STREQ(config.User, "user0");
    EXPECT_STREQ(config.Password, "kiwe7");
    EXPECT_STREQ(config.ProxyHost, "");
    EXPECT_STREQ(config.Agent, "ZorvikMonitor");
    EXPECT_STREQ(config.Version, "2.0");
    EXPECT_EQ(config.Mode, 5u);
    EXPECT_EQ(config.StopFlag, 0u);
    EXPECT_EQ(config.PositionTime, -1000);
    EXPECT_EQ(config.LastGgaTime, 0);
    uint32_t address = 0;
    EXPECT_EQ(NtripResolveServerName(config.ServerName, &address), NTRIP_OK);
    EXPECT_EQ(address >> 16, 0xC0A8u) << "a private address";
}

TEST(PortRecords, RecordDefaults)
{
    EXPECT_EQ(TCP_CONFIG_T().Port, 28000u);
    EXPECT_EQ(REPLAY_CONFIG_T().Speed, 100u);
    EXPECT_EQ(REPLAY_CONFIG_T().StartOffset, 0);
    const UART_CONFIG_T uart;
    EXPECT_EQ(uart.BaudRate, 115200u);
    EXPECT_EQ(uart.ByteSize, 8u);
    EXPECT_EQ(uart.Parity, 0u);
}

TEST(PortRecords, ServerNameIsTriedAsAnAddressFirst)
{
    uint32_t address = 0;
    EXPECT_EQ(NtripResolveServerName("192.168.1.5", &address), NTRIP_OK);
    EXPECT_EQ(address, 0xC0A80105u);
    EXPECT_EQ(NtripResolveServerName("localhost", &address), NTRIP_OK);
    EXPECT_EQ(address >> 24, 127u);
    // Begins with a digit but is a name: resolved by name, not misread as an
    // address (".invalid" never resolves).
    EXPECT_EQ(NtripResolveServerName("3dcaster.invalid", &address), NTRIP_RESOLVE_FAILED);
    EXPECT_EQ(NtripResolveServerName("", &address), NTRIP_RESOLVE_FAILED);
}
