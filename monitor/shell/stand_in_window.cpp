#include "monitor/shell/stand_in_window.h"

#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

CStandInWindow::CStandInWindow(const char* pTitle, QWidget* pParent)
    : QDialog(pParent), m_pTitle(pTitle), m_pTitleLabel(new QLabel(this)), m_pTextLabel(new QLabel(this))
{
    QFont font = m_pTitleLabel->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    m_pTitleLabel->setFont(font);
    m_pTitleLabel->setObjectName(QStringLiteral("StandInTitle"));
    m_pTextLabel->setObjectName(QStringLiteral("StandInText"));
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(24, 24, 24, 24);
    pLayout->addWidget(m_pTitleLabel, 0, Qt::AlignHCenter);
    pLayout->addWidget(m_pTextLabel, 0, Qt::AlignHCenter);
    pLayout->addStretch();
    OnLanguageUpdate();
    m_Calls.clear();
}

void CStandInWindow::OnLanguageUpdate()
{
    Note("OnLanguageUpdate");
    const QString sTitle = QCoreApplication::translate("CStandInWindow", m_pTitle);
    setWindowTitle(sTitle);
    m_pTitleLabel->setText(sTitle);
    m_pTextLabel->setText(tr("This window is not built yet."));
}

void CStandInWindow::OnShowDialog()
{
    Note("OnShowDialog");
    show();
    raise();
    activateWindow();
}

void CStandInWindow::Note(const char* pSlot) { ++m_Calls[QLatin1String(pSlot)]; }
