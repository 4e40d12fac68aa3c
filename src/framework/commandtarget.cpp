#include "framework/commandtarget.h"

namespace fw {

CommandTarget::~CommandTarget() = default;

void CommandTarget::addCommand(int id, CommandHandler handler) {
    m_commands[id] = std::move(handler);
}

void CommandTarget::addUpdate(int id, UpdateHandler handler) {
    m_updates[id] = std::move(handler);
}

void CommandTarget::addCommandRange(int firstId, int lastId, std::function<void(int)> handler) {
    for (int id = firstId; id <= lastId; ++id) {
        m_commands[id] = [handler, id] { handler(id); };
    }
}

bool CommandTarget::hasCommandHandler(int id) const {
    return m_commands.contains(id);
}

bool CommandTarget::hasUpdateHandler(int id) const {
    return m_updates.contains(id);
}

bool CommandTarget::invokeCommand(int id) {
    const auto found = m_commands.find(id);
    if (found == m_commands.end()) {
        return false;
    }
    // Copy: the handler may replace or remove its own entry while it runs.
    const CommandHandler handler = found->second;
    handler();
    return true;
}

bool CommandTarget::invokeUpdate(int id, CommandUi &ui) {
    const auto found = m_updates.find(id);
    if (found == m_updates.end()) {
        return false;
    }
    found->second(ui);
    return true;
}

} // namespace fw
