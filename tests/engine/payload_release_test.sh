#!/bin/sh
# payload_release_test.sh TOOLS SETUP_EXE PAYLOAD MANIFEST MRV DATE WORK
# The built setup against the release tools: mkpayload verify accepts it, mkpayload list shows
# exactly the generator's files with the build's date, and writing and packing the sample
# product again gives the very same stream.
set -eu
tools=$1 setup=$2 payload=$3 manifest=$4 mrv=$5 date=$6 work=$7
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"

"$tools/mkpayload" verify "$setup" >"$work/verify.txt" || fail "verify refused the setup: $(cat "$work/verify.txt")"
grep -q '^OK: 303 entries, 4890807 bytes inflated' "$work/verify.txt" || fail "verify: $(cat "$work/verify.txt")"

"$tools/mkpayload" list "$setup" >"$work/list.txt" || fail "list refused the setup"
"$tools/mkpayload" list "$payload" | cmp -s - "$work/list.txt" || fail "the setup's resource lists differently from $payload"
# "YYYY-MM-DD HH:MM:SS       SIZE  NAME" -> "SIZE NAME", and every date is the build's.
sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} +([0-9]+)  (.*)$/\1 \2/' "$work/list.txt" >"$work/sizes.txt"
diff "$manifest" "$work/sizes.txt" >"$work/diff.txt" || fail "list and generator differ: $(head -5 "$work/diff.txt")"
others=$(grep -vc "^$date " "$work/list.txt" || true)
[ "$others" -eq 0 ] || fail "$others entries without the date $date"

for run in 1 2; do
  "$tools/mksample" "$mrv" "$work/product$run" "$work/manifest$run.txt"
  "$tools/mkpayload" pack "$work/product$run" "$work/payload$run.z" --date "$date" >/dev/null
  # Different file times must not matter when the date is fixed.
  touch -d "2001-02-03 04:05:0$run" "$work/product$run/License.txt"
done
"$tools/mkpayload" pack "$work/product2" "$work/payload2.z" --date "$date" >/dev/null
cmp "$work/payload1.z" "$work/payload2.z" || fail "two packs of the same product differ"
cmp "$work/payload1.z" "$payload" || fail "packing the sample product again differs from the build's payload"
cmp "$work/manifest1.txt" "$manifest" || fail "the generator wrote a different product"
head -c 2 "$payload" | od -An -tx1 | grep -q '78 da' || fail "the stream does not begin 0x78 0xDA"
rm -rf "$work"
echo "payload release checks passed"
