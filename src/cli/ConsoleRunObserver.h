#pragma once

#include <iostream>
#include <string>

#include "base/UserCancel.h"
#include "cli/InterruptGuard.h"
#include "cli/ProgressLine.h"
#include "cli/TestPause.h"
#include "run/RunObserver.h"
#include "settings/Translate.h"

namespace varnex::cli {

// Progress on standard error: one line rewritten in place on a terminal,
// one line per stage otherwise (so logs stay readable).
class ConsoleRunObserver : public RunObserver {
public:
    explicit ConsoleRunObserver(bool quiet) : line_(quiet) {}

    void StageText(const std::string& text) override {
        // The driver asks whether to stop only while calculating; a stop
        // that came in another stage ends the run at the next one.
        if (InterruptGuard::Requested()) throw UserCancel();
        TestPause::At(text);
        if (InterruptGuard::Requested()) throw UserCancel();
        stage_ = text;
        if (line_.Quiet()) return;
        if (!line_.InPlace()) std::cerr << text << "\n";
        Show();
    }
    void IterationText(const std::string& text) override {
        iteration_ = text;
        Show();
    }
    void TimeRemainingText(const std::string& text) override {
        remaining_ = text;
        Show();
    }
    void Warning(const std::string& text) override {
        line_.EndLine();
        std::cerr << Translate("Warning") << ": " << text << "\n";
    }
    void Failed(const std::string& message) override {
        line_.EndLine();
        std::cerr << message << "\n";
    }
    bool StopRequested() override { return InterruptGuard::Requested(); }

private:
    void Show() { line_.Show(stage_ + "  " + iteration_ + "  " + remaining_); }

    ProgressLine line_;
    std::string stage_, iteration_, remaining_;
};

} // namespace varnex::cli
