#!/usr/bin/env bash
# The Debian package, unpacked: it holds exactly the installation (its settings file moved to
# /etc/parvelo) plus the launcher, desktop entry, icons, manual page, software centre metadata
# and documentation, which Debian's tools accept; its control data names the run-time packages;
# and the launcher builds the per-user installation and starts the private copy of the program.
#
#   package_test.sh BUILD-DIR VERSION CPACK-PROGRAM
set -euo pipefail

build=$1
version=$2
cpack=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Files (and links) below a folder, one relative path a line, sorted.
files_below() {
  (cd "$1" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
}

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  exit 1
}
debs=("$work"/package/*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "cpack made no single .deb" >&2; exit 1; }
deb=${debs[0]}
[[ $(basename "$deb") == parvelo_${version}_*.deb ]] || fail "package file name $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root"
shared=$root/opt/parvelo

# The installation as `cmake --install` stages it, no more and no less (no test programs),
# except the settings file: the machine's one is in /etc/parvelo.
"$(dirname "$cpack")/cmake" --install "$build" --prefix "$work/staged" >/dev/null
diff <(files_below "$work/staged" | grep -vxF Conf.ini) <(files_below "$shared") >"$work/layout.diff" ||
  fail "/opt/parvelo differs from the staged installation:$(printf '\n%s' "$(cat "$work/layout.diff")")"
machine_settings=$root/etc/parvelo/Conf.ini
cmp -s "$work/staged/Conf.ini" "$machine_settings" ||
  fail "/etc/parvelo/Conf.ini is not the installation's settings file"
for program in parvelo regsvr; do
  [[ -x $shared/$program ]] || fail "$program is not executable"
done

metainfo=usr/share/metainfo/org.parvelo.parvelo.metainfo.xml
expected_outside=$(printf '%s\n' usr/bin/parvelo usr/share/applications/parvelo.desktop \
  usr/share/icons/hicolor/256x256/apps/parvelo.png usr/share/icons/hicolor/48x48/apps/parvelo.png \
  etc/parvelo/Conf.ini usr/share/man/man1/parvelo.1.gz "$metainfo" \
  usr/share/doc/parvelo/copyright usr/share/doc/parvelo/changelog.gz |
  LC_ALL=C sort)
actual_outside=$(files_below "$root" | grep -v '^opt/parvelo/' || true)
[[ $actual_outside == "$expected_outside" ]] ||
  fail "files outside /opt/parvelo:$(printf '\n%s' "$actual_outside")"
[[ -x $root/usr/bin/parvelo ]] || fail "the launcher is not executable"

for size in 48 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/parvelo.png
  [[ -f $icon ]] || continue
  geometry=$(identify -format '%m %wx%h' "$icon" 2>/dev/null || true)
  [[ $geometry == "PNG ${size}x${size}" ]] || fail "icon of ${size} pixels is '$geometry'"
done

desktop=$root/usr/share/applications/parvelo.desktop
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
# The software centres' metadata, checked offline (its screenshot's address is not fetched).
appstreamcli validate --no-net "$root/$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "the AppStream metadata does not validate:$(printf '\n%s' "$(cat "$work/appstream.log")")"
grep -q '<name xml:lang="zh-CN">Parvelo 大学英语</name>' "$root/$metainfo" ||
  fail "the AppStream metadata lacks the Chinese name"
grep -q '<launchable type="desktop-id">parvelo.desktop</launchable>' "$root/$metainfo" ||
  fail "the AppStream metadata does not name the desktop entry"

# Debian's own checks: no error and no warning but those about the installation in /opt.
lintian --no-cfg --allow-root --suppress-tags dir-or-file-in-opt --fail-on error,warning \
  "$deb" >"$work/lintian.log" 2>&1 ||
  fail "lintian:$(printf '\n%s' "$(cat "$work/lintian.log")")"
# The changelog's newest entry is this version, and the manual page formats without a warning.
changelog_version=$(zcat "$root/usr/share/doc/parvelo/changelog.gz" |
  dpkg-parsechangelog -l- -S Version)
[[ $changelog_version == "$version" ]] || fail "the changelog's newest version is '$changelog_version'"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/parvelo.1.gz" 2>&1 >/dev/null)
[[ -z $man_warnings ]] || fail "the manual page: $man_warnings"
for section in NAME SYNOPSIS SETTINGS FILES 'EXIT STATUS'; do
  zgrep -qx "\.SH \"\?$section\"\?" "$root/usr/share/man/man1/parvelo.1.gz" ||
    fail "the manual page lacks $section"
done
# Every file of the player fetched with npm is covered by its own paragraph of the copyright
# file, and its licence files are shipped beside it.
grep -qx 'Files: opt/parvelo/resource/flash/ruffle/\*' "$root/usr/share/doc/parvelo/copyright" ||
  fail "the copyright file does not cover the movie player"
for licence in LICENSE_MIT LICENSE_APACHE; do
  [[ -f $shared/resource/flash/ruffle/$licence ]] || fail "the movie player's $licence is not shipped"
done
entry_value() {
  sed -n "s/^$1=//p" "$desktop"
}
[[ $(entry_value Name) == "Parvelo 大学英语" ]] || fail "desktop entry Name '$(entry_value Name)'"
[[ -x $root/usr/bin/$(entry_value Exec | cut -d' ' -f1) ]] ||
  fail "desktop entry Exec '$(entry_value Exec)' is not the launcher"
[[ $(entry_value Icon) == parvelo ]] || fail "desktop entry Icon '$(entry_value Icon)'"
[[ $(entry_value Categories) == *Education* ]] || fail "desktop entry is not in Education"

control_field() {
  dpkg-deb -f "$deb" "$1"
}
[[ $(control_field Package) == parvelo ]] || fail "package name '$(control_field Package)'"
[[ $(control_field Version) == "$version" ]] || fail "package version '$(control_field Version)'"
depends=$(control_field Depends)
# The package names in Depends, alternatives included, one a line.
depends_names=$(sed 's/([^)]*)//g; s/[,|]/\n/g' <<<"$depends" | tr -d ' ' | grep -v '^$')
depends_on() {
  grep -qxF "$1" <<<"$depends_names"
}
# What the program loads without linking it.
for package in qt6-qpa-plugins pocketsphinx-en-us fonts-noto-cjk libgl1-mesa-dri \
  qt6-translations-l10n ca-certificates; do
  depends_on "$package" || fail "Depends lacks $package: $depends"
done
# The package of every library a program or module of the package links, as this system names it.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
while IFS= read -r file; do
  [[ $(od -An -tx1 -N4 "$shared/$file" | tr -d ' ') == 7f454c46 ]] || continue
  for library in $(readelf -d "$shared/$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    owner=$(dpkg-query -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | cut -d: -f1)
    [[ -n $owner ]] || { fail "no package here holds $library, which $file links"; continue; }
    depends_on "$owner" || fail "Depends lacks $owner, whose $library $file links: $depends"
  done
done < <(files_below "$shared")
# Every package named exists on the system the package was built on (installed here, or named
# by one installed here): a name carried over from another release would make it uninstallable.
installed_names=$(dpkg-query -W -f='${db:Status-Status} ${Package} ${Provides}\n' |
  sed -n 's/^installed //p' | sed 's/([^)]*)//g; s/,/ /g' | tr -s ' ' '\n' | sed 's/:.*//' |
  LC_ALL=C sort -u)
while IFS= read -r package; do
  grep -qxF "$package" <<<"$installed_names" ||
    fail "Depends names $package, which this system neither has nor provides: $depends"
done <<<"$depends_names"
[[ $(dpkg-deb -I "$deb" conffiles 2>/dev/null) == /etc/parvelo/Conf.ini ]] ||
  fail "the machine's Conf.ini is not the package's one configuration file"

# The launcher, with a fresh home of its own.
launcher=$root/usr/bin/parvelo
home=$work/home
mkdir -p "$home"
run_launcher() {
  env -u XDG_DATA_HOME HOME="$home" "$launcher" "$@"
}
private=$home/.local/share/parvelo/install
printed=$(run_launcher --print-install-dir) || fail "--print-install-dir failed"
[[ $printed == "$private" ]] || fail "--print-install-dir printed '$printed'"
diff <( (files_below "$shared"; echo Conf.ini) | LC_ALL=C sort) <(files_below "$private") \
  >"$work/private.diff" ||
  fail "the per-user installation lacks files:$(printf '\n%s' "$(cat "$work/private.diff")")"
# The program must be a real copy (it finds its folder through /proc/self/exe), the settings
# file a writable copy of the machine's, everything else a link into the shared installation.
[[ -f $private/Conf.ini && ! -L $private/Conf.ini ]] || fail "Conf.ini is not a copy"
cmp -s "$machine_settings" "$private/Conf.ini" || fail "Conf.ini differs from the machine's"
while IFS= read -r file; do
  case $file in
  parvelo)
    [[ -f $private/$file && ! -L $private/$file ]] || fail "$file is not a copy"
    cmp -s "$shared/$file" "$private/$file" || fail "$file differs from the shared one"
    ;;
  *)
    [[ -L $private/$file && $(readlink -f "$private/$file") == "$(readlink -f "$shared/$file")" ]] ||
      fail "$file is not a link to the shared installation"
    ;;
  esac
done < <(files_below "$shared")

# A second start keeps the user's own settings and what the client made beside itself.
sed -i 's/^RecTip=yes/RecTip=no/' "$private/Conf.ini"
mkdir -p "$private/tmp" && echo recording >"$private/tmp/RecordTestFile.wav"
run_launcher --print-install-dir >/dev/null || fail "second --print-install-dir failed"
grep -qx 'RecTip=no' "$private/Conf.ini" || fail "a second start replaced the user's tip setting"
[[ -f $private/tmp/RecordTestFile.wav ]] || fail "a second start removed the client's files"

# After an upgrade (a new program, a file gone) the launcher refreshes the copy, drops the
# stale link and starts the private program with the arguments it was given.
# The new program only tells how it was started.
# shellcheck disable=SC2016
printf '#!/bin/sh\necho "$0 $*"\n' >"$shared/parvelo"
rm "$shared/errorpage.htm"
started=$(run_launcher first "second word") || fail "the launcher did not start the program"
[[ $started == "$private/parvelo first second word" ]] || fail "the launcher started '$started'"
[[ ! -e $private/errorpage.htm && ! -L $private/errorpage.htm ]] ||
  fail "the link to a removed file is left"

# XDG_DATA_HOME moves the per-user installation.
printed=$(HOME="$home" XDG_DATA_HOME="$work/data" "$launcher" --print-install-dir) ||
  fail "--print-install-dir with XDG_DATA_HOME failed"
[[ $printed == "$work/data/parvelo/install" && -f $work/data/parvelo/install/parvelo ]] ||
  fail "XDG_DATA_HOME not followed: '$printed'"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package $(basename "$deb") checked"
