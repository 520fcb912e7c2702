#include "monitor/shell/about_dialog.h"

#include <QEvent>
#include <QUrl>

#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "ui_CZvAboutDiag.h"
#include "zv_version.h"

// The owner's web address is still to be supplied; a reserved name stands in.
const char* const CZvAboutDiag::MAKER_URL = "https://halvorne.example/";

CZvAboutDiag::CZvAboutDiag(QWidget* pParent) : QDialog(pParent), m_pUi(new Ui::CZvAboutDiag)
{
    InitMonitorResources();
    m_pUi->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    // The logo keeps its proportions inside the label's box.
    m_pUi->label->setAlignment(Qt::AlignCenter);
    m_pUi->label->setScaledContents(false);
    m_pUi->label->setPixmap(QPixmap(QStringLiteral(":/QZorvikMonitor/Img/Halvorne.png"))
                                .scaled(m_pUi->label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    // Links open through the monitor's prompt, never by the label itself.
    m_pUi->label_2->setOpenExternalLinks(false);
    connect(m_pUi->label_2, &QLabel::linkActivated, this, &CZvAboutDiag::OnLinkActivated);
    OnLanguageUpdate();
}

CZvAboutDiag::~CZvAboutDiag() = default;

void CZvAboutDiag::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    const QString sLink = QStringLiteral("<p align=\"center\"><a href=\"%1\"><span style=\"font-size:18pt; "
                                         "text-decoration: underline; color:#0000ff;\">%2</span></a></p>")
                              .arg(QLatin1String(MAKER_URL), QStringLiteral("Halvorne"));
    const QString sYears = QStringLiteral("<p align=\"center\">%1</p>")
                               .arg(tr("ZorvikMonitor v%1, 2026").arg(QLatin1String(ZV_VERSION_TEXT)).toHtmlEscaped());
    const QString sCredits =
        QStringLiteral("<p align=\"center\">%1</p>").arg(tr("Built with Qt %1").arg(qVersion()).toHtmlEscaped());
    m_pUi->label_2->setText(sLink + sYears + sCredits);
}

void CZvAboutDiag::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        OnLanguageUpdate();
    QDialog::changeEvent(pEvent);
}

void CZvAboutDiag::OnLinkActivated(const QString& sLink) { MonitorPrompt()->OpenUrl(QUrl(sLink)); }
