#include "converter/ui/user_prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QPushButton>

namespace
{
CUserPrompt g_DesktopPrompt;
CUserPrompt* g_pPrompt = &g_DesktopPrompt;
} // namespace

void CUserPrompt::Message(QWidget* pParent, QMessageBox::Icon eIcon, const QString& sTitle, const QString& sText)
{
    QMessageBox box(eIcon, sTitle, sText, QMessageBox::NoButton, pParent);
    box.addButton(QCoreApplication::translate("CUserPrompt", "OK"), QMessageBox::AcceptRole);
    box.exec();
}

QString CUserPrompt::OpenFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                  const QString& sFilter)
{
    return QFileDialog::getOpenFileName(pParent, sCaption, sDir, sFilter);
}

QString CUserPrompt::SaveFileName(QWidget* pParent, const QString& sCaption, const QString& sDir,
                                  const QString& sFilter)
{
    return QFileDialog::getSaveFileName(pParent, sCaption, sDir, sFilter);
}

bool CUserPrompt::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

CUserPrompt* UserPrompt() { return g_pPrompt; }

void SetUserPrompt(CUserPrompt* pPrompt) { g_pPrompt = pPrompt ? pPrompt : &g_DesktopPrompt; }
