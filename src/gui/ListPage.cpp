#include "gui/ListPage.hpp"

#include "gui/TextRenderer.hpp"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace fennik::gui {

ListPage::ListPage(const char* titleText, std::size_t rowCount, const ListLayout& pageLayout)
    : layout(pageLayout), title(&TextRenderer::instance(), titleText)
{
    for (std::size_t index = 0; index <= rowCount; ++index) {
        const bool isBack = index == rowCount;
        const float y = layout.firstRow - static_cast<float>(index) * layout.rowStep - (isBack ? layout.rowStep * 0.5f : 0.0f);
        rows.push_back(std::make_unique<GUIButton>(Anchor::Centre, glm::vec2(0.0f, y), isBack ? "Back" : "",
                                                   layout.captionScale, layout.rowSize));
        styleButton(*rows.back());
        rows.back()->onClick = [this, index] { pick(index); };
    }
}

void ListPage::show(std::size_t count)
{
    shownRows = std::min(count, rows.size() - 1);
    // The last opening's light goes with its focus.
    if (focus)
        focus->clear();
    std::vector<GUIElement*> order;
    for (std::size_t index = 0; index < shownRows; ++index)
        order.push_back(rows[index].get());
    order.push_back(rows.back().get());
    focus = std::make_unique<MenuFocus>(order);
    shown = true;
    clicks.reset();
}

UiFrame ListPage::pageFrame(const UiFrame& frame) const
{
    const float readable = UiFrame::smallestCaption / Text::pixelsOf(layout.captionScale);
    // From the title's top to the bottom of "Back".
    const glm::vec2 extent(layout.rowSize.x, 2.0f * (layout.titleY + 28.0f));
    return frame.scaledTo(frame.scaledTo(std::max(frame.scale, readable)).fittingScale(extent));
}

void ListPage::drawRows(const glm::mat4& projection, const UiFrame& page)
{
    drawDimmedPage(projection, page, title, layout.titleY);
    clicks.poll();
    for (std::size_t index = 0; index < rows.size() && shown; ++index) {
        if (index >= shownRows && index + 1 < rows.size())
            continue;
        GUIButton& row = *rows[index];
        const auto click = std::exchange(row.onClick, nullptr);
        row.draw(projection, page); // lays out, updates the hover state and draws
        row.onClick = click;
        if (row.hoverState == 0 && clicks.left())
            click();
    }
}

void ListPage::onKey(int key, int action)
{
    if (!shown || !focus)
        return;
    if (key == GLFW_KEY_ESCAPE) {
        if (action == GLFW_RELEASE)
            back();
        return;
    }
    focus->onKey(key, action);
}

void ListPage::onGamepadButton(int button, int action)
{
    if (!shown || !focus || action != GLFW_PRESS)
        return;
    if (button == GLFW_GAMEPAD_BUTTON_B)
        back();
    else
        focus->onGamepadButton(button, action);
}

std::vector<std::string> ListPage::captions() const
{
    std::vector<std::string> all;
    for (const GUIButton* row : buttons())
        all.push_back(row->label.text);
    return all;
}

std::vector<GUIButton*> ListPage::buttons() const
{
    std::vector<GUIButton*> all;
    for (std::size_t index = 0; index < shownRows; ++index)
        all.push_back(rows[index].get());
    all.push_back(rows.back().get());
    return all;
}

} // namespace fennik::gui
