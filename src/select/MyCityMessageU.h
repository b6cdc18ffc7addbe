#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class MyCityMessageForm;
}

// The first start's word on what My City is; its Ok leads on to the Select City dialog.
class TMyCityMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TMyCityMessageForm(QWidget* parent = nullptr);
    ~TMyCityMessageForm() override;

    QWidget* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    std::unique_ptr<Ui::MyCityMessageForm> Ui_;
};

// The picture of the message window: a globe with a pin on it, 120 x 105.
QImage MyCityPicture();
