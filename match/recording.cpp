#include "match/recording.hpp"

#include "gameplay/player.hpp"
#include "platform/file_read.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <iostream>
#include <limits>
#include <string_view>
#include <utility>

namespace {

// The bit of each field is its place here, which is part of the file format: never reorder.
constexpr std::array<bool PlayerActions::*, kActionBitCount> kActionFields = {
    &PlayerActions::moveLeft,     &PlayerActions::moveRight, &PlayerActions::jump,
    &PlayerActions::turnPlus,     &PlayerActions::turnMinus, &PlayerActions::padTurnPlus,
    &PlayerActions::padTurnMinus, &PlayerActions::shootHeld, &PlayerActions::shootKeyReleased,
    &PlayerActions::padShootHeld, &PlayerActions::special,
};
// A field added to PlayerActions without a bit here would silently never be replayed.
static_assert(sizeof(PlayerActions) == kActionBitCount, "every PlayerActions field needs a bit");

constexpr std::string_view kMagic = "GRUMBO-RECORDING";
constexpr uint64_t kTooBig = std::numeric_limits<uint64_t>::max();

// Spaces separate fields and '=' separates a key from its value, so neither may appear raw;
// anything unprintable is escaped so the file stays plain text whatever a map is called.
bool needsEscape(unsigned char c) {
    return c <= 0x20 || c >= 0x7f || c == '%' || c == '=';
}

std::string escape(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (needsEscape(static_cast<unsigned char>(text[i]))) {
                return std::nullopt;
            }
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Digits only: no sign, no space, no prefix. A number too long for 64 bits reads as kTooBig, so
// the caller's range check reports it as out of range rather than damaged.
std::optional<uint64_t> number(std::string_view token, int base = 10) {
    if (token.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    const char* end = token.data() + token.size();
    auto [stop, error] = std::from_chars(token.data(), end, value, base);
    if (stop != end) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        return kTooBig;
    }
    if (error != std::errc()) {
        return std::nullopt;
    }
    return value;
}

// No line has more than six fields; the rest of a longer one stays in the last, so a hostile line
// of millions of spaces costs nothing and still fails every check of the field count.
constexpr size_t kMostFields = 8;

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t space = out.size() + 1 < kMostFields ? line.find(' ', start) : std::string_view::npos;
        out.push_back(line.substr(start, space - start));
        if (space == std::string_view::npos) {
            return out;
        }
        start = space + 1;
    }
}

// A key as it is written, cut short so the line saying what is wrong stays one readable line.
std::string shortened(std::string_view key) {
    constexpr size_t kShown = 40;
    return key.size() <= kShown ? std::string(key) : std::string(key.substr(0, kShown)) + "...";
}

// Walks the lines of a recording and keeps the first thing found wrong with it.
class Parser {
  public:
    Parser(std::string_view content, std::string label) : text(content), name(std::move(label)) {}

    std::optional<Recording> parse() {
        if (text.empty()) {
            return refuse("it is empty");
        }
        if (!header()) {
            return std::nullopt;
        }
        // The header is read first so a newer build's file is reported as such, whatever else
        // it holds; past it, a file not ending in a newline was cut off.
        if (text.back() != '\n') {
            return refuse("it is truncated (the last line is cut off)");
        }
        Recording out;
        if (!seed(out) || !settings(out) || !frames(out) || !result(out)) {
            return std::nullopt;
        }
        if (more()) {
            nextLine();
            return refuseLine("there is more after the result line");
        }
        return out;
    }

  private:
    std::string_view text;
    std::string name;
    size_t position = 0;
    size_t lineNumber = 0;
    std::string_view pendingLine;
    bool havePending = false;

    std::nullopt_t refuse(const std::string& what) {
        std::cout << "Recording " << name << " refused: " << what << std::endl;
        return std::nullopt;
    }
    std::nullopt_t refuseLine(const std::string& what) {
        return refuse("line " + std::to_string(lineNumber) + ": " + what);
    }

    bool more() const { return havePending || position < text.size(); }
    std::string_view nextLine() {
        if (havePending) {
            havePending = false;
            return pendingLine;
        }
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }
    // Gives a line back, for the next section to read.
    void putBack(std::string_view line) {
        pendingLine = line;
        havePending = true;
    }

    bool header() {
        const std::vector<std::string_view> parts = fields(nextLine());
        if (parts[0] != kMagic) {
            refuse("it is not a Grumbo recording (it does not start with \"" + std::string(kMagic) + "\")");
            return false;
        }
        const std::optional<uint64_t> version = parts.size() == 2 ? number(parts[1]) : std::nullopt;
        if (!version) {
            refuseLine("the version line is damaged");
            return false;
        }
        if (*version != static_cast<uint64_t>(kRecordingVersion)) {
            const std::string which =
                *version > static_cast<uint64_t>(kRecordingVersion) ? "a newer" : "an older";
            const std::string shown = *version == kTooBig ? "beyond counting" : std::to_string(*version);
            refuse("it was made by " + which + " build of the game (recording version " + shown +
                   "; this build plays version " + std::to_string(kRecordingVersion) + ")");
            return false;
        }
        return true;
    }

    bool seed(Recording& out) {
        if (!more()) {
            refuse("it is truncated (no seed line)");
            return false;
        }
        const std::vector<std::string_view> parts = fields(nextLine());
        const std::optional<uint64_t> value =
            parts.size() == 2 && parts[0] == "seed" ? number(parts[1]) : std::nullopt;
        if (!value) {
            refuseLine("expected the seed line, \"seed <number>\"");
            return false;
        }
        if (*value > std::numeric_limits<uint32_t>::max()) {
            refuseLine("the seed is out of range (at most 4294967295)");
            return false;
        }
        out.seed = static_cast<uint32_t>(*value);
        return true;
    }

    bool settings(Recording& out) {
        while (more()) {
            std::string_view line = nextLine();
            const std::vector<std::string_view> parts = fields(line);
            if (parts[0] != "setting") {
                putBack(line);
                return true;
            }
            const size_t equals = parts.size() == 2 ? parts[1].find('=') : std::string_view::npos;
            std::optional<std::string> key, value;
            if (equals != std::string_view::npos) {
                key = unescape(parts[1].substr(0, equals));
                value = unescape(parts[1].substr(equals + 1));
            }
            if (!key || !value) {
                refuseLine("the setting line is damaged");
                return false;
            }
            if (!out.settings.emplace(std::move(*key), std::move(*value)).second) {
                refuseLine("the setting " + shortened(parts[1].substr(0, equals)) + " is given twice");
                return false;
            }
        }
        refuse("it is truncated (no frame count after the settings)");
        return false;
    }

    bool frames(Recording& out) {
        const std::vector<std::string_view> parts = fields(nextLine());
        const std::optional<uint64_t> count =
            parts.size() == 2 && parts[0] == "frames" ? number(parts[1]) : std::nullopt;
        if (!count) {
            refuseLine("expected a setting or the frame count, \"frames <number>\"");
            return false;
        }
        // Every frame line takes at least ten bytes, which bounds what is worth reserving.
        out.frames.reserve(std::min<uint64_t>(*count, (text.size() - position) / 10));
        for (uint64_t i = 0; i < *count; ++i) {
            if (!more()) {
                refuse("it is truncated (it ends after " + std::to_string(i) + " of its " +
                       std::to_string(*count) + " frames, with no result line)");
                return false;
            }
            if (!frame(nextLine(), out)) {
                return false;
            }
        }
        return true;
    }

    bool frame(std::string_view line, Recording& out) {
        const std::vector<std::string_view> parts = fields(line);
        if (parts[0] == "result") {
            refuseLine("the result comes after only " + std::to_string(out.frames.size()) +
                       " frames; frames are missing");
            return false;
        }
        RecordedFrame frame;
        std::optional<uint64_t> milliseconds = number(parts[0]);
        if (parts.size() != 1 + kRecordingPlayers || !milliseconds) {
            refuseLine("the frame line is damaged");
            return false;
        }
        if (*milliseconds > kMaxFrameMilliseconds) {
            refuseLine("the frame's time step is out of range (at most " +
                       std::to_string(kMaxFrameMilliseconds) + " ms)");
            return false;
        }
        frame.milliseconds = static_cast<uint32_t>(*milliseconds);
        for (int player = 0; player < kRecordingPlayers; ++player) {
            std::optional<uint64_t> bits = number(parts[player + 1], 16);
            if (!bits) {
                refuseLine("the frame line is damaged");
                return false;
            }
            if (*bits > kActionBitsMask) {
                refuseLine("player " + std::to_string(player + 1) + "'s actions are out of range");
                return false;
            }
            frame.actions[player] = static_cast<uint16_t>(*bits);
        }
        out.frames.push_back(frame);
        return true;
    }

    bool result(Recording& out) {
        if (!more()) {
            refuse("it is truncated (no result line at the end)");
            return false;
        }
        const std::vector<std::string_view> parts = fields(nextLine());
        if (parts[0] != "result") {
            refuseLine("there are more frame lines than the " + std::to_string(out.frames.size()) +
                       " announced, or the result line is damaged");
            return false;
        }
        // "result" alone is a match left before it ended: nobody was ranked.
        if (parts.size() > 1 + kRecordingPlayers) {
            refuseLine("the result ranks more than " + std::to_string(kRecordingPlayers) + " players");
            return false;
        }
        for (size_t i = 1; i < parts.size(); ++i) {
            std::optional<uint64_t> rank = number(parts[i]);
            if (!rank) {
                refuseLine("the result line is damaged");
                return false;
            }
            if (*rank > static_cast<uint64_t>(kMaxRank)) {
                refuseLine("player " + std::to_string(i) + "'s rank is out of range (at most " +
                           std::to_string(kMaxRank) + ")");
                return false;
            }
            out.result.push_back(static_cast<int32_t>(*rank));
        }
        return true;
    }
};

// What the reader would refuse, said for the writer; empty when the recording is fine.
std::string outOfRange(const Recording& recording) {
    for (size_t i = 0; i < recording.frames.size(); ++i) {
        const RecordedFrame& frame = recording.frames[i];
        if (frame.milliseconds > kMaxFrameMilliseconds) {
            return "frame " + std::to_string(i + 1) + " takes " + std::to_string(frame.milliseconds) +
                   " ms, more than the " + std::to_string(kMaxFrameMilliseconds) + " a frame may";
        }
        for (int player = 0; player < kRecordingPlayers; ++player) {
            if ((frame.actions[player] & ~kActionBitsMask) != 0) {
                return "frame " + std::to_string(i + 1) + " has actions of player " +
                       std::to_string(player + 1) + " that no PlayerActions packs to";
            }
        }
    }
    if (recording.result.size() > static_cast<size_t>(kRecordingPlayers)) {
        return "the result ranks more than " + std::to_string(kRecordingPlayers) + " players";
    }
    for (size_t i = 0; i < recording.result.size(); ++i) {
        if (recording.result[i] < 0 || recording.result[i] > kMaxRank) {
            return "player " + std::to_string(i + 1) + "'s rank " + std::to_string(recording.result[i]) +
                   " is out of range";
        }
    }
    return {};
}

std::string formatRecording(const Recording& recording) {
    std::string out;
    out.reserve(64 + recording.settings.size() * 32 + recording.frames.size() * 16);
    out += std::string(kMagic) + " " + std::to_string(kRecordingVersion) + "\n";
    out += "seed " + std::to_string(recording.seed) + "\n";
    for (const auto& [key, value] : recording.settings) {
        out += "setting " + escape(key) + "=" + escape(value) + "\n";
    }
    out += "frames " + std::to_string(recording.frames.size()) + "\n";
    char hex[8];
    for (const RecordedFrame& frame : recording.frames) {
        out += std::to_string(frame.milliseconds);
        for (uint16_t bits : frame.actions) {
            auto written = std::to_chars(hex, hex + sizeof(hex), bits, 16);
            out += ' ';
            out.append(hex, written.ptr);
        }
        out += '\n';
    }
    out += "result";
    for (int32_t rank : recording.result) {
        out += ' ';
        out += std::to_string(rank);
    }
    out += '\n';
    return out;
}

} // namespace

uint16_t PackActions(const PlayerActions& actions) {
    uint16_t bits = 0;
    for (int i = 0; i < kActionBitCount; ++i) {
        if (actions.*kActionFields[i]) {
            bits = static_cast<uint16_t>(bits | (1u << i));
        }
    }
    return bits;
}

PlayerActions UnpackActions(uint16_t bits) {
    PlayerActions actions;
    for (int i = 0; i < kActionBitCount; ++i) {
        actions.*kActionFields[i] = (bits & (1u << i)) != 0;
    }
    return actions;
}

bool WriteRecording(const Recording& recording, const std::string& path) {
    auto refuse = [&](const std::string& what) {
        std::cout << "Recording " << path << " not written: " << what << std::endl;
        return false;
    };
    if (std::string wrong = outOfRange(recording); !wrong.empty()) {
        return refuse(wrong);
    }
    const std::string text = formatRecording(recording);
    // Non-blocking, so a FIFO with no reader fails at once instead of hanging the game at the
    // end of a match; only a regular file is written, never a device a link points at.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        return refuse(std::strerror(errno));
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return refuse("not a regular file");
    }
    if (ftruncate(fd, 0) != 0) {
        const int error = errno;
        close(fd);
        return refuse(std::strerror(error));
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            close(fd);
            return refuse(std::strerror(error));
        }
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0) {
        return refuse(std::strerror(errno));
    }
    return true;
}

std::optional<Recording> ReadRecording(const std::string& path) {
    std::string content;
    const FileRead read = ReadRegularFile(path, kMaxRecordingBytes, content);
    if (read != FileRead::Ok) {
        std::cout << "Recording " << path << " refused: it is " << DescribeFileRead(read)
                  << (read == FileRead::TooLarge ? " (over 64 MB)" : "") << std::endl;
        return std::nullopt;
    }
    return ParseRecording(content, path);
}

std::optional<Recording> ParseRecording(const std::string& text, const std::string& label) {
    return Parser(text, label).parse();
}

MatchRecorder::MatchRecorder(uint32_t seed, std::map<std::string, std::string> settings) {
    record.seed = seed;
    record.settings = std::move(settings);
}

MatchRecorder::~MatchRecorder() {
    if (CurrentActionObserver() == this) {
        SetActionObserver(nullptr);
    }
}

void MatchRecorder::beginFrame(uint32_t milliseconds) {
    if (!done) {
        record.frames.push_back(RecordedFrame{milliseconds, {}});
    }
}

void MatchRecorder::onActions(const Player& player, const PlayerActions& actions) {
    if (done || record.frames.empty() || player.playerNumber < 1 || player.playerNumber > kRecordingPlayers) {
        return;
    }
    record.frames.back().actions[player.playerNumber - 1] = PackActions(actions);
}

void MatchRecorder::finish(std::vector<int32_t> result) {
    if (done) {
        return;
    }
    record.result = std::move(result);
    done = true;
    if (CurrentActionObserver() == this) {
        SetActionObserver(nullptr);
    }
}

ReplaySource::ReplaySource(Recording played) : record(std::move(played)) {}

bool ReplaySource::beginFrame() {
    if (next >= record.frames.size()) {
        inFrame = false;
        return false;
    }
    ++next;
    inFrame = true;
    return true;
}

PlayerActions ReplaySource::actionsFor(const Player& player) {
    if (!inFrame || player.playerNumber < 1 || player.playerNumber > kRecordingPlayers) {
        return {};
    }
    return UnpackActions(record.frames[next - 1].actions[player.playerNumber - 1]);
}

uint32_t ReplaySource::nextMilliseconds() const {
    return finished() ? 0 : record.frames[next].milliseconds;
}
