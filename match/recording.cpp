#include "match/recording.hpp"

#include "platform/file_read.hpp"

#include <algorithm>
#include <charconv>
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
        // it holds. Past it only whole lines count: a last line without its newline was cut off
        // as it was written, and is dropped.
        const size_t lastNewline = text.rfind('\n');
        text = text.substr(0, lastNewline == std::string_view::npos ? 0 : lastNewline + 1);
        Recording out;
        if (!seed(out) || !pace(out) || !settings(out) || !frames(out)) {
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
    uint64_t version = 0;

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
        if (parts[0] != kRecordingMagic) {
            refuse("it is not a Grumbo recording (it does not start with \"" + std::string(kRecordingMagic) +
                   "\")");
            return false;
        }
        const std::optional<uint64_t> given = parts.size() == 2 ? number(parts[1]) : std::nullopt;
        if (!given) {
            refuseLine("the version line is damaged");
            return false;
        }
        if (*given < static_cast<uint64_t>(kOldestRecordingVersion) ||
            *given > static_cast<uint64_t>(kRecordingVersion)) {
            const std::string which =
                *given > static_cast<uint64_t>(kRecordingVersion) ? "a newer" : "an older";
            const std::string shown = *given == kTooBig ? "beyond counting" : std::to_string(*given);
            refuse("it was made by " + which + " build of the game (recording version " + shown +
                   "; this build plays versions " + std::to_string(kOldestRecordingVersion) + " to " +
                   std::to_string(kRecordingVersion) + ")");
            return false;
        }
        version = *given;
        return true;
    }

    // From version 3 on, how the frames were timed.
    bool pace(Recording& out) {
        if (version < 3) {
            return true;
        }
        const std::vector<std::string_view> parts =
            more() ? fields(nextLine()) : std::vector<std::string_view>{};
        const std::optional<uint64_t> value =
            parts.size() == 2 && parts[0] == "pace" ? number(parts[1]) : std::nullopt;
        if (!value) {
            refuseLine("expected the pace line, \"pace <frames a second, or 0>\"");
            return false;
        }
        if (*value > kMaxRecordingPace) {
            refuseLine("the pace is out of range (at most " + std::to_string(kMaxRecordingPace) + ")");
            return false;
        }
        out.pace = static_cast<uint32_t>(*value);
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
        refuse("it is truncated (it ends before its frames begin)");
        return false;
    }

    // The frames, then the closing line; without one the recording is unfinished.
    bool frames(Recording& out) {
        const std::vector<std::string_view> parts = fields(nextLine());
        if (parts.size() != 1 || parts[0] != "frames") {
            refuseLine("expected a setting or the start of the frames, \"frames\"");
            return false;
        }
        // Every frame line takes at least ten bytes, which bounds what is worth reserving.
        out.frames.reserve((text.size() - std::min(position, text.size())) / 10);
        while (more()) {
            const std::string_view line = nextLine();
            if (fields(line)[0] == "result") {
                return result(line, out);
            }
            if (!frame(line, out)) {
                return false;
            }
        }
        out.unfinished = true;
        return true;
    }

    bool frame(std::string_view line, Recording& out) {
        const std::vector<std::string_view> parts = fields(line);
        RecordedFrame frame;
        std::optional<uint64_t> milliseconds = number(parts[0]);
        if (parts.size() != 1 + kRecordingPlayers || !milliseconds) {
            refuseLine("the frame line is damaged");
            return false;
        }
        if (*milliseconds < kMinFrameMilliseconds || *milliseconds > kMaxFrameMilliseconds) {
            refuseLine("the frame's time step is out of range (" + std::to_string(kMinFrameMilliseconds) +
                       " to " + std::to_string(kMaxFrameMilliseconds) + " ms)");
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

    bool result(std::string_view line, Recording& out) {
        const std::vector<std::string_view> parts = fields(line);
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

std::string RecordingStartText(uint32_t seed, const std::map<std::string, std::string>& settings,
                               uint32_t pace) {
    std::string out = std::string(kRecordingMagic) + " " + std::to_string(kRecordingVersion) + "\n";
    out += "seed " + std::to_string(seed) + "\n";
    out += "pace " + std::to_string(pace) + "\n";
    for (const auto& [key, value] : settings) {
        out += "setting " + escape(key) + "=" + escape(value) + "\n";
    }
    return out + "frames\n";
}

std::string RecordedFrameText(const RecordedFrame& frame) {
    std::string out = std::to_string(frame.milliseconds);
    char hex[8];
    for (uint16_t bits : frame.actions) {
        auto written = std::to_chars(hex, hex + sizeof(hex), bits, 16);
        out += ' ';
        out.append(hex, written.ptr);
    }
    return out + "\n";
}

std::string RecordingEndText(const std::vector<int32_t>& result) {
    std::string out = "result";
    for (int32_t rank : result) {
        out += ' ';
        out += std::to_string(rank);
    }
    return out + "\n";
}

std::string RecordingText(const Recording& recording) {
    std::string out = RecordingStartText(recording.seed, recording.settings, recording.pace);
    out.reserve(out.size() + recording.frames.size() * 16 + 32);
    for (const RecordedFrame& frame : recording.frames) {
        out += RecordedFrameText(frame);
    }
    return recording.unfinished ? out : out + RecordingEndText(recording.result);
}

std::string RecordingProblem(const Recording& recording) {
    if (recording.pace > kMaxRecordingPace) {
        return "its pace of " + std::to_string(recording.pace) + " frames a second is past the " +
               std::to_string(kMaxRecordingPace) + " a recording may have";
    }
    for (size_t i = 0; i < recording.frames.size(); ++i) {
        const RecordedFrame& frame = recording.frames[i];
        if (frame.milliseconds < kMinFrameMilliseconds || frame.milliseconds > kMaxFrameMilliseconds) {
            return "frame " + std::to_string(i + 1) + " takes " + std::to_string(frame.milliseconds) +
                   " ms, outside the " + std::to_string(kMinFrameMilliseconds) + " to " +
                   std::to_string(kMaxFrameMilliseconds) + " a frame may";
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
    if (recording.unfinished && !recording.result.empty()) {
        return "an unfinished recording has no result";
    }
    return {};
}
