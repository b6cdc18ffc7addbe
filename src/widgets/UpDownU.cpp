#include "UpDownU.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Up = new QToolButton(this);
    Up->setArrowType(Qt::UpArrow);
    Up->setAccessibleName(tr("Up"));
    Down = new QToolButton(this);
    Down->setArrowType(Qt::DownArrow);
    Down->setAccessibleName(tr("Down"));
    for (QToolButton* b : {Up, Down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus); // the edit keeps the keyboard
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    connect(Up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(Down, &QToolButton::clicked, this, [this] { Step(-1); });
    setFixedWidth(16);
}

void TUpDown::SetAssociate(QLineEdit* edit) {
    Edit = edit;
    if (Edit == nullptr)
        return;
    if (parentWidget() == Edit->parentWidget()) {
        const QRect g = Edit->geometry();
        setGeometry(g.right() + 1, g.top(), width(), g.height());
    }
    if (!Edit->accessibleName().isEmpty()) {
        Up->setAccessibleName(Edit->accessibleName() + tr(" up"));
        Down->setAccessibleName(Edit->accessibleName() + tr(" down"));
    }
}

void TUpDown::SetRange(int min, int max) {
    Min_ = min;
    Max_ = max;
    Position_ = std::clamp(Position_, Min_, Max_);
}

void TUpDown::SetPosition(int position) {
    Position_ = std::clamp(position, Min_, Max_);
}

void TUpDown::Step(int delta) {
    // The edit may have been typed into since the last click: it is what the user sees.
    if (Edit != nullptr) {
        bool ok = false;
        const int shown = Edit->text().trimmed().toInt(&ok);
        if (ok)
            Position_ = std::clamp(shown, Min_, Max_);
    }
    Position_ = std::clamp(Position_ + delta, Min_, Max_);
    if (Edit != nullptr)
        Edit->setText(QString::number(Position_));
    emit Clicked(delta > 0);
}
