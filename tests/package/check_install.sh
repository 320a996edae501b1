#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop and a
# package manager see: the layout, both validators, the manual page, and that
# the installed programs start against an empty home without writing under
# their prefix.
# usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
prefix=$root/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

id=org.tarnwick.Tarnwick
for f in bin/tarnwick bin/tarnwick-cli \
    share/tarnwick/HanZi.txt share/tarnwick/FileHelp.html share/tarnwick/Usage.html \
    "share/tarnwick/新文件名引用文档.txt" \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/tarnwick-cli.1.gz share/bash-completion/completions/tarnwick-cli; do
    [ -e "$prefix/$f" ] || fail "missing $f"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    file -b "$png" | grep -q "PNG image data, $size x $size" || fail "icon $png is not ${size}x${size}"
done
[ -x "$prefix/bin/tarnwick" ] && [ -x "$prefix/bin/tarnwick-cli" ] || fail "executables not executable"
# Nothing but the two programs in bin/ (no undo folder, no shipped file).
[ "$(ls "$prefix/bin" | tr '\n' ' ')" = "tarnwick tarnwick-cli " ] || fail "unexpected files in bin: $(ls "$prefix/bin")"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -q '^Exec=tarnwick %f$' "$prefix/share/applications/$id.desktop" || fail "Exec line"
grep -q '^MimeType=inode/directory;$' "$prefix/share/applications/$id.desktop" || fail "MimeType line"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q '<release version="4.2.0"' "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo release"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/tarnwick-cli.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
# The completion, with bash-completion's helpers reduced to what it uses.
complete_words() {
    bash -c '
        _init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}
                             words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; split=false; }
        _filedir() { COMPREPLY=("<files$1>"); }
        compopt() { :; }
        source "$0"
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=()
        _tarnwick_cli
        echo "${COMPREPLY[*]}"' "$prefix/share/bash-completion/completions/tarnwick-cli" "$@"
}
[ "$(complete_words tarnwick-cli "")" = "list preview rename undo workbook folders blank-lines contacts" ] ||
    fail "completion of the commands: $(complete_words tarnwick-cli "")"
[ "$(complete_words tarnwick-cli preview /tmp --keep-name "")" = "before after" ] || fail "completion of --keep-name"
[ "$(complete_words tarnwick-cli workbook merge-sheets f --into)" = "--into-new --into-sheet" ] ||
    fail "completion of workbook merge-sheets"
[ "$(complete_words tarnwick-cli folders run "")" = "<files-d>" ] || fail "completion of a folder"
[ "$(complete_words tarnwick-cli undo --l)" = "--list" ] || fail "completion of undo --list"
# A record's bare name comes from the installed tool's own listing.
mkdir -p "$work/undo"
: >"$work/undo/2026-12-10 9时5分30秒.txt"
[ "$(complete_words "$prefix/bin/tarnwick-cli" undo --undo-dir "$work/undo" 2026)" = "<files> 2026-12-10 9时5分30秒.txt" ] ||
    fail "completion of a record name: $(complete_words "$prefix/bin/tarnwick-cli" undo --undo-dir "$work/undo" 2026)"

# Run the installed programs as a new user would: empty home, own runtime folder.
home=$work/home
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
find "$root" -print | sort >"$work/before"
run() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 \
        QT_QPA_PLATFORM=offscreen "$@"
}
version=$(run "$prefix/bin/tarnwick-cli" --version)
[ "$version" = "tarnwick-cli 4.20" ] || fail "tarnwick-cli --version printed '$version'"

# The window keeps running until closed: still running after a few seconds
# means the start-up finished without a message box or a crash.
status=0
run timeout 6 "$prefix/bin/tarnwick" >"$work/gui.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/gui.log" >&2; fail "tarnwick ended with status $status"; }
[ -d "$home/.local/share/tarnwick/undofile" ] || fail "undo folder not created in the user's data folder"

find "$root" -print | sort >"$work/after"
diff "$work/before" "$work/after" || fail "files written under the install prefix"
echo "install layout, validators and installed start-up: OK"
