#pragma once

#include "ClockHostU.h"
#include "prefs/OptionsValuesU.h"
#include "prefs/TavikOptionsU.h"

#include <QDialog>
#include <array>
#include <memory>
#include <utility>

namespace Ui {
class OptionsForm;
}
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

// The Preferences dialog: edits a working copy of the clock window's display options, all but
// the four View settings, and hands it back on "Ok" and whenever it closes.
class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsForm(TClockHost& host, QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // Takes a full copy of the options and shows it.
    void LoadIntoDialog(const TDisplayOptions& options);
    // Reads the controls into the working copy and applies it to the clock window.
    void StoreFromDialog();

    // What the controls hold, as plain values.
    TOptionsControls Controls() const;

    TDisplayOptions WorkingOptions;

    // Controls, named as the layout names them.
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* ShowSecondsC = nullptr;
    QCheckBox* ShowDateC = nullptr;
    QGroupBox* DateStyleR = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* DaytimeStartHE = nullptr;
    QLineEdit* DaytimeStartME = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* DayTimeEndHE = nullptr;
    QLineEdit* DayTimeEndME = nullptr;
    TUpDown* UpDown1 = nullptr;
    TUpDown* UpDown2 = nullptr;
    TUpDown* UpDown3 = nullptr;
    TUpDown* UpDown4 = nullptr;
    QGroupBox* TimeStyleR = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QCheckBox* ShowCountryC = nullptr;
    QCheckBox* ShowAirportC = nullptr;
    QCheckBox* ShowStateC = nullptr;
    QGroupBox* FontRadio = nullptr;
    QPushButton* DefaultButton = nullptr;
    QPushButton* ApplyOptionsButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void ApplyOptionsButtonClick();
    void DefaultButtonClick();
    void CancelButtonClick();
    void FormClose();
    void DaytimeStartHEChange();
    void DaytimeStartMEChange();
    void DayTimeEndHEChange();
    void DayTimeEndMEChange();

public slots:
    // Every way of closing ends here: "Ok", "Cancel", Escape and the close box.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void SetControls(const TOptionsControls& controls);
    void KeepTwoDigits(QLineEdit* edit);
    // Each daytime edit with its arrows, in the order of the fields.
    std::array<std::pair<QLineEdit*, TUpDown*>, 4> DaytimeEdits() const;

    std::unique_ptr<Ui::OptionsForm> Ui_;
    TClockHost& Host;
    QButtonGroup* DateStyleGroup = nullptr;
    QButtonGroup* TimeStyleGroup = nullptr;
    QButtonGroup* FontGroup = nullptr;
};
