#pragma once
// The activity panel: the window's width slides between its collapsed width, where the
// terminal log is cut off, and its full width, where it is in view, 20 pixels per 15 ms tick
// of the window's timer. The button that opens and shuts it and the strip behind the progress
// bar show which way it goes.
//
// Every width here is the window's outer width, frame included. Qt sets only the client area
// and learns the frame from the desktop late (not before the window is first mapped), so the
// frame is measured at each change and the full width takes the frame once the desktop
// reports it.

#include <QString>

#include <functional>

class QTimer;
class QWidget;

namespace quorvel::ui {
class TGlowButton;
class TGroupBox;
} // namespace quorvel::ui

namespace quorvel::app {

class TActivityPanel {
public:
    struct Parts {
        QWidget& window;
        std::function<int()> frameWidth; // what the desktop's frame adds to the window's width
        const QWidget& lastColumn;       // the collapsed window ends just right of it
        QTimer& timer;
        ui::TGlowButton& button;
        ui::TGroupBox& strip;
    };

    explicit TActivityPanel(Parts parts) : parts_(std::move(parts)) {}

    // Remembers the designed width as the full width and narrows the window to the collapsed
    // one, so that the panel starts out of view.
    void NarrowAtCreation();
    // The desktop has put a frame around the window (or changed it).
    void AdoptFrame();
    // The button was clicked: slide the other way from here on.
    void Toggle();
    // One tick of the timer: one step of the slide.
    void Tick();

    int OuterWidth() const;
    int FullWidth() const { return fullWidth_; }
    // True after "Show Activity" was pressed, false after "Hide Activity".
    bool Shown() const { return shown_; }

private:
    int CollapsedWidth() const;
    void SetOuterWidth(int outerWidth);

    Parts parts_;
    int fullWidth_ = 0;
    int knownFrame_ = 0;
    bool shown_ = false;
};

} // namespace quorvel::app
