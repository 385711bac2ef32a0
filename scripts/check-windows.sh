#!/usr/bin/env bash
# Compiles the Windows-only sources with mingw-w64 so that they cannot rot on a Linux-only CI,
# and compiles the Windows resource file with the icon. Qt for Windows is not at hand: a source
# that includes no Qt header is compiled to an object; one that does is only syntax-checked,
# against the host's Qt headers (Core, Gui, Widgets), which declare the same API.
# Exits 77 (a skip for ctest) when the cross compiler is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=x86_64-w64-mingw32-g++
windres=x86_64-w64-mingw32-windres
if ! command -v "$cxx" >/dev/null || ! command -v "$windres" >/dev/null; then
    echo "$cxx or $windres not found (scripts/deps.sh installs g++-mingw-w64-x86-64)" >&2
    exit 77
fi

qt_headers=$(pkg-config --variable=includedir Qt6Core 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
qt_includes=()
for module in QtCore QtGui QtWidgets; do qt_includes+=(-isystem "$qt_headers/$module"); done
qt_includes=(-isystem "$qt_headers" "${qt_includes[@]}")

# The defines and warnings a Windows build of the project gets from Qt6::Platform and
# cmake/settings.cmake.
flags=(-std=c++20 -Wall -Wextra -Wpedantic -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor -Werror
    -DUNICODE -D_UNICODE -DWIN32 -D_WIN64 -DWIN64 -DMINGW_HAS_SECURE_API=1
    -DQT_NO_CAST_FROM_ASCII -DQT_NO_CONTEXTLESS_CONNECT -DQT_NO_FOREACH -DQT_USE_QSTRINGBUILDER
    -Isrc/platform)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
shopt -s nullglob
sources=(src/platform/*_win.cpp)
if ((${#sources[@]} == 0)); then
    echo "no Windows-only sources in src/platform" >&2
    exit 1
fi
for source in "${sources[@]}"; do
    if "$cxx" "${flags[@]}" "${qt_includes[@]}" -M "$source" 2>/dev/null | grep -qF "$qt_headers/"; then
        mode="syntax (Qt)"
        "$cxx" "${flags[@]}" "${qt_includes[@]}" -fsyntax-only "$source" || failed=1
    else
        mode="object"
        "$cxx" "${flags[@]}" -c "$source" -o "$work/$(basename "$source" .cpp).o" || failed=1
    fi
    echo "$source: $mode"
done

version=$(sed -n 's/^project(QuorLimsDemo VERSION \([0-9]*\)\.\([0-9]*\)\.\([0-9]*\).*/\1 \2 \3/p' CMakeLists.txt)
read -r major minor patch <<<"$version"
sed -e "s|@LIMS_ICON_ICO@|$PWD/resources/icons/quorlims.ico|" \
    -e "s/@PROJECT_VERSION_MAJOR@/$major/g; s/@PROJECT_VERSION_MINOR@/$minor/g" \
    -e "s/@PROJECT_VERSION_PATCH@/$patch/g; s/@PROJECT_VERSION@/$major.$minor.$patch/g" \
    packaging/windows/QuorLimsDemo.rc.in >"$work/QuorLimsDemo.rc"
if grep -q '@[A-Z_]*@' "$work/QuorLimsDemo.rc"; then
    echo "packaging/windows/QuorLimsDemo.rc.in: a placeholder this script does not fill" >&2
    failed=1
fi
"$windres" "$work/QuorLimsDemo.rc" -O coff -o "$work/QuorLimsDemo.res.o" || failed=1
echo "packaging/windows/QuorLimsDemo.rc.in: resource object"

exit "$failed"
