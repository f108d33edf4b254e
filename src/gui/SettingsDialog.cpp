#include "gui/SettingsDialog.h"

#include "core/base/CodePage1251.h"
#include "core/base/Dialogs.h"
#include "core/base/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/ModalRunner.h"

namespace vexlon::gui {

namespace {

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void showMessage(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vexlon"), text, QMessageBox::Ok, owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    runModal(box);
}

// The number in an edit box of digits; nothing when it is empty or too
// large for any field.
std::optional<qint64> editNumber(const QLineEdit* edit)
{
    bool ok = false;
    const qint64 n = edit->text().toLongLong(&ok);
    if (!ok || edit->text().size() > 12)
        return std::nullopt;
    return n;
}

} // namespace

TSettingForm::TSettingForm(TSettings& settings, const TiTAPLanguages& languageList, const TiTAPStructure& structure,
                           const UiTexts& texts, QWidget* owner)
    : QDialog(owner), m_settings(settings), m_texts(texts)
{
    setObjectName(QStringLiteral("TSettingForm"));
    setWindowTitle(QStringLiteral("Vexlon Settings"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(520, 640);

    GroupBox1 = named(new QGroupBox(QStringLiteral(" Langauge "), this), "GroupBox1");
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    GroupBox2 = named(new QGroupBox(QStringLiteral(" iTAP Modification "), this), "GroupBox2");
    ComboBox2 = named(new QComboBox(GroupBox2), "ComboBox2");
    GroupBox3 = named(new QGroupBox(QStringLiteral(" Main Settings "), this), "GroupBox3");
    CheckBox1 = named(new QCheckBox(QStringLiteral("Make backup copy of loaded dictionary"), GroupBox3), "CheckBox1");
    CheckBox2 = named(new QCheckBox(QStringLiteral("Reload Phone after dictionary saving "), GroupBox3), "CheckBox2");
    CheckBox3 = named(new QCheckBox(QStringLiteral("Enable sattistic"), GroupBox3), "CheckBox3");
    CheckBox4 = named(new QCheckBox(QStringLiteral("Enable \"White\" list"), GroupBox3), "CheckBox4");
    Label1 = named(new QLabel(QStringLiteral("Users Dictionary size:"), GroupBox3), "Label1");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Standart ( 5100 bytes )"), GroupBox3), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Modificated:"), GroupBox3), "RadioButton2");
    Edit1 = named(new QLineEdit(QStringLiteral("5100"), GroupBox3), "Edit1");
    GroupBox4 = named(new QGroupBox(QStringLiteral(" Cleaning Settings"), this), "GroupBox4");
    CheckBox5 = named(new QCheckBox(QStringLiteral("Delete symbols"), GroupBox4), "CheckBox5");
    CheckBox6 = named(new QCheckBox(QStringLiteral("Delete numbers"), GroupBox4), "CheckBox6");
    CheckBox7 = named(new QCheckBox(QStringLiteral("\"Intelect\" cleaning of dictionary"), GroupBox4), "CheckBox7");
    CheckBox8 = named(new QCheckBox(QStringLiteral("\"Black\" list"), GroupBox4), "CheckBox8");
    CheckBox9 = named(new QCheckBox(QStringLiteral("Delete languge words:"), GroupBox4), "CheckBox9");
    ComboBox3 = named(new QComboBox(GroupBox4), "ComboBox3");
    Label2 = named(new QLabel(QStringLiteral("Delete words which length less then:"), GroupBox4), "Label2");
    Edit2 = named(new QLineEdit(GroupBox4), "Edit2");
    GroupBox5 = named(new QGroupBox(QStringLiteral(" Statistic Settings "), this), "GroupBox5");
    RadioButton3 = named(new QRadioButton(QStringLiteral("Make Dictionary from satistic"), GroupBox5), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("Add words to dictionary from statistic"), GroupBox5), "RadioButton4");
    GroupBox6 = named(new QGroupBox(QStringLiteral(" Additional "), this), "GroupBox6");
    CheckBox10 = named(new QCheckBox(QStringLiteral("Make file association after load of program"), GroupBox6), "CheckBox10");
    Label3 = named(new QLabel(QStringLiteral("Phone &backups kept:"), GroupBox6), "Label3");
    PhoneBackupCountBox = named(new QSpinBox(GroupBox6), "PhoneBackupCountBox");
    PhoneBackupCountBox->setRange(kMinPhoneBackupCount, kMaxPhoneBackupCount);
    PhoneBackupCountBox->setToolTip(QStringLiteral("How many of each phone's dictionaries are kept before the oldest "
                                                   "is dropped (%1 to %2)")
                                        .arg(kMinPhoneBackupCount)
                                        .arg(kMaxPhoneBackupCount));
    Label3->setBuddy(PhoneBackupCountBox);
    Button1 = named(new QPushButton(QStringLiteral("Apply"), this), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");

    // Layout, top to bottom.
    auto* top = new QHBoxLayout;
    (new QVBoxLayout(GroupBox1))->addWidget(ComboBox1);
    (new QVBoxLayout(GroupBox2))->addWidget(ComboBox2);
    top->addWidget(GroupBox1);
    top->addWidget(GroupBox2);
    auto* main = new QGridLayout(GroupBox3);
    main->addWidget(CheckBox1, 0, 0, 1, 3);
    main->addWidget(CheckBox2, 1, 0, 1, 3);
    main->addWidget(CheckBox3, 2, 0, 1, 3);
    main->addWidget(CheckBox4, 3, 0, 1, 3);
    main->addWidget(Label1, 4, 0, 1, 3);
    main->addWidget(RadioButton1, 5, 0, 1, 3);
    main->addWidget(RadioButton2, 6, 0);
    main->addWidget(Edit1, 6, 1);
    main->setColumnStretch(2, 1);
    auto* clean = new QGridLayout(GroupBox4);
    clean->addWidget(CheckBox5, 0, 0, 1, 2);
    clean->addWidget(CheckBox6, 1, 0, 1, 2);
    clean->addWidget(CheckBox7, 2, 0, 1, 2);
    clean->addWidget(CheckBox8, 3, 0, 1, 2);
    clean->addWidget(CheckBox9, 4, 0);
    clean->addWidget(ComboBox3, 4, 1);
    clean->addWidget(Label2, 5, 0);
    clean->addWidget(Edit2, 5, 1);
    auto* stat = new QVBoxLayout(GroupBox5);
    stat->addWidget(RadioButton3);
    stat->addWidget(RadioButton4);
    auto* additional = new QGridLayout(GroupBox6);
    additional->addWidget(CheckBox10, 0, 0, 1, 3);
    additional->addWidget(Label3, 1, 0);
    additional->addWidget(PhoneBackupCountBox, 1, 1);
    additional->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(GroupBox3);
    layout->addWidget(GroupBox4);
    layout->addWidget(GroupBox5);
    layout->addWidget(GroupBox6);
    layout->addStretch(1);
    layout->addLayout(buttons);

    // The values.
    for (const TiTAPLanguagesItem& item : languageList.Items)
        ComboBox1->addItem(item.Name);
    ComboBox1->setCurrentIndex(settings.Language < ComboBox1->count() ? settings.Language : -1);
    ComboBox2->addItems({QStringLiteral("iTAP Modification 1"), QStringLiteral("iTAP Modification 2")});
    ComboBox2->setCurrentIndex(settings.iTAPModification < 2 ? settings.iTAPModification : -1);
    CheckBox1->setChecked(settings.BackupCopy);
    CheckBox2->setChecked(settings.ReloadPhone);
    CheckBox3->setChecked(settings.StatisticOn);
    CheckBox4->setChecked(settings.WhiteListOn);
    const bool standard = settings.UsersDictionaryModified == 0;
    RadioButton1->setChecked(standard);
    RadioButton2->setChecked(!standard);
    Edit1->setEnabled(!standard);
    Edit1->setText(QString::number(settings.UsersDictionarySize));
    CheckBox5->setChecked(settings.SymbolicClean);
    CheckBox6->setChecked(settings.NumericClean);
    CheckBox7->setChecked(settings.IntelectClean);
    CheckBox8->setChecked(settings.BlackListClean);
    CheckBox9->setChecked(settings.LanguageClean);
    Edit2->setText(QString::number(settings.MinWordLength));
    for (const TLanguages& language : structure.Languages)
        ComboBox3->addItem(cp1251::toUnicode(language.Name));
    ComboBox3->setCurrentIndex(settings.LanguageCleanIndex < ComboBox3->count() ? settings.LanguageCleanIndex : -1);
    setLanguageCleanEnabled(settings.LanguageClean);
    RadioButton3->setChecked(settings.StatisticType == 0);
    RadioButton4->setChecked(settings.StatisticType != 0);
    CheckBox10->setChecked(settings.AssociateFiles);
    PhoneBackupCountBox->setValue(settings.PhoneBackupCount);
    applyTexts(texts);

    // The interaction.
    connect(RadioButton1, &QRadioButton::clicked, this, [this] { Edit1->setEnabled(false); });
    connect(RadioButton2, &QRadioButton::clicked, this, [this] { Edit1->setEnabled(true); });
    connect(CheckBox9, &QCheckBox::clicked, this, [this](bool on) { setLanguageCleanEnabled(on); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { digitsOnly(Edit1, m_texts.MESSAGES(5)); });
    // Both fields take digits only, and say so in the same words.
    connect(Edit2, &QLineEdit::textChanged, this, [this] { digitsOnly(Edit2, m_texts.MESSAGES(5)); });
    Edit1->installEventFilter(this);
    Edit2->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TSettingForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

TSettingForm::~TSettingForm()
{
    // Closing takes the focus away from an edit box: no check runs then.
    Edit1->removeEventFilter(this);
    Edit2->removeEventFilter(this);
}

void TSettingForm::applyTexts(const UiTexts& texts)
{
    if (texts.ui.isEmpty())
        return;
    setWindowTitle(texts.UI(32));
    const std::pair<QWidget*, int> entries[] = {
        {GroupBox1, 33}, {GroupBox2, 34}, {Button1, 35}, {Button2, 36}, {GroupBox3, 37}, {CheckBox1, 38},
        {CheckBox2, 39}, {CheckBox3, 40}, {CheckBox4, 41}, {Label1, 42}, {RadioButton1, 43}, {RadioButton2, 44},
        {GroupBox4, 45}, {CheckBox5, 46}, {CheckBox6, 47}, {CheckBox9, 48}, {Label2, 49}, {CheckBox7, 50},
        {CheckBox8, 51}, {GroupBox5, 52}, {RadioButton3, 53}, {RadioButton4, 54}, {GroupBox6, 55}, {CheckBox10, 56},
    };
    for (const auto& [widget, n] : entries) {
        const QString text = texts.UI(n);
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            box->setTitle(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(text);
    }
}

void TSettingForm::setLanguageCleanEnabled(bool enabled)
{
    ComboBox3->setEnabled(enabled);
    QPalette pal = ComboBox3->palette();
    const QPalette standard = palette();
    pal.setColor(QPalette::Base, enabled ? standard.color(QPalette::Base) : standard.color(QPalette::Button));
    pal.setColor(QPalette::Text, enabled ? standard.color(QPalette::Text) : standard.color(QPalette::Base));
    ComboBox3->setPalette(pal);
}

void TSettingForm::digitsOnly(QLineEdit* edit, const QString& message)
{
    const QString text = edit->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9')) {
            QString corrected = text;
            corrected.remove(i, 1);
            // The replacement runs this check again on what is left, so each
            // bad character is removed with its own message.
            edit->setText(corrected);
            const QScopedValueRollback<bool> showing(m_showingMessage, true);
            showMessage(this, message);
            return;
        }
    }
}

bool TSettingForm::leaveEdit1()
{
    const std::optional<qint64> n = editNumber(Edit1);
    if (n && *n >= kMinUsersDictionarySize && *n <= kMaxUsersDictionarySize)
        return true;
    Edit1->setText(QString::number(m_settings.UsersDictionarySize));
    const QScopedValueRollback<bool> showing(m_showingMessage, true);
    showMessage(this, m_texts.MESSAGES(4));
    return false;
}

bool TSettingForm::leaveEdit2()
{
    // A minimum word length is kept in one byte: above 255 it is refused like
    // a length under 2 rather than stored cut to its low eight bits.
    const std::optional<qint64> n = editNumber(Edit2);
    if (n && *n >= kMinWordLength && *n <= kMaxWordLength)
        return true;
    Edit2->setText(QString::number(m_settings.MinWordLength));
    const QScopedValueRollback<bool> showing(m_showingMessage, true);
    showMessage(this, minWordLengthMessage());
    return false;
}

QString TSettingForm::minWordLengthMessage() const
{
    // The pack's own words when it has them; otherwise the field's caption
    // (the pack's or the built-in one) with the lengths it takes.
    const QString text = m_texts.MESSAGES(kMinWordLengthMessage);
    if (!text.trimmed().isEmpty())
        return text;
    QString caption = Label2->text().trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return QStringLiteral("%1: %2–%3").arg(caption).arg(kMinWordLength).arg(kMaxWordLength);
}

bool TSettingForm::eventFilter(QObject* watched, QEvent* event)
{
    // The focus that a message of these checks takes is no leaving of the
    // field: checked then, a half-corrected text would bring a second message.
    if (event->type() == QEvent::FocusOut && !m_showingMessage) {
        if (watched == Edit1 && Edit1->isEnabled())
            leaveEdit1();
        else if (watched == Edit2)
            leaveEdit2();
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingForm::Button1Click()
{
    // Apply pressed with Enter leaves no edit box first: check both here, so
    // an empty or out-of-range entry is never stored.
    if ((RadioButton2->isChecked() && !leaveEdit1()) || !leaveEdit2())
        return;
    TSettings& s = m_settings;
    s.Language = ComboBox1->currentIndex();
    s.iTAPModification = ComboBox2->currentIndex();
    s.BackupCopy = CheckBox1->isChecked();
    s.ReloadPhone = CheckBox2->isChecked();
    s.StatisticOn = CheckBox3->isChecked();
    s.WhiteListOn = CheckBox4->isChecked();
    if (RadioButton1->isChecked()) {
        s.UsersDictionaryModified = 0;
        s.UsersDictionarySize = 5100;
    } else {
        s.UsersDictionaryModified = 1;
        s.UsersDictionarySize = static_cast<int32_t>(*editNumber(Edit1));
    }
    s.SymbolicClean = CheckBox5->isChecked();
    s.NumericClean = CheckBox6->isChecked();
    s.IntelectClean = CheckBox7->isChecked();
    s.BlackListClean = CheckBox8->isChecked();
    s.LanguageClean = CheckBox9->isChecked();
    s.MinWordLength = static_cast<uint8_t>(*editNumber(Edit2));
    s.LanguageCleanIndex = static_cast<uint8_t>(ComboBox3->currentIndex() & 0xFF);
    s.StatisticType = RadioButton3->isChecked() ? 0 : 1;
    s.AssociateFiles = CheckBox10->isChecked();
    s.PhoneBackupCount = PhoneBackupCountBox->value();
    done(QDialog::Accepted);
}

} // namespace vexlon::gui
