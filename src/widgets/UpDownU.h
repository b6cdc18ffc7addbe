#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Two arrows bound to an edit: each click reads the edit's number, steps it to the next whole
// number up or down within the range (no wrap) and writes it back; Up and Down in the edit do
// the same. Typing into the edit is not limited by the arrows.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    // The edit whose text the arrows step; the arrows stand at its right edge.
    void SetAssociate(QLineEdit* edit);
    void SetRange(int min, int max);
    int Min() const { return Min_; }
    int Max() const { return Max_; }
    // The arrows' own value; set by a click and by the windows when they fill the edit.
    int Position() const { return Position_; }
    void SetPosition(int position);

    // Steps as a click on an arrow does.
    void StepUp() { Step(1); }
    void StepDown() { Step(-1); }

signals:
    // After a click (or Up or Down in the edit) has written the edit.
    void Clicked(bool up);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Step(int delta);
    static int NextWholeNumber(double shown, int delta);

    QLineEdit* Edit = nullptr;
    QToolButton* Up = nullptr;
    QToolButton* Down = nullptr;
    int Min_ = 0;
    int Max_ = 100;
    int Position_ = 0;
};
