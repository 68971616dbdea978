#!/usr/bin/env bash
# install.sh SOURCE_DIR BUILD_DIR: `make install` and `make uninstall` as a user runs them, into
# a temporary home (the default ~/.vst and ~/.lv2), into a PREFIX, and into folders named with
# VST_DIR and LV2_DIR. Checked file by file: each installed file is the built one with the
# right mode, nothing else appears, lilv finds the installed bundle through its default path,
# and uninstall leaves exactly what was there before, someone else's files included.
set -euo pipefail
test_name="lv2 install"
fail() {
  echo "$test_name: FAIL $*" >&2
  exit 1
}
src=$(cd "${1:?usage: install.sh SOURCE_DIR BUILD_DIR}" && pwd)
build=$(cd "${2:?usage: install.sh SOURCE_DIR BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
uri=https://quillane.example/lv2/sparkwell

# Every file and folder below $1, with the mode of each file.
listing() { (cd "$1" && find . -printf '%y %m %p\n' | sort); }

bundle_files=()
for f in manifest.ttl sparkwell.ttl sparkwell_dsp.so sparkwell_ui.so; do
  [ -f "$build/sparkwell.lv2/$f" ] && bundle_files+=("$f")
done

# check_cycle ROOT VST_DIR LV2_DIR MAKE_ARGUMENTS...: install, check, uninstall, check.
check_cycle() {
  local root=$1 vst=$2 lv2=$3
  shift 3
  local before
  before=$(listing "$root")
  make -s -C "$src" install BUILD_DIR="$build" "$@" >"$work/make.out" 2>&1 ||
    { cat "$work/make.out"; fail "make install $* failed"; }

  local expected=("f 755 $vst/sparkwell.so")
  cmp -s "$build/sparkwell.so" "$vst/sparkwell.so" || fail "$vst/sparkwell.so is not the built module"
  for f in "${bundle_files[@]}"; do
    local mode=644
    [[ $f == *.so ]] && mode=755
    expected+=("f $mode $lv2/sparkwell.lv2/$f")
    cmp -s "$build/sparkwell.lv2/$f" "$lv2/sparkwell.lv2/$f" ||
      fail "$lv2/sparkwell.lv2/$f is not the built file"
  done
  # What install added, as "type mode path" lines with absolute paths.
  local added
  added=$(comm -13 <(echo "$before") <(listing "$root") | grep '^f' | sed "s|^f \([0-9]*\) \./|f \1 $root/|")
  [ "$added" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
    fail "make install $* added:"$'\n'"$added"$'\n'"expected:"$'\n'"$(printf '%s\n' "${expected[@]}")"

  # lilv finds the installed bundle where it looks by default (a home install) or in LV2_DIR.
  local info
  info=$(HOME=$home LV2_PATH=$lv2:/usr/lib/lv2 lv2info "$uri" 2>/dev/null) ||
    fail "lilv does not find $uri in $lv2"
  grep -q "Bundle: *file://$lv2/sparkwell.lv2/" <<<"$info" ||
    fail "lilv loads $uri from elsewhere than $lv2"

  make -s -C "$src" uninstall BUILD_DIR="$build" "$@" >"$work/make.out" 2>&1 ||
    { cat "$work/make.out"; fail "make uninstall $* failed"; }
  # Folders install made for the plug-ins may stay; every file and the bundle must go.
  [ ! -e "$lv2/sparkwell.lv2" ] || fail "make uninstall $* left $lv2/sparkwell.lv2"
  local after before_files
  after=$(listing "$root" | grep -v '^d' || true)
  before_files=$(grep -v '^d' <<<"$before" || true)
  [ "$after" = "$before_files" ] ||
    fail "make uninstall $* changed these files:"$'\n'"$(diff <(echo "$before_files") <(echo "$after"))"
}

# A home that already holds another plug-in in each folder.
home=$work/home
mkdir -p "$home/.vst" "$home/.lv2/other.lv2"
echo other >"$home/.vst/other.so"
echo other >"$home/.lv2/other.lv2/manifest.ttl"
HOME=$home check_cycle "$home" "$home/.vst" "$home/.lv2" HOME="$home"
# Without LV2_PATH, lilv searches ~/.lv2 first.
HOME=$home make -s -C "$src" install BUILD_DIR="$build" HOME="$home" >/dev/null 2>&1
info=$(env -u LV2_PATH HOME="$home" lv2info "$uri" 2>/dev/null || true)
grep -q "^.Bundle: *file://$home/.lv2/sparkwell.lv2/\$" <<<"$info" ||
  fail "lilv does not find the bundle in ~/.lv2 on its default path"
HOME=$home make -s -C "$src" uninstall BUILD_DIR="$build" HOME="$home" >/dev/null 2>&1
if [ ! -f "$home/.vst/other.so" ] || [ ! -f "$home/.lv2/other.lv2/manifest.ttl" ]; then
  fail "someone else's plug-in went missing"
fi

prefix=$work/prefix
mkdir -p "$prefix"
HOME=$home check_cycle "$prefix" "$prefix/lib/vst" "$prefix/lib/lv2" PREFIX="$prefix"
[ ! -e "$home/.vst/sparkwell.so" ] || fail "PREFIX install wrote into the home"

dirs=$work/dirs
mkdir -p "$dirs"
HOME=$home check_cycle "$dirs" "$dirs/vst" "$dirs/lv2" VST_DIR="$dirs/vst" LV2_DIR="$dirs/lv2"
echo "$test_name: passed (${#bundle_files[@]} bundle files)"
