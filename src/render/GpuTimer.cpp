#include "render/GpuTimer.hpp"

namespace fennik::render {

bool GpuTimer::collect(Slot& slot)
{
    const GLuint last = slot.queries[slot.names.size()].id();
    GLint available = 0;
    glGetQueryObjectiv(last, GL_QUERY_RESULT_AVAILABLE, &available);
    if (!available)
        return false;
    // Results of one context arrive in order: when the last is there, all are.
    std::vector<PassTime> result;
    GLuint64 previous = 0;
    glGetQueryObjectui64v(slot.queries[0].id(), GL_QUERY_RESULT, &previous);
    for (std::size_t i = 0; i < slot.names.size(); ++i) {
        GLuint64 stamp = 0;
        glGetQueryObjectui64v(slot.queries[i + 1].id(), GL_QUERY_RESULT, &stamp);
        result.push_back({slot.names[i], static_cast<double>(stamp - previous) * 1e-6});
        previous = stamp;
    }
    lastResult = std::move(result);
    slot.pending = false;
    ++measured;
    return true;
}

void GpuTimer::beginFrame()
{
    current = nullptr;
    Slot& slot = slots[static_cast<std::size_t>(next)];
    // A slot still in flight after a whole ring of frames is skipped, not waited for:
    // this frame goes untimed.
    if (slot.pending && !collect(slot))
        return;
    next = (next + 1) % framesInFlight;
    current = &slot;
    slot.names.clear();
    glQueryCounter(slot.queries[0].id(), GL_TIMESTAMP);
}

void GpuTimer::mark(const std::string& name)
{
    if (!current || current->names.size() >= maxPasses)
        return;
    current->names.push_back(name);
    glQueryCounter(current->queries[current->names.size()].id(), GL_TIMESTAMP);
}

void GpuTimer::endFrame()
{
    if (!current)
        return;
    current->pending = !current->names.empty();
    current = nullptr;
    // Pick up, oldest first, whatever earlier frames have finished since; the frame
    // just issued is left for later.
    for (int age = 0; age < framesInFlight - 1; ++age) {
        Slot& slot = slots[static_cast<std::size_t>((next + age) % framesInFlight)];
        if (slot.pending && !collect(slot))
            break;
    }
}

double GpuTimer::latestTotal() const
{
    double total = 0.0;
    for (const PassTime& pass : lastResult)
        total += pass.milliseconds;
    return total;
}

} // namespace fennik::render
