#include "manage/ManageU.h"

#include "manage/AirportPageU.h"
#include "manage/CityPageU.h"
#include "manage/CountryPageU.h"
#include "manage/ManagePageU.h"
#include "manage/ManageRecordsU.h"
#include "manage/StatePageU.h"
#include "ui_ManageForm.h"
#include "widgets/UpDownU.h"

#include <QAbstractItemDelegate>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace {

// Tab moves from cell to cell of a grid, and on from its last cell (Shift+Tab back from its
// first), so that the grid is no trap for the keyboard. Watches the grid and its cell editors.
class TGridTabExit : public QObject {
public:
    explicit TGridTabExit(QTableWidget* grid)
        : QObject(grid), Grid(grid), Viewport(grid->viewport()) {
        Grid->installEventFilter(this);
        Viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        // A cell editor is a child of the viewport, polished when it shows, after its delegate
        // began to watch it: filters installed later are asked first.
        // The viewport is kept, not asked for: while the grid is destroyed, its children still
        // send events here after the grid has stopped being a table.
        if (watched == Viewport && e->type() == QEvent::ChildPolished) {
            QObject* child = static_cast<QChildEvent*>(e)->child();
            if (child->isWidgetType())
                child->installEventFilter(this);
            return false;
        }
        if (e->type() != QEvent::KeyPress)
            return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        const bool back = k->key() == Qt::Key_Backtab ||
                          (k->key() == Qt::Key_Tab && k->modifiers() & Qt::ShiftModifier);
        const bool forward = k->key() == Qt::Key_Tab && !back;
        const int row = Grid->currentRow();
        if (!(forward && row == Grid->rowCount() - 1) && !(back && row <= 0))
            return false;
        if (QWidget* editor = qobject_cast<QWidget*>(watched); editor != nullptr && editor != Grid)
            if (auto* delegate = Grid->itemDelegate()) {
                emit delegate->commitData(editor);
                emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
            }
        QWidget* w = Grid;
        do
            w = back ? w->previousInFocusChain() : w->nextInFocusChain();
        while (w != Grid && !(w->window() == Grid->window() && !Grid->isAncestorOf(w) &&
                              w->isVisible() && w->isEnabled() && w->focusProxy() == nullptr &&
                              (w->focusPolicy() & Qt::TabFocus)));
        if (w != Grid)
            w->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }

private:
    QTableWidget* Grid;
    QWidget* Viewport;
};

} // namespace

TManageForm::TManageForm(TClockHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Host(host), Ui_(std::make_unique<Ui::ManageForm>()) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("ManageForm"));
    QFont face(QStringLiteral("Arial")); // a compact face for the compact design
    face.setPixelSize(12);
    setFont(face);
    setFixedSize(621, 553);
    ManagePageControl = Ui_->ManagePageControl;
    connect(ManagePageControl, &QStackedWidget::currentChanged, this,
            &TManageForm::ManagePageControlChange);

    Countries = std::make_unique<TCountryPage>(*this);
    States = std::make_unique<TStatePage>(*this);
    Cities = std::make_unique<TCityPage>(*this);
    Airports = std::make_unique<TAirportPage>(*this);
    for (TManagePageBase* p : Pages())
        TManageForm::EnableGroup(p->RecordGroup, false);
    // Enter presses the focused button as Space does.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->installEventFilter(this);
    // On the desktop's accessibility bus a combo box is named by its value and labelled through
    // its label's relation: those without a visible label get one that is never shown.
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        if (combo->accessibleName().isEmpty())
            continue;
        auto* label = new QLabel(combo->accessibleName(), combo->parentWidget());
        label->setObjectName(combo->objectName() + QStringLiteral("AccessibleLabel"));
        label->setBuddy(combo);
        label->hide();
    }
    for (QTableWidget* grid : findChildren<QTableWidget*>())
        new TGridTabExit(grid);
    // An empty list of links would take the caption of its frame ("City", "Airport") as its
    // name; a label that is never shown gives it words of its own.
    const std::pair<const char*, QString> emptyLinks[] = {
        {"ClosestAirportsLabel", tr("Closest airports: none")},
        {"ClosestCitiesLabel", tr("Closest cities: none")}};
    for (const auto& [name, words] : emptyLinks)
        if (auto* links = findChild<QLabel*>(QLatin1String(name))) {
            auto* label = new QLabel(words, links->parentWidget());
            label->setObjectName(QLatin1String(name) + QStringLiteral("AccessibleLabel"));
            label->setBuddy(links);
            label->hide();
        }
}

TManageForm::~TManageForm() = default;

std::array<TManagePageBase*, 4> TManageForm::Pages() const {
    return {Countries.get(), States.get(), Cities.get(), Airports.get()};
}

TManagePageBase* TManageForm::PageOf(TManagePage page) const {
    return Pages().at(static_cast<std::size_t>(page));
}

void TManageForm::EnableGroup(QWidget* box, bool enabled) {
    box->setEnabled(enabled);
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(enabled);
}

void TManageForm::LimitOffset(TUpDown* arrows, QLineEdit* edit) {
    arrows->SetAssociate(edit);
    arrows->SetRange(static_cast<int>(MinUTCOffset), static_cast<int>(MaxUTCOffset));
    const QString range = tr("Hours east of UTC, from -12 to +14; fractions such as 5.5 are "
                             "allowed. The arrows, and Up and Down, step to the next whole hour.");
    edit->setToolTip(range);
    arrows->setToolTip(range);
    const auto arrowButtons = arrows->findChildren<QToolButton*>();
    const QStringList names{tr("UTC offset up"), tr("UTC offset down")};
    for (int i = 0; i < arrowButtons.size() && i < names.size(); ++i)
        arrowButtons[i]->setAccessibleName(names[i]);
}

void TManageForm::SetCollections(TCityList& data, TCity* myCity) {
    Data = &data;
    MyCity = myCity;
}

void TManageForm::ResetPages() {
    if (Data == nullptr)
        return;
    // Refilling lists of 100,000 cities takes long: lists that would come out the same stay.
    const std::uint64_t shown = ListsFingerprint(*Data, MyCity);
    for (TManagePageBase* p : Pages())
        if (shown != FilledFingerprint || FilledData != Data)
            p->RefillList();
        else
            p->UnselectList();
    FilledFingerprint = shown;
    FilledData = Data;
    for (TManagePageBase* p : Pages()) {
        p->ClearPage();
        p->DisablePage();
    }
    Cities->ShowMyCityLabel();
    NewMode = false;
    DeleteMode = false;
    for (TManagePageBase* p : Pages()) {
        EnableGroup(p->ListSide, true);
        p->ApplyButton->setEnabled(false);
    }
}

void TManageForm::SetPage(TManagePage page) {
    // Choosing the page is no change the user made: ResetPages must not run.
    const QSignalBlocker quiet(ManagePageControl);
    ManagePageControl->setCurrentIndex(static_cast<int>(page));
}

TManagePage TManageForm::CurrentPage() const {
    return static_cast<TManagePage>(ManagePageControl->currentIndex());
}

void TManageForm::NewCountryButtonClick() {
    Countries->NewCountryButtonClick();
}

void TManageForm::NewStateButtonClick() {
    States->NewStateButtonClick();
}

void TManageForm::NewCityButtonClick() {
    Cities->NewCityButtonClick();
}

void TManageForm::NewAirportButtonClick() {
    Airports->NewAirportButtonClick();
}

void TManageForm::BeginDeleteCountry() {
    Countries->BeginDeleteCountry();
}

void TManageForm::BeginDeleteState() {
    States->BeginDeleteState();
}

void TManageForm::BeginDeleteCity() {
    Cities->BeginDeleteCity();
}

void TManageForm::BeginDeleteAirport() {
    Airports->BeginDeleteAirport();
}

void TManageForm::BeginEdit(TManagePage page, std::int32_t recordId) {
    SetPage(page);
    for (TManagePageBase* each : Pages())
        each->ShowEditCaption();
    TManagePageBase* p = PageOf(page);
    if (const void* record = p->FindRecord(recordId))
        p->LoadRecord(record);
    ShowOnHost();
    p->SearchEdit->setFocus();
}

void TManageForm::Open(TManagePage page, TManageMode mode, std::int32_t recordId) {
    SetCollections(Host.Store().Data(), Host.Store().Data().MyCity);
    ResetPages();
    TManagePageBase* p = PageOf(page);
    switch (mode) {
    case TManageMode::New:
        p->BeginNew();
        ShowOnHost();
        if (QWidget* first = p->FirstNewField())
            first->setFocus();
        break;
    case TManageMode::Edit:
        BeginEdit(page, recordId);
        break;
    case TManageMode::Delete:
        p->BeginDelete();
        break;
    }
}

TManageForm::TBusy::TBusy(TManageForm& form) : Form(form) {
    ++Form.Busy;
}

TManageForm::TBusy::~TBusy() {
    if (--Form.Busy > 0 || !Form.Waiting)
        return;
    // After the handler that asked has returned, not inside it.
    QTimer::singleShot(0, &Form, [form = &Form] {
        if (form->Asking() || !form->Waiting)
            return; // another question came first; its end runs the command
        std::function<void()> command = std::move(form->Waiting);
        form->Waiting = nullptr;
        command();
    });
}

TAnswer TManageForm::AskYesNo(const QString& text, const QString& caption) {
    const TBusy busy(*this);
    return Host.Platform().Messages->AskYesNo(this, text, caption);
}

void TManageForm::ShowMessage(const QString& text) {
    const TBusy busy(*this);
    Host.Platform().Messages->Show(this, text);
}

bool TManageForm::WaitForQuestion(std::function<void()> command) {
    if (!Asking())
        return false;
    Waiting = std::move(command);
    return true;
}

void TManageForm::ShowOnHost() {
    show();
    raise();
    activateWindow();
}

void TManageForm::PutAway() {
    PuttingAway = true;
    close();
    PuttingAway = false;
    for (TManagePageBase* p : Pages())
        p->ForgetRecord();
    FilledData = nullptr; // the lists name records that are gone
    Data = nullptr;
    MyCity = nullptr;
}

void TManageForm::FormShow() {
    // The window cannot come to the front of a clock that stays on top.
    TDisplayOptions options = Host.DisplayOptions();
    options.StayOnTop = 0;
    Host.ApplyDisplayOptions(options);
    Host.SyncViewMenuChecks();
}

void TManageForm::FormClose() {
    if (Data == nullptr)
        return;
    Host.CompanionClosed();
}

void TManageForm::ManagePageControlChange() {
    ResetPages();
}

bool TManageForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (button->isEnabled())
                button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TManageForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TManageForm::keyPressEvent(QKeyEvent* e) {
    // Escape leaves the window the way its Close does.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TManageForm::closeEvent(QCloseEvent* e) {
    // Closing under an open question is refused: the question's handler still needs the page.
    if (Asking() && !PuttingAway) {
        e->ignore();
        return;
    }
    // The Close buttons, Escape and the window's close box all end here: unapplied edits are
    // offered for applying first, and a refused Apply keeps the window open on its record.
    if (!PuttingAway && Data != nullptr) {
        TManagePageBase* page = PageOf(CurrentPage());
        if (page->HasUnappliedEdits() &&
            page->SettleEdits() == TManagePageBase::TSettled::Refused) {
            e->ignore();
            return;
        }
        page->MarkStored();
    }
    QWidget::closeEvent(e);
    if (!PuttingAway)
        FormClose();
}
