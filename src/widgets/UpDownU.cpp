#include "widgets/UpDownU.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

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
    if (Edit != nullptr)
        Edit->removeEventFilter(this);
    Edit = edit;
    if (Edit == nullptr)
        return;
    Edit->installEventFilter(this); // Up and Down in the edit step as the arrows do
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

bool TUpDown::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Edit && e->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

int TUpDown::NextWholeNumber(double shown, int delta) {
    // A fraction steps to the whole number beside it: 5.5 goes up to 6 and down to 5.
    if (shown != std::floor(shown))
        return static_cast<int>(delta > 0 ? std::ceil(shown) : std::floor(shown));
    return static_cast<int>(shown) + delta;
}

void TUpDown::Step(int delta) {
    // The edit may have been typed into since the last click: it is what the user sees.
    bool stepped = false;
    if (Edit != nullptr) {
        // Offsets are written with the locale's separator, a comma in many places.
        QString text = Edit->text().trimmed();
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double shown = text.toDouble(&ok);
        if (ok && std::isfinite(shown)) {
            const double inRange = std::clamp(shown, double(Min_), double(Max_));
            Position_ = std::clamp(NextWholeNumber(inRange, delta), Min_, Max_);
            stepped = true;
        }
    }
    if (!stepped)
        Position_ = std::clamp(Position_ + delta, Min_, Max_);
    if (Edit != nullptr)
        Edit->setText(QString::number(Position_));
    emit Clicked(delta > 0);
}
