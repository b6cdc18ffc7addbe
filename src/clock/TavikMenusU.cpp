// The clock window's menus and the commands behind them.
#include "clock/TavikU.h"

#include "widgets/DataFolderU.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* Item(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QAction* Toggle(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = Item(menu, name, caption);
    a->setCheckable(true);
    return a;
}

void Separator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu* SubMenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* m = parent->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

QMenu* PopupMenu(QWidget* owner, const char* name) {
    auto* m = new QMenu(owner);
    m->setObjectName(QLatin1String(name));
    return m;
}

} // namespace

void TTavikForm::CreateMenus() {
    TavikMainMenu = menuBar();
    TavikMainMenu->setObjectName(QStringLiteral("TavikMainMenu"));
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = TavikMainMenu->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    auto on = [this](QAction* a, void (TTavikForm::*handler)()) {
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    QMenu* File1 = menu("File1", QStringLiteral("&Citylist"));
    on(Item(File1, "CitiesonTavik1", QStringLiteral("Cities on Tavik...")),
       &TTavikForm::CitiesonTavik1Click);
    Separator(File1, "N4");
    on(Item(File1, "Open1", QStringLiteral("&Open ...")), &TTavikForm::Open1Click);
    on(Item(File1, "Save1", QStringLiteral("Save")), &TTavikForm::Save1Click);
    on(Item(File1, "SaveAs1", QStringLiteral("Save &As ...")), &TTavikForm::SaveAs1Click);
    Separator(File1, "N5");
    on(Item(File1, "Exit1", QStringLiteral("E&xit")), &TTavikForm::Exit1Click);

    QMenu* Location1 = menu("Location1", QStringLiteral("&Location"));
    on(Item(Location1, "Search1", QStringLiteral("Search...")), &TTavikForm::Search1Click);
    Separator(Location1, "N3");
    QMenu* Add1 = SubMenu(Location1, "Add1", QStringLiteral("&Add"));
    on(Item(Add1, "Country1", QStringLiteral("&Country")), &TTavikForm::Country1Click);
    on(Item(Add1, "StateProvince1", QStringLiteral("&State/Province")),
       &TTavikForm::StateProvince1Click);
    on(Item(Add1, "City1", QStringLiteral("C&ity")), &TTavikForm::City1Click);
    on(Item(Add1, "Airport1", QStringLiteral("&Airport")), &TTavikForm::Airport1Click);
    QMenu* Edit1 = SubMenu(Location1, "Edit1", QStringLiteral("&Edit"));
    on(Item(Edit1, "Country2", QStringLiteral("&Country")), &TTavikForm::Country2Click);
    on(Item(Edit1, "StateProvince2", QStringLiteral("&State/Province")),
       &TTavikForm::StateProvince2Click);
    on(Item(Edit1, "City2", QStringLiteral("C&ity")), &TTavikForm::City2Click);
    on(Item(Edit1, "Airport2", QStringLiteral("&Airport")), &TTavikForm::Airport2Click);
    QMenu* Delete1 = SubMenu(Location1, "Delete1", QStringLiteral("&Delete"));
    on(Item(Delete1, "Country3", QStringLiteral("&Country")), &TTavikForm::Country3Click);
    on(Item(Delete1, "StateProvince3", QStringLiteral("&State/Province")),
       &TTavikForm::StateProvince3Click);
    on(Item(Delete1, "City3", QStringLiteral("C&ity")), &TTavikForm::City3Click);
    on(Item(Delete1, "Airport3", QStringLiteral("&Airport")), &TTavikForm::Airport3Click);
    Separator(Location1, "N9");
    on(Item(Location1, "SelectMyCity1", QStringLiteral("Select &My City...")),
       &TTavikForm::SelectMyCity1Click);
    on(Item(Location1, "CheckTimeZones1", QStringLiteral("Check &Time Zones...")),
       &TTavikForm::CheckTimeZones1Click);
    Separator(Location1, "N13");
    on(Item(Location1, "ClockChanges1", QStringLiteral("C&lock Changes...")),
       &TTavikForm::ClockChanges1Click);

    QMenu* View1 = menu("View1", QStringLiteral("&View"));
    Dock1 = on(Toggle(View1, "Dock1", QStringLiteral("Dock")), &TTavikForm::Dock1Click);
    Separator(View1, "N6");
    AnalogClock1 = on(Toggle(View1, "AnalogClock1", QStringLiteral("&Analog Clock")),
                      &TTavikForm::AnalogClock1Click);
    ShowCities1 = on(Toggle(View1, "ShowCities1", QStringLiteral("Show &Cities")),
                     &TTavikForm::ShowCities1Click);
    Separator(View1, "N2");
    AlwaysonTop1 = on(Toggle(View1, "AlwaysonTop1", QStringLiteral("&Stay on top")),
                      &TTavikForm::AlwaysonTop1Click);
    Separator(View1, "N1");
    on(Item(View1, "Options1", QStringLiteral("&Preferences...")), &TTavikForm::Options1Click);
    // The designed marks; the loaded preferences replace them before they are ever seen.
    AnalogClock1->setChecked(true);
    ShowCities1->setChecked(true);
    AlwaysonTop1->setChecked(true);

    QMenu* Help1 = menu("Help1", QStringLiteral("&Help"));
    on(Item(Help1, "Contents1", QStringLiteral("Contents")), &TTavikForm::Contents1Click);
    on(Item(Help1, "About1", QStringLiteral("About")), &TTavikForm::About1Click);

    TavikPopupMenu = PopupMenu(this, "TavikPopupMenu");
    on(Item(TavikPopupMenu, "GotoMyCity1", QStringLiteral("Go to My City")),
       &TTavikForm::GotoMyCity1Click);
    BackToNow1 = on(Item(TavikPopupMenu, "BackToNow1", QStringLiteral("&Back to Now")),
                    &TTavikForm::BackToNow1Click);
    BackToNow1->setEnabled(false); // the face is at now
    on(Item(TavikPopupMenu, "GoToTime1", QStringLiteral("Go to &Time...")),
       &TTavikForm::GoToTime1Click);
    on(Item(TavikPopupMenu, "ClockChanges2", QStringLiteral("C&lock Changes...")),
       &TTavikForm::ClockChanges2Click);
    Separator(TavikPopupMenu, "N12");
    Dock2 = on(Toggle(TavikPopupMenu, "Dock2", QStringLiteral("Dock")), &TTavikForm::Dock2Click);
    Separator(TavikPopupMenu, "N7");
    AnalogClock2 = on(Toggle(TavikPopupMenu, "AnalogClock2", QStringLiteral("Analog Clock")),
                      &TTavikForm::AnalogClock2Click);
    ShowCities2 = on(Toggle(TavikPopupMenu, "ShowCities2", QStringLiteral("Show Cities")),
                     &TTavikForm::ShowCities2Click);
    Separator(TavikPopupMenu, "N8");
    AlwaysOnTop2 = on(Toggle(TavikPopupMenu, "AlwaysOnTop2", QStringLiteral("Stay On Top")),
                      &TTavikForm::AlwaysOnTop2Click);
    Separator(TavikPopupMenu, "N10");
    on(Item(TavikPopupMenu, "Preferences1", QStringLiteral("Preferences")),
       &TTavikForm::Preferences1Click);
    Separator(TavikPopupMenu, "N11");
    on(Item(TavikPopupMenu, "Exit2", QStringLiteral("Exit")), &TTavikForm::Exit1Click);

    CityPopupMenu = PopupMenu(this, "CityPopupMenu");
    on(Item(CityPopupMenu, "ViewCity1", QStringLiteral("View City")), &TTavikForm::ViewCity1Click);
    on(Item(CityPopupMenu, "EditCity1", QStringLiteral("Edit City")), &TTavikForm::EditCity1Click);
    RemovefromTavik1 =
        on(Item(CityPopupMenu, "RemovefromTavik1", QStringLiteral("Remove from Tavik")),
           &TTavikForm::RemovefromTavik1Click);
    CountryPopupMenu = PopupMenu(this, "CountryPopupMenu");
    on(Item(CountryPopupMenu, "EditCountry1", QStringLiteral("Edit Country")),
       &TTavikForm::EditCountry1Click);
    StatePopupMenu = PopupMenu(this, "StatePopupMenu");
    on(Item(StatePopupMenu, "EditStateProvince1", QStringLiteral("Edit State/Province")),
       &TTavikForm::EditStateProvince1Click);
    AirportPopupMenu = PopupMenu(this, "AirportPopupMenu");
    on(Item(AirportPopupMenu, "EditAirport1", QStringLiteral("Edit Airport")),
       &TTavikForm::EditAirport1Click);

    EnableCompanionCommands();
}

// --- Companion windows -----------------------------------------------------------------------

void TTavikForm::SetCompanions(TCompanions* companions) {
    Companions = companions;
    EnableCompanionCommands();
}

void TTavikForm::EnableCompanionCommands() {
    using K = TCompanions::TKind;
    auto offers = [this](K kind, TManagePage page = TManagePage::Countries) {
        return Companions != nullptr && Companions->Offers(kind, page);
    };
    auto enable = [this](const char* name, bool on) {
        if (auto* a = findChild<QAction*>(QLatin1String(name)))
            a->setEnabled(on);
    };
    enable("CitiesonTavik1", offers(K::SelectCity));
    enable("SelectMyCity1", offers(K::SelectCity));
    enable("Search1", offers(K::Search));
    enable("Options1", offers(K::Preferences));
    enable("Preferences1", offers(K::Preferences));
    enable("ClockChanges1", offers(K::ClockChanges));
    enable("ClockChanges2", offers(K::ClockChanges));
    const struct {
        TManagePage Page;
        const char* Names[4];
    } pages[] = {
        {TManagePage::Countries, {"Country1", "Country2", "Country3", "EditCountry1"}},
        {TManagePage::States,
         {"StateProvince1", "StateProvince2", "StateProvince3", "EditStateProvince1"}},
        {TManagePage::Cities, {"City1", "City2", "City3", "EditCity1"}},
        {TManagePage::Airports, {"Airport1", "Airport2", "Airport3", "EditAirport1"}},
    };
    for (const auto& p : pages)
        for (const char* name : p.Names)
            enable(name, offers(K::Manage, p.Page));
}

void TTavikForm::CitiesonTavik1Click() {
    if (Companions != nullptr)
        Companions->OpenSelectCity(false);
}

void TTavikForm::SelectMyCity1Click() {
    if (Companions != nullptr)
        Companions->OpenSelectCity(true);
}

void TTavikForm::Search1Click() {
    if (Companions != nullptr)
        Companions->OpenSearch();
}

void TTavikForm::CheckTimeZones1Click() {
    if (Companions != nullptr)
        Companions->OpenZoneCheck();
}

void TTavikForm::Options1Click() {
    if (Companions != nullptr)
        Companions->OpenPreferences();
}

void TTavikForm::Preferences1Click() {
    Options1Click();
}

void TTavikForm::ClockChanges1Click() {
    if (Companions != nullptr)
        Companions->OpenClockChanges();
}

void TTavikForm::ClockChanges2Click() {
    ClockChanges1Click();
}

void TTavikForm::About1Click() {
    if (Companions != nullptr)
        Companions->OpenAbout();
}

void TTavikForm::OpenManage(TManagePage page, TManageMode mode, std::int32_t recordId) {
    if (Companions != nullptr)
        Companions->OpenManage(page, mode, recordId);
}

std::int32_t TTavikForm::ShownRecordId(TManagePage page) const {
    const TCity* city = Data.CurrentCity;
    if (city == nullptr)
        return 0;
    switch (page) {
    case TManagePage::Cities:
        return city->UniqueID;
    case TManagePage::States:
        return city->StateId;
    case TManagePage::Countries:
        if (city->StateId == 0)
            return city->CountryId;
        if (const TState* s = Data.States.FindById(city->StateId))
            return s->CountryId;
        return 0;
    case TManagePage::Airports:
        return PopupAirport != nullptr ? PopupAirport->UniqueID : 0;
    }
    return 0;
}

void TTavikForm::Country1Click() {
    OpenManage(TManagePage::Countries, TManageMode::New, 0);
}

void TTavikForm::StateProvince1Click() {
    OpenManage(TManagePage::States, TManageMode::New, 0);
}

void TTavikForm::City1Click() {
    OpenManage(TManagePage::Cities, TManageMode::New, 0);
}

void TTavikForm::Airport1Click() {
    OpenManage(TManagePage::Airports, TManageMode::New, 0);
}

void TTavikForm::Country2Click() {
    OpenManage(TManagePage::Countries, TManageMode::Edit, ShownRecordId(TManagePage::Countries));
}

void TTavikForm::StateProvince2Click() {
    OpenManage(TManagePage::States, TManageMode::Edit, ShownRecordId(TManagePage::States));
}

void TTavikForm::City2Click() {
    OpenManage(TManagePage::Cities, TManageMode::Edit, ShownRecordId(TManagePage::Cities));
}

void TTavikForm::Airport2Click() {
    OpenManage(TManagePage::Airports, TManageMode::Edit, ShownRecordId(TManagePage::Airports));
}

void TTavikForm::Country3Click() {
    OpenManage(TManagePage::Countries, TManageMode::Delete, 0);
}

void TTavikForm::StateProvince3Click() {
    OpenManage(TManagePage::States, TManageMode::Delete, 0);
}

void TTavikForm::City3Click() {
    OpenManage(TManagePage::Cities, TManageMode::Delete, 0);
}

void TTavikForm::Airport3Click() {
    OpenManage(TManagePage::Airports, TManageMode::Delete, 0);
}

void TTavikForm::EditCity1Click() {
    OpenManage(TManagePage::Cities, TManageMode::Edit, PopupCity ? PopupCity->UniqueID : 0);
}

void TTavikForm::EditCountry1Click() {
    OpenManage(TManagePage::Countries, TManageMode::Edit,
               PopupCountry ? PopupCountry->UniqueId : 0);
}

void TTavikForm::EditStateProvince1Click() {
    OpenManage(TManagePage::States, TManageMode::Edit, PopupState ? PopupState->UniqueID : 0);
}

void TTavikForm::EditAirport1Click() {
    OpenManage(TManagePage::Airports, TManageMode::Edit, PopupAirport ? PopupAirport->UniqueID : 0);
}

// --- The city list ---------------------------------------------------------------------------

void TTavikForm::Save1Click() {
    SaveCityList(SaveDialog.FileName);
}

void TTavikForm::Exit1Click() {
    close();
}

// --- View toggles and help -------------------------------------------------------------------

void TTavikForm::Dock1Click() {
    Options.Docked = Dock1->isChecked();
    SyncViewMenuChecks();
    ApplyDisplayOptions(Options);
}

void TTavikForm::AnalogClock1Click() {
    Options.AnalogClock = AnalogClock1->isChecked();
    ApplyDisplayOptions(Options);
    SyncViewMenuChecks();
}

void TTavikForm::ShowCities1Click() {
    Options.ShowCities = ShowCities1->isChecked();
    SyncViewMenuChecks();
    FitClientSize();
    ApplyDisplayOptions(Options);
}

void TTavikForm::AlwaysonTop1Click() {
    Options.StayOnTop = AlwaysonTop1->isChecked();
    SyncViewMenuChecks();
    ApplyDisplayOptions(Options);
}

void TTavikForm::Dock2Click() {
    Dock1->setChecked(Dock2->isChecked());
    Dock1Click();
}

void TTavikForm::AnalogClock2Click() {
    AnalogClock1->setChecked(AnalogClock2->isChecked());
    AnalogClock1Click();
}

void TTavikForm::ShowCities2Click() {
    ShowCities1->setChecked(ShowCities2->isChecked());
    ShowCities1Click();
}

void TTavikForm::AlwaysOnTop2Click() {
    AlwaysonTop1->setChecked(AlwaysOnTop2->isChecked());
    AlwaysonTop1Click();
}

void TTavikForm::Contents1Click() {
    const QString path =
        HelpContentsPath(Platform_.ProgramDir, QCoreApplication::applicationDirPath());
    if (!Platform_.Shell->Open(path)) {
        // Nothing will show: the clock stays as it was, and the user learns where to look.
        const QString shown = QDir::toNativeSeparators(path);
        Platform_.Messages->Show(
            this,
            QFileInfo::exists(path)
                ? QStringLiteral("The user guide is at %1").arg(shown)
                : QStringLiteral("The user guide was not found; it belongs at %1").arg(shown));
        return;
    }
    // Keeps the help window from hiding behind the clock.
    Options.StayOnTop = 0;
    ApplyDisplayOptions(Options);
    SyncViewMenuChecks();
}

bool TTavikForm::SaveChangesFirst() {
    if (!Locations.Modified())
        return true;
    const TAnswer a = Platform_.Messages->AskYesNoCancel(
        this, QStringLiteral("Do you want to save your changes to ") + SaveDialog.FileName +
                  QStringLiteral(" ?"));
    if (a == TAnswer::Cancel)
        return false;
    return a == TAnswer::No || SaveCityList(SaveDialog.FileName);
}

void TTavikForm::Open1Click() {
    TFileDialogSettings dialog = OpenDialog;
    if (!SaveChangesFirst() || !Platform_.Files->Open(this, dialog))
        return;
    // Checked whole first: a damaged file must leave everything as it was, or Save would
    // write a mix of two files over it.
    TCheckedFile file;
    try {
        file = TLocationStore::CheckFile(dialog.FileName.toStdString());
    } catch (const EStreamError& e) {
        ShowFileError(e, dialog.FileName);
        return;
    }
    // Two clocks saving one list would each overwrite what the other saved.
    if (!ClaimListFolders({dialog.FileName}))
        return;
    OpenDialog.FileName = dialog.FileName;
    SaveDialog.FileName = dialog.FileName;
    // The store tells the dial and the companions, which put away what showed the old records.
    Locations.Open(file);
}

void TTavikForm::SaveAs1Click() {
    // Save goes on writing to the old file unless the new one was written.
    TFileDialogSettings dialog = SaveDialog;
    if (!Platform_.Files->Save(this, dialog) ||
        !ClaimListFolders({SaveDialog.FileName, dialog.FileName}))
        return;
    const bool saved = SaveCityList(dialog.FileName);
    if (saved)
        SaveDialog.FileName = dialog.FileName;
    ClaimListFolders({SaveDialog.FileName}); // lets the folder not written to go
}

bool TTavikForm::ClaimListFolders(const QStringList& files) {
    if (FolderLock == nullptr)
        return true;
    std::vector<std::string> names;
    for (const QString& f : files)
        names.push_back(f.toStdString());
    const std::string refused = ClaimCityLists(names, *FolderLock);
    if (refused.empty())
        return true;
    Platform_.Messages->Show(this, QString::fromStdString(refused));
    return false;
}

void TTavikForm::ViewCity1Click() {
    Locations.ShowCity(PopupCity);
}

void TTavikForm::RemovefromTavik1Click() {
    // A choice of the moment: the data is not marked as modified.
    Locations.SetOnDial(PopupCity, false, TChoice::OfTheMoment);
}

void TTavikForm::GotoMyCity1Click() {
    Locations.ShowCity(Data.MyCity);
}
