#include "monitor/shell/monitor_prompt.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

namespace
{
CMonitorPrompt g_DesktopPrompt;
CMonitorPrompt* g_pPrompt = &g_DesktopPrompt;

QString Tr(const char* pText) { return QCoreApplication::translate("CMonitorPrompt", pText); }
} // namespace

void CMonitorPrompt::Message(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText)
{
    QMessageBox box(eIcon, sTitle, sText, QMessageBox::NoButton, pParent);
    // The message box of a window's warnings, by the name the windows give it.
    box.setObjectName(QStringLiteral("m_MsgBox"));
    box.addButton(Tr("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool CMonitorPrompt::Question(QWidget* pParent, const QString& sTitle, const QString& sText)
{
    QMessageBox box(QMessageBox::Question, sTitle, sText, QMessageBox::NoButton, pParent);
    QPushButton* pYes = box.addButton(Tr("Yes"), QMessageBox::YesRole);
    box.addButton(Tr("No"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == pYes;
}

void CMonitorPrompt::Ask(QWidget* pParent, const QString& sTitle, const QString& sText,
                         std::function<void(bool)> onAnswer)
{
    auto* pBox = new QMessageBox(QMessageBox::Question, sTitle, sText, QMessageBox::NoButton, pParent);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* pYes = pBox->addButton(Tr("Yes"), QMessageBox::YesRole);
    pBox->addButton(Tr("No"), QMessageBox::NoRole);
    QObject::connect(pBox, &QMessageBox::finished, pBox,
                     [pBox, pYes, onAnswer]() { onAnswer(pBox->clickedButton() == pYes); });
    pBox->open();
}

void CMonitorPrompt::Inform(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText,
                            const QString& sAccept, const QString& sReject, std::function<void(bool)> onAnswer)
{
    auto* pBox = new QMessageBox(eIcon, sTitle, sText, QMessageBox::NoButton, pParent);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->setWindowFlag(Qt::WindowStaysOnTopHint);
    QPushButton* pAccept = pBox->addButton(sAccept, QMessageBox::AcceptRole);
    if (!sReject.isEmpty())
        pBox->addButton(sReject, QMessageBox::RejectRole);
    QObject::connect(pBox, &QMessageBox::finished, pBox,
                     [pBox, pAccept, onAnswer]()
                     {
                         if (onAnswer)
                             onAnswer(pBox->clickedButton() == pAccept);
                     });
    pBox->open();
}

QString CMonitorPrompt::Text(QWidget* pParent, const QString& sTitle, const QString& sLabel, const QString& sDefault,
                             bool* pOk)
{
    return QInputDialog::getText(pParent, sTitle, sLabel, QLineEdit::Normal, sDefault, pOk);
}

void CMonitorPrompt::AskText(QWidget* pParent, const QString& sTitle, const QString& sLabel,
                             std::function<void(bool, QString)> onAnswer)
{
    auto* pDialog = new QInputDialog(pParent);
    pDialog->setAttribute(Qt::WA_DeleteOnClose);
    pDialog->setWindowTitle(sTitle);
    pDialog->setLabelText(sLabel);
    QObject::connect(pDialog, &QInputDialog::finished, pDialog,
                     [pDialog, onAnswer](int nResult)
                     { onAnswer(nResult == QDialog::Accepted, pDialog->textValue()); });
    pDialog->open();
}

QString CMonitorPrompt::OpenFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                     const QString& sFilter)
{
    return QFileDialog::getOpenFileName(pParent, sCaption, sDir, sFilter);
}

QString CMonitorPrompt::SaveFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                     const QString& sFilter)
{
    return QFileDialog::getSaveFileName(pParent, sCaption, sDir, sFilter);
}

QString CMonitorPrompt::ExistingDirectory(QWidget* pParent, const QString& sCaption, const QString& sDir)
{
    return QFileDialog::getExistingDirectory(pParent, sCaption, sDir);
}

QColor CMonitorPrompt::Colour(QWidget* pParent, const QColor& colInitial, const QString& sTitle)
{
    return QColorDialog::getColor(colInitial, pParent, sTitle);
}

bool CMonitorPrompt::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

CMonitorPrompt* MonitorPrompt() { return g_pPrompt; }

void SetMonitorPrompt(CMonitorPrompt* pPrompt) { g_pPrompt = pPrompt ? pPrompt : &g_DesktopPrompt; }
