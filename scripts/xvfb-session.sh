# Sourced by the scripts that run the game in a window (survive.sh, soak.sh), with $root (the
# checkout) and $work (a scratch folder, removed at exit) set: starts a private Xvfb, removes
# it and the scratch folder at exit, and exports the display, the software renderer and the
# sanitizer settings the tests use.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
