// Port controller for an NTRIP caster. As a client it logs in to a mount
// point (NTRIP 1, or NTRIP 2 over TCP, directly or through an HTTP proxy),
// reports the rover's position in GGA sentences, and hands the correction
// stream to the port's view as each block arrives; without a mount point it
// reads the caster's source table once. As a server it uploads to a mount
// point the bytes written to the port. A session that fails or is dropped is
// made again after a pause that doubles up to a limit. RTSP and NTRIP 2 over
// UDP (modes 3 and 4) are not offered: such a port reports it and rests.
//
// The thread runs its event loop; name lookup, connecting, the reply, the
// stream and the pauses between sessions are driven by socket signals and
// timers in that thread, so a stop request ends the thread at once whatever
// the port is doing.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QStringList>
#include <functional>
#include <mutex>

#include "monitor/ports/ntrip_protocol.h"
#include "monitor/ports/port_ctrl_base.h"

class QHostAddress;
class QHostInfo;
class QTcpSocket;
class QTimer;

class QZvNTripPortCtrl : public QZvPortCtrlBase
{
    Q_OBJECT

public:
    // Waits and bounds of the controller; tests shorten them.
    struct TIMING_T
    {
        int ConnectTimeoutMs = 3000;
        int SilenceTimeoutMs = 5000; // nothing from the caster for this long ends the session
        // The caster's whole reply header, and a source table it gives for a
        // mount point it does not have, come within this however they trickle.
        int ReplyDeadlineMs = 5000;
        int FirstDelayMs = 1000; // pause before the first new session; it doubles after each
        int MaxDelayMs = 30000;
        int ErrorPauseMs = 3000;    // least pause after a failure other than a time-out
        int GgaIntervalMs = 1000;   // between GGA reports while the stream runs
        int SteadyStreamMs = 60000; // a stream that ran this long starts the pauses over
        int MaxSourceTableBytes = 4 << 20;
        int MaxUploadBacklog = 1 << 20; // upload bytes the socket may hold before more are dropped
        // Turns each pause the port decides on into the pause it takes; tests
        // record the decisions and shorten the waits.
        std::function<int(int)> PauseFilter;
    };
    static TIMING_T& Timing();

    // Why the session reported last by SignalAddPortFail failed.
    struct FAILURE_T
    {
        int Result = NTRIP_OK; // NTRIP_RESULT_E, or an HTTP status as NtripResultHttpStatus reads it
        QString Reason;        // in the port's own words, as the port's view shows it
        QString MountPoint;    // the mount point asked for
        // The caster's mount points, when it answered with its source table:
        // the first MAX_LISTED_MOUNT_POINTS of OfferedCount.
        QStringList OfferedMountPoints;
        int OfferedCount = 0;
    };
    static constexpr int MAX_LISTED_MOUNT_POINTS = 100;

    QZvNTripPortCtrl();
    ~QZvNTripPortCtrl() override;

    // Copies the whole record and clears the stop flag; 0.
    int SetPortConfig(void* pConfig) override;
    // Ends the session and the session loop; 1.
    int ClosePort() override;
    // "server:port@mount".
    QString GetPortName() const override;
    int DisconnectPort() override;
    // Clears the stop flag. A running port connects again at once when its
    // settings were edited since its session began or while it waits for its
    // next session; the manager restarts a port whose loop has ended.
    int ReconnectPort() override;

    // A copy of the record with the live position; callable from any thread.
    NTRIP_CONFIG_T GetNtripConfig() const;
    // Edits the port's settings (not its live state); the next session uses them.
    void SetNtripSettings(const NTRIP_CONFIG_T* pConfig);
    // Whether two records hold the same settings, whatever their live state.
    static bool SameNtripSettings(const NTRIP_CONFIG_T& A, const NTRIP_CONFIG_T& B);
    // The position the next GGA report carries.
    NTRIP_POSITION_T GetPosition() const;
    uint GetInstanceNumber() const { return m_InstanceNumber; }
    // Callable from any thread.
    FAILURE_T GetLastFailure() const;
    static uint GetLiveNtripCount();

    // Hands received stream bytes to the port's view and log at once; 0.
    int NtripWriteData(const char* pBytes, int n);

public slots:
    // Takes the position for the GGA reports from a POS_DATA_T. It reads the
    // record during the call, from any thread: connect it with
    // Qt::DirectConnection, as the record keeps changing in its owner's thread.
    void OnSetPos(void* vpPosData);
    // A server uploads bytes addressed to this port; everything else is ignored.
    void OnWritePort(uint UniquePortID, QByteArray WriteData) override;

protected:
    void run() override;

private:
    enum SESSION_STATE_E
    {
        SESSION_IDLE,      // between sessions, or the loop has ended
        SESSION_RESOLVING, // looking the caster's name up
        SESSION_CONNECTING,
        SESSION_REPLY,  // request sent, reading the caster's reply
        SESSION_STREAM, // client: the stream or the source table flows
        SESSION_UPLOAD, // server: the caster takes the upload
        // Client: the caster answered the mount point with its source table,
        // read for the mount points it offers.
        SESSION_MOUNT_TABLE,
    };

    // Starts one session with the current settings.
    void NtripRunSession();
    void OnLookedUp(const QHostInfo& Info);
    void ConnectTo(const QHostAddress& Address);
    void OnConnected();
    void OnReadyRead();
    void OnSocketError(QAbstractSocket::SocketError eError);
    void TakeReply(const QByteArray& Data);
    // Takes the transfer coding off n bytes of the payload when it is chunked
    // (*ppData and *pN then name the data, in *pDecoded); false on a bad chunk.
    bool Dechunk(const char** ppData, int* pN, QByteArray* pDecoded, int* pEnded);
    void TakePayload(const char* pData, int n);
    void TakeMountTable(const char* pData, int n);
    // Ends a session whose mount point the caster's table lacks.
    void EndNoMountPoint();
    void OnReplyDeadline();
    void SendGga();
    // Ends the session under way without a result: timers, lookup and socket.
    void AbortSession();
    // Ends the session with a result and, unless the port stops, arranges the next one.
    void EndSession(int nResult, const QString& sReason);
    bool IsStopFlagSet() const;
    void SetStopFlag(bool bStop);

    mutable std::mutex m_Mutex; // guards the record and the position
    NTRIP_CONFIG_T m_Config;
    int32_t m_UtcMsOfDay = -1;
    const uint m_InstanceNumber;

    // Objects of one run of the thread.
    QTcpSocket* m_pSocket = nullptr;
    QTimer* m_pConnectTimer = nullptr;
    QTimer* m_pSilenceTimer = nullptr;
    QTimer* m_pReplyTimer = nullptr;
    QTimer* m_pPauseTimer = nullptr;
    QTimer* m_pGgaTimer = nullptr;
    QObject* m_pLookupContext = nullptr;
    int m_LookupId = -1;
    uint m_SessionNumber = 0;

    // The session under way.
    SESSION_STATE_E m_eState = SESSION_IDLE;
    NTRIP_CONFIG_T m_Session;
    bool m_bSourceTable = false;
    quint16 m_TargetPort = 0;
    QByteArray m_Reply;
    bool m_bChunked = false;
    NTRIP_CHUNK_DECODER_T m_Dechunk{};
    qint64 m_TableBytes = 0;
    QByteArray m_TableTail;
    QByteArray m_TableLine; // a source table line not yet ended
    QStringList m_Offered;
    int m_OfferedCount = 0;
    FAILURE_T m_LastFailure; // guarded by m_Mutex
    QElapsedTimer m_StreamClock;
    bool m_bUploadFull = false;

    int m_DelayMs = 0;
    // A failure was reported and no stream has flowed since.
    bool m_bFailureReported = false;
};
