#pragma once

#include "ClockHostU.h"
#include "CompanionsU.h"
#include "data/CityListU.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class ManageForm;
}
class QLineEdit;
class QStackedWidget;
class TAirportPage;
class TCityPage;
class TCountryPage;
class TManagePageBase;
class TStatePage;
class TUpDown;

// The editor of the location database: four pages (countries, states and provinces, cities,
// airports) on the clock window's own collections, changed in place by every Apply.
class TManageForm : public QWidget {
    Q_OBJECT
public:
    explicit TManageForm(TClockHost& host, QWidget* parent = nullptr);
    ~TManageForm() override;

    // The collections to edit and the My City to keep.
    void SetCollections(TCityList& data, TCity* myCity);
    // Edit mode, every page emptied and disabled, every list refilled.
    void ResetPages();
    // Prepare a page for new records; the window is shown by the caller.
    void NewCountryButtonClick();
    void NewStateButtonClick();
    void NewCityButtonClick();
    void NewAirportButtonClick();
    // Delete mode on a page; shows the window.
    void BeginDeleteCountry();
    void BeginDeleteState();
    void BeginDeleteCity();
    void BeginDeleteAirport();
    // Edit mode on a page with the default captions, the record (if any) loaded and selected.
    void BeginEdit(TManagePage page, std::int32_t recordId);
    // The Location menu's entry into the window: reset, then the mode on the page.
    void Open(TManagePage page, TManageMode mode, std::int32_t recordId);
    // Hides the window without handing anything back: the records it shows are gone.
    void PutAway();

    void FormShow();
    void FormClose();
    void ManagePageControlChange();
    // The window's questions and messages. While one is open (and until the handler that asked
    // has finished) the window's commands wait: they would otherwise reset the pages under it.
    TAnswer AskYesNo(const QString& text, const QString& caption);
    void ShowMessage(const QString& text);
    bool Asking() const { return Busy > 0; }
    // Keeps the command for when no question is open and says so; false when it may run now.
    bool WaitForQuestion(std::function<void()> command);
    // Held by a handler that asks: commands wait until it is released.
    class TBusy {
    public:
        explicit TBusy(TManageForm& form);
        ~TBusy();
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TManageForm& Form;
    };

    // Shows the window on the clock window's top-left corner, in front.
    void ShowOnHost();
    void SetPage(TManagePage page);
    TManagePage CurrentPage() const;

    // Enables or disables a group box and its direct children; deeper controls keep their own
    // setting.
    static void EnableGroup(QWidget* box, bool enabled);
    // The offset edits take -12 to +14, the arrows step whole hours within that.
    static void LimitOffset(TUpDown* arrows, QLineEdit* edit);

    TClockHost& Host;
    TCityList* Data = nullptr;
    TCity* MyCity = nullptr;
    bool NewMode = false;
    bool DeleteMode = false;
    bool TypeAheadEnabled = true;

    QStackedWidget* ManagePageControl = nullptr;
    std::unique_ptr<TCountryPage> Countries;
    std::unique_ptr<TStatePage> States;
    std::unique_ptr<TCityPage> Cities;
    std::unique_ptr<TAirportPage> Airports;

signals:
    // A record of that page was deleted: windows holding records should let go of theirs.
    void RecordDeleted(TManagePage page);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TManagePageBase* PageOf(TManagePage page) const;
    // In page order.
    std::array<TManagePageBase*, 4> Pages() const;
    std::unique_ptr<Ui::ManageForm> Ui_;
    bool PuttingAway = false;
    // What the lists were filled from at the last reset.
    const TCityList* FilledData = nullptr;
    std::uint64_t FilledFingerprint = 0;
    int Busy = 0;
    std::function<void()> Waiting; // the last command that came while a question was open
};
