// The menu the face asks for (the end action's): a popup under its control, whose pick goes back
// to the model.
#include "platform/qt/main_view.h"

#include <QAction>
#include <QMenu>
#include <QPalette>

namespace quelvex {

void MainView::showMenu() {
    if (menu_) menu_->close();
    const MenuRequest& request = face_.menu();
    const QRect anchor = controlRect(request.anchor);
    if (anchor.isEmpty() || request.items.empty() || !isVisible()) return;

    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // In the options panel's colours, as the face's own captions are.
    QPalette colours = menu->palette();
    const QColor panel(0x25, 0x27, 0x52), caption(0xBD, 0xB7, 0xE8);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        colours.setColor(role, panel);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        colours.setColor(role, caption);
    colours.setColor(QPalette::Highlight, QColor(0x4A, 0x4E, 0x96));
    colours.setColor(QPalette::HighlightedText, Qt::white);
    menu->setPalette(colours);
    QAction* current = nullptr;
    for (const MenuItem& item : request.items) {
        QAction* action = menu->addAction(QString::fromStdString(item.label));
        action->setCheckable(true);
        action->setChecked(item.checked);
        action->setData(item.id);
        if (item.checked) current = action;
    }
    connect(menu, &QMenu::triggered, this,
            [this](QAction* action) { events_.endActionChosen(static_cast<EndAction>(action->data().toInt())); });
    // The popup takes the pointer from the press that opened it: its release never comes here.
    pointer_.releaseLostPress();
    menu_ = menu;
    menu->popup(mapToGlobal(QPoint(anchor.left(), anchor.top() + anchor.height())));
    // Up and Down then move on from what is chosen, as in a combo box.
    if (current) menu->setActiveAction(current);
}

// A menu whose control went (the options folded, the window hid for a capture) would point at
// nothing.
void MainView::followMenu() {
    if (openMenu() && (controlRect(face_.menu().anchor).isEmpty() || !isVisible())) menu_->close();
}

} // namespace quelvex
