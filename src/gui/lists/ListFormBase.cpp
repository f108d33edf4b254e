#include "gui/lists/ListFormBase.h"

#include "core/dictionary/Find.h"

#include "core/base/CodePage1251.h"
#include "gui/SharedDialogs.h"
#include "gui/WindowSettings.h"
#include "gui/CellDelegate.h"
#include "gui/WordEditDelegate.h"
#include "gui/lists/ListTableModel.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

namespace vexlon::gui {

namespace {

constexpr int kButtonWidth = 111;

const QString kGeometryKey = QStringLiteral("geometry");
const QString kColumnsKey = QStringLiteral("columnWidths");

} // namespace

ListFormBase::ListFormBase(ProgramState& state, const char* objectName, const QString& title, QSize size,
                           QSize minimum)
    : QDialog(nullptr), m_state(state)
{
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(true);
    setMinimumSize(minimum);
    resize(size);
    m_dialogs.attach(this, nullptr, nullptr, nullptr);

    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(2);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setOrientation(Qt::Vertical);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);

    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    // Undo and redo work wherever the focus is in the window, except in the
    // word editor, which has its own.
    m_undo = new QAction(this);
    m_undo->setObjectName(QStringLiteral("UndoAction"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = new QAction(this);
    m_redo->setObjectName(QStringLiteral("RedoAction"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(m_undo, &QAction::triggered, this, &ListFormBase::undoCommand);
    connect(m_redo, &QAction::triggered, this, &ListFormBase::redoCommand);
}

ListFormBase::~ListFormBase() = default;

void ListFormBase::attachProgress(QLabel* activity, QProgressBar* bar, QLabel* statusLine)
{
    m_dialogs.attach(this, activity, bar, statusLine);
}

void ListFormBase::buildTable(const char* viewName, const QVector<ListRow>& rows, const QVector<ListColumn>& columns,
                              const QStringList& headers, std::function<bool(int, const QString&)> edit)
{
    // In-place edits are commands of the window too: their messages belong
    // to it and an error is shown over it.
    auto handler = [this, edit = std::move(edit)](int row, const QString& typed) {
        DialogsScope scope(m_state, m_dialogs);
        bool accepted = false;
        m_dialogs.runReportingErrors([&] { accepted = edit(row, typed); });
        updateHistoryActions();
        return accepted;
    };
    m_model = new ListTableModel(rows, columns, headers, handler, this);

    m_view = new QTableView(this);
    m_view->setObjectName(QString::fromLatin1(viewName));
    m_view->setShowGrid(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setSortingEnabled(false);
    m_view->setTabKeyNavigation(false); // Tab goes on to the buttons
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->setModel(m_model);
    m_model->setLetterChecks(m_state);
    m_view->setItemDelegate(new CellDelegate(m_view));
    m_view->setItemDelegateForColumn(
        m_model->columnOf(ListColumn::Word),
        new WordEditDelegate([this](int row, const QString& text, bool* storable) { return m_model->letterNotes(row, text, storable); },
                             m_view));

    // The user sets the column widths; the last column takes what is left.
    QHeaderView* header = m_view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    for (int c = 0; c < columns.size(); ++c) {
        if (columns.at(c) == ListColumn::Number || columns.at(c) == ListColumn::LanguageId)
            setColumnWidth(c, 75);
    }
    connect(header, &QHeaderView::sectionClicked, this, &ListFormBase::sortClicked);
    connect(m_view, &QTableView::doubleClicked, this, [this] { editCommand(); });
    m_view->installEventFilter(this);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_view->addAction(m_undo);
    m_view->addAction(m_redo);
    updateHistoryActions();

    m_layout->addWidget(m_view, 1);
    m_layout->addWidget(m_toolBar);
}

QToolButton* ListFormBase::addButton(const char* name, const QString& caption, const char* hint,
                                     std::function<void()> handler)
{
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    if (hint)
        button->setToolTip(QString::fromLatin1(hint));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    // Reached by Tab from the table and pressed with Space; a click leaves
    // the focus in the table.
    button->setFocusPolicy(Qt::TabFocus);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    connect(button, &QToolButton::clicked, this, std::move(handler));
    m_toolBar->addWidget(button);
    m_buttons.append(button);
    return button;
}

void ListFormBase::addSeparator(const char* name)
{
    m_toolBar->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void ListFormBase::setColumnWidth(int column, int width)
{
    m_columnWidths[column] = width;
    fitToTexts();
}

void ListFormBase::applyTexts(int first, const QList<QToolButton*>& buttons)
{
    const UiTexts& t = m_state.texts;
    if (!t.ui.isEmpty()) {
        int n = first;
        setWindowTitle(t.UI(n++));
        QStringList headers;
        for (int c = 0; c < m_model->columnCount(); ++c)
            headers << t.UI(n++);
        m_model->setHeaders(headers);
        for (QToolButton* button : buttons)
            button->setText(t.UI(n++));
    }
    fitToTexts();
    restoreLayout();
}

void ListFormBase::restoreLayout()
{
    // Until the user has set widths of his own, the other columns of free
    // width fit their captions, and the word takes most of what the window
    // leaves; the last column takes the rest.
    QHeaderView* header = m_view->horizontalHeader();
    const int columns = m_model->columnCount();
    int free = width() - m_toolBar->width() - 2 * m_layout->spacing() - 2 * m_view->frameWidth() - 8;
    for (int c = 1; c < columns; ++c) {
        if (!m_columnWidths.contains(c))
            header->resizeSection(c, header->sectionSizeHint(c));
        free -= header->sectionSize(c);
    }
    header->resizeSection(0, qMax(header->sectionSizeHint(0), free * 3 / 5));
    // Shown only now: the designed widths leave no room for the arrow.
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);

    const WindowSettings settings(objectName());
    const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    const QStringList widths = settings.value(kColumnsKey).toStringList();
    if (widths.size() == columns) {
        for (int c = 0; c < columns; ++c) {
            const int w = widths.at(c).toInt();
            if (w > 0)
                header->resizeSection(c, w);
        }
    }
}

void ListFormBase::saveLayout() const
{
    WindowSettings settings(objectName());
    settings.setValue(kGeometryKey, saveGeometry());
    QStringList widths;
    for (int c = 0; c < m_model->columnCount(); ++c)
        widths << QString::number(m_view->horizontalHeader()->sectionSize(c));
    settings.setValue(kColumnsKey, widths);
}

void ListFormBase::done(int result)
{
    saveLayout();
    QDialog::done(result);
}

void ListFormBase::fitToTexts()
{
    // The designed widths, unless a caption needs more room in the font
    // of this desktop.
    QHeaderView* header = m_view->horizontalHeader();
    for (auto it = m_columnWidths.cbegin(); it != m_columnWidths.cend(); ++it)
        header->resizeSection(it.key(), qMax(it.value(), header->sectionSizeHint(it.key())));
    int width = kButtonWidth;
    for (QToolButton* button : m_buttons)
        width = qMax(width, button->sizeHint().width());
    for (QToolButton* button : m_buttons)
        button->setFixedWidth(width);
    m_toolBar->setFixedWidth(width + 4);
}

void ListFormBase::syncSelectionToRows()
{
    ListRows& rows = session();
    const int count = rows.count();
    for (int i = 0; i < count; ++i) {
        if (rows.rows().at(i).selected)
            rows.setSelected(i, false);
    }
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom() && row < count; ++row)
            rows.setSelected(row, true);
    }
}

void ListFormBase::syncSelectionFromRows()
{
    const QVector<ListRow>& rows = session().rows();
    const int count = static_cast<int>(rows.size());
    QItemSelection selection;
    int runStart = -1;
    for (int i = 0; i <= count; ++i) {
        const bool selected = i < count && rows.at(i).selected;
        if (selected && runStart < 0) {
            runStart = i;
        } else if (!selected && runStart >= 0) {
            selection.select(m_model->index(runStart, 0), m_model->index(i - 1, m_model->columnCount() - 1));
            runStart = -1;
        }
    }
    QItemSelectionModel* model = m_view->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty() && !model->isSelected(model->currentIndex())) {
        model->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
        m_view->scrollTo(selection.first().topLeft());
    }
}

void ListFormBase::runCommand(const std::function<void()>& body, bool reordered)
{
    DialogsScope scope(m_state, m_dialogs);
    syncSelectionToRows();
    m_dialogs.runReportingErrors(body);
    if (reordered) {
        // The rows are in an order of their own now, unless a sort made it.
        m_model->rowsReordered();
        m_sortSection = -1;
    } else {
        m_model->rowsChanged();
    }
    syncSelectionFromRows();
    showSortIndicator();
    updateHistoryActions();
}

void ListFormBase::sortClicked(int section)
{
    const ListColumn column = m_model->columns().value(section, ListColumn::Action);
    const int previousSection = m_sortSection;
    const bool reversed = section == m_sortSection && !m_sortReversed;
    std::optional<Qt::SortOrder> order;
    runCommand([&] { order = columnClicked(column, reversed); }, true);
    if (order) {
        m_sortSection = section;
        m_sortReversed = reversed;
        m_sortOrder = *order;
    } else {
        m_sortSection = previousSection; // a column that does not sort leaves the order
    }
    showSortIndicator();
}

void ListFormBase::showSortIndicator()
{
    // The header turns its arrow round on every click by itself; the arrow
    // shows the order the rows are really in.
    m_view->horizontalHeader()->setSortIndicator(m_sortSection, m_sortOrder);
}

void ListFormBase::undoCommand()
{
    if (!editingWord())
        runCommand([this] { session().undo(); }, true);
}

void ListFormBase::redoCommand()
{
    if (!editingWord())
        runCommand([this] { session().redo(); }, true);
}

void ListFormBase::updateHistoryActions()
{
    const ListRows& rows = session();
    m_undo->setEnabled(rows.canUndo());
    m_undo->setText(rows.canUndo() ? QStringLiteral("Undo %1").arg(rows.undoName()) : QStringLiteral("Undo"));
    m_redo->setEnabled(rows.canRedo());
    m_redo->setText(rows.canRedo() ? QStringLiteral("Redo %1").arg(rows.redoName()) : QStringLiteral("Redo"));
}

int ListFormBase::currentRow() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool ListFormBase::editingWord() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != m_view && m_view->isAncestorOf(focus);
}

void ListFormBase::editWord(int row)
{
    const int column = m_model->columnOf(ListColumn::Word);
    if (row < 0 || row >= m_model->rowCount() || column < 0)
        return;
    const QModelIndex index = m_model->index(row, column);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_view->scrollTo(index);
    m_view->edit(index);
}

void ListFormBase::FindKey()
{
    runCommand(
        [this] {
            const UiTexts& t = m_state.texts;
            const std::optional<QString> text = AskFindText(t.MESSAGES(23), t.MESSAGES(24), t.MESSAGES(25), this);
            if (!text)
                return;
            ListRows& rows = session();
            QVector<QString> words;
            words.reserve(rows.count());
            for (const ListRow& row : rows.rows())
                words.append(row.word);
            const QVector<int> found = rowsStartingWith(words, *text);
            for (int i = 0; i < rows.count(); ++i)
                rows.setSelected(i, false);
            for (int i : found)
                rows.setSelected(i, true);
            if (!found.isEmpty())
                m_view->selectionModel()->setCurrentIndex(m_model->index(found.first(), 0), QItemSelectionModel::NoUpdate);
        },
        false);
}

void ListFormBase::SelectAllRows()
{
    m_view->selectAll();
}

bool ListFormBase::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    // Whether Ctrl is held is the key's own business: no state is kept
    // between keys, so none can be left behind by a shortcut.
    const auto* press = static_cast<QKeyEvent*>(event);
    const int key = press->key();
    const bool ctrl = press->modifiers().testFlag(Qt::ControlModifier);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (editingWord()) {
        // A key the word editor passed on. Enter only confirms the word (the
        // editor's delegate takes it), and no command of the window runs
        // over an open editor; moving to another row is left to the table.
        return enter || ctrl || key == Qt::Key_Delete || key == Qt::Key_Insert || key == Qt::Key_F2
               || key == Qt::Key_F7;
    }
    switch (key) {
    case Qt::Key_Escape:
        cancelCommand();
        return true;
    case Qt::Key_F7:
        FindKey();
        return true;
    case Qt::Key_F2:
        editWord(currentRow());
        return true;
    case Qt::Key_A:
        if (!ctrl)
            return false; // a letter finds the next row starting with it
        SelectAllRows();
        return true;
    default:
        if (enter && !ctrl) {
            editWord(currentRow());
            return true;
        }
        return keyDown(key, ctrl);
    }
}

void ListFormBase::showEvent(QShowEvent* event)
{
    // Kept above the main window, which it blocks.
    if (m_mainWindow && m_mainWindow->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(m_mainWindow->windowHandle());
    QDialog::showEvent(event);
    if (m_view)
        m_view->setFocus();
}

void ListFormBase::reject()
{
    cancelCommand();
}

} // namespace vexlon::gui
