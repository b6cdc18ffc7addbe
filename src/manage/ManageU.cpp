#include "ManageU.h"

#include "AirportPageU.h"
#include "CityPageU.h"
#include "CountryPageU.h"
#include "ManagePageU.h"
#include "ManageRecordsU.h"
#include "StatePageU.h"
#include "UpDownU.h"
#include "ui_ManageForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

TManageForm::TManageForm(TClockHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Host(host), Ui_(std::make_unique<Ui::ManageForm>()) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("ManageForm"));
    QFont face(QStringLiteral("Arial")); // a compact face for the compact design
    face.setPixelSize(12);
    setFont(face);
    setFixedSize(621, 553);
    ManagePageControl = Ui_->ManagePageControl;
    connect(ManagePageControl, &QStackedWidget::currentChanged, this,
            &TManageForm::ManagePageControlChange);

    Countries = std::make_unique<TCountryPage>(*this);
    States = std::make_unique<TStatePage>(*this);
    Cities = std::make_unique<TCityPage>(*this);
    Airports = std::make_unique<TAirportPage>(*this);
    for (TManagePageBase* p : Pages())
        TManageForm::EnableGroup(p->RecordGroup, false);
    // Enter presses the focused button as Space does.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(this);
    // On the desktop's accessibility bus a combo box is named by its value and labelled through
    // its label's relation: those without a visible label get one that is never shown.
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        if (combo->accessibleName().isEmpty())
            continue;
        auto* label = new QLabel(combo->accessibleName(), combo->parentWidget());
        label->setObjectName(combo->objectName() + QStringLiteral("AccessibleLabel"));
        label->setBuddy(combo);
        label->hide();
    }
}

TManageForm::~TManageForm() = default;

std::array<TManagePageBase*, 4> TManageForm::Pages() const {
    return {Countries.get(), States.get(), Cities.get(), Airports.get()};
}

TManagePageBase* TManageForm::PageOf(TManagePage page) const {
    return Pages().at(static_cast<std::size_t>(page));
}

void TManageForm::EnableGroup(QWidget* box, bool enabled) {
    box->setEnabled(enabled);
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

void TManageForm::LimitOffset(TUpDown* arrows, QLineEdit* edit) {
    arrows->SetAssociate(edit);
    arrows->SetRange(static_cast<int>(MinUTCOffset), static_cast<int>(MaxUTCOffset));
    const QString range = tr("Hours east of UTC, from -12 to +14; fractions such as 5.5 are "
                             "allowed. The arrows, and Up and Down, step to the next whole hour.");
    edit->setToolTip(range);
    arrows->setToolTip(range);
    const auto arrowButtons = arrows->findChildren<QToolButton*>();
    const QStringList names{tr("UTC offset up"), tr("UTC offset down")};
    for (int i = 0; i < arrowButtons.size() && i < names.size(); ++i)
        arrowButtons[i]->setAccessibleName(names[i]);
}

void TManageForm::SetCollections(TCityList& data, TCity* myCity) {
    Data = &data;
    MyCity = myCity;
}

void TManageForm::ResetPages() {
    if (Data == nullptr)
        return;
    for (TManagePageBase* p : Pages())
        p->RefillList();
    for (TManagePageBase* p : Pages()) {
        p->ClearPage();
        p->DisablePage();
    }
    Cities->ShowMyCityLabel();
    NewMode = false;
    DeleteMode = false;
    for (TManagePageBase* p : Pages()) {
        EnableGroup(p->ListSide, true);
        p->ApplyButton->setEnabled(false);
    }
}

void TManageForm::SetPage(TManagePage page) {
    // Choosing the page is no change the user made: ResetPages must not run.
    const QSignalBlocker quiet(ManagePageControl);
    ManagePageControl->setCurrentIndex(static_cast<int>(page));
}

TManagePage TManageForm::CurrentPage() const {
    return static_cast<TManagePage>(ManagePageControl->currentIndex());
}

void TManageForm::NewCountryButtonClick() {
    Countries->NewCountryButtonClick();
}

void TManageForm::NewStateButtonClick() {
    States->NewStateButtonClick();
}

void TManageForm::NewCityButtonClick() {
    Cities->NewCityButtonClick();
}

void TManageForm::NewAirportButtonClick() {
    Airports->NewAirportButtonClick();
}

void TManageForm::BeginDeleteCountry() {
    Countries->BeginDeleteCountry();
}

void TManageForm::BeginDeleteState() {
    States->BeginDeleteState();
}

void TManageForm::BeginDeleteCity() {
    Cities->BeginDeleteCity();
}

void TManageForm::BeginDeleteAirport() {
    Airports->BeginDeleteAirport();
}

void TManageForm::BeginEdit(TManagePage page, std::int32_t recordId) {
    SetPage(page);
    Countries->CountryApplyButton->setText(QStringLiteral("Apply"));
    Countries->ShowCapitalRow(true);
    States->ApplyButton->setText(QStringLiteral("Apply"));
    Cities->ApplyButton->setText(QStringLiteral("Edit City"));
    Airports->ApplyButton->setText(QStringLiteral("Apply"));
    const void* record = nullptr;
    switch (page) {
    case TManagePage::Countries:
        record = Data->Countries.FindById(recordId);
        break;
    case TManagePage::States:
        record = Data->States.FindById(recordId);
        break;
    case TManagePage::Cities:
        record = Data->Cities.FindById(recordId);
        break;
    case TManagePage::Airports:
        for (const TAirport* a : Data->Airports)
            if (recordId != 0 && a->UniqueID == recordId && record == nullptr)
                record = a;
        break;
    }
    TManagePageBase* p = PageOf(page);
    if (record != nullptr)
        p->LoadRecord(record);
    ShowOnHost();
    p->SearchEdit->setFocus();
}

void TManageForm::Open(TManagePage page, TManageMode mode, std::int32_t recordId) {
    SetCollections(Host.CityList(), Host.CityList().MyCity);
    ResetPages();
    switch (mode) {
    case TManageMode::New:
        switch (page) {
        case TManagePage::Countries:
            NewCountryButtonClick();
            break;
        case TManagePage::States:
            NewStateButtonClick();
            break;
        case TManagePage::Cities:
            NewCityButtonClick();
            break;
        case TManagePage::Airports:
            NewAirportButtonClick();
            break;
        }
        ShowOnHost();
        // A new country or state starts with its name.
        if (page == TManagePage::Countries)
            Countries->CountryNameEdit->setFocus();
        else if (page == TManagePage::States)
            States->StateNameEdit->setFocus();
        break;
    case TManageMode::Edit:
        BeginEdit(page, recordId);
        break;
    case TManageMode::Delete:
        switch (page) {
        case TManagePage::Countries:
            BeginDeleteCountry();
            break;
        case TManagePage::States:
            BeginDeleteState();
            break;
        case TManagePage::Cities:
            BeginDeleteCity();
            break;
        case TManagePage::Airports:
            BeginDeleteAirport();
            break;
        }
        break;
    }
}

TManageForm::TBusy::TBusy(TManageForm& form) : Form(form) {
    ++Form.Busy;
}

TManageForm::TBusy::~TBusy() {
    if (--Form.Busy > 0 || !Form.Waiting)
        return;
    // After the handler that asked has returned, not inside it.
    QTimer::singleShot(0, &Form, [form = &Form] {
        if (form->Asking() || !form->Waiting)
            return; // another question came first; its end runs the command
        std::function<void()> command = std::move(form->Waiting);
        form->Waiting = nullptr;
        command();
    });
}

TAnswer TManageForm::AskYesNo(const QString& text, const QString& caption) {
    const TBusy busy(*this);
    return Host.Platform().Messages->AskYesNo(this, text, caption);
}

void TManageForm::ShowMessage(const QString& text) {
    const TBusy busy(*this);
    Host.Platform().Messages->Show(this, text);
}

bool TManageForm::WaitForQuestion(std::function<void()> command) {
    if (!Asking())
        return false;
    Waiting = std::move(command);
    return true;
}

void TManageForm::ShowOnHost() {
    show();
    raise();
    activateWindow();
}

void TManageForm::PutAway() {
    PuttingAway = true;
    close();
    PuttingAway = false;
    for (TManagePageBase* p : Pages())
        p->ForgetRecord();
    Data = nullptr;
    MyCity = nullptr;
}

void TManageForm::FormShow() {
    // The window cannot come to the front of a clock that stays on top.
    TDisplayOptions options = Host.DisplayOptions();
    options.StayOnTop = 0;
    Host.ApplyDisplayOptions(options);
    Host.SyncViewMenuChecks();
}

void TManageForm::FormClose() {
    if (Data == nullptr)
        return;
    Data->MyCity = MyCity;
    Host.RefreshDial();
}

void TManageForm::ManagePageControlChange() {
    ResetPages();
}

bool TManageForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (button->isEnabled())
                button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TManageForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TManageForm::closeEvent(QCloseEvent* e) {
    // Closing under an open question is refused: the question's handler still needs the page.
    if (Asking() && !PuttingAway) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
    if (!PuttingAway)
        FormClose();
}
