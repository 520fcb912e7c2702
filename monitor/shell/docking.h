// The monitor's docking layer: the movable windows around the port tabs, the
// central container that holds the tabs, two ready-made arrangements and the
// saved layout. It sits on QMainWindow and QDockWidget.
//
// Windows are registered under the action that shows them (title, area, icon,
// object name); registering again, as every language change does, replaces
// the record and never adds a dock. A dock is made the first time its window
// is shown, or when a saved layout is loaded: loading makes an empty dock for
// every saved name and announces it with dockWidgetCreated, so that the
// program puts its own window object back into it (the layout is restored
// before the windows are filled, as Qt needs the docks to exist first).
//
// GUI thread only.
#pragma once

#include <QAction>
#include <QByteArray>
#include <QDockWidget>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QProxyStyle>
#include <QString>
#include <QWidget>
#include <utility>

class QVBoxLayout;

namespace Flex
{
// Kinds of container that createFlexWidget makes.
enum ViewMode
{
    // A container embedded in the central area; the port tabs live in it.
    CentralView = 6,
};

// The main window that holds the docks (null before one was set).
QMainWindow* window();
// Window flags of a new container: embedded, not a window of its own.
Qt::WindowFlags widgetFlags();
} // namespace Flex

// One dock: a movable, floatable frame around one registered window.
class DockWidget : public QDockWidget
{
    Q_OBJECT

public:
    explicit DockWidget(const QString& sObjName, QWidget* pParent = nullptr);

    // Takes the window out of the dock and returns it: it becomes a hidden
    // child of the main window, so that destroying the dock spares it.
    QWidget* detachWidget();
};

// A container of the central area; the container "M" holds the port tabs.
class FlexWidget : public QWidget
{
    Q_OBJECT

public:
    FlexWidget(Flex::ViewMode eKind, QWidget* pParent, Qt::WindowFlags Flags);

    Flex::ViewMode viewMode() const { return m_eKind; }
    // Puts the port tab set into the container.
    void addWindowSet(QWidget* pWindowSet);

private:
    Flex::ViewMode m_eKind;
    QVBoxLayout* m_pLayout;
};

// The registration record of one dockable window.
struct FLEX_DIAG_PROPERTY_T
{
    QPointer<QWidget> pWidget;
    QString sWindowTitle;
    Qt::DockWidgetAreas DockArea = Qt::AllDockWidgetAreas;
    QIcon WindowIcon;
    QString sObjName;
};

class FlexManager : public QObject
{
    Q_OBJECT

public:
    // Version of the saved layout's byte format.
    static constexpr quint32 LAYOUT_VERSION = 1;
    // The largest layout file read: a saved layout takes a few kilobytes.
    static constexpr qint64 LAYOUT_FILE_MAX_BYTES = 1024 * 1024;

    // Where the layout is kept: the settings file of organisation "QtGuider"
    // and application "QtFlex5" in the user's configuration folder, key "Flex".
    static QString LayoutFilePath();

    // The single manager of the program.
    static FlexManager* instance();

    // The main window the docks belong to; the central host sets it.
    void setWindow(QMainWindow* pWindow);
    QMainWindow* window() const { return m_pWindow; }

    // Stores (or replaces) the record of the window that pAction shows.
    void ActionDialogPropertyRegister(QAction* pAction, QWidget* pWidget, const QString& sWindowTitle,
                                      Qt::DockWidgetAreas DockArea, const QIcon& WindowIcon, const QString& sObjName);
    QMap<QAction*, FLEX_DIAG_PROPERTY_T> GetActDialogPropertyMap() const;
    // The record of pAction; an empty record when it has none.
    FLEX_DIAG_PROPERTY_T GetDiagProperty(QAction* pAction) const;
    QWidget* GetDiagPropertyWidget(QAction* pAction) const;
    QString GetDiagPropertyWindowTitle(QAction* pAction) const;
    Qt::DockWidgetAreas GetDiagPropertyDockArea(QAction* pAction) const;
    QIcon GetDiagPropertyWindowIcon(QAction* pAction) const;
    QString GetDiagPropertyObjName(QAction* pAction) const;

    // Puts pWidget into its dock (made on first use) and shows it; the title
    // and icon come from the widget's properties "DockWindwTitle" and
    // "DockWindowIcon", else from its record. A window allowed in every area
    // starts at the bottom when it was registered first (the command window),
    // else on the right, tabbed with the windows already there.
    DockWidget* AddFlexDock(QWidget* pWidget, Qt::DockWidgetAreas DockArea);
    // Docks take the titles and icons of their records again.
    void DiagPropertyUpdate();
    // The dock of pWidget shows sTitle.
    void SetDockWindowtitle(QWidget* pWidget, const QString& sTitle);
    // 0 "Simplify": the first registered window docked at the bottom, every
    // other dock hidden. 1 "Advance": the same, with the other docks moved to
    // the right and tabbed; then SignalShowDefaultGraphWindows asks the
    // program to show its default windows there.
    void Layout(int Mode);

    // The saved layout, empty when there is none, and also when the layout
    // file is not a regular file of at most LAYOUT_FILE_MAX_BYTES (it is not
    // read then; LayoutFileStatus says why).
    QByteArray LoadJsonFile();
    // What the last LoadJsonFile found at LayoutFilePath (a CONFIG_FILE_E).
    int LayoutFileStatus() const { return m_nLayoutFileStatus; }
    // Stores the layout; false, with nothing written, where LoadJsonFile
    // would not read (what stands there is left as it is) or the file cannot be written.
    bool SaveJsonFile(const QByteArray& Layout);
    // Re-creates the saved containers under the parents named in Parents
    // (object name to widget) and a dock for every saved window, restores
    // their places and announces each. False, with nothing changed, for
    // bytes that are not a saved layout of this version.
    bool load(const QByteArray& Data, const QMap<QString, QWidget*>& Parents);
    // Destroys docks that were restored but that no window took.
    void CleanInvalidDockWidget();
    FlexWidget* flexWidget(const QString& sName) const;
    FlexWidget* createFlexWidget(Flex::ViewMode eKind, QWidget* pParent, Qt::WindowFlags Flags, const QString& sName);
    // The layout as bytes: containers, docks and the main window's dock state.
    QByteArray save() const;
    // Closes and destroys every dock; their windows survive, detached.
    void close();

    // The dock that holds pWidget, or null.
    DockWidget* dockWidget(const QWidget* pWidget) const;
    QList<DockWidget*> dockWidgets() const;

signals:
    void flexWidgetCreated(FlexWidget* pFlexWidget);
    void dockWidgetCreated(DockWidget* pDockWidget);
    void flexWidgetDestroying(FlexWidget* pFlexWidget);
    void dockWidgetDestroying(DockWidget* pDockWidget);
    void SignalAddFlexDockWidgetFinished(DockWidget* pDockWidget);
    void SignalShowDefaultGraphWindows();
    void SignalLayoutChanged();
    // Emitted by the program while a dock is destroyed: the dock no longer holds pWidget.
    void SignalFlexDockDestroyed(QWidget* pWidget);

private:
    FlexManager();
    void OnFlexDockDestroyed(QWidget* pWidget);
    int RecordIndex(const QAction* pAction) const;
    int RecordIndexOfWidget(const QWidget* pWidget) const;
    DockWidget* DockByName(const QString& sObjName) const;
    DockWidget* NewDock(const QString& sObjName);
    // Places a dock that is not yet in any area.
    void PlaceDock(DockWidget* pDock, Qt::DockWidgetAreas DockArea, bool bConsole);
    void DestroyDock(DockWidget* pDock);

    QPointer<QMainWindow> m_pWindow;
    // Records in registration order.
    QList<std::pair<QPointer<QAction>, FLEX_DIAG_PROPERTY_T>> m_Records;
    QList<QPointer<DockWidget>> m_Docks;
    QList<QPointer<FlexWidget>> m_Containers;
    int m_nLayoutFileStatus = 0;
};

// The application style of the monitor.
class FlexStyle : public QProxyStyle
{
    Q_OBJECT

public:
    FlexStyle();
};
