#include "widgets/AccessibilityU.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

// A combo box whose name is its label's caption and whose value is its current text.
class TAccessibleComboBox : public QAccessibleWidget {
public:
    explicit TAccessibleComboBox(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return Combo()->currentText();
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        // The accessible name, else the caption of the label whose buddy it is.
        const QString name = QAccessibleWidget::text(t);
        return name.isEmpty() ? Combo()->currentText() : name;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Combo()->view() != nullptr && Combo()->view()->isVisible();
        s.editable = Combo()->isEditable();
        return s;
    }

    // The list that drops down, then the edit of an editable one, as Qt's own interface has it.
    int childCount() const override { return Combo()->lineEdit() != nullptr ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0 && Combo()->view() != nullptr)
            return QAccessible::queryAccessibleInterface(Combo()->view());
        if (index == 1 && Combo()->lineEdit() != nullptr)
            return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        if (c == nullptr)
            return -1;
        if (Combo()->view() != nullptr && c->object() == Combo()->view())
            return 0;
        if (Combo()->lineEdit() != nullptr && c->object() == Combo()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QLineEdit* edit = Combo()->lineEdit();
        if (edit != nullptr && edit->isVisible() &&
            QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
            return QAccessible::queryAccessibleInterface(edit);
        return nullptr;
    }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::showMenuAction(),
                QAccessibleActionInterface::pressAction(),
                QAccessibleActionInterface::setFocusAction()};
    }
    void doAction(const QString& action) override {
        if (action == QAccessibleActionInterface::setFocusAction()) {
            Combo()->setFocus();
            return;
        }
        if (action != QAccessibleActionInterface::showMenuAction() &&
            action != QAccessibleActionInterface::pressAction())
            return;
        if (Combo()->view() != nullptr && Combo()->view()->isVisible())
            Combo()->hidePopup();
        else
            Combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox"))
        return new TAccessibleComboBox(static_cast<QComboBox*>(object));
    // Reached for widgets of classes without an interface of their own.
    if (className == QLatin1String("QWidget") && object->isWidgetType() &&
        static_cast<QWidget*>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces() {
    // The factories installed last are asked first, so these come before Qt's own.
    QAccessible::installFactory(&Factory);
}

void NameComboEdits(QWidget* root) {
    for (QComboBox* combo : root->findChildren<QComboBox*>())
        if (combo->lineEdit() != nullptr && combo->lineEdit()->accessibleName().isEmpty())
            combo->lineEdit()->setAccessibleName(combo->accessibleName());
}
