#pragma once

#include <cstdint>

// The pages of the location data window.
enum class TManagePage { Countries, States, Cities, Airports };
// New: an empty record to add; Edit: the record given, or none; Delete: ask for one to delete.
enum class TManageMode { New, Edit, Delete };

// What the clock window's commands open. One owner creates every companion window and places,
// prepares and shows it; the clock window only asks through this.
class TCompanions {
public:
    virtual ~TCompanions() = default;

    enum class TKind { SelectCity, Search, Preferences, Manage, About, ClockChanges };
    // Whether a window of that kind (and, for the data window, that page) can be opened.
    virtual bool Offers(TKind kind, TManagePage page = TManagePage::Countries) const = 0;

    virtual void OpenSelectCity(bool myCityMode) = 0;
    virtual void OpenSearch() = 0;
    virtual void OpenPreferences() = 0;
    // recordId 0: none.
    virtual void OpenManage(TManagePage page, TManageMode mode, std::int32_t recordId) = 0;
    virtual void OpenAbout() = 0;
    // The places whose offset or rules differ from the system's time zones.
    virtual void OpenZoneCheck() {}
    // The coming clock changes of My City and the cities on the dial.
    virtual void OpenClockChanges() = 0;

    // The clock window is closing and the program ends.
    virtual void CloseAll() = 0;
    // The clock window came to the front or was shown anew: open companions go above it.
    virtual void KeepAboveHost() {}
};
