#include "ProgressReport.h"

#include <cmath>

namespace quorvel::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

} // namespace

std::string ProgressText(std::size_t done, std::size_t total, double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    const unsigned percent = total > 0 ? static_cast<unsigned>(done * 100 / total) : 100;
    char left[32] = "";
    if (rate > 0) {
        const auto remaining = static_cast<unsigned long>(
            std::ceil(static_cast<double>(total > done ? total - done : 0) / rate));
        std::snprintf(left, sizeof left, "   %lu:%02lu left", remaining / 60, remaining % 60);
    }
    char text[128];
    std::snprintf(text, sizeof text, "%8zu/%zu bytes  %3u%%  %6.0f bytes/s%s", done, total, percent,
                  rate, left);
    return text;
}

void ProgressReport::Start(std::size_t total, Clock::time_point now) {
    total_ = total;
    started_ = now;
    drawnAt_ = now - kRedrawInterval;
    nextTenth_ = 1;
}

void ProgressReport::Update(std::size_t done, Clock::time_point now) {
    if (!Started()) return;
    if (terminal_) {
        if (now - drawnAt_ >= kRedrawInterval || done == total_) Draw(done, now);
        return;
    }
    if (done * 10 < nextTenth_ * total_) return;
    while (nextTenth_ <= 10 && done * 10 >= nextTenth_ * total_)
        ++nextTenth_;
    Draw(done, now);
}

void ProgressReport::Draw(std::size_t done, Clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const std::string text = ProgressText(done, total_, seconds);
    if (terminal_) {
        std::fprintf(out_, "\r%s\033[K", text.c_str());
        drawn_ = true;
    } else {
        std::fprintf(out_, "%s\n", text.c_str());
    }
    std::fflush(out_);
    drawnAt_ = now;
}

void ProgressReport::Clear() {
    if (!drawn_) return;
    std::fputs("\r\033[K", out_);
    drawn_ = false;
}

} // namespace quorvel::cli
