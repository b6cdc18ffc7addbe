// Draws the clock window in its layouts with a fixed clock and a small fixed database, and
// saves each as a PNG. Run under a real display (scripts/screenshots uses Xvfb).
#include "CompanionWindowsU.h"
#include "FakePlatform.h"
#include "changes/ClockChangesFormU.h"
#include "clock/GoToTimeU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "manage/CountryPageU.h"
#include "manage/DSTPanelU.h"
#include "manage/ManageU.h"
#include "manage/ZonePickerU.h"
#include "prefs/OptionsFormU.h"
#include "select/MyCityMessageU.h"
#include "select/SearchU.h"
#include "select/SelectCityU.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavik"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: tavik-screenshots DATA.tvk OUTPUT_DIR\n");
        return 2;
    }
    TFakePlatform platform;
    TryEncodeDateTime(2026, 12, 8, 4, 41, 27, 0, platform.Now);
    QFile::copy(args.at(1), platform.File(QStringLiteral("user.tvk")));
    QDir().mkpath(args.at(2));

    TTavikForm form(platform.Platform, TSkin::Standard());
    if (form.EndRequested() || form.Data.Cities.Count() < 2)
        return 1;
    // Kathmandu in the centre and London as My City when the data has them.
    auto named = [&](const char* name) -> TCity* {
        TCity* first = nullptr;
        for (TCity* c : form.Data.Cities)
            if (c->LongName == name) {
                // The city a name means first is its country's capital, where one is named so.
                const TPlace place = PlaceOfCity(form.Data, *c);
                const TCountry* k = place.Country ? place.Country
                                    : place.State
                                        ? form.Data.Countries.FindById(place.State->CountryId)
                                        : nullptr;
                if (k && k->CapitalCity == c->UniqueID)
                    return c;
                first = first ? first : c;
            }
        return first;
    };
    form.Data.MyCity = named("London") ? named("London") : form.Data.MyCity;
    form.Data.CurrentCity = named("Kathmandu") ? named("Kathmandu") : form.Data.Cities.FindById(2);
    form.show();

    struct Shot {
        const char* Name;
        bool Analog, Cities, Docked;
    };
    const Shot shots[] = {{"main", true, true, false},
                          {"analog-only", true, false, false},
                          {"cities-only", false, true, false},
                          {"compact", false, false, false},
                          {"docked", true, true, true}};
    int failures = 0;
    // On a screen at 200 % (QT_SCALE_FACTOR=2) the clock's layouts are drawn as "name@2x.png",
    // and the dialogs are left to the 1x run.
    const double ratio = form.devicePixelRatioF();
    const QString suffix = ratio > 1 ? QStringLiteral("@%1x").arg(ratio) : QString();
    for (const Shot& s : shots) {
        TDisplayOptions o = form.Options;
        o.AnalogClock = s.Analog;
        o.ShowCities = s.Cities;
        o.Docked = s.Docked;
        form.ApplyDisplayOptions(o);
        form.SyncViewMenuChecks();
        // Let the window settle on the display before it is grabbed.
        QEventLoop wait;
        QTimer::singleShot(400, &wait, &QEventLoop::quit);
        wait.exec();
        const QString file =
            QDir(args.at(2)).filePath(QLatin1String(s.Name) + suffix + QStringLiteral(".png"));
        if (!form.grab().save(file))
            ++failures;
        std::printf("%s\n", qPrintable(file));
    }
    if (ratio > 1) {
        form.Data.Modified = false;
        return failures == 0 ? 0 : 1;
    }
    // The dialogs of choosing cities, the first start's message and the preferences.
    TCompanionWindows companions(form);
    form.SetCompanions(&companions);
    TSelectCityForm& select = companions.SelectCity();
    TMyCityMessageForm& message = companions.MyCityMessage();
    auto grab = [&](QWidget& w, const char* name) {
        QEventLoop wait;
        QTimer::singleShot(400, &wait, &QEventLoop::quit);
        wait.exec();
        const QString file =
            QDir(args.at(2)).filePath(QLatin1String(name) + QStringLiteral(".png"));
        if (!w.grab().save(file))
            ++failures;
        std::printf("%s\n", qPrintable(file));
    };
    form.CitiesonTavik1Click();
    select.CityEdit->setText(QStringLiteral("Ca"));
    grab(select, "select-cities");
    select.hide();
    form.SelectMyCity1Click();
    select.CityEdit->setText(QStringLiteral("Kat"));
    grab(select, "select-my-city");
    select.hide();
    message.show();
    grab(message, "my-city-message");
    message.hide();
    form.Options1Click();
    TOptionsForm& options = companions.Options();
    grab(options, "preferences");
    options.hide();
    // Searching by a word of the name, the first result chosen.
    TSearchForm& search = companions.Search();
    form.Search1Click();
    search.KeywordEdit->setText(QStringLiteral("san"));
    search.CityListBox->setCurrentIndex(search.CityListBox->model()->index(0, 0));
    grab(search, "search");
    search.hide();

    // The location data window: a country with a weekday rule, then one with fixed dates.
    TManageForm& manage = companions.Manage();
    auto country = [&](const char* name) -> const TCountry* {
        for (const TCountry* c : form.Data.Countries)
            if (c->Name == name)
                return c;
        return nullptr;
    };
    if (const TCountry* uk = country("United Kingdom")) {
        companions.OpenManage(TManagePage::Countries, TManageMode::Edit, uk->UniqueId);
        grab(manage, "manage-country-rule");
        TCountryPage& page = *manage.Countries;
        page.Panel->FixedDatesRadioButton->click();
        page.Panel->StartDayEdit->setText(QStringLiteral("1"));
        page.Panel->FixedStartMonthCombo->setCurrentIndex(3);
        page.Panel->EndDayEdit->setText(QStringLiteral("30"));
        page.Panel->FixedEndMonthCombo->setCurrentIndex(8);
        page.Panel->DescribeDSTPanel();
        page.EnableApply();
        grab(manage, "manage-country-fixed");
        manage.hide();
    }
    // The other pages, each on a record of the Sydney area where the data has them.
    auto shot = [&](TManagePage page, std::int32_t id, const char* name) {
        if (id == 0)
            return;
        companions.OpenManage(page, TManageMode::Edit, id);
        grab(manage, name);
        manage.hide();
    };
    std::int32_t state = 0, airport = 0;
    for (const TState* s : form.Data.States)
        state = state == 0 && s->Name == "New South Wales" ? s->UniqueID : state;
    for (const TAirport* a : form.Data.Airports)
        airport = airport == 0 && a->Name.rfind("Sydney", 0) == 0 ? a->UniqueID : airport;
    const TCity* sydney = named("Sydney");
    shot(TManagePage::States, state, "manage-state");
    shot(TManagePage::Cities, sydney ? sydney->UniqueID : 0, "manage-city");
    shot(TManagePage::Airports, airport, "manage-airport");
    // Picking a time zone for a country: its own zones lead, the first one previewed.
    if (const TCountry* germany = country("Germany")) {
        companions.OpenManage(TManagePage::Countries, TManageMode::Edit, germany->UniqueId);
        manage.findChild<QPushButton*>(QStringLiteral("CountryFromZoneButton"))->click();
        if (auto* picker = manage.findChild<TZonePickerForm*>()) {
            grab(*picker, "zone-picker");
            picker->reject();
        }
        manage.hide();
    }
    // The coming clock changes, seen from late February, when both hemispheres change soon.
    const TDateTime today = platform.Now;
    TryEncodeDateTime(2027, 2, 25, 9, 0, 0, 0, platform.Now);
    form.ClockChanges1Click();
    grab(companions.ClockChanges(), "clock-changes");
    companions.ClockChanges().hide();
    platform.Now = today;

    // The face turned three hours on, and the dialog that goes to a typed time.
    TDisplayOptions o = form.Options;
    o.AnalogClock = 1;
    o.ShowCities = 1;
    o.Docked = 0;
    form.ApplyDisplayOptions(o);
    form.SyncViewMenuChecks();
    form.activateWindow();
    form.StepViewedTime(3, false);
    grab(form, "viewed");
    form.GoToTime1Click();
    if (form.GoToTimeForm != nullptr) {
        form.GoToTimeForm->TimeEdit->setText(QStringLiteral("15:00"));
        grab(*form.GoToTimeForm, "go-to-time");
        form.GoToTimeForm->reject();
    }
    form.BackToNow1Click();
    form.Data.Modified = false;
    return failures == 0 ? 0 : 1;
}
