#include "clock/CityLabelU.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

namespace {

// A label that acts when pressed: announced as a button named after its city, with the rest of
// its hint (place, offset, time and date) as the description.
class TAccessibleCityLabel : public QAccessibleWidget {
public:
    explicit TAccessibleCityLabel(TCityLabel* label)
        : QAccessibleWidget(label, QAccessible::Button, QAccessibleActionInterface::pressAction()) {
    }

    QString text(QAccessible::Text t) const override {
        const QStringList hint = widget()->toolTip().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (t == QAccessible::Name) {
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            return hint.isEmpty() ? static_cast<QLabel*>(widget())->text() : hint.front();
        }
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return hint.mid(1).join(QStringLiteral(", "));
        return QAccessibleWidget::text(t);
    }

    void doAction(const QString& action) override {
        if (action == QAccessibleActionInterface::pressAction())
            static_cast<TCityLabel*>(widget())->Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* CityLabelInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("TCityLabel"))
        return new TAccessibleCityLabel(static_cast<TCityLabel*>(object));
    return nullptr;
}

bool IsMenuKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Menu ||
           (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier);
}

} // namespace

TCityLabel::TCityLabel(QWidget* parent, QObject* window, int id)
    : QLabel(parent), Window(window), Id_(id) {
    QAccessible::installFactory(&CityLabelInterface); // once; a second install is ignored
    setObjectName(QStringLiteral("CityLabel%1").arg(id));
    setAttribute(Qt::WA_TranslucentBackground);
    setTextFormat(Qt::PlainText);
    // The window opens the city menu for the press; its own popup must not follow.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Tab reaches it once it shows (see event): a label that takes the keyboard when its text is
    // set keeps a text document for it, and the dial makes dozens of labels at every turn.
    setFocusPolicy(Qt::NoFocus);
}

void TCityLabel::Post(QEvent::Type type, QPoint globalPos) {
    QCoreApplication::postEvent(Window, new TCityLabelEvent(type, Id_, globalPos));
}

void TCityLabel::Press() {
    Post(TCityLabelEvent::MsgCityLabelClick, mapToGlobal(rect().center()));
}

void TCityLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    e->accept();
    const QPoint at = e->globalPosition().toPoint();
    if (e->button() == Qt::LeftButton)
        Post(TCityLabelEvent::MsgCityLabelClick, at);
    else if (e->button() == Qt::RightButton)
        Post(TCityLabelEvent::MsgCityLabelMenu, at);
}

void TCityLabel::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
            Press();
            return;
        }
        break;
    default:
        // The menu opens under the label, where the keyboard is.
        if (IsMenuKey(e)) {
            Post(TCityLabelEvent::MsgCityLabelMenu, mapToGlobal(rect().bottomLeft()));
            return;
        }
        break;
    }
    QLabel::keyPressEvent(e);
}

void TCityLabel::wheelEvent(QWheelEvent* e) {
    // The face turns under the wheel wherever it is, labels included.
    if (parentWidget() != nullptr)
        QCoreApplication::sendEvent(parentWidget(), e);
}

void TCityLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!hasFocus())
        return;
    // The keyboard's place among the labels.
    QPainter p(this);
    QStyleOptionFocusRect o;
    o.initFrom(this);
    o.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
}

bool TCityLabel::event(QEvent* e) {
    if (e->type() == QEvent::Show && focusPolicy() == Qt::NoFocus)
        setFocusPolicy(Qt::TabFocus);
    if (e->type() == QEvent::ToolTip && HintSource) {
        const QString hint = HintSource(Id_);
        if (!hint.isEmpty() && hint != toolTip())
            setToolTip(hint);
    }
    return QLabel::event(e);
}
