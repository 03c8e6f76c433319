#include "platform/qt/main_view_accessible.h"

#include "platform/qt/main_view.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

namespace quelvex {
namespace {

QAccessible::Role qtRole(Role role) {
    switch (role) {
    case Role::Button: return QAccessible::Button;
    case Role::Toggle: return QAccessible::CheckBox;
    case Role::Radio: return QAccessible::RadioButton;
    case Role::Link: return QAccessible::Link;
    case Role::Field: return QAccessible::SpinBox;
    case Role::Status: return QAccessible::StatusBar;
    case Role::Text: return QAccessible::StaticText;
    case Role::Choice: return QAccessible::ComboBox;
    }
    return QAccessible::NoRole;
}

// One control of the main window. It holds only its place in the list of items, and reads the
// item afresh at every question, so it never tells anything stale.
class ControlAccessible final : public QAccessibleInterface,
                                public QAccessibleActionInterface,
                                public QAccessibleValueInterface,
                                public QAccessibleTextInterface {
  public:
    ControlAccessible(MainView* view, int index) : view_(view), index_(index) {}

    bool isValid() const override { return view_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        const AccessibleItem i = item();
        switch (t) {
        case QAccessible::Name:
            // What only shows a value is read by its name: "Status: DISABLED".
            if (i.role == Role::Status || i.role == Role::Text)
                return QString::fromStdString(i.name + ": " + i.value);
            return QString::fromStdString(i.name);
        case QAccessible::Value: return QString::fromStdString(i.value);
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const AccessibleItem i = item();
        if (!view_ || i.rect.empty()) return {};
        return {view_->mapToGlobal(QPoint(i.rect.left, i.rect.top)), QSize(i.rect.width, i.rect.height)};
    }
    QAccessible::Role role() const override { return qtRole(item().role); }
    QAccessible::State state() const override {
        const AccessibleItem i = item();
        QAccessible::State s;
        s.invisible = !i.shown;
        s.focusable = i.role != Role::Status && i.role != Role::Text;
        s.focused = i.focused;
        if (i.checked) {
            s.checkable = true;
            s.checked = *i.checked;
        }
        if (i.role == Role::Link) s.linked = true;
        if (i.role == Role::Status) s.readOnly = true;
        if (i.role == Role::Choice) {
            s.hasPopup = s.expandable = true;
            s.expanded = view_ && view_->openMenu();
            s.collapsed = !s.expanded;
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::ValueInterface && item().role == Role::Field)
            return static_cast<QAccessibleValueInterface*>(this);
        // AT-SPI has no other place for a combo box's words: readers take its text.
        if (type == QAccessible::TextInterface && item().role == Role::Choice)
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }

    // The choice's value as read-only text.
    QString text(int start, int end) const override { return text(QAccessible::Value).mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(text(QAccessible::Value).size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

    // An entry field's number.
    QVariant currentValue() const override { return view_ ? view_->keyboard().number(item().control) : 0; }
    void setCurrentValue(const QVariant& value) override {
        if (!view_) return;
        view_->keyboard().setNumber(item().control, value.toInt());
        view_->followFocus();
    }
    QVariant maximumValue() const override { return KeyboardFocus::largest(item().control); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
    QStringList actionNames() const override {
        switch (item().role) {
        case Role::Field: return {increaseAction(), decreaseAction(), setFocusAction()};
        case Role::Choice: return {showMenuAction(), pressAction(), setFocusAction()};
        case Role::Status:
        case Role::Text: return {};
        default: return {pressAction(), setFocusAction()};
        }
    }
    void doAction(const QString& name) override {
        if (!view_) return;
        KeyboardFocus& keys = view_->keyboard();
        const ControlRef control = item().control;
        if (name == pressAction() || name == toggleAction() || name == showMenuAction()) {
            keys.press(control);
        } else if (name == setFocusAction()) {
            keys.focus(control);
        } else if (name == increaseAction() || name == decreaseAction()) {
            keys.focus(control);
            keys.key(name == increaseAction() ? Key::Up : Key::Down);
        }
        view_->followFocus();
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() || name == showMenuAction()) return {QStringLiteral("Space")};
        if (name == increaseAction()) return {QStringLiteral("Up")};
        if (name == decreaseAction()) return {QStringLiteral("Down")};
        return {};
    }

  private:
    AccessibleItem item() const {
        if (!view_) return {};
        auto items = view_->keyboard().accessibleItems();
        return static_cast<std::size_t>(index_) < items.size() ? items[static_cast<std::size_t>(index_)]
                                                               : AccessibleItem{};
    }

    QPointer<MainView> view_;
    int index_;
};

// The window itself: its children are the controls, not the widgets it paints them on.
class ViewAccessible final : public QAccessibleWidget {
  public:
    explicit ViewAccessible(MainView* view) : QAccessibleWidget(view, QAccessible::Window), view_(view) {
        const int n = static_cast<int>(view->keyboard().accessibleItems().size());
        for (int i = 0; i < n; ++i) {
            auto* child = new ControlAccessible(view, i);
            children_.push_back(QAccessible::registerAccessibleInterface(child));
        }
    }
    ~ViewAccessible() override {
        for (QAccessible::Id id : children_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(children_.size()); }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < childCount()
                   ? QAccessible::accessibleInterface(children_[static_cast<std::size_t>(index)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < children_.size(); ++i)
            if (QAccessible::accessibleInterface(children_[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = view_->mapFromGlobal(QPoint(x, y));
        const auto items = view_->keyboard().accessibleItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].shown && items[i].rect.contains(Point{p.x(), p.y()}))
                return child(static_cast<int>(i));
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const auto items = view_->keyboard().accessibleItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].focused) return child(static_cast<int>(i));
        return nullptr;
    }

  private:
    MainView* view_;
    std::vector<QAccessible::Id> children_;
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<MainView*>(object)) return new ViewAccessible(view);
    return nullptr;
}

} // namespace

void installMainViewAccessibility() {
    static const bool installed = (QAccessible::installFactory(factory), true);
    (void)installed;
}

void tellMainViewAccessibility(MainView& view, std::vector<AccessibleItem>& told) {
    if (!QAccessible::isActive()) {
        told.clear();
        return;
    }
    auto now = view.keyboard().accessibleItems();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&view);
    if (!window || told.size() != now.size()) {
        told = std::move(now);
        return;
    }
    for (const AccessibleChange& c : accessibleChanges(told, now)) {
        QAccessibleInterface* control = window->child(static_cast<int>(c.index));
        if (!control) continue;
        const Role role = now[c.index].role;
        if (c.name || (c.value && (role == Role::Status || role == Role::Text))) {
            QAccessibleEvent event(control, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (c.value) {
            QAccessibleValueChangeEvent event(control, QString::fromStdString(now[c.index].value));
            QAccessible::updateAccessibility(&event);
        }
        if (c.state) {
            QAccessible::State changed;
            changed.checked = told[c.index].checked != now[c.index].checked;
            changed.invisible = told[c.index].shown != now[c.index].shown;
            QAccessibleStateChangeEvent event(control, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i].focused && !told[i].focused) {
            QAccessibleEvent event(window->child(static_cast<int>(i)), QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
    told = std::move(now);
}

} // namespace quelvex
