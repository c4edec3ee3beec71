#pragma once
// When the splash continues the main window's start-up. The start-up splash counts down and,
// when it hides (timer or click), posts the continuation once; the About box uses the same
// window without the count-down and never continues anything. Main thread only.
namespace kv {

inline constexpr unsigned kStartupContinuationMessage = 0x47D;
inline constexpr unsigned kSplashShowMs = 3000;

class TSplashFlow {
 public:
  explicit TSplashFlow(bool about) : startup_(!about) {}
  bool Startup() const { return startup_; }
  // Shown: the count-down runs only for the start-up splash.
  bool TimerWanted() const { return startup_; }
  // Hidden: true when the continuation is to be posted now (once, and only with a main form).
  bool Hidden(bool mainFormReady) {
    const bool post = startup_ && mainFormReady;
    startup_ = false;
    return post;
  }

 private:
  bool startup_;
};

// After the main window's first show: post the continuation now unless a start-up splash is
// still counting down (its hiding will post it) or there is no main form to post to.
inline bool ContinueStartupNow(bool startupSplashCounting, bool hasMainForm) {
  return !startupSplashCounting && hasMainForm;
}

}  // namespace kv
