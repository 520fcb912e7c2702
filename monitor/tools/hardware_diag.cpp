#include "monitor/tools/hardware_diag.h"

#include "monitor/shell/port_tab.h"

QHardwareDiag::QHardwareDiag(QWidget* pParent)
    : CStandInWindow(QT_TRANSLATE_NOOP("CStandInWindow", "Hardware Test"), pParent)
{
    setObjectName(QStringLiteral("QHardwareDiag"));
}

void QHardwareDiag::OnUPdateNotBox(bool bQuiet)
{
    Note("OnUPdateNotBox");
    if (m_pPortTab != nullptr)
        m_pPortTab->SetQuietUpgradeDone(bQuiet);
}
