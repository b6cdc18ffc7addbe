#include "CompanionWindowsU.h"

#include "ClockHostU.h"
#include "about/SplashU.h"
#include "changes/ClockChangesFormU.h"
#include "check/ZoneCheckFormU.h"
#include "manage/ManageU.h"
#include "manage/ZonePickerRulesU.h"
#include "prefs/OptionsFormU.h"
#include "select/FirstStartU.h"
#include "select/MyCityMessageU.h"
#include "select/SearchU.h"
#include "select/SelectCityU.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

// Moves a companion into the work area when its frame becomes known, which the desktop tells
// only once the window is up.
class TCompanionWindows::TFrameKeeper : public QObject {
public:
    explicit TFrameKeeper(const TPlatform& platform) : Platform(platform) {}
    QSet<QWidget*> Pending;
    void Check(QWidget* w) {
        const QRect frame = w->frameGeometry();
        if (!Pending.contains(w) || !w->isVisible() || frame == w->geometry())
            return;
        Pending.remove(w);
        const QPoint at = KeptInside(frame, Platform.Screen->WorkAreaAt(frame.center()));
        if (at != frame.topLeft())
            w->move(at);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show)
            if (o->isWidgetType())
                Check(static_cast<QWidget*>(o));
        return false;
    }

private:
    const TPlatform& Platform;
};

TCompanionWindows::TCompanionWindows(TClockHost& host)
    : Host(host), Splash_(std::make_unique<TSplashForm>()),
      Manage_(std::make_unique<TManageForm>(host)), Options_(std::make_unique<TOptionsForm>(host)),
      SelectCity_(std::make_unique<TSelectCityForm>(host)),
      Search_(std::make_unique<TSearchForm>(host)),
      MyCityMessage_(std::make_unique<TMyCityMessageForm>()),
      ClockChanges_(std::make_unique<TClockChangesForm>(host)),
      Keeper(std::make_unique<TFrameKeeper>(host.Platform())) {
    for (QWidget* w :
         {static_cast<QWidget*>(Manage_.get()), static_cast<QWidget*>(Options_.get()),
          static_cast<QWidget*>(SelectCity_.get()), static_cast<QWidget*>(Search_.get()),
          static_cast<QWidget*>(ClockChanges_.get())})
        w->installEventFilter(Keeper.get());
    Host.Store().AddListener(this);
}

TCompanionWindows::~TCompanionWindows() {
    Host.Store().RemoveListener(this);
}

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
    const QWidget* host = Host.HostWindow();
    QRect frame = window.frameGeometry();
    if (frame == window.geometry()) {
        // Not framed yet: the clock's frame, when it has one, tells what the desktop adds.
        const QRect hostFrame = host->frameGeometry();
        const QRect hostInner = host->geometry();
        frame.adjust(hostFrame.left() - hostInner.left(), hostFrame.top() - hostInner.top(),
                     hostFrame.right() - hostInner.right(),
                     hostFrame.bottom() - hostInner.bottom());
    }
    frame.moveTopLeft(host->pos());
    const QPoint at =
        KeptInside(frame, Host.Platform().Screen->WorkAreaAt(host->frameGeometry().center()));
    window.move(at);
    if (window.frameGeometry() == window.geometry())
        Keeper->Pending.insert(&window);
    else
        Keeper->Pending.remove(&window);
}

void TCompanionWindows::ShowAboveHost(QWidget& window) {
    QWidget* host = Host.HostWindow();
    window.winId(); // the window it belongs to is told before it is shown
    if (QWindow* w = window.windowHandle())
        w->setTransientParent(host->isVisible() ? host->windowHandle() : nullptr);
    window.show();
    Keeper->Check(&window);
    window.raise();
    window.activateWindow();
}

void TCompanionWindows::KeepAboveHost() {
    QWidget* host = Host.HostWindow();
    for (QWidget* w :
         {static_cast<QWidget*>(SelectCity_.get()), static_cast<QWidget*>(Search_.get()),
          static_cast<QWidget*>(Options_.get()), static_cast<QWidget*>(Manage_.get()),
          static_cast<QWidget*>(ClockChanges_.get())}) {
        if (!w->isVisible())
            continue;
        // The clock's own window may have been made anew (docking, stay on top).
        if (QWindow* handle = w->windowHandle();
            handle && host->isVisible() && handle->transientParent() != host->windowHandle())
            handle->setTransientParent(host->windowHandle());
        w->raise();
    }
}

void TCompanionWindows::OpenSelectCity(bool myCityMode) {
    TSelectCityForm& s = *SelectCity_;
    if (s.isVisible() && s.MyCityMode == myCityMode) {
        ShowAboveHost(s); // open already: its ticks stay as they are
        return;
    }
    PlaceOnHost(s);
    TCityList& data = Host.Store().Data();
    s.SetCollections(data, data.MyCity);
    if (myCityMode)
        s.EnterMyCityMode();
    else
        s.EnterDialMode();
    ShowAboveHost(s);
    s.CityEdit->setFocus();
}

void TCompanionWindows::OpenSearch() {
    TSearchForm& s = *Search_;
    if (s.isVisible()) {
        ShowAboveHost(s); // open already: the search stays as it is
        return;
    }
    PlaceOnHost(s);
    s.SetCollections(Host.Store().Data());
    s.ResetSearch();
    ShowAboveHost(s);
    s.KeywordEdit->setFocus();
}

void TCompanionWindows::OpenPreferences() {
    TOptionsForm& o = *Options_;
    if (o.isVisible()) {
        ShowAboveHost(o); // open already: its edits are kept
        return;
    }
    o.LoadIntoDialog(Host.DisplayOptions());
    PlaceOnHost(o);
    ShowAboveHost(o);
}

void TCompanionWindows::OpenManage(TManagePage page, TManageMode mode, std::int32_t recordId) {
    // A menu command can come while the window asks (the accessibility bus is not held by the
    // box): it runs once the question is answered, not under it.
    if (Manage_->WaitForQuestion(
            [this, page, mode, recordId] { OpenManage(page, mode, recordId); }))
        return;
    PlaceOnHost(*Manage_);
    Manage_->winId();
    if (QWindow* w = Manage_->windowHandle())
        w->setTransientParent(Host.HostWindow()->isVisible() ? Host.HostWindow()->windowHandle()
                                                             : nullptr);
    Manage_->Open(page, mode, recordId);
}

void TCompanionWindows::LocationRemoved(TRecordKind kind, std::int32_t) {
    // Its lines may name the deleted city.
    if (kind == TRecordKind::City)
        SelectCity_->hide();
    // Its lists and results may name any deleted record.
    Search_->hide();
    // It shows texts, not records: it follows the data as it now stands.
    ClockChanges_->Refresh();
    // The clock hears of it from the store and looks its labels and popup targets up again.
}

void TCompanionWindows::OpenAbout() {
    Splash_->PrepareAbout(CentredOnWorkArea(Host.Platform(), QSize(473, 392)));
    Splash_->exec();
}

void TCompanionWindows::OpenZoneCheck() {
    if (!ZoneCheck_)
        ZoneCheck_ = std::make_unique<TZoneCheckForm>(Host);
    PlaceOnHost(*ZoneCheck_);
    ZoneCheck_->RunCheck();
    ShowAboveHost(*ZoneCheck_);
    ZoneCheck_->DifferList->setFocus();
}

void TCompanionWindows::NoteZoneDifferences() {
    if (ZoneNote_)
        return;
    const TPlatform& p = Host.Platform();
    const std::string text = DialZoneNote(Host.Store().Data(), LoadCityZones(p.ProgramDir),
                                          p.Clock ? UnixSeconds(p.Clock->NowUtc()) : 0);
    if (text.empty())
        return;
    ZoneNote_ = std::make_unique<TZoneCheckNote>(QString::fromStdString(text));
    QObject::connect(ZoneNote_->CheckButton, &QPushButton::clicked, [this] { OpenZoneCheck(); });
    PlaceOnHost(*ZoneNote_);
    ZoneNote_->show();
}

void TCompanionWindows::OpenClockChanges() {
    TClockChangesForm& c = *ClockChanges_;
    PlaceOnHost(c);
    c.Refresh();
    ShowAboveHost(c);
    c.ChangesListBox->setFocus();
}

void TCompanionWindows::LocationsReplaced() {
    CityListReplaced();
}

void TCompanionWindows::CityListReplaced() {
    // Their lines named records that are gone.
    SelectCity_->hide();
    Search_->hide();
    Manage_->PutAway();
    if (ZoneCheck_)
        ZoneCheck_->hide();
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
    if (ZoneCheck_)
        ZoneCheck_->hide();
    if (ZoneNote_)
        ZoneNote_->hide();
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
