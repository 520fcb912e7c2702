#include "monitor/config/recv_config_form.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QVBoxLayout>
#include <type_traits>

namespace
{
template <typename T> T* Make(QWidget* pParent, const QString& sName)
{
    auto* p = new T(pParent);
    p->setObjectName(sName);
    return p;
}
template <typename T> T* Make(QWidget* pParent, const char* pName) { return Make<T>(pParent, QLatin1String(pName)); }

// An edit as wide as the form has it, or as its widest expected text needs
// in the font in use, whichever is more.
template <typename T> T* Fit(T* p, int nWidth, const char* pWidest)
{
    const int nText = p->fontMetrics().horizontalAdvance(QLatin1String(pWidest)) + 14;
    p->setFixedWidth(qMax(nWidth, nText));
    return p;
}

QHBoxLayout* Row(QLayout* pParentLayout = nullptr)
{
    auto* pRow = new QHBoxLayout;
    pRow->setContentsMargins(0, 0, 0, 0);
    if (auto* pBox = qobject_cast<QBoxLayout*>(pParentLayout))
        pBox->addLayout(pRow);
    return pRow;
}

// OK and Cancel at the bottom right of a page.
void AddButtons(QBoxLayout* pPage, QPushButton* pOK, QPushButton* pCancel)
{
    QHBoxLayout* pRow = Row(pPage);
    pRow->addStretch();
    pRow->addWidget(pOK);
    pRow->addWidget(pCancel);
    for (QPushButton* p : {pOK, pCancel})
        p->setMinimumWidth(61);
}

// The satellite systems of the "Sat Enable" page: per page the check box
// prefix, the number of satellites, the columns of eight and the buttons.
struct SAT_GRID_T
{
    const char* pPrefix; // check boxes pPrefix1, pPrefix2 ...
    int nSatellites;
    const char* ButtonNames[4]; // enable-all, disable-all, OK, Cancel
};

const SAT_GRID_T kSatGrids[Ui_RecvConfig::SAT_PAGE_COUNT] = {
    {"pGPSGEO", 32, {"pGPSGEOEnableALL", "pGPSGEODisableAll", "pGPSGEOK", "pGPSGEOCancel"}},
    {"pGLOGEO", 24, {"pGPSGLOEnableALL", "pGPSGLODisableAll", "pGLOGEOK", "pGLOGEOCancel"}},
    {"pGalGEO", 32, {"pGalGEOEnableAll", "pGalGEODisableAll", "pGalGEOK", "pGalGEOCancel"}},
    {"pBDSGEO", 32, {"pBDSGEOEnableAll", "pBDSGEODisableAll", "pBDSGEOK", "pBDSGEOCancel"}},
};

QString Tr(const char* pText) { return QCoreApplication::translate("RecvConfig", pText); }
} // namespace

// The pages keep the places and order of their controls in layouts, so that
// every text gets the room it needs in whatever font and language is in use;
// the widths below are the least each control gets.
void Ui_RecvConfig::setupUi(QDialog* pDialog)
{
    if (pDialog->objectName().isEmpty())
        pDialog->setObjectName(QStringLiteral("RecvConfig"));
    pDialog->resize(539, 497);
    pDialog->setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Config.png")));
    auto* pMain = new QVBoxLayout(pDialog);
    pMain->setObjectName(QStringLiteral("RecvConfigLayout"));
    pMain->setContentsMargins(10, 10, 10, 10);
    tabWidget = Make<QTabWidget>(pDialog, "tabWidget");
    pMain->addWidget(tabWidget);
    SetupNetPage();
    SetupRefPage();
    SetupPpsPage();
    SetupSatPage();
    SetupNtripPage();
    retranslateUi(pDialog);
    tabWidget->setCurrentIndex(0);
    LockWindow->setCurrentIndex(0);
    QMetaObject::connectSlotsByName(pDialog);
}

void Ui_RecvConfig::SetupNetPage()
{
    tab = Make<QWidget>(tabWidget, "tab");
    tabWidget->addTab(tab, QString());
    auto* pPage = new QVBoxLayout(tab);
    groupBox_2 = Make<QGroupBox>(tab, "groupBox_2");
    groupBox_2->setMinimumWidth(341);
    pPage->addWidget(groupBox_2, 0, Qt::AlignLeft);
    pPage->addStretch();

    auto* pGrid = new QGridLayout(groupBox_2);
    pGrid->setColumnMinimumWidth(0, 10);
    pGrid->setColumnStretch(3, 1);
    label_12 = Make<QLabel>(groupBox_2, "label_12");
    pGrid->addWidget(label_12, 0, 0, 1, 3);
    label_26 = Make<QLabel>(groupBox_2, "label_26");
    pNetMode = Make<QComboBox>(groupBox_2, "pNetMode");
    pNetMode->setMinimumWidth(60);
    pNetMode->addItems({QString(), QString()});
    pGrid->addWidget(label_26, 1, 1);
    pGrid->addWidget(pNetMode, 1, 2, Qt::AlignLeft);

    // The address rows: a caption, then four octets separated by three dots.
    const struct
    {
        const char* pCaption;
        QLabel** ppCaption;
        const char* EditNames[4];
        QLineEdit** Edits[4];
        const char* DotNames[3];
        QLabel** Dots[3];
    } rows[] = {
        {"label_22",
         &label_22,
         {"pNetIdAddress1", "pNetIdAddress2", "pNetIdAddress3", "pNetIdAddress4"},
         {&pNetIdAddress1, &pNetIdAddress2, &pNetIdAddress3, &pNetIdAddress4},
         {"label_23", "label_24", "label_25"},
         {&label_23, &label_24, &label_25}},
        {"label_16",
         &label_16,
         {"pNetMask1", "pNetMask2", "pNetMask3", "pNetMask4"},
         {&pNetMask1, &pNetMask2, &pNetMask3, &pNetMask4},
         {"label_18", "label_20", "label_21"},
         {&label_18, &label_20, &label_21}},
        {"label_27",
         &label_27,
         {"pNetGatway1", "pNetGatway2", "pNetGatway3", "pNetGatway4"},
         {&pNetGatway1, &pNetGatway2, &pNetGatway3, &pNetGatway4},
         {"label_28", "label_29", "label_30"},
         {&label_28, &label_29, &label_30}},
    };
    int r = 2;
    for (const auto& row : rows)
    {
        *row.ppCaption = Make<QLabel>(groupBox_2, row.pCaption);
        (*row.ppCaption)->setMinimumWidth(60);
        pGrid->addWidget(*row.ppCaption, r, 1);
        QHBoxLayout* pOctets = Row();
        for (int i = 0; i < 4; ++i)
        {
            *row.Edits[i] = Fit(Make<QLineEdit>(groupBox_2, row.EditNames[i]), 40, "0000");
            pOctets->addWidget(*row.Edits[i]);
            if (i < 3)
            {
                *row.Dots[i] = Make<QLabel>(groupBox_2, row.DotNames[i]);
                (*row.Dots[i])->setFixedWidth(10);
                (*row.Dots[i])->setAlignment(Qt::AlignCenter);
                pOctets->addWidget(*row.Dots[i]);
            }
        }
        pGrid->addLayout(pOctets, r++, 2, Qt::AlignLeft);
    }
    label_31 = Make<QLabel>(groupBox_2, "label_31");
    pNetHostname = Fit(Make<QLineEdit>(groupBox_2, "pNetHostname"), 60, "Cindrel-00");
    pGrid->addWidget(label_31, r, 1);
    pGrid->addWidget(pNetHostname, r++, 2, Qt::AlignLeft);
    pChangeNetMode = Make<QPushButton>(groupBox_2, "pChangeNetMode");
    pChangeNetMode->setMinimumWidth(151);
    pGrid->addWidget(pChangeNetMode, r, 1, 1, 2, Qt::AlignLeft);
}

void Ui_RecvConfig::SetupRefPage()
{
    tab_2 = Make<QWidget>(tabWidget, "tab_2");
    tabWidget->addTab(tab_2, QString());
    auto* pPage = new QVBoxLayout(tab_2);
    groupBox = Make<QGroupBox>(tab_2, "groupBox");
    pPage->addWidget(groupBox);
    auto* pGrid = new QGridLayout(groupBox);
    pGrid->setColumnStretch(8, 1);
    // Columns: caption, degrees, sign, minutes, sign, seconds, sign, hemisphere.
    auto angleRow = [&](int r, QLineEdit** Edits[3], const char* const EditNames[3], QLabel** Signs[3],
                        const char* const SignNames[3], QRadioButton** Hemispheres[2], const char* const RadioNames[2],
                        const char* pHemisphereName)
    {
        const int widths[3] = {50, 50, 60};
        const char* const widest[3] = {"000", "000", "00.000000"};
        for (int i = 0; i < 3; ++i)
        {
            *Edits[i] = Fit(Make<QLineEdit>(groupBox, EditNames[i]), widths[i], widest[i]);
            *Signs[i] = Make<QLabel>(groupBox, SignNames[i]);
            pGrid->addWidget(*Edits[i], r, 1 + 2 * i);
            pGrid->addWidget(*Signs[i], r, 2 + 2 * i);
        }
        // Each pair of hemisphere buttons in a box of its own excludes only itself.
        QWidget* pPair = Make<QWidget>(groupBox, pHemisphereName);
        QHBoxLayout* pRow = Row();
        pPair->setLayout(pRow);
        for (int i = 0; i < 2; ++i)
        {
            *Hemispheres[i] = Make<QRadioButton>(pPair, RadioNames[i]);
            pRow->addWidget(*Hemispheres[i]);
        }
        pGrid->addWidget(pPair, r, 7);
    };
    label = Make<QLabel>(groupBox, "label");
    label->setMinimumWidth(130);
    pGrid->addWidget(label, 0, 0);
    {
        QLineEdit** edits[3] = {&pRefLatDeg, &pRefLatMinute, &pRefLatSecond};
        const char* const editNames[3] = {"pRefLatDeg", "pRefLatMinute", "pRefLatSecond"};
        QLabel** signs[3] = {&label_2, &label_3, &label_4};
        const char* const signNames[3] = {"label_2", "label_3", "label_4"};
        QRadioButton** radios[2] = {&pRefLatNorth, &pRefLatSouth};
        const char* const radioNames[2] = {"pRefLatNorth", "pRefLatSouth"};
        angleRow(0, edits, editNames, signs, signNames, radios, radioNames, "pRefLatHemisphere");
    }
    label_7 = Make<QLabel>(groupBox, "label_7");
    pGrid->addWidget(label_7, 1, 0);
    {
        QLineEdit** edits[3] = {&pRefLonDeg, &pRefLonMinute, &pRefLonSecond};
        const char* const editNames[3] = {"pRefLonDeg", "pRefLonMinute", "pRefLonSecond"};
        QLabel** signs[3] = {&label_6, &label_5, &label_8};
        const char* const signNames[3] = {"label_6", "label_5", "label_8"};
        QRadioButton** radios[2] = {&pRefLonEast, &pRefLonWest};
        const char* const radioNames[2] = {"pRefLonEast", "pRefLonWest"};
        angleRow(1, edits, editNames, signs, signNames, radios, radioNames, "pRefLonHemisphere");
    }
    pRefLatNorth->setChecked(true);
    pRefLonEast->setChecked(true);

    label_9 = Make<QLabel>(groupBox, "label_9");
    pRefHeight = Fit(Make<QLineEdit>(groupBox, "pRefHeight"), 50, "-0000.000");
    label_10 = Make<QLabel>(groupBox, "label_10");
    QHBoxLayout* pHeight = Row();
    pHeight->addWidget(pRefHeight);
    pHeight->addWidget(label_10);
    pHeight->addStretch();
    pGrid->addWidget(label_9, 2, 0);
    pGrid->addLayout(pHeight, 2, 1, 1, 7);
    label_11 = Make<QLabel>(groupBox, "label_11");
    pRefCurPosButton = Make<QPushButton>(groupBox, "pRefCurPosButton");
    pGrid->addWidget(label_11, 3, 0);
    pGrid->addWidget(pRefCurPosButton, 3, 1, 1, 7, Qt::AlignLeft);
    pGrid->setRowMinimumHeight(4, 16);

    label_13 = Make<QLabel>(groupBox, "label_13");
    label_14 = Make<QLabel>(groupBox, "label_14");
    label_14->setIndent(10);
    pGrid->addWidget(label_13, 5, 0, 1, 8);
    pGrid->addWidget(label_14, 6, 0, 1, 8);
    // The current position under the reference fields, column by column.
    auto positionRow = [&](int r, QLabel*& pCaption, const char* pCaptionName, QLabel** Values[4],
                           const char* const ValueNames[4], QLabel** Signs[3], const char* const SignNames[3])
    {
        pCaption = Make<QLabel>(groupBox, pCaptionName);
        pCaption->setIndent(31);
        pGrid->addWidget(pCaption, r, 0);
        for (int i = 0; i < 4; ++i)
        {
            *Values[i] = Make<QLabel>(groupBox, ValueNames[i]);
            (*Values[i])->setMinimumWidth(i == 2 ? 60 : 40);
            pGrid->addWidget(*Values[i], r, 1 + 2 * i);
            if (i < 3)
            {
                *Signs[i] = Make<QLabel>(groupBox, SignNames[i]);
                pGrid->addWidget(*Signs[i], r, 2 + 2 * i);
            }
        }
    };
    {
        QLabel** values[4] = {&pPosLatDeg, &pPosLatMinute, &pPosLatSecond, &pPosLatNorthSouth};
        const char* const valueNames[4] = {"pPosLatDeg", "pPosLatMinute", "pPosLatSecond", "pPosLatNorthSouth"};
        QLabel** signs[3] = {&label_32, &label_187, &label_188};
        const char* const signNames[3] = {"label_32", "label_187", "label_188"};
        positionRow(7, label_15, "label_15", values, valueNames, signs, signNames);
    }
    {
        QLabel** values[4] = {&pPosLonDeg, &pPosLonMinute, &pPosLonSecond, &pPosLonEastWest};
        const char* const valueNames[4] = {"pPosLonDeg", "pPosLonMinute", "pPosLonSecond", "pPosLonEastWest"};
        QLabel** signs[3] = {&label_189, &label_191, &label_190};
        const char* const signNames[3] = {"label_189", "label_191", "label_190"};
        positionRow(8, label_17, "label_17", values, valueNames, signs, signNames);
    }
    label_19 = Make<QLabel>(groupBox, "label_19");
    label_19->setIndent(41);
    pPosHeight = Make<QLabel>(groupBox, "pPosHeight");
    pPosHeight->setMinimumWidth(40);
    label_192 = Make<QLabel>(groupBox, "label_192");
    pGrid->addWidget(label_19, 9, 0);
    pGrid->addWidget(pPosHeight, 9, 1, 1, 3);
    pGrid->addWidget(label_192, 9, 4, 1, 2);
    pGrid->setRowStretch(10, 1);
    pRefOKButton = Make<QPushButton>(groupBox, "pRefOKButton");
    pRefCancelButton = Make<QPushButton>(groupBox, "pRefCancelButton");
    QHBoxLayout* pButtons = Row();
    pButtons->addStretch();
    pButtons->addWidget(pRefOKButton);
    pButtons->addWidget(pRefCancelButton);
    for (QPushButton* p : {pRefOKButton, pRefCancelButton})
        p->setMinimumWidth(75);
    pGrid->addLayout(pButtons, 11, 0, 1, 9);
}

void Ui_RecvConfig::SetupPpsPage()
{
    tab_3 = Make<QWidget>(tabWidget, "tab_3");
    tabWidget->addTab(tab_3, QString());
    auto* pPage = new QVBoxLayout(tab_3);
    pPPSCONFIG = Make<QLabel>(tab_3, "pPPSCONFIG");
    pPage->addWidget(pPPSCONFIG);
    // The controls in the order of the command's arguments.
    QHBoxLayout* pRow = Row(pPage);
    pPpsconfigTimeref = Make<QComboBox>(tab_3, "pPpsconfigTimeref");
    pPpsconfigSwitch = Make<QComboBox>(tab_3, "pPpsconfigSwitch");
    pPpsconfigPolarity = Make<QComboBox>(tab_3, "pPpsconfigPolarity");
    pPpsconfigWidth = Fit(Make<QLineEdit>(tab_3, "pPpsconfigWidth"), 41, "00000");
    pPpsconfigPeriod = Make<QComboBox>(tab_3, "pPpsconfigPeriod");
    pPpsconfigRfDelay = Fit(Make<QLineEdit>(tab_3, "pPpsconfigRfDelay"), 41, "-0000");
    pPpsconfigUserDelay = Fit(Make<QLineEdit>(tab_3, "pPpsconfigUserDelay"), 70, "-00000");
    pPpsconfigTimeref->setMinimumWidth(41);
    for (QComboBox* p : {pPpsconfigSwitch, pPpsconfigPolarity, pPpsconfigPeriod})
        p->setMinimumWidth(71);
    for (QWidget* p :
         std::initializer_list<QWidget*>{pPpsconfigTimeref, pPpsconfigSwitch, pPpsconfigPolarity, pPpsconfigWidth,
                                         pPpsconfigPeriod, pPpsconfigRfDelay, pPpsconfigUserDelay})
        pRow->addWidget(p);
    pRow->addStretch();
    pPpsconfigTimeref->addItems({QString(), QString()});
    pPpsconfigSwitch->addItems({QString(), QString()});
    pPpsconfigPolarity->addItems({QString(), QString()});
    pPpsconfigPeriod->setEditable(true);
    for (int i = 0; i < 7; ++i)
        pPpsconfigPeriod->addItem(QString());
    pPage->addStretch();
    pPPSOK = Make<QPushButton>(tab_3, "pPPSOK");
    pPPSCancel = Make<QPushButton>(tab_3, "pPPSCancel");
    AddButtons(pPage, pPPSOK, pPPSCancel);
}

void Ui_RecvConfig::SetupSatPage()
{
    tab_4 = Make<QWidget>(tabWidget, "tab_4");
    tabWidget->addTab(tab_4, QString());
    auto* pPage = new QVBoxLayout(tab_4);
    auto* pMasks = new QGridLayout;
    pMasks->setColumnStretch(3, 1);
    pPage->addLayout(pMasks);
    label_33 = Make<QLabel>(tab_4, "label_33");
    pElevMask = Fit(Make<QLineEdit>(tab_4, "pElevMask"), 61, "-00.0000");
    label_185 = Make<QLabel>(tab_4, "label_185");
    label_34 = Make<QLabel>(tab_4, "label_34");
    pRTKElevMask = Fit(Make<QLineEdit>(tab_4, "pRTKElevMask"), 61, "-00.0000");
    label_186 = Make<QLabel>(tab_4, "label_186");
    label_34->setMinimumWidth(121);
    pMasks->addWidget(label_33, 0, 0);
    pMasks->addWidget(pElevMask, 0, 1);
    pMasks->addWidget(label_185, 0, 2);
    pMasks->addWidget(label_34, 1, 0);
    pMasks->addWidget(pRTKElevMask, 1, 1);
    pMasks->addWidget(label_186, 1, 2);
    LockWindow = Make<QTabWidget>(tab_4, "LockWindow");
    pPage->addWidget(LockWindow, 1);
    QWidget** pages[SAT_PAGE_COUNT] = {&tab_5, &tab_6, &tab_7, &tab_8};
    for (int i = 0; i < SAT_PAGE_COUNT; ++i)
    {
        *pages[i] = Make<QWidget>(LockWindow, QStringLiteral("tab_%1").arg(5 + i));
        LockWindow->addTab(*pages[i], QString());
        SetupSatGrid(i, *pages[i]);
    }
    QPushButton** buttons[SAT_PAGE_COUNT][4] = {
        {&pGPSGEOEnableALL, &pGPSGEODisableAll, &pGPSGEOK, &pGPSGEOCancel},
        {&pGPSGLOEnableALL, &pGPSGLODisableAll, &pGLOGEOK, &pGLOGEOCancel},
        {&pGalGEOEnableAll, &pGalGEODisableAll, &pGalGEOK, &pGalGEOCancel},
        {&pBDSGEOEnableAll, &pBDSGEODisableAll, &pBDSGEOK, &pBDSGEOCancel},
    };
    for (int i = 0; i < SAT_PAGE_COUNT; ++i)
    {
        const SAT_PAGE_T& page = SatPages[i];
        *buttons[i][0] = page.pEnableAll;
        *buttons[i][1] = page.pDisableAll;
        *buttons[i][2] = page.pOK;
        *buttons[i][3] = page.pCancel;
    }
}

void Ui_RecvConfig::SetupSatGrid(int iPage, QWidget* pPage)
{
    const SAT_GRID_T& grid = kSatGrids[iPage];
    SAT_PAGE_T& page = SatPages[iPage];
    page.pPage = pPage;
    page.nSatellites = grid.nSatellites;
    auto* pLayout = new QVBoxLayout(pPage);
    auto* pGrid = new QGridLayout;
    pGrid->setObjectName(QStringLiteral("%1Grid").arg(QLatin1String(grid.pPrefix)));
    pGrid->setHorizontalSpacing(10);
    pLayout->addLayout(pGrid);
    // Satellite n: column (n - 1) / 8, row (n - 1) % 8, under a header row;
    // each column a number and its box.
    const int nColumns = (grid.nSatellites + 7) / 8;
    pGrid->setColumnStretch(2 * nColumns, 1);
    for (int c = 0; c < nColumns; ++c)
    {
        page.SvHeaders[c] = Make<QLabel>(pPage, QStringLiteral("pSvHeader%1_%2").arg(iPage).arg(c));
        page.EnableHeaders[c] = Make<QLabel>(pPage, QStringLiteral("pEnableHeader%1_%2").arg(iPage).arg(c));
        pGrid->addWidget(page.SvHeaders[c], 0, 2 * c);
        pGrid->addWidget(page.EnableHeaders[c], 0, 2 * c + 1);
        pGrid->setColumnMinimumWidth(2 * c + 1, 50);
    }
    for (int n = 1; n <= grid.nSatellites; ++n)
    {
        const int c = (n - 1) / 8;
        const int r = 1 + (n - 1) % 8;
        QLabel* pNumber = Make<QLabel>(pPage, QStringLiteral("pSvNumber%1_%2").arg(iPage).arg(n));
        pNumber->setText(QString::number(n));
        QCheckBox* pBox = Make<QCheckBox>(pPage, QLatin1String(grid.pPrefix) + QString::number(n));
        pGrid->addWidget(pNumber, r, 2 * c);
        pGrid->addWidget(pBox, r, 2 * c + 1);
        page.Numbers[n - 1] = pNumber;
        page.Boxes[n - 1] = pBox;
    }
    page.pEnableAll = Make<QPushButton>(pPage, grid.ButtonNames[0]);
    page.pDisableAll = Make<QPushButton>(pPage, grid.ButtonNames[1]);
    page.pOK = Make<QPushButton>(pPage, grid.ButtonNames[2]);
    page.pCancel = Make<QPushButton>(pPage, grid.ButtonNames[3]);
    pLayout->addStretch();
    QHBoxLayout* pAll = Row(pLayout);
    pAll->addWidget(page.pEnableAll);
    pAll->addWidget(page.pDisableAll);
    pAll->addStretch();
    for (QPushButton* p : {page.pEnableAll, page.pDisableAll})
        p->setMinimumWidth(75);
    AddButtons(pLayout, page.pOK, page.pCancel);
}

void Ui_RecvConfig::SetupNtripPage()
{
    tab_9 = Make<QWidget>(tabWidget, "tab_9");
    tabWidget->addTab(tab_9, QString());
    auto* pPage = new QVBoxLayout(tab_9);
    pNtripRows = Make<QWidget>(tab_9, "pNtripRows");
    pPage->addWidget(pNtripRows, 0, Qt::AlignLeft);
    auto* pRows = new QGridLayout(pNtripRows);
    pRows->setContentsMargins(20, 10, 0, 0);
    pRows->setColumnMinimumWidth(0, 90);
    pRows->setColumnMinimumWidth(1, 110);
    // Each row: a caption and an input.
    int r = 0;
    auto row = [&](auto*& pCaption, const char* pCaptionName, auto*& pInput, const char* pInputName)
    {
        using CAPTION_T = std::remove_reference_t<decltype(*pCaption)>;
        using INPUT_T = std::remove_reference_t<decltype(*pInput)>;
        pCaption = Make<CAPTION_T>(pNtripRows, pCaptionName);
        pInput = Make<INPUT_T>(pNtripRows, pInputName);
        pRows->addWidget(pCaption, r, 0);
        pRows->addWidget(pInput, r++, 1);
    };
    row(pNtripSever, "pNtripSever", pNtripClient, "pNtripClient");
    row(label_193, "label_193", pNtripEnable, "pNtripEnable");
    row(label_194, "label_194", pNtripFormat, "pNtripFormat");
    row(pNtripName, "pNtripName", pNtripNameText, "pNtripNameText");
    row(label_196, "label_196", pPortText, "pPortText");
    row(pUsernamelabel, "pUsernamelabel", pUsernameText, "pUsernameText");
    row(label_198, "label_198", pPasswordText, "pPasswordText");
    row(pMountPointText, "pMountPointText", pNtripMountPoint, "pNtripMountPoint");
    pNtripFormat->addItems({QString(), QString()});
    pPage->addStretch();
    pNtripOK = Make<QPushButton>(tab_9, "pNtripOK");
    pNtripCancel = Make<QPushButton>(tab_9, "pNtripCancel");
    AddButtons(pPage, pNtripOK, pNtripCancel);
}

void Ui_RecvConfig::retranslateUi(QDialog* pDialog)
{
    pDialog->setWindowTitle(Tr("Configure"));
    const QString sDegree = QStringLiteral("\u00b0");
    const QString sMinute = QStringLiteral("'");
    const QString sSecond = QStringLiteral("\"");

    // NetConfig. The modes are receiver words and are shown as sent.
    groupBox_2->setTitle(Tr("Network Configuration-Configure"));
    label_12->setText(Tr("Configure Ethernet"));
    label_26->setText(Tr("IP Mode"));
    pNetMode->setItemText(0, QStringLiteral("DHCP"));
    pNetMode->setItemText(1, QStringLiteral("STATIC"));
    label_22->setText(Tr("IP Address"));
    label_16->setText(Tr("Net Mask"));
    label_27->setText(Tr("Gateway"));
    for (QLabel* pDot : {label_23, label_24, label_25, label_18, label_20, label_21, label_28, label_29, label_30})
        pDot->setText(QStringLiteral("."));
    label_31->setText(Tr("Hostname"));
    pNetHostname->setText(QStringLiteral("Cindrel"));
    pChangeNetMode->setText(Tr("Change Configuration"));

    // RefStation.
    groupBox->setTitle(Tr("Geographical"));
    label->setText(Tr("Reference Latitude"));
    label_7->setText(Tr("Reference Longitude"));
    for (QLabel* pSign : {label_2, label_6, label_32, label_189})
        pSign->setText(sDegree);
    for (QLabel* pSign : {label_3, label_5, label_187, label_191})
        pSign->setText(sMinute);
    for (QLabel* pSign : {label_4, label_8, label_188, label_190})
        pSign->setText(sSecond);
    pRefLatNorth->setText(QStringLiteral("N"));
    pRefLatSouth->setText(QStringLiteral("S"));
    pRefLonEast->setText(QStringLiteral("E"));
    pRefLonWest->setText(QStringLiteral("W"));
    for (QLineEdit* pEdit : {pRefLatDeg, pRefLatMinute, pRefLonDeg, pRefLonMinute})
        pEdit->setText(QStringLiteral("0"));
    pRefLatSecond->setText(QStringLiteral("0.00000"));
    pRefLonSecond->setText(QStringLiteral("0.00000"));
    label_9->setText(Tr("Reference Height"));
    pRefHeight->setText(QStringLiteral("0.000"));
    label_10->setText(Tr("[m]"));
    label_192->setText(Tr("[m]"));
    label_11->setText(Tr("Load Current Position"));
    pRefCurPosButton->setText(Tr("Current Position"));
    label_13->setText(Tr("Position Averaging"));
    label_14->setText(Tr("Current Position"));
    label_15->setText(Tr("Latitude"));
    label_17->setText(Tr("Longitude"));
    label_19->setText(Tr("Height"));
    for (QLabel* pValue : {pPosLatDeg, pPosLatMinute, pPosLatSecond, pPosLatNorthSouth, pPosLonDeg, pPosLonMinute,
                           pPosLonSecond, pPosLonEastWest, pPosHeight})
        pValue->setText(QString());
    pRefOKButton->setText(Tr("OK"));
    pRefCancelButton->setText(Tr("Cancel"));

    // PPS: the items are the words of the command (the switch reads in the
    // user's language, the command takes its own word by index).
    pPPSCONFIG->setText(QStringLiteral("PPSCONFIG "));
    pPpsconfigTimeref->setItemText(0, QStringLiteral("GPS"));
    pPpsconfigTimeref->setItemText(1, QStringLiteral("BDS"));
    pPpsconfigSwitch->setItemText(0, Tr("Enable"));
    pPpsconfigSwitch->setItemText(1, Tr("Disable"));
    pPpsconfigPolarity->setItemText(0, QStringLiteral("POSITIVE"));
    pPpsconfigPolarity->setItemText(1, QStringLiteral("NEGATIVE"));
    const char* const periods[] = {"50", "100", "200", "250", "500", "1000", "2000"};
    for (int i = 0; i < 7; ++i)
        pPpsconfigPeriod->setItemText(i, QLatin1String(periods[i]));
    pPpsconfigWidth->setText(QStringLiteral("1000"));
    pPpsconfigRfDelay->setText(QStringLiteral("0"));
    pPpsconfigUserDelay->setText(QStringLiteral("0"));
    pPPSOK->setText(Tr("OK"));
    pPPSCancel->setText(Tr("Cancel"));

    // Sat Enable.
    label_33->setText(Tr("Elevation Mask"));
    label_34->setText(Tr("RTK Elevation Mask"));
    label_185->setText(sDegree);
    label_186->setText(sDegree);
    pElevMask->setText(QStringLiteral("0.00"));
    pRTKElevMask->setText(QStringLiteral("0.00"));
    const char* const satTitles[SAT_PAGE_COUNT] = {"GPS", "GLONASS", "Galileo", "BDS"};
    for (int i = 0; i < SAT_PAGE_COUNT; ++i)
    {
        SAT_PAGE_T& page = SatPages[i];
        LockWindow->setTabText(LockWindow->indexOf(page.pPage), QLatin1String(satTitles[i]));
        for (int c = 0; c < 4; ++c)
        {
            if (page.SvHeaders[c] != nullptr)
                page.SvHeaders[c]->setText(QStringLiteral("SV"));
            if (page.EnableHeaders[c] != nullptr)
                page.EnableHeaders[c]->setText(Tr("Enable"));
        }
        page.pEnableAll->setText(Tr("Enable All"));
        page.pDisableAll->setText(Tr("Disable All"));
        page.pOK->setText(Tr("OK"));
        page.pCancel->setText(Tr("Cancel"));
    }

    // Ntrip.
    pNtripSever->setText(Tr("Server"));
    pNtripClient->setText(Tr("Client"));
    label_193->setText(Tr("Enable"));
    label_194->setText(Tr("Ntrip Format"));
    pNtripFormat->setItemText(0, QStringLiteral("V1 Http"));
    pNtripFormat->setItemText(1, QStringLiteral("V2 Http"));
    pNtripName->setText(Tr("Server Name"));
    label_196->setText(Tr("Port"));
    pUsernamelabel->setText(Tr("Username"));
    label_198->setText(Tr("Password"));
    pMountPointText->setText(Tr("Mount Point"));
    pNtripOK->setText(Tr("OK"));
    pNtripCancel->setText(Tr("Cancel"));

    tabWidget->setTabText(tabWidget->indexOf(tab), Tr("NetConfig"));
    tabWidget->setTabText(tabWidget->indexOf(tab_2), Tr("RefStation"));
    tabWidget->setTabText(tabWidget->indexOf(tab_3), Tr("PPS"));
    tabWidget->setTabText(tabWidget->indexOf(tab_4), Tr("Sat Enable"));
    tabWidget->setTabText(tabWidget->indexOf(tab_9), Tr("Ntrip"));
}
