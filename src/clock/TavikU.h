#pragma once

#include "ClockHostU.h"
#include "CompanionsU.h"
#include "clock/CityLabelLayoutU.h"
#include "clock/DialU.h"
#include "clock/FaceChecksU.h"
#include "clock/FaceLayoutU.h"
#include "clock/SkinImageU.h"
#include "clock/ViewedTimeU.h"
#include "data/CityListU.h"
#include "data/InstanceLockU.h"
#include "prefs/TavikOptionsU.h"
#include "widgets/PlatformU.h"

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class TCityLabel;
class TGoToTimeForm;
struct TSkin;

class TTavikForm : public QMainWindow, public TClockHost, private TLocationListener {
    Q_OBJECT
public:
    explicit TTavikForm(const TPlatform& platform, const TSkin& skin, QWidget* parent = nullptr);
    ~TTavikForm() override;

    // The windows the commands open; the menu entries of those missing stay disabled.
    void SetCompanions(TCompanions* companions);

    // What companion windows may ask.
    TLocationStore& Store() override { return Locations; }
    const TPlatform& Platform() const override { return Platform_; }
    const TLocaleFacts& LocaleFacts() const override { return Locale; }
    const std::string& ShortDateFormat() const override { return DateFormat; }
    const TDisplayOptions& DisplayOptions() const override { return Options; }
    QWidget* HostWindow() override { return this; }
    bool SaveCityList() override { return SaveCityList(SaveDialog.FileName); }
    void CompanionClosed() override { FormActivate(); }

    // True when the start-up load was cancelled or the window has closed: the program ends.
    bool EndRequested() const override { return EndRequested_; }

    // The data, the options and the current texts, as the other windows and tests see them.
    TLocationStore Locations;
    TCityList& Data = Locations.Data();
    TDisplayOptions Options;
    TFileDialogSettings OpenDialog;
    TFileDialogSettings SaveDialog;
    bool CityListLoaded = false;

    TDateTime UtcNow = 0;
    TDateTime CurrentLocalTime = 0;
    TDateTime CurrentExactLocalTime = 0;
    double CurrentUtcOffset = 0;
    std::string TimeFormat;
    std::string DateFormat;
    std::string LocaleLongDateFormat;
    TLocaleFacts Locale;
    TTavik Dial{FaceLayout::DialCentreX, FaceLayout::DialCentreY, FaceLayout::DialRadius};

    const TCountry* PopupCountry = nullptr;
    const TState* PopupState = nullptr;
    TCity* PopupCity = nullptr;
    const TAirport* PopupAirport = nullptr;

    // Operations of the window.
    bool LoadCityList(const QString& fileName);
    bool SaveCityList(const QString& fileName);
    // The start's city list could not be read whole: offers its backup, the default world or
    // quitting, and reads the one chosen. False to quit.
    bool StartFromAnotherList(const QString& damaged, const EStreamError& e);
    bool StartedFromAnotherList = false;
    // The folders this clock holds; Open and Save As claim the folder of their file through it
    // (none in tests that do not set it).
    TInstanceLock* FolderLock = nullptr;
    // Claims the folders of these city lists besides the data folder; when another clock holds
    // one, says so and answers false.
    bool ClaimListFolders(const QStringList& files);
    // The instant the face shows, as UTC: its time, date and hands, the labels' columns, bands
    // and hints, the difference and the face's spoken texts all follow from it, through
    // ComputeCurrentCityTime: the clock's current time, or as far from it as the user turned
    // the face.
    TDateTime FaceNow() const;
    // How far the face is turned from now. Never stored: nothing of it reaches the data or
    // the preferences.
    TViewedTime Viewed;
    // Turns the face steps hours (or quarter hours) on, or back for negative steps.
    void StepViewedTime(int steps, bool quarter);
    // Shows the face at that UTC instant, the clock running on from there.
    void ShowViewedInstant(TDateTime utc);
    // The wheel over the face: a notch is a step, a part of one waits for the rest.
    void SkinImageWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    QLabel* ViewOffsetLabel = nullptr; // "+3 h" beside the time while the face is not at now
    QAction* BackToNow1 = nullptr;
    TGoToTimeForm* GoToTimeForm = nullptr; // made when first asked for
    void ComputeCurrentCityTime() override;
    void RedrawDial();
    // Everything on the face made afresh from the data; the store's listener does it on every
    // change, the window's own events (shown, new display options) too.
    void RefreshDial();
    // The window came to the front: RefreshDial, without rebuilding the city labels when they
    // would come out the same.
    void FormActivate();
    // What the skin buffer shows; RedrawDial repaints only where the next scene differs.
    TDialScene ShownScene;
    // The rectangles of the skin the last RedrawDial repainted.
    TDirtyRects LastRepainted;
    void ApplyDisplayOptions(const TDisplayOptions& source) override;
    void FitClientSize();
    void PositionCentreLabels();
    void LoadPreferences();
    void SavePreferences();
    void ResetPreferences();
    void SyncViewMenuChecks() override;
    void BuildCityLabels();
    // Once a minute, from the tick: the labels are rebuilt when a column, a band or a caption
    // has changed since (a clock change, the daytime window's edges), and hints whose text has
    // changed are rewritten in place; a quiet tick compares one number.
    void KeepCityLabelsCurrent();
    // A label's hint as the labels would be built now.
    QString LiveCityLabelHint(int id) const;
    // The labels in the hour columns and the slots they took.
    std::vector<TCityLabel*> CityLabels;
    TCityLabelLayout LabelLayout;
    // Whether the window is to stay above others; applied without losing its place.
    void SetTopmost(bool topmost) override;
    // Centres a window on the work area's size, the work area's origin not added.
    QPoint CentredPosition(QSize outerSize) const;
    // Moves the window so that its whole frame, title bar included, lies in the work area.
    void KeepFrameInWorkArea();

    // False where the window can neither place itself nor know its place (native Wayland):
    // the compositor moves it, and its stored position is neither applied nor overwritten.
    bool PlacesItself = true;
    // How often a drag was handed to the compositor, and whether it took the last one.
    int SystemMovesAsked = 0;
    bool SystemMoveStarted = false;

    // Mouse handling on the face, in skin coordinates.
    void SkinImageMouseDown(Qt::MouseButton button, int x, int y);
    void SkinImageMouseMove(int x, int y);
    void SkinImageMouseUp();

    // Hooks for the popups on the painted names; the menus open at a screen point.
    void OpenCityPopup(QPoint screenPos);
    void OpenCountryPopup(QPoint screenPos);

    // Menu handlers, named after their entries.
    void CitiesonTavik1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Exit1Click();
    void Search1Click();
    void Country1Click();
    void StateProvince1Click();
    void City1Click();
    void Airport1Click();
    void Country2Click();
    void StateProvince2Click();
    void City2Click();
    void Airport2Click();
    void Country3Click();
    void StateProvince3Click();
    void City3Click();
    void Airport3Click();
    void SelectMyCity1Click();
    void CheckTimeZones1Click();
    void Dock1Click();
    void AnalogClock1Click();
    void ShowCities1Click();
    void AlwaysonTop1Click();
    void Options1Click();
    void Contents1Click();
    void About1Click();
    void ClockChanges1Click();
    void ClockChanges2Click();
    void GotoMyCity1Click();
    void BackToNow1Click();
    void GoToTime1Click();
    void Dock2Click();
    void AnalogClock2Click();
    void ShowCities2Click();
    void AlwaysOnTop2Click();
    void Preferences1Click();
    void ViewCity1Click();
    void EditCity1Click();
    void RemovefromTavik1Click();
    void EditCountry1Click();
    void EditStateProvince1Click();
    void EditAirport1Click();

    // Controls, named as the layout names them.
    TSkinImage* SkinImage = nullptr;
    QLabel* CurrentCityTimeLabel = nullptr;
    QLabel* CurrentCityDateLabel = nullptr;
    QLabel* CurrentCityLabel = nullptr;
    QLabel* CurrentCountryLabel = nullptr;
    TPopupLabel* CurrentStateLabel = nullptr;
    TPopupLabel* CurrentAirportLabel = nullptr;
    QLabel* DifferenceMyCityLabel = nullptr;
    QLabel* DeltaImage = nullptr;
    QLabel* SunImage = nullptr;
    QLabel* MoonImage = nullptr;
    QTimer* TavikTimer = nullptr;

    QMenuBar* TavikMainMenu = nullptr;
    QMenu* TavikPopupMenu = nullptr;
    QMenu* CityPopupMenu = nullptr;
    QMenu* CountryPopupMenu = nullptr;
    QMenu* StatePopupMenu = nullptr;
    QMenu* AirportPopupMenu = nullptr;
    QAction* Dock1 = nullptr;
    QAction* AnalogClock1 = nullptr;
    QAction* ShowCities1 = nullptr;
    QAction* AlwaysonTop1 = nullptr;
    QAction* Dock2 = nullptr;
    QAction* AnalogClock2 = nullptr;
    QAction* ShowCities2 = nullptr;
    QAction* AlwaysOnTop2 = nullptr;
    QAction* RemovefromTavik1 = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void CreateControls();
    void CreateMenus();
    void CreateViewedTimeControls();
    // After the face was turned: its caption, the menu and the repaint.
    void ViewedTimeMoved();
    void ShowViewedOffset();
    void PositionViewOffsetLabel();
    // For the tick: back to now after two minutes without a turn.
    bool ReturnToNowWhenIdle();
    // Whether the point of the face is on the time or its caption.
    bool OnViewedTime(int x, int y) const;
    // The keys that turn the face, and Escape; false for any other key.
    bool ViewedTimeKey(const QKeyEvent* e);
    int WheelRest = 0;          // of a notch, turned so far
    bool PressedOnTime = false; // a press there returns to now if it ends as a click
    QPoint PressedFrom;         // where the window stood at that press
    void UpdateCentreCaptions();
    void UpdateDifference();
    void UpdateTimeTexts();
    // The face's accessible name and description: the place, the time, date and difference.
    void UpdateFaceSpeech();
    // Whether rebuilding the city labels now would give the labels and centre captions shown,
    // their hints' times of day apart.
    bool CityLabelsCurrent() const;
    // Forgets the texts set, so that the next RedrawDial works them out afresh.
    void ForgetShownTexts();
    QPoint PopupPoint(int x, int y) const;
    // The save prompt; false when the user cancels or the save fails.
    bool SaveChangesFirst();
    // A data-file message, with the file named under it.
    void ShowFileError(const EStreamError& e, const QString& fileName);
    QString PreferencesPath() const;
    QLabel* NewLabel(const char* name, const QFont& font);

    void OpenManage(TManagePage page, TManageMode mode, std::int32_t recordId);
    // The id of the record of that kind shown on the dial, or 0.
    std::int32_t ShownRecordId(TManagePage page) const;
    void EnableCompanionCommands();

    // Where the place of a city was found last time: checked in constant time before it is
    // trusted, so that the tick need not search the states; looked up again when the store
    // told of a change since (a new record may take a deleted one's slot and id) or the
    // records were changed in place.
    struct TPlaceLookup {
        std::uint64_t Generation = 0;
        const TCity* City = nullptr;
        std::int32_t StateId = 0;
        std::int32_t CountryId = 0;
        int Index = -1;
        TPlace Place;
    };
    TPlace PlaceOf(const TCity& city, TPlaceLookup& lookup);
    TPlaceLookup CurrentPlace;
    TPlaceLookup MyPlace;
    bool SceneShown = false; // the buffer holds ShownScene

    // What the texts were made from, so that they are made again only when that changes.
    TDifferenceKey ShownDifference;
    bool DifferenceShown = false;
    std::string ShownTime;
    double ShownDateDay = -1;
    int ShownDateStyle = -1;
    bool DateShown = false;
    bool SpeechShown = false;
    double ShownSpeechMinute = 0;

    // What the city labels were built from.
    TCityLabelsSource LabelsBuiltFrom;
    bool LabelsBuilt = false;
    std::int64_t LabelsCheckedMinute = -1; // the UTC minute the labels were last made or checked
    void BuildCityLabelsFrom(TCityLabelLayout layout);
    TCityLabelsSource CurrentLabelsSource() const;

    TCompanions* Companions = nullptr;
    TPlatform Platform_;
    const TSkin& Skin;
    // The pictures the buffer is composed of: Skin's own or, on a high-density screen, its
    // double ones.
    const TSkin* Pictures = nullptr;
    bool EndRequested_ = false;
    bool Dragging = false;
    int DragStartX = 0;
    int DragStartY = 0;
    bool ResizeAllowed = false;
    bool FrameCheckPending = false;
    // Centred before the desktop told the frame: centred again by it once it is known.
    bool CentreByFramePending = false;
    void CentreByFrameWhenKnown();

private:
    // The dial follows the data as the store tells of it.
    void LocationsChanged() override;
    void LocationRemoved(TRecordKind kind, std::int32_t id) override;
    void LocationsReplaced() override;
};
