// The receiver configuration form and the satellite lock-out form as built:
// every control the dialog and its users find by name exists once with the
// right kind, the satellite grids follow their one rule, and the defaults
// and their reset by retranslateUi are those the pages start from.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "monitor/config/lock_out_diag.h"
#include "monitor/config/recv_config_form.h"

namespace
{
template <typename T> T* Find(QWidget& Form, const QString& sName)
{
    const QList<T*> found = Form.findChildren<T*>(sName);
    EXPECT_EQ(found.size(), 1) << sName.toStdString();
    return found.value(0);
}

// Every control the dialog addresses by name, by kind.
const char* const kEdits[] = {
    "pNetIdAddress1",  "pNetIdAddress2",    "pNetIdAddress3",      "pNetIdAddress4", "pNetMask1",
    "pNetMask2",       "pNetMask3",         "pNetMask4",           "pNetGatway1",    "pNetGatway2",
    "pNetGatway3",     "pNetGatway4",       "pNetHostname",        "pRefLatDeg",     "pRefLatMinute",
    "pRefLatSecond",   "pRefLonDeg",        "pRefLonMinute",       "pRefLonSecond",  "pRefHeight",
    "pPpsconfigWidth", "pPpsconfigRfDelay", "pPpsconfigUserDelay", "pElevMask",      "pRTKElevMask",
    "pNtripNameText",  "pPortText",         "pUsernameText",       "pPasswordText",  "pNtripMountPoint"};
const char* const kCombos[] = {"pNetMode",           "pPpsconfigTimeref", "pPpsconfigSwitch",
                               "pPpsconfigPolarity", "pPpsconfigPeriod",  "pNtripFormat"};
const char* const kButtons[] = {"pChangeNetMode", "pRefCurPosButton", "pRefOKButton",     "pRefCancelButton",
                                "pPPSOK",         "pPPSCancel",       "pGPSGEOEnableALL", "pGPSGEODisableAll",
                                "pGPSGEOK",       "pGPSGEOCancel",    "pGPSGLOEnableALL", "pGPSGLODisableAll",
                                "pGLOGEOK",       "pGLOGEOCancel",    "pGalGEOEnableAll", "pGalGEODisableAll",
                                "pGalGEOK",       "pGalGEOCancel",    "pBDSGEOEnableAll", "pBDSGEODisableAll",
                                "pBDSGEOK",       "pBDSGEOCancel",    "pNtripOK",         "pNtripCancel"};
const char* const kLabels[] = {"pPosLatDeg", "pPosLatMinute",  "pPosLatSecond", "pPosLatNorthSouth",
                               "pPosLonDeg", "pPosLonMinute",  "pPosLonSecond", "pPosLonEastWest",
                               "pPosHeight", "pUsernamelabel", "pNtripName",    "pMountPointText",
                               "pPPSCONFIG"};
const char* const kRadios[] = {"pRefLatNorth", "pRefLatSouth", "pRefLonEast",
                               "pRefLonWest",  "pNtripSever",  "pNtripClient"};
} // namespace

TEST(RecvConfigForm, EveryControlTheDialogFindsByNameExistsOnceWithItsKind)
{
    QDialog dialog;
    Ui_RecvConfig ui;
    ui.setupUi(&dialog);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("RecvConfig"));
    EXPECT_EQ(dialog.size(), QSize(539, 497));
    for (const char* p : kEdits)
        Find<QLineEdit>(dialog, QLatin1String(p));
    for (const char* p : kCombos)
        Find<QComboBox>(dialog, QLatin1String(p));
    for (const char* p : kButtons)
        Find<QPushButton>(dialog, QLatin1String(p));
    for (const char* p : kLabels)
        Find<QLabel>(dialog, QLatin1String(p));
    for (const char* p : kRadios)
        Find<QRadioButton>(dialog, QLatin1String(p));
    Find<QCheckBox>(dialog, QStringLiteral("pNtripEnable"));

    // The pages, in order, and the satellite pages with one box per satellite.
    QTabWidget* pTabs = Find<QTabWidget>(dialog, QStringLiteral("tabWidget"));
    QTabWidget* pLock = Find<QTabWidget>(dialog, QStringLiteral("LockWindow"));
    ASSERT_TRUE(pTabs && pLock);
    const QStringList pages = {"tab", "tab_2", "tab_3", "tab_4", "tab_9"};
    const QStringList titles = {"NetConfig", "RefStation", "PPS", "Sat Enable", "Ntrip"};
    ASSERT_EQ(pTabs->count(), 5);
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(pTabs->widget(i)->objectName(), pages[i]);
        EXPECT_EQ(pTabs->tabText(i), titles[i]);
    }
    const struct
    {
        const char* pPrefix;
        const char* pTitle;
        int nBoxes;
    } systems[] = {
        {"pGPSGEO", "GPS", 32}, {"pGLOGEO", "GLONASS", 24}, {"pGalGEO", "Galileo", 32}, {"pBDSGEO", "BDS", 32}};
    ASSERT_EQ(pLock->count(), 4);
    for (int s = 0; s < 4; ++s)
    {
        const auto& sys = systems[s];
        SCOPED_TRACE(sys.pTitle);
        EXPECT_EQ(pLock->tabText(s), QLatin1String(sys.pTitle));
        int nFound = 0;
        for (QCheckBox* pBox : pLock->widget(s)->findChildren<QCheckBox*>())
            nFound += pBox->objectName().startsWith(QLatin1String(sys.pPrefix));
        EXPECT_EQ(nFound, sys.nBoxes);
        QGridLayout* pGrid = pLock->widget(s)->findChild<QGridLayout*>();
        ASSERT_NE(pGrid, nullptr);
        for (int n = 1; n <= sys.nBoxes; ++n)
        {
            // Satellite n in column (n - 1) / 8, row (n - 1) % 8 under the
            // headers, after its number; unchecked.
            QCheckBox* pBox = Find<QCheckBox>(dialog, QLatin1String(sys.pPrefix) + QString::number(n));
            ASSERT_NE(pBox, nullptr);
            EXPECT_EQ(pBox->parentWidget(), pLock->widget(s));
            EXPECT_FALSE(pBox->isChecked());
            EXPECT_TRUE(pBox->text().isEmpty());
            int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
            pGrid->getItemPosition(pGrid->indexOf(pBox), &row, &column, &rowSpan, &columnSpan);
            EXPECT_EQ(row, 1 + (n - 1) % 8) << n;
            EXPECT_EQ(column, 2 * ((n - 1) / 8) + 1) << n;
            auto* pNumber = qobject_cast<QLabel*>(pGrid->itemAtPosition(row, column - 1)->widget());
            ASSERT_NE(pNumber, nullptr);
            EXPECT_EQ(pNumber->text(), QString::number(n));
        }
        EXPECT_EQ(pGrid->columnCount(), 2 * (sys.nBoxes / 8) + 1); // the last one takes what is left
        EXPECT_EQ(dialog.findChild<QCheckBox*>(QLatin1String(sys.pPrefix) + QString::number(sys.nBoxes + 1)), nullptr);
    }
}

TEST(RecvConfigForm, StartsOnItsDefaultsAndRetranslatingPutsThemBack)
{
    QDialog dialog;
    Ui_RecvConfig ui;
    ui.setupUi(&dialog);
    EXPECT_EQ(ui.tabWidget->currentIndex(), 0);
    EXPECT_EQ(ui.LockWindow->currentIndex(), 0);
    EXPECT_TRUE(ui.pRefLatNorth->isChecked());
    EXPECT_TRUE(ui.pRefLonEast->isChecked());
    EXPECT_FALSE(ui.pNtripSever->isChecked() || ui.pNtripClient->isChecked());
    EXPECT_EQ(ui.pPpsconfigPeriod->currentText(), QStringLiteral("50"));
    EXPECT_TRUE(ui.pPpsconfigPeriod->isEditable());
    const struct
    {
        QLineEdit* pEdit;
        const char* pDefault;
    } defaults[] = {{ui.pNetHostname, "Cindrel"},  {ui.pRefLatDeg, "0"},          {ui.pRefLonMinute, "0"},
                    {ui.pRefLatSecond, "0.00000"}, {ui.pRefLonSecond, "0.00000"}, {ui.pRefHeight, "0.000"},
                    {ui.pPpsconfigWidth, "1000"},  {ui.pPpsconfigRfDelay, "0"},   {ui.pPpsconfigUserDelay, "0"},
                    {ui.pElevMask, "0.00"},        {ui.pRTKElevMask, "0.00"},     {ui.pNetGatway1, ""}};
    for (const auto& d : defaults)
    {
        EXPECT_EQ(d.pEdit->text(), QLatin1String(d.pDefault)) << d.pEdit->objectName().toStdString();
        d.pEdit->setText(QStringLiteral("17"));
    }
    ui.retranslateUi(&dialog);
    for (const auto& d : defaults)
    {
        // The edits without a default keep what was typed.
        const QString sExpected = *d.pDefault ? QLatin1String(d.pDefault) : QStringLiteral("17");
        EXPECT_EQ(d.pEdit->text(), sExpected) << d.pEdit->objectName().toStdString();
    }

    // Each hemisphere pair excludes itself only.
    ui.pRefLatSouth->setChecked(true);
    EXPECT_FALSE(ui.pRefLatNorth->isChecked());
    EXPECT_TRUE(ui.pRefLonEast->isChecked());
    ui.pRefLonWest->setChecked(true);
    EXPECT_TRUE(ui.pRefLatSouth->isChecked());
    EXPECT_FALSE(ui.pRefLonEast->isChecked());
}

TEST(LockOutDiag, OneTabPerSystemWithABoxPerSatelliteAcrossRowsOfItsColumns)
{
    QLockOutDiag dialog;
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("QLockOutDiag"));
    QTabWidget* pTabs = dialog.findChild<QTabWidget*>(QStringLiteral("LockOutSysTab"));
    ASSERT_NE(pTabs, nullptr);
    EXPECT_EQ(dialog.findChild<QTabWidget*>(QStringLiteral("SystemLockOutTab")), nullptr);
    ASSERT_EQ(pTabs->count(), 4);
    // Per system: its tab, its satellites and where satellite 5 stands (row, place in the row).
    const struct
    {
        const char* pName;
        int nSatellites;
        int nRow5, nPlace5;
    } systems[] = {{"GPS", 32, 2, 0}, {"GLO", 24, 2, 1}, {"GAL", 32, 2, 0}, {"BDS", 32, 2, 0}};
    for (int s = 0; s < 4; ++s)
    {
        const auto& sys = systems[s];
        SCOPED_TRACE(sys.pName);
        QWidget* pPage = pTabs->widget(s);
        EXPECT_EQ(pTabs->tabText(s), QLatin1String(sys.pName));
        EXPECT_EQ(pPage->objectName(), QStringLiteral("LockOut%1Tab").arg(QLatin1String(sys.pName)));
        QGridLayout* pGrid =
            pPage->findChild<QGridLayout*>(QStringLiteral("LockOut%1GridLay").arg(QLatin1String(sys.pName)));
        ASSERT_NE(pGrid, nullptr);
        EXPECT_EQ(pGrid->spacing(), 6);
        EXPECT_EQ(pGrid->contentsMargins(), QMargins(10, 0, 10, 0));
        EXPECT_EQ(pPage->findChildren<QCheckBox*>().size(), sys.nSatellites);
        for (int n = 1; n <= sys.nSatellites; ++n)
        {
            QCheckBox* pBox = pPage->findChild<QCheckBox*>(QStringLiteral("En%1_%2").arg(s).arg(n - 1));
            ASSERT_NE(pBox, nullptr) << n;
            EXPECT_FALSE(pBox->isChecked());
            // The box is its number label's buddy; the label reads "%2d".
            QLabel* pNumber = nullptr;
            for (QLabel* pLabel : pPage->findChildren<QLabel*>())
                if (pLabel->buddy() == pBox)
                    pNumber = pLabel;
            ASSERT_NE(pNumber, nullptr) << n;
            EXPECT_EQ(pNumber->text(), QString::asprintf("%2d", n));
        }
        // Satellite 5 in its row layout: each satellite is a label and a box.
        QLayout* pRow = pGrid->itemAtPosition(sys.nRow5, 0)->layout();
        ASSERT_NE(pRow, nullptr);
        EXPECT_EQ(pRow->itemAt(2 * sys.nPlace5 + 1)->widget()->objectName(), QStringLiteral("En%1_4").arg(s));
    }
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral(" 7"))->text(), QStringLiteral(" 7"));
    EXPECT_NE(dialog.findChild<QCheckBox*>(QStringLiteral("En0_6")), nullptr);
    EXPECT_EQ(dialog.findChild<QCheckBox*>(QStringLiteral("En1_24")), nullptr);
}
