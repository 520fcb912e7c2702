// The range observation table: the latest range observations of the current
// port, one row per tracked signal (PRN, signal, C/N0, lock time, phase and
// code lock, carrier phase, pseudorange and Doppler with their standard
// deviations, tracking status, GLONASS frequency), from the port's stored
// RANGE, BASERANGE, RANGECMP or RANGECMP4 log, with counts per system and
// signal above it.
//
// A compressed log is expanded once per new log into the table's own buffer,
// sized for the longest RANGE log; the expansion of one port is never kept
// for another, and RANGECMP4 expands with a reference state of the port's own.
// When shown, and when another log is chosen, the table asks the current
// port for its log list; when that port's list arrives it requests the
// chosen log there, unless the receiver already outputs it on that port.
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QColor>
#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "codec/range_logs.h"

class CPortTab;
class QComboBox;
class QLabel;
class QTableView;
class QRangeData;
struct RANGECMP4_CONTEXT_T;

// The table's rows: one observation each with its system and signal name and
// its system's colour. A cell is formatted when it is shown, so a refresh
// costs the same whether the log holds ten observations or a thousand.
class CRangeTableModel : public QAbstractTableModel
{
public:
    struct ROW_T
    {
        RANGE_OBS_T Obs;
        QString Name;  // system and signal, empty for an unknown system
        QColor Colour; // invalid for an unknown system
    };

    explicit CRangeTableModel(QObject* pParent = nullptr);

    void SetRows(std::vector<ROW_T> Rows);
    void SetHeaders(const QStringList& Headers);
    // A cell's text as shown.
    QString Text(int Row, int Column) const;

    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role = Qt::DisplayRole) const override;

private:
    std::vector<ROW_T> m_Rows;
    QStringList m_Headers;
};

class QRangeView : public QDialog
{
    Q_OBJECT

public:
    explicit QRangeView(QWidget* pParent = nullptr);
    ~QRangeView() override;

    CPortTab* m_pPortTab = nullptr; // set by the main window

    enum : int
    {
        COLUMN_COUNT = 13,
    };

    // What the table shows, for the tests and the benchmark.
    QTableView* Table() const { return m_pTable; }
    const CRangeTableModel* Rows() const { return m_pModel; }
    QComboBox* LogCombo() const { return m_pLogCombo; }
    QLabel* TotalLabel() const { return m_pTotalLabel; }
    // The count label of a system ("GPS", "GLO", ...), or null.
    QLabel* CountLabel(const QString& sSystem) const;
    QLabel* SystemLabel(const QString& sSystem) const;

signals:
    void SignalSendRangeMsg(uint UniquePortID, QByteArray WriteData);
    void SignalCheckConfigSendMask(uint Mask);

public slots:
    void OnShowDialog();
    void OnSendLoglistCommand();
    void OnSendCommand();
    void OnUpdateData(void* pPortTab);
    void OnClear();
    void OnLanguageUpdate();

private:
    // The RANGE log to show for the chosen source, expanded when new; null
    // when there is nothing new to show.
    const uint8_t* SourceLog(const CPortTab* pTabs, const QRangeData* pStore, uint32_t* pLength);
    void ResetExpansion(uint UniquePortID);
    void ShowRangeLog(const uint8_t* pLog, uint32_t nLength);
    void FitColumns();
    void RetranslateUi();

    QComboBox* m_pLogCombo;
    QLabel* m_pTotalLabel;
    std::vector<QLabel*> m_SystemLabels;
    std::vector<QLabel*> m_CountLabels;
    QTableView* m_pTable;
    CRangeTableModel* m_pModel;

    // The port the log list was asked of, when the user acted.
    uint m_RequestedPortID = 0;

    // What the table shows: the port, the source log and which of its
    // copies (the store's count of that log), and the expansion of a
    // compressed log in a buffer that holds any RANGE log.
    uint m_PortID = 0;
    uint16_t m_SourceId = 0;
    uint32_t m_SourceUpdates = 0;
    bool m_bShown = false;
    std::vector<uint8_t> m_Expanded;
    uint32_t m_ExpandedLength = 0;
    // Each port's RANGECMP4 reference state and the store's count of the
    // RANGECMP4 log it last expanded.
    struct CMP4_STATE_T
    {
        std::unique_ptr<RANGECMP4_CONTEXT_T> Context;
        uint32_t Updates = 0;
    };
    std::map<uint, CMP4_STATE_T> m_Cmp4;
    // The state of a port, made empty when new; ports that have gone are forgotten.
    CMP4_STATE_T& Cmp4State(const CPortTab* pTabs, uint UniquePortID);
};
