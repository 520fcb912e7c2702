#include "monitor/ports/ntrip_port_ctrl.h"

#include <QDateTime>
#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <mutex>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/ports/ports_log.h"

namespace
{
std::atomic<uint> g_LiveNtripCount{0};

constexpr double kRadToDeg = 57.295779513;
constexpr int32_t kNoPositionTime = -1000;
const QByteArray kTableEnd(NTRIP_TABLE_END);

// A NUL-terminated text of a fixed array, read no further than the array.
template <size_t N> QString FixedText(const char (&Text)[N])
{
    return QString::fromLatin1(Text, static_cast<int>(strnlen(Text, N)));
}

template <size_t N> QByteArray FixedBytes(const char (&Text)[N])
{
    return QByteArray(Text, static_cast<int>(strnlen(Text, N)));
}

// The fields of a record that are settings, as against its live state (the
// GGA text, the stop flag, the position): Field(a, b) is called with each
// field of A beside the same field of B.
template <class A_T, class B_T, class FIELD_T> void ForEachSetting(A_T& A, B_T& B, FIELD_T Field)
{
    Field(A.Enable, B.Enable);
    Field(A.ServerMode, B.ServerMode);
    Field(A.SourceTable, B.SourceTable);
    Field(A.ServerName, B.ServerName);
    Field(A.Port, B.Port);
    Field(A.MountPoint, B.MountPoint);
    Field(A.User, B.User);
    Field(A.ProxyHost, B.ProxyHost);
    Field(A.ProxyPort, B.ProxyPort);
    Field(A.Password, B.Password);
    Field(A.UdpPort, B.UdpPort);
    Field(A.InitUdp, B.InitUdp);
    Field(A.Agent, B.Agent);
    Field(A.Version, B.Version);
    Field(A.Mode, B.Mode);
}
} // namespace

QZvNTripPortCtrl::TIMING_T& QZvNTripPortCtrl::Timing()
{
    static TIMING_T timing;
    return timing;
}

QZvNTripPortCtrl::QZvNTripPortCtrl() : QZvPortCtrlBase(PORT_TYPE_NTRIP), m_InstanceNumber(++g_LiveNtripCount)
{
    NtripSetDefaultConfig(&m_Config);
    NtripSetDefaultConfig(&m_Session);
}

QZvNTripPortCtrl::~QZvNTripPortCtrl()
{
    RequestStop();
    WaitThreadEnd();
    uint live = g_LiveNtripCount.load();
    while (live > 0 && !g_LiveNtripCount.compare_exchange_weak(live, live - 1))
    {
    }
}

uint QZvNTripPortCtrl::GetLiveNtripCount() { return g_LiveNtripCount.load(); }

int QZvNTripPortCtrl::SetPortConfig(void* pConfig)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (pConfig != nullptr)
    {
        std::memcpy(&m_Config, pConfig, sizeof(m_Config));
    }
    m_Config.StopFlag = 0;
    return PORT_FAIL_NONE;
}

bool QZvNTripPortCtrl::SameNtripSettings(const NTRIP_CONFIG_T& A, const NTRIP_CONFIG_T& B)
{
    bool bSame = true;
    // Text fields are compared whole, bytes after their NUL included, as they are copied.
    ForEachSetting(A, B,
                   [&bSame](const auto& a, const auto& b) { bSame = bSame && std::memcmp(&a, &b, sizeof a) == 0; });
    return bSame;
}

void QZvNTripPortCtrl::SetNtripSettings(const NTRIP_CONFIG_T* pConfig)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    ForEachSetting(m_Config, *pConfig, [](auto& a, const auto& b) { std::memcpy(&a, &b, sizeof a); });
}

NTRIP_CONFIG_T QZvNTripPortCtrl::GetNtripConfig() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Config;
}

QZvNTripPortCtrl::FAILURE_T QZvNTripPortCtrl::GetLastFailure() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_LastFailure;
}

NTRIP_POSITION_T QZvNTripPortCtrl::GetPosition() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return {m_Config.PositionTime, m_UtcMsOfDay, m_Config.Latitude, m_Config.Longitude, m_Config.Height};
}

QString QZvNTripPortCtrl::GetPortName() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return QStringLiteral("%1:%2@%3")
        .arg(FixedText(m_Config.ServerName))
        .arg(m_Config.Port & 0xFFFFu)
        .arg(FixedText(m_Config.MountPoint));
}

bool QZvNTripPortCtrl::IsStopFlagSet() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Config.StopFlag != 0 || IsStopRequested();
}

void QZvNTripPortCtrl::SetStopFlag(bool bStop)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Config.StopFlag = bStop ? 1 : 0;
}

int QZvNTripPortCtrl::ClosePort()
{
    SetStopFlag(true);
    if (m_pSocket != nullptr && thread() == QThread::currentThread())
    {
        EndSession(NTRIP_OK, QString());
    }
    quit();
    return 1;
}

int QZvNTripPortCtrl::DisconnectPort()
{
    ClosePort();
    return 0;
}

int QZvNTripPortCtrl::ReconnectPort()
{
    // The manager starts the thread again once the session loop has ended.
    SetStopFlag(false);
    if (m_pSocket == nullptr || thread() != QThread::currentThread())
    {
        return 0;
    }
    // A running loop connects again at once when the settings were edited
    // since its session began, or when it waits for its next session.
    const bool bWaiting = m_eState == SESSION_IDLE && m_pPauseTimer->isActive();
    const NTRIP_CONFIG_T config = GetNtripConfig();
    const bool bEdited = m_eState != SESSION_IDLE && !SameNtripSettings(m_Session, config);
    if (bWaiting || bEdited)
    {
        AbortSession();
        m_pPauseTimer->stop();
        m_DelayMs = Timing().FirstDelayMs;
        NtripRunSession();
    }
    return 0;
}

void QZvNTripPortCtrl::OnSetPos(void* vpPosData)
{
    if (vpPosData == nullptr)
    {
        return;
    }
    const POS_DATA_T& pos = *static_cast<const POS_DATA_T*>(vpPosData);
    NTRIP_POSITION_T position{kNoPositionTime, -1, pos.Latitude * kRadToDeg, pos.Longitude * kRadToDeg, pos.Height};
    // A record holds 0, 0 until a position arrives: that is no place to report.
    const bool bPlace = pos.Latitude != 0.0 || pos.Longitude != 0.0;
    if (bPlace && std::isfinite(pos.GpsSeconds) && pos.GpsSeconds >= 0.0 && pos.GpsSeconds < 700000.0)
    {
        position.PositionTime = static_cast<int32_t>(pos.GpsSeconds * 1000.0);
    }
    const CalendarTime& utc = pos.Utc;
    if (utc.Hour < 24 && utc.Minute < 60 && utc.Second <= 60 && utc.Millisecond < 1000)
    {
        position.UtcMsOfDay =
            static_cast<int32_t>(((utc.Hour * 60 + utc.Minute) * 60 + utc.Second) * 1000 + utc.Millisecond);
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Config.PositionTime = position.PositionTime;
    m_Config.Latitude = position.Latitude;
    m_Config.Longitude = position.Longitude;
    m_Config.Height = position.Height;
    m_UtcMsOfDay = position.UtcMsOfDay;
}

int QZvNTripPortCtrl::NtripWriteData(const char* pBytes, int n)
{
    if (n <= 0 || IsDisconnected())
    {
        return 0;
    }
    // The status timer hands the bytes over, as for every port: a caster
    // that sends faster than the view takes them fills the port's bound,
    // not the memory, and the log still gets every byte.
    AppendReceived(QByteArray(pBytes, n));
    return 0;
}

void QZvNTripPortCtrl::OnWritePort(uint ID, QByteArray WriteData)
{
    // Only bytes meant for this port go up: commands sent to every port
    // must not land in a correction stream.
    if (ID != UniquePortID || WriteData.isEmpty() || m_eState != SESSION_UPLOAD || m_pSocket == nullptr)
    {
        return;
    }
    if (m_eKind == KIND_UDP)
    {
        UploadOverUdp(WriteData);
        return;
    }
    if (m_pSocket->bytesToWrite() > Timing().MaxUploadBacklog)
    {
        if (!m_bUploadFull)
        {
            qCDebug(lcPorts, "Ntrip upload: the caster does not keep up, bytes dropped");
        }
        m_bUploadFull = true;
        return;
    }
    m_bUploadFull = false;
    if (m_Session.Mode == 1)
    {
        m_pSocket->write(WriteData);
        return;
    }
    QByteArray chunks(NtripChunkEncodedSize(WriteData.size()), '\0');
    NtripChunkEncode(WriteData.constData(), WriteData.size(), chunks.data(), chunks.size());
    m_pSocket->write(chunks);
}

void QZvNTripPortCtrl::run()
{
    if (IsStopRequested())
    {
        return;
    }
    QTcpSocket socket;
    QUdpSocket udp;
    QTimer connectTimer, silenceTimer, replyTimer, pauseTimer, ggaTimer, keepAliveTimer, pollTimer;
    QObject lookupContext;
    for (QTimer* pTimer : {&connectTimer, &silenceTimer, &replyTimer, &pauseTimer, &keepAliveTimer})
    {
        pTimer->setSingleShot(true);
    }
    ggaTimer.setTimerType(Qt::PreciseTimer);
    m_pSocket = &socket;
    m_pUdp = &udp;
    m_pKeepAliveTimer = &keepAliveTimer;
    m_pPollTimer = &pollTimer;
    m_pConnectTimer = &connectTimer;
    m_pSilenceTimer = &silenceTimer;
    m_pReplyTimer = &replyTimer;
    m_pPauseTimer = &pauseTimer;
    m_pGgaTimer = &ggaTimer;
    m_pLookupContext = &lookupContext;

    connect(&socket, &QTcpSocket::connected, this, &QZvNTripPortCtrl::OnConnected);
    connect(&socket, &QTcpSocket::readyRead, this, &QZvNTripPortCtrl::OnReadyRead);
    connect(&socket, &QAbstractSocket::errorOccurred, this, &QZvNTripPortCtrl::OnSocketError);
    connect(&udp, &QUdpSocket::readyRead, this, &QZvNTripPortCtrl::OnDatagrams);
    connect(&connectTimer, &QTimer::timeout, this,
            [this]
            {
                EndSession(m_eKind == KIND_RTSP ? NTRIP_RTSP_CONNECT_FAILED : NTRIP_CONNECT_FAILED,
                           QStringLiteral("no connection within %1 ms").arg(Timing().ConnectTimeoutMs));
            });
    connect(&silenceTimer, &QTimer::timeout, this, &QZvNTripPortCtrl::OnSilence);
    connect(&keepAliveTimer, &QTimer::timeout, this, &QZvNTripPortCtrl::OnKeepAlive);
    connect(&pollTimer, &QTimer::timeout, this, &QZvNTripPortCtrl::OnControlPoll);
    connect(&replyTimer, &QTimer::timeout, this, &QZvNTripPortCtrl::OnReplyDeadline);
    connect(&pauseTimer, &QTimer::timeout, this, &QZvNTripPortCtrl::NtripRunSession);
    connect(&ggaTimer, &QTimer::timeout, this, &QZvNTripPortCtrl::SendGga);

    SetStopFlag(false);
    {
        const NTRIP_CONFIG_T config = GetNtripConfig();
        // The password stays out of every trace.
        qCDebug(lcPorts, "Start Ntrip Service %s Mode%u,%s:%u %s:%s@%s",
                config.Enable == 0       ? "Disable"
                : config.ServerMode == 1 ? "Server"
                                         : "Client",
                config.Mode, FixedBytes(config.ServerName).constData(), config.Port & 0xFFFFu,
                FixedBytes(config.User).constData(), config.Password[0] != '\0' ? "***" : "",
                FixedBytes(config.MountPoint).constData());
    }
    m_DelayMs = Timing().FirstDelayMs;
    m_bFailureReported = false;
    m_eState = SESSION_IDLE;
    StartStatusTimer();
    // Sessions are tried all the same: each failure is reported and retried.
    if (NtripStartup() != 0)
        qCDebug(lcPorts, "Ntrip: no socket can be had (%s)", std::strerror(errno));
    NtripRunSession();
    exec();

    // However the port stops, the session under way ends (an RTSP caster is told).
    if (m_eState != SESSION_IDLE)
    {
        AbortSession();
    }
    if (m_LookupId >= 0)
    {
        QHostInfo::abortHostLookup(m_LookupId);
        m_LookupId = -1;
    }
    m_eState = SESSION_IDLE;
    StopStatusTimer();
    socket.disconnect(this);
    socket.abort();
    udp.disconnect(this);
    udp.abort();
    m_pSocket = nullptr;
    m_pUdp = nullptr;
    m_pConnectTimer = m_pSilenceTimer = m_pReplyTimer = m_pPauseTimer = m_pGgaTimer = nullptr;
    m_pKeepAliveTimer = m_pPollTimer = nullptr;
    m_pLookupContext = nullptr;
}

void QZvNTripPortCtrl::NtripRunSession()
{
    if (IsStopFlagSet())
    {
        quit();
        return;
    }
    m_Session = GetNtripConfig();
    m_eKind = m_Session.Mode == 4 ? KIND_UDP : m_Session.Mode == 3 && m_Session.ServerMode == 0 ? KIND_RTSP : KIND_TCP;
    // An RTSP caster is asked for a mount point only.
    m_bSourceTable = m_Session.ServerMode == 0 && m_eKind != KIND_RTSP && NtripWantsSourceTable(&m_Session);
    m_Reply.clear();
    m_bChunked = false;
    m_TableBytes = 0;
    m_TableTail.clear();
    m_MountTable.Clear();
    m_bUploadFull = false;
    m_RefusedStatus = 0;
    m_DataPort = 0;
    m_RtpSession = 0;
    m_bRtspSetUp = false;
    m_CSeq = 0;
    m_TxSequence = 0;
    NtripRtpTrackInit(&m_ReplyTrack);
    NtripRtpTrackInit(&m_DataTrack);
    m_EmptyPolls = 0;
    m_bControlHeard = false;
    m_ForeignPackets = 0;
    m_TableLength = -1;
    m_TableRead = 0;
    m_SessionDropped = 0;
    m_bUdpSendFull = false;
    // Sessions over datagrams go to the caster itself.
    const bool bProxy = m_eKind == KIND_TCP && m_Session.ProxyHost[0] != '\0';
    const QString sHost = bProxy ? FixedText(m_Session.ProxyHost) : FixedText(m_Session.ServerName);
    m_TargetPort = static_cast<quint16>((bProxy ? m_Session.ProxyPort : m_Session.Port) & 0xFFFFu);

    m_eState = SESSION_RESOLVING;
    // A dotted address is taken as it is; anything else, even a name that
    // begins with a digit, is looked up.
    QHostAddress address;
    if (address.setAddress(sHost) && address.protocol() == QAbstractSocket::IPv4Protocol)
    {
        ConnectTo(address);
        return;
    }
    if (sHost.isEmpty())
    {
        EndSession(NTRIP_RESOLVE_FAILED, QStringLiteral("no caster name"));
        return;
    }
    // The result may come after this session has ended: only this session's counts.
    const uint session = ++m_SessionNumber;
    m_LookupId = QHostInfo::lookupHost(sHost, m_pLookupContext,
                                       [this, session](const QHostInfo& Info)
                                       {
                                           if (session == m_SessionNumber && m_eState == SESSION_RESOLVING)
                                           {
                                               OnLookedUp(Info);
                                           }
                                       });
}

void QZvNTripPortCtrl::OnLookedUp(const QHostInfo& Info)
{
    m_LookupId = -1;
    if (Info.error() != QHostInfo::NoError)
    {
        qCDebug(lcPorts, "Can't resolve ServerName %s", qPrintable(Info.hostName()));
        EndSession(NTRIP_RESOLVE_FAILED, QStringLiteral("cannot resolve %1").arg(Info.hostName()));
        return;
    }
    for (const QHostAddress& address : Info.addresses())
    {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
        {
            ConnectTo(address);
            return;
        }
    }
    EndSession(NTRIP_NO_ADDRESS, QStringLiteral("%1 has no IPv4 address").arg(Info.hostName()));
}

void QZvNTripPortCtrl::ConnectTo(const QHostAddress& Address)
{
    m_CasterAddress = Address;
    if (m_eKind == KIND_UDP)
    {
        StartUdpSession();
        return;
    }
    // The data port goes into the SETUP request.
    if (m_eKind == KIND_RTSP && !BindDataSocket())
    {
        EndSession(NTRIP_RTSP_BIND_FAILED, QStringLiteral("cannot bind the local data port %1: %2")
                                               .arg(m_Session.UdpPort & 0xFFFFu)
                                               .arg(m_pUdp->errorString()));
        return;
    }
    m_eState = SESSION_CONNECTING;
    m_pSocket->abort();
    m_pConnectTimer->start(Timing().ConnectTimeoutMs);
    m_pSocket->connectToHost(Address, m_TargetPort);
}

void QZvNTripPortCtrl::OnConnected()
{
    if (m_eState != SESSION_CONNECTING)
    {
        return;
    }
    m_pConnectTimer->stop();
    if (m_eKind == KIND_RTSP)
    {
        SendRtspSetup();
        return;
    }
    char gga[NTRIP_GGA_MAX] = "";
    if (m_Session.ServerMode == 0 && !m_bSourceTable)
    {
        const NTRIP_POSITION_T position = GetPosition();
        if (NtripBuildGga(&position, gga, sizeof(gga)) < 0)
        {
            gga[0] = '\0';
        }
    }
    char request[NTRIP_REQUEST_MAX];
    const int length = NtripBuildRequest(&m_Session, gga, request, sizeof(request));
    if (length < 0)
    {
        EndSession(NTRIP_REQUEST_TOO_LONG, QStringLiteral("the request is too long"));
        return;
    }
    m_eState = SESSION_REPLY;
    const qint64 written = m_pSocket->write(request, length);
    // The request carries the login.
    std::memset(request, 0, sizeof(request));
    if (written != length)
    {
        EndSession(NTRIP_SEND_FAILED, QStringLiteral("the request was not sent: %1").arg(m_pSocket->errorString()));
        return;
    }
    AwaitReply(gga);
}

void QZvNTripPortCtrl::AwaitReply(const char* pGga)
{
    // Every request builds its GGA into an NTRIP_GGA_MAX buffer.
    static_assert(sizeof(NTRIP_CONFIG_T::GgaText) == NTRIP_GGA_MAX, "a GGA sentence fits the record");
    if (pGga[0] != '\0')
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        std::memcpy(m_Config.GgaText, pGga, sizeof(m_Config.GgaText));
        m_Config.LastGgaTime = QDateTime::currentSecsSinceEpoch();
    }
    m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
    // A caster that sends a byte now and then never falls silent.
    m_pReplyTimer->start(Timing().ReplyDeadlineMs);
}

void QZvNTripPortCtrl::OnReadyRead()
{
    const QByteArray data = m_pSocket->readAll();
    if (data.isEmpty())
    {
        return;
    }
    if (m_eKind == KIND_RTSP)
    {
        TakeRtspControl(data);
        return;
    }
    switch (m_eState)
    {
    case SESSION_REPLY:
        m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
        TakeReply(data);
        break;
    case SESSION_STREAM:
        m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
        TakePayload(data.constData(), data.size());
        break;
    case SESSION_MOUNT_TABLE:
        m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
        TakeMountTable(data.constData(), data.size());
        break;
    default:
        // What a caster says while it takes an upload is not shown.
        break;
    }
}

void QZvNTripPortCtrl::TakeReply(const QByteArray& Data)
{
    m_Reply.append(Data);
    NTRIP_REPLY_T reply;
    const int result = NtripCheckReply(&m_Session, m_Reply.constData(), m_Reply.size(), &reply);
    if (result == NTRIP_REPLY_INCOMPLETE)
    {
        return;
    }
    if (result != 0 && result != NTRIP_NO_MOUNT_POINT)
    {
        EndSession(result,
                   QString::fromLatin1(reply.Reason, static_cast<int>(strnlen(reply.Reason, sizeof reply.Reason))));
        return;
    }
    const QByteArray header = m_Reply.left(reply.HeaderLength);
    const QByteArray payload = m_Reply.mid(reply.HeaderLength);
    m_Reply.clear();
    m_bChunked = reply.Chunked != 0;
    NtripChunkDecoderInit(&m_Dechunk);
    if (result == NTRIP_NO_MOUNT_POINT)
    {
        // The table that follows names the mount points there are; the
        // deadline of the reply still holds.
        m_eState = SESSION_MOUNT_TABLE;
        TakeMountTable(payload.constData(), payload.size());
        return;
    }
    m_pReplyTimer->stop();
    m_StreamClock.start();
    if (m_Session.ServerMode != 0)
    {
        m_eState = SESSION_UPLOAD;
        m_pSilenceTimer->stop();
        qCDebug(lcPorts, "Ntrip server: the caster takes the upload");
        return;
    }
    m_eState = SESSION_STREAM;
    if (m_bSourceTable)
    {
        // The table is shown with the caster's header.
        m_TableBytes = header.size();
        NtripWriteData(header.constData(), header.size());
    }
    else
    {
        if (m_Session.Mode == 1)
        {
            SendGga();
        }
        m_pGgaTimer->start(Timing().GgaIntervalMs);
    }
    if (!payload.isEmpty())
    {
        TakePayload(payload.constData(), payload.size());
    }
}

bool QZvNTripPortCtrl::Dechunk(const char** ppData, int* pN, QByteArray* pDecoded, int* pEnded)
{
    *pEnded = 0;
    if (!m_bChunked)
    {
        return true;
    }
    pDecoded->resize(*pN);
    const int length = NtripDechunk(&m_Dechunk, *ppData, *pN, pDecoded->data(), pEnded);
    if (length < 0)
    {
        return false;
    }
    *ppData = pDecoded->constData();
    *pN = length;
    return true;
}

void QZvNTripPortCtrl::TakePayload(const char* pData, int n)
{
    QByteArray decoded;
    int ended = 0;
    if (!Dechunk(&pData, &n, &decoded, &ended))
    {
        EndSession(NTRIP_BAD_CHUNK, QStringLiteral("bad chunk in the stream"));
        return;
    }
    if (m_bSourceTable)
    {
        const qint64 room = Timing().MaxSourceTableBytes - m_TableBytes;
        if (n > room)
        {
            NtripWriteData(pData, static_cast<int>(room > 0 ? room : 0));
            EndSession(NTRIP_REFUSED,
                       QStringLiteral("source table longer than %1 bytes, cut").arg(Timing().MaxSourceTableBytes));
            return;
        }
        m_TableBytes += n;
        NtripWriteData(pData, n);
        m_TableTail.append(pData, n);
        if (ended != 0 || m_TableTail.contains(kTableEnd))
        {
            EndSession(NTRIP_OK, QString());
            return;
        }
        m_TableTail = m_TableTail.right(kTableEnd.size() - 1);
        return;
    }
    if (n > 0)
    {
        NtripWriteData(pData, n);
        m_bFailureReported = false;
    }
    if (ended != 0)
    {
        EndSession(NTRIP_CLOSED, QStringLiteral("the caster ended the stream"));
    }
}

void QZvNTripPortCtrl::TakeMountTable(const char* pData, int n)
{
    QByteArray decoded;
    int ended = 0;
    if (!Dechunk(&pData, &n, &decoded, &ended) || m_MountTable.Take(pData, n, Timing().MaxSourceTableBytes) ||
        ended != 0)
    {
        EndNoMountPoint();
    }
}

void QZvNTripPortCtrl::EndNoMountPoint()
{
    const QString sMount = FixedText(m_Session.MountPoint);
    QString sReason = QStringLiteral("mount point %1 not found").arg(sMount);
    if (m_MountTable.OfferedCount() == 0)
    {
        sReason += QStringLiteral(", the caster offers none");
    }
    else
    {
        // The view gets the first few; the failure report keeps more.
        constexpr int kShown = 20;
        sReason +=
            QStringLiteral(", the caster offers: ") + QStringList(m_MountTable.Offered().mid(0, kShown)).join(QStringLiteral(", "));
        if (m_MountTable.OfferedCount() > kShown)
        {
            sReason += QStringLiteral(" ... (%1 in all)").arg(m_MountTable.OfferedCount());
        }
    }
    EndSession(NTRIP_NO_MOUNT_POINT, sReason);
}

void QZvNTripPortCtrl::OnReplyDeadline()
{
    if (m_eState == SESSION_MOUNT_TABLE)
    {
        EndNoMountPoint();
        return;
    }
    // A datagram can be lost: a caster over UDP that does not answer in time
    // is asked again in the next session.
    EndSession(m_eKind == KIND_UDP ? NTRIP_UDP_SILENT : NTRIP_TIMED_OUT,
               m_Reply.isEmpty()
                   ? QStringLiteral("no reply from the caster within %1 ms").arg(Timing().ReplyDeadlineMs)
                   : QStringLiteral("the caster's reply did not end within %1 ms").arg(Timing().ReplyDeadlineMs));
}

void QZvNTripPortCtrl::OnSilence()
{
    const QString sSilent = QStringLiteral("nothing from the caster for %1 ms").arg(Timing().SilenceTimeoutMs);
    if (m_eKind != KIND_UDP)
    {
        EndSession(NTRIP_TIMED_OUT, sSilent);
        return;
    }
    if (m_bSourceTable && m_eState == SESSION_STREAM)
    {
        EndSession(NTRIP_UDP_TABLE_SHORT,
                   QStringLiteral("the source table ended after %1 of %2 bytes").arg(m_TableRead).arg(m_TableLength));
        return;
    }
    if (m_ForeignPackets > 0)
    {
        EndSession(NTRIP_UDP_FOREIGN_SESSION,
                   QStringLiteral("only packets of another session for %1 ms").arg(Timing().SilenceTimeoutMs));
        return;
    }
    EndSession(NTRIP_UDP_SILENT, sSilent);
}

void QZvNTripPortCtrl::SendGga()
{
    if (m_eState != SESSION_STREAM || m_bSourceTable || m_pSocket == nullptr)
    {
        return;
    }
    const NTRIP_POSITION_T position = GetPosition();
    char gga[NTRIP_GGA_MAX];
    const int length = NtripBuildGga(&position, gga, sizeof(gga));
    if (length < 0)
    {
        return;
    }
    m_pSocket->write(gga, length);
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::memcpy(m_Config.GgaText, gga, sizeof(gga));
    m_Config.LastGgaTime = QDateTime::currentSecsSinceEpoch();
}

void QZvNTripPortCtrl::OnSocketError(QAbstractSocket::SocketError eError)
{
    if (m_eState == SESSION_IDLE || m_eState == SESSION_RESOLVING)
    {
        return;
    }
    if (m_eState == SESSION_CONNECTING)
    {
        EndSession(m_eKind == KIND_RTSP ? NTRIP_RTSP_CONNECT_FAILED : NTRIP_CONNECT_FAILED,
                   QStringLiteral("cannot connect: %1").arg(m_pSocket->errorString()));
        return;
    }
    if (m_eKind == KIND_RTSP)
    {
        if (m_pSocket->bytesAvailable() > 0)
        {
            OnReadyRead();
        }
        if (m_eState == SESSION_IDLE)
        {
            return;
        }
        if (eError == QAbstractSocket::RemoteHostClosedError)
        {
            EndSession(NTRIP_RTSP_CLOSED, QStringLiteral("the caster closed the control connection"));
        }
        else
        {
            EndSession(NTRIP_RTSP_RECEIVE_FAILED,
                       QStringLiteral("control connection failed: %1").arg(m_pSocket->errorString()));
        }
        return;
    }
    // Bytes that came with the close are still taken.
    if (m_pSocket->bytesAvailable() > 0)
    {
        OnReadyRead();
    }
    // However the table ends, the caster has said the mount point is not there.
    if (m_eState == SESSION_MOUNT_TABLE)
    {
        EndNoMountPoint();
        return;
    }
    if (eError != QAbstractSocket::RemoteHostClosedError)
    {
        EndSession(NTRIP_RECEIVE_FAILED, QStringLiteral("connection failed: %1").arg(m_pSocket->errorString()));
        return;
    }
    switch (m_eState)
    {
    case SESSION_REPLY:
        EndSession(NTRIP_REFUSED, m_Reply.isEmpty()
                                      ? QStringLiteral("the caster closed the connection without a reply")
                                      : QStringLiteral("the caster closed the connection within its reply"));
        break;
    case SESSION_STREAM:
        EndSession(m_bSourceTable ? NTRIP_OK : NTRIP_CLOSED, QStringLiteral("the caster closed the connection"));
        break;
    default:
        EndSession(NTRIP_CLOSED, QStringLiteral("the caster closed the connection"));
        break;
    }
}

void QZvNTripPortCtrl::AbortSession()
{
    if (m_eKind == KIND_RTSP && (m_eState == SESSION_RTSP_PLAY || m_eState == SESSION_STREAM))
    {
        TearDownRtsp();
    }
    if (m_SessionDropped > 0)
    {
        qCDebug(lcPorts, "Ntrip: %llu datagrams dropped in the session",
                static_cast<unsigned long long>(m_SessionDropped));
        m_SessionDropped = 0;
    }
    m_eState = SESSION_IDLE;
    ++m_SessionNumber;
    m_pConnectTimer->stop();
    m_pSilenceTimer->stop();
    m_pReplyTimer->stop();
    m_pGgaTimer->stop();
    m_pKeepAliveTimer->stop();
    m_pPollTimer->stop();
    m_pUdp->abort();
    if (m_LookupId >= 0)
    {
        QHostInfo::abortHostLookup(m_LookupId);
        m_LookupId = -1;
    }
    m_pSocket->abort();
    m_Reply.clear();
}

void QZvNTripPortCtrl::EndSession(int nResult, const QString& sReason)
{
    if (m_eState == SESSION_IDLE)
    {
        return;
    }
    const SESSION_STATE_E ended = m_eState;
    AbortSession();
    const bool bSteady = (ended == SESSION_STREAM || ended == SESSION_UPLOAD) && m_StreamClock.isValid() &&
                         m_StreamClock.elapsed() >= Timing().SteadyStreamMs;
    m_StreamClock.invalidate();
    if (IsStopFlagSet())
    {
        qCDebug(lcPorts, "Quit Ntrip");
        quit();
        return;
    }
    // A source table is read once.
    const bool bLoopEnds = m_bSourceTable && ended == SESSION_STREAM;

    int pauseMs = 0;
    if (!bLoopEnds)
    {
        if (bSteady)
        {
            m_DelayMs = Timing().FirstDelayMs;
        }
        pauseMs = m_DelayMs;
        if (nResult != NTRIP_TIMED_OUT && pauseMs < Timing().ErrorPauseMs)
        {
            pauseMs = Timing().ErrorPauseMs;
        }
        m_DelayMs = qMin(m_DelayMs * 2, Timing().MaxDelayMs);
    }
    if (nResult != NTRIP_OK)
    {
        const QString sLine = bLoopEnds ? QStringLiteral("Ntrip: %1\r\n").arg(sReason)
                                        : QStringLiteral("Ntrip: %1, reconnect in %2 ms\r\n").arg(sReason).arg(pauseMs);
        qCDebug(lcPorts, "Ntrip session result %d: %s", nResult, qPrintable(sReason));
        AppendPendingText(sLine.toLatin1());
        EmitPending();
        if (!m_bFailureReported)
        {
            m_bFailureReported = true;
            {
                std::lock_guard<std::mutex> lock(m_Mutex);
                m_LastFailure = FAILURE_T{nResult,
                                          m_RefusedStatus != 0 ? m_RefusedStatus : NtripResultHttpStatus(nResult),
                                          sReason,
                                          FixedText(m_Session.MountPoint),
                                          nResult == NTRIP_NO_MOUNT_POINT ? m_MountTable.Offered() : QStringList(),
                                          nResult == NTRIP_NO_MOUNT_POINT ? m_MountTable.OfferedCount() : 0};
            }
            emit SignalAddPortFail(UniquePortID, PortType, nResult, GetPortName());
        }
    }
    m_RefusedStatus = 0;
    if (bLoopEnds)
    {
        qCDebug(lcPorts, "Quit Ntrip");
        quit();
        return;
    }
    qCDebug(lcPorts, "Connect interrupted,Reconnect In %d ms", pauseMs);
    const std::function<int(int)>& filter = Timing().PauseFilter;
    m_pPauseTimer->start(filter ? filter(pauseMs) : pauseMs);
}
