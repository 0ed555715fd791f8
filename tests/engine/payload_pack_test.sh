#!/bin/sh
# payload_pack_test.sh MKPAYLOAD WORK
# mkpayload's packing rules on real folders: what it refuses (with a message and a non-zero exit),
# the local-time dates at even seconds, fixed dates for identical packs, and verify's verdicts.
set -u
mk=$1 work=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

# Each refusal case: a folder with one good file and one offending entry.
refuse() { # label, expected message part; the folder is ./case
  if "$mk" pack case out.z >out.txt 2>err.txt; then
    fail "$1: packed"
  elif ! grep -q -- "$2" err.txt; then
    fail "$1: message was: $(cat err.txt)"
  fi
  [ -e out.z ] && fail "$1: left an output file"
  rm -rf case out.z out.z.part
}
fresh() { rm -rf case; mkdir -p case/Templates; echo licence >case/License.txt; }

fresh; long=$(printf 'd%.0s' $(seq 1 200)); mkdir -p "case/$long"
touch "case/$long/$(printf 'f%.0s' $(seq 1 55))"
refuse "name over 255 bytes" "at most 255"
fresh; touch "case/日本語.txt"; refuse "outside the code page" "Windows-1252"
fresh; printf 'x' >"case/Templates/Fax.rtf"; printf 'y' >"case/templates.RTF"; mkdir -p case/TEMPLATES; printf 'z' >case/TEMPLATES/fax.RTF
refuse "same name when case is ignored" "same name when case is ignored"
fresh; printf 'a' >"case/Caf$(printf '\303\251').txt"; printf 'b' >"case/CAF$(printf '\303\211').TXT"
refuse "accented letters differ only in case" "same name when case is ignored"
fresh; ln -s License.txt case/link.txt; refuse "symbolic link" "not a regular file"
fresh; mkfifo case/pipe; refuse "named pipe" "not a regular file"
fresh; truncate -s 2G case/big.dat; refuse "file of 2 GiB" "2 GiB"
fresh; touch 'case/back\slash.txt'; refuse "backslash in a name" "backslash"
fresh; touch 'case/star*.txt'; refuse "wildcard in a name" "not allow"
"$mk" pack missing-folder out.z 2>/dev/null && fail "a missing folder was packed"

# Just under the limits is fine: a stored name of exactly 255 bytes and a Windows-1252 name.
fresh; mkdir -p "case/$long"; touch "case/$long/$(printf 'f%.0s' $(seq 1 54))"
printf 'e' >"case/Caf$(printf '\303\251') $(printf '\342\202\254').txt"
"$mk" pack case ok.z >/dev/null || fail "255-byte name refused"
"$mk" verify ok.z >/dev/null || fail "verify refused a fresh pack"
"$mk" list ok.z | grep -q "Café €.txt" || fail "Windows-1252 name not listed back"

# Dates: the file's time in local time, at whole even seconds; the packer's time zone counts.
fresh; touch -d @1717245295 case/License.txt   # 2024-06-01 12:34:55 UTC
TZ=UTC "$mk" pack case utc.z >/dev/null
TZ=Asia/Kolkata "$mk" pack case kolkata.z >/dev/null
TZ=UTC "$mk" list utc.z | grep -q '^2024-06-01 12:34:54 ' || fail "UTC date: $("$mk" list utc.z)"
TZ=UTC "$mk" list kolkata.z | grep -q '^2024-06-01 18:04:54 ' || fail "local date: $("$mk" list kolkata.z)"

# Fixed dates: the same folder with other file times gives the same bytes.
"$mk" pack case fixed1.z --date "2026-05-04 10:00:01" >/dev/null
touch -d @1600000000 case/License.txt
"$mk" pack case fixed2.z --date "2026-05-04 10:00:01" >/dev/null
cmp -s fixed1.z fixed2.z || fail "--date packs differ"
"$mk" list fixed1.z | grep -q '^2026-05-04 10:00:00 ' || fail "--date not rounded to even seconds"
SOURCE_DATE_EPOCH=1717245295 TZ=UTC "$mk" pack case sde1.z >/dev/null
touch case/License.txt
SOURCE_DATE_EPOCH=1717245295 TZ=UTC "$mk" pack case sde2.z >/dev/null
cmp -s sde1.z sde2.z || fail "SOURCE_DATE_EPOCH packs differ"
TZ=UTC "$mk" list sde1.z | grep -q '^2024-06-01 12:34:54 ' || fail "SOURCE_DATE_EPOCH date"
"$mk" pack case bad.z --date "yesterday" 2>/dev/null && fail "a bad --date was accepted"

# Deterministic order: byte order of the stored names, whatever the directory order.
fresh; for n in b a C "Templates/z" "Templates/A"; do echo "$n" >"case/$n"; done
"$mk" pack case order.z >/dev/null
[ "$("$mk" list order.z | sed 's/.*  //' | tr '\n' ' ')" = 'C License.txt Templates\A Templates\z a b ' ] ||
  fail "order: $("$mk" list order.z | sed 's/.*  //' | tr '\n' ' ')"
head -c 2 order.z | od -An -tx1 | grep -q '78 da' || fail "not level 9"

# verify says what is wrong and exits non-zero.
size=$(stat -c %s order.z)
head -c $((size - 3)) order.z >cut.z
"$mk" verify cut.z >/dev/null 2>err.txt && fail "verify accepted a cut stream"
grep -q "damaged" err.txt || fail "verify message: $(cat err.txt)"
cp order.z flipped.z
printf '\377' | dd of=flipped.z bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
"$mk" verify flipped.z >/dev/null 2>&1 && fail "verify accepted a flipped byte"
"$mk" list "$mk" >/dev/null 2>&1 && fail "list accepted a file that is no payload"
cp order.z trailing.z
printf 'x' >>trailing.z
"$mk" verify trailing.z >out.txt 2>&1 && fail "verify accepted bytes after the stream"
grep -q "follow the end" out.txt || fail "verify message: $(cat out.txt)"

cd / && rm -rf "$work"
[ $failures -eq 0 ] && echo "mkpayload checks passed"
exit $failures
