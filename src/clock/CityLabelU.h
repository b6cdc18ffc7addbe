#pragma once

#include <QEvent>
#include <QLabel>
#include <QPoint>
#include <functional>

// What a city label posts to the main window: its city's id, and where the mouse was.
class TCityLabelEvent : public QEvent {
public:
    static constexpr QEvent::Type MsgCityLabelClick = static_cast<QEvent::Type>(1124);
    static constexpr QEvent::Type MsgCityLabelMenu = static_cast<QEvent::Type>(1125);

    TCityLabelEvent(QEvent::Type type, int id, QPoint globalPos)
        : QEvent(type), Id(id), GlobalPos(globalPos) {}
    int Id;
    QPoint GlobalPos;
};

// A city's label in the hour columns. Clicks are posted to the window, which rebuilds the
// labels only after this label's own handling has returned.
class TCityLabel : public QLabel {
    Q_OBJECT
public:
    TCityLabel(QWidget* parent, QObject* window, int id);
    int Id() const { return Id_; }
    // Asked for the hint as it is about to show, so that its time of day is the present one.
    std::function<QString(int id)> HintSource;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    QObject* Window;
    int Id_;
};
