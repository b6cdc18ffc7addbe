#include "CompanionWindowsU.h"

#include "ClockChangesFormU.h"
#include "ClockHostU.h"
#include "FirstStartU.h"
#include "ManageU.h"
#include "MyCityMessageU.h"
#include "OptionsFormU.h"
#include "SearchU.h"
#include "SelectCityU.h"
#include "SplashU.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

TCompanionWindows::TCompanionWindows(TClockHost& host)
    : Host(host), Splash_(std::make_unique<TSplashForm>()),
      Manage_(std::make_unique<TManageForm>(host)), Options_(std::make_unique<TOptionsForm>(host)),
      SelectCity_(std::make_unique<TSelectCityForm>(host)),
      Search_(std::make_unique<TSearchForm>(host)),
      MyCityMessage_(std::make_unique<TMyCityMessageForm>()),
      ClockChanges_(std::make_unique<TClockChangesForm>(host)) {
    QObject::connect(Manage_.get(), &TManageForm::RecordDeleted,
                     [this](TManagePage page) { RecordDeleted(page); });
}

TCompanionWindows::~TCompanionWindows() = default;

bool TCompanionWindows::Offers(TKind kind, TManagePage) const {
    switch (kind) {
    case TKind::SelectCity:
    case TKind::Preferences:
    case TKind::Search:
    case TKind::About:
    case TKind::Manage:
    case TKind::ClockChanges:
        return true;
    }
    return false;
}

void TCompanionWindows::PlaceOnHost(QWidget& window) {
    window.move(Host.HostWindow()->pos());
}

void TCompanionWindows::OpenSelectCity(bool myCityMode) {
    TSelectCityForm& s = *SelectCity_;
    PlaceOnHost(s);
    TCityList& data = Host.CityList();
    s.SetCollections(data, data.MyCity);
    if (myCityMode)
        s.EnterMyCityMode();
    else
        s.EnterDialMode();
    s.show();
    s.raise();
    s.activateWindow();
    s.CityEdit->setFocus();
}

void TCompanionWindows::OpenSearch() {
    TSearchForm& s = *Search_;
    PlaceOnHost(s);
    s.SetCollections(Host.CityList());
    s.ResetSearch();
    s.show();
    s.raise();
    s.activateWindow();
    s.KeywordEdit->setFocus();
}

void TCompanionWindows::OpenPreferences() {
    TOptionsForm& o = *Options_;
    o.LoadIntoDialog(Host.DisplayOptions());
    PlaceOnHost(o);
    o.show();
    o.raise();
    o.activateWindow();
}

void TCompanionWindows::OpenManage(TManagePage page, TManageMode mode, std::int32_t recordId) {
    // A menu command can come while the window asks (the accessibility bus is not held by the
    // box): it runs once the question is answered, not under it.
    if (Manage_->WaitForQuestion(
            [this, page, mode, recordId] { OpenManage(page, mode, recordId); }))
        return;
    PlaceOnHost(*Manage_);
    Manage_->Open(page, mode, recordId);
}

void TCompanionWindows::RecordDeleted(TManagePage page) {
    // Its lines may name the deleted city.
    if (page == TManagePage::Cities)
        SelectCity_->hide();
    // Its lists and results may name any deleted record.
    Search_->hide();
    // It shows texts, not records: it follows the data as it now stands.
    ClockChanges_->Refresh();
    // The dial's labels and popup targets are looked up again.
    Host.RefreshDial();
}

void TCompanionWindows::OpenAbout() {
    Splash_->PrepareAbout(CentredOnWorkArea(Host.Platform(), QSize(473, 392)));
    Splash_->exec();
}

void TCompanionWindows::OpenClockChanges() {
    TClockChangesForm& c = *ClockChanges_;
    PlaceOnHost(c);
    c.Refresh();
    c.show();
    c.raise();
    c.activateWindow();
    c.ChangesListBox->setFocus();
}

void TCompanionWindows::CityListReplaced() {
    // Their lines named records that are gone.
    SelectCity_->hide();
    Search_->hide();
    Manage_->PutAway();
    // Its lines are texts; they follow the new list once it has been read.
    QTimer::singleShot(0, ClockChanges_.get(), [this] {
        if (ClockChanges_->isVisible())
            ClockChanges_->Refresh();
    });
}

void TCompanionWindows::CloseAll() {
    SelectCity_->FirstRun = false;
    SelectCity_->hide();
    Options_->hide(); // without handing its options back: they are saved already
    Search_->hide();
    MyCityMessage_->hide();
    Manage_->hide();
    ClockChanges_->hide();
    Splash_->hide();
    // Whatever else is up goes too, boxes that companions wait on included (hiding ends their
    // loops), so that the program ends with the clock window.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != Host.HostWindow() && w->isVisible())
            w->hide();
}

void TCompanionWindows::RunStartupScreen() {
    Host.SetTopmost(false);
    Splash_->OnSplashTimer = [this] { Host.SetTopmost(Host.DisplayOptions().StayOnTop != 0); };
    Splash_->EnterStartupMode(CentredOnWorkArea(Host.Platform(), QSize(465, 281)));
    Host.HostWindow()->hide();
    Splash_->exec();
    Splash_->LeaveStartupMode();
}

bool TCompanionWindows::RunFirstStart() {
    return ::RunFirstStart(Host, *MyCityMessage_, *SelectCity_);
}
