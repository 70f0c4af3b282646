#!/usr/bin/env bash
# The package's life on a lab machine: installed, used by two students, its platform address
# changed by the administrator, upgraded to a newer version, removed and purged. dpkg works on
# a root of the test's own; the students are two user ids of their own running the real client
# through the package's launcher, against a small platform on 127.0.0.1 that gives each browser
# a cookie of its own.
#
#   package_upgrade_test.sh BUILD-DIR VERSION CPACK-PROGRAM WM-DELETE-WINDOW-PROGRAM
set -euo pipefail

build=$1
version=$2
cpack=$3
wm_delete_window=$4

if ((EUID != 0)); then
  echo "skipped: dpkg into a private root and clients under other user ids need root"
  exit 77
fi
[[ -n ${DISPLAY:-} ]] || { echo "no X display (DISPLAY)" >&2; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# Waits up to 60 s for the command to succeed.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 600); do
    "$@" && return 0
    sleep 0.1
  done
  echo "timed out waiting for $what" >&2
  return 1
}

# ---- the two packages ------------------------------------------------------------------------

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  exit 1
}
newer=$(echo "$work"/package/parvelo_*.deb)
[[ -f $newer ]] || { echo "cpack made no single .deb" >&2; exit 1; }

# Unpacks the newer package into a tree to make an older one from.
unpack_newer() {
  rm -rf "$1"
  dpkg-deb -R "$newer" "$1"
}
# Builds a package from such a tree, its version and checksums set anew.
pack() {
  local tree=$1 older_version=$2 out=$3
  sed -i "s/^Version: .*/Version: $older_version/" "$tree/DEBIAN/control"
  (cd "$tree" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z |
    xargs -0 md5sum) >"$tree/DEBIAN/md5sums"
  dpkg-deb --root-owner-group -b "$tree" "$out" >/dev/null
}

# The older version: the same layout, another program and a file the newer one dropped.
older_version=${version}~older
unpack_newer "$work/older"
printf 'older build' >>"$work/older/opt/parvelo/parvelo"
echo retired >"$work/older/opt/parvelo/resource/retired.txt"
pack "$work/older" "$older_version" "$work/older.deb"

# ---- dpkg on a private root ------------------------------------------------------------------

new_root() {
  mkdir -p "$1/var/lib/dpkg/info" "$1/var/lib/dpkg/updates" "$1/var/lib/dpkg/triggers"
  : >"$1/var/lib/dpkg/status"
}
# The run-time packages the package depends on are not in this root.
in_root() {
  local root=$1
  shift
  dpkg --root="$root" --force-depends --force-unsafe-io "$@" \
    >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; return 1; }
}
installed_version() {
  dpkg-query --admindir="$1/var/lib/dpkg" -W -f='${Version} ${db:Status-Status}' parvelo 2>/dev/null
}
# Files and links below the folders, one a line.
files_in() {
  local dir
  for dir in "$@"; do [[ -d $dir ]] && find "$dir" ! -type d; done
  return 0
}

root=$work/root
new_root "$root"
in_root "$root" -i "$work/older.deb"
[[ $(installed_version "$root") == "$older_version installed" ]] ||
  fail "the older package is not installed: $(installed_version "$root")"

# ---- the platform ----------------------------------------------------------------------------

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
requests=$work/requests.log
: >"$requests"
# Every page request is logged as "path cookie"; a browser that sends no cookie gets a lasting
# one of its own.
python3 - "$port" "$requests" <<'PYTHON' &
import http.server, itertools, sys

port, log = int(sys.argv[1]), sys.argv[2]
serial = itertools.count(1)

class Platform(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        cookie = self.headers.get("Cookie", "")
        with open(log, "a") as out:
            out.write(f"{self.path} {cookie or '-'}\n")
        self.send_response(200)
        if not cookie:
            self.send_header("Set-Cookie", f"student={next(serial)}; Path=/; Max-Age=86400")
        body = b"<!DOCTYPE html><title>platform</title><p>platform</p>"
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass

http.server.HTTPServer(("127.0.0.1", port), Platform).serve_forever()
PYTHON
pids+=($!)
wait_until "the platform" python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null

title="Parvelo lab $$"
# The machine's settings as an administrator writes them: the platform, the title, the log with
# the client's decisions.
set_machine_host() {
  local settings=$root/etc/parvelo/Conf.ini
  sed -i "s|^Host=.*|Host=http://127.0.0.1:$port/$1/|; s|^Title=.*|Title=$title|; s|^level=.*|level=39|" \
    "$settings"
}
set_machine_host old

# ---- the students ----------------------------------------------------------------------------

screen=$(xdotool getdisplaygeometry)
screen_width=${screen% *}
screen_height=${screen#* }
# User ids nobody else on this machine runs the client as: the client ends every process of its
# name that belongs to its user when it closes.
declare -A uid=([ana]=47101 [ben]=47102)
home_of() { echo "$work/home/$1"; }
private_of() { echo "$(home_of "$1")/.local/share/parvelo/install"; }
for user in ana ben; do
  mkdir -p "$(home_of "$user")" "$work/run/$user"
  chmod 700 "$work/run/$user"
  chown "${uid[$user]}:${uid[$user]}" "$(home_of "$user")" "$work/run/$user"
done

# Starts the package's launcher as the user; sets client_pid.
start_client() {
  local user=$1
  setpriv --reuid="${uid[$user]}" --regid="${uid[$user]}" --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$(home_of "$user")" XDG_RUNTIME_DIR="$work/run/$user" \
    DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb QTWEBENGINE_DISABLE_SANDBOX=1 \
    "$root/usr/bin/parvelo" >>"$work/$user.out" 2>&1 &
  client_pid=$!
  pids+=("$client_pid")
}
log_of() { echo "$(private_of "$1")/zoravoraz.log"; }
log_has() { grep -qF "$2" "$(log_of "$1")" 2>/dev/null; }
page_requested() { tail -n "+$(($1 + 1))" "$requests" | grep -q "^/$2/ "; }
visible_window() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# Closes the client as its user does: the window's close, then OK to "确认关闭吗？". The browser
# writes its cookies as it shuts down.
close_client() {
  local user=$1 window mark
  window=$(xdotool search --onlyvisible --name "^$title\$" | head -n 1)
  mark=$(wc -l <"$(log_of "$user")")
  "$wm_delete_window" "$window"
  wait_until "the close question" eval 'tail -n "+$((mark + 1))" "$(log_of "$user")" | grep -qF "message box: 确认关闭吗？"'
  wait_until "the message box on the display" visible_window '^MsgForm$'
  # OK in the message box, centred on the screen.
  xdotool mousemove $(((screen_width - 318) / 2 + 96)) $(((screen_height - 150) / 2 + 117)) click 1
  wait_until "the end of $user's client" eval '! kill -0 "$client_pid" 2>/dev/null'
  wait "$client_pid" || true
}

# Runs the user's client until it has shown the platform's page under the path; prints the
# cookie the page request carried.
run_client() {
  local user=$1 path=$2 mark
  mark=$(wc -l <"$requests")
  start_client "$user"
  wait_until "$user's page /$path/" page_requested "$mark" "$path" || { cat "$work/$user.out" >&2; return 1; }
  wait_until "$user's window" visible_window "^$title\$"
}
cookie_sent() { tail -n "+$(($2 + 1))" "$requests" | grep "^/$1/ " | head -n 1 | cut -d' ' -f2; }

declare -A cookie
for user in ana ben; do
  mark=$(wc -l <"$requests")
  run_client "$user" old
  [[ $(cookie_sent old "$mark") == - ]] || fail "$user's first visit already had a cookie"
  close_client "$user"
  # The platform's cookie of this browser, from the second visit.
  mark=$(wc -l <"$requests")
  run_client "$user" old
  cookie[$user]=$(cookie_sent old "$mark")
  [[ ${cookie[$user]} == student=* ]] || fail "$user's browser kept no cookie: '${cookie[$user]}'"
  close_client "$user"
done
[[ ${cookie[ana]} != "${cookie[ben]}" ]] || fail "the two users share a cookie: ${cookie[ana]}"
# Ben switches the recording tip off, as the client writes it when he ticks "不再提示".
sed -i 's/^RecTip=.*/RecTip=no/' "$(private_of ben)/Conf.ini"

# ---- the administrator moves the platform and upgrades ----------------------------------------

set_machine_host new
in_root "$root" -i "$newer"
[[ $(installed_version "$root") == "$version installed" ]] ||
  fail "the newer package is not installed: $(installed_version "$root")"
grep -qx "Host=http://127.0.0.1:$port/new/" "$root/etc/parvelo/Conf.ini" ||
  fail "the upgrade did not keep the administrator's Host"
[[ ! -e $root/opt/parvelo/resource/retired.txt ]] || fail "the upgrade left the retired file"

declare -A tip=([ana]=yes [ben]=no)
for user in ana ben; do
  mark=$(wc -l <"$requests")
  run_client "$user" new
  sent=$(cookie_sent new "$mark")
  [[ $sent == "${cookie[$user]}" ]] || fail "$user's browser sent '$sent', not '${cookie[$user]}'"
  grep -qx "RecTip=${tip[$user]}" "$(private_of "$user")/Conf.ini" ||
    fail "$user's tip setting is not ${tip[$user]}:$(printf '\n%s' "$(cat "$(private_of "$user")/Conf.ini")")"
  # Nothing of the older version in use: the running program is the newer one, no file it
  # maps was replaced under it, and no link leads to a file the upgrade removed.
  cmp -s "/proc/$client_pid/exe" "$root/opt/parvelo/parvelo" ||
    fail "$user's client does not run the newer program"
  stale=$(grep -F "$work" "/proc/$client_pid/maps" | grep -F '(deleted)' || true)
  [[ -z $stale ]] || fail "$user's client maps replaced files:$(printf '\n%s' "$stale")"
  dangling=$(find "$(private_of "$user")" -xtype l)
  [[ -z $dangling ]] || fail "$user's installation links to removed files: $dangling"
  close_client "$user"
done

# ---- removal and purge -----------------------------------------------------------------------

in_root "$root" -r parvelo
left=$(files_in "$root/opt" "$root/usr")
[[ -z $left ]] || fail "remove left files:$(printf '\n%s' "$left")"
grep -qx "Host=http://127.0.0.1:$port/new/" "$root/etc/parvelo/Conf.ini" 2>/dev/null ||
  fail "remove took the machine's settings"
in_root "$root" -P parvelo
left=$(files_in "$root/opt" "$root/usr" "$root/etc")
[[ -z $left ]] || fail "purge left files:$(printf '\n%s' "$left")"
[[ -z $(installed_version "$root") ]] || fail "purge left the package known: $(installed_version "$root")"
# The students' own files stay, as Debian leaves home folders alone.
for user in ana ben; do
  [[ -f $(private_of "$user")/Conf.ini && -f $(log_of "$user") ]] ||
    fail "$user's settings or log went with the package"
  [[ -n $(files_in "$(home_of "$user")/.local/share/parvelo/browser") ]] ||
    fail "$user's browser data went with the package"
done

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "upgrade from $older_version to $version, removal and purge checked"
