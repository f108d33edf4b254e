// Undo and redo of the editor's changes. Every command that may change the
// dictionary table or a word list runs as a named step: the state it found
// is kept when it changed something, and the status bar is told what it did.
#pragma once

#include "core/app/Editor.h"

#include <exception>
#include <utility>

namespace vexlon {

EditorSnapshot takeSnapshot(const Editor& editor);
// Puts a kept state back: the rows, the modified mark, the document name and
// the lists; a list that differs from the present one is written to its file.
void restoreSnapshot(Editor& editor, const EditorSnapshot& snapshot);
// Whether two states differ in anything a step records (selection aside).
bool changedBetween(const EditorSnapshot& before, const EditorSnapshot& after);

// What a step did, in words for the status bar: "Cleaning removed 12 words
// and changed 3"; subject names the command. Empty when nothing changed.
QString describeChange(const QString& subject, const EditorSnapshot& before, const EditorSnapshot& after);

// Records a step around a command. Construct before the command runs, call
// finish() when it has run (also when it failed half-way: what it changed
// is then still one step).
class StepRecorder {
public:
    StepRecorder(Editor& editor, QString name, QString subject = QString());
    ~StepRecorder();
    StepRecorder(const StepRecorder&) = delete;
    StepRecorder& operator=(const StepRecorder&) = delete;

    // Keeps the step when the command changed something and reports it;
    // returns whether it did. A command that changed nothing leaves the
    // modified mark as it found it.
    bool finish();
    // What the status bar is told instead of the counted change.
    void setReport(const QString& text) { m_report = text; }
    void setName(const QString& name) { m_name = name; }

private:
    Editor& m_editor;
    QString m_name;
    QString m_subject;
    QString m_report;
    EditorSnapshot m_before;
    bool m_finished = false;
};

// Runs body as the step named name (reported under subject, the name when
// empty) and returns what body returns.
template <typename Body>
decltype(auto) RecordStep(Editor& editor, const QString& name, Body&& body, const QString& subject = QString())
{
    StepRecorder recorder(editor, name, subject);
    return std::forward<Body>(body)();
}

// Takes the last step back or does the last undone step again; false when
// there was none. The status bar is told "Undo NAME" or "Redo NAME".
bool UndoStep(Editor& editor);
bool RedoStep(Editor& editor);
// "Undo Cleaning: Symbols", or empty when nothing can be undone; likewise
// for redo.
QString undoText(const Editor& editor);
QString redoText(const Editor& editor);

// After the dictionary was saved to (or read from) a document: the modified
// mark is cleared, and every kept state of the same document learns whether
// its rows are what the document now holds.
void markDocumentSaved(Editor& editor);

} // namespace vexlon
