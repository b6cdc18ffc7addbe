#include "changes/ClockChangesFormU.h"

#include "ui_ClockChangesForm.h"
#include "widgets/QtTextU.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

TClockChangesForm::TClockChangesForm(TClockHost& host, QWidget* parent)
    : QDialog(parent), Ui_(std::make_unique<Ui::ClockChangesForm>()), Host(host) {
    Ui_->setupUi(this);
    setObjectName(QStringLiteral("ClockChangesForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(560, 400);
    ChangesLabel = Ui_->ChangesLabel;
    ChangesListBox = Ui_->ChangesListBox;
    CloseButton = Ui_->CloseButton;
    ChangesListBox->setAccessibleName(QStringLiteral("Clock changes"));
    ChangesListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(CloseButton, &QPushButton::clicked, this, &TClockChangesForm::CloseButtonClick);
    // Edits in the data window, a new day and a change that has passed all show within a
    // second; nothing is rebuilt while the lines stay the same.
    ChangesTimer = new QTimer(this);
    ChangesTimer->setObjectName(QStringLiteral("ChangesTimer"));
    ChangesTimer->setInterval(1000);
    connect(ChangesTimer, &QTimer::timeout, this, &TClockChangesForm::ChangesTimerTimer);
}

TClockChangesForm::~TClockChangesForm() = default;

void TClockChangesForm::Refresh() {
    const TDateTime now = Host.Platform().Clock->NowUtc();
    std::vector<TClockChangeEntry> entries = ClockChangeEntries(
        Host.Store().Data(), now, ClockChangeDays, Host.DisplayOptions().TimeStyle == 1);
    if (Built && entries == Shown)
        return;
    Built = true;
    const int row = std::max(ChangesListBox->currentRow(), 0);
    Shown = std::move(entries);
    ChangesListBox->clear();
    for (const TClockChangeEntry& e : Shown) {
        QString text = ToQ(e.Text);
        if (!e.Detail.empty())
            text += QStringLiteral("\n") + ToQ(e.Detail);
        ChangesListBox->addItem(text);
    }
    if (Shown.empty())
        ChangesListBox->addItem(QStringLiteral("Choose My City and the cities on the dial to see "
                                               "their clock changes here"));
    ChangesListBox->setCurrentRow(std::min(row, ChangesListBox->count() - 1));
}

void TClockChangesForm::CloseButtonClick() {
    hide();
}

void TClockChangesForm::ChangesTimerTimer() {
    if (isVisible())
        Refresh();
}

void TClockChangesForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Refresh();
    ChangesTimer->start();
}

void TClockChangesForm::hideEvent(QHideEvent* e) {
    ChangesTimer->stop();
    QDialog::hideEvent(e);
}
