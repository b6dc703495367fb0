#!/usr/bin/env bash
# Builds the Debian package of a build folder and checks it, then installs the
# build into a temporary root (DESTDIR) and runs both programs from there, and
# from the package's own files, as a user who cannot write the install root,
# with a home and XDG folders of its own in a temporary folder:
#   - the package lists its dependencies and holds the programs, their menu
#     entries, the icon and the manual pages, and no database;
#   - --help and --version answer;
#   - the first start makes the databases in the data folder and zarv.ini in
#     the config folder;
#   - zarvreceive --batch over two returned workbooks, one with errors, writes
#     both verified files and exits non-zero;
#   - a payment data file opened through the menu entry, as a file manager
#     opens it (gio open), starts the payment run on it;
#   - nothing under the install root is written.
# The package itself passes Debian's lintian without an error or a warning, its
# menu entries desktop-file-validate, and its AppStream metainfo appstreamcli.
# As root the programs run as the user nobody (root could write anywhere);
# otherwise the install root is made read-only.
# Usage: scripts/package-test.sh [build folder]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)

fail() { echo "package test: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
[ -n "$version" ] && [ -n "$prefix" ] || fail "$build is not a configured build folder"

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"

# ---- the package
(cd "$build" && cpack -G DEB >/dev/null)
deb=$build/zarv_${version}_amd64.deb
[ -f "$deb" ] || fail "cpack made no $deb"
info=$(dpkg-deb --info "$deb")
grep -q '^ Depends: .*libqt6core6' <<<"$info" || fail "the package lists no Qt dependency"
for lib in libsqlite3 libxlsxwriter libzip libpugixml; do
  grep -q "^ Depends: .*$lib" <<<"$info" || fail "the package does not depend on $lib"
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for file in bin/zarv bin/zarvreceive share/applications/zarv.desktop share/applications/zarvreceive.desktop \
            share/icons/hicolor/scalable/apps/zarv.svg share/man/man1/zarv.1.gz share/man/man1/zarvreceive.1.gz; do
  grep -qx "\.$prefix/$file" <<<"$contents" || fail "the package holds no $prefix/$file"
done
if grep -qi '\.mdb$' <<<"$contents"; then fail "the package holds a database"; fi
echo "package test: $(basename "$deb") holds both programs, menu entries, icon and manual pages, no database"

# ---- Debian's own checks of the package
lintian_out=$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1) \
  || { echo "$lintian_out" >&2; fail "lintian finds errors or warnings in $(basename "$deb")"; }
unpacked=$work/unpacked
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked$prefix"/share/applications/*.desktop || fail "a menu entry is not valid"
metainfo=$(find "$unpacked$prefix/share/metainfo" -name '*.metainfo.xml')
[ -n "$metainfo" ] || fail "the package holds no AppStream metainfo"
appstreamcli validate --no-net $metainfo >&2 || fail "appstreamcli refuses the metainfo"
echo "package test: lintian finds nothing to warn of; the menu entries and the AppStream metainfo are valid"

# ---- the installed programs, run by a user who cannot write them
DESTDIR=$work/installed cmake --install "$build" >/dev/null
dpkg-deb -x "$deb" "$work/package"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

manifest() { (cd "$1" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort); }

check_root() {
  local root=$1 name=$2
  local bin=$root$prefix/bin xdg
  xdg=$(dirname "$(find "$root" -path '*/xdg/zarv/zarv.ini' | head -1)")
  [ -d "$xdg" ] || fail "$name: no system-wide zarv.ini"
  xdg=$(dirname "$xdg")
  local user=$work/user-$name home returned
  home=$user/home
  returned=$user/returned
  mkdir -p "$home/run" "$returned"
  chmod 700 "$home/run"
  cp "$src/samples/MortNo1234.xlsx" "$src/tests/install/MortNo5678.xlsx" "$returned/"
  if [ ${#as_user[@]} -gt 0 ]; then
    chown -R 65534:65534 "$user"
  else
    chmod -R a-w "$root"
  fi
  local before
  before=$(manifest "$root")

  run() {
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" \
      XDG_CONFIG_HOME="$home/.config" XDG_CONFIG_DIRS="$xdg" XDG_RUNTIME_DIR="$home/run" \
      QT_QPA_PLATFORM=offscreen "$@"
  }

  for program in zarv zarvreceive; do
    run "$bin/$program" --help | grep -q 'Usage:' || fail "$name: $program --help"
    [ "$(run "$bin/$program" --version)" = "$program $version" ] || fail "$name: $program --version"
  done

  # The start screen stays open until the clerk closes it: it has been started
  # when its databases and settings are there.
  local rc=0
  run timeout 15 "$bin/zarv" >"$user/zarv.out" 2>&1 || rc=$?
  [ "$rc" -eq 124 ] || { cat "$user/zarv.out" >&2; fail "$name: zarv ended with $rc instead of showing its start screen"; }
  for db in Zarv.mdb ZarvDb.mdb label.mdb; do
    [ -s "$home/.local/share/zarv/$db" ] || fail "$name: no $db in the data folder"
  done
  [ -f "$home/.config/zarv/zarv.ini" ] || fail "$name: no zarv.ini in the config folder"

  rc=0
  run "$bin/zarvreceive" --batch "$returned" >"$user/batch.out" 2>&1 || rc=$?
  [ "$rc" -ne 0 ] || { cat "$user/batch.out" >&2; fail "$name: zarvreceive --batch passed a workbook with errors"; }
  for book in MortNo1234 MortNo5678; do
    [ -s "$returned/${book}_VERIFIED.zarv" ] || { cat "$user/batch.out" >&2; fail "$name: no verified file of $book"; }
  done
  [ -s "$returned/MortNo5678_ERRORS.txt" ] || fail "$name: no errors listed for the workbook with errors"
  [ ! -s "$returned/MortNo1234_ERRORS.txt" ] || fail "$name: errors listed for the clean workbook"

  # A payment data file opened from the file manager: the menu entry starts
  # zarv on it, and the payment run loads it (the log tells).
  local opened=$user/opened
  mkdir -p "$opened" "$home/.config"
  cp "$src/samples/Zarvdata.csv" "$opened/"
  printf '[Default Applications]\ntext/csv=zarv.desktop\n' >"$home/.config/mimeapps.list"
  [ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$opened" "$home/.config"
  local log=$home/.local/state/zarv/zarv.log
  run env PATH="$bin:/usr/bin:/bin" XDG_DATA_DIRS="$root$prefix/share:/usr/share" XDG_STATE_HOME="$home/.local/state" \
    gio open "$opened/Zarvdata.csv" >"$user/open.out" 2>&1 || { cat "$user/open.out" >&2; fail "$name: gio open"; }
  local waited=0
  until grep -qF "$opened/Zarvdata.csv" "$log" 2>/dev/null; do
    sleep 1
    waited=$((waited + 1))
    [ $waited -lt 30 ] || { cat "$user/open.out" >&2; fail "$name: opening Zarvdata.csv started no payment run"; }
  done
  grep -F "$opened/Zarvdata.csv" "$log" | grep -q "$(printf '\tzarv\t')" || fail "$name: the file was not loaded by zarv"
  grep -F "$opened/Zarvdata.csv" "$log" | grep -q "$(printf '\tloaded$')" || { cat "$log" >&2; fail "$name: the payment run did not load Zarvdata.csv"; }
  echo "package test: $name: Zarvdata.csv opened through the menu entry started the payment run on it"

  # A second program on the same data folder, from another login (a runtime
  # folder of its own), is refused before it touches a table, and says which
  # folder is in use and since when.
  mkdir -p "$user/run2"
  chmod 700 "$user/run2"
  [ ${#as_user[@]} -eq 0 ] || chown 65534:65534 "$user/run2"
  rc=0
  run env XDG_RUNTIME_DIR="$user/run2" "$bin/zarvreceive" --batch "$returned" >"$user/second.out" 2>&1 || rc=$?
  [ "$rc" -eq 3 ] || { cat "$user/second.out" >&2; fail "$name: a second program on the data folder ended with $rc, not 3"; }
  grep -q "^zarvreceive: .*$home/.local/share/zarv.* since " "$user/second.out" \
    || { cat "$user/second.out" >&2; fail "$name: the refusal does not name the folder in use and since when"; }
  echo "package test: $name: a second program on the same data folder, from another login, is refused"

  # The program waits for the clerk: end it by the process id its lock holds.
  local pid
  pid=$(sed -n 's/^pid=//p' "$home/.local/share/zarv/zarv.lock")
  [ -n "$pid" ] || fail "$name: the data folder's lock names no process"
  kill "$pid" 2>/dev/null || true
  waited=0
  while kill -0 "$pid" 2>/dev/null && [ $waited -lt 10 ]; do sleep 1; waited=$((waited + 1)); done

  # A database damaged on disk is named, set aside under a dated name and made
  # anew; the work goes on.
  local data=$home/.local/share/zarv
  truncate -s "$(($(stat -c %s "$data/Zarv.mdb") / 2))" "$data/Zarv.mdb"
  rc=0
  run "$bin/zarvreceive" --batch "$returned/MortNo1234.xlsx" >"$user/damaged.out" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] || { cat "$user/damaged.out" >&2; fail "$name: with a damaged Zarv.mdb the batch ended with $rc"; }
  grep -q "^zarvreceive: .*Zarv.mdb is damaged" "$user/damaged.out" \
    || { cat "$user/damaged.out" >&2; fail "$name: the damaged database is not named"; }
  ls "$data"/Zarv*damaged*.mdb >/dev/null 2>&1 || fail "$name: the damaged database was not kept aside"
  echo "package test: $name: a damaged database is named, kept aside and made anew"

  [ "$before" = "$(manifest "$root")" ] || fail "$name: something was written under the install root"
  echo "package test: $name: both programs ran from $prefix as a user of their own; nothing written under the install root"
}

check_root "$work/installed" installed
check_root "$work/package" package
