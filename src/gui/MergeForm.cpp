#include "gui/MergeForm.h"

#include "core/app/DictionaryFiles.h"
#include "core/base/CodePage1251.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "gui/GuiDialogs.h"
#include "gui/ModalRunner.h"
#include "gui/WindowSettings.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vexlon::gui {

namespace {

// The skipped lines the tooltip names; the report holds them all.
constexpr int kSkippedShown = 20;

constexpr Fate kFates[] = {Fate::LacksLetters, Fate::Present,  Fate::BlackListed, Fate::TooShort,
                           Fate::CaseOnly,     Fate::OtherLanguage, Fate::New,    Fate::DoesNotFit};

} // namespace

// ---- the model ----

MergeModel::MergeModel(MergePlan& plan, QObject* parent) : QAbstractTableModel(parent), m_plan(plan) {}

int MergeModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_plan.items.size());
}

int MergeModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QString MergeModel::sourceText(const MergeItem& item)
{
    if (item.isExisting())
        return QStringLiteral("dictionary");
    const QString name = QFileInfo(item.source).fileName();
    return item.line > 0 ? QStringLiteral("%1:%2").arg(name).arg(item.line) : name;
}

QVariant MergeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_plan.items.size())
        return {};
    const MergeItem& item = m_plan.items.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (column) {
        case ColWord:
            return cp1251::shown(item.row.word);
        case ColLanguage:
            return item.row.text(vexlon::ColLanguage);
        case ColFate:
            return fateText(item.fate);
        case ColSource:
            return sourceText(item);
        case ColNote:
            return item.note;
        default:
            return {};
        }
    case Qt::CheckStateRole:
        if (column == ColTake)
            return item.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::FontRole:
        // The rows of the open dictionary look apart from the incoming words.
        if (item.isExisting()) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return {};
    case Qt::ToolTipRole:
        if (column == ColFate)
            return fateText(item.fate);
        if (column != ColTake)
            return column == ColNote && !item.note.isEmpty() ? QVariant(item.note) : QVariant();
        if (!item.checkable)
            return QStringLiteral("This word cannot be added: %1.").arg(fateText(item.fate));
        return item.isExisting() ? QStringLiteral("Checked: the word stays in the dictionary. Unchecked: it is removed.")
                                 : QStringLiteral("Checked: the word is added to the dictionary.");
    case SortRole:
        switch (column) {
        case ColTake:
            return item.checked ? 1 : 0;
        case ColWord:
            return item.row.word;
        case ColLanguage:
            return item.row.text(vexlon::ColLanguage);
        case ColFate:
            return static_cast<int>(item.fate);
        case ColNote:
            return item.note;
        default: // the place in the sources, the dictionary's rows last
            return index.row();
        }
    case FateRole:
        return static_cast<int>(item.fate);
    default:
        return {};
    }
}

QVariant MergeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[kColumns] = {"Merged", "Word", "Language", "Fate", "Source", "Note"};
    return section >= 0 && section < kColumns ? QString::fromLatin1(captions[section]) : QVariant();
}

Qt::ItemFlags MergeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= m_plan.items.size())
        return Qt::NoItemFlags;
    if (index.column() != ColTake)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // A word that can never be added shows its check greyed.
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (m_plan.items.at(index.row()).checkable)
        f |= Qt::ItemIsEnabled;
    return f;
}

bool MergeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != ColTake)
        return false;
    const int row = index.row();
    if (row >= m_plan.items.size() || !m_plan.items.at(row).checkable)
        return false;
    setChecked({row}, value.toInt() == Qt::Checked);
    return true;
}

void MergeModel::setChecked(const QList<int>& rows, bool checked)
{
    int first = -1, last = -1;
    for (int row : rows) {
        if (row < 0 || row >= m_plan.items.size())
            continue;
        MergeItem& item = m_plan.items[row];
        if (!item.checkable || item.checked == checked)
            continue;
        item.checked = checked;
        first = first < 0 ? row : qMin(first, row);
        last = qMax(last, row);
    }
    if (first < 0)
        return;
    emit dataChanged(index(first, ColTake), index(last, ColTake), {Qt::CheckStateRole, SortRole});
    emit checksChanged();
}

void MergeModel::reload()
{
    beginResetModel();
    endResetModel();
}

// ---- the filter ----

MergeFilterModel::MergeFilterModel(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(MergeModel::SortRole);
    // A word checked or unchecked keeps its place until the user sorts again.
    setDynamicSortFilter(false);
    setSortLocaleAware(true);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void MergeFilterModel::setFate(int fate)
{
    if (fate == m_fate)
        return;
    m_fate = fate;
    invalidateFilter();
}

bool MergeFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_fate < 0)
        return true;
    return sourceModel()->index(sourceRow, 0, sourceParent).data(MergeModel::FateRole).toInt() == m_fate;
}

// ---- the window ----

MergeForm::MergeForm(const Editor& editor, MergePlan& plan, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_plan(plan)
{
    setObjectName(QStringLiteral("MergeForm"));
    setWindowTitle(QStringLiteral("Merge"));
    resize(820, 520);

    m_model = new MergeModel(plan, this);
    m_filter = new MergeFilterModel(this);
    m_filter->setSourceModel(m_model);

    Table = new QTableView(this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setModel(m_filter);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setTabKeyNavigation(false);
    Table->setWordWrap(false);
    Table->verticalHeader()->setVisible(false);
    // Fixed heights and widths keep a plan of 65,535 words quick to show.
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
    QHeaderView* header = Table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    const QFontMetrics metrics = Table->fontMetrics();
    const auto width = [&](const char* sample) { return metrics.horizontalAdvance(QString::fromLatin1(sample)) + 16; };
    header->resizeSection(MergeModel::ColTake, qMax(width("Merged"), 40));
    header->resizeSection(MergeModel::ColWord, width("nnnnnnnnnnnnnnnn"));
    header->resizeSection(MergeModel::ColLanguage, width("Ukrainian"));
    header->resizeSection(MergeModel::ColFate, width("differs only in case"));
    header->resizeSection(MergeModel::ColSource, width("dictionary.txt:1234"));
    // No order until the user clicks a caption: the words show in the order
    // of their sources.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    Table->setSortingEnabled(true);
    Table->installEventFilter(this);

    FateFilter = new QComboBox(this);
    FateFilter->setObjectName(QStringLiteral("FateFilter"));
    FateFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* filterLabel = new QLabel(QStringLiteral("&Show:"), this);
    filterLabel->setBuddy(FateFilter);

    CapacityLabel = new QLabel(this);
    CapacityLabel->setObjectName(QStringLiteral("CapacityLabel"));
    QFont bold = CapacityLabel->font();
    bold.setBold(true);
    CapacityLabel->setFont(bold);
    CapacityLabel->setWordWrap(true);

    // Words of the open dictionary left out are said in words, not only
    // counted: they are the user's own.
    RemovedLabel = new QLabel(this);
    RemovedLabel->setObjectName(QStringLiteral("RemovedLabel"));
    RemovedLabel->setWordWrap(true);

    SkippedLabel = new QLabel(this);
    SkippedLabel->setObjectName(QStringLiteral("SkippedLabel"));
    if (!plan.skipped.isEmpty()) {
        const qsizetype count = plan.skipped.size();
        SkippedLabel->setText(count == 1 ? QStringLiteral("1 line of the sources gave no word (see the report)")
                                         : QStringLiteral("%1 lines of the sources gave no word (see the report)").arg(count));
        QStringList lines;
        for (qsizetype i = 0; i < qMin<qsizetype>(count, kSkippedShown); ++i) {
            const MergeSkip& s = plan.skipped.at(i);
            QString text = printable(s.text);
            if (text.size() > 60)
                text = text.left(59) + QChar(0x2026);
            lines << QStringLiteral("%1:%2: %3 \u2014 %4").arg(QFileInfo(s.source).fileName()).arg(s.line).arg(text, s.reason);
        }
        if (count > kSkippedShown)
            lines << QStringLiteral("... and %1 more").arg(count - kSkippedShown);
        SkippedLabel->setToolTip(Qt::convertFromPlainText(lines.join(QLatin1Char('\n')), Qt::WhiteSpaceNoWrap));
    }
    SkippedLabel->setVisible(!plan.skipped.isEmpty());

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    FitButton = button("FitButton", QStringLiteral("&Fit to phone"));
    FitButton->setToolTip(QStringLiteral("Leave out the words the statistic rates lowest until the dictionary fits"));
    CheckAllButton = button("CheckAllButton", QStringLiteral("Check &all"));
    UncheckAllButton = button("UncheckAllButton", QStringLiteral("&Uncheck all"));
    for (QPushButton* b : {CheckAllButton, UncheckAllButton})
        b->setToolTip(QStringLiteral("Acts on the words shown"));
    ReportButton = button("ReportButton", QStringLiteral("Save &report..."));
    MergeButton = button("MergeButton", QStringLiteral("&Merge"));
    MergeButton->setDefault(true);
    CancelButton = button("CancelButton", QStringLiteral("Cancel"));

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(FateFilter);
    filterRow->addStretch(1);
    filterRow->addWidget(CheckAllButton);
    filterRow->addWidget(UncheckAllButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FitButton);
    buttons->addWidget(ReportButton);
    buttons->addStretch(1);
    buttons->addWidget(MergeButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(Table, 1);
    layout->addWidget(CapacityLabel);
    layout->addWidget(RemovedLabel);
    layout->addWidget(SkippedLabel);
    layout->addLayout(buttons);
    setTabOrder(FateFilter, Table);

    connect(FitButton, &QPushButton::clicked, this, &MergeForm::FitClick);
    connect(CheckAllButton, &QPushButton::clicked, this, [this] { CheckAllClick(true); });
    connect(UncheckAllButton, &QPushButton::clicked, this, [this] { CheckAllClick(false); });
    connect(ReportButton, &QPushButton::clicked, this, &MergeForm::ReportClick);
    connect(MergeButton, &QPushButton::clicked, this, &MergeForm::MergeClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_model, &MergeModel::checksChanged, this, &MergeForm::refresh);
    connect(FateFilter, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setFate(FateFilter->currentData().toInt()); });

    fillFateFilter();
    refresh();
    Table->setFocus();
}

void MergeForm::fillFateFilter()
{
    const int chosen = m_filter->fate();
    int counts[std::size(kFates)] = {};
    for (const MergeItem& item : m_plan.items)
        ++counts[static_cast<int>(item.fate)];
    const QSignalBlocker block(FateFilter);
    FateFilter->clear();
    FateFilter->addItem(QStringLiteral("All (%1)").arg(m_plan.items.size()), -1);
    for (Fate fate : kFates) {
        if (counts[static_cast<int>(fate)] > 0)
            FateFilter->addItem(QStringLiteral("%1 (%2)").arg(fateText(fate)).arg(counts[static_cast<int>(fate)]),
                                static_cast<int>(fate));
    }
    // The fate shown stays shown while it still has words.
    const int at = FateFilter->findData(chosen);
    FateFilter->setCurrentIndex(at >= 0 ? at : 0);
    m_filter->setFate(FateFilter->currentData().toInt());
}

void MergeForm::refresh()
{
    m_capacity = mergeCapacity(m_editor, m_plan);
    const MergeCapacity& c = m_capacity;
    setStatusLine(*CapacityLabel,
                  QStringLiteral("Before: %1 of %2 bytes free, %3 words. After: %4 bytes free, %5 words (+%6, -%7)")
                      .arg(c.freeBefore)
                      .arg(c.size)
                      .arg(c.wordsBefore)
                      .arg(c.freeAfter)
                      .arg(c.wordsAfter)
                      .arg(c.added)
                      .arg(c.removed),
                  c.fitsAfter());
    FitButton->setEnabled(!c.fitsAfter());
    RemovedLabel->setText(c.removed == 1 ? QStringLiteral("1 word of the dictionary is left out (listed last, in italics); "
                                                          "check it to keep it.")
                                         : QStringLiteral("%1 words of the dictionary are left out (listed last, in "
                                                          "italics); check them to keep them.")
                                               .arg(c.removed));
    RemovedLabel->setVisible(c.removed > 0);
}

QList<int> MergeForm::shownRows() const
{
    QList<int> rows;
    rows.reserve(m_filter->rowCount());
    for (int i = 0; i < m_filter->rowCount(); ++i)
        rows << m_filter->mapToSource(m_filter->index(i, 0)).row();
    return rows;
}

QList<int> MergeForm::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : Table->selectionModel()->selectedRows())
        rows << m_filter->mapToSource(index).row();
    return rows;
}

void MergeForm::CheckAllClick(bool checked)
{
    m_model->setChecked(shownRows(), checked);
}

void MergeForm::FitClick()
{
    const bool fits = ProposeFit(m_editor, m_plan);
    m_model->reload();
    fillFateFilter();
    refresh();
    if (!fits)
        message(QStringLiteral("Even without every word that may be left out, the dictionary does not fit: white-listed "
                               "and locked words are never left out. Uncheck or delete some of them first."),
                false);
}

void MergeForm::ReportClick()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ReportDialog"));
    dialog.setWindowTitle(QStringLiteral("Save the merge report"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("CSV report (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setDirectory(lastFolder(kDictionaryFolder));
    dialog.selectFile(QStringLiteral("merge-report.csv"));
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    if (const QString reason = unreachableNameReason(path); !reason.isEmpty()) {
        message(reason, true);
        return;
    }
    rememberFolder(kDictionaryFolder, path);
    try {
        writeFileSafely(path, BuildMergeReport(m_editor.state, m_plan));
    } catch (const VexlonError& e) {
        message(QStringLiteral("The report was not saved. %1").arg(e.message()), true);
    }
}

void MergeForm::MergeClick()
{
    if (!m_capacity.fitsAfter()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vexlon"),
                        QStringLiteral("The merged dictionary does not fit into the users dictionary of %1 bytes (%2 bytes "
                                       "too many). Merge anyway? Saving will be refused until words are removed.")
                            .arg(m_capacity.size)
                            .arg(1 - m_capacity.freeAfter),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("MergeAnywayQuestion"));
        box.setDefaultButton(QMessageBox::No);
        if (runModal(box) != QMessageBox::Yes)
            return;
    }
    accept();
}

void MergeForm::message(const QString& text, bool error)
{
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, QStringLiteral("Vexlon"), text,
                    QMessageBox::Ok, this);
    box.setObjectName(error ? QStringLiteral("ErrorBox") : QStringLiteral("MessageBox"));
    runModal(box);
}

bool MergeForm::eventFilter(QObject* watched, QEvent* event)
{
    // Space turns the checks of the selected words: on, unless all are on.
    if (watched == Table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            const QList<int> rows = selectedRows();
            bool allChecked = true;
            for (int row : rows) {
                const MergeItem& item = m_plan.items.at(row);
                if (item.checkable && !item.checked)
                    allChecked = false;
            }
            m_model->setChecked(rows, !allChecked);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexlon::gui
