// Languages: the first one follows the system locale, the LANGUAGE menu
// switches at run time, every window's texts change with it and come back.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include <map>

#include "converter/ui/moxelin_main_window.h"
#include "window_test_support.h"
#include "zv_version.h"

namespace
{
// Every text a user can see in the window and its child windows, by object.
std::map<QString, QString> VisibleTexts(CMoxelinMainWindow* pWindow)
{
    std::map<QString, QString> texts;
    QList<QWidget*> windows = {pWindow};
    for (QWidget* pChild : pWindow->findChildren<QWidget*>())
        if (qobject_cast<QMainWindow*>(pChild) || qobject_cast<QDialog*>(pChild))
            windows << pChild;
    for (QWidget* pTop : windows)
    {
        const QString sWindow = pTop->objectName();
        texts[sWindow + "/title"] = pTop->windowTitle();
        for (QWidget* p : pTop->findChildren<QWidget*>())
        {
            if (p->window() != pTop || !p->isVisibleTo(pTop))
                continue;
            const QString sKey = sWindow + "/" + p->objectName();
            if (auto* pLabel = qobject_cast<QLabel*>(p); pLabel && !pLabel->text().isEmpty())
                texts[sKey] = pLabel->text();
            else if (auto* pButton = qobject_cast<QAbstractButton*>(p); pButton && !pButton->text().isEmpty())
                texts[sKey] = pButton->text();
            else if (auto* pGroup = qobject_cast<QGroupBox*>(p); pGroup && !pGroup->title().isEmpty())
                texts[sKey] = pGroup->title();
            else if (auto* pTabs = qobject_cast<QTabWidget*>(p))
                for (int i = 0; i < pTabs->count(); ++i)
                {
                    texts[sKey + QString("/tab%1").arg(i)] = pTabs->tabText(i);
                    texts[sKey + QString("/tip%1").arg(i)] = pTabs->widget(i)->toolTip();
                }
        }
    }
    for (QAction* pMenu : pWindow->menuBar()->actions())
    {
        texts["menu/" + pMenu->menu()->objectName()] = pMenu->text();
        for (QAction* pAction : pMenu->menu()->actions())
        {
            if (pAction->isSeparator())
                continue;
            // Language entries have no object name; their icon text is their code.
            const QString sName = pAction->menu()                   ? pAction->menu()->objectName()
                                  : pAction->objectName().isEmpty() ? pAction->iconText()
                                                                    : pAction->objectName();
            texts["menu/" + sName] = pAction->text();
            if (pAction->menu())
                for (QAction* pSub : pAction->menu()->actions())
                    texts["menu/" + pSub->objectName()] = pSub->text();
        }
    }
    return texts;
}

// Terms a Chinese GNSS engineer reads as they are: system and signal names,
// observation letters, formats, and the program's own name.
const QStringList kSameInBothLanguages = {"C",
                                          "L",
                                          "D",
                                          "S",
                                          "I",
                                          "X",
                                          "GPS",
                                          "GLO",
                                          "QZSS",
                                          "BDS",
                                          "GAL",
                                          "N",
                                          "U",
                                          "RANGECMP",
                                          "ASCII",
                                          "UTC",
                                          "X:",
                                          "Y:",
                                          "Z:",
                                          "H:",
                                          "E:",
                                          "N:",
                                          "Halvorne Moxelin"};
} // namespace

TEST_F(ConverterUiTest, SwitchingLanguageChangesEveryTextAndBack)
{
    CMoxelinMainWindow window;
    DeliverLanguageChange();
    ASSERT_EQ(window.CurrentLanguage(), "en");
    const std::map<QString, QString> english = VisibleTexts(&window);
    ASSERT_GT(english.size(), 100u);

    SwitchLanguage(&window, "zh");
    ASSERT_EQ(window.CurrentLanguage(), "zh");
    const std::map<QString, QString> chinese = VisibleTexts(&window);
    ASSERT_EQ(chinese.size(), english.size());
    for (const auto& [sKey, sText] : english)
    {
        if (kSameInBothLanguages.contains(sText))
            continue;
        const auto it = chinese.find(sKey);
        ASSERT_NE(it, chinese.end()) << sKey.toStdString();
        EXPECT_NE(it->second, sText) << sKey.toStdString() << " stays \"" << sText.toStdString() << "\"";
    }
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Halvorne Moxelin (版本:%1)").arg(ZV_VERSION_TEXT));
    // Qt's own texts follow: a standard button of a dialog reads Chinese.
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("取消"));

    SwitchLanguage(&window, "en");
    EXPECT_EQ(VisibleTexts(&window), english);
    EXPECT_EQ(window.windowTitle(), QString("Halvorne Moxelin (Ver:%1)").arg(ZV_VERSION_TEXT));
    QDialogButtonBox englishButtons(QDialogButtonBox::Cancel);
    EXPECT_EQ(englishButtons.button(QDialogButtonBox::Cancel)->text(), "Cancel");
}

TEST_F(ConverterUiTest, TheFirstLanguageFollowsTheSystemLocale)
{
    for (const auto& [eLanguage, pCode] : {std::pair<QLocale::Language, const char*>{QLocale::Chinese, "zh"},
                                           {QLocale::German, "en"},
                                           {QLocale::English, "en"}})
    {
        QLocale::setDefault(QLocale(eLanguage));
        CMoxelinMainWindow window;
        DeliverLanguageChange();
        EXPECT_EQ(window.CurrentLanguage(), pCode);
        for (QAction* pAction : Find<QMenu>(&window, "LanguageMenu")->actions())
            EXPECT_EQ(pAction->isChecked(), pAction->iconText() == pCode);
    }
}

TEST_F(ConverterUiTest, ChoosingTheCurrentLanguageChangesNothing)
{
    CMoxelinMainWindow window;
    DeliverLanguageChange();
    QSignalSpy changed(&window, &CMoxelinMainWindow::SignalLanguageChanged);
    SwitchLanguage(&window, "en");
    EXPECT_EQ(changed.count(), 0);
    SwitchLanguage(&window, "zh");
    EXPECT_GT(changed.count(), 0);
}

TEST_F(ConverterUiTest, RetranslationKeepsTheMixedNavigationLabel)
{
    CMoxelinMainWindow window;
    DeliverLanguageChange();
    Find<QAbstractButton>(&window, "Range2RnxMixedNavEnable")->setChecked(true);
    SwitchLanguage(&window, "zh");
    EXPECT_EQ(Find<QLabel>(&window, "GPSNavFileLabel")->text(), QString::fromUtf8("导航文件"));
    SwitchLanguage(&window, "en");
    EXPECT_EQ(Find<QLabel>(&window, "GPSNavFileLabel")->text(), "Nav File");
}

// The tooltip that says why RINEX 2 has no mixed navigation file follows the
// language.
TEST_F(ConverterUiTest, TheRinex2MixedNavigationTooltipFollowsTheLanguage)
{
    CMoxelinMainWindow window;
    DeliverLanguageChange();
    Find<QComboBox>(&window, "RnxVersion")->setCurrentText("2.11");
    auto* pMixed = Find<QAbstractButton>(&window, "Range2RnxMixedNavEnable");
    const QString sEnglish = pMixed->toolTip();
    EXPECT_TRUE(sEnglish.startsWith("RINEX 2 has no mixed navigation file")) << sEnglish.toStdString();
    SwitchLanguage(&window, "zh");
    EXPECT_TRUE(pMixed->toolTip().contains(QString::fromUtf8("混合导航文件"))) << pMixed->toolTip().toStdString();
    SwitchLanguage(&window, "en");
    EXPECT_EQ(pMixed->toolTip(), sEnglish);
}
