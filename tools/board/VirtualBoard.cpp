#include "VirtualBoard.h"

#include <algorithm>
#include <exception>
#include <utility>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace quorvel::board {

namespace {

constexpr std::uint8_t kAnnounce = 'g';
constexpr std::uint8_t kAnswer = 'r';
constexpr std::uint8_t kEvenRequest = 'y';
constexpr std::uint8_t kOddRequest = 'x';
constexpr std::size_t kFlashBlock = 64;
constexpr Clock::duration kSpinWindow = std::chrono::microseconds(60);

// The kernel lets a timed wait overrun by 50 µs by default, a third of a character at
// 115200 baud; the board asks for the tightest wake-ups while it runs.
class TightTimers {
public:
    TightTimers() {
#ifdef __linux__
        saved_ = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
        ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
#endif
    }
    ~TightTimers() {
#ifdef __linux__
        if (saved_ > 0) ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(saved_), 0, 0, 0);
#endif
    }
    TightTimers(const TightTimers&) = delete;
    TightTimers& operator=(const TightTimers&) = delete;

private:
    [[maybe_unused]] int saved_ = 0;
};

} // namespace

VirtualBoard::VirtualBoard(BoardOptions options)
    : options_(std::move(options)), line_(terminal_, stop_), clock_(options_.baudRate) {
    // Most late wake-ups measured here stay under 60 µs; a character at 115200 baud is 87 µs.
    if (clock_.Paced()) line_.SetSpinWindow(std::min(clock_.CharacterTime(), kSpinWindow));
    if (options_.faultSeed) {
        fault_ = PickFault(*options_.faultSeed, FaultStreamLength(options_), options_.stallLength);
        ApplyFault(fault_, options_);
    }
}

BoardResult VirtualBoard::Run() {
    if (std::exchange(ran_, true)) {
        BoardResult refused;
        refused.endReason = EndReason::Failed;
        refused.failure = "the board has already run";
        return refused;
    }
    TightTimers timers;
    for (;;) {
        if (Ends(line_.WaitForPeer())) break;
        TimePoint answeredAt{};
        const Handshake handshake = Announce(answeredAt);
        if (handshake == Handshake::Answered) Transfer(answeredAt);
        if (handshake != Handshake::PeerLeft) break;
    }
    CountUnexpected();
    Finish();
    return std::move(result_);
}

bool VirtualBoard::Ends(LineEvent event) {
    if (event == LineEvent::Stop) {
        result_.endReason = EndReason::Stopped;
        return true;
    }
    if (event == LineEvent::Failure) {
        result_.endReason = EndReason::Failed;
        result_.failure = line_.Failure();
        return true;
    }
    return false;
}

// Lets the line's time pass; what arrives meanwhile waits in the inbox.
LineEvent VirtualBoard::PassTime(TimePoint until) {
    for (;;) {
        const LineEvent event = line_.Wait(until, inbox_);
        if (event == LineEvent::Input) {
            lastSeenAt_ = Clock::now();
        } else if (event == LineEvent::PeerAbsent) {
            peerLeft_ = true;
        } else {
            return event;
        }
    }
}

LineEvent VirtualBoard::SendOne(std::uint8_t character, TimePoint readyAt, TimePoint& deliveredAt) {
    return Send(Bytes{character}, readyAt, deliveredAt);
}

// A paced character is written when it has fully crossed the line, so the other end never has
// it earlier than a real line would give it.
LineEvent VirtualBoard::Send(const Bytes& characters, TimePoint readyAt, TimePoint& deliveredAt) {
    if (!clock_.Paced()) {
        const LineEvent waited = PassTime(readyAt);
        if (waited != LineEvent::Deadline) return waited;
        if (line_.TakeQueued(inbox_)) lastSeenAt_ = Clock::now();
        deliveredAt = Clock::now();
        return line_.Write(characters.data(), characters.size(), deliveredAt + options_.silence);
    }
    for (const std::uint8_t character : characters) {
        deliveredAt = clock_.TransmitDone(readyAt);
        readyAt = deliveredAt;
        const LineEvent waited = PassTime(deliveredAt);
        if (waited != LineEvent::Deadline) return waited;
        if (line_.TakeQueued(inbox_)) lastSeenAt_ = Clock::now();
        const LineEvent written = line_.Write(&character, 1, Clock::now() + options_.silence);
        if (written != LineEvent::Written) return written;
    }
    return LineEvent::Written;
}

void VirtualBoard::CountUnexpected() {
    result_.unexpectedBytes += inbox_.size();
    inbox_.clear();
}

// Takes the "r" out of the inbox: whatever came before it was not asked for, whatever came
// after it stays until the first request shows it was not asked for either.
bool VirtualBoard::TakeAnswer() {
    const auto answer = std::find(inbox_.begin(), inbox_.end(), kAnswer);
    result_.unexpectedBytes += static_cast<std::size_t>(answer - inbox_.begin());
    if (answer == inbox_.end()) {
        inbox_.clear();
        return false;
    }
    inbox_.erase(inbox_.begin(), answer + 1);
    result_.handshakeDone = true;
    return true;
}

VirtualBoard::Handshake VirtualBoard::Announce(TimePoint& answeredAt) {
    peerLeft_ = false;
    if (Ends(PassTime(Clock::now() + options_.startDelay))) return Handshake::Ended;
    CountUnexpected(); // nothing can be an answer before the first "g"
    if (peerLeft_) return Handshake::PeerLeft;

    TimePoint deliveredAt = Clock::now();
    if (!options_.noise.empty()) {
        const LineEvent sent = Send(options_.noise, deliveredAt, deliveredAt);
        if (Ends(sent)) return Handshake::Ended;
    }
    for (;;) {
        // Before the "g": an "r" here answers an earlier one and is just as good.
        const LineEvent sent = SendOne(kAnnounce, deliveredAt, deliveredAt);
        if (Ends(sent)) return Handshake::Ended;
        if (sent == LineEvent::Written) ++result_.announcements;
        const TimePoint until = options_.announceMode == AnnounceMode::Once
                                    ? TimePoint::max()
                                    : deliveredAt + options_.announceInterval;
        const Handshake outcome = AwaitAnswer(until, deliveredAt, answeredAt);
        if (outcome != Handshake::Unanswered) return outcome;
        deliveredAt = std::max(deliveredAt, Clock::now());
    }
}

// Waits for the "r" until `until`.
VirtualBoard::Handshake VirtualBoard::AwaitAnswer(TimePoint until, TimePoint announcedAt,
                                                  TimePoint& answeredAt) {
    for (;;) {
        if (TakeAnswer()) {
            answeredAt = clock_.ReceiveDone(announcedAt, lastSeenAt_);
            return Handshake::Answered;
        }
        if (peerLeft_) return Handshake::PeerLeft;
        const LineEvent event = line_.Wait(until, inbox_);
        if (Ends(event)) return Handshake::Ended;
        if (event == LineEvent::Input) lastSeenAt_ = Clock::now();
        if (event == LineEvent::PeerAbsent) peerLeft_ = true;
        if (event == LineEvent::Deadline) return Handshake::Unanswered;
    }
}

void VirtualBoard::Transfer(TimePoint readyAt) {
    TimePoint startedAt = readyAt;
    Bytes& stream = result_.stream;
    for (;;) {
        if (options_.hangUpAfter && stream.size() >= *options_.hangUpAfter) {
            terminal_.Close();
            result_.endReason = EndReason::HungUp;
            return;
        }
        if (options_.stopAfter && stream.size() >= *options_.stopAfter) {
            ListenUntilPeerLeaves();
            return;
        }
        readyAt += PauseBeforeRequest(stream.size());
        TimePoint requestedAt{};
        const LineEvent written = Send(RequestFor(stream.size()), readyAt, requestedAt);
        // Everything read so far came before this request could be seen (Send reads what is
        // queued just before it writes).
        CountUnexpected();
        if (Ends(written)) return;
        if (written == LineEvent::Blocked) {
            result_.endReason = EndReason::Silence;
            return;
        }
        ++result_.requests;
        TimePoint doneAt{};
        if (!ReceiveOne(requestedAt, doneAt)) return;
        // With a long first wait the rate counts from the first answer, not from the click
        // that brought it.
        if (stream.size() == 1 && options_.firstAnswerWait)
            startedAt = std::max(requestedAt, doneAt - clock_.CharacterTime());
        result_.elapsed = doneAt - startedAt;
        readyAt = doneAt;
    }
}

// A flash write after every 64th byte, and the stall once, where the options ask for them.
Clock::duration VirtualBoard::PauseBeforeRequest(std::size_t received) const {
    Clock::duration pause{};
    if (received > 0 && received % kFlashBlock == 0) pause += options_.flashPause;
    if (options_.stallAfter == received) pause += options_.stallLength;
    return pause;
}

// The request for the next byte, with the stray characters in front where they are due.
Bytes VirtualBoard::RequestFor(std::size_t received) const {
    Bytes characters;
    const std::size_t interval = std::max<std::size_t>(options_.strayInterval, 1);
    if (received % interval == 0) characters = options_.strayBytes;
    characters.push_back(received % 2 == 0 ? kEvenRequest : kOddRequest);
    return characters;
}

// Takes the one byte that answers the request written at `requestedAt`; more bytes in the
// same read were not asked for.
bool VirtualBoard::ReceiveOne(TimePoint requestedAt, TimePoint& doneAt) {
    const bool first = result_.stream.empty() && options_.firstAnswerWait;
    const TimePoint silentAt =
        Clock::now() + (first ? *options_.firstAnswerWait : options_.silence);
    while (inbox_.empty()) {
        const LineEvent event = line_.Wait(silentAt, inbox_);
        if (Ends(event)) return false;
        if (event == LineEvent::Input) lastSeenAt_ = Clock::now();
        if (event == LineEvent::Deadline) {
            result_.endReason = EndReason::Silence;
            return false;
        }
    }
    result_.stream.push_back(inbox_.front());
    inbox_.erase(inbox_.begin());
    CountUnexpected();
    doneAt = clock_.ReceiveDone(requestedAt, lastSeenAt_);
    return true;
}

// The board asks for nothing more, so the other end times out; the run ends when that end
// closes the slave (or on a stop), and whatever it still sends is counted.
void VirtualBoard::ListenUntilPeerLeaves() {
    result_.endReason = EndReason::RequestLimitReached;
    for (;;) {
        const LineEvent event = line_.Wait(TimePoint::max(), inbox_);
        CountUnexpected();
        if (event == LineEvent::PeerAbsent || event == LineEvent::Stop) return;
        if (event == LineEvent::Failure) {
            Ends(event);
            return;
        }
    }
}

void VirtualBoard::Finish() {
    if (options_.faultSeed) {
        result_.faultKind = fault_.kind;
        result_.faultDescription = DescribeFault(fault_, result_.stream.size());
    }
    if (!options_.imageOutputPath.empty())
        result_.imageWriteError = WriteBytesToFile(options_.imageOutputPath, result_.Image());
    if (!options_.expectedHexPath.empty())
        result_.hexComparison = CompareWithHexFile(options_.expectedHexPath, result_.Image());
}

} // namespace quorvel::board
