#include "monitor/shell/docking.h"

#include <QAction>
#include <QDataStream>
#include <QDir>
#include <QMainWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QVBoxLayout>

#include "monitor/ports/config_file.h"
#include "monitor/shell/shell_log.h"

namespace
{
constexpr quint32 kLayoutMagic = 0x5A564658u; // "ZVFX"
// More entries than any saved layout holds: the count is damaged.
constexpr qint32 kMaxEntries = 1024;

// One area when DockArea names exactly one, else none.
Qt::DockWidgetArea SingleArea(Qt::DockWidgetAreas DockArea)
{
    for (Qt::DockWidgetArea eArea :
         {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea, Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea})
    {
        if (DockArea == eArea)
            return eArea;
    }
    return Qt::NoDockWidgetArea;
}

struct SAVED_CONTAINER_T
{
    QString sName;
    qint32 Kind = 0;
    QString sParent;
};
} // namespace

QMainWindow* Flex::window() { return FlexManager::instance()->window(); }

Qt::WindowFlags Flex::widgetFlags() { return Qt::Widget; }

DockWidget::DockWidget(const QString& sObjName, QWidget* pParent) : QDockWidget(pParent) { setObjectName(sObjName); }

QWidget* DockWidget::detachWidget()
{
    QWidget* pWidget = widget();
    if (pWidget == nullptr)
        return nullptr;
    QWidget* pOwner = Flex::window() ? Flex::window() : parentWidget();
    pWidget->hide();
    // Leaving the dock removes the window from the dock's layout as well.
    pWidget->setParent(pOwner);
    return pWidget;
}

FlexWidget::FlexWidget(Flex::ViewMode eKind, QWidget* pParent, Qt::WindowFlags Flags)
    : QWidget(pParent, Flags), m_eKind(eKind), m_pLayout(new QVBoxLayout(this))
{
    m_pLayout->setContentsMargins(0, 0, 0, 0);
}

void FlexWidget::addWindowSet(QWidget* pWindowSet)
{
    m_pLayout->addWidget(pWindowSet);
    pWindowSet->show();
}

FlexManager::FlexManager()
{
    connect(this, &FlexManager::SignalFlexDockDestroyed, this, &FlexManager::OnFlexDockDestroyed);
}

FlexManager* FlexManager::instance()
{
    static FlexManager manager;
    return &manager;
}

void FlexManager::setWindow(QMainWindow* pWindow)
{
    if (pWindow == m_pWindow)
        return;
    // The docks and containers of another window stay with that window.
    m_Docks.clear();
    m_Containers.clear();
    m_pWindow = pWindow;
}

void FlexManager::ActionDialogPropertyRegister(QAction* pAction, QWidget* pWidget, const QString& sWindowTitle,
                                               Qt::DockWidgetAreas DockArea, const QIcon& WindowIcon,
                                               const QString& sObjName)
{
    if (pAction == nullptr)
        return;
    FLEX_DIAG_PROPERTY_T record;
    record.pWidget = pWidget;
    record.sWindowTitle = sWindowTitle;
    record.DockArea = DockArea;
    record.WindowIcon = WindowIcon;
    record.sObjName = sObjName;
    const int i = RecordIndex(pAction);
    if (i >= 0)
    {
        m_Records[i].second = record;
        return;
    }
    // Records of actions that are gone go with them.
    for (int k = m_Records.size() - 1; k >= 0; --k)
    {
        if (m_Records.at(k).first.isNull())
            m_Records.removeAt(k);
    }
    m_Records.append({QPointer<QAction>(pAction), record});
}

QMap<QAction*, FLEX_DIAG_PROPERTY_T> FlexManager::GetActDialogPropertyMap() const
{
    QMap<QAction*, FLEX_DIAG_PROPERTY_T> map;
    for (const auto& entry : m_Records)
    {
        if (!entry.first.isNull())
            map.insert(entry.first.data(), entry.second);
    }
    return map;
}

FLEX_DIAG_PROPERTY_T FlexManager::GetDiagProperty(QAction* pAction) const
{
    const int i = RecordIndex(pAction);
    return i >= 0 ? m_Records.at(i).second : FLEX_DIAG_PROPERTY_T{};
}

QWidget* FlexManager::GetDiagPropertyWidget(QAction* pAction) const { return GetDiagProperty(pAction).pWidget; }

QString FlexManager::GetDiagPropertyWindowTitle(QAction* pAction) const
{
    return GetDiagProperty(pAction).sWindowTitle;
}

Qt::DockWidgetAreas FlexManager::GetDiagPropertyDockArea(QAction* pAction) const
{
    return GetDiagProperty(pAction).DockArea;
}

QIcon FlexManager::GetDiagPropertyWindowIcon(QAction* pAction) const { return GetDiagProperty(pAction).WindowIcon; }

QString FlexManager::GetDiagPropertyObjName(QAction* pAction) const { return GetDiagProperty(pAction).sObjName; }

int FlexManager::RecordIndex(const QAction* pAction) const
{
    for (int i = 0; i < m_Records.size(); ++i)
    {
        if (pAction != nullptr && m_Records.at(i).first == pAction)
            return i;
    }
    return -1;
}

int FlexManager::RecordIndexOfWidget(const QWidget* pWidget) const
{
    for (int i = 0; i < m_Records.size(); ++i)
    {
        if (!m_Records.at(i).first.isNull() && pWidget != nullptr && m_Records.at(i).second.pWidget == pWidget)
            return i;
    }
    return -1;
}

DockWidget* FlexManager::dockWidget(const QWidget* pWidget) const
{
    for (const QPointer<DockWidget>& pDock : m_Docks)
    {
        if (!pDock.isNull() && pWidget != nullptr && pDock->widget() == pWidget)
            return pDock;
    }
    return nullptr;
}

QList<DockWidget*> FlexManager::dockWidgets() const
{
    QList<DockWidget*> docks;
    for (const QPointer<DockWidget>& pDock : m_Docks)
    {
        if (!pDock.isNull())
            docks.append(pDock);
    }
    return docks;
}

DockWidget* FlexManager::DockByName(const QString& sObjName) const
{
    for (const QPointer<DockWidget>& pDock : m_Docks)
    {
        if (!pDock.isNull() && pDock->objectName() == sObjName)
            return pDock;
    }
    return nullptr;
}

DockWidget* FlexManager::NewDock(const QString& sObjName)
{
    auto* pDock = new DockWidget(sObjName, m_pWindow);
    m_Docks.append(pDock);
    return pDock;
}

void FlexManager::PlaceDock(DockWidget* pDock, Qt::DockWidgetAreas DockArea, bool bConsole)
{
    pDock->setAllowedAreas(DockArea);
    Qt::DockWidgetArea eArea = SingleArea(DockArea);
    if (eArea == Qt::NoDockWidgetArea)
        eArea = bConsole ? Qt::BottomDockWidgetArea : Qt::RightDockWidgetArea;
    if (eArea == Qt::RightDockWidgetArea)
    {
        // Windows on the right share one group of tabs.
        for (DockWidget* pOther : dockWidgets())
        {
            if (pOther != pDock && !pOther->isFloating() && m_pWindow->dockWidgetArea(pOther) == eArea)
            {
                m_pWindow->tabifyDockWidget(pOther, pDock);
                return;
            }
        }
    }
    m_pWindow->addDockWidget(eArea, pDock);
}

DockWidget* FlexManager::AddFlexDock(QWidget* pWidget, Qt::DockWidgetAreas DockArea)
{
    if (m_pWindow.isNull() || pWidget == nullptr)
        return nullptr;
    const int iRecord = RecordIndexOfWidget(pWidget);
    DockWidget* pDock = dockWidget(pWidget);
    if (pDock == nullptr)
    {
        const QString sObjName = iRecord >= 0 ? m_Records.at(iRecord).second.sObjName : pWidget->objectName();
        // A dock restored from the saved layout and still empty keeps its place.
        pDock = DockByName(sObjName);
        if (pDock == nullptr || pDock->widget() != nullptr)
        {
            pDock = NewDock(sObjName);
            PlaceDock(pDock, DockArea, iRecord == 0);
        }
        pDock->setWidget(pWidget);
    }
    QString sTitle = pWidget->property("DockWindwTitle").toString();
    QIcon icon = pWidget->property("DockWindowIcon").value<QIcon>();
    if (sTitle.isEmpty())
        sTitle = iRecord >= 0 ? m_Records.at(iRecord).second.sWindowTitle : pWidget->windowTitle();
    if (icon.isNull() && iRecord >= 0)
        icon = m_Records.at(iRecord).second.WindowIcon;
    pDock->setWindowTitle(sTitle);
    pDock->setWindowIcon(icon);
    pWidget->show();
    pDock->show();
    pDock->raise();
    emit SignalAddFlexDockWidgetFinished(pDock);
    return pDock;
}

void FlexManager::DiagPropertyUpdate()
{
    for (const auto& entry : m_Records)
    {
        if (entry.first.isNull())
            continue;
        const FLEX_DIAG_PROPERTY_T& record = entry.second;
        DockWidget* pDock = dockWidget(record.pWidget);
        if (pDock == nullptr)
            pDock = DockByName(record.sObjName);
        if (pDock == nullptr)
            continue;
        pDock->setWindowTitle(record.sWindowTitle);
        pDock->setWindowIcon(record.WindowIcon);
    }
}

void FlexManager::SetDockWindowtitle(QWidget* pWidget, const QString& sTitle)
{
    if (DockWidget* pDock = dockWidget(pWidget))
        pDock->setWindowTitle(sTitle);
}

void FlexManager::Layout(int Mode)
{
    if (m_pWindow.isNull())
        return;
    QWidget* pConsole = nullptr;
    for (const auto& entry : m_Records)
    {
        if (!entry.first.isNull())
        {
            pConsole = entry.second.pWidget;
            break;
        }
    }
    DockWidget* pFirstRight = nullptr;
    for (DockWidget* pDock : dockWidgets())
    {
        if (pConsole != nullptr && pDock->widget() == pConsole)
            continue;
        pDock->hide();
        if (Mode != 1)
            continue;
        pDock->setFloating(false);
        m_pWindow->removeDockWidget(pDock);
        if (pFirstRight == nullptr)
        {
            m_pWindow->addDockWidget(Qt::RightDockWidgetArea, pDock);
            pFirstRight = pDock;
        }
        else
        {
            m_pWindow->tabifyDockWidget(pFirstRight, pDock);
        }
        pDock->hide();
    }
    if (pConsole != nullptr)
    {
        DockWidget* pDock = dockWidget(pConsole);
        if (pDock != nullptr)
        {
            pDock->setFloating(false);
            m_pWindow->removeDockWidget(pDock);
            m_pWindow->addDockWidget(Qt::BottomDockWidgetArea, pDock);
            pDock->show();
        }
        else
        {
            const FLEX_DIAG_PROPERTY_T& record = m_Records.at(RecordIndexOfWidget(pConsole)).second;
            AddFlexDock(pConsole, record.DockArea);
        }
    }
    if (Mode == 1)
        emit SignalShowDefaultGraphWindows();
}

QString FlexManager::LayoutFilePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("QtGuider/QtFlex5.conf"));
}

QByteArray FlexManager::LoadJsonFile()
{
    const QString sPath = LayoutFilePath();
    m_nLayoutFileStatus = CheckConfigFile(sPath, LAYOUT_FILE_MAX_BYTES);
    if (m_nLayoutFileStatus != CONFIG_FILE_OK)
        return QByteArray();
    // Settings named by their file read that file alone, after it was examined.
    return QSettings(sPath, QSettings::IniFormat).value(QStringLiteral("Flex")).toByteArray();
}

bool FlexManager::SaveJsonFile(const QByteArray& Layout)
{
    const QString sPath = LayoutFilePath();
    const int nStatus = CheckConfigFile(sPath, LAYOUT_FILE_MAX_BYTES);
    if (nStatus != CONFIG_FILE_OK && nStatus != CONFIG_FILE_MISSING)
        return false;
    QSettings settings(sPath, QSettings::IniFormat);
    settings.setValue(QStringLiteral("Flex"), Layout);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool FlexManager::load(const QByteArray& Data, const QMap<QString, QWidget*>& Parents)
{
    if (m_pWindow.isNull())
        return false;
    QDataStream in(Data);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 magic = 0;
    quint32 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kLayoutMagic || version != LAYOUT_VERSION)
        return false;
    // Lists are read item by item: a damaged count must not reserve memory.
    qint32 nContainers = 0;
    in >> nContainers;
    if (nContainers < 0 || nContainers > kMaxEntries)
        return false;
    QList<SAVED_CONTAINER_T> containers;
    for (qint32 i = 0; i < nContainers && in.status() == QDataStream::Ok; ++i)
    {
        SAVED_CONTAINER_T container;
        in >> container.sName >> container.Kind >> container.sParent;
        containers.append(container);
    }
    qint32 nDocks = 0;
    in >> nDocks;
    if (nDocks < 0 || nDocks > kMaxEntries)
        return false;
    QStringList docks;
    for (qint32 i = 0; i < nDocks && in.status() == QDataStream::Ok; ++i)
    {
        QString sName;
        in >> sName;
        docks.append(sName);
    }
    QByteArray state;
    in >> state;
    if (in.status() != QDataStream::Ok)
        return false;

    for (const SAVED_CONTAINER_T& container : containers)
    {
        QWidget* pParent = Parents.value(container.sParent, nullptr);
        if (pParent == nullptr || container.Kind != Flex::CentralView || flexWidget(container.sName) != nullptr)
        {
            qCDebug(lcShell, "Saved container %s not restored", qPrintable(container.sName));
            continue;
        }
        createFlexWidget(Flex::CentralView, pParent, Flex::widgetFlags(), container.sName);
    }
    QList<DockWidget*> created;
    for (const QString& sName : docks)
    {
        if (sName.isEmpty() || DockByName(sName) != nullptr)
            continue;
        DockWidget* pDock = NewDock(sName);
        m_pWindow->addDockWidget(Qt::RightDockWidgetArea, pDock);
        pDock->hide();
        created.append(pDock);
    }
    if (!m_pWindow->restoreState(state, static_cast<int>(LAYOUT_VERSION)))
        qCDebug(lcShell, "The saved places of the docks were not restored");
    for (DockWidget* pDock : created)
        emit dockWidgetCreated(pDock);
    return true;
}

void FlexManager::CleanInvalidDockWidget()
{
    for (DockWidget* pDock : dockWidgets())
    {
        if (pDock->widget() == nullptr)
            DestroyDock(pDock);
    }
}

FlexWidget* FlexManager::flexWidget(const QString& sName) const
{
    for (const QPointer<FlexWidget>& pContainer : m_Containers)
    {
        if (!pContainer.isNull() && pContainer->objectName() == sName)
            return pContainer;
    }
    return nullptr;
}

FlexWidget* FlexManager::createFlexWidget(Flex::ViewMode eKind, QWidget* pParent, Qt::WindowFlags Flags,
                                          const QString& sName)
{
    auto* pContainer = new FlexWidget(eKind, pParent, Flags);
    pContainer->setObjectName(sName);
    m_Containers.append(pContainer);
    emit flexWidgetCreated(pContainer);
    return pContainer;
}

QByteArray FlexManager::save() const
{
    if (m_pWindow.isNull())
        return {};
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << kLayoutMagic << LAYOUT_VERSION;
    QList<FlexWidget*> containers;
    for (const QPointer<FlexWidget>& pContainer : m_Containers)
    {
        if (!pContainer.isNull() && !pContainer->objectName().isEmpty())
            containers.append(pContainer);
    }
    out << static_cast<qint32>(containers.size());
    for (FlexWidget* pContainer : containers)
    {
        const QString sParent = pContainer->parentWidget() ? pContainer->parentWidget()->objectName() : QString();
        out << pContainer->objectName() << static_cast<qint32>(pContainer->viewMode()) << sParent;
    }
    QStringList docks;
    for (DockWidget* pDock : dockWidgets())
    {
        if (!pDock->objectName().isEmpty())
            docks.append(pDock->objectName());
    }
    out << static_cast<qint32>(docks.size());
    for (const QString& sName : docks)
        out << sName;
    out << m_pWindow->saveState(static_cast<int>(LAYOUT_VERSION));
    return bytes;
}

void FlexManager::DestroyDock(DockWidget* pDock)
{
    emit dockWidgetDestroying(pDock);
    // Windows belong to the program, not to the dock.
    pDock->detachWidget();
    if (!m_pWindow.isNull())
        m_pWindow->removeDockWidget(pDock);
    m_Docks.removeAll(pDock);
    delete pDock;
}

void FlexManager::close()
{
    for (DockWidget* pDock : dockWidgets())
        DestroyDock(pDock);
}

void FlexManager::OnFlexDockDestroyed(QWidget* pWidget)
{
    if (DockWidget* pDock = dockWidget(pWidget))
        pDock->detachWidget();
}

FlexStyle::FlexStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
