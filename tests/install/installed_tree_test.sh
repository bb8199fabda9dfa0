#!/bin/sh
# installed_tree_test.sh PREFIX PROGRAM_DIR BIN_DIR: what `cmake --install` laid out in
# PREFIX, and the installed irtool, remote-sim and remotectl run from bin/ as a user runs them.
set -eu
prefix=$1
program_dir=$prefix/$2
bin=$prefix/$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The program's folder holds the programs and the libraries they find beside themselves.
# So do the skin bundles, the help pages and the English translation.
for f in keylearn irtool remote-sim remotectl libzorvik.so libquorvel.so \
  on7731.rcc sn7731.rcc fn7731.rcc bn7731.rcc dn7731.rcc keylearn-help.html \
  keylearn-help-en.html keylearn_en.qm; do
  [ -s "$program_dir/$f" ] || fail "$program_dir/$f missing or empty"
done
# bin/ holds relative links into it, so that the tree works wherever it is unpacked.
for c in keylearn irtool remote-sim remotectl; do
  if [ ! -L "$bin/$c" ]; then
    fail "$bin/$c is not a link"
  else
    case $(readlink "$bin/$c") in
      /*) fail "$bin/$c links an absolute path" ;;
    esac
    [ "$(readlink -f "$bin/$c")" = "$(readlink -f "$program_dir/$c")" ] ||
      fail "$bin/$c does not lead to $program_dir/$c"
  fi
done
# Nothing from the build's own tools.
leftovers=$(find "$prefix" -name 'test_*' -o -name 'bench_*' -o -name 'keylearn-artgen' \
  -o -name '*.a' -o -name '*.h')
[ -z "$leftovers" ] || fail "build tools installed: $leftovers"

for f in share/man/man1/keylearn.1.gz share/man/man1/irtool.1.gz share/man/man1/remote-sim.1.gz \
  share/man/man1/remotectl.1.gz \
  share/applications/keylearn.desktop share/icons/hicolor/256x256/apps/keylearn.png \
  share/doc/keylearn/copyright share/doc/keylearn/changelog.gz; do
  [ -s "$prefix/$f" ] || fail "$prefix/$f missing or empty"
done
unit=$prefix/lib/systemd/user/keylearn-remote-sim.service
if [ -f "$unit" ]; then
  grep -qx "ExecStart=$prefix/bin/remote-sim serve" "$unit" ||
    fail "the unit does not start $prefix/bin/remote-sim: $(grep ExecStart "$unit")"
else
  fail "$unit missing"
fi

# The installed irtool: a protocol rendered and decoded back.
decoded=$("$bin/irtool" render NEC1 D=4 F=8 | "$bin/irtool" decode) || fail "irtool failed"
[ "$decoded" = "NEC1 D=4 S=251 F=8" ] || fail "irtool decoded \"$decoded\""

# The installed remote-sim: served on a private socket, asked from another process.
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$work"' EXIT
chmod 700 "$work"
export KEYLEARN_REMOTE_SOCKET="$work/sim.sock" XDG_RUNTIME_DIR="$work"
"$bin/remote-sim" serve --image "$work/remote.img" >"$work/serve.log" 2>&1 &
server=$!
answered=no
for _ in $(seq 100); do
  if "$bin/remote-sim" status >"$work/status" 2>&1; then answered=yes; break; fi
  sleep 0.1
done
if [ $answered = yes ]; then
  "$bin/remote-sim" dump B000 6 >"$work/dump" || fail "remote-sim dump failed"
  grep -q '^B000' "$work/dump" || fail "remote-sim dump printed: $(cat "$work/dump")"
  # The installed remotectl finds its device library and converter beside itself.
  "$bin/remotectl" program 01 NEC1 D=4 F=8 >"$work/program" 2>&1 ||
    fail "remotectl program failed: $(cat "$work/program")"
  grep -q '^01  Mute  *learned .*NEC1 D=4 S=251 F=8$' "$work/program" ||
    fail "remotectl program printed: $(cat "$work/program")"
else
  fail "the installed remote-sim never answered: $(cat "$work/serve.log")"
fi

if [ $failures -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "installed tree in $prefix: all checks passed"
