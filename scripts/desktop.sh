# The desktop entry and the work file's MIME type, for the user (XDG): a double-click on a *.syw
# file opens it in the program built here. Sourced by run.sh; every step may fail on a machine
# without a desktop, and none of them stops the program from starting.
install_desktop_entry() {
  local program="$1"
  local data="${XDG_DATA_HOME:-$HOME/.local/share}"
  mkdir -p "$data/applications" "$data/mime/packages" || return 0
  # The program's path is quoted for the Exec key (a space in a folder name stays in the path).
  local quoted="\"${program//\"/\\\"}\""
  sed "s|@PROGRAM@|${quoted//|/\\|}|" data/desktop/prx5m.desktop.in > "$data/applications/prx5m.desktop.tmp" \
    && mv -f "$data/applications/prx5m.desktop.tmp" "$data/applications/prx5m.desktop" || return 0
  cp -f data/desktop/prx5m-mime.xml "$data/mime/packages/prx5m.xml" || return 0
  if command -v update-mime-database >/dev/null 2>&1; then
    update-mime-database "$data/mime" >/dev/null 2>&1 || true
  fi
  if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database "$data/applications" >/dev/null 2>&1 || true
  fi
  if command -v xdg-mime >/dev/null 2>&1; then
    xdg-mime default prx5m.desktop application/x-prx5m-work >/dev/null 2>&1 || true
  fi
}
