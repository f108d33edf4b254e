#include "gui/PhoneBackupsForm.h"

#include "core/app/DictionaryFiles.h"
#include "core/app/PhoneCommands.h"
#include "core/base/Errors.h"
#include "core/base/TextFile.h"
#include "gui/MainForm.h"
#include "gui/ModalRunner.h"
#include "gui/WindowSettings.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vexlon::gui {

namespace {

enum Column { ColPhone, ColTime, ColWords, ColSize, ColumnCount };

// How often the window looks whether the phone came or went.
constexpr int kPhoneCheckMs = 1000;
// How many times a ready phone whose IMEI could not be read is asked again.
constexpr int kKeyTries = 5;

QString unknownPhoneKey()
{
    return PhoneBackupRing::keyFor(QString());
}

// Keeps the list as it is while a command of the window runs (its
// questions run the event loop).
struct Busy {
    explicit Busy(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Busy() { m_flag = false; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    bool& m_flag;
};

QTableWidgetItem* cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

PhoneBackupsForm::PhoneBackupsForm(TMainForm& form) : QDialog(&form), m_form(form)
{
    setObjectName(QStringLiteral("PhoneBackupsForm"));
    setWindowTitle(QStringLiteral("Phone backups"));
    resize(640, 380);

    Table = new QTableWidget(0, ColumnCount, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setHorizontalHeaderLabels(
        {QStringLiteral("Phone"), QStringLiteral("Time"), QStringLiteral("Words"), QStringLiteral("Size (bytes)")});
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setTabKeyNavigation(false);
    Table->setWordWrap(false);
    Table->verticalHeader()->setVisible(false);
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Table->horizontalHeader()->setSectionResizeMode(ColPhone, QHeaderView::ResizeToContents);
    Table->horizontalHeader()->setHighlightSections(false);

    EmptyLabel = new QLabel(this);
    EmptyLabel->setObjectName(QStringLiteral("EmptyLabel"));
    EmptyLabel->setWordWrap(true);
    EmptyLabel->setAlignment(Qt::AlignCenter);
    EmptyLabel->setText(QStringLiteral(
        "No phone backups yet.\n\nEach time Vexlon reads a phone's dictionary, and before it writes one to a phone, "
        "it keeps the dictionary the phone held here, so that it can be put back."));

    FolderLabel = new QLabel(this);
    FolderLabel->setObjectName(QStringLiteral("FolderLabel"));
    FolderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FolderLabel->setText(QStringLiteral("Kept in %1")
                             .arg(QDir::toNativeSeparators(phoneBackupRoot(form.editor().state))));

    m_stack = new QStackedWidget(this);
    m_stack->addWidget(Table);
    m_stack->addWidget(EmptyLabel);

    RestoreButton = new QPushButton(QStringLiteral("&Restore to Phone"), this);
    RestoreButton->setObjectName(QStringLiteral("RestoreButton"));
    OpenButton = new QPushButton(QStringLiteral("&Open in Editor"), this);
    OpenButton->setObjectName(QStringLiteral("OpenButton"));
    SaveAsButton = new QPushButton(QStringLiteral("&Save As..."), this);
    SaveAsButton->setObjectName(QStringLiteral("SaveAsButton"));
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    // Enter never writes to the phone: it closes, as Escape does.
    for (QPushButton* b : {RestoreButton, OpenButton, SaveAsButton})
        b->setAutoDefault(false);
    CloseButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(RestoreButton);
    buttons->addWidget(OpenButton);
    buttons->addWidget(SaveAsButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stack, 1);
    layout->addWidget(FolderLabel);
    layout->addLayout(buttons);

    connect(RestoreButton, &QPushButton::clicked, this, &PhoneBackupsForm::RestoreClick);
    connect(OpenButton, &QPushButton::clicked, this, &PhoneBackupsForm::OpenClick);
    connect(SaveAsButton, &QPushButton::clicked, this, &PhoneBackupsForm::SaveAsClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Table, &QTableWidget::itemSelectionChanged, this, &PhoneBackupsForm::updateButtons);

    connect(&m_phoneCheck, &QTimer::timeout, this, &PhoneBackupsForm::checkPhone);
    m_phoneCheck.start(kPhoneCheckMs);
    refresh();
}

QString PhoneBackupsForm::readPhoneKey()
{
    PhoneLink* link = m_form.phoneLink();
    m_phoneReady = phoneStatus(m_form.editor().state, link).ready;
    if (!m_phoneReady)
        return QString();
    // A phone whose IMEI cannot be read could be any phone: nothing is
    // restored to it from here.
    const QString imei = link->imei();
    return imei.isEmpty() ? QString() : PhoneBackupRing::keyFor(imei);
}

void PhoneBackupsForm::checkPhone()
{
    if (m_busy)
        return;
    const bool ready = phoneStatus(m_form.editor().state, m_form.phoneLink()).ready;
    if (ready != m_phoneReady) {
        m_keyTries = 0;
        refresh();
    } else if (ready && m_phoneKey.isEmpty() && m_keyTries < kKeyTries) {
        // A phone that restarts may answer before it is ready to tell its
        // IMEI: ask it a few more times.
        ++m_keyTries;
        refresh();
    }
}

void PhoneBackupsForm::refresh()
{
    const PhoneBackup* selected = selectedBackup();
    const QString keepPath = selected ? selected->path : QString();
    m_phoneKey = readPhoneKey();
    m_backups.clear();
    QList<QList<PhoneBackup>> rings;
    try {
        rings = PhoneBackupRing::allRings(phoneBackupRoot(m_form.editor().state));
    } catch (const VexlonError& e) {
        message(e.message());
    }
    // The attached phone's ring first, the others in the order of their keys.
    for (const QList<PhoneBackup>& ring : rings) {
        if (ring.first().phone == m_phoneKey)
            m_backups += ring;
    }
    for (const QList<PhoneBackup>& ring : rings) {
        if (ring.first().phone != m_phoneKey)
            m_backups += ring;
    }
    fillTable();
    int row = 0;
    for (int i = 0; i < m_backups.size(); ++i) {
        if (m_backups.at(i).path == keepPath)
            row = i;
    }
    if (!m_backups.isEmpty())
        Table->selectRow(row);
    m_stack->setCurrentWidget(m_backups.isEmpty() ? static_cast<QWidget*>(EmptyLabel) : Table);
    updateButtons();
}

void PhoneBackupsForm::fillTable()
{
    Table->clearContents();
    Table->setRowCount(int(m_backups.size()));
    for (int row = 0; row < m_backups.size(); ++row) {
        const PhoneBackup& b = m_backups.at(row);
        const QString phone = b.phone == m_phoneKey ? QStringLiteral("%1 (attached)").arg(b.phone) : b.phone;
        Table->setItem(row, ColPhone, cell(phone));
        Table->setItem(row, ColTime, cell(b.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        Table->setItem(row, ColWords, cell(QString::number(b.words), true));
        Table->setItem(row, ColSize, cell(QString::number(b.size), true));
    }
}

const PhoneBackup* PhoneBackupsForm::selectedBackup() const
{
    const QList<QTableWidgetItem*> items = Table->selectedItems();
    if (items.isEmpty())
        return nullptr;
    const int row = items.first()->row();
    return row >= 0 && row < m_backups.size() ? &m_backups.at(row) : nullptr;
}

void PhoneBackupsForm::updateButtons()
{
    const PhoneBackup* b = selectedBackup();
    OpenButton->setEnabled(b != nullptr);
    SaveAsButton->setEnabled(b != nullptr);
    QString why;
    if (!b)
        why = QStringLiteral("Choose a backup first.");
    else if (!m_phoneReady)
        why = QStringLiteral("No phone is ready. Attach the phone this backup was read from.");
    else if (b->phone == unknownPhoneKey())
        why = QStringLiteral("This backup was read from a phone whose IMEI could not be read, so it cannot be told "
                             "which phone it belongs to. Open it in the editor and save it to the phone instead.");
    else if (m_phoneKey.isEmpty())
        why = QStringLiteral("The attached phone's IMEI could not be read, so it cannot be told whether this backup "
                             "is its own. Open it in the editor and save it to the phone instead.");
    else if (b->phone != m_phoneKey)
        why = QStringLiteral("This backup was read from another phone (%1); the attached phone is %2.")
                  .arg(b->phone, m_phoneKey);
    RestoreButton->setEnabled(why.isEmpty());
    RestoreButton->setToolTip(why.isEmpty() ? QStringLiteral("Write this backup to the attached phone") : why);
}

void PhoneBackupsForm::message(const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vexlon"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("MessageBox"));
    runModal(box);
}

void PhoneBackupsForm::RestoreClick()
{
    const PhoneBackup* selected = selectedBackup();
    if (!selected)
        return;
    const PhoneBackup backup = *selected;
    // The phone may have changed since the list was made: ask it again.
    m_phoneKey = readPhoneKey();
    if (m_phoneKey.isEmpty() || backup.phone != m_phoneKey) {
        updateButtons();
        message(RestoreButton->toolTip() + QStringLiteral(" Nothing was sent to the phone."));
        refresh();
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vexlon"),
                    QStringLiteral("Write the backup (%1) to the phone %2?\n\nThe dictionary now on the phone is "
                                   "replaced; it is kept as a new backup first.")
                        .arg(describeBackup(backup), backup.phone),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("RestoreQuestion"));
    box.setDefaultButton(QMessageBox::No);
    if (runModal(box) != QMessageBox::Yes)
        return;
    const Busy busy(m_busy);
    m_form.runCommand([this, &backup] {
        RestorePhoneBackup(m_form.editor(), m_form.phoneLink(), m_form.phoneHooks(), backup, true);
    });
    refresh();
}

void PhoneBackupsForm::OpenClick()
{
    const PhoneBackup* selected = selectedBackup();
    if (!selected)
        return;
    const PhoneBackup backup = *selected;
    const Busy busy(m_busy);
    // The main window now shows the backup.
    if (m_form.openPhoneBackup(backup))
        accept();
}

void PhoneBackupsForm::SaveAsClick()
{
    const PhoneBackup* selected = selectedBackup();
    if (!selected)
        return;
    const PhoneBackup backup = *selected;
    const Busy busy(m_busy);
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SaveBackupDialog"));
    dialog.setWindowTitle(QStringLiteral("Save the backup as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QString::fromLatin1(kOpenFilterText).split(QStringLiteral(";;")).mid(0, 1));
    dialog.setDefaultSuffix(QStringLiteral("iud"));
    dialog.setDirectory(lastFolder(kDictionaryFolder));
    dialog.selectFile(QStringLiteral("%1-%2.iud")
                          .arg(backup.phone, backup.time.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    if (runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString target = dialog.selectedFiles().first();
    rememberFolder(kDictionaryFolder, target);
    try {
        SavePhoneBackupAs(m_form.editor().state, backup, target);
    } catch (const VexlonError& e) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vexlon"),
                        QStringLiteral("The backup was not saved. %1").arg(e.message()), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("ErrorBox"));
        runModal(box);
    }
}

} // namespace vexlon::gui
