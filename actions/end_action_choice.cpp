// The choice of what the end of a count does: the caption over the printed one, its mark, the
// status row's name, and the menu of the actions this computer allows.
#include "core/form1.h"

#include "ui/language.h"

namespace quelvex {
namespace {

Image captionPicture(EndAction action, bool english) {
    const int first = static_cast<int>(english ? Image::act_en_poweroff : Image::act_es_poweroff);
    return static_cast<Image>(first + static_cast<int>(action));
}

Image rowPicture(EndAction action, bool english) {
    const int first = static_cast<int>(english ? Image::row_en_poweroff : Image::row_es_poweroff);
    return static_cast<Image>(first + static_cast<int>(action));
}

bool isEndAction(EndAction action) { return static_cast<int>(action) < kEndActionCount; }

// Menu entries read as sentences: "Restart the computer".
std::string sentenceCase(std::string_view caption) {
    std::string out(caption);
    for (std::size_t i = 1; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
        // Latin capitals with a mark (two bytes, C3 80..9E) have their small letter 0x20 above.
        if (c == 0xC3 && i + 1 < out.size()) {
            const auto n = static_cast<unsigned char>(out[i + 1]);
            if (n >= 0x80 && n <= 0x9E && n != 0x97) out[i + 1] = static_cast<char>(n + 0x20);
            ++i;
        }
    }
    return out;
}

} // namespace

// The printed caption and row name stand for the power-off; another action is laid over them.
void TForm1::showEndAction() {
    const bool english = isEnglish(s_.language);
    const bool other = s_.endAction != EndAction::PowerOff;
    face_.setPicture(Image::endaction, other ? captionPicture(s_.endAction, english) : kNoPicture);
    face_.setPicture(Image::endactionrow, other ? rowPicture(s_.endAction, english) : kNoPicture);
    face_.setPicture(Image::endactionmark, other || s_.endActionHovered ? Image::actmark : kNoPicture);
    face_.setChoiceText(endActionCaption(s_.endAction, s_.language));
}

void TForm1::endactionMouseDown() {
    s_.endActionPending = 2;
    svc_.power.findAllowed();
}

void TForm1::endactionMouseEnter() {
    s_.endActionHovered = 1;
    showEndAction();
}

void TForm1::endactionMouseLeave() {
    s_.endActionHovered = 0;
    showEndAction();
}

void TForm1::endActionChosen(EndAction action) {
    if (!isEndAction(action)) return;
    s_.endAction = action;
    showEndAction();
}

void TForm1::endActionStep(int direction) {
    s_.endActionPending = direction < 0 ? -1 : 1;
    svc_.power.findAllowed();
}

// The chosen action stays listed even where the computer no longer allows it, so the menu always
// shows what is chosen.
void TForm1::allowedActionsFound(ActionSet allowed) {
    s_.allowedActions = static_cast<ActionSet>((allowed | kAlwaysAllowed) & kEveryAction);
    const int pending = s_.endActionPending;
    s_.endActionPending = 0;
    const ActionSet offered = s_.allowedActions | actionBit(s_.endAction);
    if (pending == 2) {
        openEndActionMenu();
    } else if (pending == -1 || pending == 1) {
        for (int i = static_cast<int>(s_.endAction) + pending; i >= 0 && i < kEndActionCount; i += pending) {
            if (contains(offered, static_cast<EndAction>(i))) {
                endActionChosen(static_cast<EndAction>(i));
                break;
            }
        }
    }
}

void TForm1::openEndActionMenu() {
    // A menu under a folded panel would point at nothing.
    if (!face_.visible(Image::endaction)) return;
    const ActionSet offered = s_.allowedActions | actionBit(s_.endAction);
    std::vector<MenuItem> items;
    for (int i = 0; i < kEndActionCount; ++i) {
        const auto action = static_cast<EndAction>(i);
        if (contains(offered, action))
            items.push_back({i, sentenceCase(endActionCaption(action, s_.language)), action == s_.endAction});
    }
    face_.requestMenu(Image::endaction, std::move(items));
}

} // namespace quelvex
