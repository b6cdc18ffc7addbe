#include "manage/ZonePickerU.h"

#include "ClockHostU.h"
#include "manage/DSTPanelU.h"
#include "ui_ZonePickerForm.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

TZonePickerForm::TZonePickerForm(TClockHost& host, QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::ZonePickerForm>()), Host(host) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("ZonePickerForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont face(QStringLiteral("Arial")); // the face of the window it is opened from
    face.setPixelSize(12);
    setFont(face);
    ZoneSearchEdit = Ui_->ZoneSearchEdit;
    ZoneListBox = Ui_->ZoneListBox;
    PreviewLabel = Ui_->PreviewLabel;
    OkButton = Ui_->OkButton;
    CancelButton = Ui_->CancelButton;
    // The edit's clear button is Qt's own and has no words of its own.
    for (QToolButton* b : ZoneSearchEdit->findChildren<QToolButton*>())
        b->setAccessibleName(tr("Clear search"));

    connect(ZoneSearchEdit, &QLineEdit::textChanged, this, &TZonePickerForm::ZoneSearchEditChange);
    connect(ZoneListBox, &QListWidget::currentRowChanged, this, &TZonePickerForm::ZoneListBoxClick);
    connect(ZoneListBox, &QListWidget::itemDoubleClicked, this,
            &TZonePickerForm::ZoneListBoxDblClick);
    connect(OkButton, &QPushButton::clicked, this, &TZonePickerForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // The arrows and page keys move through the list while the keyboard stays in the search.
    ZoneSearchEdit->installEventFilter(this);
}

TZonePickerForm::~TZonePickerForm() = default;

void TZonePickerForm::Prepare(const std::string& countryCode) {
    Zones = ZonesCountryFirst(ListZones(), ZoneCountryCode(countryCode));
    {
        const QSignalBlocker quiet(ZoneSearchEdit);
        ZoneSearchEdit->clear();
    }
    FillList();
    ZoneSearchEdit->setFocus();
    if (Zones.empty())
        ShowPreview(tr("No time zones found in %1").arg(QString::fromStdString(ZoneInfoDir())));
}

std::string TZonePickerForm::SelectedZone() const {
    const int row = ZoneListBox->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= Rows.size())
        return {};
    return Zones[Rows[static_cast<std::size_t>(row)]].Name;
}

void TZonePickerForm::FillList() {
    Rows = FilterZones(Zones, ZoneSearchEdit->text().toStdString());
    {
        const QSignalBlocker quiet(ZoneListBox);
        ZoneListBox->clear();
        for (std::size_t i : Rows)
            ZoneListBox->addItem(QString::fromStdString(ZoneLineText(Zones[i])));
        // The best match is taken by Ok without a click.
        ZoneListBox->setCurrentRow(Rows.empty() ? -1 : 0);
    }
    ZoneListBox->scrollToTop();
    ZoneListBoxClick();
}

void TZonePickerForm::ShowPreview(const QString& text) {
    PreviewLabel->setText(text);
    // The label is named "Preview"; what it shows is read as its description.
    PreviewLabel->setAccessibleDescription(text);
}

void TZonePickerForm::ZoneSearchEditChange() {
    FillList();
}

void TZonePickerForm::ZoneListBoxClick() {
    const std::string name = SelectedZone();
    Pick_.reset();
    if (name.empty()) {
        ShowPreview(QString());
    } else {
        const std::int64_t now = UnixSeconds(Host.Platform().Clock->NowUtc());
        const TZoneDerivation zone = DeriveZone(name, now);
        Pick_ = PickOfZone(zone);
        ShowPreview(QString::fromStdString(DescribeZone(zone, Host.LocaleFacts())));
    }
    OkButton->setEnabled(Pick_.has_value());
}

void TZonePickerForm::ZoneListBoxDblClick() {
    if (Pick_)
        accept();
}

void TZonePickerForm::OkButtonClick() {
    if (Pick_)
        accept();
}

bool TZonePickerForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == ZoneSearchEdit && e->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(ZoneListBox, e);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void PickZoneForPage(TClockHost& host, QWidget* page, const std::string& countryCode,
                     QLineEdit* offsetEdit, TDSTPanel& panel, std::function<void()> changed,
                     std::function<void(const std::string& zone)> zoneChosen) {
    auto* picker = new TZonePickerForm(host, page->window());
    picker->setAttribute(Qt::WA_DeleteOnClose);
    picker->Prepare(countryCode);
    QObject::connect(picker, &QDialog::accepted, offsetEdit,
                     [picker, offsetEdit, &panel, changed = std::move(changed),
                      zoneChosen = std::move(zoneChosen)] {
                         const std::optional<TZonePick> pick = picker->Pick();
                         if (!pick)
                             return;
                         std::string offset;
                         TDSTPanelState p = panel.Read();
                         ShowZonePick(*pick, offset, p, panel.Context());
                         offsetEdit->setText(QString::fromStdString(offset));
                         panel.Show(p);
                         if (zoneChosen)
                             zoneChosen(picker->SelectedZone());
                         changed();
                     });
    picker->open();
}
