#pragma once

#include <functional>
#include <unordered_map>

namespace fw {

// The state a command's menu item, toolbar button and accelerator show: enabled or not,
// checked or not. Update handlers fill it in; the routing starts from "enabled".
class CommandUi {
public:
    bool isEnabled() const { return m_enabled; }
    bool isChecked() const { return m_checked; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void setChecked(bool checked) { m_checked = checked; }

private:
    bool m_enabled = true;
    bool m_checked = false;
};

using CommandHandler = std::function<void()>;
using UpdateHandler = std::function<void(CommandUi &)>;

// Something that can handle commands: a view, a document, a frame, the main window or the
// application. Each keeps its own routing table of command handlers and update handlers, keyed
// by command id; the main window walks the targets in routing order (see MainWindow).
class CommandTarget {
public:
    virtual ~CommandTarget();

    void addCommand(int id, CommandHandler handler);
    void addUpdate(int id, UpdateHandler handler);
    // One handler for a range of ids (the recent-file entries); it receives the id.
    void addCommandRange(int firstId, int lastId, std::function<void(int)> handler);

    bool hasCommandHandler(int id) const;
    bool hasUpdateHandler(int id) const;
    // Runs the command handler for id; false when this target has none.
    bool invokeCommand(int id);
    // Runs the update handler for id; false when this target has none.
    bool invokeUpdate(int id, CommandUi &ui);

private:
    std::unordered_map<int, CommandHandler> m_commands;
    std::unordered_map<int, UpdateHandler> m_updates;
};

} // namespace fw
