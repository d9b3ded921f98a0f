#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <functional>

#include "serial/ComNumberText.h"

namespace {

// Arguments are bytes, not always UTF-8 (a capture file's name may hold anything):
// Latin-1 carries each byte through the parser and back unchanged.
QString ArgumentText(const std::string& arg) {
    return QString::fromLatin1(arg.data(), static_cast<qsizetype>(arg.size()));
}

std::string ArgumentBytes(const QString& text) { return text.toLatin1().toStdString(); }

std::optional<std::string> ParseLanguage(const std::string& text) {
    if (text == "en") return std::string("English");
    if (text == "zh") return std::string("Chinese");
    return std::nullopt;
}

// The options that may come before the command.
struct Options {
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version{QStringLiteral("version")};
    QCommandLineOption trace{QStringLiteral("trace")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption port{QStringLiteral("port"), QString(), QStringLiteral("N")};
    QCommandLineOption lang{QStringLiteral("lang"), QString(), QStringLiteral("en|zh")};
    QCommandLineOption pcap{QStringLiteral("pcap"), QString(), QStringLiteral("FILE")};
};

// The parser names an option without its dashes and ends its texts with a full stop; ours
// keep the wording scripts and users have seen so far.
std::string ParseFailureText(const QCommandLineParser& parser, const Options& options,
                             const std::vector<std::string>& args) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString& name = unknown.front();
        return "unknown option '" + std::string(name.size() == 1 ? "-" : "--") +
               ArgumentBytes(name) + "'";
    }
    // Before the command an option takes the next word as its value, so only one that ends
    // the line can lack it.
    if (parser.positionalArguments().isEmpty() && !args.empty()) {
        for (const QCommandLineOption* option : {&options.port, &options.lang, &options.pcap}) {
            const std::string spelling = "--" + ArgumentBytes(option->names().front());
            if (args.back() == spelling) return spelling + " needs a value";
        }
    }
    // A value given to an option that takes none, as "--trace=1".
    std::string text = parser.errorText().toStdString();
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// Every value given counts, so a mistyped one is refused even when a later one would do.
bool TakeEach(const QStringList& values, const std::function<bool(const std::string&)>& take,
              const std::string& expected, std::string& error) {
    for (const QString& value : values) {
        const std::string text = ArgumentBytes(value);
        if (!take(text)) {
            error = expected + ", not '" + text + "'";
            return false;
        }
    }
    return true;
}

bool ReadValues(const QCommandLineParser& parser, const Options& options, CommandLine& line,
                std::string& error) {
    const auto takePort = [&](const std::string& text) {
        return (line.port = TypedPortNumber(text)).has_value();
    };
    const auto takeLanguage = [&](const std::string& text) {
        return (line.language = ParseLanguage(text)).has_value();
    };
    if (!TakeEach(parser.values(options.port), takePort, "--port takes a COM number from 0 to 255",
                  error) ||
        !TakeEach(parser.values(options.lang), takeLanguage, "--lang takes en or zh", error))
        return false;
    for (const QString& value : parser.values(options.pcap)) {
        if (value.isEmpty()) {
            error = "--pcap needs a file name";
            return false;
        }
        line.pcap = ArgumentBytes(value);
    }
    return true;
}

}  // namespace

std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t max) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

std::optional<std::string> OptionValue(const std::vector<std::string>& args, size_t& i,
                                       const std::string& name, std::string& error) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        i += 1;
        return args[i];
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
        arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    return std::nullopt;
}

bool ReadOptionArguments(const std::vector<std::string>& args, const std::string& command,
                         const std::string& name, std::ostream& err,
                         const std::function<bool(const std::string&)>& keep) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (auto value = OptionValue(args, i, name, error)) {
            if (!keep(*value)) return false;
            continue;
        }
        err << "tralvo-cli: " << command << ": "
            << (error.empty() ? "unknown argument '" + args[i] + "'" : error) << "\n";
        return false;
    }
    return true;
}

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    const Options options;
    QCommandLineParser parser;
    parser.addOptions({options.help, options.version, options.trace, options.json, options.port,
                       options.lang, options.pcap});
    // Parsing stops at the command word: what follows is the command's, read by it as typed.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    QStringList words{QStringLiteral("tralvo-cli")};
    for (const std::string& arg : args) words.append(ArgumentText(arg));
    if (!parser.parse(words)) {
        error = ParseFailureText(parser, options, args);
        return false;
    }
    if (!ReadValues(parser, options, line, error)) return false;
    line.help = parser.isSet(options.help);
    line.version = parser.isSet(options.version);
    line.trace = parser.isSet(options.trace);
    line.json = parser.isSet(options.json);

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        if (line.help || line.version) return true;
        error = "no command given";
        return false;
    }
    line.command = ArgumentBytes(positional.front());
    line.commandArgs.clear();
    for (qsizetype i = 1; i < positional.size(); ++i)
        line.commandArgs.push_back(ArgumentBytes(positional[i]));
    // Every command takes --json alike, so the commands never see it among their own.
    const auto json = std::remove(line.commandArgs.begin(), line.commandArgs.end(), "--json");
    if (json != line.commandArgs.end()) {
        line.json = true;
        line.commandArgs.erase(json, line.commandArgs.end());
    }
    if (std::find(line.commandArgs.begin(), line.commandArgs.end(), "--help") !=
        line.commandArgs.end())
        line.help = true;
    return true;
}

const char* UsageText() {
    return R"(Usage:
  tralvo-cli [--port N] [--lang en|zh] [--trace] [--pcap FILE] [--json] poll [--multidrop ask|yes|no]
  tralvo-cli [--port N] [--trace] [--pcap FILE] [--json] pv [--attempts N]
  tralvo-cli [--port N] [--trace] [--pcap FILE] [--json] continuous [--count N]
  tralvo-cli [--json] ports
  tralvo-cli --help
  tralvo-cli --version

Runs Tralvo's modem tests without the window, as a HART master on a COM port.

Commands:
  poll         the Poll HART Network test: polls address 0 and reads the device's tag, or
               scans the multi-drop addresses 1 to 15. Prints the four result boxes:
               "Status: ...", "HART Tag: ...", "HART ID: ...", "HART Addr: ...".
      --multidrop ask|yes|no
               the answer to "No devices at address 0.  Multi-drop Poll?"; ask (on the
               terminal) is the default when standard input is a terminal, no otherwise
  pv           polls address 0, then reads loop current and PV every 2 s, one line a tick
               with its time, the PV followed by its unit
      --attempts N
               N timed polls counting errors (default 10); 0 monitors until Ctrl+C
  continuous   identity polls to address 0, one right after the other, one line each
      --count N
               stop after N polls (default: until Ctrl+C)
               pv and continuous end with the link's figures over the run, such as
               Link: 20 exchanges, 18 answered (2 after a retry), 1 no reply, 1 bad
               checksum, 0 incomplete, 0 with line errors, 0 busy; answer 18/20/22 ms
               (median/95%/max): one exchange per request sent, the answer time from
               the end of the request to the first byte of the reply
  ports        the ports the port chooser lists, one a line: COM<n>, the device it opens,
               what the port is, its /dev/serial/by-id name (tab-separated). Gives a
               USB adapter seen for the first time its own COM number, as the chooser does
               With --json: a JSON array of objects: number, name, device, description,
               and where known manufacturer, product, serial, by_id, driver, usb_id

Options:
  --port N     COM port number (0-255, or COM<n>); default: the stored port. The settings
               are only read, never written.
  --lang en|zh language of the test's texts (default: the stored language)
  --trace      every frame sent and received on standard error, in hex, with times in
               milliseconds and the link result of each reception
  --pcap FILE  every frame sent and received written to FILE as a capture (pcapng, HART-IP
               over UDP port 5094) that Wireshark decodes; an existing FILE is replaced
               once the command line is known good. A symbolic link in its place is
               refused. A FILE that cannot be created ends tralvo-cli with status 64
               before the port is opened
  --json       poll: one JSON object with the result, also when the test fails; pv and
               continuous: one JSON object a line, each tick or poll with its time,
               and last {"summary": true, ...} with the link's figures.
               Standard output then carries nothing else. May also follow the command
  --help       show this text
  --version    show the version

Exit status:
  0   test passed (single device or multi-drop network), or the command completed
  1   "Test Failed" (pv: no single device, or "HART Error")
  2   the COM port did not open, or stopped working
  64  a command line that cannot be used
  74  standard output or the capture file could not be written
  130 poll ended by Ctrl+C (pv and continuous: 0)
  128+N  ended by signal N: 143 SIGTERM, 129 SIGHUP, 141 SIGPIPE; the port is
      closed with its line settings restored, as on Ctrl+C
)";
}
