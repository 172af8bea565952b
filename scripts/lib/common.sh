# Shared by scripts/test, scripts/demo and scripts/fuzz. Source it; do not run it.

SUITE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SUITE_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686 wine wine64 xvfb googletest libbenchmark-dev clang libclang-rt-14-dev
  imagemagick libtiff-tools x11-apps python3 wine64-tools)

log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages that are missing (never the i386 architecture: 64-bit Wine only).
ensure_packages() {
  local missing=() p
  for p in "${SUITE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_build PRESET: configures once, then builds; prints the log only on failure.
configure_build() {
  local preset=$1 out
  out=$(mktemp)
  if { [ -f "$SUITE_ROOT/build/$preset/build.ninja" ] || cmake --preset "$preset" >"$out" 2>&1; } &&
     cmake --build "$SUITE_ROOT/build/$preset" >"$out" 2>&1; then
    rm -f "$out"
    return 0
  fi
  tail -n 60 "$out" >&2
  rm -f "$out"
  return 1
}

WINE_BIN=/usr/lib/wine/wine64
[ -x "$WINE_BIN" ] || WINE_BIN=$(command -v wine)
WINESERVER_BIN=/usr/lib/wine/wineserver64
[ -x "$WINESERVER_BIN" ] || WINESERVER_BIN=$(command -v wineserver)
XVFB_PID=

# start_wine BUILD_DIR: a prefix inside the build tree (made once), a persistent wineserver, and
# an Xvfb display unless one is given in SUITE_DISPLAY.
start_wine() {
  local build=$1
  export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  if [ -n "${SUITE_DISPLAY:-}" ]; then
    export DISPLAY=$SUITE_DISPLAY
  else
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local n
    read -r -t 20 n <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$n"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix in $WINEPREFIX"
    "$WINE_BIN" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w
    # A crashing program must end, not wait on a dialog.
    "$WINE_BIN" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w
  fi
  "$WINESERVER_BIN" -p
  # On our own Xvfb there is no window manager: Wine draws the frames itself and must not wait for
  # a manager's answer each time a window shows, hides or goes (seconds each). On the user's
  # display the manager does that.
  local x11='HKCU\Software\Wine\X11 Driver'
  if [ -z "${SUITE_DISPLAY:-}" ]; then
    "$WINE_BIN" reg add "$x11" /v Managed /d N /f >/dev/null 2>&1 || true
    "$WINE_BIN" reg add "$x11" /v Decorated /d N /f >/dev/null 2>&1 || true
  else
    "$WINE_BIN" reg delete "$x11" /v Managed /f >/dev/null 2>&1 || true
    "$WINE_BIN" reg delete "$x11" /v Decorated /f >/dev/null 2>&1 || true
  fi
  # Start Wine's own services and desktop now, detached from our output: started later by a test
  # program they would inherit its pipes and keep CTest waiting.
  "$WINE_BIN" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
