#pragma once
// The offscreen platform warns at every width change of a fixed-size window, which the sliding
// activity panel makes 66 times a second; the benchmarks keep every other message.

#include <QString>
#include <QtGlobal>

namespace quorvel::bench {

inline QtMessageHandler& StandardMessageHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void DropSizeHintWarnings() {
    StandardMessageHandler() = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(QLatin1String("propagateSizeHints")))
                StandardMessageHandler()(type, context, text);
        });
}

} // namespace quorvel::bench
