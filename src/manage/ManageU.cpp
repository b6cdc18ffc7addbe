#include "ManageU.h"

#include "CountryPageU.h"
#include "ManagePageU.h"
#include "ManageRecordsU.h"
#include "UpDownU.h"
#include "ui_ManageAirportPage.h"
#include "ui_ManageCityPage.h"
#include "ui_ManageForm.h"
#include "ui_ManageStatePage.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>

namespace {

// A page whose records are not edited here yet: its list side only.
template <typename TUi> class TListOnlyPage : public TManagePageBase {
public:
    TListOnlyPage(TManageForm& form, TManagePage page, const char* sheetName,
                  std::function<void(TListOnlyPage&, TUi&)> bind,
                  std::function<void(TListTarget&)> fill)
        : TManagePageBase(form, page), Fill(std::move(fill)) {
        QWidget* sheet = form.findChild<QWidget*>(QLatin1String(sheetName));
        Ui_.setupUi(sheet);
        bind(*this, Ui_);
    }
    void Bind(QWidget* sheet, QGroupBox* side, QLineEdit* edit, QListWidget* list, QGroupBox* group,
              QPushButton* apply, QPushButton* close) {
        BindFrame(sheet, side, edit, list, group, apply, close);
        connect(edit, &QLineEdit::textChanged, this, [this] { SearchEditChange(); });
        SearchKeyHandler = [this](int key) { return SearchEditKey(key); };
    }
    void FillLists() override { Fill(ListTarget); }
    void ShowRecord() override {}
    bool ApplyRecord() override { return false; }
    void* EditedRecord() const override { return nullptr; }
    void ClearPage() override { ListTarget.SetItemIndex(-1); }

private:
    TUi Ui_;
    std::function<void(TListTarget&)> Fill;
};

} // namespace

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
    using TStateUi = Ui::ManageStatePage;
    States = std::make_unique<TListOnlyPage<TStateUi>>(
        *this, TManagePage::States, "StatesTabSheet",
        [](auto& p, TStateUi& u) {
            p.Bind(u.StatesGroupBox->parentWidget(), u.StatesGroupBox, u.StateEdit, u.StateListBox,
                   u.StateGroupBox, u.StateApplyButton, u.StateCloseButton);
        },
        [this](TListTarget& t) { Data->States.FillListBox(t); });
    using TCityUi = Ui::ManageCityPage;
    Cities = std::make_unique<TListOnlyPage<TCityUi>>(
        *this, TManagePage::Cities, "CitiesTabSheet",
        [](auto& p, TCityUi& u) {
            p.Bind(u.CitiesGroupBox->parentWidget(), u.CitiesGroupBox, u.CityEdit, u.CityListBox,
                   u.CityGroupBox, u.CityApplyButton, u.CityCloseButton);
        },
        [this](TListTarget& t) { Data->Cities.FillListBox(t, MyCity); });
    using TAirportUi = Ui::ManageAirportPage;
    Airports = std::make_unique<TListOnlyPage<TAirportUi>>(
        *this, TManagePage::Airports, "AirportsTabSheet",
        [](auto& p, TAirportUi& u) {
            p.Bind(u.AirportsGroupBox->parentWidget(), u.AirportsGroupBox, u.AirportEdit,
                   u.AirportListBox, u.AirportGroupBox, u.AirportApplyButton, u.AirportCloseButton);
        },
        [this](TListTarget& t) { Data->Airports.FillListBox(t); });
    for (TManagePageBase* p :
         {PageOf(TManagePage::Countries), States.get(), Cities.get(), Airports.get()})
        TManageForm::EnableGroup(p->RecordGroup, false);
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

TManagePageBase* TManageForm::PageOf(TManagePage page) const {
    switch (page) {
    case TManagePage::Countries:
        return Countries.get();
    case TManagePage::States:
        return States.get();
    case TManagePage::Cities:
        return Cities.get();
    case TManagePage::Airports:
        return Airports.get();
    }
    return Countries.get();
}

void TManageForm::EnableGroup(QWidget* box, bool enabled) {
    box->setEnabled(enabled);
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

void TManageForm::LimitOffset(TUpDown* arrows, QLineEdit* edit) {
    arrows->SetAssociate(edit);
    arrows->SetRange(static_cast<int>(MinUTCOffset), static_cast<int>(MaxUTCOffset));
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
    for (TManagePageBase* p :
         {Cities.get(), States.get(), PageOf(TManagePage::Countries), Airports.get()})
        p->RefillList();
    for (TManagePageBase* p :
         {Cities.get(), States.get(), PageOf(TManagePage::Countries), Airports.get()}) {
        p->ClearPage();
        p->DisablePage();
    }
    NewMode = false;
    DeleteMode = false;
    for (TManagePageBase* p :
         {PageOf(TManagePage::Countries), States.get(), Cities.get(), Airports.get()}) {
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

void TManageForm::NewStateButtonClick() {}

void TManageForm::NewCityButtonClick() {}

void TManageForm::NewAirportButtonClick() {}

void TManageForm::BeginDeleteCountry() {
    Countries->BeginDeleteCountry();
}

void TManageForm::BeginDeleteState() {}

void TManageForm::BeginDeleteCity() {}

void TManageForm::BeginDeleteAirport() {}

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

void TManageForm::ShowOnHost() {
    show();
    raise();
    activateWindow();
}

void TManageForm::PutAway() {
    PuttingAway = true;
    close();
    PuttingAway = false;
    for (TManagePageBase* p :
         {PageOf(TManagePage::Countries), States.get(), Cities.get(), Airports.get()})
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

void TManageForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TManageForm::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (!PuttingAway)
        FormClose();
}
