#include "core/base/LanguagePacks.h"
#include "core/base/ProgramDirectory.h"

#include "support/CoreFixture.h"

using namespace vexlon;
using vexlon::test::CoreFixture;

namespace {

QByteArray listFile(const QByteArrayList& packs, const QByteArray& count = QByteArray())
{
    QByteArray out = "Vexlon LANGUAGELIST FILE\r\nfree text\r\nVEXLON2011TST\r\n";
    out += (count.isEmpty() ? QByteArray::number(packs.size() / 2) : count) + "\r\n";
    for (const QByteArray& line : packs)
        out += line + "\r\n";
    return out;
}

// A pack: five header lines, then the body.
QByteArray pack(const QByteArray& body) { return "h1\r\nh2\r\nh3\r\nh4\r\nh5\r\n" + body; }

} // namespace

class LanguagePacksTest : public CoreFixture {
protected:
    void SetUp() override
    {
        CoreFixture::SetUp();
        QDir(dir.path()).mkpath(QStringLiteral("Languages"));
        write("Languages/Languages.ini", listFile({"English", "en.lng", "\xD0\xF3\xF1\xF1\xEA\xE8\xE9", "ru.lng"}));
        write("Languages/en.lng", pack("2\r\nNew\r\nOpen\r\n--\r\nMESSAGES\r\n2\r\nFree: \r\nWords: \r\n--\r\nSTAT\r\n1\r\nReading\r\n"));
    }
    TiTAPLanguages list;
    UiTexts texts;
};

TEST_F(LanguagePacksTest, ListNamesPacksBesideItAndPacksSkipCommentsAndMisplacedSections)
{
    ASSERT_TRUE(LoadLanguageList(state.programDirectory, list));
    EXPECT_EQ(list.Tag, QStringLiteral("VEXLON2011TST"));
    ASSERT_EQ(list.Count, 2);
    EXPECT_EQ(list.Items[1].Name, QStringLiteral(u"Русский"));
    EXPECT_EQ(list.Items[0].FileName, state.programDirectory + QStringLiteral("/Languages/en.lng"));
    ASSERT_TRUE(LoadLanguagePack(list, 0, texts));
    EXPECT_EQ(texts.ui, QStringList({"New", "Open"}));
    // An entry the pack lacks reads as empty text.
    EXPECT_EQ(QStringList({texts.MESSAGES(1), texts.STAT(0), texts.STAT(16), texts.UI(-1)}), QStringList({"Words: ", "Reading", "", ""}));

    // An index out of range, a missing pack or a damaged list loads nothing.
    UiTexts none;
    EXPECT_FALSE(LoadLanguagePack(list, 2, none)); // equal to the number of packs
    EXPECT_FALSE(LoadLanguagePack(list, -1, none));
    EXPECT_FALSE(LoadLanguagePack(list, 1, none)); // ru.lng does not exist
    list.Tag = kCorruptTag;
    EXPECT_FALSE(LoadLanguagePack(list, 0, none));
    EXPECT_TRUE(none.ui.isEmpty());

    // Comment lines are skipped without counting, a bracketed line is an entry
    // like any other, and a misplaced section name leaves that table alone.
    ASSERT_TRUE(LoadLanguageList(state.programDirectory, list));
    texts.messages = QStringList {"old message"};
    write("Languages/en.lng", pack("2\r\n// about New\r\nNew\r\n//\r\n[Open]\r\nMESSAGES\r\nfree\r\n1\r\nnew message\r\n--\r\nSTAT\r\n1\r\nReading\r\n"));
    LoadLanguagePack(list, 0, texts);
    EXPECT_EQ(texts.ui, QStringList({"New", "[Open]"}));
    EXPECT_EQ(texts.messages, QStringList({"old message"}));
}

TEST_F(LanguagePacksTest, BadListsAndBrokenPacksAreRefusedWhole)
{
    const std::vector<std::pair<const char*, QByteArray>> cases {
        {"wrong first line", "Vexlon LANGUAGELIST FILE \r\nx\r\nVEXLON2011TST\r\n0\r\n"},
        {"wrong marker", "Vexlon LANGUAGELIST FILE\r\nx\r\nVEXLON2011\r\n0\r\n"},
        {"count not a number", listFile({"English", "en.lng"}, "one")},
        {"ends before its last pack", listFile({"English", "en.lng", "Russian"}, "2")},
        {"a pack outside the folder", listFile({"English", "en.lng", "Evil", "../../etc/passwd"})},
        {"a pack in a subfolder", listFile({"Evil", "sub/en.lng"})},
        {"a pack named by a backslash path", listFile({"Evil", "..\\Vexlon.ini"})},
        {"a pack named by the folder itself", listFile({"Evil", ".."})},
    };
    for (const auto& [what, content] : cases) {
        write("Languages/Languages.ini", content);
        TiTAPLanguages l;
        l.Tag = "kept";
        EXPECT_FALSE(LoadLanguageList(state.programDirectory, l)) << what;
        EXPECT_EQ(l.Tag, QStringLiteral("kept")) << what;
    }

    // A good list again; packs that break off or miscount are refused whole.
    write("Languages/Languages.ini", listFile({"English", "en.lng"}));
    ASSERT_TRUE(LoadLanguageList(state.programDirectory, list));
    texts.ui = QStringList {"kept ui"};
    texts.messages = QStringList {"kept message"};
    const std::vector<std::pair<const char*, QByteArray>> packs {
        {"UI count not a number", pack("ten\r\nNew\r\n")},
        {"ends inside the UI entries", pack("3\r\nNew\r\n")},
        {"MESSAGES count not a number", pack("1\r\nNew\r\n--\r\nMESSAGES\r\nx\r\n")},
        {"ends inside MESSAGES", pack("1\r\nNew\r\n--\r\nMESSAGES\r\n2\r\nm\r\n")},
        {"negative count", pack("-1\r\n")},
        {"count of 2147483647, reserving no room for it", pack("2147483647\r\nNew\r\n")},
    };
    for (const auto& [what, content] : packs) {
        write("Languages/en.lng", content);
        EXPECT_FALSE(LoadLanguagePack(list, 0, texts)) << what;
        EXPECT_EQ(texts.ui + texts.messages, QStringList({"kept ui", "kept message"})) << what;
    }
}

TEST_F(LanguagePacksTest, ProgramDirectoryPrefersTheExecutableFolderAndSeedsTheUserFolder)
{
    QDir(dir.path()).mkpath(QStringLiteral("exe"));
    QDir(dir.path()).mkpath(QStringLiteral("installed/Lists"));
    write("installed/iTAP_Lang_structure.dat", "installed");
    write("installed/Lists/WhiteList.csv", "installed list");
    QDir(dir.path()).mkpath(QStringLiteral("user/Lists"));
    write("user/Lists/WhiteList.csv", "the user's own list");

    const QString chosen = chooseProgramDirectory(file("exe"), file("user"), file("installed"));
    EXPECT_EQ(chosen, file("user") + QLatin1Char('/'));
    EXPECT_EQ(read("user/iTAP_Lang_structure.dat"), QByteArray("installed"));
    EXPECT_EQ(read("user/Lists/WhiteList.csv"), QByteArray("the user's own list"));

    write("exe/iTAP_Lang_structure.dat", "beside the program");
    EXPECT_EQ(chooseProgramDirectory(file("exe"), file("user"), file("installed")), file("exe") + QLatin1Char('/'));
}
