// The command preset file: its line format both ways, what a hand-edited file
// keeps, which texts it can hold, and a save that a crash cannot cut.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "monitor/ports/config_file.h"
#include "monitor/shell/preset_file.h"

namespace
{
QByteArray ReadAll(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PRESET_SET_T OneGroup(const QString& sName, const QStringList& Labels, const QStringList& SendStrings)
{
    PRESET_SET_T set;
    set.GroupNames << sName;
    set.GroupLabels << Labels;
    set.GroupSendStrings << SendStrings;
    return set;
}

// A set of many groups with many buttons, so that writing it takes a while.
QByteArray LargeText(const QString& sTag)
{
    PRESET_SET_T set;
    for (int g = 0; g < 200; ++g)
    {
        QStringList labels, sends;
        for (int b = 0; b < 40; ++b)
        {
            labels << QStringLiteral("%1 %2-%3").arg(sTag).arg(g).arg(b);
            sends << QStringLiteral("log bestposa ontime %1\nlog rangecmpb ontime 1").arg(b);
        }
        set.GroupNames << QStringLiteral("Group %1 %2").arg(sTag).arg(g);
        set.GroupLabels << labels;
        set.GroupSendStrings << sends;
    }
    return FormatPresetText(set);
}
// What a save of Set writes is read back as Set.
void ExpectReadBackAsSaved(const PRESET_SET_T& Set)
{
    const QByteArray text = FormatPresetText(Set);
    SCOPED_TRACE(text.toStdString());
    const PRESET_SET_T again = ParsePresetText(text);
    EXPECT_EQ(again.GroupNames, Set.GroupNames);
    EXPECT_EQ(again.GroupLabels, Set.GroupLabels);
    EXPECT_EQ(again.GroupSendStrings, Set.GroupSendStrings);
    EXPECT_EQ(again.KeptLines, Set.KeptLines);
}
} // namespace

TEST(PresetFile, GroupsAreWrittenOneLineEachAndReadBack)
{
    // A line feed inside a send string is written "@LF" and read back as a line feed.
    EXPECT_EQ(FormatPresetText(OneGroup("G", {"Ver"}, {"log version\nlog bestpos"})),
              QByteArray("G:::Ver,,,log version@LFlog bestpos;;;\r\n"));
    EXPECT_EQ(FormatPresetText(OneGroup("Empty", {}, {})), QByteArray("Empty:::\r\n"));

    const struct
    {
        const char* Text;
        QStringList Names;
        QList<QStringList> Labels;
        QList<QStringList> Sends;
        QStringList Kept;
    } cases[] = {
        {"G:::Ver,,,log version@LFlog bestpos;;;\r\n", {"G"}, {{"Ver"}}, {{"log version\nlog bestpos"}}, {}},
        {"A:::a,,,x@CR;;;b,,,y;;;\r\nB:::\r\n", {"A", "B"}, {{"a", "b"}, {}}, {{"x\r", "y"}, {}}, {}},
        // Only comments or nothing valid: the one group "Default"; comments and
        // other lines are kept to be written back.
        {"####### my presets\r\n", {"Default"}, {{}}, {{}}, {"####### my presets"}},
        {"", {"Default"}, {{}}, {{}}, {}},
        {"just text\r\n:::\r\nG:::\r\n", {"G"}, {{}}, {{}}, {"just text", ":::"}},
        // A group with buttons may have an empty name; pieces without ",,," give no button.
        {":::a,,,b;;;c;;;\n", {""}, {{"a"}}, {{"b"}}, {}},
        // Text after a second ":::" or ",,," is not part of the group or the send string.
        {"G:::a,,,b,,,c;;;:::d,,,e;;;\r\n", {"G"}, {{"a"}}, {{"b"}}, {}},
        // UTF-8 both ways.
        {"测试:::测试,,,Café;;;\r\n", {"测试"}, {{"测试"}}, {{"Café"}}, {}},
        // A group a save would change is no group: the line is kept as it is.
        // Here the send string would be "y;", which a save writes "y;;;;" and
        // the next read cuts to "y".
        {"A:::x,,,y;:::;;;\r\n", {"Default"}, {{}}, {{}}, {"A:::x,,,y;:::;;;"}},
        // What a save wrote: the send string is "y", the ";" after it is no button.
        {"A:::x,,,y;;;;\r\nB:::\r\n", {"A", "B"}, {{"x"}, {}}, {{"y"}, {}}, {}},
        // A name with "@CR" would come back as a carriage return once the group has buttons.
        {"a@CRb:::\r\n", {"Default"}, {{}}, {{}}, {"a@CRb:::"}},
        // A group without a name or buttons is one, and a save keeps it one.
        {":::;;;\r\n", {""}, {{}}, {{}}, {}},
        // A name with a line break and no buttons.
        {"a@LFb:::;;;\r\n", {"a\nb"}, {{}}, {{}}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Text);
        const PRESET_SET_T set = ParsePresetText(QByteArray(c.Text));
        EXPECT_EQ(set.GroupNames, c.Names);
        EXPECT_EQ(set.GroupLabels, c.Labels);
        EXPECT_EQ(set.GroupSendStrings, c.Sends);
        EXPECT_EQ(set.KeptLines, c.Kept);
        ExpectReadBackAsSaved(set);
    }
    // A zero byte does not end the file: the groups after it are read too.
    const PRESET_SET_T zero = ParsePresetText(QByteArray("A:::a,,,x\0y;;;\r\nB:::\r\n", 22));
    EXPECT_EQ(zero.GroupNames, QStringList({"A", "B"}));
    EXPECT_EQ(zero.GroupSendStrings.value(0), QStringList(QString::fromUtf8("x\0y", 3)));
}

TEST(PresetFile, AGroupWithoutANameKeepsItWhenItsLastButtonIsDeleted)
{
    PRESET_SET_T set = ParsePresetText(":::a,,,log version;;;\r\n");
    ASSERT_EQ(set.GroupNames, QStringList{""});
    set.GroupLabels[0].clear();
    set.GroupSendStrings[0].clear();
    ExpectReadBackAsSaved(set);
}

TEST(PresetFile, AFileWhoseSaveWouldNotBeReadAgainIsNotTaken)
{
    // Carriage returns inside a line are read as they are and written "@CR":
    // this file is within the bound, its save three times over it.
    QByteArray text("G:::Reset,,,freset");
    text += QByteArray(PRESET_FILE_MAX_BYTES / 2, '\r');
    text += "x;;;\r\n";
    ASSERT_LE(text.size(), PRESET_FILE_MAX_BYTES);
    QTemporaryDir dir;
    const QString sPath = dir.filePath("CMD.txt");
    ASSERT_EQ(WritePresetFile(sPath, text), PRESET_OK);
    PRESET_SET_T set;
    int nFileStatus = 0;
    EXPECT_EQ(ReadPresetFile(sPath, &set, &nFileStatus), PRESET_UNREADABLE);
    EXPECT_EQ(nFileStatus, CONFIG_FILE_TOO_LARGE);
    EXPECT_EQ(set.GroupNames, QStringList{"Default"});
    EXPECT_FALSE(IsPresetSetStorable(ParsePresetText(text)));
}

TEST(PresetFile, TextsThatTheFileCannotHoldAreRecognised)
{
    const struct
    {
        const char* Name;
        const char* Label;
        const char* Send;
        bool Storable;
    } cases[] = {
        {"G", "Ver", "log version", true},
        {"G", "Two", "log version\r\nlog bestposa ontime 1", true},
        {"测试", "Café", "log 测试", true},
        {"G", "L", "a,,,b", false},
        {"G", "L", "a;;;b", false},
        {"G", "L", "a:::b", false},
        {"G", "L,", "x", false},
        {"G", "L", "x;", false},
        {"G", "L", "see ####### here", false},
        {"G", "L", "literal @CR", false},
        {"G", "@LF", "x", false},
        {"a:::b", "L", "x", false},
        {"a:", "L", "x", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.Name) + "|" + c.Label + "|" + c.Send);
        EXPECT_EQ(
            IsPresetGroupStorable(QString::fromUtf8(c.Name), {QString::fromUtf8(c.Label)}, {QString::fromUtf8(c.Send)}),
            c.Storable);
    }
    // A name is checked with and without buttons, a button on its own.
    EXPECT_TRUE(IsPresetNameStorable(QStringLiteral("Base station")));
    EXPECT_FALSE(IsPresetNameStorable(QStringLiteral("a@CRb")));
    EXPECT_FALSE(IsPresetNameStorable(QStringLiteral("a:")));
    EXPECT_TRUE(IsPresetButtonStorable(QStringLiteral("Ver"), QStringLiteral("log version")));
    EXPECT_FALSE(IsPresetButtonStorable(QStringLiteral("Ver"), QStringLiteral("y;")));
}

TEST(PresetFile, AFileIsWrittenInAFolderOfItsOwnAndAMissingOneReadsAsDefault)
{
    QTemporaryDir dir;
    const QString sPath = dir.filePath("Configure/Preset/CMD.txt");
    PRESET_SET_T set;
    EXPECT_EQ(ReadPresetFile(sPath, &set), PRESET_CANNOT_READ);
    EXPECT_EQ(set.GroupNames, QStringList{"Default"});
    // One that is there but cannot be read is told apart from a missing one.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Unreadable/CMD.txt")));
    EXPECT_EQ(ReadPresetFile(dir.filePath("Unreadable/CMD.txt"), &set), PRESET_UNREADABLE);
    EXPECT_EQ(set.GroupNames, QStringList{"Default"});

    const QByteArray text = FormatPresetText(OneGroup("G", {"Ver"}, {"log version"}));
    ASSERT_EQ(WritePresetFile(sPath, text), PRESET_OK);
    EXPECT_EQ(ReadAll(sPath), text);
    EXPECT_EQ(ReadPresetFile(sPath, &set), PRESET_OK);
    EXPECT_EQ(set.GroupNames, QStringList{"G"});

    // A folder that cannot be made (a file stands in its place) fails the save.
    QFile blocker(dir.filePath("Blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(WritePresetFile(dir.filePath("Blocked/Preset/CMD.txt"), text), PRESET_CANNOT_WRITE);
}

TEST(PresetFile, ACrashWhileSavingLeavesTheOldOrTheNewFileWhole)
{
    QTemporaryDir dir;
    const QString sPath = dir.filePath("Configure/Preset/CMD.txt");
    const QByteArray texts[2] = {LargeText("old"), LargeText("new")};
    ASSERT_EQ(WritePresetFile(sPath, texts[0]), PRESET_OK);
    // A child process saves the two sets in turn until it is killed at some
    // point of a save; the file is then one of them, whole.
    for (int round = 0; round < 12; ++round)
    {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
        {
            for (int i = 0;; ++i)
                WritePresetFile(sPath, texts[i % 2]);
        }
        usleep(static_cast<useconds_t>(3000 + 1700 * round));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const QByteArray now = ReadAll(sPath);
        EXPECT_TRUE(now == texts[0] || now == texts[1]) << "round " << round << ": " << now.size() << " bytes";
    }
}
