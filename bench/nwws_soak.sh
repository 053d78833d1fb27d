#!/usr/bin/env bash
# Soak of the Weather Wire engine against a local XMPP server (prosody on
# 127.0.0.1, generated configuration and certificate in a temporary
# directory): corpus products posted at a live rate for a while, the engine's
# memory sampled along the way. Ends by itself.
#
#   bench/nwws_soak.sh BUILD_DIR [SECONDS] [PRODUCTS_PER_SECOND]
set -euo pipefail
BUILD=$(realpath "${1:?build directory}")
SECONDS_TOTAL=${2:-3600}
RATE=${3:-2}
SRC=$(cd "$(dirname "$0")/.." && pwd)
WORK=$(mktemp -d)
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
PIDS=()
cleanup() { for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
    -addext "subjectAltName=DNS:localhost,DNS:conference.localhost" \
    -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
mkdir -p "$WORK/data" "$WORK/datain"
cat > "$WORK/prosody.cfg.lua" <<CFG
run_as_root = true
pidfile = "$WORK/prosody.pid"
data_path = "$WORK/data"
certificates = "$WORK"
log = { warn = "$WORK/prosody.log" }
interfaces = { "127.0.0.1" }
c2s_ports = { $PORT }
c2s_interfaces = { "127.0.0.1" }
s2s_ports = {}
http_ports = {}
https_ports = {}
modules_enabled = { "roster", "saslauth", "tls", "disco", "ping", "posix" }
modules_disabled = { "s2s" }
authentication = "internal_hashed"
c2s_require_encryption = true
ssl = { key = "$WORK/key.pem", certificate = "$WORK/cert.pem" }
VirtualHost "localhost"
Component "conference.localhost" "muc"
    muc_room_locking = false
CFG
prosodyctl --config "$WORK/prosody.cfg.lua" register nwwsuser localhost soak-secret >/dev/null 2>&1
prosodyctl --config "$WORK/prosody.cfg.lua" register sender localhost sender-secret >/dev/null 2>&1
prosody --config "$WORK/prosody.cfg.lua" -F >"$WORK/prosody.out" 2>&1 &
PIDS+=($!)
sleep 2
# the engine's private home (settings, program directory, runtime directory)
eval "$(python3 "$SRC/bench/common.py" environment "$WORK/home")"
mkdir -p "$XDG_DATA_HOME/vantorel"
printf 'soak-secret\n' >"$XDG_DATA_HOME/vantorel/nwws-password.txt"
chmod 600 "$XDG_DATA_HOME/vantorel/nwws-password.txt"
"$BUILD/src/NWWSEngine" --headless --data-in "$WORK/datain" --user nwwsuser \
    --server "localhost:$PORT" --ca-cert "$WORK/cert.pem" >"$WORK/engine.log" 2>&1 &
ENGINE=$!
PIDS+=($ENGINE)
for _ in $(seq 100); do grep -q "Joined" "$WORK/engine.log" && break; sleep 0.1; done
rss() { awk '/VmRSS/ {print $2}' "/proc/$ENGINE/status"; }
echo "start: engine RSS $(rss) kB"
FILES=("$SRC"/tests/data/corpus/products/*)
REPEAT=$(( SECONDS_TOTAL * ${RATE%.*} / ${#FILES[@]} + 1 ))
/usr/bin/python3 "$SRC/tests/tools/NWWSEngine/nwws_sender.py" --port "$PORT" --ca "$WORK/cert.pem" \
    --user sender --password sender-secret --rate "$RATE" --repeat "$REPEAT" \
    --timeout "$((SECONDS_TOTAL + 60))" "${FILES[@]}" \
    >"$WORK/sent.txt" 2>&1 &
SENDER=$!
PIDS+=($SENDER)
END=$(( $(date +%s) + SECONDS_TOTAL ))
while [ "$(date +%s)" -lt "$END" ] && kill -0 "$SENDER" 2>/dev/null; do
    sleep 60
    echo "$(date +%T) engine RSS $(rss) kB, $(grep -c '^sent ' "$WORK/sent.txt") sent, $(ls "$WORK/datain" | wc -l) in Data-In"
    # Data-In is emptied as the program would take the files
    # (never the engine's hidden files being written: they vanish on rename)
    find "$WORK/datain" -type f -name '[!.]*.TXT*' -mmin +0.5 -delete 2>/dev/null || true
done
echo "end: engine RSS $(rss) kB; $(grep -c '^sent ' "$WORK/sent.txt") sent, $(grep -c Wrote "$WORK/engine.log") written"
