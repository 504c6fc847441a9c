#!/usr/bin/env bash
# install_test.sh <build folder>
# Installs the build as a packager does (DESTDIR, prefix /usr) into a
# temporary folder, checks the installed layout, the desktop entry, the
# metainfo and the icons, makes the installed tree read-only and starts the
# installed korvel on the offscreen platform until its main window has
# been shown (its first show stores the game's settings). The game must
# write nothing under the prefix and keep its log in the user's state folder.
set -euo pipefail

build=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/korvel-install.XXXXXX")
root=$work/root
home=$work/home
manifest=$build/install_manifest.txt
pid=
restored=

fail() {
  echo "install_test: $*" >&2
  exit 1
}

# The build folder is left as it was: cmake --install records what it
# installed there.
[ -e "$manifest" ] && cp -p "$manifest" "$work/manifest"
restore_manifest() {
  if [ -e "$work/manifest" ]; then mv "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
  restored=yes
}

finish() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  [ -n "$restored" ] || restore_manifest
  chmod -R u+w "$work"
  rm -rf "$work"
}
trap finish EXIT

DESTDIR=$root cmake --install "$build" --prefix /usr > "$work/install.log" ||
  fail "cmake --install failed: $(cat "$work/install.log")"
restore_manifest

# The layout: exactly these files, nothing of the tests or tools.
{
  echo usr/bin/korvel
  for name in korvel Languages.rc help/korvel.html help/hilfe.html; do echo "usr/lib/korvel/$name"; done
  for n in 0 1 2 3; do echo "usr/lib/korvel/gfx$n.dll"; echo "usr/lib/korvel/sshot$n.bmp"; done
  for prefix in classic desktop space toy; do
    for take in 1 2 3 4 5; do echo "usr/lib/korvel/$prefix$take.wav"; done
  done
  for n in 0 1 2 3 4 5 6 7 8; do echo "usr/lib/korvel/songs/$n.mid"; done
  echo usr/share/applications/korvel.desktop
  echo usr/share/metainfo/example.korvel.Korvel.metainfo.xml
  for size in 48 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/korvel.png"; done
} | sort > "$work/expected"
(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) > "$work/installed"
diff -u "$work/expected" "$work/installed" || fail "the installed files differ from the expected layout"

[ "$(readlink "$root/usr/bin/korvel")" = ../lib/korvel/korvel ] ||
  fail "usr/bin/korvel is not a link to ../lib/korvel/korvel"
[ -x "$root/usr/lib/korvel/korvel" ] || fail "the program is not executable"

desktop-file-validate "$root/usr/share/applications/korvel.desktop" ||
  fail "the desktop entry is not valid"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.korvel.Korvel.metainfo.xml" ||
  fail "the metainfo is not valid"

# A PNG's width and height stand big-endian in bytes 16 to 23.
for size in 48 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x$size/apps/korvel.png
  read -r -a header <<< "$(od -An -v -tu1 -w24 -N24 "$icon")"
  [ "${header[1]}${header[2]}${header[3]}" = 807871 ] || fail "$icon is no PNG"
  width=$(( (header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19] ))
  height=$(( (header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23] ))
  [ "$width.$height" = "$size.$size" ] || fail "$icon is ${width}x$height, not ${size}x$size"
done

chmod -R a-w "$root"
snapshot() { (cd "$root" && find . -printf '%p %y %m %s %T@\n' | sort); }
snapshot > "$work/before"

mkdir -p "$home" "$work/tmp" "$work/cwd"
hive=$home/config/Korvel/registry
(
  cd "$work/cwd"
  exec env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_STATE_HOME="$home/state" XDG_DATA_HOME="$home/data" TMPDIR="$work/tmp" \
    QT_QPA_PLATFORM=offscreen KORVEL_OPEN_COMMAND=/bin/true "$root/usr/bin/korvel"
) > "$work/output" 2>&1 &
pid=$!

# The main window's first show builds the game's settings in the key
# software\Hemlow\rq8 (the usage data's subkey comes earlier and is not
# enough). The bound is for a busy machine.
shown=
for _ in $(seq 600); do
  if grep -qix '\[software\\hemlow\\rq8\]' "$hive" 2>/dev/null; then
    shown=yes
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  wait "$pid" 2>/dev/null || true
else
  wait "$pid" && status=0 || status=$?
  pid=
  fail "korvel ended (status $status) before its main window was shown: $(cat "$work/output")"
fi
pid=
[ -n "$shown" ] || fail "korvel did not show its main window: $(cat "$work/output")"

snapshot > "$work/after"
diff -u "$work/before" "$work/after" || fail "korvel changed the installed tree"
log=$home/state/Korvel/log.txt
[ "$(head -n 1 "$log" 2>/dev/null)" = "Korvel Logfile" ] || fail "no log in the user's state folder"
[ ! -e "$work/tmp/log.txt" ] || fail "the log went to the temporary folder"
echo "install_test: installed, validated, started read-only; log in $log"
