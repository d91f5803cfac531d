#!/usr/bin/env bash
# plov.exe end to end under Wine, in a private prefix and a private home:
# installs a small package in the test mode, checks files, shortcuts (read
# back through IShellLink) and registry keys with Wine's own reg, then runs
# "/r" (which runs "/u") and checks that everything is gone and the
# uninstaller's copy is queued for deletion at restart, and gone after Wine's
# restart. (tests/gui photographs the dialogs.)
#   usage: plov_wine_test.sh PLOV_EXE LNK_CHECK_EXE WORK_FOLDER
set -uo pipefail
plov_exe=$1 lnk_check=$2 work=$3
if [ ! -f "$plov_exe" ] || ! command -v wine >/dev/null; then
  echo "SKIP: no plov.exe (build the win64 preset) or no wine"
  exit 77
fi

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

rm -rf "$work" && mkdir -p "$work/home"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko prompts, and no menu entries written for the host desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
timeout 180 wineboot -i >/dev/null 2>&1
timeout 60 wineserver -w

drive=$WINEPREFIX/drive_c
mkdir -p "$drive/pkg"
cp "$plov_exe" "$drive/pkg/setup.exe"
cp "$lnk_check" "$drive/lnk-check.exe"
printf 'program' >"$drive/pkg/tool.exe"
printf 'read me\r\n' >"$drive/pkg/readme.txt"
cat >"$drive/pkg/setup.inf" <<'INF'
[Install]
Title=プロフ テスト
InstallDir=Plov Test
InstallDirReg=HKEY_CURRENT_USER\Software\PlovTest
IsFileDelAfterPlov=0
[Group]
Value=1
GroupName=Plov Test
Info=スタートメニューに登録します。
Item1=Tool, tool.exe, /x
[Startup]
Value=0
Info=スタートアップに登録します。
Item1=Tool, tool.exe
[Desktop]
Value=1
Info=デスクトップに登録します。
Item1=Tool, tool.exe
[Files]
Item1=setup.exe
Item2=setup.inf
Item3=tool.exe
Item4=readme.txt
[Uninstall]
Title=プロフ 削除
Key=PlovTest
Name=Plov Test
AllDelete=2
[RegKey]
Item1=HKEY_CURRENT_USER\Software\PlovTest
INF
# Scripts made on the original system are in Shift_JIS.
iconv -f UTF-8 -t CP932 "$drive/pkg/setup.inf" >"$drive/pkg/setup.sjis" &&
  mv "$drive/pkg/setup.sjis" "$drive/pkg/setup.inf"

transcript=$drive/transcript.txt
run() {  # run ANSWERS PROGRAM [ARGUMENT]
  PLOV_TEST_ANSWERS=$1 PLOV_TEST_TRANSCRIPT='C:\transcript.txt' timeout 120 wine "${@:2}" \
    >/dev/null 2>&1
  local status=$?
  timeout 60 wineserver -w
  return $status
}
reg_value() {  # reg_value KEY NAME -> the value's data
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
has_key() { wine reg query "$1" >/dev/null 2>&1; }
contains() { grep -qF -- "$2" "$1"; }

installed="$drive/Program Files/Plov Test"
start_menu=$(find "$drive/users" -type d -path '*Start Menu/Programs' | head -1)
desktop=$(find "$drive/users" -maxdepth 2 -name Desktop | head -1)

check "install ends with exit code 0" run "options=group+desktop" 'C:\pkg\setup.exe'
check "installation reported under the Shift_JIS title" \
  contains "$transcript" "information [プロフ テスト] インストールが完了しました。"
for file in setup.exe setup.inf tool.exe readme.txt; do
  check "installed $file" test -f "$installed/$file"
done
check "clean-up run emptied InstallDir of the installed script" \
  grep -qxE $'InstallDir=\r?' "$installed/setup.inf"
check "group shortcut exists" test -f "$start_menu/Plov Test/Tool.lnk"
check "desktop shortcut exists" test -f "$desktop/Tool.lnk"
check "startup shortcut was not chosen" test ! -e "$start_menu/Startup/Tool.lnk"
links=$(wine 'C:\lnk-check.exe' 'C:\users\'"$(basename "$(dirname "$start_menu" | sed 's|/Microsoft/Windows/Start Menu||;s|/AppData/Roaming||')")"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Plov Test\Tool.lnk' 2>/dev/null | tr -d '\r')
check "group shortcut reads back through IShellLink ($links)" \
  test "$links" = 'C:\Program Files\Plov Test\tool.exe|/x|Tool'
check "InstallDir value" test "$(reg_value 'HKCU\Software\PlovTest' InstallDir)" = 'C:\Program Files\Plov Test'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PlovTest'
check "DisplayName" test "$(reg_value "$uninstall" DisplayName)" = 'Plov Test'
check "UninstallString is quoted" \
  test "$(reg_value "$uninstall" UninstallString)" = '"C:\Program Files\Plov Test\setup.exe" /r'

rm -f "$transcript"
# The first stage ends at once and leaves the second running; a persistent
# server keeps this session (a new one would be Wine's "restart").
wineserver -p
PLOV_TEST_ANSWERS="ask=yes,yes" PLOV_TEST_TRANSCRIPT='C:\transcript.txt' \
  timeout 120 wine 'C:\Program Files\Plov Test\setup.exe' /r >/dev/null 2>&1
check "first uninstall stage ends with exit code 0" test $? = 0
for _ in $(seq 1 600); do
  if [ -f "$transcript" ] && grep -qE 'restart \(test mode|^error' "$transcript"; then break; fi
  sleep 0.1
done
sleep 0.5  # the second stage returns right after its last box
check "uninstallation reported" contains "$transcript" "アンインストールが完了しました。"
check "restart asked, not done" contains "$transcript" "restart (test mode: not done)"
check "installation folder removed" test ! -e "$installed"
check "group folder removed" test ! -e "$start_menu/Plov Test"
check "desktop shortcut removed" test ! -e "$desktop/Tool.lnk"
check "uninstall key removed" eval '! has_key "$uninstall"'
check "RegKey item removed" eval '! has_key "HKCU\Software\PlovTest"'
check "uninstaller script removed" test ! -e "$drive/windows/\$\$UnPlov.inf"
check "uninstaller copy left until restart" test -f "$drive/windows/\$\$UnPlov.exe"
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
check "uninstaller copy queued for deletion at restart" contains <(echo "$pending") 'UnPlov.exe'
timeout 120 wineboot -r >/dev/null 2>&1
wineserver -k
timeout 60 wineserver -w
check "uninstaller copy gone after the restart" test ! -e "$drive/windows/\$\$UnPlov.exe"

wineserver -k 2>/dev/null
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
