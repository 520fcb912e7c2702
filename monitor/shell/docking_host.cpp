#include "monitor/shell/docking_host.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QVariant>

#include "monitor/ports/config_file.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/flex_window_set.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/shell_log.h"

namespace
{
const char* const kDockTitles[DOCK_WINDOW_COUNT] = {
    QT_TRANSLATE_NOOP("QtCentral", "Command Window"), QT_TRANSLATE_NOOP("QtCentral", "Receiver Status"),
    QT_TRANSLATE_NOOP("QtCentral", "Debug Window"),   QT_TRANSLATE_NOOP("QtCentral", "Map Window"),
    QT_TRANSLATE_NOOP("QtCentral", "Msg Filter"),     QT_TRANSLATE_NOOP("QtCentral", "Range Parser"),
    QT_TRANSLATE_NOOP("QtCentral", "CN0 View"),       QT_TRANSLATE_NOOP("QtCentral", "Sky Plot"),
    QT_TRANSLATE_NOOP("QtCentral", "Track Plot"),     QT_TRANSLATE_NOOP("QtCentral", "INS status"),
    QT_TRANSLATE_NOOP("QtCentral", "Height Plot"),
};
} // namespace

const char* const QtCentral::CENTRAL_CONTAINER = "M";

QtCentral::QtCentral(QMainWindow* pMainWindow) : QWidget(pMainWindow), m_pMainWindow(pMainWindow)
{
    setObjectName(QStringLiteral("Central"));
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    FlexManager* pManager = FlexManager::instance();
    pManager->setWindow(pMainWindow);
    connect(pManager, &FlexManager::flexWidgetCreated, this, &QtCentral::on_flexWidgetCreated);
    connect(pManager, &FlexManager::dockWidgetCreated, this, &QtCentral::on_dockWidgetCreated);
    connect(pManager, &FlexManager::flexWidgetDestroying, this, &QtCentral::on_flexWidgetDestroying);
    connect(pManager, &FlexManager::dockWidgetDestroying, this, &QtCentral::on_dockWidgetDestroying);
}

QtCentral::~QtCentral() { qCDebug(lcShell, "QtCentral destructor"); }

QString QtCentral::DockWindowTitle(FLEX_DOCK_WINDOW_E eWindow)
{
    if (eWindow < 0 || eWindow >= DOCK_WINDOW_COUNT)
        return {};
    return QCoreApplication::translate("QtCentral", kDockTitles[eWindow]);
}

void QtCentral::RegisterDockWindows(const FLEX_DOCK_WINDOW_T (&Windows)[DOCK_WINDOW_COUNT])
{
    FlexManager* pManager = FlexManager::instance();
    for (int i = 0; i < DOCK_WINDOW_COUNT; ++i)
    {
        QWidget* pWidget = Windows[i].pWidget;
        if (Windows[i].pAction == nullptr || pWidget == nullptr)
            continue;
        // A saved layout finds its docks by this name.
        const QString sObjName = pWidget->objectName().isEmpty()
                                     ? QString::fromLatin1(pWidget->metaObject()->className())
                                     : pWidget->objectName();
        pManager->ActionDialogPropertyRegister(Windows[i].pAction, pWidget,
                                               DockWindowTitle(static_cast<FLEX_DOCK_WINDOW_E>(i)),
                                               Qt::AllDockWidgetAreas, pWidget->windowIcon(), sObjName);
    }
}

void QtCentral::LoadFlexLayout(QFlexWindowSet* pWindowSet)
{
    FlexManager* pManager = FlexManager::instance();
    const QString sCentral = QString::fromLatin1(CENTRAL_CONTAINER);
    FlexWidget* pCentral = nullptr;
    const QByteArray data = pManager->LoadJsonFile();
    const int nFileStatus = pManager->LayoutFileStatus();
    if (nFileStatus != CONFIG_FILE_OK && nFileStatus != CONFIG_FILE_MISSING)
    {
        // The monitor is starting: the box does not wait.
        MonitorPrompt()->Inform(
            m_pMainWindow, QMessageBox::Warning, tr("Warning"),
            tr("The docking layout cannot be read from %1: %2. The default layout is used, and "
               "the file is left as it is.")
                .arg(FlexManager::LayoutFilePath(), ConfigFileReason(nFileStatus, FlexManager::LAYOUT_FILE_MAX_BYTES)),
            tr("OK"), QString(), {});
    }
    if (!data.isEmpty())
    {
        QMap<QString, QWidget*> parents;
        parents.insert(objectName(), this);
        parents.insert(m_pMainWindow->objectName(), Flex::window());
        if (!pManager->load(data, parents))
            qCWarning(lcShell, "The saved docking layout is not readable; the default layout is used");
        pManager->CleanInvalidDockWidget();
        pCentral = pManager->flexWidget(sCentral);
        if (pCentral != nullptr)
        {
            QLayoutItem* pFirst = layout()->count() > 0 ? layout()->takeAt(0) : nullptr;
            delete pFirst;
            static_cast<QHBoxLayout*>(layout())->insertWidget(0, pCentral);
        }
        else
        {
            qCDebug(lcShell, "Central FlexWidget is Not exist in Flex Layout Json File !!!");
        }
    }
    if (pCentral == nullptr)
    {
        pCentral = pManager->createFlexWidget(Flex::CentralView, this, Flex::widgetFlags(), sCentral);
        layout()->addWidget(pCentral);
    }
    if (pWindowSet != nullptr)
        pCentral->addWindowSet(pWindowSet);
}

void QtCentral::SaveFlexLayout()
{
    FlexManager* pManager = FlexManager::instance();
    pManager->SaveJsonFile(pManager->save());
    pManager->close();
}

void QtCentral::ShowDockWindow(QAction* pAction)
{
    FlexManager* pManager = FlexManager::instance();
    const FLEX_DIAG_PROPERTY_T record = pManager->GetDiagProperty(pAction);
    if (record.pWidget.isNull())
    {
        qCDebug(lcShell, "No Valid QWidget Corresponding wigt QAction");
        return;
    }
    record.pWidget->setProperty("DockWindwTitle", record.sWindowTitle);
    record.pWidget->setProperty("DockWindowIcon", record.WindowIcon);
    pManager->AddFlexDock(record.pWidget, record.DockArea);
}

void QtCentral::FillDock(DockWidget* pDock)
{
    if (pDock == nullptr)
        return;
    const QMap<QAction*, FLEX_DIAG_PROPERTY_T> records = FlexManager::instance()->GetActDialogPropertyMap();
    for (const FLEX_DIAG_PROPERTY_T& record : records)
    {
        if (record.sObjName != pDock->objectName())
            continue;
        pDock->setWindowTitle(record.sWindowTitle);
        pDock->setWindowIcon(record.WindowIcon);
        if (record.pWidget.isNull())
            continue;
        if (pDock->widget() == record.pWidget)
        {
            qCDebug(lcShell, "Dock Inner Widget is Already exist !!!");
            continue;
        }
        pDock->setWidget(record.pWidget);
        record.pWidget->show();
    }
}

void QtCentral::ReleaseDock(DockWidget* pDock)
{
    if (pDock == nullptr)
        return;
    if (QWidget* pWidget = pDock->widget())
    {
        pDock->detachWidget();
        emit FlexManager::instance()->SignalFlexDockDestroyed(pWidget);
    }
}

void QtCentral::CentreContainer(FlexWidget* pContainer) const
{
    if (pContainer == nullptr)
        return;
    pContainer->show();
    // Containers embedded in the central area are placed by its layout.
    if (!pContainer->isWindow())
        return;
    QRect frame = pContainer->frameGeometry();
    frame.moveCenter(m_pMainWindow->frameGeometry().center());
    pContainer->move(frame.topLeft());
}

void QtCentral::on_flexWidgetCreated(FlexWidget* pFlexWidget)
{
    if (pFlexWidget == nullptr)
        return;
    qCDebug(lcShell, "on_flexWidgetCreated : Name %s", qPrintable(pFlexWidget->objectName()));
    if (pFlexWidget->objectName() == QLatin1String(CENTRAL_CONTAINER))
        pFlexWidget->show();
}

void QtCentral::on_dockWidgetCreated(DockWidget*) {}

void QtCentral::on_flexWidgetDestroying(FlexWidget*) {}

void QtCentral::on_dockWidgetDestroying(DockWidget*) {}
