#include "select/SelectCityU.h"

#include "select/FullCityNameU.h"
#include "ui_SelectCityForm.h"
#include "widgets/QtTextU.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QScrollBar>

namespace {

constexpr int DialClientHeight = 552;
constexpr int MyCityClientHeight = 552 - 79; // without the note
constexpr int RowHeight = 13;
constexpr int ButtonsGap = 4; // between the "Cities" frame and the buttons under it

void MultiColumn(QListWidget* list, int columns) {
    list->setFlow(QListView::TopToBottom);
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setGridSize(QSize((list->width() - 4) / columns, RowHeight));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    list->setFont(f);
}

} // namespace

TSelectCityForm::TSelectCityForm(TClockHost& host, QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::SelectCityForm>()), Host(host),
      CheckTarget(nullptr, true, true), ListTarget(nullptr, true, false), EditTarget(nullptr) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("SelectCityForm"));
    QFont face(QStringLiteral("Arial")); // the dialog's compact design wants a compact face
    face.setPixelSize(12);
    setFont(face);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    MyCityLabel = Ui_->MyCityLabel;
    CityEdit = Ui_->CityEdit;
    CityLabel = Ui_->CityLabel;
    CityCheckListBox = Ui_->CityCheckListBox;
    CityListBox = Ui_->CityListBox;
    NoteBox = Ui_->NoteBox;
    DeselectButton = Ui_->DeselectButton;
    MyCityButton = Ui_->MyCityButton;
    OkButton = Ui_->OkButton;
    CancelButton = Ui_->CancelButton;
    CheckTarget = TQtListTarget(CityCheckListBox, true, true);
    ListTarget = TQtListTarget(CityListBox, true, false);
    EditTarget = TQtSearchEdit(CityEdit);

    MultiColumn(CityCheckListBox, 4);
    MultiColumn(CityListBox, 6);
    CityListBox->setGeometry(CityCheckListBox->geometry());
    Ui_->Memo1->setPlainText(QStringLiteral(
        "NOTE: Cities that you have selected may not appear on the Ravorudevu. That's because:\n"
        "    1) Cities on the same timezone as the selected city do not appear on the worldclock.\n"
        "    2) There is no space on the wordclock to display all the cities you have selected.\n"
        "To see your selected cities, remove other cities to make room."));
    NoteBox->setEnabled(false);
    // The frame is disabled, but the note is there to be read: it keeps the normal text colour.
    QPalette notePalette = Ui_->Memo1->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::Base})
        notePalette.setColor(QPalette::Disabled, role, notePalette.color(QPalette::Active, role));
    Ui_->Memo1->setPalette(notePalette);
    QFont note(QStringLiteral("Arial"));
    note.setPixelSize(11);
    Ui_->Memo1->setFont(note);
    Ui_->Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MyCityButton->hide();
    MyCityButton->setEnabled(false);
    OkButton->setDefault(false);
    OkButton->setAutoDefault(false);
    CancelButton->setAutoDefault(false);
    MyCityButton->setAutoDefault(false);
    DeselectButton->setAutoDefault(false);
    DesignedMyCityLeft = MyCityButton->x();
    DesignedOkLeft = OkButton->x();
    DesignedCancelLeft = CancelButton->x();
    DesignedGroupHeight = Ui_->GroupBox1->height();
    DesignedListHeight = CityCheckListBox->height();
    SetClientHeight(DialClientHeight);

    connect(CityEdit, &QLineEdit::textChanged, this, &TSelectCityForm::CityEditChange);
    CityEdit->installEventFilter(this);
    // Moving through the list by keyboard describes the entry and leaves the keyboard there, so
    // that the arrows go on moving and Space ticks; only a click hands it back to the search.
    connect(CityCheckListBox, &QListWidget::currentRowChanged, this, [this] {
        if (CityCheckListBox->hasFocus())
            CityCheckListBoxMove();
        else
            CityCheckListBoxClick();
    });
    connect(CityCheckListBox, &QListWidget::itemClicked, this,
            &TSelectCityForm::CityCheckListBoxClick);
    connect(CityListBox, &QListWidget::currentRowChanged, this, &TSelectCityForm::CityListBoxClick);
    connect(MyCityButton, &QPushButton::clicked, this, &TSelectCityForm::MyCityButtonClick);
    connect(DeselectButton, &QPushButton::clicked, this, &TSelectCityForm::DeselectButtonClick);
    connect(OkButton, &QPushButton::clicked, this, &TSelectCityForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TSelectCityForm::CancelButtonClick);
}

TSelectCityForm::~TSelectCityForm() = default;

void TSelectCityForm::SetClientHeight(int height) {
    setFixedSize(602, height);
    const int buttonsTop = height - 28;
    for (QPushButton* b : {DeselectButton, MyCityButton, OkButton, CancelButton})
        b->move(b->x(), buttonsTop);
    // Without the note the buttons move up; the "Cities" frame gives way to them.
    QWidget* group = Ui_->GroupBox1;
    const int shrink = std::max(0, group->y() + DesignedGroupHeight + ButtonsGap - buttonsTop);
    group->resize(group->width(), DesignedGroupHeight - shrink);
    for (QListWidget* list : {CityCheckListBox, CityListBox})
        list->resize(list->width(), DesignedListHeight - shrink);
}

QString TSelectCityForm::FullName(const TCity* city) const {
    return ToQ(FullCityName(*Data, city, Host.LocaleFacts()));
}

TQtListTarget& TSelectCityForm::CurrentList() {
    return MyCityMode ? ListTarget : CheckTarget;
}

TCity* TSelectCityForm::SelectedCity() const {
    const TQtListTarget& list = MyCityMode ? ListTarget : CheckTarget;
    const int i = list.ItemIndex();
    return i < 0 ? nullptr : static_cast<TCity*>(list.Item(i));
}

void TSelectCityForm::SetCollections(TCityList& data, TCity* myCity) {
    Data = &data;
    WorkingMyCity = myCity;
}

void TSelectCityForm::EnterDialMode() {
    CityListBox->hide();
    Data->Cities.FillListBox(CheckTarget, WorkingMyCity);
    CityLabel->clear();
    {
        const QSignalBlocker quiet(CityEdit);
        CityEdit->clear();
    }
    MyCityMode = false;
    DeselectButton->show();
    MyCityButton->hide();
    OkButton->move(DesignedOkLeft, OkButton->y());
    CancelButton->move(DesignedCancelLeft, CancelButton->y());
    OkButton->setEnabled(true);
    MyCityLabel->setText(FullName(WorkingMyCity));
    SetClientHeight(DialClientHeight);
    NoteBox->show();
    CityCheckListBox->show();
}

void TSelectCityForm::EnterMyCityMode() {
    CityCheckListBox->hide();
    Data->Cities.FillListBox(ListTarget, WorkingMyCity);
    CityLabel->clear();
    {
        const QSignalBlocker quiet(CityEdit);
        CityEdit->clear();
    }
    CityListBox->show();
    DeselectButton->hide();
    const int okWidth = OkButton->width(), myWidth = MyCityButton->width();
    OkButton->move(DesignedMyCityLeft, OkButton->y());
    CancelButton->move(DesignedOkLeft + okWidth - myWidth, CancelButton->y());
    MyCityButton->move(DesignedCancelLeft + okWidth - myWidth, MyCityButton->y());
    MyCityButton->show();
    MyCityButton->setEnabled(false);
    OkButton->setEnabled(false);
    MyCityLabel->setText(FullName(WorkingMyCity));
    NoteBox->hide();
    SetClientHeight(MyCityClientHeight);
    MyCityMode = true;
}

void TSelectCityForm::CityEditChange() {
    if (!TypeAheadEnabled || Data == nullptr)
        return;
    IncrementalSearch(EditTarget, CurrentList(), 0);
    DescribeSelection();
}

void TSelectCityForm::DescribeSelection() {
    TCity* city = SelectedCity();
    if (MyCityMode) {
        if (city == nullptr) {
            MyCityButton->setEnabled(false);
            return;
        }
        MyCityButton->setEnabled(city != WorkingMyCity);
    } else if (city == nullptr) {
        return;
    }
    const QString name = ToQ(city->LongName);
    if (CityEdit->text() != name) // an unchanged text keeps its completion selected
        CityEdit->setText(name);
    QString full = FullName(city);
    if (city == WorkingMyCity)
        full += QStringLiteral(" (My City)");
    CityLabel->setText(full);
}

void TSelectCityForm::CityCheckListBoxClick() {
    if (MyCityMode || !CityCheckListBox->isVisible())
        return;
    CityCheckListBoxMove();
    CityEdit->setFocus();
}

void TSelectCityForm::CityCheckListBoxMove() {
    if (MyCityMode || !CityCheckListBox->isVisible())
        return;
    TypeAheadEnabled = false;
    DescribeSelection();
    TypeAheadEnabled = true;
}

void TSelectCityForm::CityListBoxClick() {
    if (MyCityMode)
        DescribeSelection();
}

void TSelectCityForm::DeselectButtonClick() {
    for (int i = 0; i < CheckTarget.Count(); ++i)
        CheckTarget.SetChecked(i, false);
}

void TSelectCityForm::MyCityButtonClick() {
    TCity* city = MyCityMode ? SelectedCity() : nullptr;
    if (city != nullptr) {
        WorkingMyCity = city;
        Host.Store().SetOnDial(city, true); // My City is always on the dial
        MyCityButton->setEnabled(false);
        const int top = CityListBox->horizontalScrollBar()->value();
        Data->Cities.FillListBox(ListTarget, WorkingMyCity);
        for (int i = 0; i < ListTarget.Count(); ++i)
            if (static_cast<TCity*>(ListTarget.Item(i))->UniqueID == WorkingMyCity->UniqueID)
                ListTarget.SetItemIndex(i);
        CityListBox->horizontalScrollBar()->setValue(top);
        DescribeSelection();
        MyCityLabel->setText(FullName(WorkingMyCity));
        OkButton->setEnabled(true);
        MyCityButton->setEnabled(false);
    }
}

void TSelectCityForm::OkButtonClick() {
    if (MyCityMode) {
        Host.Store().SetMyCity(WorkingMyCity);
    } else {
        std::vector<std::pair<TCity*, bool>> marks;
        for (int i = 0; i < CheckTarget.Count(); ++i)
            marks.emplace_back(static_cast<TCity*>(CheckTarget.Item(i)), CheckTarget.Checked(i));
        Host.Store().SetOnDial(marks);
    }
    if (FirstRun) {
        FirstRun = false;
        Host.SetTopmost(Host.DisplayOptions().StayOnTop != 0);
        Host.SaveCityList(); // a failure is shown; go on
    }
    CancelButton->setEnabled(true);
    close();
}

void TSelectCityForm::CancelButtonClick() {
    close();
}

void TSelectCityForm::reject() {
    if (FirstRun)
        return; // a first start cannot be left without a choice
    QDialog::reject();
}

void TSelectCityForm::closeEvent(QCloseEvent* e) {
    if (FirstRun) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e); // rejects, and so ends in done()
}

void TSelectCityForm::done(int result) {
    QDialog::done(result);
    // Every way out (Ok, Cancel, Escape, the close box) shows the clock afresh.
    Host.CompanionClosed();
}

void TSelectCityForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CityEdit->setFocus();
}

bool TSelectCityForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == CityEdit && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Backspace && CityEdit->hasSelectedText()) {
            BackspaceCompletion(EditTarget);
            return true; // the completion and the last typed letter are gone already
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            CityEdit->deselect();
            CityEdit->end(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}
