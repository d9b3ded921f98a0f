# Sourced by the scripts that run Windows programs under Wine: a fresh prefix whose COM ports
# reach no device of this machine.
#
# Wine links COM ports to the machine's real serial devices (COM1 to /dev/ttyS0, here the
# kernel console) when its server starts in a new prefix. Those links are removed as soon as
# the prefix exists and again before each program; only ptys of the tests are linked.

# Starts one persistent server in a new prefix under $1. Wine detects ports (and makes its
# links) once per session, when the prefix starts, so nothing makes them again later.
start_wine_prefix() {
    export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1
    wineboot -i >/dev/null 2>&1
    drop_device_links
}

# Removes every COM link except those named (com200 ...) that lead to a pty.
drop_device_links() {
    local link keep
    for link in "$WINEPREFIX"/dosdevices/com*; do
        [ -L "$link" ] || continue
        keep=false
        case "$(readlink "$link")" in
            /dev/pts/*) [[ " $* " == *" $(basename "$link") "* ]] && keep=true ;;
        esac
        $keep || rm -f "$link"
    done
}

# Links COM<n> of the prefix to a pty: link_wine_port 200 /dev/pts/7.
link_wine_port() {
    case "$2" in
        /dev/pts/*) ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1" ;;
        *) echo "COM$1 would lead to $2, which is no pty" >&2; return 1 ;;
    esac
}
