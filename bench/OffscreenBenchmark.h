#pragma once
// What a benchmark of the window needs before its QApplication: line-buffered output, Qt's
// offscreen platform, and none of that platform's warnings at every width change of a
// fixed-size window, which the sliding activity panel makes 66 times a second.

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace quorvel::bench {

inline QtMessageHandler& StandardMessageHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void PrepareOffscreenBenchmark() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    StandardMessageHandler() = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(QLatin1String("propagateSizeHints")))
                StandardMessageHandler()(type, context, text);
        });
}

} // namespace quorvel::bench
