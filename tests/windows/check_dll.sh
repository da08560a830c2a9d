#!/bin/sh
# Checks the export and import tables of a Windows DLL:
#   check_dll.sh OBJDUMP DLL NAME...
# Passes when the DLL exports exactly the NAMEs and imports only from DLLs that
# every Windows installation has, so a host can load it with nothing beside it.
set -u
objdump=$1
dll=$2
shift 2

if ! dump=$("$objdump" -p "$dll"); then
  echo "FAIL: '$objdump -p $dll' failed"
  exit 1
fi
exports=$(printf '%s\n' "$dump" | awk '
  /^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
  on && NF == 0 { on = 0 }
  on { print $NF }')
imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ { print $3 }')

echo "$dll"
echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"

status=0
for name in "$@"; do
  printf '%s\n' "$exports" | grep -qx "$name" || { echo "FAIL: missing export: $name"; status=1; }
done
for name in $exports; do
  found=0
  for wanted in "$@"; do [ "$name" = "$wanted" ] && found=1; done
  [ $found = 1 ] || { echo "FAIL: unexpected export: $name"; status=1; }
done
for import in $imports; do
  case $(printf '%s' "$import" | tr '[:upper:]' '[:lower:]') in
    kernel32.dll | kernelbase.dll | ntdll.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll | \
      advapi32.dll | user32.dll | bcrypt.dll | ws2_32.dll | shell32.dll | ole32.dll) ;;
    *) echo "FAIL: imports a DLL that is not part of Windows: $import"; status=1 ;;
  esac
done
[ $status = 0 ] && echo "OK"
exit $status
