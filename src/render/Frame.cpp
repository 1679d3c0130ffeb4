#include "render/Frame.hpp"

#include "core/Log.hpp"
#include "render/GpuTimer.hpp"

#include <algorithm>
#include <utility>

namespace fennik::render {

Frame::Frame(std::vector<Pass> passes) : list(std::move(passes))
{
    std::vector<std::string> written;
    for (const Pass& pass : list) {
        if (pass.name.empty() || !pass.draw) {
            log::error("Frame pass '", pass.name, "' has no name or nothing to draw");
            ordered = false;
        }
        for (const std::string& image : pass.reads)
            if (std::find(written.begin(), written.end(), image) == written.end()) {
                log::error("Frame pass '", pass.name, "' reads '", image, "' before any pass writes it");
                ordered = false;
            }
        written.insert(written.end(), pass.writes.begin(), pass.writes.end());
    }
}

void Frame::run(GpuTimer* timer) const
{
    if (timer)
        timer->beginFrame();
    for (const Pass& pass : list) {
        if (!pass.draw || (pass.runsWhen && !pass.runsWhen()))
            continue;
        pass.draw();
        if (timer)
            timer->mark(pass.name);
    }
    if (timer)
        timer->endFrame();
}

std::vector<std::string> Frame::names() const
{
    std::vector<std::string> result;
    for (const Pass& pass : list)
        result.push_back(pass.name);
    return result;
}

} // namespace fennik::render
