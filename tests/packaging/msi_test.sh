#!/usr/bin/env bash
# Installs the Windows Installer package under Wine, each case in a fresh prefix of its own, and
# checks what a user and an administrator find afterwards.
#   msi_test.sh CASE WINDOWS_BUILD SCRATCH
# CASE: per-user | launch | per-machine | upgrade | remove | signing. The package is packed afresh
# from the build by packaging/make-msi. Wine shows no UAC and lets everyone write everywhere.
set -euo pipefail
export LC_ALL=C  # listings sorted the same everywhere
case_name="$1"
build="$(cd "$2" && pwd)"
scratch="$(realpath -m "$3")"
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
home_page="$(sed -n 's/^OMBRIX_HOME_PAGE:STRING=//p' "$build/CMakeCache.txt")"
strip="$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/CMakeCache.txt")"
objcopy="${strip%strip}objcopy"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_equal() { [[ "$2" == "$3" ]] || fail "$1: expected '$3', found '$2'"; }

rm -rf "$scratch"
mkdir -p "$scratch"

pack() {  # VERSION [CERT] -> prints the package's path
    "$repo/packaging/make-msi" "$build" "$scratch/out" "$@" >"$scratch/pack.log" ||
        { cat "$scratch/pack.log" >&2; exit 1; }
    tail -n 1 "$scratch/pack.log"
}
property() { msiinfo export "$1" Property | sed -n "s/^$2\t//p" | tr -d '\r'; }

# A fresh prefix, its own warm server, and both gone at the end (a prefix is about 700 MB).
fresh_prefix() {
    export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
    trap '"$WINESERVER" -k >/dev/null 2>&1 || true; [[ -n "${OMBRIX_KEEP_PREFIX:-}" ]] || rm -rf "$WINEPREFIX"' EXIT
    "$WINE" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}
wine_out() { "$WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
unix_path() { "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
env_value() { wine_out cmd /c echo "%$1%"; }
msiexec() {  # ARGS...; the exit code is msiexec's
    local status=0
    "$WINE" msiexec "$@" </dev/null >/dev/null 2>&1 || status=$?
    return $status
}
install() {  # MSI [PROPERTIES...]; the package and the install's log are kept in C:\packages
    local name
    name="$(basename "$1")"
    mkdir -p "$WINEPREFIX/drive_c/packages"
    cp "$1" "$WINEPREFIX/drive_c/packages/$name"
    msiexec /i "C:\\packages\\$name" /qn /l*v "C:\\packages\\$name.log" "${@:2}" ||
        fail "msiexec /i $name ${*:2} ended with $?"
}

# The uninstall entry of PRODUCT_CODE: Windows keeps a per-user one under HKCU, Wine 8 puts
# every one under HKLM; the values are read where they are.
uninstall_entry() {
    local key
    for key in 'HKCU' 'HKLM'; do
        key="$key\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"
        if "$WINE" reg query "$key" >/dev/null 2>&1; then
            wine_out reg query "$key"
            return
        fi
    done
}
entry_value() { sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$1"; }
packed_code() {  # the product code as the Installer keys name it
    local hex="${1//[\{\}-]/}" out="" i
    for i in 0:8 8:4 12:4; do out+="$(rev <<<"${hex:${i%:*}:${i#*:}}")"; done
    for ((i = 16; i < 32; i += 2)); do out+="${hex:i+1:1}${hex:i:1}"; done
    echo "$out"
}

# Everything MSI lays down, checked in FOLDER (a Windows path); MENUS names the environment
# variables of the profile folders whose Start menu may hold the shortcut, PRODUCTS the registry
# key under which Windows Installer registers the product.
#   check_installed MSI FOLDER MENUS PRODUCTS
check_installed() {
    local msi="$1" folder="$2" dir
    dir="$(unix_path "$folder")"
    expect_equal "the files in $folder" "$(ls "$dir" | tr '\n' ' ')" \
        "Ombrix.exe OmbrixHelp.chm README.txt ombrixopts.cfg uptime-report.schema.json uptime-subscription.xml uptime.exe "
    for name in OmbrixHelp.chm README.txt uptime-subscription.xml uptime-report.schema.json; do
        local source="$repo/packaging/$name"
        [[ $name == OmbrixHelp.chm ]] && source="$build/bin/$name"
        [[ $name == *.json ]] && source="$repo/docs/$name"
        cmp -s "$dir/$name" "$source" || fail "$folder\\$name is missing or not the shipped file"
    done
    # The programs: the built ones' code, stripped of their symbols.
    for program in Ombrix uptime; do
        "$objcopy" -O binary -j .text "$build/bin/$program.exe" "$scratch/built.text"
        "$objcopy" -O binary -j .text "$dir/$program.exe" "$scratch/installed.text" 2>/dev/null ||
            { fail "$folder\\$program.exe is missing"; continue; }
        cmp -s "$scratch/built.text" "$scratch/installed.text" ||
            fail "$folder\\$program.exe is not the built program"
        [[ "$("${strip%strip}nm" "$dir/$program.exe" 2>&1)" == *"no symbols"* ]] ||
            fail "$folder\\$program.exe is not stripped"
    done
    # The options file locates the uptime.exe beside Ombrix, whatever the current folder.
    mapfile -t lines < <(tr -d '\r' <"$dir/ombrixopts.cfg")
    expect_equal "ombrixopts.cfg line 1" "${lines[0]:-}" "Ombrix_OptsN"
    expect_equal "ombrixopts.cfg line 3" "${lines[2]:-}" "$folder\\uptime.exe"
    expect_equal "ombrixopts.cfg lines" "${#lines[@]}" 14
    # The Start menu shortcut starts the installed Ombrix.
    local menu link=""
    for menu in $3; do
        menu="$(unix_path "$(env_value "$menu")")/Microsoft/Windows/Start Menu/Programs/Ombrix.lnk"
        [[ -f "$menu" ]] && link="$menu" && break
    done
    [[ -n "$link" ]] ||
        fail "no Start menu shortcut in $3; found: $(find "$WINEPREFIX/drive_c" -name Ombrix.lnk)"
    grep -aqF "$folder\\Ombrix.exe" "$link" 2>/dev/null || fail "the shortcut does not start $folder\\Ombrix.exe"
    # The uninstall entry: name, version, publisher, help link; the icon as the product's.
    local code entry
    code="$(property "$msi" ProductCode)"
    entry="$(uninstall_entry "$code")"
    [[ -n "$entry" ]] || { fail "no uninstall entry for $code"; return; }
    expect_equal DisplayName "$(entry_value "$entry" DisplayName)" Ombrix
    expect_equal DisplayVersion "$(entry_value "$entry" DisplayVersion)" "$(property "$msi" ProductVersion)"
    expect_equal Publisher "$(entry_value "$entry" Publisher)" Ombrix
    expect_equal HelpLink "$(entry_value "$entry" HelpLink)" "$home_page"
    expect_equal UninstallString "$(entry_value "$entry" UninstallString)" "MsiExec.exe /X$code"
    local icon
    icon="$(wine_out reg query "$4\\$(packed_code "$code")" /v ProductIcon |
        sed -n 's/^ *ProductIcon *REG_SZ *//p' || true)"
    [[ -n "$icon" ]] && cmp -s "$(unix_path "$icon")" "$repo/src/main/resources/ombrix.ico" ||
        fail "the product's icon is not Ombrix's: '$icon'"
}

per_user_folder() { echo "$(env_value LOCALAPPDATA)\\Programs\\Ombrix"; }

case "$case_name" in
per-user)
    msi="$(pack "$version")"
    size=$(stat -c %s "$msi")
    ((size <= 1048576)) || fail "the package is $size bytes, more than 1 MB"
    # A double click installs for the user without a UAC prompt, which Wine cannot show: the
    # package sets no ALLUSERS and says that it needs no elevation (word count bit 8).
    expect_equal "ALLUSERS in the package" "$(property "$msi" ALLUSERS)" ""
    word_count="$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')"
    (((word_count & 8) != 0)) || fail "the package asks for elevation (word count '$word_count')"
    fresh_prefix
    install "$msi"
    check_installed "$msi" "$(per_user_folder)" APPDATA "HKCU\\Software\\Microsoft\\Installer\\Products"
    [[ ! -e "$WINEPREFIX/drive_c/Program Files/Ombrix" ]] || fail "a per-user install wrote to Program Files"
    ;;
per-machine)
    msi="$(pack "$version")"
    fresh_prefix
    install "$msi" ALLUSERS=1
    folder="$(env_value ProgramW6432)\\Ombrix"
    # Windows puts the shortcut of an install for every user in their common Start menu; Wine 8
    # resolves ProgramMenuFolder to the installing user's whatever ALLUSERS says.
    check_installed "$msi" "$folder" "ProgramData APPDATA" \
        "HKLM\\Software\\Classes\\Installer\\Products"
    [[ ! -e "$(unix_path "$(per_user_folder)")" ]] || fail "a per-machine install wrote to the user's folder"
    # That Users may rewrite the options file is not seen here: Wine keeps a file's rights only
    # as its Unix mode, so the entry the package adds for Users cannot be read back.
    msiexec /x "$(property "$msi" ProductCode)" /qn || fail "msiexec /x ended with $?"
    [[ ! -e "$(unix_path "$folder")" ]] || fail "$folder stays after the removal: $(ls "$(unix_path "$folder")")"
    ;;
launch)
    msi="$(pack "$version")"
    fresh_prefix
    install "$msi"
    folder="$(per_user_folder)"
    # Started as from a shell elsewhere, so that the current folder is not Ombrix's.
    (cd "$scratch" && "$WINE" "$folder\\Ombrix.exe" </dev/null >/dev/null 2>&1 &)
    report="$(wine_out "$build/bin/ombrix_driver.exe" report)" || fail "no report: $report"
    # What the installed tool prints by itself, but for its running figures.
    direct="$(wine_out "$folder\\uptime.exe")"
    first_line() { sed -n '1s/[0-9]\+/N/gp' <<<"$1"; }
    [[ -n "$(first_line "$direct")" && "$(first_line "$report")" == "$(first_line "$direct")" ]] ||
        fail "the results window does not show the installed uptime.exe's report:
--- shown
$report
--- printed by $folder\\uptime.exe
$direct"
    wine_out "$build/bin/ombrix_driver.exe" quit >/dev/null || fail "Ombrix did not close"
    ;;
upgrade)
    old="$(pack 1.12.0.1000)"
    mv "$old" "$scratch/old.msi"
    new="$(pack "$version")"
    fresh_prefix
    install "$scratch/old.msi"
    folder="$(per_user_folder)"
    options="$(unix_path "$folder\\ombrixopts.cfg")"
    # The user's settings: another machine and the events report.
    sed -i 's/^Name\/IP Address\r$/SRV01\r/; 7s/^False\r$/True\r/' "$options"
    cp "$options" "$scratch/settings"
    grep -q '^SRV01' "$scratch/settings" || fail "the settings were not changed before the upgrade"
    install "$new"
    cmp -s "$options" "$scratch/settings" || fail "the upgrade did not keep the user's ombrixopts.cfg"
    check_installed "$new" "$folder" APPDATA "HKCU\\Software\\Microsoft\\Installer\\Products"
    [[ -z "$(uninstall_entry "$(property "$scratch/old.msi" ProductCode)")" ]] ||
        fail "the older version's uninstall entry is still there"
    # An older package does not replace a newer one.
    ! msiexec /i 'C:\packages\old.msi' /qn || fail "the older package installed over the newer one"
    expect_equal "version after a downgrade" \
        "$(entry_value "$(uninstall_entry "$(property "$new" ProductCode)")" DisplayVersion)" \
        "$(property "$new" ProductVersion)"
    ;;
remove)
    msi="$(pack "$version")"
    fresh_prefix
    # The drive as it was, but for the system's folders, to find what the package leaves behind.
    # Left out of the comparison: the packages and logs of this test, and two folders Windows
    # keeps for every user, which Wine makes on first use: %LOCALAPPDATA%\Programs for programs
    # installed per user, and %APPDATA%\Microsoft\Installer, whose product folders hold their icons.
    files() {
        (cd "$WINEPREFIX/drive_c" && find . -not -path './windows/*' -not -path './packages*' |
            grep -v -x -e '.*/AppData/Local/Programs' -e '.*/AppData/Roaming/Microsoft/Installer' |
            sort)
    }
    files >"$scratch/before"
    install "$msi"
    folder="$(per_user_folder)"
    files >"$scratch/installed"
    grep -q '/Programs/Ombrix/Ombrix.exe$' "$scratch/installed" || fail "nothing was installed to remove"
    # Ombrix has saved the user's settings since.
    sed -i 's/^Name\/IP Address\r$/SRV01\r/' "$(unix_path "$folder\\ombrixopts.cfg")"
    msiexec /x "$(property "$msi" ProductCode)" /qn || fail "msiexec /x ended with $?"
    files >"$scratch/after"
    left="$(comm -13 "$scratch/before" "$scratch/after")"
    [[ -z "$left" ]] || fail "the removal left behind: $left"
    [[ -z "$(uninstall_entry "$(property "$msi" ProductCode)")" ]] || fail "the uninstall entry stays"
    ! "$WINE" reg query "HKCU\\Software\\Microsoft\\Installer\\Products\\$(packed_code "$(property "$msi" ProductCode)")" \
        >/dev/null 2>&1 || fail "Windows Installer still knows the product"
    ;;
signing)
    # A throwaway certificate of our own, as an organisation's would be.
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Ombrix test signer" \
        -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
    openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/cert.pem" \
        -passout pass:secret -out "$scratch/signer.p12"
    msi="$(OMBRIX_SIGN_PASSWORD=secret pack "$version" "$scratch/signer.p12")"
    grep -q "signed the programs and the package" "$scratch/pack.log" || fail "no word of signing"
    mkdir -p "$scratch/files"
    (cd "$scratch/files" && msiextract "$msi" >/dev/null)
    verify() {
        osslsigncode verify -CAfile "$scratch/cert.pem" -in "$1" >"$scratch/verify.log" 2>&1
    }
    msiinfo extract "$msi" Binary.InstallActions >"$scratch/OmbrixSetup.dll"
    for file in "$msi" $(find "$scratch/files" -name '*.exe') "$scratch/OmbrixSetup.dll"; do
        verify "$file" && grep -q "Ombrix test signer" "$scratch/verify.log" ||
            fail "$file is not signed by the certificate: $(cat "$scratch/verify.log")"
    done
    (($(find "$scratch/files" -name '*.exe' | wc -l) == 2)) || fail "the package lacks its programs"
    # A package changed after signing fails the check.
    cp "$msi" "$scratch/tampered.msi"
    printf 'x' | dd of="$scratch/tampered.msi" bs=1 seek=$(($(stat -c %s "$msi") / 2)) conv=notrunc 2>/dev/null
    ! verify "$scratch/tampered.msi" || fail "a changed package still verifies"
    # Without a certificate nothing is signed, and the packing says so.
    msi="$(pack "$version")"
    grep -q "no certificate given: nothing is signed" "$scratch/pack.log" || fail "no word of an unsigned package"
    ! verify "$msi" || fail "an unsigned package verifies"
    ;;
*)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
((failures == 0)) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "msi $case_name: passed"
