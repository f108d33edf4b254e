// The settings dialog: every user option, checked as it is typed, written
// into the settings only by "Apply".
#pragma once

#include "core/base/UiTexts.h"
#include "core/base/VexlonTypes.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vexlon::gui {

class TSettingForm : public QDialog {
    Q_OBJECT
public:
    TSettingForm(TSettings& settings, const TiTAPLanguages& languageList, const TiTAPStructure& structure,
                 const UiTexts& texts, QWidget* owner);
    ~TSettingForm() override;

    // Named as the window's controls are named, for the window's own use and
    // for tests that drive it.
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7, *CheckBox8,
        *CheckBox9, *CheckBox10;
    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4;
    QLineEdit *Edit1, *Edit2;
    QLabel *Label1, *Label2, *Label3;
    // How many dictionaries are kept of each phone.
    QSpinBox* PhoneBackupCountBox;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5, *GroupBox6;
    QPushButton *Button1, *Button2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyTexts(const UiTexts& texts);
    void setLanguageCleanEnabled(bool enabled);
    void digitsOnly(QLineEdit* edit, const QString& message);
    // The checks made when an edit box is left; false when the text was
    // reset to the current value (and the message shown).
    bool leaveEdit1();
    bool leaveEdit2();
    void Button1Click();
    // What is said when the minimum word length is refused.
    QString minWordLengthMessage() const;

    // The lengths the minimum-word-length field takes (one byte), and the
    // MESSAGES entry a pack may hold to say so in its own words.
    static constexpr int kMinWordLength = 2;
    static constexpr int kMaxWordLength = 255;
    static constexpr int kMinWordLengthMessage = 31;

    TSettings& m_settings;
    const UiTexts& m_texts;
    bool m_showingMessage = false; // a message of the field checks is open
};

} // namespace vexlon::gui
