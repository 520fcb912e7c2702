// The caster port's sessions over datagrams: NTRIP 2 over UDP (client and
// server), and the RTSP client with its TCP control connection and RTP data.
#include <QDateTime>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <cstring>
#include <mutex>

#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/ports_log.h"

namespace
{
// Datagrams read in one turn of the port's event loop, so that its timers
// keep their time under a flood; the rest wait in the socket for the next turn.
constexpr int kDatagramsPerTurn = 256;
constexpr int kDatagramMax = 65536;
// Upload bytes of one datagram: as chunks they fit NTRIP_RTP_PAYLOAD_MAX.
constexpr int kUploadBlock = 1200;
static_assert((kUploadBlock / NTRIP_CHUNK_PIECE) * (2 + 2 + NTRIP_CHUNK_PIECE + 2) <= NTRIP_RTP_PAYLOAD_MAX,
              "an upload block fits one datagram");
// Empty polls of the control connection in a row that an RTSP session outlives.
constexpr int kEmptyPollsMax = 3;

// The GGA sentence of a position, or an empty text without one.
void GgaOf(const NTRIP_POSITION_T& Position, char (&Gga)[NTRIP_GGA_MAX])
{
    if (NtripBuildGga(&Position, Gga, sizeof(Gga)) < 0)
    {
        Gga[0] = '\0';
    }
}
} // namespace

bool QZvNTripPortCtrl::BindDataSocket()
{
    m_pUdp->abort();
    // Not shared with another socket, so that the session's datagrams reach this port only.
    return m_pUdp->bind(QHostAddress(QHostAddress::AnyIPv4), static_cast<quint16>(m_Session.UdpPort & 0xFFFFu),
                        QAbstractSocket::DontShareAddress);
}

bool QZvNTripPortCtrl::SendRtp(int nPayloadType, const char* pPayload, int n)
{
    if (n < 0 || n > NTRIP_RTP_PAYLOAD_MAX)
    {
        return false;
    }
    char datagram[NTRIP_RTP_HEADER + NTRIP_RTP_PAYLOAD_MAX];
    NtripBuildRtpHeader(nPayloadType, m_TxSequence++, static_cast<uint32_t>(m_RtpClock.elapsed()), m_RtpSession,
                        datagram);
    if (n > 0)
    {
        std::memcpy(datagram + NTRIP_RTP_HEADER, pPayload, static_cast<size_t>(n));
    }
    const qint64 sent = m_pUdp->writeDatagram(datagram, NTRIP_RTP_HEADER + n, m_CasterAddress, m_DataPort);
    // A request carries the login.
    std::memset(datagram, 0, static_cast<size_t>(NTRIP_RTP_HEADER + n));
    if (sent != NTRIP_RTP_HEADER + n)
    {
        return false;
    }
    if (m_eKind == KIND_UDP && (m_eState == SESSION_STREAM || m_eState == SESSION_UPLOAD))
    {
        m_pKeepAliveTimer->start(Timing().KeepAliveMs);
    }
    return true;
}

void QZvNTripPortCtrl::StartUdpSession()
{
    m_DataPort = m_TargetPort;
    if (!BindDataSocket())
    {
        EndSession(NTRIP_UDP_BIND_FAILED, QStringLiteral("cannot bind the local datagram port %1: %2")
                                              .arg(m_Session.UdpPort & 0xFFFFu)
                                              .arg(m_pUdp->errorString()));
        return;
    }
    m_RtpClock.start();
    char gga[NTRIP_GGA_MAX] = "";
    if (m_Session.ServerMode == 0 && !m_bSourceTable)
    {
        GgaOf(GetPosition(), gga);
    }
    char request[NTRIP_REQUEST_MAX];
    const int length = NtripBuildRequest(&m_Session, gga, request, sizeof(request));
    if (length < 0)
    {
        const bool bLogin = m_Session.User[0] != '\0' || m_Session.Password[0] != '\0';
        EndSession(bLogin ? NTRIP_UDP_LOGIN_TOO_LONG : NTRIP_UDP_REQUEST_TOO_LONG,
                   QStringLiteral("the request is too long"));
        return;
    }
    m_eState = SESSION_REPLY;
    const bool bSent = SendRtp(NTRIP_RTP_HTTP, request, length);
    std::memset(request, 0, sizeof(request));
    if (!bSent)
    {
        EndSession(NTRIP_UDP_SEND_FAILED, QStringLiteral("the request was not sent: %1").arg(m_pUdp->errorString()));
        return;
    }
    // Only packets taken hold the silence off.
    AwaitReply(gga);
}

void QZvNTripPortCtrl::SendRtspSetup()
{
    char gga[NTRIP_GGA_MAX] = "";
    GgaOf(GetPosition(), gga);
    char request[NTRIP_RTSP_REQUEST_MAX];
    m_CSeq = 1;
    const int length = NtripBuildRtspRequest(&m_Session, NTRIP_RTSP_SETUP, m_CSeq, 0, m_pUdp->localPort(), gga, request,
                                             sizeof(request));
    if (length < 0)
    {
        EndSession(-length, QStringLiteral("the request is too long"));
        return;
    }
    m_eState = SESSION_REPLY;
    const qint64 written = m_pSocket->write(request, length);
    std::memset(request, 0, sizeof(request));
    if (written != length)
    {
        EndSession(NTRIP_RTSP_SEND_FAILED,
                   QStringLiteral("the request was not sent: %1").arg(m_pSocket->errorString()));
        return;
    }
    AwaitReply(gga);
}

bool QZvNTripPortCtrl::SendRtspRequest(NTRIP_RTSP_REQUEST_E eRequest)
{
    char request[NTRIP_RTSP_REQUEST_MAX];
    const int length =
        NtripBuildRtspRequest(&m_Session, eRequest, ++m_CSeq, m_RtpSession, 0, nullptr, request, sizeof(request));
    return length > 0 && m_pSocket->write(request, length) == length;
}

void QZvNTripPortCtrl::TakeRtspControl(const QByteArray& Data)
{
    m_bControlHeard = true;
    if (m_eState != SESSION_REPLY && m_eState != SESSION_RTSP_PLAY)
    {
        // While the stream plays, the answers to the keep-alives say that
        // the caster is there; what they hold is not needed.
        return;
    }
    m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
    m_Reply.append(Data);
    const bool bSetup = m_eState == SESSION_REPLY;
    NTRIP_RTSP_REPLY_T reply;
    const int result = NtripCheckRtspReply(m_Reply.constData(), m_Reply.size(), bSetup ? 1 : 0, &reply);
    if (result == NTRIP_REPLY_INCOMPLETE)
    {
        return;
    }
    if (result != 0)
    {
        EndRefused(result, reply.Status != 200 ? reply.Status : 0, QString::fromLatin1(reply.Reason));
        return;
    }
    m_Reply.remove(0, reply.HeaderLength);
    if (bSetup)
    {
        m_RtpSession = reply.Session;
        m_bRtspSetUp = true;
        m_DataPort = static_cast<quint16>(reply.ServerPort);
        m_RtpClock.start();
        // An empty packet first, so that a NAT on the way lets the caster's in.
        if (m_Session.InitUdp != 0 && !SendRtp(NTRIP_RTP_DATA, nullptr, 0))
        {
            EndSession(NTRIP_RTSP_SEND_FAILED,
                       QStringLiteral("the first data packet was not sent: %1").arg(m_pUdp->errorString()));
            return;
        }
        m_eState = SESSION_RTSP_PLAY;
        if (!SendRtspRequest(NTRIP_RTSP_PLAY))
        {
            EndSession(NTRIP_RTSP_SEND_FAILED, QStringLiteral("PLAY was not sent: %1").arg(m_pSocket->errorString()));
            return;
        }
        m_pReplyTimer->start(Timing().ReplyDeadlineMs);
        return;
    }
    m_pReplyTimer->stop();
    m_pSilenceTimer->stop();
    m_Reply.clear();
    m_eState = SESSION_STREAM;
    m_StreamClock.start();
    m_EmptyPolls = 0;
    m_bControlHeard = false;
    m_pKeepAliveTimer->start(Timing().KeepAliveMs);
    m_pPollTimer->start(Timing().ControlPollMs);
    qCDebug(lcPorts, "Ntrip RTSP: session %u plays from port %u", m_RtpSession, m_DataPort);
}

void QZvNTripPortCtrl::OnControlPoll()
{
    if (m_eKind != KIND_RTSP || m_eState != SESSION_STREAM)
    {
        return;
    }
    if (m_bControlHeard)
    {
        m_bControlHeard = false;
        m_EmptyPolls = 0;
        return;
    }
    if (++m_EmptyPolls > kEmptyPollsMax)
    {
        EndSession(
            NTRIP_TIMED_OUT,
            QStringLiteral("nothing on the control connection for %1 ms").arg(m_EmptyPolls * Timing().ControlPollMs));
    }
}

void QZvNTripPortCtrl::OnKeepAlive()
{
    if (m_eState != SESSION_STREAM && m_eState != SESSION_UPLOAD)
    {
        return;
    }
    if (m_eKind == KIND_RTSP)
    {
        if (!SendRtspRequest(NTRIP_RTSP_GET_PARAMETER))
        {
            EndSession(NTRIP_RTSP_SEND_FAILED,
                       QStringLiteral("the keep-alive was not sent: %1").arg(m_pSocket->errorString()));
            return;
        }
        m_pKeepAliveTimer->start(Timing().KeepAliveMs);
        return;
    }
    if (m_eKind == KIND_UDP && !SendRtp(NTRIP_RTP_DATA, nullptr, 0))
    {
        EndSession(NTRIP_UDP_KEEPALIVE_FAILED,
                   QStringLiteral("the keep-alive was not sent: %1").arg(m_pUdp->errorString()));
    }
}

void QZvNTripPortCtrl::TearDownRtsp()
{
    if (!m_bRtspSetUp || m_pSocket->state() != QAbstractSocket::ConnectedState)
    {
        return;
    }
    m_bRtspSetUp = false;
    // Unread answers would make the close a reset.
    m_pSocket->readAll();
    if (SendRtspRequest(NTRIP_RTSP_TEARDOWN))
    {
        m_pSocket->flush();
        qCDebug(lcPorts, "Ntrip RTSP: session %u torn down", m_RtpSession);
    }
}

void QZvNTripPortCtrl::EndRefused(int nResult, int nStatus, const QString& sReason)
{
    m_RefusedStatus = nStatus;
    EndSession(nResult, sReason);
}

void QZvNTripPortCtrl::OnDatagrams()
{
    // A datagram that ends the session closes the socket.
    for (int k = 0; k < kDatagramsPerTurn && m_pUdp != nullptr && m_pUdp->state() == QAbstractSocket::BoundState &&
                    m_pUdp->hasPendingDatagrams();
         ++k)
    {
        const qint64 size = m_pUdp->pendingDatagramSize();
        m_Datagram.resize(static_cast<int>(qBound<qint64>(1, size, kDatagramMax)));
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 n = m_pUdp->readDatagram(m_Datagram.data(), m_Datagram.size(), &from, &fromPort);
        if (n < 0)
        {
            break;
        }
        TakeDatagram(m_Datagram.constData(), static_cast<int>(n), from, fromPort);
    }
}

void QZvNTripPortCtrl::DropDatagram(const char* pWhy)
{
    ++m_DroppedDatagrams;
    if (m_SessionDropped++ == 0)
    {
        qCDebug(lcPorts, "Ntrip: a datagram dropped, %s", pWhy);
    }
}

void QZvNTripPortCtrl::TakeDatagram(const char* pData, int n, const QHostAddress& From, quint16 nFromPort)
{
    if (nFromPort != m_DataPort || !From.isEqual(m_CasterAddress, QHostAddress::ConvertV4MappedToIPv4))
    {
        DropDatagram("not from the caster");
        return;
    }
    NTRIP_RTP_T packet;
    if (NtripParseRtp(pData, n, &packet) != 0)
    {
        DropDatagram("not an RTP packet");
        return;
    }
    switch (m_eState)
    {
    case SESSION_REPLY:
        if (m_eKind == KIND_UDP && packet.PayloadType == NTRIP_RTP_HTTP)
        {
            TakeUdpReply(packet);
            return;
        }
        break;
    case SESSION_RTSP_PLAY: // the stream may come before the answer to PLAY
    case SESSION_STREAM:
        if (m_bSourceTable)
        {
            if (packet.PayloadType == NTRIP_RTP_HTTP)
            {
                if (!NtripRtpTake(&m_ReplyTrack, packet.Sequence, packet.Timestamp))
                {
                    DropDatagram("a repeat or out of order");
                    return;
                }
                m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
                TakeUdpTable(packet.pPayload, packet.PayloadLength);
                return;
            }
            break;
        }
        if (packet.PayloadType == NTRIP_RTP_DATA)
        {
            TakeRtpData(packet);
            return;
        }
        if (m_eKind == KIND_UDP && packet.PayloadType == NTRIP_RTP_END)
        {
            if (packet.Session != m_RtpSession)
            {
                DropDatagram("of another session");
                return;
            }
            EndSession(NTRIP_UDP_ENDED, QStringLiteral("the caster ended the session"));
            return;
        }
        break;
    case SESSION_UPLOAD:
        if (packet.PayloadType == NTRIP_RTP_END && packet.Session == m_RtpSession)
        {
            EndSession(NTRIP_UDP_ENDED, QStringLiteral("the caster ended the session"));
        }
        // Anything else the caster sends while it takes the upload is not needed.
        return;
    default:
        break;
    }
    DropDatagram("not one the session expects now");
}

void QZvNTripPortCtrl::TakeRtpData(const NTRIP_RTP_T& Packet)
{
    if (Packet.Session != m_RtpSession)
    {
        ++m_ForeignPackets;
        DropDatagram("of another session");
        return;
    }
    if (Packet.PayloadLength == 0)
    {
        // The caster's keep-alive.
        if (m_eKind == KIND_UDP)
        {
            m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
        }
        return;
    }
    if (!NtripRtpTake(&m_DataTrack, Packet.Sequence, Packet.Timestamp))
    {
        DropDatagram("a repeat or out of order");
        return;
    }
    m_ForeignPackets = 0;
    if (m_eKind == KIND_UDP)
    {
        m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
    }
    NtripWriteData(Packet.pPayload, Packet.PayloadLength);
    m_bFailureReported = false;
}

void QZvNTripPortCtrl::TakeUdpReply(const NTRIP_RTP_T& Packet)
{
    if (!NtripRtpTake(&m_ReplyTrack, Packet.Sequence, Packet.Timestamp))
    {
        DropDatagram("a repeat or out of order");
        return;
    }
    m_pSilenceTimer->start(Timing().SilenceTimeoutMs);
    m_Reply.append(Packet.pPayload, Packet.PayloadLength);
    NTRIP_UDP_REPLY_T reply;
    const int result = NtripCheckUdpReply(&m_Session, m_Reply.constData(), m_Reply.size(), &reply);
    if (result == NTRIP_REPLY_INCOMPLETE)
    {
        return;
    }
    if (result != 0)
    {
        EndRefused(result, NtripResultHttpStatus(result), QString::fromLatin1(reply.Reason));
        return;
    }
    const QByteArray header = m_Reply.left(reply.HeaderLength);
    const QByteArray rest = m_Reply.mid(reply.HeaderLength);
    m_Reply.clear();
    m_pReplyTimer->stop();
    m_StreamClock.start();
    if (m_Session.ServerMode != 0)
    {
        m_RtpSession = reply.HasSession != 0 ? reply.Session : 0;
        m_eState = SESSION_UPLOAD;
        m_pSilenceTimer->stop();
        m_pKeepAliveTimer->start(Timing().KeepAliveMs);
        qCDebug(lcPorts, "Ntrip server: the caster takes the upload over UDP");
        return;
    }
    m_eState = SESSION_STREAM;
    if (m_bSourceTable)
    {
        // The table is shown with the caster's header, as over TCP.
        m_TableLength = reply.ContentLength;
        m_TableRead = 0;
        NtripWriteData(header.constData(), header.size());
        TakeUdpTable(rest.constData(), rest.size());
        return;
    }
    // The stream comes in data packets; nothing after the reply's header belongs to it.
    m_RtpSession = reply.Session;
    m_pKeepAliveTimer->start(Timing().KeepAliveMs);
    qCDebug(lcPorts, "Ntrip over UDP: session %u", m_RtpSession);
}

void QZvNTripPortCtrl::TakeUdpTable(const char* pData, int n)
{
    const qint64 bound = qMin<qint64>(m_TableLength, Timing().MaxSourceTableBytes);
    const qint64 take = qMin<qint64>(n, bound - m_TableRead);
    if (take > 0)
    {
        NtripWriteData(pData, static_cast<int>(take));
        m_TableRead += take;
    }
    if (m_TableRead >= m_TableLength)
    {
        EndSession(NTRIP_OK, QString());
        return;
    }
    if (m_TableRead >= bound)
    {
        EndSession(NTRIP_UDP_TABLE_SHORT,
                   QStringLiteral("source table longer than %1 bytes, cut").arg(Timing().MaxSourceTableBytes));
    }
}

void QZvNTripPortCtrl::UploadOverUdp(const QByteArray& Data)
{
    for (int at = 0; at < Data.size(); at += kUploadBlock)
    {
        const int n = qMin(kUploadBlock, Data.size() - at);
        char chunks[NTRIP_RTP_PAYLOAD_MAX];
        const int length = NtripChunkEncode(Data.constData() + at, n, chunks, sizeof(chunks));
        if (SendRtp(NTRIP_RTP_DATA, chunks, length))
        {
            m_bUdpSendFull = false;
            continue;
        }
        if (m_pUdp->error() != QAbstractSocket::TemporaryError)
        {
            EndSession(NTRIP_UDP_SEND_FAILED, QStringLiteral("the upload was not sent: %1").arg(m_pUdp->errorString()));
            return;
        }
        // The system's send buffer is full: the rest of these bytes is dropped.
        if (!m_bUdpSendFull)
        {
            qCDebug(lcPorts, "Ntrip upload over UDP: the network does not keep up, bytes dropped");
        }
        m_bUdpSendFull = true;
        return;
    }
}
