#include "sim/Options.h"

#include <cctype>
#include <set>
#include <sstream>

#include "serial/ComNumberText.h"

namespace sim {

namespace {

constexpr unsigned kMaxPollAddress = 63;
constexpr unsigned long kMaxPeriodMs = 3600000;
constexpr unsigned long kMaxCount = 1000000;
constexpr unsigned long kMaxTurnaroundMs = 10000;
// A trickle period shorter than a character time would be babble.
constexpr unsigned long kMinTricklePeriodMs = 10;
constexpr unsigned kDefaultLateEchoBytes = 3;
constexpr unsigned long kMaxLateEchoBytes = 255;

// Decimal, or hexadecimal after 0x; the whole text must be the number.
std::optional<unsigned long> ParseNumber(const std::string& text, unsigned long max) {
    if (text.empty()) return std::nullopt;
    int base = 10;
    size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    unsigned long value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(digit);
        if (value > max) return std::nullopt;
    }
    return value;
}

// Packed ASCII carries the characters blank to underscore; lower case goes as upper case.
bool Packable(const std::string& text) {
    for (char c : text) {
        const int upper = std::toupper(static_cast<unsigned char>(c));
        if (upper < 0x20 || upper > 0x5F) return false;
    }
    return true;
}

bool Printable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

bool ParseText(const std::string& key, const std::string& value, size_t max, bool packed,
               std::string& out, std::string& error) {
    if (value.size() > max) {
        error = key + " has more than " + std::to_string(max) + " characters: " + value;
        return false;
    }
    if (packed ? !Packable(value) : !Printable(value)) {
        error = key + " has characters a device cannot hold: " + value;
        return false;
    }
    out = value;
    return true;
}

template <typename T>
bool ParseField(const std::string& key, const std::string& value, unsigned long max, T& out,
                std::string& error) {
    const auto number = ParseNumber(value, max);
    if (!number) {
        error = key + " needs a number from 0 to " + std::to_string(max) + ", not '" + value + "'";
        return false;
    }
    out = static_cast<T>(*number);
    return true;
}

// Splits "--name=value" and "--name value"; advances i past what was used.
struct Argument {
    std::string name;
    std::optional<std::string> inlineValue;
};

Argument Split(const std::string& arg) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos) return {arg, std::nullopt};
    return {arg.substr(0, eq), arg.substr(eq + 1)};
}

bool ParseComLink(const std::string& text, unsigned& com, std::string& error) {
    if (const auto number = ExactPortNumber(text)) {
        com = *number;
        return true;
    }
    error = "--link needs a port COM1 to COM255, not '" + text + "'";
    return false;
}

bool CheckLine(const std::vector<DeviceConfig>& devices, std::string& error) {
    std::set<unsigned> pollAddresses;
    std::set<uint64_t> longAddresses;
    for (const DeviceConfig& d : devices) {
        if (!pollAddresses.insert(d.pollAddress).second) {
            error = "two devices at polling address " + std::to_string(d.pollAddress);
            return false;
        }
        const uint64_t longAddress =
            (uint64_t{d.manufacturer & 0x3Fu} << 32) | (uint64_t{d.deviceType} << 24) | d.deviceId;
        if (!longAddresses.insert(longAddress).second) {
            error = "two devices with the same long address (mfr, type and id)";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseDevice(const std::string& spec, DeviceConfig& device, std::string& error) {
    // The address comes first so that the defaults it picks can be overridden by the rest.
    std::vector<std::pair<std::string, std::string>> fields;
    std::stringstream stream(spec);
    std::string item;
    while (std::getline(stream, item, ',')) {
        const size_t eq = item.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "--device wants key=value items, not '" + item + "'";
            return false;
        }
        fields.emplace_back(item.substr(0, eq), item.substr(eq + 1));
    }
    uint8_t address = 0;
    for (const auto& [key, value] : fields) {
        if (key == "addr" && !ParseField("addr", value, kMaxPollAddress, address, error)) {
            return false;
        }
    }
    device = DefaultDevice(address);
    for (const auto& [key, value] : fields) {
        bool ok = true;
        if (key == "addr") {
            continue;
        } else if (key == "tag") {
            ok = ParseText(key, value, 8, true, device.tag, error);
        } else if (key == "desc") {
            ok = ParseText(key, value, 16, true, device.descriptor, error);
        } else if (key == "longtag") {
            ok = ParseText(key, value, 32, false, device.longTag, error);
        } else if (key == "id") {
            ok = ParseField(key, value, 0xFFFFFF, device.deviceId, error);
        } else if (key == "mfr") {
            ok = ParseField(key, value, 0xFF, device.manufacturer, error);
        } else if (key == "type") {
            ok = ParseField(key, value, 0xFF, device.deviceType, error);
        } else if (key == "rev") {
            ok = ParseField(key, value, 0xFF, device.revision, error);
        } else {
            error = "--device has no key '" + key + "'";
            ok = false;
        }
        if (!ok) return false;
    }
    return true;
}

bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    options = SimOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        const Argument arg = Split(args[i]);
        std::string text;
        // The value of an option that needs one: after '=' or the next argument.
        auto value = [&](std::string& out) {
            if (arg.inlineValue) {
                out = *arg.inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = arg.name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        // A period in milliseconds that may follow after '='.
        auto period = [&](uint32_t& out) {
            return !arg.inlineValue ||
                   ParseField(arg.name, *arg.inlineValue, kMaxPeriodMs, out, error);
        };
        // A count where 0 would mean nothing at all.
        auto atLeastOne = [&](const std::string& number, unsigned long max, unsigned& out) {
            if (!ParseField(arg.name, number, max, out, error)) return false;
            if (out > 0) return true;
            error = arg.name + " needs N of 1 or more";
            return false;
        };
        auto flag = [&](bool& out) {
            if (arg.inlineValue) {
                error = arg.name + " takes no value";
                return false;
            }
            out = true;
            return true;
        };
        Behaviour& b = options.behaviour;
        bool ok = true;
        if (arg.name == "--help" || arg.name == "-h") {
            options.help = true;
            return true;
        } else if (arg.name == "--version") {
            options.version = true;
            return true;
        } else if (arg.name == "--port") {
            ok = value(text);
            if (ok && text.empty()) {
                error = "--port needs a device path";
                ok = false;
            }
            options.port = text;
        } else if (arg.name == "--link") {
            unsigned com = 0;
            ok = value(text) && ParseComLink(text, com, error);
            options.linkCom = com;
        } else if (arg.name == "--device") {
            DeviceConfig device;
            ok = value(text) && ParseDevice(text, device, error);
            options.devices.push_back(device);
        } else if (arg.name == "--burst") {
            b.burst = true;
            ok = period(b.burstPeriodMs);
        } else if (arg.name == "--other-master") {
            b.otherMaster = true;
            ok = period(b.otherMasterPeriodMs);
        } else if (arg.name == "--busy") {
            ok = value(text) && ParseField(arg.name, text, kMaxCount, b.busyAnswers, error);
        } else if (arg.name == "--busy-forever") {
            ok = flag(b.busyForever);
        } else if (arg.name == "--bad-checksum") {
            ok = value(text) && atLeastOne(text, kMaxCount, b.badChecksumEvery);
        } else if (arg.name == "--drop-every") {
            ok = value(text) && atLeastOne(text, kMaxCount, b.dropEvery);
        } else if (arg.name == "--vanish-after") {
            ok = value(text) && atLeastOne(text, kMaxCount, b.vanishAfter);
        } else if (arg.name == "--trickle") {
            b.trickle = true;
            ok = period(b.tricklePeriodMs);
            if (ok && b.tricklePeriodMs < kMinTricklePeriodMs) {
                error = "--trickle needs a period of " + std::to_string(kMinTricklePeriodMs) +
                        " ms or more";
                ok = false;
            }
        } else if (arg.name == "--babble") {
            ok = flag(b.babble);
        } else if (arg.name == "--late-echo") {
            b.lateEchoBytes = kDefaultLateEchoBytes;
            ok = !arg.inlineValue ||
                 atLeastOne(*arg.inlineValue, kMaxLateEchoBytes, b.lateEchoBytes);
        } else if (arg.name == "--turnaround") {
            unsigned ms = 0;
            ok = value(text) && ParseField(arg.name, text, kMaxTurnaroundMs, ms, error);
            options.timing.turnaroundMs = ms;
        } else if (arg.name == "--echo") {
            ok = flag(b.echo);
        } else if (arg.name == "--noise") {
            ok = flag(b.noise);
        } else if (arg.name == "--silent") {
            ok = flag(b.silent);
        } else if (arg.name == "--fast") {
            ok = flag(options.timing.fast);
        } else if (arg.name == "--trace") {
            ok = flag(options.trace);
        } else {
            error = "unknown option '" + args[i] + "'";
            ok = false;
        }
        if (!ok) return false;
    }
    if (options.port.has_value() == options.linkCom.has_value()) {
        error = "give either --port PATH or --link COM<n>";
        return false;
    }
    if (options.devices.empty()) options.devices.push_back(DefaultDevice(0));
    return CheckLine(options.devices, error);
}

const char* UsageText() {
    return R"(Usage: tralvo-sim (--link COM<n> | --port PATH) [options]

Plays one or more HART field devices on a serial line, paced like a 1200-baud line.

Line:
  --link COM<n>        open a pseudo-terminal and link it as COM<n> (1-255) in
                       $XDG_CONFIG_HOME/Brenlow/Tralvo/ports, so that Tralvo lists it;
                       COM<n> must be free or a killed simulator's leftover (anything
                       else is refused); the link is removed when the simulator ends
  --port PATH          use an existing tty or pty (for example one end of a socat pair)

Devices (repeat --device for a multi-drop line; default: one device at address 0):
  --device addr=N,tag=TEXT,id=0xNNNNNN,mfr=0xNN,type=0xNN,rev=N,desc=TEXT,longtag=TEXT
                       addr: polling address 0-63; tag: up to 8 characters
                       (default TRALVOnn, nn = address + 1); id: 24-bit device id
                       (default 0x123456 + address); mfr 0x26, type 0x06, rev 7 by default;
                       desc: up to 16 characters; longtag: up to 32 characters.
                       Revision 5 and up answers commands 0, 3, 13 and 20; revision 4 and
                       below answers command 0 in the old layout and command 4 (tag).
                       Other commands get response code 64.

Behaviour:
  --burst[=MS]         the first device is in burst mode: a burst frame after each answer
                       and after every MS ms of silence (default 400)
  --other-master[=MS]  another master's request after every MS ms of silence (default 400)
  --busy N             the first N answers of each device to commands 3 and 13 say busy (32)
  --busy-forever       every answer but the identity (command 0) says busy (32), for ever
  --echo               the line echoes each request back, as some modems do
  --noise              junk bytes before each answer's preamble
  --bad-checksum N     every N-th answer carries a wrong checksum
  --drop-every N       no answer to every N-th request heard (a master's request with a
                       sound checksum, to any address, counted from the start); a dropped
                       request makes no answer, so with --bad-checksum the N-th answer is
                       counted among the answers actually sent
  --silent             no device answers

Bad lines:
  --vanish-after N     the device end vanishes after N answers, as an unplugged USB modem
                       does: the line is closed (the master sees a hang-up), the COM link
                       removed, and the simulator ends
  --trickle[=MS]       one 0xFF byte every MS ms (default 400), for ever, besides whatever
                       else happens but never inside a frame (with --silent: nothing else)
  --babble             0xFF bytes back to back at line pace, a preamble that never ends,
                       whenever nothing else is sent (with --silent: nothing but babble)
  --late-echo[=N]      the last N bytes of each request (default 3) come back late, all at
                       once, 16 ms after the request has been heard (after the master's
                       purge) and before the answer, as a USB adapter hands on a modem's
                       echo; with --echo the rest comes back at once

Timing and output:
  --turnaround MS      the gap between hearing a request's end and answering it, 0-10000 ms
                       (default 20)
  --fast               send replies at pty speed (still after the request's on-air time)
  --trace              print every frame heard and sent, in hex, with times in ms (not the
                       bytes of --trickle and --babble); dropped requests and answers
                       with a wrong checksum are marked
  --help               show this text
  --version            show the version

Exit codes: 0 after SIGINT, SIGTERM or SIGHUP or when the device vanished, 64 for a
command line that cannot be used, 1 when the line cannot be opened or linked or the output
cannot be written.
)";
}

}  // namespace sim
