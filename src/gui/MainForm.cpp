#include "gui/MainForm.h"

#include "core/app/Commands.h"
#include "core/app/EditCommands.h"
#include "core/app/History.h"
#include "core/app/Merge.h"
#include "core/base/CodePage1251.h"
#include "core/base/ProgramDirectory.h"
#include "core/base/Settings.h"
#include "core/dictionary/Editing.h"
#include "core/dictionary/TableOps.h"
#include "gui/AboutBox.h"
#include "gui/CellDelegate.h"
#include "gui/DictionaryModel.h"
#include "gui/FileAssociation.h"
#include "gui/Icons.h"
#include "gui/MainCommands.h"
#include "gui/MergeForm.h"
#include "gui/ModalRunner.h"
#include "gui/PhoneBackupsForm.h"
#include "gui/QtTranslations.h"
#include "core/dictionary/Find.h"
#include "core/app/PhoneCommands.h"
#include "gui/SettingsDialog.h"
#include "gui/SharedDialogs.h"
#include "core/app/StartUp.h"
#include "gui/UsageGauge.h"
#include "gui/WordEditDelegate.h"
#include "gui/WindowSettings.h"
#include "core/lists/ListCommands.h"

#ifdef VEXLON_HAVE_PHONE
#include "gui/PhoneHandling.h"
#endif

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexlon::gui {

#ifndef VEXLON_HAVE_PHONE
// Without the phone link there is never a current phone.
class PhoneHandling {
public:
    PhoneLink* link() { return nullptr; }
};
#endif

namespace {

QFont boldFont(const QFont& base, int pointDelta = 0)
{
    QFont f = base;
    f.setBold(true);
    if (pointDelta != 0 && f.pointSize() > 0)
        f.setPointSize(f.pointSize() + pointDelta);
    return f;
}

} // namespace

TMainForm::TMainForm(const QStringList& arguments, const QString& programDirectory, QWidget* parent)
    : QMainWindow(parent), m_arguments(arguments)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Vexlon"));
    setWindowIcon(programIcon());
    m_executablePath = QCoreApplication::applicationFilePath();
    m_openFilter = QString::fromLatin1(kOpenFilterText).section(QStringLiteral(";;"), 0, 0);
    m_saveFilter = QString::fromLatin1(kSaveFilterText).section(QStringLiteral(";;"), 0, 0);
    m_exportFilter = QString::fromLatin1(kExportFilterText).section(QStringLiteral(";;"), 0, 0);

    buildWindow();
    m_dialogs.attach(this, Label5, ProgressBar1, Label3);
    m_dialogs.setStatusBar(statusBar());

    ProgramState& state = m_editor.state;
    state.programDirectory = programDirectory.endsWith(QLatin1Char('/')) ? programDirectory : programDirectory + QLatin1Char('/');
    state.dialogs = &m_dialogs;
    state.phoneBackupFolder = UserDataDirectory() + QStringLiteral("PhoneBackups/");
    m_fallback = LoadFallbackTexts(state.programDirectory);

    // Start-up (the window's creation).
    StartUpHooks hooks;
    hooks.registerFileAssociation = [this] { registerAssociation(); };
    hooks.applyTexts = [this] { ApplyMainWindowTexts(); };
    hooks.startPhoneHandling = [this] {
#ifdef VEXLON_HAVE_PHONE
        m_phone = std::make_unique<PhoneHandling>(*this);
        m_phone->start();
#else
        PhoneStatusUpdate();
#endif
    };
    hooks.showError = [this](const QString& text) { m_dialogs.error(text); };
    m_terminate = RunStartUp(m_editor, m_fallback, hooks).terminate;
    if (!m_phone)
        PhoneStatusUpdate();
    syncSelectionFromTable();
    restoreWindowState();
    updateTitle();
}

TMainForm::~TMainForm()
{
    m_phone.reset();
    delete m_model;
    m_model = nullptr;
}

// ---- the window ----

QToolButton* TMainForm::addToolButton(QToolBar* bar, const char* name, const QString& caption, const char* hint,
                                      int iconKind, int iconSize, void (TMainForm::*handler)())
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(QString::fromLatin1(hint));
    button->setIcon(makeIcon(static_cast<IconKind>(iconKind), iconSize));
    button->setIconSize(QSize(iconSize, iconSize));
    // Reached by Tab from the table and pressed with Space; a click leaves
    // the focus in the table.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    bar->addWidget(button);
    return button;
}

QAction* TMainForm::addMenuItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                                const std::function<void()>& handler)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    // The menu's keys work while the table has the focus.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    ListView1->addAction(action);
    return action;
}

void TMainForm::buildWindow()
{
    resize(670, 624);
    setMinimumSize(670, 580);
    buildToolBars();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    QTableView* table = buildTable(central);
    layout->addWidget(buildFilterBar(central));
    layout->addWidget(table, 1);
    buildPopupMenu();
    buildKeys();
    buildStatusLines(central, layout);
    layout->addWidget(buildProgressPanel(central));
    setCentralWidget(central);
    // Tab goes from the filter to the words, on to the buttons and round.
    QWidget* order[] = {FilterEdit, ListView1, ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5,
                        ToolButton6, ToolButton7, ToolButton8, ToolButton9, ToolButton10, FilterEdit};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);
    // Never smaller than what the parts need, so nothing is drawn over
    // anything else at any size the window allows.
    setMinimumSize(QSize(670, 580).expandedTo(minimumSizeHint()));
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TMainForm::buildToolBars()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(64, 64));
    ToolBar1->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    ToolButton1 = addToolButton(ToolBar1, "ToolButton1", QStringLiteral("New Dictionary"), "Ctrl+N",
                                int(IconKind::NewDictionary), 64, &TMainForm::ToolButton1Click);
    ToolButton2 = addToolButton(ToolBar1, "ToolButton2", QStringLiteral("Open Dictionary"), "Ctrl+O",
                                int(IconKind::OpenDictionary), 64, &TMainForm::ToolButton2Click);
    ToolButton3 = addToolButton(ToolBar1, "ToolButton3", QStringLiteral("Save Dictionary"), "Ctrl+S",
                                int(IconKind::SaveDictionary), 64, &TMainForm::ToolButton3Click);
    ToolButton4 = addToolButton(ToolBar1, "ToolButton4", QStringLiteral("Open from Phone"), "Alt+O",
                                int(IconKind::OpenFromPhone), 64, &TMainForm::ToolButton4Click);
    ToolButton5 = addToolButton(ToolBar1, "ToolButton5", QStringLiteral("Save to Phone"), "Alt+S",
                                int(IconKind::SaveToPhone), 64, &TMainForm::ToolButton5Click);
    for (QToolButton* b : {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5}) {
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumWidth(91);
        b->setFixedHeight(84);
    }

    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setOrientation(Qt::Vertical);
    ToolBar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar2->setIconSize(QSize(32, 32));
    ToolBar2->toggleViewAction()->setVisible(false);
    addToolBar(Qt::RightToolBarArea, ToolBar2);
    ToolButton6 = addToolButton(ToolBar2, "ToolButton6", QStringLiteral("Settings"), "F5", int(IconKind::Settings), 32,
                                &TMainForm::ToolButton6Click);
    ToolButton7 = addToolButton(ToolBar2, "ToolButton7", QStringLiteral("Black List"), "F2", int(IconKind::BlackList), 32,
                                &TMainForm::ToolButton7Click);
    ToolButton8 = addToolButton(ToolBar2, "ToolButton8", QStringLiteral("White List"), "F3", int(IconKind::WhiteList), 32,
                                &TMainForm::ToolButton8Click);
    ToolButton9 = addToolButton(ToolBar2, "ToolButton9", QStringLiteral("Statistic"), "F4", int(IconKind::Statistic), 32,
                                &TMainForm::ToolButton9Click);
    ToolButton10 = addToolButton(ToolBar2, "ToolButton10", QStringLiteral("About Program"), "F8", int(IconKind::About),
                                 32, &TMainForm::ToolButton10Click);
    for (QToolButton* b : {ToolButton6, ToolButton7, ToolButton8, ToolButton9, ToolButton10}) {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

QTableView* TMainForm::buildTable(QWidget* central)
{
    ListView1 = new QTableView(central);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    // Small enough that the window's smallest size still holds the filter,
    // both status boxes, the progress display and the status bar.
    ListView1->setMinimumSize(450, 200);
    ListView1->setTabKeyNavigation(false);
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setWordWrap(false);
    ListView1->setSortingEnabled(false);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->verticalHeader()->setVisible(false);
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 6);
    m_model = new DictionaryModel(m_editor.table, &m_editor.state);
    m_model->setEditCommand([this](int row, const QString& typed) {
        bool edited = false;
        m_dialogs.runReportingErrors([&] { edited = EditWordCommand(m_editor, row, typed); });
        updateTitle();
        return edited;
    });
    m_filter = new WordFilterModel(this);
    m_filter->setSourceModel(m_model);
    ListView1->setModel(m_filter);
    ListView1->setItemDelegate(new CellDelegate(ListView1));
    ListView1->setItemDelegateForColumn(
        ColWord, new WordEditDelegate([this](int row, const QString& text, bool* storable) { return m_model->letterNotes(row, text, storable); },
                                      ListView1));
    QHeaderView* header = ListView1->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    // The user sets the widths; the status, the last column, takes the rest.
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_fittingColumns && column != ColStatus)
            m_userColumns = true;
    });
    connect(header, &QHeaderView::sectionClicked, this, &TMainForm::ListView1ColumnClick);
    connect(ListView1, &QTableView::doubleClicked, this, [this] { ListView1DblClick(); });
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, [this] { updateFilterCount(); });
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, [this] { updateFilterCount(); });
    connect(m_filter, &QAbstractItemModel::modelReset, this, [this] { updateFilterCount(); });
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, [this] { updateFilterCount(); });
    return ListView1;
}

void TMainForm::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Clear1 = addMenuItem(PopupMenu1, "Clear1", QStringLiteral("Clear"), QKeySequence(Qt::CTRL | Qt::Key_N),
                         [this] { Clear1Click(); });
    Add1 = addMenuItem(PopupMenu1, "Add1", QStringLiteral("Add"), QKeySequence(Qt::CTRL | Qt::Key_D), [this] { Add1Click(); });
    SetLanguage1 = addMenuItem(PopupMenu1, "SetLanguage1", QStringLiteral("Set Language"),
                               QKeySequence(Qt::CTRL | Qt::Key_L), [this] { SetLanguage1Click(); });
    N1 = addMenuItem(PopupMenu1, "N1", QStringLiteral("Delete"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
                     [this] { N1Click(); });
    LockUnlock1 = addMenuItem(PopupMenu1, "LockUnlock1", QStringLiteral("Lock/Unlock"), QKeySequence(Qt::CTRL | Qt::Key_U),
                              [this] { LockUnlock1Click(); });
    Cleaning1 = PopupMenu1->addMenu(QStringLiteral("Cleaning"));
    Cleaning1->setObjectName(QStringLiteral("Cleaning1"));
    // The Cleaning items, captioned as their steps are named.
    const auto cleaning = [this](const char* name, CleaningItem item, Qt::Key key) {
        return addMenuItem(Cleaning1, name, cleaningCaption(item), QKeySequence(Qt::CTRL | Qt::ALT | key),
                           [this, item] { CleaningClick(item); });
    };
    Symbols1 = cleaning("Symbols1", CleaningItem::Symbols, Qt::Key_S);
    Numbers1 = cleaning("Numbers1", CleaningItem::Numbers, Qt::Key_N);
    Language1 = cleaning("Language1", CleaningItem::Language, Qt::Key_L);
    ByLength1 = cleaning("ByLength1", CleaningItem::ByLength, Qt::Key_E);
    Intelect1 = cleaning("Intelect1", CleaningItem::Intelect, Qt::Key_I);
    BlackList1 = cleaning("BlackList1", CleaningItem::BlackList, Qt::Key_B);
    All1 = cleaning("All1", CleaningItem::All, Qt::Key_A);
    oBlackList1 = addMenuItem(PopupMenu1, "oBlackList1", QStringLiteral("To BlackList"), QKeySequence(Qt::CTRL | Qt::Key_B),
                              [this] { oBlackList1Click(); });
    oWhiteList1 = addMenuItem(PopupMenu1, "oWhiteList1", QStringLiteral("To WhiteList"), QKeySequence(Qt::CTRL | Qt::Key_W),
                              [this] { oWhiteList1Click(); });
    // Undo and redo head the menu; their keys work anywhere in the window
    // (a text field being typed in keeps its own undo).
    const auto windowItem = [this](const char* name, const QList<QKeySequence>& keys, const std::function<void()>& handler) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    Undo1 = windowItem("Undo1", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { UndoKey(); });
    Redo1 = windowItem("Redo1", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
                       [this] { RedoKey(); });
    PopupMenu1->insertActions(Clear1, {Undo1, Redo1});
    PopupMenu1->insertSeparator(Clear1);
    // Merge and Export, the dictionary's other ways in and out beside Open
    // and Save; Ctrl+M merges from anywhere in the window (the menu item
    // only shows the key, as the phone backups' does).
    PopupMenu1->addSeparator();
    Merge1 = new QAction(QStringLiteral("Merge...\tCtrl+M"), this);
    Merge1->setObjectName(QStringLiteral("Merge1"));
    connect(Merge1, &QAction::triggered, this, [this] { Merge1Click(); });
    PopupMenu1->addAction(Merge1);
    windowItem("MergeKey", {QKeySequence(Qt::CTRL | Qt::Key_M)}, [this] { Merge1Click(); });
    Export1 = new QAction(QStringLiteral("Export..."), this);
    Export1->setObjectName(QStringLiteral("Export1"));
    connect(Export1, &QAction::triggered, this, [this] { Export1Click(); });
    PopupMenu1->addAction(Export1);
    // The phone backups end the menu; Alt+B, beside the phone commands'
    // Alt+O and Alt+S, opens them from anywhere in the window. (The key is
    // the window's own, so the menu item only shows it.)
    PopupMenu1->addSeparator();
    PhoneBackups1 = new QAction(QStringLiteral("Phone backups...\tAlt+B"), this);
    PhoneBackups1->setObjectName(QStringLiteral("PhoneBackups1"));
    connect(PhoneBackups1, &QAction::triggered, this, [this] { PhoneBackups1Click(); });
    PopupMenu1->addAction(PhoneBackups1);
    windowItem("PhoneBackupsKey", {QKeySequence(Qt::ALT | Qt::Key_B)}, [this] { PhoneBackups1Click(); });
    connect(ListView1, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(pos)); });
}

void TMainForm::buildKeys()
{
    // The table's keys; they act while the table has the focus, as the menu's.
    const auto key = [this](const QKeySequence& sequence, const std::function<void()>& handler) {
        auto* action = new QAction(this);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        ListView1->addAction(action);
    };
    key(Qt::Key_F2, [this] { ToolButton7Click(); });
    key(Qt::Key_F3, [this] { ToolButton8Click(); });
    key(Qt::Key_F4, [this] { ToolButton9Click(); });
    key(Qt::Key_F5, [this] { ToolButton6Click(); });
    key(Qt::Key_F6, [this] { WhiteListKey(); });
    key(Qt::Key_F7, [this] { FindKey(); });
    key(Qt::Key_F8, [this] { ToolButton10Click(); });
    key(Qt::CTRL | Qt::Key_A, [this] { SelectAllRows(); });
    // Delete and Enter are taken in the table itself (eventFilter), so an
    // open in-place editor keeps them.
    ListView1->installEventFilter(this);
    key(Qt::CTRL | Qt::Key_O, [this] { ToolButton2Click(); });
    key(Qt::ALT | Qt::Key_O, [this] { ToolButton4Click(); });
    key(Qt::CTRL | Qt::Key_S, [this] { ToolButton3Click(); });
    key(Qt::ALT | Qt::Key_S, [this] { ToolButton5Click(); });
    key(Qt::CTRL | Qt::Key_Up, [this] { MoveRow(false); });
    key(Qt::CTRL | Qt::Key_Down, [this] { MoveRow(true); });
}

void TMainForm::buildStatusLines(QWidget* central, QVBoxLayout* layout)
{
    const auto statusBox = [&](const char* boxName, QLabel*& caption, const char* captionName, const QString& text,
                               QLabel*& line, const char* lineName) {
        auto* box = new QGroupBox(central);
        box->setObjectName(QString::fromLatin1(boxName));
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(6, 2, 6, 2);
        caption = new QLabel(text, box);
        caption->setObjectName(QString::fromLatin1(captionName));
        line = new QLabel(box);
        line->setObjectName(QString::fromLatin1(lineName));
        line->setFont(boldFont(line->font()));
        line->setCursor(Qt::PointingHandCursor);
        line->installEventFilter(this);
        row->addWidget(caption);
        row->addWidget(line, 1);
        layout->addWidget(box);
        return box;
    };
    GroupBox2 = statusBox("GroupBox2", Label1, "Label1", QStringLiteral("Dictionary Status:  "), Label3, "Label3");
    GroupBox1 = statusBox("GroupBox1", Label2, "Label2", QStringLiteral("Phone Status:  "), Label4, "Label4");
}

QWidget* TMainForm::buildProgressPanel(QWidget* central)
{
    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(2, 0, 2, 2);
    panel->setSpacing(1);
    Label5 = new QLabel(Panel1);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont small = boldFont(Label5->font());
    if (small.pointSize() > 7)
        small.setPointSize(small.pointSize() - 1);
    Label5->setFont(small);
    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(14);
    panel->addWidget(Label5);
    panel->addWidget(ProgressBar1);
    return Panel1;
}

void TMainForm::ApplyMainWindowTexts()
{
    // Qt's own buttons and dialogs speak the pack's language too.
    useQtTranslation(packLocale(m_editor.state.languageList, m_editor.state.settings.Language));
    const UiTexts& t = m_editor.state.texts;
    if (t.ui.isEmpty())
        return;
    const QToolButton* buttons[] = {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5,
                                    ToolButton6, ToolButton7, ToolButton8, ToolButton9, ToolButton10};
    for (int i = 0; i < 10; ++i)
        const_cast<QToolButton*>(buttons[i])->setText(t.UI(i));
    m_model->setHeaders({t.UI(10), t.UI(11), t.UI(12), t.UI(13), t.UI(14)});
    if (!m_userColumns)
        fitColumns();
    QAction* popup[] = {Clear1, Add1, SetLanguage1, N1, LockUnlock1, Cleaning1->menuAction(), oBlackList1, oWhiteList1};
    for (int i = 0; i < 8; ++i)
        popup[i]->setText(t.UI(15 + i));
    QAction* cleaning[] = {Symbols1, Numbers1, Language1, ByLength1, Intelect1, BlackList1, All1};
    for (int i = 0; i < 7; ++i)
        cleaning[i]->setText(t.UI(23 + i));
    Label1->setText(t.UI(30));
    Label2->setText(t.UI(31));
}

// ---- selection and commands ----

void TMainForm::syncSelectionToTable()
{
    DictionaryTable& table = m_editor.table;
    for (int i = 0; i < table.count(); ++i)
        table.setSelected(i, false);
    // Only what is shown can be selected: commands act on the visible
    // selection.
    const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
    for (const QModelIndex& index : rows) {
        const int row = tableRow(index.row());
        if (row >= 0 && row < table.count())
            table.setSelected(row, true);
    }
}

int TMainForm::viewRow(int row) const
{
    return m_filter->mapFromSource(m_model->index(row, 0)).row();
}

int TMainForm::tableRow(int row) const
{
    return m_filter->mapToSource(m_filter->index(row, 0)).row();
}

void TMainForm::syncSelectionFromTable()
{
    const DictionaryTable& table = m_editor.table;
    QItemSelection sourceSelection;
    int runStart = -1;
    for (int i = 0; i <= table.count(); ++i) {
        const bool selected = i < table.count() && table.row(i).selected;
        if (selected && runStart < 0) {
            runStart = i;
        } else if (!selected && runStart >= 0) {
            sourceSelection.select(m_model->index(runStart, 0), m_model->index(i - 1, kColumnCount - 1));
            runStart = -1;
        }
    }
    const QItemSelection selection = m_filter->mapSelectionFromSource(sourceSelection);
    QItemSelectionModel* model = ListView1->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty() && !model->isSelected(model->currentIndex()))
        model->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
}

void TMainForm::runCommand(const std::function<void()>& body)
{
    syncSelectionToTable();
    m_dialogs.runReportingErrors(body);
    syncSelectionFromTable();
    updateTitle();
}

void TMainForm::updateTitle()
{
    const QString& name = m_editor.documentName;
    QString document;
    if (!m_backupPath.isEmpty() && name == m_backupPath)
        document = m_backupTitle;
    else if (name.isEmpty())
        document = QStringLiteral("New dictionary");
    else if (name == QLatin1String(kPhoneDocumentName))
        document = QStringLiteral("Dictionary of the phone");
    else
        document = QFileInfo(name).fileName();
    setWindowTitle(document + QStringLiteral("[*] \u2014 Vexlon"));
    setWindowModified(m_editor.table.modified);
    const QString undo = undoText(m_editor);
    const QString redo = redoText(m_editor);
    Undo1->setEnabled(!undo.isEmpty());
    Undo1->setText(undo.isEmpty() ? QStringLiteral("Undo") : undo);
    Redo1->setEnabled(!redo.isEmpty());
    Redo1->setText(redo.isEmpty() ? QStringLiteral("Redo") : redo);
}

void TMainForm::ToolButton1Click()
{
    runCommand([this] { NewDictionary(m_editor); });
}

void TMainForm::ToolButton2Click()
{
    runCommand([this] {
        OpenDictionary(m_editor, [this]() -> std::optional<OpenChoice> {
            QFileDialog dialog(this);
            dialog.setObjectName(QStringLiteral("OpenDialog1"));
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            const QStringList filters = QString::fromLatin1(kOpenFilterText).split(QStringLiteral(";;"));
            dialog.setNameFilters(filters);
            dialog.selectNameFilter(m_openFilter);
            dialog.setDirectory(lastFolder(kDictionaryFolder));
            if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return std::nullopt;
            rememberFolder(kDictionaryFolder, dialog.selectedFiles().first());
            m_openFilter = dialog.selectedNameFilter();
            const int entry = static_cast<int>(filters.indexOf(m_openFilter)) + 1;
            return OpenChoice{dialog.selectedFiles().first(), entry >= 1 ? static_cast<OpenFilter>(entry) : OpenFilter::All};
        });
    });
}

std::optional<TMainForm::SaveDialogChoice> TMainForm::chooseFileToSave(const char* objectName, const QString& title,
                                                                         const char* filterText, QString& filter)
{
    QFileDialog dialog(this);
    dialog.setObjectName(QString::fromLatin1(objectName));
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The commands ask their own question before replacing a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QString::fromLatin1(filterText).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filter);
    dialog.setDirectory(lastFolder(kDictionaryFolder));
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    rememberFolder(kDictionaryFolder, path);
    filter = dialog.selectedNameFilter();
    return SaveDialogChoice{path, qMax<qsizetype>(0, filters.indexOf(filter))};
}

void TMainForm::ToolButton3Click()
{
    runCommand([this] {
        SaveDictionary(m_editor, [this]() -> std::optional<SaveChoice> {
            const std::optional<SaveDialogChoice> chosen =
                chooseFileToSave("SaveDialog1", QString(), kSaveFilterText, m_saveFilter);
            if (!chosen)
                return std::nullopt;
            // The filter entries are numbered from 1 in the order of the list.
            return SaveChoice{chosen->path, static_cast<SaveFilter>(chosen->entry + 1)};
        });
    });
}

void TMainForm::Merge1Click()
{
    runCommand([this] {
        QFileDialog dialog(this);
        dialog.setObjectName(QStringLiteral("MergeDialog1"));
        dialog.setWindowTitle(QStringLiteral("Merge: choose the files to take words from"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilters(QString::fromLatin1(kMergeFilterText).split(QStringLiteral(";;")));
        dialog.setDirectory(lastFolder(kDictionaryFolder));
        if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        const QStringList paths = dialog.selectedFiles();
        rememberFolder(kDictionaryFolder, paths.first());
        for (const QString& path : paths) {
            if (const QString reason = unreachableNameReason(path); !reason.isEmpty()) {
                m_dialogs.message(reason);
                return;
            }
        }
        MergeCommand(m_editor, paths, [this](MergePlan& plan) {
            MergeForm preview(m_editor, plan, this);
            return runModal(preview) == QDialog::Accepted;
        });
        RefreshDictionaryStatus(m_editor.state, m_editor.table);
    });
}

void TMainForm::Export1Click()
{
    runCommand([this] {
        if (m_editor.table.isEmpty()) {
            m_dialogs.message(QStringLiteral("The dictionary is empty; there is nothing to export."));
            return;
        }
        // The file's extension may still be added: the question before
        // replacing a file is asked below, for the name really written.
        const std::optional<SaveDialogChoice> chosen =
            chooseFileToSave("ExportDialog1", QStringLiteral("Export the dictionary"), kExportFilterText, m_exportFilter);
        if (!chosen)
            return;
        QString path = chosen->path;
        // The entries by their place in the list: two of them name *.txt.
        static constexpr ExportFormat formats[] = {ExportFormat::GboardZip, ExportFormat::GboardText,
                                                   ExportFormat::WordList};
        const ExportFormat format = formats[chosen->entry < qsizetype(std::size(formats)) ? chosen->entry : 0];
        if (const QString reason = unreachableNameReason(path); !reason.isEmpty()) {
            m_dialogs.message(reason);
            return;
        }
        if (path.endsWith(QLatin1Char('.')))
            path.chop(1);
        if (QFileInfo(path).suffix().isEmpty())
            path += format == ExportFormat::GboardZip ? QStringLiteral(".zip") : QStringLiteral(".txt");
        if (QFileInfo::exists(path) && !m_dialogs.confirm(m_editor.state.texts.MESSAGES(22), ConfirmKind::Warning))
            return;
        ExportDictionaryFile(m_editor.state, m_editor.table, format, path);
        m_dialogs.report(QStringLiteral("Exported %1 to %2").arg(wordsText(m_editor.table.count()), QFileInfo(path).fileName()));
    });
}

PhoneLink* TMainForm::phoneLink()
{
    return m_phone ? m_phone->link() : nullptr;
}

PhoneCommandHooks TMainForm::phoneHooks()
{
    PhoneCommandHooks hooks;
    hooks.statusUpdate = [this] { return PhoneStatusUpdate(); };
    hooks.progress = [this](int done, int total) {
        m_dialogs.progress(done, total);
        return true;
    };
    return hooks;
}

void TMainForm::ToolButton4Click()
{
    runCommand([this] { OpenFromPhone(m_editor, phoneLink(), phoneHooks()); });
}

void TMainForm::ToolButton5Click()
{
    runCommand([this] { SaveToPhone(m_editor, phoneLink(), phoneHooks()); });
}

void TMainForm::PhoneBackups1Click()
{
    runCommand([this] {
        PhoneBackupsForm window(*this);
        runModal(window);
    });
}

bool TMainForm::openPhoneBackup(const PhoneBackup& backup)
{
    bool opened = false;
    runCommand([this, &backup, &opened] {
        m_backupPath = backup.path;
        m_backupTitle = phoneBackupTitle(backup);
        opened = OpenPhoneBackup(m_editor, backup);
    });
    return opened;
}

bool TMainForm::PhoneStatusUpdate()
{
    const PhoneStatus status = phoneStatus(m_editor.state, m_phone ? m_phone->link() : nullptr);
    setStatusLine(*Label4, status.text, status.green);
    return status.ready;
}

void TMainForm::Label4Click()
{
    runCommand([this] {
        const QStringList lines = PhoneInformation(m_editor, phoneLink(), phoneHooks());
        if (lines.isEmpty())
            return;
        QDialog window(this);
        window.setObjectName(QStringLiteral("PhoneInformation"));
        window.setWindowTitle(QStringLiteral("Phone Information"));
        window.resize(300, 200);
        auto* layout = new QVBoxLayout(&window);
        auto* memo = new QPlainTextEdit(lines.join(QLatin1Char('\n')), &window);
        memo->setObjectName(QStringLiteral("Memo1"));
        memo->setReadOnly(true);
        memo->setFrameShape(QFrame::NoFrame);
        QPalette pal = memo->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        memo->setPalette(pal);
        auto* ok = new QPushButton(QStringLiteral("OK"), &window);
        ok->setObjectName(QStringLiteral("Button1"));
        connect(ok, &QPushButton::clicked, &window, &QDialog::accept);
        layout->addWidget(memo, 1);
        layout->addWidget(ok);
        runModal(window);
    });
}

void TMainForm::ToolButton6Click()
{
    runCommand([this] {
        ProgramState& state = m_editor.state;
        {
            TSettingForm dialog(state.settings, state.languageList, state.langStructure, state.texts, this);
            // Modal: the main window takes no command while it is open.
            runModal(dialog);
        }
        // Whatever closed the dialog: the pack of the (new) language, the
        // settings file, both status lines.
        LoadActivePack(state, m_fallback);
        ApplyMainWindowTexts();
        SaveSettings(state.settings, state.path(kSettingsFileName));
        RefreshDictionaryStatus(state, m_editor.table);
        PhoneStatusUpdate();
    });
}

void TMainForm::ToolButton7Click()
{
    runCommand([this] { ShowBlackListWindow(*this); });
}

void TMainForm::ToolButton8Click()
{
    runCommand([this] { ShowWhiteListWindow(*this); });
}

void TMainForm::ToolButton9Click()
{
    runCommand([this] { ShowStatisticWindow(*this); });
}

void TMainForm::ToolButton10Click()
{
    TAPF about(m_editor.state.programDirectory, this);
    runModal(about);
}

void TMainForm::Label3Click()
{
    runCommand([this] {
        const int32_t free = FreeBytes(m_editor.state, m_editor.table);
        auto* window = new UsageGaugeWindow(
            computeGauge(m_editor.state.settings.UsersDictionarySize, free, m_editor.table.count()), this);
        window->show();
    });
}

void TMainForm::Clear1Click()
{
    runCommand([this] { ClearDictionary(m_editor); });
}

void TMainForm::Add1Click()
{
    int row = -1;
    runCommand([this, &row] { row = AddCommand(m_editor); });
    if (row < 0)
        return;
    // The new word is typed in place: a filter that would hide it goes.
    if (viewRow(row) < 0)
        FilterEdit->clear();
    const QModelIndex index = m_filter->index(viewRow(row), ColWord);
    ListView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ListView1->scrollTo(index);
    ListView1->edit(index);
}

void TMainForm::SetLanguage1Click()
{
    runCommand([this] { SetLanguageCommand(m_editor); });
}

void TMainForm::N1Click()
{
    runCommand([this] { DeleteCommand(m_editor); });
}

void TMainForm::LockUnlock1Click()
{
    runCommand([this] { LockUnlockCommand(m_editor); });
}

void TMainForm::CleaningClick(CleaningItem item)
{
    runCommand([this, item] { CleaningCommand(m_editor, item); });
}

void TMainForm::oBlackList1Click()
{
    runCommand([this] { ToBlackListCommand(m_editor); });
}

void TMainForm::oWhiteList1Click()
{
    runCommand([this] { ToWhiteListCommand(m_editor); });
}

void TMainForm::ListView1ColumnClick(int column)
{
    // A second click on the same column turns the order round.
    const bool descending = column == m_editor.sortColumn && !m_editor.sortDescending;
    runCommand([this, column, descending] { SortCommand(m_editor, column, descending); });
    showSortIndicator();
}

void TMainForm::showSortIndicator()
{
    QHeaderView* header = ListView1->horizontalHeader();
    header->setSortIndicatorShown(m_editor.sortColumn >= 0);
    if (m_editor.sortColumn >= 0)
        header->setSortIndicator(m_editor.sortColumn, m_editor.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TMainForm::ListView1DblClick()
{
    syncSelectionToTable();
    EditKey();
}

void TMainForm::EditKey()
{
    const QModelIndex current = ListView1->currentIndex();
    const int row = current.isValid() ? tableRow(current.row()) : firstSelectedRow(m_editor.table);
    if (row < 0 || !CanEditWord(m_editor.table, row))
        return;
    ListView1->edit(m_filter->index(viewRow(row), ColWord));
}

void TMainForm::WhiteListKey()
{
    runCommand([this] { ApplyWhiteListKey(m_editor); });
}

void TMainForm::FindKey()
{
    runCommand([this] {
        const UiTexts& t = m_editor.state.texts;
        const std::optional<QString> text = AskFindText(t.MESSAGES(23), t.MESSAGES(24), t.MESSAGES(25), this);
        if (!text)
            return;
        const QVector<int> found = FindCommand(m_editor, *text);
        // A word hidden by the filter is still found: the filter goes.
        if (!found.isEmpty() && viewRow(found.first()) < 0)
            FilterEdit->clear();
        if (!found.isEmpty())
            ListView1->scrollTo(m_filter->index(viewRow(found.first()), 0));
    });
}

void TMainForm::SelectAllRows()
{
    ListView1->selectAll();
}

void TMainForm::MoveRow(bool down)
{
    runCommand([this, down] { MoveCommand(m_editor, down); });
    const int row = firstSelectedRow(m_editor.table);
    if (row >= 0 && viewRow(row) >= 0) {
        const QModelIndex index = m_filter->index(viewRow(row), 0);
        ListView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        ListView1->scrollTo(index);
    }
}

void TMainForm::UndoKey()
{
    runCommand([this] { UndoStep(m_editor); });
    RefreshDictionaryStatus(m_editor.state, m_editor.table);
}

void TMainForm::RedoKey()
{
    runCommand([this] { RedoStep(m_editor); });
    RefreshDictionaryStatus(m_editor.state, m_editor.table);
}

void TMainForm::FocusFilter()
{
    FilterEdit->setFocus(Qt::ShortcutFocusReason);
    FilterEdit->selectAll();
}

QWidget* TMainForm::buildFilterBar(QWidget* central)
{
    auto* bar = new QWidget(central);
    bar->setObjectName(QStringLiteral("FilterBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    FilterEdit = new QLineEdit(bar);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setPlaceholderText(QStringLiteral("Filter the words (Ctrl+F)"));
    FilterEdit->setClearButtonEnabled(true);
    FilterEdit->installEventFilter(this);
    FilterCount = new QLabel(bar);
    FilterCount->setObjectName(QStringLiteral("FilterCount"));
    row->addWidget(FilterEdit, 1);
    row->addWidget(FilterCount);
    connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        syncSelectionToTable();
        m_filter->setPattern(text);
        syncSelectionFromTable();
        updateFilterCount();
    });
    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("FilterKey"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, [this] { FocusFilter(); });
    addAction(find);
    return bar;
}

void TMainForm::updateFilterCount()
{
    if (!FilterCount)
        return;
    const int total = m_model->rowCount();
    if (m_filter->pattern().isEmpty())
        FilterCount->setText(QString());
    else
        FilterCount->setText(QStringLiteral("%1 of %2 words match").arg(m_filter->rowCount()).arg(total));
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    bool close = true;
    m_dialogs.runReportingErrors([this, &close] { close = MayDiscardChanges(m_editor); });
    if (!close) {
        event->ignore();
        return;
    }
    saveWindowState();
    event->accept();
}

void TMainForm::restoreWindowState()
{
    const WindowSettings settings(QStringLiteral("MainWindow"));
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    const QByteArray columns = settings.value(QStringLiteral("columns")).toByteArray();
    QHeaderView* header = ListView1->horizontalHeader();
    if (!columns.isEmpty() && header->restoreState(columns)) {
        // The widths are the user's; how they behave is this window's own.
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setStretchLastSection(true);
        m_userColumns = true;
    } else {
        fitColumns();
    }
    m_editor.sortColumn = settings.value(QStringLiteral("sortColumn"), -1).toInt();
    if (m_editor.sortColumn < 0 || m_editor.sortColumn >= kColumnCount || m_editor.sortColumn == ColStatus)
        m_editor.sortColumn = -1;
    m_editor.sortDescending = settings.value(QStringLiteral("sortDescending"), false).toBool();
    showSortIndicator();
}

void TMainForm::fitColumns()
{
    // The numbers and the language fit their captions and contents, the
    // word has room for a long word, and the status takes the rest.
    QHeaderView* header = ListView1->horizontalHeader();
    const QFontMetrics metrics = ListView1->fontMetrics();
    const int padding = 2 * (ListView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListView1) + 1) + 8;
    const auto fit = [&](int column, const QString& sample) {
        header->resizeSection(column, qMax(header->sectionSizeHint(column), metrics.horizontalAdvance(sample) + padding));
    };
    QString longestLanguage;
    for (const TLanguages& language : m_editor.state.langStructure.Languages) {
        const QString name = cp1251::toUnicode(language.Name);
        if (metrics.horizontalAdvance(name) > metrics.horizontalAdvance(longestLanguage))
            longestLanguage = name;
    }
    m_fittingColumns = true;
    fit(ColWord, QString(12, QLatin1Char('n')));
    fit(ColNumber, QStringLiteral("00000"));
    fit(ColLanguageId, QStringLiteral("00"));
    fit(ColLanguage, longestLanguage);
    m_fittingColumns = false;
}

void TMainForm::saveWindowState() const
{
    WindowSettings settings(QStringLiteral("MainWindow"));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("columns"), ListView1->horizontalHeader()->saveState());
    settings.setValue(QStringLiteral("sortColumn"), m_editor.sortColumn);
    settings.setValue(QStringLiteral("sortDescending"), m_editor.sortDescending);
}

void TMainForm::registerAssociation()
{
    RegisterFileAssociation(m_executablePath);
}

void TMainForm::OpenCommandLineFile()
{
    const QString path = commandLinePath(m_arguments);
    if (path.isEmpty())
        return;
    runCommand([this, &path] { OpenDictionaryFile(m_editor, path, OpenFilter::UsersDictionary); });
}

// ---- keys and clicks ----

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == ListView1 || watched == FilterEdit)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (watched == FilterEdit) {
            // Down and Enter go on to the words; Esc empties the filter.
            if (mods == Qt::NoModifier && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                ListView1->setFocus();
                if (!ListView1->currentIndex().isValid() && m_filter->rowCount() > 0)
                    ListView1->setCurrentIndex(m_filter->index(0, 0));
                return true;
            }
            if (mods == Qt::NoModifier && key->key() == Qt::Key_Escape) {
                FilterEdit->clear();
                ListView1->setFocus();
                return true;
            }
        } else if (mods == Qt::NoModifier && QApplication::focusWidget() == ListView1) {
            // (An in-place editor, which has the focus, passes its Enter on
            // to the table.)
            switch (key->key()) {
            case Qt::Key_Delete:
                N1Click();
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                EditKey();
                return true;
            default:
                break;
            }
        }
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label3)
            Label3Click();
        else if (watched == Label4)
            Label4Click();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    ListView1->setFocus();
    openWhenOnScreen(100);
}

void TMainForm::openWhenOnScreen(int triesLeft)
{
    // The file is opened once the window is really on the screen: a question
    // or an error box raised before the window system has exposed the window
    // is never painted by some window managers.
    QTimer::singleShot(triesLeft == 100 ? 0 : 20, this, [this, triesLeft] {
        if (triesLeft > 0 && windowHandle() && !windowHandle()->isExposed()) {
            openWhenOnScreen(triesLeft - 1);
            return;
        }
        OpenCommandLineFile();
    });
}

} // namespace vexlon::gui
