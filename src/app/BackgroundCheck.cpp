#include "app/BackgroundCheck.h"

#include <algorithm>

namespace app {

BackgroundCheck::~BackgroundCheck() { stop(); }

void BackgroundCheck::stop() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

bool BackgroundCheck::start(const scene::SceneFileData& scene, const klotz::KlotzCatalogue& catalogue, int runs) {
    if (running()) return false;
    if (worker_.joinable()) worker_.join();
    job_ = std::make_unique<Job>(Job{scene, catalogue, {}, {}});
    job_->options.runs = runs;
    // One core stays with the window.
    job_->options.jobs = std::max(1, threadCount(0) - 1);
    job_->options.done = &done_;
    job_->options.cancel = &cancel_;
    done_ = 0;
    cancel_ = false;
    finished_ = false;
    worker_ = std::thread([this] {
        try {
            job_->result = checkRobustness(job_->scene, job_->catalogue, job_->options);
        } catch (...) {
            job_->result = RobustnessResult{};  // nothing to show; the window goes on
        }
        finished_ = true;
    });
    return true;
}

std::string BackgroundCheck::progress() const {
    if (!running() || !job_) return "";
    return "robustness check: " + std::to_string(done_.load()) + " of " + std::to_string(job_->options.runs) +
           " runs";
}

std::optional<RobustnessResult> BackgroundCheck::takeResult() {
    if (!worker_.joinable() || !finished_) return std::nullopt;
    worker_.join();
    return job_->result;
}

}  // namespace app
