// The replay window: opens a recorded receiver log as if it were a port. The
// user picks the file, the position message, the replay tick and the point of
// the file to start from; "Replay" hands a replay record to the port manager.
// While a replay port is current the window shows that port's settings.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

#include "monitor/ports/port_ctrl_base.h"

class CPortTab;

namespace Ui
{
class ReplayCfgDiag;
}

class QReplayCfgDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QReplayCfgDiag(QWidget* pParent = nullptr);
    ~QReplayCfgDiag() override;

    REPLAY_CONFIG_T m_ReplayConfig; // the record SignalConnect points to
    CPortTab* m_pPortTab = nullptr; // set by the main window
    qint64 m_FileSize = 0;          // size of the file last started

signals:
    // Always PORT_TYPE_REPLAY and &m_ReplayConfig, read during the emission.
    void SignalConnect(QZvPortCtrlBase::PORT_TYPE_E PortType, void* pDataSet);

public slots:
    void OnSetReplayFilename();
    void ShowDiag();
    void OnSetReplay();
    void OnLanguageUpdate();

private:
    void Warn(const QString& sText);
    void FillSpeedList();
    // Index of the speed entry of that tick, or -1.
    int SelectSpeed(uint32_t nTickMs) const;

    QStringList m_SpeedList;
    std::unique_ptr<Ui::ReplayCfgDiag> m_pUi;
};
