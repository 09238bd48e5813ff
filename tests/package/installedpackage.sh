#!/usr/bin/env bash
# The Debian package of this build, unpacked into a scratch root, is complete and runs:
# its control fields are filled and its dependencies worked out, lintian finds no error, the
# desktop entry, metadata, job file type and manual pages are valid where they are installed,
# corvane-report reports the sample job from there and corvane shows a page through its module.
#   installedpackage.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$scratch"/package/*.deb)

for field in Package Version Maintainer Description Section Homepage Depends; do
    [[ -n $(dpkg-deb -f "$deb" "$field") ]] || fail "the control field $field is empty"
done
depends=$(dpkg-deb -f "$deb" Depends)
# From the program and from the module: dpkg-shlibdeps looked at both.
for library in libqt6widgets6 libqt6webenginewidgets6; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"

root=$scratch/root
dpkg -x "$deb" "$root"
usr=$root/usr
desktop-file-validate "$usr/share/applications/corvane.desktop" || fail "desktop entry"
grep -qx 'Exec=corvane %f' "$usr/share/applications/corvane.desktop" || fail "Exec line"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "appstreamcli validate"
for page in corvane corvane-report; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "man $page: $warnings"
done
[[ -f $usr/share/doc/corvane/copyright ]] || fail "copyright"

# The file manager's view: *.bm and a file that begins as a job does are Corvane jobs.
mime=$scratch/mime
mkdir -p "$mime/packages"
cp "$usr/share/mime/packages/corvane.xml" "$mime/packages/"
update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q '^50:application/x-corvane-job:\*\.bm$' "$mime/globs2" || fail "no glob *.bm"
grep -q 'application/x-corvane-job' "$mime/magic" || fail "no magic"
grep -q 'application/x-corvane-job' "$mime/types" || fail "not in types"

# Run as an installed copy: a home of its own, the user's program folder seeded from the package.
home=$scratch/home
mkdir -p "$home"
run() {
    env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u DISPLAY -u WAYLAND_DISPLAY \
        HOME="$home" XDG_RUNTIME_DIR="$home" QTWEBENGINE_DISABLE_SANDBOX=1 "$@"
}
(cd "$scratch" && run "$usr/bin/corvane-report" --out "$scratch/out" "$source/examples/bracket.bm") \
    >"$scratch/report.txt" || fail "corvane-report exits with $?"
printf '1 3 117.74 mm ok\n2 3 132.5 mm ok\n' | diff - "$scratch/report.txt" || fail "report lines"
cmp "$usr/share/corvane/BendTbl.xls" "$home/.local/share/Corvane/BendTbl.xls" ||
    fail "the user's bend table is not the package's"
for file in wb1.htm sd1.bmp md1.bmp wb2.htm wball.htm; do
    [[ -s $scratch/out/$file ]] || fail "corvane-report wrote no $file"
done

# Neither program links the web engine; corvane-report loads the package's module for a PDF.
for program in corvane corvane-report; do
    ! objdump -p "$usr/bin/$program" | grep -q 'NEEDED.*WebEngine' || fail "$program links QtWebEngine"
done
(cd "$scratch" && run "$usr/bin/corvane-report" --out "$scratch/out" --pdf "$scratch/r.pdf" \
    "$source/examples/bracket.bm") >/dev/null || fail "corvane-report --pdf exits with $?"
[[ $(head -c 5 "$scratch/r.pdf") == %PDF- ]] || fail "corvane-report wrote no PDF"

# The desktop program loads the web engine module from the package and shows a page; with the
# timing asked for it ends once the page is shown.
(cd "$scratch" && QT_QPA_PLATFORM=offscreen CORVANE_TIMING=1 run timeout 120 "$usr/bin/corvane") \
    2>"$scratch/corvane.txt" || { cat "$scratch/corvane.txt" >&2; fail "corvane exits with $?"; }
grep -q '^corvane-timing page-shown' "$scratch/corvane.txt" || fail "corvane showed no page"
[[ $(run "$usr/bin/corvane" --version) == "corvane $(dpkg-deb -f "$deb" Version)" ]] ||
    fail "corvane --version"
echo "package $(basename "$deb") complete"
