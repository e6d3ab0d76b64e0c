#include "app/AccessibleComboBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>

AccessibleComboBox::AccessibleComboBox(QComboBox* box)
    : QAccessibleWidget(box, QAccessible::ComboBox) {}

QAccessibleInterface* AccessibleComboBox::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox")) {
        if (auto* box = qobject_cast<QComboBox*>(object)) {
            return new AccessibleComboBox(box);
        }
    }
    return nullptr;
}

QComboBox* AccessibleComboBox::Box() const {
    return static_cast<QComboBox*>(widget());
}

QString AccessibleComboBox::text(QAccessible::Text t) const {
    switch (t) {
        case QAccessible::Value:
            return Box()->lineEdit() != nullptr ? Box()->lineEdit()->text() : Box()->currentText();
        case QAccessible::Accelerator:
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        default:
            // The name: the one the layout gives, or else the label's.
            return QAccessibleWidget::text(t);
    }
}

QAccessible::State AccessibleComboBox::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = Box()->view() != nullptr && Box()->view()->isVisible();
    s.editable = Box()->isEditable();
    return s;
}

int AccessibleComboBox::childCount() const {
    return Box()->lineEdit() != nullptr ? 2 : 1;
}

QAccessibleInterface* AccessibleComboBox::child(int index) const {
    if (index == 0) {
        return QAccessible::queryAccessibleInterface(Box()->view());
    }
    if (index == 1 && Box()->lineEdit() != nullptr) {
        return QAccessible::queryAccessibleInterface(Box()->lineEdit());
    }
    return nullptr;
}

int AccessibleComboBox::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) {
        return -1;
    }
    if (child->object() == Box()->view()) {
        return 0;
    }
    if (Box()->lineEdit() != nullptr && child->object() == Box()->lineEdit()) {
        return 1;
    }
    return -1;
}

QAccessibleInterface* AccessibleComboBox::childAt(int x, int y) const {
    QLineEdit* feld = Box()->lineEdit();
    if (feld != nullptr && feld->isVisible() &&
        QRect(feld->mapToGlobal(QPoint(0, 0)), feld->size()).contains(x, y)) {
        return child(1);
    }
    return nullptr;
}

QStringList AccessibleComboBox::actionNames() const {
    return {showMenuAction(), pressAction()};
}

void AccessibleComboBox::doAction(const QString& actionName) {
    if (actionName != showMenuAction() && actionName != pressAction()) {
        return;
    }
    if (Box()->view() != nullptr && Box()->view()->isVisible()) {
        Box()->hidePopup();
    } else {
        Box()->showPopup();
    }
}

QStringList AccessibleComboBox::keyBindingsForAction(const QString& /*actionName*/) const {
    return {};
}
