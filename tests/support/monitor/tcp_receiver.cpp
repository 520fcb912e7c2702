#include "tcp_receiver.h"

#include <QDeadlineTimer>
#include <QSignalSpy>

#include "upgrade_frames.h"

CTcpReceiver::CTcpReceiver(const QByteArray& Prompt) : m_Prompt(Prompt)
{
    connect(&m_Server, &QTcpServer::newConnection, this, &CTcpReceiver::OnNewConnection);
}

QByteArray CTcpReceiver::PropertyReply() const
{
    return "version\r\n<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:0123456789,F:1F\r\n"
           "<VERSION OK\r\n" +
           m_Prompt + "netconfig\r\n<NETCONFIG\r\nNETCONFIG STATIC 192.168.1.20 255.255.255.0\r\n<NETCONFIG OK\r\n";
}

quint16 CTcpReceiver::Listen(quint16 nPort)
{
    return m_Server.listen(QHostAddress::LocalHost, nPort) ? m_Server.serverPort() : 0;
}

void CTcpReceiver::Close()
{
    m_Server.close();
    DropClient();
}

void CTcpReceiver::DropClient()
{
    if (m_pClient)
    {
        m_pClient->abort();
        m_pClient->deleteLater();
    }
}

void CTcpReceiver::Send(const QByteArray& Data)
{
    if (m_pClient)
    {
        m_pClient->write(Data);
    }
}

bool CTcpReceiver::WaitFor(const QByteArray& Text, int nMs)
{
    QDeadlineTimer deadline(nMs);
    QSignalSpy spy(this, &CTcpReceiver::SignalData);
    while (!m_Received.contains(Text))
    {
        if (deadline.hasExpired() || !spy.wait(static_cast<int>(deadline.remainingTime())))
        {
            return m_Received.contains(Text);
        }
    }
    return true;
}

bool CTcpReceiver::WaitForConnections(int nCount, int nMs)
{
    QDeadlineTimer deadline(nMs);
    QSignalSpy spy(&m_Server, &QTcpServer::newConnection);
    while (m_Connections < nCount)
    {
        if (deadline.hasExpired() || !spy.wait(static_cast<int>(deadline.remainingTime())))
        {
            return m_Connections >= nCount;
        }
    }
    return true;
}

void CTcpReceiver::OnNewConnection()
{
    while (QTcpSocket* pSocket = m_Server.nextPendingConnection())
    {
        DropClient();
        m_pClient = pSocket;
        ++m_Connections;
        m_QueryStream.clear();
        m_FrameStream.clear();
        m_bUpgrading = false;
        connect(pSocket, &QTcpSocket::readyRead, this, &CTcpReceiver::OnReadyRead);
        connect(pSocket, &QTcpSocket::disconnected, this,
                [this]
                {
                    ++m_Disconnections;
                    emit SignalData();
                });
    }
}

void CTcpReceiver::OnReadyRead()
{
    if (!m_pClient || (m_bUpgrading && m_eReply == STOP_READING))
    {
        return;
    }
    const QByteArray data = m_pClient->readAll();
    m_Received += data;
    m_QueryStream += data;
    if (m_QueryStream.contains("version\r\nnetconfig\r\n"))
    {
        m_QueryStream.clear();
        m_pClient->write(PropertyReply() + m_AfterReply);
    }
    if (data.contains("SET UPGRADEPORT 6"))
    {
        m_bUpgrading = true;
        if (m_eReply == STOP_READING)
        {
            // Qt stops taking bytes from the kernel once this buffer is full.
            m_pClient->setReadBufferSize(4096);
        }
    }
    m_FrameStream += data;
    for (const QByteArray& frame : TakeImageFrames(&m_FrameStream))
    {
        m_Frames.append(frame);
        if (m_eReply == REPLY_EACH_FRAME)
        {
            const uint16_t index =
                static_cast<uint16_t>(static_cast<uint8_t>(frame[18]) | (static_cast<uint8_t>(frame[19]) << 8));
            m_pClient->write(BuildUpgradeTextFrame(1, index, frame.mid(8, 8), "OK"));
        }
    }
    emit SignalData();
}
