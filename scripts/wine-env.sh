# shellcheck shell=bash
# A private Wine session for running the Windows builds: an Xvfb display, a Wine prefix of
# our own and a persistent wineserver, all owned by PID so they can be torn down exactly.
#
#   source scripts/wine-env.sh
#   wine_up || exit 1
#   trap wine_down EXIT
#   (cd build/win64 && ctest --output-on-failure -R e2e)
#
# wine_up exports DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and LC_ALL.
# ZURELO_WINEPREFIX chooses the prefix (default <repo>/build/wineprefix); it is created on
# first use. One session at a time holds a prefix (a lock file beside it), since starting
# a session stops any server left over on it. Works as root and without a DISPLAY.

ZW_REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZW_WINE64=/usr/lib/wine/wine64
ZW_WINESERVER=/usr/lib/wine/wineserver64
# Wine's 32-bit loader, there once wine32 is installed (scripts/bootstrap, where the
# machine runs 32-bit programs).
ZW_WINE32=/usr/lib/wine/wine

_zw_log() { printf 'wine-env: %s\n' "$*" >&2; }

# PIDs of Wine processes (loader, preloader or server) running on prefix $1.
_zw_prefix_pids() {
  local prefix=$1 file pid exe
  # One grep reads every environment (NUL-separated entries, matched whole): a command per
  # process would make each look take a good part of a second.
  for file in $(grep -lzxF "WINEPREFIX=$prefix" /proc/[0-9]*/environ 2>/dev/null); do
    pid=${file#/proc/}
    pid=${pid%/environ}
    [[ $pid == "$$" || $pid == "$BASHPID" ]] && continue
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    [[ ${exe##*/} == wine* ]] && echo "$pid"
  done
  return 0
}

# Waits up to $2 seconds for process $1 to end (it need not be our child).
_zw_wait_pid_gone() {
  local pid=$1 limit=$(($2 * 10)) i
  for ((i = 0; i < limit; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

_zw_start_xvfb() {
  local fdfile i
  fdfile=$(mktemp)
  # -displayfd picks a free display and writes its number once the server accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 \
    {ZW_LOCK_FD}>&- &
  ZW_XVFB_PID=$!
  for ((i = 0; i < 100; i++)); do
    if [[ -s $fdfile ]] && grep -q '^[0-9]' "$fdfile"; then break; fi
    if ! kill -0 "$ZW_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if ! grep -q '^[0-9]' "$fdfile" 2>/dev/null; then
    rm -f "$fdfile"
    _zw_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile" | tr -dc '0-9')"
  rm -f "$fdfile"
}

# Waits up to $2 seconds in all for every process of prefix $1 to end, then kills those
# left: one whose server was killed under it (by a signal to the whole process group, say)
# may never end by itself, and may start another before it goes.
_zw_end_prefix_processes() {
  local prefix=$1 end=$((SECONDS + $2)) i pids
  while pids=$(_zw_prefix_pids "$prefix") && [[ -n $pids ]]; do
    ((SECONDS < end)) || break
    sleep 0.2
  done
  [[ -z $pids ]] && return 0
  for ((i = 0; i < 10; i++)); do
    # shellcheck disable=SC2086
    kill -9 $pids 2>/dev/null || true
    sleep 0.2
    pids=$(_zw_prefix_pids "$prefix")
    [[ -z $pids ]] && return 0
  done
  _zw_log "processes of $prefix are still running: $pids"
  return 1
}

# Stops a server (and its processes) left on the prefix by an earlier session.
_zw_stop_leftovers() {
  "$ZW_WINESERVER" -k >/dev/null 2>&1 {ZW_LOCK_FD}>&- || true
  "$ZW_WINESERVER" -w >/dev/null 2>&1 {ZW_LOCK_FD}>&- || true
  _zw_end_prefix_processes "$WINEPREFIX" 5 || true
}

_zw_create_prefix() {
  local t0=$SECONDS
  _zw_log "creating Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX" || return 1
  "$ZW_WINE64" wineboot -i >/dev/null 2>&1 {ZW_LOCK_FD}>&- || return 1
  # Without a window manager Wine stalls ~2 s whenever a top-level window hides unless
  # its windows are unmanaged.
  "$ZW_WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 {ZW_LOCK_FD}>&- || return 1
  # A crashing test program must fail its test, not wait for a click on Wine's crash box.
  "$ZW_WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 {ZW_LOCK_FD}>&- || return 1
  "$ZW_WINESERVER" -w >/dev/null 2>&1 {ZW_LOCK_FD}>&- || true
  _zw_prefix_kind >"$WINEPREFIX/.zurelo-prefix-ready"
  _zw_log "prefix ready in $((SECONDS - t0)) s"
}

# What a prefix made now can run; its ready-marker records it. Only a prefix made after
# wine32 was installed runs 32-bit programs (one made before lacks their system files).
_zw_prefix_kind() {
  if [[ -x $ZW_WINE32 ]]; then echo "win64 with wine32"; else echo "win64"; fi
}

wine_up() {
  if [[ -n ${ZW_SERVER_PID:-} ]] && kill -0 "$ZW_SERVER_PID" 2>/dev/null; then
    return 0  # already up in this shell
  fi
  local prefix=${ZURELO_WINEPREFIX:-$ZW_REPO_ROOT/build/wineprefix}
  mkdir -p "$(dirname "$prefix")" || return 1
  prefix="$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")"

  export WINEPREFIX=$prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LC_ALL=C.UTF-8
  export WINEARCH=win64

  exec {ZW_LOCK_FD}>"$prefix.lock" || return 1
  if ! flock -w 600 "$ZW_LOCK_FD"; then
    _zw_log "prefix $prefix is held by another session"
    wine_down
    return 1
  fi

  # ZURELO_USE_DISPLAY=1 shows the windows on the caller's display when it answers.
  if [[ ${ZURELO_USE_DISPLAY:-0} == 1 && -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    _zw_log "using display $DISPLAY"
  else
    _zw_start_xvfb || { wine_down; return 1; }
  fi
  _zw_stop_leftovers

  local made
  if [[ -f $WINEPREFIX/.zurelo-prefix-ready ]]; then
    made=$(<"$WINEPREFIX/.zurelo-prefix-ready")
    # An empty marker is from before markers told the kind; only win64 prefixes were made.
    if [[ ${made:-win64} != "$(_zw_prefix_kind)" ]]; then
      # Made before wine32 came (or went). The marker says the prefix is one of ours, so
      # it is made anew rather than left unable to run the 32-bit builds.
      _zw_log "remaking Wine prefix $WINEPREFIX (made as ${made:-win64}, now $(_zw_prefix_kind))"
      rm -rf -- "$WINEPREFIX" || { wine_down; return 1; }
    fi
  fi
  if [[ ! -f $WINEPREFIX/.zurelo-prefix-ready ]]; then
    _zw_create_prefix || { _zw_log "could not create the prefix"; wine_down; return 1; }
  fi

  # In a session of its own, so a signal to the caller's process group (Ctrl-C, or a stop
  # sent to the group) leaves the server to wine_down, whose -k ends every process of the
  # prefix with it; killed first, it would leave them running without it.
  setsid -w "$ZW_WINESERVER" -f -p {ZW_LOCK_FD}>&- &
  ZW_SERVER_PID=$!
  # The first launch loads the prefix into the server; later ones take ~0.2 s.
  if ! "$ZW_WINE64" cmd /c exit >/dev/null 2>&1 {ZW_LOCK_FD}>&-; then
    _zw_log "Wine does not run programs"
    wine_down
    return 1
  fi
  return 0
}

wine_down() {
  if [[ -n ${ZW_SERVER_PID:-} ]]; then
    "$ZW_WINESERVER" -k >/dev/null 2>&1 || true
    _zw_wait_pid_gone "$ZW_SERVER_PID" 10 || kill -9 "$ZW_SERVER_PID" 2>/dev/null || true
    wait "$ZW_SERVER_PID" 2>/dev/null || true
    unset ZW_SERVER_PID
  fi
  if [[ -n ${WINEPREFIX:-} && -n ${ZW_LOCK_FD:-} ]]; then
    # services.exe and friends leave their own session and outlive the server briefly.
    _zw_end_prefix_processes "$WINEPREFIX" 10 || true
  fi
  if [[ -n ${ZW_XVFB_PID:-} ]]; then
    kill "$ZW_XVFB_PID" 2>/dev/null || true
    _zw_wait_pid_gone "$ZW_XVFB_PID" 5 || kill -9 "$ZW_XVFB_PID" 2>/dev/null || true
    wait "$ZW_XVFB_PID" 2>/dev/null || true
    unset ZW_XVFB_PID
  fi
  if [[ -n ${ZW_LOCK_FD:-} ]]; then
    exec {ZW_LOCK_FD}>&-
    unset ZW_LOCK_FD
  fi
  return 0
}
