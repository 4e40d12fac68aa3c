#pragma once

// The project window, as the output window knows it: it is asked to close the output window
// (after the current event, as a posted message would be) and told which output line the user
// double-clicked.
class OutputWindowListener {
public:
    virtual ~OutputWindowListener() = default;

    // The user closed the output window while no tool runs: destroy it and keep its text.
    virtual void OnOutputClose() = 0;
    // The user double-clicked the 0-based line of the output.
    virtual void OnOutputGotoLine(int line) = 0;
};
