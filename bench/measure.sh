#!/usr/bin/env bash
# The benchmark itself, run by scripts/bench.sh inside a warm Wine session: Vimbrel.exe beside
# the floor program, every figure taken side by side in this one run. Prints a Markdown table.
# Shorter or longer runs: BENCH_PAIRS, BENCH_SECONDS (own cost), BENCH_STARTS (start-up),
# BENCH_PHASE_SECONDS (accuracy; four phases must end before the meter's 60 s reset).
set -euo pipefail

bin=$VIMBREL_BUILD/bin
work=$VIMBREL_BUILD/bench
pairs=${BENCH_PAIRS:-4}
seconds=${BENCH_SECONDS:-40}
starts=${BENCH_STARTS:-7}
phase_seconds=${BENCH_PHASE_SECONDS:-14}
ticks=$(getconf CLK_TCK)
cpus=$(grep -c "^cpu[0-9]" /proc/stat)

# Both programs run from a folder of their own, where Vimbrel keeps its settings file.
mkdir -p "$work/run"
cp "$bin/Vimbrel.exe" "$bin/bench_floor.exe" "$work/run/"
rm -f "$work/run/Vimbrel.ini"
meter=$("$VIMBREL_WINE" winepath -w "$work/run/Vimbrel.exe")
floor=$("$VIMBREL_WINE" winepath -w "$work/run/bench_floor.exe")
driver=$bin/bench_driver.exe

# Each Windows process is a Unix process named after its exe; other developers' sessions run
# the same exes, so only those of this session's prefix count.
unix_pid() {
  local pid
  for pid in $(pgrep -x "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
  echo "bench: no process $1 in this session" >&2
  return 1
}

# This prefix's wineserver works in a folder named after the prefix's device and inode.
server_folder="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
server_pid() {
  local pid
  for pid in $(pgrep '^wineserver'); do
    [[ $(readlink "/proc/$pid/cwd") == */"$server_folder" ]] && echo "$pid" && return
  done
  echo "bench: no wineserver for $WINEPREFIX" >&2
  return 1
}
server=$(server_pid)
# The virtual display that the session started, if it is ours; it draws what the programs paint.
xserver=$(pgrep -P "$PPID" -x Xvfb || true)

# User plus system time of a process, in clock ticks (fields 14 and 15 of its stat line).
cpu_ticks() {
  [[ -n $1 ]] || { echo 0; return; }
  sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'
}
resident_kb() {
  awk '/^VmRSS:/ {print $2}' "/proc/$1/status"
}

median() {
  sort -g | awk '{v[NR] = $1} END {
    if (NR == 0) { print "nan"; exit }
    print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# 1. Own cost: one program held open while the clock runs, alternately.
own_cost_run() {
  local exe=$1 name=$2 ready closed pid
  coproc HELD { "$VIMBREL_WINE" "$driver" hold "$exe" 2>&1; }
  read -r ready _ <&"${HELD[0]}"
  [[ $ready == ready ]] || { echo "bench: $name did not start" >&2; exit 1; }
  pid=$(unix_pid "$name")
  sleep 1  # start-up is measured on its own
  local t0=$EPOCHREALTIME a0 s0 x0
  a0=$(cpu_ticks "$pid") s0=$(cpu_ticks "$server") x0=$(cpu_ticks "$xserver")
  sleep "$seconds"
  local t1=$EPOCHREALTIME a1 s1 x1
  a1=$(cpu_ticks "$pid") s1=$(cpu_ticks "$server") x1=$(cpu_ticks "$xserver")
  echo close >&"${HELD[1]}"
  read -r closed _ <&"${HELD[0]}"
  wait "$HELD_PID" 2>/dev/null || true
  # CPU milliseconds per minute of running: the process, wineserver, the X server.
  awk -v t="$ticks" -v d="$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')" \
    -v p="$((a1 - a0))" -v s="$((s1 - s0))" -v x="$((x1 - x0))" 'BEGIN {
      f = 1000 / t * 60 / d; printf "%.1f %.1f %.1f\n", p * f, s * f, x * f }'
}

echo "bench: own cost, $pairs pairs of ${seconds} s each side" >&2
: >"$work/cost.txt"
for pair in $(seq "$pairs"); do
  echo "vimbrel $(own_cost_run "$meter" Vimbrel.exe)" >>"$work/cost.txt"
  echo "floor $(own_cost_run "$floor" bench_floor.exe)" >>"$work/cost.txt"
  echo "bench: pair $pair done" >&2
done

# 2. Start-up, timed from a Windows driver that polls every millisecond.
echo "bench: start-up, $starts starts each" >&2
"$VIMBREL_WINE" "$driver" startup "$starts" "$meter" "$floor" 2>&1 | tr -d '\r' >"$work/startup.txt"

# 3. Accuracy under controlled loads, and 4. resident memory after a minute, side by side.
echo "bench: accuracy, four phases of ${phase_seconds} s" >&2
load=$work/load
watch_seconds=62
# Straight to a file: a pipe would hold the lines back until the driver ends.
"$VIMBREL_WINE" "$driver" watch "$meter" "$watch_seconds" >"$work/watch.raw" 2>&1 &
watch_job=$!
coproc FLOOR { "$VIMBREL_WINE" "$driver" hold "$floor" 2>&1; }
read -r _ _ <&"${FLOOR[0]}"
until grep -q '^start ' "$work/watch.raw"; do sleep 0.01; done
start_us=$(awk '/^start / {sub(/\r$/, ""); print $2; exit}' "$work/watch.raw")
since_start() { awk -v s="$start_us" -v n="$EPOCHREALTIME" 'BEGIN {print n - s / 1e6}'; }
sleep_until() { sleep "$(awk -v t="$1" -v n="$(since_start)" 'BEGIN {d = t - n; print (d > 0 ? d : 0)}')"; }

# Phases begin after the first tick's baseline; each load stops by itself at the phase's
# end. The truth is read over the phase's inner part, once the load has settled.
: >"$work/phases.txt"
begin=1.5
for phase in "idle:0:0" "one core busy:1:100" "all cores busy:$cpus:100" "one core at 50%:1:50"; do
  IFS=: read -r name threads duty <<<"$phase"
  sleep_until "$begin"
  load_pid=
  if ((threads > 0)); then
    "$load" "$phase_seconds" "$threads" "$duty" &
    load_pid=$!
  fi
  sleep 1
  s0=$(head -n1 /proc/stat) t0=$EPOCHREALTIME
  sleep "$((phase_seconds - 2))"
  s1=$(head -n1 /proc/stat) t1=$EPOCHREALTIME
  [[ -n $load_pid ]] && wait "$load_pid"
  echo "$name|$t0|$t1|$s0|$s1" >>"$work/phases.txt"
  begin=$(awk -v b="$begin" -v p="$phase_seconds" 'BEGIN {print b + p}')
done
sleep_until 60
meter_rss=$(resident_kb "$(unix_pid Vimbrel.exe)")
floor_rss=$(resident_kb "$(unix_pid bench_floor.exe)")
wait "$watch_job"
tr -d '\r' <"$work/watch.raw" >"$work/watch.txt"
echo close >&"${FLOOR[1]}"
read -r _ _ <&"${FLOOR[0]}"
wait "$FLOOR_PID" 2>/dev/null || true

# The meter in process over 10 000 ticks, from the asserted soak test.
soak=$("$VIMBREL_WINE" "$bin/app_tests.exe" --gtest_filter='Soak.*' 2>&1 | tr -d '\r' | grep '^soak:' || true)

# The table.
shipped_exe=${VIMBREL_SHIPPED_BUILD:-$VIMBREL_BUILD}/bin/Vimbrel.exe
exe_size=$(stat -c %s "$shipped_exe")
dlls=$("${OBJDUMP:-i686-w64-mingw32-objdump}" -p "$shipped_exe" |
  awk '/DLL Name:/ {print tolower($3)}' | sort | paste -sd, - | sed 's/,/, /g')

col() { awk -v k="$1" -v c="$2" '$1 == k {print $c}' "$work/cost.txt" | median; }
sum_col() { awk -v k="$1" '$1 == k {print $2 + $3}' "$work/cost.txt" | median; }

echo
echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $("$VIMBREL_WINE" --version) ($WINEARCH), Xvfb; the programs run as $VIMBREL_ARCH builds."
echo
echo "| Own cost, CPU ms per minute (median of $pairs, ${seconds} s each) | Vimbrel | floor | Vimbrel / floor |"
echo "|---|---|---|---|"
for row in "process:2" "wineserver:3" "X server:4"; do
  IFS=: read -r label column <<<"$row"
  v=$(col vimbrel "$column") f=$(col floor "$column")
  awk -v l="$label" -v v="$v" -v f="$f" 'BEGIN {printf "| %s | %.0f | %.0f | %s |\n", l, v, f, (f > 0 ? sprintf("%.2f", v / f) : "-")}'
done
v=$(sum_col vimbrel) f=$(sum_col floor)
awk -v v="$v" -v f="$f" 'BEGIN {printf "| **process + wineserver** (goal <= 1.0) | %.0f | %.0f | **%.2f** |\n", v, f, v / f}'

echo
echo "| Start-up, ms from process creation (median of $starts) | Vimbrel | floor | Vimbrel / floor |"
echo "|---|---|---|---|"
sv=$(awk '$2 == "Vimbrel.exe" {print $4}' "$work/startup.txt" | median)
sf=$(awk '$2 == "bench_floor.exe" {print $4}' "$work/startup.txt" | median)
cv=$(awk '$2 == "Vimbrel.exe" {print $5}' "$work/startup.txt" | median)
cf=$(awk '$2 == "bench_floor.exe" {print $5}' "$work/startup.txt" | median)
gv=$(awk '$2 == "Vimbrel.exe" {print $5 - $4}' "$work/startup.txt" | median)
gf=$(awk '$2 == "bench_floor.exe" {print $5 - $4}' "$work/startup.txt" | median)
awk -v v="$sv" -v f="$sf" 'BEGIN {printf "| to the first visible window (goal <= 1.2) | %.1f | %.1f | **%.2f** |\n", v, f, v / f}'
awk -v v="$cv" -v f="$cf" 'BEGIN {printf "| to the first \"Vimbrel - \" caption | %.1f | %.1f | %.2f |\n", v, f, v / f}'
awk -v v="$gv" -v f="$gf" 'BEGIN {printf "| window to first caption (goal <= 500) | **%.1f** | %.1f | |\n", v, f}'

echo
echo "| Accuracy, phase | mean reading % | truth from /proc/stat % | error |"
echo "|---|---|---|---|"
# The truth is the share of the CPUs' time not spent idle (idle and iowait of /proc/stat, which
# the kernel keeps exactly) over the wall-clock time between the two readings. The sum of all
# the fields is no clock: the kernel samples user and system time at its tick, and a load
# with a 10 ms duty cycle falls through that sampling (5% short in one run).
# A reading holds from one caption change to the next and reports the tick before it, so the
# readings are averaged over the truth's interval moved on by one tick. The 0 of a fresh
# baseline (the first tick, and the first after every 60 s reset) is left out.
awk -F'|' -v start="$start_us" -v lag=0.5 -v cpus="$cpus" -v hz="$ticks" '
  FNR == NR {
    if ($0 ~ /^caption /) { split($0, f, " "); n++; at[n] = f[2] / 1e6 - start / 1e6; value[n] = f[3] }
    next
  }
  {
    t0 = $2 - start / 1e6 + lag; t1 = $3 - start / 1e6 + lag
    split($4, a, " "); split($5, b, " ")
    idle = (b[5] - a[5]) + (b[6] - a[6])
    truth = 100 * (1 - idle / (($3 - $2) * cpus * hz))
    weighted = 0; covered = 0
    for (i = 1; i <= n; i++) {
      from = at[i]; to = i < n ? at[i + 1] : 1e9
      if (value[i] == 0) {
        reset = int(from / 60) * 60
        if (from - reset < 1.5) from = (to < from + 0.5 ? to : from + 0.5)
      }
      if (from < t0) from = t0
      if (to > t1) to = t1
      if (to > from) { weighted += value[i] * (to - from); covered += to - from }
    }
    reading = covered > 0 ? weighted / covered : 0
    error = reading - truth
    sum += error < 0 ? -error : error; phases++
    printf "| %s | %.2f | %.2f | %+.2f |\n", $1, reading, truth, error
  }
  END { printf "| **mean absolute error** (goal <= 1.0) | | | **%.2f** |\n", sum / phases }
' "$work/watch.txt" "$work/phases.txt"

echo
echo "| Footprint | Vimbrel | floor |"
echo "|---|---|---|"
awk -v s="$exe_size" 'BEGIN {printf "| size of the shipped 32-bit exe (goal <= 256 KB) | **%.0f KB** (%d bytes) | |\n", s / 1024, s}'
echo "| its imported DLLs (system only) | $dlls | |"
echo "| resident memory (VmRSS) after a minute | $((meter_rss)) KB | $((floor_rss)) KB |"
if [[ -n $soak ]]; then
  echo "| 10 000 ticks in process (asserted by tests/app/SoakTest.cpp) | ${soak#soak: } | |"
fi
