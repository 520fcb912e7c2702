// Whether a window shows every text it holds: a label, button, group title,
// combo box, tab, item view cell or header section whose text needs more room
// than its own geometry gives it is cut. RenderAndCheck also renders the window to an image, kept under
// ZV_UI_SHOTS when that is set, so that it can be looked at. Whether a font
// lines text up in columns. Which English words a window shows where it
// should read Chinese.
#pragma once

#include <QAbstractButton>
#include <QRegularExpression>
#include <QSet>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QPlainTextEdit>
#include <QMenu>
#include "codec/catalogue.h"
#include <QComboBox>
#ifdef QT_CHARTS_LIB
#include <QAbstractAxis>
#include <QChartView>
#include <QLegendMarker>
#endif
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTableView>
#include <QTreeView>
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

inline QString DescribeCell(const QWidget* p, const QString& sWhere, const QString& sText, QSize need, QSize has)
{
    return QString("%1 %2 \"%3\": needs %4x%5, has %6x%7")
        .arg(p->objectName(), sWhere, sText)
        .arg(need.width())
        .arg(need.height())
        .arg(has.width())
        .arg(has.height());
}

// The header sections in sight whose text needs more room than the section has.
inline void ClippedSections(QHeaderView* pHeader, QStringList& clipped)
{
    const QAbstractItemModel* pModel = pHeader->model();
    if (pModel == nullptr)
        return;
    const bool bHorizontal = pHeader->orientation() == Qt::Horizontal;
    const int nExtent = bHorizontal ? pHeader->viewport()->width() : pHeader->viewport()->height();
    for (int i = 0; i < pHeader->count(); ++i)
    {
        const int iLogical = pHeader->logicalIndex(i);
        const int nPos = pHeader->sectionViewportPosition(iLogical);
        const int nSize = pHeader->sectionSize(iLogical);
        if (pHeader->isSectionHidden(iLogical) || nSize <= 0 || nPos + nSize <= 0 || nPos >= nExtent)
            continue;
        const QString sText = pModel->headerData(iLogical, pHeader->orientation(), Qt::DisplayRole).toString();
        if (sText.isEmpty())
            continue;
        QStyleOptionHeader option;
        option.initFrom(pHeader);
        const QVariant font = pModel->headerData(iLogical, pHeader->orientation(), Qt::FontRole);
        if (font.canConvert<QFont>())
            option.fontMetrics = QFontMetrics(font.value<QFont>());
        option.text = sText;
        option.section = iLogical;
        option.orientation = pHeader->orientation();
        option.textAlignment = pHeader->defaultAlignment();
        if (pHeader->isSortIndicatorShown() && pHeader->sortIndicatorSection() == iLogical)
            option.sortIndicator = QStyleOptionHeader::SortDown;
        const QSize need = pHeader->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), pHeader);
        const QSize has = bHorizontal ? QSize(nSize, pHeader->height()) : QSize(pHeader->width(), nSize);
        if (need.width() > has.width() || need.height() > has.height())
            clipped << DescribeCell(pHeader->parentWidget() ? pHeader->parentWidget() : pHeader,
                                    QString("header section %1").arg(iLogical), sText, need, has);
    }
}

// The cells in sight of an item view whose text, with its icon and check box,
// needs more room than the cell has (wrapped where the view wraps its text).
inline void ClippedCells(QAbstractItemView* pView, QStringList& clipped)
{
    const QAbstractItemModel* pModel = pView->model();
    if (pModel == nullptr)
        return;
    const QRect viewport = pView->viewport()->rect();
    auto* pTable = qobject_cast<QTableView*>(pView);
    auto* pTree = qobject_cast<QTreeView*>(pView);
    auto* pList = qobject_cast<QListView*>(pView);
    const bool bWrap = (pTable && pTable->wordWrap()) || (pTree && pTree->wordWrap()) || (pList && pList->wordWrap());
    QStyleOptionViewItem base;
    base.initFrom(pView->viewport());
    base.font = pView->font();
    base.fontMetrics = QFontMetrics(base.font);
    base.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    base.decorationAlignment = Qt::AlignCenter;
    base.decorationPosition = QStyleOptionViewItem::Left;
    const int nIcon = pView->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, pView);
    base.decorationSize = pView->iconSize().isValid() ? pView->iconSize() : QSize(nIcon, nIcon);
    base.textElideMode = pView->textElideMode();
    if (bWrap)
        base.features |= QStyleOptionViewItem::WrapText;
    const auto check = [&](const QModelIndex& index)
    {
        const QRect rect = pView->visualRect(index);
        if (rect.isEmpty() || !rect.intersects(viewport) || pView->indexWidget(index) != nullptr)
            return;
        const QString sText = index.data(Qt::DisplayRole).toString();
        if (sText.isEmpty())
            return;
        QStyleOptionViewItem option = base;
        option.rect = rect;
        const QSize need = pView->itemDelegate(index)->sizeHint(option, index);
        if (need.width() > rect.width() || need.height() > rect.height())
            clipped << DescribeCell(pView, QString("cell %1,%2").arg(index.row()).arg(index.column()), sText, need,
                                    rect.size());
    };
    const int nColumns = pModel->columnCount(pView->rootIndex());
    if (pTree != nullptr)
    {
        // The rows in sight, from the top one down, expanded children included.
        for (QModelIndex row = pTree->indexAt(QPoint(0, 0)); row.isValid(); row = pTree->indexBelow(row))
        {
            if (pTree->visualRect(row).top() > viewport.bottom())
                break;
            for (int c = 0; c < pModel->columnCount(row.parent()); ++c)
                check(row.siblingAtColumn(c));
        }
        return;
    }
    int iFirst = 0, iLast = pModel->rowCount(pView->rootIndex()) - 1;
    if (pTable != nullptr)
    {
        iFirst = qMax(0, pTable->rowAt(0));
        const int iBottom = pTable->rowAt(viewport.height() - 1);
        if (iBottom >= 0)
            iLast = iBottom;
    }
    for (int r = iFirst; r <= iLast; ++r)
        for (int c = 0; c < nColumns; ++c)
            check(pModel->index(r, c, pView->rootIndex()));
}

// Widgets of the window whose text is cut by their own geometry.
inline QStringList ClippedTexts(QWidget* pWindow)
{
    QStringList clipped;
    for (QWidget* p : pWindow->findChildren<QWidget*>())
    {
        if (!p->isVisibleTo(pWindow) || p->window() != pWindow)
            continue;
        if (auto* pHeader = qobject_cast<QHeaderView*>(p))
            ClippedSections(pHeader, clipped);
        else if (auto* pView = qobject_cast<QAbstractItemView*>(p))
            ClippedCells(pView, clipped);
        else if (auto* pLabel = qobject_cast<QLabel*>(p))
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

// Words a Chinese window may show in Latin letters: the receiver's own words
// (systems, protocols, ports, commands and their keywords), unit symbols and
// product names. Log names and the names of enumerated fields come from the
// message catalogue; words holding a digit or "_" are receiver words too.
inline bool IsReceiverWord(const QString& sWord)
{
    static const QSet<QString> kWords = [] {
        QSet<QString> words;
        for (const char* p :
             {"GPS", "GLO", "GLONASS", "GAL", "Galileo", "BDS", "BeiDou", "QZSS", "QZS", "SBAS", "IRNSS", "NavIC",
              "GNSS", "NMEA", "RTCM", "RINEX", "BINEX", "NTRIP", "NTrip", "Ntrip", "RTSP", "TCP", "UDP", "IP", "USB",
              "COM", "ICOM", "NCOM", "DTU", "PPS", "INS", "IMU", "RTK", "PPP", "PRN", "UTC", "GPST", "SN", "ID",
              "KMZ", "KML", "ASCII", "HEX", "CRC", "MD", "XMODEM", "XModem", "RF", "NVM", "TQ", "CMR", "DGPS", "SSR",
              "MSM", "DOP", "PDOP", "HDOP", "VDOP", "GDOP", "TDOP", "GGA", "GSA", "GSV", "RMC", "HDT", "VTG", "ZDA",
              "GST", "ECEF", "WGS", "CGCS", "NANO", "VX", "EVK", "ADR", "PSR", "LOG", "LOGLIST", "UNLOG", "ONTIME",
              "ONCHANGED", "ONNEW", "ONCE", "NONE", "AUTO", "STATIC", "DYNAMIC", "ON", "OFF", "ENABLE", "DISABLE",
              "Hz", "dB", "km", "ms", "mm", "cm", "bps", "KB", "MB", "GB", "deg", "rad", "sigma", "Ctrl", "Alt",
              "Shift", "Halvorne", "Moxelin", "Zorvik", "ZorvikMonitor", "QZorvikMonitor", "QMoxelin", "Qt",
              "Python", "MapBox", "Mapbox", "Baidu", "BaiDu", "README", "udev", "Linux", "English", "CN", "VVVV",
              "PPPP", "Http", "ca",
              // board names of the test receivers' version replies
              "Golden"})
            words.insert(QString::fromLatin1(p));
        for (const LOG_TABLE_E eTable : {LOG_TABLE_INTERNAL, LOG_TABLE_RECEIVER})
        {
            const LOG_NAME_TABLE_T table = GetLogNameTable(eTable);
            for (uint32_t i = 0; i < table.Count; ++i)
            {
                const QString sName = QString::fromLatin1(table.Rows[i].Name, int(table.Rows[i].NameLength));
                words << sName << sName + 'A' << sName + 'B';
            }
        }
        for (const CODE_NAME_TABLE_T table :
             {GetTimeStatusTable(), GetPositionTypeTable(), GetSolutionStatusTable(), GetDiffTypeTable()})
            for (uint32_t i = 0; i < table.Count; ++i)
                words << QString::fromLatin1(table.Rows[i].Name);
        return words;
    }();
    // Receivers write their words in capitals; these capitals are English a
    // window writes, not a receiver's.
    static const QSet<QString> kEnglishCapitals = {QStringLiteral("EXTERNAL"), QStringLiteral("HEADING"),
                                                   QStringLiteral("DUAL"), QStringLiteral("ANTENNA")};
    if (sWord == sWord.toUpper() && !kEnglishCapitals.contains(sWord))
        return true;
    return sWord.size() < 2 || sWord.contains(QRegularExpression(QStringLiteral("[0-9_]"))) || kWords.contains(sWord);
}

// The English words of one text a person reads: file paths, file patterns,
// addresses and the receiver's words left out.
inline QStringList EnglishWordsOf(const QString& sText)
{
    static const QRegularExpression kNotWords(
        QStringLiteral("(\\w+://\\S*)|(\\S*[/\\\\]\\S*)|(\\*?\\.\\w+\\b)|(\\b\\w+\\.(txt|log|bin|ini|csv|png|kmz|py|img|hex|\\d+[ONGLPCMRBIH])\\b)"));
    static const QRegularExpression kWord(QStringLiteral("[A-Za-z][A-Za-z0-9_]*"));
    QString sPlain = sText;
    sPlain.replace(kNotWords, QStringLiteral(" "));
    QStringList words;
    for (auto it = kWord.globalMatch(sPlain); it.hasNext();)
    {
        const QString sWord = it.next().captured();
        if (!IsReceiverWord(sWord))
            words << sWord;
    }
    return words;
}

// The texts of the window a person reads, each with where it is.
inline QList<QPair<QString, QString>> ReadTexts(QWidget* pWindow)
{
    QList<QPair<QString, QString>> texts;
    texts << qMakePair(QStringLiteral("window title"), pWindow->windowTitle());
    // A menu's entries, without their accelerator marks and shortcuts.
    if (auto* pMenu = qobject_cast<QMenu*>(pWindow))
        for (QAction* pAction : pMenu->actions())
            texts << qMakePair(QStringLiteral("menu entry"), pAction->text().remove('&').section('\t', 0, 0));
    const auto plain = [](const QString& s) {
        return Qt::mightBeRichText(s) ? QTextDocumentFragment::fromHtml(s).toPlainText() : s;
    };
    for (QWidget* p : pWindow->findChildren<QWidget*>())
    {
        if (!p->isVisibleTo(pWindow) || p->window() != pWindow)
            continue;
        const QString sName = p->objectName();
        if (auto* pHeader = qobject_cast<QHeaderView*>(p))
        {
            if (pHeader->model() != nullptr && !pHeader->isHidden())
                for (int i = 0; i < pHeader->count(); ++i)
                    texts << qMakePair(sName + " header",
                                       pHeader->model()->headerData(i, pHeader->orientation()).toString());
        }
        else if (auto* pView = qobject_cast<QAbstractItemView*>(p))
        {
            const QAbstractItemModel* pModel = pView->model();
            if (pModel != nullptr && qobject_cast<QComboBox*>(p->parentWidget()) == nullptr)
                for (int r = 0; r < qMin(pModel->rowCount(pView->rootIndex()), 200); ++r)
                    for (int c = 0; c < pModel->columnCount(pView->rootIndex()); ++c)
                    {
                        // An editable cell holds the user's own words.
                        const QModelIndex index = pModel->index(r, c, pView->rootIndex());
                        if ((pModel->flags(index) & Qt::ItemIsEditable) == 0)
                            texts << qMakePair(sName + " cell", index.data().toString());
                    }
        }
        else if (auto* pLabel = qobject_cast<QLabel*>(p))
            texts << qMakePair(sName, plain(pLabel->text()));
        else if (auto* pButton = qobject_cast<QAbstractButton*>(p))
        {
            texts << qMakePair(sName, QString(pButton->text()).remove('&'));
            auto* pPush = qobject_cast<QPushButton*>(p);
            if (pPush != nullptr && pPush->menu() != nullptr)
                for (QAction* pAction : pPush->menu()->actions())
                    texts << qMakePair(sName + " menu", pAction->text().remove('&'));
        }
        else if (auto* pGroup = qobject_cast<QGroupBox*>(p))
            texts << qMakePair(sName, pGroup->title());
        else if (auto* pCombo = qobject_cast<QComboBox*>(p))
        {
            if (!pCombo->isEditable())
                for (int i = 0; i < pCombo->count(); ++i)
                    texts << qMakePair(sName + " item", pCombo->itemText(i));
        }
        else if (auto* pTabs = qobject_cast<QTabBar*>(p))
        {
            for (int i = 0; i < pTabs->count(); ++i)
                texts << qMakePair(sName + " tab", pTabs->tabText(i).remove('&'));
        }
        else if (auto* pEdit = qobject_cast<QTextEdit*>(p))
        {
            // The debug window shows the program's traces, written for its developers.
            if (pEdit->isReadOnly() && sName != QLatin1String("pDebugTxBrowser"))
                texts << qMakePair(sName, pEdit->toPlainText());
        }
#ifdef QT_CHARTS_LIB
        else if (auto* pChart = qobject_cast<QtCharts::QChartView*>(p))
        {
            QtCharts::QChart* pC = pChart->chart();
            texts << qMakePair(sName + " chart title", pC->title());
            for (QtCharts::QAbstractAxis* pAxis : pC->axes())
                texts << qMakePair(sName + " axis", pAxis->titleText());
            for (QtCharts::QLegendMarker* pMarker : pC->legend()->markers())
                texts << qMakePair(sName + " legend", pMarker->label());
        }
#endif
    }
    return texts;
}

// The English words a Chinese window shows, with where each is.
inline QStringList EnglishWords(QWidget* pWindow)
{
    QStringList found;
    for (const auto& text : ReadTexts(pWindow))
    {
        const QStringList words = EnglishWordsOf(text.second);
        if (!words.isEmpty())
            found << QString("%1 \"%2\": English %3").arg(text.first, text.second.left(80), words.join(' '));
    }
    found.removeDuplicates();
    return found;
}

// What is cut in the window and, in a Chinese picture (its name holds the
// language "zh"), the English words it shows but the receiver's.
inline QStringList ClippedOrEnglish(QWidget* pWindow, const QString& sShotName)
{
    QStringList found = ClippedTexts(pWindow);
    if (sShotName.contains(QRegularExpression(QStringLiteral("(^|_)zh(_|$)"))))
        found << EnglishWords(pWindow);
    return found;
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
    const QStringList clipped = ClippedOrEnglish(pWindow, sShotName);
    pWindow->hide();
    return clipped.join('\n').toStdString();
}
