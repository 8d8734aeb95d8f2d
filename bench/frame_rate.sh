#!/usr/bin/env bash
# Frame rate, main-thread CPU, load and save of stageworks on the private X server.
#
#   bench/frame_rate.sh [--build-dir DIR] [--seconds N] [--no-build] [--cases "demo empty ..."]
#                       [--stageworks PROGRAM] [--play]
#
# Builds a Release tree (default build-release/ in the repository; --no-build uses it as it
# is), starts the private X server of scripts/xserver.sh (Xorg dummy, 1024x768@75, game
# mode) and runs, one after the other in fresh working directories made from the run data:
#
#   demo     the shipped demo scene, start view
#   empty    a scene without objects (the sky only)
#   mixed N  N mixed objects (tools/demoscene/mixedscene: the twelve kinds with default
#            segments, 20 materials of which 5 animated textures, two events each) for
#            N = 250, 500, 1000
#   bare     a freeglut game-mode program that only clears and swaps (bench/bare_gamemode.c),
#            the floor of what the X path costs
#
# Frames are counted outside the program: bench/swap_counter.c is preloaded (LD_PRELOAD) and
# counts every glXSwapBuffers call in a shared file, read before and after a window of
# --seconds (default 10) that starts 3 s after " MainLoop started...". Over the same window:
# the main thread's own CPU time (utime + stime of /proc/PID/task/PID/stat, the renderer's
# threads not counted) and the CPU time of all the program's threads per frame. The load
# time is the time between the program's " XML loading..." and " MainLoop started..." lines
# (each line stamped as it arrives; the fastest of three starts); xmllint --valid --noout on
# the same file (fastest of 5) and the save of the same scene (fastest of 5, the program's
# own writer, bench/save_timer.cpp) are timed in the same run. Prints one table.
#
# --cases runs only the named cases (demo, empty, m250, m500, m1000, bare); --stageworks
# measures another build of the program (for before/after comparisons); --play runs it as
# the visitors' player (stageworks --play: the events run, nothing can be edited).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="$root/build-release"
seconds=10
do_build=1
cases="demo empty m250 m500 m1000 bare"
other_program=""
play_option=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$(realpath -m "$2")"; shift ;;
    --seconds) seconds="$2"; shift ;;
    --no-build) do_build=0 ;;
    --cases) cases="$2"; shift ;;
    --stageworks) other_program="$(realpath "$2")"; shift ;;
    --play) play_option=(--play) ;;
    -h|--help) sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "frame_rate.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
command -v xmllint >/dev/null || { echo "frame_rate.sh: xmllint is missing (scripts/setup.sh)" >&2; exit 1; }

if [ "$do_build" = 1 ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSW_MATFORGE=OFF >/dev/null
  cmake --build "$build" -j2 --target stageworks rundata mixedscene swap_counter bare_gamemode save_timer >/dev/null
fi
stageworks="${other_program:-$build/stageworks/app/stageworks}"
mixedscene="$build/tools/demoscene/mixedscene"
bare="$build/bench/bare_gamemode"
saver="$build/bench/save_timer"
shim="$build/bench/libswap_counter.so"
for f in "$stageworks" "$mixedscene" "$bare" "$saver" "$shim" "$build/rundata/escena.xml"; do
  [ -e "$f" ] || { echo "frame_rate.sh: $f is missing (build first)" >&2; exit 1; }
done

scratch="$(mktemp -d "${TMPDIR:-/tmp}/frame-rate.XXXXXX")"
server_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$server_pid" ] && "$root/scripts/xserver.sh" stop "$server_pid" >/dev/null 2>&1
  rm -rf "$scratch"
}
trap cleanup EXIT
trap "exit 130" INT TERM

read -r display server_pid < <(XSERVER_LOGDIR="$scratch" "$root/scripts/xserver.sh" start --owner $$)
ticks=$(getconf CLK_TCK)

# Seconds since the epoch with microseconds, without a fork
now() { echo "$EPOCHREALTIME"; }

# Arithmetic on decimals: calc EXPRESSION
calc() { awk "BEGIN { printf \"%.6f\", $* }"; }

# Swap count in the counter file (0 before the first swap)
swaps() { [ -s "$1" ] && od -An -tu8 -N8 "$1" | tr -d ' ' || echo 0; }

# utime + stime of a process's main thread, in clock ticks
main_thread_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/task/$1/stat"; }

# utime + stime of all the process's threads (the GL's rasterizer threads too), in clock ticks
process_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# The stamp (seconds) of the first line of a "<seconds> <line>" log holding a text; empty
# when none does
stamp_of() { grep -m1 -F -- "$2" "$1" | cut -d' ' -f1 || true; }

# Fastest of n runs of a command, in ms
fastest_ms() {
  local n="$1"; shift
  local best="" t0 t1 ms
  for _ in $(seq "$n"); do
    t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
    ms=$(calc "($t1 - $t0) * 1000")
    if [ -z "$best" ] || awk -v a="$ms" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$ms; fi
  done
  printf '%.1f' "$best"
}

# Starts a program in a working directory with the swap counter preloaded and its output
# lines stamped into a log, and waits for " MainLoop started...". Sets app_pid.
start_program() {
  local name="$1" program="$2" dir="$3" counter="$4" log="$5"
  local pidfile="$scratch/$name.pid"
  rm -f "$pidfile"
  ( cd "$dir" && echo "$BASHPID" >"$pidfile" &&
    exec env DISPLAY="$display" SW_SWAP_COUNTER="$counter" LD_PRELOAD="$shim" "$program" ${play_option[@]+"${play_option[@]}"} ) \
    2>"$scratch/$name.err" | while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done >"$log" &
  app_pid=""
  local i
  for i in $(seq 1 1200); do   # up to 120 s for the start-up under load
    [ -s "$pidfile" ] && app_pid=$(cat "$pidfile")
    if [ -n "$app_pid" ] && grep -q -F " MainLoop started..." "$log"; then return 0; fi
    sleep 0.1
  done
  echo "frame_rate.sh: $name did not start" >&2; cat "$scratch/$name.err" >&2; exit 1
}

# Ends the program started last
stop_program() {
  kill "$app_pid"; wait 2>/dev/null || true
  app_pid=""
}

# Milliseconds from " XML loading..." to " MainLoop started..." in a log; empty without them
load_time() {
  local a b
  a=$(stamp_of "$1" " XML loading..."); b=$(stamp_of "$1" " MainLoop started...")
  if [ -n "$a" ] && [ -n "$b" ]; then calc "($b - $a) * 1000"; fi
}

# Runs one case: name, program, working directory. Sets fps, cpu, cpu_frame and load_ms (the
# fastest of three starts).
run_case() {
  local name="$1" program="$2" dir="$3"
  local counter="$scratch/$name.swaps" log="$scratch/$name.log"
  rm -f "$counter"
  start_program "$name" "$program" "$dir" "$counter" "$log"
  sleep 3
  local c0 t0 u0 p0 c1 t1 u1 p1
  c0=$(swaps "$counter"); u0=$(main_thread_ticks "$app_pid"); p0=$(process_ticks "$app_pid"); t0=$(now)
  sleep "$seconds"
  c1=$(swaps "$counter"); u1=$(main_thread_ticks "$app_pid"); p1=$(process_ticks "$app_pid"); t1=$(now)
  stop_program
  fps=$(calc "($c1 - $c0) / ($t1 - $t0)")
  cpu=$(calc "100 * ($u1 - $u0) / $ticks / ($t1 - $t0)")
  cpu_frame=$(calc "1000 * ($p1 - $p0) / $ticks / ($c1 - $c0)")
  load_ms=$(load_time "$log")
  [ -n "$load_ms" ] || return 0
  local again ms
  for again in 2 3; do
    start_program "$name" "$program" "$dir" "$counter" "$log.$again"
    stop_program
    ms=$(load_time "$log.$again")
    if awk -v a="$ms" -v b="$load_ms" 'BEGIN { exit !(a < b) }'; then load_ms=$ms; fi
  done
  return 0
}

# A fresh working directory from the run data; with a count its scene is count mixed objects
workdir() {
  local dir="$scratch/$1"
  mkdir -p "$dir" && cp -r "$build/rundata/." "$dir/"
  if [ -n "${2:-}" ]; then "$mixedscene" "$2" "$dir" >/dev/null; fi
  echo "$dir"
}

printf '%-20s %7s %8s %9s %9s %8s %10s %8s %8s %8s\n' \
  "case" "fps" "ms/frame" "main CPU%" "CPU ms/fr" "load ms" "xmllint ms" "load/xml" "save ms" "save/xml"
row() {
  local name="$1" dir="$2" program="$3"
  run_case "$name" "$program" "$dir"
  local xml="" save="" lr="" sr=""
  if [ -f "$dir/escena.xml" ] && [ "$program" = "$stageworks" ]; then
    xml=$( cd "$dir" && fastest_ms 5 xmllint --valid --noout escena.xml )
    save=$( cd "$dir" && "$saver" 5 )
    lr=$(printf '%.2f' "$(calc "$load_ms / $xml")")
    sr=$(printf '%.2f' "$(calc "$save / $xml")")
    load_ms=$(printf '%.1f' "$load_ms")
  else
    load_ms=""
  fi
  printf '%-20s %7.1f %8.2f %9.1f %9.2f %8s %10s %8s %8s %8s\n' "$name" "$fps" "$(calc "1000 / $fps")" "$cpu" \
    "$cpu_frame" "${load_ms:--}" "${xml:--}" "${lr:--}" "${save:--}" "${sr:--}"
  eval "frame_ms_$4=$(calc "1000 / $fps")"
  [ -n "$load_ms" ] && eval "load_ms_$4=$load_ms"
  return 0
}

wanted() { [[ " $cases " == *" $1 "* ]]; }
wanted demo && row "demo (start view)" "$(workdir demo)" "$stageworks" demo
wanted empty && row "empty (sky only)" "$(workdir empty 0)" "$stageworks" empty
for n in 250 500 1000; do
  wanted "m$n" && row "mixed $n objects" "$(workdir "mixed$n" "$n")" "$stageworks" "m$n"
done
wanted bare && row "bare game mode" "$(workdir bare)" "$bare" bare

echo
if wanted m250 && wanted m1000; then
  echo "Scaling from 250 to 1000 objects (linear or better: at most 4.00):"
  printf '  frame time  x%.2f\n' "$(calc "$frame_ms_m1000 / $frame_ms_m250")"
  printf '  load time   x%.2f\n' "$(calc "$load_ms_m1000 / $load_ms_m250")"
fi
echo "Goals: demo and empty at the 62 fps cap (>= 60), empty main CPU% < 30, 1000 objects >= 30 fps,"
echo "       load <= 2x xmllint, save <= 1x xmllint."
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"
echo "         $(DISPLAY="$display" glxinfo -B 2>/dev/null | grep -m1 'renderer string' | cut -d: -f2 | sed 's/^ //' || echo 'GL renderer unknown')"
