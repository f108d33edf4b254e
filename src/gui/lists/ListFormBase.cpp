#include "gui/lists/ListFormBase.h"

#include "core/dictionary/Find.h"

#include "core/base/CodePage1251.h"
#include "gui/SharedDialogs.h"
#include "gui/lists/ListTableModel.h"

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
}

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
}

ListFormBase::~ListFormBase() = default;

void ListFormBase::attachProgress(QLabel* activity, QProgressBar* bar, QLabel* statusLine)
{
    m_dialogs.attach(this, activity, bar, statusLine);
}

void ListFormBase::buildTable(const char* viewName, const QVector<ListRow>& rows, const QVector<ListColumn>& columns,
                              const QStringList& headers, std::function<bool(int, const QByteArray&)> edit)
{
    // In-place edits are commands of the window too: their messages belong
    // to it and an error is shown over it.
    auto handler = [this, edit = std::move(edit)](int row, const QByteArray& typed) {
        DialogsScope scope(m_state, m_dialogs);
        bool accepted = false;
        m_dialogs.runReportingErrors([&] { accepted = edit(row, typed); });
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
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->setModel(m_model);

    QHeaderView* header = m_view->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Stretch);
    for (int c = 0; c < columns.size(); ++c) {
        if (columns.at(c) == ListColumn::Number || columns.at(c) == ListColumn::LanguageId)
            setColumnWidth(c, 75);
    }
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
        const ListColumn column = m_model->columns().value(section, ListColumn::Action);
        runCommand([this, column] { columnClicked(column); }, true);
    });
    connect(m_view, &QTableView::doubleClicked, this, [this] { editCommand(); });
    m_view->installEventFilter(this);

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
    button->setFocusPolicy(Qt::NoFocus);
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
    m_view->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
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
    const QVector<ListRow>& rows = coreRows();
    const int count = static_cast<int>(rows.size());
    for (int i = 0; i < count; ++i) {
        if (rows.at(i).selected)
            setCoreSelected(i, false);
    }
    for (const QItemSelectionRange& range : m_view->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom() && row < count; ++row)
            setCoreSelected(row, true);
    }
}

void ListFormBase::syncSelectionFromRows()
{
    const QVector<ListRow>& rows = coreRows();
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
    if (reordered)
        m_model->rowsReordered();
    else
        m_model->rowsChanged();
    syncSelectionFromRows();
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
            const QVector<ListRow>& rows = coreRows();
            QVector<QByteArray> words;
            words.reserve(rows.size());
            for (const ListRow& row : rows)
                words.append(row.word);
            const QVector<int> found = rowsStartingWith(words, cp1251::fromUnicode(*text));
            for (int i = 0; i < rows.size(); ++i)
                setCoreSelected(i, false);
            for (int i : found)
                setCoreSelected(i, true);
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
    if (watched == m_view) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            switch (key) {
            case Qt::Key_Control:
                CtrlDown = true;
                return false;
            case Qt::Key_Escape:
                cancelCommand();
                return true;
            case Qt::Key_F7:
                FindKey();
                return true;
            case Qt::Key_A:
                if (!CtrlDown)
                    return false;
                SelectAllRows();
                return true;
            default:
                return keyDown(key);
            }
        }
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control)
                CtrlDown = false;
            break;
        case QEvent::FocusOut:
            // A Ctrl released elsewhere is never seen by the table.
            CtrlDown = false;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
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
