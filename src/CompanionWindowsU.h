#pragma once

#include "CompanionsU.h"
#include "data/LocationStoreU.h"

#include <memory>

class QWidget;
class TClockChangesForm;
class TClockHost;
class TManageForm;
class TMyCityMessageForm;
class TOptionsForm;
class TSearchForm;
class TSelectCityForm;
class TSplashForm;
class TZoneCheckForm;
class TZoneCheckNote;

// The one owner of the companion windows: creates each once, in the order the program starts
// them, and places, prepares and shows them for the clock window's commands. The only file
// that knows every window.
class TCompanionWindows : public TCompanions, private TLocationListener {
public:
    explicit TCompanionWindows(TClockHost& host);
    ~TCompanionWindows() override;

    bool Offers(TKind kind, TManagePage page) const override;
    void OpenSelectCity(bool myCityMode) override;
    void OpenSearch() override;
    void OpenPreferences() override;
    void OpenManage(TManagePage page, TManageMode mode, std::int32_t recordId) override;
    void OpenAbout() override;
    void OpenZoneCheck() override;
    void OpenClockChanges() override;
    void CloseAll() override;
    void KeepAboveHost() override;

    // Another city list replaced every record: windows that show records put them away (the
    // store tells when it read one).
    void CityListReplaced();

    // Once a start: a note when a city on the dial differs from its time zone soon.
    void NoteZoneDifferences();
    TZoneCheckNote* ZoneNote() { return ZoneNote_.get(); }
    TZoneCheckForm* ZoneCheck() { return ZoneCheck_.get(); } // none until first opened

    // The start-up screen, shown until its timer closes it; the clock window waits hidden.
    void RunStartupScreen();
    // The first start without My City; false when the program must end instead.
    bool RunFirstStart();

    TSplashForm& Splash() { return *Splash_; }
    TOptionsForm& Options() { return *Options_; }
    TSelectCityForm& SelectCity() { return *SelectCity_; }
    TSearchForm& Search() { return *Search_; }
    TMyCityMessageForm& MyCityMessage() { return *MyCityMessage_; }
    TManageForm& Manage() { return *Manage_; }
    TClockChangesForm& ClockChanges() { return *ClockChanges_; }

private:
    // Companions open with their top-left corner on the clock window's, as far as their whole
    // frame stays in the work area; moved in again once the desktop tells their frame.
    void PlaceOnHost(QWidget& window);
    // Shows a companion as belonging to the clock window, so that the desktop keeps it above
    // the clock, which stays on top of other windows.
    void ShowAboveHost(QWidget& window);

    // Windows that show records let go of them when the store takes one away, and put them
    // away when it read another list.
    void LocationRemoved(TRecordKind kind, std::int32_t id) override;
    void LocationsReplaced() override;

    TClockHost& Host;
    std::unique_ptr<TSplashForm> Splash_;
    std::unique_ptr<TManageForm> Manage_;
    std::unique_ptr<TOptionsForm> Options_;
    std::unique_ptr<TSelectCityForm> SelectCity_;
    std::unique_ptr<TSearchForm> Search_;
    std::unique_ptr<TMyCityMessageForm> MyCityMessage_;
    std::unique_ptr<TZoneCheckForm> ZoneCheck_; // made when first opened
    std::unique_ptr<TZoneCheckNote> ZoneNote_;
    std::unique_ptr<TClockChangesForm> ClockChanges_;
    class TFrameKeeper;
    std::unique_ptr<TFrameKeeper> Keeper; // goes first: it watches the windows above
};
