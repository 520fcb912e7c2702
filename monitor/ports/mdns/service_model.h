// The receivers found on the local network, one row each: the table behind
// the port list dialog's "Web List". The model browses for the receivers'
// web service type on the dialog's mDNS server, resolves each receiver's host
// name and shows its board properties from the TXT attributes. GUI thread only.
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHostAddress>
#include <QList>

#include "monitor/ports/mdns/mdns_browser.h"
#include "monitor/ports/mdns/mdns_cache.h"

namespace Mdns
{
class Resolver;
class Server;
} // namespace Mdns

// The service type under which receivers announce their web interface.
constexpr char MDNS_RECEIVER_SERVICE_TYPE[] = "_Zorvik_http._tcp.local.";

class ServiceModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum COLUMN_E
    {
        COLUMN_ROW = 0,
        COLUMN_HOST_NAME = 1,
        COLUMN_BOARD_TYPE = 2,
        COLUMN_IP = 3,
        COLUMN_VERSION = 4,
        COLUMN_PRODUCT_ID = 5,
        COLUMN_SN = 6,
    };

    ServiceModel(Mdns::Server* pServer, const QByteArray& ServiceType, QObject* pParent = nullptr);
    ~ServiceModel() override;

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role = Qt::DisplayRole) const override;

    // Forgets every receiver and asks the network again.
    void Refresh();
    // Pauses or resumes the browser's and the resolvers' queries and the cache's expiry.
    void FlipStop(bool bPause);
    Mdns::Browser* GetBrowser() { return &m_Browser; }

public slots:
    void onServiceAdded(const Mdns::Service& Service);
    void onServiceUpdated(const Mdns::Service& Service);
    void onServiceRemoved(const Mdns::Service& Service);

private:
    // Each row keeps its own resolver and address, so that an address always
    // lands in the row of the host it belongs to.
    struct ROW_T
    {
        Mdns::Service Service;
        Mdns::Resolver* pResolver = nullptr;
        QHostAddress Address;
    };

    int FindRow(const Mdns::Service& Service) const;
    Mdns::Resolver* StartResolver(const QByteArray& HostName);
    void FreeResolver(Mdns::Resolver* pResolver);
    void OnResolved(Mdns::Resolver* pResolver, const QHostAddress& Address);

    Mdns::Server* m_pServer;
    QByteArray m_ServiceType;
    Mdns::Cache m_Cache;
    Mdns::Browser m_Browser;
    QList<ROW_T> m_Rows;
    bool m_bPaused = false;
};
