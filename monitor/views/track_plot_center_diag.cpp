#include "monitor/views/track_plot_center_diag.h"

#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include "monitor/shell/monitor_prompt.h"

namespace
{
// Receiver positions are written with "." whatever the desktop's locale.
QDoubleValidator* Validator(double Low, double High, int Decimals, QObject* pParent)
{
    auto* p = new QDoubleValidator(Low, High, Decimals, pParent);
    p->setLocale(QLocale::c());
    p->setNotation(QDoubleValidator::StandardNotation);
    return p;
}

bool ReadNumber(const QString& sText, double Low, double High)
{
    bool bOk = false;
    const double v = QLocale::c().toDouble(sText.trimmed(), &bOk);
    return bOk && v >= Low && v <= High;
}
} // namespace

QTrackPlotSetCenterDiag::QTrackPlotSetCenterDiag(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QSetCenterDialog"));
    resize(307, 141);
    auto* pGrid = new QGridLayout(this);
    m_pLonLabel = new QLabel(this);
    m_pLatLabel = new QLabel(this);
    m_pHeightLabel = new QLabel(this);
    m_pLonEdit = new QLineEdit(this);
    m_pLonEdit->setObjectName(QStringLiteral("QLonLineEdit"));
    m_pLonEdit->setValidator(Validator(-180.0, 180.0, 10, this));
    m_pLatEdit = new QLineEdit(this);
    m_pLatEdit->setObjectName(QStringLiteral("QLatLineEdit"));
    m_pLatEdit->setValidator(Validator(-90.0, 90.0, 10, this));
    m_pHeightEdit = new QLineEdit(this);
    m_pHeightEdit->setObjectName(QStringLiteral("QHeightLineEdit"));
    m_pHeightEdit->setValidator(Validator(-100000.0, 100000.0, 4, this));
    m_pLonUnit = new QLabel(this);
    m_pLatUnit = new QLabel(this);
    auto* pMetre = new QLabel(QStringLiteral("m"), this);
    const QList<QWidget*> rows[3] = {{m_pLonLabel, m_pLonEdit, m_pLonUnit},
                                     {m_pLatLabel, m_pLatEdit, m_pLatUnit},
                                     {m_pHeightLabel, m_pHeightEdit, pMetre}};
    for (int r = 0; r < 3; ++r)
    {
        for (int c = 0; c < 3; ++c)
            pGrid->addWidget(rows[r][c], r + 1, c);
    }
    m_pOkButton = new QPushButton(this);
    m_pOkButton->setObjectName(QStringLiteral("OkpushButton"));
    m_pCancelButton = new QPushButton(this);
    m_pCancelButton->setObjectName(QStringLiteral("CancelpushButton"));
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(m_pOkButton);
    pButtons->addWidget(m_pCancelButton);
    pGrid->addLayout(pButtons, 4, 0, 1, 3);
    connect(m_pOkButton, &QPushButton::clicked, this, &QTrackPlotSetCenterDiag::OnOkBtnClick);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QTrackPlotSetCenterDiag::OnCancelBtnClick);
    RetranslateUi();
}

void QTrackPlotSetCenterDiag::RetranslateUi()
{
    setWindowTitle(tr("SetCenter"));
    m_pLonLabel->setText(tr("Lon"));
    m_pLatLabel->setText(tr("Lat"));
    m_pHeightLabel->setText(tr("Hei"));
    m_pLonUnit->setText(tr("Degree"));
    m_pLatUnit->setText(tr("Degree"));
    m_pOkButton->setText(tr("Ok"));
    m_pCancelButton->setText(tr("Cancel"));
}

void QTrackPlotSetCenterDiag::SetPosition(double LatDeg, double LonDeg, double Height)
{
    m_LatDeg = LatDeg;
    m_LonDeg = LonDeg;
    m_Height = Height;
}

void QTrackPlotSetCenterDiag::OnShowDiag()
{
    m_pLonEdit->setText(m_LastLon.isEmpty() ? QString::number(m_LonDeg, 'f', 8) : m_LastLon);
    m_pLatEdit->setText(m_LastLat.isEmpty() ? QString::number(m_LatDeg, 'f', 8) : m_LastLat);
    m_pHeightEdit->setText(m_LastHeight.isEmpty() ? QString::number(m_Height, 'f', 4) : m_LastHeight);
    showNormal();
}

bool QTrackPlotSetCenterDiag::Check(bool bOk, const QString& sWarning)
{
    if (!bOk)
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Err"), sWarning);
    return bOk;
}

void QTrackPlotSetCenterDiag::OnOkBtnClick()
{
    const QString sLon = m_pLonEdit->text().trimmed();
    const QString sLat = m_pLatEdit->text().trimmed();
    const QString sHeight = m_pHeightEdit->text().trimmed();
    const bool bLon = Check(!sLon.isEmpty(), tr("Please enter the value of longitude"));
    const bool bLat = Check(!sLat.isEmpty(), tr("Please enter the value of latitude"));
    if (!bLon || !bLat)
        return;
    // A text that is no position on the earth is refused, never read as 0.
    if (!Check(ReadNumber(sLon, -180.0, 180.0), tr("The longitude must be a number from -180 to 180 degrees")) ||
        !Check(ReadNumber(sLat, -90.0, 90.0), tr("The latitude must be a number from -90 to 90 degrees")) ||
        !Check(sHeight.isEmpty() || ReadNumber(sHeight, -100000.0, 100000.0),
               tr("The height must be a number of metres")))
        return;
    m_LastLon = sLon;
    m_LastLat = sLat;
    m_LastHeight = sHeight;
    emit SignalSetCenterValue(sLon, sLat, sHeight);
    close();
}

void QTrackPlotSetCenterDiag::OnCancelBtnClick() { close(); }
