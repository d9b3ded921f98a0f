#include "sim/Options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <utility>

#include "hart/HartFrame.h"
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

// "--name=value" split at its first '='; the name alone when there is none.
std::string SpelledName(const std::string& arg) { return arg.substr(0, arg.find('=')); }

// Values above any character, so that no long option is taken for a short one.
enum OptionId : int {
    kHelp = 'h',
    kVersion = 256,
    kPort,
    kLink,
    kDevice,
    kBurst,
    kOtherMaster,
    kBusy,
    kBusyForever,
    kBadChecksum,
    kDropEvery,
    kVanishAfter,
    kTrickle,
    kBabble,
    kLateEcho,
    kTurnaround,
    kEcho,
    kNoise,
    kSilent,
    kFast,
    kTrace,
};

// --help and --version have always ignored a value given after '='.
constexpr option kLongOptions[] = {
    {"help", optional_argument, nullptr, kHelp},
    {"version", optional_argument, nullptr, kVersion},
    {"port", required_argument, nullptr, kPort},
    {"link", required_argument, nullptr, kLink},
    {"device", required_argument, nullptr, kDevice},
    {"burst", optional_argument, nullptr, kBurst},
    {"other-master", optional_argument, nullptr, kOtherMaster},
    {"busy", required_argument, nullptr, kBusy},
    {"busy-forever", no_argument, nullptr, kBusyForever},
    {"bad-checksum", required_argument, nullptr, kBadChecksum},
    {"drop-every", required_argument, nullptr, kDropEvery},
    {"vanish-after", required_argument, nullptr, kVanishAfter},
    {"trickle", optional_argument, nullptr, kTrickle},
    {"babble", no_argument, nullptr, kBabble},
    {"late-echo", optional_argument, nullptr, kLateEcho},
    {"turnaround", required_argument, nullptr, kTurnaround},
    {"echo", no_argument, nullptr, kEcho},
    {"noise", no_argument, nullptr, kNoise},
    {"silent", no_argument, nullptr, kSilent},
    {"fast", no_argument, nullptr, kFast},
    {"trace", no_argument, nullptr, kTrace},
    {nullptr, 0, nullptr, 0},
};

// getopt_long also takes unique abbreviations and clustered short options; scripts were
// written against the full spellings only, and an abbreviation that a new option makes
// ambiguous would break them, so only the documented spellings are accepted.
bool IsDocumentedSpelling(const std::string& arg, int id) {
    const std::string name = SpelledName(arg);
    if (id == kHelp && name == "-h") return true;
    for (const option* o = kLongOptions; o->name != nullptr; ++o) {
        if (o->val == id) return name == std::string("--") + o->name;
    }
    return false;
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
        const uint64_t longAddress = ((uint64_t{d.manufacturer} & hart::kAddressBits) << 32) |
                                     (uint64_t{d.deviceType} << 24) | d.deviceId;
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

namespace {

// A period in milliseconds that may follow after '='.
bool ParsePeriod(const std::string& name, const char* value, uint32_t& out, std::string& error) {
    return value == nullptr || ParseField(name, value, kMaxPeriodMs, out, error);
}

// A count where 0 would mean nothing at all.
bool ParseAtLeastOne(const std::string& name, const std::string& number, unsigned long max,
                     unsigned& out, std::string& error) {
    if (!ParseField(name, number, max, out, error)) return false;
    if (out > 0) return true;
    error = name + " needs N of 1 or more";
    return false;
}

// The field that an option which takes no value switches on; null for the others.
bool* SwitchOf(int id, SimOptions& options) {
    Behaviour& b = options.behaviour;
    const std::pair<int, bool*> switches[] = {
        {kBusyForever, &b.busyForever},
        {kBabble, &b.babble},
        {kEcho, &b.echo},
        {kNoise, &b.noise},
        {kSilent, &b.silent},
        {kFast, &options.timing.fast},
        {kTrace, &options.trace},
    };
    for (const auto& [key, field] : switches) {
        if (key == id) return field;
    }
    return nullptr;
}

// Takes one option that getopt_long has found, with its value (null when none was given).
bool ApplyOption(int id, const std::string& name, const char* value, SimOptions& options,
                 std::string& error) {
    Behaviour& b = options.behaviour;
    switch (id) {
        case kPort:
            options.port = value;
            if (!options.port->empty()) return true;
            error = "--port needs a device path";
            return false;
        case kLink: {
            unsigned com = 0;
            const bool ok = ParseComLink(value, com, error);
            options.linkCom = com;
            return ok;
        }
        case kDevice: {
            DeviceConfig device;
            const bool ok = ParseDevice(value, device, error);
            options.devices.push_back(device);
            return ok;
        }
        case kBurst:
            b.burst = true;
            return ParsePeriod(name, value, b.burstPeriodMs, error);
        case kOtherMaster:
            b.otherMaster = true;
            return ParsePeriod(name, value, b.otherMasterPeriodMs, error);
        case kBusy:
            return ParseField(name, value, kMaxCount, b.busyAnswers, error);
        case kBadChecksum:
            return ParseAtLeastOne(name, value, kMaxCount, b.badChecksumEvery, error);
        case kDropEvery:
            return ParseAtLeastOne(name, value, kMaxCount, b.dropEvery, error);
        case kVanishAfter:
            return ParseAtLeastOne(name, value, kMaxCount, b.vanishAfter, error);
        case kTrickle:
            b.trickle = true;
            if (!ParsePeriod(name, value, b.tricklePeriodMs, error)) return false;
            if (b.tricklePeriodMs >= kMinTricklePeriodMs) return true;
            error = "--trickle needs a period of " + std::to_string(kMinTricklePeriodMs) +
                    " ms or more";
            return false;
        case kLateEcho:
            b.lateEchoBytes = kDefaultLateEchoBytes;
            return value == nullptr ||
                   ParseAtLeastOne(name, value, kMaxLateEchoBytes, b.lateEchoBytes, error);
        case kTurnaround: {
            unsigned ms = 0;
            const bool ok = ParseField(name, value, kMaxTurnaroundMs, ms, error);
            options.timing.turnaroundMs = ms;
            return ok;
        }
        default:
            error = "unknown option '" + name + "'";
            return false;
    }
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    options = SimOptions{};
    std::string program = "tralvo-sim";
    std::vector<std::string> copies = args;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(args.size()) + 1;

    // '-' keeps the arguments in their order and hands over strays, so that they are
    // refused where they stand; ':' keeps getopt from printing messages of its own.
    constexpr char kShortOptions[] = "-:h";
    optind = 0;  // a fresh scan: each call is a new command line
    opterr = 0;
    while (true) {
        // Every option but a refused one ends its argument, so this is the one being read.
        const int at = std::max(optind, 1);
        const int code = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr);
        if (code == -1) {
            if (at == argc) break;
            error = "unknown option '" + args[at - 1] + "'";  // a "--": we take no operands
            return false;
        }
        const std::string& arg = args[at - 1];
        const int id = (code == '?' || code == ':') ? optopt : code;
        if (!IsDocumentedSpelling(arg, id)) {
            error = "unknown option '" + arg + "'";
            return false;
        }
        const std::string name = SpelledName(arg);
        if (code == '?') {
            error = name + " takes no value";
            return false;
        }
        if (code == ':') {
            error = name + " needs a value";
            return false;
        }
        if (id == kHelp || id == kVersion) {
            (id == kHelp ? options.help : options.version) = true;
            return true;
        }
        if (bool* field = SwitchOf(id, options)) {
            *field = true;
        } else if (!ApplyOption(id, name, optarg, options, error)) {
            return false;
        }
    }
    if (options.port.has_value() == options.linkCom.has_value()) {
        error = "give either --port PATH or --link COM<n>";
        return false;
    }
    if (options.devices.empty()) options.devices.push_back(DefaultDevice(0));
    return CheckLine(options.devices, error);
}

}  // namespace sim
