#!/usr/bin/env bash
# Builds the libraries the page uses, for WebAssembly (WASI), from Debian's own source
# packages (apt-get source, which needs a deb-src line, as .ci/install adds), with Debian's
# clang 16 and wasi-libc, statically, into PREFIX: zlib, libxlsxwriter (writing .xlsx), and
# libzip and expat (reading .xlsx and .ods). Nothing comes from outside Debian's archive.
# Does nothing where PREFIX has them already.
# - zlib by its own configure: its CMake build wants a Windows resource that Debian's
#   source does not ship.
# - expat without DTDs, which boletim-turma refuses anyway.
# - This wasi-libc has no dup(), chmod() or P_tmpdir, which libzip and libxlsxwriter name
#   on paths the page never takes (zip_fdopen, a new archive's permissions, a temporary
#   folder not given): wasi-compat.h stands in for them.
# Usage: cmake/web-libraries.sh PREFIX
set -euo pipefail
prefix=$(realpath -m "$1")
toolchain=$(realpath "$(dirname "$0")/toolchains/wasm32-wasi.cmake")
export BOLETIM_WEB_LIBRARIES=$prefix # where the toolchain looks for what is built before
have() { [ -f "$prefix/lib/pkgconfig/$1.pc" ]; }
have zlib && have xlsxwriter && have libzip && have expat && exit 0
sources=$prefix/sources
mkdir -p "$sources" "$prefix/include"
cd "$sources"
apt-get source --only-source zlib libxlsxwriter libzip expat >/dev/null 2>&1 ||
    apt-get source --only-source zlib libxlsxwriter libzip expat
compat=$prefix/include/wasi-compat.h
cat >"$compat" <<'COMPAT'
#include <errno.h>
#include <sys/types.h>
static inline int dup(int fd) { (void)fd; errno = ENOTSUP; return -1; }
static inline int chmod(const char* path, mode_t mode) { (void)path; (void)mode; return 0; }
#define P_tmpdir "/tmp"
COMPAT

logged() { # a log, then a command; the command's output in the log, shown if it fails
    local log=$1
    shift
    "$@" >>"$log" 2>&1 || { cat "$log"; exit 1; }
}
build() { # source folder, then its CMake options
    local source=$1
    shift
    logged "$source/build-web.log" cmake -S "$source" -B "$source/build-web" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DZLIB_ROOT="$prefix" \
        "-DCMAKE_C_FLAGS=-include $compat" "$@"
    logged "$source/build-web.log" cmake --build "$source/build-web" --target install
}
zlib=$(find . -maxdepth 1 -type d -name 'zlib-*')
archiver=$(command -v llvm-ar-16 || command -v llvm-ar)
(cd "$zlib" && logged build-web.log env CC=clang-16 CFLAGS="--target=wasm32-wasi -Os" \
    AR="$archiver" ARFLAGS=rc RANLIB="$archiver s" CHOST=wasm32 ./configure --static --prefix="$prefix" &&
    logged build-web.log make libz.a install)
build "$(find . -maxdepth 1 -type d -name 'expat-*')/expat" -DEXPAT_SHARED_LIBS=OFF \
    -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=ON -DEXPAT_DTD=OFF
build "$(find . -maxdepth 1 -type d -name 'libzip-*')" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
build "$(find . -maxdepth 1 -type d -name 'libxlsxwriter-*')" -DBUILD_TESTS=OFF \
    -DBUILD_EXAMPLES=OFF
ls "$prefix/lib"
