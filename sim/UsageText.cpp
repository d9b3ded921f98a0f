#include "sim/Options.h"

namespace sim {

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
