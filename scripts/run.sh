#!/bin/sh
# Starts Zelvitor from the build folder: run.sh BUILD [PORT]
#
# Without a port a simulated Siemens TC35 whose SIM asks for the PIN 2468
# runs on a pseudo-terminal and Zelvitor talks to it; with a port (say
# /dev/ttyUSB0) Zelvitor drives the modem there. Either way HOME and
# XDG_CONFIG_HOME point into BUILD/run, so the settings, the configuration
# file and the documents folder of a try-out stay there and the user's own
# are never touched.
set -eu
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "${1:-build}" && pwd)"
PORT="${2:-}"
RUN="$BUILD/run"

# X11 finds its cookie through the real home.
if [ -z "${XAUTHORITY:-}" ] && [ -f "${HOME:-}/.Xauthority" ]; then
    export XAUTHORITY="$HOME/.Xauthority"
fi
export HOME="$RUN/home"
export XDG_CONFIG_HOME="$RUN/config"
CFG_DIR="$HOME/Documents/Tix/Zelvitor"
CFG="$CFG_DIR/Zelvitor.cfg"
mkdir -p "$CFG_DIR" "$XDG_CONFIG_HOME"

SIM_PID=""
cleanup() {
    if [ -n "$SIM_PID" ]; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

PIN=""
if [ -z "$PORT" ]; then
    SIM="$BUILD/tests/modemsim/zelvitor-modemsim"
    if [ ! -x "$SIM" ]; then
        echo "run.sh: $SIM is missing (configure with ZELVITOR_TESTS=ON)" >&2
        exit 1
    fi
    : > "$RUN/modem.out"
    "$SIM" -f "$ROOT/tests/modemsim/profiles/tc35-locked.txt" -t "$RUN/modem-transcript.txt" \
        > "$RUN/modem.out" 2> "$RUN/modem.err" &
    SIM_PID=$!
    # The simulator prints its pseudo-terminal's path first.
    tries=0
    while [ ! -s "$RUN/modem.out" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ] || ! kill -0 "$SIM_PID" 2>/dev/null; then
            echo "run.sh: the simulated device did not start:" >&2
            cat "$RUN/modem.err" >&2
            exit 1
        fi
        sleep 0.1
    done
    PORT="$(head -n 1 "$RUN/modem.out")"
    PIN="2468"
    echo "Simulated modem (Siemens TC35, PIN $PIN) on $PORT; its transcript goes to $RUN/modem-transcript.txt"
fi

# The configuration file names the port: made on the first run, its port
# brought up to date on later ones (everything else in it stays).
if [ -f "$CFG" ]; then
    awk -v port="$PORT" '
        BEGIN { section = ""; done = 0 }
        { line = $0; sub(/\r$/, "", line) }
        line ~ /^\[/ {
            if (section == "general" && !done) { printf "CommPort=%s\r\n", port; done = 1 }
            section = tolower(line); gsub(/[][ \t]/, "", section)
        }
        section == "general" && tolower(line) ~ /^[ \t]*commport[ \t]*=/ {
            if (!done) { printf "CommPort=%s\r\n", port; done = 1 }
            next
        }
        { printf "%s\r\n", line }
        END {
            if (!done) {
                if (section != "general") printf "[General]\r\n"
                printf "CommPort=%s\r\n", port
            }
        }' "$CFG" > "$CFG.new"
    mv "$CFG.new" "$CFG"
else
    (
        umask 077
        printf '[General]\r\nCommPort=%s\r\n[Project]\r\nPIN=%s\r\n' "$PORT" "$PIN" > "$CFG"
    )
fi
chmod 600 "$CFG"

"$BUILD/app/zelvitor"
