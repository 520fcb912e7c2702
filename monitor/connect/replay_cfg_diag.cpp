#include "monitor/connect/replay_cfg_diag.h"

#include <QFileInfo>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/ports/file_port_ctrl.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/connect/port_tab_calls.h"
#include "ui_ReplayCfgDiag.h"

namespace
{
// Replay ticks of the speed list's entries, in its order.
const uint32_t SPEED_TICKS_MS[] = {50, 100, 200, 300, 400, 500, 1000};
} // namespace

QReplayCfgDiag::QReplayCfgDiag(QWidget* pParent) : QDialog(pParent), m_pUi(std::make_unique<Ui::ReplayCfgDiag>())
{
    m_pUi->setupUi(this);
    for (uint32_t n = REF_POS_GGA; n <= REF_POS_INSPVAX; ++n)
        m_pUi->ComboPosMsgType->addItem(QString::fromLatin1(RefPosMsgTypeName(n)));
    FillSpeedList();
    connect(m_pUi->ReplayFileBrowser, &QPushButton::released, this, &QReplayCfgDiag::OnSetReplayFilename);
    connect(m_pUi->ReplayButton, &QPushButton::released, this, &QReplayCfgDiag::OnSetReplay);
    connect(m_pUi->CancelButton, &QPushButton::released, this, &QDialog::close);
}

QReplayCfgDiag::~QReplayCfgDiag() = default;

void QReplayCfgDiag::FillSpeedList()
{
    // The entries are replay ticks in milliseconds. Each keeps its number
    // beside its text, so that a translated text never changes the tick.
    m_SpeedList = QStringList{tr("50"), tr("100"), QStringLiteral("200"), tr("300"), tr("400"), tr("500"), tr("1000")};
    const int nIndex = m_pUi->ComboReplaySpeed->currentIndex();
    m_pUi->ComboReplaySpeed->clear();
    for (int i = 0; i < m_SpeedList.size(); ++i)
        m_pUi->ComboReplaySpeed->addItem(m_SpeedList[i], SPEED_TICKS_MS[i]);
    m_pUi->ComboReplaySpeed->setCurrentIndex(nIndex >= 0 ? nIndex : SelectSpeed(100));
}

int QReplayCfgDiag::SelectSpeed(uint32_t nTickMs) const { return m_pUi->ComboReplaySpeed->findData(nTickMs); }

void QReplayCfgDiag::OnSetReplayFilename()
{
    const QString sPath = MonitorPrompt()->OpenFileName(this, tr("Log file config"), QString(),
                                                        tr("Logs (*.log *.bin *.txt);;Any files(*.*)"));
    m_pUi->ReplayFilePathEdit->setText(sPath);
    m_pUi->ReplayFilePathEdit->setToolTip(sPath);
}

void QReplayCfgDiag::ShowDiag()
{
    m_FileSize = 0;
    QZvPortCtrlBase* pCtrl = PortTabCurPortCtrl(m_pPortTab);
    auto* pReplay =
        pCtrl && pCtrl->PortType == QZvPortCtrlBase::PORT_TYPE_REPLAY ? static_cast<QZvFilePortCtrl*>(pCtrl) : nullptr;
    if (!pReplay)
    {
        m_pUi->ReplayFilePathEdit->setEnabled(true);
        m_pUi->ReplayFileBrowser->setEnabled(true);
        m_pUi->ComboPosMsgType->setCurrentIndex(REF_POS_GGA);
        m_pUi->ComboReplaySpeed->setCurrentIndex(SelectSpeed(100));
    }
    else
    {
        const REPLAY_CONFIG_T config = pReplay->GetReplayConfig();
        m_pUi->ReplayFilePathEdit->setText(config.FilePath);
        m_pUi->ReplayFilePathEdit->setToolTip(config.FilePath);
        m_pUi->ReplayFilePathEdit->setEnabled(false);
        m_pUi->ReplayFileBrowser->setEnabled(false);
        m_pUi->ComboPosMsgType->setCurrentIndex(static_cast<int>(config.PositionMessageType));
        m_pUi->ComboReplaySpeed->setCurrentIndex(SelectSpeed(config.Speed));
    }
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    show();
}

void QReplayCfgDiag::Warn(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Open replay file error"), sText);
}

void QReplayCfgDiag::OnSetReplay()
{
    // The path is used as typed: a Linux path keeps its case and its "/".
    const QString sPath = m_pUi->ReplayFilePathEdit->text();
    if (sPath.isEmpty())
    {
        Warn(tr("File path can not be empty!"));
        return;
    }
    const QFileInfo info(sPath);
    if (!info.exists())
    {
        Warn(tr("the File does not exist!"));
        return;
    }
    if (!info.isFile())
    {
        Warn(tr("it is not a file!"));
        return;
    }
    m_ReplayConfig.FilePath = sPath;
    m_ReplayConfig.FileName = info.fileName();
    m_FileSize = info.size();
    m_ReplayConfig.StartOffset = static_cast<int64_t>(m_pUi->ReplayStartPoint->value()) * m_FileSize / 100;
    m_ReplayConfig.PositionMessageType = static_cast<uint32_t>(qMax(0, m_pUi->ComboPosMsgType->currentIndex()));
    m_ReplayConfig.Speed = m_pUi->ComboReplaySpeed->currentData().toUInt();
    emit SignalConnect(QZvPortCtrlBase::PORT_TYPE_REPLAY, &m_ReplayConfig);
    close();
}

void QReplayCfgDiag::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    FillSpeedList();
}
