// The Merge preview: every incoming word with what becomes of it, the rows
// of the dictionary the fit proposal leaves out, and the capacity of the
// users dictionary before and after. The user changes the checks, lets the
// words be fitted to the phone, saves the line-by-line report, and merges
// or calls the merge off. Modal over the main window; it changes only the
// plan, the merge itself is the command's.
#pragma once

#include "core/app/Merge.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QSortFilterProxyModel>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace vexlon::gui {

// The items of a plan as table rows, one a item, in the plan's order.
class MergeModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColTake, ColWord, ColLanguage, ColFate, ColSource, ColNote, kColumns };
    // The key a column sorts by (the check, the text, the fate's place in
    // the order of the checks, the place in the sources).
    static constexpr int SortRole = Qt::UserRole;
    // The item's fate as a number.
    static constexpr int FateRole = Qt::UserRole + 1;

    explicit MergeModel(MergePlan& plan, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Checks or unchecks the items of the rows that can be checked; one
    // checksChanged for all of them.
    void setChecked(const QList<int>& rows, bool checked);
    // The plan was changed as a whole (the fit proposal).
    void reload();
    // "words.txt:12", "dictionary" for a row of the open dictionary.
    static QString sourceText(const MergeItem& item);

signals:
    void checksChanged();

private:
    MergePlan& m_plan;
};

// The items of one fate, or all of them; sorts by MergeModel::SortRole.
class MergeFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit MergeFilterModel(QObject* parent = nullptr);
    // -1: every fate.
    void setFate(int fate);
    int fate() const { return m_fate; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    int m_fate = -1;
};

class MergeForm : public QDialog {
    Q_OBJECT
public:
    MergeForm(const Editor& editor, MergePlan& plan, QWidget* parent = nullptr);

    MergeModel* model() const { return m_model; }
    const MergePlan& plan() const { return m_plan; }
    MergeFilterModel* filterModel() const { return m_filter; }
    // The capacity as the line under the table shows it.
    const MergeCapacity& capacity() const { return m_capacity; }

    // "Fit to phone": the fit proposal, then the table and the line.
    void FitClick();
    // "Check all" / "Uncheck all" on the rows shown that can be checked.
    void CheckAllClick(bool checked);
    // "Save report...": the report as a CSV file.
    void ReportClick();
    // "Merge": accepts, after asking when the merged words do not fit.
    void MergeClick();

    QTableView* Table;
    QComboBox* FateFilter;
    QLabel *CapacityLabel, *RemovedLabel, *SkippedLabel;
    QPushButton *FitButton, *CheckAllButton, *UncheckAllButton, *ReportButton, *MergeButton, *CancelButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The capacity line, the Fit button and the fate filter's counts.
    void refresh();
    void fillFateFilter();
    void message(const QString& text, bool error);
    // The rows of the model that the view shows / has selected.
    QList<int> shownRows() const;
    QList<int> selectedRows() const;

    const Editor& m_editor;
    MergePlan& m_plan;
    MergeModel* m_model;
    MergeFilterModel* m_filter;
    MergeCapacity m_capacity;
};

} // namespace vexlon::gui
