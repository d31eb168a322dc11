#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quellgate {

// What the controller asks of the windows on screen.
class MainView {
public:
    virtual ~MainView() = default;

    virtual void ShowMain() = 0;
    virtual void HideMain() = 0;
    virtual void ShowSwitch(std::size_t network, bool blocked) = 0;
    virtual void ShowKeywords(const std::vector<std::string>& entries) = 0;
    virtual std::optional<std::size_t> SelectedKeyword() const = 0;
    virtual bool RunAtStartupTicked() const = 0;
    virtual void SetRunAtStartupTicked(bool ticked) = 0;
    // Starts the 300 ms watch timer, for the rest of the run.
    virtual void StartWatch() = 0;
    virtual void ShowSplash() = 0;
    virtual void ShowInfo() = 0;
    virtual void ShowChangePassword() = 0;
    // Leaves the message loop; every window closes without further events.
    virtual void Terminate() = 0;
};

}  // namespace quellgate
