// Connection records: what a connection dialog or the "open" command hands to
// the port manager, one record per port kind. The sender owns its record; the
// manager copies it while AddPortCtrl runs.
#pragma once

#include <QString>
#include <cstdint>
#include <type_traits>

struct UART_CONFIG_T
{
    QString PortName;           // device name as the system lists it
    uint32_t BaudRate = 115200; // below 4800 asks for automatic detection
    uint8_t ByteSize = 8;       // data bits
    uint8_t Parity = 0;         // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 0;       // 0 one, 1 one and a half, 2 two stop bits
};

struct USB_CONFIG_T
{
    QString DeviceName;   // product name and serial number, joined by one blank
    uint32_t Channel = 0; // link channel 0 to 2
};

struct TCP_CONFIG_T
{
    uint32_t Mode = 0;    // index of the dialog's mode list
    QString IPAddress;    // host address or name used to connect
    uint32_t IPValue = 0; // IPv4 address packed, first octet in the top byte
    uint32_t Port = 28000;
};

// Configuration of a caster connection. It is copied byte for byte, so it
// holds values only: the session's socket belongs to the NTRIP controller.
struct NTRIP_CONFIG_T
{
    uint32_t Enable;
    uint32_t ServerMode;  // 1 upload to the caster, 0 download from it
    uint32_t SourceTable; // non-zero: a client asks for the source table
    char ServerName[80];  // caster host name or dotted IPv4 address
    uint32_t Port;        // only the low 16 bits are used
    char MountPoint[80];
    char User[32];
    char ProxyHost[64]; // empty for none
    uint32_t ProxyPort;
    char Password[32];
    char GgaText[128]; // last GGA sentence built
    uint32_t UdpPort;  // local UDP port of RTSP and UDP sessions, 0 any
    uint32_t InitUdp;
    char Agent[64];
    char Version[64];
    uint32_t Mode; // 1 NTRIP 1, 3 RTSP, 4 NTRIP 2 over UDP, else NTRIP 2 over TCP
    uint32_t StopFlag;
    int32_t PositionTime; // GPS ms of week of the current position, negative while none
    double Latitude;      // degrees
    double Longitude;     // degrees
    double Height;        // metres
    int64_t LastGgaTime;  // seconds since 1970 of the last GGA sentence sent
};
static_assert(std::is_trivially_copyable<NTRIP_CONFIG_T>::value, "copied byte for byte");

struct REPLAY_CONFIG_T
{
    QString FileName;                 // shown for the port (tab text, port name)
    QString FilePath;                 // full path of the recorded log
    uint32_t Speed = 100;             // replay tick in ms; each tick hands over up to 4096 bytes
    int64_t StartOffset = 0;          // byte offset at which the replay begins
    uint32_t PositionMessageType = 0; // kept for the replay dialog
};

// Fills a caster record with the defaults of a new connection.
void NtripSetDefaultConfig(NTRIP_CONFIG_T* pConfig);

// Finds the IPv4 address of a caster: a name is first read as a dotted
// address and only resolved by name when it is not one, so host names that
// begin with a digit still resolve. Returns a session result of
// monitor/ports/ntrip_protocol.h: NTRIP_OK with the address in host byte
// order, NTRIP_RESOLVE_FAILED when the lookup fails, NTRIP_NO_ADDRESS when it
// yields no IPv4 address.
int NtripResolveServerName(const char* pServerName, uint32_t* pAddress);
