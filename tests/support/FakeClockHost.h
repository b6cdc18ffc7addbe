#pragma once

#include "ClockHostU.h"
#include "FakePlatform.h"
#include "TestWorld.h"

#include <QWidget>

// A clock window as companions see it: an in-memory world, the fake desktop, and a record of
// what was asked of it.
class TFakeClockHost : public TClockHost, private TLocationListener {
public:
    explicit TFakeClockHost(int myCityId = 1) {
        BuildTestWorld(Data, myCityId);
        Locations.AddListener(this);
        SetDefaults(Options);
        Window.move(100, 80);
    }

    TLocationStore& Store() override { return Locations; }
    const TPlatform& Platform() const override { return P.Platform; }
    const TLocaleFacts& LocaleFacts() const override { return Locale; }
    const std::string& ShortDateFormat() const override { return DateFormat; }
    const TDisplayOptions& DisplayOptions() const override { return Options; }
    QWidget* HostWindow() override { return &Window; }

    void ApplyDisplayOptions(const TDisplayOptions& options) override {
        Options = options;
        ++Applied;
    }
    void SyncViewMenuChecks() override { ++Synced; }
    void SetTopmost(bool topmost) override { Topmost = topmost; }
    void ComputeCurrentCityTime() override { ++Computed; }
    void CompanionClosed() override { ++Refreshed; }
    bool SaveCityList() override {
        ++Saved;
        Data.Modified = false;
        return true;
    }
    bool EndRequested() const override { return Ended; }

    // As the clock window does, the dial is refreshed whenever the store tells of a change.
    void LocationsChanged() override { ++Refreshed; }
    void LocationRemoved(TRecordKind kind, std::int32_t) override {
        if (kind == TRecordKind::City)
            ++Removed;
        ++Refreshed;
    }
    void LocationsReplaced() override { ++Refreshed; }

    TFakePlatform P;
    TLocationStore Locations;
    TCityList& Data = Locations.Data();
    TDisplayOptions Options;
    TLocaleFacts Locale;
    std::string DateFormat = "dd/mm/yyyy";
    QWidget Window;
    bool Topmost = false;
    bool Ended = false;
    int Applied = 0, Synced = 0, Computed = 0, Refreshed = 0, Removed = 0, Saved = 0;
};
