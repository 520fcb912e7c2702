// Whether a window shows every text it holds: a label, button, group title,
// combo box or tab whose text needs more room than its own geometry gives it
// is cut. RenderAndCheck also renders the window to an image, kept under
// ZV_UI_SHOTS when that is set, so that it can be looked at. Whether a font
// lines text up in columns.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QTabBar>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

// Whether every glyph of a log or hex dump takes one width, so that columns
// line up (what counts, whatever the font calls itself).
inline bool HasOneGlyphWidth(const QFont& Font)
{
    const QFontMetricsF metrics(Font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar c : QStringLiteral("iWm.,:;|_ AF9#*"))
    {
        if (metrics.horizontalAdvance(c) != width)
            return false;
    }
    return width > 0;
}

inline QString Describe(const QWidget* p, const QString& sText, QSize need)
{
    return QString("%1 \"%2\": needs %3x%4, has %5x%6")
        .arg(p->objectName(), sText)
        .arg(need.width())
        .arg(need.height())
        .arg(p->width())
        .arg(p->height());
}

// Widgets of the window whose text is cut by their own geometry.
inline QStringList ClippedTexts(QWidget* pWindow)
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
            QSize need = pButton->sizeHint();
            // The style makes push buttons at least about 80 pixels wide
            // whatever their text; a narrower one still shows a short text.
            if (qobject_cast<QPushButton*>(p) != nullptr)
            {
                const int nIcon = pButton->icon().isNull() ? 0 : pButton->iconSize().width() + 4;
                const int nText = pButton->fontMetrics().horizontalAdvance(pButton->text()) + nIcon +
                                  2 * p->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, p);
                need.setWidth(qMin(need.width(), nText));
            }
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
inline std::string RenderAndCheck(QWidget* pWindow, const QString& sShotName)
{
    pWindow->show();
    QCoreApplication::processEvents();
    // On a display server (X) a shown window takes the size its layout asks
    // for once the server has answered; the picture and the check wait for it.
    QElapsedTimer clock;
    clock.start();
    while (pWindow->isWindow() && clock.elapsed() < 5000 &&
           pWindow->size() != pWindow->size().expandedTo(pWindow->minimumSize().expandedTo(pWindow->minimumSizeHint())))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
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
