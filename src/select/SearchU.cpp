#include "select/SearchU.h"

#include "manage/ManageRecordsU.h"
#include "select/CitySearchU.h"
#include "ui_SearchForm.h"
#include "widgets/AccessibilityU.h"
#include "widgets/LocaleSortU.h"
#include "widgets/QtTextU.h"

#include <QCompleter>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

namespace {

// The results as the search gives them; shown sorted in one go, since a sorted insert per
// line would cost a list update each.
class TResultLines : public TListTarget {
public:
    void Clear() override {
        Texts.clear();
        Cities.clear();
    }
    int Add(const std::string& text, void* item) override {
        // Each Windows-1252 character is one UTF-16 unit; no detour through UTF-8.
        QString q(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
        QChar* out = q.data();
        for (const char c : text)
            *out++ = QChar(static_cast<char16_t>(AnsiCharToUnicode(static_cast<unsigned char>(c))));
        Texts.push_back(std::move(q));
        Cities.push_back(static_cast<TCity*>(item));
        return Count() - 1;
    }
    int Count() const override { return static_cast<int>(Texts.size()); }
    void* Item(int index) const override { return Cities.at(static_cast<std::size_t>(index)); }
    void SetChecked(int, bool) override {}
    void SetItemIndex(int) override {}

    QStringList Texts;
    std::vector<TCity*> Cities;
};

template <typename T> const T* StillThere(const TLocationCollection<T>& items, void* item) {
    const auto* record = static_cast<const T*>(item);
    return record != nullptr && items.IndexOf(record) >= 0 ? record : nullptr;
}

} // namespace

TSearchForm::TSearchForm(TClockHost& host, QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::SearchForm>()), Host(host),
      CountryTarget(nullptr, true), StateTarget(nullptr, true), AirportTarget(nullptr, true),
      UTCTarget(nullptr, false) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("SearchForm"));
    QFont face(QStringLiteral("Arial")); // the dialog's compact design wants a compact face
    face.setPixelSize(12);
    setFont(face);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(462, 377);
    CountryComboBox = Ui_->CountryComboBox;
    StateComboBox = Ui_->StateComboBox;
    AirportComboBox = Ui_->AirportComboBox;
    UTCComboBox = Ui_->UTCComboBox;
    KeywordEdit = Ui_->KeywordEdit;
    Button2 = Ui_->Button2;
    CityListBox = Ui_->CityListBox;
    ShowButton = Ui_->ShowButton;
    CancelButton = Ui_->CancelButton;
    // The "any" entry heads each filter list; the records sort after it.
    CountryTarget = TQtComboTarget(CountryComboBox, true, 1);
    StateTarget = TQtComboTarget(StateComboBox, true, 1);
    AirportTarget = TQtComboTarget(AirportComboBox, true, 1);
    UTCTarget = TQtComboTarget(UTCComboBox, false);
    ShowButton->setEnabled(false);
    // The results are many and plain: a string list shows them without an object per line.
    ResultModel = new QStringListModel(this);
    CityListBox->setModel(ResultModel);

    for (QComboBox* c : {CountryComboBox, StateComboBox, AirportComboBox}) {
        c->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        c->completer()->setCompletionMode(QCompleter::InlineCompletion);
        if (auto* view = qobject_cast<QListView*>(c->view()))
            view->setUniformItemSizes(true); // the lists may be long
        c->installEventFilter(this);
    }
    NameComboEdits(this);
    connect(CountryComboBox, &QComboBox::activated, this, &TSearchForm::CountryComboBoxClick);
    connect(StateComboBox, &QComboBox::activated, this, &TSearchForm::StateComboBoxClick);
    connect(AirportComboBox, &QComboBox::activated, this, &TSearchForm::AirportComboBoxClick);
    connect(UTCComboBox, &QComboBox::activated, this, &TSearchForm::UTCComboBoxClick);
    connect(CountryComboBox, &QComboBox::editTextChanged, this,
            [this] { FilterListEdited(CountryTarget, &TSearchForm::CountryComboBoxClick); });
    connect(StateComboBox, &QComboBox::editTextChanged, this,
            [this] { FilterListEdited(StateTarget, &TSearchForm::StateComboBoxClick); });
    connect(AirportComboBox, &QComboBox::editTextChanged, this,
            [this] { FilterListEdited(AirportTarget, &TSearchForm::AirportComboBoxClick); });
    connect(KeywordEdit, &QLineEdit::textChanged, this, &TSearchForm::KeywordEditChange);
    connect(Button2, &QPushButton::clicked, this, &TSearchForm::Button2Click);
    connect(CityListBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TSearchForm::CityListBoxClick);
    // A selection taken away (Ctrl+click) leaves nothing to show.
    connect(CityListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TSearchForm::CityListBoxClick);
    connect(ShowButton, &QPushButton::clicked, this, &TSearchForm::ShowButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSearchForm::CancelButtonClick);
}

TSearchForm::~TSearchForm() {
    // The result model goes before the list: its selection changes then are nobody's click.
    disconnect(CityListBox->selectionModel(), nullptr, this, nullptr);
}

void TSearchForm::SetCollections(TCityList& data) {
    Data = &data;
}

void TSearchForm::ResetSearch() {
    if (Data == nullptr)
        return;
    // The places of 100,000 cities take long to list and sort: lists that would come out the
    // same are shown again with their first entry.
    const std::uint64_t print = ListsFingerprint(*Data, nullptr);
    if (FilledData != Data || print != FilledFingerprint || FiltersNarrowed) {
        FillCountryFilter(*Data, CountryTarget);
        FillStateFilter(*Data, StateTarget, 0);
        FillAirportFilter(*Data, AirportTarget, 0, 0);
        FilledData = Data;
        FilledFingerprint = print;
        FiltersNarrowed = false;
    } else {
        for (TQtComboTarget* list : {&CountryTarget, &StateTarget, &AirportTarget})
            list->SetItemIndex(0);
    }
    FillOffsetFilter(UTCTarget, Host.LocaleFacts());
    {
        const QSignalBlocker quiet(KeywordEdit);
        KeywordEdit->clear();
    }
    Results.clear();
    ResultModel->setStringList({});
    ShowButton->setEnabled(false);
    RunSearch();
}

const TCountry* TSearchForm::SelectedCountry() const {
    return StillThere(Data->Countries, CountryTarget.SelectedItem());
}

const TState* TSearchForm::SelectedState() const {
    return StillThere(Data->States, StateTarget.SelectedItem());
}

const TAirport* TSearchForm::SelectedAirport() const {
    return StillThere(Data->Airports, AirportTarget.SelectedItem());
}

double TSearchForm::SelectedOffset() const {
    const int i = UTCComboBox->currentIndex();
    const std::vector<double>& offsets = SearchOffsets();
    return i >= 1 && i <= static_cast<int>(offsets.size())
               ? offsets[static_cast<std::size_t>(i - 1)]
               : AnyOffset;
}

void TSearchForm::RunSearch() {
    if (Data == nullptr)
        return;
    TResultLines lines;
    std::string keywords;
    // Words the data cannot hold match no city name.
    if (FromQ(KeywordEdit->text(), keywords))
        FilterCities(*Data, SelectedCountry(), SelectedState(), SelectedAirport(), lines, keywords,
                     SelectedOffset(), Host.LocaleFacts());
    const std::vector<int> order = ResultOrder.Order(lines.Texts);
    QStringList texts;
    texts.reserve(lines.Count());
    Results.clear();
    Results.reserve(order.size());
    for (int i : order) {
        texts.push_back(lines.Texts.at(i));
        Results.push_back(lines.Cities.at(static_cast<std::size_t>(i)));
    }
    // A rebuilt list is no click, and holds no selection to show.
    const QSignalBlocker quiet(CityListBox->selectionModel());
    ResultModel->setStringList(texts);
    ShowButton->setEnabled(false);
}

QStringList TSearchForm::ResultTexts() const {
    return ResultModel->stringList();
}

TCity* TSearchForm::ResultCity(int row) const {
    return row >= 0 && row < static_cast<int>(Results.size())
               ? Results[static_cast<std::size_t>(row)]
               : nullptr;
}

TCity* TSearchForm::SelectedCity() const {
    const QModelIndex current = CityListBox->currentIndex();
    if (!current.isValid() || !CityListBox->selectionModel()->isSelected(current))
        return nullptr;
    return ResultCity(current.row());
}

void TSearchForm::CountryComboBoxClick() {
    if (Data == nullptr)
        return;
    if (const TCountry* country = SelectedCountry()) {
        FiltersNarrowed = true;
        FillStateFilter(*Data, StateTarget, country->UniqueId);
        FillAirportFilter(*Data, AirportTarget, country->UniqueId, 0);
    }
    RunSearch();
}

void TSearchForm::StateComboBoxClick() {
    if (Data == nullptr)
        return;
    const TCountry* country = SelectedCountry();
    const TState* state = SelectedState();
    FiltersNarrowed = true;
    FillAirportFilter(*Data, AirportTarget, country ? country->UniqueId : 0,
                      state ? state->UniqueID : 0);
    RunSearch();
}

void TSearchForm::AirportComboBoxClick() {
    RunSearch();
}

void TSearchForm::UTCComboBoxClick() {
    RunSearch();
}

void TSearchForm::KeywordEditChange() {
    RunSearch();
}

int TSearchForm::FindFilterEntry(const TQtComboTarget& list, const QString& text) const {
    QComboBox* combo = list.Combo;
    const int match = combo->findText(text, Qt::MatchFixedString);
    if (match >= 0 || &list != &AirportTarget || Data == nullptr)
        return match;
    // An airport is also found by one of its codes.
    std::string code;
    if (!FromQ(text.trimmed(), code) || code.empty())
        return -1;
    for (int i = 1; i < AirportTarget.Count(); ++i)
        if (const TAirport* a = StillThere(Data->Airports, AirportTarget.Item(i));
            a != nullptr && AirportHasCode(*a, code))
            return i;
    return -1;
}

void TSearchForm::FilterListEdited(TQtComboTarget& list, void (TSearchForm::*click)()) {
    QComboBox* combo = list.Combo;
    if (!combo->hasFocus())
        return; // not the user's typing
    // The filter follows what the field shows: a text that names no entry is "any".
    const int found = FindFilterEntry(list, combo->currentText());
    const int match = found < 0 ? 0 : found;
    if (match == combo->currentIndex())
        return;
    // Keep what the user is typing, with the completion still highlighted.
    QLineEdit* edit = combo->lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    const int selStart = edit->selectionStart();
    const int selLength = static_cast<int>(edit->selectedText().size());
    list.SetItemIndex(match);
    {
        const QSignalBlocker quiet(edit);
        edit->setText(text);
        if (selStart >= 0)
            edit->setSelection(selStart, selLength);
        else
            edit->setCursorPosition(cursor);
    }
    (this->*click)();
}

void TSearchForm::LeaveFilterList(TQtComboTarget& list, void (TSearchForm::*click)()) {
    QComboBox* combo = list.Combo;
    const int before = combo->currentIndex();
    const int match = FindFilterEntry(list, combo->currentText());
    if (match < 0)
        list.SetItemIndex(0);
    else if (match != combo->currentIndex())
        list.SetItemIndex(match);
    {
        const QSignalBlocker quiet(combo);
        combo->setEditText(combo->itemText(combo->currentIndex()));
    }
    // The results must answer the filter the list now shows, not one typed over.
    if (combo->currentIndex() != before)
        (this->*click)();
}

void TSearchForm::CountryComboBoxExit() {
    LeaveFilterList(CountryTarget, &TSearchForm::CountryComboBoxClick);
}

void TSearchForm::StateComboBoxExit() {
    LeaveFilterList(StateTarget, &TSearchForm::StateComboBoxClick);
}

void TSearchForm::AirportComboBoxExit() {
    LeaveFilterList(AirportTarget, &TSearchForm::AirportComboBoxClick);
}

void TSearchForm::Button2Click() {
    ResetSearch();
    KeywordEdit->setFocus();
}

void TSearchForm::CityListBoxClick() {
    ShowButton->setEnabled(SelectedCity() != nullptr);
}

void TSearchForm::ShowButtonClick() {
    // A city deleted since the search is not shown; the store refuses it.
    if (Host.Store().SetCurrentCity(SelectedCity())) {
        Host.ComputeCurrentCityTime();
        close();
    }
}

void TSearchForm::CancelButtonClick() {
    close();
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) {
        if (watched == CountryComboBox)
            CountryComboBoxExit();
        else if (watched == StateComboBox)
            StateComboBoxExit();
        else if (watched == AirportComboBox)
            AirportComboBoxExit();
    }
    return QDialog::eventFilter(watched, e);
}
