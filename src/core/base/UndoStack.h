// A bounded history of named steps for undo and redo. Each step holds the
// state from before the command it undoes; undoing swaps in that state and
// keeps the present one for redo. The states are whole copies, cheap because
// Qt's containers share their data until one side changes.
#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <utility>

namespace vexlon {

template <typename State>
class UndoStack {
public:
    explicit UndoStack(std::size_t limit = 200) : m_limit(limit == 0 ? 1 : limit) {}

    // A command named name changed the state; before is the state it found.
    // Anything that could be redone is gone; the oldest step goes when the
    // history is full.
    void push(const QString& name, State before)
    {
        m_redo.clear();
        m_undo.push_back({name, std::move(before)});
        while (m_undo.size() > m_limit)
            m_undo.pop_front();
    }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // The name of the step the next undo or redo takes back or does again.
    QString undoName() const { return m_undo.empty() ? QString() : m_undo.back().name; }
    QString redoName() const { return m_redo.empty() ? QString() : m_redo.back().name; }
    // The state the next undo or redo would restore (null when none).
    const State* nextUndoState() const { return m_undo.empty() ? nullptr : &m_undo.back().state; }
    const State* nextRedoState() const { return m_redo.empty() ? nullptr : &m_redo.back().state; }
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    std::size_t limit() const { return m_limit; }

    // Takes the last step back: returns the state to restore, and keeps
    // present for a redo. Nothing when there is no step.
    std::optional<State> undo(State present) { return travel(m_undo, m_redo, std::move(present)); }

    // Does the last undone step again: returns the state to restore.
    std::optional<State> redo(State present) { return travel(m_redo, m_undo, std::move(present)); }

    // Visits every kept state, undo and redo side alike (to mark which of
    // them still match what was last saved).
    template <typename Visit>
    void forEachState(Visit visit)
    {
        for (Step& step : m_undo)
            visit(step.state);
        for (Step& step : m_redo)
            visit(step.state);
    }

    void clear()
    {
        m_undo.clear();
        m_redo.clear();
    }

private:
    struct Step {
        QString name;
        State state;
    };

    // Takes the last step off from, keeping present under its name on to.
    static std::optional<State> travel(std::deque<Step>& from, std::deque<Step>& to, State present)
    {
        if (from.empty())
            return std::nullopt;
        Step step = std::move(from.back());
        from.pop_back();
        to.push_back({step.name, std::move(present)});
        return std::move(step.state);
    }

    std::size_t m_limit;
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
};

} // namespace vexlon
