// The port layer's traces: quiet but for warnings until switched on, and the
// bytes exchanged with a receiver in a trace only while zv.ports.data is on.
#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>
#include <gtest/gtest.h>

#include "monitor/ports/mdns/mdns_log.h"
#include "monitor/ports/ports_log.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"

namespace
{
QStringList g_Traces; // "category|message"
QMutex g_TracesMutex;   // traces come from the ports' threads too

void Collect(QtMsgType, const QMessageLogContext& Context, const QString& sMessage)
{
    QMutexLocker lock(&g_TracesMutex);
    g_Traces << QString::fromLatin1(Context.category) + QLatin1Char('|') + sMessage;
}

// The traces written while a TCP port reads its receiver's property reply.
QStringList TracesOfAPropertyQuery(const QString& sRules)
{
    QLoggingCategory::setFilterRules(sRules);
    g_Traces.clear();
    const QtMessageHandler previous = qInstallMessageHandler(Collect);
    {
        FakeReceiver rx;
        EXPECT_NE(rx.Listen(), 0);
        PortPtr port = OpenTcpPort(rx);
        EXPECT_TRUE(WaitUntil([&] { return port->IsPropertyValid(); }));
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    QMutexLocker lock(&g_TracesMutex);
    return g_Traces;
}
} // namespace

TEST(PortsLog, EveryCategoryIsQuietButForWarningsUntilSwitchedOn)
{
    for (const QLoggingCategory* pCategory : {&lcPorts(), &lcPortsData(), &lcPortsUsb(), &lcMdns()})
    {
        SCOPED_TRACE(pCategory->categoryName());
        EXPECT_FALSE(pCategory->isDebugEnabled());
        EXPECT_FALSE(pCategory->isInfoEnabled());
        EXPECT_TRUE(pCategory->isWarningEnabled());
    }
}

TEST(PortsLog, ReceivedBytesAreTracedOnlyWhileTheirCategoryIsOn)
{
    // What the receiver answers, as it would show up in a trace.
    const QString sReply = QStringLiteral("NETCONFIG");
    const QStringList quiet = TracesOfAPropertyQuery(QString());
    EXPECT_TRUE(quiet.filter(sReply).isEmpty()) << quiet.join('\n').toStdString();

    const QStringList traced = TracesOfAPropertyQuery(QStringLiteral("zv.ports.data.debug=true"));
    EXPECT_FALSE(traced.filter(QStringLiteral("zv.ports.data|")).filter(sReply).isEmpty())
        << traced.join('\n').toStdString();
    // Only that category: the port's other traces stay off.
    EXPECT_TRUE(traced.filter(QStringLiteral("zv.ports|")).isEmpty()) << traced.join('\n').toStdString();
}
