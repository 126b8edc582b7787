#pragma once
// An upload through the real window (offscreen) to the virtual board, as a benchmark runs it:
// the rate through the window, the processor time its thread spent, and whether the board got
// every byte.

#include <QString>

#include <cstddef>

class QTemporaryDir;

namespace quorvel::bench {

struct WindowUploadResult {
    double bytesPerSecond = 0;      // the stream's length over the time the click took
    double boardBytesPerSecond = 0; // as the board measured it
    double cpuSeconds = 0;          // of the window's thread alone, not the board's
    bool whole = false;             // byte count and tail as they should be
};

// Dismisses every modal dialog as soon as it shows, for the rest of the run.
void AnswerDialogsAtOnce();

// `streamLength` is the image's length and its tail; with `slidePanel` the activity panel is
// opened and shut again and again during the upload.
WindowUploadResult UploadThroughWindow(unsigned baudRate, const QTemporaryDir& folder,
                                       const QString& hexFile, std::size_t streamLength,
                                       bool slidePanel = false);

} // namespace quorvel::bench
