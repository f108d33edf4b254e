#include "core/app/History.h"

#include "core/app/DictionaryFiles.h"

#include "core/lists/ListFiles.h"

#include <QHash>
#include <algorithm>

namespace vexlon {

namespace {

bool sameRows(const QVector<DictRow>& a, const QVector<DictRow>& b)
{
    if (a.size() != b.size())
        return false;
    if (a.constData() == b.constData())
        return true;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const DictRow& x = a.at(i);
        const DictRow& y = b.at(i);
        if (x.word != y.word || x.number != y.number || x.languageId != y.languageId || x.language != y.language
            || x.status != y.status)
            return false;
    }
    return true;
}

// The same words with the same numbers and languages, in any order: what a
// save would write is the same (a file keeps no status).
bool sameWords(const QVector<DictRow>& a, const QVector<DictRow>& b)
{
    if (a.size() != b.size())
        return false;
    if (a.constData() == b.constData())
        return true;
    const auto keys = [](const QVector<DictRow>& rows) {
        QList<QString> out;
        out.reserve(rows.size());
        for (const DictRow& r : rows)
            out << QString::fromLatin1(r.number) + QChar(0) + r.word + QChar(0) + QString::fromLatin1(r.languageId);
        std::sort(out.begin(), out.end());
        return out;
    };
    return keys(a) == keys(b);
}

QString rowKey(const DictRow& row)
{
    QString key = row.word;
    key += QChar(0);
    key += QString::fromLatin1(row.languageId);
    key += QChar(0);
    key += QString::fromLatin1(row.status);
    return key;
}

} // namespace

EditorSnapshot takeSnapshot(const Editor& editor)
{
    return {editor.table.rows(), editor.table.modified, editor.documentName, editor.state.whiteList,
            editor.state.blackList, editor.state.statisticList};
}

namespace {

// Whether anything but the modified mark differs.
bool contentChanged(const EditorSnapshot& before, const EditorSnapshot& after)
{
    return !sameRows(before.rows, after.rows) || before.documentName != after.documentName
        || !(before.whiteList == after.whiteList) || !(before.blackList == after.blackList)
        || !(before.statisticList == after.statisticList);
}

} // namespace

bool changedBetween(const EditorSnapshot& before, const EditorSnapshot& after)
{
    return contentChanged(before, after) || before.modified != after.modified;
}

void restoreSnapshot(Editor& editor, const EditorSnapshot& snapshot)
{
    ProgramState& state = editor.state;
    editor.table.replaceAll(snapshot.rows);
    editor.table.modified = snapshot.modified;
    editor.documentName = snapshot.documentName;
    // The lists live in their files as much as in memory.
    if ((snapshot.listMask & WhiteListBit) && !(state.whiteList == snapshot.whiteList)) {
        state.whiteList = snapshot.whiteList;
        WriteProgramList(state, ListKind::White);
    }
    if ((snapshot.listMask & BlackListBit) && !(state.blackList == snapshot.blackList)) {
        state.blackList = snapshot.blackList;
        WriteProgramList(state, ListKind::Black);
    }
    if ((snapshot.listMask & StatisticListBit) && !(state.statisticList == snapshot.statisticList)) {
        state.statisticList = snapshot.statisticList;
        WriteProgramList(state, ListKind::Statistic);
    }
}

QString describeChange(const QString& subject, const EditorSnapshot& before, const EditorSnapshot& after)
{
    // Rows are matched by word, language and status, whatever their number
    // and place: what is left over on each side was removed, added or
    // changed.
    QHash<QString, int> counts;
    for (const DictRow& row : before.rows)
        ++counts[rowKey(row)];
    qsizetype onlyAfter = 0;
    for (const DictRow& row : after.rows) {
        auto it = counts.find(rowKey(row));
        if (it != counts.end() && it.value() > 0)
            --it.value();
        else
            ++onlyAfter;
    }
    qsizetype onlyBefore = 0;
    for (int left : std::as_const(counts))
        onlyBefore += left;
    const qsizetype changed = qMin(onlyBefore, onlyAfter);
    const qsizetype removed = onlyBefore - changed;
    const qsizetype added = onlyAfter - changed;

    QStringList pieces;
    if (removed > 0)
        pieces << QStringLiteral("removed %1").arg(wordsText(removed));
    if (added > 0)
        pieces << QStringLiteral("added %1").arg(pieces.isEmpty() ? wordsText(added) : QString::number(added));
    if (changed > 0)
        pieces << QStringLiteral("changed %1").arg(pieces.isEmpty() ? wordsText(changed) : QString::number(changed));
    if (!pieces.isEmpty()) {
        QString text = pieces.takeLast();
        if (!pieces.isEmpty())
            text = pieces.join(QStringLiteral(", ")) + QStringLiteral(" and ") + text;
        return subject + QLatin1Char(' ') + text;
    }
    if (!sameRows(before.rows, after.rows))
        return subject + QStringLiteral(" changed the order or numbers of the words");
    QStringList lists;
    if (!(before.whiteList == after.whiteList))
        lists << QStringLiteral("the white list");
    if (!(before.blackList == after.blackList))
        lists << QStringLiteral("the black list");
    if (!(before.statisticList == after.statisticList))
        lists << QStringLiteral("the statistic list");
    if (!lists.isEmpty())
        return subject + QStringLiteral(" changed ") + lists.join(QStringLiteral(" and "));
    return QString();
}

StepRecorder::StepRecorder(Editor& editor, QString name, QString subject)
    : m_editor(editor), m_name(std::move(name)), m_subject(subject.isEmpty() ? m_name : std::move(subject)),
      m_before(takeSnapshot(editor))
{
}

StepRecorder::~StepRecorder()
{
    if (!m_finished)
        finish();
}

bool StepRecorder::finish()
{
    if (m_finished)
        return false;
    m_finished = true;
    EditorSnapshot after = takeSnapshot(m_editor);
    if (!m_before.modified && after.modified && !contentChanged(m_before, after)) {
        m_editor.table.modified = false;
        after.modified = false;
    }
    if (!changedBetween(m_before, after)) {
        if (!m_report.isEmpty() && m_editor.state.dialogs)
            m_editor.state.ui().report(m_report);
        return false;
    }
    const QString text = m_report.isEmpty() ? describeChange(m_subject, m_before, after) : m_report;
    m_before.listMask = (m_before.whiteList == after.whiteList ? 0 : WhiteListBit)
        | (m_before.blackList == after.blackList ? 0 : BlackListBit)
        | (m_before.statisticList == after.statisticList ? 0 : StatisticListBit);
    m_editor.history.push(m_name, std::move(m_before));
    if (!text.isEmpty() && m_editor.state.dialogs)
        m_editor.state.ui().report(text);
    return true;
}

namespace {

bool travel(Editor& editor, bool back)
{
    const EditorSnapshot* next = back ? editor.history.nextUndoState() : editor.history.nextRedoState();
    if (!next)
        return false;
    const QString name = back ? editor.history.undoName() : editor.history.redoName();
    // The present state goes to the other side with the same lists in play
    // as the state it is swapped for.
    EditorSnapshot present = takeSnapshot(editor);
    present.listMask = next->listMask;
    std::optional<EditorSnapshot> target =
        back ? editor.history.undo(std::move(present)) : editor.history.redo(std::move(present));
    if (!target)
        return false;
    restoreSnapshot(editor, *target);
    if (editor.state.dialogs)
        editor.state.ui().report((back ? QStringLiteral("Undo ") : QStringLiteral("Redo ")) + name);
    return true;
}

} // namespace

bool UndoStep(Editor& editor)
{
    return travel(editor, true);
}

bool RedoStep(Editor& editor)
{
    return travel(editor, false);
}

QString undoText(const Editor& editor)
{
    return editor.history.canUndo() ? QStringLiteral("Undo ") + editor.history.undoName() : QString();
}

QString redoText(const Editor& editor)
{
    return editor.history.canRedo() ? QStringLiteral("Redo ") + editor.history.redoName() : QString();
}

void markDocumentSaved(Editor& editor)
{
    editor.table.modified = false;
    const QVector<DictRow>& present = editor.table.rows();
    const QString& name = editor.documentName;
    editor.history.forEachState([&](EditorSnapshot& state) {
        if (state.documentName == name)
            state.modified = !sameWords(state.rows, present);
    });
}

} // namespace vexlon
