// A receiver on a loopback TCP port for the TCP port's own tests, run by the
// test thread's event loop: it answers the property query, records what it is
// sent, collects firmware upgrade frames and answers them (or not), and can
// drop the connection or stop reading. Tests of what sits above the ports use
// FakeReceiver (fake_receiver.h), which answers commands and streams logs.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class CTcpReceiver : public QObject
{
    Q_OBJECT

public:
    enum UPGRADE_REPLY_E
    {
        REPLY_EACH_FRAME, // a response frame for every image frame
        REPLY_NEVER,
        STOP_READING, // takes nothing more once the upgrade starts
    };

    explicit CTcpReceiver(const QByteArray& Prompt = "[ICOM1]");

    // The property reply of this receiver (serial number "0123456789").
    QByteArray PropertyReply() const;
    quint16 Listen(quint16 nPort = 0);
    void Close();
    void DropClient();
    void Send(const QByteArray& Data);
    // Runs the event loop until the bytes received contain Text.
    bool WaitFor(const QByteArray& Text, int nMs = 20000);
    bool WaitForConnections(int nCount, int nMs = 20000);

    UPGRADE_REPLY_E m_eReply = REPLY_EACH_FRAME;
    // Sent right after the property reply, in the same write.
    QByteArray m_AfterReply;
    QByteArray m_Received; // everything, all connections
    QList<QByteArray> m_Frames;
    int m_Connections = 0;
    int m_Disconnections = 0;

signals:
    void SignalData();

private:
    void OnNewConnection();
    void OnReadyRead();

    QByteArray m_Prompt;
    QTcpServer m_Server;
    QPointer<QTcpSocket> m_pClient;
    QByteArray m_FrameStream;
    QByteArray m_QueryStream;
    bool m_bUpgrading = false;
};
