#!/usr/bin/env bash
# Frame rate, CPU, the floor, idle cost, load and save of stageworks on private X servers.
#
#   bench/frame_rate.sh [--build-dir DIR] [--seconds N] [--no-build] [--cases "demo empty ..."]
#                       [--stageworks PROGRAM] [--play]
#
# Builds a Release tree (default build-release/ in the repository; --no-build uses it as it
# is), starts the private X server of scripts/xserver.sh (Xorg dummy, 1024x768@75, game
# mode) and runs, one after the other in fresh working directories made from the run data:
#
#   demo     the shipped demo scene in the player (--play: play mode draws every frame)
#   empty    a scene without objects (the sky only)
#   mixed N  N mixed objects (tools/demoscene/mixedscene: the twelve kinds with default
#            segments, 20 materials of which 5 animated textures, two events each) for
#            N = 250, 500, 1000, at the start view
#   floor    bench/floor_frame on the 1000 objects: the same picture from a few large vertex
#            buffers with the fewest state changes, right after the program in the same run
#   bare     a freeglut game-mode program that only clears and swaps (bench/bare_gamemode.c),
#            the floor of what the X path costs
#   idle     nothing pressed for --seconds: the demo (its water changes picture 3.3 times a
#            second) and the demo with still water, in game mode on Xorg and in --window on
#            Xvfb (a second private server)
#
# The edit-mode cases run with --every-frame (frames one after another, as in play); without
# it the editor draws only when something changes, which the idle case measures.
#
# Frames are counted outside the program: bench/swap_counter.c is preloaded (LD_PRELOAD) and
# counts every glXSwapBuffers call in a shared file, read before and after a window of
# --seconds (default 10) that starts 3 s after " MainLoop started...". Over the same window:
# the main thread's own CPU time (utime + stime of /proc/PID/task/PID/stat, the renderer's
# threads not counted) and the CPU time of all the program's threads, per frame and (idle) as
# a share of one core. The load time is the time between the program's " XML loading..." and
# " MainLoop started..." lines (each line stamped as it arrives; the median of five starts);
# xmllint --valid --noout on the same file (median of 5) and the save of the same scene
# (fastest of 5, the program's own writer, bench/save_timer.cpp) are timed in the same run.
# Prints the tables.
#
# --cases runs only the named cases (demo, empty, m250, m500, m1000, floor, bare, idle);
# --stageworks measures another build of the program (for before/after comparisons; one that
# has no --every-frame is run without it); --play runs the edit cases as the visitors' player
# (stageworks --play: the events run, nothing can be edited).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="$root/build-release"
seconds=10
do_build=1
cases="demo empty m250 m500 m1000 floor bare idle"
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
    -h|--help) sed -n '2,41p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "frame_rate.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
command -v xmllint >/dev/null || { echo "frame_rate.sh: xmllint is missing (scripts/setup.sh)" >&2; exit 1; }

if [ "$do_build" = 1 ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSW_MATFORGE=OFF >/dev/null
  cmake --build "$build" -j2 --target stageworks rundata mixedscene swap_counter bare_gamemode save_timer \
    floor_frame >/dev/null
fi
stageworks="${other_program:-$build/stageworks/app/stageworks}"
mixedscene="$build/tools/demoscene/mixedscene"
bare="$build/bench/bare_gamemode"
floor="$build/bench/floor_frame"
saver="$build/bench/save_timer"
shim="$build/bench/libswap_counter.so"
for f in "$stageworks" "$mixedscene" "$bare" "$floor" "$saver" "$shim" "$build/rundata/escena.xml"; do
  [ -e "$f" ] || { echo "frame_rate.sh: $f is missing (build first)" >&2; exit 1; }
done
every_frame="--every-frame"
help_text="$("$stageworks" --help 2>/dev/null || true)"
[[ "$help_text" == *"--every-frame"* ]] || every_frame=""
[ ${#play_option[@]} -gt 0 ] && every_frame="--play"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/frame-rate.XXXXXX")"
server_pid=""
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$server_pid" ] && "$root/scripts/xserver.sh" stop "$server_pid" >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && "$root/scripts/xserver.sh" stop "$xvfb_pid" >/dev/null 2>&1
  rm -rf "$scratch"
}
trap cleanup EXIT
trap "exit 130" INT TERM

read -r display server_pid < <(XSERVER_LOGDIR="$scratch" "$root/scripts/xserver.sh" start --owner $$)
xvfb_display=""
ticks=$(getconf CLK_TCK)

# Seconds since the epoch with microseconds, without a fork
now() { echo "$EPOCHREALTIME"; }

# Arithmetic on decimals: calc EXPRESSION
calc() { awk "BEGIN { printf \"%.6f\", $* }"; }

# The median of numbers given as arguments
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Swap count in the counter file (0 before the first swap)
swaps() { [ -s "$1" ] && od -An -tu8 -N8 "$1" | tr -d ' ' || echo 0; }

# utime + stime of a process's main thread, in clock ticks
main_thread_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/task/$1/stat"; }

# utime + stime of all the process's threads (the GL's rasterizer threads too), in clock ticks
process_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# The stamp (seconds) of the first line of a "<seconds> <line>" log holding a text; empty
# when none does
stamp_of() { grep -m1 -F -- "$2" "$1" | cut -d' ' -f1 || true; }

# Median of n runs of a command, in ms
median_ms() {
  local n="$1"; shift
  local t0 t1 times=()
  for _ in $(seq "$n"); do
    t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
    times+=("$(calc "($t1 - $t0) * 1000")")
  done
  printf '%.1f' "$(median "${times[@]}")"
}

# Starts a program (with its arguments) in a working directory on a display, with the swap
# counter preloaded and its output lines stamped into a log, and waits for " MainLoop
# started...". Sets app_pid.
start_program() {
  local name="$1" dir="$2" counter="$3" log="$4" on="$5"; shift 5
  local pidfile="$scratch/$name.pid"
  rm -f "$pidfile"
  ( cd "$dir" && echo "$BASHPID" >"$pidfile" &&
    exec env DISPLAY="$on" SW_SWAP_COUNTER="$counter" LD_PRELOAD="$shim" "$@" ) \
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

# Watches the program started last for --seconds, 3 s after its start: sets frames, fps, cpu
# (main thread, % of a core), all_cpu (all threads, % of a core) and cpu_frame (all threads,
# ms per frame)
watch_program() {
  local counter="$1"
  sleep 3
  local c0 t0 u0 p0 c1 t1 u1 p1
  c0=$(swaps "$counter"); u0=$(main_thread_ticks "$app_pid"); p0=$(process_ticks "$app_pid"); t0=$(now)
  sleep "$seconds"
  c1=$(swaps "$counter"); u1=$(main_thread_ticks "$app_pid"); p1=$(process_ticks "$app_pid"); t1=$(now)
  frames=$((c1 - c0))
  fps=$(calc "$frames / ($t1 - $t0)")
  cpu=$(calc "100 * ($u1 - $u0) / $ticks / ($t1 - $t0)")
  all_cpu=$(calc "100 * ($p1 - $p0) / $ticks / ($t1 - $t0)")
  cpu_frame=$(calc "1000 * ($p1 - $p0) / $ticks / ($frames > 0 ? $frames : 1)")
}

# Runs one case: name, working directory, kind (program: stageworks, whose load is timed),
# then the program and its arguments. Sets fps, cpu, cpu_frame and load_ms (the median of
# five starts)
run_case() {
  local name="$1" dir="$2" kind="$3"; shift 3
  local counter="$scratch/$name.swaps" log="$scratch/$name.log"
  rm -f "$counter"
  start_program "$name" "$dir" "$counter" "$log" "$display" "$@"
  watch_program "$counter"
  stop_program
  load_ms=""
  [ "$kind" = program ] && load_ms=$(load_time "$log")
  [ -n "$load_ms" ] || return 0
  local again ms loads=("$load_ms")
  for again in 2 3 4 5; do
    start_program "$name" "$dir" "$counter" "$log.$again" "$display" "$@"
    stop_program
    ms=$(load_time "$log.$again")
    [ -n "$ms" ] && loads+=("$ms")
  done
  load_ms=$(median "${loads[@]}")
  return 0
}

# A fresh working directory from the run data; with a count its scene is count mixed objects
workdir() {
  local dir="$scratch/$1"
  mkdir -p "$dir" && cp -r "$build/rundata/." "$dir/"
  if [ -n "${2:-}" ]; then "$mixedscene" "$2" "$dir" >/dev/null; fi
  echo "$dir"
}

printf '%-22s %7s %8s %9s %9s %8s %10s %8s %8s %8s\n' \
  "case" "fps" "ms/frame" "main CPU%" "CPU ms/fr" "load ms" "xmllint ms" "load/xml" "save ms" "save/xml"
row() {
  local name="$1" dir="$2" key="$3" kind="$4"; shift 4
  run_case "$key" "$dir" "$kind" "$@"
  local xml="" save="" lr="" sr=""
  if [ "$kind" = program ] && [ -f "$dir/escena.xml" ]; then
    xml=$( cd "$dir" && median_ms 5 xmllint --valid --noout escena.xml )
    save=$( cd "$dir" && "$saver" 5 )
    lr=$(printf '%.2f' "$(calc "$load_ms / $xml")")
    sr=$(printf '%.2f' "$(calc "$save / $xml")")
    load_ms=$(printf '%.1f' "$load_ms")
  else
    load_ms=""
  fi
  printf '%-22s %7.1f %8.2f %9.1f %9.2f %8s %10s %8s %8s %8s\n' "$name" "$fps" "$(calc "1000 / $fps")" "$cpu" \
    "$cpu_frame" "${load_ms:--}" "${xml:--}" "${lr:--}" "${save:--}" "${sr:--}"
  eval "frame_ms_$key=$(calc "1000 / $fps")"
  eval "fps_$key=$fps"
  [ -n "$load_ms" ] && eval "load_ms_$key=$load_ms"
  return 0
}

wanted() { [[ " $cases " == *" $1 "* ]]; }
wanted demo && row "demo (player)" "$(workdir demo)" demo program "$stageworks" --play
wanted empty && row "empty (sky only)" "$(workdir empty 0)" empty program "$stageworks" $every_frame
for n in 250 500 1000; do
  if wanted "m$n" || { [ "$n" = 1000 ] && wanted floor; }; then
    dir="$(workdir "mixed$n" "$n")"
    wanted "m$n" && row "mixed $n objects" "$dir" "m$n" program "$stageworks" $every_frame
    [ "$n" = 1000 ] && wanted floor && row "floor, 1000 objects" "$dir" floor floor "$floor"
  fi
done
wanted bare && row "bare game mode" "$(workdir bare)" bare bare "$bare"

echo
if wanted m250 && wanted m1000; then
  echo "Scaling from 250 to 1000 objects (linear or better: at most 4.00):"
  printf '  frame time  x%.2f\n' "$(calc "$frame_ms_m1000 / $frame_ms_m250")"
  printf '  load time   x%.2f\n' "$(calc "$load_ms_m1000 / $load_ms_m250")"
fi
if wanted m1000 && wanted floor; then
  printf '1000 objects at %.1f%% of the floor'"'"'s frame rate (%.1f / %.1f fps; goal: at least 95%%)\n' \
    "$(calc "100 * $fps_m1000 / $fps_floor")" "$fps_m1000" "$fps_floor"
fi

# Idle: the program left alone for --seconds, on a display; prints a row
idle_row() {
  local name="$1" dir="$2" on="$3"; shift 3
  local counter="$scratch/idle.swaps"
  rm -f "$counter"
  start_program idle "$dir" "$counter" "$scratch/idle.log" "$on" "$@"
  watch_program "$counter"
  stop_program
  printf '%-34s %8d %8.1f %10.1f\n' "$name" "$frames" "$fps" "$all_cpu"
}

if wanted idle; then
  read -r xvfb_display xvfb_pid < <(XSERVER_LOGDIR="$scratch" "$root/scripts/xserver.sh" start --xvfb --owner $$)
  demo="$(workdir idle-demo)"
  still="$(workdir idle-still)"
  # NOTE: the demo's water is its only animated texture; here it keeps its first picture
  water='<milTime>300</milTime><multiple>4</multiple><TexturasID>Data/agua1.bmp</TexturasID><TexturasID>Data/agua2.bmp</TexturasID><TexturasID>Data/agua3.bmp</TexturasID>'
  grep -q -F "$water" "$still/escena.xml" || { echo "frame_rate.sh: the demo's water is not as expected" >&2; exit 1; }
  sed -i "s|$water|<milTime>0</milTime><multiple>0</multiple><TexturasID>Data/agua1.bmp</TexturasID>|" "$still/escena.xml"
  echo
  echo "Idle, nothing pressed for ${seconds} s (all threads of the process):"
  printf '%-34s %8s %8s %10s\n' "case" "frames" "fps" "CPU% core"
  idle_row "demo, game mode (Xorg)" "$demo" "$display" "$stageworks"
  idle_row "demo, --window (Xvfb)" "$demo" "$xvfb_display" "$stageworks" --window
  idle_row "still demo, game mode (Xorg)" "$still" "$display" "$stageworks"
  idle_row "still demo, --window (Xvfb)" "$still" "$xvfb_display" "$stageworks" --window
fi

echo
echo "Goals: the demo in the player at the 62 fps cap (>= 60), 1000 objects at >= 95% of the floor,"
echo "       idle under 10% of a core on the demo and under 2% on the still demo,"
echo "       load <= 1.8x xmllint (median), save <= 1x xmllint."
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"
echo "         $(DISPLAY="$display" glxinfo -B 2>/dev/null | grep -m1 'renderer string' | cut -d: -f2 | sed 's/^ //' || echo 'GL renderer unknown')"
