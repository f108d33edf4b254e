// Undo and redo in the list windows: random commands, each change one named
// step, undone and redone through every state of the rows and list files.
#include "core/lists/StatisticSession.h"
#include "core/lists/WhiteBlackListSession.h"

#include "core/lists/ListFiles.h"
#include "support/CoreFixture.h"
#include "support/RandomTables.h"

#include <QSet>

using namespace vexlon;
using namespace vexlon::test;

class ListHistoryTest : public CoreFixture {
protected:
    // All fields of every row, and the three list files without their date line.
    QList<QByteArray> snapshot(const ListRows& session)
    {
        QList<QByteArray> s;
        for (const ListRow& r : session.rows())
            s << bytes(r.word) + '|' + r.number + '|' + r.languageId + '|' + r.language + '|' + r.action;
        for (const char* name : {kWhiteListFile, kBlackListFile, kStatisticFile}) {
            QList<QByteArray> lines = read(QString::fromLatin1(name)).split('\n');
            lines.removeAt(2);
            s << lines.join('\n');
        }
        return s;
    }
    template <class List>
    void randomList(List& list)
    {
        decltype(List::Items) items;
        for (int i = random.below(12); i > 0; --i)
            items.append({random.word(3), random.below(30), static_cast<uint8_t>(random.below(2) ? 1 : 2), ""});
        setItems(list, items);
    }
    // A random selection, then a random command; the name its step gets.
    template <class Session>
    QString randomCommand(Session& s)
    {
        for (int i = 0; i < s.count(); ++i)
            s.setSelected(i, random.below(3) == 0);
        dialogs.languages = {random.below(5) == 0 ? kNoLanguage : static_cast<uint8_t>(random.below(3))};
        const QString word = random.below(6) == 0 ? QStringLiteral("a;b") : random.word(3);
        switch (random.below(7)) {
        case 0: return s.markDelete(), liststep::Delete;
        case 1: return s.cancelDeletion(), liststep::CancelDeletion;
        case 2: return s.confirmEdit(random.below(s.count() + 2) - 1, word), liststep::Edit;
        case 3: return s.sortByColumn(static_cast<ListColumn>(random.below(5)), random.below(2)), liststep::Sort;
        default: return own(s);
        }
    }
    QString own(WhiteBlackListSession& s)
    {
        switch (random.below(4)) {
        case 0: return s.add(), liststep::Add;
        case 1: return s.changeLanguage(), liststep::ChangeLanguage;
        case 2: return s.moveUp(), liststep::MoveUp;
        default: return s.moveDown(), liststep::MoveDown;
        }
    }
    QString own(StatisticSession& s)
    {
        switch (random.below(5)) {
        case 0: return s.toWhiteList(), liststep::ToWhiteList;
        case 1: return s.toBlackList(), liststep::ToBlackList;
        case 2: return s.setRating(QString::number(random.below(40) - 5)), liststep::SetRating;
        case 3: return s.setLanguage(), liststep::SetLanguage;
        default: return s.save(false), liststep::Save;
        }
    }
    // Forty random commands, then all undone and redone, each step compared
    // with the state it left.
    template <class Session>
    void roundTrip(Session& session)
    {
        std::vector<QList<QByteArray>> states {snapshot(session)};
        QStringList names;
        for (int n = 0; n < 40; ++n) {
            const QString name = randomCommand(session);
            if (snapshot(session) == states.back()) {
                ASSERT_EQ(session.undoCount(), names.size()) << name.toStdString() << " changed nothing";
                continue;
            }
            ASSERT_EQ(session.undoCount(), names.size() + 1) << name.toStdString();
            ASSERT_EQ(session.undoName(), name);
            ASSERT_FALSE(session.canRedo());
            names << name;
            states.push_back(snapshot(session));
        }
        for (qsizetype i = names.size(); i > 0; --i) {
            ASSERT_TRUE(session.undo());
            ASSERT_EQ(snapshot(session), states[static_cast<size_t>(i - 1)]) << "undoing " << i;
            ASSERT_EQ(session.redoName(), names[i - 1]);
        }
        EXPECT_FALSE(session.undo());
        for (qsizetype i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(session.redo());
            ASSERT_EQ(snapshot(session), states[static_cast<size_t>(i + 1)]) << "redoing " << i;
        }
        EXPECT_FALSE(session.redo());
        recorded += QSet<QString>(names.cbegin(), names.cend());
    }

    RandomTables random {21};
    QSet<QString> recorded;
};

TEST_F(ListHistoryTest, EveryChangeIsOneStepUndoneAndRedoneThroughEveryState)
{
    for (int round = 0; round < 30; ++round) {
        randomList(state.whiteList);
        randomList(state.blackList);
        randomList(state.statisticList);
        for (ListKind kind : {ListKind::White, ListKind::Black, ListKind::Statistic})
            WriteProgramList(state, kind);
        SCOPED_TRACE(round);
        if (round % 3 == 2) {
            StatisticSession session(state);
            roundTrip(session);
            while (session.undo()) {
            }
            EXPECT_TRUE(session.unchanged()); // back as opened: Cancel asks nothing
        } else {
            WhiteBlackListSession session(state, round % 3 ? WhiteBlackListSession::Kind::Black : WhiteBlackListSession::Kind::White);
            roundTrip(session);
        }
    }
    EXPECT_EQ(recorded.size(), 13) << QStringList(recorded.values()).join(", ").toStdString();
}

// A hundred steps are kept; a new change after an undo drops the redo.
TEST_F(ListHistoryTest, DepthAndANewChangeAfterUndo)
{
    setItems(state.whiteList, {{"a", 1, 1, ""}, {"b", 2, 1, ""}, {"c", 3, 1, ""}});
    WhiteBlackListSession session(state, WhiteBlackListSession::Kind::White);
    session.setSelected(0, true);
    for (int i = 0; i < 111; ++i)
        ASSERT_TRUE(i % 2 ? session.moveUp() : session.moveDown());
    int undone = 0;
    while (session.undo())
        ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(session.rows()[1].word, QByteArray("a")); // the eleven oldest moves stay
    session.redo();
    session.setSelected(2, true);
    session.markDelete();
    EXPECT_FALSE(session.canRedo());
    EXPECT_EQ(session.undoName(), QStringLiteral("Delete"));
    session.markDelete(); // the same marks again: no step
    EXPECT_EQ(session.undoCount(), 2u);
}
