#!/usr/bin/env bash
# Makes the .deb from a build tree into a scratch folder, unpacks it with dpkg -x and checks
# that each file is where the desktop, udev and man look for it.
#   deb_contents_test.sh BUILD_DIR "ICON SIZES" HAVE_PNGS(0|1)
set -euo pipefail
build="$1"
sizes="$2"
have_pngs="$3"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

scratch="$build/deb-test"
rm -rf "$scratch"
mkdir -p "$scratch"
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack could not make the package" >&2
    exit 1
fi
shopt -s nullglob
debs=("$scratch"/out/*.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "FAIL: expected one .deb, found ${#debs[@]}" >&2
    exit 1
fi
deb="${debs[0]}"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

# Everything lives under /usr.
outside=$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"

# The program, of the package's version.
bin="$root/usr/bin/parvex"
if [ -x "$bin" ]; then
    version=$(dpkg-deb -f "$deb" Version)
    [ "$("$bin" --version)" = "Parvex $version" ] || fail "program and package versions differ"
else
    fail "usr/bin/parvex missing or not executable"
fi

desktop="$root/usr/share/applications/parvex.desktop"
if [ -f "$desktop" ]; then
    grep -qx 'Exec=parvex' "$desktop" || fail "desktop entry does not start parvex"
    grep -qx 'Icon=parvex' "$desktop" || fail "desktop entry names another icon"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "desktop entry does not validate"
    fi
else
    fail "desktop entry missing"
fi

metainfo="$root/usr/share/metainfo/com.example.parvex.metainfo.xml"
if [ -f "$metainfo" ]; then
    grep -q '<launchable type="desktop-id">parvex.desktop</launchable>' "$metainfo" ||
        fail "metainfo does not point at the desktop entry"
    grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\"" "$metainfo" ||
        fail "metainfo names another release"
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net --pedantic "$metainfo" >"$scratch/appstream.log" 2>&1 ||
            { cat "$scratch/appstream.log" >&2; fail "metainfo does not validate"; }
    fi
else
    fail "metainfo missing"
fi

icons="$root/usr/share/icons/hicolor"
[ -f "$icons/scalable/apps/parvex.svg" ] || fail "SVG icon missing"
if [ "$have_pngs" = 1 ]; then
    for size in $sizes; do
        png="$icons/${size}x${size}/apps/parvex.png"
        if [ ! -f "$png" ]; then
            fail "${size}x${size} icon missing"
            continue
        fi
        # The PNG signature, then the IHDR chunk: width and height as 32-bit big-endian.
        [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
            fail "${size}x${size} icon is no PNG"
        dims=$(od -An -j16 -N8 -tu1 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
        [ "$dims" = "${size}x${size}" ] || fail "${size}x${size} icon is $dims"
    done
fi

rule="$root/usr/lib/udev/rules.d/70-parvex.rules"
if [ -f "$rule" ]; then
    grep -E '^SUBSYSTEM=="hidraw".*ATTRS\{idVendor\}=="1209".*ATTRS\{idProduct\}=="0007".*TAG\+="uaccess"' \
        "$rule" >/dev/null || fail "udev rule does not give the adapter to the desktop user"
else
    fail "udev rule missing"
fi

man="$root/usr/share/man/man1/parvex.1.gz"
if [ -f "$man" ]; then
    gzip -t "$man" || fail "man page is not gzip"
    zcat "$man" | grep -q '^\.TH PARVEX 1 ' || fail "man page has no title line"
else
    fail "man page missing"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6network6 libqt6printsupport6 libhidapi-hidraw0 libudev1 \
    qt6-qpa-plugins libqt6svg6; do
    grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
dpkg-deb -I "$deb" postinst >/dev/null 2>&1 || fail "no postinst to apply the udev rule"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed on $deb" >&2
    exit 1
fi
echo "$deb holds what it should"
