#pragma once

#include "gui/GUIButton.hpp"
#include "gui/MenuFocus.hpp"
#include "gui/MenuPage.hpp"
#include "gui/Text.hpp"

#include <glm/mat4x4.hpp>

#include <memory>
#include <string>
#include <vector>

namespace fennik::gui {

// Where a list page puts its rows, in reference units from the middle of the window.
struct ListLayout {
    glm::vec2 rowSize;
    float rowStep;      // from one row's centre to the next
    float firstRow;     // the first row's centre above the middle
    float titleY;       // the title's baseline above the middle
    float captionScale;
};

// A page that lists one button a row under its title, "Back" half a step below the
// last (the replays, the levels). A click, Enter or South picks a row; Escape (on its
// release), East or "Back" closes the page. The focus starts on nothing each time the
// page opens, and a click that opened it is not a click on it.
class ListPage {
public:
    virtual ~ListPage() = default;

    bool isOpen() const { return shown; }
    void back() { shown = false; }
    void onKey(int key, int action);
    void onGamepadButton(int button, int action);

    // The caption of every row shown, top to bottom, "Back" last.
    std::vector<std::string> captions() const;
    // The buttons of those rows, in the same order.
    std::vector<GUIButton*> buttons() const;

protected:
    // Needs a current context. `rowCount` rows at the most, besides "Back".
    ListPage(const char* titleText, std::size_t rowCount, const ListLayout& layout);

    // Shows the first `count` rows (their captions set by the caller) and "Back".
    void show(std::size_t count);
    // The window's frame, raised so no caption is unreadably small and then shrunk
    // where the page would not fit.
    UiFrame pageFrame(const UiFrame& frame) const;
    // The dimmed picture, the title and the rows shown; a row clicked is picked.
    void drawRows(const glm::mat4& projection, const UiFrame& page);
    // Row `index` was clicked or pressed; `rowCount` is "Back".
    virtual void pick(std::size_t index) = 0;

    std::vector<std::unique_ptr<GUIButton>> rows; // the rows, then "Back"
    std::size_t shownRows = 0;
    ListLayout layout;

private:
    std::unique_ptr<MenuFocus> focus;
    Text title;
    EdgeClicks clicks;
    bool shown = false;
};

} // namespace fennik::gui
