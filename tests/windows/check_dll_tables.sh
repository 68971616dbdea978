#!/usr/bin/env bash
# Checks the tables of the built DLL that a Windows host and the loader read, with objdump:
#   exports    exactly "VSTPluginMain" and "main", both at one address
#   imports    only DLLs that every Windows installation has (no mingw runtime DLLs)
#   resources  type "PNG", ids 1 to 8 and 201 to 208 (the set drawn at twice the size) in
#              language 1033 (English, US), each as large as its picture file
# Usage: check_dll_tables.sh <objdump> <dll> <exports|imports|resources> [resources folder]
set -euo pipefail
objdump=$1 dll=$2 what=$3 pictures=${4:-}
dump=$("$objdump" -p "$dll")
fail() { echo "FAIL: $*" >&2; exit 1; }

check_exports() {
  local names rvas
  # The name table lists "[   0] VSTPluginMain"; the address table "[   0] +base[   1] 1370 Export RVA".
  names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | awk '/\[ *[0-9]+\]/ {print $NF}' | sort)
  [ "$names" = "$(printf 'VSTPluginMain\nmain')" ] || fail "exported names are: $(echo $names)"
  rvas=$(grep -E '\+base\[ *[0-9]+\] +[0-9a-f]+ +Export RVA' <<<"$dump" | awk '{print $(NF-2)}')
  [ "$(wc -l <<<"$rvas")" = 2 ] || fail "export address table has $(wc -l <<<"$rvas") entries"
  [ "$(sort -u <<<"$rvas" | wc -l)" = 1 ] || fail "the two names point to different addresses: $(echo $rvas)"
  echo "exports: VSTPluginMain and main at RVA $(head -1 <<<"$rvas")"
}

check_imports() {
  local system="kernel32.dll user32.dll gdi32.dll ole32.dll oleaut32.dll msvcrt.dll advapi32.dll
                shell32.dll comctl32.dll imm32.dll uxtheme.dll shlwapi.dll winmm.dll"
  local dlls dll
  dlls=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$dump")
  [ -n "$dlls" ] || fail "no import table found"
  for dll in $dlls; do
    grep -qw -- "$dll" <<<"$system" || fail "imports $dll, which is not a Windows system DLL"
  done
  echo "imports: $(echo $dlls)"
}

check_resources() {
  local table id leaf size expected
  local files=(front knob pickup toggle back tab boost setknob)
  table=$(sed -n '/The .rsrc Resource Directory section:/,/Resources start at offset/p' <<<"$dump")
  [ -n "$table" ] || fail "no resource directory"
  # Exactly one type, named PNG.
  grep -q 'Type Table:.*Num Names: 1, IDs: 0' <<<"$table" || fail "resource types are not exactly one named type"
  grep -qE 'Entry: name: \[.*\]: PNG,' <<<"$table" || fail "the named resource type is not PNG"
  grep -q 'Name Table:.*Num Names: 0, IDs: 16' <<<"$table" || fail "the PNG type does not hold exactly 16 ids"
  for id in 1 2 3 4 5 6 7 8 201 202 203 204 205 206 207 208; do
    local file=${files[id % 100 - 1]}
    [ "$id" -gt 200 ] && file="$file@2x"
    # The id entry, its language table (one entry: 0x409 = 1033) and the leaf with the size.
    leaf=$(awk -v id="$(printf 'ID: 0x%06x,' "$id")" '
      index($0, "Name Table:") {names = 1}
      names && index($0, "Entry: " id) {found = 1; next}
      found && /Language Table/ {print; next}
      found && /Entry: ID:/ {print; next}
      found && /Leaf:/ {print; exit}' <<<"$table")
    grep -q 'Language Table:.*IDs: 1$' <<<"$leaf" || fail "id $id does not have exactly one language"
    grep -q 'Entry: ID: 0x000409,' <<<"$leaf" || fail "id $id is not in language 1033"
    size=$((16#$(sed -n 's/.*Size: 0x\([0-9a-f]*\),.*/\1/p' <<<"$leaf")))
    if [ -n "$pictures" ]; then
      expected=$(stat -c %s "$pictures/$file.png")
      [ "$size" = "$expected" ] || fail "id $id holds $size bytes, $file.png has $expected"
    fi
  done
  echo "resources: PNG ids 1..8 and 201..208, language 1033"
}

case "$what" in
  exports) check_exports ;;
  imports) check_imports ;;
  resources) check_resources ;;
  *) fail "unknown check '$what'" ;;
esac
