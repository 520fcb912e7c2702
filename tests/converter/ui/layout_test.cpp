// Every window at its default size, in both languages: rendered to an image,
// and no label, button, group title, combo box or tab shows less than its text
// needs.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>

#include "converter/ui/about_moxelin_dialog.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "converter/ui/sample_extract_window.h"
#include "window_test_support.h"

namespace
{
QString Describe(const QWidget* p, const QString& sText, QSize need)
{
    return QString("%1 \"%2\": needs %3x%4, has %5x%6")
        .arg(p->objectName(), sText)
        .arg(need.width())
        .arg(need.height())
        .arg(p->width())
        .arg(p->height());
}

// Widgets of the window whose text is cut by their own geometry.
QStringList ClippedTexts(QWidget* pWindow)
{
    QStringList clipped;
    for (QWidget* p : pWindow->findChildren<QWidget*>())
    {
        if (!p->isVisibleTo(pWindow) || p->window() != pWindow)
            continue;
        if (auto* pLabel = qobject_cast<QLabel*>(p))
        {
            if (pLabel->text().isEmpty() || pLabel->wordWrap())
                continue;
            const QSize need = pLabel->sizeHint();
            if (need.width() > p->width() || need.height() > p->height())
                clipped << Describe(p, pLabel->text(), need);
        }
        else if (auto* pButton = qobject_cast<QAbstractButton*>(p))
        {
            if (pButton->text().isEmpty())
                continue;
            const QSize need = pButton->sizeHint();
            if (need.width() > p->width() || need.height() > p->height())
                clipped << Describe(p, pButton->text(), need);
        }
        else if (auto* pGroup = qobject_cast<QGroupBox*>(p))
        {
            const QSize need = pGroup->minimumSizeHint();
            if (!pGroup->title().isEmpty() && need.width() > p->width())
                clipped << Describe(p, pGroup->title(), need);
        }
        else if (auto* pCombo = qobject_cast<QComboBox*>(p))
        {
            const int nText = pCombo->fontMetrics().horizontalAdvance(pCombo->currentText());
            if (!pCombo->isEditable() && nText + 24 > p->width())
                clipped << Describe(p, pCombo->currentText(), QSize(nText + 24, 0));
        }
        else if (auto* pTabs = qobject_cast<QTabBar*>(p))
        {
            for (int i = 0; i < pTabs->count(); ++i)
            {
                const QSize need(pTabs->fontMetrics().horizontalAdvance(pTabs->tabText(i)) + 16, 0);
                if (pTabs->tabRect(i).width() < need.width())
                    clipped << Describe(p, pTabs->tabText(i), need);
            }
        }
    }
    return clipped;
}

// Shows the window, renders it (kept under ZV_UI_SHOTS when that is set) and
// returns what is clipped.
std::string RenderAndCheck(QWidget* pWindow, const QString& sShotName)
{
    pWindow->show();
    QCoreApplication::processEvents();
    const QImage image = pWindow->grab().toImage();
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), pWindow->size() * pWindow->devicePixelRatioF());
    const QByteArray sShots = qgetenv("ZV_UI_SHOTS");
    if (!sShots.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(sShots)).filePath(sShotName + ".png"));
    const QStringList clipped = ClippedTexts(pWindow);
    pWindow->hide();
    return clipped.join('\n').toStdString();
}

class LayoutTest : public ConverterUiTest, public ::testing::WithParamInterface<const char*>
{
};
} // namespace

TEST_P(LayoutTest, EveryWindowShowsItsTextsUncut)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    if (sLanguage == "zh")
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    CMoxelinMainWindow window;
    DeliverLanguageChange();
    ASSERT_EQ(window.CurrentLanguage(), sLanguage);

    auto* pTabs = Find<QTabWidget>(&window, "RangeRnxTab");
    for (int nPage = 0; nPage < pTabs->count(); ++nPage)
    {
        pTabs->setCurrentIndex(nPage);
        EXPECT_EQ(RenderAndCheck(&window, QString("main_%1_page%2").arg(sLanguage).arg(nPage + 1)), "");
    }
    // Mixed navigation relabels the GPS row with a text of its own.
    pTabs->setCurrentIndex(0);
    Find<QAbstractButton>(&window, "Range2RnxMixedNavEnable")->setChecked(true);
    EXPECT_EQ(RenderAndCheck(&window, "main_" + sLanguage + "_mixed"), "");
    // RINEX 2: no mixed file, a navigation row per system.
    Find<QComboBox>(&window, "RnxVersion")->setCurrentText("2.11");
    EXPECT_EQ(RenderAndCheck(&window, "main_" + sLanguage + "_rinex2"), "");
    Find<QComboBox>(&window, "RnxVersion")->setCurrentText("3.01");

    const std::pair<QWidget*, const char*> children[] = {{window.ObsHeaderWindow(), "obs_header"},
                                                         {window.NavHeaderWindow(), "nav_header"},
                                                         {window.SampleExtractWindow(), "sample_extract"},
                                                         {window.AboutDialog(), "about"}};
    for (const auto& child : children)
        EXPECT_EQ(RenderAndCheck(child.first, QString("%1_%2").arg(child.second, sLanguage)), "") << child.second;
}

INSTANTIATE_TEST_SUITE_P(Languages, LayoutTest, ::testing::Values("en", "zh"));
