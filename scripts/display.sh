# An X display for the Windows programs under Wine (sourced, not run): Direct3D, DXGI modes and
# message boxes need one. Xvfb with a 1920x1080 screen that it also keeps as an image file.
corvana_root=${corvana_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
corvana_xvfb_pid=

# Starts Xvfb on a free display number, keeping its screen as an image file in the folder $1; sets
# corvana_xvfb_pid and corvana_xvfb_display (e.g. :3).
start_xvfb() {
  local fbdir=$1
  mkdir -p "$fbdir"
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -fbdir "$fbdir" -nolisten tcp \
    3>"$numberFile" </dev/null >/dev/null 2>&1 &
  corvana_xvfb_pid=$!
  local tries=0
  while [ ! -s "$numberFile" ]; do
    if ! kill -0 "$corvana_xvfb_pid" 2>/dev/null || [ $((tries += 1)) -gt 100 ]; then
      echo "could not start Xvfb" >&2
      kill "$corvana_xvfb_pid" 2>/dev/null || true
      corvana_xvfb_pid=
      rm -f "$numberFile"
      return 1
    fi
    sleep 0.1
  done
  corvana_xvfb_display=":$(tr -d '\n' <"$numberFile")"
  rm -f "$numberFile"
}

# Starts an Xvfb of our own on a free display number, exports DISPLAY and CORVANA_XVFB_FBDIR, and
# stops it, together with the Wine server that used it, when the calling script ends.
start_own_display() {
  local fbdir=${CORVANA_BUILD:-$corvana_root/build}/xvfb
  trap stop_own_display EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  start_xvfb "$fbdir" || return 1
  export DISPLAY=$corvana_xvfb_display
  export CORVANA_XVFB_FBDIR=$fbdir
}

stop_own_display() {
  [ -n "$corvana_xvfb_pid" ] || return 0
  # The prefix's server and its desktop hold the display: end them first.
  "$corvana_root/scripts/wine-run" --stop-server || true
  kill "$corvana_xvfb_pid" 2>/dev/null || true
  wait "$corvana_xvfb_pid" 2>/dev/null || true
  corvana_xvfb_pid=
}

# Keeps the display the caller has; starts our own only when none is set.
ensure_display() {
  [ -n "${DISPLAY:-}" ] || start_own_display
}
