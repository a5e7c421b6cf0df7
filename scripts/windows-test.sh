#!/usr/bin/env bash
# Builds Voziroz.dll (scripts/windows-build.sh) and tests it under Wine in a fresh prefix inside
# the build folder: windows_tests.exe beside the DLL (the COM object core's suite tests/com, the
# same sources as on Linux, and the Windows edge's own tests),
# registration by regsvr32 read back with `wine reg query`, the JScript and VBScript suites of
# tests/windows/ through cscript (their dumps compared with the Linux build's `voziroz dump`), then
# in the UTF-8 code page (VOZIROZ_CODE_PAGE=utf-8) the suites of tests/windows/utf8/ and the dumps
# again, and unregistration leaving nothing behind. $VOZIROZ_WINDOWS_CODE_PAGES picks the code
# pages ("1252 utf-8" by default). Every Wine call runs under `timeout`. Wine's script
# host exits 0 even on a script error, so a suite passes only when cscript exits 0 AND its last
# line reads "N passed, 0 failed".
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/windows-build.sh
out=$(cd "${VOZIROZ_WINDOWS_BUILD_DIR:-build-windows}" && pwd)
dll_dir="$out/x86_64/windows"

export WINEPREFIX="$out/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
trap 'wineserver -k > /dev/null 2>&1 || true' EXIT
rm -rf "$WINEPREFIX"
timeout 120 wine wineboot -i > /dev/null 2>&1
timeout 60 wineserver -w

failures=0
fail() {
  echo "windows-test: FAIL: $*" >&2
  failures=$((failures + 1))
}
winpath() { winepath -w "$1" 2> /dev/null; }
query() { timeout 30 wine reg query "$@" 2> /dev/null | tr -d '\r'; }

# The Linux FTP tests' server, for the FTP client over WinInet: it stops when its input closes.
ftp_dir="$out/ftp-server"
rm -rf "$ftp_dir" && mkdir -p "$ftp_dir/root" && mkfifo "$ftp_dir/input"
sleep 3600 > "$ftp_dir/input" &
ftp_input_pid=$!
/usr/bin/python3 tests/ftp/ftp_test_server.py "$ftp_dir/root" tester "s3cret word" \
  "$ftp_dir/commands.log" < "$ftp_dir/input" > "$ftp_dir/port" 2> "$ftp_dir/server.log" &
ftp_server_pid=$!
# The misbehaving server of the deadline tests: its first line is "FTP_PORT SILENT_PORT".
/usr/bin/python3 tests/ftp/faulty_ftp_server.py < "$ftp_dir/input" > "$ftp_dir/faulty-ports" \
  2>> "$ftp_dir/server.log" &
faulty_server_pid=$!
trap 'kill $ftp_input_pid $ftp_server_pid $faulty_server_pid 2> /dev/null; wineserver -k > /dev/null 2>&1 || true' EXIT
for _ in $(seq 100); do [ -s "$ftp_dir/port" ] && [ -s "$ftp_dir/faulty-ports" ] && break; sleep 0.1; done

echo "== windows_tests.exe"
(cd "$dll_dir" && VOZIROZ_FTP_PORT=$(head -n 1 "$ftp_dir/port") \
  VOZIROZ_FTP_FAULTY_PORT=$(cut -d ' ' -f 1 "$ftp_dir/faulty-ports") \
  VOZIROZ_FTP_ROOT=$(winpath "$ftp_dir/root") timeout 180 wine windows_tests.exe --gtest_brief=1) ||
  fail "windows_tests.exe"

echo "== registration"
dll=$(winpath "$dll_dir/Voziroz.dll")
timeout 60 wine regsvr32 /s "$dll" || fail "regsvr32 exited $?"
query 'HKCR\Voziroz.Parser\Clsid' /ve | grep -q '{C75F7A80-B719-4164-AFC1-56A316B44679}' ||
  fail 'HKCR\Voziroz.Parser\Clsid'
query 'HKCR\CLSID\{FA374253-E02E-461A-85FC-9370260773F1}\InprocServer32' /v ThreadingModel |
  grep -q 'REG_SZ *Apartment' || fail 'ThreadingModel of Voziroz.Table'
query 'HKCR\CLSID\{FA374253-E02E-461A-85FC-9370260773F1}\InprocServer32' /ve |
  grep -qiF "$dll" || fail 'InprocServer32 of Voziroz.Table'
query 'HKCR\TypeLib\{BA382B7F-C27B-4CBD-A67B-6B8856E804EE}\1.0\409\win64' /ve |
  grep -qiF "$dll" || fail 'type library registration'

echo "== script suites"
suites="$out/suites"
rm -rf "$suites" && mkdir -p "$suites/scratch"
# The files that dump_test.js dumps and the Linux tool dumps too: the samples, a missing file, and
# corpus files in every encoding ($VOZIROZ_SHARED_DIR/corpus, skipped when absent).
corpus=${VOZIROZ_SHARED_DIR:-$root/../shared}/corpus
dump_inputs=("$root/samples/family.ged" "$root/tests/data/ivanov-utf8.ged"
  "$suites/scratch/missing.ged")
for name in 555SAMPLE.GED 555SAMPLE16BE.GED 555SAMPLE16LE.GED ANSEL.GED Ansi.ged \
  utf8_crlf_bom.ged utf8-nobom-lf.ged issue102_100levels.ged Kennedy+Family.ged \
  "5.5.1 sample 3.ged" Simpsons+Cartoon+Family+Tree.ged ancestry-2025-export.ged willis.ged; do
  [ -f "$corpus/$name" ] && dump_inputs+=("$corpus/$name")
done
[ -d "$corpus" ] || echo "  (no corpus at $corpus: dumping the samples only)"
{ printf 'P6\n64 48\n255\n'; head -c $((64 * 48 * 3)) /dev/zero; } |
  cjpeg -quality 90 > "$suites/scratch/source.jpg"  # for Parser.Thumbnail
cp tests/data/ivanov-utf8.ged "$suites/scratch/Иванов.ged"  # for utf8/cyrillic_test.js

# Runs `command` with the engine's code page set: "1252" leaves VOZIROZ_CODE_PAGE unset, as a
# user's system does (the system's ANSI code page, 1252 under Wine and the default on Linux).
in_code_page() {
  local code_page=$1
  shift
  if [ "$code_page" = 1252 ]; then
    env -u VOZIROZ_CODE_PAGE "$@"
  else
    VOZIROZ_CODE_PAGE=$code_page "$@"
  fi
}

# Runs one script suite under cscript in a code page; it passes when cscript exits 0 and its last
# line reads "N passed, 0 failed".
run_suite() {
  local suite=$1 code_page=$2 name log status=0
  name=$(basename "$suite")
  cat "tests/windows/harness.${name##*.}" "$suite" > "$suites/$name"
  log="$suites/${name%.*}-$code_page.log"
  (cd "$suites" && in_code_page "$code_page" timeout 120 wine cscript //nologo "$name" \
    "$(winpath "$root")" "$(winpath "$suites/scratch")" "$(head -n 1 "$ftp_dir/port")") \
    > "$log" 2>&1 || status=$?
  tr -d '\r' < "$log" | sed "s/^/  $name ($code_page): /"
  if [ $status -ne 0 ] || ! tr -d '\r' < "$log" | tail -n 1 | grep -Eq '^[0-9]+ passed, 0 failed$'
  then
    fail "$name in code page $code_page (exit $status; a missing count line means the script" \
      "stopped early)"
  fi
}

# The dumps of dump_test.js in a code page, compared with the Linux build's in the same one.
compare_dumps() {
  local code_page=$1 i
  : > "$suites/scratch/dumps.txt"
  for i in "${!dump_inputs[@]}"; do
    printf '%s|%s\r\n' "$(winpath "${dump_inputs[$i]}")" \
      "$(winpath "$suites/scratch/dump-$code_page-$i.json")" >> "$suites/scratch/dumps.txt"
  done
  run_suite tests/windows/dump_test.js "$code_page"
  for i in "${!dump_inputs[@]}"; do
    in_code_page "$code_page" "${VOZIROZ_BUILD_DIR:-build}/cli/voziroz" dump "${dump_inputs[$i]}" \
      > "$suites/linux-$code_page-$i.json" 2> /dev/null || true
    if ! difference=$(python3 tests/windows/compare_dumps.py \
      "$suites/scratch/dump-$code_page-$i.json" "$suites/linux-$code_page-$i.json" 2>&1); then
      fail "dump of $(basename "${dump_inputs[$i]}") in code page $code_page differs: $difference"
    fi
  done
  echo "  ${#dump_inputs[@]} files compared with the Linux build in code page $code_page"
}

bash scripts/build.sh > /dev/null  # the Linux tool, for the dumps
# Every suite in the system's code page; then the suites of tests/windows/utf8/ and the dumps
# with VOZIROZ_CODE_PAGE=utf-8, the system's code page left at 1252.
for code_page in ${VOZIROZ_WINDOWS_CODE_PAGES:-1252 utf-8}; do
  echo "== code page $code_page"
  if [ "$code_page" = 1252 ]; then
    for suite in tests/windows/*_test.js tests/windows/*_test.vbs; do
      [ "$suite" = tests/windows/dump_test.js ] || run_suite "$suite" 1252
    done
  else
    for suite in tests/windows/utf8/*_test.js; do run_suite "$suite" "$code_page"; done
  fi
  compare_dumps "$code_page"
done

echo "== unregistration"
timeout 60 wine regsvr32 /u /s "$dll" || fail "regsvr32 /u exited $?"
timeout 60 wine reg export HKCR "$suites/hkcr.reg" > /dev/null 2>&1 || fail "reg export"
if iconv -f UTF-16LE -t UTF-8 "$suites/hkcr.reg" | grep -iE \
  'voziroz|BA382B7F-C27B|C75F7A80|FA374253|074EE418|24773636|DE47B51C|0BF294A1|56D9E158|AE42A3AB|5FF0AE04|3FFF8609|5637B7E6|9C695540'; then
  fail "keys left after unregistration (above)"
fi

if [ $failures -ne 0 ]; then
  echo "windows-test: $failures failure(s)" >&2
  exit 1
fi
echo "windows-test: all passed"
