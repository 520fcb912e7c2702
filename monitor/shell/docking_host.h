// The central area of the main window and the monitor's dockable windows: the
// host widget QtCentral holds the container "M" with the port tabs; the
// eleven windows that can be docked are registered under their actions, shown
// as docks on demand, put back into the docks of a saved layout at start, and
// the layout is saved at exit.
//
// The main window's docking slots (showing a window from its action, filling
// a dock the docking layer made, releasing a dock being destroyed, placing a
// new floating container) call the static helpers below.
#pragma once

#include <QString>
#include <QWidget>

class DockWidget;
class FlexWidget;
class QAction;
class QFlexWindowSet;
class QMainWindow;

// The dockable windows in their registration order.
enum FLEX_DOCK_WINDOW_E
{
    DOCK_COMMAND_WINDOW,
    DOCK_RECEIVER_STATUS,
    DOCK_DEBUG_WINDOW,
    DOCK_MAP_WINDOW,
    DOCK_MSG_FILTER,
    DOCK_RANGE_PARSER,
    DOCK_CN0_VIEW,
    DOCK_SKY_PLOT,
    DOCK_TRACK_PLOT,
    DOCK_INS_STATUS,
    DOCK_HEIGHT_PLOT,
    DOCK_WINDOW_COUNT
};

// One dockable window: the action that shows it and the window itself.
struct FLEX_DOCK_WINDOW_T
{
    QAction* pAction = nullptr;
    QWidget* pWidget = nullptr;
};

class QtCentral : public QWidget
{
    Q_OBJECT

public:
    // The name of the central container that holds the port tabs.
    static const char* const CENTRAL_CONTAINER;

    explicit QtCentral(QMainWindow* pMainWindow);
    ~QtCentral() override;

    // The translated title of a dockable window.
    static QString DockWindowTitle(FLEX_DOCK_WINDOW_E eWindow);
    // Registers the windows with their translated titles, any dock area, the
    // window's own icon and object name; runs at start and again on every
    // language update (records are replaced, no dock is added).
    static void RegisterDockWindows(const FLEX_DOCK_WINDOW_T (&Windows)[DOCK_WINDOW_COUNT]);

    // At start: restores the saved layout, or makes a fresh container "M",
    // and puts the port tab set into "M". A saved layout without "M" still
    // gets one, so that the port tabs are never hidden. A layout file that
    // is not read (see FlexManager::LoadJsonFile) is reported.
    void LoadFlexLayout(QFlexWindowSet* pWindowSet);
    // At exit: stores the layout under QSettings("QtGuider", "QtFlex5"),
    // key "Flex" (unless a file that is not read stands there), and closes
    // every dock.
    void SaveFlexLayout();

    // Shows the window registered under pAction as a dock.
    static void ShowDockWindow(QAction* pAction);
    // A dock made by the docking layer gets the title of its record and the
    // program's own window object with the same object name.
    static void FillDock(DockWidget* pDock);
    // Takes the window out of a dock that is being destroyed; it lives on.
    static void ReleaseDock(DockWidget* pDock);
    // Shows a floating container centred on the main window.
    void CentreContainer(FlexWidget* pContainer) const;

public slots:
    void on_flexWidgetCreated(FlexWidget* pFlexWidget);
    void on_dockWidgetCreated(DockWidget* pDockWidget);
    void on_flexWidgetDestroying(FlexWidget* pFlexWidget);
    void on_dockWidgetDestroying(DockWidget* pDockWidget);

private:
    QMainWindow* m_pMainWindow;
};
