#include "check/ZoneCheckFormU.h"

#include "ClockHostU.h"
#include "manage/ZonePickerRulesU.h"
#include "widgets/DataFolderU.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

TZoneMap LoadCityZones(const QString& programDir) {
    TZoneMap map;
    const QString exeDir = QCoreApplication::applicationDirPath();
    for (const QString& dir : {exeDir, InstalledDataDir(exeDir)}) {
        const QString file = QDir(dir).filePath(QStringLiteral("default.zones"));
        if (QFileInfo::exists(file) && ReadZoneMapFile(file.toStdString(), map))
            break;
    }
    ReadZoneMapFile(QDir(programDir).filePath(QStringLiteral("user.zones")).toStdString(), map);
    return map;
}

bool RememberPlaceZone(const QString& programDir, const TZoneKey& place, const std::string& zone) {
    if (zone.empty() || place.Country.empty() || programDir.isEmpty())
        return false;
    const std::string file = QDir(programDir).filePath(QStringLiteral("user.zones")).toStdString();
    TZoneMap map;
    ReadZoneMapFile(file, map);
    map[place] = zone;
    return WriteZoneMapFile(file, map);
}

TZoneCheckNote::TZoneCheckNote(const QString& text, QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("ZoneCheckNote"));
    setWindowTitle(QStringLiteral("Time zones"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    NoteLabel = new QLabel(text, this);
    NoteLabel->setObjectName(QStringLiteral("NoteLabel"));
    NoteLabel->setWordWrap(true);
    NoteLabel->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    layout->addWidget(NoteLabel);
    auto* buttons = new QHBoxLayout;
    CheckButton = new QPushButton(QStringLiteral("Check &Time Zones..."), this);
    CheckButton->setObjectName(QStringLiteral("CheckButton"));
    DismissButton = new QPushButton(QStringLiteral("&Dismiss"), this);
    DismissButton->setObjectName(QStringLiteral("DismissButton"));
    buttons->addStretch();
    buttons->addWidget(CheckButton);
    buttons->addWidget(DismissButton);
    layout->addLayout(buttons);
    setAccessibleDescription(text);
    connect(DismissButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(CheckButton, &QPushButton::clicked, this, &QWidget::hide);
    setMaximumWidth(420);
}

TZoneCheckForm::TZoneCheckForm(TClockHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), Host(host) {
    setObjectName(QStringLiteral("ZoneCheckForm"));
    setWindowTitle(QStringLiteral("Check Time Zones"));
    resize(760, 420);
    auto* layout = new QVBoxLayout(this);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    layout->addWidget(SummaryLabel);

    auto* differLabel = new QLabel(QStringLiteral("&Places that differ from the system:"), this);
    layout->addWidget(differLabel);
    DifferList = new QTreeWidget(this);
    DifferList->setObjectName(QStringLiteral("DifferList"));
    DifferList->setHeaderLabels({QStringLiteral("Place"), QStringLiteral("Zone"),
                                 QStringLiteral("Here"), QStringLiteral("The system")});
    DifferList->setRootIsDecorated(false);
    DifferList->setAccessibleName(QStringLiteral("Places that differ from the system"));
    differLabel->setBuddy(DifferList);
    layout->addWidget(DifferList, 2);

    auto* apartLabel =
        new QLabel(QStringLiteral("Places &not checked or that the rules cannot hold:"), this);
    layout->addWidget(apartLabel);
    ApartList = new QTreeWidget(this);
    ApartList->setObjectName(QStringLiteral("ApartList"));
    ApartList->setHeaderLabels(
        {QStringLiteral("Place"), QStringLiteral("Zone"), QStringLiteral("Why")});
    ApartList->setRootIsDecorated(false);
    ApartList->setAccessibleName(
        QStringLiteral("Places not checked or that the rules cannot hold"));
    apartLabel->setBuddy(ApartList);
    layout->addWidget(ApartList, 1);

    auto* buttons = new QHBoxLayout;
    UpdateButton = new QPushButton(QStringLiteral("&Update"), this);
    UpdateButton->setObjectName(QStringLiteral("UpdateButton"));
    UpdateAllButton = new QPushButton(QStringLiteral("Update &All"), this);
    UpdateAllButton->setObjectName(QStringLiteral("UpdateAllButton"));
    CloseButton = new QPushButton(QStringLiteral("&Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    buttons->addWidget(UpdateButton);
    buttons->addWidget(UpdateAllButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);

    connect(UpdateButton, &QPushButton::clicked, this, [this] { UpdateButtonClick(); });
    connect(UpdateAllButton, &QPushButton::clicked, this, [this] { UpdateAllButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(DifferList, &QTreeWidget::itemSelectionChanged, this,
            [this] { DifferListSelectionChange(); });
}

void TZoneCheckForm::RunCheck() {
    const TZoneMap map = LoadCityZones(Host.Platform().ProgramDir);
    const std::int64_t now =
        Host.Platform().Clock ? UnixSeconds(Host.Platform().Clock->NowUtc()) : 0;
    Result_ = CheckZones(Host.Store().Data(), map, now);
    DifferList->clear();
    ApartList->clear();
    Shown_.clear();
    for (std::size_t i = 0; i < Result_.Places.size(); ++i) {
        const TZoneCheckItem& p = Result_.Places[i];
        if (p.Kind == TZoneCheckItem::Differs) {
            auto* item =
                new QTreeWidgetItem(DifferList, {Q(p.Place), Q(p.Zone), Q("here " + p.Here),
                                                 Q("the system: " + p.System)});
            item->setToolTip(2, Q(p.Here));
            item->setToolTip(3, Q(p.System));
            Shown_.push_back(i);
        } else if (p.Kind == TZoneCheckItem::CannotExpress || p.Kind == TZoneCheckItem::Unchecked) {
            new QTreeWidgetItem(ApartList, {Q(p.Place), Q(p.Zone), Q(p.Reason)});
        }
    }
    for (QTreeWidget* list : {DifferList, ApartList})
        for (int c = 0; c < list->columnCount(); ++c)
            list->resizeColumnToContents(c);
    const std::size_t differ = Shown_.size();
    SummaryLabel->setText(
        differ == 0
            ? QStringLiteral("Every checked place agrees with the system's time zones for the "
                             "next 12 months (%1 of %2 cities have a zone).")
                  .arg(Result_.CitiesChecked)
                  .arg(Host.Store().Data().Cities.Count())
            : QStringLiteral("%1 place(s) differ from the system's time zones within the next 12 "
                             "months. Update fills a place from its zone.")
                  .arg(differ));
    if (differ > 0)
        DifferList->setCurrentItem(DifferList->topLevelItem(0));
    DifferListSelectionChange();
}

void TZoneCheckForm::DifferListSelectionChange() {
    UpdateButton->setEnabled(DifferList->currentItem() != nullptr &&
                             DifferList->currentItem()->isSelected());
    UpdateAllButton->setEnabled(!Shown_.empty());
}

void TZoneCheckForm::UpdateButtonClick() {
    const int row = DifferList->indexOfTopLevelItem(DifferList->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= Shown_.size())
        return;
    UpdatePlace(Host.Store(), Result_.Places[Shown_[static_cast<std::size_t>(row)]]);
    Updated();
}

void TZoneCheckForm::UpdateAllButtonClick() {
    for (std::size_t i : Shown_)
        UpdatePlace(Host.Store(), Result_.Places[i]);
    Updated();
}

void TZoneCheckForm::Updated() {
    RunCheck();
    (DifferList->topLevelItemCount() > 0 ? static_cast<QWidget*>(DifferList) : CloseButton)
        ->setFocus();
}

void TZoneCheckForm::keyPressEvent(QKeyEvent* e) {
    // Escape closes it as it closes every other window of the clock.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        hide();
        return;
    }
    QWidget::keyPressEvent(e);
}
