#pragma once

#include "manage/DSTPanelRulesU.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <memory>

namespace Ui {
class DSTPanel;
}
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class TClockHost;
class TUpDown;

// The daylight-saving panel of the country and the state page: one layout, laid into each
// page's place for it and named after the page. It shows and reads a TDSTPanelState and reacts
// to its own controls; the page hears one Edited for whatever counts as an edit. The check box
// that switches the rules on is the page's: what it reloads differs between the pages.
class TDSTPanel : public QObject {
    Q_OBJECT
public:
    // prefix names the controls ("Country" gives CountryStartFLCombo); the four up-downs of the
    // time row have names of their own: start hour, start minute, end hour, end minute.
    TDSTPanel(TClockHost& host, QWidget* place, QCheckBox* dlCheckBox, const QString& prefix,
              const std::array<const char*, 4>& upDownNames);
    ~TDSTPanel() override;

    TDSTPanelState Read() const;
    // Shows the state without running any of the controls' events.
    void Show(const TDSTPanelState& state);
    // Today and the date format the summary is written with.
    TDSTSummaryContext Context() const;

    void DescribeDSTPanel();
    void PadTimeEdit(QLineEdit* edit);
    // The hour edit to put right when the panel was refused for a time; none for dates.
    QWidget* FaultField(const TDSTPanelState& state) const;
    // The page's focus chain with the panel in its reading order between the page's fields
    // and its buttons.
    void ChainTabOrder(const QList<QWidget*>& before, const QList<QWidget*>& after) const;

    QCheckBox* DLCheckBox;
    QGroupBox* DLGroupBox = nullptr;
    QRadioButton* RuleRadioButton = nullptr;
    QRadioButton* FixedDatesRadioButton = nullptr;
    QComboBox* StartFLCombo = nullptr;
    QComboBox* StartDayCombo = nullptr;
    QLineEdit* StartAfterDayEdit = nullptr;
    QComboBox* StartMonthCombo = nullptr;
    QComboBox* EndFLCombo = nullptr;
    QComboBox* EndDayCombo = nullptr;
    QLineEdit* EndAfterDayEdit = nullptr;
    QComboBox* EndMonthCombo = nullptr;
    QLabel* ExampleLabel = nullptr;
    QLineEdit* StartDayEdit = nullptr;
    QComboBox* FixedStartMonthCombo = nullptr;
    QLineEdit* EndDayEdit = nullptr;
    QComboBox* FixedEndMonthCombo = nullptr;
    QGroupBox* DLTimeGroupBox = nullptr;
    QLineEdit* DSTStartTimeH = nullptr;
    QLineEdit* DSTStartTimeM = nullptr;
    QLineEdit* DSTEndTimeH = nullptr;
    QLineEdit* DSTEndTimeM = nullptr;
    std::array<TUpDown*, 4> TimeUpDowns{}; // start hour, start minute, end hour, end minute

    // Handlers, named after their controls; each stands for its row's siblings too.
    // A choice in any of the eight combo boxes.
    void StartFLComboClick();
    // The keyboard left one of the four day edits.
    void StartAfterDayEditExit();
    void RuleRadioButtonClick();
    void FixedDatesRadioButtonClick();
    void DSTStartTimeHChange();
    void DSTStartTimeMChange();
    void DSTEndTimeHChange();
    void DSTEndTimeMChange();
    // An arrow of the time row.
    void StartHourUpDownClick();

signals:
    // The user changed the rules: a choice, a typed day or time, an arrow, leaving a day edit.
    // Choosing rules or fixed dates clears the other side without being an edit of its own.
    void Edited();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::unique_ptr<Ui::DSTPanel> Ui_;
    TClockHost& Host;
};

// Whether a control is enabled by its own setting, whatever its parents say.
bool OwnEnabled(const QWidget* w);
