#pragma once

#include <QAccessibleWidget>

class QComboBox;

// What a screen reader learns of a combo box: its name is its label's
// ("Preisliste:"), its value the entry shown ("Ab Hof"). The toolkit's own
// interface names a combo box on Linux by its entry, so that the user hears
// the value and never what it is the value of.
class AccessibleComboBox : public QAccessibleWidget {
  public:
    explicit AccessibleComboBox(QComboBox* box);

    // For QAccessible::installFactory.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    // The list of entries and, in a box with an edit field, the field.
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    // Opening and closing the list.
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

  private:
    QComboBox* Box() const;
};
