#!/usr/bin/env bash
# Makes the Debian package of the build in $1 with cpack and checks it as a
# user's machine would get it: apt could install it here (a simulation); it
# depends on the package of every shared library its programs link; it holds
# the offline map page with Leaflet at $2 from usr/bin, where the monitor
# looks for it; and,
# unpacked into a scratch root (nothing is installed on this system), both
# programs start from there, far from the build tree, on the offscreen
# platform, keep running for a few seconds and print no complaint of
# something they could not find or load.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
OFFLINE_FROM_BIN=${2:?the offline map folder relative to bin/}
WORK=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
progs=(QZorvikMonitor QMoxelin)

if ! cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1; then
  cat "$WORK/cpack.log" >&2
  fail "cpack could not make the package"
fi
debs=("$WORK"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: $(ls "$WORK/out")"
deb=${debs[0]}
echo "package: $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depend_names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g')
# Every package named (the hand-written ones too) exists and is satisfied here.
if ! apt-get install -s --no-install-recommends "$deb" >"$WORK/apt.log" 2>&1; then
  cat "$WORK/apt.log" >&2
  fail "apt cannot install the package on this system"
fi
root=$WORK/root
dpkg -x "$deb" "$root"

# The package of each library a program links, as the system resolves it.
for prog in "${progs[@]}"; do
  exe=$root/usr/bin/$prog
  [ -x "$exe" ] || fail "usr/bin/$prog is not in the package"
  for lib in $(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    # "libx.so.1 => /path (addr)", or "/path (addr)" for the dynamic loader
    path=$(ldd "$exe" | awk -v l="$lib" '$1 == l { print $3 } $1 ~ ("/" l "$") { print $1 }')
    [ -n "$path" ] && [ -e "$path" ] || fail "$prog: $lib does not resolve"
    real=$(readlink -f "$path")
    pkg=""
    while IFS= read -r line; do
      owner=${line%%: *}
      owner=${owner%%,*}
      if [ "$(readlink -f "${line#*: }")" = "$real" ]; then
        pkg=${owner%%:*}
        break
      fi
    done < <(dpkg -S "*/$lib" 2>/dev/null | grep -v '^diversion' || true)
    [ -n "$pkg" ] || fail "$prog: no package owns $real"
    grep -qxF "$pkg" <<<"$depend_names" || fail "$prog links $lib of $pkg, which Depends does not name"
  done
done

for file in BaiduOffline.html js/map_page.js js/metric_grid.js js/pointtransfertools.js css/map_page.css leaflet/leaflet.js leaflet/leaflet.css; do
  [ -s "$root/usr/bin/$OFFLINE_FROM_BIN/$file" ] || fail "the offline map's $file is not at usr/bin/$OFFLINE_FROM_BIN/"
done

# Both programs start from the scratch root with a home of their own.
home=$WORK/home
mkdir -p "$home/.config" "$WORK/run" "$WORK/cwd"
chmod 700 "$WORK/run"
for prog in "${progs[@]}"; do
  log=$WORK/$prog.log
  (cd "$WORK/cwd" && exec env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$WORK/run" \
     QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$root/usr/bin/$prog" >"$log" 2>&1) &
  pids+=($!)
done
sleep 5
for i in "${!progs[@]}"; do
  prog=${progs[$i]}
  kill -0 "${pids[$i]}" 2>/dev/null || { cat "$WORK/$prog.log" >&2; fail "$prog ended within 5 s of its start"; }
done
for pid in "${pids[@]}"; do kill "$pid"; wait "$pid" 2>/dev/null || true; done
pids=()
for prog in "${progs[@]}"; do
  if grep -Eiq "cannot|could not|not found|no such|unable|fail|error" "$WORK/$prog.log"; then
    cat "$WORK/$prog.log" >&2
    fail "$prog complained on its start"
  fi
done
echo "both programs started from the unpacked package"
