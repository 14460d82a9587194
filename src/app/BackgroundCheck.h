// The robustness check started from the window (F9): it runs on threads of
// its own over copies of the scene's data and the catalogue, so the window
// stays responsive and may change the scene meanwhile.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/Robustness.h"

namespace app {

class BackgroundCheck {
public:
    BackgroundCheck() = default;
    BackgroundCheck(const BackgroundCheck&) = delete;
    BackgroundCheck& operator=(const BackgroundCheck&) = delete;
    // Cancels a check under way and waits for its runs in progress.
    ~BackgroundCheck();

    // Cancels a check under way, waiting for the runs in progress.
    void stop();
    // Starts a check of the scene unless one is under way; false then.
    bool start(const scene::SceneFileData& scene, const klotz::KlotzCatalogue& catalogue, int runs);
    bool running() const { return worker_.joinable() && !finished_; }
    // "robustness check: K of N runs" while it runs, else empty.
    std::string progress() const;
    // The result once, when the check has finished.
    std::optional<RobustnessResult> takeResult();

private:
    struct Job {
        scene::SceneFileData scene;
        klotz::KlotzCatalogue catalogue;
        RobustnessOptions options;
        RobustnessResult result;
    };
    std::unique_ptr<Job> job_;
    std::thread worker_;
    std::atomic<int> done_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
};

}  // namespace app
