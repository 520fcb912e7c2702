#include "monitor/views/web/highlight_diag.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QIcon>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "monitor/shell/shell_log.h"

static void InitHelpPageResources() { Q_INIT_RESOURCE(web_pages); }

QFHighLightDiag::QFHighLightDiag(QWidget* pParent)
    : QDialog(pParent), m_pViewLayout(new QVBoxLayout), HighLightWidget(new QWidget(this))
{
    static const bool bResources = (InitHelpPageResources(), true);
    (void)bResources;
    setObjectName(QStringLiteral("QFHighLightDiag"));
    setWindowTitle(tr("Highlight"));
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/HighLight.png")));
    resize(1168, 802);
    setMinimumWidth(500);
    setContextMenuPolicy(Qt::PreventContextMenu);
    HighLightWidget->setObjectName(QStringLiteral("HighLightWidget"));
    HighLightWidget->setGeometry(0, 0, 1161, 791);
    HighLightWidget->setMinimumSize(0, 0);
    HighLightWidget->setContextMenuPolicy(Qt::PreventContextMenu);
    m_pViewLayout->setContentsMargins(0, 0, 0, 0);
}

QFHighLightDiag::~QFHighLightDiag()
{
    if (m_pView != nullptr)
    {
        delete m_pView;
        qCDebug(lcWindows, "quit");
    }
    // Installed on HighLightWidget once a view was made, else still ours.
    if (HighLightWidget->layout() != m_pViewLayout)
        delete m_pViewLayout;
}

QUrl QFHighLightDiag::PageUrl(const QString& sLanguage)
{
    return QUrl(sLanguage == QLatin1String("zh") ? QStringLiteral("qrc:/Web/HighLight2/QHighLight_zh.html")
                                                 : QStringLiteral("qrc:/Web/HighLight2/QHighLight_en.html"));
}

void QFHighLightDiag::OnShowDialog()
{
    show();
    raise();
    activateWindow();
    m_bOpen = true;
    OnWindowVisible();
}

void QFHighLightDiag::OnWindowVisible()
{
    if (!m_bOpen)
    {
        if (m_pView != nullptr)
        {
            m_pViewLayout->removeWidget(m_pView);
            delete m_pView;
            m_pView = nullptr;
            qCDebug(lcWindows, "close windows");
        }
        return;
    }
    if (m_pView == nullptr)
    {
        m_pView = new QWebEngineView(HighLightWidget);
        m_pView->setObjectName(QStringLiteral("HighLightView"));
        m_pView->setContextMenuPolicy(Qt::PreventContextMenu);
        m_pViewLayout->addWidget(m_pView);
        if (HighLightWidget->layout() == nullptr)
            HighLightWidget->setLayout(m_pViewLayout);
        m_pView->show();
    }
    m_pView->load(PageUrl(m_sCurLange));
}

void QFHighLightDiag::OnLanguageUpdate(QString CurLange)
{
    m_sCurLange = CurLange;
    setWindowTitle(tr("Highlight"));
    if (m_pView != nullptr && (CurLange == QLatin1String("zh") || CurLange == QLatin1String("en")))
        m_pView->load(PageUrl(CurLange));
}

void QFHighLightDiag::closeEvent(QCloseEvent* pEvent)
{
    m_bOpen = false;
    OnWindowVisible();
    QDialog::closeEvent(pEvent);
}

void QFHighLightDiag::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    const QSize size(qMax(0, width() - 10), qMax(0, height() - 10));
    HighLightWidget->setMinimumSize(size);
    HighLightWidget->setMaximumSize(size);
}

void QFHighLightDiag::hideEvent(QHideEvent* pEvent)
{
    QDialog::hideEvent(pEvent);
    if (pEvent->spontaneous() || !m_bOpen)
        return;
    m_bOpen = false;
    OnWindowVisible();
}
