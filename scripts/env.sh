# shellcheck shell=bash
# Shared helpers for scripts/test, scripts/run, scripts/screenshot and
# scripts/wine-exec. Source it; it only defines variables and functions.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The loaders: tv_wine_env picks them (tv_pick_loaders); WINE32 is empty
# where 32-bit programs cannot run at all.
WINE64=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
# The Debian wrapper /usr/bin/wineserver always adds -p0; call the real
# server so that our own -p (persistent) is the only persistence option.
WINESERVER=/usr/lib/wine/wineserver64

# Bump when the registry settings in tv_prefix change: prefixes with an
# older stamp get the settings applied again.
TV_PREFIX_VERSION=5

TV_PACKAGES=(
  cmake ninja-build g++ libgtest-dev googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 wine32:i386
  xvfb xauth xdotool imagemagick x11-utils fonts-wqy-zenhei locales file
  # Only recommended by wine, so --no-install-recommends skips it; without
  # its Marlett font window caption buttons are drawn as letters.
  fonts-wine
  # Setup program and portable zip (cmake/package.cmake, scripts/package).
  nsis zip unzip
  # Runs Wine's 32-bit loader where the kernel cannot (tv_pick_loaders).
  qemu-user
  # SQLite from Debian's source package (tv_sqlite): unpacking it and
  # making its amalgamation.
  dpkg-dev debian-archive-keyring tcl
  # Moves a program's clock (the midnight tests).
  faketime
)

tv_log() { printf '[tallivo] %s\n' "$*" >&2; }
tv_die() { printf '[tallivo] error: %s\n' "$*" >&2; exit 1; }

# Install what is missing. A fresh Debian 12 machine has none of this, CI
# machines are not kept, so the scripts must install their own tools; when
# everything is present this is only a few dpkg-query calls (no apt-get).
tv_ensure_deps() {
  local missing=() p installed
  # One dpkg-query for all, as "name:arch"; a name given without an
  # architecture (all but wine32:i386) may be installed for any.
  installed=$(dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' "${TV_PACKAGES[@]}" 2>/dev/null |
    sed -n 's/ install ok installed$//p' || true)
  for p in "${TV_PACKAGES[@]}"; do
    if [[ $p == *:* ]]; then
      grep -qxF "$p" <<<"$installed" || missing+=("$p")
    else
      awk -F: -v p="$p" '$1 == p { found = 1 } END { exit !found }' <<<"$installed" || missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    [[ $(id -u) == 0 ]] || tv_die "missing packages (${missing[*]}); run as root to install them"
    tv_log "installing: ${missing[*]}"
    # wine32 is an i386 package: the architecture must be known to apt.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
    fi
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  # The program is tested with a Chinese UI locale, and under those of three other ANSI code pages (1252, 950,
  # 65001): Wine takes a process's code page from its locale, and names its files in the locale's charset, so they
  # must exist for names outside ASCII.
  local loc missing_locales=()
  for loc in zh_CN en_US zh_TW hi_IN; do
    locale -a 2>/dev/null | grep -qix "$loc\.utf-\?8" || missing_locales+=("$loc")
  done
  if ((${#missing_locales[@]})); then
    [[ $(id -u) == 0 ]] || tv_die "locales ${missing_locales[*]} (UTF-8) missing; run as root to generate them"
    for loc in "${missing_locales[@]}"; do
      if grep -q "^[# ]*$loc\.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
        sed -i "s/^[# ]*\($loc\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
      else
        echo "$loc.UTF-8 UTF-8" >>/etc/locale.gen
      fi
    done
    locale-gen
  fi
}

# Everything Wine-related lives under build/wine so nothing touches the
# user's own ~/.wine, and a clean build directory means a clean prefix.
tv_wine_env() {
  # HOME changes below; keep the X cookie of a real display reachable.
  if [[ -z ${XAUTHORITY:-} && -n ${HOME:-} && -f $HOME/.Xauthority ]]; then
    export XAUTHORITY="$HOME/.Xauthority"
  fi
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export WINEDEBUG=-all
  export WINEPREFIX="$ROOT/build/wine/prefix"
  export HOME="$ROOT/build/wine/home"
  # No Mono/Gecko download prompts, no menu entries, and no winedbg: a
  # crashing program must end, not wait in a debugger.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
  mkdir -p "$WINEPREFIX" "$HOME"
  tv_pick_loaders
  export WINE64 WINE32 WINESERVER
}

TV_LOADER_DIR="$ROOT/build/wine/loader/lib/wine"

# The 32-bit loader runs where the kernel runs 32-bit programs. Where it
# does not (32-bit emulation disabled), qemu-i386 runs it, and both loaders
# then come from $TV_LOADER_DIR: Wine starts a program of the other kind
# through the loader beside its own (found through /proc/self/exe, hence
# copies, not links), with its libraries and data one and two levels up.
# There "wine" is a script that runs the real 32-bit loader under qemu, so
# programs of either kind start 32-bit programs that way too.
tv_pick_loaders() {
  WINE64=/usr/lib/wine/wine64
  WINE32=/usr/lib/wine/wine
  # (--version fails on an empty WINEPREFIX, hence env -u.)
  env -u WINEPREFIX "$WINE32" --version >/dev/null 2>&1 && return 0
  WINE32=""
  [[ -x /usr/lib/wine/wine ]] && command -v qemu-i386 >/dev/null || return 0
  local d=$TV_LOADER_DIR f
  mkdir -p "$d" "$d/../../share"
  ln -sfn /usr/lib/i386-linux-gnu "$d/../i386-linux-gnu"
  ln -sfn /usr/lib/x86_64-linux-gnu "$d/../x86_64-linux-gnu"
  ln -sfn /usr/share/wine "$d/../../share/wine"
  ln -sfn /usr/lib/wine/wineserver "$d/wineserver"
  # Replaced by rename: a running copy cannot be written.
  for f in wine:wine-i386 wine64:wine64; do
    if ! cmp -s "/usr/lib/wine/${f%%:*}" "$d/${f#*:}"; then
      cp "/usr/lib/wine/${f%%:*}" "$d/.${f#*:}.$$" && mv -f "$d/.${f#*:}.$$" "$d/${f#*:}"
    fi
  done
  # qemu 7.2 does not honour MAP_FIXED_NOREPLACE: every address-space
  # reservation of Wine's that fails lands elsewhere, and with the default
  # 4 GiB guest space Wine's start-up then takes about 50 s of CPU. A space
  # ending just above the 2 GiB of a 32-bit program leaves little room for
  # that: about 2 s. ($0 names this script, and Wine's loader looks beside
  # its argv[0] for the loaders of its children.)
  # shellcheck disable=SC2016
  f='#!/bin/sh
# The 32-bit Wine loader under qemu-i386 (made by scripts/env.sh).
WINELOADERNOEXEC=1 exec qemu-i386 -R 0x81000000 -L / -0 "$0" "${0%/*}/wine-i386" "$@"'
  if [[ $(cat "$d/wine" 2>/dev/null) != "$f" ]]; then
    printf '%s\n' "$f" >"$d/.wine.$$" && chmod +x "$d/.wine.$$" && mv -f "$d/.wine.$$" "$d/wine"
  fi
  # Without WINELOADERNOEXEC the loader answers --version before anything else.
  qemu-i386 -L / "$d/wine-i386" --version >/dev/null 2>&1 || return 0
  WINE32=$d/wine WINE64=$d/wine64
}

TV_XVFB_PID=""

# bash -c script: runs Xvfb "$@" while process $1 (our shell) is alive;
# TERM (tv_teardown) ends it at once. If our shell died without teardown
# (kill -9), its persistent wineserver would stay forever too: stop it.
# shellcheck disable=SC2016
TV_XVFB_WATCH='
owner=$1; shift
Xvfb "$@" & x=$!
trap "kill \$x 2>/dev/null; wait \$x; exit 0" TERM
while kill -0 "$owner" 2>/dev/null && kill -0 "$x" 2>/dev/null; do sleep 1 & wait $!; done
if ! kill -0 "$owner" 2>/dev/null && [[ -n ${WINEPREFIX:-} ]]; then
  "${WINESERVER:-wineserver}" -k 2>/dev/null
  timeout 10 "${WINESERVER:-wineserver}" -w 2>/dev/null
fi
kill "$x" 2>/dev/null; wait "$x"
'

# A display for the GUI program: the caller's own (TV_USE_DISPLAY=1) or a
# private Xvfb on a display number nobody else uses.
tv_start_x() {
  if [[ -n ${TV_USE_DISPLAY:-} && -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  mkdir -p "$ROOT/build"
  local n=${TV_DISPLAY_FIRST:-90} tries i
  for ((tries = 0; tries < 20; tries++, n++)); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    # In a session of its own: Xvfb handles SIGINT itself, so a Ctrl+C
    # would take the display away under the running programs before
    # tv_teardown stops them. The watcher around it ends Xvfb when this
    # shell dies without teardown (kill -9), so no display is left over.
    setsid bash -c "$TV_XVFB_WATCH" tv-xvfb "$$" ":$n" -nolisten tcp -screen 0 1024x768x24 \
      >"$ROOT/build/xvfb.log" 2>&1 &
    TV_XVFB_PID=$!
    for ((i = 0; i < 100; i++)); do
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      # Lost a race for this number to another server: try the next one.
      kill -0 "$TV_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$TV_XVFB_PID" 2>/dev/null || true
    wait "$TV_XVFB_PID" 2>/dev/null || true
    TV_XVFB_PID=""
  done
  tv_die "could not start Xvfb (see $ROOT/build/xvfb.log)"
}

# A LOGFONTW as the window metrics keep it: 9 points (-12 pixels), the
# weight $1, GB2312 charset, face $2.
tv_reg_logfont() {
  local face
  face=$(printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//;s/,$//')
  printf 'hex:f4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,%s,00,00,00,00,00,86,00,00,00,22,%s' "$1" "$face"
  # The rest of the 32 characters of the face: zeros.
  local pad=$((64 - $(printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | wc -c)))
  printf ',00%.0s' $(seq "$pad")
}

# Registry settings for a predictable test desktop. Written as UTF-16LE
# with BOM because the font name 宋体 must survive regedit unchanged.
# The system's UI fonts (captions, menus, message boxes) are "MS Shell Dlg",
# which Wine maps to 宋体 (WenQuanYi here) under code page 936 only, and to
# Tahoma, without CJK or Hangul, under the others: they name SimSun
# directly, the same font under 936. (Wine's font links do not reach
# Tahoma's missing glyphs; Thai stays without a font.)
tv_write_reg() {
  local m
  {
    printf '\xef\xbb\xbf'
    printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]' \
      "\"CaptionFont\"=$(tv_reg_logfont bc,02 SimSun)"
    for m in IconFont MenuFont MessageFont SmCaptionFont StatusFont; do
      printf '"%s"=%s\n' "$m" "$(tv_reg_logfont 90,01 SimSun)"
    done
    printf '\n'
    cat <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"宋体"="WenQuanYi Zen Hei Sharp"
"SimSun"="WenQuanYi Zen Hei Sharp"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Auto"="1"
"Debugger"=""

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  } | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE >"$1"
}

# Read the settings back through a 64-bit Windows program (reg.exe), so a
# prefix that silently lost them is noticed here and not as odd test results.
tv_check_registry() {
  local key value want out
  while IFS='|' read -r key value want; do
    out=$("$WINE64" reg query "$key" /v "$value" 2>&1 | tr -d '\r') || true
    grep -qE "$want" <<<"$out" || { tv_log "registry: $key\\$value is not $want: $out"; return 1; }
  done <<'EOF_CHECKS'
HKCU\Software\Wine\Fonts\Replacements|SimSun|REG_SZ[[:space:]]+WenQuanYi Zen Hei Sharp$
HKCU\Software\Wine\Explorer|Desktop|REG_SZ[[:space:]]+Default$
HKCU\Software\Wine\Explorer\Desktops|Default|REG_SZ[[:space:]]+1024x768$
HKCU\Software\Wine\X11 Driver|Managed|REG_SZ[[:space:]]+N$
HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug|Auto|REG_SZ[[:space:]]+1$
HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug|Debugger|REG_SZ[[:space:]]*$
HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD[[:space:]]+0x0$
HKCU\Control Panel\Desktop\WindowMetrics|CaptionFont|REG_BINARY[[:space:]]+F4FFFFFF000000000000000000000000BC0200000000008600000022530069006D00530075006E0000
EOF_CHECKS
}

# What reg.exe cannot show readably: its output is in the console code page
# (GBK under zh_CN), so check the saved registry for the Chinese font name,
# which it stores as \x5b8b\x4f53 (宋体); and the fonts we copied.
tv_check_saved_prefix() {
  grep -q '^"\\x5b8b\\x4f53"="WenQuanYi Zen Hei Sharp"' "$WINEPREFIX/user.reg" ||
    { tv_log "font replacement for 宋体 missing in user.reg"; return 1; }
  [[ -f $WINEPREFIX/drive_c/windows/Fonts/marlett.ttf ]] ||
    { tv_log "Wine fonts missing in C:\\windows\\Fonts"; return 1; }
  [[ -z $WINE32 ]] || tv_wow64_ready || { tv_log "the 32-bit side of the prefix is not set up"; return 1; }
}

# Whether the 32-bit half of the prefix set-up has run: it registers the
# 32-bit shell link (the setup program's Start-menu entry needs it) among
# much else.
tv_wow64_ready() {
  grep -q '^\[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\{00021401-0000-0000-C000-000000000046}\]' \
    "$WINEPREFIX/system.reg" 2>/dev/null
}

# Create the prefix once and apply the settings when the stamp is older.
# Serialised with flock: ctest may start several wine-exec at once.
tv_prefix() {
  local stamp="$WINEPREFIX/.tallivo-prefix-version" lockfd
  [[ $(cat "$stamp" 2>/dev/null || echo 0) -ge $TV_PREFIX_VERSION ]] && return 0
  exec {lockfd}>"$ROOT/build/wine/.prefix.lock"
  flock "$lockfd"
  if [[ $(cat "$stamp" 2>/dev/null || echo 0) -lt $TV_PREFIX_VERSION ]]; then
    # A persistent server would make "wineserver -w" wait forever.
    "$WINESERVER" -k 2>/dev/null || true
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      tv_log "creating Wine prefix $WINEPREFIX (about 15 s)"
      "$WINE64" wineboot -i >"$ROOT/build/wine/wineboot.log" 2>&1 ||
        { cat "$ROOT/build/wine/wineboot.log" >&2; tv_die "wineboot failed"; }
      "$WINESERVER" -w
    fi
    # Where 32-bit programs run only under emulation, wineboot could not run
    # the 32-bit half of the set-up: give it the 32-bit system folder and
    # let it run that half now, through the loaders tv_pick_loaders chose.
    if [[ -n $WINE32 ]] && ! tv_wow64_ready; then
      tv_log "setting up the 32-bit side of the Wine prefix (about a minute)"
      mkdir -p "$WINEPREFIX/drive_c/windows/syswow64"
      cp -n /usr/lib/i386-linux-gnu/wine/i386-windows/* "$WINEPREFIX/drive_c/windows/syswow64/"
      "$WINE64" wineboot -u >>"$ROOT/build/wine/wineboot.log" 2>&1 ||
        { cat "$ROOT/build/wine/wineboot.log" >&2; tv_die "wineboot (32-bit side) failed"; }
      "$WINESERVER" -w
    fi
    # Wine reads its own fonts (Tahoma, Marlett for caption buttons, ...)
    # only from C:\windows\Fonts, and a prefix made on a kernel without
    # 32-bit emulation (where half of wineboot fails) has none there.
    # Copy them, so every machine gets the same prefix.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/* "$fonts/"
    local reg="$ROOT/build/wine/tallivo.reg"
    tv_write_reg "$reg"
    # A server kept up meanwhile makes regedit and the reg.exe checks fast
    # (no services start-up per call); -k then writes the registry files.
    "$WINESERVER" -p
    TV_WINESERVER_STARTED=1  # an interrupt now must stop it
    "$WINE64" regedit /S "$(winepath_w "$reg")"
    local ok=1
    tv_check_registry || ok=0
    "$WINESERVER" -k
    "$WINESERVER" -w
    TV_WINESERVER_STARTED=""
    if ((!ok)) || ! tv_check_saved_prefix; then
      tv_die "Wine prefix settings did not stick"
    fi
    echo "$TV_PREFIX_VERSION" >"$stamp"
  fi
  exec {lockfd}>&-
}

# Windows path of a Unix file (Z: maps /); avoids a winepath.exe start.
winepath_w() { printf 'Z:%s' "${1//\//\\}"; }

TV_WINESERVER_STARTED=""

# The script that started the persistent server of this prefix, as "pid
# start-time display": a server whose script has ended, or whose display
# is gone, is a leftover nobody can use (its desktop was on that display).
tv_owner_file() { printf '%s' "$ROOT/build/wine/server.owner"; }

# A process's start (clock ticks after boot): tells it from a later process
# that got the same number.
tv_start_time() { awk '{ print $22 }' "/proc/$1/stat" 2>/dev/null; }

# True when the running server belongs to a script that still runs, on a
# display that still answers; that display is then in TV_OWNER_DISPLAY.
tv_server_owner_alive() {
  local pid start display
  [[ -f $(tv_owner_file) ]] && read -r pid start display <"$(tv_owner_file)" || return 1
  [[ -n $pid && -n $start && -n $display && $(tv_start_time "$pid") == "$start" ]] || return 1
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 || return 1
  TV_OWNER_DISPLAY=$display
}

# One persistent server for the whole run: later wine calls skip the
# server start-up. With a persistent server Wine's background processes
# (services, winedevice, rpcss, ...) never exit, and whoever starts them
# passes on its stdout: started from a test, they would hold ctest's output
# pipe open and ctest would wait forever. So start them here, on /dev/null
# (rundll32 makes a window, which brings up the desktop and rpcss too).
# A server another script of this tree runs (scripts/run, say) is shared,
# display and all; one left over is stopped and a fresh one started.
tv_start_wineserver() {
  local lockfd
  exec {lockfd}>"$ROOT/build/wine/.server.lock"
  flock "$lockfd"
  # The server must not inherit the lock: it would hold it for its life.
  if "$WINESERVER" -p {lockfd}>&- 2>/dev/null; then
    TV_WINESERVER_STARTED=1
  elif tv_server_owner_alive; then
    if [[ $TV_OWNER_DISPLAY != "$DISPLAY" ]]; then
      # Its desktop is on that display: so must our programs be.
      tv_stop_x
      export DISPLAY=$TV_OWNER_DISPLAY
    fi
    tv_log "a wineserver of another script runs for $WINEPREFIX; using it, and its display $DISPLAY"
  else
    tv_log "stopping a wineserver left over for $WINEPREFIX; starting a fresh one"
    "$WINESERVER" -k 2>/dev/null || true
    timeout 10 "$WINESERVER" -w 2>/dev/null || true
    "$WINESERVER" -p {lockfd}>&- 2>/dev/null || tv_die "cannot start a wineserver for $WINEPREFIX"
    TV_WINESERVER_STARTED=1
  fi
  if [[ -n $TV_WINESERVER_STARTED ]]; then
    printf '%s %s %s\n' "$$" "$(tv_start_time $$)" "$DISPLAY" >"$(tv_owner_file)"
  fi
  exec {lockfd}>&-
  "$WINE64" wineboot </dev/null >/dev/null 2>&1 || tv_die "wineboot failed"
  "$WINE64" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

tv_stop_x() {
  if [[ -n $TV_XVFB_PID ]]; then
    kill "$TV_XVFB_PID" 2>/dev/null || true
    wait "$TV_XVFB_PID" 2>/dev/null || true
    TV_XVFB_PID=""
  fi
}

# Stop what we started: the persistent server (and any program left in the
# prefix) and our own Xvfb, never a display we did not start. Runs to its
# end whatever arrives meanwhile (a second Ctrl+C).
tv_teardown() {
  trap '' INT TERM
  if [[ -n $TV_WINESERVER_STARTED ]]; then
    "$WINESERVER" -k 2>/dev/null || true
    # Let the killed programs go before their X display does.
    timeout 10 "$WINESERVER" -w 2>/dev/null || true
    TV_WINESERVER_STARTED=""
    local pid=""
    [[ -f $(tv_owner_file) ]] && read -r pid _ <"$(tv_owner_file)"
    [[ $pid != "$$" ]] || rm -f "$(tv_owner_file)"
  fi
  tv_stop_x
}

# tv_cache_differs DIR [cmake args...]: true when one of the -DNAME=VALUE
# (or -DNAME:TYPE=VALUE) arguments is not what the tree's cache holds.
tv_cache_differs() {
  local cache="$1/CMakeCache.txt" arg name value
  shift
  for arg in "$@"; do
    [[ $arg == -D*=* ]] || continue
    arg=${arg#-D}
    name=${arg%%=*}
    name=${name%%:*}
    value=${arg#*=}
    grep -qxF -- "$value" <(sed -n "s/^$name:[A-Z]*=//p" "$cache" 2>/dev/null) || return 0
  done
  return 1
}

# tv_build DIR [cmake args...]: configure when the tree is new or one of the
# given settings changed (a tree configured once by another script picks up
# e.g. TALLIVO_WERROR), then build: everything, or only the targets named in
# TV_BUILD_TARGETS (space-separated).
tv_build() {
  local dir="$ROOT/build/$1"
  shift
  tv_sqlite || tv_die "cannot make the SQLite amalgamation"
  set -- -DTALLIVO_SQLITE_DIR="$TV_SQLITE_DIR" "$@"
  if [[ ! -f $dir/build.ninja ]] || tv_cache_differs "$dir" "$@"; then
    # Explicit: callers use "tv_build ... || ...", where set -e is off.
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" || return 1
  fi
  local targets=()
  read -ra targets <<<"${TV_BUILD_TARGETS:-}"
  cmake --build "$dir" -j2 ${targets[@]:+--target "${targets[@]}"}
}

# Whether tv_pick_loaders found a way to run 32-bit programs.
tv_can_run_win32() { [[ -n $WINE32 ]]; }

# SQLite, compiled into the program and the native logic library from
# Debian's own source package. The version is pinned; the amalgamation
# (sqlite3.c, sqlite3.h) is made once with the package's own tools and kept
# under build/sqlite/<version>. Apt's own lists stay untouched: a private
# deb-src list, state and cache live under build/apt.
TV_SQLITE_DEB_VERSION=3.40.1-2+deb12u2
TV_SQLITE_DIR="$ROOT/build/sqlite/$TV_SQLITE_DEB_VERSION"

tv_sqlite() {
  [[ -f $TV_SQLITE_DIR/sqlite3.c && -f $TV_SQLITE_DIR/sqlite3.h ]] && return 0
  local apt="$ROOT/build/apt" work="$ROOT/build/sqlite/work" lockfd
  mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial" "$work"
  exec {lockfd}>"$ROOT/build/sqlite/.lock"
  flock "$lockfd"
  if [[ ! -f $TV_SQLITE_DIR/sqlite3.c ]]; then
    cat >"$apt/sources/debian-src.sources" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    local opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt/sources"
      -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root)
    tv_log "fetching the sqlite3 source package $TV_SQLITE_DEB_VERSION"
    apt-get "${opts[@]}" -qq update || { exec {lockfd}>&-; return 1; }
    rm -rf "$work" && mkdir -p "$work"
    (cd "$work" && apt-get "${opts[@]}" -qq source "sqlite3=$TV_SQLITE_DEB_VERSION") >/dev/null ||
      { exec {lockfd}>&-; tv_log "sqlite3 $TV_SQLITE_DEB_VERSION is not served any more: update TV_SQLITE_DEB_VERSION"; return 1; }
    local src
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n1)
    [[ -n $src ]] || { exec {lockfd}>&-; return 1; }
    tv_log "making the SQLite amalgamation (needs tclsh)"
    (cd "$src" && ./configure --disable-tcl >/dev/null && make -j2 sqlite3.c >/dev/null) ||
      { exec {lockfd}>&-; return 1; }
    mkdir -p "$TV_SQLITE_DIR.tmp"
    cp "$src/sqlite3.c" "$src/sqlite3.h" "$TV_SQLITE_DIR.tmp/"
    rm -rf "$TV_SQLITE_DIR" && mv "$TV_SQLITE_DIR.tmp" "$TV_SQLITE_DIR"
    rm -rf "$work"
  fi
  exec {lockfd}>&-
}
