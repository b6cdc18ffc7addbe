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
// labels only after this label's own handling has returned. The keyboard reaches it by Tab:
// Enter (or Space) acts as a left click, the Menu key and Shift+F10 as a right click.
class TCityLabel : public QLabel {
    Q_OBJECT
public:
    TCityLabel(QWidget* parent, QObject* window, int id);
    int Id() const { return Id_; }
    // Posts what a left click posts.
    void Press();
    // Asked for the hint as it is about to show, so that its time of day is the present one.
    std::function<QString(int id)> HintSource;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;

private:
    void Post(QEvent::Type type, QPoint globalPos);

    QObject* Window;
    int Id_;
};
