#!/usr/bin/env bash
# The Debian package made from this build tree: what it holds and declares,
# what lintian says of it, that it installs into and purges from a scratch
# root leaving nothing behind, and that the unpacked programs start and find
# their files. Usage: check_package.sh BUILD-DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
same() { # what, expected, actual (its lines joined by spaces)
  [ "$2" == "$(echo $3)" ] || fail "$1: expected [$2], got [$(echo $3)]"
}

made=$("$(dirname "$0")/../../scripts/package" --pack "$build" "$work/out")
deb=$work/out/orvanta_${version}_$(dpkg --print-architecture).deb
[ "$made" == "$deb" ] || { echo "FAIL: made [$made], not $deb" >&2; exit 1; }

# ---- Control fields and files; what is loaded at run time, then two that only
# dpkg-shlibdeps can have found
same "control" "Package: orvanta Version: $version Section: web" \
  "$(dpkg-deb -f "$deb" Package Version Section)"
depends=$(dpkg-deb -f "$deb" Depends)
for need in qt6-translations-l10n fonts-noto-cjk gstreamer1.0-plugins-base \
  gstreamer1.0-plugins-good "libqt6webenginewidgets6 (" "libqt6multimedia6 ("; do
  [[ ", $depends" == *", $need"* ]] || fail "Depends lacks $need: $depends"
done
[[ $(dpkg-deb -f "$deb" Description) == *"travel trade portal"*"旅行社"* ]] ||
  fail "the description is not in English and Chinese"
dpkg-deb -e "$deb" "$work/control"
same "control files" "control md5sums" "$(ls "$work/control")"

# ---- Layout: executables only in bin/, the programs and their files together
root=$work/root
dpkg-deb -x "$deb" "$root"
programs=$root/usr/lib/orvanta
same "program folder" "Brickvane.png Die.wav Down.wav Killline.wav Me.ico Orvanta Picture3.gif \
game orvanta_webengine.so point.cur upgrade.wav velantrix.htm" "$(cd "$programs" && LC_ALL=C ls)"
same "launchers" "brickvane:$programs/game orvanta:$programs/Orvanta" \
  "$(for l in "$root"/usr/bin/*; do [ -x "$l" ] && echo "${l##*/}:$(readlink -f "$l")"; done)"

# ---- Menu entries, icons, AppStream metadata and the changelog
share=$root/usr/share
entries=("$share"/applications/*.desktop)
metainfo=("$share"/metainfo/*.xml)
same "menu entries" "brickvane Brickvane orvanta Orvanta" \
  "$(sed -n 's/^Exec=//p; s/^StartupWMClass=//p' "${entries[@]}")"
out=$(desktop-file-validate "${entries[@]}" 2>&1) && [ -z "$out" ] || fail "menu entries: $out"
same "Chinese names and comments" 4 "$(cat "${entries[@]}" | grep -c '^\(Name\|Comment\)=.*[^ -~]')"
icons=$( (sed -n 's/^Icon=//p' "${entries[@]}"
  sed -n 's:.*<icon type="stock">\(.*\)</icon>.*:\1:p' "${metainfo[@]}") | sort -u)
same "icon names" "brickvane orvanta" "$icons"
for icon in $icons; do
  for size in 16 22 24 32 48 64 128 256; do
    png=$(file -b "$share/icons/hicolor/${size}x$size/apps/$icon.png")
    [[ $png == "PNG image data, $size x $size,"* ]] || fail "$icon, $size pixels: $png"
  done
  grep -q '<svg' "$share/icons/hicolor/scalable/apps/$icon.svg" || fail "no scalable $icon"
done
out=$(appstreamcli validate --no-net "${metainfo[@]}" 2>&1) || fail "metainfo: $out"
same "metainfo with this release, in Chinese" "2 2" "$(grep -l "<release version=\"$version\"" \
  "${metainfo[@]}" | wc -l) $(grep -l 'xml:lang="zh-CN"' "${metainfo[@]}" | wc -l)"
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
{ "${dpkg[@]}" --force-depends -i "$deb" && [ -x "$sys/usr/bin/orvanta" ] &&
  "${dpkg[@]}" --purge orvanta; } >"$work/dpkg.log" 2>&1 || fail "dpkg: $(cat "$work/dpkg.log")"
same "left after purge" "" \
  "$(cd "$sys" && find . -mindepth 1 -not -path './var*' -o -path './var/lib/dpkg/info/*' -not -name format)"

# ---- The unpacked programs start, from the launchers, and find their files;
# without them, they start all the same and say what is missing
home=$work/home
mkdir -p "$home/run" && chmod 700 "$home/run"
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C LC_ALL=C \
    QT_QPA_PLATFORM=offscreen ORVANTA_STARTUP_PROBE=1 ORVANTA_PORTAL_URL=http://127.0.0.1:9/ \
    timeout 60 "$root/usr/bin/$1" 2>"$work/stderr" | grep -v '^shown [0-9]*$' || true
}
for gone in found missing; do
  same "Orvanta's probe" "$gone $programs/velantrix.htm found $programs/game \
icon 16 22 24 32 48 64 128 256" "$(run orvanta)"
  same "Brickvane's probe" "found $programs/upgrade.wav $gone $programs/Down.wav found \
$programs/Killline.wav found $programs/Die.wav found $programs/Me.ico found $programs/point.cur \
found $programs/Picture3.gif icon$([ $gone == found ] && echo " 64")" "$(run brickvane)"
  rm -f "$programs/velantrix.htm" "$programs/Down.wav" "$programs/Brickvane.png"
done
# The links it wrote point into the program folder and name the icons.
links=$home/.local/share/applications
same "written links" "Icon=brickvane Icon=orvanta Icon=orvanta" \
  "$(cat "$links"/*.desktop | grep '^Icon=' | sort)"
grep -q "^Exec=$programs/Orvanta\$" "$links/Orvanta从业工具箱.desktop" || fail "link target"

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "package $deb: all checks passed"
