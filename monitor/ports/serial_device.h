// Serial device layer: one tty device opened raw, read and written with
// bounded waits, its rate changed or probed. Plain C++ over POSIX termios;
// used from one thread only (the serial port controller's).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Largest single read and largest block accepted by QueueSend.
constexpr uint32_t UART_MAX_READ = 0x28000;
// Capacity of the transmit area.
constexpr uint32_t UART_TX_AREA = 0x50000;

// ReadData results besides 0 (nothing read) and 1 (bytes read).
constexpr int UART_READ_LOST = -1; // the device hung up or vanished; it has been closed

// Waits of the layer in milliseconds; tests shorten them.
struct UART_TIMING_T
{
    uint32_t ReadTimeout = 100;       // a normal read waits this long for bytes
    uint32_t ProbeReadTimeout = 1000; // read wait while probing rates
    uint32_t ImageReadTimeout = 10;   // read wait while a firmware image is loaded
    uint32_t ProbeSettle = 10;        // pause between opening at a probe rate and writing the probe
    uint32_t ProbePoll = 100;         // pause before each of the three reads of a probe
    uint32_t WriteStall = 1000;       // a write gives up when the device takes no byte for this long
};

// termios c_cflag bits for data bits, parity and stop bits given as the
// connection record holds them (see OpenPort).
unsigned UartLineFlags(uint8_t ByteSize, uint8_t Parity, uint8_t StopBits);

class CUartProcess
{
public:
    CUartProcess();
    virtual ~CUartProcess();
    CUartProcess(const CUartProcess&) = delete;
    CUartProcess& operator=(const CUartProcess&) = delete;

    // Opens the device raw at the given rate, 8 data bits, no parity, one stop
    // bit, DTR raised. A name without "/" is taken under /dev. Returns 1, or 0
    // with the error text set.
    int OpenPort(const char* pName, uint32_t BaudRate);
    // The same with the record's line settings: ByteSize 5..8, Parity 0 none,
    // 1 odd, 2 even, 3 mark, 4 space, StopBits 0 one, 1 one and a half, 2 two.
    // Returns 0 at once for a rate below 4800.
    int OpenPort(const char* pName, uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits);
    // Closes the device when open; always 1.
    int ClosePort();
    // Closes the device and clears the name, error text and transmit area.
    void Reset();

    // Waits up to ReadTimeout for bytes, then reads all the device holds, at
    // most min(Max, UART_MAX_READ).
    // Returns 1 with *pRead > 0, 0 when nothing came or the device is closed,
    // UART_READ_LOST when the device hung up (it is closed then).
    int ReadData(uint8_t* pBuf, uint32_t Max, uint32_t* pRead);
    // Writes all n bytes; bytes received and not yet read stay queued. Returns
    // 1, or 0 when closed, on an error or when the device takes no byte for
    // WriteStall ms.
    int WriteData(const void* pBuf, uint32_t n);
    // Writes what the device takes at once, without waiting; returns the
    // count written, or -1 when the device is closed or failed.
    int WriteNow(const void* pBuf, uint32_t n);
    // Copies bytes into the transmit area for FlushTransmit. Returns 0 when the
    // area is not empty or n is above UART_MAX_READ, else 1.
    int QueueSend(const void* pBuf, uint32_t n);
    // Writes the transmit area; it is emptied when the write succeeded.
    // Returns 1 when the area is empty afterwards.
    int FlushTransmit();
    uint32_t GetTransmitLength() const { return m_TxLength; }
    // Empties the transmit area unsent.
    void DiscardTransmit() { m_TxLength = 0; }

    // Changes the rate of the open device, keeping 8 data bits, one stop bit
    // and the parity; returns 1 when accepted.
    int SetBaudRate(uint32_t BaudRate);
    // Tries 115200, 460800, 230400 and 9600: at each rate writes the probe and
    // looks for "<VERSION" in the answer. Returns the rate, 0 when none
    // answered, -1 when the device cannot be opened. The device stays open.
    int AutoDetectBaudRate(const char* pName, const char* pProbe);

    bool IsOpen() const { return m_Fd >= 0; }
    uint32_t GetBaudRate() const { return m_BaudRate; }
    const std::string& GetDeviceName() const { return m_DeviceName; }
    const std::string& GetErrorText() const { return m_ErrorText; }

    uint32_t GetReadTimeout() const { return m_ReadTimeout; }
    void SetReadTimeout(uint32_t Ms) { m_ReadTimeout = Ms; }
    const UART_TIMING_T& GetTiming() const { return m_Timing; }
    void SetTiming(const UART_TIMING_T& Timing);
    // Every wait of the layer ends early once this returns true (the owner is closing).
    void SetStopCheck(std::function<bool()> StopCheck) { m_StopCheck = std::move(StopCheck); }
    bool StopRequested() const { return m_StopCheck && m_StopCheck(); }
    // Sleeps Ms in short slices; false when a stop was requested.
    bool WaitMs(uint32_t Ms) const;

    // Device path for a port name: the name itself when it holds a "/", else under /dev.
    static std::string DevicePath(const char* pName);
    // Takes the device's exclusive lock; false when another holds it.
    static bool LockDevice(int fd);

protected:
    int OpenDevice(const char* pName, uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits);

    int m_Fd = -1;
    uint32_t m_BaudRate = 0;
    uint32_t m_ReadTimeout = 100;
    UART_TIMING_T m_Timing;
    std::string m_DeviceName;
    std::string m_ErrorText;
    std::vector<uint8_t> m_TxArea;
    uint32_t m_TxLength = 0;
    std::function<bool()> m_StopCheck;
};
