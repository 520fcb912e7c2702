// The KMZ window as a user drives it: the log chosen, the names it proposes,
// the icon and line choices, the options read into the export, an export
// that ends in a box (done, empty, failed), and a cancelled export.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "codec/position_logs.h"
#include "monitor/tools/kmz_gen_diag.h"
#include "support/log_generator.h"
#include "support/monitor/receiver_ports.h"
#include "support/profile_fixture.h"
#include "support/scripted_prompt.h"
#include "kmz_test_util.h"

namespace
{
using loggen::Position;
using loggen::PositionText;
using loggen::Record;

class KmzWindow : public ::testing::Test
{
protected:
    void SetUp() override { m_Dialog.ShowDiag(); }
    template <class T> T* Child(const char* pName) { return m_Dialog.findChild<T*>(QLatin1String(pName)); }
    QString WriteLog(const char* pName, uint32_t nEpochs, uint32_t nSolStatus = 0)
    {
        std::string sLog;
        for (uint32_t i = 0; i < nEpochs; ++i)
        {
            const PositionBody body = Position(51.1 + i * 1e-5, -114.0 + i * 1e-5, 1000.0, -16.0f, nSolStatus);
            sLog += PositionText(3, Record(MSG_ID_BESTPOS, 2295, 345600000 + i * 1000, body));
        }
        const QString sPath = m_Dir.filePath(QLatin1String(pName));
        QFile f(sPath);
        f.open(QIODevice::WriteOnly);
        f.write(sLog.data(), static_cast<qint64>(sLog.size()));
        return sPath;
    }
    void ChooseLog(const QString& sPath)
    {
        m_Prompt.Paths = {sPath};
        Child<QPushButton>("m_OpenLogFile")->click();
    }
    QString Process()
    {
        const int nBefore = m_Prompt.Messages.size();
        Child<QPushButton>("m_ProcessButton")->click();
        if (!WaitUntil([&] { return m_Prompt.Messages.size() > nBefore && !m_Dialog.Worker()->isRunning(); }, 60000))
            return QStringLiteral("no message");
        return m_Prompt.Messages.last();
    }

    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
    CScriptedPrompt m_Prompt;
    QTemporaryDir m_Dir;
    QKMZGenDiag m_Dialog;
};
} // namespace

TEST_F(KmzWindow, TheLogNamesTheTrackAndTheArchive)
{
    ChooseLog(QStringLiteral("/data/log/rx.log"));
    EXPECT_EQ(m_Prompt.Choosers, QStringList{QStringLiteral("Log file config")});
    EXPECT_EQ(Child<QLineEdit>("m_LogFilePath")->text(), QStringLiteral("/data/log/rx.log"));
    EXPECT_EQ(Child<QLineEdit>("m_DisplayName")->text(), QStringLiteral("rx"));
    // Only the file's own suffix changes, not the same letters in a folder name.
    EXPECT_EQ(Child<QLineEdit>("m_KMZFilePath")->text(), QStringLiteral("/data/log/rx.kmz"));
    ChooseLog(QStringLiteral("/data/day.2/rover.01.txt"));
    EXPECT_EQ(Child<QLineEdit>("m_DisplayName")->text(), QStringLiteral("rover.01"));
    EXPECT_EQ(Child<QLineEdit>("m_KMZFilePath")->text(), QStringLiteral("/data/day.2/rover.01.kmz"));
    // A cancelled chooser changes nothing; "Open KMZ" may name a file that does not exist yet.
    Child<QPushButton>("m_OpenLogFile")->click();
    EXPECT_EQ(Child<QLineEdit>("m_LogFilePath")->text(), QStringLiteral("/data/day.2/rover.01.txt"));
    m_Prompt.Paths = {QStringLiteral("/tmp/new/track.kmz")};
    Child<QPushButton>("m_KMZLogFile")->click();
    EXPECT_EQ(m_Prompt.Choosers.last(), QStringLiteral("KMZ file config"));
    EXPECT_EQ(Child<QLineEdit>("m_KMZFilePath")->text(), QStringLiteral("/tmp/new/track.kmz"));
}

TEST_F(KmzWindow, IconAndLineChoicesReachTheExport)
{
    QRadioButton* pColours = Child<QRadioButton>("m_IconStyleRadioButton");
    QRadioButton* pOwn = Child<QRadioButton>("m_SelectIconRadioButton");
    QComboBox* pCombo = Child<QComboBox>("m_IconStyleCombo");
    QCheckBox* pSpeed = Child<QCheckBox>("m_DisplaySpeed");
    ASSERT_EQ(pCombo->count(), 13);
    EXPECT_EQ(pCombo->itemText(0), QStringLiteral("teal"));
    EXPECT_TRUE(pOwn->isChecked());
    EXPECT_FALSE(pCombo->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>("m_DisplayHeading")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>("m_HaeForceZero")->isEnabled()); // while the speed is the altitude
    pSpeed->click();
    EXPECT_TRUE(Child<QCheckBox>("m_HaeForceZero")->isEnabled());

    pColours->click();
    EXPECT_TRUE(pCombo->isEnabled());
    EXPECT_FALSE(Child<QPushButton>("m_SelectIcon")->isEnabled());
    EXPECT_FALSE(Child<QCheckBox>("m_DisplayHeading")->isEnabled());
    pCombo->setCurrentIndex(4);

    // A colour as the colour chooser gives it, stored in KML order.
    m_Prompt.Colours = {QColor(0x12, 0x34, 0x56)};
    Child<QPushButton>("m_SelectLineColor")->click();
    Child<QLineEdit>("m_TagOffset")->setText(QStringLiteral("250"));
    Child<QLineEdit>("m_IconSize")->setText(QStringLiteral("8"));
    Child<QComboBox>("m_RefMsgCombo")->setCurrentIndex(REF_POS_BESTPOS);
    ChooseLog(WriteLog("rx.log", 3));
    EXPECT_EQ(Process(), QStringLiteral("KMZ Generation complete|KMZ Generation complete"));
    const KMZ_SETTINGS_T& s = m_Dialog.Worker()->m_Settings;
    EXPECT_EQ(s.IconColour, 4u);
    EXPECT_EQ(s.LineColour, 0xFF563412u);
    EXPECT_EQ(s.TagOffset, 25);
    EXPECT_EQ(s.IconSize, 8u);
    EXPECT_FALSE(s.SpeedAsAltitude);
    EXPECT_EQ(s.RefMsgType, static_cast<uint32_t>(REF_POS_BESTPOS));
    const KMZ_CONTENT_T k = ReadKmz(m_Dir.filePath(QStringLiteral("rx.kmz")), m_Dir.filePath(QStringLiteral("s.kml")));
    ASSERT_TRUE(k.Error.isEmpty()) << k.Error.toStdString();
    ASSERT_EQ(k.Placemarks.size(), 3u + 2u + 2u); // epochs, start and end, segments
    EXPECT_TRUE(k.Kml.contains("<scale>0.8</scale>"));
    EXPECT_TRUE(k.Kml.contains("<color>ff563412</color>"));
    EXPECT_EQ(k.Placemarks[1].FolderName, QStringLiteral("Tag25"));
    for (const KML_PLACEMARK_T& m : k.Placemarks)
    {
        if (!m.Href.isEmpty())
        {
            EXPECT_TRUE(k.Entries.contains(m.Href)) << m.Href.toStdString();
        }
    }

    // Back to an own icon: the chooser opens; what is no image keeps the icon before.
    m_Prompt.Paths = {m_Dir.filePath(QStringLiteral("rx.log"))};
    pOwn->click();
    EXPECT_EQ(m_Prompt.Messages.last(), QStringLiteral("Invalid ICON|the Icon file is invalid"));
    EXPECT_EQ(m_Prompt.Choosers.last(), QStringLiteral("Set Icon file"));
    const QString sIcon = m_Dir.filePath(QStringLiteral("my icon.png"));
    ASSERT_TRUE(KmzNumberIcon(1, 7).save(sIcon));
    m_Prompt.Paths = {sIcon};
    Child<QPushButton>("m_SelectIcon")->click();
    Child<QComboBox>("m_RefMsgCombo")->setCurrentIndex(REF_POS_BESTPOS);
    EXPECT_EQ(Process(), QStringLiteral("KMZ Generation complete|KMZ Generation complete"));
    EXPECT_EQ(m_Dialog.Worker()->m_Settings.IconColour, static_cast<uint32_t>(KMZ_OWN_ICON));
    EXPECT_EQ(m_Dialog.Worker()->m_Settings.OwnIconPath, sIcon);
    EXPECT_EQ(Child<QProgressBar>("m_ProcessBar")->value(), 100);
    EXPECT_EQ(Child<QLabel>("m_sProcessLineCount")->text(),
              QStringLiteral("Processed Epoch 3, Processed Data %1 %1").arg(QFileInfo(m_Dir.filePath("rx.log")).size()));
}

TEST_F(KmzWindow, EveryEndOfAnExportIsReported)
{
    Child<QComboBox>("m_RefMsgCombo")->setCurrentIndex(REF_POS_BESTPOS);
    EXPECT_EQ(Process(), QStringLiteral("Error|Please choose the log file!"));
    Child<QLineEdit>("m_LogFilePath")->setText(m_Dir.filePath(QStringLiteral("none.log")));
    EXPECT_EQ(Process(), QStringLiteral("Error|The log file does not exist!"));

    ChooseLog(WriteLog("nofix.log", 5, 1));
    EXPECT_EQ(Process(), QStringLiteral("KMZ Generation complete|KMZ Generation complete\n"
                                        "No epoch of the log has a position solution: the track is empty."));
    Child<QLineEdit>("m_KMZFilePath")->setText(m_Dir.filePath(QStringLiteral("no/folder/x.kmz")));
    EXPECT_TRUE(Process().startsWith(QStringLiteral("Error|The KMZ file cannot be created: ")));
    Child<QLineEdit>("m_KMZFilePath")->clear();
    EXPECT_EQ(Process(), QStringLiteral("Error|Please choose the KMZ file!"));
    Child<QLineEdit>("m_KMZFilePath")->setText(m_Dir.filePath(QStringLiteral("ok.kmz")));
    Child<QLineEdit>("m_TagOffset")->setText(QStringLiteral("ten"));
    EXPECT_EQ(Process(), QStringLiteral("Error|\"ten\" is not a number!"));
}

TEST_F(KmzWindow, ACancelledExportKeepsNothing)
{
    ChooseLog(WriteLog("long.log", 2000));
    const QString sKmz = Child<QLineEdit>("m_KMZFilePath")->text();
    Child<QComboBox>("m_RefMsgCombo")->setCurrentIndex(REF_POS_BESTPOS);
    QKMZGenThread* pWorker = m_Dialog.Worker();
    // Cancelled from its first progress report, as the Cancel button does.
    QObject::connect(pWorker, &QKMZGenThread::SignalParseLogInfo, pWorker, [pWorker] { pWorker->Cancel(); },
            Qt::DirectConnection);
    QSignalSpy done(pWorker, &QKMZGenThread::SignalParseComplete);
    const int nMessages = m_Prompt.Messages.size();
    Child<QPushButton>("m_ProcessButton")->click();
    ASSERT_TRUE(WaitUntil([&] { return done.count() == 1 && !pWorker->isRunning(); }, 60000));
    QCoreApplication::processEvents();
    EXPECT_EQ(pWorker->Result().Info.Status, static_cast<uint32_t>(KMZ_CANCELLED));
    EXPECT_FALSE(QFileInfo::exists(sKmz));
    EXPECT_EQ(m_Prompt.Messages.size(), nMessages);
    EXPECT_EQ(Child<QProgressBar>("m_ProcessBar")->value(), 0);

    // Cancel closes the window.
    Child<QPushButton>("m_CancelButton")->click();
    EXPECT_FALSE(m_Dialog.isVisible());
}
