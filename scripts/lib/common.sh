# Shared by scripts/test.sh, scripts/bench.sh and ./calsvar: package
# installation and the Wine prefix kept inside the build tree.

MIROTEX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
WINE_BIN=/usr/lib/wine/wine64
WINESERVER_BIN=/usr/lib/wine/wineserver

MIROTEX_PACKAGES=(
  cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev libtiff-dev
  clang libclang-rt-14-dev
  wine64 g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev
  zip unzip
  zlib1g-dev libz-mingw-w64-dev
  python3-png chromium chromium-driver python3-selenium
  wixl msitools faketime osslsigncode openssl
  perl e2fsprogs
  # The CALS readers calsvar check's rules and the pictures are measured
  # against (tests that need them skip where they are missing).
  imagemagick gdal-bin
)

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }

# Installs whatever of the packages named (default: MIROTEX_PACKAGES) is
# missing: one apt-get update, one apt-get install. Does nothing when
# everything is there.
ensure_packages() {
  local wanted=("$@")
  ((${#wanted[@]})) || wanted=("${MIROTEX_PACKAGES[@]}")
  local missing=()
  local pkg
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  log "installing: ${missing[*]}"
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# A path as Wine's Z: drive shows it.
windows_path() {
  local path
  path=$(realpath "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# Points Wine at a prefix inside the build tree; creates it on first use.
use_wine_prefix() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$WINE_BIN" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w
  fi
}

# A persistent wineserver for the prefix: each Windows process then starts
# in a fraction of a second. Fails, and does nothing more, when a server
# already runs for the prefix.
start_wineserver() {
  "$WINESERVER_BIN" -p || return
  # Starts Wine's background services now, detached from our pipes; else the
  # first test program starts them and its caller waits for them to end.
  "$WINE_BIN" wineboot </dev/null >/dev/null 2>&1 || true
}

stop_wineserver() {
  if [[ -n "${WINEPREFIX:-}" ]]; then
    "$WINESERVER_BIN" -k 2>/dev/null || true
  fi
}
