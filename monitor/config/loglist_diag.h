// The log list window: the logs a receiver outputs, one row per log with its
// output port, name, trigger and period, as its log list reply gives them,
// whatever the names (a log this program does not know is listed too). It
// asks the current port's receiver when it opens and on " Refresh", and only
// that port's reply fills it. A header click sorts by the column, ascending
// and descending in turn; periods sort as numbers.
#pragma once

#include <QDialog>
#include <QStringList>

class CPortTab;
class QLabel;
class QPushButton;
class QTableWidget;

class QLoglistDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QLoglistDiag(QWidget* pParent = nullptr);
    ~QLoglistDiag() override;

    const CPortTab* m_pPortTab = nullptr; // set by the main window

    // The port the window last asked; 0 when none.
    uint PortID() const { return m_PortID; }

signals:
    // The log list query (Mask 4) for the port in tab portindex.
    void SignalSendLoglistMask(uint portindex, uint Mask);

public slots:
    // Fills the table from the log list reply of the port asked.
    void OnUpdateDiag();
    void OnShowDialog();
    void OnLanguageUpdate();
    // Asks the current port's receiver for its log list.
    void OnRefressh();
    void SendLoglistaCmd();
    void sort(int col);

private:
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pPortTabName = nullptr;
    QPushButton* m_pRefresh = nullptr;
    QStringList m_HeaderLabels;
    bool m_bAscending = true;
    uint m_PortID = 0;
};
