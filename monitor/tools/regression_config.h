// The regression bench's configuration: which tests the checked boards run
// and with what (cycle counts, hours, the firmware image list with its baud
// rates, the command file), and the choice of several baud rates joined into
// one text. Both dialogs are made once and shown modelessly; they keep what
// was entered between openings.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class QSelectBaudRateDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QSelectBaudRateDiag(QWidget* pParent = nullptr);

    // The checked rates in ascending order, each but 460800 followed by "\".
    QString BaudRateText() const;

public slots:
    void OnShowDiag();
    void OnSelectAllClicked();
    void OnOkBtnClicked();
    void OnLanguageUpdate();

signals:
    void SignalBaudRate(QString BaudRateMsg);

private:
    QGroupBox* m_pGroup;
    QList<QCheckBox*> m_RateBoxes; // 4800 to 460800
    QCheckBox* m_pSelectAllCheckBox;
    QPushButton* m_pOkButton;
    QPushButton* m_pCancelCheckBox;
};

class QRegressionConfig : public QDialog
{
    Q_OBJECT

public:
    explicit QRegressionConfig(QWidget* pParent = nullptr);

    QSelectBaudRateDiag* BaudRateDiag() const { return m_pBaudRateDiag; }

public slots:
    // Fills the form from a bench row (its 13 columns) and shows it.
    void OnShowDiag(QStringList m_BoardConfigMsgList);
    void OnConfigOkBtnClicked();
    void OnOpenFileBtClicked();
    void OnOpenImageBtClicked();
    void OnSerialBaudRateBtnClicked();
    void OnSelectBaudRate(QString BaudRateMsg);
    void OnLanguageUpdate();

signals:
    // Five entries each, Reset, Freset, Reacq, SerialUpdate, Command: whether
    // the item is checked, and its value ("" when it is not).
    void SignalRegressionConfig(QList<bool> bTestItemList, QList<QString> MessageList);

private:
    QCheckBox* m_pResetCheckBox;
    QLineEdit* m_pResetLineEdit;
    QCheckBox* m_pFresetCheckBox;
    QLineEdit* m_pFresetLineEdit;
    QCheckBox* m_pRecaqCheckBox;
    QLineEdit* m_pReaqLineEdit;
    QCheckBox* m_pSerialUpdateBox;
    QLineEdit* m_pSerialPathLineEdit;
    QLineEdit* m_pSeiUptBaReEdit;
    QPushButton* m_OpenImagePath;
    QPushButton* m_pSeiUptBaReBtn;
    QCheckBox* m_pCommandCheckBox;
    QLineEdit* m_pCommandLineEdit;
    QPushButton* m_pOpenFileBtn;
    QPushButton* m_pOkButton;
    QPushButton* m_pCancelCheckBox;
    QLabel* m_pCycleLabels[3];
    QLabel* m_pImagePathLabel;
    QLabel* m_pBaudRateLabel;
    QLabel* m_pCommandLabel;
    QSelectBaudRateDiag* m_pBaudRateDiag;
    QLineEdit* m_pBaudTarget = nullptr; // the field the chosen rates go into
};
