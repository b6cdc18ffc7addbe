#pragma once

#include "data/CityListU.h"
#include "data/FormatU.h"
#include "data/LocationStoreU.h"
#include "prefs/TavikOptionsU.h"
#include "widgets/PlatformU.h"

#include <string>

class QWidget;

// What a companion window may ask of the clock window. Companions hold this and never the
// window's own class, so that each can be built and tested without the other.
class TClockHost {
public:
    virtual ~TClockHost() = default;

    // The location data with its file name and bookkeeping: changes go through its intents,
    // and the clock and the companions hear of them from it.
    virtual TLocationStore& Store() = 0;
    virtual const TPlatform& Platform() const = 0;
    virtual const TLocaleFacts& LocaleFacts() const = 0;
    // The date format the display options give, for dates that companions show.
    virtual const std::string& ShortDateFormat() const = 0;
    virtual const TDisplayOptions& DisplayOptions() const = 0;
    // The window companions are placed on and parent their messages to.
    virtual QWidget* HostWindow() = 0;

    virtual void ApplyDisplayOptions(const TDisplayOptions& options) = 0;
    virtual void SyncViewMenuChecks() = 0;
    virtual void SetTopmost(bool topmost) = 0;
    virtual void ComputeCurrentCityTime() = 0;
    // A companion that stood before the dial has gone: the clock shows itself afresh (what
    // the data changed it has heard from the store already).
    virtual void CompanionClosed() = 0;
    // Saves to the file that Save writes; false (after the message) when it failed.
    virtual bool SaveCityList() = 0;
    // True once the clock window has closed for good: windows waiting in a loop of their own
    // stop there, and nothing more is opened.
    virtual bool EndRequested() const = 0;
};
