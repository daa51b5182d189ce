# Sourced by the scripts that run the game in a window (survive.sh, soak.sh, online-loopback.sh),
# with $root (the checkout) and $work (a scratch folder, removed at exit) set: starts a private
# Xvfb, removes it and the scratch folder at exit, and exports the display, the software renderer
# and the sanitizer settings the tests use.

# Starts an Xvfb of its own, which writes its display number to the file given; sets
# xvfb_pid and xvfb_display (":N") once it is up.
start_xvfb() {
  exec 3> "$1"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset > /dev/null 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 50); do [ -s "$1" ] && break; sleep 0.1; done
  xvfb_display=":$(cat "$1")"
}

start_xvfb "$work/display"
xvfb=$xvfb_pid
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY="$xvfb_display"
export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
