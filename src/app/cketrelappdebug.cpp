// The debugger's commands of the application: they reach the open project's debug run from
// any window.
#include "app/cketrelapp.h"

#include "app/cmainframe.h"
#include "app/debugging.h"
#include "editors/breakpointstore.h"
#include "framework/commandids.h"
#include "framework/commandtarget.h"

void CKetrelApp::registerDebugCommands() {
    // Breakpoints stay in the application's settings.
    BreakpointStore::instance().setProfile(&profile());
    Debugging::Context context;
    context.project = [this] { return GetProjectDoc(); };
    context.activeView = [this] { return m_mainFrame ? m_mainFrame->activeView() : nullptr; };
    context.mainWindow = [this]() -> QWidget * { return m_mainFrame.get(); };
    context.statusMessage = [this](const QString &text) { setMessageText(text); };
    m_debugging = std::make_unique<Debugging>(context);
    Debugging &debugging = *m_debugging;

    addCommand(CommandId::DebugApplication, [&debugging] { debugging.DebugApplication(); });
    addCommand(CommandId::DebugContinue, [&debugging] { debugging.Continue(); });
    addCommand(CommandId::StepOver, [&debugging] { debugging.Step(javaservice::StepDepth::Over); });
    addCommand(CommandId::StepInto, [&debugging] { debugging.Step(javaservice::StepDepth::Into); });
    addCommand(CommandId::StepOut, [&debugging] { debugging.Step(javaservice::StepDepth::Out); });
    addCommand(CommandId::StopDebugging, [&debugging] { debugging.Stop(); });
    addCommand(CommandId::ToggleBreakpoint, [&debugging] { debugging.ToggleBreakpoint(); });

    addUpdate(CommandId::DebugApplication,
              [&debugging](fw::CommandUi &ui) { ui.setEnabled(debugging.canDebug()); });
    const auto whileStopped = [&debugging](fw::CommandUi &ui) {
        ui.setEnabled(debugging.isStopped());
    };
    for (const int id :
         {CommandId::DebugContinue, CommandId::StepOver, CommandId::StepInto, CommandId::StepOut}) {
        addUpdate(id, whileStopped);
    }
    addUpdate(CommandId::StopDebugging,
              [&debugging](fw::CommandUi &ui) { ui.setEnabled(debugging.isDebugging()); });
    addUpdate(CommandId::ToggleBreakpoint,
              [&debugging](fw::CommandUi &ui) { ui.setEnabled(debugging.canToggleBreakpoint()); });
}
