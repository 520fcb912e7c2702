#include "monitor/tools/regression_config.h"
#include "monitor/shell/fit_texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "monitor/shell/monitor_prompt.h"

namespace
{
const int kBaudRates[] = {4800, 9600, 14400, 19200, 38400, 57600, 115200, 230400, 460800};
constexpr int kMaxCycles = 999999;

// Columns of a bench row that the test items fill, Reset to Command.
constexpr int kFirstTestColumn = 1;
constexpr int kTestItems = 5;

QPushButton* Button(QWidget* pParent, const char* pName)
{
    auto* p = new QPushButton(pParent);
    p->setObjectName(QLatin1String(pName));
    p->setAutoDefault(false);
    return p;
}

QLineEdit* Edit(QWidget* pParent, const char* pName)
{
    auto* p = new QLineEdit(pParent);
    p->setObjectName(QLatin1String(pName));
    return p;
}

QCheckBox* Box(QWidget* pParent, const char* pName)
{
    auto* p = new QCheckBox(pParent);
    p->setObjectName(QLatin1String(pName));
    return p;
}
} // namespace

// ---- Baud-rate choice ----

QSelectBaudRateDiag::QSelectBaudRateDiag(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QSelectBaudRateDiag"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* pLayout = new QVBoxLayout(this);
    m_pGroup = new QGroupBox(this);
    m_pGroup->setObjectName(QStringLiteral("m_pBaudRateGroup"));
    auto* pGrid = new QGridLayout(m_pGroup);
    for (int i = 0; i < static_cast<int>(std::size(kBaudRates)); ++i)
    {
        const QString sRate = QString::number(kBaudRates[i]);
        auto* pBox = Box(m_pGroup, qPrintable(QStringLiteral("m_p%1CheckBox").arg(sRate)));
        pBox->setText(sRate);
        pGrid->addWidget(pBox, i / 3, i % 3);
        m_RateBoxes.append(pBox);
    }
    pLayout->addWidget(m_pGroup);
    m_pSelectAllCheckBox = Box(this, "m_pSelectAllCheckBox");
    m_pOkButton = Button(this, "m_pOkButton");
    m_pCancelCheckBox = Button(this, "m_pCancelCheckBox");
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(m_pSelectAllCheckBox);
    pButtons->addStretch();
    pButtons->addWidget(m_pOkButton);
    pButtons->addWidget(m_pCancelCheckBox);
    pLayout->addLayout(pButtons);
    OnLanguageUpdate();
    connect(m_pSelectAllCheckBox, &QCheckBox::clicked, this, &QSelectBaudRateDiag::OnSelectAllClicked);
    connect(m_pOkButton, &QPushButton::clicked, this, &QSelectBaudRateDiag::OnOkBtnClicked);
    connect(m_pCancelCheckBox, &QPushButton::clicked, this, &QDialog::close);
}

void QSelectBaudRateDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Select BaudRate"));
    m_pGroup->setTitle(tr("Select BaudRate"));
    m_pSelectAllCheckBox->setText(tr("SelectAll"));
    m_pOkButton->setText(tr("OK"));
    m_pCancelCheckBox->setText(tr("Cancel"));
}

void QSelectBaudRateDiag::OnShowDiag()
{
    show();
    raise();
    activateWindow();
}

void QSelectBaudRateDiag::OnSelectAllClicked()
{
    for (QCheckBox* pBox : m_RateBoxes)
        pBox->setChecked(m_pSelectAllCheckBox->isChecked());
}

QString QSelectBaudRateDiag::BaudRateText() const
{
    // The rates one backslash apart, with none after the last: the readers
    // skip empty parts, so a string with a trailing backslash (as earlier
    // versions wrote) reads the same.
    QStringList rates;
    for (int i = 0; i < m_RateBoxes.size(); ++i)
        if (m_RateBoxes.at(i)->isChecked())
            rates << QString::number(kBaudRates[i]);
    return rates.join(QLatin1Char('\\'));
}

void QSelectBaudRateDiag::OnOkBtnClicked()
{
    emit SignalBaudRate(BaudRateText());
    close();
}

// ---- The configuration ----

QRegressionConfig::QRegressionConfig(QWidget* pParent)
    : QDialog(pParent), m_pBaudRateDiag(new QSelectBaudRateDiag(this))
{
    setObjectName(QStringLiteral("QRegressionConfig"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    m_pResetCheckBox = Box(this, "m_pResetCheckBox");
    m_pResetLineEdit = Edit(this, "m_pResetLineEdit");
    m_pFresetCheckBox = Box(this, "m_pFresetCheckBox");
    m_pFresetLineEdit = Edit(this, "m_pFresetLineEdit");
    m_pRecaqCheckBox = Box(this, "m_pRecaqCheckBox");
    m_pReaqLineEdit = Edit(this, "m_pReaqLineEdit");
    m_pSerialUpdateBox = Box(this, "m_pSerialUpdateBox");
    m_pSerialPathLineEdit = Edit(this, "m_pSerialPathLineEdit");
    m_pSeiUptBaReEdit = Edit(this, "m_pSeiUptBaReEdit");
    m_OpenImagePath = Button(this, "m_OpenImagePath");
    m_pSeiUptBaReBtn = Button(this, "m_pSeiUptBaReBtn");
    m_pCommandCheckBox = Box(this, "m_pCommandCheckBox");
    m_pCommandLineEdit = Edit(this, "m_pCommandLineEdit");
    m_pOpenFileBtn = Button(this, "m_pOpenFileBtn");
    m_pOkButton = Button(this, "m_pOkButton");
    m_pCancelCheckBox = Button(this, "m_pCancelCheckBox");
    for (QLabel*& pLabel : m_pCycleLabels)
        pLabel = new QLabel(this);
    m_pImagePathLabel = new QLabel(this);
    m_pBaudRateLabel = new QLabel(this);
    m_pCommandLabel = new QLabel(this);

    // Cycles are whole numbers; the reacquisition time is hours with a point.
    for (QLineEdit* p : {m_pResetLineEdit, m_pFresetLineEdit})
        p->setValidator(new QIntValidator(1, kMaxCycles, p));
    m_pReaqLineEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{1,6}(\\.\\d{0,3})?")), m_pReaqLineEdit));
    m_pSeiUptBaReEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("(\\d{1,7}\\\\?)*")), m_pSeiUptBaReEdit));
    m_pSerialPathLineEdit->setMinimumWidth(360);
    m_pCommandLineEdit->setMinimumWidth(360);

    auto* pGrid = new QGridLayout(this);
    QCheckBox* cycleBoxes[] = {m_pResetCheckBox, m_pFresetCheckBox, m_pRecaqCheckBox};
    QLineEdit* cycleEdits[] = {m_pResetLineEdit, m_pFresetLineEdit, m_pReaqLineEdit};
    for (int i = 0; i < 3; ++i)
    {
        pGrid->addWidget(cycleBoxes[i], i, 0);
        pGrid->addWidget(m_pCycleLabels[i], i, 1);
        pGrid->addWidget(cycleEdits[i], i, 2);
    }
    pGrid->addWidget(m_pSerialUpdateBox, 3, 0);
    pGrid->addWidget(m_pImagePathLabel, 3, 1);
    pGrid->addWidget(m_pSerialPathLineEdit, 3, 2);
    pGrid->addWidget(m_OpenImagePath, 3, 3);
    pGrid->addWidget(m_pBaudRateLabel, 4, 1);
    pGrid->addWidget(m_pSeiUptBaReEdit, 4, 2);
    pGrid->addWidget(m_pSeiUptBaReBtn, 4, 3);
    pGrid->addWidget(m_pCommandCheckBox, 5, 0);
    pGrid->addWidget(m_pCommandLabel, 5, 1);
    pGrid->addWidget(m_pCommandLineEdit, 5, 2);
    pGrid->addWidget(m_pOpenFileBtn, 5, 3);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(m_pOkButton);
    pButtons->addWidget(m_pCancelCheckBox);
    pGrid->addLayout(pButtons, 6, 0, 1, 4);
    pGrid->setColumnStretch(2, 1);
    OnLanguageUpdate();

    connect(m_pOkButton, &QPushButton::clicked, this, &QRegressionConfig::OnConfigOkBtnClicked);
    connect(m_pCancelCheckBox, &QPushButton::clicked, this, &QDialog::close);
    connect(m_pOpenFileBtn, &QPushButton::clicked, this, &QRegressionConfig::OnOpenFileBtClicked);
    connect(m_OpenImagePath, &QPushButton::clicked, this, &QRegressionConfig::OnOpenImageBtClicked);
    connect(m_pSeiUptBaReBtn, &QPushButton::clicked, this, &QRegressionConfig::OnSerialBaudRateBtnClicked);
    connect(m_pBaudRateDiag, &QSelectBaudRateDiag::SignalBaudRate, this, &QRegressionConfig::OnSelectBaudRate);
}

void QRegressionConfig::OnLanguageUpdate()
{
    setWindowTitle(tr("Regression Config"));
    m_pResetCheckBox->setText(tr("Reset"));
    m_pFresetCheckBox->setText(tr("Freset"));
    m_pRecaqCheckBox->setText(tr("Reacq"));
    m_pSerialUpdateBox->setText(tr("SerialUpdate"));
    m_pCommandCheckBox->setText(tr("Command"));
    for (QLabel* pLabel : m_pCycleLabels)
        pLabel->setText(tr("CycleIndex"));
    m_pReaqLineEdit->setToolTip(tr("Hours; only whole hours count"));
    m_pImagePathLabel->setText(tr("ImagePath:"));
    m_pBaudRateLabel->setText(tr("BaudRate:"));
    m_pCommandLabel->setText(tr("FilePath:"));
    m_OpenImagePath->setText(tr("OpenImagePath"));
    m_pSeiUptBaReBtn->setText(tr("SelectBaudRate"));
    m_pOpenFileBtn->setText(tr("OpenFilePath"));
    m_pOkButton->setText(tr("OK"));
    m_pCancelCheckBox->setText(tr("Cancel"));
    m_pBaudRateDiag->OnLanguageUpdate();
}

void QRegressionConfig::OnShowDiag(QStringList m_BoardConfigMsgList)
{
    const QStringList& row = m_BoardConfigMsgList;
    if (row.size() >= 8)
    {
        QCheckBox* boxes[kTestItems] = {m_pResetCheckBox, m_pFresetCheckBox, m_pRecaqCheckBox, m_pSerialUpdateBox,
                                        m_pCommandCheckBox};
        QLineEdit* edits[kTestItems] = {m_pResetLineEdit, m_pFresetLineEdit, m_pReaqLineEdit, nullptr,
                                        m_pCommandLineEdit};
        for (int k = 0; k < kTestItems; ++k)
        {
            const QString& sValue = row.at(kFirstTestColumn + k);
            if (sValue.isEmpty())
                continue;
            boxes[k]->setChecked(true);
            if (edits[k] != nullptr)
            {
                ShowPathText(edits[k], sValue);
                continue;
            }
            // The image list path may hold ";" itself; the rates after the last one never do.
            const int nSplit = sValue.lastIndexOf(QLatin1Char(';'));
            if (nSplit >= 0)
            {
                ShowPathText(m_pSerialPathLineEdit, sValue.left(nSplit));
                m_pSeiUptBaReEdit->setText(sValue.mid(nSplit + 1));
            }
        }
    }
    show();
    raise();
    activateWindow();
}

void QRegressionConfig::OnConfigOkBtnClicked()
{
    struct CHECK_T
    {
        const QCheckBox* pBox;
        const QLineEdit* pEdit;
        const char* pMessage;
    };
    const CHECK_T checks[] = {
        {m_pResetCheckBox, m_pResetLineEdit, QT_TR_NOOP("Reset Cycle Index is Empty!!\r\n")},
        {m_pFresetCheckBox, m_pFresetLineEdit, QT_TR_NOOP("Freset Cycle Index is Empty!!\r\n")},
        {m_pRecaqCheckBox, m_pReaqLineEdit, QT_TR_NOOP("Reacq Cycle Index is Empty!!\r\n")},
        {m_pSerialUpdateBox, m_pSerialPathLineEdit, QT_TR_NOOP("Serial update Path is Empty!!\r\n")},
        {m_pSerialUpdateBox, m_pSeiUptBaReEdit, QT_TR_NOOP("Serial update BaudRate is Empty!!\r\n")},
        {m_pCommandCheckBox, m_pCommandLineEdit, QT_TR_NOOP("Command File Path is Empty!!\r\n")},
    };
    QString sMessage;
    for (const CHECK_T& c : checks)
        if (c.pBox->isChecked() && c.pEdit->text().trimmed().isEmpty())
            sMessage += tr(c.pMessage);
    if (!sMessage.isEmpty())
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"), sMessage);
        return;
    }
    const QCheckBox* boxes[kTestItems] = {m_pResetCheckBox, m_pFresetCheckBox, m_pRecaqCheckBox, m_pSerialUpdateBox,
                                          m_pCommandCheckBox};
    const QString values[kTestItems] = {
        m_pResetLineEdit->text().trimmed(), m_pFresetLineEdit->text().trimmed(), m_pReaqLineEdit->text().trimmed(),
        m_pSerialPathLineEdit->text().trimmed() + QLatin1Char(';') + m_pSeiUptBaReEdit->text().trimmed(),
        m_pCommandLineEdit->text().trimmed()};
    QList<bool> flags;
    QList<QString> messages;
    for (int k = 0; k < kTestItems; ++k)
    {
        flags.append(boxes[k]->isChecked());
        messages.append(boxes[k]->isChecked() ? values[k] : QString());
    }
    emit SignalRegressionConfig(flags, messages);
    close();
}

void QRegressionConfig::OnOpenFileBtClicked()
{
    const QString sPath = MonitorPrompt()->OpenFileName(this, tr("Command File"), QString(),
                                                        QStringLiteral("file (*.txt);;Any files(*.*)"));
    // A cancelled choice keeps what the field held.
    if (!sPath.isEmpty())
        ShowPathText(m_pCommandLineEdit, sPath);
}

void QRegressionConfig::OnOpenImageBtClicked()
{
    const QString sPath = MonitorPrompt()->OpenFileName(this, tr("Image Store Path"), QString(),
                                                        QStringLiteral("Image Store Path (*.txt);;Any files(*.*)"));
    if (!sPath.isEmpty())
        ShowPathText(m_pSerialPathLineEdit, sPath);
}

void QRegressionConfig::OnSerialBaudRateBtnClicked()
{
    m_pBaudTarget = m_pSeiUptBaReEdit;
    m_pBaudRateDiag->OnShowDiag();
}

void QRegressionConfig::OnSelectBaudRate(QString BaudRateMsg)
{
    (m_pBaudTarget != nullptr ? m_pBaudTarget : m_pSeiUptBaReEdit)->setText(BaudRateMsg);
}
