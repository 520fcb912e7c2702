// The main window's status bar: for the port of the current tab what the port
// is, whether and where it is logged, its receive rate, the receiver's
// firmware, board, answering port and IP address (a link to its web page),
// the data view's display mode and whether the view is paused. A reload
// button asks the port to query the receiver again; a right click on a label
// offers "Copy". GUI thread only.
#pragma once

#include <QStatusBar>
#include <QString>
#include <cstdint>

#include "monitor/ports/port_ctrl_base.h"

class CPortTab;
class QLabel;
class QPushButton;

class QZvStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    // Parts of the status bar that a refresh renews (a bit mask).
    enum REFRESH_TYPE_E : uint32_t
    {
        REFRESH_LOG = 0x1,
        REFRESH_PORT = 0x2,
        REFRESH_RATE = 0x4,
        REFRESH_PAUSE = 0x10,
        REFRESH_FIRMWARE = 0x20,
        REFRESH_RECV_PORT = 0x40,
        REFRESH_IP = 0x400,
        REFRESH_DISPLAY_MODE = 0x800,
        REFRESH_ALL = 0xFFFFFFFF,
    };
    Q_ENUM(REFRESH_TYPE_E)

    explicit QZvStatusBar(QWidget* pParent = nullptr);

    // The port tab set whose current port is shown; set by the main window, not owned.
    void SetPortTab(CPortTab* pPortTab) { m_pPortTab = pPortTab; }

    // A byte count as "%d Bytes", "%0.2f KB", "%0.2f MB" or "%0.2f GB".
    static QString FormatByteCount(uint32_t n);
    // The same for counts beyond 4 GiB (replays of long recordings).
    static QString FormatByteCount(quint64 n);
    // The description of a caster connection.
    static QString NtripPortText(const NTRIP_CONFIG_T& Config, double dLatitude, double dLongitude);

    bool eventFilter(QObject* pObj, QEvent* pEvent) override;

public slots:
    // Renews the parts named by the bits of m_RefreshType; 0 clears the port,
    // logging, log file and rate labels.
    void OnUpdateStatusBar(QZvPortCtrlBase* pPortCtrl, uint m_RefreshType);
    // With bit REFRESH_PAUSE: the pause label follows the current data view.
    // pObjGUI is the main window; the port tab set given to the status bar is
    // the main window's.
    void OnUpdateGUIStatus(void* pObjGUI, uint RefreshType);
    // Copies the text of the label last right-clicked.
    void OnCopyLabelContent2ClipBoard();

signals:
    // A left press on the reload button.
    void SignalRecheckPortProperty();
    // Every IP refresh: whether the receiver's web page can be visited.
    void SignalSetActionWebServerVisible(bool bVisible);

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    void ApplyTexts();
    void RefreshPort(QZvPortCtrlBase* pPortCtrl);
    void RefreshIp(const PORT_PROPERTY_T& Property);
    void RefreshDisplayMode();
    static QString DisplayModeText(const QString& sMode);
    void OnIpLinkActivated(const QString& sLink);

    QLabel* m_pPortLabel;
    QLabel* m_pLogStateLabel;
    QLabel* m_pLogFileLabel;
    QLabel* m_pRateLabel;
    QLabel* m_pPauseLabel;
    QLabel* m_pFirmwareLabel;
    QLabel* m_pRecvPortLabel;
    QLabel* m_pIPLabel;
    QLabel* m_pDisplayModeLabel;
    QPushButton* m_pReloadButton;
    QObject* m_pCurLabel = nullptr;
    CPortTab* m_pPortTab = nullptr;
    bool m_bIpLink = false;
};
