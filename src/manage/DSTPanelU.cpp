#include "manage/DSTPanelU.h"

#include "ClockHostU.h"
#include "ui_DSTPanel.h"
#include "widgets/QtTextU.h"
#include "widgets/UpDownU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeZone>

namespace {

std::string Std(const QLineEdit* edit) {
    return edit->text().toStdString();
}

void SetIndex(QComboBox* combo, int index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

bool OwnEnabled(const QWidget* w) {
    return !w->testAttribute(Qt::WA_ForceDisabled);
}

TDSTPanel::TDSTPanel(TClockHost& host, QWidget* place, QCheckBox* dlCheckBox, const QString& prefix,
                     const std::array<const char*, 4>& upDownNames)
    : DLCheckBox(dlCheckBox), Ui_(std::make_unique<Ui::DSTPanel>()), Host(host) {
    Ui_->setupUi(place);
    // The layout's names are the page's names without the page's prefix.
    TUpDown* const upDowns[] = {Ui_->StartHourUpDown, Ui_->StartMinuteUpDown, Ui_->EndHourUpDown,
                                Ui_->EndMinuteUpDown};
    for (QWidget* w : place->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        w->setObjectName(prefix + w->objectName());
    }
    for (std::size_t i = 0; i < 4; ++i)
        upDowns[i]->setObjectName(QLatin1String(upDownNames[i]));

    DLGroupBox = Ui_->DLGroupBox;
    RuleRadioButton = Ui_->RuleRadioButton;
    FixedDatesRadioButton = Ui_->FixedDatesRadioButton;
    StartFLCombo = Ui_->StartFLCombo;
    StartDayCombo = Ui_->StartDayCombo;
    StartAfterDayEdit = Ui_->StartAfterDayEdit;
    StartMonthCombo = Ui_->StartMonthCombo;
    EndFLCombo = Ui_->EndFLCombo;
    EndDayCombo = Ui_->EndDayCombo;
    EndAfterDayEdit = Ui_->EndAfterDayEdit;
    EndMonthCombo = Ui_->EndMonthCombo;
    ExampleLabel = Ui_->ExampleLabel;
    StartDayEdit = Ui_->StartDayEdit;
    FixedStartMonthCombo = Ui_->FixedStartMonthCombo;
    EndDayEdit = Ui_->EndDayEdit;
    FixedEndMonthCombo = Ui_->FixedEndMonthCombo;
    DLTimeGroupBox = Ui_->DLTimeGroupBox;
    DSTStartTimeH = Ui_->DSTStartTimeH;
    DSTStartTimeM = Ui_->DSTStartTimeM;
    DSTEndTimeH = Ui_->DSTEndTimeH;
    DSTEndTimeM = Ui_->DSTEndTimeM;
    TimeUpDowns = {Ui_->StartHourUpDown, Ui_->StartMinuteUpDown, Ui_->EndHourUpDown,
                   Ui_->EndMinuteUpDown};

    QLineEdit* const timeEdits[] = {DSTStartTimeH, DSTStartTimeM, DSTEndTimeH, DSTEndTimeM};
    void (TDSTPanel::*const timeChanges[])() = {
        &TDSTPanel::DSTStartTimeHChange, &TDSTPanel::DSTStartTimeMChange,
        &TDSTPanel::DSTEndTimeHChange, &TDSTPanel::DSTEndTimeMChange};
    for (std::size_t i = 0; i < 4; ++i) {
        TUpDown* arrows = TimeUpDowns[i];
        arrows->SetAssociate(timeEdits[i]);
        arrows->SetRange(0, i % 2 == 0 ? 23 : 59);
        connect(arrows, &TUpDown::Clicked, this, &TDSTPanel::StartHourUpDownClick);
        // The panel starts at a plain 0, before the padding listens.
        timeEdits[i]->setText(QStringLiteral("0"));
        connect(timeEdits[i], &QLineEdit::textChanged, this, timeChanges[i]);
        // Typing is an edit as much as a click on the arrows.
        connect(timeEdits[i], &QLineEdit::textEdited, this, &TDSTPanel::Edited);
    }
    for (QComboBox* c : {StartFLCombo, StartDayCombo, StartMonthCombo, EndFLCombo, EndDayCombo,
                         EndMonthCombo, FixedStartMonthCombo, FixedEndMonthCombo}) {
        c->setCurrentIndex(-1);
        connect(c, &QComboBox::activated, this, &TDSTPanel::StartFLComboClick);
    }
    for (QLineEdit* e : {StartAfterDayEdit, EndAfterDayEdit, StartDayEdit, EndDayEdit}) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textEdited, this, &TDSTPanel::Edited);
    }
    connect(RuleRadioButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RuleRadioButtonClick();
    });
    connect(FixedDatesRadioButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            FixedDatesRadioButtonClick();
    });
}

TDSTPanel::~TDSTPanel() = default;

TDSTPanelState TDSTPanel::Read() const {
    TDSTPanelState s;
    s.Checked = DLCheckBox->isChecked();
    s.RuleMode = RuleRadioButton->isChecked();
    s.Start = {StartFLCombo->currentIndex(),
               StartDayCombo->currentIndex(),
               Std(StartAfterDayEdit),
               StartMonthCombo->currentIndex(),
               Std(StartDayEdit),
               FixedStartMonthCombo->currentIndex(),
               Std(DSTStartTimeH),
               Std(DSTStartTimeM)};
    s.End = {EndFLCombo->currentIndex(),
             EndDayCombo->currentIndex(),
             Std(EndAfterDayEdit),
             EndMonthCombo->currentIndex(),
             Std(EndDayEdit),
             FixedEndMonthCombo->currentIndex(),
             Std(DSTEndTimeH),
             Std(DSTEndTimeM)};
    FromQ(ExampleLabel->text(), s.Summary);
    s.PanelEnabled = OwnEnabled(DLGroupBox);
    s.TimeRowEnabled = OwnEnabled(DLTimeGroupBox);
    return s;
}

void TDSTPanel::Show(const TDSTPanelState& s) {
    QObject* const controls[] = {DLCheckBox,      RuleRadioButton,      FixedDatesRadioButton,
                                 StartFLCombo,    StartDayCombo,        StartAfterDayEdit,
                                 StartMonthCombo, EndFLCombo,           EndDayCombo,
                                 EndAfterDayEdit, EndMonthCombo,        StartDayEdit,
                                 EndDayEdit,      FixedStartMonthCombo, FixedEndMonthCombo,
                                 DSTStartTimeH,   DSTStartTimeM,        DSTEndTimeH,
                                 DSTEndTimeM};
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QObject* o : controls)
        quiet.push_back(std::make_unique<QSignalBlocker>(o));
    DLCheckBox->setChecked(s.Checked);
    (s.RuleMode ? RuleRadioButton : FixedDatesRadioButton)->setChecked(true);
    const auto half = [](const TDSTPanelHalf& h, QComboBox* fl, QComboBox* day, QLineEdit* after,
                         QComboBox* month, QLineEdit* fixedDay, QComboBox* fixedMonth,
                         QLineEdit* hour, QLineEdit* minute) {
        SetIndex(fl, h.Ordinal);
        SetIndex(day, h.WeekDay);
        after->setText(QString::fromStdString(h.AfterDay));
        SetIndex(month, h.Month);
        fixedDay->setText(QString::fromStdString(h.FixedDay));
        SetIndex(fixedMonth, h.FixedMonth);
        hour->setText(QString::fromStdString(h.Hour));
        minute->setText(QString::fromStdString(h.Minute));
    };
    half(s.Start, StartFLCombo, StartDayCombo, StartAfterDayEdit, StartMonthCombo, StartDayEdit,
         FixedStartMonthCombo, DSTStartTimeH, DSTStartTimeM);
    half(s.End, EndFLCombo, EndDayCombo, EndAfterDayEdit, EndMonthCombo, EndDayEdit,
         FixedEndMonthCombo, DSTEndTimeH, DSTEndTimeM);
    ExampleLabel->setText(ToQ(s.Summary));
    DLGroupBox->setEnabled(s.PanelEnabled);
    DLTimeGroupBox->setEnabled(s.TimeRowEnabled);
}

TDSTSummaryContext TDSTPanel::Context() const {
    TDSTSummaryContext c;
    // The summary is about the user's own year and day: the computer's local time.
    const TDateTime utc = Host.Platform().Clock->NowUtc();
    constexpr std::int64_t UnixEpochMs = 25569LL * 86400000LL;
    const QDateTime at =
        QDateTime::fromMSecsSinceEpoch(ToMilliseconds(utc) - UnixEpochMs, QTimeZone::utc());
    c.LocalNow = utc + QTimeZone::systemTimeZone().offsetFromUtc(at) / 86400.0;
    c.DateFormat = Host.ShortDateFormat();
    c.Locale = Host.LocaleFacts();
    return c;
}

void TDSTPanel::DescribeDSTPanel() {
    TDSTPanelState s = Read();
    ::DescribeDSTPanel(s, Context());
    ExampleLabel->setText(ToQ(s.Summary));
}

void TDSTPanel::PadTimeEdit(QLineEdit* edit) {
    const QString text = edit->text();
    if (text.size() != 1)
        return;
    const QSignalBlocker quiet(edit);
    edit->setText(QLatin1Char('0') + text);
}

QWidget* TDSTPanel::FaultField(const TDSTPanelState& state) const {
    switch (FirstTimeFault(state)) {
    case TDSTTimeFault::StartHour:
        return DSTStartTimeH;
    case TDSTTimeFault::EndHour:
        return DSTEndTimeH;
    case TDSTTimeFault::None:
        break;
    }
    return nullptr;
}

void TDSTPanel::ChainTabOrder(const QList<QWidget*>& before, const QList<QWidget*>& after) const {
    QList<QWidget*> chain = before;
    chain << RuleRadioButton << StartFLCombo << StartDayCombo << StartAfterDayEdit
          << StartMonthCombo << EndFLCombo << EndDayCombo << EndAfterDayEdit << EndMonthCombo
          << FixedDatesRadioButton << StartDayEdit << FixedStartMonthCombo << EndDayEdit
          << FixedEndMonthCombo << DSTStartTimeH << DSTStartTimeM << DSTEndTimeH << DSTEndTimeM;
    chain << after;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

bool TDSTPanel::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut) {
        // Only a move to another control of the window is an exit, not a window switch.
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            StartAfterDayEditExit();
    }
    return QObject::eventFilter(watched, e);
}

void TDSTPanel::StartFLComboClick() {
    DescribeDSTPanel();
    emit Edited();
}

void TDSTPanel::StartAfterDayEditExit() {
    DescribeDSTPanel();
    emit Edited();
}

void TDSTPanel::RuleRadioButtonClick() {
    TDSTPanelState p = Read();
    ClearFixedFields(p);
    Show(p);
}

void TDSTPanel::FixedDatesRadioButtonClick() {
    TDSTPanelState p = Read();
    ClearRuleFields(p);
    Show(p);
}

void TDSTPanel::DSTStartTimeHChange() {
    PadTimeEdit(DSTStartTimeH);
}

void TDSTPanel::DSTStartTimeMChange() {
    PadTimeEdit(DSTStartTimeM);
}

void TDSTPanel::DSTEndTimeHChange() {
    PadTimeEdit(DSTEndTimeH);
}

void TDSTPanel::DSTEndTimeMChange() {
    PadTimeEdit(DSTEndTimeM);
}

void TDSTPanel::StartHourUpDownClick() {
    emit Edited();
}
