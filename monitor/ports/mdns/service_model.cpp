#include "monitor/ports/mdns/service_model.h"

#include "monitor/ports/mdns/mdns_log.h"
#include "monitor/ports/mdns/mdns_resolver.h"

namespace
{
const char* const HEADERS[] = {
    "",
    QT_TRANSLATE_NOOP("ServiceModel", "Host name"),
    QT_TRANSLATE_NOOP("ServiceModel", "Board Type"),
    QT_TRANSLATE_NOOP("ServiceModel", "IP"),
    QT_TRANSLATE_NOOP("ServiceModel", "Version"),
    QT_TRANSLATE_NOOP("ServiceModel", "Product ID"),
    QT_TRANSLATE_NOOP("ServiceModel", "SN"),
};
constexpr int HEADER_COUNT = sizeof(HEADERS) / sizeof(HEADERS[0]);
} // namespace

ServiceModel::ServiceModel(Mdns::Server* pServer, const QByteArray& ServiceType, QObject* pParent)
    : QAbstractTableModel(pParent), m_pServer(pServer), m_ServiceType(ServiceType), m_Cache(this),
      m_Browser(pServer, ServiceType, &m_Cache, this)
{
    connect(&m_Browser, &Mdns::Browser::serviceAdded, this, &ServiceModel::onServiceAdded);
    connect(&m_Browser, &Mdns::Browser::serviceUpdated, this, &ServiceModel::onServiceUpdated);
    connect(&m_Browser, &Mdns::Browser::serviceRemoved, this, &ServiceModel::onServiceRemoved);
}

ServiceModel::~ServiceModel()
{
    for (ROW_T& row : m_Rows)
        delete row.pResolver;
}

int ServiceModel::rowCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : m_Rows.size(); }

int ServiceModel::columnCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : HEADER_COUNT; }

QVariant ServiceModel::data(const QModelIndex& Index, int Role) const
{
    if (Role != Qt::DisplayRole || !Index.isValid() || Index.row() >= m_Rows.size())
        return {};
    const ROW_T& row = m_Rows[Index.row()];
    const QMap<QByteArray, QByteArray> attributes = row.Service.attributes();
    const auto attribute = [&attributes](const char* pKey) -> QVariant
    {
        const auto it = attributes.constFind(pKey);
        if (it == attributes.constEnd())
            return {};
        return QString::fromUtf8(it.value().constData(), it.value().size());
    };
    switch (Index.column())
    {
    case COLUMN_ROW:
        return Index.row() + 1;
    case COLUMN_HOST_NAME:
        return QString::fromUtf8(row.Service.name().constData(), row.Service.name().size());
    case COLUMN_BOARD_TYPE:
        return attribute("BoardType");
    case COLUMN_IP:
        return row.Address.isNull() ? QVariant() : QVariant(row.Address.toString());
    case COLUMN_VERSION:
        return attribute("Version");
    case COLUMN_PRODUCT_ID:
        return attribute("ProductID");
    case COLUMN_SN:
        return attribute("SN");
    default:
        return {};
    }
}

QVariant ServiceModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    if (Orientation != Qt::Horizontal || Section < 0 || Section >= HEADER_COUNT)
        return {};
    return tr(HEADERS[Section]);
}

int ServiceModel::FindRow(const Mdns::Service& Service) const
{
    // By the whole instance name: another instance whose name reads the same
    // (a first label alike) is another receiver, or an impostor.
    const QByteArray instance = Service.instanceName();
    for (int i = 0; i < m_Rows.size(); ++i)
    {
        if (MdnsSameName(m_Rows[i].Service.instanceName(), instance))
            return i;
    }
    return -1;
}

Mdns::Resolver* ServiceModel::StartResolver(const QByteArray& HostName)
{
    auto* pResolver = new Mdns::Resolver(m_pServer, HostName, &m_Cache, this);
    connect(pResolver, &Mdns::Resolver::resolved, this,
            [this, pResolver](const QHostAddress& Address) { OnResolved(pResolver, Address); });
    return pResolver;
}

void ServiceModel::FreeResolver(Mdns::Resolver* pResolver)
{
    if (!pResolver)
        return;
    qCDebug(lcMdns, "Free Resolver %d", Mdns::Resolver::InstanceCount());
    pResolver->Stop();
    delete pResolver;
}

void ServiceModel::OnResolved(Mdns::Resolver* pResolver, const QHostAddress& Address)
{
    for (int i = 0; i < m_Rows.size(); ++i)
    {
        ROW_T& row = m_Rows[i];
        if (row.pResolver != pResolver)
            continue;
        // A receiver usually has an IPv4 and an IPv6 address; its web page is
        // opened on the IPv4 one when there is one.
        const bool bIPv4 = Address.protocol() == QAbstractSocket::IPv4Protocol;
        if (!row.Address.isNull() && !bIPv4 && row.Address.protocol() == QAbstractSocket::IPv4Protocol)
            return;
        row.Address = Address;
        emit dataChanged(index(i, COLUMN_IP), index(i, COLUMN_IP), {Qt::DisplayRole});
        return;
    }
}

void ServiceModel::onServiceAdded(const Mdns::Service& Service)
{
    if (Service.type() != m_ServiceType)
    {
        qCDebug(lcMdns) << "MDNS:unwanted service " << Service.type() << " Name " << Service.name();
        return;
    }
    if (FindRow(Service) >= 0)
    {
        qCDebug(lcMdns) << "Duplicated name" << Service.name() << Service.type() << Service.hostname();
        return;
    }
    qCDebug(lcMdns) << "name" << Service.name() << Service.type() << Service.hostname();
    beginInsertRows(QModelIndex(), m_Rows.size(), m_Rows.size());
    m_Rows.append(ROW_T{Service, StartResolver(Service.hostname()), QHostAddress()});
    m_Rows.last().pResolver->FlipStop(m_bPaused);
    endInsertRows();
}

void ServiceModel::onServiceUpdated(const Mdns::Service& Service)
{
    const int i = FindRow(Service);
    if (i < 0)
        return;
    ROW_T& row = m_Rows[i];
    // A receiver that moved to another host name needs a new resolver; the
    // old one would keep filling in the old host's address.
    if (!MdnsSameName(row.Service.hostname(), Service.hostname()))
    {
        FreeResolver(row.pResolver);
        row.pResolver = StartResolver(Service.hostname());
        row.pResolver->FlipStop(m_bPaused);
        row.Address = QHostAddress();
    }
    row.Service = Service;
    emit dataChanged(index(i, COLUMN_HOST_NAME), index(i, COLUMN_SN), {Qt::DisplayRole});
}

void ServiceModel::onServiceRemoved(const Mdns::Service& Service)
{
    const int i = FindRow(Service);
    if (i < 0)
        return;
    beginRemoveRows(QModelIndex(), i, i);
    const ROW_T row = m_Rows.takeAt(i);
    FreeResolver(row.pResolver);
    endRemoveRows();
    // The row numbers of the rows after it moved up.
    if (i < m_Rows.size())
        emit dataChanged(index(i, COLUMN_ROW), index(m_Rows.size() - 1, COLUMN_ROW), {Qt::DisplayRole});
}

void ServiceModel::Refresh()
{
    beginResetModel();
    m_Cache.Clear();
    m_Browser.Refresh();
    for (ROW_T& row : m_Rows)
        FreeResolver(row.pResolver);
    m_Rows.clear();
    endResetModel();
}

void ServiceModel::FlipStop(bool bPause)
{
    m_Cache.FlipStop(bPause);
    m_Browser.FlipStop(bPause);
    // Hosts still unresolved would go on asking the network.
    for (ROW_T& row : m_Rows)
        row.pResolver->FlipStop(bPause);
    m_bPaused = bPause;
}
