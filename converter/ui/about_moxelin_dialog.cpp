#include "converter/ui/about_moxelin_dialog.h"

#include "converter/ui/window_fit.h"
#include "ui_MoxelinAboutWindow.h"
#include "zv_version.h"

namespace
{
const QSize kDesignedSize(440, 299);
}

CAboutMoxelinDialog::CAboutMoxelinDialog(QWidget* parent) : QDialog(parent), m_pUi(new Ui::MoxelinAboutWindow)
{
    InitMoxelinResources();
    m_pUi->setupUi(this);
    connect(m_pUi->AboutOKBtn, &QPushButton::clicked, this, &CAboutMoxelinDialog::AboutDialogClose);
    OnLanguageUpdate();
}

CAboutMoxelinDialog::~CAboutMoxelinDialog() = default;

void CAboutMoxelinDialog::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    m_pUi->AboutVersion->setText(tr("Version %1").arg(QLatin1String(ZV_VERSION_TEXT)));
    FixWindowSize(this, kDesignedSize);
}

void CAboutMoxelinDialog::AboutDialogClose() { close(); }
