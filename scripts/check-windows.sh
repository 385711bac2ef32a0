#!/usr/bin/env bash
# Compiles the Windows-only sources with mingw-w64 so that they cannot rot on a Linux-only CI,
# and builds the Windows side of the install rules (the icon in the resource file). Qt for
# Windows is not at hand: a source that includes no Qt header is compiled to an object; one that
# does is only syntax-checked, against the host's Qt headers (Core, Gui, Widgets), which declare
# the same API.
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
    # A source whose headers cannot even be listed goes to the syntax check, which says why.
    if headers=$("$cxx" "${flags[@]}" "${qt_includes[@]}" -M "$source" 2>/dev/null) &&
        [[ $headers != *"$qt_headers/"* ]]; then
        mode="object"
        "$cxx" "${flags[@]}" -c "$source" -o "$work/$(basename "$source" .cpp).o" || failed=1
    else
        mode="syntax (Qt)"
        "$cxx" "${flags[@]}" "${qt_includes[@]}" -fsyntax-only "$source" || failed=1
    fi
    echo "$source: $mode"
done

# The Windows side of cmake/install.cmake (resource compiler, the configured .rc with the icon)
# on a stand-in for the program: a WIN32 executable of the same name without Qt.
stub=$work/project
mkdir -p "$stub/cmake"
ln -s "$PWD/resources" "$PWD/packaging" "$stub/"
ln -s "$PWD/cmake/install.cmake" "$stub/cmake/"
{
    echo 'cmake_minimum_required(VERSION 3.25)'
    grep '^project(QuorLimsDemo ' CMakeLists.txt
} >"$stub/CMakeLists.txt"
cat >>"$stub/CMakeLists.txt" <<'CMAKE'
add_executable(QuorLimsDemo main.cpp)
set_target_properties(QuorLimsDemo PROPERTIES WIN32_EXECUTABLE ON)
include(cmake/install.cmake)
CMAKE
cat >"$stub/main.cpp" <<'CPP'
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
CPP
cat >"$stub/mingw.cmake" <<'CMAKE'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
CMAKE
if cmake -S "$stub" -B "$stub/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$stub/mingw.cmake" >"$work/cmake.log" 2>&1 &&
    cmake --build "$stub/build" >>"$work/cmake.log" 2>&1; then
    # The .exe's resource types: 5 icon images (3), the icon group (14), the version (16).
    resources=$(x86_64-w64-mingw32-objdump -p "$stub/build/QuorLimsDemo.exe" | sed -n '/Resource Directory section/,$p')
    types=$(awk '/^[0-9a-f]+   Entry: ID:/ { print $4 }' <<<"$resources" | tr '\n' ' ')
    images=$(awk '/^[0-9a-f]+   Entry: ID: 0x000003,/ { getline; print $NF }' <<<"$resources")
    if [ "$types" != "0x000003, 0x00000e, 0x000010, " ] || [ "$images" != 5 ]; then
        echo "QuorLimsDemo.exe: resource types $types with $images icon images; expected the 5 icon images, the icon group and the version" >&2
        failed=1
    else
        echo "cmake/install.cmake: Windows executable with icon and version resources"
    fi
else
    cat "$work/cmake.log" >&2
    echo "cmake/install.cmake: the Windows stand-in does not build" >&2
    failed=1
fi

exit "$failed"
