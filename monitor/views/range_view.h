// The range observation table: the latest range observations of the current
// port, one row per tracked signal (PRN, signal, C/N0, lock time, phase and
// code lock, carrier phase, pseudorange and Doppler with their standard
// deviations, tracking status, GLONASS frequency), from the port's stored
// RANGE, BASERANGE, RANGECMP or RANGECMP4 log, with counts per system and
// signal above it.
//
// The table shows the observations the port's receive road expanded from the
// latest log of the chosen kind (CRangeObservations), read through the port
// tab set: it expands nothing itself and writes nothing into the store. A log
// that gave no observations (a broken RANGECMP4 chain, a log that does not
// read) leaves the table empty; one without observations leaves it as it is.
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
#include <vector>

#include "codec/range_logs.h"

class CPortTab;
class QComboBox;
class QLabel;
class QTableView;
struct RANGE_OBS_SET_T;

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
    void ShowObservations(const std::vector<RANGE_OBS_T>& Obs);
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

    // What the table shows: the port, the source log and which of its logs
    // (the count of that kind's logs the port has taken).
    uint m_PortID = 0;
    uint16_t m_SourceId = 0;
    uint32_t m_SourceUpdates = 0;
    bool m_bShown = false;
};
