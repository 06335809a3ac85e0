# display.bash - an X display for the scripts that open GL windows.
# Sourced, not run. Needs $root (the repository) set by the caller.
#
#   on_display CMD...   runs CMD on $DISPLAY, or on a private Xvfb when there
#                       is none or VORPANE_FORCE_XVFB is set
#   on_xvfb CMD...      runs CMD on a private Xvfb, display or not
#
# GL pictures are compared byte for byte, so every GL client gets Mesa's
# software renderer, on a desktop too.
export LIBGL_ALWAYS_SOFTWARE=1

# -noreset: by default an X server resets when its last client disconnects
# and refuses connections while it does, so under load a test that opens its
# window just as another test closes the last one fails with "Failed to open
# display". The private server lives only as long as CMD, so nothing is lost
# by never resetting it.
on_xvfb() {
  command -v xvfb-run >/dev/null || "$root/scripts/setup" --test
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
}

on_display() {
  if [[ -n "${DISPLAY:-}" && -z "${VORPANE_FORCE_XVFB:-}" ]]; then
    "$@"
  else
    on_xvfb "$@"
  fi
}
