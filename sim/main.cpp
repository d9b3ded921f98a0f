// tralvo-sim: simulated HART field devices on a serial line.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "serial/ComNumberText.h"
#include "sim/FieldBus.h"
#include "sim/Line.h"
#include "sim/LineService.h"
#include "sim/Options.h"
#include "sim/Trace.h"
#include "version/Version.h"

namespace {

std::atomic<bool> g_stop{false};

void RequestStop(int) { g_stop.store(true); }

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    // A reader of the output that went away must not end the simulator past its clean-up:
    // the write fails instead, and the exit code says so.
    std::signal(SIGPIPE, SIG_IGN);
}

// The exit code once the output is written: a failed write is a failure, even after --help.
int Finish(int code) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return code;
    std::fprintf(stderr, "tralvo-sim: cannot write the output: %s\n", std::strerror(errno));
    return code == 0 ? 1 : code;
}

void PrintDevices(const std::vector<sim::DeviceConfig>& devices) {
    for (const sim::DeviceConfig& d : devices) {
        std::printf("  address %u: tag %s, id 0x%06X, mfr 0x%02X, type 0x%02X, rev %u\n",
                    d.pollAddress, d.tag.c_str(), d.deviceId, d.manufacturer, d.deviceType,
                    d.revision);
    }
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "tralvo-sim: %s\n", error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    sim::SimOptions options;
    std::string error;
    if (!sim::ParseOptions(args, options, error)) {
        std::fprintf(stderr, "tralvo-sim: %s\nTry 'tralvo-sim --help'.\n", error.c_str());
        return sim::kExitUsage;
    }
    if (options.help) {
        std::fputs(sim::UsageText(), stdout);
        return Finish(0);
    }
    if (options.version) {
        std::puts("tralvo-sim " TRALVO_VERSION);
        return Finish(0);
    }
    CatchStopSignals();

    sim::PtyLine pty;
    sim::ComLink link;
    int fd = -1;
    if (options.linkCom) {
        if (!pty.Open(error)) return Fail(error);
        if (!link.Create(*options.linkCom, pty.SlavePath(), error)) return Fail(error);
        fd = pty.MasterFd();
        std::printf("tralvo-sim: %s -> %s (%s)\n", PortTextFromNumber(*options.linkCom).c_str(),
                    pty.SlavePath().c_str(), link.Path().c_str());
    } else {
        fd = sim::OpenExistingLine(*options.port, error);
        if (fd < 0) return Fail(error);
        std::printf("tralvo-sim: serving %s\n", options.port->c_str());
    }
    PrintDevices(options.devices);
    std::fflush(stdout);

    sim::FieldBus bus(options.devices, options.behaviour);
    sim::Trace trace(stdout);
    sim::LineService service(fd, bus, options.timing, options.trace ? &trace : nullptr);
    if (options.linkCom) service.WatchDrain([&pty] { return !pty.SlaveHasInput(); });
    const sim::LineService::End end = service.Run(g_stop);

    if (!options.linkCom) close(fd);
    if (end == sim::LineService::End::Vanished) {
        // Gone as an unplugged modem goes: the line hangs up and its port is no longer there.
        pty.Close();
        link.Remove();
        std::printf("tralvo-sim: the device vanished after %u exchanges\n",
                    options.behaviour.vanishAfter);
    }
    return Finish(0);
}
