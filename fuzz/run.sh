#!/usr/bin/env bash
# Builds the fuzz harnesses with clang, seeds each from tests/data and runs it.
#
#   fuzz/run.sh [SECONDS_PER_HARNESS] [HARNESS...]
#
# CI runs each for 20 seconds; for a long run give e.g. 3600 (an hour each).
# A crash, leak, sanitizer finding or timeout fails the run; the input that
# caused it is kept in build-fuzz/findings/<harness>/ (replay it with
# build-fuzz/fuzz/fuzz_<harness> FILE and turn it into a test under tests/).
# Corpora grow in build-fuzz/corpus/<harness>/ and are reused by later runs.
# FUZZ_SEED fixes libFuzzer's random seed and FUZZ_RUNS caps the executions
# per harness (CI sets both, so that its short runs try the same inputs on any
# machine); unset, every run explores differently until its time is up.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-20}"
shift || true
BUILD=build-fuzz
ALL=(productheader tables alarmfile ugcsearch valueconversion unzip broadcast broadcastheaders
     pagerfiles mailfiles modemsettings imageloader)
if [ "$#" -gt 0 ]; then HARNESSES=("$@"); else HARNESSES=("${ALL[@]}"); fi

if [ "${FUZZ_BUILD:-1}" != 0 ]; then # FUZZ_BUILD=0: use the harnesses already built
    CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-}" \
        cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DVANTOREL_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD" --target fuzz_all -j2 >/dev/null
fi

# seed DIR SOURCES...: the files of the sources (files or directories) as seeds.
seed() {
    local dir="$1"; shift
    mkdir -p "$dir"
    for source in "$@"; do
        if [ -d "$source" ]; then
            find "$source" -maxdepth 1 -type f -size -512k -exec cp -n {} "$dir"/ \;
        elif [ -f "$source" ]; then
            cp -n "$source" "$dir"/
        fi
    done
}
# prefixed DIR BYTE FILES...: seeds with a selector byte in front, each cut
# to its first 300 lines: the run time of an input grows with its size, and
# the table limits are reached by the fuzzer's own repetitions.
prefixed() {
    local dir="$1" byte="$2"; shift 2
    mkdir -p "$dir"
    for f in "$@"; do
        [ -f "$f" ] || continue
        { printf "\\x$byte"; head -n 300 "$f"; } \
            > "$dir/$byte-$(printf '%s' "$f" | md5sum | cut -c1-6)-$(basename "$f")"
    done
}
# max_len HARNESS: the largest input tried. The time of a run grows with its
# input, and the size bounds themselves are unit-tested, so inputs stay small
# enough to keep the rate up: 64 KiB holds more rows or members than these
# files hold; alarm lines and UGC groups are read one by one, so a
# kilobyte holds every way lines meet (a malformed alarm line costs two
# exceptions, and a UGC range up to a thousand codes: at 4 KiB the UGC
# harness ran at two thirds of its 1 KiB rate and reached no more edges). The
# stream harness stops at 64 of its records: four files held at once and
# an eviction every 16 blocks are passed several times over, and 64 whole
# packets pass the decoder's 64 KiB buffer compaction.
max_len() {
    case "$1" in
    tables | unzip | pagerfiles | imageloader) echo 65536 ;;
    alarmfile | ugcsearch) echo 1024 ;;
    broadcastheaders) echo 705 ;; # 64 records of 11 bytes after the first byte
    *) echo 262144 ;;
    esac
}

CORPUS="$BUILD/corpus"
D=tests/data
seed "$CORPUS/productheader" "$D/corpus/products" "$D/display"
prefixed "$CORPUS/tables" 00 data/zonecode.csv
prefixed "$CORPUS/tables" 01 data/fips63.txt "$D/tables/fips63.txt"
prefixed "$CORPUS/tables" 02 data/dictionary.vantorel.txt
prefixed "$CORPUS/tables" 03 data/county-prod.txt
prefixed "$CORPUS/tables" 05 data/Vantorel-MainMenu.txt
prefixed "$CORPUS/tables" 06 data/Vantorel-Button.txt
prefixed "$CORPUS/tables" 07 data/Vantorel-Quick.txt
seed "$CORPUS/alarmfile" "$D/tables"
printf '"TOR???",1,0,0,1,-1,-1,-1,0,"MIZ050",1,1,0,0\r\n"METAR",0,0,0,0,-1,-1,-1,0,"",0,0,0,0\r\n' \
    > "$CORPUS/alarmfile/two-alarms.cfg"
mkdir -p "$CORPUS/ugcsearch"
for f in "$D"/ugc/*; do
    [ -f "$f" ] && { printf 'MIZ050\n'; cat "$f"; } > "$CORPUS/ugcsearch/$(basename "$f")"
done
mkdir -p "$CORPUS/valueconversion"
for v in " 3" "-1" "300" "True" "false" "5x" "1e3" "&H10" "  12.5  " "32768"; do
    printf '%s' "$v" > "$CORPUS/valueconversion/$(printf '%s' "$v" | md5sum | cut -c1-8)"
done
mkdir -p "$CORPUS/unzip"
python3 - "$CORPUS/unzip" <<'PY'
import sys, zipfile, os
out = sys.argv[1]
samples = {
    "plain.zis": [("AFDGRRMI.TXT", b"FXUS63 KGRR 051200\r\r\nAFDGRR\r\r\n")],
    "dirs.zis": [("sub/deeper/A.TXT", b"a"), ("../B.TXT", b"b"), (".X", b"x")],
    "many.zis": [("M%d.TXT" % i, b"m" * i) for i in range(20)],
}
for name, members in samples.items():
    with zipfile.ZipFile(os.path.join(out, name), "w", zipfile.ZIP_DEFLATED) as z:
        for member, data in members:
            z.writestr(member, data)
PY
mkdir -p "$CORPUS/broadcast"
printf '\0\0\0\0\0\0/PF' > "$CORPUS/broadcast/sync"
mkdir -p "$CORPUS/broadcastheaders"
python3 - "$CORPUS/broadcastheaders" <<'PY'
import os, struct, sys
def record(flags, block, total, offset=0, fill=0x41):
    return struct.pack("<BiibB", flags, block, total, offset, fill)
files = {
    # a three-block text file, plain and compressed, blocks out of order
    "three": b"\0" + b"".join(record(0, b, 3) for b in (2, 1, 3)),
    "compressed": b"\2" + b"".join(record(0x20, b, 3) for b in (1, 2, 3)),
    # hostile counts and numbers
    "hostile": b"\4" + record(0x40, 0, 0) + record(0x40, 5, 4) + record(0x40, 1, 16385)
               + record(0x40, -1, 3) + record(0x60, 1, 1, 100) + record(0x9c, 1, 1, 0, 0x11),
}
for name, data in files.items():
    with open(os.path.join(sys.argv[1], name), "wb") as f:
        f.write(data)
PY
mkdir -p "$CORPUS/pagerfiles"
printf '1234\r\n5551234\r\nATDT\r\n2400\r\nE\r\n7\r\n1\r\n80\r\n\n----\n!GROUP1\r\n' \
    > "$CORPUS/pagerfiles/users-groups"
mkdir -p "$CORPUS/mailfiles"
printf '\0[Operators]\r\nops@example.org, boss@example.org\r\n' > "$CORPUS/mailfiles/book"
printf '\2server=smtp.example.org\nsender=me@example.org\ntries=3\nport=25\n' \
    > "$CORPUS/mailfiles/profile"
printf '\3a@x.org, "B" <b@y.org>, bad address, -cc@z' > "$CORPUS/mailfiles/list"
seed "$CORPUS/imageloader" "$D/images"
mkdir -p "$CORPUS/modemsettings"
printf 'port=/dev/ttyS0\nspeed=2400\n' > "$CORPUS/modemsettings/basic"

status=0
# exec/s is per second of the run; per CPU s counts only the processor time
# the harness got, so that it is comparable on a busy machine.
# FUZZ_PIECE=N runs a harness as a series of processes of N executions each
# over the one corpus, up to FUZZ_RUNS in all: some harnesses lose half their
# rate in one long-lived process, and a new process gets it back.
TIMEFORMAT='%U %S'
printf '%-16s %12s %10s %10s  %s\n' harness executions exec/s "per CPU s" result
for h in "${HARNESSES[@]}"; do
    mkdir -p "$CORPUS/$h" "$BUILD/findings/$h"
    log="$BUILD/findings/$h.log"
    : >"$log"
    runs=0 cpu=0 piece=0 result=clean
    started=$(date +%s)
    while :; do
        left=$((SECONDS_EACH - ($(date +%s) - started)))
        want="${FUZZ_RUNS:--1}"
        if [ "$want" -ge 0 ]; then want=$((want - runs)); fi
        if [ -n "${FUZZ_PIECE:-}" ] && { [ "$want" -lt 0 ] || [ "$want" -gt "$FUZZ_PIECE" ]; }; then
            want="$FUZZ_PIECE"
        fi
        seed="${FUZZ_SEED:-0}"
        if [ "$seed" != 0 ]; then seed=$((seed + piece)); fi # 0: libFuzzer picks one
        if ! { time "$BUILD/fuzz/fuzz_$h" -max_total_time="$left" -timeout=10 \
            -rss_limit_mb=2048 -max_len="$(max_len "$h")" -print_final_stats=1 \
            -seed="$seed" -runs="$want" -artifact_prefix="$BUILD/findings/$h/" \
            "$CORPUS/$h" >"$log.piece" 2>&1; } 2>"$log.cpu"; then
            result="FINDING (see $log)"
            status=1
        fi
        cat "$log.piece" >>"$log"
        done_now=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log.piece" | grep -o '[0-9]*$' || echo 0)
        runs=$((runs + done_now))
        cpu=$((cpu + $(awk '{ printf "%d", ($1 + $2) * 1000 }' "$log.cpu")))
        piece=$((piece + 1))
        [ "$result" = clean ] && [ -n "${FUZZ_PIECE:-}" ] && [ "$done_now" -gt 0 ] || break
        [ "${FUZZ_RUNS:--1}" -lt 0 ] || [ "$runs" -lt "$FUZZ_RUNS" ] || break
        [ $(($(date +%s) - started)) -lt "$SECONDS_EACH" ] || break
    done
    rm -f "$log.piece"
    wall=$(($(date +%s) - started))
    if [ "$piece" -gt 1 ]; then echo "$h: $runs executions in $piece processes" >>"$log"; fi
    rate=$([ "$wall" -gt 0 ] && echo $((runs / wall)) || echo -) # "-": done within a second
    if [ "$piece" = 1 ]; then # one process: libFuzzer's own, finer figure
        rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
        if [ "$rate" = 0 ]; then rate="-"; fi
    fi
    perCpu=$([ "$cpu" -gt 0 ] && echo $((runs * 1000 / cpu)) || echo -)
    printf '%-16s %12s %10s %10s  %s\n' "$h" "$runs" "$rate" "$perCpu" "$result"
done
exit $status
