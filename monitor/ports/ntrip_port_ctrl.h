// Port controller for an NTRIP caster. As a client it logs in to a mount
// point (NTRIP 1, or NTRIP 2 over TCP, directly or through an HTTP proxy;
// NTRIP 2 over UDP; or RTSP with the stream in RTP packets), reports the
// rover's position in GGA sentences, and hands the correction stream to the
// port's view and log like any port's received bytes; without a mount point
// it reads the caster's source table once. As a server it uploads to a mount
// point the bytes written to the port (over TCP, or over UDP). A session that
// fails or is dropped is made again after a pause that doubles up to a limit.
//
// Datagrams count only when they come from the caster's address and data
// port, carry an RTP header, the payload type expected, the session's number
// and a sequence number and timestamp that move the stream on; any other is
// dropped and counted.
//
// The thread runs its event loop; name lookup, connecting, the reply, the
// stream and the pauses between sessions are driven by socket signals and
// timers in that thread, so a stop request ends the thread at once whatever
// the port is doing. An RTSP session is ended with TEARDOWN.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QStringList>
#include <atomic>
#include <functional>
#include <mutex>

#include "monitor/ports/ntrip_mount_table.h"
#include "monitor/ports/ntrip_protocol.h"
#include "monitor/ports/port_ctrl_base.h"

class QHostInfo;
class QTcpSocket;
class QTimer;
class QUdpSocket;

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
        // Sessions over datagrams: a keep-alive goes out when the port has
        // sent nothing for this long (RTSP: GET_PARAMETER on the control
        // connection), and an RTSP session ends once its control connection
        // has been silent for more than three polls in a row.
        int KeepAliveMs = 15000;
        int ControlPollMs = 5000;
        // Turns each pause the port decides on into the pause it takes; tests
        // record the decisions and shorten the waits.
        std::function<int(int)> PauseFilter;
    };
    static TIMING_T& Timing();

    // Why the session reported last by SignalAddPortFail failed.
    struct FAILURE_T
    {
        int Result = NTRIP_OK; // NTRIP_RESULT_E, or an HTTP status as NtripResultHttpStatus reads it
        int Status = 0;        // the caster's HTTP or RTSP status when it refused, else 0
        QString Reason;        // in the port's own words, as the port's view shows it
        QString MountPoint;    // the mount point asked for
        // The caster's mount points, when it answered with its source table:
        // the first MAX_LISTED_MOUNT_POINTS of OfferedCount.
        QStringList OfferedMountPoints;
        int OfferedCount = 0;
    };
    static constexpr int MAX_LISTED_MOUNT_POINTS = CNtripMountTable::MAX_LISTED;

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
    // Datagrams of the sessions over UDP dropped since the port started (any thread).
    quint64 GetDroppedDatagrams() const { return m_DroppedDatagrams.load(); }

    // Takes received stream bytes as every port takes them: logged, and
    // handed to the view on the status timer within the port's bounds; 0.
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
        SESSION_RTSP_PLAY, // RTSP: PLAY sent, waiting for its reply
    };
    enum SESSION_KIND_E
    {
        KIND_TCP,
        KIND_UDP,  // NTRIP 2 over UDP, client or server
        KIND_RTSP, // RTSP client
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
    void OnSilence();
    void SendGga();
    // A request is out: the GGA it carried (if any) is the last one sent, and
    // the silence and the reply deadline run from now.
    void AwaitReply(const char* pGga);

    // Sessions over datagrams (ntrip_port_ctrl_udp.cpp).
    bool BindDataSocket();
    void StartUdpSession();
    void SendRtspSetup();
    bool SendRtspRequest(NTRIP_RTSP_REQUEST_E eRequest);
    void TakeRtspControl(const QByteArray& Data);
    void OnControlPoll();
    void OnKeepAlive();
    void OnDatagrams();
    void TakeDatagram(const char* pData, int n, const QHostAddress& From, quint16 nFromPort);
    void TakeUdpReply(const NTRIP_RTP_T& Packet);
    void TakeUdpTable(const char* pData, int n);
    void TakeRtpData(const NTRIP_RTP_T& Packet);
    // An RTP packet of the session to the caster's data port; false when it could not be sent.
    bool SendRtp(int nPayloadType, const char* pPayload, int n);
    void UploadOverUdp(const QByteArray& Data);
    void DropDatagram(const char* pWhy);
    // Tells an RTSP caster that the session under way ends.
    void TearDownRtsp();
    // Ends a session whose caster refused it, with the status it gave.
    void EndRefused(int nResult, int nStatus, const QString& sReason);
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
    QUdpSocket* m_pUdp = nullptr;
    QTimer* m_pKeepAliveTimer = nullptr;
    QTimer* m_pPollTimer = nullptr;
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
    CNtripMountTable m_MountTable; // the table a caster sends for a mount point it does not have
    FAILURE_T m_LastFailure; // guarded by m_Mutex
    QElapsedTimer m_StreamClock;
    bool m_bUploadFull = false;
    int m_RefusedStatus = 0; // the caster's status of the refusal being reported

    // The session over datagrams under way.
    SESSION_KIND_E m_eKind = KIND_TCP;
    QHostAddress m_CasterAddress;
    quint16 m_DataPort = 0; // the caster's datagram port
    uint32_t m_RtpSession = 0;
    bool m_bRtspSetUp = false; // the caster gave the RTSP session its number
    int m_CSeq = 0;
    quint16 m_TxSequence = 0;
    QElapsedTimer m_RtpClock; // the timestamps of the packets sent
    NTRIP_RTP_TRACK_T m_ReplyTrack{};
    NTRIP_RTP_TRACK_T m_DataTrack{};
    int m_EmptyPolls = 0;
    bool m_bControlHeard = false;
    int m_ForeignPackets = 0; // packets of another session since the last one taken
    qint64 m_TableLength = -1;
    qint64 m_TableRead = 0;
    QByteArray m_Datagram;
    std::atomic<quint64> m_DroppedDatagrams{0};
    quint64 m_SessionDropped = 0;
    bool m_bUdpSendFull = false;

    int m_DelayMs = 0;
    // A failure was reported and no stream has flowed since.
    bool m_bFailureReported = false;
};
