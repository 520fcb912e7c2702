#include "monitor/tools/auto_log_config.h"
#include "monitor/shell/shell_log.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "monitor/shell/monitor_prompt.h"

QAutoLogConfig::QAutoLogConfig(QWidget* pParent)
    : QDialog(pParent), m_fnNow([] { return QDateTime::currentDateTime(); }),
      m_pPointRadio(new QRadioButton(this)), m_pPointEdit(new QDateTimeEdit(this)),
      m_pPeriodRadio(new QRadioButton(this)), m_pPeriodEdit(new QTimeEdit(this)),
      m_pNormalRadio(new QRadioButton(this)), m_pLoopCheck(new QCheckBox(this)), m_pOkButton(new QPushButton(this)),
      m_pCancelButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("QAutoLogConfig"));
    m_pPointRadio->setObjectName(QStringLiteral("PointInTimeRadio"));
    m_pPointEdit->setObjectName(QStringLiteral("PointInTimeEdit"));
    m_pPeriodRadio->setObjectName(QStringLiteral("TimePeriodRadio"));
    m_pPeriodEdit->setObjectName(QStringLiteral("TimePeriodEdit"));
    m_pNormalRadio->setObjectName(QStringLiteral("NormalModeRadio"));
    m_pLoopCheck->setObjectName(QStringLiteral("CycleRecordingCheckBox"));
    m_pOkButton->setObjectName(QStringLiteral("OkButton"));
    m_pCancelButton->setObjectName(QStringLiteral("CancelButton"));

    m_pPointEdit->setDisplayFormat(QStringLiteral("yyyy/MM/dd HH:mm"));
    m_pPointEdit->setCalendarPopup(true);
    m_pPeriodEdit->setDisplayFormat(QStringLiteral("HH:mm"));
    m_pPeriodEdit->setMaximumTime(QTime(23, 59, 59));
    m_pPeriodEdit->setCurrentSection(QDateTimeEdit::HourSection);
    m_pNormalRadio->setChecked(true);
    m_pLoopCheck->setChecked(true);

    auto* pModes = new QGridLayout;
    pModes->addWidget(m_pPointRadio, 0, 0);
    pModes->addWidget(m_pPointEdit, 0, 1);
    pModes->addWidget(m_pPeriodRadio, 1, 0);
    pModes->addWidget(m_pPeriodEdit, 1, 1);
    pModes->addWidget(m_pNormalRadio, 2, 0, 1, 2);
    pModes->addWidget(m_pLoopCheck, 3, 0, 1, 2);
    pModes->setColumnStretch(1, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(m_pOkButton);
    pButtons->addWidget(m_pCancelButton);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pModes);
    pLayout->addStretch(1);
    pLayout->addLayout(pButtons);

    connect(m_pOkButton, &QPushButton::clicked, this, &QAutoLogConfig::OnConfigLogOkBtnClicked);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QAutoLogConfig::OnCloseDiag);
    OnLanguageUpdate();
}

void QAutoLogConfig::OnLanguageUpdate()
{
    setWindowTitle(tr("Log Config"));
    m_pPointRadio->setText(tr("Point-in-time"));
    m_pPeriodRadio->setText(tr("Time Period"));
    m_pNormalRadio->setText(tr("Normal Mode [Cycle Recording is Invalid in this mode]"));
    m_pLoopCheck->setText(tr("cycle recording"));
    m_pOkButton->setText(tr("OK"));
    m_pCancelButton->setText(tr("Cancel"));
}

void QAutoLogConfig::OnShowDiag()
{
    m_pPointEdit->setDateTime(m_fnNow());
    show();
    raise();
    activateWindow();
}

void QAutoLogConfig::OnCloseDiag() { hide(); }

void QAutoLogConfig::Warn(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), sText);
}

void QAutoLogConfig::OnConfigLogOkBtnClicked()
{
    const bool bLoop = m_pLoopCheck->isChecked();
    uint Mode = 2;
    QDateTime DateTime;
    if (m_pPointRadio->isChecked())
    {
        DateTime = m_pPointEdit->dateTime();
        if (DateTime < m_fnNow())
        {
            Warn(tr("Time Must Be Later Than Current Time !"));
            return;
        }
        Mode = 0;
    }
    else if (m_pPeriodRadio->isChecked())
    {
        const QTime period = m_pPeriodEdit->time();
        // Seconds never count: the period is whole minutes.
        if (period.hour() == 0 && period.minute() == 0)
        {
            Warn(tr("Time Period Must > 0 !"));
            return;
        }
        DateTime = QDateTime(m_fnNow().date(), QTime(period.hour(), period.minute()));
        qCDebug(lcWindows, "AutoConfig Period Time %s", qPrintable(period.toString(QStringLiteral("hh:mm:ss"))));
        Mode = 1;
    }
    emit SignalLogConfig(Mode, bLoop, DateTime);
    hide();
}
