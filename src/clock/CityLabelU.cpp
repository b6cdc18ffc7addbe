#include "CityLabelU.h"

#include <QCoreApplication>
#include <QMouseEvent>

TCityLabel::TCityLabel(QWidget* parent, QObject* window, int id)
    : QLabel(parent), Window(window), Id_(id) {
    setObjectName(QStringLiteral("CityLabel%1").arg(id));
    setAttribute(Qt::WA_TranslucentBackground);
    // The window opens the city menu for the press; its own popup must not follow.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void TCityLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    e->accept();
    const QPoint at = e->globalPosition().toPoint();
    if (e->button() == Qt::LeftButton)
        QCoreApplication::postEvent(
            Window, new TCityLabelEvent(TCityLabelEvent::MsgCityLabelClick, Id_, at));
    else if (e->button() == Qt::RightButton)
        QCoreApplication::postEvent(
            Window, new TCityLabelEvent(TCityLabelEvent::MsgCityLabelMenu, Id_, at));
}

bool TCityLabel::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && HintSource) {
        const QString hint = HintSource(Id_);
        if (!hint.isEmpty() && hint != toolTip())
            setToolTip(hint);
    }
    return QLabel::event(e);
}
