#!/usr/bin/env bash
# Builds the libraries boletim-turma uses, for 64-bit Windows, from Debian's own source
# packages (apt-get source, which needs a deb-src line, as .ci/install adds), with
# Debian's mingw-w64, statically, into PREFIX: libxlsxwriter (writing .xlsx), and libzip
# and expat (reading .xlsx and .ods). zlib for mingw-w64 is Debian's libz-mingw-w64-dev.
# Nothing comes from outside Debian's archive. Does nothing where PREFIX has them already.
# expat is built without DTDs, which boletim-turma refuses anyway (and which Debian's
# patches expect defined to 1, as its own build does, where CMake defines it empty).
# Usage: cmake/windows-libraries.sh PREFIX
set -euo pipefail
prefix=$(realpath -m "$1")
toolchain=$(realpath "$(dirname "$0")/toolchains/x86_64-w64-mingw32.cmake")
[ -f "$prefix/lib/pkgconfig/xlsxwriter.pc" ] && [ -f "$prefix/lib/pkgconfig/libzip.pc" ] &&
    [ -f "$prefix/lib/pkgconfig/expat.pc" ] && exit 0
sources=$prefix/sources
mkdir -p "$sources"
cd "$sources"
apt-get source --only-source libxlsxwriter libzip expat >/dev/null 2>&1 ||
    apt-get source --only-source libxlsxwriter libzip expat

build() { # source folder, then its CMake options; its output in a log, shown if it fails
    local source=$1
    shift
    local log=$source/build-windows.log
    { cmake -S "$source" -B "$source/build-windows" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" &&
        cmake --build "$source/build-windows" --target install; } >"$log" 2>&1 ||
        { cat "$log"; exit 1; }
}
build "$(find . -maxdepth 1 -type d -name 'expat-*')/expat" -DEXPAT_SHARED_LIBS=OFF \
    -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=ON -DEXPAT_MSVC_STATIC_CRT=OFF -DEXPAT_DTD=OFF
build "$(find . -maxdepth 1 -type d -name 'libzip-*')" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
build "$(find . -maxdepth 1 -type d -name 'libxlsxwriter-*')" -DBUILD_TESTS=OFF \
    -DBUILD_EXAMPLES=OFF -DUSE_STATIC_MSVC_RUNTIME=OFF
ls "$prefix/lib"
