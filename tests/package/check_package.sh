#!/usr/bin/env bash
# The Debian package made from this build tree: what it holds and declares,
# what lintian says of it, that it installs into and purges from a scratch
# root leaving nothing behind, and that the unpacked programs start and find
# their files. Usage: check_package.sh BUILD-DIR VERSION
set -euo pipefail
build=$1
version=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
same() { # what, expected, actual
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

made=$("$top/scripts/package" --pack "$build" "$work/out")
deb=$work/out/orvanta_${version}_$(dpkg --print-architecture).deb
[ "$made" == "$deb" ] || { echo "FAIL: made [$made], not $deb" >&2; exit 1; }

# ---- Control fields and maintainer scripts
field() { dpkg-deb -f "$deb" "$1"; }
same "package name" orvanta "$(field Package)"
same "version" "$version" "$(field Version)"
same "section" web "$(field Section)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
depends=$(field Depends)
# Loaded at run time, then two that only dpkg-shlibdeps can have found.
for need in qt6-translations-l10n fonts-noto-cjk gstreamer1.0-plugins-base \
  gstreamer1.0-plugins-good "libqt6webenginewidgets6 (" "libqt6multimedia6 ("; do
  [[ ", $depends" == *", $need"* ]] || fail "Depends lacks $need: $depends"
done
description=$(field Description)
[[ $description == *"travel trade portal"* && $description == *"旅行社"* ]] ||
  fail "the description is not in English and Chinese"
dpkg-deb -e "$deb" "$work/control"
same "control files" "control md5sums" "$(ls "$work/control" | tr '\n' ' ' | sed 's/ $//')"

# ---- Layout: executables only in bin/, the programs and their files together
root=$work/root
dpkg-deb -x "$deb" "$root"
programs=$root/usr/lib/orvanta
same "program folder" "Brickvane.png Die.wav Down.wav Killline.wav Me.ico Orvanta Picture3.gif \
game orvanta_webengine.so point.cur upgrade.wav velantrix.htm" \
  "$(cd "$programs" && LC_ALL=C ls | tr '\n' ' ' | sed 's/ $//')"
same "bin" "brickvane orvanta" "$(ls "$root/usr/bin" | tr '\n' ' ' | sed 's/ $//')"
same "orvanta launcher" "$programs/Orvanta" "$(readlink -f "$root/usr/bin/orvanta")"
same "brickvane launcher" "$programs/game" "$(readlink -f "$root/usr/bin/brickvane")"
for f in Orvanta game; do
  [ -x "$programs/$f" ] || fail "$f is not executable"
done

# ---- Menu entries, icons and AppStream metadata
share=$root/usr/share
entries=("$share"/applications/*.desktop)
same "menu entries" 2 "${#entries[@]}"
for entry in "${entries[@]}"; do
  out=$(desktop-file-validate "$entry" 2>&1) || fail "$entry: $out"
  [ -z "$out" ] || fail "$entry: $out"
  exec=$(sed -n 's/^Exec=//p' "$entry")
  [ -x "$root/usr/bin/$exec" ] || fail "$entry starts $exec, which is not in usr/bin"
  grep -q '^Name=.*[^ -~]' "$entry" || fail "$entry has no Chinese name"
  grep -q '^Comment=.*[^ -~]' "$entry" || fail "$entry has no Chinese comment"
done
same "window classes" "Brickvane Orvanta" \
  "$(sed -n 's/^StartupWMClass=//p' "${entries[@]}" | sort | tr '\n' ' ' | sed 's/ $//')"
icons=$( (sed -n 's/^Icon=//p' "${entries[@]}"
  sed -n 's:.*<icon type="stock">\(.*\)</icon>.*:\1:p' "$share"/metainfo/*.xml) | sort -u)
same "icon names" "brickvane orvanta" "$(echo $icons)"
for icon in $icons; do
  for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$icon.png
    [[ $(file -b "$png" 2>&1) == "PNG image data, $size x $size,"* ]] ||
      fail "$png: $(file -b "$png" 2>&1)"
  done
  grep -q '<svg' "$share/icons/hicolor/scalable/apps/$icon.svg" || fail "no scalable $icon"
done
for metainfo in "$share"/metainfo/*.xml; do
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "$metainfo: $out"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "$metainfo: no release $version"
  grep -q 'xml:lang="zh-CN"' "$metainfo" || fail "$metainfo: no Chinese"
done
same "changelog version" "orvanta ($version)" \
  "$(zcat "$share/doc/orvanta/changelog.gz" | head -n 1 | cut -d' ' -f1-2)"

# ---- Lintian: nothing above information, overrides included
lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 ||
  fail "lintian: $(grep -v '^running with root' "$work/lintian.txt")"
grep -q '^orvanta: ' "$share/lintian/overrides/orvanta" || fail "no lintian overrides"

# ---- Installs into a scratch root and purges without leaving anything
sys=$work/sys
mkdir -p "$sys"/var/lib/dpkg/{updates,info,triggers}
touch "$sys/var/lib/dpkg/status"
dpkg=(dpkg "--root=$sys" --log=/dev/null --force-not-root)
"${dpkg[@]}" --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg -i: $(cat "$work/dpkg.log")"
[ -x "$sys/usr/bin/orvanta" ] || fail "not installed"
"${dpkg[@]}" --purge orvanta >>"$work/dpkg.log" 2>&1 || fail "dpkg --purge: $(cat "$work/dpkg.log")"
left=$(cd "$sys" && find . -mindepth 1 -not -path './var*' -o -path './var/lib/dpkg/info/*' -not -name format)
same "left after purge" "" "$left"

# ---- The unpacked programs start, from the launchers, and find their files
home=$work/home
mkdir -p "$home/run" && chmod 700 "$home/run"
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C LC_ALL=C \
    QT_QPA_PLATFORM=offscreen ORVANTA_STARTUP_PROBE=1 ORVANTA_PORTAL_URL=http://127.0.0.1:9/ \
    timeout 60 "$@" 2>"$work/stderr" | grep -v '^shown [0-9]*$' || true
}
orvanta_found="found $programs/velantrix.htm
found $programs/game
icon 16 22 24 32 48 64 128 256"
game_found=$(for f in upgrade.wav Down.wav Killline.wav Die.wav Me.ico point.cur Picture3.gif; do
  echo "found $programs/$f"; done; echo "icon 64")
same "Orvanta's probe" "$orvanta_found" "$(run "$root/usr/bin/orvanta")"
same "Brickvane's probe" "$game_found" "$(run "$root/usr/bin/brickvane")"
# The links it wrote point into the program folder and name the icons.
links=$home/.local/share/applications
same "written links" "Icon=brickvane Icon=orvanta Icon=orvanta" \
  "$(cat "$links"/*.desktop | grep '^Icon=' | sort | tr '\n' ' ' | sed 's/ $//')"
grep -q "^Exec=$programs/Orvanta\$" "$links/Orvanta从业工具箱.desktop" || fail "link target"

# Without their files, they start all the same and say what is missing.
rm "$programs/velantrix.htm" "$programs/Down.wav" "$programs/Brickvane.png"
same "Orvanta's probe, page gone" "${orvanta_found/found $programs\/velantrix/missing $programs/velantrix}" \
  "$(run "$root/usr/bin/orvanta")"
game_gone=${game_found/found $programs\/Down/missing $programs/Down}
same "Brickvane's probe, files gone" "${game_gone/icon 64/icon}" "$(run "$root/usr/bin/brickvane")"

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "package $deb: all checks passed"
