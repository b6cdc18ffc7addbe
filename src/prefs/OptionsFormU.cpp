#include "prefs/OptionsFormU.h"

#include "ui_OptionsForm.h"
#include "widgets/UpDownU.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QRadioButton>
#include <QValidator>

namespace {

// Lets into a daytime edit only what it can hold while typing.
class TDaytimeValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return IsDaytimeEntry(input.toStdString()) ? Acceptable : Invalid;
    }
};

// The radio buttons of a frame as one choice, numbered in their order from 0.
QButtonGroup* ChoiceOf(QGroupBox* frame) {
    auto* group = new QButtonGroup(frame);
    int id = 0;
    for (QRadioButton* b : frame->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        group->addButton(b, id++);
    return group;
}

void Choose(QButtonGroup* group, int id) {
    // An exclusive group cannot be left with no button chosen.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(group->id(b) == id);
    group->setExclusive(true);
}

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

TOptionsForm::TOptionsForm(TClockHost& host, QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::OptionsForm>()), Host(host) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("OptionsForm"));
    QFont face(QStringLiteral("Arial")); // the compact face of the other dialogs
    face.setPixelSize(12);
    setFont(face);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(329, 381);

    GroupBox1 = Ui_->GroupBox1;
    ShowSecondsC = Ui_->ShowSecondsC;
    ShowDateC = Ui_->ShowDateC;
    DateStyleR = Ui_->DateStyleR;
    GroupBox2 = Ui_->GroupBox2;
    DaytimeStartHE = Ui_->DaytimeStartHE;
    DaytimeStartME = Ui_->DaytimeStartME;
    Label2 = Ui_->Label2;
    DayTimeEndHE = Ui_->DayTimeEndHE;
    DayTimeEndME = Ui_->DayTimeEndME;
    UpDown1 = Ui_->UpDown1;
    UpDown2 = Ui_->UpDown2;
    UpDown3 = Ui_->UpDown3;
    UpDown4 = Ui_->UpDown4;
    TimeStyleR = Ui_->TimeStyleR;
    GroupBox3 = Ui_->GroupBox3;
    ShowCountryC = Ui_->ShowCountryC;
    ShowAirportC = Ui_->ShowAirportC;
    ShowStateC = Ui_->ShowStateC;
    FontRadio = Ui_->FontRadio;
    DefaultButton = Ui_->DefaultButton;
    ApplyOptionsButton = Ui_->ApplyOptionsButton;
    CancelButton = Ui_->CancelButton;

    DateStyleGroup = ChoiceOf(DateStyleR);
    TimeStyleGroup = ChoiceOf(TimeStyleR);
    FontGroup = ChoiceOf(FontRadio);

    int edit = StartHour;
    for (const auto& [e, arrows] : DaytimeEdits()) {
        e->setValidator(new TDaytimeValidator(e));
        arrows->SetAssociate(e);
        arrows->SetRange(0, DaytimeEditMax(edit++));
        e->installEventFilter(this); // Up and Down step it as its arrows do
    }
    connect(DaytimeStartHE, &QLineEdit::textChanged, this, &TOptionsForm::DaytimeStartHEChange);
    connect(DaytimeStartME, &QLineEdit::textChanged, this, &TOptionsForm::DaytimeStartMEChange);
    connect(DayTimeEndHE, &QLineEdit::textChanged, this, &TOptionsForm::DayTimeEndHEChange);
    connect(DayTimeEndME, &QLineEdit::textChanged, this, &TOptionsForm::DayTimeEndMEChange);
    connect(ApplyOptionsButton, &QPushButton::clicked, this,
            &TOptionsForm::ApplyOptionsButtonClick);
    connect(DefaultButton, &QPushButton::clicked, this, &TOptionsForm::DefaultButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TOptionsForm::CancelButtonClick);
}

TOptionsForm::~TOptionsForm() = default;

std::array<std::pair<QLineEdit*, TUpDown*>, 4> TOptionsForm::DaytimeEdits() const {
    return {{{DaytimeStartHE, UpDown1},
             {DaytimeStartME, UpDown2},
             {DayTimeEndHE, UpDown3},
             {DayTimeEndME, UpDown4}}};
}

TOptionsControls TOptionsForm::Controls() const {
    TOptionsControls c;
    c.ShowSeconds = ShowSecondsC->isChecked();
    c.ShowDate = ShowDateC->isChecked();
    c.ShowCountry = ShowCountryC->isChecked();
    c.ShowState = ShowStateC->isChecked();
    c.ShowAirport = ShowAirportC->isChecked();
    c.DateStyle = DateStyleGroup->checkedId();
    c.TimeStyle = TimeStyleGroup->checkedId();
    c.Font = FontGroup->checkedId();
    c.Daytime = {Text(DaytimeStartHE), Text(DaytimeStartME), Text(DayTimeEndHE),
                 Text(DayTimeEndME)};
    return c;
}

void TOptionsForm::SetControls(const TOptionsControls& c) {
    ShowSecondsC->setChecked(c.ShowSeconds);
    ShowCountryC->setChecked(c.ShowCountry);
    ShowStateC->setChecked(c.ShowState);
    ShowAirportC->setChecked(c.ShowAirport);
    const auto daytime = DaytimeEdits();
    for (std::size_t i = 0; i < c.Daytime.size(); ++i) {
        const QString text = QString::fromStdString(c.Daytime[i]);
        const auto& [edit, arrows] = daytime[i];
        arrows->SetPosition(text.toInt());
        edit->setText(text);
    }
    Choose(TimeStyleGroup, c.TimeStyle);
    ShowDateC->setChecked(c.ShowDate);
    Choose(DateStyleGroup, c.DateStyle);
    Choose(FontGroup, c.Font);
}

void TOptionsForm::LoadIntoDialog(const TDisplayOptions& options) {
    WorkingOptions = options;
    SetControls(ControlsFor(WorkingOptions));
}

void TOptionsForm::StoreFromDialog() {
    StoreControls(Controls(), WorkingOptions);
    Host.ApplyDisplayOptions(WorkingOptions);
    Host.SyncViewMenuChecks();
}

void TOptionsForm::ApplyOptionsButtonClick() {
    StoreFromDialog();
    accept();
}

void TOptionsForm::DefaultButtonClick() {
    // The clock window follows only when the dialog closes.
    DefaultsKeepingView(WorkingOptions);
    LoadIntoDialog(WorkingOptions);
}

void TOptionsForm::CancelButtonClick() {
    reject();
}

void TOptionsForm::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TOptionsForm::FormClose() {
    // Also undoes View toggles used while the dialog was open: the working copy holds the View
    // settings of its opening. The check marks follow, so they never contradict the window.
    Host.ApplyDisplayOptions(WorkingOptions);
    Host.SyncViewMenuChecks();
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        for (const auto& [edit, arrows] : DaytimeEdits())
            if (watched == edit && (key == Qt::Key_Up || key == Qt::Key_Down)) {
                if (key == Qt::Key_Up)
                    arrows->StepUp();
                else
                    arrows->StepDown();
                return true;
            }
    }
    return QDialog::eventFilter(watched, e);
}

void TOptionsForm::KeepTwoDigits(QLineEdit* edit) {
    const QString text = QString::fromStdString(TwoDigitText(Text(edit)));
    if (text != edit->text())
        edit->setText(text);
}

void TOptionsForm::DaytimeStartHEChange() {
    KeepTwoDigits(DaytimeStartHE);
}

void TOptionsForm::DaytimeStartMEChange() {
    KeepTwoDigits(DaytimeStartME);
}

void TOptionsForm::DayTimeEndHEChange() {
    KeepTwoDigits(DayTimeEndHE);
}

void TOptionsForm::DayTimeEndMEChange() {
    KeepTwoDigits(DayTimeEndME);
}
